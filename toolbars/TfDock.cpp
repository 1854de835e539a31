#include "toolbars/TfDock.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "framework/IniFiles.h"
#include "toolbars/TfHook.h"
#include "toolbars/TfItem.h"

namespace {

thread_local std::vector<TTfCustomDockableWindow*> tFloatingWindows;
// Whether the application is active, as last told by WM_ACTIVATEAPP.
thread_local bool tAppActive = true;

void FloatingHookProc(THookProcCode Code, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  auto each = [](const std::function<bool(TTfCustomDockableWindow*)>& Concerned) {
    std::vector<TTfCustomDockableWindow*> list = tFloatingWindows;
    for (auto* w : list)
      if (std::find(tFloatingWindows.begin(), tFloatingWindows.end(), w) !=
              tFloatingWindows.end() &&
          Concerned(w))
        w->SyncVisibility();
  };
  if (Code == hpSendActivateApp) tAppActive = WParam != 0;
  if (Code == hpSendActivate || Code == hpSendActivateApp)
    each([](TTfCustomDockableWindow*) { return true; });
  if (Code == hpSendWindowPosChanged && LParam) {
    auto* wp = reinterpret_cast<WINDOWPOS*>(LParam);
    if (wp->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED))
      each([Wnd](TTfCustomDockableWindow* w) {
        if (w->FloatingMode() != fmOnTopOfParentForm || !w->FloatingWindow() ||
            !w->FloatingWindow()->HandleAllocated())
          return false;
        TCustomForm* f = OwningFormOf(w);
        return f && f->HandleAllocated() && (f->Handle() == Wnd || IsChild(Wnd, f->Handle()));
      });
  }
  if (Code == hpPreDestroy) {
    for (auto* w : tFloatingWindows)
      if (auto* f = w->FloatingWindow())
        if (f->HandleAllocated() && GetWindow(f->Handle(), GW_OWNER) == Wnd && Application)
          SetWindowLongPtrW(f->Handle(), GWLP_HWNDPARENT,
                            reinterpret_cast<LONG_PTR>(Application->Handle()));
  }
}

// Offset of a window's client area inside its window rectangle.
POINT ClientOffsetOf(HWND h) {
  POINT o{0, 0};
  ClientToScreen(h, &o);
  RECT wr;
  GetWindowRect(h, &wr);
  return POINT{o.x - wr.left, o.y - wr.top};
}

// Draws an 8 x 8 monochrome glyph (rows as bytes, leftmost pixel in the top
// bit) in a system colour.
void DrawGlyph8(HDC dc, int x, int y, const BYTE (&rows)[8], int color) {
  // Set bits are white in the bitmap; the raster operation paints them with the brush.
  WORD bits[8];
  for (int i = 0; i < 8; ++i)
    bits[i] = rows[i];
  HBITMAP bmp = CreateBitmap(8, 8, 1, 1, bits);
  HDC mdc = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mdc, bmp);
  HGDIOBJ ob = SelectObject(dc, GetSysColorBrush(color));
  COLORREF t = SetTextColor(dc, RGB(0, 0, 0)), b = SetBkColor(dc, RGB(255, 255, 255));
  BitBlt(dc, x, y, 8, 8, mdc, 0, 0, 0xE20746);
  SetTextColor(dc, t);
  SetBkColor(dc, b);
  SelectObject(dc, ob);
  SelectObject(mdc, old);
  DeleteDC(mdc);
  DeleteObject(bmp);
}

const BYTE kCloseGlyph[8] = {0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00, 0x00};

TRect WindowRectOf(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  return TRect(r.left, r.top, r.right, r.bottom);
}

// The window DC limited to a WM_NCPAINT update region (screen coordinates;
// 1 means the whole window).
HDC ClipToUpdateRegion(HWND Wnd, WPARAM UpdateRegion) {
  HDC dc = GetWindowDC(Wnd);
  if (UpdateRegion > 1) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(rgn, reinterpret_cast<HRGN>(UpdateRegion), nullptr, RGN_COPY);
    TRect wr = WindowRectOf(Wnd);
    OffsetRgn(rgn, -wr.Left, -wr.Top);
    ExtSelectClipRgn(dc, rgn, RGN_AND);
    DeleteObject(rgn);
  }
  return dc;
}

} // namespace

TPoint MessageScreenPoint(const MSG& Msg) {
  if (Msg.message >= WM_MOUSEFIRST && Msg.message <= WM_MOUSELAST && Msg.hwnd) {
    POINT p{static_cast<short>(LOWORD(Msg.lParam)), static_cast<short>(HIWORD(Msg.lParam))};
    ::ClientToScreen(Msg.hwnd, &p);
    return TPoint(p.x, p.y);
  }
  if (Msg.message >= WM_NCMOUSEMOVE && Msg.message <= WM_NCMBUTTONDBLCLK)
    return TPoint(static_cast<short>(LOWORD(Msg.lParam)), static_cast<short>(HIWORD(Msg.lParam)));
  return TPoint(Msg.pt.x, Msg.pt.y);
}

bool TrackButtonPress(HWND Wnd, const TRect& ButtonRect, const std::function<void(bool)>& Pressed) {
  POINT c;
  GetCursorPos(&c);
  Pressed(ButtonRect.Contains(TPoint(c.x, c.y)));
  SetCapture(Wnd);
  bool result = false;
  MSG msg;
  while (GetCapture() == Wnd) {
    int rc = GetMessageW(&msg, nullptr, 0, 0);
    if (rc == -1) break;
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) continue;
    if (msg.message >= WM_RBUTTONDOWN && msg.message <= WM_MBUTTONDBLCLK) continue;
    if (msg.message == WM_MOUSEMOVE) {
      Pressed(ButtonRect.Contains(MessageScreenPoint(msg)));
      continue;
    }
    if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK) break;
    if (msg.message == WM_LBUTTONUP) {
      result = ButtonRect.Contains(MessageScreenPoint(msg));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (GetCapture() == Wnd) ReleaseCapture();
  Pressed(false);
  return result;
}

TCustomForm* OwningFormOf(TControl* Control) {
  TCustomForm* result = nullptr;
  for (TControl* c = Control; c; c = c->Parent())
    if (auto* f = dynamic_cast<TCustomForm*>(c)) result = f;
  if (auto* fw = dynamic_cast<TTfFloatingWindowParent*>(result)) return fw->ParentForm;
  return result;
}

TCustomForm* RequireOwningForm(TControl* Window) {
  TCustomForm* f = OwningFormOf(Window);
  if (!f) throw EInvalidOperation(L"Control '" + Window->Name() + L"' has no parent window");
  return f;
}

int SmallCaptionHeight() {
  return GetSystemMetrics(SM_CYSMCAPTION);
}

TCustomForm* MDIParentOf(TCustomForm* Form) {
  // The framework has no MDI forms: every form stands for itself.
  return Form;
}

int DockTypeOf(TTfDock* Dock, bool Floating) {
  if (Floating) return dtFloating;
  if (!Dock) return dtNotDocked;
  return Dock->IsVertical() ? dtLeftRight : dtTopBottom;
}

void SetWindowOwner(HWND Wnd, HWND Owner) {
  SetWindowLongPtrW(Wnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Owner));
}

HWND FirstThreadWindow(HWND Except) {
  struct Data {
    HWND Except, App, Normal, Tool;
  } d{Except, Application ? Application->Handle() : nullptr, nullptr, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM l) -> BOOL {
        auto* d = reinterpret_cast<Data*>(l);
        if (h == d->Except || h == d->App || !IsWindowVisible(h) || !IsWindowEnabled(h))
          return TRUE;
        if (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) {
          if (!d->Tool) d->Tool = h;
          return TRUE;
        }
        d->Normal = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&d));
  return d.Normal ? d.Normal : d.Tool;
}

bool IsSelfOrAncestor(HWND Ancestor, HWND Wnd) {
  for (HWND h = Wnd; h; h = GetParent(h))
    if (h == Ancestor) return true;
  return false;
}

void RecalcFrame(TWinControl* Control) {
  if (Control->HandleAllocated())
    SetWindowPos(Control->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void RedrawWhole(TWinControl* Control) {
  if (Control->HandleAllocated())
    RedrawWindow(Control->Handle(), nullptr, nullptr,
                 RDW_FRAME | RDW_NOCHILDREN | RDW_ERASE | RDW_INVALIDATE);
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
  if (FBackground) FBackground->UnregisterBackgroundChange(this);
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
    if (auto* w = dynamic_cast<TTfCustomDockableWindow*>(Controls(i))) RecalcFrame(w);
  ArrangeRows();
}

void TTfDock::SetBoundLines(TTfDockBoundLines Value) {
  if (Value == FBoundLines) return;
  FBoundLines = Value;
  auto has = [Value](TTfDockBoundLine b) { return (Value & (1u << b)) ? 1 : 0; };
  FNCWidth = has(blLeft) + has(blRight);
  FNCHeight = has(blTop) + has(blBottom);
  RecalcFrame(this);
  ArrangeRows();
}

void TTfDock::SetBackground(TTfBasicBackground* Value) {
  if (Value == FBackground) return;
  if (FBackground) {
    FBackground->UnregisterBackgroundChange(this);
    FBackground->RemoveFreeNotification(this);
  }
  FBackground = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->RegisterBackgroundChange(this, [this](TObject* S) { BackgroundChanged(S); });
  }
  RepaintBackgrounds();
}

void TTfDock::SetBackgroundOnToolbars(bool Value) {
  if (Value == FBackgroundOnToolbars) return;
  FBackgroundOnToolbars = Value;
  RepaintBackgrounds();
}

void TTfDock::DrawDockBackground(HDC DC, const TRect& R) {
  if (FBackground) FBackground->PaintDockBackground(DC, R);
}

bool TTfDock::UsesBackground() {
  return FBackground && FBackground->BackgroundInUse();
}

void TTfDock::RepaintBackgrounds() {
  if (!HandleAllocated()) return;
  Invalidate();
  for (auto* w : FDockList)
    if (w->Parent() == this && w->Visible() && w->HandleAllocated())
      RedrawWindow(w->Handle(), nullptr, nullptr,
                   RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HPALETTE TTfDock::GetPalette() {
  return UsesBackground() ? FBackground->BackgroundPalette() : nullptr;
}

void TTfDock::PaintBackgroundFor(HWND Wnd, HDC DC, const TRect& Clip, bool ClientCoordinates) {
  // The background's origin is the client origin of the dock's parent.
  POINT o{0, 0};
  if (Parent() && Parent()->HandleAllocated()) ::ClientToScreen(Parent()->Handle(), &o);
  POINT at{0, 0};
  if (ClientCoordinates) {
    ::ClientToScreen(Wnd, &at);
  } else {
    RECT wr;
    GetWindowRect(Wnd, &wr);
    at = POINT{wr.left, wr.top};
  }
  int saved = SaveDC(DC);
  IntersectClipRect(DC, Clip.Left, Clip.Top, Clip.Right, Clip.Bottom);
  TRect r(o.x - at.x, o.y - at.y, Clip.Right, Clip.Bottom);
  DrawDockBackground(DC, r);
  RestoreDC(DC, saved);
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
  UpdateVisibleMembership(Window, false);
}

void TTfDock::UpdateVisibleMembership(TTfCustomDockableWindow* Window, bool ForceRemove) {
  bool member = std::find(FDockList.begin(), FDockList.end(), Window) != FDockList.end();
  bool should = !ForceRemove && member && Window->Parent() == this &&
                (Window->Visible() || (ComponentState() & csDesigning));
  auto it = std::find(FVisibleList.begin(), FVisibleList.end(), Window);
  bool is = it != FVisibleList.end();
  if (should == is) return;
  if (should)
    FVisibleList.push_back(Window);
  else
    FVisibleList.erase(it);
  ArrangeRows();
  if (OnInsertRemoveBar) OnInsertRemoveBar(this, should, Window);
}

void TTfDock::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FBackground) FBackground = nullptr;
  if (auto* w = dynamic_cast<TTfCustomDockableWindow*>(AComponent)) {
    ListRemove(FDockList, w);
    ListRemove(FVisibleList, w);
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
  return std::max<int>(0, IsVertical() ? Height() - FNCHeight : Width() - FNCWidth);
}

int TTfDock::RowAt(int Offset) const {
  int highest = HighestRow();
  int at = 0;
  for (int row = 0; row <= highest; ++row) {
    bool full;
    at += RowThickness(row, full);
    if (Offset < at) return row;
  }
  return highest + 1;
}

int TTfDock::HighestRow() const {
  int r = -1;
  for (auto* w : FDockList)
    r = std::max<int>(r, w->DockRow());
  return r;
}

int TTfDock::RowThickness(int Row, bool& HasFullSize) const {
  HasFullSize = false;
  if (Row < 0) return 0;
  int t = 0;
  for (auto* w : FDockList)
    if (w->AssignedRow == Row && w->Parent() == this && w->Visible()) {
      t = std::max<int>(t, IsVertical() ? w->Width() : w->Height());
      HasFullSize = w->FullSize();
    }
  return t;
}

void TTfDock::CommitPositions() {
  for (auto* w : FDockList)
    if (w->Parent() == this && w->Visible() && w->AssignedRow >= 0) {
      w->FDockRow = w->AssignedRow;
      w->FDockPos = w->AssignedPos;
    }
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
    if (Align() == alClient || Align() == alCustom) return;
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
  // A window split within its row keeps its place among its neighbours.
  TTfCustomDockableWindow* splitting = nullptr;
  std::ptrdiff_t splitIndex = -1;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i]->FDragging && list[i]->FSplitting) {
      splitting = list[i];
      splitIndex = static_cast<std::ptrdiff_t>(i);
    }
  std::stable_sort(list.begin(), list.end(), [](auto* a, auto* b) {
    return a->DockRow() != b->DockRow() ? a->DockRow() < b->DockRow() : a->DockPos() < b->DockPos();
  });
  if (splitting) {
    list.erase(std::find(list.begin(), list.end(), splitting));
    list.insert(list.begin() + splitIndex, splitting);
  }
  // Requested rows; a window dropped for a new row, and every full-size
  // window, gets a row of its own.
  std::vector<int> req(list.size());
  for (size_t i = 0; i < list.size(); ++i)
    req[i] = list[i]->DockRow();
  auto ownRow = [&](size_t i) {
    bool shared = false;
    for (size_t j = 0; j < list.size(); ++j)
      if (j != i && req[j] == req[i]) shared = true;
    if (!shared) return;
    int r = req[i];
    for (size_t j = 0; j < list.size(); ++j)
      if (j != i && req[j] >= r) ++req[j];
  };
  if (!LimitToOneRow)
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i]->FNewRowRequest) ownRow(i);
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i]->FullSize()) ownRow(i);
  {
    std::vector<size_t> order(list.size());
    for (size_t i = 0; i < order.size(); ++i)
      order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return req[a] < req[b]; });
    std::vector<TTfCustomDockableWindow*> sorted;
    std::vector<int> sreq;
    for (size_t i : order)
      sorted.push_back(list[i]), sreq.push_back(req[i]);
    list.swap(sorted);
    req.swap(sreq);
  }
  std::vector<std::vector<TTfCustomDockableWindow*>> rows;
  for (size_t i = 0; i < list.size(); ++i) {
    if (rows.empty() || (i > 0 && req[i] != req[i - 1] && !LimitToOneRow)) rows.emplace_back();
    rows.back().push_back(list[i]);
  }
  struct Work {
    int full, min, len, pos, gap, overlap;
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
    int sumFull = 0;
    for (auto& wk : work)
      sumFull += wk.full;
    bool overflow = sumFull > avail;
    int end = 0, minBefore = 0, prevReqEnd = 0, dragged = -1, draggedReq = 0;
    for (size_t k = 0; k < row.size(); ++k) {
      auto* w = row[k];
      int req = w->DockPos();
      if ((w->FullSize() || w->Stretch()) && k == 0) req = 0;
      if (req < minBefore) req = minBefore;
      if (w->FDragging) dragged = static_cast<int>(k), draggedReq = req;
      work[k].gap = work[k].overlap = 0;
      if (req > end) {
        if (!overflow) {
          work[k].gap = req - end;
          end = req;
        }
      }
      if (k > 0 && req < prevReqEnd) work[k].overlap = prevReqEnd - req;
      prevReqEnd = req + work[k].len;
      end += work[k].len;
      minBefore += work[k].min;
    }
    // The windows before a dragged window make room for it out of their
    // gaps; the windows after it keep their places.
    if (!overflow && dragged > 0) {
      int prevEnd = 0;
      for (int k = 0; k < dragged; ++k)
        prevEnd += work[k].gap + work[k].len;
      int amount = prevEnd - draggedReq, taken = 0;
      for (int k = dragged - 1; k >= 0 && amount > 0; --k) {
        int take = std::min<int>(amount, work[k].gap);
        work[k].gap -= take;
        amount -= take;
        taken += take;
      }
      if (taken > 0 && dragged + 1 < static_cast<int>(row.size())) work[dragged + 1].gap += taken;
    }
    // Take an excess out of the gaps, last first.
    end = 0;
    for (auto& wk : work)
      end += wk.gap + wk.len;
    int excess = end - avail;
    for (size_t k = row.size(); k-- > 0 && excess > 0;) {
      int take = std::min<int>(excess, work[k].gap);
      work[k].gap -= take;
      excess -= take;
    }
    if (overflow) {
      int over = sumFull - avail, demand = 0;
      for (int k = 0; k < static_cast<int>(row.size()); ++k) {
        if (row.size() > 1 && k == dragged) row[k]->FCanSplit = true;
        demand = std::min<int>(demand + work[k].overlap, over);
        for (int j = k - 1; j >= 0 && demand > 0; --j) {
          if (dragged >= 0 && k > dragged && j <= dragged) break;
          if (work[j].mode != tfsmChevron) continue;
          int give = std::min<int>(demand, work[j].len - work[j].min);
          if (give <= 0) continue;
          work[j].len -= give;
          demand -= give;
          over -= give;
        }
      }
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
      if (w->Stretch()) {
        if (k + 1 == row.size())
          work[k].len = std::max<int>(work[k].len, avail - pos);
        else {
          work[k].len += work[k + 1].gap;
          work[k + 1].gap = 0;
        }
      }
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
  setThickness(offset + (vertical ? FNCWidth : FNCHeight));
  FArranging = false;
}

void TTfDock::PaintNonClient(HDC DC) {
  RECT r;
  GetWindowRect(Handle(), &r);
  OffsetRect(&r, -r.left, -r.top);
  bool any = ComponentState() & csDesigning;
  for (auto* w : FDockList)
    if (w->Parent() == this && w->Visible()) any = true;
  if (FBoundLines == 0 || !any) return;
  auto line = [DC](int color, int x1, int y1, int x2, int y2) {
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(color));
    HGDIOBJ old = SelectObject(DC, pen);
    MoveToEx(DC, x1, y1, nullptr);
    LineTo(DC, x2, y2);
    SelectObject(DC, old);
    DeleteObject(pen);
  };
  if (FBoundLines & (1u << blTop)) {
    line(COLOR_BTNSHADOW, r.left, r.top, r.right, r.top);
    ++r.top;
  }
  if (FBoundLines & (1u << blLeft)) {
    line(COLOR_BTNSHADOW, r.left, r.top, r.left, r.bottom);
    ++r.left;
  }
  if (FBoundLines & (1u << blBottom)) {
    line(COLOR_BTNHIGHLIGHT, r.left, r.bottom - 1, r.right, r.bottom - 1);
    --r.bottom;
  }
  if (FBoundLines & (1u << blRight)) {
    line(COLOR_BTNHIGHLIGHT, r.right - 1, r.top, r.right - 1, r.bottom);
    --r.right;
  }
  POINT o = ClientOffsetOf(Handle());
  RECT cr;
  GetClientRect(Handle(), &cr);
  OffsetRect(&cr, o.x, o.y);
  if (EqualRect(&cr, &r)) return;
  int saved = SaveDC(DC);
  ExcludeClipRect(DC, cr.left, cr.top, cr.right, cr.bottom);
  HBRUSH b = CreateSolidBrush(ColorToRGB(Color()));
  FillRect(DC, &r, b);
  DeleteObject(b);
  RestoreDC(DC, saved);
}

void TTfDock::Dispatch(TMessage& m) {
  switch (m.Msg) {
  case WM_SIZE:
    TCustomControl::Dispatch(m);
    ArrangeRows();
    return;
  case WM_SYSCOMMAND:
  case CM_DIALOGKEY:
  case CM_DIALOGCHAR:
    if (m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) != SC_KEYMENU) break;
    // Floating windows are no longer children of the form: their keys come
    // through the dock they belong to.
    for (auto* w : std::vector<TTfCustomDockableWindow*>(FDockList))
      if (w->Floating() && w->CanFocus() &&
          (m.Msg != WM_SYSCOMMAND || (w->ControlStyle() & csMenuEvents))) {
        LRESULT r = w->Perform(m.Msg, m.WParam, m.LParam);
        if (r) {
          m.Result = r;
          return;
        }
      }
    break;
  case WM_ERASEBKGND:
    if (UsesBackground()) {
      PaintBackgroundFor(Handle(), reinterpret_cast<HDC>(m.WParam), ClientRect(), true);
      m.Result = 1;
      return;
    }
    break;
  case WM_MOVE:
    TCustomControl::Dispatch(m);
    if (UsesBackground()) RepaintBackgrounds();
    return;
  case WM_NCCALCSIZE: {
    TCustomControl::Dispatch(m);
    auto* r = reinterpret_cast<RECT*>(m.LParam);
    if (FBoundLines & (1u << blTop)) ++r->top;
    if (FBoundLines & (1u << blBottom)) --r->bottom;
    if (FBoundLines & (1u << blLeft)) ++r->left;
    if (FBoundLines & (1u << blRight)) --r->right;
    return;
  }
  case WM_NCPAINT: {
    HDC dc = ClipToUpdateRegion(Handle(), m.WParam);
    PaintNonClient(dc);
    ReleaseDC(Handle(), dc);
    m.Result = 0;
    return;
  }
  case WM_PRINT:
    m.Result = PrintWindowNonClient(Handle(), reinterpret_cast<HDC>(m.WParam), m.LParam,
                                    [this](HDC d) { PaintNonClient(d); });
    return;
  case WM_PRINTCLIENT:
    PaintClientTo(reinterpret_cast<HDC>(m.WParam));
    m.Result = 0;
    return;
  case CM_SYSCOLORCHANGE:
    TCustomControl::Dispatch(m);
    if (FBackground) FBackground->BackgroundSysColorChanged();
    return;
  default:
    break;
  }
  TCustomControl::Dispatch(m);
}

void TTfDock::Paint() {
  if (UsesBackground()) return;
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
  if (!(ComponentState() & csDesigning)) {
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
    Params.Style = WS_POPUP | WS_BORDER;
    if (DockableWindow && DockableWindow->Resizable) Params.Style |= WS_THICKFRAME;
  }
  Params.ExStyle = WS_EX_TOOLWINDOW;
  // Owned by the application window until it is first shown beside its form.
  Params.WndParent = Application ? Application->Handle() : nullptr;
}

void TTfFloatingWindowParent::WMClose(TMessage& Message) {
  // The toolbar is not closed: the form that owns it is.
  Message.Result = 0;
  TCustomForm* f = DockableWindow ? OwningFormOf(DockableWindow) : nullptr;
  if (f && f->HandleAllocated()) SendMessageW(f->Handle(), WM_CLOSE, 0, 0);
}

TRect TTfFloatingWindowParent::CaptionRect(bool ExcludeClose) {
  TPoint fs(0, 0);
  if (DockableWindow) DockableWindow->GetFloatingFrameSize(fs);
  int h = GetSystemMetrics(SM_CYSMCAPTION);
  RECT cr{0, 0, 0, 0};
  if (HandleAllocated()) GetClientRect(Handle(), &cr);
  TRect r(fs.X, fs.Y, fs.X + cr.right, fs.Y + h - 1);
  if (ExcludeClose) r.Right -= h - 1;
  return r;
}

TRect TTfFloatingWindowParent::CloseRect() {
  TRect r = CaptionRect(false);
  r.Left = r.Right - GetSystemMetrics(SM_CYSMCAPTION) + 1;
  return r;
}

void TTfFloatingWindowParent::PaintFloatingFrame(HDC DC, int Parts) {
  if (!HandleAllocated() || !DockableWindow) return;
  TTfCustomDockableWindow* w = DockableWindow;
  TRect wr = WindowRectOf(Handle());
  RECT r{0, 0, wr.Width(), wr.Height()};
  IntersectClipRect(DC, 0, 0, r.right, r.bottom);
  BOOL gradient = FALSE;
  SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
  bool active = !w->CaptionInactive();
  TPoint fs;
  w->GetFloatingFrameSize(fs);
  if (Parts & 1) {
    // Keep the client area out of the frame painting.
    RECT cr;
    GetClientRect(Handle(), &cr);
    POINT o{0, 0};
    ::ClientToScreen(Handle(), &o);
    OffsetRect(&cr, o.x - wr.Left, o.y - wr.Top);
    int saved = SaveDC(DC);
    ExcludeClipRect(DC, cr.left, cr.top, cr.right, cr.bottom);
    if (w->ShowCaption) {
      TRect c = CaptionRect(false);
      ExcludeClipRect(DC, c.Left, c.Top, c.Right, c.Bottom + 1);
    }
    RECT e = r;
    DrawEdge(DC, &e, EDGE_RAISED, BF_RECT | BF_ADJUST);
    RECT inner = r;
    InflateRect(&inner, -(fs.X - 1), -(fs.Y - 1));
    HBRUSH border = GetSysColorBrush(active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER);
    HRGN ring = CreateRectRgnIndirect(&e), hole = CreateRectRgnIndirect(&inner);
    CombineRgn(ring, ring, hole, RGN_DIFF);
    FillRgn(DC, ring, border);
    DeleteObject(ring);
    DeleteObject(hole);
    FrameRect(DC, &inner, GetSysColorBrush(COLOR_BTNFACE));
    RestoreDC(DC, saved);
  }
  if (!w->ShowCaption) return;
  TRect full = CaptionRect(false), close = CloseRect();
  if (Parts & 2) {
    int saved = SaveDC(DC);
    if ((Parts & 4) && w->CloseButton())
      ExcludeClipRect(DC, close.Left, close.Top, close.Right, close.Bottom);
    DrawSmallCaption(Handle(), DC, CaptionRect(w->CloseButton()), active, w->Caption());
    RestoreDC(DC, saved);
    RECT line{full.Left, full.Bottom, full.Right, full.Bottom + 1};
    FillRect(DC, &line, GetSysColorBrush(COLOR_BTNFACE));
  }
  if ((Parts & 4) && w->CloseButton()) {
    RECT b{close.Left, close.Top + 2, close.Right - 2, close.Bottom - 2};
    if (Parts & 2) {
      int color = gradient ? (active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION)
                           : (active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
      int saved = SaveDC(DC);
      ExcludeClipRect(DC, b.left, b.top, b.right, b.bottom);
      RECT cr = close;
      FillRect(DC, &cr, GetSysColorBrush(color));
      RestoreDC(DC, saved);
    }
    DrawFrameControl(DC, &b, DFC_CAPTION, DFCS_CAPTIONCLOSE | (FClosePressed ? DFCS_PUSHED : 0));
  }
}

void TTfFloatingWindowParent::RedrawFrame(int Parts) {
  if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
  HDC dc = GetWindowDC(Handle());
  PaintFloatingFrame(dc, Parts);
  ReleaseDC(Handle(), dc);
}

LRESULT TTfFloatingWindowParent::HitTest(const TPoint& ScreenPoint) {
  if (!DockableWindow || !HandleAllocated()) return HTNOWHERE;
  TTfCustomDockableWindow* w = DockableWindow;
  TRect wr = WindowRectOf(Handle());
  TPoint p(ScreenPoint.X - wr.Left, ScreenPoint.Y - wr.Top);
  RECT cr;
  GetClientRect(Handle(), &cr);
  POINT o{0, 0};
  ::ClientToScreen(Handle(), &o);
  OffsetRect(&cr, o.x - wr.Left, o.y - wr.Top);
  if (PtInRect(&cr, POINT{p.X, p.Y})) return HTCLIENT;
  if (w->ShowCaption && CaptionRect(false).Contains(p))
    return w->CloseButton() && CloseRect().Contains(p) ? HT_TB_CLOSE : HT_TB_CAPTION;
  if (!w->Resizable) return HTNOWHERE;
  TPoint fs;
  w->GetFloatingFrameSize(fs);
  int W = wr.Width(), H = wr.Height();
  bool top = p.Y >= 0 && p.Y <= fs.Y - 1, bottom = p.Y >= H - fs.Y - 1 && p.Y <= H - 1;
  bool left = p.X >= 0 && p.X <= fs.X - 1, right = p.X >= W - fs.X - 1 && p.X <= W - 1;
  if (!w->ResizeCornerHandles) {
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    return HTNOWHERE;
  }
  int corner = GetSystemMetrics(SM_CYSMCAPTION) + fs.X - 1;
  if (left) return p.Y < corner ? HTTOPLEFT : p.Y >= H - corner ? HTBOTTOMLEFT : HTLEFT;
  if (right) return p.Y < corner ? HTTOPRIGHT : p.Y >= H - corner ? HTBOTTOMRIGHT : HTRIGHT;
  if (top) return p.X < corner ? HTTOPLEFT : p.X >= W - corner ? HTTOPRIGHT : HTTOP;
  if (bottom) return p.X < corner ? HTBOTTOMLEFT : p.X >= W - corner ? HTBOTTOMRIGHT : HTBOTTOM;
  return HTNOWHERE;
}

void TTfFloatingWindowParent::Dispatch(TMessage& m) {
  TTfCustomDockableWindow* w = DockableWindow;
  switch (m.Msg) {
  case WM_GETMINMAXINFO: {
    TCustomForm::Dispatch(m);
    auto* mm = reinterpret_cast<MINMAXINFO*>(m.LParam);
    mm->ptMinTrackSize = POINT{1, 1};
    mm->ptMaxTrackSize = POINT{32767, 32767};
    return;
  }
  case WM_NCCALCSIZE:
    if (w) {
      auto* r = reinterpret_cast<RECT*>(m.LParam);
      TPoint fs;
      w->GetFloatingFrameSize(fs);
      r->left += fs.X;
      r->right -= fs.X;
      r->top += fs.Y + (w->ShowCaption ? GetSystemMetrics(SM_CYSMCAPTION) : 0);
      r->bottom -= fs.Y;
      if (r->right < r->left) r->right = r->left;
      if (r->bottom < r->top) r->bottom = r->top;
    }
    m.Result = 0;
    return;
  case WM_NCPAINT: {
    HDC dc = ClipToUpdateRegion(Handle(), m.WParam);
    PaintFloatingFrame(dc, 7);
    ReleaseDC(Handle(), dc);
    m.Result = 0;
    return;
  }
  case WM_PRINT:
    m.Result = PrintWindowNonClient(Handle(), reinterpret_cast<HDC>(m.WParam), m.LParam,
                                    [this](HDC d) { PaintFloatingFrame(d, 7); });
    return;
  case WM_PRINTCLIENT:
    PrintWindowClient(reinterpret_cast<HDC>(m.WParam), [this](HDC d) {
      RECT cr;
      GetClientRect(Handle(), &cr);
      HBRUSH b = CreateSolidBrush(ColorToRGB(Color()));
      FillRect(d, &cr, b);
      DeleteObject(b);
    });
    m.Result = 0;
    return;
  case WM_NCACTIVATE:
    RedrawFrame(7);
    m.Result = 1;
    return;
  case WM_ACTIVATE: {
    if (ComponentState() & csDesigning) break;
    // The form's caption mirrors this window's; the activation goes to the form.
    TCustomForm* f = w ? OwningFormOf(w) : ParentForm;
    bool on = LOWORD(m.WParam) != WA_INACTIVE;
    if (f && f->HandleAllocated()) {
      SendMessageW(f->Handle(), WM_NCACTIVATE, on, 0);
      if (on) {
        if (!IsWindowVisible(Handle())) {
          if (HWND other = FirstThreadWindow(Handle())) SetActiveWindow(other);
        } else if (f->Handle() != reinterpret_cast<HWND>(m.LParam)) {
          SetActiveWindow(f->Handle());
        }
      }
    }
    m.Result = 0;
    return;
  }
  case CM_DIALOGKEY:
    if (m.WParam == VK_ESCAPE && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 &&
        GetKeyState(VK_MENU) >= 0 && ParentForm) {
      if (ParentForm->Visible() && ParentForm->Enabled()) ParentForm->SetFocus();
      m.Result = 1;
      return;
    }
    break;
  case WM_MOVE:
    TCustomForm::Dispatch(m);
    if (w && w->FFloatingParent == this) {
      TRect wr = WindowRectOf(Handle());
      w->FFloatingPos = TPoint(wr.Left, wr.Top);
      w->NotifyMoved();
    }
    return;
  case WM_SETTEXT:
    TCustomForm::Dispatch(m);
    RedrawFrame(2);
    return;
  case WM_NCHITTEST:
    m.Result =
        HitTest(TPoint(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))));
    return;
  case WM_NCLBUTTONDOWN: {
    if (!w) break;
    TPoint sp(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
    if (m.WParam >= HTLEFT && m.WParam <= HTBOTTOMRIGHT && w->Resizable) {
      w->RunSizeLoop(static_cast<int>(m.WParam) - HTLEFT, sp);
      m.Result = 0;
      return;
    }
    if (m.WParam == static_cast<WPARAM>(HT_TB_CLOSE)) {
      TRect wr = WindowRectOf(Handle());
      TRect cr = CloseRect();
      cr.Offset(wr.Left, wr.Top);
      bool click = TrackButtonPress(Handle(), cr, [this](bool In) {
        if (In == FClosePressed) return;
        FClosePressed = In;
        RedrawFrame(4);
      });
      if (click) w->CloseByButton();
      m.Result = 0;
      return;
    }
    if (m.WParam == static_cast<WPARAM>(HT_TB_CAPTION)) {
      POINT p{sp.X, sp.Y};
      ::ScreenToClient(w->Handle(), &p);
      w->RunDragLoop(p.x, p.y);
      m.Result = 0;
      return;
    }
    break;
  }
  case WM_NCLBUTTONDBLCLK:
    if (w && m.WParam == static_cast<WPARAM>(HT_TB_CAPTION)) w->DoubleClickHandle();
    m.Result = 0;
    return;
  case WM_MOUSEACTIVATE:
    if (ComponentState() & csDesigning) break;
    // The toolbar never takes the activation; its form keeps it.
    m.Result = MA_NOACTIVATE;
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (w && w->FloatingMode() == fmOnTopOfParentForm && w->ActivateParent && ParentForm &&
        ParentForm->HandleAllocated() && GetActiveWindow() != Handle() &&
        GetActiveWindow() != ParentForm->Handle())
      SetActiveWindow(ParentForm->Handle());
    return;
  case WM_NCRBUTTONUP:
    if (w && w->HandleAllocated())
      SendMessageW(w->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w->Handle()), m.LParam);
    m.Result = 0;
    return;
  default:
    break;
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

void TTfCustomDockableWindow::ReleaseFloatingParent() {
  // Freed once its messages are done: this may run inside one of them.
  TTfFloatingWindowParent* f = FFloatingParent;
  FFloatingParent = nullptr;
  f->DockableWindow = nullptr;
  f->RemoveFreeNotification(this);
  if (f->HandleAllocated()) ShowWindow(f->Handle(), SW_HIDE);
  f->Release();
}

bool TTfCustomDockableWindow::Floating() const {
  return FFloatingParent && FParent == FFloatingParent;
}

int TTfCustomDockableWindow::HandleSize() const {
  if (FCloseButtonWhenDocked) return 14;
  return FDragHandleStyle == dhNone ? 0 : FDragHandleStyle == dhDouble ? 9 : 6;
}

void TTfCustomDockableWindow::GetDockedCloseRect(bool Vertical, TRect& R) {
  int a = HandleSize() - 3;
  int l = Vertical ? ClientWidth() - a + 2 : 3, t = Vertical ? 3 : 2;
  R = TRect(l, t, l + a, t + a);
}

void TTfCustomDockableWindow::GetFloatingFrameSize(TPoint& Size) {
  Size = Resizable ? TPoint(GetSystemMetrics(SM_CXSIZEFRAME), GetSystemMetrics(SM_CYSIZEFRAME))
                   : TPoint(GetSystemMetrics(SM_CXFIXEDFRAME), GetSystemMetrics(SM_CYFIXEDFRAME));
}

TPoint TTfCustomDockableWindow::FloatingWindowSizeFor(int ClientWidth, int ClientHeight) {
  TPoint fs;
  GetFloatingFrameSize(fs);
  return TPoint(ClientWidth + 2 * fs.X,
                ClientHeight + 2 * fs.Y + (ShowCaption ? GetSystemMetrics(SM_CYSMCAPTION) : 0));
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
  if (Value == FCloseButton) return;
  FCloseButton = Value;
  if (Floating()) FFloatingParent->RedrawFrame(6);
}

void TTfCustomDockableWindow::SetCloseButtonWhenDocked(bool Value) {
  if (Value == FCloseButtonWhenDocked) return;
  FCloseButtonWhenDocked = Value;
  DockedFrameChanged();
}

void TTfCustomDockableWindow::DockedFrameChanged() {
  if (!FCurrentDock) return;
  RecalcFrame(this);
  FCurrentDock->ArrangeRows();
}

void TTfCustomDockableWindow::SetDragHandleStyle(TTfDragHandleStyle Value) {
  if (Value == FDragHandleStyle) return;
  FDragHandleStyle = Value;
  DockedFrameChanged();
}

void TTfCustomDockableWindow::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  if (FCurrentDock) RecalcFrame(this);
}

void TTfCustomDockableWindow::SetResizable(bool Value) {
  if (Value == Resizable) return;
  Resizable = Value;
  if (!Floating() || !FFloatingParent->HandleAllocated()) return;
  // The new window keeps its place and the toolbar its size; the frame changes.
  TTfFloatingWindowParent* f = FFloatingParent;
  TRect wr = WindowRectOf(f->Handle());
  int cw = Width(), ch = Height();
  f->RecreateWnd();
  f->Handle(); // a form without a parent window is not re-created by itself
  TPoint ws = FloatingWindowSizeFor(cw, ch);
  f->SetBounds(wr.Left, wr.Top, ws.X, ws.Y);
  if (f->Visible())
    SetWindowPos(f->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
  ++FInternalBounds;
  SetBounds(0, 0, cw, ch);
  --FInternalBounds;
  SetFloatingMode(FFloatingMode, true);
  SyncCaptionState();
}

void TTfCustomDockableWindow::SetShowCaption(bool Value) {
  if (Value == ShowCaption) return;
  ShowCaption = Value;
  if (!Floating()) return;
  RecalcFrame(FFloatingParent);
  Remeasure();
}

void TTfCustomDockableWindow::SetFloatingMode(TTfFloatingMode Value, bool Force) {
  if (Value == FFloatingMode && !Force) return;
  FFloatingMode = Value;
  if (!Floating() || !FFloatingParent->HandleAllocated()) return;
  if (ShouldBeVisible()) ApplyFloatingOwner();
  SyncVisibility();
}

void TTfCustomDockableWindow::ApplyFloatingOwner() {
  HWND fw = FFloatingParent->Handle();
  TCustomForm* form = OwningFormOf(this);
  if (form) form = MDIParentOf(form);
  HWND owner = FFloatingMode == fmOnTopOfAllForms && Application ? Application->Handle()
               : form && form->HandleAllocated()                 ? form->Handle()
                                                                 : nullptr;
  bool topmost = FFloatingMode == fmOnTopOfAllForms ||
                 (owner && (GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
  if (owner && GetWindow(fw, GW_OWNER) != owner) {
    SetWindowOwner(fw, owner);
    if (FFloatingMode == fmOnTopOfParentForm) {
      // Directly above the form and the windows it owns.
      HWND above = HWND_TOP;
      for (HWND h = GetWindow(owner, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) {
        if (h == fw || (topmost && !(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST))) continue;
        bool owned = false;
        for (HWND o = GetWindow(h, GW_OWNER); o && !owned; o = GetWindow(o, GW_OWNER))
          owned = o == owner;
        if (!owned) {
          above = h;
          break;
        }
      }
      SetWindowPos(fw, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    SyncCaptionState();
  }
  bool isTopmost = (GetWindowLongW(fw, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (topmost != isTopmost)
    SetWindowPos(fw, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TTfCustomDockableWindow::SyncCaptionState() {
  if (!Floating() || !FFloatingParent->HandleAllocated()) return;
  HWND act = GetActiveWindow();
  if (act && dynamic_cast<TTfPopupWindow*>(FindControl(act))) return;
  HWND fw = FFloatingParent->Handle();
  bool active = act != nullptr;
  if (active && FFloatingMode == fmOnTopOfParentForm &&
      !(Application && GetWindow(fw, GW_OWNER) == Application->Handle())) {
    // An active floating window stands for its form.
    if (auto* other = dynamic_cast<TTfFloatingWindowParent*>(FindControl(act)))
      if (other->ParentForm && other->ParentForm->HandleAllocated())
        act = other->ParentForm->Handle();
    active = false;
    for (HWND h = fw; h; h = GetWindow(h, GW_OWNER))
      if (h == act) active = true;
  }
  if (active == !FInactiveCaption) return;
  FInactiveCaption = !active;
  FFloatingParent->RedrawFrame(7);
}

bool TTfCustomDockableWindow::ShouldBeVisible() {
  if (!Visible() || FHiddenWhileReparenting > 0) return false;
  if (!Floating() || (ComponentState() & csDesigning)) return true;
  if (FFloatingMode == fmOnTopOfParentForm) {
    TCustomForm* form = OwningFormOf(this);
    if (!form || !form->HandleAllocated() || !IsWindowVisible(form->Handle())) return false;
    for (HWND h = form->Handle(); h; h = GetParent(h))
      if (IsIconic(h)) return false;
  }
  return !HideWhenInactive || tAppActive;
}

void TTfCustomDockableWindow::SyncVisibility() {
  if (!Floating() || !FFloatingParent->HandleAllocated()) return;
  bool should = ShouldBeVisible() && FFloatingParent->Visible();
  HWND fw = FFloatingParent->Handle();
  if (should) ApplyFloatingOwner();
  if (should != (IsWindowVisible(fw) != FALSE)) {
    SetWindowPos(fw, nullptr, 0, 0, 0, 0,
                 (should ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) | SWP_NOACTIVATE | SWP_NOZORDER |
                     SWP_NOMOVE | SWP_NOSIZE);
    if (!should && GetActiveWindow() == fw)
      if (HWND other = FirstThreadWindow(fw)) SetActiveWindow(other);
  }
  if (should) SyncCaptionState();
}

void TTfCustomDockableWindow::NotifyMoved() {
  if (OnMove && FMoveSuppress == 0 && !(ComponentState() & csLoading)) OnMove(this);
}

void TTfCustomDockableWindow::AddDockForm(TCustomForm* Form) {
  if (ListAddOnce(FDockForms, Form)) Form->FreeNotification(this);
}

void TTfCustomDockableWindow::RemoveDockForm(TCustomForm* Form) {
  if (ListRemove(FDockForms, Form)) Form->RemoveFreeNotification(this);
}

HPALETTE TTfCustomDockableWindow::GetPalette() {
  return FCurrentDock ? FCurrentDock->GetPalette() : nullptr;
}

void TTfCustomDockableWindow::RepaintWithBackground() {
  if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
  RECT cr, ur;
  GetClientRect(Handle(), &cr);
  if (GetUpdateRect(Handle(), &ur, FALSE) && EqualRect(&ur, &cr)) {
    RedrawWhole(this);
    return;
  }
  // Frame, background and content drawn off screen, then shown in one blit.
  TRect wr = WindowRectOf(Handle());
  HDC wdc = GetWindowDC(Handle());
  HDC mdc = CreateCompatibleDC(wdc);
  HBITMAP bmp = CreateCompatibleBitmap(wdc, wr.Width(), wr.Height());
  HGDIOBJ old = SelectObject(mdc, bmp);
  SendMessageW(Handle(), WM_PRINT, reinterpret_cast<WPARAM>(mdc),
               PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
  BitBlt(wdc, 0, 0, wr.Width(), wr.Height(), mdc, 0, 0, SRCCOPY);
  SelectObject(mdc, old);
  DeleteObject(bmp);
  DeleteDC(mdc);
  ReleaseDC(Handle(), wdc);
  ValidateRect(Handle(), nullptr);
}

bool TTfCustomDockableWindow::DockBackgroundOnMe() const {
  return FCurrentDock && FCurrentDock->UsesBackground() && FCurrentDock->BackgroundOnToolbars();
}

TTfFloatingWindowParent* TTfCustomDockableWindow::CreateFloatingParent() {
  return new TTfFloatingWindowParent(nullptr);
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
  if (auto* f = dynamic_cast<TCustomForm*>(AComponent)) ListRemove(FDockForms, f);
}

void TTfCustomDockableWindow::SetParent(TWinControl* AParent) {
  auto* newDock = dynamic_cast<TTfDock*>(AParent);
  bool toFloat = AParent && dynamic_cast<TTfFloatingWindowParent*>(AParent) != nullptr;
  auto syncFloatingList = [&]() {
    if (Floating()) {
      ListAddOnce(tFloatingWindows, this);
      if (FFloatingParent)
        FFloatingParent->SetBounds(FFloatingPos.X, FFloatingPos.Y, FFloatingParent->Width(),
                                   FFloatingParent->Height());
    } else {
      ListRemove(tFloatingWindows, this);
    }
  };
  if (AParent == FParent) {
    FCurrentDock = dynamic_cast<TTfDock*>(FParent);
    syncFloatingList();
    return;
  }
  TTfDock* oldDock = dynamic_cast<TTfDock*>(FParent);
  bool destroying = (ComponentState() & csDestroying) != 0;
  if (AParent && !destroying) {
    if (OnDockChanging) OnDockChanging(this, toFloat, newDock);
    if (OnRecreating) OnRecreating(this);
  }
  // Hidden while it moves; arrangements and re-measuring wait until it is in place.
  ++FHiddenWhileReparenting;
  ++FMoveSuppress;
  UpdateShowing();
  if (oldDock) oldDock->LockArrangement();
  if (newDock) newDock->LockArrangement();
  ++FInternalBounds;
  if (AParent) NotifyDockChangingHidden(toFloat, newDock);
  ++FRemeasureLock;
  ShrunkLength = 0;
  {
    TScopeGuard unwind([&] {
      --FRemeasureLock;
      if (FRemeasureLock == 0 && FRemeasurePending) Remeasure();
      --FInternalBounds;
      if (newDock) newDock->UnlockArrangement();
      if (oldDock) oldDock->UnlockArrangement();
      --FMoveSuppress;
      --FHiddenWhileReparenting;
      UpdateShowing();
      SyncVisibility();
    });
    if (oldDock) {
      if (!(FUseLastDock && oldDock == FLastDock)) oldDock->SetMembership(this, false);
      oldDock->UpdateVisibleMembership(this, true);
    }
    TScopeGuard restore([&] { FCurrentDock = dynamic_cast<TTfDock*>(FParent); });
    FCurrentDock = newDock;
    TCustomControl::SetParent(AParent);
    RecalcFrame(this);
    AssignedRow = -1;
    restore.Dismiss();
    if (FFloatingParent && FParent != FFloatingParent && !FSmoothDragging) ReleaseFloatingParent();
    if (newDock) {
      if (!FUseLastDock || FSmoothDragging)
        newDock->SetMembership(this, true);
      else
        SetLastDock(newDock);
      newDock->UpdateVisibleMembership(this, false);
    }
    syncFloatingList();
    Remeasure();
  }
  if (FParent) NotifyMoved();
  if (AParent && !(ComponentState() & csDestroying)) {
    if (OnRecreated) OnRecreated(this);
    if (OnDockChanged) OnDockChanged(this);
  }
}

void TTfCustomDockableWindow::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!(ComponentState() & csDesigning) && Floating() && FFloatingParent &&
      FFloatingParent->HandleAllocated()) {
    // The floating window grows or shrinks around the requested size.
    TTfFloatingWindowParent* f = FFloatingParent;
    int dw = AWidth - f->ClientWidth(), dh = AHeight - f->ClientHeight();
    if (dw || dh) f->SetBounds(f->Left(), f->Top(), f->Width() + dw, f->Height() + dh);
    ALeft = 0;
    ATop = 0;
  }
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TTfCustomDockableWindow::NotifyDockChangingHidden(bool Floating, TTfDock* DockingTo) {
  if (OnDockChangingHidden && !(ComponentState() & csDestroying))
    OnDockChangingHidden(this, Floating, DockingTo);
}

void TTfCustomDockableWindow::MakeFloating(bool Value) {
  if (Value == Floating()) return;
  if (!Value) {
    SetParent(RequireOwningForm(this));
    return;
  }
  TCustomForm* form = RequireOwningForm(this);
  if (!FFloatingParent) {
    TTfFloatingWindowParent* f = CreateFloatingParent();
    TScopeGuard discard([&] { delete f; });
    f->DockableWindow = this;
    f->ParentForm = form;
    f->FreeNotification(this);
    discard.Dismiss();
    FFloatingParent = f;
  }
  FFloatingParent->SetCaption(Caption());
  TPoint content;
  MeasureForPlacement(false, nullptr, true, content);
  TPoint ws = FloatingWindowSizeFor(content.X, content.Y);
  FFloatingParent->SetBounds(FFloatingPos.X, FFloatingPos.Y, ws.X, ws.Y);
  FFloatingParent->SetVisible(true);
  SetParent(FFloatingParent);
  ++FInternalBounds;
  SetBounds(0, 0, content.X, content.Y);
  --FInternalBounds;
  Remeasure();
  SetFloatingMode(FFloatingMode, true);
  SyncVisibility();
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
    TPoint ws = FloatingWindowSizeFor(W, H);
    FFloatingParent->SetBounds(FFloatingParent->Left(), FFloatingParent->Top(), ws.X, ws.Y);
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
  if (!SavedAtRunTime && !(ComponentState() & csDesigning) && Floating()) {
    // Bounds given in the form's client coordinates become a screen position.
    if (TCustomForm* form = OwningFormOf(this)) {
      TPoint p = form->ClientToScreen(TPoint(FFloatingParent->Left(), FFloatingParent->Top()));
      FFloatingParent->SetBounds(p.X, p.Y, FFloatingParent->Width(), FFloatingParent->Height());
    }
    KeepOnScreen(false);
  }
  AfterLoading();
  Remeasure();
}

void TTfCustomDockableWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !DragAllowed() || (ComponentState() & csDesigning)) return;
  // A press outside the content drags the window.
  TPoint p(X, Y);
  if (ClientRect().Contains(p) && IsPointOnContent(p)) return;
  if (Shift & ssDouble) {
    DoubleClickHandle();
  } else {
    RunDragLoop(X, Y);
    MouseUp(mbLeft, 0, -1, -1);
  }
}

void TTfCustomDockableWindow::PaintDockedFrame(HDC dc) {
  if (!FCurrentDock) return;
  RECT r;
  GetWindowRect(Handle(), &r);
  OffsetRect(&r, -r.left, -r.top);
  HBRUSH face = CreateSolidBrush(ColorToRGB(Color()));
  if (FBorderStyle == bsSingle)
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  else
    FrameRect(dc, &r, face);
  InflateRect(&r, -1, -1);
  bool background = DockBackgroundOnMe();
  if (background) {
    // The rest of the frame shows the dock's background.
    int saved = SaveDC(dc);
    POINT o = ClientOffsetOf(Handle());
    RECT cr;
    GetClientRect(Handle(), &cr);
    ExcludeClipRect(dc, o.x, o.y, o.x + cr.right, o.y + cr.bottom);
    FCurrentDock->PaintBackgroundFor(Handle(), dc, TRect(r.left, r.top, r.right, r.bottom), false);
    RestoreDC(dc, saved);
  } else {
    FrameRect(dc, &r, face);
  }
  if (FCurrentDock->AllowDrag()) {
    bool v = FCurrentDock->IsVertical();
    int hs = HandleSize();
    int length = (v ? ClientWidth() : ClientHeight()) + 2;
    int saved = SaveDC(dc);
    if (FDragHandleStyle != dhNone) {
      static const int firstGrip[2][3] = {{4, 0, 3}, {5, 0, 7}};
      int at = firstGrip[FCloseButtonWhenDocked ? 1 : 0][FDragHandleStyle];
      int from = (FCloseButtonWhenDocked && !v) ? hs : 2;
      int to = (FCloseButtonWhenDocked && v) ? length - hs + 2 : length;
      if (FDragHandleStyle == dhSingle) ++from, --to;
      for (int k = 0; k < (FDragHandleStyle == dhDouble ? 2 : 1); ++k) {
        int o = at + 3 * k;
        RECT g = v ? RECT{from, o, to, o + 3} : RECT{o, from, o + 3, to};
        DrawEdge(dc, &g, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
        SetPixelV(dc, g.right - 1, g.bottom - 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        ExcludeClipRect(dc, g.left, g.top, g.right, g.bottom);
      }
    }
    TRect cr;
    if (FCloseButtonWhenDocked) {
      GetDockedCloseRect(v, cr);
      ExcludeClipRect(dc, cr.Left, cr.Top, cr.Right, cr.Bottom);
    }
    RECT strip = v ? RECT{2, 2, length, hs + 2} : RECT{2, 2, hs + 2, length};
    if (!background) FillRect(dc, &strip, face);
    RestoreDC(dc, saved);
    if (FCloseButtonWhenDocked) {
      RECT b = cr;
      FillRect(dc, &b, face);
      if (FClosePressed)
        DrawEdge(dc, &b, BDR_SUNKENOUTER, BF_RECT);
      else if (FCloseHot)
        DrawEdge(dc, &b, BDR_RAISEDINNER, BF_RECT);
      int sh = FClosePressed ? 1 : 0;
      DrawGlyph8(dc, cr.Left + 2 + sh, cr.Top + 2 + sh, kCloseGlyph, COLOR_BTNTEXT);
    }
  }
  DeleteObject(face);
}

void TTfCustomDockableWindow::RedrawDockedCloseButton() {
  if (!FCurrentDock || !HandleAllocated() || !IsWindowVisible(Handle())) return;
  HDC dc = GetWindowDC(Handle());
  RECT cr;
  GetClientRect(Handle(), &cr);
  MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&cr), 2);
  RECT wr;
  GetWindowRect(Handle(), &wr);
  OffsetRect(&cr, -wr.left, -wr.top);
  ExcludeClipRect(dc, cr.left, cr.top, cr.right, cr.bottom);
  PaintDockedFrame(dc);
  ReleaseDC(Handle(), dc);
}

void TTfCustomDockableWindow::Dispatch(TMessage& m) {
  switch (m.Msg) {
  case WM_NCRBUTTONUP:
    SendMessageW(Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()), m.LParam);
    m.Result = 0;
    return;
  case WM_PRINT:
    m.Result =
        PrintWindowNonClient(Handle(), reinterpret_cast<HDC>(m.WParam), m.LParam, [this](HDC d) {
          POINT o = ClientOffsetOf(Handle());
          RECT cr;
          GetClientRect(Handle(), &cr);
          ExcludeClipRect(d, o.x, o.y, o.x + cr.right, o.y + cr.bottom);
          PaintDockedFrame(d);
        });
    return;
  case WM_PRINTCLIENT:
    PaintClientTo(reinterpret_cast<HDC>(m.WParam));
    m.Result = 0;
    return;
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
      HDC dc = ClipToUpdateRegion(Handle(), m.WParam);
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
    if (FCurrentDock && m.Result != HTCLIENT) {
      m.Result = HT_TB_DOCKEDHANDLE;
      if (FCloseButtonWhenDocked && FCurrentDock->AllowDrag()) {
        TRect cr, wr = WindowRectOf(Handle());
        GetDockedCloseRect(FCurrentDock->IsVertical(), cr);
        TPoint p(static_cast<short>(LOWORD(m.LParam)) - wr.Left,
                 static_cast<short>(HIWORD(m.LParam)) - wr.Top);
        if (cr.Contains(p)) m.Result = HT_TB_CLOSE;
      }
    }
    return;
  case WM_NCMOUSEMOVE: {
    TCustomControl::Dispatch(m);
    int v = WindowsVersion();
    if (v / 100 > 4 || (v / 100 == 4 && v % 100 > 9))
      TrackMouse(Handle(), TME_LEAVE | TME_NONCLIENT);
    bool hot = m.WParam == static_cast<WPARAM>(HT_TB_CLOSE);
    if (hot != FCloseHot) {
      FCloseHot = hot;
      RedrawDockedCloseButton();
    }
    return;
  }
  case WM_NCMOUSELEAVE:
  case WM_MOUSEMOVE:
  case CM_MOUSELEAVE:
    if (FCloseHot && (m.Msg != WM_NCMOUSELEAVE || !GetCapture())) {
      FCloseHot = false;
      RedrawDockedCloseButton();
    }
    break;
  case WM_NCLBUTTONDOWN:
    if (m.WParam == static_cast<WPARAM>(HT_TB_CLOSE) && FCurrentDock) {
      TRect cr, wr = WindowRectOf(Handle());
      GetDockedCloseRect(FCurrentDock->IsVertical(), cr);
      cr.Offset(wr.Left, wr.Top);
      bool click = TrackButtonPress(Handle(), cr, [this](bool In) {
        if (In == FClosePressed) return;
        FClosePressed = In;
        RedrawDockedCloseButton();
      });
      if (click) CloseByButton();
      m.Result = 0;
      return;
    }
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
  case WM_MOVE:
    TCustomControl::Dispatch(m);
    if (DockBackgroundOnMe()) RepaintWithBackground();
    NotifyMoved();
    return;
  case WM_ERASEBKGND:
    if (DockBackgroundOnMe()) {
      FCurrentDock->PaintBackgroundFor(Handle(), reinterpret_cast<HDC>(m.WParam), ClientRect(),
                                       true);
      m.Result = 1;
      return;
    }
    break;
  case WM_CONTEXTMENU: {
    TPoint pos(m.XPos(), m.YPos());
    bool keyboard = pos.X == -1 && pos.Y == -1;
    // The client area is the framework's; the frame and handle are the window's.
    if (keyboard || ClientRect().Contains(ScreenToClient(pos)) || (ComponentState() & csDesigning))
      break;
    bool handled = false;
    DoContextPopup(ScreenToClient(pos), handled);
    if (!handled && PopupMenu() && PopupMenu()->AutoPopup()) {
      SendMessageW(Handle(), WM_CANCELMODE, 0, 0);
      PopupMenu()->SetPopupComponent(this);
      PopupMenu()->Popup(pos.X, pos.Y);
      handled = true;
    }
    if (!handled) break;
    m.Result = 1;
    return;
  }
  case WM_PALETTECHANGED:
    if (reinterpret_cast<HWND>(m.WParam) != Handle() && FCurrentDock)
      if (HPALETTE pal = GetPalette()) {
        HDC dc = GetDC(Handle());
        HPALETTE old = SelectPalette(dc, pal, TRUE);
        bool changed = RealizePalette(dc) > 0;
        SelectPalette(dc, old, TRUE);
        ReleaseDC(Handle(), dc);
        if (changed) RedrawWhole(this);
      }
    break;
  case CM_COLORCHANGED:
    RedrawWhole(this);
    break;
  case CM_TEXTCHANGED:
    TCustomControl::Dispatch(m);
    if (Floating()) FFloatingParent->SetCaption(Caption());
    return;
  case CM_VISIBLECHANGED:
    if (FCurrentDock && !(ComponentState() & csDesigning))
      FCurrentDock->UpdateVisibleMembership(this, false);
    TCustomControl::Dispatch(m);
    if (Floating()) {
      if (Visible()) FFloatingParent->SetVisible(true);
      SyncVisibility();
    }
    if (OnVisibleChanged) OnVisibleChanged(this);
    return;
  case WM_SETCURSOR:
    if (FCurrentDock && FCurrentDock->AllowDrag() && reinterpret_cast<HWND>(m.WParam) == Handle() &&
        LOWORD(m.LParam) == HT_TB_DOCKEDHANDLE && FDragHandleStyle != dhNone) {
      POINT c;
      GetCursorPos(&c);
      TRect wr = WindowRectOf(Handle());
      int d = FCurrentDock->IsVertical() ? c.y - wr.Top : c.x - wr.Left;
      if (d < HandleSize() + 2) {
        ::SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
        m.Result = 1;
        return;
      }
    }
    break;
  default:
    break;
  }
  TCustomControl::Dispatch(m);
}

// One candidate placement of a drag: a dock (none for floating), its client
// rectangle on the screen, the window's size there and the dock's rows.
struct TDockedSize {
  TTfDock* Dock = nullptr;
  TRect ScreenClient;
  TPoint Size;
  std::vector<std::pair<int, bool>> Rows;
};

namespace {

// Desktop outline of a drag or resize; nothing is drawn while smooth.
struct TDragOutline {
  HDC DC = nullptr;
  TRect Rect;
  int Width = 0;
  bool Shown = false;
  void Begin() {
    LockWindowUpdate(GetDesktopWindow());
    DC = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  }
  void Move(const TRect& R, int W) {
    if (!DC) return;
    TRect none(0, 0, 0, 0);
    InvertHalftoneFrame(DC, R, Shown ? Rect : none, W, Shown ? Width : 0);
    Rect = R;
    Width = W;
    Shown = !R.IsEmpty();
  }
  void End() {
    if (!DC) return;
    if (Shown) Move(TRect(0, 0, 0, 0), 0);
    ReleaseDC(GetDesktopWindow(), DC);
    DC = nullptr;
    LockWindowUpdate(nullptr);
  }
};

// Docks of a control, depth first: top, bottom, left and right docks of each
// level before its other windowed children, then the control itself.
void CollectDocks(TWinControl* W, TTfCustomDockableWindow* Except, std::vector<TTfDock*>& Out,
                  const std::function<bool(TTfDock*)>& Accepts) {
  auto skip = [&](TWinControl* c) {
    return c == Except || c->ContainsControl(Except) || !c->HandleAllocated() || !c->Visible();
  };
  for (TTfDockPosition pos : {dpTop, dpBottom, dpLeft, dpRight})
    for (int i = 0; i < W->ControlCount(); ++i)
      if (auto* d = dynamic_cast<TTfDock*>(W->Controls(i)))
        if (d->Position() == pos && !skip(d)) CollectDocks(d, Except, Out, Accepts);
  for (int i = 0; i < W->ControlCount(); ++i) {
    auto* c = dynamic_cast<TWinControl*>(W->Controls(i));
    if (!c || dynamic_cast<TTfDock*>(c) || skip(c)) continue;
    CollectDocks(c, Except, Out, Accepts);
  }
  if (auto* d = dynamic_cast<TTfDock*>(W))
    if (Accepts(d) && std::find(Out.begin(), Out.end(), d) == Out.end()) Out.push_back(d);
}

} // namespace

void TTfCustomDockableWindow::ApplyDragRect(TTfDock* Dock, const TRect& R,
                                            const TDockedSize* Record) {
  if (!Dock) {
    FCanSplit = false;
    PlaceFloating(TPoint(R.Left, R.Top));
    MakeFloating(true);
    KeepOnScreen(true);
    Update();
    return;
  }
  bool vertical = Dock->IsVertical();
  POINT tl{R.Left, R.Top};
  ::ScreenToClient(Dock->Handle(), &tl);
  int row = FDockRow;
  bool newRow = false;
  if (!FSplitting) {
    int centre = vertical ? tl.x + R.Width() / 2 : tl.y + R.Height() / 2;
    int acc = 0;
    row = Record ? static_cast<int>(Record->Rows.size()) : 0;
    if (Record)
      for (size_t r = 0; r < Record->Rows.size(); ++r) {
        int t = Record->Rows[r].first;
        if (t <= 0) continue;
        bool full = Record->Rows[r].second || FFullSize;
        if (centre < acc + (full ? t / 2 : t / 4)) {
          row = static_cast<int>(r);
          newRow = true;
          FCanSplit = false;
          break;
        }
        if (!full && centre < acc + t - t / 4) {
          row = static_cast<int>(r);
          break;
        }
        acc += t;
      }
  }
  int pos = vertical ? tl.y : tl.x;
  if (FCanSplit && !FSplitting) {
    if (Dock == FDragStartDock && row == FDragStartRow && !newRow) {
      if (std::abs(pos - FDragStartPos) > 9) {
        FSplitting = true;
        ::SetCursor(LoadCursorW(nullptr, vertical ? IDC_SIZENS : IDC_SIZEWE));
      }
    } else {
      FCanSplit = false;
    }
  }
  FDockRow = row;
  FDockPos = pos;
  FNewRowRequest = newRow;
  {
    TScopeGuard restore([&] { FNewRowRequest = false; });
    if (!FSmoothDragging) Dock->CommitPending = true;
    if (FParent != Dock)
      SetParent(Dock);
    else
      Dock->ArrangeRows();
  }
  Update();
}

void TTfCustomDockableWindow::RunDragLoop(int X, int Y) {
  TCustomForm* form = RequireOwningForm(this);
  FDragging = true;
  FSplitting = false;
  FDragStartDock = FCurrentDock;
  if (FCurrentDock) {
    FCanSplit = false;
    FCurrentDock->CommitPending = true;
    FCurrentDock->ArrangeRows();
  }
  FDragStartRow = FDockRow;
  FDragStartPos = FDockPos;
  bool vertical = FCurrentDock && FCurrentDock->IsVertical();
  (void)vertical;
  FSmoothDragging = SmoothDrag;
  // Grab point relative to the moving rectangle.
  HWND moving = Floating() ? FFloatingParent->Handle() : Handle();
  TRect mr = WindowRectOf(moving);
  POINT gp{X, Y};
  ::ClientToScreen(Handle(), &gp);
  TPoint grab(gp.x - mr.Left, gp.y - mr.Top);
  TPoint extent(std::max<int>(1, mr.Width() - 1), std::max<int>(1, mr.Height() - 1));
  bool ctrl = GetKeyState(VK_CONTROL) < 0;
  bool canFloat = DockMode == dmCanFloat;

  // Candidate docks.
  auto accepts = [this](TTfDock* d) {
    return d->AllowDrag() && (DockableTo & (1u << d->Position())) != 0;
  };
  std::vector<TTfDock*> docks;
  if (DockMode == dmCannotFloatOrChangeDocks) {
    if (FCurrentDock) docks.push_back(FCurrentDock);
  } else {
    if (FCurrentDock && accepts(FCurrentDock)) docks.push_back(FCurrentDock);
    CollectDocks(form, this, docks, accepts);
    for (TCustomForm* f : FDockForms)
      if (f->HandleAllocated() && f->Visible()) CollectDocks(f, this, docks, accepts);
  }
  for (auto* d : docks)
    d->CommitPositions();

  // Every placement is measured once.
  std::vector<TDockedSize> records;
  TPoint ffs;
  GetFloatingFrameSize(ffs);
  {
    TDockedSize f;
    TPoint c;
    MeasureForPlacement(false, nullptr, true, c);
    f.Size = FloatingWindowSizeFor(c.X, c.Y);
    records.push_back(f);
  }
  for (auto* d : docks) {
    TDockedSize r;
    r.Dock = d;
    RECT cr;
    GetClientRect(d->Handle(), &cr);
    MapWindowPoints(d->Handle(), nullptr, reinterpret_cast<POINT*>(&cr), 2);
    r.ScreenClient = TRect(cr.left, cr.top, cr.right, cr.bottom);
    if (d == FCurrentDock) {
      r.Size = TPoint(Width(), Height());
    } else {
      TPoint c;
      MeasureForPlacement(false, d, false, c);
      int hs = d->AllowDrag() ? HandleSize() : 0;
      r.Size = d->IsVertical() ? TPoint(c.X + 4, c.Y + 4 + hs) : TPoint(c.X + 4 + hs, c.Y + 4);
    }
    int high = -1;
    for (auto* w : d->DockList())
      if (w->Parent() == d && w->Visible()) high = std::max<int>(high, w->AssignedRow);
    for (int row = 0; row <= high; ++row) {
      bool full = false;
      int t = d->RowThickness(row, full);
      r.Rows.emplace_back(t, full);
    }
    records.push_back(std::move(r));
  }

  FlushPaintMessages();
  TDragOutline outline;
  HCURSOR remembered = GetCursor();
  TTfDock* target = nullptr;
  const TDockedSize* targetRec = nullptr;
  TRect rect(0, 0, 0, 0);
  TPoint last(INT_MIN, INT_MIN);
  bool drop = false;

  auto evaluate = [&](TPoint c, bool allowDock) {
    target = nullptr;
    targetRec = nullptr;
    TRect r(0, 0, 0, 0);
    if (FSplitting) {
      target = FCurrentDock;
    } else if (allowDock && !ctrl) {
      for (size_t i = 1; i < records.size(); ++i) {
        const TDockedSize& rec = records[i];
        TRect dr = rec.ScreenClient;
        dr.Left -= 3, dr.Top -= 3, dr.Right += 3, dr.Bottom += 3;
        bool ok;
        if (rec.Dock->IsVertical()) {
          int sx = MulDiv(25, grab.X, extent.X);
          ok =
              c.X >= dr.Left - (25 - sx) && c.X < dr.Right + sx && c.Y >= dr.Top && c.Y < dr.Bottom;
        } else {
          int sy = MulDiv(25, grab.Y, extent.Y);
          ok =
              c.Y >= dr.Top - (25 - sy) && c.Y < dr.Bottom + sy && c.X >= dr.Left && c.X < dr.Right;
        }
        if (!ok) continue;
        int l = c.X - MulDiv(rec.Size.X - 1, grab.X, extent.X);
        int t = c.Y - MulDiv(rec.Size.Y - 1, grab.Y, extent.Y);
        TRect pr(l, t, l + rec.Size.X, t + rec.Size.Y);
        RECT x, a = pr, b = dr;
        if (!IntersectRect(&x, &a, &b)) continue;
        bool accept = true;
        if (rec.Dock->OnRequestDock) rec.Dock->OnRequestDock(rec.Dock, this, accept);
        if (!accept) continue;
        target = rec.Dock;
        targetRec = &rec;
        break;
      }
    }
    if (target && !targetRec)
      for (auto& rec : records)
        if (rec.Dock == target) targetRec = &rec;
    if (target && targetRec) {
      int l = c.X - MulDiv(targetRec->Size.X - 1, grab.X, extent.X);
      int t = c.Y - MulDiv(targetRec->Size.Y - 1, grab.Y, extent.Y);
      r = TRect(l, t, l + targetRec->Size.X, t + targetRec->Size.Y);
    } else if (canFloat) {
      TRect area;
      MonitorAreaOfPoint(c, true, area);
      c.X = std::clamp<int>(c.X, area.Left, std::max<int>(area.Left, area.Right - 1));
      c.Y = std::clamp<int>(c.Y, area.Top, std::max<int>(area.Top, area.Bottom - 1));
      const TPoint& sz = records[0].Size;
      int l = c.X - MulDiv(sz.X - 1, grab.X, extent.X);
      int t = c.Y - MulDiv(sz.Y - 1, grab.Y, extent.Y);
      r = TRect(l, t, l + sz.X, t + sz.Y);
      TRect in(area.Left + ffs.X + 4, area.Top + ffs.Y + 4, area.Right - ffs.X - 4,
               area.Bottom - ffs.Y - 4);
      int dx = 0, dy = 0;
      if (r.Right < in.Left) dx = in.Left - r.Right;
      if (r.Left > in.Right) dx = in.Right - r.Left;
      if (r.Bottom < in.Top) dy = in.Top - r.Bottom;
      if (r.Top > in.Bottom) dy = in.Bottom - r.Top;
      r.Offset(dx, dy);
      int minTop = area.Top - (GetSystemMetrics(SM_CYSMCAPTION) + ffs.Y) + 4;
      if (r.Top < minTop) r.Offset(0, minTop - r.Top);
    }
    if (r.IsEmpty())
      ::SetCursor(LoadCursorW(nullptr, IDC_NO));
    else if (FSplitting)
      ::SetCursor(LoadCursorW(nullptr, target && target->IsVertical() ? IDC_SIZENS : IDC_SIZEWE));
    else
      ::SetCursor(remembered);
    rect = r;
    if (!FSmoothDragging) {
      outline.Move(r, target ? 1 : ffs.X);
    } else if (!r.IsEmpty()) {
      ApplyDragRect(target, r, targetRec);
      if (GetCapture() != Handle() && HandleAllocated()) SetCapture(Handle());
    }
  };

  auto cleanup = [&]() {
    if (GetCapture() == Handle()) ReleaseCapture();
    outline.End();
    FSmoothDragging = false;
  };
  auto finish = [&]() {
    if (FUseLastDock && FCurrentDock) SetLastDock(FCurrentDock);
    if (FFloatingParent && !Floating()) ReleaseFloatingParent();
    if (!FCurrentDock) {
      FDockRow = FDragStartRow;
      FDockPos = FDragStartPos;
    }
    FDragging = FSplitting = FCanSplit = false;
    FDragStartDock = nullptr;
  };

  TScopeGuard finishing([&] { finish(); });
  {
    TScopeGuard ending([&] { cleanup(); });
    if (!FSmoothDragging) outline.Begin();
    SetCapture(Handle());
    TPoint start(gp.x, gp.y);
    last = start;
    evaluate(start, FCurrentDock != nullptr);
    MSG msg;
    while (GetCapture() == Handle()) {
      int rc = GetMessageW(&msg, nullptr, 0, 0);
      if (rc == -1) break;
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_CONTROL) {
        bool now = GetKeyState(VK_CONTROL) < 0 || msg.message == WM_KEYDOWN;
        if (msg.message == WM_KEYUP) now = false;
        if (now != ctrl) {
          ctrl = now;
          evaluate(last, true);
        }
        continue;
      }
      if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_ESCAPE) break;
      if (msg.message == WM_MOUSEMOVE) {
        TPoint c = MessageScreenPoint(msg);
        if (c.X != last.X || c.Y != last.Y) {
          last = c;
          evaluate(c, true);
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
  }
  if (drop && !rect.IsEmpty()) ApplyDragRect(target, rect, targetRec);
}

void TTfCustomDockableWindow::RunSizeLoop(int Edge) {
  RunSizeLoop(Edge, CurrentMessagePos());
}

void TTfCustomDockableWindow::RunSizeLoop(int Edge, const TPoint& StartCursor) {
  if (!Floating() || Edge < 0 || Edge > 7) return;
  TTfFloatingWindowParent* f = FFloatingParent;
  int minW = 0, minH = 0, maxW = 0, maxH = 0;
  GetResizeLimits(minW, minH, maxW, maxH);
  int dw = f->Width() - Width(), dh = f->Height() - Height();
  minW += dw, minH += dh;
  if (maxW > 0) maxW += dw;
  if (maxH > 0) maxH += dh;
  bool horz = Edge != 2 && Edge != 5, vert = Edge >= 2;
  bool leftSide = Edge == 0 || Edge == 3 || Edge == 6, topSide = Edge >= 2 && Edge <= 4;

  ResizeStarting(Edge);
  FlushPaintMessages();
  TDragOutline outline;
  bool smooth = SmoothDrag;
  bool clipped = false;
  TPoint ffs;
  GetFloatingFrameSize(ffs);
  TRect start = WindowRectOf(f->Handle()), rect = start;
  auto apply = [&](const TRect& R) {
    ++FRemeasureLock;
    TScopeGuard unlock([&] { --FRemeasureLock; });
    ResizeApplying();
    f->SetBounds(R.Left, R.Top, R.Width(), R.Height());
    RECT cr;
    GetClientRect(f->Handle(), &cr);
    ++FInternalBounds;
    TCustomControl::SetBounds(0, 0, cr.right, cr.bottom);
    --FInternalBounds;
    unlock.Dismiss();
    if (--FRemeasureLock == 0 && FRemeasurePending) Remeasure();
    KeepOnScreen(true);
  };
  auto cleanup = [&]() {
    if (GetCapture() == Handle()) ReleaseCapture();
    if (clipped) ClipCursor(nullptr);
    outline.End();
  };
  TScopeGuard ended([&] { ResizeEnded(); });
  bool apply_ = false;
  {
    TScopeGuard ending([&] { cleanup(); });
    if (!smooth) outline.Begin();
    SetCapture(Handle());
    if (ResizeClipCursor && !HasSeveralMonitors()) {
      TRect sr;
      ScreenArea(false, sr);
      RECT c = sr;
      ClipCursor(&c);
      clipped = true;
    }
    if (!smooth) outline.Move(rect, ffs.X);
    TPoint last = StartCursor;
    MSG msg;
    while (GetCapture() == Handle()) {
      int rc = GetMessageW(&msg, nullptr, 0, 0);
      if (rc == -1) break;
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_ESCAPE) break;
      if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
        if (msg.wParam == VK_CONTROL) continue;
      }
      if (msg.message == WM_MOUSEMOVE) {
        TPoint c = MessageScreenPoint(msg);
        if (c.X == last.X && c.Y == last.Y) continue;
        last = c;
        int mx = c.X - StartCursor.X, my = c.Y - StartCursor.Y;
        TRect r = start;
        // Moves one edge by Delta, keeping the extent within [MinV, MaxV] (MaxV 0: no limit).
        auto moveEdge = [](LONG& Lo, LONG& Hi, bool LowSide, int Delta, int MinV, int MaxV) {
          (LowSide ? Lo : Hi) += Delta;
          LONG ext = std::max<LONG>(Hi - Lo, MinV);
          if (MaxV > 0) ext = std::min<LONG>(ext, MaxV);
          if (LowSide)
            Lo = Hi - ext;
          else
            Hi = Lo + ext;
        };
        if (horz) moveEdge(r.Left, r.Right, leftSide, mx, minW, maxW);
        if (vert) moveEdge(r.Top, r.Bottom, topSide, my, minH, maxH);
        ResizeTracking(r, start);
        if (r.Left == rect.Left && r.Top == rect.Top && r.Right == rect.Right &&
            r.Bottom == rect.Bottom)
          continue;
        rect = r;
        if (smooth)
          apply(rect);
        else
          outline.Move(rect, ffs.X);
        continue;
      }
      if (msg.message == WM_LBUTTONUP) {
        apply_ = !smooth;
        break;
      }
      if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK) break;
      if (msg.message >= WM_RBUTTONDOWN && msg.message <= WM_MBUTTONDBLCLK) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (apply_) apply(rect);
}

// ---------------------------------------------------------------------------
// Stored positions

namespace {

template <class T> void ComponentsOf(TComponent* Owner, std::vector<T*>& Out) {
  for (int i = 0; i < Owner->ComponentCount(); ++i) {
    TComponent* c = Owner->Components(i);
    if (auto* t = dynamic_cast<T*>(c))
      if (!t->Name().empty()) Out.push_back(t);
    ComponentsOf(c, Out);
  }
}

TTfPositionData IniPositionData(TCustomIniFile* Ini, const std::wstring& Prefix) {
  TTfPositionData d;
  d.ReadInt = [Ini, Prefix](const std::wstring& Toolbar, const std::wstring& Value, int Default,
                            void*) { return Ini->ReadInteger(Prefix + Toolbar, Value, Default); };
  d.WriteInt = [Ini, Prefix](const std::wstring& Toolbar, const std::wstring& Value, int V, void*) {
    Ini->WriteInteger(Prefix + Toolbar, Value, V);
  };
  return d;
}

} // namespace

void TfSavePositions(TCustomForm* Form, TCustomIniFile* Ini, const std::wstring& Prefix) {
  std::vector<TTfCustomDockableWindow*> windows;
  ComponentsOf(Form, windows);
  TTfPositionData data = IniPositionData(Ini, Prefix);
  for (auto* w : windows) {
    std::wstring sec = Prefix + w->Name();
    Ini->EraseSection(sec);
    Ini->WriteBool(sec, L"Visible", w->Visible());
    Ini->WriteString(sec, L"Dock", w->CurrentDock() ? w->CurrentDock()->Name() : L"");
    Ini->WriteString(sec, L"LastDock", w->LastDock() ? w->LastDock()->Name() : L"");
    Ini->WriteInteger(sec, L"DockRow", w->DockRow());
    Ini->WriteInteger(sec, L"DockPos", w->DockPos());
    TPoint fp = w->FloatingPosition();
    Ini->WriteInteger(sec, L"FloatLeft", fp.X);
    Ini->WriteInteger(sec, L"FloatTop", fp.Y);
    w->WritePosition(data);
  }
}

void TfLoadPositions(TCustomForm* Form, TCustomIniFile* Ini, const std::wstring& Prefix) {
  std::vector<TTfCustomDockableWindow*> windows;
  std::vector<TTfDock*> docks;
  ComponentsOf(Form, windows);
  ComponentsOf(Form, docks);
  auto dockNamed = [&docks](const std::wstring& Name) -> TTfDock* {
    for (auto* d : docks)
      if (!Name.empty() && d->Name() == Name) return d;
    return nullptr;
  };
  TTfPositionData data = IniPositionData(Ini, Prefix);
  for (auto* d : docks)
    d->LockArrangement();
  std::vector<TTfCustomDockableWindow*> read;
  {
    TScopeGuard unlock([&] {
      for (auto* d : docks)
        d->UnlockArrangement();
    });
    for (auto* w : windows) {
      std::wstring sec = Prefix + w->Name();
      if (!Ini->SectionExists(sec)) continue;
      read.push_back(w);
      w->SetDockRow(Ini->ReadInteger(sec, L"DockRow", w->DockRow()));
      w->SetDockPos(Ini->ReadInteger(sec, L"DockPos", w->DockPos()));
      TPoint fp = w->FloatingPosition();
      w->PlaceFloating(TPoint(Ini->ReadInteger(sec, L"FloatLeft", fp.X),
                              Ini->ReadInteger(sec, L"FloatTop", fp.Y)));
      if (TTfDock* last = dockNamed(Ini->ReadString(sec, L"LastDock", L""))) w->SetLastDock(last);
      bool visible = Ini->ReadBool(sec, L"Visible", w->Visible());
      if (TTfDock* d = dockNamed(Ini->ReadString(sec, L"Dock", L""))) {
        if (d != w->CurrentDock()) w->SetParent(d);
      } else if (w->DockMode == dmCanFloat) {
        w->MakeFloating(true);
        w->KeepOnScreen(false);
      }
      w->SetVisible(visible);
      w->ReadPosition(data);
    }
  }
  for (auto* w : read)
    w->FinishPositionRead();
}
