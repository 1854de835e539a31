#include "framework/ExtCtrls.h"

// ---------------------------------------------------------------------------
// TTimer

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  FWindowHandle = AllocateMessageHWnd([this](TMessage& m) {
    if (m.Msg == WM_TIMER) {
      Timer();
      return;
    }
    m.Result = DefWindowProcW(FWindowHandle, m.Msg, m.WParam, m.LParam);
  });
  UpdateTimer();
}

TTimer::~TTimer() {
  Destroying();
  FEnabled = false;
  if (FWindowHandle) KillTimer(FWindowHandle, 1);
  DeallocateHWnd(FWindowHandle);
}

void TTimer::UpdateTimer() {
  KillTimer(FWindowHandle, 1);
  if (FEnabled && FInterval > 0) SetTimer(FWindowHandle, 1, FInterval, nullptr);
}

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(UINT Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::Timer() {
  if (FEnabled && OnTimer) OnTimer(this);
}

// ---------------------------------------------------------------------------
// Standard panels, images, bevels and radio groups.

#include <algorithm>

// ---------------------------------------------------------------------------
// TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(new TPicture) {
  FControlStyle |= csReplicatable;
  FPicture->OnChange = [this](TObject*) { PictureChanged(); };
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() {
  Destroying();
  FPicture->OnChange = nullptr;
}

void TImage::SetAutoSize(bool Value) {
  TGraphicControl::SetAutoSize(Value);
  Invalidate();
}

void TImage::SetStretch(bool Value) {
  if (FStretch == Value) return;
  FStretch = Value;
  PictureChanged();
}

void TImage::SetProportional(bool Value) {
  if (FProportional == Value) return;
  FProportional = Value;
  PictureChanged();
}

void TImage::SetCenter(bool Value) {
  if (FCenter == Value) return;
  FCenter = Value;
  PictureChanged();
}

void TImage::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  PictureChanged();
}

bool TImage::CanAutoSize(int& NewWidth, int& NewHeight) {
  TGraphic* g = FPicture->Graphic();
  if (!g || g->Empty()) return false;
  NewWidth = g->Width();
  NewHeight = g->Height();
  return true;
}

void TImage::PictureChanged() {
  if (FInChange) return;
  FInChange = true;
  TGraphic* g = FPicture->Graphic();
  // Icons carry their own mask; other graphics take the image's setting.
  if (g && !dynamic_cast<TIcon*>(g) && g->Transparent() != FTransparent)
    g->SetTransparent(FTransparent);
  FInChange = false;
  // Sized at once, also while its form is still being built.
  if (AutoSize() && g && !g->Empty()) SetBounds(Left(), Top(), g->Width(), g->Height());
  UpdateOpaque();
  InvalidateControl(Visible(), false);
}

void TImage::UpdateOpaque() {
  TGraphic* g = FPicture->Graphic();
  bool opaque =
      g && !g->Empty() && !g->Transparent() && !dynamic_cast<TIcon*>(g) &&
      ((FStretch && !FProportional) || (g->Width() >= Width() && g->Height() >= Height()));
  SetOpaque(opaque);
}

void TImage::Resize() {
  UpdateOpaque();
  TGraphicControl::Resize();
}

TRect TImage::DestRect() {
  int w = FPicture->Width(), h = FPicture->Height();
  int cw = ClientWidth(), ch = ClientHeight();
  if (FStretch || (FProportional && (w > cw || h > ch))) {
    if (FProportional && w > 0 && h > 0) {
      // The largest size with the picture's proportions that fits.
      if (static_cast<long long>(cw) * h <= static_cast<long long>(ch) * w) {
        h = MulDiv(h, cw, w);
        w = cw;
      } else {
        w = MulDiv(w, ch, h);
        h = ch;
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r(0, 0, w, h);
  if (FCenter) r.Offset((cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* g = FPicture->Graphic();
  if (!g || g->Empty()) return;
  Canvas()->StretchDraw(DestRect(), g);
}

// ---------------------------------------------------------------------------
// TPanel

namespace {

// Lines are filled rectangles: they do not depend on the pen's mode.
void FillBox(TCanvas* Canvas, TColor Color, int L, int T, int R, int B) {
  if (R <= L || B <= T) return;
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Color);
  Canvas->FillRect(TRect(L, T, R, B));
}

// A frame of Width pixels inside Rect: top and left in Top, bottom and right
// in Bottom. Rect shrinks by the frame.
void DrawFrame(TCanvas* Canvas, TRect& Rect, TColor Top, TColor Bottom, int Width) {
  for (; Width > 0 && Rect.Width() > 0 && Rect.Height() > 0; --Width) {
    const int l = Rect.Left, t = Rect.Top, r = Rect.Right, b = Rect.Bottom;
    FillBox(Canvas, Top, l, t, r - 1, t + 1);
    FillBox(Canvas, Top, l, t, l + 1, b - 1);
    FillBox(Canvas, Bottom, r - 1, t, r, b);
    FillBox(Canvas, Bottom, l, b - 1, r, b);
    Rect.Inflate(-1, -1);
  }
}

void BevelColors(TBevelCut Bevel, TColor Face, TColor& Top, TColor& Bottom) {
  switch (Bevel) {
  case bvLowered:
    Top = clBtnShadow;
    Bottom = clBtnHighlight;
    break;
  case bvRaised:
    Top = clBtnHighlight;
    Bottom = clBtnShadow;
    break;
  default:
    Top = Bottom = Face;
    break;
  }
}

} // namespace

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque |
                  csDoubleClicks | csReplicatable;
  SetBounds(0, 0, 185, 41);
  SetParentColor(false);
  SetColor(clBtnFace);
}

int TPanel::FrameWidth() const {
  int w = FBorderWidth;
  if (FBorderStyle == bsSingle) ++w;
  if (FBevelOuter != bvNone) w += FBevelWidth;
  if (FBevelInner != bvNone) w += FBevelWidth;
  return w;
}

void TPanel::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  int w = FrameWidth();
  Rect.Inflate(-w, -w);
}

void TPanel::BordersChanged() {
  Realign();
  Invalidate();
}

void TPanel::SetBevelOuter(TPanelBevel Value) {
  if (FBevelOuter == Value) return;
  FBevelOuter = Value;
  BordersChanged();
}

void TPanel::SetBevelInner(TPanelBevel Value) {
  if (FBevelInner == Value) return;
  FBevelInner = Value;
  BordersChanged();
}

void TPanel::SetBevelWidth(int Value) {
  Value = std::max(Value, 1);
  if (FBevelWidth == Value) return;
  FBevelWidth = Value;
  BordersChanged();
}

void TPanel::SetBorderWidth(int Value) {
  Value = std::max(Value, 0);
  if (FBorderWidth == Value) return;
  FBorderWidth = Value;
  BordersChanged();
}

void TPanel::SetBorderStyle(TFormBorderStyle Value) {
  Value = Value == bsNone ? bsNone : bsSingle;
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  BordersChanged();
}

void TPanel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TPanel::SetVerticalAlignment(TVerticalAlignment Value) {
  if (FVerticalAlignment == Value) return;
  FVerticalAlignment = Value;
  Invalidate();
}

void TPanel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  TColor top, bottom;
  if (FBorderStyle == bsSingle) DrawFrame(canvas, r, clWindowFrame, clWindowFrame, 1);
  if (FBevelOuter != bvNone) {
    BevelColors(FBevelOuter, Color(), top, bottom);
    DrawFrame(canvas, r, top, bottom, FBevelWidth);
  }
  DrawFrame(canvas, r, Color(), Color(), FBorderWidth);
  if (FBevelInner != bvNone) {
    BevelColors(FBevelInner, Color(), top, bottom);
    DrawFrame(canvas, r, top, bottom, FBevelWidth);
  }
  canvas->Brush()->SetColor(Color());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(r);
  std::wstring text = Caption();
  if (text.empty()) return;
  static const UINT horz[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  static const UINT vert[] = {DT_TOP, DT_BOTTOM, DT_VCENTER};
  UINT flags = DT_EXPANDTABS | DT_SINGLELINE | horz[FAlignment] | vert[FVerticalAlignment];
  HDC dc = canvas->Handle();
  HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
  RECT rc = r;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, flags);
  SelectObject(dc, oldFont);
}

void TPanel::Dispatch(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_ENABLEDCHANGED ||
      Message.Msg == CM_FONTCHANGED || (Message.Msg == WM_SIZE && FrameWidth() > 0))
    Invalidate();
}

// ---------------------------------------------------------------------------
// TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle |= csReplicatable;
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value) {
  if (FShape == Value) return;
  FShape = Value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* canvas = Canvas();
  TColor c1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor c2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  const int w = Width(), h = Height();
  TRect r(0, 0, w, h);
  switch (FShape) {
  case bsBox:
    DrawFrame(canvas, r, c1, c2, 1);
    break;
  case bsFrame:
    // Two boxes one pixel apart: an etched (or embossed) frame.
    r = TRect(1, 1, w, h);
    DrawFrame(canvas, r, c2, c2, 1);
    r = TRect(0, 0, w - 1, h - 1);
    DrawFrame(canvas, r, c1, c1, 1);
    break;
  case bsTopLine:
    FillBox(canvas, c1, 0, 0, w, 1);
    FillBox(canvas, c2, 0, 1, w, 2);
    break;
  case bsBottomLine:
    FillBox(canvas, c1, 0, h - 2, w, h - 1);
    FillBox(canvas, c2, 0, h - 1, w, h);
    break;
  case bsLeftLine:
    FillBox(canvas, c1, 0, 0, 1, h);
    FillBox(canvas, c2, 1, 0, 2, h);
    break;
  case bsRightLine:
    FillBox(canvas, c1, w - 2, 0, w - 1, h);
    FillBox(canvas, c2, w - 1, 0, w, h);
    break;
  case bsSpacer:
    break;
  }
}

// ---------------------------------------------------------------------------
// TRadioGroup

TRadioGroup::TRadioGroup(TComponent* AOwner) : TGroupBox(AOwner), FItems(new TStringList) {
  FItems->OnChange = [this](TStringList*) { ItemsChanged(); };
  SetTabStop(false);
}

TRadioGroup::~TRadioGroup() {
  Destroying();
  FItems->OnChange = nullptr;
  for (TRadioButton* b : FButtons)
    b->OnClick = nullptr;
}

TRadioButton* TRadioGroup::Buttons(int Index) const {
  if (Index < 0 || Index >= ButtonCount())
    throw EListError(Format(L"List index out of bounds (%d)", {Index}));
  return FButtons[Index];
}

void TRadioGroup::ItemsChanged() {
  if (ComponentState() & csDestroying) return;
  if (FItemIndex >= FItems->Count()) FItemIndex = FItems->Count() - 1;
  UpdateButtons();
}

void TRadioGroup::UpdateButtons() {
  FUpdating = true;
  const int count = FItems->Count();
  while (ButtonCount() > count) {
    TRadioButton* b = FButtons.back();
    FButtons.pop_back();
    delete b;
  }
  while (ButtonCount() < count) {
    auto* b = new TRadioButton(this);
    b->OnClick = [this, b](TObject*) { ButtonClicked(b); };
    b->SetParent(this);
    FButtons.push_back(b);
  }
  for (int i = 0; i < count; ++i) {
    TRadioButton* b = FButtons[i];
    b->SetCaption(FItems->Strings(i));
    b->SetEnabled(Enabled());
    b->SetChecked(i == FItemIndex);
  }
  FUpdating = false;
  ArrangeButtons();
  UpdateTabStops();
}

void TRadioGroup::ArrangeButtons() {
  const int count = ButtonCount();
  if (count == 0) return;
  HDC dc = GetDC(nullptr);
  HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, oldFont);
  ReleaseDC(nullptr, dc);
  const int fontHeight = tm.tmHeight;
  const int perColumn = (count + FColumns - 1) / FColumns;
  const int buttonWidth = std::max((Width() - 10) / FColumns, 0);
  const int space = Height() - fontHeight - 5;
  const int buttonHeight = std::max(space / perColumn, 0);
  const int topMargin = fontHeight + 1 + (space % perColumn) / 2;
  for (int i = 0; i < count; ++i) {
    int column = i / perColumn, row = i % perColumn;
    FButtons[i]->SetBounds(column * buttonWidth + 8, row * buttonHeight + topMargin,
                           std::max(buttonWidth - 8, 0), buttonHeight);
  }
}

void TRadioGroup::UpdateTabStops() {
  // Only the checked button (or the first) is a tab stop.
  for (int i = 0; i < ButtonCount(); ++i)
    FButtons[i]->SetTabStop(i == FItemIndex || (FItemIndex < 0 && i == 0));
}

void TRadioGroup::ButtonClicked(TRadioButton* Button) {
  if (FUpdating || !Button->Checked()) return;
  auto it = std::find(FButtons.begin(), FButtons.end(), Button);
  if (it == FButtons.end()) return;
  int index = static_cast<int>(it - FButtons.begin());
  if (index == FItemIndex) return;
  FItemIndex = index;
  UpdateTabStops();
  if (!(ComponentState() & csLoading)) Click();
}

void TRadioGroup::SetItemIndex(int Value) {
  if (Value < -1 || Value >= FItems->Count()) Value = -1;
  if (Value == FItemIndex) return;
  FItemIndex = Value;
  FUpdating = true;
  for (int i = 0; i < ButtonCount(); ++i)
    FButtons[i]->SetChecked(i == Value);
  FUpdating = false;
  UpdateTabStops();
  if (!(ComponentState() & csLoading)) Click();
}

void TRadioGroup::SetColumns(int Value) {
  Value = std::clamp(Value, 1, 16);
  if (FColumns == Value) return;
  FColumns = Value;
  ArrangeButtons();
  Invalidate();
}

void TRadioGroup::Loaded() {
  TGroupBox::Loaded();
  ArrangeButtons();
}

void TRadioGroup::Resize() {
  ArrangeButtons();
  TGroupBox::Resize();
}

bool TRadioGroup::MoveByKey(WORD Key) {
  const int count = ButtonCount();
  if (count == 0) return false;
  HWND focus = GetFocus();
  int current = -1;
  for (int i = 0; i < count; ++i)
    if (FButtons[i]->HandleAllocated() && FButtons[i]->Handle() == focus) current = i;
  if (current < 0) return false;
  const int step = Key == VK_UP || Key == VK_LEFT ? -1 : 1;
  // The next enabled button, round the group.
  int next = current;
  do
    next = (next + step + count) % count;
  while (next != current && !FButtons[next]->Enabled());
  if (next == current) return true;
  FButtons[next]->SetFocus();
  SetItemIndex(next);
  return true;
}

void TRadioGroup::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DIALOGKEY) {
    WORD key = static_cast<WORD>(Message.WParam);
    if ((key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT) &&
        KeyDataToShiftState(Message.LParam) == 0 && MoveByKey(key)) {
      Message.Result = 1;
      return;
    }
  }
  TGroupBox::Dispatch(Message);
  switch (Message.Msg) {
  case CM_ENABLEDCHANGED:
    for (TRadioButton* b : FButtons)
      b->SetEnabled(Enabled());
    break;
  case CM_FONTCHANGED:
    ArrangeButtons();
    break;
  }
}
