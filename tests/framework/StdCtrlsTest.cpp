#include "framework/StdCtrls.h"
#include "framework/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/framework/Snapshot.h"
#include "tests/support/Gui.h"

namespace {

// A form holding a group box that holds the controls.
class StdCtrlsTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetCaption(L"Standard controls");
    form->SetBounds(100, 100, 420, 340);
    form->AfterConstruction();
    box = new TGroupBox(form);
    box->SetParent(form);
    box->SetBounds(8, 8, 390, 290);
    box->SetCaption(L"Group");
  }
  void TearDown() override { delete form; }
  template <class T> T* Make(int left, int top, int width, int height) {
    T* c = new T(form);
    c->SetParent(box);
    c->SetBounds(left, top, width, height);
    return c;
  }
  TForm* form = nullptr;
  TGroupBox* box = nullptr;
};

TEST_F(StdCtrlsTest, EachControlReactsToClicksAndKeys) {
  auto* label = Make<TLabel>(12, 24, 100, 17);
  label->SetCaption(L"Right aligned");
  auto* button = Make<TButton>(12, 50, 90, 25);
  button->SetCaption(L"Press");
  auto* edit = Make<TEdit>(120, 50, 120, 21);
  edit->SetText(L"start");
  auto* check = Make<TCheckBox>(12, 84, 120, 17);
  check->SetCaption(L"Check me");
  auto* radio1 = Make<TRadioButton>(12, 108, 120, 17);
  radio1->SetCaption(L"First");
  auto* radio2 = Make<TRadioButton>(140, 108, 120, 17);
  radio2->SetCaption(L"Second");
  auto* combo = Make<TComboBox>(12, 136, 150, 21);
  combo->SetStyle(csDropDownList);
  auto* list = Make<TListBox>(180, 136, 150, 80);

  int buttonClicks = 0, editChanges = 0, checkClicks = 0, comboChanges = 0, comboClicks = 0,
      listClicks = 0;
  button->OnClick = [&](TObject*) { ++buttonClicks; };
  edit->OnChange = [&](TObject*) { ++editChanges; };
  check->OnClick = [&](TObject*) { ++checkClicks; };
  combo->OnChange = [&](TObject*) { ++comboChanges; };
  combo->OnClick = [&](TObject*) { ++comboClicks; };
  list->OnClick = [&](TObject*) { ++listClicks; };

  for (auto s : {L"MP3", L"OGG", L"WMA", L"WAV"})
    combo->Items()->Add(s);
  int obj = 7;
  list->Items()->AddObject(L"one", &obj);
  list->Items()->Add(L"two");
  list->Items()->Add(L"three");
  combo->SetItemIndex(1); // no event when set in code
  EXPECT_EQ(comboChanges, 0);
  EXPECT_EQ(combo->Text(), L"OGG");

  form->Show();
  testsupport::PumpFor(200);

  // Button: a mouse click fires OnClick once.
  testsupport::ClickCenter(button->Handle());
  testsupport::PumpFor(50);
  EXPECT_EQ(buttonClicks, 1);

  // Edit: typed text reaches Text and OnChange.
  SetFocus(edit->Handle());
  edit->SelectAll();
  testsupport::TypeText(edit->Handle(), L"abc");
  testsupport::PumpFor(50);
  EXPECT_EQ(edit->Text(), L"abc");
  EXPECT_GE(editChanges, 3);
  edit->SetSelStart(1);
  edit->SetSelLength(1);
  EXPECT_EQ(edit->SelText(), L"b");
  edit->SetMaxLength(2);
  testsupport::TypeText(edit->Handle(), L"zzz");
  EXPECT_LE(edit->Text().size(), 3u);

  // Check box: clicking toggles; setting in code also fires OnClick on change only.
  testsupport::ClickCenter(check->Handle());
  testsupport::PumpFor(50);
  EXPECT_TRUE(check->Checked());
  EXPECT_EQ(SendMessageW(check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  check->SetChecked(true);
  EXPECT_EQ(checkClicks, 1);
  check->SetChecked(false);
  EXPECT_EQ(checkClicks, 2);

  // Radio buttons exclude each other.
  testsupport::ClickCenter(radio1->Handle());
  testsupport::PumpFor(50);
  EXPECT_TRUE(radio1->Checked());
  radio2->SetChecked(true);
  EXPECT_FALSE(radio1->Checked());
  EXPECT_EQ(SendMessageW(radio1->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  // Combo box: a key moves the selection and fires OnClick and OnChange.
  SetFocus(combo->Handle());
  testsupport::KeyPress(combo->Handle(), VK_DOWN);
  testsupport::PumpFor(50);
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), L"WMA");
  EXPECT_EQ(comboChanges, 1);
  EXPECT_EQ(comboClicks, 1);

  // List box: clicking the second row selects it.
  TRect r = list->ItemRect(1);
  testsupport::Click(list->Handle(), r.Left + 5, r.Top + 3);
  testsupport::PumpFor(50);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(listClicks, 1);
  EXPECT_EQ(list->Items()->Objects(0), &obj);
  EXPECT_EQ(list->ItemAtPos(TPoint(r.Left + 5, r.Top + 3), true), 1);

  label->SetAlignment(taRightJustify);
  testsupport::PumpFor(100);
  EXPECT_TRUE(snapshot::SaveWindowPng(form->Handle(), L"framework_stdctrls.png"));
}

TEST_F(StdCtrlsTest, ItemsSurviveWindowRecreation) {
  auto* combo = Make<TComboBox>(12, 24, 150, 21);
  combo->SetStyle(csDropDownList);
  combo->Items()->SetCommaText(L"b,c,a");
  combo->SetSorted(true);
  EXPECT_EQ(combo->Items()->CommaText(), L"a,b,c");
  combo->Items()->Add(L"ab");
  EXPECT_EQ(combo->Items()->CommaText(), L"a,ab,b,c");
  combo->SetItemIndex(2);
  combo->Handle();
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 4);
  combo->SetStyle(csDropDown); // recreates the window
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(combo->ItemIndex(), 2);
  combo->Items()->Delete(0);
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 3);
  combo->Clear();
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 0);
}

TEST_F(StdCtrlsTest, LabelAutoSizesToItsCaption) {
  auto* label = Make<TLabel>(12, 24, 10, 10);
  label->SetCaption(L"A fairly long caption");
  int w1 = label->Width();
  EXPECT_GT(w1, 50);
  label->SetCaption(L"Short");
  EXPECT_LT(label->Width(), w1);
  label->SetAutoSize(false);
  label->SetCaption(L"A fairly long caption again");
  EXPECT_LT(label->Width(), w1);
}

TEST_F(StdCtrlsTest, StaticTextIsASystemStaticWindow) {
  auto* text = Make<TStaticText>(12, 24, 10, 10);
  text->SetCaption(L"Level & gain");
  EXPECT_GT(text->Width(), 30); // sized to the caption
  int clicks = 0;
  text->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  testsupport::PumpFor(100);
  HWND h = text->Handle();
  EXPECT_EQ(testsupport::ClassOf(h), L"Static");
  EXPECT_EQ(testsupport::WindowText(h), L"Level & gain");
  EXPECT_EQ(FindControl(h), text);
  testsupport::ClickCenter(h);
  testsupport::PumpFor(50);
  EXPECT_EQ(clicks, 1);

  text->SetCaption(L"Changed");
  EXPECT_EQ(testsupport::WindowText(h), L"Changed");
  // A new style makes a new window, bound to the same control.
  text->SetShowAccelChar(false);
  text->SetAlignment(taCenter);
  h = text->Handle();
  EXPECT_EQ(FindControl(h), text);
  LONG style = GetWindowLongW(h, GWL_STYLE);
  EXPECT_EQ(style & SS_TYPEMASK, SS_CENTER);
  EXPECT_TRUE(style & SS_NOPREFIX);
  EXPECT_EQ(testsupport::WindowText(h), L"Changed");
  delete text;
  EXPECT_FALSE(IsWindow(h));
}

TEST_F(StdCtrlsTest, ScrollBarRangePositionAndSteps) {
  auto* bar = Make<TScrollBar>(12, 24, 200, 17);
  EXPECT_EQ(bar->Kind(), sbHorizontal);
  int changes = 0;
  bar->OnChange = [&](TObject*) { ++changes; };
  std::vector<TScrollCode> codes;
  bar->OnScroll = [&](TObject*, TScrollCode code, int&) { codes.push_back(code); };
  bar->SetParams(50, -100, 100);
  EXPECT_EQ(changes, 1);
  bar->SetPosition(50); // no change, no event
  EXPECT_EQ(changes, 1);
  bar->SetPosition(500); // clamped
  EXPECT_EQ(bar->Position(), 100);
  EXPECT_EQ(changes, 2);
  bar->SetMax(80); // the position follows the range
  EXPECT_EQ(bar->Position(), 80);
  EXPECT_EQ(changes, 3);
  bar->SetSmallChange(5);
  bar->SetLargeChange(25);
  bar->SetPosition(0);

  form->Show();
  testsupport::PumpFor(100);
  HWND h = bar->Handle();
  EXPECT_EQ(testsupport::ClassOf(h), L"TScrollBar");
  EXPECT_FALSE(GetWindowLongW(h, GWL_STYLE) & SBS_VERT);
  SCROLLINFO si{sizeof(si), SIF_ALL};
  GetScrollInfo(h, SB_CTL, &si);
  EXPECT_EQ(si.nMin, -100);
  EXPECT_EQ(si.nMax, 80);
  EXPECT_EQ(si.nPos, 0);

  // What the bar tells its parent moves it by the steps.
  HWND parent = GetParent(h);
  auto scroll = [&](WORD code, WORD pos = 0) {
    SendMessageW(parent, WM_HSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(h));
  };
  scroll(SB_LINEDOWN);
  EXPECT_EQ(bar->Position(), 5);
  scroll(SB_PAGEDOWN);
  EXPECT_EQ(bar->Position(), 30);
  scroll(SB_LINEUP);
  EXPECT_EQ(bar->Position(), 25);
  scroll(SB_THUMBPOSITION, static_cast<WORD>(-40));
  EXPECT_EQ(bar->Position(), -40);
  scroll(SB_TOP);
  EXPECT_EQ(bar->Position(), -100);
  scroll(SB_PAGEUP); // stays at the minimum
  EXPECT_EQ(bar->Position(), -100);
  scroll(SB_BOTTOM);
  EXPECT_EQ(bar->Position(), 80);
  EXPECT_EQ(GetScrollPos(h, SB_CTL), 80);
  const std::vector<TScrollCode> expected = {scLineDown, scPageDown, scLineUp, scPosition,
                                             scTop,      scPageUp,   scBottom};
  EXPECT_EQ(codes, expected);

  // The scroll handler may move the bar elsewhere.
  bar->OnScroll = [](TObject*, TScrollCode, int& pos) { pos = 10; };
  scroll(SB_LINEUP);
  EXPECT_EQ(bar->Position(), 10);

  // The keyboard moves a focused bar.
  bar->OnScroll = nullptr;
  int before = changes;
  bar->SetFocus();
  testsupport::KeyPress(h, VK_RIGHT);
  testsupport::PumpFor(50);
  EXPECT_EQ(bar->Position(), 15);
  EXPECT_GT(changes, before);

  // A thumb of a page: the position stops a page before the end.
  bar->SetPageSize(30);
  EXPECT_EQ(bar->Position(), 15);
  bar->SetPosition(80);
  EXPECT_EQ(bar->Position(), 51);

  // Turned vertical: a new window, width and height exchanged.
  bar->SetKind(sbVertical);
  EXPECT_EQ(bar->Width(), 17);
  EXPECT_EQ(bar->Height(), 200);
  EXPECT_TRUE(GetWindowLongW(bar->Handle(), GWL_STYLE) & SBS_VERT);
  GetScrollInfo(bar->Handle(), SB_CTL, &si);
  EXPECT_EQ(si.nPos, 51);
  EXPECT_EQ(si.nPage, 30u);
  EXPECT_TRUE(snapshot::SaveWindowPng(form->Handle(), L"framework_scrollbar.png"));
}

} // namespace

namespace {

// One call of OnDrawItem.
struct TDrawCall {
  int Index;
  TRect Rect;
  TOwnerDrawState State;
};

} // namespace

TEST_F(StdCtrlsTest, OwnerDrawnListBoxGetsItsRowsWithTheirStates) {
  auto* list = Make<TListBox>(12, 24, 150, 120);
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(22);
  for (const wchar_t* s : {L"one", L"two", L"three"})
    list->Items()->Add(s);
  std::vector<TDrawCall> calls;
  list->OnDrawItem = [&](TWinControl* Control, int Index, const TRect& R, TOwnerDrawState State) {
    EXPECT_EQ(Control, list);
    calls.push_back({Index, R, State});
    // The canvas draws into the row's device context.
    static_cast<TListBox*>(Control)->Canvas()->FillRect(R);
  };
  form->Show();
  testsupport::PumpMessages();
  EXPECT_EQ(list->ItemHeight(), 22);
  EXPECT_EQ(list->ItemRect(1).Top, 22);
  EXPECT_TRUE(GetWindowLongW(list->Handle(), GWL_STYLE) & LBS_OWNERDRAWFIXED);

  // The platform asks for single rows with the states of its item flags.
  struct Case {
    UINT itemState;
    TOwnerDrawState expected;
  } cases[] = {
      {0, 0},
      {ODS_SELECTED, odSelected},
      {ODS_FOCUS, odFocused},
      {ODS_SELECTED | ODS_FOCUS, odSelected | odFocused},
      {ODS_DISABLED, odDisabled},
  };
  HDC dc = GetDC(list->Handle());
  for (const Case& c : cases) {
    calls.clear();
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_LISTBOX;
    dis.itemID = 2;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = c.itemState;
    dis.hwndItem = list->Handle();
    dis.hDC = dc;
    dis.rcItem = RECT{0, 44, 150, 66};
    SendMessageW(box->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Index, 2);
    EXPECT_EQ(calls[0].Rect.Top, 44);
    EXPECT_EQ(calls[0].State, c.expected) << c.itemState;
  }
  ReleaseDC(list->Handle(), dc);

  // Selecting a row makes the list draw it selected.
  calls.clear();
  list->SetItemIndex(1);
  list->Repaint();
  testsupport::PumpMessages();
  bool selectedDrawn = false;
  for (const TDrawCall& c : calls)
    if (c.Index == 1 && (c.State & odSelected)) selectedDrawn = true;
  EXPECT_TRUE(selectedDrawn);

  // Columns and the selection mode change the window's style.
  list->SetColumns(2);
  EXPECT_TRUE(GetWindowLongW(list->Handle(), GWL_STYLE) & LBS_MULTICOLUMN);
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, 0, 0), 22);
  list->SetMultiSelect(true);
  list->SetExtendedSelect(false);
  LONG style = GetWindowLongW(list->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & LBS_MULTIPLESEL);
  EXPECT_FALSE(style & LBS_EXTENDEDSEL);
  EXPECT_EQ(list->Items()->Count(), 3);
}
