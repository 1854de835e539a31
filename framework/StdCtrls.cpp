#include "framework/StdCtrls.h"

#include <algorithm>

#include "framework/Forms.h"

namespace {

std::wstring WindowTextOf(HWND wnd) {
  int n = GetWindowTextLengthW(wnd);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(wnd, s.data(), n + 1);
  s.resize(static_cast<size_t>(std::max(n, 0)));
  return s;
}

void SetStyleBit(HWND wnd, LONG_PTR bit, bool on) {
  LONG_PTR style = GetWindowLongPtrW(wnd, GWL_STYLE);
  LONG_PTR updated = on ? (style | bit) : (style & ~bit);
  if (updated != style) SetWindowLongPtrW(wnd, GWL_STYLE, updated);
}

} // namespace

// ---------------------------------------------------------------------------
// TLabel

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle |= csReplicatable;
  SetBounds(0, 0, 65, 17);
  SetAutoSize(true);
}

UINT TLabel::DrawFlags() const {
  static const UINT align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  UINT flags = align[FAlignment] | DT_EXPANDTABS;
  if (FWordWrap) flags |= DT_WORDBREAK;
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  return flags;
}

void TLabel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  if (!FTransparent) {
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(r);
  }
  std::wstring text = Caption();
  if (text.empty()) return;
  HDC dc = canvas->Handle();
  HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
  RECT rc = r;
  if (FLayout != tlTop) {
    RECT calc = rc;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &calc, DrawFlags() | DT_CALCRECT);
    int h = calc.bottom - calc.top;
    rc.top = FLayout == tlCenter ? (r.Height() - h) / 2 : r.Height() - h;
  }
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, DrawFlags());
  SelectObject(dc, oldFont);
}

void TLabel::AdjustBounds() {
  if (!AutoSize() || (ComponentState() & csLoading)) return;
  std::wstring text = Caption();
  if (text.empty()) text = L" ";
  HDC dc = GetDC(nullptr);
  HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
  RECT rc{0, 0, FWordWrap ? Width() : 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, DrawFlags() | DT_CALCRECT);
  SelectObject(dc, oldFont);
  ReleaseDC(nullptr, dc);
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  int left = Left();
  // Right-aligned labels keep their right edge, centred ones their middle.
  if (FAlignment == taRightJustify && !FWordWrap) left += Width() - w;
  if (FAlignment == taCenter && !FWordWrap) left += (Width() - w) / 2;
  if (FWordWrap) w = Width();
  SetBounds(left, Top(), w, h);
}

void TLabel::SetAutoSize(bool Value) {
  TGraphicControl::SetAutoSize(Value);
  AdjustBounds();
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TLabel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TLabel::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  SetOpaque(!Value);
  Invalidate();
}

void TLabel::SetShowAccelChar(bool Value) {
  if (FShowAccelChar == Value) return;
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

void TLabel::Dispatch(TMessage& Message) {
  TGraphicControl::Dispatch(Message);
  if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_FONTCHANGED) {
    AdjustBounds();
    Invalidate();
  }
}

// ---------------------------------------------------------------------------
// TStaticText

TStaticText::TStaticText(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csReplicatable | csDoubleClicks;
  SetBounds(0, 0, 65, 17);
  SetAutoSize(true);
}

void TStaticText::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, L"STATIC");
  static const DWORD align[] = {SS_LEFT, SS_RIGHT, SS_CENTER};
  Params.Style |= SS_NOTIFY | align[FAlignment];
  if (!FShowAccelChar) Params.Style |= SS_NOPREFIX;
  if (FBorderStyle == sbsSingle) Params.Style |= WS_BORDER;
  if (FBorderStyle == sbsSunken) Params.ExStyle |= WS_EX_STATICEDGE;
}

void TStaticText::CreateWindowHandle(const TCreateParams& Params) {
  // A window of the system class itself, taken over by the framework's
  // procedure; the first message sent binds it to this control.
  HWND wnd = CreateWindowExW(Params.ExStyle, L"Static", Params.Caption.c_str(), Params.Style,
                             Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(0xFFFF)),
                             GetModuleHandleW(nullptr), Params.Param);
  if (!wnd) return;
  FDefWndProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlWndProc)));
  SendMessageW(wnd, WM_NULL, 0, 0);
  FHandle = wnd;
}

void TStaticText::AdjustBounds() {
  if (!AutoSize() || (ComponentState() & csLoading)) return;
  std::wstring text = Caption();
  if (text.empty()) text = L" ";
  HDC dc = GetDC(nullptr);
  HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
  RECT rc{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc,
            DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | (FShowAccelChar ? 0 : DT_NOPREFIX));
  SelectObject(dc, oldFont);
  ReleaseDC(nullptr, dc);
  int frame = FBorderStyle == sbsNone ? 0 : 2;
  int w = rc.right - rc.left + frame, h = rc.bottom - rc.top + frame;
  int left = Left();
  if (FAlignment == taRightJustify) left += Width() - w;
  if (FAlignment == taCenter) left += (Width() - w) / 2;
  SetBounds(left, Top(), w, h);
}

void TStaticText::SetAutoSize(bool Value) {
  TWinControl::SetAutoSize(Value);
  AdjustBounds();
}

void TStaticText::Loaded() {
  TWinControl::Loaded();
  AdjustBounds();
}

void TStaticText::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TStaticText::SetBorderStyle(TStaticBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  AdjustBounds();
  if (HandleAllocated()) RecreateWnd();
}

void TStaticText::SetShowAccelChar(bool Value) {
  if (FShowAccelChar == Value) return;
  FShowAccelChar = Value;
  AdjustBounds();
  if (HandleAllocated()) RecreateWnd();
}

void TStaticText::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) return; // clicks come from the mouse messages
  TWinControl::Dispatch(Message);
  if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_FONTCHANGED) AdjustBounds();
}

// ---------------------------------------------------------------------------
// TButton

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = csSetCaption | csDoubleClicks;
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, L"BUTTON");
  Params.Style |= WS_TABSTOP | (FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void TButton::SetButtonStyle(bool ADefault) {
  if (HandleAllocated())
    SendMessageW(FHandle, BM_SETSTYLE, ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  FDefault = Value;
  FActive = Value;
  SetButtonStyle(Value);
}

void TButton::Click() {
  if (FModalResult != mrNone)
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TWinControl::Click();
}

void TButton::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    if (HIWORD(Message.WParam) == BN_CLICKED) Click();
    return;
  }
  TWinControl::Dispatch(Message);
}

void TButton::CMDialogKey(TMessage& Message) {
  const WPARAM key = Message.WParam;
  if (((key == VK_RETURN && FActive) || (key == VK_ESCAPE && FCancel)) &&
      KeyDataToShiftState(Message.LParam) == 0 && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  TWinControl::CMDialogKey(Message);
}

void TButton::CMFocusChanged(TMessage& Message) {
  auto* focused = reinterpret_cast<TWinControl*>(Message.LParam);
  bool active = focused == this || (FDefault && !dynamic_cast<TButton*>(focused));
  if (active != FActive) {
    FActive = active;
    SetButtonStyle(active);
  }
  TWinControl::CMFocusChanged(Message);
}

// ---------------------------------------------------------------------------
// TEdit

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csFixedHeight;
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

void TEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, L"EDIT");
  static const DWORD caseStyle[] = {0, ES_UPPERCASE, ES_LOWERCASE};
  Params.Style |= WS_TABSTOP | ES_AUTOHSCROLL | caseStyle[FCharCase];
  if (FReadOnly) Params.Style |= ES_READONLY;
  if (FPasswordChar) Params.Style |= ES_PASSWORD;
  if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
  if (Ctl3D())
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  else
    Params.Style |= WS_BORDER;
}

void TEdit::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
  if (FPasswordChar) SendMessageW(FHandle, EM_SETPASSWORDCHAR, FPasswordChar, 0);
  if (WindowTextOf(FHandle) != FText) SetWindowTextW(FHandle, FText.c_str());
  SendMessageW(FHandle, EM_SETSEL, static_cast<WPARAM>(FSelStart),
               static_cast<LPARAM>(FSelStart + FSelLength));
}

void TEdit::DestroyWnd() {
  if (HandleAllocated()) {
    FText = WindowTextOf(FHandle);
    FSelStart = SelStart();
    FSelLength = SelLength();
  }
  TWinControl::DestroyWnd();
}

std::wstring TEdit::Text() const {
  return HandleAllocated() ? WindowTextOf(FHandle) : FText;
}

void TEdit::SetText(const std::wstring& Value) {
  TWinControl::SetText(Value);
  FText = Value;
  if (HandleAllocated() && WindowTextOf(FHandle) != Value) SetWindowTextW(FHandle, Value.c_str());
}

void TEdit::SetMaxLength(int Value) {
  FMaxLength = std::max(Value, 0);
  if (HandleAllocated()) SendMessageW(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TEdit::SetReadOnly(bool Value) {
  FReadOnly = Value;
  if (HandleAllocated()) SendMessageW(FHandle, EM_SETREADONLY, Value, 0);
}

void TEdit::SetPasswordChar(wchar_t Value) {
  if (FPasswordChar == Value) return;
  FPasswordChar = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TEdit::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  if (HandleAllocated()) RecreateWnd();
}

int TEdit::SelStart() {
  if (!HandleAllocated()) return FSelStart;
  DWORD start = 0, end = 0;
  SendMessageW(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

void TEdit::SetSelStart(int Value) {
  FSelStart = Value;
  FSelLength = 0;
  if (HandleAllocated()) SendMessageW(FHandle, EM_SETSEL, Value, Value);
}

int TEdit::SelLength() {
  if (!HandleAllocated()) return FSelLength;
  DWORD start = 0, end = 0;
  SendMessageW(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TEdit::SetSelLength(int Value) {
  int start = SelStart();
  FSelLength = Value;
  if (HandleAllocated()) SendMessageW(FHandle, EM_SETSEL, start, start + Value);
}

std::wstring TEdit::SelText() {
  std::wstring text = Text();
  int start = std::min<int>(SelStart(), static_cast<int>(text.size()));
  return text.substr(start, SelLength());
}

bool TEdit::CanUndo() {
  return HandleAllocated() && SendMessageW(FHandle, EM_CANUNDO, 0, 0) != 0;
}

void TEdit::Undo() {
  if (HandleAllocated()) SendMessageW(FHandle, WM_UNDO, 0, 0);
}

void TEdit::CutToClipboard() {
  if (HandleAllocated()) SendMessageW(FHandle, WM_CUT, 0, 0);
}

void TEdit::CopyToClipboard() {
  if (HandleAllocated()) SendMessageW(FHandle, WM_COPY, 0, 0);
}

void TEdit::PasteFromClipboard() {
  if (HandleAllocated()) SendMessageW(FHandle, WM_PASTE, 0, 0);
}

void TEdit::ClearSelection() {
  if (HandleAllocated()) SendMessageW(FHandle, WM_CLEAR, 0, 0);
}

void TEdit::SetHideSelection(bool Value) {
  if (FHideSelection == Value) return;
  FHideSelection = Value;
  RecreateWnd();
}

bool ClipboardHasText() {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(nullptr)) return false;
  bool result = false;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      result = *p != 0;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return result;
}

void TEdit::SelectAll() {
  if (HandleAllocated())
    SendMessageW(FHandle, EM_SETSEL, 0, -1);
  else {
    FSelStart = 0;
    FSelLength = static_cast<int>(FText.size());
  }
}

void TEdit::CMEnter(TMessage& Message) {
  if (FAutoSelect && !(GetKeyState(VK_LBUTTON) & 0x8000)) SelectAll();
  TWinControl::CMEnter(Message);
}

void TEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    if (HIWORD(Message.WParam) == EN_CHANGE) {
      FText = WindowTextOf(FHandle);
      Change();
    }
    return;
  }
  TWinControl::Dispatch(Message);
}

void TEdit::Change() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// Check box and radio button

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = csSetCaption | csDoubleClicks;
  SetTabStop(true);
}

bool TButtonControl::Checked() const {
  return FChecked;
}

void TButtonControl::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  if (HandleAllocated()) SendMessageW(FHandle, BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
  Click();
}

void TButtonControl::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TButtonControl::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  if (HandleAllocated()) SetStyleBit(FHandle, BS_MULTILINE, Value);
  Invalidate();
}

void TButtonControl::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(FHandle, BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TButtonControl::DestroyWnd() {
  TWinControl::DestroyWnd();
}

void TButtonControl::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    WORD code = HIWORD(Message.WParam);
    if (code == BN_CLICKED || code == BN_DOUBLECLICKED) Toggle();
    return;
  }
  TWinControl::Dispatch(Message);
}

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 97, 17);
}

void TCheckBox::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  CreateSubClass(Params, L"BUTTON");
  Params.Style |= WS_TABSTOP | BS_CHECKBOX;
  if (FAlignment == taLeftJustify) Params.Style |= BS_LEFTTEXT;
  if (FWordWrap) Params.Style |= BS_MULTILINE;
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 113, 17);
}

void TRadioButton::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  CreateSubClass(Params, L"BUTTON");
  Params.Style |= BS_RADIOBUTTON;
  if (FAlignment == taLeftJustify) Params.Style |= BS_LEFTTEXT;
  if (FWordWrap) Params.Style |= BS_MULTILINE;
}

void TRadioButton::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  if (HandleAllocated()) SendMessageW(FHandle, BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!Value) return;
  if (TWinControl* parent = Parent())
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
        other->SetChecked(false);
  Click();
}

// ---------------------------------------------------------------------------
// TGroupBox

TGroupBox::TGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption |
                  csDoubleClicks | csReplicatable;
  SetBounds(0, 0, 185, 105);
}

void TGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  HDC dc = canvas->Handle();
  canvas->Brush()->SetColor(Color());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(r);
  HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  RECT frame{r.Left, r.Top + tm.tmHeight / 2, r.Right, r.Bottom};
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  std::wstring text = Caption();
  if (!text.empty()) {
    RECT tr{8, 0, r.Right - 8, tm.tmHeight};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_CALCRECT);
    tr.right += 4;
    tr.left = 6;
    tr.right += 2;
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ColorToRGB(Color()));
    SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_CENTER);
  }
  SelectObject(dc, oldFont);
}

void TGroupBox::AdjustClientRect(TRect& Rect) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, oldFont);
  ReleaseDC(nullptr, dc);
  Rect.Top += tm.tmHeight;
  Rect.Inflate(-2, -2);
}

void TGroupBox::Dispatch(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_ENABLEDCHANGED ||
      Message.Msg == CM_FONTCHANGED)
    Invalidate();
}

// ---------------------------------------------------------------------------
// TListControlItems

TListControlItems::TListControlItems(TWinControl* Control, UINT InsertMsg, UINT DeleteMsg,
                                     UINT ResetMsg)
    : FControl(Control), FInsertMsg(InsertMsg), FDeleteMsg(DeleteMsg), FResetMsg(ResetMsg) {}

void TListControlItems::Put(int Index, const std::wstring& S) {
  void* object = FList.Objects(Index);
  Delete(Index);
  InsertObject(Index, S, object);
}

void TListControlItems::InsertObject(int Index, const std::wstring& S, void* Object) {
  FList.InsertObject(Index, S, Object);
  if (FControl->HandleAllocated())
    SendMessageW(FControl->Handle(), FInsertMsg, static_cast<WPARAM>(Index),
                 reinterpret_cast<LPARAM>(S.c_str()));
}

void TListControlItems::Delete(int Index) {
  FList.Delete(Index);
  if (FControl->HandleAllocated())
    SendMessageW(FControl->Handle(), FDeleteMsg, static_cast<WPARAM>(Index), 0);
}

void TListControlItems::Clear() {
  FList.Clear();
  if (FControl->HandleAllocated()) SendMessageW(FControl->Handle(), FResetMsg, 0, 0);
}

int TListControlItems::IndexOf(const std::wstring& S) const {
  return FList.IndexOf(S);
}

int TListControlItems::AddObject(const std::wstring& S, void* Object) {
  int index = FList.Count();
  if (FSorted) {
    index = 0;
    while (index < FList.Count() && CompareText(FList[index], S) <= 0)
      ++index;
  }
  InsertObject(index, S, Object);
  return index;
}

void TListControlItems::SetSorted(bool Value) {
  FSorted = Value;
  if (!Value || FList.Count() < 2) return;
  TStringList sorted;
  sorted.SetSorted(true);
  sorted.SetDuplicates(TDuplicates::dupAccept);
  sorted.AddStrings(FList);
  BeginUpdate();
  FSorted = false;
  Clear();
  AddStrings(sorted);
  FSorted = true;
  EndUpdate();
}

void TListControlItems::FillWindow() {
  // Straight to the system control's procedure: a new window needs none of
  // the control's own handling for each item, and long lists fill at once.
  HWND wnd = FControl->Handle();
  WNDPROC proc = FControl->DefWndProc();
  CallWindowProcW(proc, wnd, FResetMsg, 0, 0);
  for (int i = 0; i < FList.Count(); ++i) {
    std::wstring s = FList[i];
    CallWindowProcW(proc, wnd, FInsertMsg, static_cast<WPARAM>(i),
                    reinterpret_cast<LPARAM>(s.c_str()));
  }
}

// ---------------------------------------------------------------------------
// TComboBox

TComboBox::TComboBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TListControlItems>(
                               this, CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT)) {
  FControlStyle = csCaptureMouse | csSetCaption | csDoubleClicks | csFixedHeight | csReflector;
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

TComboBox::~TComboBox() {
  Destroying();
}

void TComboBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, L"COMBOBOX");
  static const DWORD styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST};
  Params.Style |= WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL | styles[FStyle];
}

void TComboBox::CreateWnd() {
  TWinControl::CreateWnd();
  FItems->FillWindow();
  SendMessageW(FHandle, CB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
  if (FStyle != csDropDownList && FItemIndex < 0) SetWindowTextW(FHandle, FText.c_str());
  UpdateDropHeight();
}

void TComboBox::DestroyWnd() {
  if (HandleAllocated()) {
    FItemIndex = static_cast<int>(SendMessageW(FHandle, CB_GETCURSEL, 0, 0));
    FText = WindowTextOf(FHandle);
  }
  TWinControl::DestroyWnd();
}

void TComboBox::UpdateDropHeight() {
  if (!HandleAllocated() || FStyle == csSimple) return;
  int itemHeight = static_cast<int>(SendMessageW(FHandle, CB_GETITEMHEIGHT, 0, 0));
  int count = std::max(1, std::min(FDropDownCount, std::max(FItems->Count(), 1)));
  RECT r;
  GetWindowRect(FHandle, &r);
  SetWindowPos(FHandle, nullptr, 0, 0, r.right - r.left,
               (r.bottom - r.top) + itemHeight * count + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void TComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  UpdateDropHeight();
}

int TComboBox::ItemIndex() const {
  if (HandleAllocated()) return static_cast<int>(SendMessageW(FHandle, CB_GETCURSEL, 0, 0));
  return FItemIndex;
}

void TComboBox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= FItems->Count()) Value = -1;
  FItemIndex = Value;
  if (HandleAllocated()) SendMessageW(FHandle, CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

std::wstring TComboBox::Text() const {
  if (HandleAllocated()) return WindowTextOf(FHandle);
  if (FItemIndex >= 0 && FItemIndex < FItems->Count()) return FItems->Strings(FItemIndex);
  return FStyle == csDropDownList ? L"" : FText;
}

void TComboBox::SetText(const std::wstring& Value) {
  int index = FItems->IndexOf(Value);
  if (FStyle == csDropDownList) {
    SetItemIndex(index);
    return;
  }
  FText = Value;
  if (index >= 0 && FItems->Strings(index) == Value) {
    SetItemIndex(index);
  } else {
    FItemIndex = -1;
    if (HandleAllocated()) {
      SendMessageW(FHandle, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
      SetWindowTextW(FHandle, Value.c_str());
    }
  }
}

void TComboBox::SetStyle(TComboBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TComboBox::SetDropDownCount(int Value) {
  FDropDownCount = std::max(Value, 1);
  UpdateDropHeight();
}

void TComboBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  FItems->SetSorted(Value);
}

bool TComboBox::DroppedDown() {
  return HandleAllocated() && SendMessageW(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TComboBox::SetDroppedDown(bool Value) {
  SendMessageW(Handle(), CB_SHOWDROPDOWN, Value, 0);
}

void TComboBox::Clear() {
  FItems->Clear();
  FItemIndex = -1;
  FText.clear();
  if (HandleAllocated()) SetWindowTextW(FHandle, L"");
}

void TComboBox::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    switch (HIWORD(Message.WParam)) {
    case CBN_SELCHANGE: {
      int index = ItemIndex();
      FItemIndex = index;
      FText = index >= 0 ? FItems->Strings(index) : L"";
      Click();
      Change();
      break;
    }
    case CBN_EDITCHANGE:
      FText = WindowTextOf(FHandle);
      Change();
      break;
    case CBN_DROPDOWN:
      if (OnDropDown) OnDropDown(this);
      break;
    case CBN_CLOSEUP:
      if (OnCloseUp) OnCloseUp(this);
      break;
    }
    return;
  }
  TWinControl::Dispatch(Message);
}

void TComboBox::Change() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TListBox

TListBox::TListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TListControlItems>(
                               this, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT)) {
  FControlStyle = csSetCaption | csDoubleClicks | csOpaque;
  auto canvas = std::make_unique<TControlCanvas>();
  canvas->SetControl(this);
  FCanvas = std::move(canvas);
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

TListBox::~TListBox() {
  Destroying();
}

void TListBox::SetStyle(TListBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TListBox::SetColumns(int Value) {
  if (Value < 0) Value = 0;
  if (FColumns == Value) return;
  // Going from one column to several changes the window's style.
  bool recreate = (FColumns == 0) != (Value == 0);
  FColumns = Value;
  if (!HandleAllocated()) return;
  if (recreate)
    RecreateWnd();
  else
    UpdateColumnWidth();
}

void TListBox::SetExtendedSelect(bool Value) {
  if (FExtendedSelect == Value) return;
  FExtendedSelect = Value;
  if (HandleAllocated() && FMultiSelect) RecreateWnd();
}

void TListBox::SetItemHeight(int Value) {
  if (Value <= 0 || Value > 255) return;
  FItemHeight = Value;
  if (HandleAllocated() && FStyle == lbOwnerDrawFixed) {
    SendMessageW(Wnd(), LB_SETITEMHEIGHT, 0, Value);
    Invalidate();
  }
}

void TListBox::UpdateColumnWidth() {
  if (HandleAllocated() && FColumns > 0)
    SendMessageW(Wnd(), LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(1, Width() / FColumns)), 0);
}

void TListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  UpdateColumnWidth();
}

void TListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  TCanvas* c = FCanvas.get();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor((State & odSelected) ? clHighlight : Color());
  c->Font()->SetColor((State & odSelected) ? clHighlightText : Font()->Color());
  c->FillRect(Rect);
  if (Index >= 0 && Index < FItems->Count()) {
    SetBkMode(c->Handle(), TRANSPARENT);
    c->TextRect(Rect, Rect.Left + 2, Rect.Top, FItems->Get(Index));
  }
  if (State & odFocused) c->DrawFocusRect(Rect);
}

void TListBox::CNDrawItem(TMessage& Message) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  Message.Result = 1;
  if (!dis) return;
  TOwnerDrawState state = 0;
  if (dis->itemState & ODS_SELECTED) state |= odSelected;
  if (dis->itemState & ODS_FOCUS) state |= odFocused;
  if (dis->itemState & ODS_DISABLED) state |= odDisabled;
  if (dis->itemState & ODS_GRAYED) state |= odGrayed;
  if (dis->itemState & ODS_CHECKED) state |= odChecked;
  TCanvas* c = FCanvas.get();
  c->Lock();
  int saved = SaveDC(dis->hDC);
  c->SetHandle(dis->hDC);
  c->SetFont(Font());
  c->SetBrush(Brush());
  TScopeGuard restore([&] {
    c->SetHandle(nullptr);
    RestoreDC(dis->hDC, saved);
    c->Unlock();
  });
  // A row is always drawn whole with its state, so that a focus change
  // alone never leaves a half-drawn row.
  DrawItem(static_cast<int>(dis->itemID), TRect(dis->rcItem), state);
}

HWND TListBox::Wnd() const {
  return FHandle;
}

void TListBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, L"LISTBOX");
  Params.Style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_HSCROLL;
  if (FMultiSelect) Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (FStyle == lbOwnerDrawFixed) Params.Style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
  if (FColumns > 0) Params.Style |= LBS_MULTICOLUMN;
  if (Ctl3D())
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  else
    Params.Style |= WS_BORDER;
}

void TListBox::CreateWnd() {
  TWinControl::CreateWnd();
  if (FStyle == lbOwnerDrawFixed) SendMessageW(FHandle, LB_SETITEMHEIGHT, 0, FItemHeight);
  UpdateColumnWidth();
  FItems->FillWindow();
  SetItemIndex(FItemIndex);
  SendMessageW(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(FTopIndex), 0);
}

void TListBox::DestroyWnd() {
  if (HandleAllocated()) {
    FItemIndex = ItemIndex();
    FTopIndex = TopIndex();
  }
  TWinControl::DestroyWnd();
}

int TListBox::ItemIndex() const {
  if (!HandleAllocated()) return FItemIndex;
  if (FMultiSelect) return static_cast<int>(SendMessageW(Wnd(), LB_GETCARETINDEX, 0, 0));
  return static_cast<int>(SendMessageW(Wnd(), LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= FItems->Count()) Value = -1;
  FItemIndex = Value;
  if (!HandleAllocated()) return;
  if (FMultiSelect) {
    SendMessageW(Wnd(), LB_SETSEL, FALSE, -1);
    if (Value >= 0) SendMessageW(Wnd(), LB_SETSEL, TRUE, Value);
    SendMessageW(Wnd(), LB_SETCARETINDEX, static_cast<WPARAM>(Value), FALSE);
  } else {
    SendMessageW(Wnd(), LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
  }
}

void TListBox::SetMultiSelect(bool Value) {
  if (FMultiSelect == Value) return;
  FMultiSelect = Value;
  if (HandleAllocated()) RecreateWnd();
}

bool TListBox::Selected(int Index) const {
  if (!HandleAllocated()) return Index == FItemIndex;
  return SendMessageW(Wnd(), LB_GETSEL, static_cast<WPARAM>(Index), 0) > 0;
}

void TListBox::SetSelected(int Index, bool Value) {
  if (FMultiSelect) {
    SendMessageW(Handle(), LB_SETSEL, Value, Index);
  } else if (Value) {
    SetItemIndex(Index);
  } else if (ItemIndex() == Index) {
    SetItemIndex(-1);
  }
}

int TListBox::SelCount() const {
  if (!HandleAllocated()) return FItemIndex >= 0 ? 1 : 0;
  if (!FMultiSelect) return ItemIndex() >= 0 ? 1 : 0;
  return static_cast<int>(SendMessageW(Wnd(), LB_GETSELCOUNT, 0, 0));
}

int TListBox::TopIndex() const {
  if (!HandleAllocated()) return FTopIndex;
  return static_cast<int>(SendMessageW(Wnd(), LB_GETTOPINDEX, 0, 0));
}

void TListBox::SetTopIndex(int Value) {
  FTopIndex = Value;
  if (HandleAllocated()) SendMessageW(Wnd(), LB_SETTOPINDEX, static_cast<WPARAM>(Value), 0);
}

int TListBox::ItemHeight() const {
  if (FStyle == lbOwnerDrawFixed && !HandleAllocated()) return FItemHeight;
  if (!HandleAllocated()) return 13;
  return static_cast<int>(SendMessageW(Wnd(), LB_GETITEMHEIGHT, 0, 0));
}

void TListBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  FItems->SetSorted(Value);
}

int TListBox::ItemAtPos(const TPoint& Pos, bool Existing) const {
  int count = FItems->Count();
  if (HandleAllocated()) {
    RECT client;
    GetClientRect(Wnd(), &client);
    if (PtInRect(&client, POINT(Pos))) {
      int index = static_cast<int>(SendMessageW(Wnd(), LB_GETTOPINDEX, 0, 0));
      for (; index < count; ++index) {
        RECT r;
        SendMessageW(Wnd(), LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&r));
        if (PtInRect(&r, POINT(Pos))) return index;
        if (r.top > client.bottom) break;
      }
    }
  }
  return Existing ? -1 : count;
}

TRect TListBox::ItemRect(int Index) const {
  RECT r{};
  if (HandleAllocated())
    SendMessageW(Wnd(), LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
  return TRect(r);
}

void TListBox::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_DRAWITEM) {
    CNDrawItem(Message);
    return;
  }
  if (Message.Msg == CN_COMMAND) {
    switch (HIWORD(Message.WParam)) {
    case LBN_SELCHANGE:
      FItemIndex = ItemIndex();
      Click();
      break;
    }
    return;
  }
  TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TScrollBar

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = csFramed | csDoubleClicks;
  SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
}

void TScrollBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, L"SCROLLBAR");
  Params.Style |= FKind == sbHorizontal ? SBS_HORZ : SBS_VERT;
}

void TScrollBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateWindow();
}

void TScrollBar::UpdateWindow() {
  if (!HandleAllocated()) return;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  si.nMin = FMin;
  si.nMax = FMax;
  si.nPage = static_cast<UINT>(FPageSize);
  si.nPos = FPosition;
  SetScrollInfo(FHandle, SB_CTL, &si, TRUE);
}

void TScrollBar::SetKind(TScrollBarKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  if (!(ComponentState() & csLoading)) SetBounds(Left(), Top(), Height(), Width());
  if (HandleAllocated()) RecreateWnd();
}

int TScrollBar::MaxPosition() const {
  return FPageSize > 0 ? std::max(FMin, FMax - FPageSize + 1) : FMax;
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
  if (AMax < AMin) AMax = AMin;
  bool rangeChanged = AMin != FMin || AMax != FMax;
  FMin = AMin;
  FMax = AMax;
  APosition = std::clamp(APosition, FMin, MaxPosition());
  bool moved = APosition != FPosition;
  FPosition = APosition;
  if (rangeChanged || moved) UpdateWindow();
  if (moved) Change();
}

void TScrollBar::SetSmallChange(int Value) {
  FSmallChange = std::clamp(Value, 1, 32767);
}

void TScrollBar::SetLargeChange(int Value) {
  FLargeChange = std::clamp(Value, 1, 32767);
}

void TScrollBar::SetPageSize(int Value) {
  Value = std::clamp(Value, 0, FMax - FMin + 1);
  if (FPageSize == Value) return;
  FPageSize = Value;
  UpdateWindow();
  SetPosition(FPosition);
}

void TScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) {
  if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::DoScroll(WORD Code, WPARAM WParam) {
  int pos = FPosition;
  TScrollCode code = scEndScroll;
  switch (Code) {
  case SB_LINEUP:
    code = scLineUp;
    pos -= FSmallChange;
    break;
  case SB_LINEDOWN:
    code = scLineDown;
    pos += FSmallChange;
    break;
  case SB_PAGEUP:
    code = scPageUp;
    pos -= FLargeChange;
    break;
  case SB_PAGEDOWN:
    code = scPageDown;
    pos += FLargeChange;
    break;
  case SB_THUMBPOSITION:
  case SB_THUMBTRACK: {
    code = Code == SB_THUMBTRACK ? scTrack : scPosition;
    // The message carries 16 bits of the thumb's place; the bar knows all 32.
    const WORD low = HIWORD(WParam);
    pos = FMin < 0 ? static_cast<short>(low) : low;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_TRACKPOS;
    if (HandleAllocated() && GetScrollInfo(FHandle, SB_CTL, &si) &&
        static_cast<WORD>(si.nTrackPos & 0xFFFF) == low)
      pos = si.nTrackPos;
    break;
  }
  case SB_TOP:
    code = scTop;
    pos = FMin;
    break;
  case SB_BOTTOM:
    code = scBottom;
    pos = FMax;
    break;
  default:
    break;
  }
  pos = std::clamp(pos, FMin, MaxPosition());
  Scroll(code, pos);
  SetPosition(pos);
}

void TScrollBar::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_HSCROLL || Message.Msg == CN_VSCROLL) {
    DoScroll(LOWORD(Message.WParam), Message.WParam);
    Message.Result = 0;
    return;
  }
  TWinControl::Dispatch(Message);
}
