// Colours, fonts, pens, brushes, canvases over device contexts, bitmaps as
// DIB sections, icons and pictures with a registry of graphic classes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Classes.h"

class TStream;

// ---------------------------------------------------------------------------
// Colours: 0x00BBGGRR, or 0xFF000000 + system colour index.

using TColor = std::uint32_t;

constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
constexpr TColor clHotLight = clSystemColor | 26;
constexpr TColor clGradientActiveCaption = clSystemColor | 27;
constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
constexpr TColor clMenuHighlight = clSystemColor | 29;
constexpr TColor clMenuBar = clSystemColor | 30;

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clLtGray = 0xC0C0C0, clDkGray = 0x808080, clMoneyGreen = 0xC0DCC0,
                 clSkyBlue = 0xF0CAA6, clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour (system colours resolved now).
COLORREF ColorToRGB(TColor Color);

// ---------------------------------------------------------------------------
// Drawing tools

class TGraphicsObject : public TPersistent {
public:
  TNotifyEvent OnChange;

protected:
  virtual void Changed();
};

using TFontStyles = unsigned;
constexpr TFontStyles fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;
enum TFontPitch { fpDefault, fpVariable, fpFixed };

class TFont : public TGraphicsObject {
public:
  TFont();
  ~TFont() override;
  void Assign(TPersistent* Source) override;

  const std::wstring& Name() const { return FName; }
  void SetName(const std::wstring& Value);
  // Height in pixels; negative = character height (the usual form).
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  // Size in points at the screen's resolution.
  int Size() const;
  void SetSize(int Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  BYTE Charset() const { return FCharset; }
  void SetCharset(BYTE Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  // Escapement in tenths of a degree (900 = text running upwards).
  int Orientation() const { return FOrientation; }
  void SetOrientation(int Value);
  int PixelsPerInch() const { return FPixelsPerInch; }

  // The font object, made when first asked for.
  HFONT Handle();
  // Takes the attributes of an existing font object.
  void SetHandle(HFONT Value);

protected:
  void Changed() override;

private:
  void FreeHandle();
  std::wstring FName = L"Tahoma";
  int FHeight = -11;
  TFontStyles FStyle = 0;
  TColor FColor = clWindowText;
  BYTE FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
  int FOrientation = 0;
  int FPixelsPerInch = 96;
  HFONT FHandle = nullptr;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};

class TPen : public TGraphicsObject {
public:
  TPen() = default;
  ~TPen() override;
  void Assign(TPersistent* Source) override;
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);
  HPEN Handle();

protected:
  void Changed() override;

private:
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
  HPEN FHandle = nullptr;
};

class TBitmap;
enum TBrushStyle {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};

class TBrush : public TGraphicsObject {
public:
  TBrush() = default;
  ~TBrush() override;
  void Assign(TPersistent* Source) override;
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  // A pattern bitmap (not owned); the brush is made from it while set.
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);
  HBRUSH Handle();

protected:
  void Changed() override;

private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;
  HBRUSH FHandle = nullptr;
};

// ---------------------------------------------------------------------------
// Canvas

class TGraphic;

// Drawing on a device context; the pen, brush and font are selected into it
// when an operation needs them.
class TCanvas : public TPersistent {
public:
  TCanvas();
  ~TCanvas() override;

  // The device context; a canvas that makes its own calls CreateHandle on demand.
  HDC Handle();
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TFont* Font() const { return FFont.get(); }
  TPen* Pen() const { return FPen.get(); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  // Raster operation of CopyRect.
  DWORD CopyMode() const { return FCopyMode; }
  void SetCopyMode(DWORD Value) { FCopyMode = Value; }
  TPoint PenPos();
  void SetPenPos(const TPoint& p) { MoveTo(p.X, p.Y); }
  TRect ClipRect();

  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
  void Polygon(const std::vector<TPoint>& Points);
  void Polyline(const std::vector<TPoint>& Points);
  void FillRect(const TRect& R);
  void FrameRect(const TRect& R);
  void DrawFocusRect(const TRect& R);
  void TextOut(int X, int Y, const std::wstring& Text);
  // Text clipped to R, drawn at X, Y.
  void TextRect(const TRect& R, int X, int Y, const std::wstring& Text);
  TSize TextExtent(const std::wstring& Text);
  int TextWidth(const std::wstring& Text) { return TextExtent(Text).cx; }
  int TextHeight(const std::wstring& Text) { return TextExtent(Text).cy; }
  // Draws a graphic at X, Y (a transparent bitmap leaves its transparent colour out).
  void Draw(int X, int Y, TGraphic* Graphic);
  void StretchDraw(const TRect& R, TGraphic* Graphic);
  // Copies Source's rectangle into Dest, stretching when their sizes differ.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  TColor Pixels(int X, int Y);
  void SetPixels(int X, int Y, TColor Value);

  void Lock();
  void Unlock();
  void Refresh();
  TNotifyEvent OnChange;

protected:
  virtual void CreateHandle() {}
  // Deselects the drawing tools (before a derived canvas releases its DC).
  void DeselectHandles();
  void RequireState(bool pen, bool brush, bool font);
  virtual void Changing() {}
  virtual void Changed();

private:
  HDC FHandle = nullptr;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  HGDIOBJ FOldPen = nullptr, FOldBrush = nullptr, FOldFont = nullptr;
  bool FPenOk = false, FBrushOk = false, FFontOk = false;
  DWORD FCopyMode = SRCCOPY;
  CRITICAL_SECTION FLock;
};

// ---------------------------------------------------------------------------
// Graphics

class TGraphic : public TPersistent {
public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int Value) = 0;
  virtual void SetHeight(int Value) = 0;
  virtual bool Empty() const = 0;
  // Draws the graphic scaled into Rect.
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;

  virtual void LoadFromFile(const std::wstring& FileName);
  virtual void SaveToFile(const std::wstring& FileName);
  virtual void LoadFromStream(TStream* Stream);
  virtual void SaveToStream(TStream* Stream);
  // Reads the graphic from a complete file image in memory.
  virtual void LoadFromBytes(const std::vector<std::uint8_t>& Data) = 0;
  // The graphic's file image.
  virtual std::vector<std::uint8_t> SaveToBytes() = 0;
  // Clipboard data: loading reads data of a clipboard format (the data stays
  // the clipboard's); saving makes data that the caller hands to the
  // clipboard. Graphics without a clipboard format raise EInvalidGraphic.
  virtual void LoadFromClipboardFormat(UINT AFormat, HANDLE AData, HPALETTE APalette);
  virtual void SaveToClipboardFormat(UINT& AFormat, HANDLE& AData, HPALETTE& APalette);

  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }
  TNotifyEvent OnChange;

protected:
  virtual void Changed();

private:
  bool FTransparent = false;
  bool FModified = false;
};

enum TPixelFormat {
  pfDevice,
  pf1bit,
  pf4bit,
  pf8bit,
  pf15bit,
  pf16bit,
  pf24bit,
  pf32bit,
  pfCustom
};
enum TTransparentMode { tmAuto, tmFixed };
enum TBitmapHandleType { bmDIB, bmDDB };

class TBitmap;

class TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap* Bitmap) : FBitmap(Bitmap) {}
  ~TBitmapCanvas() override;
  // Lets the bitmap go (before it is resized or freed).
  void FreeContext();

protected:
  void CreateHandle() override;
  void Changed() override;

private:
  TBitmap* FBitmap;
  HDC FDC = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
};

// A device-independent bitmap (DIB section), 24 or 32 bits per pixel (1 for
// monochrome), rows reachable through ScanLine.
class TBitmap : public TGraphic {
public:
  TBitmap();
  ~TBitmap() override;
  void Assign(TPersistent* Source) override;

  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  void SetWidth(int Value) override { SetSize(Value, FHeight); }
  void SetHeight(int Value) override { SetSize(FWidth, Value); }
  // Resizes keeping the picture's top-left part.
  void SetSize(int W, int H);
  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

  TPixelFormat PixelFormat() const { return FPixelFormat; }
  // pf32bit, pf24bit or pf1bit; other formats are kept as pf24bit.
  void SetPixelFormat(TPixelFormat Value);
  bool Monochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool Value);
  TBitmapHandleType HandleType() const { return bmDIB; }
  void SetHandleType(TBitmapHandleType) {}

  // The address of row Row (0 = top), valid until the bitmap is resized.
  void* ScanLine(int Row);
  // Bytes per row.
  int RowBytes() const;

  TCanvas* Canvas();
  // The bitmap handle (created for an empty bitmap as 0x0).
  HBITMAP Handle();
  // Copies an existing bitmap (the caller keeps its handle).
  void SetHandle(HBITMAP Value);
  // Gives the handle to the caller; the bitmap becomes empty.
  HBITMAP ReleaseHandle();
  void Dormant() {}
  void FreeImage() {}

  bool Transparent() const override { return TGraphic::Transparent(); }
  // With tmAuto, the colour of the bottom-left pixel.
  TColor TransparentColor();
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);

  // Reads a BMP file image; raises EInvalidGraphic for broken data.
  void LoadFromBytes(const std::vector<std::uint8_t>& Data) override;
  std::vector<std::uint8_t> SaveToBytes() override;
  // Reads CF_DIB or CF_BITMAP data; saves as CF_DIB.
  void LoadFromClipboardFormat(UINT AFormat, HANDLE AData, HPALETTE APalette) override;
  void SaveToClipboardFormat(UINT& AFormat, HANDLE& AData, HPALETTE& APalette) override;
  // A BITMAP resource of the module (null = the program).
  void LoadFromResourceName(HINSTANCE Instance, const std::wstring& ResName);
  void LoadFromResourceID(HINSTANCE Instance, int ResID);

protected:
  void Changed() override;

private:
  friend class TBitmapCanvas;
  void Recreate(int W, int H, TPixelFormat Fmt, bool Keep);
  void Clear();
  void LoadFromDIB(const BITMAPINFO* Info, size_t InfoSize, const void* Bits, size_t BitsSize);
  HBITMAP FHandle = nullptr;
  void* FBits = nullptr;
  int FWidth = 0, FHeight = 0;
  TPixelFormat FPixelFormat = pf24bit;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
  std::unique_ptr<TBitmapCanvas> FCanvas;
};

FW_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
FW_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);

class TIcon : public TGraphic {
public:
  TIcon() = default;
  ~TIcon() override;
  void Assign(TPersistent* Source) override;
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  void SetWidth(int Value) override { FWidth = Value; }
  void SetHeight(int Value) override { FHeight = Value; }
  bool Empty() const override { return FHandle == nullptr; }
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  HICON Handle() const { return FHandle; }
  // Takes ownership of Value.
  void SetHandle(HICON Value);
  HICON ReleaseHandle();
  void LoadFromBytes(const std::vector<std::uint8_t>& Data) override;
  std::vector<std::uint8_t> SaveToBytes() override;

private:
  HICON FHandle = nullptr;
  int FWidth = 0, FHeight = 0;
  std::vector<std::uint8_t> FData;
};

// ---------------------------------------------------------------------------
// Pictures: any registered graphic class, chosen by file extension or by class name.

using TGraphicFactory = std::function<TGraphic*()>;

class TPicture : public TPersistent {
public:
  TPicture() = default;
  ~TPicture() override;
  void Assign(TPersistent* Source) override;

  TGraphic* Graphic() const { return FGraphic.get(); }
  // Copies Value (null empties the picture).
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap, replacing a graphic of another class by an empty bitmap.
  TBitmap* Bitmap();
  TIcon* Icon();
  int Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // Picks the graphic class by the file's extension.
  void LoadFromFile(const std::wstring& FileName);
  void SaveToFile(const std::wstring& FileName);
  TNotifyEvent OnChange;

  // Registers a graphic class for an extension (without dot) under its class
  // name; the latest registration of an extension wins.
  static void RegisterFileFormat(const std::wstring& Extension, const std::wstring& Description,
                                 const std::wstring& ClassName, TGraphicFactory Factory);
  // Removes every registration of the class name.
  static void UnregisterGraphicClass(const std::wstring& ClassName);
  // A new graphic of the class registered for the extension / class name, or null.
  static TGraphic* CreateGraphicForExtension(const std::wstring& Extension);
  static TGraphic* CreateGraphicByClassName(const std::wstring& ClassName);
  // "Description (*.ext)|*.ext|..." for the registered formats.
  static std::wstring GraphicFilter();

protected:
  virtual void Changed();

private:
  void Take(TGraphic* G);
  std::unique_ptr<TGraphic> FGraphic;
};

// ---------------------------------------------------------------------------
// Helpers

// Draws a frame of Width lines inside Rect: top and left in TopColor, bottom
// and right in BottomColor; Rect shrinks by the frame.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);
// An 8x8 dither bitmap of two colours, shared and kept until exit.
TBitmap* AllocPatternBitmap(TColor BkColor, TColor FgColor);
