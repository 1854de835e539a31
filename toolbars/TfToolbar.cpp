#include "toolbars/TfToolbar.h"

#include <algorithm>

#include "toolbars/TfAcc.h"
#include "toolbars/TfHook.h"

namespace {

// Toolbars that process shortcuts, in joining order, and the application
// window hook that offers them the keys no control used.
std::vector<TTfCustomToolbar*> gShortcutList;
int gShortcutHook = 0;

bool TryForm(TCustomForm* form, TMessage& msg) {
  if (!form) return false;
  for (auto* tb : std::vector<TTfCustomToolbar*>(gShortcutList)) {
    if (!tb->ProcessShortCuts() || OwningFormOf(tb) != form) continue;
    if (!form->HandleAllocated() || !IsWindowEnabled(form->Handle())) continue;
    bool handled = false;
    if (tb->OnShortCut) tb->OnShortCut(msg, handled);
    if (!handled) handled = tb->Items()->HandleShortCut(msg);
    if (handled) {
      msg.Result = 1;
      return true;
    }
  }
  return false;
}

bool AppShortCutHook(TMessage& m) {
  if (m.Msg != CM_APPKEYDOWN) return false;
  TMessage key{WM_KEYDOWN, m.WParam, m.LParam, 0};
  TCustomForm* form = dynamic_cast<TCustomForm*>(FindControl(GetActiveWindow()));
  bool handled = form && TryForm(form, key);
  if (!handled && Application && Application->MainForm() && form != Application->MainForm())
    handled = TryForm(Application->MainForm(), key);
  if (handled) m.Result = 1;
  return handled;
}

void AltRedirectHook(THookProcCode Code, HWND, WPARAM, LPARAM LParam) {
  if (Code != hpGetMessage) return;
  auto* m = reinterpret_cast<MSG*>(LParam);
  if (m->message != WM_SYSCHAR || !m->hwnd) return;
  // Forms here have no MDI client window: nothing to redirect.
}

// Sends SC_KEYMENU to the docks and menu bars of a form (children in order).
bool SearchSysCommand(TWinControl* w, WPARAM wp, LPARAM lp) {
  if (!w->Showing()) return false;
  for (int i = 0; i < w->ControlCount(); ++i) {
    TControl* c = w->Controls(i);
    if (!c->Visible() || !c->Enabled()) continue;
    auto* wc = dynamic_cast<TWinControl*>(c);
    if (!wc) continue;
    if ((c->ControlStyle() & csMenuEvents) &&
        (dynamic_cast<TTfDock*>(c) || dynamic_cast<TTfCustomToolbar*>(c))) {
      if (wc->Perform(WM_SYSCOMMAND, wp, lp)) return true;
    }
    if (SearchSysCommand(wc, wp, lp)) return true;
  }
  return false;
}

} // namespace

// ---------------------------------------------------------------------------
// View, chevron

TTfToolbarView::TTfToolbarView(TTfCustomToolbar* Toolbar, TTfCustomItem* Root)
    : TTfView(nullptr, nullptr, Root, Toolbar, true, false,
              !(Toolbar->ComponentState() & csDesigning)),
      FToolbar(Toolbar) {}

void TTfToolbarView::ResizeToContent(int Width, int Height) {
  FToolbar->ContentSize = TPoint(Width, Height);
  if (FToolbar->LayoutNesting > 1) return;
  if (FToolbar->AutoResize() || FToolbar->Docked() || FToolbar->Floating())
    FToolbar->ApplyMeasuredSize(Width, Height);
}

void TTfToolbarView::Reflow(TPoint& Size) {
  ++FToolbar->LayoutNesting;
  TScopeGuard restore([&] { --FToolbar->LayoutNesting; });
  FToolbar->ApplyViewLimits();
  TTfView::Reflow(Size);
}

TTfCustomItem* TTfToolbarView::GetChevron() {
  return FToolbar ? FToolbar->ChevronItem() : nullptr;
}

TFont* TTfToolbarView::ViewFont() {
  if (FToolbar->SystemFont()) return ToolbarFont();
  return FToolbar->FFreshFont ? FToolbar->FFreshFont : FToolbar->Font();
}

void TTfToolbarView::InvalidatePositions() {
  TTfView::InvalidatePositions();
}

TTfChevronItem::TTfChevronItem(TTfCustomToolbar* Toolbar)
    : TTfCustomItem(nullptr), FToolbar(Toolbar) {
  FTraits |= itHasSubmenu | itNoKeyboardOpen | itSelectable | itRepaintOnSelect;
  SetHint(tfstr::MoreButtons);
  SetCaption(DoubleAmpersands(L"More Buttons"));
}

TTfView* TTfChevronItem::ChevronSourceView() {
  return FToolbar->View();
}

TTfItemViewer* TTfChevronItem::CreateViewer(TTfView* View, int Level) {
  return new TTfChevronItemViewer(View, this, Level);
}

void TTfChevronItemViewer::Paint(TCanvas* Canvas, const TRect& R, bool IsSelected, bool IsPushed,
                                 bool) {
  HDC dc = Canvas->Handle();
  RECT rr = R;
  if (FItem->Enabled()) {
    if (IsPushed)
      DrawEdge(dc, &rr, BDR_SUNKENOUTER, BF_RECT);
    else if (IsSelected)
      DrawEdge(dc, &rr, BDR_RAISEDINNER, BF_RECT);
  }
  bool vertical = FView->Orientation() == voVertical;
  static const WORD horz[8] = {0xCC, 0x66, 0x33, 0x66, 0xCC, 0, 0, 0};
  static const WORD vert[8] = {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20};
  int x = vertical ? R.Right - 9 : R.Left + 2, y = vertical ? R.Top + 2 : 4;
  int w = vertical ? 5 : 8, h = vertical ? 8 : 5;
  if (IsPushed) x += 1, y += 1;
  // Set bits are white in the bitmap; the raster operation paints them with the brush.
  WORD bits[8];
  for (int i = 0; i < 8; ++i)
    bits[i] = vertical ? vert[i] : horz[i];
  HBITMAP bmp = CreateBitmap(8, 8, 1, 1, bits);
  HDC mdc = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mdc, bmp);
  auto blit = [&](int ox, int oy, int color) {
    HGDIOBJ ob = SelectObject(dc, GetSysColorBrush(color));
    COLORREF t = SetTextColor(dc, RGB(0, 0, 0)), b = SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, x + ox, y + oy, w, h, mdc, 0, 0, 0xE20746);
    SetTextColor(dc, t);
    SetBkColor(dc, b);
    SelectObject(dc, ob);
  };
  if (FItem->Enabled()) {
    blit(0, 0, COLOR_BTNTEXT);
  } else {
    blit(0, 1, COLOR_BTNHIGHLIGHT);
    blit(0, 0, COLOR_BTNSHADOW);
  }
  SelectObject(mdc, old);
  DeleteDC(mdc);
  DeleteObject(bmp);
}

// ---------------------------------------------------------------------------
// Toolbar

TTfCustomToolbar::TTfCustomToolbar(TComponent* AOwner) : TTfCustomDockableWindow(AOwner) {
  FControlStyle = (FControlStyle | csAcceptsControls | csActionClient) & ~csCaptureMouse;
  ResizeCornerHandles = false;
  ResizeClipCursor = false;
  FItems = std::make_unique<TTfRootItem>(nullptr);
  FItems->SetParentComponentRef(this);
  FChevron = std::make_unique<TTfChevronItem>(this);
  FChevron->SetLinkSubitems(FItems.get());
  FView = std::make_unique<TTfToolbarView>(this, FItems.get());
  FView->RecreateAllViewers();
  FView->BackgroundColor = clBtnFace;
  SetColor(clBtnFace);
  SetBounds(Left(), Top(), 23, 22);
}

TTfCustomToolbar::~TTfCustomToolbar() {
  Destroying();
  FFormHook.Release();
  UninstallHookProc(this, AltRedirectHook);
  FProcessShortCuts = FMenuBar = false;
  SyncShortcutHook();
  FView.reset();
  FChevron.reset();
  FItems.reset();
}

void TTfCustomToolbar::SetMenuBar(bool Value) {
  if (Value == FMenuBar) return;
  FMenuBar = Value;
  if (Value) {
    FControlStyle |= csMenuEvents;
    FView->SetStyle(FView->Style() | styMenuBar | styHideAccelsUntilKeyboard);
  } else {
    FControlStyle &= ~csMenuEvents;
    FView->SetStyle(FView->Style() & ~(styMenuBar | styHideAccelsUntilKeyboard));
  }
  if (!(ComponentState() & csLoading)) {
    SetFullSize(Value);
    SetShrinkMode(Value ? tfsmWrap : tfsmChevron);
    SetCloseButton(!Value);
    FProcessShortCuts = Value;
  }
  if (!Value || (ComponentState() & csDesigning))
    UninstallHookProc(this, AltRedirectHook);
  else
    InstallHookProc(this, AltRedirectHook, HookCode(hpGetMessage));
  SyncShortcutHook();
  if (Value) HookForm();
}

void TTfCustomToolbar::SetProcessShortCuts(bool Value) {
  if (Value == FProcessShortCuts) return;
  FProcessShortCuts = Value;
  SyncShortcutHook();
}

void TTfCustomToolbar::SyncShortcutHook() {
  bool want = (FProcessShortCuts || FMenuBar) && !(ComponentState() & csDesigning);
  if (want && !FRegistered) {
    if (gShortcutList.empty() && Application && !gShortcutHook)
      gShortcutHook = Application->HookMainWindow(AppShortCutHook);
    gShortcutList.push_back(this);
    FRegistered = true;
  } else if (!want && FRegistered) {
    ListRemove(gShortcutList, this);
    FRegistered = false;
    if (gShortcutList.empty() && gShortcutHook) {
      if (Application) Application->UnhookMainWindow(gShortcutHook);
      gShortcutHook = 0;
    }
  }
}

void TTfCustomToolbar::SetShrinkMode(TTfShrinkMode Value) {
  if (Value == FShrinkMode) return;
  FShrinkMode = Value;
  if (Docked())
    CurrentDock()->ArrangeRows();
  else if (!Floating())
    Remeasure();
}

void TTfCustomToolbar::SetFloatingWidth(int Value) {
  if (Value == FFloatingWidth) return;
  FFloatingWidth = Value;
  if (Floating()) Remeasure();
}

void TTfCustomToolbar::SetSystemFont(bool Value) {
  if (Value == FSystemFont) return;
  FSystemFont = Value;
  FView->InvalidatePositions();
  Remeasure();
}

void TTfCustomToolbar::SetChevronMoveItems(bool Value) {
  if (Value == FChevronMoveItems) return;
  FChevronMoveItems = Value;
  FView->SetUsePriorityList(Value && !(ComponentState() & csDesigning));
}

void TTfCustomToolbar::SetChevronPriorityForNewItems(TTfChevronPriorityForNewItems Value) {
  if (Value == FChevronPriorityForNewItems) return;
  FChevronPriorityForNewItems = Value;
  FView->NewItemsFirst = Value == tfcpHighest;
}

void TTfCustomToolbar::SetChevronHint(const std::wstring& Value) {
  FChevron->SetHint(Value);
  std::wstring s = Value.substr(0, Value.find(L'|'));
  FChevron->SetCaption(DoubleAmpersands(s));
}

TTfControlItem* TTfCustomToolbar::AddControlItem(int Index, TControl* Control) {
  auto* ci = new TTfControlItem(Owner());
  if ((ComponentState() & csDesigning) && Owner()) {
    // The first free "TfControlItem<n>" of the owner.
    for (int n = 1;; ++n) {
      std::wstring name = L"TfControlItem" + std::to_wstring(n);
      if (!Owner()->FindComponent(name)) {
        static_cast<TComponent*>(ci)->SetName(name);
        break;
      }
    }
  }
  ci->SetControl(Control);
  FItems->Insert(Index, ci);
  return ci;
}

void TTfCustomToolbar::ControlChanged(TControl* Control, bool Inserted) {
  if (!Control) return;
  if (Inserted) {
    if (ComponentState() & (csLoading | csUpdating)) return;
    if (!ControlItemOf(Control)) AddControlItem(FItems->ChildCount(), Control);
    return;
  }
  // The control leaves: its items go, the control stays. A control being
  // freed has already cleared its items' references.
  bool freed = (Control->ComponentState() & csDestroying) != 0;
  for (int i = FItems->ChildCount() - 1; i >= 0; --i) {
    auto* ci = dynamic_cast<TTfControlItem*>(FItems->ChildAt(i));
    if (!ci || (ci->Control() != Control && !(freed && !ci->Control()))) continue;
    ci->DontFreeControl();
    delete ci;
    i = std::min(i, FItems->ChildCount());
  }
}

TTfControlItem* TTfCustomToolbar::ControlItemOf(TControl* Control) {
  for (int i = 0; i < FItems->ChildCount(); ++i)
    if (auto* ci = dynamic_cast<TTfControlItem*>(FItems->ChildAt(i)))
      if (ci->Control() == Control) return ci;
  return nullptr;
}

int TTfCustomToolbar::WrapExtentFor(TTfDock* Dock) {
  if (!Dock) return FFloatingWidth;
  if (FShrinkMode != tfsmWrap) return 0;
  TPoint frame(4, 4);
  if (Dock->AllowDrag()) {
    if (Dock->IsVertical())
      frame.Y += HandleSize();
    else
      frame.X += HandleSize();
  }
  return Dock->IsVertical() ? Dock->Height() - frame.Y : Dock->Width() - frame.X;
}

int TTfCustomToolbar::ChevronExtentFor(TTfDock* Dock, TViewOrientation O) {
  if (FShrinkMode != tfsmChevron || !Docked() || Dock != CurrentDock()) return 0;
  if (ShrunkLength == 0) return 0;
  TPoint frame;
  GetDockedFrameSize(frame);
  return std::max<int>(0, ShrunkLength - (O == voVertical ? frame.Y : frame.X));
}

void TTfCustomToolbar::ApplyViewLimits() {
  TViewOrientation o = Floating()                                  ? voFloating
                       : (Docked() && CurrentDock()->IsVertical()) ? voVertical
                                                                   : voHorizontal;
  FView->SetOrientation(o);
  FView->ChevronLength = 12;
  if (Docked() || Floating()) {
    FView->FitLength = ChevronExtentFor(CurrentDock(), o);
    FView->WrapLength = WrapExtentFor(CurrentDock());
    return;
  }
  FView->FitLength = FView->WrapLength = 0;
  if (!AutoResize() || (Anchors() & (akLeft | akRight)) == (akLeft | akRight)) {
    if (FShrinkMode == tfsmChevron) FView->FitLength = Width();
    if (FShrinkMode == tfsmWrap) FView->WrapLength = Width();
  }
}

void TTfCustomToolbar::MeasureForPlacement(bool UseCurrent, TTfDock* Dock, bool AFloating,
                                           TPoint& Size) {
  if (UseCurrent) {
    Size = TPoint(0, 0);
    FView->InvalidatePositions();
    ++LayoutNesting;
    ApplyViewLimits();
    --LayoutNesting;
    FView->Reflow(Size);
    return;
  }
  TViewOrientation o = AFloating                      ? voFloating
                       : (Dock && Dock->IsVertical()) ? voVertical
                                                      : voHorizontal;
  TPoint base;
  Size = TPoint(0, 0);
  int lines = 1;
  FView->Layout(false, o, AFloating ? FFloatingWidth : WrapExtentFor(Dock),
                ChevronExtentFor(Dock, o), 12, base, Size, lines);
  FLineCount = lines;
}

void TTfCustomToolbar::GetContentSize(TPoint& Size) {
  FView->ValidatePositions();
  Size = ContentSize;
}

void TTfCustomToolbar::AdjustMinimumLength(int& Length) {
  bool vertical = Docked() && CurrentDock()->IsVertical();
  if (TTfItemViewer* v = FView->FirstShownInPriority())
    Length += vertical ? v->BoundsRect.Height() : v->BoundsRect.Width();
  TPoint frame;
  GetDockedFrameSize(frame);
  Length += (vertical ? frame.Y : frame.X) + 12;
}

bool TTfCustomToolbar::IsPointOnContent(const TPoint& P) {
  if (TTfCustomDockableWindow::IsPointOnContent(P)) return true;
  if (ComponentState() & csDesigning) return false;
  POINT sp = P;
  ::ClientToScreen(Handle(), &sp);
  FView->MouseTrack(TPoint(sp), true);
  return FView->Selected() && !(FView->Selected()->Item()->Traits() & itPassClicks);
}

bool TTfCustomToolbar::OpenByKey(wchar_t Key, bool RequirePrimaryAccel) {
  if (FView->State() & vwTracking) return false;
  FView->UpdateKeyboardCues(true);
  if (Key == 0) {
    TTfItemViewer* v = FView->FirstSelectable();
    if (!v) return false;
    FView->Select(v);
    FView->EnterToolbarLoop(0);
    return true;
  }
  bool only = false;
  TTfItemViewer* v = FView->FindAccelerator(nullptr, Key, RequirePrimaryAccel, only);
  if (!v || !v->Item()->Enabled()) return false;
  bool result = true;
  if (only) {
    FView->Select(v);
    FView->EnterToolbarLoop(toExecuteSelected);
  } else if (FMenuBar) {
    FView->Select(v);
    FView->EnterToolbarLoop(0);
  } else {
    result = false;
  }
  FView->UpdateKeyboardCues(false);
  return result;
}

void TTfCustomToolbar::ForgetHotItem() {
  if (GetCapture() != (HandleAllocated() ? Handle() : nullptr))
    FView->MouseTrack(TPoint(kUnknownPos, kUnknownPos), true);
}

void TTfCustomToolbar::HookForm() {
  TCustomForm* form = OwningFormOf(this);
  if (!form || !form->HandleAllocated() || FFormHook.Active()) return;
  FFormHook.Hook(form->Handle(), [form](TMessage& m) {
    if (m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) == SC_KEYMENU) {
      if (IsWindowEnabled(form->Handle()) && SearchSysCommand(form, m.WParam, m.LParam)) {
        m.Result = 0;
        return true;
      }
    }
    return false;
  });
}

void TTfCustomToolbar::CreateWnd() {
  TTfCustomDockableWindow::CreateWnd();
  if (FMenuBar && !(ComponentState() & csDesigning)) HookForm();
}

void TTfCustomToolbar::Dispatch(TMessage& m) {
  switch (m.Msg) {
  case WM_SYSCOMMAND:
    if (FMenuBar && CanFocus() && (m.WParam & 0xFFF0) == SC_KEYMENU && m.LParam != 32 &&
        !GetCapture()) {
      // The key must be one character of the keyboard's code page.
      wchar_t key = static_cast<wchar_t>(m.LParam);
      char bytes[4]{};
      UINT cp = KeyboardCodePage();
      if (WideCharToMultiByte(cp, 0, &key, 1, bytes, sizeof bytes, nullptr, nullptr) != 1) return;
      wchar_t ch = 0;
      if (MultiByteToWideChar(cp, 0, bytes, 1, &ch, 1) != 1) return;
      if (!OpenByKey(ch, false)) {
        if (ch == L'-') return;
        MessageBeep(0);
      }
      m.Result = 1;
      return;
    }
    break;
  case CM_HINTSHOW:
    FView->HintAt(*reinterpret_cast<THintInfo*>(m.LParam));
    m.Result = 0;
    return;
  case CM_DIALOGKEY:
    if (!(ComponentState() & csDesigning) && m.WParam == VK_MENU && FMenuBar && CanFocus())
      FView->UpdateKeyboardCues(true);
    break;
  case CM_DIALOGCHAR:
    if (!(ComponentState() & csDesigning) && !FMenuBar && CanFocus() && m.WParam &&
        OpenByKey(static_cast<wchar_t>(m.WParam), true)) {
      m.Result = 1;
      return;
    }
    break;
  case CM_COLORCHANGED:
    FView->BackgroundColor = Color();
    break;
  case CM_FONTCHANGED:
    TTfCustomDockableWindow::Dispatch(m);
    if (!FSystemFont) {
      // The font's handle is renewed only after its listeners ran: measure
      // with a font made from its new settings.
      TFont fresh;
      fresh.Assign(Font());
      FFreshFont = &fresh;
      TScopeGuard restore([&] { FFreshFont = nullptr; });
      FView->InvalidatePositions();
      Remeasure();
    }
    return;
  case WM_SETTINGCHANGE:
  case CM_WININICHANGE:
    TTfCustomDockableWindow::Dispatch(m);
    if (m.WParam == SPI_SETNONCLIENTMETRICS) {
      RefreshToolbarFont();
      FView->InvalidatePositions();
      Remeasure();
    }
    return;
  case WM_SETCURSOR:
    if (!(ComponentState() & csDesigning) && HandleAllocated() &&
        reinterpret_cast<HWND>(m.WParam) == Handle() && LOWORD(m.LParam) == HTCLIENT &&
        SetViewerCursor()) {
      m.Result = 1;
      return;
    }
    break;
  case CM_CONTROLCHANGE:
    TTfCustomDockableWindow::Dispatch(m);
    ControlChanged(reinterpret_cast<TControl*>(m.WParam), m.LParam != 0);
    return;
  case CM_MOUSELEAVE:
    ForgetHotItem();
    break;
  case WM_MOUSELEAVE:
    if (!FMousePress) ForgetHotItem();
    break;
  case WM_NCMOUSEMOVE:
    SetHint(L"");
    ForgetHotItem();
    break;
  case WM_CANCELMODE:
    TTfCustomDockableWindow::Dispatch(m);
    if (FView->State() & vwTracking) FView->CancelAndHideAll();
    return;
  case WM_GETOBJECT: {
    bool handled = false;
    LRESULT r = TfAccHandleGetObject(FView.get(), m.WParam, m.LParam, handled);
    if (handled) {
      m.Result = r;
      return;
    }
    break;
  }
  case CM_SHOWHINTCHANGED:
    TTfCustomDockableWindow::Dispatch(m);
    FView->SetStyle(ShowHint() ? FView->Style() | styHintsForAll
                               : FView->Style() & ~styHintsForAll);
    return;
  default:
    break;
  }
  TTfCustomDockableWindow::Dispatch(m);
}

bool TTfCustomToolbar::SetViewerCursor() {
  POINT p;
  if (!GetCursorPos(&p)) return false;
  ::ScreenToClient(Handle(), &p);
  TTfItemViewer* v = FView->ViewerAt(TPoint(p.x, p.y));
  if (!v) return false;
  HCURSOR cursor = nullptr;
  v->CursorAt(TPoint(p.x - v->BoundsRect.Left, p.y - v->BoundsRect.Top), cursor);
  if (!cursor) return false;
  ::SetCursor(cursor);
  return true;
}

void TTfCustomToolbar::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
  if ((ComponentState() & csDesigning) && !Docked()) {
    // Outline of an undocked toolbar in the designer.
    HDC dc = Canvas()->Handle();
    HPEN pen = CreatePen(PS_DOT, 1, ColorToRGB(clBtnShadow));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    TRect r = ClientRect();
    Rectangle(dc, r.Left, r.Top, r.Right, r.Bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
  FView->DrawAll(Canvas());
}

void TTfCustomToolbar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWinControl* parent = Parent();
  TTfCustomDockableWindow::MouseDown(Button, Shift, X, Y);
  if (Parent() != parent || (ComponentState() & csDesigning) || Button != mbLeft) return;
  POINT sp{X, Y};
  ::ClientToScreen(Handle(), &sp);
  FView->MouseTrack(TPoint(sp), true);
  if (FView->Selected() && !(FView->Selected()->Item()->Traits() & itPassClicks)) {
    FMousePress = true;
    TScopeGuard restore([&] { FMousePress = false; });
    FView->EnterToolbarLoop(toMouseDown);
  }
}

void TTfCustomToolbar::MouseMove(TShiftState Shift, int X, int Y) {
  if (!(ComponentState() & csDesigning)) {
    POINT sp{X, Y};
    ::ClientToScreen(Handle(), &sp);
    FView->MouseTrack(TPoint(sp), true);
    TTfItemViewer* s = FView->Selected();
    SetHint(s && !(s->Item()->ResolvedOptions() & tfoLongHintInMenuOnly) ? s->Item()->Hint() : L"");
    TrackMouse(Handle(), TME_LEAVE);
  }
  TTfCustomDockableWindow::MouseMove(Shift, X, Y);
}

void TTfCustomToolbar::DoContextPopup(const TPoint& MousePos, bool& Handled) {
  ForgetHotItem();
  TTfCustomDockableWindow::DoContextPopup(MousePos, Handled);
}

void TTfCustomToolbar::ReadPosition(const TTfPositionData& Data) {
  TTfCustomDockableWindow::ReadPosition(Data);
  if (Data.ReadInt) SetFloatingWidth(Data.ReadInt(Name(), L"FloatRightX", 0, Data.Extra));
}

void TTfCustomToolbar::WritePosition(const TTfPositionData& Data) {
  if (Data.WriteInt) Data.WriteInt(Name(), L"FloatRightX", FFloatingWidth, Data.Extra);
}

void TTfCustomToolbar::AlignControls(TControl*, TRect&) {
  if (LayoutNesting == 0) Remeasure();
}

void TTfCustomToolbar::Loaded() {
  for (int i = 0; i < ControlCount(); ++i)
    if (!ControlItemOf(Controls(i))) AddControlItem(FItems->ChildCount(), Controls(i));
  TTfCustomDockableWindow::Loaded();
}
