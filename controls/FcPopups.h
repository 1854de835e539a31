// Calculator panel and the drop-down popup that shows it under an edit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "controls/FcPanel.h"

namespace fccalc {

enum TCalcOperator : uint8_t { coNone, coAdd, coSubtract, coMultiply, coDivide };

// The calculator's arithmetic, apart from its window.
class TCalcEngine {
public:
  TCalcEngine() { Clear(); }
  void Digit(int D);
  void Point();
  void Operator(TCalcOperator Op);
  void Equals();
  void Clear();
  // The set button (and Enter in a popup): finishes a pending operation.
  void Set();
  void SetResult(double Value);
  double Result() const { return FResult; }
  bool Error() const { return FError; }
  std::wstring DisplayText() const;

private:
  void Evaluate();
  double FOperand = 0;
  int FDecimals = 0;
  TCalcOperator FPending = coNone;
  double FResult = 0;
  bool FNewEntry = true, FCompleted = true, FShowResult = true, FError = false;
};

} // namespace fccalc

class TFcCalculator;

class TFcCalculatorColors : public TPersistent {
public:
  explicit TFcCalculatorColors(TFcCalculator* Owner = nullptr) : FOwner(Owner) {}
  void Assign(TPersistent* Source) override;
  virtual TColor GetColorByIndex(int Index) const;
  virtual void SetColorByIndex(int Index, TColor Color);
  TColor NumberFont() const { return FColors[0]; }
  TColor NumberBtns() const { return FColors[1]; }
  TColor OperatorFont() const { return FColors[2]; }
  TColor OperatorBtns() const { return FColors[3]; }
  TColor CommandFont() const { return FColors[4]; }
  TColor CommandBtns() const { return FColors[5]; }
  TColor DisplayFont() const { return FColors[6]; }
  TColor Display() const { return FColors[7]; }

private:
  TFcCalculator* FOwner;
  TColor FColors[8] = {clWindowText, clBtnShadow, clWindowText, clBtnShadow,
                       clWindowText, clBtnShadow, clWindowText, clWindow};
};

class TFcCalculator : public TFcCustomPanel {
public:
  explicit TFcCalculator(TComponent* AOwner);

  double Result() const { return FEngine.Result(); }
  virtual void SetResult(double Value);
  bool BoldButtons() const { return FBoldButtons; }
  virtual void SetBoldButtons(bool Value);
  TFcCalculatorColors* CalculatorColors() const { return FColors.get(); }
  virtual void SetCalculatorColors(TFcCalculatorColors* Value);
  bool ThemeAware() const { return FThemeAware; }
  virtual void SetThemeAware(bool Value);
  bool IsPopup() const { return FPopup; }
  void SetPopup(bool Value) { FPopup = Value; }
  std::wstring DisplayText() const { return FEngine.DisplayText(); }
  // The rectangle of button Index (18: the display), empty when not shown.
  TRect ButtonRect(int Index);
  // Presses button Index as a click would.
  void PressButton(int Index);

  TNotifyEvent OnChange;
  TNotifyEvent OnSetBtnClick;

protected:
  virtual void DrawDisplay(const TRect& Rect, TColor FrameColor);
  virtual void DrawButton(const TRect& Rect, int Index);
  virtual void SetHotButton(int Index);
  virtual void SetPressedButton(int Index);
  virtual void Change();
  virtual void SetBtnClick();
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void WndProc(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;

private:
  void MeasureFont();
  int ButtonAt(int X, int Y);
  fccalc::TCalcEngine FEngine;
  int FPressed = 18, FHot = 18;
  int FCharWidth = 7, FCharHeight = 13;
  bool FBoldButtons = false;
  std::unique_ptr<TFcCalculatorColors> FColors;
  bool FThemeAware = true;
  bool FPopup = false;
};

// ---------------------------------------------------------------------------
// Popups

// Posted to a popup window to close it.
constexpr UINT WM_CLOSEPOPUP = 9251;

class TFcCustomPopup : public TFcCustomPanel {
public:
  explicit TFcCustomPopup(TComponent* AOwner);

protected:
  void Paint() override;
};

class TFcPopup;

class TFcPopupPanel : public TFcCustomPopup {
public:
  explicit TFcPopupPanel(TComponent* AOwner);
  ~TFcPopupPanel() override;

  // Shows the content under Control; true when the user accepted it.
  bool Popup(TControl* Control) { return PopupAt(Control, -1, -1); }
  // X, Y: offsets from Control's top-left, or -1, -1 for below it.
  bool PopupAt(TControl* Control, int X, int Y);
  // Accepts and closes the popup shown.
  void ClosePopup();
  bool PoppedUp() const { return FPopup != nullptr; }
  TFcPopup* PopupWindow() const { return FPopup; }

  TNotifyEvent OnClose;
  TNotifyEvent OnPopup;

private:
  TFcPopup* FPopup = nullptr;
  TControl* FControl = nullptr;
};

class TFcPopup : public TFcCustomPopup {
public:
  TFcPopup(TComponent* AOwner, TFcPopupPanel* Panel);
  // Shows the panel's content and runs the popup's message loop; true when
  // the popup was closed by acceptance.
  bool Show(TControl* Control, TAlignment Alignment, int X, int Y);
  void Accept();
  TWinControl* Target() const { return FTarget; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;

private:
  void RunLoop();
  TFcPopupPanel* FPanel;
  TWinControl* FTarget = nullptr;
  bool FPending = false;
  bool FClosed = false;
};
