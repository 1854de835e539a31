#include "toolbars/TfDock.h"

#include <algorithm>
#include <climits>

#include "toolbars/TfHook.h"

namespace {

thread_local std::vector<TTfCustomDockableWindow*> tFloatingWindows;

void FloatingHookProc(THookProcCode Code, HWND Wnd, WPARAM, LPARAM) {
  if (Code == hpPreDestroy) {
    for (auto* w : tFloatingWindows)
      if (auto* f = w->FloatingWindow())
        if (f->HandleAllocated() && GetWindow(f->Handle(), GW_OWNER) == Wnd && Application)
          SetWindowLongPtrW(f->Handle(), GWLP_HWNDPARENT,
                            reinterpret_cast<LONG_PTR>(Application->Handle()));
  }
}

} // namespace

TCustomForm* OwningFormOf(TControl* Control) {
  TCustomForm* result = nullptr;
  for (TControl* c = Control; c; c = c->Parent())
    if (auto* f = dynamic_cast<TCustomForm*>(c)) result = f;
  if (auto* fw = dynamic_cast<TTfFloatingWindowParent*>(result)) return fw->ParentForm;
  return result;
}

static TCustomForm* RequireOwningForm(TControl* Window) {
  TCustomForm* f = OwningFormOf(Window);
  if (!f) throw EInvalidOperation(L"Control '" + Window->Name() + L"' has no parent window");
  return f;
}

// ---------------------------------------------------------------------------
// Dock

TTfDock::TTfDock(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = (FControlStyle | csAcceptsControls | csMenuEvents) &
                  ~(csCaptureMouse | csClickEvents | csOpaque);
  SetColor(clBtnFace);
  SetAlign(alTop);
  SetBounds(0, 0, 150, 9);
}

TTfDock::~TTfDock() {
  Destroying();
  for (auto* w : FDockList)
    w->RemoveFreeNotification(this);
}

void TTfDock::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (!(ComponentState() & csDesigning)) Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TTfDock::SetParent(TWinControl* AParent) {
  if (dynamic_cast<TTfCustomDockableWindow*>(AParent) || dynamic_cast<TTfDock*>(AParent))
    throw EInvalidOperation(tfstr::DockInsideDock);
  TCustomControl::SetParent(AParent);
}

void TTfDock::SetPosition(TTfDockPosition Value) {
  if (Value == FPosition) return;
  if (ControlCount() > 0) throw EInvalidOperation(tfstr::DockPositionLocked);
  FPosition = Value;
  static const TAlign aligns[] = {alTop, alBottom, alLeft, alRight};
  SetAlign(aligns[Value]);
}

void TTfDock::SetAllowDrag(bool Value) {
  if (Value == FAllowDrag) return;
  FAllowDrag = Value;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* w = dynamic_cast<TTfCustomDockableWindow*>(Controls(i)))
      if (w->HandleAllocated())
        SetWindowPos(w->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ArrangeRows();
}

void TTfDock::SetFixAlign(bool Value) {
  FFixAlign = Value;
  ArrangeRows();
}

void TTfDock::UnlockArrangement() {
  if (FArrangeLock > 0 && --FArrangeLock == 0 && FArrangePending) ArrangeRows();
}

void TTfDock::SetMembership(TTfCustomDockableWindow* Window, bool Member) {
  auto it = std::find(FDockList.begin(), FDockList.end(), Window);
  if (Member && it == FDockList.end()) {
    FDockList.push_back(Window);
    Window->FreeNotification(this);
  } else if (!Member && it != FDockList.end()) {
    FDockList.erase(it);
  }
}

void TTfDock::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove)
    if (auto* w = dynamic_cast<TTfCustomDockableWindow*>(AComponent)) {
      auto it = std::find(FDockList.begin(), FDockList.end(), w);
      if (it != FDockList.end()) FDockList.erase(it);
    }
}

void TTfDock::AlignControls(TControl*, TRect&) {
  ArrangeRows();
}

void TTfDock::Loaded() {
  TCustomControl::Loaded();
  ArrangeRows();
}

int TTfDock::ClientLength() {
  return std::max<int>(0, IsVertical() ? Height() : Width());
}

int TTfDock::HighestRow() const {
  int r = -1;
  for (auto* w : FDockList)
    r = std::max<int>(r, w->DockRow());
  return r;
}

int TTfDock::RowThicknessExcept(int Row, TTfCustomDockableWindow* Window) const {
  int t = 0;
  for (auto* w : FDockList)
    if (w != Window && w->AssignedRow == Row && w->Parent() == this)
      t = std::max<int>(t, w->RowThickness);
  return t;
}

void TTfDock::ArrangeRows() {
  if (FArrangeLock > 0 || (ComponentState() & csLoading) || FArranging) {
    FArrangePending = true;
    return;
  }
  FArranging = true;
  FArrangePending = false;
  bool vertical = IsVertical();
  std::vector<TTfCustomDockableWindow*> list;
  for (auto* w : FDockList)
    if (w->Parent() == this && w->Visible() && !(w->ComponentState() & csDestroying))
      list.push_back(w);
  auto setThickness = [&](int t) {
    if (vertical)
      SetBounds(Align() == alRight ? Left() + Width() - t : Left(), Top(), t, Height());
    else
      SetBounds(Left(), Align() == alBottom ? Top() + Height() - t : Top(), Width(), t);
  };
  if (list.empty()) {
    setThickness((ComponentState() & csDesigning) ? 9 : (FFixAlign ? 1 : 0));
    FArranging = false;
    CommitPending = false;
    return;
  }
  int avail = ClientLength();
  if (LimitToOneRow)
    for (auto* w : list)
      w->FDockRow = 0;
  std::stable_sort(list.begin(), list.end(), [](auto* a, auto* b) {
    return a->DockRow() != b->DockRow() ? a->DockRow() < b->DockRow() : a->DockPos() < b->DockPos();
  });
  // Rows: requested rows in order, full-size windows alone.
  std::vector<std::vector<TTfCustomDockableWindow*>> rows;
  int lastReq = INT_MIN;
  for (auto* w : list) {
    bool newRow = rows.empty() || w->DockRow() != lastReq || w->FullSize() ||
                  (!rows.back().empty() && rows.back().back()->FullSize());
    if (LimitToOneRow && !rows.empty()) newRow = false;
    if (newRow) rows.emplace_back();
    rows.back().push_back(w);
    lastReq = w->DockRow();
  }
  struct Work {
    int full, min, len, pos, gap;
    TTfShrinkMode mode;
  };
  int offset = 0;
  for (size_t ri = 0; ri < rows.size(); ++ri) {
    auto& row = rows[ri];
    // Overflow moves windows to a new row.
    int minTotal = 0;
    std::vector<Work> work;
    for (size_t k = 0; k < row.size(); ++k) {
      auto* w = row[k];
      TPoint content, frame;
      w->MeasureForPlacement(false, this, false, content);
      w->GetDockedFrameSize(frame);
      Work wk{};
      wk.full = vertical ? content.Y + frame.Y : content.X + frame.X;
      wk.mode = w->QueryShrinkMode();
      wk.min = 0;
      w->AdjustMinimumLength(wk.min);
      wk.min = std::min<int>(wk.min, wk.full);
      wk.len = wk.full;
      minTotal += wk.mode == tfsmChevron ? wk.min : wk.full;
      if (k > 0 && minTotal > avail && !LimitToOneRow) {
        std::vector<TTfCustomDockableWindow*> rest(row.begin() + static_cast<std::ptrdiff_t>(k),
                                                   row.end());
        row.resize(k);
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(ri) + 1, rest);
        break;
      }
      work.push_back(wk);
    }
    // Requested positions.
    int end = 0, sumFull = 0;
    for (auto& wk : work)
      sumFull += wk.full;
    bool overflow = sumFull > avail;
    for (size_t k = 0; k < row.size(); ++k) {
      auto* w = row[k];
      int req = w->DockPos();
      if ((w->FullSize() || w->Stretch()) && k == 0) req = 0;
      work[k].gap = 0;
      if (req > end && !overflow) {
        work[k].gap = req - end;
        end = req;
      }
      end += work[k].len;
    }
    // Take an excess out of the gaps, last first.
    int excess = end - avail;
    for (size_t k = row.size(); k-- > 0 && excess > 0;) {
      int take = std::min<int>(excess, work[k].gap);
      work[k].gap -= take;
      excess -= take;
    }
    if (overflow) {
      int over = sumFull - avail;
      for (size_t k = row.size(); k-- > 0 && over > 0;) {
        if (work[k].mode == tfsmChevron || (work[k].mode == tfsmWrap && row.size() == 1)) {
          int give = std::min<int>(over, work[k].len - work[k].min);
          work[k].len -= give;
          over -= give;
        }
      }
    }
    int pos = 0;
    for (size_t k = 0; k < row.size(); ++k) {
      auto* w = row[k];
      if (w->FullSize() || w->Stretch()) {
        work[k].len += work[k].gap;
        work[k].gap = 0;
      }
      pos += work[k].gap;
      work[k].pos = pos;
      if (w->FullSize()) work[k].len = std::max<int>(work[k].len, avail);
      if (w->Stretch() && k + 1 == row.size())
        work[k].len = std::max<int>(work[k].len, avail - pos);
      pos += work[k].len;
    }
    // Size and place.
    int thick = 0;
    for (size_t k = 0; k < row.size(); ++k) {
      auto* w = row[k];
      w->AssignedRow = static_cast<int>(ri);
      w->AssignedPos = work[k].pos;
      w->ShrunkLength = work[k].len < work[k].full ? work[k].len : 0;
      if (CommitPending) {
        w->FDockRow = static_cast<int>(ri);
        w->FDockPos = work[k].pos;
      }
      TPoint content, frame;
      w->MeasureForPlacement(false, this, false, content);
      w->GetDockedFrameSize(frame);
      int cross = vertical ? content.X + frame.X : content.Y + frame.Y;
      w->RowThickness = cross;
      thick = std::max<int>(thick, cross);
    }
    for (size_t k = 0; k < row.size(); ++k) {
      auto* w = row[k];
      ++w->FInternalBounds;
      if (vertical)
        w->SetBounds(offset, work[k].pos, thick, work[k].len);
      else
        w->SetBounds(work[k].pos, offset, work[k].len, thick);
      int shrunk = w->ShrunkLength;
      w->FRemeasurePending = false;
      w->Remeasure();
      w->ShrunkLength = shrunk;
      --w->FInternalBounds;
    }
    offset += thick;
  }
  CommitPending = false;
  setThickness(offset);
  FArranging = false;
}

void TTfDock::Dispatch(TMessage& m) {
  if (m.Msg == WM_SIZE) {
    TCustomControl::Dispatch(m);
    ArrangeRows();
    return;
  }
  if (m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) == SC_KEYMENU) {
    for (auto* w : FDockList)
      if (w->Floating() && w->CanFocus() && (w->ControlStyle() & csMenuEvents)) {
        LRESULT r = w->Perform(m.Msg, m.WParam, m.LParam);
        if (r) {
          m.Result = r;
          return;
        }
      }
  }
  TCustomControl::Dispatch(m);
}

void TTfDock::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

// ---------------------------------------------------------------------------
// Floating window

TTfFloatingWindowParent::TTfFloatingWindowParent(TComponent* AOwner) : TCustomForm(AOwner) {
  SetBorderStyle(bsToolWindow);
  SetShowHint(true);
}

TTfFloatingWindowParent::~TTfFloatingWindowParent() {
  Destroying();
}

void TTfFloatingWindowParent::CreateParams(TCreateParams& Params) {
  TCustomForm::CreateParams(Params);
  Params.ExStyle |= WS_EX_TOOLWINDOW;
  if (ParentForm && ParentForm->HandleAllocated()) Params.WndParent = ParentForm->Handle();
}

void TTfFloatingWindowParent::WMClose(TMessage& Message) {
  Message.Result = 0;
  if (DockableWindow) DockableWindow->CloseByButton();
}

void TTfFloatingWindowParent::Dispatch(TMessage& m) {
  if (m.Msg == WM_NCLBUTTONDBLCLK && m.WParam == HTCAPTION && DockableWindow) {
    DockableWindow->DoubleClickHandle();
    m.Result = 0;
    return;
  }
  if (m.Msg == WM_NCLBUTTONDOWN && m.WParam == HTCAPTION && DockableWindow &&
      DockableWindow->DockMode == dmCanFloat) {
    POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
    ::ScreenToClient(DockableWindow->Handle(), &p);
    DockableWindow->RunDragLoop(p.x, p.y);
    m.Result = 0;
    return;
  }
  TCustomForm::Dispatch(m);
}

// ---------------------------------------------------------------------------
// Dockable windows

TTfCustomDockableWindow::TTfCustomDockableWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle =
      (FControlStyle | csAcceptsControls | csClickEvents | csSetCaption | csDoubleClicks) &
      ~(csCaptureMouse | csOpaque);
  SetColor(clBtnFace);
  if (!(ComponentState() & csDesigning))
    InstallHookProc(this, FloatingHookProc,
                    HookCode(hpSendActivate) | HookCode(hpSendActivateApp) |
                        HookCode(hpSendWindowPosChanged) | HookCode(hpPreDestroy));
}

TTfCustomDockableWindow::~TTfCustomDockableWindow() {
  Destroying();
  ListRemove(tFloatingWindows, this);
  UninstallHookProc(this, FloatingHookProc);
  TTfDock* dock = FCurrentDock;
  if (FLastDock) FLastDock->SetMembership(this, false);
  if (dock) dock->SetMembership(this, false);
  if (FParent) SetParent(nullptr);
  delete FFloatingParent;
  FFloatingParent = nullptr;
}

bool TTfCustomDockableWindow::Floating() const {
  return FFloatingParent && FParent == FFloatingParent;
}

int TTfCustomDockableWindow::HandleSize() const {
  return DragHandleStyle == dhNone ? 0 : DragHandleStyle == dhDouble ? 9 : 6;
}

void TTfCustomDockableWindow::GetDockedFrameSize(TPoint& Size) {
  Size = TPoint(0, 0);
  if (!FCurrentDock) return;
  Size = TPoint(4, 4);
  if (FCurrentDock->AllowDrag()) {
    if (FCurrentDock->IsVertical())
      Size.Y += HandleSize();
    else
      Size.X += HandleSize();
  }
}

bool TTfCustomDockableWindow::IsPointOnContent(const TPoint& P) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Visible() &&
        TRect(c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()).Contains(P))
      return true;
  }
  return false;
}

void TTfCustomDockableWindow::SetDockPos(int Value) {
  FDockPos = Value;
  if (FCurrentDock) FCurrentDock->ArrangeRows();
}

void TTfCustomDockableWindow::SetDockRow(int Value) {
  FDockRow = Value;
  if (FCurrentDock) FCurrentDock->ArrangeRows();
}

void TTfCustomDockableWindow::SetFullSize(bool Value) {
  if (Value == FFullSize) return;
  FFullSize = Value;
  if (FCurrentDock) FCurrentDock->ArrangeRows();
}

void TTfCustomDockableWindow::SetStretch(bool Value) {
  if (Value == FStretch) return;
  FStretch = Value;
  if (FCurrentDock) FCurrentDock->ArrangeRows();
}

void TTfCustomDockableWindow::SetCloseButton(bool Value) {
  FCloseButton = Value;
}

void TTfCustomDockableWindow::SetAutoResize(bool Value) {
  if (Value == FAutoResize) return;
  FAutoResize = Value;
  if (Value) Remeasure();
}

void TTfCustomDockableWindow::SetUseLastDock(bool Value) {
  FUseLastDock = Value;
  SetLastDock(Value ? FCurrentDock : nullptr);
}

void TTfCustomDockableWindow::SetDefaultDock(TTfDock* Value) {
  if (Value == FDefaultDock) return;
  FDefaultDock = Value;
  if (Value) Value->FreeNotification(this);
}

void TTfCustomDockableWindow::SetLastDock(TTfDock* Value) {
  if (FUseLastDock && FCurrentDock) Value = FCurrentDock;
  if (Value == FLastDock) return;
  if (FLastDock && FLastDock != FParent) FLastDock->SetMembership(this, false);
  FLastDock = Value;
  if (Value) {
    FUseLastDock = true;
    Value->FreeNotification(this);
    Value->SetMembership(this, true);
  }
}

void TTfCustomDockableWindow::SetCurrentDock(TTfDock* Value) {
  if (ComponentState() & csLoading) {
    FCurrentDock = Value;
    return;
  }
  if (Value)
    SetParent(Value);
  else
    SetParent(RequireOwningForm(this));
}

void TTfCustomDockableWindow::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FDefaultDock) FDefaultDock = nullptr;
  if (AComponent == FLastDock) FLastDock = nullptr;
  if (AComponent == FCurrentDock) FCurrentDock = nullptr;
  if (AComponent == FFloatingParent) FFloatingParent = nullptr;
}

void TTfCustomDockableWindow::SetParent(TWinControl* AParent) {
  if (AParent == FParent) {
    TCustomControl::SetParent(AParent);
    return;
  }
  auto* newDock = dynamic_cast<TTfDock*>(AParent);
  bool toFloat = AParent && AParent == FFloatingParent;
  if (OnDockChanging && !(ComponentState() & csDestroying)) OnDockChanging(this, toFloat, newDock);
  TTfDock* oldDock = FCurrentDock;
  if (oldDock) oldDock->LockArrangement();
  if (newDock) newDock->LockArrangement();
  FCurrentDock = newDock;
  if (oldDock && oldDock != FLastDock) oldDock->SetMembership(this, false);
  if (newDock) newDock->SetMembership(this, true);
  TCustomControl::SetParent(AParent);
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  if (toFloat)
    ListAddOnce(tFloatingWindows, this);
  else
    ListRemove(tFloatingWindows, this);
  if (FUseLastDock && newDock) SetLastDock(newDock);
  if (!(ComponentState() & csDestroying)) {
    if (!newDock) Remeasure();
  }
  if (newDock) newDock->UnlockArrangement(), newDock->ArrangeRows();
  if (oldDock) oldDock->UnlockArrangement(), oldDock->ArrangeRows();
  if (OnDockChanged && !(ComponentState() & csDestroying)) OnDockChanged(this);
}

void TTfCustomDockableWindow::MakeFloating(bool Value) {
  if (Value == Floating()) return;
  if (!Value) {
    SetParent(RequireOwningForm(this));
    return;
  }
  TCustomForm* form = RequireOwningForm(this);
  if (!FFloatingParent) {
    FFloatingParent = new TTfFloatingWindowParent(nullptr);
    FFloatingParent->DockableWindow = this;
    FFloatingParent->ParentForm = form;
    FFloatingParent->FreeNotification(this);
  }
  FFloatingParent->SetCaption(Caption());
  TPoint content;
  MeasureForPlacement(false, nullptr, true, content);
  RECT r{0, 0, content.X, content.Y};
  AdjustWindowRectEx(&r, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, FALSE, WS_EX_TOOLWINDOW);
  FFloatingParent->SetBounds(FFloatingPos.X, FFloatingPos.Y, r.right - r.left, r.bottom - r.top);
  FFloatingParent->SetVisible(true);
  SetParent(FFloatingParent);
  ++FInternalBounds;
  SetBounds(0, 0, content.X, content.Y);
  --FInternalBounds;
  Remeasure();
}

void TTfCustomDockableWindow::PlaceFloating(const TPoint& P) {
  FFloatingPos = P;
  if (Floating())
    FFloatingParent->SetBounds(P.X, P.Y, FFloatingParent->Width(), FFloatingParent->Height());
}

void TTfCustomDockableWindow::KeepOnScreen(bool OnlyIfFullyOffscreen) {
  if (!Floating()) return;
  TTfFloatingWindowParent* f = FFloatingParent;
  TRect wr(f->Left(), f->Top(), f->Left() + f->Width(), f->Top() + f->Height());
  TRect area;
  MonitorAreaOfRect(wr, true, area);
  RECT x, a = area, b = wr;
  if (OnlyIfFullyOffscreen && IntersectRect(&x, &a, &b)) return;
  int l = wr.Left, t = wr.Top;
  if (l + wr.Width() > area.Right) l = area.Right - wr.Width();
  if (t + wr.Height() > area.Bottom) t = area.Bottom - wr.Height();
  if (l < area.Left) l = area.Left;
  if (t < area.Top) t = area.Top;
  f->SetBounds(l, t, wr.Width(), wr.Height());
}

void TTfCustomDockableWindow::Remeasure() {
  if (FRemeasureLock > 0 || (ComponentState() & csLoading) || !FParent) {
    FRemeasurePending = true;
    return;
  }
  FRemeasurePending = false;
  TPoint size;
  MeasureForPlacement(true, FCurrentDock, Floating(), size);
  if (FAutoResize || FCurrentDock || Floating()) ApplyMeasuredSize(size.X, size.Y);
}

void TTfCustomDockableWindow::ApplyMeasuredSize(int W, int H) {
  if (FCurrentDock) {
    if (FInternalBounds == 0) FCurrentDock->ArrangeRows();
    return;
  }
  TPoint frame;
  GetDockedFrameSize(frame);
  W += frame.X;
  H += frame.Y;
  if (Floating()) {
    RECT r{0, 0, W, H};
    AdjustWindowRectEx(&r, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, FALSE, WS_EX_TOOLWINDOW);
    FFloatingParent->SetBounds(FFloatingParent->Left(), FFloatingParent->Top(), r.right - r.left,
                               r.bottom - r.top);
  } else {
    if ((Anchors() & (akLeft | akRight)) == (akLeft | akRight)) W = Width();
    if ((Anchors() & (akTop | akBottom)) == (akTop | akBottom)) H = Height();
  }
  ++FInternalBounds;
  SetBounds(Floating() ? 0 : Left(), Floating() ? 0 : Top(), W, H);
  --FInternalBounds;
}

void TTfCustomDockableWindow::CloseByButton() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  if (!can) return;
  SetVisible(false);
  if (Floating()) FFloatingParent->SetVisible(false);
  if (OnClose) OnClose(this);
}

void TTfCustomDockableWindow::DoubleClickHandle() {
  if (!FCurrentDock) {
    if (FLastDock) {
      SetParent(FLastDock);
    } else if (FDefaultDock) {
      FDockRow = 0;
      FDockPos = -8;
      SetParent(FDefaultDock);
    }
    if (FFloatingParent && !Floating()) FFloatingParent->SetVisible(false);
  } else if (DockMode == dmCanFloat) {
    MakeFloating(true);
    KeepOnScreen(true);
  }
}

bool TTfCustomDockableWindow::DragAllowed() const {
  return (FCurrentDock && FCurrentDock->AllowDrag()) || Floating();
}

void TTfCustomDockableWindow::Loaded() {
  TCustomControl::Loaded();
  if (FCurrentDock && FParent != FCurrentDock) {
    TTfDock* d = FCurrentDock;
    FCurrentDock = nullptr;
    SetParent(d);
  }
  Remeasure();
}

void TTfCustomDockableWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TTfCustomDockableWindow::PaintDockedFrame(HDC dc) {
  RECT r;
  GetWindowRect(Handle(), &r);
  OffsetRect(&r, -r.left, -r.top);
  HBRUSH face = CreateSolidBrush(ColorToRGB(Color()));
  FillRect(dc, &r, face);
  DeleteObject(face);
  DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  if (FCurrentDock && FCurrentDock->AllowDrag() && DragHandleStyle != dhNone) {
    bool v = FCurrentDock->IsVertical();
    int at = DragHandleStyle == dhDouble ? 4 : 3;
    for (int k = 0; k < (DragHandleStyle == dhDouble ? 2 : 1); ++k) {
      RECT g = v ? RECT{2 + 2, at + 3 * k, r.right - 4, at + 3 * k + 3}
                 : RECT{at + 3 * k, 2 + 2, at + 3 * k + 3, r.bottom - 4};
      DrawEdge(dc, &g, BDR_RAISEDINNER, BF_RECT);
    }
  }
}

void TTfCustomDockableWindow::Dispatch(TMessage& m) {
  switch (m.Msg) {
  case WM_NCCALCSIZE:
    if (FCurrentDock) {
      auto* r = reinterpret_cast<RECT*>(m.LParam);
      InflateRect(r, -2, -2);
      if (FCurrentDock->AllowDrag()) {
        if (FCurrentDock->IsVertical())
          r->top += HandleSize();
        else
          r->left += HandleSize();
      }
    }
    m.Result = 0;
    return;
  case WM_NCPAINT:
    if (FCurrentDock) {
      HDC dc = GetWindowDC(Handle());
      RECT cr, wr;
      GetClientRect(Handle(), &cr);
      MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&cr), 2);
      GetWindowRect(Handle(), &wr);
      OffsetRect(&cr, -wr.left, -wr.top);
      ExcludeClipRect(dc, cr.left, cr.top, cr.right, cr.bottom);
      PaintDockedFrame(dc);
      ReleaseDC(Handle(), dc);
    }
    m.Result = 0;
    return;
  case WM_NCHITTEST:
    TCustomControl::Dispatch(m);
    if (FCurrentDock && m.Result != HTCLIENT) m.Result = HT_TB_DOCKEDHANDLE;
    return;
  case WM_NCLBUTTONDOWN:
    if (m.WParam == HT_TB_DOCKEDHANDLE && DragAllowed()) {
      POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      ::ScreenToClient(Handle(), &p);
      RunDragLoop(p.x, p.y);
      m.Result = 0;
      return;
    }
    break;
  case WM_NCLBUTTONDBLCLK:
    if (m.WParam == HT_TB_DOCKEDHANDLE && DragAllowed()) {
      DoubleClickHandle();
      m.Result = 0;
      return;
    }
    break;
  case WM_SETCURSOR:
    if (FCurrentDock && FCurrentDock->AllowDrag() && reinterpret_cast<HWND>(m.WParam) == Handle() &&
        LOWORD(m.LParam) == HT_TB_DOCKEDHANDLE && DragHandleStyle != dhNone) {
      ::SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
      m.Result = 1;
      return;
    }
    break;
  default:
    break;
  }
  TCustomControl::Dispatch(m);
}

void TTfCustomDockableWindow::RunDragLoop(int X, int Y) {
  TCustomForm* form = RequireOwningForm(this);
  std::vector<TTfDock*> docks;
  std::function<void(TWinControl*)> collect = [&](TWinControl* w) {
    for (int i = 0; i < w->ControlCount(); ++i) {
      if (auto* d = dynamic_cast<TTfDock*>(w->Controls(i))) {
        if (d->Visible()) docks.push_back(d);
      } else if (auto* wc = dynamic_cast<TWinControl*>(w->Controls(i))) {
        collect(wc);
      }
    }
  };
  collect(form);
  TTfDock* startDock = FCurrentDock;
  int startRow = FDockRow, startPos = FDockPos;
  POINT grab{X, Y};
  int gw = std::max<int>(1, Width()), gh = std::max<int>(1, Height());
  for (auto* d : docks)
    d->LockArrangement(), d->CommitPending = true, d->UnlockArrangement();
  SetCapture(Handle());
  POINT last{INT_MIN, INT_MIN};
  auto evaluate = [&](POINT c) {
    TTfDock* target = nullptr;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    if (!ctrl && DockMode != dmCannotFloatOrChangeDocks) {
      for (auto* d : docks) {
        RECT dr;
        GetWindowRect(d->Handle(), &dr);
        InflateRect(&dr, 3, 3);
        int s = MulDiv(25, grab.y, gh);
        if (d->IsVertical()) s = MulDiv(25, grab.x, gw);
        RECT test = dr;
        if (d->IsVertical())
          test.left -= 25 - s, test.right += s;
        else
          test.top -= 25 - s, test.bottom += s;
        if (!PtInRect(&test, c)) continue;
        bool accept = true;
        if (d->OnRequestDock) d->OnRequestDock(d, this, accept);
        if (accept) {
          target = d;
          break;
        }
      }
    } else if (DockMode == dmCannotFloatOrChangeDocks) {
      target = startDock;
    }
    if (target) {
      POINT tl{c.x - MulDiv(gw - 1, grab.x, gw), c.y - MulDiv(gh - 1, grab.y, gh)};
      ::ScreenToClient(target->Handle(), &tl);
      int row = 0, acc = 0;
      int centre = target->IsVertical() ? tl.x + gw / 2 : tl.y + gh / 2;
      int rows = target->HighestRow();
      bool found = false;
      for (int r = 0; r <= rows; ++r) {
        int t = target->RowThicknessExcept(r, nullptr);
        if (t <= 0) continue;
        if (centre < acc + t) {
          row = r;
          found = true;
          break;
        }
        acc += t;
      }
      if (!found) row = rows + 1;
      FDockRow = row;
      FDockPos = target->IsVertical() ? tl.y : tl.x;
      target->CommitPending = true;
      if (FParent != target)
        SetParent(target);
      else
        target->ArrangeRows();
    } else if (DockMode == dmCanFloat) {
      PlaceFloating(TPoint(c.x - grab.x, c.y - grab.y));
      MakeFloating(true);
    }
    Update();
  };
  MSG msg;
  bool drop = false;
  while (GetCapture() == Handle()) {
    int rc = GetMessageW(&msg, nullptr, 0, 0);
    if (rc == -1) break;
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_ESCAPE) break;
    if (msg.message == WM_MOUSEMOVE) {
      POINT c{static_cast<short>(LOWORD(GetMessagePos())),
              static_cast<short>(HIWORD(GetMessagePos()))};
      if (c.x != last.x || c.y != last.y) {
        last = c;
        evaluate(c);
      }
      continue;
    }
    if (msg.message == WM_LBUTTONUP) {
      drop = true;
      break;
    }
    if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK) break;
    if (msg.message >= WM_RBUTTONDOWN && msg.message <= WM_MBUTTONDBLCLK) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (GetCapture() == Handle()) ReleaseCapture();
  (void)drop;
  if (FUseLastDock && FCurrentDock) SetLastDock(FCurrentDock);
  if (!FCurrentDock) {
    FDockRow = startRow;
    FDockPos = startPos;
  }
}
