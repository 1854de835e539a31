#include "controls/PngFunctions.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// num / den rounded to the nearest integer, halves to even (num, den >= 0).
int DivRoundEven(int num, int den) {
  int q = num / den, r = num % den;
  if (r * 2 > den || (r * 2 == den && (q & 1))) ++q;
  return q;
}

uint8_t FadeAlpha(uint8_t alpha, uint8_t strength) {
  return uint8_t(DivRoundEven(alpha * (strength + 1), 256));
}

// Builds a picture from a bitmap handle of any depth as a 24-bit picture.
std::unique_ptr<TPngPicture> PictureFromHandle24(HBITMAP handle, int width, int height) {
  TBitmap work;
  work.SetPixelFormat(pf24bit);
  work.SetSize(width, height);
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, handle);
  BitBlt(work.Canvas()->Handle(), 0, 0, width, height, src, 0, 0, SRCCOPY);
  SelectObject(src, old);
  DeleteDC(src);
  auto png = std::make_unique<TPngPicture>();
  png->AssignHandle(work.Handle(), false, 0);
  return png;
}

// The picture of a bitmap: itself at 24 or 32 bits per pixel, else a 24-bit copy.
std::unique_ptr<TPngPicture> PictureOfBitmap(TBitmap* bitmap) {
  if (bitmap->PixelFormat() == pf24bit || bitmap->PixelFormat() == pf32bit) {
    auto png = std::make_unique<TPngPicture>();
    png->AssignHandle(bitmap->Handle(), false, 0);
    return png;
  }
  return PictureFromHandle24(bitmap->Handle(), bitmap->Width(), bitmap->Height());
}

} // namespace

uint8_t GrayValue(uint8_t r, uint8_t g, uint8_t b) {
  return uint8_t(DivRoundEven(30 * r + 59 * g + 11 * b, 100));
}

COLORREF GrayColor(COLORREF color, uint8_t strength) {
  uint8_t y = GrayValue(GetRValue(color), GetGValue(color), GetBValue(color));
  int gray = DivRoundEven(y * (strength + 1), 256);
  // Both halves may round up together: 255 must not wrap to 0.
  auto blend = [&](int c) {
    return uint8_t(std::min(255, DivRoundEven(c * (255 - strength), 256) + gray));
  };
  return RGB(blend(GetRValue(color)), blend(GetGValue(color)), blend(GetBValue(color)));
}

void FadePicture(TPngPicture* png, uint8_t strength) {
  if (!png || !dynamic_cast<TChunkIHDR*>(png->ChunkList.Item(0))) return;
  TChunkIHDR* h = png->HeaderChunk();
  const TPNGTransparencyMode mode = png->TransparencyKind();
  const bool bitMode = mode == ptmBit;
  const COLORREF key = png->KeyColor() & 0xFFFFFF;
  if (h->ColorType == 0 || h->ColorType == 3) {
    const int w = png->Width(), hh = png->Height();
    auto* trns = png->ChunkList.ItemFromClass<TChunktRNS>();
    TBitmap blank;
    blank.SetPixelFormat(pf24bit);
    blank.SetSize(w, hh);
    TPngPicture rgba;
    rgba.AssignHandle(blank.Handle(), false, 0);
    rgba.AddAlphaChannel();
    const int bpp = h->BitsPerPixel();
    for (int y = 0; y < hh; ++y) {
      uint8_t* alpha = rgba.AlphaRowAddress(y);
      const uint8_t* row = png->RowAddress(y);
      for (int x = 0; x < w; ++x) {
        COLORREF c = png->PixelColor(x, y);
        rgba.SetPixelColor(x, y, c);
        if (bitMode && (c & 0xFFFFFF) == key) {
          alpha[x] = 0;
        } else if (mode == ptmPartial && trns) {
          // Palette entries keep their own alpha, scaled like any other.
          int index = bpp == 8 ? row[x]
                               : (row[x * bpp / 8] >> (8 - bpp - (x * bpp % 8))) & ((1 << bpp) - 1);
          alpha[x] = FadeAlpha(trns->AlphaValues[index], strength);
        } else {
          alpha[x] = strength;
        }
      }
    }
    png->AssignPng(rgba);
    return;
  }
  if (h->ColorType == 2) png->AddAlphaChannel();
  h = png->HeaderChunk();
  if (h->ColorType != 4 && h->ColorType != 6) return;
  for (int y = 0; y < png->Height(); ++y) {
    uint8_t* alpha = png->AlphaRowAddress(y);
    for (int x = 0; x < png->Width(); ++x)
      alpha[x] =
          bitMode && (png->PixelColor(x, y) & 0xFFFFFF) == key ? 0 : FadeAlpha(alpha[x], strength);
  }
}

void GrayPicture(TPngPicture* png, uint8_t strength) {
  if (!png || !dynamic_cast<TChunkIHDR*>(png->ChunkList.Item(0))) return;
  TChunkIHDR* h = png->HeaderChunk();
  switch (h->ColorType) {
  case 0:
  case 4:
    return;
  case 3: {
    HPALETTE palette = png->GetPalette();
    if (!palette) return;
    PALETTEENTRY entries[256];
    UINT n = GetPaletteEntries(palette, 0, 256, entries);
    for (UINT i = 0; i < n; ++i) {
      COLORREF c =
          GrayColor(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue), strength);
      entries[i].peRed = GetRValue(c);
      entries[i].peGreen = GetGValue(c);
      entries[i].peBlue = GetBValue(c);
    }
    SetPaletteEntries(palette, 0, n, entries);
    png->SetPalette(palette);
    return;
  }
  default:
    for (int y = 0; y < png->Height(); ++y) {
      uint8_t* row = png->RowAddress(y);
      for (int x = 0; x < png->Width(); ++x) {
        uint8_t* p = row + x * 3;
        COLORREF c = GrayColor(RGB(p[2], p[1], p[0]), strength);
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
      }
    }
    return;
  }
}

void DrawPictureWithOptions(TPngPicture* png, TCanvas* canvas, const TRect& rect,
                            TPngOptions options) {
  if (!png || !canvas) return;
  if (options == 0) {
    png->Draw(canvas, rect);
    return;
  }
  TPngPicture copy;
  copy.AssignPng(*png);
  if (HasPngOption(options, pngBlendOnDisabled)) FadePicture(&copy, 127);
  if (HasPngOption(options, pngGrayscaleOnDisabled)) GrayPicture(&copy, 255);
  copy.Draw(canvas, rect);
}

std::unique_ptr<TPngPicture> PictureFromGraphic(TGraphic* graphic) {
  if (!graphic) return nullptr;
  if (auto* png = dynamic_cast<TPngPicture*>(graphic)) {
    auto copy = std::make_unique<TPngPicture>();
    copy->AssignPng(*png);
    return copy;
  }
  const int w = graphic->Width(), h = graphic->Height();
  TBitmap work;
  work.SetPixelFormat(pf24bit);
  work.SetSize(w, h);
  std::vector<uint8_t> alpha(size_t(std::max(w, 0)) * size_t(std::max(h, 0)), 255);
  bool transparent = false;
  if (auto* bmp = dynamic_cast<TBitmap*>(graphic)) {
    if (bmp->Transparent()) {
      COLORREF key =
          ColorToRGB(bmp->TransparentMode() == tmFixed ? bmp->TransparentColor()
                                                       : bmp->Canvas()->Pixels(0, h - 1));
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          COLORREF c = bmp->Canvas()->Pixels(x, y);
          work.Canvas()->SetPixels(x, y, c);
          if (c == key) {
            alpha[size_t(y) * w + x] = 0;
            transparent = true;
          }
        }
    } else {
      BitBlt(work.Canvas()->Handle(), 0, 0, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
  } else if (auto* icon = dynamic_cast<TIcon*>(graphic)) {
    ICONINFO info{};
    if (icon->Handle() && GetIconInfo(icon->Handle(), &info)) {
      HDC dc = CreateCompatibleDC(nullptr);
      HGDIOBJ old = nullptr;
      if (info.hbmColor) {
        old = SelectObject(dc, info.hbmColor);
        BitBlt(work.Canvas()->Handle(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
        SelectObject(dc, old);
      }
      if (info.hbmMask) {
        old = SelectObject(dc, info.hbmMask);
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x)
            if ((GetPixel(dc, x, y) & 0xFFFFFF) != 0) {
              alpha[size_t(y) * w + x] = 0;
              transparent = true;
            }
        SelectObject(dc, old);
      }
      BITMAP cb{};
      if (info.hbmColor && GetObject(info.hbmColor, sizeof(cb), &cb) && cb.bmBitsPixel == 32 &&
          IsNT51OrLater()) {
        transparent = true;
        BITMAPV4HEADER bh{};
        bh.bV4Size = sizeof(bh);
        bh.bV4Width = w;
        bh.bV4Height = -h;
        bh.bV4Planes = 1;
        bh.bV4BitCount = 32;
        bh.bV4V4Compression = BI_BITFIELDS;
        bh.bV4RedMask = 0x00FF0000;
        bh.bV4GreenMask = 0x0000FF00;
        bh.bV4BlueMask = 0x000000FF;
        bh.bV4AlphaMask = 0xFF000000;
        std::vector<uint8_t> pixels(size_t(w) * h * 4);
        if (GetDIBits(dc, info.hbmColor, 0, UINT(h), pixels.data(),
                      reinterpret_cast<BITMAPINFO*>(&bh), DIB_RGB_COLORS)) {
          bool any = false;
          for (size_t i = 0; i < size_t(w) * h; ++i)
            any |= pixels[i * 4 + 3] != 0;
          if (any)
            for (size_t i = 0; i < size_t(w) * h; ++i)
              alpha[i] = pixels[i * 4 + 3];
        }
      }
      DeleteDC(dc);
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
    }
  }
  auto png = std::make_unique<TPngPicture>();
  png->AssignHandle(work.Handle(), false, 0);
  if (transparent) {
    png->AddAlphaChannel();
    for (int y = 0; y < h; ++y)
      std::memcpy(png->AlphaRowAddress(y), &alpha[size_t(y) * w], size_t(w));
  }
  return png;
}

std::unique_ptr<TPngPicture> PictureFromMaskedBitmap(TBitmap* bitmap, TBitmap* mask, bool invert) {
  if (!bitmap) return nullptr;
  auto png = PictureOfBitmap(bitmap);
  png->AddAlphaChannel();
  if (!mask) return png;
  for (int y = 0; y < png->Height(); ++y) {
    uint8_t* alpha = png->AlphaRowAddress(y);
    for (int x = 0; x < png->Width(); ++x) {
      COLORREF c = mask->Canvas()->Pixels(x, y);
      uint8_t v = c == CLR_INVALID ? 255 : GetRValue(c);
      alpha[x] = invert ? uint8_t(255 - v) : v;
    }
  }
  return png;
}

std::unique_ptr<TPngPicture> PictureFromKeyedBitmap(TBitmap* bitmap, TColor color) {
  if (!bitmap) return nullptr;
  auto png = PictureOfBitmap(bitmap);
  png->AddAlphaChannel();
  COLORREF key = ColorToRGB(color) & 0xFFFFFF;
  for (int y = 0; y < png->Height(); ++y) {
    uint8_t* alpha = png->AlphaRowAddress(y);
    for (int x = 0; x < png->Width(); ++x)
      alpha[x] = (png->PixelColor(x, y) & 0xFFFFFF) == key ? 0 : 255;
  }
  return png;
}

void PictureFromImageList(TPngPicture* target, HIMAGELIST list, int index) {
  if (!target || !list || index < 0 || index >= ImageList_GetImageCount(list)) return;
  HICON icon = ImageList_GetIcon(list, index, ILD_NORMAL);
  if (!icon) return;
  ICONINFO info{};
  if (GetIconInfo(icon, &info)) {
    BITMAP cb{};
    if (info.hbmColor && GetObject(info.hbmColor, sizeof(cb), &cb)) {
      auto png = PictureFromHandle24(info.hbmColor, cb.bmWidth, std::abs(cb.bmHeight));
      target->AssignPng(*png);
      target->AddAlphaChannel();
      HDC dc = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(dc, info.hbmMask);
      for (int y = 0; y < target->Height(); ++y) {
        uint8_t* alpha = target->AlphaRowAddress(y);
        for (int x = 0; x < target->Width(); ++x)
          alpha[x] = (GetPixel(dc, x, y) & 0xFFFFFF) == 0 ? 255 : 0;
      }
      SelectObject(dc, old);
      DeleteDC(dc);
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }
  DestroyIcon(icon);
}

bool IsNT51OrLater() {
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof(v);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&v)) return false;
#pragma GCC diagnostic pop
  return v.dwPlatformId == VER_PLATFORM_WIN32_NT &&
         (v.dwMajorVersion > 5 || (v.dwMajorVersion == 5 && v.dwMinorVersion != 0));
}
