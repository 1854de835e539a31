#include "skin/SkinBoxCtrls.h"

#include "framework/Forms.h"
#include "framework/Messages.h"

namespace {

// Frees the context menu once the menu command that reported itself returned.
constexpr UINT WM_FREECONTEXTMENU = WM_APP + 24;

struct TEditCommand {
  const wchar_t* Name;
  const wchar_t* Own;
};
constexpr TEditCommand kCommands[] = {
    {L"EDIT_UNDO", L"Undo"},   {nullptr, L"-"},
    {L"EDIT_CUT", L"Cut"},     {L"EDIT_COPY", L"Copy"},
    {L"EDIT_PASTE", L"Paste"}, {L"EDIT_DELETE", L"Delete"},
    {nullptr, L"-"},           {L"EDIT_SELECTALL", L"Select All"},
};

} // namespace

// ---------------------------------------------------------------------------
// TskCustomEdit

TskCustomEdit::TskCustomEdit(TComponent* AOwner) : TEdit(AOwner) {
  SetControlStyle(ControlStyle() | csOpaque);
}

TskCustomEdit::~TskCustomEdit() {
  delete FContextMenu;
  FContextMenu = nullptr;
}

void TskCustomEdit::SetTransparentBack(bool Value) {
  if (FTransparentBack == Value) return;
  FTransparentBack = Value;
  RecreateWnd();
}

void TskCustomEdit::CreateParams(TCreateParams& Params) {
  TEdit::CreateParams(Params);
  Params.Style &= ~WS_BORDER;
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
  if (FTransparentBack) Params.ExStyle |= WS_EX_TRANSPARENT;
  Params.Style |= PasswordChar() ? ES_PASSWORD : ES_MULTILINE;
}

void TskCustomEdit::Invalidate() {
  if (!FTransparentBack || !Parent() || !HandleAllocated()) {
    TEdit::Invalidate();
    return;
  }
  RECT r{Left(), Top(), Left() + Width(), Top() + Height()};
  if (Parent()->HandleAllocated()) InvalidateRect(Parent()->Handle(), &r, TRUE);
  RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TskCustomEdit::Change() {
  TEdit::Change();
  if (FTransparentBack) Invalidate();
}

void TskCustomEdit::FreeContextMenu() {
  delete FContextMenu;
  FContextMenu = nullptr;
}

TskSkinPopupMenu* TskCustomEdit::BuildContextMenu() {
  FreeContextMenu();
  FContextMenu = new TskSkinPopupMenu(this);
  TCustomForm* form = GetParentForm(this);
  if (form && form->FormStyle() == fsMDIChild && Application) form = Application->MainForm();
  FContextMenu->ComponentForm = form;
  TskResourceStrData* strs = nullptr;
  if (TskSkinMenuHost* host = FindSkinFormOf(form))
    if (TskSkinData* sd = host->MenusSkinData()) strs = sd->ResourceStrData();
  int start = SelStart(), len = SelLength();
  int textLen = static_cast<int>(Text().size());
  bool selected = len > 0;
  const bool enabled[] = {CanUndo(),          true,     selected, selected,
                          ClipboardHasText(), selected, true,     !(start == 0 && len == textLen)};
  const std::function<void()> ops[] = {[this] { Undo(); },
                                       nullptr,
                                       [this] { CutToClipboard(); },
                                       [this] { CopyToClipboard(); },
                                       [this] { PasteFromClipboard(); },
                                       [this] { ClearSelection(); },
                                       nullptr,
                                       [this] { SelectAll(); }};
  for (int i = 0; i < 8; ++i) {
    auto* item = new TMenuItem(FContextMenu);
    const TEditCommand& c = kCommands[i];
    std::wstring caption = c.Own;
    if (c.Name && strs) caption = strs->GetResString(c.Name);
    item->SetCaption(caption);
    item->SetEnabled(enabled[i]);
    if (ops[i]) {
      auto op = ops[i];
      item->OnClick = [op](TObject*) { op(); };
    }
    FContextMenu->Items()->Add(item);
  }
  return FContextMenu;
}

void TskCustomEdit::ShowContextMenu(int X, int Y) {
  if (X < 0 || Y < 0) {
    TPoint p = ClientToScreen(TPoint(0, 0));
    X = p.X + Width() / 2;
    Y = p.Y + Height() / 2;
  }
  BuildContextMenu()->PopupForEdit(this, X, Y);
}

void TskCustomEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case WM_CONTEXTMENU:
    if (PopupMenu()) break;
    ShowContextMenu(static_cast<short>(LOWORD(Message.LParam)),
                    static_cast<short>(HIWORD(Message.LParam)));
    Message.Result = 0;
    return;
  case WM_SKINMENUCOMMAND:
    // The command of the menu is still on the stack: free it afterwards.
    if (HandleAllocated()) PostMessageW(Handle(), WM_FREECONTEXTMENU, 0, 0);
    return;
  case WM_FREECONTEXTMENU:
    FreeContextMenu();
    return;
  case CM_CANCELMODE:
    TEdit::WndProc(Message);
    if (CancelModeNotify) CancelModeNotify(reinterpret_cast<TObject*>(Message.LParam));
    return;
  case WM_SETFONT:
    TEdit::WndProc(Message);
    if (HandleAllocated())
      SendMessageW(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(2, 0));
    return;
  case WM_CHAR:
    if (Message.WParam == 27 || Message.WParam == 13) {
      wchar_t key = static_cast<wchar_t>(Message.WParam);
      if (OnKeyPress) OnKeyPress(this, key);
      if (TCustomForm* f = GetParentForm(this))
        f->Perform(CM_DIALOGKEY, Message.WParam == 13 ? VK_RETURN : VK_ESCAPE, Message.LParam);
      return;
    }
    break;
  case CN_CTLCOLOREDIT:
  case CN_CTLCOLORSTATIC:
    if (FTransparentBack) {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, ColorToRGB(Font()->Color()));
      Message.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      return;
    }
    break;
  case WM_ERASEBKGND:
    if (FTransparentBack) {
      Invalidate();
      Message.Result = 1;
      return;
    }
    break;
  case WM_LBUTTONDOWN:
    FMouseHeld = true;
    TEdit::WndProc(Message);
    if (FTransparentBack) Invalidate();
    return;
  case WM_LBUTTONUP:
    FMouseHeld = false;
    break;
  case WM_MOUSEMOVE:
    TEdit::WndProc(Message);
    if (FTransparentBack && FMouseHeld) Invalidate();
    return;
  case WM_SETFOCUS:
    TEdit::WndProc(Message);
    if (AutoSelect()) SelectAll();
    if (FTransparentBack) Invalidate();
    return;
  case WM_KEYDOWN:
  case WM_SETTEXT:
  case WM_MOVE:
  case WM_CUT:
  case WM_PASTE:
  case WM_CLEAR:
  case WM_UNDO:
  case WM_KILLFOCUS:
    TEdit::WndProc(Message);
    if (FTransparentBack) Invalidate();
    return;
  default:
    break;
  }
  TEdit::WndProc(Message);
}

// ---------------------------------------------------------------------------
// TskSkinNumEdit

TskSkinNumEdit::TskSkinNumEdit(TComponent* AOwner) : TskCustomEdit(AOwner) {
  TypingAllowed = true;
}

bool TskSkinNumEdit::CharAccepted(wchar_t C) {
  wchar_t dec = L'.';
  wchar_t buf[4] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, 4) > 0 && buf[0]) dec = buf[0];
  bool ok =
      C == L'-' || (C >= L'0' && C <= L'9') || (AllowDecimal && C == dec) || (C < 32 && C != 13);
  if (!ok) return false;
  if (!TypingAllowed && (C >= 32 || C == 8)) return false;
  std::wstring t = Text();
  if (AllowDecimal && C == dec && t.find(dec) != std::wstring::npos) return false;
  if (C == L'-' && t.find(L'-') != std::wstring::npos) return false;
  return true;
}

void TskSkinNumEdit::KeyDown(WORD& Key, TShiftState Shift) {
  if (Key == VK_UP && UpNotify) {
    UpNotify(this);
    Key = 0;
    return;
  }
  if (Key == VK_DOWN && DownNotify) {
    DownNotify(this);
    Key = 0;
    return;
  }
  TskCustomEdit::KeyDown(Key, Shift);
}

void TskSkinNumEdit::KeyPress(wchar_t& Key) {
  if (!CharAccepted(Key)) {
    Key = 0;
    MessageBeep(0);
    return;
  }
  TskCustomEdit::KeyPress(Key);
}

void TskSkinNumEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case CM_MOUSEENTER:
    TskCustomEdit::WndProc(Message);
    if (MouseEnterNotify) MouseEnterNotify(this);
    return;
  case CM_MOUSELEAVE:
    TskCustomEdit::WndProc(Message);
    if (MouseLeaveNotify) MouseLeaveNotify(this);
    return;
  case WM_MOUSEWHEEL:
    if (static_cast<short>(HIWORD(Message.WParam)) > 0) {
      if (DownNotify) DownNotify(this);
    } else if (UpNotify) {
      UpNotify(this);
    }
    return;
  case WM_CHAR:
    // Enter is refused by the number filter before the edit sees it.
    if (Message.WParam == 13) {
      MessageBeep(0);
      return;
    }
    break;
  default:
    break;
  }
  TskCustomEdit::WndProc(Message);
}

// ---------------------------------------------------------------------------
// Skin hooks of the edit and the memos

namespace {

void SetSkinFontOf(TFont* F, const TskSkinFontCopy& Skin) {
  F->SetName(Skin.FontName);
  F->SetStyle(Skin.FontStyle.Bits);
  F->SetHeight(Skin.FontHeight);
}

int ScreenTextHeight(TFont* F) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, F->Handle());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

// A skinned scroll bar takes its alignment again.
void Realign(TskSkinScrollBar* Bar) {
  if (!Bar || Bar->Align() == alNone) return;
  TAlign a = Bar->Align();
  Bar->SetAlign(alNone);
  Bar->SetAlign(a);
}

// Copies the font and colour values of a memo description; true with one.
bool CopyMemoFont(TskSkinMemo* C, const TskDataSkinMemoControl* D) {
  if (!D) return false;
  C->Skin.FontName = D->FontName;
  C->Skin.FontHeight = D->FontHeight;
  C->Skin.FontStyle = D->FontStyle;
  C->Skin.FontColor = D->FontColor;
  C->ActiveFontColor = D->ActiveFontColor;
  C->BGColor = D->BGColor;
  C->ActiveBGColor = D->ActiveBGColor;
  return true;
}

// The font, colour and character set of a memo from its copies.
void ApplyMemoFont(TskSkinMemo* C) {
  if (C->SkinIndex < 0 || !C->UseSkinFont)
    C->Font()->Assign(C->DefaultFont.get());
  else
    SetSkinFontOf(C->Font(), C->Skin);
  if (C->SkinIndex >= 0) {
    if (C->UseSkinFontColor)
      C->Font()->SetColor(
          static_cast<TColor>(C->Focused() ? C->ActiveFontColor : C->Skin.FontColor));
    C->SetColor(static_cast<TColor>(C->BGColor));
  }
  C->Font()->SetCharset(C->SkinCharset());
}

} // namespace

void ApplyEditSkin(TskSkinEdit* C) {
  auto* d = dynamic_cast<TskDataSkinEditControl*>(C->ReadDescription());
  const bool has = C->SkinIndex >= 0;
  if (!has) {
    C->Font()->Assign(C->DefaultFont.get());
    if (C->DefaultWidth > 0) C->SetWidth(C->DefaultWidth);
    if (C->DefaultHeight > 0) C->SetHeight(C->DefaultHeight);
  } else if (d) {
    C->Picture = C->SkinData->ActivePicture(d->PictureIndex);
    C->SkinRect = d->SkinRect;
    C->ActiveSkinRect = IsNullRect(d->ActiveSkinRect) ? d->SkinRect : d->ActiveSkinRect;
    C->LeftPart = d->LTPoint.x;
    C->RightPart = RectWidth(d->SkinRect) - d->RTPoint.x;
    C->ClientRect = d->ClientRect;
    C->Skin.FontName = d->FontName;
    C->Skin.FontHeight = d->FontHeight;
    C->Skin.FontStyle = d->FontStyle;
    C->Skin.FontColor = d->FontColor;
    C->DisabledFontColor = d->DisabledFontColor;
    C->ActiveFontColor = d->ActiveFontColor;
    C->ButtonRect = d->ButtonRect;
    C->ActiveButtonRect = d->ActiveButtonRect;
    C->DownButtonRect = IsNullRect(d->DownButtonRect) ? d->ActiveButtonRect : d->DownButtonRect;
    C->UnEnabledButtonRect = d->UnEnabledButtonRect;
    C->StretchEffect = d->StretchEffect;
    if (C->UseSkinFont) {
      C->Font()->SetName(d->FontName);
      C->Font()->SetStyle(d->FontStyle.Bits);
      C->SetHeight(RectHeight(d->SkinRect));
      C->Font()->SetHeight(d->FontHeight);
    } else {
      C->Font()->Assign(C->DefaultFont.get());
    }
    C->Font()->SetColor(static_cast<TColor>(C->Focused() ? d->ActiveFontColor : d->FontColor));
  }
  C->Font()->SetCharset(C->SkinCharset());
  if (C->HandleAllocated()) C->RecreateWnd();
  if (C->Enabled())
    C->Font()->SetColor(
        !has ? C->DefaultFont->Color()
             : static_cast<TColor>(C->Focused() ? C->ActiveFontColor : C->Skin.FontColor));
  else
    C->Font()->SetColor(!has ? clGrayText : static_cast<TColor>(C->DisabledFontColor));
  if (!C->UseSkinFont)
    C->SetHeight(ScreenTextHeight(C->Font()) +
                 (has ? RectHeight(C->SkinRect) - RectHeight(C->ClientRect) : 4));
}

void TskSkinMemo::CreateParams(TCreateParams& Params) {
  TEdit::CreateParams(Params);
  Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL;
}

bool TskSkinMemo::ReadScrollInfo(int Bar, SCROLLINFO& Info) {
  Info = SCROLLINFO{};
  Info.cbSize = sizeof(Info);
  Info.fMask = SIF_ALL;
  return HandleAllocated() && GetScrollInfo(Handle(), Bar, &Info);
}

void TskSkinMemo::SyncScrollBars() {
  const std::pair<TskSkinScrollBar*, int> bars[] = {{VScrollBar, SB_VERT}, {HScrollBar, SB_HORZ}};
  for (const auto& [bar, kind] : bars) {
    if (!bar) continue;
    if (!Enabled()) {
      bar->SetEnabled(false);
      continue;
    }
    SCROLLINFO si;
    const bool known = ReadScrollInfo(kind, si);
    // A bar is needed while the page shows less than the whole range.
    const long long range = static_cast<long long>(si.nMax) - si.nMin + 1;
    if (known && static_cast<long long>(si.nPage) < range) {
      bar->SetRange(0, si.nMax, si.nPos, static_cast<int>(si.nPage));
      bar->SetEnabled(true);
    } else {
      bar->SetRange(0, 0, 0, 0);
      bar->SetEnabled(false);
    }
  }
}

void ApplyMemoSkin(TskSkinMemo* C) {
  auto* d = dynamic_cast<TskDataSkinMemoControl*>(C->ReadDescription());
  if (d) {
    C->Frame.Picture = C->SkinData->ActivePicture(d->PictureIndex);
    C->Frame.SkinRect = d->SkinRect;
    C->ActiveSkinRect = IsNullRect(d->ActiveSkinRect) ? d->SkinRect : d->ActiveSkinRect;
    C->Frame.LTPoint = d->LTPoint;
    C->Frame.RTPoint = d->RTPoint;
    C->Frame.LBPoint = d->LBPoint;
    C->Frame.RBPoint = d->RBPoint;
    C->Frame.ClientRect = d->ClientRect;
    C->Frame.LeftStretch = d->LeftStretch;
    C->Frame.TopStretch = d->TopStretch;
    C->Frame.RightStretch = d->RightStretch;
    C->Frame.BottomStretch = d->BottomStretch;
    C->Frame.StretchEffect = d->StretchEffect;
    C->Frame.StretchType = d->StretchType;
    CopyMemoFont(C, d);
  }
  ApplyMemoFont(C);
  C->SyncScrollBars();
  Realign(C->VScrollBar);
  const bool has = C->SkinIndex >= 0;
  if (!C->Enabled())
    C->Font()->SetColor(clGrayText);
  else if (has && C->UseSkinFontColor)
    C->Font()->SetColor(static_cast<TColor>(C->Skin.FontColor));
  else
    C->Font()->SetColor(C->DefaultFont->Color());
  if (!C->AdjustTextRect) return;
  TRect r = C->ClientRect();
  if (!has) {
    r.Left += C->Border ? 3 : 6;
    r.Top += 2;
    r.Right -= 4;
    r.Bottom -= 2;
  } else {
    const RECT& cr = C->Frame.ClientRect;
    r.Left += cr.left + 1 + (C->Border ? 0 : 2);
    r.Top += cr.top + 1 + (C->Border ? 0 : 1);
    r.Right += cr.right - RectWidth(C->Frame.SkinRect) - 3;
    r.Bottom += cr.bottom - RectHeight(C->Frame.SkinRect) - 2;
  }
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  C->TextRect = r;
  if (C->HandleAllocated())
    SendMessageW(C->Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(r.R()));
}

void ApplyScrollMemoSkin(TskSkinScrollMemo* C) {
  CopyMemoFont(C, dynamic_cast<TskDataSkinMemoControl*>(C->ReadDescription()));
  ApplyMemoFont(C);
  Realign(C->VScrollBar);
  Realign(C->HScrollBar);
  C->SyncScrollBars();
}

// ---------------------------------------------------------------------------
// Shared drawing pieces of the list and combo boxes

namespace {

constexpr UINT kRepeatTimer = 1;
// Sent by nothing in the program; a list without items answers it.
constexpr UINT CM_SKINLISTBACKGROUND = 48202;
constexpr LPARAM kListBackgroundQuery = 16802;
constexpr LRESULT kListBoxSkinAnswer = 12851;

void FillRectColor(TCanvas* C, const RECT& R, TColor Color) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color);
  C->FillRect(TRect(R));
}

void FrameAndFill(TCanvas* C, const RECT& R, TColor Frame, TColor Fill) {
  FillRectColor(C, R, Fill);
  C->Brush()->SetColor(Frame);
  C->FrameRect(TRect(R));
}

// Copies a picture's rectangle to a canvas point.
void CopyPart(HDC DC, int X, int Y, const TskPicture& Pic, const RECT& Src) {
  if (!SkinRectInPicture(Src, &Pic)) return;
  DrawPictureRect(DC, MakeRect(X, Y, X + RectWidth(Src), Y + RectHeight(Src)), Pic, Src);
}

void CopyPartTransparent(HDC DC, int X, int Y, const TskPicture& Pic, const RECT& Src,
                         TColor Trans) {
  if (!SkinRectInPicture(Src, &Pic)) return;
  HDC mem = CreateCompatibleDC(DC);
  HGDIOBJ old = SelectObject(mem, Pic.Handle());
  TransparentBlt(DC, X, Y, RectWidth(Src), RectHeight(Src), mem, Src.left, Src.top, RectWidth(Src),
                 RectHeight(Src), ColorToRGB(Trans));
  SelectObject(mem, old);
  DeleteDC(mem);
}

bool RectSet(const RECT& R) {
  return RectWidth(R) > 0 && RectHeight(R) > 0;
}

// The tab stops of TabWidths: digits only give a number, anything else 0.
std::vector<int> TabStops(TStrings* Widths) {
  std::vector<int> stops;
  for (int i = 0; i < Widths->Count() && i < 10; ++i) {
    std::wstring s = Widths->Get(i);
    bool digits = !s.empty() && s.size() < 9;
    for (wchar_t ch : s)
      if (std::wstring(L"01234567890").find(ch) == std::wstring::npos) digits = false;
    stops.push_back(digits ? std::stoi(s) : 0);
  }
  return stops;
}

void TabbedText(TCanvas* C, const std::wstring& S, TStrings* Widths, int Indent, const RECT& R) {
  std::vector<int> stops = TabStops(Widths);
  HDC dc = C->Handle();
  int th = C->TextHeight(S.empty() ? L"0" : S);
  SetBkMode(dc, TRANSPARENT);
  TabbedTextOutW(dc, R.left + Indent + 2, R.top + RectHeight(R) / 2 - th / 2, S.c_str(),
                 static_cast<int>(S.size()), static_cast<int>(stops.size()), stops.data(), 0);
}

// Draws image Index of a list at the left of R, centred vertically.
void DrawListImage(TCanvas* C, TCustomImageList* Images, int Index, int X, const RECT& R) {
  if (!Images || Index < 0 || Index >= Images->Count()) return;
  Images->Draw(C, X, R.top + RectHeight(R) / 2 - Images->Height() / 2, Index, true);
}

} // namespace

// Tab stops of an item text, exposed for tests through the list box's drawing.
std::vector<int> SkinListTabStops(TStrings* Widths) {
  return TabStops(Widths);
}

// ---------------------------------------------------------------------------
// TskListBox

TskListBox::TskListBox(TComponent* AOwner) : TListBox(AOwner) {
  SetCtl3D(false);
  FControlStyle = csCaptureMouse | csOpaque | csDoubleClicks;
  SetStyle(lbOwnerDrawFixed);
}

void TskListBox::CreateParams(TCreateParams& Params) {
  TListBox::CreateParams(Params);
  Params.Style &= ~WS_BORDER;
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
  Params.WindowClass.style = CS_DBLCLKS;
  Params.Style |= WS_TABSTOP;
  // The skinned bars stand in for the platform's, which would only change
  // the frame on every insertion.
  Params.Style &= ~(WS_VSCROLL | WS_HSCROLL);
}

void TskListBox::CreateWnd() {
  TListBox::CreateWnd();
  FLastTop = -1;
  if (OwnerListBox) OwnerListBox->ListBoxCreated();
}

void TskListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  int oldWidth = Width();
  TListBox::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (AWidth != oldWidth && HorizontalOffset >= 1) {
    HorizontalOffset = std::max(0, HorizontalOffset + oldWidth - AWidth);
    Invalidate();
  }
}

TOwnerDrawState TskListBox::PaintState(int Index) {
  if (Index == ItemIndex()) return Focused() ? odSelected | odFocused : odSelected;
  if (SelCount() > 0 && Selected(Index)) return odSelected;
  return 0;
}

int TskListBox::ItemAt(int X, int Y) const {
  if (!HandleAllocated()) return -1;
  int h = ItemHeight(), count = Items()->Count();
  if (h <= 0 || X < 0 || Y < 0 || X >= Width() || Y >= Height()) return -1;
  if (Columns() > 0) return ItemAtPos(TPoint(X, Y), true);
  int index = TopIndex() + Y / h;
  return index < count ? index : -1;
}

void TskListBox::PaintWindow(HDC DC) {
  int w = Width(), h = Height();
  if (w <= 0 || h <= 0 || !OwnerListBox) return;
  int saved = SaveDC(DC);
  int ih = std::max(1, ItemHeight()), top = TopIndex(), count = Items()->Count();
  TCanvas* c = Canvas();
  c->Lock();
  c->SetHandle(DC);
  TScopeGuard restore([&] {
    c->SetHandle(nullptr);
    c->Unlock();
    RestoreDC(DC, saved);
  });
  if (Columns() <= 0) {
    int last = std::min(top + h / ih, count - 1), bottom = 0;
    for (int i = top; i <= last; ++i) {
      TRect r = ItemRect(i);
      OwnerListBox->DrawListItem(c, i, r, PaintState(i));
      bottom = r.Bottom;
    }
    if (bottom < h) OwnerListBox->PaintListBackground(DC, MakeRect(0, bottom, w, h));
  } else {
    OwnerListBox->PaintListBackground(DC, MakeRect(0, 0, w, h));
    int last = std::min(top + (h / ih) * Columns(), count - 1);
    for (int i = top; i <= last; ++i)
      OwnerListBox->DrawListItem(c, i, ItemRect(i), PaintState(i));
  }
}

void TskListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OwnerListBox) OwnerListBox->DrawListItem(Canvas(), Index, Rect, State);
}

void TskListBox::WndProc(TMessage& m) {
  if (OwnerListBox) {
    bool cont = true;
    OwnerListBox->ListBoxWndProcHook(m, cont);
    if (!cont) return;
  }
  TskSkinCustomListBox* o = OwnerListBox;
  switch (m.Msg) {
  case WM_NCCALCSIZE:
    // The whole window is client area: the platform's bars never take room.
    m.Result = 0;
    return;
  case WM_PAINT:
    PaintHandler(m);
    return;
  case WM_ERASEBKGND:
    if (o && Width() > 0 && Height() > 0 && m.WParam)
      o->PaintListBackground(reinterpret_cast<HDC>(m.WParam), MakeRect(0, 0, Width(), Height()));
    m.Result = 1;
    if (o) o->UpdateScrollBars();
    return;
  case CM_SKINQUERY:
    m.Result = kListBoxSkinAnswer;
    return;
  case CM_SKINLISTBACKGROUND:
    if (m.LParam == kListBackgroundQuery && Items()->Count() == 0) {
      if (m.WParam && o)
        o->PaintListBackground(reinterpret_cast<HDC>(m.WParam), MakeRect(0, 0, Width(), Height()));
      m.Result = kListBackgroundQuery;
      return;
    }
    break;
  case WM_MOUSEWHEEL:
    if (o && o->VScrollBar()) {
      short delta = static_cast<short>(HIWORD(m.WParam));
      SendMessageW(Handle(), WM_VSCROLL, delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
      o->UpdateScrollBars();
      m.Result = 0;
      return;
    }
    if (o && o->HScrollBar()) {
      TskSkinScrollBar* bar = o->HScrollBar();
      short delta = static_cast<short>(HIWORD(m.WParam));
      bar->SetPosition(bar->Position() + (delta > 0 ? -bar->SmallChange() : bar->SmallChange()));
      m.Result = 0;
      return;
    }
    break;
  case WM_KEYDOWN:
    if (o && o->HScrollBar() && (m.WParam == VK_LEFT || m.WParam == VK_RIGHT)) {
      TskSkinScrollBar* bar = o->HScrollBar();
      bar->SetPosition(bar->Position() +
                       (m.WParam == VK_LEFT ? -bar->SmallChange() : bar->SmallChange()));
      m.Result = 0;
      return;
    }
    break;
  case CM_ENTER:
    if (o) o->ListBoxEnter();
    break;
  case CM_EXIT:
    if (o) o->ListBoxExit();
    break;
  default:
    break;
  }
  bool outer = !FInWndProc;
  FInWndProc = true;
  {
    TScopeGuard restore([&] {
      if (outer) FInWndProc = false;
    });
    TListBox::WndProc(m);
  }
  // While the windows are being made the bars wait: making or freeing one
  // would change the children that the creation walks through.
  if (!o || !HandleAllocated() || (ControlState() & csCreating)) return;
  switch (m.Msg) {
  case WM_LBUTTONDBLCLK:
    DblClick();
    return;
  case LB_ADDSTRING:
  case LB_INSERTSTRING:
  case LB_DELETESTRING:
  case LB_RESETCONTENT:
    o->UpdateScrollBars();
    FLastTop = TopIndex();
    return;
  default:
    break;
  }
  // Keys, the wheel and selection moves scroll the list: the bar follows.
  if (outer) {
    int top = TopIndex();
    if (top != FLastTop) {
      FLastTop = top;
      o->UpdateScrollBars();
    }
  }
}

void TskListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OwnerListBox) OwnerListBox->ListBoxMouseDown(Button, Shift, X, Y);
  TListBox::MouseDown(Button, Shift, X, Y);
}

void TskListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OwnerListBox) OwnerListBox->ListBoxMouseUp(Button, Shift, X, Y);
  TListBox::MouseUp(Button, Shift, X, Y);
}

void TskListBox::MouseMove(TShiftState Shift, int X, int Y) {
  if (OwnerListBox) OwnerListBox->ListBoxMouseMove(Shift, X, Y);
  TListBox::MouseMove(Shift, X, Y);
}

void TskListBox::KeyDown(WORD& Key, TShiftState Shift) {
  TListBox::KeyDown(Key, Shift);
  if (OwnerListBox && Key) OwnerListBox->ListBoxKeyDown(Key, Shift);
}

void TskListBox::KeyUp(WORD& Key, TShiftState Shift) {
  TListBox::KeyUp(Key, Shift);
  if (OwnerListBox && Key) OwnerListBox->ListBoxKeyUp(Key, Shift);
}

void TskListBox::KeyPress(wchar_t& Key) {
  TListBox::KeyPress(Key);
  if (OwnerListBox && Key) OwnerListBox->ListBoxKeyPress(Key);
}

void TskListBox::Click() {
  TListBox::Click();
  if (OwnerListBox) OwnerListBox->ListBoxClick();
}

void TskListBox::DblClick() {
  TListBox::DblClick();
  if (OwnerListBox) OwnerListBox->ListBoxDblClick();
}

// ---------------------------------------------------------------------------
// TskSkinCustomListBox

TskSkinCustomListBox::TskSkinCustomListBox(TComponent* AOwner)
    : TskSkinCustomControl(AOwner), FTabWidths(std::make_unique<TStringList>()),
      FDefaultCaptionFont(std::make_unique<TFont>()), FGlyph(std::make_unique<TBitmap>()) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csOpaque | csDoubleClicks |
                  csReplicatable;
  FPaintFrameOnly = true;
  FFillClientArea = false;
  FSkinDataName = L"listbox";
  Font()->SetName(L"Arial");
  Font()->SetHeight(14);
  Font()->SetColor(clWindowText);
  Font()->SetStyle(0);
  FDefaultCaptionFont->SetName(L"Arial");
  FDefaultCaptionFont->SetHeight(14);
  FDefaultCaptionFont->OnChange = [this](TObject*) {
    if (FCaptionMode && FEntryIndex < 0) Invalidate();
  };
  FGlyph->OnChange = [this](TObject*) { Invalidate(); };
  FListBox = new TskListBox(this);
  FListBox->OwnerListBox = this;
  FListBox->SetParent(this);
  FListBox->SetItemHeight(FDefaultItemHeight);
  SetBounds(0, 0, 120, 120);
  LayoutList();
}

TskSkinCustomListBox::~TskSkinCustomListBox() {
  if (HandleAllocated()) KillTimer(Handle(), kRepeatTimer);
  FDefaultCaptionFont->OnChange = nullptr;
  FGlyph->OnChange = nullptr;
  delete FVScrollBar;
  FVScrollBar = nullptr;
  delete FHScrollBar;
  FHScrollBar = nullptr;
  FListBox->OwnerListBox = nullptr;
  delete FListBox;
  FListBox = nullptr;
}

void TskSkinCustomListBox::SetItems(TStrings* Value) {
  // One look at the bars and one paint for the whole list.
  bool redraw = FListBox->HandleAllocated();
  FUpdatingBars = true;
  {
    TScopeGuard restore([&] {
      FUpdatingBars = false;
      if (redraw) SendMessageW(FListBox->Handle(), WM_SETREDRAW, TRUE, 0);
    });
    if (redraw) {
      SendMessageW(FListBox->Handle(), WM_SETREDRAW, FALSE, 0);
      Items()->Clear();
      SendMessageW(FListBox->Handle(), LB_INITSTORAGE, static_cast<WPARAM>(Value->Count()), 0);
    }
    FListBox->SetItems(Value);
  }
  UpdateScrollBars();
  FListBox->Invalidate();
}

void TskSkinCustomListBox::SetColumns(int Value) {
  FListBox->SetColumns(Value);
  UpdateScrollBars();
}

void TskSkinCustomListBox::SetRowCount(int Value) {
  FRowCount = Value;
  if (Value != 0) SetHeight(CalcHeight(Value));
  UpdateScrollBars();
}

void TskSkinCustomListBox::SetDefaultItemHeight(int Value) {
  FDefaultItemHeight = Value;
  if (FEntryIndex < 0 || !FUseSkinItemHeight) FListBox->SetItemHeight(Value);
}

void TskSkinCustomListBox::SetHorizontalExtent(bool Value) {
  FHorizontalExtent = Value;
  UpdateScrollBars();
}

void TskSkinCustomListBox::SetTabWidths(TStrings* Value) {
  FTabWidths->Assign(*Value);
  if (FTabWidths->Count() > 0) FListBox->Invalidate();
}

void TskSkinCustomListBox::SetImages(TCustomImageList* Value) {
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  FListBox->Invalidate();
}

void TskSkinCustomListBox::SetImageIndex(int Value) {
  FImageIndex = Value;
  FListBox->Invalidate();
}

void TskSkinCustomListBox::SetCaptionMode(bool Value) {
  FCaptionMode = Value;
  if (FEntryIndex < 0) {
    LayoutList();
    Invalidate();
  }
}

void TskSkinCustomListBox::SetDefaultCaptionHeight(int Value) {
  FDefaultCaptionHeight = Value;
  if (FEntryIndex < 0 && FCaptionMode) {
    LayoutList();
    Invalidate();
  }
}

void TskSkinCustomListBox::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  if (FCaptionMode) Invalidate();
}

void TskSkinCustomListBox::SetNumGlyphs(int Value) {
  FNumGlyphs = Value;
  Invalidate();
}

void TskSkinCustomListBox::SetSpacing(int Value) {
  FSpacing = Value;
  Invalidate();
}

void TskSkinCustomListBox::SetSorted(bool Value) {
  RemoveVScrollBar();
  FListBox->SetSorted(Value);
}

void TskSkinCustomListBox::SetTopIndex(int Value) {
  FListBox->SetTopIndex(Value);
  UpdateScrollBars();
}

int TskSkinCustomListBox::CalcHeight(int Rows) {
  int ih = FListBox->ItemHeight();
  int h;
  if (FEntryIndex < 0) {
    h = Rows * ih + 4;
    if (FCaptionMode) h += FDefaultCaptionHeight;
  } else {
    h = RectHeight(FSkinRect) + Rows * ih - RectHeight(FSkinClientRect);
  }
  if (FHScrollBar) h += FHScrollBar->Height();
  return h;
}

void TskSkinCustomListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TskSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TskSkinCustomListBox::DefaultFontChanged() {
  if (FEntryIndex < 0) Font()->Assign(DefaultFont());
}

void TskSkinCustomListBox::CreateParams(TCreateParams& Params) {
  TskSkinCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TskSkinCustomListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TskSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (!FListBox) return;
  if (!HandleAllocated()) LayoutList();
  if (FEntryIndex < 0) Invalidate();
}

void TskSkinCustomListBox::ReadSkinEntry() {
  TskSkinCustomControl::ReadSkinEntry();
  if (FEntryIndex < 0) return;
  auto* e = dynamic_cast<TskDataSkinListBox*>(FSkinData->ControlAt(FEntryIndex));
  if (!e) return;
  FItemRect = e->ItemRect;
  FActiveItemRect = RectSet(e->ActiveItemRect) ? e->ActiveItemRect : e->ItemRect;
  FFocusItemRect = RectSet(e->FocusItemRect) ? e->FocusItemRect : e->ItemRect;
  FItemLeftOffset = e->ItemLeftOffset;
  FItemRightOffset = e->ItemRightOffset;
  FItemTextRect = e->ItemTextRect;
  FFontName = e->FontName;
  FFontStyle = e->FontStyle;
  FFontHeight = e->FontHeight;
  FFontColor = e->FontColor;
  FActiveFontColor = e->ActiveFontColor;
  FFocusFontColor = e->FocusFontColor;
  FSkinCaptionRect = e->CaptionRect;
  FCaptionFontName = e->CaptionFontName;
  FCaptionFontStyle = e->CaptionFontStyle;
  FCaptionFontHeight = e->CaptionFontHeight;
  FCaptionFontColor = e->CaptionFontColor;
  FUpButtonRect = e->UpButtonRect;
  FActiveUpButtonRect = e->ActiveUpButtonRect;
  FDownUpButtonRect = RectSet(e->DownUpButtonRect) ? e->DownUpButtonRect : e->ActiveUpButtonRect;
  FDownButtonRect = e->DownButtonRect;
  FActiveDownButtonRect = e->ActiveDownButtonRect;
  FDownDownButtonRect =
      RectSet(e->DownDownButtonRect) ? e->DownDownButtonRect : e->ActiveDownButtonRect;
  FCheckButtonRect = e->CheckButtonRect;
  FActiveCheckButtonRect = e->ActiveCheckButtonRect;
  FDownCheckButtonRect =
      RectSet(e->DownCheckButtonRect) ? e->DownCheckButtonRect : e->ActiveCheckButtonRect;
  FVScrollBarName = e->VScrollBarName;
  FHScrollBarName = e->HScrollBarName;
  FBothHScrollBarName = e->BothHScrollBarName;
  FShowFocus = e->ShowFocus;
}

void TskSkinCustomListBox::SkinBarNames() {
  bool entry = FEntryIndex >= 0;
  if (FVScrollBar) {
    FVScrollBar->SetSkinDataName(!entry ? L"" : Columns() < 1 ? FVScrollBarName : FHScrollBarName);
    FVScrollBar->SetSkinData(FSkinData);
  }
  if (FHScrollBar) {
    if (!entry) {
      FHScrollBar->SetSkinDataName(L"");
      FHScrollBar->SetBoth(FVScrollBar != nullptr);
      if (FVScrollBar) FHScrollBar->SetBothMarkerWidth(19);
    } else if (FVScrollBar) {
      FHScrollBar->SetBothSkinDataName(FBothHScrollBarName);
      FHScrollBar->SetSkinDataName(FBothHScrollBarName);
      FHScrollBar->SetBoth(true);
    } else {
      FHScrollBar->SetBoth(false);
      FHScrollBar->SetBothSkinDataName(FHScrollBarName);
      FHScrollBar->SetSkinDataName(FHScrollBarName);
    }
    FHScrollBar->SetSkinData(FSkinData);
  }
}

void TskSkinCustomListBox::ApplyControlSkin() {
  TskSkinCustomControl::ApplyControlSkin();
  FApplyingSkin = true;
  if (FEntryIndex < 0) {
    FListBox->SetItemHeight(FDefaultItemHeight);
    Font()->Assign(DefaultFont());
  } else if (FUseSkinItemHeight && RectHeight(FItemRect) > 0) {
    FListBox->SetItemHeight(RectHeight(FItemRect));
  }
  SkinBarNames();
  if (FRowCount != 0) SetHeight(CalcHeight(FRowCount));
  LayoutList();
  FApplyingSkin = false;
  UpdateScrollBars();
  FListBox->Invalidate();
}

// A bar's own thickness across its direction: from its skin entry, else 19.
static int BarThickness(TskSkinScrollBar* Bar, bool Vertical) {
  Bar->ReadSkinEntry();
  if (Bar->EntryIndex() >= 0) {
    int t = Vertical ? RectWidth(Bar->SkinRect()) : RectHeight(Bar->SkinRect());
    if (t > 0) return t;
  }
  return 19;
}

void TskSkinCustomListBox::LayoutList() {
  if (!FListBox) return;
  int W = Width(), H = Height();
  bool entry = FEntryIndex >= 0;
  int top = FCaptionMode ? FDefaultCaptionHeight : 1;
  if (entry) {
    FSkinListRect = FSkinClientRect;
    FSkinListRect.right += W - RectWidth(FSkinRect);
    FSkinListRect.bottom += H - RectHeight(FSkinRect);
  }
  int h = 0;
  if (Columns() == 0 && FHScrollBar && FHScrollBar->Visible()) {
    if (!entry) {
      FHScrollBar->SetBounds(1, H - 20, W - 2, 19);
      h = FHScrollBar->Height() - 1;
    } else {
      int bh = BarThickness(FHScrollBar, false);
      FHScrollBar->SetBounds(FSkinListRect.left, FSkinListRect.bottom - bh,
                             RectWidth(FSkinListRect), bh);
      h = bh;
    }
  }
  if (FVScrollBar && FVScrollBar->Visible()) {
    if (!entry && Columns() == 0) {
      FVScrollBar->SetBounds(W - 20, top, 19, H - top - h - 1);
      FListRect = MakeRect(2, top + 1, FVScrollBar->Left(), H - h - 2);
    } else if (!entry) {
      FVScrollBar->SetBounds(1, H - 20, W - 2, 19);
      FListRect = MakeRect(2, top + 1, W - 2, FVScrollBar->Top());
    } else if (Columns() == 0) {
      int bw = BarThickness(FVScrollBar, true);
      FVScrollBar->SetBounds(FSkinListRect.right - bw, FSkinListRect.top, bw,
                             RectHeight(FSkinListRect) - h);
      FListRect = MakeRect(FSkinListRect.left, FSkinListRect.top, FSkinListRect.right - bw,
                           FSkinListRect.bottom - h);
    } else {
      int bh = BarThickness(FVScrollBar, false);
      FVScrollBar->SetBounds(FSkinListRect.left, FSkinListRect.bottom - bh,
                             RectWidth(FSkinListRect), bh);
      FListRect = MakeRect(FSkinListRect.left, FSkinListRect.top, FSkinListRect.right,
                           FSkinListRect.bottom - bh);
    }
  } else if (!entry) {
    FListRect = MakeRect(2, top + 1, W - 2, H - h - 2);
  } else {
    FListRect = FSkinListRect;
    FListRect.bottom -= h;
  }
  if (!entry && FCaptionMode) {
    int a = std::min(FDefaultCaptionHeight - 3, 17);
    for (int i = 0; i < 3; ++i)
      FButtons[i].Rect = MakeRect(W - (i + 1) * a - 2, 2, W - i * a - 2, a + 1);
  }
  FListBox->SetBounds(FListRect.left, FListRect.top, std::max(0, RectWidth(FListRect)),
                      std::max(0, RectHeight(FListRect)));
}

int TskSkinCustomListBox::ItemTextWidth(int Index, TCanvas* C) {
  return C->TextWidth(Items()->Get(Index));
}

void TskSkinCustomListBox::VBarChange() {
  if (!FVScrollBar) return;
  // The position goes straight to the top index: a scroll message would
  // carry only 16 bits of it.
  int pos = FVScrollBar->Position();
  if (Columns() < 1) {
    FListBox->SetTopIndex(pos);
  } else {
    int rows = std::max(1, FListBox->Height() / std::max(1, FListBox->ItemHeight()));
    FListBox->SetTopIndex(pos * rows);
  }
  FListBox->Invalidate();
}

void TskSkinCustomListBox::MakeVScrollBar() {
  FVScrollBar = new TskSkinScrollBar(this);
  FVScrollBar->SetVisible(false);
  FVScrollBar->SetKind(Columns() < 1 ? sbVertical : sbHorizontal);
  FVScrollBar->SetRange(0, 0, 0, 0);
  FVScrollBar->OnChange = [this](TObject*) { VBarChange(); };
  FVScrollBar->SetParent(this);
  SkinBarNames();
  LayoutList();
  FVScrollBar->SetVisible(true);
  LayoutList();
  FVScrollBar->Invalidate();
}

void TskSkinCustomListBox::MakeHScrollBar() {
  FHScrollBar = new TskSkinScrollBar(this);
  FHScrollBar->SetVisible(false);
  FHScrollBar->SetKind(sbHorizontal);
  FHScrollBar->SetRange(0, 0, 0, 0);
  FHScrollBar->OnChange = [this](TObject*) {
    FListBox->HorizontalOffset = FHScrollBar->Position();
    FListBox->Invalidate();
  };
  FHScrollBar->SetParent(this);
  SkinBarNames();
  FHScrollBar->SetVisible(true);
  LayoutList();
  FHScrollBar->Invalidate();
}

void TskSkinCustomListBox::RemoveVScrollBar() {
  if (!FVScrollBar) return;
  FVScrollBar->SetVisible(false);
  delete FVScrollBar;
  FVScrollBar = nullptr;
  LayoutList();
}

void TskSkinCustomListBox::RemoveHScrollBar() {
  if (!FHScrollBar) return;
  FListBox->HorizontalOffset = 0;
  FHScrollBar->SetVisible(false);
  delete FHScrollBar;
  FHScrollBar = nullptr;
  LayoutList();
  FListBox->Invalidate();
}

void TskSkinCustomListBox::CreateWnd() {
  // Bars made while the windows are being made would change the list of
  // children that the creation walks through: they come afterwards.
  FCreatingWnd = true;
  {
    TScopeGuard restore([&] { FCreatingWnd = false; });
    TskSkinCustomControl::CreateWnd();
  }
  UpdateScrollBars();
}

void TskSkinCustomListBox::UpdateScrollBars() {
  // Bars live on the window: they are made once the list is there, and
  // never while windows are being made (that walks the list of children).
  if (!FListBox || FUpdatingBars || FCreatingWnd || !HandleAllocated() ||
      !FListBox->HandleAllocated() || (FListBox->ControlState() & csCreating) ||
      FListBox->ItemHeight() <= 0)
    return;
  FUpdatingBars = true;
  TScopeGuard reset([this] { FUpdatingBars = false; });
  int count = Items()->Count();
  int ih = std::max(1, FListBox->ItemHeight());
  if (Columns() < 1) {
    if (!FHorizontalExtent || FApplyingSkin) {
      RemoveHScrollBar();
    } else {
      TCanvas* c = FListBox->Canvas();
      if (FEntryIndex >= 0 && FUseSkinFont) {
        c->Font()->SetName(FFontName);
        c->Font()->SetStyle(FFontStyle.Bits);
        c->Font()->SetHeight(FFontHeight);
      } else {
        c->SetFont(FListBox->Font());
      }
      int widest = 0;
      for (int i = 0; i < count; ++i)
        widest = std::max(widest, ItemTextWidth(i, c));
      int room = FEntryIndex < 0
                     ? FListBox->Width() - 4
                     : FListBox->Width() + RectWidth(FItemTextRect) - RectWidth(FItemRect);
      if (FImages) room -= FImages->Width() + 4;
      if (auto* cc = dynamic_cast<TControlCanvas*>(c)) cc->FreeHandle();
      if (room < widest) {
        if (!FHScrollBar) MakeHScrollBar();
        int zero = std::max(1, FListBox->Canvas()->TextWidth(L"0"));
        if (auto* cc = dynamic_cast<TControlCanvas*>(FListBox->Canvas())) cc->FreeHandle();
        FHScrollBar->SetRange(0, widest, FHScrollBar->Position(), room);
        FHScrollBar->SetSmallChange(zero);
        FHScrollBar->SetLargeChange(zero);
      } else {
        RemoveHScrollBar();
      }
    }
    if (FRowCount < 1 || FRowCount != count) {
      int rows = FListBox->Height() / ih;
      if (count > 0 && rows < count) {
        if (!FVScrollBar) MakeVScrollBar();
        FVScrollBar->SetRange(0, count - 1, FListBox->TopIndex(), rows);
        FVScrollBar->SetLargeChange(std::max(1, rows));
        return;
      }
    }
  } else {
    int rows = std::max(1, FListBox->Height() / ih);
    int columnsNeeded = (count + rows - 1) / rows;
    if (rows * Columns() < count) {
      if (!FVScrollBar) MakeVScrollBar();
      FVScrollBar->SetRange(0, columnsNeeded - 1, FListBox->TopIndex() / rows, Columns());
      return;
    }
  }
  RemoveVScrollBar();
}

void TskSkinCustomListBox::PaintListBackground(HDC DC, const RECT& R) {
  if (RectWidth(R) <= 0 || RectHeight(R) <= 0) return;
  if (FEntryIndex < 0 || !FPicture) {
    HBRUSH b = CreateSolidBrush(ColorToRGB(clWindow));
    FillRect(DC, &R, b);
    DeleteObject(b);
    return;
  }
  RECT part = FSkinClientRect;
  OffsetRect(&part, FSkinRect.left, FSkinRect.top);
  if (!SkinRectInPicture(part, FPicture)) return;
  int cw = RectWidth(part), ch = RectHeight(part);
  int saved = SaveDC(DC);
  IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
  for (int y = 0; y < R.bottom; y += ch)
    for (int x = 0; x < R.right; x += cw)
      if (y + ch > R.top && x + cw > R.left) CopyPart(DC, x, y, *FPicture, part);
  RestoreDC(DC, saved);
}

void TskSkinCustomListBox::DrawTabbedText(TCanvas* C, const std::wstring& S, int Indent,
                                          const RECT& R) {
  TabbedText(C, S, FTabWidths.get(), Indent, R);
}

void TskSkinCustomListBox::DrawListItem(TCanvas* C, int Index, const TRect& R,
                                        TOwnerDrawState State) {
  if (Index < 0 || Index >= Items()->Count()) return;
  int W = R.Width(), H = R.Height();
  if (W <= 0 || H <= 0) return;
  bool focused = (State & odFocused) != 0, selected = (State & odSelected) != 0;
  bool skin = FEntryIndex >= 0 && FPicture;
  TBitmap b;
  RECT text;
  int eventHeight = H;
  TFont* f = nullptr;
  if (!skin) {
    b.SetSize(W, H);
    f = b.Canvas()->Font();
    f->SetName(Font()->Name());
    f->SetStyle(Font()->Style());
    f->SetHeight(Font()->Height());
    ApplyCharset(f, DefaultFont());
    FillRectColor(b.Canvas(), MakeRect(0, 0, W, H), selected ? clHighlight : clWindow);
    f->SetColor(selected ? clHighlightText : Font()->Color());
    text = MakeRect(2, 0, W - 2, H);
  } else if (FUseSkinItemHeight) {
    int bh = RectHeight(FItemRect) > 0 ? RectHeight(FItemRect) : H;
    b.SetSize(W, bh);
    const RECT* src = &FItemRect;
    bool stretch = false;
    if (focused && !selected) {
      stretch = FStretchEffect;
    } else if (focused && selected) {
      src = &FFocusItemRect;
      stretch = FStretchEffect;
    } else if (selected) {
      src = &FActiveItemRect;
      stretch = FStretchEffect;
    }
    // Without the item's picture the list's background shows through.
    PaintListBackground(b.Canvas()->Handle(), MakeRect(0, 0, W, bh));
    if (SkinRectInPicture(*src, FPicture)) {
      TskPicture p;
      CreateHSkinImage(FItemLeftOffset, FItemRightOffset, p, stretch, W, *src, *FPicture);
      DrawPicture(b.Canvas()->Handle(), 0, 0, p);
    }
    if (focused && !selected) b.Canvas()->DrawFocusRect(TRect(0, 0, W, bh));
    text = FItemTextRect;
    text.right += W - RectWidth(FItemRect);
    f = b.Canvas()->Font();
    SetSkinFont(f, FFontName, FFontHeight, FFontStyle);
    f->SetColor(focused && selected ? FFocusFontColor : selected ? FActiveFontColor : FFontColor);
    eventHeight = bh;
  } else {
    b.SetSize(W, H);
    const RECT& src = focused ? FFocusItemRect : selected ? FActiveItemRect : FItemRect;
    PaintListBackground(b.Canvas()->Handle(), MakeRect(0, 0, W, H));
    RECT cr = FItemTextRect;
    InflateRect(&cr, -1, -1);
    if (SkinRectInPicture(src, FPicture)) {
      TskPicture p(W, H);
      CreateStretchImage(p, *FPicture, src, cr, true);
      DrawPicture(b.Canvas()->Handle(), 0, 0, p);
    }
    text = FItemTextRect;
    text.right += W - RectWidth(FItemRect);
    text.bottom += H - RectHeight(FItemRect);
    f = b.Canvas()->Font();
    SetSkinFont(f, FFontName, FFontHeight, FFontStyle);
    f->SetColor(focused ? FFocusFontColor : selected ? FActiveFontColor : FFontColor);
    eventHeight = RectHeight(FItemRect);
  }
  TCanvas* bc = b.Canvas();
  SetBkMode(bc->Handle(), TRANSPARENT);
  bc->Brush()->SetStyle(bsClear);
  if (OnDrawItem) {
    OnDrawItem(bc, Index, b.Width(), eventHeight, TRect(text), State);
  } else {
    if (skin && focused && FShowFocus && FSkinData) {
      bc->Brush()->SetStyle(bsSolid);
      bc->Brush()->SetColor(FSkinData->SkinColors.cBtnFace);
      bc->FrameRect(TRect(0, 0, b.Width(), b.Height()));
      bc->Brush()->SetStyle(bsClear);
    }
    int indent = 0;
    if (FImages) {
      int image = FImageIndex < 0 ? Index : FImageIndex;
      DrawListImage(bc, FImages, image, text.left - FListBox->HorizontalOffset, text);
      indent = FImages->Width() + 2;
    }
    std::wstring s = Items()->Get(Index);
    bc->TextHeight(L"0"); // selects the font and its colour
    SetBkMode(bc->Handle(), TRANSPARENT);
    if (FTabWidths->Count() > 0 && Columns() < 1) {
      DrawTabbedText(bc, s, indent, skin ? text : MakeRect(0, 0, b.Width(), b.Height()));
    } else {
      HDC dc = bc->Handle();
      DrawTextClipped(dc, s, text, indent - FListBox->HorizontalOffset);
    }
    if (!skin && focused) {
      SetTextColor(bc->Handle(), 0);
      bc->DrawFocusRect(TRect(0, 0, b.Width(), b.Height()));
    }
  }
  BitBlt(C->Handle(), R.Left, R.Top, b.Width(), b.Height(), bc->Handle(), 0, 0, SRCCOPY);
}

void TskSkinCustomListBox::Paint() {
  TskSkinCustomControl::Paint();
  // The skin look's caption goes over the frame, whichever way it was drawn.
  ReadSkinEntry();
  if (FEntryIndex >= 0 && FCaptionMode) PaintCaption(Canvas(), true);
}

void TskSkinCustomListBox::PaintDefaultImage(TBitmap* Bitmap) {
  TskSkinCustomControl::PaintDefaultImage(Bitmap);
  PaintCaption(Bitmap->Canvas(), false);
}

void TskSkinCustomListBox::PaintSkinImage(TBitmap* Bitmap) {
  TskSkinCustomControl::PaintSkinImage(Bitmap);
}

void TskSkinCustomListBox::PaintCaption(TCanvas* C, bool Skin) {
  int W = Width(), H = Height();
  if (!Skin) {
    int a = std::min(FDefaultCaptionHeight - 3, 17);
    if (FCaptionMode) {
      FButtons[0].Rect = MakeRect(W - a - 2, 2, W - 2, a + 1);
      FButtons[1].Rect = FButtons[0].Rect;
      OffsetRect(&FButtons[1].Rect, -a, 0);
      FButtons[2].Rect = FButtons[1].Rect;
      OffsetRect(&FButtons[2].Rect, -a, 0);
    }
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnShadow);
    C->FrameRect(TRect(0, 0, W, H));
    if (!FCaptionMode) return;
    RECT cr = MakeRect(3, 2, W - 3 * a - 3, FDefaultCaptionHeight - 2);
    C->Font()->Assign(FDefaultCaptionFont.get());
    ApplyCharset(C->Font(), FDefaultCaptionFont.get());
    std::wstring text = Caption();
    int tw = C->TextWidth(text), th = C->TextHeight(text.empty() ? L"0" : text);
    int ng = FNumGlyphs < 1 ? 1 : FNumGlyphs;
    bool glyph = !FGlyph->Empty();
    int gw = glyph ? FGlyph->Width() / ng : 0;
    int content = tw + (glyph ? gw + FSpacing : 0);
    int x = FAlignment == taRightJustify ? cr.right - content
            : FAlignment == taCenter     ? cr.left + RectWidth(cr) / 2 - content / 2
                                         : cr.left;
    int ty = (FDefaultCaptionHeight - 2) / 2 - th / 2;
    if (glyph) {
      DrawGlyph(C, x, (FDefaultCaptionHeight - 2) / 2 - FGlyph->Height() / 2 - 1,
                !Enabled() && ng == 2 ? 2 : 1, ng, FGlyph.get());
      x += gw + FSpacing;
    }
    SetBkMode(C->Handle(), TRANSPARENT);
    C->Brush()->SetStyle(bsClear);
    C->TextRect(TRect(cr), x, ty, text);
    C->Pen()->SetColor(clBtnShadow);
    C->MoveTo(1, FDefaultCaptionHeight - 1);
    C->LineTo(W - 1, FDefaultCaptionHeight - 1);
    for (int i = 0; i < 3; ++i)
      DrawCaptionButton(C, i, false);
    return;
  }
  int dx = W - RectWidth(FSkinRect), dy = H - RectHeight(FSkinRect);
  FCaptionRect = FSkinCaptionRect;
  if (FCaptionRect.right >= FRTPoint.x) FCaptionRect.right += dx;
  const RECT* skinRects[3] = {&FUpButtonRect, &FDownButtonRect, &FCheckButtonRect};
  for (int i = 0; i < 3; ++i) {
    RECT r = *skinRects[i];
    POINT p = FRTPoint;
    if (r.top > FLTPoint.y) {
      OffsetRect(&r, 0, dy);
      p = FRBPoint;
    }
    if (p.x < r.left) OffsetRect(&r, dx, 0);
    FButtons[i].Rect = r;
  }
  if (RectSet(FSkinCaptionRect)) {
    TFont* f = C->Font();
    f->SetName(FCaptionFontName);
    f->SetHeight(FCaptionFontHeight);
    f->SetColor(FCaptionFontColor);
    f->SetStyle(FCaptionFontStyle.Bits);
    ApplyCharset(f, FDefaultCaptionFont.get());
    std::wstring text = Caption();
    int tw = C->TextWidth(text), th = C->TextHeight(text.empty() ? L"0" : text);
    int ng = FNumGlyphs < 1 ? 1 : FNumGlyphs;
    bool glyph = !FGlyph->Empty();
    int gw = glyph ? FGlyph->Width() / ng : 0;
    int content = tw + (glyph ? gw + FSpacing : 0);
    const RECT& cr = FCaptionRect;
    int x = FAlignment == taRightJustify ? cr.right - content - 2
            : FAlignment == taCenter     ? cr.left + 2 + RectWidth(cr) / 2 - content / 2
                                         : cr.left + 2;
    if (glyph) {
      DrawGlyph(C, x, cr.top + RectHeight(cr) / 2 - FGlyph->Height() / 2,
                !Enabled() && ng == 2 ? 2 : 1, ng, FGlyph.get());
      x += gw + FSpacing;
    }
    SetBkMode(C->Handle(), TRANSPARENT);
    C->Brush()->SetStyle(bsClear);
    C->TextRect(TRect(cr), x, cr.top + RectHeight(cr) / 2 - th / 2, text);
  }
  for (int i = 0; i < 3; ++i)
    DrawCaptionButton(C, i, true);
}

void TskSkinCustomListBox::DrawCaptionButton(TCanvas* C, int Index, bool Skin) {
  const TCaptionButton& b = FButtons[Index];
  if (!Skin) {
    if (b.Down && b.MouseIn)
      FrameAndFill(C, b.Rect, skDefaultFrameColor, skDefaultDownColor);
    else if (b.MouseIn)
      FrameAndFill(C, b.Rect, skDefaultFrameColor, skDefaultHotColor);
    else
      FillRectColor(C, b.Rect, clBtnFace);
    if (Index == 2)
      DrawCheckMark(C->Handle(), b.Rect.left + 4, b.Rect.top + 4, 0);
    else
      DrawArrow(C->Handle(), b.Rect, 0, Index == 0 ? 3 : 4);
    return;
  }
  if (!RectSet(b.Rect) || !FPicture) return;
  const RECT normal[3] = {FUpButtonRect, FDownButtonRect, FCheckButtonRect};
  const RECT active[3] = {FActiveUpButtonRect, FActiveDownButtonRect, FActiveCheckButtonRect};
  const RECT down[3] = {FDownUpButtonRect, FDownDownButtonRect, FDownCheckButtonRect};
  RECT src{};
  if (b.Down && b.MouseIn)
    src = down[Index];
  else if (b.MouseIn)
    src = active[Index];
  if (!RectSet(src)) {
    src = normal[Index];
    OffsetRect(&src, FSkinRect.left, FSkinRect.top);
  }
  CopyPart(C->Handle(), b.Rect.left, b.Rect.top, *FPicture, src);
}

TNotifyEvent& TskSkinCustomListBox::ButtonHandler(int Index) {
  return Index == 0 ? OnUpButtonClick : Index == 1 ? OnDownButtonClick : OnCheckButtonClick;
}

void TskSkinCustomListBox::SetRepeatTimer(UINT Interval) {
  FRepeatInterval = Interval;
  if (HandleAllocated()) SetTimer(Handle(), kRepeatTimer, Interval, nullptr);
}

void TskSkinCustomListBox::StartRepeat(int Direction) {
  FRepeatDirection = Direction;
  FRepeatFirstTick = true;
  SetRepeatTimer(500);
}

void TskSkinCustomListBox::StopRepeat() {
  if (HandleAllocated()) KillTimer(Handle(), kRepeatTimer);
  FRepeatInterval = 0;
  FRepeatDirection = 0;
}

void TskSkinCustomListBox::RepeatTick() {
  if (FRepeatDirection == 0) return;
  if (FRepeatFirstTick) {
    FRepeatFirstTick = false;
    SetRepeatTimer(100);
    return;
  }
  int index = ItemIndex();
  if (FRepeatDirection == 1 && index > 0) SetItemIndex(index - 1);
  if (FRepeatDirection == 2 && index < Items()->Count() - 1) SetItemIndex(index + 1);
}

void TskSkinCustomListBox::ButtonDefault(int Index) {
  int index = ItemIndex();
  if (Index == 0) {
    if (index > 0) SetItemIndex(index - 1);
  } else if (Index == 1) {
    if (index + 1 < Items()->Count()) SetItemIndex(index + 1);
  } else {
    FListBox->Click();
  }
}

void TskSkinCustomListBox::TrackButtons(int X, int Y) {
  if (!FCaptionMode) return;
  if (FEntryIndex >= 0 && !RectSet(FUpButtonRect) && !RectSet(FDownButtonRect)) return;
  int found = -1;
  POINT p{X, Y};
  for (int i = 0; i < 3 && found < 0; ++i)
    if (PtInRect(&FButtons[i].Rect, p)) found = i;
  if (FPressedButton >= 0 && found != FPressedButton) found = -1;
  if (found == FActiveButton) return;
  if (FActiveButton >= 0) {
    FButtons[FActiveButton].MouseIn = false;
    if (FActiveButton == FPressedButton && FRepeatDirection != 0) {
      if (HandleAllocated()) KillTimer(Handle(), kRepeatTimer);
      FRepeatInterval = 0;
    }
  }
  FActiveButton = found;
  if (found >= 0) {
    FButtons[found].MouseIn = true;
    if (found == FPressedButton && FRepeatDirection != 0) SetRepeatTimer(50);
  }
  Invalidate();
}

void TskSkinCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TskSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (!FCaptionMode || Button != mbLeft) return;
  TrackButtons(X, Y);
  if (FActiveButton < 0) return;
  FPressedButton = FActiveButton;
  FButtons[FPressedButton].MouseIn = true;
  FButtons[FPressedButton].Down = true;
  Invalidate();
  if (!ButtonHandler(FPressedButton) && FPressedButton < 2) StartRepeat(FPressedButton + 1);
}

void TskSkinCustomListBox::MouseMove(TShiftState Shift, int X, int Y) {
  TskSkinCustomControl::MouseMove(Shift, X, Y);
  TrackButtons(X, Y);
}

void TskSkinCustomListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TskSkinCustomControl::MouseUp(Button, Shift, X, Y);
  int i = FPressedButton;
  if (i < 0 || Button != mbLeft) return;
  FPressedButton = -1;
  TCaptionButton& b = FButtons[i];
  b.Down = false;
  POINT p{X, Y};
  b.MouseIn = PtInRect(&b.Rect, p) != 0;
  Invalidate();
  if (TNotifyEvent handler = ButtonHandler(i)) {
    // A release outside the button cancels the press.
    if (b.MouseIn) handler(this);
  } else {
    ButtonDefault(i);
  }
  StopRepeat();
}

void TskSkinCustomListBox::ListBoxMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnListBoxMouseDown) OnListBoxMouseDown(this, Button, Shift, X, Y);
}

void TskSkinCustomListBox::ListBoxMouseMove(TShiftState Shift, int X, int Y) {
  if (OnListBoxMouseMove) OnListBoxMouseMove(this, Shift, X, Y);
}

void TskSkinCustomListBox::ListBoxMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnListBoxMouseUp) OnListBoxMouseUp(this, Button, Shift, X, Y);
}

void TskSkinCustomListBox::ListBoxClick() {
  if (OnListBoxClick) OnListBoxClick(this);
}

void TskSkinCustomListBox::ListBoxDblClick() {
  if (OnListBoxDblClick) OnListBoxDblClick(this);
}

void TskSkinCustomListBox::ListBoxKeyDown(WORD& Key, TShiftState Shift) {
  if (OnListBoxKeyDown) OnListBoxKeyDown(this, Key, Shift);
}

void TskSkinCustomListBox::ListBoxKeyUp(WORD& Key, TShiftState Shift) {
  if (OnListBoxKeyUp) OnListBoxKeyUp(this, Key, Shift);
}

void TskSkinCustomListBox::ListBoxKeyPress(wchar_t& Key) {
  if (OnListBoxKeyPress) OnListBoxKeyPress(this, Key);
}

void TskSkinCustomListBox::ListBoxWndProcHook(TMessage&, bool& Continue) {
  Continue = true;
}

void TskSkinCustomListBox::WndProc(TMessage& m) {
  switch (m.Msg) {
  case WM_SIZE:
    TskSkinCustomControl::WndProc(m);
    LayoutList();
    UpdateScrollBars();
    if (FVScrollBar) FVScrollBar->Invalidate();
    return;
  case WM_TIMER:
    if (m.WParam == kRepeatTimer) {
      RepeatTick();
      return;
    }
    break;
  case CM_MOUSEENTER:
    TskSkinCustomControl::WndProc(m);
    if (m.LParam == reinterpret_cast<LPARAM>(this)) FActiveButton = -1;
    return;
  case CM_MOUSELEAVE:
    TskSkinCustomControl::WndProc(m);
    if (m.LParam == reinterpret_cast<LPARAM>(this)) {
      for (auto& b : FButtons)
        b.MouseIn = false;
      FActiveButton = -1;
      Invalidate();
    }
    return;
  case CM_TEXTCHANGED:
    TskSkinCustomControl::WndProc(m);
    if (FCaptionMode) Invalidate();
    return;
  default:
    break;
  }
  TskSkinCustomControl::WndProc(m);
}

// ---------------------------------------------------------------------------
// TskPopupListBox

TskPopupListBox::TskPopupListBox(TComponent* AOwner) : TskSkinListBox(AOwner) {
  FControlStyle |= csAcceptsControls | csNoDesignVisible | csReplicatable;
  SetCtl3D(false);
  SetParentCtl3D(false);
  SetVisible(false);
}

void TskPopupListBox::CreateParams(TCreateParams& Params) {
  TskSkinListBox::CreateParams(Params);
  Params.Style = WS_POPUP | WS_CLIPCHILDREN;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WindowClass.style = CS_SAVEBITS;
  if (IsWinXPOrLater()) Params.WindowClass.style |= CS_DROPSHADOW;
  // Owned by the combo box's window, so that it stays above it.
  Params.WndParent =
      ComboBox && ComboBox->HandleAllocated() ? GetAncestor(ComboBox->Handle(), GA_ROOT) : nullptr;
}

void TskPopupListBox::WndProc(TMessage& m) {
  if (m.Msg == WM_MOUSEACTIVATE) {
    m.Result = MA_NOACTIVATE;
    return;
  }
  TskSkinListBox::WndProc(m);
}

void TskPopupListBox::ShowAt(const TPoint& P) {
  HWND h = Handle();
  bool fade = false;
  BYTE target = ComboBox ? ComboBox->ListBoxAlphaBlendValue : 255;
  if (IsWin2KOrLater() && ComboBox) {
    LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
    bool want = ComboBox->ListBoxAlphaBlend;
    if (want != ((ex & WS_EX_LAYERED) != 0))
      SetWindowLongW(h, GWL_EXSTYLE, want ? ex | WS_EX_LAYERED : ex & ~WS_EX_LAYERED);
    FLayered = want;
    if (want && FAppliedAlpha != target) {
      if (ComboBox->ListBoxAlphaBlendAnimation) {
        SetLayeredAlpha(h, 0);
        FAppliedAlpha = 0;
        fade = true;
      } else {
        SetLayeredAlpha(h, target);
        FAppliedAlpha = target;
      }
    }
  }
  SetWindowPos(h, HWND_TOP, P.X, P.Y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  FListVisible = true;
  if (!fade) return;
  Application->ProcessMessages();
  int a = 0;
  DWORD last = GetTickCount();
  while (a < target && FListVisible) {
    if (GetTickCount() - last > 5) {
      a = std::min<int>(a + 10, target);
      SetLayeredAlpha(h, static_cast<BYTE>(a));
      FAppliedAlpha = static_cast<BYTE>(a);
      last = GetTickCount();
    }
    Application->ProcessMessages();
    Sleep(1);
  }
}

void TskPopupListBox::HideList() {
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  FListVisible = false;
}

// ---------------------------------------------------------------------------
// TskSkinCustomComboBox

namespace {
constexpr UINT kScrollTimer = 1;
} // namespace

TskSkinCustomComboBox::TskSkinCustomComboBox(TComponent* AOwner) : TskSkinCustomControl(AOwner) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csOpaque | csDoubleClicks;
  SetBounds(0, 0, 120, 20);
  SetTabStop(true);
  Font()->SetName(L"Arial");
  Font()->SetHeight(14);
  Font()->SetColor(clWindowText);
  Font()->SetStyle(0);
  FSkinDataName = L"combobox";
  FListBox = new TskPopupListBox(this);
  FListBox->ComboBox = this;
  TskListBox* inner = FListBox->ListBox();
  inner->SetTabStop(false);
  FSavedListProc = inner->WindowProc;
  inner->WindowProc = [this](TMessage& m) { ListWndProc(m); };
  FListBox->OnListBoxMouseMove = [this](TObject*, TShiftState, int X, int Y) {
    int i = FListBox->ItemAtPos(TPoint(X, Y));
    if (i >= 0 && i < Items()->Count() && i != FListBox->ItemIndex()) FListBox->SetItemIndex(i);
  };
  Layout();
}

TskSkinCustomComboBox::~TskSkinCustomComboBox() {
  FRootHook.Release();
  if (HandleAllocated()) KillTimer(Handle(), kScrollTimer);
  delete FEdit;
  FEdit = nullptr;
  if (FListBox) {
    FListBox->ListBox()->WindowProc = FSavedListProc;
    FListBox->ComboBox = nullptr;
  }
  delete FListBox;
  FListBox = nullptr;
}

void TskSkinCustomComboBox::SetUseSkinSize(bool Value) {
  FUseSkinSize = Value;
  Layout();
  Invalidate();
}

void TskSkinCustomComboBox::SetToolButtonStyle(bool Value) {
  FToolButtonStyle = Value;
  if (Value) {
    SetStyle(skcbFixedStyle);
    FUseSkinSize = false;
  }
  Layout();
  Invalidate();
}

void TskSkinCustomComboBox::SetDropDownCount(int Value) {
  if (Value >= 1) FDropDownCount = Value;
}

void TskSkinCustomComboBox::SetDefaultColor(TColor Value) {
  FDefaultColor = Value;
  if (FEntryIndex < 0) {
    Invalidate();
    if (FEdit) FEdit->SetColor(Value);
  }
}

void TskSkinCustomComboBox::SetCharCase(TEditCharCase Value) {
  FCharCase = Value;
  if (FEdit) FEdit->SetCharCase(Value);
}

void TskSkinCustomComboBox::SetImages(TCustomImageList* Value) {
  FListBox->SetImages(Value);
  Invalidate();
}

void TskSkinCustomComboBox::SetImageIndex(int Value) {
  FListBox->SetImageIndex(Value);
  Invalidate();
}

void TskSkinCustomComboBox::SetOnListBoxDrawItem(TskDrawSkinItemEvent Value) {
  FListBox->OnDrawItem = std::move(Value);
}

void TskSkinCustomComboBox::SetItemIndex(int Value) {
  FListBox->SetItemIndex(Value);
  int index = FListBox->ItemIndex();
  if (Items()->Count() > 0 && index != -1) SetText(Items()->Get(index));
  FSavedItemIndex = index;
  if (!FEdit) Invalidate();
  if (!(ComponentState() & (csDesigning | csLoading))) {
    Click();
    AfterItemChange();
  }
}

void TskSkinCustomComboBox::Notification(TComponent* AComponent, TOperation Operation) {
  TskSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && FListBox && AComponent == FListBox->Images())
    FListBox->SetImages(nullptr);
}

void TskSkinCustomComboBox::DefaultFontChanged() {
  Font()->Assign(DefaultFont());
}

void TskSkinCustomComboBox::Invalidate() {
  TskSkinCustomControl::Invalidate();
  if (FEntryIndex >= 0 && FEdit) FEdit->Invalidate();
}

void TskSkinCustomComboBox::ReadSkinEntry() {
  TskSkinCustomControl::ReadSkinEntry();
  if (FEntryIndex < 0) return;
  auto* e = dynamic_cast<TskDataSkinComboBox*>(FSkinData->ControlAt(FEntryIndex));
  if (!e) return;
  FActiveSkinRect = e->ActiveSkinRect;
  FItemRect = e->ItemRect;
  FActiveItemRect = e->ActiveItemRect;
  FFocusItemRect = RectSet(e->FocusItemRect) ? e->FocusItemRect : e->ItemRect;
  FItemLeftOffset = e->ItemLeftOffset;
  FItemRightOffset = e->ItemRightOffset;
  FItemTextRect = e->ItemTextRect;
  FFontName = e->FontName;
  FFontStyle = e->FontStyle;
  FFontHeight = e->FontHeight;
  FFontColor = e->FontColor;
  FActiveFontColor = e->ActiveFontColor;
  FFocusFontColor = e->FocusFontColor;
  FButtonRect = e->ButtonRect;
  FActiveButtonRect = e->ActiveButtonRect;
  FDownButtonRect = e->DownButtonRect;
  FUnEnabledButtonRect = e->UnEnabledButtonRect;
  FListBoxName = e->ListBoxName;
  FItemStretchEffect = e->ItemStretchEffect;
  FFocusItemStretchEffect = e->FocusItemStretchEffect;
  FShowFocus = e->ShowFocus;
}

void TskSkinCustomComboBox::Layout() {
  int W = Width(), H = Height();
  if (FEntryIndex < 0 || FToolButtonStyle) {
    FDropButtonRect = MakeRect(W - 19, 2, W - 2, H - 2);
    FItemAreaRect = MakeRect(2, 2, FDropButtonRect.left - 1, H - 2);
  } else {
    int dx = W - RectWidth(FSkinRect);
    // The skin gives the button in picture coordinates.
    FDropButtonRect = FButtonRect;
    OffsetRect(&FDropButtonRect, -FSkinRect.left, -FSkinRect.top);
    if (FDropButtonRect.left >= RectWidth(FSkinRect) - FRTPoint.x)
      OffsetRect(&FDropButtonRect, dx, 0);
    FItemAreaRect = FSkinClientRect;
    FItemAreaRect.right += dx;
    if (!FUseSkinSize) {
      int dy = H - RectHeight(FSkinRect);
      FDropButtonRect.bottom += dy;
      FItemAreaRect.bottom += dy;
    }
  }
  if (FEdit) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FEdit->Font()->Handle());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    int eh = tm.tmHeight;
    int ah = RectHeight(FItemAreaRect);
    FEdit->SetBounds(FItemAreaRect.left, FItemAreaRect.top + ah / 2 - eh / 2,
                     RectWidth(FItemAreaRect), eh);
  }
}

void TskSkinCustomComboBox::FitSizeToSkin(int& AWidth, int& AHeight) {
  if (FUseSkinSize) {
    TskSkinCustomControl::FitSizeToSkin(AWidth, AHeight);
    return;
  }
  int dx = AWidth - RectWidth(FSkinRect);
  FNewLTPoint = FLTPoint;
  FNewRTPoint = POINT{FRTPoint.x + dx, FRTPoint.y};
  FNewClientRect = FSkinClientRect;
  FNewClientRect.right += dx;
}

void TskSkinCustomComboBox::UpdateControlRegion() {
  if (FUseSkinSize) {
    TskSkinCustomControl::UpdateControlRegion();
    return;
  }
  if (FRegionHandle) {
    if (HandleAllocated()) SetWindowRgn(Handle(), nullptr, TRUE);
    DeleteObject(FRegionHandle);
    FRegionHandle = nullptr;
  }
}

TColor TskSkinCustomComboBox::DisabledColor() const {
  if (FEntryIndex >= 0 && FSkinData)
    if (auto* e = FSkinData->FindControl<TskDataSkinEditControl>(L"edit"))
      return e->DisabledFontColor;
  return clGrayText;
}

void TskSkinCustomComboBox::SetEditFontColor(TColor C) {
  if (FEdit) FEdit->Font()->SetColor(C);
}

void TskSkinCustomComboBox::ApplyControlSkin() {
  TskSkinCustomControl::ApplyControlSkin();
  Layout();
  if (FEdit) {
    TFont* f = FEdit->Font();
    if (FEntryIndex >= 0 && FUseSkinFont) {
      f->SetStyle(FFontStyle.Bits);
      f->SetHeight(FFontHeight);
      f->SetName(FFontName);
      f->SetColor(FFontColor);
    } else {
      f->Assign(DefaultFont());
      if (FEntryIndex >= 0) f->SetColor(FFontColor);
    }
    if (FEntryIndex >= 0 && RectSet(FActiveSkinRect) && (FEdit->Focused() || FMouseInControl))
      f->SetColor(FActiveFontColor);
    ApplyCharset(f, DefaultFont());
    FEdit->SetTransparentBack(FEntryIndex >= 0);
    if (!Enabled()) f->SetColor(DisabledColor());
  }
  Invalidate();
  FListBox->SetSkinDataName(FEntryIndex >= 0 ? FListBoxName : L"");
  FListBox->SetSkinData(FSkinData);
  FListBox->UpdateScrollBars();
  Layout();
  if (FEdit && FEntryIndex >= 0) {
    int w = Width(), h = Height();
    FitSizeToSkin(w, h);
    if (w != Width() || h != Height()) SetBounds(Left(), Top(), w, h);
  }
}

void TskSkinCustomComboBox::SetStyle(TskSkinCustomComboBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  if (Value == skcbEditStyle) {
    if (!FEdit) {
      FEdit = new TskCustomEdit(this);
      FEdit->SetParent(this);
      FEdit->SetColor(FDefaultColor);
      FEdit->SetHideSelection(FHideSelection);
      FSavedEditProc = FEdit->WindowProc;
      FEdit->WindowProc = [this](TMessage& m) { EditWndProc(m); };
      FEdit->CancelModeNotify = [this](TObject* Sender) { CancelModeFrom(Sender); };
      FEdit->OnChange = [this](TObject*) { EditChange(); };
      FEdit->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) {
        if (OnKeyDown) OnKeyDown(this, Key, Shift);
      };
      FEdit->OnKeyPress = [this](TObject*, wchar_t& Key) {
        if (OnKeyPress) OnKeyPress(this, Key);
      };
      FEdit->OnKeyUp = [this](TObject*, WORD& Key, TShiftState Shift) {
        if (OnKeyUp) OnKeyUp(this, Key, Shift);
      };
      FEdit->SetCharCase(FCharCase);
      TFont* f = FEdit->Font();
      if (FEntryIndex < 0) {
        f->SetName(Font()->Name());
        f->SetStyle(Font()->Style());
        f->SetColor(Font()->Color());
        f->SetHeight(Font()->Height());
      } else {
        f->SetStyle(FFontStyle.Bits);
        f->SetColor(FFontColor);
        f->SetHeight(FFontHeight);
        f->SetName(FFontName);
      }
      FEdit->SetTransparentBack(FEntryIndex >= 0);
    }
    if (!(ComponentState() & csDesigning)) {
      FEdit->SetTabStop(TabStop());
      SetTabStop(false);
    }
    FEdit->SetText(Text());
    if (Focused()) FEdit->SetFocus();
  } else if (FEdit) {
    // Taken out of the combo box's hands first: freeing it moves the focus,
    // which the combo box would otherwise pass back to it.
    TskCustomEdit* edit = FEdit;
    FEdit = nullptr;
    bool tab = edit->TabStop(), focused = edit->Focused();
    edit->WindowProc = FSavedEditProc;
    edit->CancelModeNotify = nullptr;
    edit->OnChange = nullptr;
    edit->OnKeyDown = nullptr;
    edit->OnKeyPress = nullptr;
    edit->OnKeyUp = nullptr;
    edit->Hide();
    delete edit;
    if (tab) SetTabStop(true);
    if (focused && CanFocus()) SetFocus();
  }
  Layout();
  Invalidate();
}

int TskSkinCustomComboBox::ShownIndex() const {
  int index = FListBox->ListVisible() ? FSavedItemIndex : FListBox->ItemIndex();
  return index >= 0 && index < Items()->Count() ? index : -1;
}

void TskSkinCustomComboBox::HookRootWindow() {
  HWND root = GetAncestor(Handle(), GA_ROOT);
  if (FRootHook.Active() && FRootHook.Window() == root) return;
  FRootHook.Release();
  // Moving, sizing or leaving the window that holds the combo box closes
  // the list, which would otherwise stay where it was opened.
  FRootHook.Hook(root, [this](TMessage& m) {
    if (!FListBox || !FListBox->ListVisible()) return false;
    bool close = false;
    switch (m.Msg) {
    case WM_WINDOWPOSCHANGED:
    case WM_MOVE:
    case WM_SIZE: {
      // Only a real move or resize counts: activation also sends these.
      RECT r{};
      GetWindowRect(FRootHook.Window(), &r);
      close = !EqualRect(&r, &FRootRect);
      break;
    }
    case WM_ENTERSIZEMOVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
      close = true;
      break;
    case WM_ACTIVATE:
      close = LOWORD(m.WParam) == WA_INACTIVE;
      break;
    default:
      break;
    }
    if (close) CloseUp(false);
    return false;
  });
}

void TskSkinCustomComboBox::DropDown() {
  int count = Items()->Count();
  if (count == 0) return;
  FTrackEnteredList = false;
  StopScroll();
  if (OnDropDown) OnDropDown(this);
  int w = FListBoxWidth ? FListBoxWidth : Width();
  FListBox->SetWidth(w);
  int h = FListBox->CalcHeight(std::min(count, FDropDownCount));
  TPoint origin = ClientToScreen(TPoint(0, Height()));
  RECT work;
  GetMonitorRect(Handle(), true, work);
  if (work.bottom < origin.Y + h) origin.Y -= Height() + h;
  FListBox->SetBounds(origin.X, origin.Y, w, h);
  FListBox->HandleNeeded();
  if (FEdit) FEdit->SetFocus();
  FSavedItemIndex = FListBox->ItemIndex();
  if (FSavedItemIndex == 0 && count > 1) {
    FListBox->SetItemIndex(1);
    FListBox->SetItemIndex(0);
  }
  FListDropped = true;
  Invalidate();
  FListBox->SetTopIndex(std::max(0, FListBox->ItemIndex()));
  HookRootWindow();
  GetWindowRect(FRootHook.Window(), &FRootRect);
  FListBox->ShowAt(origin);
}

void TskSkinCustomComboBox::CloseUp(bool Accept) {
  // The auto-scroll and the tracking end with the list.
  StopScroll();
  if (FTracking) {
    FTracking = false;
    if (MouseCapture()) SetMouseCapture(false);
  }
  if (!FListBox->ListVisible()) return;
  FListBox->HideList();
  int index = FListBox->ItemIndex();
  int count = Items()->Count();
  if (index < 0) {
    FListBox->SetItemIndex(FSavedItemIndex);
  } else if (Accept && index < count) {
    if (FEdit) {
      FEdit->SetText(Items()->Get(index));
      FEdit->SelectAll();
    } else {
      SetText(Items()->Get(index));
      Invalidate();
    }
    Click();
    AfterItemChange();
  } else {
    FListBox->SetItemIndex(FSavedItemIndex);
  }
  FListDropped = false;
  Invalidate();
  if (Accept && OnCloseUp) OnCloseUp(this);
}

void TskSkinCustomComboBox::MoveListIndex(int Index, bool Commit) {
  if (Commit)
    SetItemIndex(Index);
  else
    FListBox->SetItemIndex(Index);
}

void TskSkinCustomComboBox::SelectPrevious(bool Commit) {
  int index = FListBox->ItemIndex();
  if (index <= 0) return;
  MoveListIndex(index - 1, Commit);
}

void TskSkinCustomComboBox::SelectNext(bool Commit) {
  int index = FListBox->ItemIndex();
  if (index >= Items()->Count() - 1) return;
  MoveListIndex(index + 1, Commit);
}

void TskSkinCustomComboBox::PageUp(bool Commit) {
  if (Items()->Count() == 0) return;
  MoveListIndex(std::max(0, FListBox->ItemIndex() - (FDropDownCount - 1)), Commit);
}

void TskSkinCustomComboBox::PageDown(bool Commit) {
  int count = Items()->Count();
  if (count == 0) return;
  MoveListIndex(std::min(count - 1, FListBox->ItemIndex() + FDropDownCount - 1), Commit);
}

void TskSkinCustomComboBox::StopScroll() {
  if (FScrollDirection != 0 && HandleAllocated()) KillTimer(Handle(), kScrollTimer);
  FScrollDirection = 0;
}

void TskSkinCustomComboBox::StartScroll(int Direction) {
  if (Direction == FScrollDirection) return;
  FScrollDirection = Direction;
  SetTimer(Handle(), kScrollTimer, 25, nullptr);
}

void TskSkinCustomComboBox::ScrollTick() {
  int index = FListBox->ItemIndex();
  if (FScrollDirection == 1 && index > 0) FListBox->SetItemIndex(index - 1);
  if (FScrollDirection == 2 && index < Items()->Count() - 1) FListBox->SetItemIndex(index + 1);
}

void TskSkinCustomComboBox::FollowList(int X, int Y) {
  TskListBox* inner = FListBox->ListBox();
  if (!inner->HandleAllocated()) return;
  POINT p{X, Y};
  ::ClientToScreen(Handle(), &p);
  ::ScreenToClient(inner->Handle(), &p);
  int h = inner->Height();
  bool bar = FListBox->VScrollBar() != nullptr;
  if (p.y < 0 && bar && FTrackEnteredList) {
    StartScroll(1);
  } else if (p.y > h && bar && FTrackEnteredList) {
    StartScroll(2);
  } else if (p.y >= 0 && p.y <= h) {
    StopScroll();
    inner->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(1, p.y));
    FTrackEnteredList = true;
  }
}

void TskSkinCustomComboBox::ListWndProc(TMessage& m) {
  switch (m.Msg) {
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    // A click in the list selects by hover and takes its choice on release.
    FTracking = true;
    FTrackEnteredList = true;
    SetMouseCapture(true);
    m.Result = 0;
    return;
  case WM_LBUTTONUP:
  case WM_RBUTTONDOWN:
  case WM_RBUTTONUP:
  case WM_RBUTTONDBLCLK:
  case WM_MBUTTONDOWN:
  case WM_MBUTTONUP:
  case WM_MBUTTONDBLCLK:
    m.Result = 0;
    return;
  case WM_MOUSEACTIVATE:
    FSavedListProc(m);
    m.Result = MA_NOACTIVATE;
    return;
  default:
    break;
  }
  FSavedListProc(m);
}

void TskSkinCustomComboBox::CancelModeFrom(TObject* Sender) {
  if (Sender && (Sender == this || Sender == FListBox || Sender == FListBox->ListBox() ||
                 Sender == FListBox->VScrollBar() || Sender == FListBox->HScrollBar()))
    return;
  CloseUp(false);
}

void TskSkinCustomComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TskSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (FStyle == skcbFixedStyle && !Focused() && CanFocus()) SetFocus();
  if (Button != mbLeft) return;
  POINT p{X, Y};
  FMouseInButton = PtInRect(&FDropButtonRect, p) != 0;
  if (FMouseInButton || (FStyle == skcbFixedStyle && PtInRect(&FItemAreaRect, p)) ||
      FToolButtonStyle) {
    FButtonPressed = true;
    Invalidate();
    if (!FListBox->ListVisible()) {
      FTrackEnteredList = false;
      FTracking = true;
      DropDown();
    } else {
      CloseUp(false);
    }
  } else if (FListBox->ListVisible()) {
    CloseUp(false);
  }
}

void TskSkinCustomComboBox::MouseMove(TShiftState Shift, int X, int Y) {
  TskSkinCustomControl::MouseMove(Shift, X, Y);
  if (FTracking) {
    FollowList(X, Y);
    return;
  }
  POINT p{X, Y};
  bool in = PtInRect(&FDropButtonRect, p) != 0;
  if (in != FMouseInButton) {
    FMouseInButton = in;
    Invalidate();
  }
}

void TskSkinCustomComboBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FTracking && FTrackEnteredList) {
    SetMouseCapture(false);
    FTracking = false;
    StopScroll();
    POINT sp;
    GetCursorPos(&sp);
    HWND under = WindowFromPoint(sp);
    TskListBox* inner = FListBox->ListBox();
    CloseUp(inner->HandleAllocated() && under == inner->Handle());
  } else if (FTracking) {
    FTracking = false;
    StopScroll();
  }
  TskSkinCustomControl::MouseUp(Button, Shift, X, Y);
  if (FButtonPressed) {
    FButtonPressed = false;
    Invalidate();
  }
}

void TskSkinCustomComboBox::KeyDown(WORD& Key, TShiftState Shift) {
  TskSkinCustomControl::KeyDown(Key, Shift);
  if (FStyle != skcbFixedStyle) return;
  bool open = FListBox->ListVisible();
  switch (Key) {
  case VK_UP:
  case VK_LEFT:
    if (Shift & ssAlt) {
      if (open) CloseUp(false);
    } else {
      SelectPrevious(true);
    }
    break;
  case VK_DOWN:
  case VK_RIGHT:
    if (Shift & ssAlt) {
      if (!open) DropDown();
    } else {
      SelectNext(true);
    }
    break;
  case VK_PRIOR:
    PageUp(true);
    break;
  case VK_NEXT:
    PageDown(true);
    break;
  case VK_HOME:
    if (Items()->Count() > 0) SetItemIndex(0);
    break;
  case VK_END:
    if (Items()->Count() > 0) SetItemIndex(Items()->Count() - 1);
    break;
  case VK_RETURN:
    if (open) CloseUp(true);
    break;
  case VK_ESCAPE:
    if (open) CloseUp(false);
    break;
  default:
    break;
  }
}

void TskSkinCustomComboBox::KeyPress(wchar_t& Key) {
  TskSkinCustomControl::KeyPress(Key);
  if (FStyle != skcbFixedStyle || Key < 32) return;
  std::wstring s(1, Key);
  if (FAutoComplete) {
    DWORD now = TickCount();
    if (now - FLastKeyTick >= 500) FSearchText.clear();
    FLastKeyTick = now;
    FSearchText += s;
    s = FSearchText;
  }
  TskListBox* inner = FListBox->ListBox();
  int start = s.size() == 1 ? FListBox->ItemIndex() : -1;
  int found =
      static_cast<int>(SendMessageW(inner->Handle(), LB_FINDSTRING, static_cast<WPARAM>(start),
                                    reinterpret_cast<LPARAM>(s.c_str())));
  if (found != LB_ERR) SetItemIndex(found);
}

void TskSkinCustomComboBox::EditMove(int Delta) {
  int index = FListBox->ItemIndex() + Delta;
  if (index < 0 || index >= Items()->Count()) return;
  FListBox->SetItemIndex(index);
  SetText(Items()->Get(index));
  if (FEdit) FEdit->SelectAll();
  Click();
}

void TskSkinCustomComboBox::EditChange() {
  if (!FEdit) return;
  FEditChanging = true;
  std::wstring t = FEdit->Text();
  if (!t.empty()) {
    int found = static_cast<int>(SendMessageW(FListBox->ListBox()->Handle(), LB_FINDSTRING,
                                              static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(t.c_str())));
    if (found != LB_ERR) {
      if (FAutoComplete)
        FListBox->SetItemIndex(found);
      else
        FListBox->SetTopIndex(found);
    }
  }
  SetText(t);
  FEditChanging = false;
}

void TskSkinCustomComboBox::EditAutoComplete() {
  DWORD now = TickCount();
  if (now - FLastKeyTick <= 200) return;
  FLastKeyTick = now;
  std::wstring t = Text();
  if (t.empty() || !FEdit) return;
  int start = t.size() == 1 ? FListBox->ItemIndex() : -1;
  int found = static_cast<int>(SendMessageW(FListBox->ListBox()->Handle(), LB_FINDSTRING,
                                            static_cast<WPARAM>(start),
                                            reinterpret_cast<LPARAM>(t.c_str())));
  if (found == LB_ERR) return;
  int n = static_cast<int>(t.size());
  SetItemIndex(found);
  int len = static_cast<int>(FEdit->Text().size());
  FEdit->SetSelStart(n);
  FEdit->SetSelLength(std::max(0, len - n));
}

void TskSkinCustomComboBox::EditWndProc(TMessage& m) {
  bool open = FListBox->ListVisible();
  bool activeLook = FEntryIndex >= 0 && RectSet(FActiveSkinRect);
  switch (m.Msg) {
  case WM_SETFOCUS:
    if (activeLook) SetEditFontColor(FActiveFontColor);
    Invalidate();
    break;
  case WM_KILLFOCUS:
    if (open) CloseUp(false);
    if (activeLook && !FMouseInControl) SetEditFontColor(FFontColor);
    Invalidate();
    break;
  case WM_KEYDOWN:
    switch (m.WParam) {
    case VK_RETURN:
      if (open) CloseUp(true);
      break;
    case VK_ESCAPE:
      if (open) CloseUp(false);
      break;
    case VK_PRIOR:
      if (open) PageUp(false);
      break;
    case VK_NEXT:
      if (open) PageDown(false);
      break;
    case VK_UP:
      EditMove(-1);
      return;
    case VK_DOWN:
      EditMove(1);
      return;
    default:
      break;
    }
    break;
  case WM_KEYUP:
  case WM_SYSKEYUP: {
    BYTE cs = FSkinData && FSkinData->ResourceStrData()
                  ? static_cast<BYTE>(FSkinData->ResourceStrData()->CharSet)
                  : DefaultFont()->Charset();
    bool cjk = cs == SHIFTJIS_CHARSET || cs == GB2312_CHARSET || cs == CHINESEBIG5_CHARSET;
    if (m.Msg == WM_SYSKEYUP && !cjk) break;
    if (cjk && m.WParam != VK_DELETE && m.WParam != VK_BACK && FEdit) FEdit->SetSelLength(0);
    FSavedEditProc(m);
    if (FAutoComplete && (cjk || m.WParam >= 48)) EditAutoComplete();
    return;
  }
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
    if (open) CloseUp(false);
    break;
  case WM_MOUSEWHEEL: {
    short delta = static_cast<short>(HIWORD(m.WParam));
    int index = FListBox->ItemIndex() + (delta < 1 ? 1 : -1);
    if (index >= 0 && index < Items()->Count()) {
      if (open) {
        FListBox->SetItemIndex(index);
      } else {
        EditMove(delta < 1 ? 1 : -1);
      }
    }
    break;
  }
  default:
    break;
  }
  FSavedEditProc(m);
}

void TskSkinCustomComboBox::WndProc(TMessage& m) {
  switch (m.Msg) {
  case WM_SETFOCUS:
    if (FEdit) {
      FEdit->SetFocus();
      return;
    }
    TskSkinCustomControl::WndProc(m);
    Invalidate();
    return;
  case WM_KILLFOCUS:
    TskSkinCustomControl::WndProc(m);
    if (FStyle == skcbFixedStyle && FListBox->ListVisible()) CloseUp(false);
    Invalidate();
    if (FEdit && FEntryIndex >= 0 && RectSet(FActiveSkinRect)) SetEditFontColor(FFontColor);
    return;
  case WM_SIZE:
    TskSkinCustomControl::WndProc(m);
    Layout();
    return;
  case WM_TIMER:
    if (m.WParam == kScrollTimer) {
      ScrollTick();
      return;
    }
    break;
  case WM_MOUSEWHEEL: {
    if (FEdit || FStyle != skcbFixedStyle) return;
    short delta = static_cast<short>(HIWORD(m.WParam));
    bool commit = !FListBox->ListVisible();
    if (delta > 0)
      SelectPrevious(commit);
    else
      SelectNext(commit);
    m.Result = 0;
    return;
  }
  case CM_TEXTCHANGED:
    TskSkinCustomControl::WndProc(m);
    if (FEdit && !FEditChanging) FEdit->SetText(Text());
    if (OnChange) OnChange(this);
    if (FEditChanging) AfterItemChange();
    return;
  case CM_MOUSEENTER:
  case CM_MOUSELEAVE: {
    TskSkinCustomControl::WndProc(m);
    if (m.LParam && m.LParam != reinterpret_cast<LPARAM>(this)) return;
    bool enter = m.Msg == CM_MOUSEENTER;
    FMouseInControl = enter;
    if (!enter && FMouseInButton) {
      FMouseInButton = false;
      Invalidate();
    }
    bool activeLook = FEntryIndex >= 0 && RectSet(FActiveSkinRect);
    if (activeLook && FEdit && !FEdit->Focused())
      SetEditFontColor(enter ? FActiveFontColor : FFontColor);
    if (activeLook || FToolButtonStyle) Invalidate();
    return;
  }
  case CM_CANCELMODE:
    TskSkinCustomControl::WndProc(m);
    CancelModeFrom(reinterpret_cast<TObject*>(m.LParam));
    return;
  case CM_ENABLEDCHANGED:
    TskSkinCustomControl::WndProc(m);
    if (FEdit)
      SetEditFontColor(!Enabled()        ? DisabledColor()
                       : FEntryIndex < 0 ? DefaultFont()->Color()
                                         : FFontColor);
    Invalidate();
    return;
  case CM_WANTSPECIALKEY:
    switch (m.WParam) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      m.Result = 1;
      return;
    case VK_RETURN:
    case VK_ESCAPE:
      // An open list takes Enter and Escape before the form's buttons.
      m.Result = FListBox->ListVisible() ? 1 : 0;
      return;
    default:
      break;
    }
    break;
  default:
    break;
  }
  TskSkinCustomControl::WndProc(m);
}

// ---------------------------------------------------------------------------
// Combo box painting

void TskSkinCustomComboBox::DrawItemContent(TCanvas* C, int Index, const RECT& TextRect, int W,
                                            int H) {
  if (OnComboBoxDrawItem) {
    OnComboBoxDrawItem(C, Index, W, H, TRect(TextRect), FDrawState);
    return;
  }
  RECT text = TextRect;
  if (TCustomImageList* images = Images()) {
    int image = ImageIndex() < 0 ? Index : ImageIndex();
    DrawListImage(C, images, image, text.left, text);
    text.left += images->Width() + 2;
  }
  std::wstring s = Items()->Get(Index);
  C->TextHeight(L"0"); // selects the font and its colour
  SetBkMode(C->Handle(), TRANSPARENT);
  if (TabWidths()->Count() > 0)
    TabbedText(C, s, TabWidths(), 0, text);
  else
    DrawTextClipped(C->Handle(), s, text);
}

void TskSkinCustomComboBox::PaintDefaultImage(TBitmap* B) {
  Layout();
  if (FToolButtonStyle) {
    PaintToolButton(B, false);
    return;
  }
  TCanvas* C = B->Canvas();
  int W = Width(), H = Height();
  FillRectColor(C, MakeRect(0, 0, W, H), clBtnFace);
  C->Brush()->SetColor(clBtnShadow);
  C->FrameRect(TRect(0, 0, W, H));
  FillRectColor(C, MakeRect(2, 2, W - 2, H - 2), FDefaultColor);
  if (FButtonPressed && FMouseInButton)
    FrameAndFill(C, FDropButtonRect, skDefaultFrameColor, skDefaultDownColor);
  else if (FMouseInButton)
    FrameAndFill(C, FDropButtonRect, skDefaultFrameColor, skDefaultHotColor);
  else
    FrameAndFill(C, FDropButtonRect, clBtnShadow, clBtnFace);
  DrawArrow(C->Handle(), FDropButtonRect, Enabled() ? 0 : ColorToRGB(clBtnShadow), 4);
  if (FStyle != skcbFixedStyle || RectWidth(FItemAreaRect) <= 0 || RectHeight(FItemAreaRect) <= 0)
    return;
  int aw = RectWidth(FItemAreaRect), ah = RectHeight(FItemAreaRect);
  TBitmap ib;
  ib.SetSize(aw, ah);
  TCanvas* ic = ib.Canvas();
  TFont* f = ic->Font();
  f->SetName(Font()->Name());
  f->SetStyle(Font()->Style());
  f->SetHeight(Font()->Height());
  ApplyCharset(f, DefaultFont());
  bool focused = Focused();
  FillRectColor(ic, MakeRect(0, 0, aw, ah), focused ? clHighlight : FDefaultColor);
  f->SetColor(focused ? clHighlightText : DefaultFont()->Color());
  FDrawState = focused ? odFocused : 0;
  int index = ShownIndex();
  if (index >= 0) DrawItemContent(ic, index, MakeRect(2, 0, aw - 2, ah), aw, ah);
  if (focused) {
    SetTextColor(ic->Handle(), 0);
    SetBkColor(ic->Handle(), 0xFFFFFF);
    ic->DrawFocusRect(TRect(0, 0, aw, ah));
  }
  BitBlt(C->Handle(), FItemAreaRect.left, FItemAreaRect.top, aw, ah, ic->Handle(), 0, 0, SRCCOPY);
}

TskDataSkinButtonControl*
TskSkinCustomComboBox::FindButtonEntry(const wchar_t* const* Names) const {
  if (!FSkinData) return nullptr;
  for (; *Names; ++Names)
    if (auto* e = FSkinData->FindControl<TskDataSkinButtonControl>(*Names)) return e;
  return nullptr;
}

void TskSkinCustomComboBox::PaintToolButton(TBitmap* B, bool Skin) {
  TCanvas* C = B->Canvas();
  int W = Width(), H = Height();
  bool hot = FMouseInControl || Focused();
  RECT itemRect = MakeRect(2, 2, W - 17, H - 2), marker = MakeRect(W - 15, 0, W, H);
  if (FListDropped) {
    OffsetRect(&itemRect, 2, 2);
    OffsetRect(&marker, 2, 2);
  }
  TFont* f = C->Font();
  TColor color;
  TskDataSkinButtonControl* e = nullptr;
  const TskPicture* pic = nullptr;
  if (!Skin) {
    if (FListDropped)
      FrameAndFill(C, MakeRect(0, 0, W, H), skDefaultFrameColor, skDefaultDownColor);
    else if (hot)
      FrameAndFill(C, MakeRect(0, 0, W, H), skDefaultFrameColor, skDefaultHotColor);
    else
      FrameAndFill(C, MakeRect(0, 0, W, H), clBtnShadow, clBtnFace);
    f->Assign(DefaultFont());
    color = DefaultFont()->Color();
  } else {
    static const wchar_t* const kNames[] = {L"resizetoolbutton", L"resizebutton", nullptr};
    e = FindButtonEntry(kNames);
    if (!e) return;
    pic = FSkinData->ActivePicture(e->PictureIndex);
    if (!pic) return;
    RECT src = FListDropped ? e->DownSkinRect : hot ? e->ActiveSkinRect : e->SkinRect;
    if (!RectSet(src)) src = e->SkinRect;
    TskSkinImageParams p;
    p.Old = e->Geometry();
    p.New = ScaleSkinGeometry(e->Geometry(), e->SkinRect, W, H);
    TakeStretch(p, *e);
    p.W = W;
    p.H = H;
    p.R = src;
    TskPicture img;
    CreateSkinImage(p, *pic, img);
    DrawPicture(C->Handle(), 0, 0, img);
    if (FUseSkinFont) {
      f->SetName(e->FontName);
      f->SetHeight(e->FontHeight);
      f->SetStyle(e->FontStyle.Bits);
    } else {
      f->Assign(DefaultFont());
    }
    color = FListDropped ? e->DownFontColor
            : hot        ? e->ActiveFontColor
            : Enabled()  ? e->FontColor
                         : e->DisabledFontColor;
  }
  ApplyCharset(f, DefaultFont());
  f->SetColor(color);
  FDrawState = Focused() ? odFocused : 0;
  int index = ShownIndex();
  if (index >= 0) {
    int saved = SaveDC(C->Handle());
    IntersectClipRect(C->Handle(), itemRect.left, itemRect.top, itemRect.right, itemRect.bottom);
    DrawItemContent(C, index, itemRect, RectWidth(itemRect), RectHeight(itemRect));
    RestoreDC(C->Handle(), saved);
  }
  if (e && pic) {
    RECT glyph = FListDropped && RectSet(e->MenuMarkerDownRect) ? e->MenuMarkerDownRect
                 : (FListDropped || FMouseInControl) && RectSet(e->MenuMarkerActiveRect)
                     ? e->MenuMarkerActiveRect
                     : e->MenuMarkerRect;
    if (RectSet(e->MenuMarkerRect)) {
      CopyPartTransparent(C->Handle(), marker.left + RectWidth(marker) / 2 - RectWidth(glyph) / 2,
                          marker.top + RectHeight(marker) / 2 - RectHeight(glyph) / 2, *pic, glyph,
                          e->MenuMarkerTransparentColor);
      return;
    }
    color = FListDropped ? e->DownFontColor : e->FontColor;
  }
  DrawSmallDownArrow(C->Handle(), marker, ColorToRGB(color));
}

void TskSkinCustomComboBox::PaintSkinImage(TBitmap* B) {
  Layout();
  if (FToolButtonStyle) {
    PaintToolButton(B, true);
    return;
  }
  if (!FPicture) return;
  TCanvas* C = B->Canvas();
  HDC dc = C->Handle();
  int W = Width(), H = Height();
  bool active = FMouseInControl || (FEdit && FEdit->Focused()) || Focused();
  bool activeBody = RectSet(FActiveSkinRect) && active;
  if (!FUseSkinSize) {
    TskPicture p(W, H);
    CreateStretchImage(p, *FPicture, activeBody ? FActiveSkinRect : FSkinRect, FSkinClientRect,
                       true);
    DrawPicture(dc, 0, 0, p);
  } else if (activeBody) {
    TskPicture p;
    CreateHSkinImage(FLTPoint.x, RectWidth(FActiveSkinRect) - FRTPoint.x, p, FStretchEffect, W,
                     FActiveSkinRect, *FPicture);
    DrawPicture(dc, 0, 0, p);
  } else {
    TskSkinCustomControl::PaintSkinImage(B);
  }
  bool pressedIn = FButtonPressed && FMouseInButton;
  if (FUseSkinSize) {
    RECT src{};
    if (!Enabled() && RectSet(FUnEnabledButtonRect))
      src = FUnEnabledButtonRect;
    else if (pressedIn)
      src = FDownButtonRect;
    else if (FMouseInButton)
      src = FActiveButtonRect;
    if (SkinRectInPicture(src, FPicture)) DrawPictureRect(dc, FDropButtonRect, *FPicture, src);
  } else {
    static const wchar_t* const kNames[] = {L"combobutton", L"editbutton", L"resizebutton",
                                            nullptr};
    if (TskDataSkinButtonControl* e = FindButtonEntry(kNames)) {
      const TskPicture* pic = FSkinData->ActivePicture(e->PictureIndex);
      int bw = RectWidth(FDropButtonRect), bh = RectHeight(FDropButtonRect);
      if (pic && bw > 0 && bh > 0) {
        RECT active2 = RectSet(e->ActiveSkinRect) ? e->ActiveSkinRect : e->SkinRect;
        RECT down = RectSet(e->DownSkinRect) ? e->DownSkinRect : active2;
        RECT src = pressedIn ? down : FMouseInButton ? active2 : e->SkinRect;
        TskSkinImageParams p;
        p.Old = e->Geometry();
        p.New = ScaleSkinGeometry(e->Geometry(), e->SkinRect, bw, bh);
        TakeStretch(p, *e);
        p.W = bw;
        p.H = bh;
        p.R = src;
        TskPicture img;
        CreateSkinImage(p, *pic, img);
        DrawPicture(dc, FDropButtonRect.left, FDropButtonRect.top, img);
        if (RectSet(e->MenuMarkerRect)) {
          RECT g = pressedIn && RectSet(e->MenuMarkerDownRect)          ? e->MenuMarkerDownRect
                   : FMouseInButton && RectSet(e->MenuMarkerActiveRect) ? e->MenuMarkerActiveRect
                                                                        : e->MenuMarkerRect;
          CopyPartTransparent(dc, FDropButtonRect.left + bw / 2 - RectWidth(g) / 2,
                              FDropButtonRect.top + bh / 2 - RectHeight(g) / 2 +
                                  (pressedIn ? 1 : 0),
                              *pic, g, e->MenuMarkerTransparentColor);
        } else if (Enabled()) {
          RECT r = FDropButtonRect;
          if (pressedIn) r.top += 2;
          TColor c = pressedIn        ? e->DownFontColor
                     : FMouseInButton ? e->ActiveFontColor
                                      : e->FontColor;
          DrawArrow(dc, r, ColorToRGB(c), 4);
        }
      }
    }
  }
  if (FStyle != skcbFixedStyle) return;
  int aw = RectWidth(FItemAreaRect);
  if (aw <= 0 || RectHeight(FItemAreaRect) <= 0) return;
  bool focused = Focused();
  bool hovered = FMouseInControl && RectSet(FActiveItemRect) && RectSet(FActiveSkinRect);
  TBitmap ib;
  RECT text = FItemTextRect;
  // What the body drew under the item area, for entries without item pictures.
  auto bodyCopy = [&](TBitmap& b) {
    BitBlt(b.Canvas()->Handle(), 0, 0, b.Width(), b.Height(), dc, FItemAreaRect.left,
           FItemAreaRect.top, SRCCOPY);
  };
  if (FUseSkinSize) {
    int bh = RectHeight(FItemRect) > 0        ? RectHeight(FItemRect)
             : RectHeight(FFocusItemRect) > 0 ? RectHeight(FFocusItemRect)
                                              : RectHeight(FItemAreaRect);
    ib.SetSize(aw, bh);
    const RECT* src = focused ? &FFocusItemRect : hovered ? &FActiveItemRect : &FItemRect;
    bool stretch = focused ? FFocusItemStretchEffect : FItemStretchEffect;
    if (SkinRectInPicture(*src, FPicture)) {
      TskPicture p;
      CreateHSkinImage(FItemLeftOffset, FItemRightOffset, p, stretch, aw, *src, *FPicture);
      DrawPicture(ib.Canvas()->Handle(), 0, 0, p);
    } else {
      bodyCopy(ib);
    }
    text.right += aw - (RectSet(FItemRect) ? RectWidth(FItemRect) : RectWidth(FSkinClientRect));
  } else {
    int ah = RectHeight(FItemAreaRect);
    ib.SetSize(aw, ah);
    const RECT* src = focused ? &FFocusItemRect : hovered ? &FActiveItemRect : &FItemRect;
    if (SkinRectInPicture(*src, FPicture)) {
      RECT cr = FItemTextRect;
      if (focused || hovered) {
        if (focused) InflateRect(&cr, -1, -1);
        cr.right -= RectWidth(FItemRect) - RectWidth(*src);
        cr.top -= RectHeight(FItemRect) - RectHeight(*src);
      }
      TskPicture p(aw, ah);
      CreateStretchImage(p, *FPicture, *src, cr, true);
      DrawPicture(ib.Canvas()->Handle(), 0, 0, p);
    } else {
      bodyCopy(ib);
    }
    text.right += aw - (RectSet(FItemRect) ? RectWidth(FItemRect) : RectWidth(FSkinClientRect));
    text.bottom += H - RectHeight(FSkinRect);
  }
  TCanvas* ic = ib.Canvas();
  TFont* f = ic->Font();
  SetSkinFont(f, FFontName, FFontHeight, FFontStyle);
  f->SetColor(!Enabled()                                    ? DisabledColor()
              : focused                                     ? FFocusFontColor
              : FMouseInControl && RectSet(FActiveSkinRect) ? FActiveFontColor
                                                            : FFontColor);
  ic->Brush()->SetStyle(bsClear);
  if (FShowFocus && focused && FSkinData) {
    ic->Brush()->SetStyle(bsSolid);
    ic->Brush()->SetColor(FSkinData->SkinColors.cBtnFace);
    ic->FrameRect(TRect(0, 0, ib.Width(), ib.Height()));
    ic->Brush()->SetStyle(bsClear);
  }
  FDrawState = focused ? odFocused : 0;
  int index = ShownIndex();
  if (index >= 0) DrawItemContent(ic, index, text, ib.Width(), ib.Height());
  BitBlt(dc, FItemAreaRect.left, FItemAreaRect.top, ib.Width(), ib.Height(), ic->Handle(), 0, 0,
         SRCCOPY);
}
