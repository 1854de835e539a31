// Timers (and further standard controls below).
#pragma once

#include "framework/Controls.h"

// ---------------------------------------------------------------------------
// TTimer

class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // Milliseconds; 0 stops the timer.
  UINT Interval() const { return FInterval; }
  void SetInterval(UINT Value);
  TNotifyEvent OnTimer;

protected:
  virtual void Timer();

private:
  void UpdateTimer();
  HWND FWindowHandle = nullptr;
  UINT FInterval = 1000;
  bool FEnabled = true;
};

// ---------------------------------------------------------------------------
// Standard panels, images, bevels and radio groups go below this line.

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Forms.h"
#include "framework/StdCtrls.h"

// ---------------------------------------------------------------------------
// Image: a picture drawn by the parent, as it is, centred, stretched or
// scaled to fit.

class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  // Sized to the picture whenever the picture changes.
  void SetAutoSize(bool Value) override;
  // Fills the control with the picture.
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  // Scales the picture down to fit, keeping its proportions.
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  // Passed on to the picture's graphic (bitmaps leave their transparent colour out).
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // Where the picture is drawn, in client coordinates.
  TRect DestRect();

protected:
  void Paint() override;
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  void Resize() override;

private:
  void PictureChanged();
  // Opaque while the picture covers the whole control.
  void UpdateOpaque();
  std::unique_ptr<TPicture> FPicture;
  bool FStretch = false;
  bool FProportional = false;
  bool FCenter = false;
  bool FTransparent = false;
  bool FInChange = false;
};

// ---------------------------------------------------------------------------
// Panel: a container with raised or lowered bevels and a caption.

enum TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
using TPanelBevel = TBevelCut;
enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };

class TPanel : public TCustomControl {
public:
  explicit TPanel(TComponent* AOwner);

  TPanelBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel Value);
  TPanelBevel BevelInner() const { return FBevelInner; }
  void SetBevelInner(TPanelBevel Value);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int Value);
  // Space between the outer and the inner bevel.
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  // bsNone or bsSingle (a one-pixel frame outside the bevels).
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment Value);

protected:
  void Paint() override;
  void AdjustClientRect(TRect& Rect) override;
  void Dispatch(TMessage& Message) override;

private:
  void BordersChanged();
  int FrameWidth() const;
  TPanelBevel FBevelOuter = bvRaised;
  TPanelBevel FBevelInner = bvNone;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
  TFormBorderStyle FBorderStyle = bsNone;
  TAlignment FAlignment = taCenter;
  TVerticalAlignment FVerticalAlignment = taVerticalCenter;
};

// ---------------------------------------------------------------------------
// Bevel: an etched box, frame or line painted by the parent.

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
  explicit TBevel(TComponent* AOwner);
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape Value);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle Value);

protected:
  void Paint() override;

private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

// ---------------------------------------------------------------------------
// Radio group: a group box holding one radio button per item.

class TRadioGroup : public TGroupBox {
public:
  explicit TRadioGroup(TComponent* AOwner);
  ~TRadioGroup() override;

  // One radio button is made for each string.
  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(*Value); }
  // The checked item, -1 when none. A real change, by the user or in code,
  // fires OnClick.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  // Buttons are laid out top to bottom in 1..16 columns.
  int Columns() const { return FColumns; }
  void SetColumns(int Value);
  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TRadioButton* Buttons(int Index) const;

protected:
  void Loaded() override;
  void Resize() override;
  void Dispatch(TMessage& Message) override;

private:
  void ItemsChanged();
  void UpdateButtons();
  void ArrangeButtons();
  void UpdateTabStops();
  void ButtonClicked(TRadioButton* Button);
  // Arrow keys move the check to the next button round the group.
  bool MoveByKey(WORD Key);
  std::unique_ptr<TStringList> FItems;
  std::vector<TRadioButton*> FButtons;
  int FItemIndex = -1;
  int FColumns = 1;
  bool FUpdating = false;
};
