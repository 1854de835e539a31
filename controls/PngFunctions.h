// Fading, graying and disabled drawing of PNG pictures, and pictures made
// from bitmaps, icons and image-list images.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>

#include "controls/PngPicture.h"
#include "framework/Graphics.h"

enum TPngOption : uint8_t { pngBlendOnDisabled = 0, pngGrayscaleOnDisabled = 1 };
// Set of TPngOption, bit n for option n.
using TPngOptions = uint8_t;
constexpr TPngOptions PngOptionBit(TPngOption o) {
  return static_cast<TPngOptions>(1u << o);
}
constexpr bool HasPngOption(TPngOptions set, TPngOption o) {
  return (set & PngOptionBit(o)) != 0;
}

// Scales the alpha of every pixel by (strength + 1) / 256, adding an alpha
// channel first when the picture has none.
void FadePicture(TPngPicture* png, uint8_t strength = 127);
// Blends the colours toward their gray value; 255 makes them fully gray.
void GrayPicture(TPngPicture* png, uint8_t strength = 255);
// Draws the picture into the rectangle, faded and/or gray as the options say.
// The picture itself is not changed.
void DrawPictureWithOptions(TPngPicture* png, TCanvas* canvas, const TRect& rect,
                            TPngOptions options);

// A new picture of a bitmap (with its transparency), an icon (with its mask
// and alpha) or a copy of a picture.
std::unique_ptr<TPngPicture> PictureFromGraphic(TGraphic* graphic);
// A new picture whose alpha is the mask's red channel (inverted when asked);
// without a mask the picture is opaque.
std::unique_ptr<TPngPicture> PictureFromMaskedBitmap(TBitmap* bitmap, TBitmap* mask, bool invert);
// A new picture, transparent where the bitmap has the colour.
std::unique_ptr<TPngPicture> PictureFromKeyedBitmap(TBitmap* bitmap, TColor color);
// The target becomes a copy of a platform image list's image.
void PictureFromImageList(TPngPicture* target, HIMAGELIST list, int index);

// Windows XP (NT 5.1) or later.
bool IsNT51OrLater();

// The gray value of a colour: 0.3 red + 0.59 green + 0.11 blue, halves to even.
uint8_t GrayValue(uint8_t r, uint8_t g, uint8_t b);
// One colour turned gray with the strength as GrayPicture does.
COLORREF GrayColor(COLORREF color, uint8_t strength);
