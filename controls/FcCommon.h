// Frame, border and colour routines shared by the framed controls.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <windows.h>

#include "framework/Classes.h"
#include "framework/Controls.h"
#include "framework/Graphics.h"
#include "framework/IniFiles.h"
#include "framework/Registry.h"

// ---------------------------------------------------------------------------
// Enumerations of the framed controls

enum TFrameStyleEx : uint8_t {
  fsNone,
  fsFlat,
  fsGroove,
  fsBump,
  fsLowered,
  fsButtonDown,
  fsRaised,
  fsButtonUp,
  fsStatus,
  fsPopup,
  fsFlatBold,
  fsFlatRounded
};
// Controls' frame properties use fsNone..fsFlatBold.
using TFrameStyle = TFrameStyleEx;
constexpr TFrameStyle FrameStyleLast = fsFlatBold;

enum TSide : uint8_t { sdLeft, sdTop, sdRight, sdBottom };
// Bit 1 left, 2 top, 4 right, 8 bottom.
using TSides = uint8_t;
constexpr TSides sdsLeft = 1, sdsTop = 2, sdsRight = 4, sdsBottom = 8, sdsAll = 15;

enum TFramingPreference : uint8_t { fpCustomFraming, fpXPThemes };
enum TGradientDirection : uint8_t {
  gdDiagonalUp,
  gdDiagonalDown,
  gdHorizontalEnd,
  gdHorizontalCenter,
  gdHorizontalBox,
  gdVerticalEnd,
  gdVerticalCenter,
  gdVerticalBox,
  gdSquareBox,
  gdBigSquareBox
};
enum TFcGradientColorStyle : uint8_t { gcsSystem, gcsMSOffice, gcsCustom };
enum TFcVisualStyle : uint8_t { vsClassic, vsWinXP, vsGradient };
enum TBarStyle : uint8_t { bsTraditional, bsLED, bsGradient };
enum TOrientation : uint8_t { orHorizontal, orVertical };
enum TAlignmentVertical : uint8_t { avTop, avCenter, avBottom };

// Controls with a Transparent property answer through this.
class IFcTransparency {
public:
  virtual ~IFcTransparency() = default;
  virtual bool GetTransparent() const = 0;
};

// Unit-wide settings made at start-up.
extern uint8_t XPColorScheme;
extern bool HighColorDisplay;

// ---------------------------------------------------------------------------
// Colour arithmetic (hue, saturation and luminance on 0..240)

void ColorToHslBytes(TColor Color, uint8_t& H, uint8_t& S, uint8_t& L);
TColor HslBytesToColor(uint8_t H, uint8_t S, uint8_t L);
// Luminance arguments may pass 240; the conversion clips each channel.
TColor HslToColorL(uint8_t H, uint8_t S, int L);
TColor DarkenColor(TColor Color, uint8_t Amount);
TColor LightenColor(TColor Color, uint8_t Amount);
TColor AdjustLuminance(TColor Color, int Adjustment);
bool ColorsAreSimilar(TColor ForeColor, TColor BackColor);

// ---------------------------------------------------------------------------
// Lines and frames; each returns the rectangle left inside what it drew.

TRect DrawSideLines(TCanvas* Canvas, const TRect& Rect, TColor ULColor, TColor LRColor,
                    TSides Sides);
TRect DrawBevelLines(TCanvas* Canvas, const TRect& Rect, TColor ULColor, TColor LRColor,
                     TSides Sides, int Count);
TRect DrawRectOutline(TCanvas* Canvas, const TRect& Rect, TColor Color);
TRect DrawRoundedLineBorder(TCanvas* Canvas, const TRect& Rect, TColor Color, TSides Sides);
TRect Draw3DEdgeBorderSides(TCanvas* Canvas, const TRect& Rect, bool Lowered, TSides Sides);
TRect Draw3DEdgeBorder(TCanvas* Canvas, const TRect& Rect, bool Lowered);
TRect DrawPushButtonBorderSides(TCanvas* Canvas, const TRect& Rect, bool Down, TSides Sides);
TRect DrawPushButtonBorder(TCanvas* Canvas, const TRect& Rect, bool Down);
TRect DrawShadedButtonBorderSides(TCanvas* Canvas, const TRect& Rect, TColor Color, TSides Sides,
                                  bool Down);
TRect DrawShadedButtonBorder(TCanvas* Canvas, const TRect& Rect, TColor Color, bool Down);
TRect DrawStyledBorderSides(TCanvas* Canvas, const TRect& Rect, TFrameStyleEx FrameStyle,
                            TSides Sides);
TRect DrawStyledBorder(TCanvas* Canvas, const TRect& Rect, TFrameStyleEx FrameStyle);
TRect DrawShadedStyledBorderSides(TCanvas* Canvas, const TRect& Rect, TColor Color, TSides Sides,
                                  TFrameStyleEx FrameStyle);
TRect DrawShadedStyledBorder(TCanvas* Canvas, const TRect& Rect, TColor Color,
                             TFrameStyleEx FrameStyle);

void PaintControlFrame(TCanvas* Canvas, int Width, int Height, bool NoErase, TSides FrameSides,
                       TColor FrameColor, TColor ControlColor, TFrameStyle FrameStyle);
void RedrawWindowFrame(HWND Wnd, const TRect& Rect);

void DrawPanelBorders(TCanvas* Canvas, const TRect& Rect, TFrameStyleEx BorderOuter,
                      TFrameStyleEx BorderInner, int BorderWidth, TSides BorderSides,
                      int BevelWidth, TColor BorderColor, TColor BorderHighlight,
                      TColor BorderShadow, TColor FlatColor, int FlatColorAdjustment, TColor Color,
                      TColor ParentColor, bool Transparent, bool CutCorners, TRect& InnerRect);

// ---------------------------------------------------------------------------
// Progress bars

void DrawTraditionalProgressBar(TCanvas* Canvas, const TRect& Rect, TOrientation Orientation,
                                TColor BarColor, TColor BackColor, uint16_t Percent,
                                bool ShowPercent, bool Transparent);
void DrawLedProgressBar(TCanvas* Canvas, const TRect& Rect, TOrientation Orientation,
                        TColor BarColor, TColor BackColor, int NumSegments, uint16_t Percent,
                        bool ThemeAware, bool Transparent);
void DrawGradientProgressBar(TCanvas* Canvas, const TRect& Rect, TOrientation Orientation,
                             TColor BarColor, TColor BarColorStop, TColor BackColor,
                             TColor BackColorStop, TGradientDirection GradientDirection,
                             uint16_t Percent, bool ShowPercent, bool Transparent);

// The segment layout of an LED bar along Total pixels. Zero or fewer
// segments give Count 0 (nothing to draw).
struct TLedLayout {
  int Segment = 0; // pixels per segment
  int Count = 0;   // segments drawn
  int Margin = 0;  // background strip at each end
};
TLedLayout LedProgressLayout(int Total, int NumSegments);

// ---------------------------------------------------------------------------
// Glyphs: Direction 0 up, 1 down, 2 left, 3 right.

void DrawDropDownArrow(TCanvas* Canvas, const TRect& Rect, bool Themed, bool Enabled);
void DrawSpinArrow(TCanvas* Canvas, const TRect& Rect, bool Themed, bool Enabled, int Direction);

// ---------------------------------------------------------------------------
// Look-ups

uint8_t GetXPColorScheme();
// The scheme number of a colour-scheme name (case does not matter).
uint8_t XPColorSchemeOfName(const std::wstring& Name);
TColor GetThemedColor(int Index);
void GetGradientColors(TFcGradientColorStyle ColorStyle, TColor& StartColor, TColor& StopColor);
TColor GetGradientFrameColor(TFcGradientColorStyle ColorStyle);
void GetStatusGradientColors(TFcGradientColorStyle ColorStyle, TColor& StopColor,
                             TColor& StartColor, TColor& LineColor);
bool ThemesEnabled();

// ---------------------------------------------------------------------------
// Platform and text

bool IsHighColorDisplay();
bool IsWindowsVersion(int Version);
// The same test on given version numbers (platform 1 = 95 family, 2 = NT).
bool IsWindowsVersionOf(int Version, DWORD PlatformId, DWORD Major, DWORD Minor);
TRect CenterRectangle(const TRect& Rect, int Width, int Height);
HFONT CreateRotatedFont(TFont* Font, int Angle);
int GetEditTextHeight(TFont* Font);
bool IsCharInSet(wchar_t Ch, const std::wstring& Set);
int DrawCanvasText(TCanvas* Canvas, const std::wstring& Text, TRect& Rect, UINT Format);
void DrawCanvasTextCentered(TCanvas* Canvas, const std::wstring& Text, const TRect& Rect);
void InvalidateTransparentChildren(TWinControl* Container);
inline int MinInt(int A, int B) {
  return A < B ? A : B;
}
inline int MaxInt(int A, int B) {
  return A > B ? A : B;
}

// ---------------------------------------------------------------------------
// Graphics

void DrawTransparentBitmapRect(TCanvas* Canvas, TBitmap* Bitmap, const TRect& DestRect,
                               TColor TransparentColor, const TRect& SourceRect);
void FlipBitmapVertically(TBitmap* Bitmap);
void FillGradientRect(TCanvas* Canvas, const TRect& Rect, TGradientDirection Direction,
                      TColor StartColor, TColor StopColor, int ColorStep);
void RenderParentBackground(TControl* Control, HDC DC, bool InvalidateParent);

// ---------------------------------------------------------------------------
// A window-message timer for the framed controls.

class TFcTimer {
public:
  TFcTimer();
  ~TFcTimer();
  TFcTimer(const TFcTimer&) = delete;
  TFcTimer& operator=(const TFcTimer&) = delete;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned Value);
  std::function<void()> OnTimer;

private:
  void Update();
  HWND FWnd = nullptr;
  bool FEnabled = false;
  unsigned FInterval = 1000;
};

// ---------------------------------------------------------------------------
// Blinking: one timer shared by every blinking status pane.

constexpr UINT CM_BLINKQUERY = 46056;
constexpr UINT CM_BLINK = 46057;

class TFcBlinkingControlsList : public TObject {
public:
  TFcBlinkingControlsList();
  ~TFcBlinkingControlsList() override;
  void Add(TControl* Control);
  // The control must be registered.
  void Remove(TControl* Control);
  virtual int Count() const { return FControls.Count(); }
  uint8_t BlinkState() const { return FBlinkState; }
  unsigned IntervalOn() const { return FIntervals[0]; }
  void SetIntervalOn(unsigned Value) { FIntervals[0] = Value; }
  unsigned IntervalOff() const { return FIntervals[1]; }
  void SetIntervalOff(unsigned Value) { FIntervals[1] = Value; }
  // One tick of the timer.
  void Tick();

private:
  uint8_t FBlinkState = 1;
  unsigned FIntervals[2] = {500, 500};
  TFcTimer FTimer;
  TList FControls;
};

// The single list; empty until a status pane makes it.
extern TFcBlinkingControlsList* BlinkingControls;
TFcBlinkingControlsList* NeedBlinkingControls();
void FreeBlinkingListIfEmpty();

// ---------------------------------------------------------------------------
// Frame controller: one set of frame and colour settings pushed into every
// attached control.

enum TFcFrameControllerProperty : uint8_t {
  fcpColor,
  fcpFocusColor,
  fcpDisabledColor,
  fcpReadOnlyColor,
  fcpReadOnlyColorOnFocus,
  fcpParentColor,
  fcpFlatButtonColor,
  fcpFlatButtons,
  fcpFrameColor,
  fcpFrameHotColor,
  fcpFrameHotTrack,
  fcpFrameHotStyle,
  fcpFrameSides,
  fcpFrameStyle,
  fcpFrameVisible,
  fcpFramingPreference,
  fcpAll
};
// Bit n for property n.
using TFcFrameControllerNotifications = uint16_t;
constexpr TFcFrameControllerNotifications fcnAll = 0xFFFF;

class TFcFrameController;
class TFcRegIniFile;

// A control that copies the controller's settings itself.
class IFrameControllerClient {
public:
  virtual ~IFrameControllerClient() = default;
  virtual void ApplyFrameController() = 0;
};

// A control that takes the controller's settings one by one. Properties it
// does not have are skipped.
class IFcFrameControlled {
public:
  virtual ~IFcFrameControlled() = default;
  virtual TFcFrameControllerNotifications FrameControllerNotifications() const = 0;
  virtual void SetControllerProperty(TFcFrameControllerProperty Property,
                                     const TFcFrameController& Controller) = 0;
};

class TFcFrameController : public TComponent {
public:
  explicit TFcFrameController(TComponent* AOwner);
  ~TFcFrameController() override;
  void Assign(TPersistent* Source) override;

  void AttachControl(TControl* Control);
  void DetachControl(TControl* Control);
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  virtual void UpdateFrames(TFcFrameControllerProperty Property);
  virtual void UpdateControlFrame(TControl* Control, TFcFrameControllerProperty Property);
  TFcFrameControllerNotifications GetNotifications(TControl* Control) const;
  int ControlCount() const { return FControls ? FControls->Count() : 0; }

  TColor Color() const { return FColor; }
  void SetColor(TColor V);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool V);
  TColor FlatButtonColor() const { return FFlatButtonColor; }
  void SetFlatButtonColor(TColor V) { Set(FFlatButtonColor, V, fcpFlatButtonColor); }
  bool FlatButtons() const { return FFlatButtons; }
  void SetFlatButtons(bool V) { Set(FFlatButtons, V, fcpFlatButtons); }
  TColor DisabledColor() const { return FDisabledColor; }
  void SetDisabledColor(TColor V) { Set(FDisabledColor, V, fcpDisabledColor); }
  TColor ReadOnlyColor() const { return FReadOnlyColor; }
  void SetReadOnlyColor(TColor V) { Set(FReadOnlyColor, V, fcpReadOnlyColor); }
  bool ReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
  void SetReadOnlyColorOnFocus(bool V) { Set(FReadOnlyColorOnFocus, V, fcpReadOnlyColorOnFocus); }
  TColor FocusColor() const { return FFocusColor; }
  void SetFocusColor(TColor V) { Set(FFocusColor, V, fcpFocusColor); }
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor V) { Set(FFrameColor, V, fcpFrameColor); }
  TColor FrameHotColor() const { return FFrameHotColor; }
  void SetFrameHotColor(TColor V) { Set(FFrameHotColor, V, fcpFrameHotColor); }
  bool FrameHotTrack() const { return FFrameHotTrack; }
  void SetFrameHotTrack(bool V);
  TFrameStyle FrameHotStyle() const { return FFrameHotStyle; }
  void SetFrameHotStyle(TFrameStyle V) { Set(FFrameHotStyle, V, fcpFrameHotStyle); }
  TSides FrameSides() const { return FFrameSides; }
  void SetFrameSides(TSides V) { Set(FFrameSides, V, fcpFrameSides); }
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  void SetFrameStyle(TFrameStyle V) { Set(FFrameStyle, V, fcpFrameStyle); }
  bool FrameVisible() const { return FFrameVisible; }
  void SetFrameVisible(bool V) { Set(FFrameVisible, V, fcpFrameVisible); }
  TFramingPreference FramingPreference() const { return FFramingPreference; }
  void SetFramingPreference(TFramingPreference V) {
    Set(FFramingPreference, V, fcpFramingPreference);
  }
  // Where the settings would live; cleared when that component goes.
  TFcRegIniFile* RegIniFile() const { return FRegIniFile; }
  virtual void SetRegIniFile(TFcRegIniFile* V);

protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  template <class T> void Set(T& Field, T Value, TFcFrameControllerProperty P) {
    if (Field == Value) return;
    Field = Value;
    UpdateFrames(P);
  }
  TColor FColor = clWindow;
  bool FParentColor = false;
  TColor FFlatButtonColor = clBtnFace;
  bool FFlatButtons = true;
  TColor FDisabledColor = clBtnFace;
  TColor FReadOnlyColor = clInfoBk;
  bool FReadOnlyColorOnFocus = false;
  TColor FFocusColor = clWindow;
  TColor FFrameColor = clBtnShadow;
  TColor FFrameHotColor = clBtnShadow;
  bool FFrameHotTrack = false;
  TFrameStyle FFrameHotStyle = fsFlatBold;
  TSides FFrameSides = sdsAll;
  TFrameStyle FFrameStyle = fsFlat;
  bool FFrameVisible = false;
  TFramingPreference FFramingPreference = fpXPThemes;
  int FUpdateCount = 0;
  std::unique_ptr<TList> FControls;
  TFcRegIniFile* FRegIniFile = nullptr;
};

// A framed control's link to its frame controller: attaches the control to a
// new controller and detaches it from the old one and at the end, and forgets
// a controller that is freed (the control passes its notifications on).
class TFcFrameControllerLink {
public:
  explicit TFcFrameControllerLink(TControl* Control) : FControl(Control) {}
  ~TFcFrameControllerLink();
  TFcFrameControllerLink(const TFcFrameControllerLink&) = delete;
  TFcFrameControllerLink& operator=(const TFcFrameControllerLink&) = delete;

  TFcFrameController* Controller() const { return FController; }
  void SetController(TFcFrameController* Value);
  void Notification(TComponent* AComponent, TOperation Operation);
  TFcFrameControllerNotifications Notifications() const { return FNotifications; }
  void SetNotifications(TFcFrameControllerNotifications Value) { FNotifications = Value; }
  // Whether the controller's property reaches the control.
  bool Notifies(TFcFrameControllerProperty Property) const {
    return (FNotifications & (1u << Property)) != 0;
  }

private:
  TControl* FControl;
  TFcFrameController* FController = nullptr;
  TFcFrameControllerNotifications FNotifications = fcnAll;
};

// Passes one controller property to the control's setter of that name.
// The read-only colours and flat buttons are skipped on a control without
// them.
template <class T>
void ApplyControllerProperty(T& Control, TFcFrameControllerProperty P,
                             const TFcFrameController& C) {
  switch (P) {
  case fcpColor:
    Control.SetColor(C.Color());
    break;
  case fcpFocusColor:
    Control.SetFocusColor(C.FocusColor());
    break;
  case fcpDisabledColor:
    Control.SetDisabledColor(C.DisabledColor());
    break;
  case fcpReadOnlyColor:
    if constexpr (requires { Control.SetReadOnlyColor(C.ReadOnlyColor()); })
      Control.SetReadOnlyColor(C.ReadOnlyColor());
    break;
  case fcpReadOnlyColorOnFocus:
    if constexpr (requires { Control.SetReadOnlyColorOnFocus(C.ReadOnlyColorOnFocus()); })
      Control.SetReadOnlyColorOnFocus(C.ReadOnlyColorOnFocus());
    break;
  case fcpParentColor:
    Control.SetParentColor(C.ParentColor());
    break;
  case fcpFlatButtonColor:
    if constexpr (requires { Control.SetFlatButtonColor(C.FlatButtonColor()); })
      Control.SetFlatButtonColor(C.FlatButtonColor());
    break;
  case fcpFlatButtons:
    if constexpr (requires { Control.SetFlatButtons(C.FlatButtons()); })
      Control.SetFlatButtons(C.FlatButtons());
    break;
  case fcpFrameColor:
    Control.SetFrameColor(C.FrameColor());
    break;
  case fcpFrameHotColor:
    Control.SetFrameHotColor(C.FrameHotColor());
    break;
  case fcpFrameHotTrack:
    Control.SetFrameHotTrack(C.FrameHotTrack());
    break;
  case fcpFrameHotStyle:
    Control.SetFrameHotStyle(C.FrameHotStyle());
    break;
  case fcpFrameSides:
    Control.SetFrameSides(C.FrameSides());
    break;
  case fcpFrameStyle:
    Control.SetFrameStyle(C.FrameStyle());
    break;
  case fcpFrameVisible:
    Control.SetFrameVisible(C.FrameVisible());
    break;
  case fcpFramingPreference:
    Control.SetFramingPreference(C.FramingPreference());
    break;
  default:
    break;
  }
}

// Frame style names, for forms saved with older property names; returns
// false for a name that is no frame style.
bool FrameStyleFromName(const std::wstring& Name, TFrameStyle& Style);

// ---------------------------------------------------------------------------
// Settings file: an INI file or a registry key, with sections and values.

enum TFcPathType : uint8_t { ptIniFile, ptRegistry };
enum TFcRegKey : uint8_t {
  hkeyClassesRoot,
  hkeyCurrentUser,
  hkeyLocalMachine,
  hkeyUsers,
  hkeyPerformanceData,
  hkeyCurrentConfig,
  hkeyDynData
};
enum TFcRegAccessKey : uint8_t {
  keyQueryValue,
  keySetValue,
  keyCreateSubKey,
  keyEnumerateSubKeys,
  keyNotify,
  keyCreateLink,
  keyRead,
  keyWrite,
  keyExecute,
  keyAllAccess
};
// Bit n for TFcRegAccessKey n.
using TFcRegAccess = uint16_t;
constexpr TFcRegAccess RegAccessBit(TFcRegAccessKey K) {
  return static_cast<TFcRegAccess>(1u << K);
}
enum TFcSpecialFolder : uint8_t {
  sfNone,
  sfUserAppDataRoaming,
  sfUserAppDataLocal,
  sfUserDocuments,
  sfProgramData
};

// With ptIniFile, Path names the file: inside SpecialFolder when one is set,
// else as given (a relative path from the program's folder). With
// ptRegistry, Path is a key below RegKey and each section a key below it;
// values are read from any root, but written only under HKEY_CURRENT_USER
// and only with write rights in RegAccess (ERegistryException otherwise).
// Changing a property marks the settings changed: the next read or write
// opens the new place.
class TFcRegIniFile : public TComponent {
public:
  explicit TFcRegIniFile(TComponent* AOwner);
  ~TFcRegIniFile() override;

  const std::wstring& Path() const { return FPath; }
  virtual void SetPath(const std::wstring& V);
  TFcPathType PathType() const { return FPathType; }
  virtual void SetPathType(TFcPathType V);
  TFcRegKey RegKey() const { return FRegKey; }
  virtual void SetRegKey(TFcRegKey V);
  TFcRegAccess RegAccess() const { return FRegAccess; }
  virtual void SetRegAccess(TFcRegAccess V);
  TFcSpecialFolder SpecialFolder() const { return FSpecialFolder; }
  virtual void SetSpecialFolder(TFcSpecialFolder V);
  // True from creation and after each change until the place is opened.
  bool SettingsChanged() const { return FChanged; }

  // The INI file's full name, or the key's full name ("HKEY_CURRENT_USER\...").
  std::wstring Location() const;

  std::wstring ReadString(const std::wstring& Section, const std::wstring& Ident,
                          const std::wstring& Default);
  int ReadInteger(const std::wstring& Section, const std::wstring& Ident, int Default);
  bool ReadBool(const std::wstring& Section, const std::wstring& Ident, bool Default);
  void WriteString(const std::wstring& Section, const std::wstring& Ident,
                   const std::wstring& Value);
  void WriteInteger(const std::wstring& Section, const std::wstring& Ident, int Value);
  void WriteBool(const std::wstring& Section, const std::wstring& Ident, bool Value);
  bool ValueExists(const std::wstring& Section, const std::wstring& Ident);
  void DeleteKey(const std::wstring& Section, const std::wstring& Ident);
  void EraseSection(const std::wstring& Section);

private:
  template <class T> void Set(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    FChanged = true;
  }
  void Open();
  std::wstring SectionKey(const std::wstring& Section) const;
  bool OpenSection(const std::wstring& Section, bool Write);
  std::wstring FPath;
  TFcPathType FPathType = ptIniFile;
  TFcRegKey FRegKey = hkeyCurrentUser;
  TFcRegAccess FRegAccess = RegAccessBit(keyAllAccess);
  TFcSpecialFolder FSpecialFolder = sfNone;
  bool FChanged = true;
  std::unique_ptr<TIniFile> FIniFile;
  std::unique_ptr<TRegistry> FRegistry;
};
