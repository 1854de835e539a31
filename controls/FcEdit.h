// Framed edit and numeric edit.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "controls/FcCommon.h"
#include "controls/FcPopups.h"
#include "framework/StdCtrls.h"

namespace fcnumeric {

// Reads a number from what a numeric edit shows: thousands separators,
// parentheses for negatives and an exponent. Unreadable text gives 0.
double TextToValue(const std::wstring& Text);

// The key filter of the numeric edit for one character typed into Text with
// the given selection.
bool IsValidChar(wchar_t Ch, const std::wstring& Text, int SelStart, int SelLength,
                 bool IntegersOnly);

// Text typed or pasted into an edit, one character at a time through a filter.
struct TTypedText {
  std::wstring Text;
  int Caret = 0;
  bool Rejected = false; // some character was refused
};
using TCharFilter =
    std::function<bool(wchar_t Ch, const std::wstring& Text, int SelStart, int SelLength)>;
TTypedText TypeThrough(const std::wstring& Text, int SelStart, int SelLength,
                       const std::wstring& Insert, const TCharFilter& Filter);

// The range check on leaving the edit. OnRangeError may clear AutoCorrect;
// then KeepFocus is set and the entered value is returned.
using TRangeCheck = std::function<void(double Entered, double Adjusted, bool& AutoCorrect)>;
double CheckValue(double V, double Min, double Max, bool CheckRange,
                  const TRangeCheck& OnRangeError, bool& KeepFocus);

} // namespace fcnumeric

// ---------------------------------------------------------------------------
// Framed edit

using TFcInvalidInputEvent = std::function<void(TObject* Sender, std::wstring& Message)>;

class TFcCustomEdit : public TEdit, public IFcFrameControlled {
public:
  explicit TFcCustomEdit(TComponent* AOwner);
  ~TFcCustomEdit() override;

  TAlignment Alignment() const { return FAlignment; }
  virtual void SetAlignment(TAlignment Value);
  TAlignment GetControlsAlignment() const override { return FAlignment; }
  bool TabOnEnter() const { return FTabOnEnter; }
  void SetTabOnEnter(bool Value) { FTabOnEnter = Value; }
  bool BeepOnInvalidKey() const { return FBeepOnInvalidKey; }
  void SetBeepOnInvalidKey(bool Value) { FBeepOnInvalidKey = Value; }
  TColor DisabledColor() const { return FDisabledColor; }
  void SetDisabledColor(TColor Value);
  TColor FocusColor() const { return FFocusColor; }
  void SetFocusColor(TColor Value);
  TColor ReadOnlyColor() const { return FReadOnlyColor; }
  void SetReadOnlyColor(TColor Value);
  bool ReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
  void SetReadOnlyColorOnFocus(bool Value);
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor Value);
  TColor FrameHotColor() const { return FFrameHotColor; }
  void SetFrameHotColor(TColor Value);
  bool FrameHotTrack() const { return FFrameHotTrack; }
  void SetFrameHotTrack(bool Value);
  TFrameStyle FrameHotStyle() const { return FFrameHotStyle; }
  void SetFrameHotStyle(TFrameStyle Value);
  TSides FrameSides() const { return FFrameSides; }
  void SetFrameSides(TSides Value);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  void SetFrameStyle(TFrameStyle Value);
  bool FrameVisible() const { return FFrameVisible; }
  void SetFrameVisible(bool Value);
  TFramingPreference FramingPreference() const { return FFramingPreference; }
  void SetFramingPreference(TFramingPreference Value);
  TFcFrameController* FrameController() const { return FFrameController.Controller(); }
  void SetFrameController(TFcFrameController* Value);
  TFcFrameControllerNotifications FrameControllerNotifications() const override {
    return FFrameController.Notifications();
  }
  void SetFrameControllerNotifications(TFcFrameControllerNotifications Value) {
    FFrameController.SetNotifications(Value);
  }
  void SetControllerProperty(TFcFrameControllerProperty Property,
                             const TFcFrameController& Controller) override;
  const std::wstring& TextHint() const { return FTextHint; }
  void SetTextHint(const std::wstring& Value);
  bool TextHintVisibleOnFocus() const { return FTextHintVisibleOnFocus; }
  void SetTextHintVisibleOnFocus(bool Value);
  bool FlatButtons() const { return FFlatButtons; }
  virtual void SetFlatButtons(bool Value);
  TColor FlatButtonColor() const { return FFlatButtonColor; }
  void SetFlatButtonColor(TColor Value) { FFlatButtonColor = Value; }
  // The colour shown when enabled, unfocused and writable.
  TColor NormalColor() const { return FNormalColor; }

  // The drop-down button in the border: wanted, currently shown, pressed.
  bool ButtonVisible() const { return FButtonVisible; }
  virtual void SetButtonVisible(bool Value);
  bool ButtonShown() const { return FButtonShown; }
  int ButtonState() const { return FButtonState; }
  bool DroppedDown() const { return FDroppedDown; }
  bool MouseOverButton() const { return FMouseOverButton; }
  // The button's rectangle relative to the window's top-left corner; empty
  // while no button is shown.
  TRect ButtonRect() const;
  // Presses the button: the drop-down and then the close-up notification.
  // Nothing happens while no button is shown.
  void DropDown();

  bool ReadOnly() const { return IsReadOnly(); }
  void SetReadOnly(bool Value);
  virtual bool IsReadOnly() const { return TEdit::ReadOnly(); }
  // Whether the frame is left to the platform's visual styles.
  virtual bool UseThemes() const;

  TFcInvalidInputEvent OnInvalidInput;
  TNotifyEvent OnButtonDropDown;
  TNotifyEvent OnButtonCloseUp;

protected:
  virtual void HideButton();
  virtual void ShowButton();
  virtual void DrawDropButton(TCanvas* Canvas, const TRect& Rect);
  virtual void SetButtonState(int State);
  virtual void SetButtonShown(bool Value);
  virtual void NotifyDropDown();
  virtual void NotifyCloseUp();
  // Lets go of the button and of the mouse capture.
  void ReleaseButton();
  void KeyDown(WORD& Key, TShiftState Shift) override;
  virtual void ApplyTextHint(const std::wstring& Hint);
  virtual void UpdateColors();
  virtual void UpdateHotState(bool ViaMouse, bool Active);
  virtual void RepaintFrame();
  virtual void ReadOnlyChanged();
  // A refused key: beeps when asked to.
  void InvalidKey();
  bool Loading() const { return ComponentState() & (csLoading | csReading); }

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void KeyPress(wchar_t& Key) override;
  void WndProc(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMParentColorChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void WMSize(TMessage& Message) override;

  bool FInControl = false, FOverControl = false;

private:
  void PaintNCFrame();
  void PaintNCButton();
  // The colour UpdateColors would choose.
  TColor StateColor() const;
  bool FButtonVisible = false, FButtonShown = false, FMouseOverButton = false;
  bool FDroppedDown = false;
  int FButtonState = 0;
  TAlignment FAlignment = taLeftJustify;
  bool FTabOnEnter = false;
  bool FBeepOnInvalidKey = true;
  bool FUpdatingColor = false;
  TColor FDisabledColor = clBtnFace, FFocusColor = clWindow, FNormalColor = clWindow;
  TColor FFrameColor = clBtnShadow, FFrameHotColor = clBtnShadow;
  TFcFrameControllerLink FFrameController{this};
  bool FFrameHotTrack = false;
  TFrameStyle FFrameHotStyle = fsFlatBold;
  TSides FFrameSides = sdsAll;
  TFrameStyle FFrameStyle = fsFlat;
  TFramingPreference FFramingPreference = fpXPThemes;
  TColor FReadOnlyColor = clInfoBk;
  bool FReadOnlyColorOnFocus = false;
  std::wstring FTextHint;
  bool FTextHintVisibleOnFocus = false;
  bool FFlatButtons = false;
  TColor FFlatButtonColor = clBtnFace;
  bool FFrameVisible = false;
};

class TFcEdit : public TFcCustomEdit {
public:
  explicit TFcEdit(TComponent* AOwner) : TFcCustomEdit(AOwner) {}
  std::wstring GetText() const { return Text(); }
  // Replaces the whole text (fires OnChange).
  void SetText(const std::wstring& Value) override { TFcCustomEdit::SetText(Value); }
};

// ---------------------------------------------------------------------------
// Numeric edit

using TFcRangeErrorEvent = std::function<void(TObject* Sender, double EnteredValue,
                                              double AdjustedValue, bool& AutoCorrect)>;

class TFcNumericEdit : public TFcEdit {
public:
  explicit TFcNumericEdit(TComponent* AOwner);

  bool AllowBlank() const { return FAllowBlank; }
  void SetAllowBlank(bool Value) { FAllowBlank = Value; }
  double BlankValue() const { return FBlankValue; }
  void SetBlankValue(double Value) { FBlankValue = Value; }
  bool CheckRange() const { return FCheckRange; }
  void SetCheckRange(bool Value) { FCheckRange = Value; }
  bool IntegersOnly() const { return FIntegersOnly; }
  virtual void SetIntegersOnly(bool Value);
  double Min() const { return FMin; }
  virtual void SetMin(double Value);
  double Max() const { return FMax; }
  virtual void SetMax(double Value);
  const std::wstring& DisplayFormat() const { return FDisplayFormat; }
  virtual void SetDisplayFormat(const std::wstring& Value);

  virtual double Value();
  virtual void SetValue(double Value);
  virtual int IntegerValue();
  virtual void SetIntegerValue(int Value);

  bool CalculatorVisible() const { return ButtonVisible(); }
  void SetCalculatorVisible(bool Value) { SetButtonVisible(Value); }
  bool CalculatorBoldButtons() const { return FCalculatorBoldButtons; }
  void SetCalculatorBoldButtons(bool Value) { FCalculatorBoldButtons = Value; }
  TFcCalculatorColors* CalculatorColors() const { return FCalculatorColors.get(); }
  void SetCalculatorColors(TFcCalculatorColors* Value) { FCalculatorColors->Assign(Value); }

  virtual bool IsValidChar(wchar_t Ch);
  virtual std::wstring FormatValue(double Value);
  virtual double TextToValue();
  virtual double CheckValue(double Value, bool& KeepFocus);

  TFcRangeErrorEvent OnRangeError;

protected:
  // Drops the calculator down under the edit; an accepted result becomes
  // the value. Nothing happens while read-only.
  void NotifyDropDown() override;
  virtual void ShowCalculator();
  virtual void NotifyRangeError(double Entered, double Adjusted, bool& AutoCorrect);
  void Change() override;
  void KeyPress(wchar_t& Key) override;
  void WndProc(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;
  void Loaded() override;

private:
  bool FAllowBlank = false;
  double FBlankValue = 0;
  bool FCheckRange = false;
  bool FIntegersOnly = true;
  double FMin = 0, FMax = 0;
  std::wstring FDisplayFormat = L",0;(,0)";
  double FStoredValue = 0;
  bool FCalculatorBoldButtons = false;
  std::unique_ptr<TFcCalculatorColors> FCalculatorColors = std::make_unique<TFcCalculatorColors>();
  bool FReformatting = false;
};
