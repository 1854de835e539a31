#include "framework/StdCtrls.h"
#include "framework/Forms.h"

#include <gtest/gtest.h>

#include <memory>

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

} // namespace
