// Style objects of the library's container controls (one style per visual
// state, values falling back through a shared style controller, the normal
// style and defaults), the list of open popup windows of such controls and
// the three thread hooks that close those popups.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "lookandfeel/lfClasses.h"
#include "lookandfeel/lfGraphics.h"
#include "lookandfeel/lfLookAndFeels.h"

class TControl;
class TWinControl;

enum TlfContainerBorderStyle {
  cbsNone,
  cbsSingle,
  cbsThick,
  cbsFlat,
  cbs3D,
  cbsUltraFlat,
  cbsOffice11
};

// Style value indexes; a set of them has bit n for value n.
enum TlfContainerStyleValue {
  svBorderColor,
  svBorderStyle,
  svColor,
  svEdges,
  svFont,
  svHotTrack,
  svShadow,
  svTextColor,
  svTextStyle,
  svTransparentBorder
};
using TlfContainerStyleValues = unsigned;
constexpr TlfContainerStyleValues StyleValueBit(TlfContainerStyleValue v) {
  return 1u << v;
}

// Container states: 0 normal (the base style), 1 and 3 emphasised, 2 disabled.
constexpr int csNormalState = 0, csHotState = 1, csDisabledState = 2, csFocusedState = 3;

// What a container control tells its styles.
class IlfStyleContainer {
public:
  virtual ~IlfStyleContainer() = default;
  virtual bool ParentColor() const = 0;
  virtual void SetParentColor(bool Value) = 0;
  virtual bool ParentFont() const = 0;
  virtual void SetParentFont(bool Value) = 0;
  // The container's background query (false: a window-coloured background).
  virtual bool BackgroundQuery() const = 0;
  virtual TColor ParentControlColor() const = 0;
  // Whether the container publishes a style value of that name.
  virtual bool PublishesStyleValue(const std::wstring& Name) const = 0;
};

class TlfStyleController;
class TlfContainerStyle;
using TlfContainerStyleFactory = std::function<TlfContainerStyle*(
    TPersistent* Owner, int State, TlfContainerStyle* Parent, bool DirectAccess)>;

class TlfContainerStyle : public TlfInterfacedPersistent, public IlfSkinSupport {
public:
  TlfContainerStyle(TPersistent* AOwner, int State, TlfContainerStyle* ParentStyle,
                    bool DirectAccess);
  ~TlfContainerStyle() override;
  void Assign(TPersistent* Source) override;

  int State() const { return FState; }
  TlfContainerStyle* ParentStyle() const { return FParentStyle; }
  IlfStyleContainer* Container() const { return FContainer; }
  bool DirectAccess() const { return FDirectAccess; }
  bool IsBaseStyle() const { return FParentStyle == nullptr; }

  TlfContainerStyleValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TlfContainerStyleValues Value);
  TColor BorderColor() const;
  void SetBorderColor(TColor Value);
  TlfContainerBorderStyle BorderStyle() const;
  void SetBorderStyle(TlfContainerBorderStyle Value);
  TColor Color() const;
  void SetColor(TColor Value);
  TlfBorders Edges() const;
  void SetEdges(TlfBorders Value);
  TFont* Font() const;
  void SetFont(TFont* Value);
  bool HotTrack() const;
  void SetHotTrack(bool Value);
  TlfLookAndFeel* LookAndFeel() const;
  void SetLookAndFeel(TlfLookAndFeel* Value);
  bool Shadow() const;
  void SetShadow(bool Value);
  TlfStyleController* StyleController() const;
  void SetStyleController(TlfStyleController* Value);
  TColor TextColor() const;
  void SetTextColor(TColor Value);
  TFontStyles TextStyle() const;
  void SetTextStyle(TFontStyles Value);
  bool TransparentBorder() const;
  void SetTransparentBorder(bool Value);

  void BeginStyleUpdate();
  void EndStyleUpdate();
  static bool FindStyleValue(const std::wstring& Name, int& Index);
  bool IsStatePropertyPublished(const std::wstring& Name) const;

  virtual void NotifyStyleChange();
  virtual void ControllerChanged(TlfStyleController* Controller);
  virtual void ControllerFreed(TlfStyleController* Controller);
  virtual int ValueCount() const { return 10; }
  virtual bool ValueName(int Index, std::wstring& Name) const;
  virtual bool ValueAssigned(int Index) const;
  virtual void ResetToDefaults();

  TNotifyEvent OnValuesChanged;

protected:
  virtual TColor BorderColorDefault() const;
  virtual TlfContainerBorderStyle BorderStyleDefault() const;
  virtual TColor ColorDefault() const;
  virtual TlfBorders EdgesDefault() const { return lfAllBorders; }
  virtual bool HotTrackDefault() const { return true; }
  virtual bool ShadowDefault() const { return false; }
  virtual TColor TextColorDefault() const;
  virtual TFontStyles TextStyleDefault() const;
  virtual bool TransparentBorderDefault() const { return true; }
  virtual void OwnFontChanged(TObject* Sender);
  virtual TlfStyleController* DefaultController() const;

private:
  friend class TlfStyleController;
  bool Assigned(TlfContainerStyleValue v) const { return FAssignedValues & StyleValueBit(v); }
  void MarkAssigned(TlfContainerStyleValue v) { FAssignedValues |= StyleValueBit(v); }
  TlfStyleController* ActiveController() const;
  TlfContainerStyle* ControllerStyle() const; // the controller's style of this state, or null
  TlfContainerStyle* Base() { return FParentStyle ? FParentStyle->Base() : this; }
  void CheckChanges();
  void UpdateFont();
  void ResetOwnFont();

  TlfContainerStyle* FParentStyle;
  int FState;
  bool FDirectAccess;
  IlfStyleContainer* FContainer = nullptr;
  TlfContainerStyleValues FAssignedValues = 0;
  TColor FBorderColor = clDefault;
  TlfContainerBorderStyle FBorderStyle = cbsNone;
  TColor FColor = clWindow;
  TlfBorders FEdges = lfAllBorders;
  TFont* FFont = nullptr;
  bool FOwnsFont = false;
  TColor FFontColor = clWindowText;
  bool FHotTrack = true;
  bool FShadow = false;
  TFontStyles FTextStyle = 0;
  bool FTransparentBorder = true;
  std::unique_ptr<TlfLookAndFeel> FLookAndFeel;
  TlfStyleController* FStyleController = nullptr;
  int FUpdateCount = 0;
  bool FModified = false;
  bool FDestroying = false;
  int FFontAssignedLock = 0;
};

// The four state styles of one owner.
class TlfContainerStyles : public TObject {
public:
  TlfContainerStyles(TPersistent* AOwner, const TlfContainerStyleFactory& Factory);
  ~TlfContainerStyles() override;
  TlfContainerStyle* Style(int State) const { return FStyles[State]; }

private:
  TlfContainerStyle* FStyles[4] = {};
};

// A component whose styles several containers share.
class TlfStyleController : public TComponent {
public:
  explicit TlfStyleController(TComponent* AOwner);
  ~TlfStyleController() override;
  void Loaded() override;
  virtual void AttachStyle(TlfContainerStyle* Style);
  virtual void DetachStyle(TlfContainerStyle* Style);
  virtual TlfContainerStyleFactory ContainerStyleClass() const;
  TlfContainerStyle* Style() const { return FStyles->Style(csNormalState); }
  TlfContainerStyle* StateStyle(int State) const { return FStyles->Style(State); }
  int ListenerCount() const { return static_cast<int>(FListeners.size()); }
  // Reads the normal style's controller; writing does nothing.
  TlfStyleController* FakeStyleController() const { return Style()->StyleController(); }
  void SetFakeStyleController(TlfStyleController*) {}
  TNotifyEvent OnChanged;

private:
  void Changed();
  std::unique_ptr<TlfContainerStyles> FStyles;
  std::vector<TlfContainerStyle*> FListeners;
  bool FDestroying = false;
};

// The default style controller (none in the programs).
extern TlfStyleController* lfDefaultStyleController;

// ---------------------------------------------------------------------------
// Popup windows of the library's controls

class IlfPopupWindow {
public:
  virtual ~IlfPopupWindow() = default;
  virtual HWND PopupHandle() const = 0;
  virtual bool IsPopupDestroying() const = 0;
  virtual TWinControl* OwnerControl() const = 0;
  // Flags 1 to 4, defined by the popup class.
  virtual bool PopupFlag(int N) const = 0;
  virtual int& ClosingCounter() = 0;
  virtual void SetClosedByOwner(bool Value) = 0;
  virtual bool CloseQuery() = 0;
  virtual void ClosePopup() = 0;
  virtual bool AcceptsSysKey(WORD Key) = 0;
  // True when the popup handles the click (it does not pass).
  virtual bool HandlesClick(HWND Wnd, UINT Msg, POINT Pt, TShiftState Shift) = 0;
  virtual TRect OwnerDropDownArea() const = 0;
};

void lfAddOpenPopup(IlfPopupWindow* Popup);
void lfRemoveOpenPopup(IlfPopupWindow* Popup);
int lfOpenPopupCount();

bool IsWindowOfControl(TWinControl* Control, HWND Wnd, bool Deep = true);
bool IsWindowInsideControl(TWinControl* Control, HWND Wnd);
HWND FirstNonChildAncestor(HWND Wnd);
bool IsWindowOfParentForm(TWinControl* Control, HWND Wnd);
TShiftState CurrentShiftState();
bool IsShownWindow(TWinControl* Control);
int CompareNames(const std::wstring& A, const std::wstring& B, bool CaseSensitive);

// Hooks and switches.
extern bool lfNoHooks;
extern bool lfNoActivationMessages;
HHOOK lfContainerHook(int HookType); // WH_CALLWNDPROC, WH_GETMESSAGE or WH_MOUSE
// Replaces the window's procedure by one that restores it on the next
// message and answers 1 without handling it. One lock per window.
void LockWindowMessage(HWND Wnd);
bool IsWindowMessageLocked(HWND Wnd);
bool lfScrollBarInfoAvailable();
// The window-owner mapping routine that the library's controls call.
extern HWND (*lfWindowOwnerMapper)(HWND);
HWND lfMapWindowOwner(HWND Wnd);

void lfContainerInitialize();
void lfContainerFinalize();
