#include "controls/FcPanel.h"

#include <algorithm>
#include <cwchar>

#include <uxtheme.h>
#include <vssym32.h>

#include "framework/Forms.h"
#include "framework/SysUtils.h"

namespace {

int StyleWidth(TFrameStyleEx Style, int BevelWidth) {
  switch (Style) {
  case fsNone:
    return 0;
  case fsFlat:
    return 1;
  case fsStatus:
  case fsPopup:
    return BevelWidth;
  default:
    return 2;
  }
}

void Shrink(TRect& R, TSides Sides, int W) {
  if (Sides & sdsLeft) R.Left += W;
  if (Sides & sdsTop) R.Top += W;
  if (Sides & sdsRight) R.Right -= W;
  if (Sides & sdsBottom) R.Bottom -= W;
}

} // namespace

// ---------------------------------------------------------------------------
// Panel

TFcCustomPanel::TFcCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle =
      (FControlStyle & ~(csSetCaption | csParentBackground)) | csAcceptsControls | csOpaque;
  FWidth = 185;
  FHeight = 41;
  SetColor(clBtnFace);
  SetUseDockManager(true);
}

TDockTree* TFcCustomPanel::CreateDockManager() {
  if (DockManager() || !DockSite() || !UseDockManager()) return DockManager();
  return new TFcPanelDockManager(this);
}

TFcCustomPanel::~TFcCustomPanel() {}

void TFcCustomPanel::SetBorderOuter(TFrameStyleEx Value) {
  if (Value == FBorderOuter) return;
  FBorderOuter = Value;
  Realign();
  Invalidate();
}

void TFcCustomPanel::SetBorderInner(TFrameStyleEx Value) {
  if (Value == FBorderInner) return;
  FBorderInner = Value;
  Realign();
  Invalidate();
}

void TFcCustomPanel::SetBorderSides(TSides Value) {
  if (Value == FBorderSides) return;
  FBorderSides = Value;
  Realign();
  Invalidate();
}

void TFcCustomPanel::SetBorderWidth(int Value) {
  if (Value == FBorderWidth || Value < 0) return;
  FBorderWidth = Value;
  Realign();
  Invalidate();
}

void TFcCustomPanel::SetBevelWidth(int Value) {
  if (Value == FBevelWidth || Value < 1) return;
  FBevelWidth = Value;
  Realign();
  Invalidate();
}

void TFcCustomPanel::SetGradientColorStart(TColor Value) {
  if (Value == FGradientColorStart) return;
  FGradientColorStart = Value;
  Invalidate();
  InvalidateTransparentChildren(this);
}

void TFcCustomPanel::SetGradientColorStop(TColor Value) {
  if (Value == FGradientColorStop) return;
  FGradientColorStop = Value;
  Invalidate();
  InvalidateTransparentChildren(this);
}

void TFcCustomPanel::SetGradientDirection(TGradientDirection Value) {
  if (Value == FGradientDirection) return;
  FGradientDirection = Value;
  Invalidate();
  InvalidateTransparentChildren(this);
}

void TFcCustomPanel::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  SetOpaque(!Value);
  Invalidate();
  for (int i = 0; i < ControlCount(); ++i)
    Controls(i)->Invalidate();
}

void TFcCustomPanel::SetFrameController(TFcFrameController* Value) {
  FFrameController.SetController(Value);
}

void TFcCustomPanel::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  FFrameController.Notification(AComponent, Operation);
}

void TFcCustomPanel::ApplyFrameController() {
  TFcFrameController* c = FFrameController.Controller();
  if (!c || !c->FrameVisible()) return;
  auto on = [&](TFcFrameControllerProperty p) { return FFrameController.Notifies(p); };
  if (on(fcpFrameStyle)) FBorderOuter = c->FrameStyle();
  if (on(fcpFrameSides)) FBorderSides = c->FrameSides();
  if (on(fcpFrameColor)) {
    FFlatColor = c->FrameColor();
    FFlatColorAdjustment = 0;
  }
  if (on(fcpColor)) SetColor(c->Color());
  if (on(fcpParentColor)) SetParentColor(c->ParentColor());
  if (on(fcpColor)) {
    FBorderHighlight = LightenColor(Color(), 100);
    FBorderShadow = DarkenColor(Color(), 50);
  }
  Invalidate();
}

TRect TFcCustomPanel::AdjustRectByBorders(const TRect& Rect, bool IncludeBorderWidth) {
  TRect r = Rect;
  if (IncludeBorderWidth) r.Inflate(-FBorderWidth, -FBorderWidth);
  Shrink(r, FBorderSides, StyleWidth(FBorderOuter, FBevelWidth));
  Shrink(r, FBorderSides, StyleWidth(FBorderInner, FBevelWidth));
  return r;
}

void TFcCustomPanel::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  Rect = AdjustRectByBorders(Rect, true);
}

void TFcCustomPanel::GetGradientColors(TColor& Start, TColor& Stop) {
  if (FGradientColorStyle == gcsCustom) {
    Start = FGradientColorStart;
    Stop = FGradientColorStop;
  } else {
    ::GetGradientColors(FGradientColorStyle, Start, Stop);
  }
}

TRect TFcCustomPanel::InnerRect() {
  return AdjustRectByBorders(TRect(0, 0, Width(), Height()), true);
}

void TFcCustomPanel::Paint() {
  TCanvas* c = Canvas();
  TRect r(0, 0, Width(), Height());
  TColor frame = FFlatColor;
  int adjustment = FFlatColorAdjustment;
  if (FVisualStyle == vsGradient && FGradientColorStyle != gcsCustom) {
    frame = GetGradientFrameColor(FGradientColorStyle);
    adjustment = 0;
  }
  TColor parentColor = Parent() ? Parent()->Color() : Color();
  TRect inner;
  DrawPanelBorders(c, r, FBorderOuter, FBorderInner, FBorderWidth, FBorderSides, FBevelWidth,
                   FBorderColor, FBorderHighlight, FBorderShadow, frame, adjustment, Color(),
                   parentColor, FTransparent, false, inner);
  if (!FTransparent && FPaintClientArea) {
    if (FVisualStyle == vsGradient) {
      TColor start, stop;
      GetGradientColors(start, stop);
      FillGradientRect(c, inner, FGradientDirection, start, stop, 1);
    } else {
      c->Brush()->SetStyle(bsSolid);
      c->Brush()->SetColor(Color());
      c->FillRect(inner);
    }
  }
  if (FShowGrid) DrawGrid(inner);
  c->Brush()->SetStyle(bsClear);
  DrawCaption(inner);
  c->Brush()->SetStyle(bsSolid);
  if (OnPaint) OnPaint(this);
}

void TFcCustomPanel::DrawGrid(const TRect& R) {
  TCanvas* c = Canvas();
  HDC dc = c->Handle();
  COLORREF color = ColorToRGB(FGridColor) & 0xFFFFFF;
  int cols = FGridXSize ? R.Width() / FGridXSize : 0;
  int rows = FGridYSize ? R.Height() / FGridYSize : 0;
  if (FGridStyle == gsDots) {
    for (int i = 1; i <= cols; ++i)
      for (int j = 1; j <= rows; ++j)
        SetPixelV(dc, R.Left + i * FGridXSize - 1, R.Top + j * FGridYSize - 1, color);
    return;
  }
  c->Pen()->SetColor(FGridColor);
  c->Pen()->SetWidth(1);
  for (int i = 1; i <= cols; ++i) {
    int x = R.Left + i * FGridXSize - 1;
    if (FGridStyle == gsSolidLines) {
      c->MoveTo(x, R.Top);
      c->LineTo(x, R.Bottom);
    } else {
      for (int y = R.Top + 1; y < R.Bottom; y += 2)
        SetPixelV(dc, x, y, color);
    }
  }
  for (int j = 1; j <= rows; ++j) {
    int y = R.Top + j * FGridYSize - 1;
    if (FGridStyle == gsSolidLines) {
      c->MoveTo(R.Left, y);
      c->LineTo(R.Right, y);
    } else {
      for (int x = R.Left + 1; x < R.Right; x += 2)
        SetPixelV(dc, x, y, color);
    }
  }
}

void TFcCustomPanel::DrawCaption(const TRect& Rect) {
  std::wstring caption = Caption();
  if (caption.empty()) return;
  TCanvas* c = Canvas();
  c->SetFont(Font());
  TRect r = Rect;
  r.Inflate(-FTextMargin, -FTextMarginVertical);
  UINT align = FAlignment == taLeftJustify    ? DT_LEFT
               : FAlignment == taRightJustify ? DT_RIGHT
                                              : DT_CENTER;
  UINT flags =
      DrawTextBiDiModeFlags(DT_EXPANDTABS | DT_VCENTER | align | (FWordWrap ? DT_WORDBREAK : 0));
  TRect calc = r;
  int h = DrawCanvasText(c, caption, calc, flags | DT_CALCRECT);
  switch (FAlignmentVertical) {
  case avTop:
    r.Bottom = std::min<LONG>(r.Bottom, r.Top + h);
    break;
  case avCenter:
    r.Top = (r.Bottom + r.Top - h) / 2;
    r.Bottom = std::min<LONG>(r.Bottom, r.Top + h);
    break;
  case avBottom:
    if (r.Bottom - h - 1 > r.Top) r.Top = r.Bottom - h - 1;
    break;
  }
  HDC dc = c->Handle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText) & 0xFFFFFF);
  DrawCanvasText(c, caption, r, flags);
}

void TFcCustomPanel::CMEnabledChanged(TMessage& Message) {
  TCustomControl::CMEnabledChanged(Message);
  if (!Enabled()) {
    FEnabledStates.clear();
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* child = Controls(i);
      FEnabledStates.emplace_back(child, child->Enabled());
      child->SetEnabled(false);
    }
  } else {
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* child = Controls(i);
      auto it = std::find_if(FEnabledStates.begin(), FEnabledStates.end(),
                             [&](const auto& p) { return p.first == child; });
      if (it == FEnabledStates.end() || it->second) child->SetEnabled(true);
    }
    FEnabledStates.clear();
  }
  Invalidate();
}

void TFcCustomPanel::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  Invalidate();
}

void TFcCustomPanel::WMWindowPosChanged(TMessage& Message) {
  if (HandleAllocated()) {
    if (FFullRepaint || !Caption().empty()) {
      Invalidate();
    } else {
      TRect inner = InnerRect();
      RECT r;
      if (Width() != FLastBounds.Width()) {
        r = RECT{inner.Right - 1, 0, FLastBounds.Width(), Height()};
        InvalidateRect(FHandle, &r, TRUE);
      }
      if (Height() != FLastBounds.Height()) {
        r = RECT{0, inner.Bottom - 1, Width(), FLastBounds.Height()};
        InvalidateRect(FHandle, &r, TRUE);
      }
    }
  }
  FLastBounds = BoundsRect();
  TCustomControl::WMWindowPosChanged(Message);
}

void TFcCustomPanel::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case WM_ERASEBKGND:
    if (FTransparent && FPaintClientArea) {
      RenderParentBackground(this, reinterpret_cast<HDC>(Message.WParam), false);
      Message.Result = 1;
      return;
    }
    break;
  case WM_THEMECHANGED:
    TCustomControl::WndProc(Message);
    XPColorScheme = GetXPColorScheme();
    return;
  }
  TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------------------
// Dock manager

TFcPanelDockManager::TFcPanelDockManager(TFcCustomPanel* Panel)
    : TDockTree(Panel), FPanel(Panel), FCaptionFont(std::make_unique<TFont>()),
      FGlyphFont(std::make_unique<TFont>()) {
  SetGrabberSize(14);
  FCaptionFont->SetName(L"Verdana");
  FCaptionFont->SetSize(8);
  FGlyphFont->SetName(L"Marlett");
  FGlyphFont->SetSize(8);
  if (!(Panel->ComponentState() & csDesigning)) {
    // Commands and activation inside the panel repaint its grabbers.
    FPanelOldWndProc = Panel->WindowProc;
    Panel->WindowProc = [this](TMessage& m) {
      if (m.Msg == WM_COMMAND || m.Msg == WM_MOUSEACTIVATE) FPanel->Invalidate();
      FPanelOldWndProc(m);
    };
    FHooked = true;
  }
}

TFcPanelDockManager::~TFcPanelDockManager() {
  if (FHooked) FPanel->WindowProc = FPanelOldWndProc;
}

void TFcPanelDockManager::PaintDockFrame(TCanvas* Canvas, TControl* Control, const TRect& ARect) {
  if (!FPanel->ShowDockClientCaptions()) {
    TDockTree::PaintDockFrame(Canvas, Control, ARect);
    return;
  }
  auto* win = dynamic_cast<TWinControl*>(Control);
  bool active = !win || win->Focused();
  TColor back = active ? clActiveCaption : clInactiveCaption;
  TColor text = active ? clCaptionText : clInactiveCaptionText;
  HDC dc = Canvas->Handle();
  int g = GrabberSize();
  bool left = GrabbersOnLeft();
  TRect bar = left ? TRect(ARect.Left, ARect.Top, ARect.Left + g, ARect.Bottom)
                   : TRect(ARect.Left, ARect.Top, ARect.Right, ARect.Top + g);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(back);
  Canvas->FillRect(bar);
  int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(text) & 0xFFFFFF);
  std::wstring caption = Control->Text();
  TRect glyph = CloseRect(ARect);
  if (left) {
    HFONT rotated = CreateRotatedFont(FCaptionFont.get(), 90);
    HGDIOBJ old = SelectObject(dc, rotated);
    IntersectClipRect(dc, bar.Left, glyph.Bottom + 1, bar.Right, bar.Bottom);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    TextOutW(dc, bar.Right - 2, bar.Bottom - 3, caption.c_str(), static_cast<int>(caption.size()));
    SelectObject(dc, old);
    DeleteObject(rotated);
    SelectClipRgn(dc, nullptr);
  } else {
    HGDIOBJ old = SelectObject(dc, FCaptionFont->Handle());
    RECT tr{bar.Left + 2, bar.Top, glyph.Left - 1, bar.Bottom};
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &tr,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
  }
  SetTextAlign(dc, TA_LEFT | TA_TOP);
  HGDIOBJ old = SelectObject(dc, FGlyphFont->Handle());
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  if (_wcsicmp(face, L"Marlett") == 0) {
    RECT gr = glyph;
    DrawTextW(dc, L"r", 1, &gr, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  } else {
    // Without the glyph font the cross is drawn with lines.
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(text) & 0xFFFFFF);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    int cx = (glyph.Left + glyph.Right) / 2, cy = (glyph.Top + glyph.Bottom) / 2;
    for (int d = 0; d < 2; ++d) {
      MoveToEx(dc, cx - 3 + d, cy - 3, nullptr);
      LineTo(dc, cx + 4 + d, cy + 4);
      MoveToEx(dc, cx + 3 + d, cy - 3, nullptr);
      LineTo(dc, cx - 4 + d, cy + 4);
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
  SelectObject(dc, old);
  RestoreDC(dc, saved);
}

// ---------------------------------------------------------------------------
// Status bar

namespace fcstatus {

std::vector<int> ScalePanes(const std::vector<int>& Widths, int PreviousWidth, int NewWidth) {
  std::vector<int> out = Widths;
  int delta = NewWidth - PreviousWidth;
  if (PreviousWidth <= 0 || delta == 0) return out;
  for (auto& w : out) {
    float ratio = static_cast<float>(w) / static_cast<float>(PreviousWidth);
    w += static_cast<int>(Round(static_cast<double>(static_cast<float>(delta) * ratio)));
    if (w < 0) w = 0;
  }
  return out;
}

} // namespace fcstatus

TFcStatusBar::TFcStatusBar(TComponent* AOwner) : TFcCustomPanel(AOwner) {
  TFcCustomPanel::SetBorderOuter(fsNone);
  TFcCustomPanel::SetBorderInner(fsNone);
  SetAlign(alBottom);
  SetHeight(19);
}

void TFcStatusBar::SetBorderOuter(TFrameStyleEx Value) {
  if (Value != BorderOuter()) FAutoStyle = false;
  TFcCustomPanel::SetBorderOuter(Value);
}

void TFcStatusBar::SetBorderInner(TFrameStyleEx Value) {
  if (Value != BorderInner()) FAutoStyle = false;
  TFcCustomPanel::SetBorderInner(Value);
}

void TFcStatusBar::SetBorderSides(TSides Value) {
  if (Value != BorderSides()) FAutoStyle = false;
  TFcCustomPanel::SetBorderSides(Value);
}

void TFcStatusBar::ApplyAutoStyle() {
  TFcCustomPanel::SetBorderInner(fsNone);
  TFcCustomPanel::SetBorderOuter(fsNone);
  TFcCustomPanel::SetBorderSides(sdsAll);
  SetHeight(19);
  SetBorderWidth(0);
}

void TFcStatusBar::Loaded() {
  TFcCustomPanel::Loaded();
  if (FAutoStyle) ApplyAutoStyle();
}

void TFcStatusBar::SetShowSizeGrip(bool Value) {
  if (Value == FShowSizeGrip) return;
  FShowSizeGrip = Value;
  Invalidate();
}

void TFcStatusBar::SetSimpleCaption(const std::wstring& Value) {
  if (Value == FSimpleCaption) return;
  FSimpleCaption = Value;
  Invalidate();
}

void TFcStatusBar::SetSimpleFrameStyle(TFrameStyle Value) {
  if (Value == FSimpleFrameStyle) return;
  FSimpleFrameStyle = Value;
  Invalidate();
}

void TFcStatusBar::SetSimpleStatus(bool Value) {
  if (Value == FSimpleStatus) return;
  FSimpleStatus = Value;
  DisableAlign();
  for (int i = 0; i < ControlCount(); ++i)
    Controls(i)->SetVisible(!Value);
  EnableAlign();
  Invalidate();
}

void TFcStatusBar::GetGradientColors(TColor& Start, TColor& Stop) {
  if (GradientColorStyle() == gcsCustom) {
    Start = GradientColorStop();
    Stop = GradientColorStart();
  } else {
    TColor line;
    GetStatusGradientColors(GradientColorStyle(), Start, Stop, line);
  }
}

bool TFcStatusBar::GripUsable() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  TFormBorderStyle bs = form->BorderStyle();
  return (bs == bsSizeable || bs == bsSizeToolWin) && form->WindowState() != wsMaximized;
}

void TFcStatusBar::DrawSimpleFrame(const TRect& Rect) {
  TCanvas* c = Canvas();
  if (VisualStyle() == vsGradient) return;
  if (FSimpleFrameStyle == fsFlat) {
    TColor fc = AdjustLuminance(FlatColor(), FlatColorAdjustment());
    HDC dc = c->Handle();
    c->Pen()->SetColor(fc);
    c->MoveTo(Rect.Left, Rect.Top + 1);
    c->LineTo(Rect.Left, Rect.Bottom - 1);
    c->MoveTo(Rect.Right - 1, Rect.Top + 1);
    c->LineTo(Rect.Right - 1, Rect.Bottom - 1);
    c->MoveTo(Rect.Left + 1, Rect.Top);
    c->LineTo(Rect.Right - 1, Rect.Top);
    c->MoveTo(Rect.Left + 1, Rect.Bottom - 1);
    c->LineTo(Rect.Right - 1, Rect.Bottom - 1);
    (void)dc;
  } else {
    DrawStyledBorder(c, Rect, FSimpleFrameStyle);
  }
}

void TFcStatusBar::Paint() {
  TFcCustomPanel::Paint();
  TCanvas* c = Canvas();
  if (FSimpleStatus) {
    TRect r(0, 0, Width(), Height() - 1);
    DrawSimpleFrame(r);
    r.Inflate(-1, -1);
    c->SetFont(Font());
    c->Brush()->SetStyle(bsClear);
    int y = r.Top + (r.Height() - c->TextHeight(L"Pp")) / 2;
    c->TextRect(r, r.Left + 2, y, FSimpleCaption);
    c->Brush()->SetStyle(bsSolid);
  }
  if (GripShown()) DrawGrip();
}

void TFcStatusBar::DrawGrip() {
  TCanvas* c = Canvas();
  int R = Width(), B = Height() - 1;
  TColor hi = clBtnHighlight, sh = clBtnShadow;
  if (VisualStyle() == vsGradient) {
    TColor stop, start, line;
    GetStatusGradientColors(GradientColorStyle(), stop, start, line);
    hi = start;
    sh = line;
  }
  const int dots[6][2] = {{5, 12}, {5, 8}, {5, 4}, {9, 8}, {9, 4}, {13, 4}};
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(hi);
  for (auto& d : dots)
    c->FillRect(Bounds(R - d[0], B - d[1], 2, 2));
  c->Brush()->SetColor(sh);
  for (auto& d : dots)
    c->FillRect(Bounds(R - d[0] - 1, B - d[1] - 1, 2, 2));
}

void TFcStatusBar::WMSize(TMessage& Message) {
  TFcCustomPanel::WMSize(Message);
  int w = Width();
  if (FFirstResize) {
    FFirstResize = false;
    FPreviousWidth = w;
    return;
  }
  if (FAutoScalePanes && ControlCount() > 0 && w != FPreviousWidth && !FScaling) {
    std::vector<int> widths;
    for (int i = 0; i < ControlCount(); ++i)
      widths.push_back(Controls(i)->Width());
    std::vector<int> scaled = fcstatus::ScalePanes(widths, FPreviousWidth, w);
    FScaling = true;
    DisableAlign();
    for (int i = 0; i < ControlCount(); ++i)
      Controls(i)->SetWidth(scaled[i]);
    EnableAlign();
    FScaling = false;
  }
  FPreviousWidth = w;
}

void TFcStatusBar::WMSetCursor(TMessage& Message) {
  if (GripShown() && !(ComponentState() & csDesigning) && HandleAllocated()) {
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(FHandle, &p);
    if (p.x >= Width() - 13 && p.x < Width() && p.y >= 0 && p.y < Height()) {
      ::SetCursor(LoadCursorW(nullptr, IDC_SIZENWSE));
      Message.Result = 1;
      return;
    }
  }
  TFcCustomPanel::WMSetCursor(Message);
}

void TFcStatusBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && GripShown() && X >= Width() - 13 && !(ComponentState() & csDesigning)) {
    ReleaseCapture();
    if (TCustomForm* form = GetParentForm(this))
      SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_SIZE + 8, 0);
    return;
  }
  TFcCustomPanel::MouseDown(Button, Shift, X, Y);
}
