// Skinned edits: the context menu's items for each edit state, its commands
// through the skinned menu, Enter and Escape, and the number edit's filter;
// the skinned list box with its bars, caption buttons and item looks; the
// combo box with its drop-down list, keys, typing search and looks.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "skin/SkinBoxCtrls.h"
#include "tests/skin/SkinTestGui.h"
#include "tests/support/Gui.h"
#include "tests/support/Screen.h"

namespace {

using namespace skintest;
using testsupport::PumpMessages;

void SetClipboardText(const wchar_t* Text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  if (Text) {
    size_t n = (wcslen(Text) + 1) * sizeof(wchar_t);
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, n);
    memcpy(GlobalLock(g), Text, n);
    GlobalUnlock(g);
    SetClipboardData(CF_UNICODETEXT, g);
  }
  CloseClipboard();
}

TEST(SkinEdit, ClipboardHoldsText) {
  SetClipboardText(nullptr);
  EXPECT_FALSE(ClipboardHasText());
  SetClipboardText(L"");
  EXPECT_FALSE(ClipboardHasText());
  SetClipboardText(L"12");
  EXPECT_TRUE(ClipboardHasText());
}

TEST(SkinEdit, ContextMenuEnablingTable) {
  TForm form(nullptr);
  form.SetBounds(50, 50, 300, 120);
  auto* e = new TskCustomEdit(&form);
  e->SetParent(&form);
  e->SetBounds(10, 10, 200, 22);
  form.Show();
  struct Case {
    const wchar_t* text;
    int selStart, selLen;
    const wchar_t* clip;
    // Undo, -, Cut, Copy, Paste, Delete, -, Select All
    const char* enabled;
  } cases[] = {
      {L"hello", 0, 5, nullptr, "01110110"},
      {L"hello", 1, 2, L"x", "01111111"},
      {L"", 0, 0, nullptr, "01000010"},
      {L"hello", 5, 0, L"", "01000011"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.enabled);
    SetClipboardText(c.clip);
    e->SetText(c.text);
    SendMessageW(e->Handle(), EM_EMPTYUNDOBUFFER, 0, 0);
    e->SetSelStart(c.selStart);
    e->SetSelLength(c.selLen);
    TskSkinPopupMenu* m = e->BuildContextMenu();
    ASSERT_EQ(m->Items()->Count(), 8);
    std::string got;
    for (int i = 0; i < 8; ++i)
      got += m->Items()->Items(i)->Enabled() ? '1' : '0';
    EXPECT_EQ(got, c.enabled);
    EXPECT_EQ(m->Items()->Items(7)->Caption(), L"Select All");
    EXPECT_TRUE(m->Items()->Items(1)->IsLine());
  }
  // After typing, Undo is enabled.
  e->SetText(L"ab");
  e->SetSelStart(2);
  SendMessageW(e->Handle(), WM_CHAR, L'c', 0);
  EXPECT_EQ(e->Text(), L"abc");
  EXPECT_TRUE(e->BuildContextMenu()->Items()->Items(0)->Enabled());
}

TEST(SkinEdit, MenuKeyOpensAtTheCentreAndTheCommandRuns) {
  auto skin = MakeSkin(kBuiltin);
  THostForm form(skin.get());
  auto* e = new TskCustomEdit(&form);
  e->SetParent(&form);
  e->SetBounds(20, 30, 160, 22);
  form.Show();
  e->SetText(L"take");
  e->SetSelStart(1);
  e->SetSelLength(0);
  SendMessageW(e->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(e->Handle()),
               MAKELPARAM(-1, -1));
  ASSERT_NE(e->ContextMenu(), nullptr);
  TPoint c = e->ClientToScreen(TPoint(0, 0));
  EXPECT_EQ(e->ContextMenu()->PopupPoint, TPoint(c.X + 80, c.Y + 11));
  TskSkinMenu* sm = form.SkinMenu();
  ASSERT_TRUE(sm->Visible());
  // Up from the first enabled item wraps to Select All; Enter runs it.
  sm->HandleMenuKey(VK_UP);
  sm->HandleMenuKey(VK_RETURN);
  EXPECT_FALSE(sm->Visible());
  EXPECT_EQ(e->SelLength(), 4);
  // The menu goes once the command has returned, not while its dispatch
  // still runs through it.
  EXPECT_NE(e->ContextMenu(), nullptr);
  PumpMessages();
  EXPECT_EQ(e->ContextMenu(), nullptr);
  // Closing without a command keeps it until the next request.
  SendMessageW(e->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1));
  sm->HandleMenuKey(VK_ESCAPE);
  PumpMessages();
  EXPECT_NE(e->ContextMenu(), nullptr);
}

TEST(SkinEdit, EnterAndEscapeGoToTheFormNotTheText) {
  class TDialogForm : public TForm {
  public:
    using TForm::TForm;
    int DialogKeys = 0;
    void WndProc(TMessage& m) override {
      if (m.Msg == CM_DIALOGKEY) ++DialogKeys;
      TForm::WndProc(m);
    }
  } form(nullptr);
  auto* e = new TskCustomEdit(&form);
  e->SetParent(&form);
  e->SetBounds(10, 10, 100, 22);
  std::wstring keys;
  e->OnKeyPress = [&](TObject*, wchar_t& k) {
    keys += k;
    k = L'x';
  };
  form.Show();
  e->SetText(L"ab");
  SendMessageW(e->Handle(), WM_CHAR, 13, 0);
  SendMessageW(e->Handle(), WM_CHAR, 27, 0);
  EXPECT_EQ(e->Text(), L"ab");
  EXPECT_EQ(keys, std::wstring(L"\r\x1b"));
  EXPECT_EQ(form.DialogKeys, 2);
  EXPECT_EQ(GetWindowLongW(e->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

TEST(SkinNumEdit, KeyFilterTable) {
  TForm form(nullptr);
  auto* e = new TskSkinNumEdit(&form);
  e->SetParent(&form);
  e->SetBounds(10, 10, 100, 22);
  form.Show();
  struct Case {
    const wchar_t* text;
    wchar_t c;
    bool typing, decimal, accepted;
  } cases[] = {
      {L"", L'5', true, false, true},    {L"", L'a', true, false, false},
      {L"", L'-', true, false, true},    {L"-1", L'-', true, false, false},
      {L"1", 13, true, false, false},    {L"1", 8, true, false, true},
      {L"1", 8, false, false, false},    {L"1", L'3', false, false, false},
      {L"1", 3, false, false, true},     {L"1", L'.', true, true, true},
      {L"1.5", L'.', true, true, false}, {L"1", L'.', true, false, false},
  };
  for (auto& c : cases) {
    e->TypingAllowed = c.typing;
    e->AllowDecimal = c.decimal;
    e->SetText(c.text);
    EXPECT_EQ(e->CharAccepted(c.c), c.accepted) << c.text << " " << int(c.c);
  }
  // Typed: a second "-" and a letter are dropped.
  e->TypingAllowed = true;
  e->AllowDecimal = false;
  e->SetText(L"");
  for (wchar_t ch : std::wstring(L"-1-a2"))
    SendMessageW(e->Handle(), WM_CHAR, ch, 0);
  EXPECT_EQ(e->Text(), L"-12");
  // Up, Down and the wheel are reported, not typed.
  int up = 0, down = 0;
  e->UpNotify = [&](TObject*) { ++up; };
  e->DownNotify = [&](TObject*) { ++down; };
  e->Perform(WM_KEYDOWN, VK_UP, 0);
  e->Perform(WM_KEYDOWN, VK_DOWN, 0);
  e->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  e->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(up, 2);
  EXPECT_EQ(down, 2);
}

} // namespace

// ---------------------------------------------------------------------------
// List box and combo box

namespace {

// A form with skin data for the list and combo box tests.
struct TBoxForm {
  explicit TBoxForm(SkinKind k, int X = 80, int Y = 80) : Skin(MakeSkin(k)) {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(X, Y, 360, 300);
  }
  template <class T> T* Add(int L, int T_, int W, int H) {
    auto* c = new T(Form.get());
    c->SetParent(Form.get());
    c->SetBounds(L, T_, W, H);
    if (Skin && !Skin->Empty()) c->SetSkinData(Skin.get());
    return c;
  }
  void Show() {
    Form->Show();
    testsupport::PumpMessages();
  }
  std::unique_ptr<TskSkinData> Skin;
  std::unique_ptr<TForm> Form;
};

void AddNumbered(TStrings* Items, int Count, const wchar_t* Prefix = L"Item ") {
  Items->BeginUpdate();
  for (int i = 0; i < Count; ++i)
    Items->Add(Prefix + std::to_wstring(i));
  Items->EndUpdate();
}

// The pixels that a skinned list box draws for one item in a state.
std::vector<COLORREF> ItemRow(TskSkinCustomListBox* lb, int Index, TOwnerDrawState State, int Y) {
  TBitmap b;
  b.SetSize(100, 30);
  lb->DrawListItem(b.Canvas(), Index, TRect(0, 0, 100, lb->ListBox()->ItemHeight()), State);
  std::vector<COLORREF> row;
  for (int x = 0; x < 100; ++x)
    row.push_back(GetPixel(b.Canvas()->Handle(), x, Y));
  return row;
}

} // namespace

TEST(SkinListBox, VerticalBarComesAndGoesWithTheRows) {
  TBoxForm f(kNone);
  auto* lb = f.Add<TskSkinListBox>(10, 10, 150, 124);
  f.Show();
  // Without an entry the rows are 20 high in a list 124 - 4 high: six fit.
  EXPECT_EQ(lb->ListBox()->ItemHeight(), 20);
  EXPECT_EQ(lb->ListRect().Height(), 120);
  AddNumbered(lb->Items(), 6);
  EXPECT_EQ(lb->VScrollBar(), nullptr);
  lb->Items()->Add(L"seventh");
  ASSERT_NE(lb->VScrollBar(), nullptr);
  EXPECT_TRUE(lb->VScrollBar()->Visible());
  EXPECT_EQ(lb->VScrollBar()->PageSize(), 6);
  EXPECT_EQ(lb->VScrollBar()->Max(), 6);
  EXPECT_EQ(lb->VScrollBar()->Left(), 150 - 20);
  EXPECT_EQ(lb->ListRect().Right, lb->VScrollBar()->Left());
  // The bar scrolls the list; keys scrolling the list move the bar.
  lb->VScrollBar()->SetPosition(1);
  EXPECT_EQ(lb->TopIndex(), 1);
  lb->Items()->Delete(6);
  EXPECT_EQ(lb->VScrollBar(), nullptr);
  EXPECT_EQ(lb->ListRect().Right, 148);

  // RowCount sizes the list for its rows and never shows a bar for exactly them.
  lb->Items()->Clear();
  AddNumbered(lb->Items(), 5);
  lb->SetRowCount(5);
  EXPECT_EQ(lb->Height(), 5 * 20 + 4);
  EXPECT_EQ(lb->VScrollBar(), nullptr);
  lb->Items()->Add(L"sixth");
  EXPECT_NE(lb->VScrollBar(), nullptr);
}

TEST(SkinListBox, BarSetsTheTopIndexPastSixteenBits) {
  TBoxForm f(kNone);
  auto* lb = f.Add<TskSkinListBox>(10, 10, 150, 124);
  TStringList many;
  for (int i = 0; i < 66000; ++i)
    many.Add(std::to_wstring(i));
  // Filled before the window exists: the new window takes them in one go.
  lb->SetItems(&many);
  f.Show();
  lb->UpdateScrollBars();
  ASSERT_NE(lb->VScrollBar(), nullptr);
  EXPECT_EQ(lb->VScrollBar()->Max(), 65999);
  lb->VScrollBar()->SetPosition(65800);
  EXPECT_EQ(lb->TopIndex(), 65800);
  // The bar follows a top index that the list sets itself.
  lb->SetItemIndex(65999);
  testsupport::PumpMessages();
  EXPECT_EQ(lb->VScrollBar()->Position(), lb->TopIndex());
  EXPECT_GT(lb->TopIndex(), 65990);
}

TEST(SkinListBox, HorizontalExtentShiftsTheItems) {
  TBoxForm f(kNone);
  auto* lb = f.Add<TskSkinListBox>(10, 10, 150, 124);
  f.Show();
  lb->Items()->Add(L"short");
  lb->SetHorizontalExtent(true);
  EXPECT_EQ(lb->HScrollBar(), nullptr);
  lb->Items()->Add(L"a very much longer item text than the list is wide, really");
  lb->UpdateScrollBars();
  ASSERT_NE(lb->HScrollBar(), nullptr);
  int room = lb->ListBox()->Width() - 4;
  EXPECT_EQ(lb->HScrollBar()->PageSize(), room);
  // With only the horizontal bar the list ends above it.
  EXPECT_EQ(lb->VScrollBar(), nullptr);
  EXPECT_LE(lb->ListRect().Bottom, lb->HScrollBar()->Top());
  lb->HScrollBar()->SetPosition(10);
  EXPECT_EQ(lb->ListBox()->HorizontalOffset, 10);
  // A wider list needs less offset.
  lb->SetWidth(156);
  EXPECT_EQ(lb->ListBox()->HorizontalOffset, 4);
  lb->SetHorizontalExtent(false);
  EXPECT_EQ(lb->HScrollBar(), nullptr);
  EXPECT_EQ(lb->ListBox()->HorizontalOffset, 0);
}

TEST(SkinListBox, TabWidthsTakeDigitsOnly) {
  TStringList w;
  for (const wchar_t* s : {L"40", L"x", L"100", L"", L"1a", L"7"})
    w.Add(s);
  EXPECT_EQ(SkinListTabStops(&w), (std::vector<int>{40, 0, 100, 0, 0, 7}));
  for (int i = 0; i < 6; ++i)
    w.Add(L"5");
  EXPECT_EQ(SkinListTabStops(&w).size(), 10u);
}

TEST(SkinListBox, ItemsShowTheirStatesInBothLooks) {
  for (SkinKind k : {kNone, kBuiltin}) {
    SCOPED_TRACE(SkinName(k));
    TBoxForm f(k);
    auto* lb = f.Add<TskSkinListBox>(10, 10, 150, 124);
    f.Show();
    AddNumbered(lb->Items(), 3);
    std::vector<COLORREF> plain = ItemRow(lb, 0, 0, 2);
    std::vector<COLORREF> selected = ItemRow(lb, 0, odSelected, 2);
    std::vector<COLORREF> focused = ItemRow(lb, 0, odSelected | odFocused, 2);
    EXPECT_NE(plain, selected);
    if (k == kNone) {
      EXPECT_EQ(plain[50], ColorToRGB(clWindow));
      EXPECT_EQ(selected[50], ColorToRGB(clHighlight));
      // The focused row adds the focus rectangle to the selected look.
      EXPECT_EQ(focused[50], selected[50]);
      EXPECT_NE(ItemRow(lb, 0, odSelected | odFocused, 0), ItemRow(lb, 0, odSelected, 0));
    } else {
      EXPECT_TRUE(lb->HasEntry());
      EXPECT_NE(focused, plain);
    }
    // An index outside the items draws nothing.
    EXPECT_EQ(ItemRow(lb, 3, odSelected, 2), ItemRow(lb, 3, 0, 2));
    // The list paints its rows with the states of the selection.
    lb->SetItemIndex(1);
    EXPECT_TRUE(lb->ListBox()->PaintState(1) & odSelected);
    EXPECT_EQ(lb->ListBox()->PaintState(0), 0u);
  }
}

TEST(SkinListBox, OwnerDrawEventReplacesTheItemText) {
  TBoxForm f(kNone);
  auto* lb = f.Add<TskSkinListBox>(10, 10, 150, 124);
  f.Show();
  AddNumbered(lb->Items(), 3);
  std::vector<std::pair<int, TOwnerDrawState>> calls;
  lb->OnDrawItem = [&](TCanvas*, int Index, int W, int H, TRect TxtRect, TOwnerDrawState State) {
    EXPECT_EQ(W, 100);
    EXPECT_EQ(H, 20);
    EXPECT_EQ(TxtRect.Left, 2);
    calls.push_back({Index, State});
  };
  ItemRow(lb, 2, odSelected, 2);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].first, 2);
  EXPECT_EQ(calls[0].second, odSelected);
}

TEST(SkinComboBox, KeysMoveTheSelection) {
  TBoxForm f(kNone);
  auto* cb = f.Add<TskSkinComboBox>(10, 10, 150, 20);
  f.Show();
  AddNumbered(cb->Items(), 30);
  int clicks = 0, changes = 0;
  cb->OnClick = [&](TObject*) { ++clicks; };
  cb->OnChange = [&](TObject*) { ++changes; };
  cb->SetItemIndex(20);
  EXPECT_EQ(cb->Text(), L"Item 20");
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 1);
  // Assigning the same index again clicks without a change.
  cb->SetItemIndex(20);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(changes, 1);
  struct Case {
    WORD key;
    int expected;
  } cases[] = {
      // Both pages move DropDownCount - 1 rows.
      {VK_PRIOR, 13}, {VK_NEXT, 20}, {VK_HOME, 0},  {VK_UP, 0},    {VK_PRIOR, 0},  {VK_DOWN, 1},
      {VK_END, 29},   {VK_DOWN, 29}, {VK_NEXT, 29}, {VK_LEFT, 28}, {VK_RIGHT, 29},
  };
  for (const Case& c : cases) {
    cb->Perform(WM_KEYDOWN, c.key, 0);
    EXPECT_EQ(cb->ItemIndex(), c.expected) << c.key;
    EXPECT_EQ(cb->Text(), L"Item " + std::to_wstring(c.expected));
  }
  // The wheel moves one row.
  cb->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(cb->ItemIndex(), 28);
  // The open list: Page Down moves the highlight, Escape brings the old item back.
  cb->Perform(WM_SYSKEYDOWN, VK_DOWN, 1 << 29);
  ASSERT_TRUE(cb->DropDownList()->ListVisible());
  cb->Perform(WM_KEYDOWN, VK_PRIOR, 0);
  EXPECT_EQ(cb->ItemIndex(), 21);
  cb->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(cb->DropDownList()->ItemIndex(), 20);
  int shownChanges = changes;
  cb->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(cb->DropDownList()->ListVisible());
  EXPECT_EQ(cb->ItemIndex(), 21);
  EXPECT_EQ(changes, shownChanges);
  // Enter takes the highlighted row.
  int closeUps = 0;
  cb->OnCloseUp = [&](TObject*) { ++closeUps; };
  cb->DropDown();
  cb->DropDownList()->SetItemIndex(5);
  EXPECT_EQ(cb->SavedItemIndex(), 21);
  cb->Perform(WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_FALSE(cb->DropDownList()->ListVisible());
  EXPECT_EQ(cb->ItemIndex(), 5);
  EXPECT_EQ(cb->Text(), L"Item 5");
  EXPECT_EQ(closeUps, 1);
  EXPECT_EQ(changes, shownChanges + 1);
}

TEST(SkinComboBox, TypingSearchesWithinHalfASecond) {
  TBoxForm f(kNone);
  auto* cb = f.Add<TskSkinComboBox>(10, 10, 150, 20);
  f.Show();
  for (const wchar_t* s : {L"apple", L"Avocado", L"banana", L"apricot", L"blueberry"})
    cb->Items()->Add(s);
  DWORD now = 1000;
  cb->TickCount = [&] { return now; };
  auto type = [&](wchar_t ch, DWORD at) {
    now = at;
    cb->Perform(WM_CHAR, ch, 0);
    return cb->ItemIndex();
  };
  // Keys within 500 ms add up; the first one searches after the current row.
  EXPECT_EQ(type(L'a', 1000), 0);
  EXPECT_EQ(type(L'p', 1100), 0);
  EXPECT_EQ(type(L'r', 1599), 3);
  EXPECT_EQ(cb->SearchText(), L"apr");
  // A pause of 500 ms starts again.
  EXPECT_EQ(type(L'b', 2099), 4);
  EXPECT_EQ(cb->SearchText(), L"b");
  EXPECT_EQ(type(L'a', 2700), 0);
  // "aa" matches nothing: the selection stays.
  EXPECT_EQ(type(L'a', 2800), 0);
  // Without auto-completion each key cycles through the rows with its letter.
  cb->SetAutoComplete(false);
  int cycle[] = {1, 3, 0, 1};
  for (int expected : cycle)
    EXPECT_EQ(type(L'A', 2810), expected);
}

TEST(SkinComboBox, ListOpensAboveNearTheBottomAndClosesWhenTheFormMoves) {
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  for (bool nearBottom : {false, true}) {
    SCOPED_TRACE(nearBottom);
    TBoxForm f(kNone, 40, nearBottom ? work.bottom - 120 : 60);
    auto* cb = f.Add<TskSkinComboBox>(10, 10, 150, 20);
    f.Show();
    AddNumbered(cb->Items(), 20);
    int drops = 0;
    cb->OnDropDown = [&](TObject*) { ++drops; };
    cb->DropDown();
    TskPopupListBox* list = cb->DropDownList();
    ASSERT_TRUE(list->ListVisible());
    EXPECT_TRUE(IsWindowVisible(list->Handle()));
    EXPECT_EQ(drops, 1);
    RECT lr = testsupport::WindowRect(list->Handle());
    RECT cr = testsupport::WindowRect(cb->Handle());
    EXPECT_EQ(lr.left, cr.left);
    EXPECT_EQ(lr.right - lr.left, 150);
    EXPECT_EQ(lr.bottom - lr.top, 8 * 20 + 4);
    ASSERT_NE(list->VScrollBar(), nullptr);
    if (nearBottom)
      EXPECT_EQ(lr.bottom, cr.top);
    else
      EXPECT_EQ(lr.top, cr.bottom);
    // The list never takes the activation.
    EXPECT_EQ(GetWindowLongW(list->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW);
    f.Form->SetLeft(f.Form->Left() + 30);
    testsupport::PumpMessages();
    EXPECT_FALSE(list->ListVisible());
    EXPECT_FALSE(IsWindowVisible(list->Handle()));
    EXPECT_FALSE(cb->ListDropped());
  }
}

TEST(SkinComboBox, CancelModeClosesTheListUnlessItComesFromIt) {
  TBoxForm f(kNone);
  auto* cb = f.Add<TskSkinComboBox>(10, 10, 150, 20);
  auto* other = f.Add<TskSkinListBox>(10, 60, 150, 100);
  f.Show();
  AddNumbered(cb->Items(), 3);
  cb->SetItemIndex(1);
  for (TObject* sender : {static_cast<TObject*>(cb), static_cast<TObject*>(cb->DropDownList()),
                          static_cast<TObject*>(cb->DropDownList()->ListBox())}) {
    cb->DropDown();
    cb->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(sender));
    EXPECT_TRUE(cb->DropDownList()->ListVisible());
    cb->CloseUp(false);
  }
  for (TObject* sender : {static_cast<TObject*>(nullptr), static_cast<TObject*>(other)}) {
    cb->DropDown();
    cb->DropDownList()->SetItemIndex(2);
    // The message number the skinned form sends.
    ASSERT_EQ(CM_CANCELMODE, 45060u);
    SendMessageW(cb->Handle(), CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(sender));
    EXPECT_FALSE(cb->DropDownList()->ListVisible());
    EXPECT_EQ(cb->ItemIndex(), 1);
  }
  // No items: nothing opens.
  cb->Items()->Clear();
  cb->DropDown();
  EXPECT_FALSE(cb->DropDownList()->ListVisible());
}

TEST(SkinComboBox, SkinLookTakesTheEntryAndItsList) {
  TBoxForm f(kBuiltin);
  auto* cb = f.Add<TskSkinComboBox>(10, 10, 150, 20);
  f.Show();
  cb->ApplyControlSkin();
  EXPECT_GE(cb->EntryIndex(), 0);
  EXPECT_EQ(cb->DropDownList()->SkinDataName(), L"listbox");
  EXPECT_GE(cb->DropDownList()->EntryIndex(), 0);
  // The field's parts lie inside the control.
  TRect button = cb->DropButtonRect(), area = cb->ItemAreaRect();
  EXPECT_GT(button.Width(), 0);
  EXPECT_LE(button.Right, cb->Width());
  EXPECT_LE(area.Right, button.Left + 1);
}

// ---------------------------------------------------------------------------
// Real mouse input on the list and combo boxes (run alone: they need the
// shared pointer and read the screen).

namespace {

// Saves what the screen shows in R.
void SaveScreenRect(const RECT& R, const std::wstring& Name) {
  std::vector<DWORD> px = testsupport::ScreenPixels(R);
  testsupport::SavePixelsPng(testsupport::OutputPath(Name), R.right - R.left, R.bottom - R.top,
                             px.data(), (R.right - R.left) * 4);
}

std::wstring WideName(SkinKind k) {
  std::string n = SkinName(k);
  return std::wstring(n.begin(), n.end());
}

// Brings a shown form to the front; the clicks that follow activate it anyway.
void Foreground(TForm* F) {
  for (int i = 0; i < 3; ++i)
    if (testsupport::ForceForeground(F->Handle(), 1000)) return;
}

RECT Union(const RECT& A, const RECT& B) {
  RECT r;
  UnionRect(&r, &A, &B);
  return r;
}

} // namespace

TEST(SkinBoxInput, ComboOpensByClickAndChoosesByClick) {
  for (SkinKind k : {kNone, kBuiltin}) {
    SCOPED_TRACE(SkinName(k));
    TBoxForm f(k);
    auto* cb = f.Add<TskSkinComboBox>(20, 20, 180, 20);
    f.Show();
    Foreground(f.Form.get());
    AddNumbered(cb->Items(), 12, L"Device ");
    cb->SetItemIndex(2);
    std::vector<std::wstring> events;
    cb->OnChange = [&](TObject*) { events.push_back(L"change"); };
    cb->OnClick = [&](TObject*) { events.push_back(L"click"); };
    cb->OnCloseUp = [&](TObject*) { events.push_back(L"closeup"); };
    TRect button = cb->DropButtonRect();
    // A click on the button opens the list and leaves it open.
    ClickClient(cb->Handle(), (button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2);
    TskPopupListBox* list = cb->DropDownList();
    ASSERT_TRUE(list->ListVisible());
    EXPECT_FALSE(cb->Tracking());
    // Hovering highlights; the field still shows the item of before.
    HWND inner = list->ListBox()->Handle();
    int ih = list->ListBox()->ItemHeight();
    int top = list->TopIndex();
    EXPECT_EQ(top, 2);
    MouseToClient(inner, 30, 3 * ih + ih / 2);
    EXPECT_EQ(list->ItemIndex(), 5);
    EXPECT_EQ(cb->Text(), L"Device 2");
    testsupport::PumpFor(100);
    SaveScreenRect(
        Union(testsupport::WindowRect(cb->Handle()), testsupport::WindowRect(list->Handle())),
        std::wstring(L"skin-combo-list-") + WideName(k) + L".png");
    // A click in the list takes the row under the pointer.
    MouseButton(true);
    MouseButton(false);
    EXPECT_FALSE(list->ListVisible());
    EXPECT_EQ(cb->ItemIndex(), 5);
    EXPECT_EQ(cb->Text(), L"Device 5");
    EXPECT_EQ(events, (std::vector<std::wstring>{L"change", L"click", L"closeup"}));
    // Press on the field, drag into the list and release there.
    events.clear();
    TRect area = cb->ItemAreaRect();
    MouseToClient(cb->Handle(), area.Left + 10, area.Top + 5);
    MouseButton(true);
    EXPECT_TRUE(cb->Tracking());
    top = list->TopIndex();
    MouseToClient(inner, 30, ih + ih / 2);
    EXPECT_TRUE(cb->TrackEnteredList());
    MouseButton(false);
    EXPECT_EQ(cb->ItemIndex(), top + 1);
    EXPECT_FALSE(list->ListVisible());
    SaveScreenRect(testsupport::WindowRect(cb->Handle()),
                   std::wstring(L"skin-combo-closed-") + WideName(k) + L".png");
    MouseToScreen(5, 5);
  }
}

TEST(SkinBoxInput, AutoScrollStopsWhenTheListCloses) {
  TBoxForm f(kNone);
  auto* cb = f.Add<TskSkinComboBox>(20, 20, 180, 20);
  f.Show();
  Foreground(f.Form.get());
  AddNumbered(cb->Items(), 40);
  cb->SetItemIndex(3);
  TRect button = cb->DropButtonRect();
  MouseToClient(cb->Handle(), (button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2);
  MouseButton(true);
  TskPopupListBox* list = cb->DropDownList();
  ASSERT_TRUE(list->ListVisible());
  HWND inner = list->ListBox()->Handle();
  RECT lr = testsupport::WindowRect(list->Handle());
  MouseToClient(inner, 30, 10);
  ASSERT_TRUE(cb->TrackEnteredList());
  // Below the list the highlight runs down by itself.
  MouseToScreen(lr.left + 30, lr.bottom + 40, 200);
  EXPECT_EQ(cb->ScrollDirection(), 2);
  EXPECT_GT(list->ItemIndex(), 3);
  // A release outside closes the list without a choice and ends the scrolling.
  MouseButton(false);
  EXPECT_FALSE(list->ListVisible());
  EXPECT_EQ(cb->ScrollDirection(), 0);
  EXPECT_EQ(cb->ItemIndex(), 3);
  testsupport::PumpFor(150);
  EXPECT_EQ(list->ItemIndex(), 3);
  EXPECT_EQ(cb->ItemIndex(), 3);
  MouseToScreen(5, 5);
}

TEST(SkinBoxInput, CaptionButtonsRepeatAndTheirHandlers) {
  TBoxForm f(kNone);
  auto* lb = f.Add<TskSkinListBox>(20, 20, 200, 150);
  lb->SetCaptionMode(true);
  lb->SetCaption(L"Lines");
  f.Show();
  Foreground(f.Form.get());
  AddNumbered(lb->Items(), 20);
  lb->SetItemIndex(10);
  HWND h = lb->Handle();
  auto centre = [&](int i) {
    TRect r = lb->ButtonRect(i);
    return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  };
  SaveScreenRect(testsupport::WindowRect(h), L"skin-listbox-caption-none.png");
  // Held without a handler: the repeat waits 500 ms, then steps every 100 ms.
  POINT up = centre(0);
  MouseToClient(h, up.x, up.y);
  EXPECT_EQ(lb->ActiveButton(), 0);
  MouseButton(true);
  EXPECT_EQ(lb->PressedButton(), 0);
  EXPECT_EQ(lb->RepeatDirection(), 1);
  EXPECT_EQ(lb->RepeatInterval(), 500u);
  lb->RepeatTick();
  EXPECT_EQ(lb->RepeatInterval(), 100u);
  EXPECT_EQ(lb->ItemIndex(), 10);
  lb->RepeatTick();
  EXPECT_EQ(lb->ItemIndex(), 9);
  // Leaving the pressed button pauses the repeat; coming back restarts it.
  MouseToClient(h, 30, 80, 10);
  EXPECT_FALSE(lb->ButtonMouseIn(0));
  EXPECT_EQ(lb->RepeatInterval(), 0u);
  MouseToClient(h, up.x, up.y, 5);
  EXPECT_EQ(lb->RepeatInterval(), 50u);
  int before = lb->ItemIndex();
  MouseButton(false);
  EXPECT_EQ(lb->RepeatDirection(), 0);
  EXPECT_EQ(lb->ItemIndex(), before - 1);
  // The real timer runs the repeat on its own.
  int held = lb->ItemIndex();
  MouseButton(true);
  testsupport::PumpFor(900);
  MouseButton(false);
  EXPECT_LT(lb->ItemIndex(), held - 2);
  // Down at the last row does nothing.
  lb->SetItemIndex(19);
  POINT down = centre(1);
  ClickClient(h, down.x, down.y);
  EXPECT_EQ(lb->ItemIndex(), 19);

  // With a handler: no repeat, and a release outside the button runs nothing.
  int handled = 0;
  lb->OnUpButtonClick = [&](TObject* Sender) {
    EXPECT_EQ(Sender, lb);
    ++handled;
  };
  lb->SetItemIndex(10);
  MouseToClient(h, up.x, up.y);
  MouseButton(true);
  EXPECT_EQ(lb->RepeatDirection(), 0);
  MouseToClient(h, 30, 80);
  MouseButton(false);
  EXPECT_EQ(handled, 0);
  EXPECT_EQ(lb->ItemIndex(), 10);
  ClickClient(h, up.x, up.y);
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(lb->ItemIndex(), 10);
  // The check button clicks the list.
  int listClicks = 0;
  lb->OnListBoxClick = [&](TObject*) { ++listClicks; };
  POINT check = centre(2);
  ClickClient(h, check.x, check.y);
  EXPECT_EQ(listClicks, 1);
  MouseToScreen(5, 5);
}

TEST(SkinBoxInput, ListBoxPictures) {
  for (SkinKind k : {kNone, kBuiltin}) {
    SCOPED_TRACE(SkinName(k));
    TBoxForm f(k);
    auto* lb = f.Add<TskSkinListBox>(20, 20, 200, 150);
    lb->Items()->Add(L"plain");
    lb->Items()->Add(L"selected and focused");
    lb->Items()->Add(L"tabbed\tcolumn");
    AddNumbered(lb->Items(), 10);
    f.Show();
    Foreground(f.Form.get());
    lb->SetItemIndex(1);
    lb->ListBox()->SetFocus();
    testsupport::PumpMessages();
    EXPECT_EQ(lb->ListBox()->PaintState(1), odSelected | odFocused);
    ASSERT_NE(lb->VScrollBar(), nullptr);
    SaveScreenRect(testsupport::WindowRect(lb->Handle()),
                   std::wstring(L"skin-listbox-") + WideName(k) + L".png");
  }
}
