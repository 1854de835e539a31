// Spin edit: a framed edit holding a number with a pair of spin buttons.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "controls/FcButton.h"
#include "controls/FcEdit.h"

enum TSpinDirection : uint8_t { sdUpDown, sdLeftRight };
enum TSpinButtonType : uint8_t { sbUp, sbDown };

namespace fcspin {

// The value limited to Min..Max; without a range (Min = Max and no
// CheckRange) unchanged.
double ClampValue(double V, double Min, double Max, bool CheckRange);
// FloatToStrF(ffFixed) with 18 digits of precision.
std::wstring FormatFixed(double V, int Decimals);
// The spin edit's key filter.
bool IsValidChar(wchar_t Ch, const std::wstring& Text, int SelStart, int SelLength,
                 bool IntegersOnly, bool AllowKeyEdit);

} // namespace fcspin

class TFcSpinButtons : public TWinControl {
public:
  explicit TFcSpinButtons(TComponent* AOwner);

  TSpinDirection Direction() const { return FDirection; }
  void SetDirection(TSpinDirection Value);
  TOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TOrientation Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  uint16_t Delay() const { return FUpButton->Delay(); }
  void SetDelay(uint16_t Value);
  uint16_t InitialDelay() const { return FUpButton->InitialDelay(); }
  void SetInitialDelay(uint16_t Value);
  void SetButtonsEnabled(bool Value);
  void SetButtonsColor(TColor Value);
  TBitmap* GlyphUpRight() const { return FUpButton->Glyph(); }
  void SetGlyphUpRight(TBitmap* Value);
  TBitmap* GlyphDownLeft() const { return FDownButton->Glyph(); }
  void SetGlyphDownLeft(TBitmap* Value);
  TNumGlyphs NumGlyphsUpRight() const { return FUpButton->NumGlyphs(); }
  void SetNumGlyphsUpRight(TNumGlyphs Value) { FUpButton->SetNumGlyphs(Value); }
  TNumGlyphs NumGlyphsDownLeft() const { return FDownButton->NumGlyphs(); }
  void SetNumGlyphsDownLeft(TNumGlyphs Value) { FDownButton->SetNumGlyphs(Value); }
  TFcControlButton* UpRightButton() const { return FUpButton; }
  TFcControlButton* DownLeftButton() const { return FDownButton; }

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  TNotifyEvent OnUpRightClick;
  TNotifyEvent OnDownLeftClick;

protected:
  virtual TFcControlButton* CreateButton();
  virtual void ButtonClick(TObject* Button);
  virtual void ButtonMouseDown(TObject* Button, TMouseButton MouseButton);
  virtual void GlyphChanged();
  virtual void ArrangeButtons(int& W, int& H);
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void ResetGlyphStyles();
  TSpinDirection FDirection = sdUpDown;
  TOrientation FOrientation = orVertical;
  TFcControlButton* FUpButton = nullptr;
  TFcControlButton* FDownButton = nullptr;
  TWinControl* FFocusControl = nullptr;
  bool FFlat = false;
  bool FCustomUp = false, FCustomDown = false;
};

using TSpinChangingEvent = std::function<void(TObject* Sender, double NewValue, bool& AllowChange)>;
using TSpinButtonEvent = std::function<void(TObject* Sender, TSpinButtonType Button)>;

class TFcSpinEdit : public TFcCustomEdit {
public:
  explicit TFcSpinEdit(TComponent* AOwner);

  bool AllowKeyEdit() const { return FAllowKeyEdit; }
  void SetAllowKeyEdit(bool Value) { FAllowKeyEdit = Value; }
  bool AllowBlank() const { return FAllowBlank; }
  void SetAllowBlank(bool Value) { FAllowBlank = Value; }
  double BlankValue() const { return FBlankValue; }
  void SetBlankValue(double Value) { FBlankValue = Value; }
  int ButtonWidth() const { return FButtonWidth; }
  virtual void SetButtonWidth(int Value);
  bool CheckRange() const { return FCheckRange; }
  virtual void SetCheckRange(bool Value);
  uint8_t Decimals() const { return FDecimals; }
  virtual void SetDecimals(uint8_t Value);
  double Increment() const { return FIncrement; }
  void SetIncrement(double Value) { FIncrement = Value; }
  bool IntegersOnly() const { return FIntegersOnly; }
  virtual void SetIntegersOnly(bool Value);
  double Min() const { return FMin; }
  virtual void SetMin(double Value);
  double Max() const { return FMax; }
  virtual void SetMax(double Value);
  double PageSize() const { return FPageSize; }
  void SetPageSize(double Value) { FPageSize = Value; }
  TSpinDirection Direction() const { return FButtons->Direction(); }
  void SetDirection(TSpinDirection Value) { FButtons->SetDirection(Value); }
  TOrientation Orientation() const { return FButtons->Orientation(); }
  void SetOrientation(TOrientation Value);
  // Glyphs of the buttons (the built-in arrows while empty).
  TBitmap* ButtonUpGlyph() const { return FButtons->GlyphUpRight(); }
  void SetButtonUpGlyph(TBitmap* Value) { FButtons->SetGlyphUpRight(Value); }
  TBitmap* ButtonDownGlyph() const { return FButtons->GlyphDownLeft(); }
  void SetButtonDownGlyph(TBitmap* Value) { FButtons->SetGlyphDownLeft(Value); }
  TNumGlyphs ButtonUpNumGlyphs() const { return FButtons->NumGlyphsUpRight(); }
  void SetButtonUpNumGlyphs(TNumGlyphs Value) { FButtons->SetNumGlyphsUpRight(Value); }
  TNumGlyphs ButtonDownNumGlyphs() const { return FButtons->NumGlyphsDownLeft(); }
  void SetButtonDownNumGlyphs(TNumGlyphs Value) { FButtons->SetNumGlyphsDownLeft(Value); }
  TFcSpinButtons* Buttons() const { return FButtons; }
  TFcControlButton* GetButton(TSpinButtonType Kind) const;
  void SetFlatButtons(bool Value) override;

  virtual double Value();
  virtual void SetValue(double Value);
  virtual int IntegerValue();
  virtual void SetIntegerValue(int Value);
  virtual double ClampValue(double Value);
  virtual void IncValue(double Amount);
  virtual void DecValue(double Amount);
  virtual void UpClick();
  virtual void DownClick();
  virtual bool IsValidChar(wchar_t Ch);

  TSpinChangingEvent OnChanging;
  TSpinButtonEvent OnButtonClick;

protected:
  virtual void ArrangeButtons();
  virtual void UpdateMargins();
  virtual bool Changing(double NewValue);
  virtual void NotifyButtonClick(TSpinButtonType Button);
  void ReadOnlyChanged() override;
  void UpdateHotState(bool ViaMouse, bool Active) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Loaded() override;
  void KeyPress(wchar_t& Key) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos) override;
  void WndProc(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;

private:
  void Step(double NewValue, TSpinButtonType Button);
  bool FAllowKeyEdit = false;
  bool FAllowBlank = false;
  double FBlankValue = 0;
  TFcSpinButtons* FButtons = nullptr;
  int FButtonWidth = 17;
  bool FCheckRange = false;
  uint8_t FDecimals = 0;
  double FIncrement = 1;
  bool FIntegersOnly = true;
  double FMin = 0, FMax = 100;
  double FPageSize = 10;
};
