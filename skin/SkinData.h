// Skin data: the skin INI value forms, the control and object descriptions,
// the compressed skin container, the replaceable interface strings and the
// skin data component that loads a skin and announces it to every form.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Classes.h"
#include "framework/Controls.h"
#include "skin/SkUtils.h"

class TCustomIniFile;
class TMemIniFile;

// ---------------------------------------------------------------------------
// Skin messages: WParam = the sending TskSkinData, LParam = 1000.

constexpr UINT WM_SKINCHANGING = WM_USER + 201;          // 1225
constexpr UINT WM_SKINCHANGED = WM_USER + 202;           // 1226
constexpr UINT WM_SKINAFTERCHANGE = WM_USER + 203;       // 1227
constexpr UINT WM_SKINMENUCLOSED = WM_USER + 204;        // 1228
constexpr UINT WM_SKINMENUCOMMAND = WM_USER + 205;       // 1229
constexpr UINT WM_SKINMDICHILDRESIZE = WM_USER + 206;    // 1230
constexpr UINT WM_SKINMDICHILDMAXIMIZED = WM_USER + 207; // 1231
constexpr UINT WM_SKINMDICHILDRESTORED = WM_USER + 208;  // 1232
constexpr UINT WM_SKINRESSTRCHANGED = WM_USER + 250;     // 1274
constexpr UINT WM_SKINALPHAREPAINT = WM_USER + 260;      // 1284
constexpr UINT WM_SKINNABLEFORMCHANGED = WM_USER + 270;  // 1294
constexpr UINT CM_SKINSTATEQUERY = 45490;
constexpr UINT CM_SKINHEADERPAINT = 45512;
constexpr UINT CM_SKINQUERY = 45513;
constexpr UINT CM_SKINFRAMEQUERY = 48203;
constexpr LPARAM SKIN_MESSAGE_LPARAM = 1000;

// The name of the built-in compressed skin in the program's resources (RCDATA,
// container layout).
constexpr const wchar_t* BUILTIN_SKIN_RESOURCE = L"KORVANE_SKIN";

// ---------------------------------------------------------------------------
// Value forms

using TskColor = int; // 0x00BBGGRR, or 0xFF000000 + a system colour index

// The framework's fsBold, fsItalic, fsUnderline, fsStrikeOut.
using TskFontStyle = TFontStyles;
struct TskFontStyles {
  unsigned Bits = 0;
  bool Has(TskFontStyle s) const { return (Bits & s) != 0; }
  bool operator==(const TskFontStyles&) const = default;
};

enum TskMorphKind {
  mkDefault = 0,
  mkGradient = 1,
  mkLeftGradient = 2,
  mkRightGradient = 3,
  mkLeftSlide = 4,
  mkRightSlide = 5,
  mkPush = 6
};
enum TskInActiveEffect {
  ieBrightness = 0,
  ieDarkness = 1,
  ieGrayScale = 2,
  ieNoise = 3,
  ieSplitBlur = 4,
  ieInvert = 5
};
// taLeftJustify 0, taRightJustify 1, taCenter 2.
using TskAlignment = TAlignment;
enum TskStdCommand {
  cmClose = 0,
  cmMaximize = 1,
  cmMinimize = 2,
  cmSysMenu = 3,
  cmDefault = 4,
  cmRollUp = 5,
  cmMinimizeToTray = 6
};
enum TskGaugeKind { gkHorizontal = 0, gkVertical = 1 };
enum TskFramesPlacement { fpHorizontal = 0, fpVertical = 1 };
enum TskRegulatorKind { rkRound = 0, rkHorizontal = 1, rkVertical = 2 };

using TskLines = std::vector<std::wstring>;

// Number syntax of points and rectangles: commas separate numbers, digits
// build them, every other character is dropped. False when a number is
// missing (empty) or too large; the output is then untouched.
bool StrToRect(const std::wstring& s, RECT& r);
bool StrToPoint(const std::wstring& s, POINT& p);
// Decimal (signed) or hexadecimal after "0x" or "$".
bool TryStrToSkinInt(const std::wstring& s, int& value);

// Readers. A malformed value reads as the key's default: an integer that is
// no number, a point or rectangle with a missing number (empty rectangle or
// point 0,0).
int ReadInteger(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key, int def);
RECT ReadRect(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key);
POINT ReadPoint(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key);
bool ReadBoolean(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key);
TskFontStyles ReadFontStyles(TCustomIniFile& ini, const std::wstring& section,
                             const std::wstring& key);
// Appends name + "count" items "0" .. count - 1 (at most 100000).
void ReadList(TCustomIniFile& ini, const std::wstring& section, const std::wstring& name,
              TskLines& list);
// Appends name + "linecount" lines name + "line" + i.
void ReadStrings(TCustomIniFile& ini, const std::wstring& section, const std::wstring& name,
                 TskLines& lines);
TskStretchType ReadStretchType(TCustomIniFile& ini, const std::wstring& section,
                               const std::wstring& key);
TskMorphKind ReadMorphKind(TCustomIniFile& ini, const std::wstring& section,
                           const std::wstring& key);
TskInActiveEffect ReadInActiveEffect(TCustomIniFile& ini, const std::wstring& section,
                                     const std::wstring& key);
TskAlignment ReadAlignment(TCustomIniFile& ini, const std::wstring& section,
                           const std::wstring& key);

// Writers.
void WriteRect(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key,
               const RECT& r);
void WritePoint(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key,
                const POINT& p);
void WriteBoolean(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key,
                  bool value);
void WriteFontStyles(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key,
                     TskFontStyles value);
void WriteStrings(TCustomIniFile& ini, const std::wstring& section, const std::wstring& name,
                  const TskLines& lines);
void WriteStretchType(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key,
                      TskStretchType value);
void WriteMorphKind(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key,
                    TskMorphKind value);
void WriteAlignment(TCustomIniFile& ini, const std::wstring& section, const std::wstring& key,
                    TskAlignment value);

// True when the INI has the five sections of a skin.
bool IsSkinIni(TCustomIniFile& ini);
// Text of an INI file's bytes: UTF-16 or UTF-8 (with or without a byte-order
// mark), otherwise the ANSI code page.
std::wstring DecodeSkinText(const uint8_t* data, size_t size);

// Key visitors used by the descriptions.
struct TskKeyReader;
struct TskKeyWriter;

// ---------------------------------------------------------------------------
// Control descriptions (section SKINCONTROLS)

class TskDataSkinControl {
public:
  explicit TskDataSkinControl(std::wstring idName) : IDName(std::move(idName)) {}
  virtual ~TskDataSkinControl() = default;
  // Reads the section named IDName (parent keys first).
  void LoadFromIni(TCustomIniFile& ini);
  // Erases the section and writes every key.
  void SaveToIni(TCustomIniFile& ini);

  std::wstring IDName;
  int PictureIndex = -1;
  int MaskPictureIndex = -1;
  int CursorIndex = -1;
  RECT SkinRect{};

  virtual void ReadKeys(TskKeyReader& v);
  virtual void WriteKeys(TskKeyWriter& v);

protected:
  template <class V> void Keys(V& v);
};

#define SK_DESCRIPTION(Class, Parent)                                                              \
public:                                                                                            \
  using Parent::Parent;                                                                            \
  void ReadKeys(TskKeyReader& v) override;                                                         \
  void WriteKeys(TskKeyWriter& v) override;                                                        \
                                                                                                   \
protected:                                                                                         \
  template <class V> void Keys(V& v);                                                              \
                                                                                                   \
public:

#define SK_FONT_FIELDS                                                                             \
  std::wstring FontName = L"Arial";                                                                \
  int FontHeight = 14;                                                                             \
  TskFontStyles FontStyle;                                                                         \
  TskColor FontColor = 0;

class TskDataSkinCustomControl : public TskDataSkinControl {
  SK_DESCRIPTION(TskDataSkinCustomControl, TskDataSkinControl)
  POINT LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  RECT ClientRect{};
  bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
  bool StretchEffect = false;
  TskStretchType StretchType = stFull;
  TskSkinGeometry Geometry() const {
    return TskSkinGeometry{LTPoint, RTPoint, LBPoint, RBPoint, ClientRect};
  }
};

class TskDataSkinSlider : public TskDataSkinControl {
  SK_DESCRIPTION(TskDataSkinSlider, TskDataSkinControl)
  TskColor BGColor = 0;
  RECT HRulerRect{}, HThumbRect{}, VRulerRect{}, VThumbRect{};
  int EdgeSize = 0;
  TskColor PointsColor = 0;
};

class TskDataSkinBevel : public TskDataSkinControl {
  SK_DESCRIPTION(TskDataSkinBevel, TskDataSkinControl)
  TskColor LightColor = 0, DarkColor = 0;
};

class TskDataSkinPanelControl : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinPanelControl, TskDataSkinCustomControl)
  int BGPictureIndex = -1;
  RECT CaptionRect{};
  TskAlignment Alignment = taCenter;
  SK_FONT_FIELDS
  RECT CheckImageRect{}, UnCheckImageRect{}, MarkFrameRect{}, FrameRect{}, FrameTextRect{};
  int FrameLeftOffset = 0, FrameRightOffset = 0;
  RECT GripperRect{};
  bool GripperTransparent = false;
  TskColor GripperTransparentColor = 0;
};

class TskDataSkinExPanelControl : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinExPanelControl, TskDataSkinCustomControl)
  RECT RollHSkinRect{}, RollVSkinRect{};
  int RollLeftOffset = 0, RollRightOffset = 0, RollTopOffset = 0, RollBottomOffset = 0;
  RECT RollVCaptionRect{}, RollHCaptionRect{};
  RECT CloseButtonRect{}, CloseButtonActiveRect{}, CloseButtonDownRect{};
  RECT HRollButtonRect{}, HRollButtonActiveRect{}, HRollButtonDownRect{};
  RECT HRestoreButtonRect{}, HRestoreButtonActiveRect{}, HRestoreButtonDownRect{};
  RECT VRollButtonRect{}, VRollButtonActiveRect{}, VRollButtonDownRect{};
  RECT VRestoreButtonRect{}, VRestoreButtonActiveRect{}, VRestoreButtonDownRect{};
  RECT CaptionRect{};
  SK_FONT_FIELDS
  bool ButtonsTransparent = false;
  TskColor ButtonsTransparentColor = 0;
};

class TskDataSkinButtonControl : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinButtonControl, TskDataSkinCustomControl)
  SK_FONT_FIELDS
  TskColor ActiveFontColor = 0, DisabledFontColor = 0, DownFontColor = 0;
  bool Morphing = false;
  TskMorphKind MorphKind = mkDefault;
  RECT ActiveSkinRect{}, DownSkinRect{}, FocusedSkinRect{}, DisabledSkinRect{}, AnimateSkinRect{};
  int FrameCount = 0;
  int AnimateInterval = 25;
  bool ShowFocus = false;
  RECT MenuMarkerFlatRect{}, MenuMarkerRect{}, MenuMarkerActiveRect{}, MenuMarkerDownRect{};
  TskColor MenuMarkerTransparentColor = 0;
};

class TskDataSkinMenuButtonControl : public TskDataSkinButtonControl {
  SK_DESCRIPTION(TskDataSkinMenuButtonControl, TskDataSkinButtonControl)
  RECT TrackButtonRect{};
};

class TskDataSkinCheckRadioControl : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinCheckRadioControl, TskDataSkinCustomControl)
  SK_FONT_FIELDS
  TskColor ActiveFontColor = 0, UnEnabledFontColor = 0, FrameFontColor = 0;
  bool Morphing = false;
  TskMorphKind MorphKind = mkDefault;
  RECT ActiveSkinRect{}, CheckImageArea{}, TextArea{}, CheckImageRect{}, UnCheckImageRect{};
  RECT ActiveCheckImageRect{}, ActiveUnCheckImageRect{}, UnEnabledCheckImageRect{};
  RECT UnEnabledUnCheckImageRect{}, GrayedCheckImageRect{}, ActiveGrayedCheckImageRect{};
};

class TskDataSkinGaugeControl : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinGaugeControl, TskDataSkinCustomControl)
  RECT ProgressArea{}, ProgressRect{};
  int BeginOffset = 0, EndOffset = 0;
  bool Vertical = false;
  SK_FONT_FIELDS
  bool ProgressTransparent = false;
  TskColor ProgressTransparentColor = 0;
  bool ProgressStretch = false;
  RECT AnimationSkinRect{};
  int AnimationCountFrames = 0, AnimationTimerInterval = 0;
  RECT ProgressAnimationSkinRect{};
  int ProgressAnimationCountFrames = 0, ProgressAnimationTimerInterval = 0;
  int AnimationBeginOffset = 0, AnimationEndOffset = 0;
};

class TskDataSkinSplitterControl : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinSplitterControl, TskDataSkinCustomControl)
  RECT GripperRect{};
  bool GripperTransparent = false;
  TskColor GripperTransparentColor = 0;
};

class TskDataSkinTrackBarControl : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinTrackBarControl, TskDataSkinCustomControl)
  RECT ActiveSkinRect{}, TrackArea{}, ButtonRect{}, ActiveButtonRect{};
  bool Vertical = false;
  bool ButtonTransparent = false;
  TskColor ButtonTransparentColor = 0;
};

class TskDataSkinLabelControl : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinLabelControl, TskDataSkinCustomControl)
  SK_FONT_FIELDS
};

class TskDataSkinStdLabelControl : public TskDataSkinControl {
  SK_DESCRIPTION(TskDataSkinStdLabelControl, TskDataSkinControl)
  SK_FONT_FIELDS
  TskColor ActiveFontColor = 16711680;
};

class TskDataSkinBitLabelControl : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinBitLabelControl, TskDataSkinCustomControl)
  RECT SkinTextRect{};
  int SymbolWidth = 0, SymbolHeight = 0;
  TskLines Symbols;
};

// Common parent of the frame kinds; "framescount" below 1 reads as 1.
class TskDataSkinFrameControl : public TskDataSkinControl {
  SK_DESCRIPTION(TskDataSkinFrameControl, TskDataSkinControl)
  int FramesCount = 1;
  TskFramesPlacement FramesPlacement = fpHorizontal;
};

class TskDataSkinFrameRegulator : public TskDataSkinFrameControl {
  SK_DESCRIPTION(TskDataSkinFrameRegulator, TskDataSkinFrameControl)
  TskRegulatorKind Kind = rkRound;
};

class TskDataSkinFrameGauge : public TskDataSkinFrameControl {
public:
  using TskDataSkinFrameControl::TskDataSkinFrameControl;
};
class TskDataSkinAnimateControl : public TskDataSkinFrameControl {
public:
  using TskDataSkinFrameControl::TskDataSkinFrameControl;
};
class TskDataSkinSwitchControl : public TskDataSkinFrameControl {
public:
  using TskDataSkinFrameControl::TskDataSkinFrameControl;
};

// Its corner points and client rectangle always read as (0,0) and empty.
class TskDataSkinUpDownControl : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinUpDownControl, TskDataSkinCustomControl)
  RECT UpButtonRect{}, ActiveUpButtonRect{}, DownUpButtonRect{};
  RECT DownButtonRect{}, ActiveDownButtonRect{}, DownDownButtonRect{};
};

class TskDataSkinGridControl : public TskDataSkinControl {
  SK_DESCRIPTION(TskDataSkinGridControl, TskDataSkinControl)
  RECT FixedCellRect{}, SelectCellRect{}, FocusCellRect{};
  int FixedCellLeftOffset = 0, FixedCellRightOffset = 0;
  RECT FixedCellTextRect{};
  int CellLeftOffset = 0, CellRightOffset = 0;
  RECT CellTextRect{};
  TskColor LinesColor = 0, BGColor = 0;
  int BGPictureIndex = -1;
  SK_FONT_FIELDS
  TskColor SelectFontColor = 0, FocusFontColor = 0;
  std::wstring FixedFontName = L"Arial";
  int FixedFontHeight = 14;
  TskFontStyles FixedFontStyle;
  TskColor FixedFontColor = 0;
  bool CellStretchEffect = false, FixedCellStretchEffect = false, ShowFocus = false;
};

class TskDataSkinTabControl : public TskDataSkinControl {
  SK_DESCRIPTION(TskDataSkinTabControl, TskDataSkinControl)
  RECT TabRect{}, ActiveTabRect{}, FocusTabRect{}, MouseInTabRect{}, ClientRect{};
  int BGPictureIndex = -1;
  POINT LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  int TabLeftOffset = 0, TabRightOffset = 0;
  RECT TabsBGRect{};
  bool TabStretchEffect = false;
  bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
  bool StretchEffect = false;
  TskStretchType StretchType = stFull;
  SK_FONT_FIELDS
  TskColor ActiveFontColor = 0, FocusFontColor = 0, MouseInFontColor = 0;
  std::wstring UpDown;
  bool ShowFocus = false;
  int FocusOffsetX = 0, FocusOffsetY = 0;
  RECT CloseButtonRect{}, CloseButtonActiveRect{}, CloseButtonDownRect{};
  bool ButtonTransparent = false;
  TskColor ButtonTransparentColor = 0;
};

class TskDataSkinMainMenuBar : public TskDataSkinControl {
  SK_DESCRIPTION(TskDataSkinMainMenuBar, TskDataSkinControl)
  RECT ItemsRect{};
  std::wstring MenuBarItem, CloseButton, MinButton, MaxButton, SysMenuButton;
  TskColor TrackMarkColor = 0, TrackMarkActiveColor = 0;
  bool StretchEffect = false, ItemTransparent = false;
};

class TskDataSkinControlBar : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinControlBar, TskDataSkinCustomControl)
  RECT ItemRect{};
  int BGPictureIndex = -1;
  RECT HGripRect{}, VGripRect{};
  int GripOffset1 = 0, GripOffset2 = 0;
  bool ItemStretchEffect = false;
  int ItemOffset1 = 3, ItemOffset2 = 3;
  bool ItemTransparent = false;
  TskColor ItemTransparentColor = 0;
  bool GripTransparent = false;
  TskColor GripTransparentColor = 0;
};

class TskDataSkinEditControl : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinEditControl, TskDataSkinCustomControl)
  RECT ActiveSkinRect{};
  SK_FONT_FIELDS
  TskColor DisabledFontColor = 0, ActiveFontColor = 0;
  RECT ButtonRect{}, ActiveButtonRect{}, DownButtonRect{}, UnEnabledButtonRect{};
};

class TskDataSkinMemoControl : public TskDataSkinEditControl {
  SK_DESCRIPTION(TskDataSkinMemoControl, TskDataSkinEditControl)
  TskColor BGColor = 0, ActiveBGColor = 0;
};

class TskDataSkinListBox : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinListBox, TskDataSkinCustomControl)
  RECT ItemRect{}, ActiveItemRect{}, FocusItemRect{};
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  RECT ItemTextRect{};
  SK_FONT_FIELDS
  TskColor ActiveFontColor = 0, FocusFontColor = 0;
  RECT CaptionRect{};
  std::wstring CaptionFontName = L"Arial";
  int CaptionFontHeight = 14;
  TskFontStyles CaptionFontStyle;
  TskColor CaptionFontColor = 0;
  RECT UpButtonRect{}, ActiveUpButtonRect{}, DownUpButtonRect{};
  RECT DownButtonRect{}, ActiveDownButtonRect{}, DownDownButtonRect{};
  RECT CheckButtonRect{}, ActiveCheckButtonRect{}, DownCheckButtonRect{};
  std::wstring VScrollBarName = L"vscrollbar";
  std::wstring HScrollBarName = L"hscrollbar";
  std::wstring BothHScrollBarName = L"bothhscrollbar";
  bool ShowFocus = false;
};

class TskDataSkinCheckListBox : public TskDataSkinListBox {
  SK_DESCRIPTION(TskDataSkinCheckListBox, TskDataSkinListBox)
  RECT CheckImageRect{}, ItemCheckRect{}, UnCheckImageRect{};
};

class TskDataSkinComboBox : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinComboBox, TskDataSkinCustomControl)
  RECT ActiveSkinRect{}, ItemRect{}, ActiveItemRect{}, FocusItemRect{};
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  RECT ItemTextRect{};
  SK_FONT_FIELDS
  TskColor FocusFontColor = 0, ActiveFontColor = 0;
  std::wstring ListBoxName;
  RECT ButtonRect{}, ActiveButtonRect{}, DownButtonRect{}, UnEnabledButtonRect{};
  bool ItemStretchEffect = false, FocusItemStretchEffect = false, ShowFocus = false;
};

class TskDataSkinScrollBarControl : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinScrollBarControl, TskDataSkinCustomControl)
  RECT TrackArea{};
  RECT UpButtonRect{}, ActiveUpButtonRect{}, DownUpButtonRect{};
  RECT DownButtonRect{}, ActiveDownButtonRect{}, DownDownButtonRect{};
  RECT ThumbRect{}, ActiveThumbRect{}, DownThumbRect{};
  int ThumbOffset1 = 0, ThumbOffset2 = 0;
  bool ThumbTransparent = false;
  TskColor ThumbTransparentColor = 0;
  bool ThumbStretchEffect = false;
  int ThumbMinSize = 0, ThumbMinPageSize = 0;
  RECT GlyphRect{}, ActiveGlyphRect{}, DownGlyphRect{};
  bool GlyphTransparent = false;
  TskColor GlyphTransparentColor = 0;
};

class TskDataSkinSpinEditControl : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinSpinEditControl, TskDataSkinCustomControl)
  RECT ActiveSkinRect{};
  SK_FONT_FIELDS
  TskColor ActiveFontColor = 0, DisabledFontColor = 0;
  RECT UpButtonRect{}, ActiveUpButtonRect{}, DownUpButtonRect{};
  RECT DownButtonRect{}, ActiveDownButtonRect{}, DownDownButtonRect{};
};

class TskDataSkinScrollBoxControl : public TskDataSkinCustomControl {
  SK_DESCRIPTION(TskDataSkinScrollBoxControl, TskDataSkinCustomControl)
  int BGPictureIndex = -1;
};

// Font and background colour; the parent of the three view kinds below.
class TskDataSkinViewControl : public TskDataSkinControl {
  SK_DESCRIPTION(TskDataSkinViewControl, TskDataSkinControl)
  SK_FONT_FIELDS
  TskColor BGColor = 0;
};
class TskDataSkinTreeView : public TskDataSkinViewControl {
public:
  using TskDataSkinViewControl::TskDataSkinViewControl;
};
class TskDataSkinListView : public TskDataSkinViewControl {
public:
  using TskDataSkinViewControl::TskDataSkinViewControl;
};
class TskDataSkinRichEdit : public TskDataSkinViewControl {
public:
  using TskDataSkinViewControl::TskDataSkinViewControl;
};

// A control description of a SKINCONTROLS kind word, or nullptr for any other word.
std::unique_ptr<TskDataSkinControl> CreateControlDescription(const std::wstring& kind,
                                                             const std::wstring& idName);

// ---------------------------------------------------------------------------
// Object descriptions (section SKINOBJECTS)

class TskDataSkinObject {
public:
  explicit TskDataSkinObject(std::wstring idName) : IDName(std::move(idName)) {}
  virtual ~TskDataSkinObject() = default;
  void LoadFromIni(TCustomIniFile& ini);
  void SaveToIni(TCustomIniFile& ini);

  std::wstring IDName;
  std::wstring Hint;
  bool RollUp = false;
  int ActivePictureIndex = -1;
  bool SkinRectInAPicture = false;
  int CursorIndex = -1;
  RECT SkinRect{}, ActiveSkinRect{}, InActiveSkinRect{};
  bool Morphing = false;
  TskMorphKind MorphKind = mkDefault;

  virtual void ReadKeys(TskKeyReader& v);
  virtual void WriteKeys(TskKeyWriter& v);

protected:
  template <class V> void Keys(V& v);
};

class TskDataSkinMenuItem : public TskDataSkinObject {
  SK_DESCRIPTION(TskDataSkinMenuItem, TskDataSkinObject)
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  RECT DividerRect{};
  int DividerLeftOffset = 0, DividerRightOffset = 0;
  RECT TextRect{}, ImageRect{};
  SK_FONT_FIELDS
  TskColor ActiveFontColor = 0, UnEnabledFontColor = 0;
  bool StretchEffect = false, InActiveStretchEffect = false, DividerStretchEffect = false;
  RECT AnimateSkinRect{};
  int FrameCount = 0, AnimateInterval = 25;
  bool InActiveAnimation = false, UseImageColor = false;
  TskColor ImageColor = 0, ActiveImageColor = 0;
  bool InActiveTransparent = false;
  RECT CheckImageRect{}, ActiveCheckImageRect{}, RadioImageRect{}, ActiveRadioImageRect{};
  RECT ArrowImageRect{}, ActiveArrowImageRect{};
};

class TskDataSkinMainMenuItem : public TskDataSkinObject {
  SK_DESCRIPTION(TskDataSkinMainMenuItem, TskDataSkinObject)
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  RECT DownRect{}, TextRect{};
  SK_FONT_FIELDS
  TskColor ActiveFontColor = 0, DownFontColor = 0, UnEnabledFontColor = 0;
  bool StretchEffect = false;
  RECT AnimateSkinRect{};
  int FrameCount = 0, AnimateInterval = 25;
  bool InActiveAnimation = false;
};

class TskDataSkinMainMenuBarItem : public TskDataSkinMainMenuItem {
public:
  using TskDataSkinMainMenuItem::TskDataSkinMainMenuItem;
};

class TskDataSkinButton : public TskDataSkinObject {
  SK_DESCRIPTION(TskDataSkinButton, TskDataSkinObject)
  RECT DownRect{}, DisableSkinRect{};
  int GroupIndex = -1;
};

class TskDataSkinStdButton : public TskDataSkinButton {
  SK_DESCRIPTION(TskDataSkinStdButton, TskDataSkinButton)
  TskStdCommand Command = cmDefault;
  RECT RestoreRect{}, RestoreActiveRect{}, RestoreDownRect{}, RestoreInActiveRect{};
};

class TskDataSkinMainMenuBarButton : public TskDataSkinStdButton {
public:
  using TskDataSkinStdButton::TskDataSkinStdButton;
};

class TskDataSkinCaption : public TskDataSkinObject {
  SK_DESCRIPTION(TskDataSkinCaption, TskDataSkinObject)
  std::wstring DefaultCaption;
  RECT TextRect{};
  SK_FONT_FIELDS
  TskColor ActiveFontColor = 0;
  TskAlignment Alignment = taCenter;
  bool Shadow = false;
  TskColor ShadowColor = 0;
  bool Light = false;
  TskColor LightColor = 0, ActiveLightColor = 0, ActiveShadowColor = 0;
  RECT FrameRect{}, ActiveFrameRect{}, FrameTextRect{};
  int FrameLeftOffset = 0, FrameRightOffset = 0;
  bool StretchEffect = false;
  RECT AnimateSkinRect{};
  int FrameCount = 0, AnimateInterval = 25;
  bool InActiveAnimation = false, FullFrame = false;
};

class TskDataSkinTrackBar : public TskDataSkinObject {
  SK_DESCRIPTION(TskDataSkinTrackBar, TskDataSkinObject)
  RECT ButtonRect{}, ActiveButtonRect{};
  POINT BeginPoint{}, EndPoint{};
  int MinValue = 0, MaxValue = 0;
  bool MouseDownChangeValue = false, ButtonTransparent = false;
  TskColor ButtonTransparentColor = 0;
};

class TskDataSkinGauge : public TskDataSkinObject {
  SK_DESCRIPTION(TskDataSkinGauge, TskDataSkinObject)
  int MinValue = 0, MaxValue = 0;
  TskGaugeKind Kind = gkHorizontal;
};

class TskDataSkinFrameGaugeObject : public TskDataSkinObject {
  SK_DESCRIPTION(TskDataSkinFrameGaugeObject, TskDataSkinObject)
  int MinValue = 0, MaxValue = 0, CountFrames = 0;
  TskFramesPlacement FramesPlacement = fpHorizontal;
};

class TskDataSkinFrameRegulatorObject : public TskDataSkinFrameGaugeObject {
  SK_DESCRIPTION(TskDataSkinFrameRegulatorObject, TskDataSkinFrameGaugeObject)
  TskRegulatorKind Kind = rkRound;
};

class TskDataSkinLabel : public TskDataSkinObject {
  SK_DESCRIPTION(TskDataSkinLabel, TskDataSkinObject)
  SK_FONT_FIELDS
  TskColor ActiveFontColor = 0;
  TskAlignment Alignment = taCenter;
  std::wstring TextValue;
};

class TskDataSkinBitLabel : public TskDataSkinObject {
  SK_DESCRIPTION(TskDataSkinBitLabel, TskDataSkinObject)
  std::wstring TextValue;
  int SymbolWidth = 0, SymbolHeight = 0;
  TskLines Symbols;
  bool Transparent = false;
  TskColor TransparentColor = 16711935;
};

class TskDataSkinSwitch : public TskDataSkinObject {
public:
  using TskDataSkinObject::TskDataSkinObject;
};

class TskDataSkinAnimate : public TskDataSkinObject {
  SK_DESCRIPTION(TskDataSkinAnimate, TskDataSkinObject)
  int CountFrames = 1;
  bool Cycle = false, ButtonStyle = false;
  int TimerInterval = 50;
  TskStdCommand Command = cmDefault;
  RECT DownSkinRect{}, RestoreRect{}, RestoreActiveRect{}, RestoreDownRect{}, RestoreInActiveRect{};
};

// Reads only "rollup", "skinrect" and "cursorindex".
class TskDataUserObject : public TskDataSkinObject {
  SK_DESCRIPTION(TskDataUserObject, TskDataSkinObject)
};

#undef SK_DESCRIPTION

// An object description of a SKINOBJECTS kind word, or nullptr for any other word.
std::unique_ptr<TskDataSkinObject> CreateObjectDescription(const std::wstring& kind,
                                                           const std::wstring& idName);

// ---------------------------------------------------------------------------
// Areas, window descriptions, colours

struct TskDataSkinArea {
  std::wstring IDName;
  RECT AreaRect{};
};

struct TskDataSkinPopupWindow {
  int WindowPictureIndex = -1, MaskPictureIndex = -1;
  POINT LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  int CursorIndex = -1;
  RECT ItemsRect{};
  TskColor ScrollMarkerColor = 0, ScrollMarkerActiveColor = 0;
  bool LeftStretch = false, RightStretch = false, TopStretch = false, BottomStretch = false;
  bool StretchEffect = false;
  TskStretchType StretchType = stFull;
  void LoadFromIni(TCustomIniFile& ini);
};

struct TskDataSkinHintWindow {
  int WindowPictureIndex = -1, MaskPictureIndex = -1;
  POINT LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  RECT ClientRect{};
  std::wstring FontName = L"Arial";
  int FontHeight = 12;
  TskFontStyles FontStyle;
  TskColor FontColor = 0;
  bool LeftStretch = false, RightStretch = false, TopStretch = false, BottomStretch = false;
  bool StretchEffect = false;
  TskStretchType StretchType = stFull;
  void LoadFromIni(TCustomIniFile& ini);
};

struct TskSkinColors {
  TskColor cBtnFace = 0, cBtnText = 0, cWindow = 0, cWindowText = 0, cHighLight = 0,
           cHighLightText = 0, cBtnHighLight = 0, cBtnShadow = 0, c3DLight = 0, c3DDkShadow = 0;
  void LoadFromIni(TCustomIniFile& ini);
  // The platform's colours of the system-colour indexes 15, 18, 5, 8, 13, 14, 20, 16, 22, 21.
  void SetDefault();
};

// ---------------------------------------------------------------------------
// Replaceable interface strings

class TskResourceStrData : public TComponent {
public:
  explicit TskResourceStrData(TComponent* AOwner = nullptr); // the 120 default lines
  // "NAME=value" lines.
  TskLines ResStrings;
  int CharSet = DEFAULT_CHARSET;
  // The value of the first line whose name equals name without regard to
  // case; empty when there is none.
  std::wstring GetResString(const std::wstring& name) const;
  void SetResStrings(const TskLines& lines) { ResStrings = lines; }
  static const TskLines& DefaultLines();
};

// The built-in text of one of the first eighteen names (system menu, caption
// button hints, edit commands); empty for any other name.
std::wstring DefaultResString(const std::wstring& name);

// ---------------------------------------------------------------------------
// Compressed skins

// Inner stream layout; integers little-endian.
struct TskSkinStreamContent {
  int Version = 2;
  TskPicture Picture, InactivePicture, MaskPicture, RollUpPicture, RollUpMaskPicture;
  std::vector<TskPicture> ActivePictures;
  std::wstring IniText;
};
// Parses an inner stream; every length is checked against the bytes present.
// Raises ESkinError "Stream read error" or "Bitmap image is not valid".
// Returns false (content untouched) for a version above 3.
bool ReadSkinStream(const std::vector<uint8_t>& data, TskSkinStreamContent& content);
// Writes an inner stream of content.Version (the INI text as UTF-8 lines).
std::vector<uint8_t> WriteSkinStream(const TskSkinStreamContent& content);

class TskCompressedStoredSkin : public TComponent {
public:
  explicit TskCompressedStoredSkin(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
  std::wstring Description, FileName, CompressedFileName;
  // The zlib stream alone (the "CompressedData" property).
  std::vector<uint8_t> CompressedData;

  bool IsEmpty() const { return CompressedData.empty(); }
  // Container: version (4), size N (4), N bytes. A version above 3 leaves the
  // skin empty; a size field beyond the bytes present raises "Stream read
  // error"; a size of 0 gives an empty skin.
  void LoadFromCompressedBytes(const uint8_t* data, size_t size);
  void LoadFromCompressedFile(const std::wstring& fileName);
  // Loads an RCDATA resource in the container layout; false when missing.
  bool LoadFromResource(HMODULE module, const wchar_t* name);
  std::vector<uint8_t> SaveToCompressedBytes() const;
  // The same container read from a stream's start, or written to a stream.
  void LoadFromCompressedStream(TStream& stream);
  void SaveToCompressedStream(TStream& stream) const;
  // Builds the skin from an INI skin and its BMP pictures; a file that is no
  // skin leaves everything unchanged (returns false).
  bool CompressFromIniFile(const std::wstring& iniFileName);
  // Inflates the compressed data (bounded).
  std::vector<uint8_t> DecompressToBytes() const;
  // Inflates the compressed data into a stream (bounded).
  void DecompressToStream(TStream& stream) const;
};

// One stored skin of a skin list; its Name starts as "skSkin" + its index.
class TskSkinListItem : public TCollectionItem {
public:
  explicit TskSkinListItem(TCollection* collection);
  std::wstring DisplayName() const override { return Name; }
  void SetDisplayName(const std::wstring& value) override { Name = value; }
  std::wstring Name, Description, FileName, CompressedFileName;
  TskCompressedStoredSkin Skin; // without owner
};

class TskSkinListItems : public TCollection {
public:
  explicit TskSkinListItems(TPersistent* owner);
  TskSkinListItem* Items(int index) const { return ItemAs<TskSkinListItem>(index); }
};

class TskCompressedSkinList : public TComponent {
public:
  explicit TskCompressedSkinList(TComponent* AOwner = nullptr) : TComponent(AOwner), FSkins(this) {}
  TskSkinListItems* Skins() { return &FSkins; }
  // Hands the items of value to the collection's own assignment.
  void SetSkins(TskSkinListItems* value) { FSkins.Assign(value); }
  TskSkinListItem& Add() { return *static_cast<TskSkinListItem*>(FSkins.Add()); }

private:
  TskSkinListItems FSkins;
};

// ---------------------------------------------------------------------------
// Skin data

// Everything that one load fills; replaced as a whole.
struct TskSkinContent {
  TskPicture Picture, InactivePicture, MaskPicture, RollUpPicture, RollUpMaskPicture;
  std::wstring PictureName, InactivePictureName, MaskPictureName, RollUpPictureName,
      RollUpMaskPictureName;
  std::vector<TskPicture> ActivePictures;
  TskLines ActivePictureNames;
  TskLines CursorNames;
  int StartCursorIndex = 1;
  // Cursors of the last INI skin, by skin cursor index (nullptr when a file failed).
  std::vector<HCURSOR> Cursors;

  // FORMINFO
  POINT LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  RECT ClientRect{};
  int BGPictureIndex = -1, MDIBGPictureIndex = -1;
  bool LeftStretch = false, RightStretch = false, TopStretch = false, BottomStretch = false;
  bool StretchEffect = false;
  TskStretchType StretchType = stFull;
  bool MDIBGStretchEffect = false;
  TskStretchType MDIBGStretchType = stFull;
  RECT ButtonsRect{}, CaptionRect{};
  int ButtonsOffset = 0;
  bool ButtonsInLeft = false;
  RECT MaskRectArea{};
  POINT HitTestLTPoint{}, HitTestRTPoint{}, HitTestLBPoint{}, HitTestRBPoint{};
  POINT RollUpLeftPoint{}, RollUpRightPoint{};
  RECT MainMenuRect{}, IconRect{};
  bool MainMenuPopupUp = false;
  int BorderW = 0;
  int FormMinWidth = 0;
  bool MDITabsTransparent = false, MainMenuBarTransparent = false;
  int FormCursorIndex = -1;
  bool AutoRenderingInActiveImage = false;
  TskInActiveEffect InActiveEffect = ieBrightness;
  RECT SizeGripArea{};
  std::wstring StatusBarName;

  TskDataSkinPopupWindow PopupWindow;
  TskDataSkinHintWindow HintWindow;
  TskSkinColors SkinColors;
  std::vector<std::unique_ptr<TskDataSkinArea>> AreaList;
  std::vector<std::unique_ptr<TskDataSkinObject>> ObjectList;
  std::vector<std::unique_ptr<TskDataSkinControl>> ControlList;
  std::wstring SkinName, SkinAuthor, AuthorEMail, AuthorURL, SkinComments;

  TskSkinGeometry FormGeometry() const {
    return TskSkinGeometry{LTPoint, RTPoint, LBPoint, RBPoint, ClientRect};
  }
};

class TskSkinData : public TComponent, public TskSkinContent {
public:
  explicit TskSkinData(TComponent* AOwner = nullptr);
  ~TskSkinData() override;
  TskSkinData(const TskSkinData&) = delete;
  TskSkinData& operator=(const TskSkinData&) = delete;

  // The window that gets the skin messages first: the one set here, else the
  // owner's window when the owner is a form (null when there is none).
  HWND OwnerForm();
  void SetOwnerForm(HWND form) { FOwnerForm = form; }

  // The forms that receive the skin messages after the owner, in order. By
  // default the screen's forms.
  using TFormsProvider = std::function<std::vector<HWND>()>;
  static void SetFormsProvider(TFormsProvider provider);

  bool Empty() const { return FEmpty; }
  bool SkinChanging() const { return FSkinChanging; }
  bool SkinnableForm() const { return FSkinnableForm; }
  void SetSkinnableForm(bool value);
  bool EnableSkinEffects = true;

  TskCompressedStoredSkin* CompressedStoredSkin() const { return FStoredSkin; }
  // Links a stored skin and loads it at once.
  void SetCompressedStoredSkin(TskCompressedStoredSkin* skin);
  TskResourceStrData* ResourceStrData() const { return FResourceStrData; }
  void SetResourceStrData(TskResourceStrData* data);
  TskCompressedSkinList* SkinList() const { return FSkinList; }
  void SetSkinList(TskCompressedSkinList* list);
  int SkinIndex() const { return FSkinIndex; }
  void SetSkinIndex(int index);

  // Loads return true when a new skin is in place. A file that is no skin or
  // an empty stored skin changes nothing and sends no message. Any other
  // failure (missing or bad picture, bad stream) keeps the previous skin
  // complete, still sends the three messages, and sets LastError.
  bool LoadSkinFromIni(const std::wstring& fileName);
  bool LoadSkinFromSknFile(const std::wstring& fileName);
  bool LoadSkinFromStoredSkin(const TskCompressedStoredSkin& skin);
  // Loads the built-in skin of the module's resources.
  bool LoadBuiltinSkin(HMODULE module = nullptr);
  const std::string& LastError() const { return FLastError; }

  // Position of the first entry whose name equals name exactly, or -1.
  int FindObjectDescription(const std::wstring& name) const;
  int FindControlDescription(const std::wstring& name) const;
  int FindSkinArea(const std::wstring& name) const;
  // Checked access: nullptr for a position or index outside the list.
  TskDataSkinControl* ControlAt(int index) const;
  TskDataSkinObject* ObjectAt(int index) const;
  TskDataSkinArea* AreaAt(int index) const;
  const TskPicture* ActivePicture(int index) const;
  // The description named name when it exists and is of kind T.
  template <class T> T* FindControl(const std::wstring& name) const {
    return dynamic_cast<T*>(ControlAt(FindControlDescription(name)));
  }
  template <class T> T* FindObject(const std::wstring& name) const {
    return dynamic_cast<T*>(ObjectAt(FindObjectDescription(name)));
  }
  // Cursor of a skin cursor index; nullptr for -1 or an unknown index.
  HCURSOR SkinCursor(int index) const;

  void ClearSkin();
  void ClearDescriptions();
  void BroadcastSkinMessage(UINT message);

protected:
  // Clears the links to a stored skin, string data or skin list being freed.
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void FinishLoad(bool loaded);
  void BeginLoad();
  // Puts Cursors into the screen's cursor table from StartCursorIndex on.
  void InstallCursors();
  // Gives the screen's cursor numbers back what they held before.
  void RemoveCursors();
  struct TScreenCursor {
    int Number;
    HCURSOR Previous, Ours;
  };
  std::vector<TScreenCursor> FScreenCursors;

  HWND FOwnerForm;
  bool FEmpty = true;
  bool FSkinChanging = false;
  bool FSkinnableForm = true;
  TskCompressedStoredSkin* FStoredSkin = nullptr;
  TskResourceStrData* FResourceStrData = nullptr;
  TskCompressedSkinList* FSkinList = nullptr;
  int FSkinIndex = 0;
  std::string FLastError;
};

// Skin data that is set, loaded and has effects enabled.
bool SkinEffectsOn(const TskSkinData* Data);
// Selects the character set of the skin's resource strings on F, else Def's
// (when given).
void ApplySkinCharset(const TskSkinData* Data, TFont* F, const TFont* Def);

// Reads the sections of an INI skin (pictures from files in folder, or none
// when folder is empty and stream content is given) into a content record.
void LoadSkinContent(TMemIniFile& ini, const std::wstring& folder,
                     const TskSkinStreamContent* stream, TskSkinContent& content);
