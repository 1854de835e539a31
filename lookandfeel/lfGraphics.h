// The drawing layer under the painters: canvas and region wrappers, the
// screen canvas, bitmaps with change batching, rotation, a compressed stream
// form and 32-bit pixel filters, colour lists, shared brushes, named colours
// and the AlphaBlend binding.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Graphics.h"

class TControl;

// Sides: 1 left, 2 top, 4 right, 8 bottom.
using TlfBorders = unsigned;
constexpr TlfBorders bLeft = 1, bTop = 2, bRight = 4, bBottom = 8, lfAllBorders = 15;

enum TlfRegionOperation { roSet, roAdd, roSubtract, roIntersect };

class TlfRegion : public TObject {
public:
  TlfRegion();
  explicit TlfRegion(HRGN Handle); // adopted
  explicit TlfRegion(const TRect& R);
  TlfRegion(int Left, int Top, int Right, int Bottom);
  ~TlfRegion() override;
  HRGN Handle() const { return FHandle; }
  bool IsEmpty() const;
  void CombineWith(TlfRegion* Other, TlfRegionOperation Operation, bool FreeOther = true);
  void MoveBy(int dx, int dy);

private:
  HRGN FHandle;
};

// What painters hand to fills: background bitmap, background colour, font, text colour.
struct TlfViewParams {
  TBitmap* Bitmap = nullptr;
  TColor Color = clDefault;
  TFont* Font = nullptr;
  TColor TextColor = clDefault;
};

// Library text flags.
constexpr unsigned lfTextLeft = 0, lfTextRight = 0x2, lfTextCenterX = 0x4, lfTextTop = 0,
                   lfTextBottom = 0x10, lfTextCenterY = 0x20, lfTextSingleLine = 0x40,
                   lfTextNoClip = 0x80, lfTextExpandTabs = 0x100, lfTextShowPrefix = 0x200,
                   lfTextWordBreak = 0x400, lfTextEndEllipsis = 0x800, lfTextCalcRect = 0x1000,
                   lfTextPathEllipsis = 0x2000, lfTextNoCharBreak = 0x4000;
UINT TranslateTextFlags(unsigned Flags);

class TlfCanvas : public TObject {
public:
  explicit TlfCanvas(TCanvas* Canvas);
  ~TlfCanvas() override;

  TCanvas* Canvas() const { return FCanvas; }
  TBrush* Brush() const { return FCanvas->Brush(); }
  TFont* Font() const { return FCanvas->Font(); }
  TPen* Pen() const { return FCanvas->Pen(); }
  HDC Handle() const { return FCanvas->Handle(); }
  POINT ViewportOrigin() const;
  void SetViewportOrigin(const POINT& P);
  POINT WindowOrigin() const;
  void SetWindowOrigin(const POINT& P);
  // Viewport origin minus window origin.
  POINT DeviceOrigin() const;

  void AssignFont(TFont* AFont) { FCanvas->Font()->Assign(AFont); }
  void PutPixel(int X, int Y, TColor Color) { FCanvas->SetPixels(X, Y, Color); }
  void CopyArea(const TRect& Dest, TCanvas* Source, const TRect& SourceRect) {
    FCanvas->CopyRect(Dest, Source, SourceRect);
  }
  void DrawGraphic(int X, int Y, TGraphic* Graphic) { FCanvas->Draw(X, Y, Graphic); }
  void SetBrushColor(TColor Color);

  // clNone draws nothing; clDefault uses the current brush colour.
  void FillColor(const TRect& R, TColor Color);
  // R covered by Bitmap tiled from the canvas origin, or the brush; with
  // Exclude, R then leaves the clip region.
  void FillPattern(const TRect& R, TBitmap* Bitmap = nullptr, bool Exclude = false);
  void FrameSides(const TRect& R, TColor LeftTop, TColor RightBottom,
                  TlfBorders Sides = lfAllBorders, int Width = 1);
  void DrawEdge3D(const TRect& R, bool Sunken, bool Outer, TlfBorders Sides = lfAllBorders);
  void FrameBands(const TRect& R, TColor Color, bool Exclude = false,
                  TlfBorders Sides = lfAllBorders, int Width = 1);
  void FillWithBorders(const TRect& R, const TlfViewParams& Params, bool Exclude, int BorderWidth,
                       TColor BorderColor, TlfBorders Sides = lfAllBorders);
  void InvertArea(const TRect& R);

  void MoveTo(int X, int Y) { FCanvas->MoveTo(X, Y); }
  void LineTo(int X, int Y) { FCanvas->LineTo(X, Y); }
  void Polygon(const std::vector<TPoint>& P) { FCanvas->Polygon(P); }
  void Polyline(const std::vector<TPoint>& P) { FCanvas->Polyline(P); }

  SIZE TextSize(const std::wstring& Text);
  int TextWidthOf(const std::wstring& Text) { return TextSize(Text).cx; }
  void MeasureText(const std::wstring& Text, TRect& R, unsigned Flags);
  void AlignTextVertically(TRect& R, const std::wstring& Text, bool NoCharBreak, bool Enabled,
                           bool ShowPrefix, bool WordBreak, int Alignment);
  void DrawTextInRect(const std::wstring& Text, TRect R, unsigned Flags, bool Enabled = true);

  void PushState();
  void PopState();
  int SavedStateCount() const { return static_cast<int>(FSavedStates.size()); }
  void ClipOut(const TRect& R);
  TlfRegion* ClipRegion(bool Relative = true);
  void ApplyClipRegion(TlfRegion* Region, TlfRegionOperation Operation = roSet,
                       bool Relative = true, bool FreeRegion = true);

protected:
  void SetCanvas(TCanvas* Canvas) { FCanvas = Canvas; }

private:
  void ValidateFont();
  TCanvas* FCanvas;
  std::vector<int> FSavedStates;
  std::vector<TlfRegion*> FSavedRegions;
};

// A canvas on the whole screen (the desktop window's device context).
class TlfScreenCanvas : public TlfCanvas {
public:
  TlfScreenCanvas();
  ~TlfScreenCanvas() override;

private:
  std::unique_ptr<TCanvas> FScreen;
};
TlfScreenCanvas* GetScreenCanvas();

// A list of 32-bit colour values.
class TlfColorList : public TObject {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  uint32_t Items(int i) const { return FItems.at(i); }
  int Add(uint32_t c) {
    FItems.push_back(c);
    return Count() - 1;
  }
  int IndexOf(uint32_t c) const;
  void Clear() { FItems.clear(); }

private:
  std::vector<uint32_t> FItems;
};

// A bitmap with a canvas wrapper, batched change notifications and the
// compressed "XDBM" stream form.
class TlfCustomBitmap : public TBitmap {
public:
  TlfCustomBitmap();
  TlfCustomBitmap(int Width, int Height, TPixelFormat Format = pf24bit);
  explicit TlfCustomBitmap(const TRect& R, TPixelFormat Format = pf24bit);
  ~TlfCustomBitmap() override;

  TlfCanvas* lfCanvas();
  void BeginChange() { ++FLockCount; }
  void EndChange(bool Force = false);
  int ChangeLockCount() const { return FLockCount; }
  virtual void ClearBitmap();
  virtual void SetBitmapSize(int Width, int Height);
  bool CompressData = false;

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;

protected:
  virtual void InitializeBitmap(int Width, int Height, TPixelFormat Format);
  virtual void SizeChanged() {}
  void Changed() override;

private:
  std::unique_ptr<TlfCanvas> FlfCanvas;
  int FLockCount = 0;
  bool FChangedWhileLocked = false;
};

// The run-length coding of the stream form: runs of 1 to 125 bytes.
std::vector<uint8_t> lfCompressBytes(const std::vector<uint8_t>& Data);
// Raises EReadError when the data ends inside a run.
std::vector<uint8_t> lfDecompressBytes(const uint8_t* Data, size_t Size);

enum TlfBitmapFilter {
  bfLighten,
  bfDisabled,
  bfGreyAverage,
  bfOpaque,
  bfMask,
  bfGrey,
  bfGreyGreen,
  bfAlphaZeroOpaque,
  bfHatch,
  bfFill,
  bfTransparent
};

// A 32-bit bitmap with per-pixel filters.
class TlfBitmap : public TlfCustomBitmap {
public:
  TlfBitmap();
  TlfBitmap(int Width, int Height);
  ~TlfBitmap() override;
  void ClearBitmap() override;
  void SetBitmapSize(int Width, int Height) override;
  void ApplyFilter(TlfBitmapFilter Kind);
  bool IsTransparent(uint32_t Pixel) const { return FTransparentColors.IndexOf(Pixel) >= 0; }
  TlfColorList* TransparentColors() { return &FTransparentColors; }
  // 0xAARRGGBB as stored (blue, green, red, alpha bytes).
  uint32_t FillColor = 0;
  uint32_t HatchColor1 = 0, HatchColor2 = 0;
  BYTE HatchAlpha1 = 0, HatchAlpha2 = 0;
  int HatchStep = 1;
  POINT CurrentPixel{};

protected:
  void SizeChanged() override;

private:
  void FilterPixel(TlfBitmapFilter Kind, uint32_t& P, int X, int Y);
  BITMAPINFOHEADER FInfo{};
  TlfColorList FTransparentColors;
};

POINT lfPoint(int X, int Y);
TColor ScreenColor(TColor c);
TColor LightTint(int a, int b, int c);
TColor LightBorderColor();
TColor LightSelectionColor();
uint32_t ColorToARGB(TColor Color, BYTE Alpha = 255);
uint32_t BlendPixel(uint32_t ARGB, uint32_t Pixel, BYTE Alpha);
int DrawTextFor(HDC DC, const std::wstring& Text, RECT& R, UINT Flags);
BOOL ExtTextOutFor(HDC DC, const std::wstring& Text, POINT P, int Count, UINT Options,
                   const RECT* R);
void TextSizeFor(HDC DC, const std::wstring& Text, SIZE& Size, int Count = -1);
bool BitmapInfoOf(HBITMAP Handle, BITMAP& Info);
// Pixels as 32-bit values, rows top-down or bottom-up.
bool ReadBitmapBits(TBitmap* Bitmap, bool TopDown, std::vector<uint32_t>& Pixels);
void WriteBitmapBits(TBitmap* Bitmap, std::vector<uint32_t>& Pixels, bool TopDown);
// Mode 0 mirror, 1 quarter turn counter-clockwise, 2 clockwise, 3 half turn;
// Flip mirrors the result top to bottom.
void RotateBitmap(TBitmap* Bitmap, int Mode, bool Flip = false);
void PaintParentIntoCanvas(TControl* Control, TCanvas* Canvas, const TRect& R,
                           bool WithSiblings = false);

// Shared brushes.
TBrush* lfHalftoneBrush();
TBrush* lfSystemBrush(int Index);

struct TlfColorInfo {
  const wchar_t* Name;
  TColor Color;
};
// The named-colour table (web colours, then system colour keywords).
const std::vector<TlfColorInfo>& lfColorTable();
bool lfColorByName(const std::wstring& Name, TColor& Color);

using TAlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                      BLENDFUNCTION);
TAlphaBlendProc lfAlphaBlend();

void lfGraphicsInitialize();
void lfGraphicsFinalize();
