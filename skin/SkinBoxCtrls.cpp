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
