// Skin toolbox: pictures, composition of skin pictures for new sizes, mask
// regions, rectangle helpers, glyph and text drawing, platform queries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Graphics.h"

class TControl;
class TCustomImageList;

// Errors of the skin engine (bad pictures, bad streams, bad files).
class ESkinError : public std::runtime_error {
public:
  explicit ESkinError(const std::string& message) : std::runtime_error(message) {}
};

// The whole content of a file; raises ESkinError "Cannot open file ..." when it
// cannot be read. Files above maxBytes are refused.
std::vector<uint8_t> ReadWholeFile(const std::wstring& fileName, size_t maxBytes = 256u << 20);
bool FileExistsW(const std::wstring& fileName);

// A 24-bit top-down DIB section. Empty when its width or height is 0.
class TskPicture {
public:
  TskPicture() = default;
  TskPicture(int width, int height) { SetSize(width, height); }
  ~TskPicture();
  TskPicture(const TskPicture& other);
  TskPicture& operator=(const TskPicture& other);
  TskPicture(TskPicture&& other) noexcept;
  TskPicture& operator=(TskPicture&& other) noexcept;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Empty() const { return FWidth <= 0 || FHeight <= 0; }
  HBITMAP Handle() const { return FHandle; }
  int Stride() const { return FStride; }

  // New size; the content becomes black. A size of 0 frees the picture.
  void SetSize(int width, int height);
  void Clear() { SetSize(0, 0); }
  void Fill(COLORREF color);

  uint8_t* ScanLine(int y) { return FBits + static_cast<size_t>(y) * FStride; }
  const uint8_t* ScanLine(int y) const { return FBits + static_cast<size_t>(y) * FStride; }
  // Colour as 0x00BBGGRR; outside the picture 0.
  COLORREF Pixel(int x, int y) const;
  void SetPixel(int x, int y, COLORREF color);

  // A complete BMP file image ("BM" header first); every size field is checked
  // against the bytes present. Raises ESkinError "Bitmap image is not valid".
  void LoadFromBmpBytes(const uint8_t* data, size_t size);
  // A JPEG image; raises ESkinError on bad data.
  void LoadFromJpegBytes(const uint8_t* data, size_t size);
  // BMP, or JPEG when the name says so (IsJpegFileName).
  void LoadFromFile(const std::wstring& fileName);
  // Copies any device-dependent or DIB bitmap.
  void LoadFromHandle(HBITMAP bitmap);
  // A complete 24-bit BMP file image.
  std::vector<uint8_t> SaveToBmpBytes() const;

private:
  void Free();
  int FWidth = 0, FHeight = 0, FStride = 0;
  HBITMAP FHandle = nullptr;
  uint8_t* FBits = nullptr;
};

// Copies src rectangle s into dst rectangle d, stretching (nearest pixel)
// when the sizes differ; both rectangles are clipped to their pictures.
void StretchCopy(TskPicture& dst, const RECT& d, const TskPicture& src, const RECT& s);
// Draws a picture to a device context.
void DrawPicture(HDC dc, int x, int y, const TskPicture& picture);
void DrawPictureRect(HDC dc, const RECT& dst, const TskPicture& picture, const RECT& src);

// Rectangle helpers.
inline RECT MakeRect(int l, int t, int r, int b) {
  return RECT{l, t, r, b};
}
inline int RectWidth(const RECT& r) {
  return r.right - r.left;
}
inline int RectHeight(const RECT& r) {
  return r.bottom - r.top;
}
inline int IntMax(int a, int b) {
  return a > b ? a : b;
}
bool RectsEqual(const RECT& a, const RECT& b);
RECT NullRect();
bool IsNullRect(const RECT& r);
bool IsNullPoint(const POINT& p);
bool RectContainsPoint(const RECT& r, const POINT& p);
bool RectInRect(const RECT& a, const RECT& b);

// Geometry of a skin element cut by four corner points and a client rectangle.
struct TskSkinGeometry {
  POINT LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  RECT ClientRect{};
};

// The usual new geometry for a W x H copy of a skin rectangle R: left and top
// values stay, right values move by W - R.width, bottom values by H - R.height.
TskSkinGeometry ScaleSkinGeometry(const TskSkinGeometry& g, const RECT& r, int w, int h);

// Stretch types: 0 full, 1 horizontal tiles, 2 vertical tiles.
enum TskStretchType { stFull = 0, stHorz = 1, stVert = 2 };

struct TskSkinImageParams {
  TskSkinGeometry Old; // in the coordinates of R
  TskSkinGeometry New; // in destination coordinates
  bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
  bool DrawCentre = true;
  bool StretchEffect = false;
  TskStretchType StretchType = stFull;
  int W = 0, H = 0;
  RECT R{};
};

// Takes a skin description's stretch settings (edges, effect and type).
template <class D> void TakeStretch(TskSkinImageParams& p, const D& d) {
  p.LeftStretch = d.LeftStretch;
  p.TopStretch = d.TopStretch;
  p.RightStretch = d.RightStretch;
  p.BottomStretch = d.BottomStretch;
  p.StretchEffect = d.StretchEffect;
  p.StretchType = static_cast<TskStretchType>(d.StretchType);
}

// Composes rectangle R of the picture into a W x H destination: corners copied,
// edges and centre tiled or stretched. Degenerate tiles (zero length) are
// stretched instead of tiled.
void CreateSkinImage(const TskSkinImageParams& p, const TskPicture& picture, TskPicture& dest);
void CreateSkinImage2(const TskSkinImageParams& p, const TskPicture& picture, TskPicture& dest);
// As CreateSkinImage without right edge and right corners.
void CreateSkinImageNoRight(const TskSkinImageParams& p, const TskPicture& picture,
                            TskPicture& dest);
// Corner points taken from CR's corners; every edge and the centre stretched.
// The destination's size must already be set.
void CreateStretchImage(TskPicture& dest, const TskPicture& picture, const RECT& r, const RECT& cr,
                        bool drawCentre);
void CreateHSkinImage(int leftWidth, int rightWidth, TskPicture& dest, bool stretch, int w,
                      const RECT& s, const TskPicture& picture, bool noRight = false);
void CreateVSkinImage(int topHeight, int bottomHeight, TskPicture& dest, bool stretch, int h,
                      const RECT& s, const TskPicture& picture);

// Region data (RGNDATA: 32-byte header and 16-byte rectangles) of the black
// pixels of a mask; empty for an empty mask. Any number of runs is handled.
std::vector<uint8_t> CreateRegionFromMask(const TskPicture& mask, int offsetX, int offsetY);
// A region from region data; nullptr for empty data.
HRGN RegionFromData(const std::vector<uint8_t>& data);
// Region of a whole mask at (0, 0); nullptr for an empty mask.
HRGN MaskBitmapToRegion(const TskPicture& mask);
// Window region of a mask for a new size (mask geometry Old, new geometry New,
// maskrect = the client rectangle of the mask). nullptr when the new corner
// layout is inverted.
HRGN CreateSkinRegion(const TskSkinGeometry& oldG, const TskSkinGeometry& newG, int w, int h,
                      const TskPicture& mask);

// The four border pictures of a frame for a new size W x H (no centre), from
// rectangle R of the picture with its old and new geometry and stretch flags.
// A border that the geometry does not give is left empty.
void CreateSkinBorderImages(const TskSkinImageParams& p, const TskPicture& picture, TskPicture& top,
                            TskPicture& bottom, TskPicture& left, TskPicture& right);

// Button layout: 0 glyph left, 1 right, 2 top, 3 bottom; margin -1 centres.
void CalcButtonLayout(const RECT& r, int layout, int margin, int spacing, int glyphW, int glyphH,
                      int textW, int textH, POINT& glyphPos, POINT& textPos);

// An image-list image and a caption laid out in r (CalcButtonLayout); the
// image greyed when disabled, everything one pixel further when pressed; with
// mark, three lines in markColor under the image (or the caption), or a bar
// filling r when there is neither. The caption uses the canvas's font.
void DrawImageAndText(TCanvas* canvas, const RECT& r, int margin, TColor markColor, bool mark,
                      bool enabled, bool pressed, TCustomImageList* images, int imageIndex,
                      const std::wstring& caption, int layout, int spacing);
// The same with glyph number glyphNum (from 1) of a strip of numGlyphs cells.
void DrawGlyphAndText(TCanvas* canvas, const RECT& r, int margin, TColor markColor, bool mark,
                      bool enabled, bool pressed, TBitmap* glyph, int numGlyphs, int glyphNum,
                      const std::wstring& caption, int layout, int spacing);
// Cell glyphNum (from 1) of a strip of numGlyphs cells at (x, y), the colour of
// the cell's bottom-left pixel left out; nothing for an empty strip or a
// number outside the strip.
void DrawGlyph(TCanvas* canvas, int x, int y, int glyphNum, int numGlyphs, TBitmap* glyph);
// Paints what lies behind control in its parent onto canvas (in the
// control's coordinates): the parent's background and contents, then the
// parent's windowless controls below control that overlap it.
void PaintParentBackground(TControl* control, TCanvas* canvas);

// Glyphs and marks.
void DrawArrow(HDC dc, const RECT& r, COLORREF color, int direction);
void DrawSmallDownArrow(HDC dc, const RECT& r, COLORREF color);
void DrawCheckMark(HDC dc, int x, int y, COLORREF color);
void DrawCloseGlyph(HDC dc, int x, int y, COLORREF color);
void DrawSysMenuGlyph(HDC dc, int x, int y, COLORREF color);
void DrawMinimizeGlyph(HDC dc, int x, int y, COLORREF color);
void DrawMaximizeGlyph(HDC dc, int x, int y, COLORREF color);
void DrawRestoreGlyph(HDC dc, int x, int y, COLORREF color);
void DrawRollUpGlyph(HDC dc, int x, int y, COLORREF color);
void DrawRollDownGlyph(HDC dc, int x, int y, COLORREF color);
void DrawMinToTrayGlyph(HDC dc, int x, int y, COLORREF color);

// Text.
void TrimTextToWidth(HDC dc, std::wstring& text, int width);
int WideDrawText(HDC dc, const std::wstring& text, RECT& r, UINT format);
int WideTextWidth(HDC dc, const std::wstring& text);
int WideTextHeight(HDC dc, const std::wstring& text);
void DrawTextSingleLine(HDC dc, const std::wstring& text, RECT r);
void DrawTextClipped(HDC dc, const std::wstring& text, const RECT& r, int indent = 0);

// Platform.
bool IsJpegFileName(const std::wstring& fileName);
void LoadJpegToBitmap(TskPicture& picture, const std::wstring& fileName);
void GetWinVersion(int& major, int& minor);
bool IsWinVistaOrLater();
bool IsWinXPOrLater();
bool IsWin2KOrLater();
void SetLayeredAlpha(HWND window, BYTE alpha);
void GetScreenArea(bool workArea, RECT& r);
void GetMonitorRect(HWND window, bool workArea, RECT& r);
void CopyScreenToBitmap(int x, int y, TskPicture& picture);
