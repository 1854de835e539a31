#include "framework/ComCtrls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/StdCtrls.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/framework/Snapshot.h"
#include "tests/support/Gui.h"

namespace {

// A form holding a group box that holds the controls.
class ComCtrlsTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetCaption(L"Common controls");
    form->SetBounds(120, 120, 560, 420);
    form->AfterConstruction();
    box = new TGroupBox(form);
    box->SetParent(form);
    box->SetBounds(4, 4, 530, 370);
  }
  void TearDown() override { delete form; }
  template <class T> T* Make(TWinControl* parent, int l, int t, int w, int h) {
    T* c = new T(form);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
  }
  TForm* form = nullptr;
  TGroupBox* box = nullptr;
};

TEST_F(ComCtrlsTest, ReportListViewItemsColumnsAndSelection) {
  auto* lv = Make<TListView>(box, 8, 20, 510, 150);
  lv->SetViewStyle(vsReport);
  lv->SetMultiSelect(true);
  lv->SetReadOnly(true);
  lv->SetRowSelect(true);
  struct Col {
    const wchar_t* caption;
    int width;
    TAlignment align;
  };
  const Col cols[] = {{L"Time", 110, taLeftJustify},
                      {L"Duration", 100, taCenter},
                      {L"File", 300, taLeftJustify},
                      {L"Size", 100, taLeftJustify}};
  for (const auto& c : cols) {
    TListColumn* col = lv->Columns()->Add();
    col->SetCaption(c.caption);
    col->SetWidth(c.width);
    col->SetAlignment(c.align);
  }
  int data[3] = {1, 2, 3};
  lv->Items()->BeginUpdate();
  for (int i = 0; i < 3; ++i) {
    TListItem* item = lv->Items()->Add();
    item->SetCaption(L"C:\\rec\\take" + std::to_wstring(i) + L".mp3");
    item->SubItems()->Add(L"07-03-2024,09:05:0" + std::to_wstring(i));
    item->SubItems()->Add(L"00:00:1" + std::to_wstring(i));
    item->SetData(&data[i]);
    item->SetImageIndex(0);
  }
  lv->Items()->EndUpdate();
  lv->Items()->Item(1)->SetSelected(true); // before the window exists
  auto* images = new TImageList(form);
  images->SetSize(13, 19);
  TBitmap strip;
  strip.SetSize(26, 19);
  strip.Canvas()->Brush()->SetColor(clRed);
  strip.Canvas()->FillRect(TRect(0, 0, 13, 19));
  strip.Canvas()->Brush()->SetColor(clGreen);
  strip.Canvas()->FillRect(TRect(13, 0, 26, 19));
  images->Add(&strip, nullptr);
  lv->SetSmallImages(images);
  lv->Items()->Item(2)->SetImageIndex(1);

  form->Show();
  HWND wnd = lv->Handle();
  testsupport::PumpFor(100);
  EXPECT_EQ(SendMessageW(wnd, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(lv->SmallImages(), images);
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(wnd, LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
            images->Handle());
  EXPECT_EQ(lv->Columns()->Items(0)->Width(), 110);
  wchar_t buf[64] = {};
  LVITEMW it{};
  it.iSubItem = 2;
  it.pszText = buf;
  it.cchTextMax = 64;
  SendMessageW(wnd, LVM_GETITEMTEXTW, 2, reinterpret_cast<LPARAM>(&it));
  EXPECT_STREQ(buf, L"00:00:12");
  EXPECT_EQ(lv->Selected(), lv->Items()->Item(1));
  EXPECT_EQ(lv->SelCount(), 1);
  EXPECT_EQ(lv->Selected()->Data(), &data[1]);

  int dbl = 0;
  lv->OnDblClick = [&](TObject*) { ++dbl; };
  TRect r = lv->Items()->Item(2)->DisplayRect();
  testsupport::Click(wnd, r.Left + 20, (r.Top + r.Bottom) / 2);
  testsupport::PumpFor(50);
  EXPECT_EQ(lv->Selected(), lv->Items()->Item(2));
  lv->Items()->Item(0)->SetSelected(true);
  EXPECT_EQ(lv->SelCount(), 2);
  testsupport::DoubleClick(wnd, r.Left + 20, (r.Top + r.Bottom) / 2);
  testsupport::PumpFor(50);
  EXPECT_EQ(dbl, 1);

  lv->Items()->Item(0)->SubItems()->SetStrings(0, L"changed");
  it.iSubItem = 1;
  SendMessageW(wnd, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&it));
  EXPECT_STREQ(buf, L"changed");
  lv->Items()->Delete(0);
  EXPECT_EQ(SendMessageW(wnd, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(lv->Items()->Item(0)->Data(), &data[1]);
  lv->Items()->Item(1)->MakeVisible();
  EXPECT_TRUE(snapshot::SaveWindowPng(form->Handle(), L"framework_listview.png"));
  lv->Items()->Clear();
  EXPECT_EQ(lv->Selected(), nullptr);

  // A new size makes a new list handle: the list view follows it.
  images->SetSize(16, 16);
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(wnd, LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
            images->Handle());
  // A freed image list is forgotten.
  delete images;
  EXPECT_EQ(lv->SmallImages(), nullptr);
  EXPECT_EQ(SendMessageW(wnd, LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
}

TEST_F(ComCtrlsTest, ListViewFullDragScrollStateAndPixelScrolling) {
  auto* lv = Make<TListView>(box, 8, 20, 300, 120);
  lv->SetViewStyle(vsReport);
  lv->SetFullDrag(true);
  for (int i = 0; i < 2; ++i)
    lv->Columns()->Add()->SetWidth(90);
  for (int i = 0; i < 40; ++i)
    lv->Items()->Add()->SetCaption(L"row " + std::to_wstring(i));
  int mn = -1, mx = -1, pos = -1;
  lv->GetScrollState(SB_VERT, mn, mx, pos);
  EXPECT_EQ(mn, 0);
  EXPECT_EQ(mx, 0); // no window yet
  form->Show();
  EXPECT_TRUE(SendMessageW(lv->Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) &
              LVS_EX_HEADERDRAGDROP);
  lv->GetScrollState(SB_VERT, mn, mx, pos);
  EXPECT_EQ(mn, 0);
  EXPECT_EQ(mx, 39);
  EXPECT_EQ(pos, 0);
  TRect first = lv->ItemRect(0);
  ASSERT_GT(first.Height(), 0);
  EXPECT_TRUE(lv->ItemRect(40).IsEmpty());
  lv->ScrollBy(0, 3 * first.Height());
  EXPECT_EQ(lv->TopItem(), lv->Items()->Item(3));
  lv->GetScrollState(SB_VERT, mn, mx, pos);
  EXPECT_EQ(pos, 3);
  lv->SetFullDrag(false);
  EXPECT_FALSE(SendMessageW(lv->Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) &
               LVS_EX_HEADERDRAGDROP);
}

TEST_F(ComCtrlsTest, PageControlPickerHotKeyAndBars) {
  auto* pc = Make<TPageControl>(box, 8, 20, 510, 200);
  auto* page1 = new TTabSheet(form);
  page1->SetPageControl(pc);
  page1->SetCaption(L"General");
  auto* page2 = new TTabSheet(form);
  page2->SetPageControl(pc);
  page2->SetCaption(L"Schedule");
  auto* picker = Make<TDateTimePicker>(page2, 10, 10, 150, 21);
  auto* timePicker = Make<TDateTimePicker>(page2, 10, 40, 150, 21);
  timePicker->SetKind(dtkTime);
  auto* hotkey = Make<THotKey>(page1, 10, 10, 150, 21);
  auto* track = Make<TTrackBar>(box, 8, 230, 200, 40);
  auto* progress = Make<TProgressBar>(box, 8, 280, 200, 16);

  EXPECT_EQ(pc->ActivePage(), page1);
  picker->SetDate(EncodeDate(2024, 3, 7));
  timePicker->SetTime(EncodeTime(21, 30, 15, 0));
  hotkey->SetHotKey(scCtrl | VK_F2);
  track->SetMax(20);
  track->SetPosition(25); // clamped
  progress->SetPosition(40);

  form->Show();
  testsupport::PumpFor(100);
  EXPECT_TRUE(IsWindowVisible(page1->Handle()));
  EXPECT_EQ(SendMessageW(pc->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);

  int changes = 0;
  pc->OnChange = [&](TObject*) { ++changes; };
  RECT tab{};
  SendMessageW(pc->Handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
  testsupport::Click(pc->Handle(), (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
  testsupport::PumpFor(100);
  EXPECT_EQ(pc->ActivePage(), page2);
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(IsWindowVisible(page1->Handle()));

  EXPECT_DOUBLE_EQ(picker->Date(), EncodeDate(2024, 3, 7));
  EXPECT_NEAR(timePicker->Time(), EncodeTime(21, 30, 15, 0), 1e-6);
  EXPECT_EQ(hotkey->HotKey(), scCtrl | VK_F2);
  EXPECT_EQ(track->Position(), 20);
  EXPECT_EQ(SendMessageW(track->Handle(), TBM_GETPOS, 0, 0), 20);
  EXPECT_EQ(SendMessageW(progress->Handle(), PBM_GETPOS, 0, 0), 40);

  int trackChanges = 0;
  track->OnChange = [&](TObject*) { ++trackChanges; };
  SetFocus(track->Handle());
  testsupport::KeyPress(track->Handle(), VK_LEFT);
  testsupport::PumpFor(50);
  EXPECT_EQ(track->Position(), 19);
  EXPECT_EQ(trackChanges, 1);

  pc->SetActivePageIndex(0);
  EXPECT_EQ(pc->ActivePage(), page1);
  testsupport::PumpFor(50);
  EXPECT_TRUE(snapshot::SaveWindowPng(form->Handle(), L"framework_comctrls.png"));
}

TEST_F(ComCtrlsTest, TabControlTabsIndexAndChangeEvents) {
  auto* tc = Make<TTabControl>(box, 8, 20, 400, 120);
  auto* inside = Make<TButton>(tc, 20, 40, 80, 24);
  EXPECT_EQ(tc->TabIndex(), -1);
  tc->Tabs()->Add(L"Input");
  tc->Tabs()->Add(L"Output");
  tc->Tabs()->Add(L"Mixer");
  // The first tab added is selected.
  EXPECT_EQ(tc->TabIndex(), 0);
  form->Show();
  testsupport::PumpFor(50);
  EXPECT_EQ(SendMessageW(tc->Handle(), TCM_GETITEMCOUNT, 0, 0), 3);
  wchar_t text[32]{};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = 32;
  SendMessageW(tc->Handle(), TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, L"Output");

  tc->SetTabIndex(2);
  EXPECT_EQ(SendMessageW(tc->Handle(), TCM_GETCURSEL, 0, 0), 2);
  tc->SetTabIndex(7); // out of range: ignored
  EXPECT_EQ(tc->TabIndex(), 2);

  int changes = 0;
  bool allow = false;
  tc->OnChange = [&](TObject*) { ++changes; };
  tc->OnChanging = [&](TObject*, bool& AllowChange) { AllowChange = allow; };
  auto clickTab = [&](int n) {
    RECT r{};
    SendMessageW(tc->Handle(), TCM_GETITEMRECT, n, reinterpret_cast<LPARAM>(&r));
    testsupport::Click(tc->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    testsupport::PumpFor(100);
  };
  clickTab(0);
  EXPECT_EQ(tc->TabIndex(), 2); // refused
  EXPECT_EQ(changes, 0);
  allow = true;
  clickTab(0);
  EXPECT_EQ(tc->TabIndex(), 0);
  EXPECT_EQ(changes, 1);
  // The controls on it stay whichever tab is chosen.
  EXPECT_TRUE(IsWindowVisible(inside->Handle()));

  // Removing the selected last tab moves the selection to the new last one.
  tc->SetTabIndex(2);
  tc->Tabs()->Delete(2);
  EXPECT_EQ(tc->TabIndex(), 1);
  EXPECT_EQ(SendMessageW(tc->Handle(), TCM_GETCURSEL, 0, 0), 1);
  // Tab size and row settings are the page control's.
  tc->SetTabHeight(30);
  RECT r{};
  SendMessageW(tc->Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.bottom - r.top, 30);
  tc->Tabs()->Clear();
  EXPECT_EQ(tc->TabIndex(), -1);
}

} // namespace
