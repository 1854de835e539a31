// Size constraints of controls; the page control's tab size, images and tab side.
#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/Gui.h"

namespace {

std::unique_ptr<TForm> MakeForm() {
  auto f = std::make_unique<TForm>(nullptr);
  f->SetBounds(100, 100, 420, 300);
  f->AfterConstruction();
  return f;
}

TEST(SizeConstraints, SetBoundsKeepsTheSizeWithinTheLimits) {
  auto form = MakeForm();
  // A windowed and a windowless control follow the same rule.
  TControl* controls[] = {new TPanel(form.get()), new TBevel(form.get())};
  for (TControl* c : controls) {
    c->SetParent(form.get());
    c->SetBounds(10, 10, 100, 100);
    c->Constraints()->SetMinWidth(50);
    c->Constraints()->SetMaxWidth(120);
    c->Constraints()->SetMinHeight(30);
    c->Constraints()->SetMaxHeight(80);
    // Setting a limit brings the present size within it at once.
    EXPECT_EQ(c->Height(), 80);
    struct Case {
      int w, h, ew, eh;
    } cases[] = {{20, 10, 50, 30}, {200, 200, 120, 80}, {60, 40, 60, 40}};
    for (const Case& k : cases) {
      c->SetBounds(10, 10, k.w, k.h);
      EXPECT_EQ(c->Width(), k.ew) << k.w;
      EXPECT_EQ(c->Height(), k.eh) << k.h;
    }
    // Zero lifts a maximum.
    c->Constraints()->SetMaxWidth(0);
    c->SetWidth(300);
    EXPECT_EQ(c->Width(), 300);
  }
  auto* p = static_cast<TPanel*>(controls[0]);
  form->Show();
  RECT r;
  GetWindowRect(p->Handle(), &r);
  EXPECT_EQ(r.bottom - r.top, p->Height());
}

TEST(SizeConstraints, AssignCopiesTheFourLimits) {
  auto form = MakeForm();
  auto* a = new TPanel(form.get());
  auto* b = new TPanel(form.get());
  a->Constraints()->SetMinWidth(11);
  a->Constraints()->SetMaxWidth(99);
  a->Constraints()->SetMinHeight(12);
  a->Constraints()->SetMaxHeight(98);
  b->SetConstraints(a->Constraints());
  EXPECT_EQ(b->Constraints()->MinWidth(), 11);
  EXPECT_EQ(b->Constraints()->MaxWidth(), 99);
  EXPECT_EQ(b->Constraints()->MinHeight(), 12);
  EXPECT_EQ(b->Constraints()->MaxHeight(), 98);
  EXPECT_EQ(b->Width(), 99);
}

class PageControlTabs : public ::testing::Test {
protected:
  void SetUp() override {
    form = MakeForm();
    pc = new TPageControl(form.get());
    pc->SetParent(form.get());
    pc->SetBounds(8, 8, 380, 240);
    for (const wchar_t* c : {L"First", L"Second", L"Third"}) {
      auto* s = new TTabSheet(form.get());
      s->SetCaption(c);
      s->SetPageControl(pc);
    }
    form->Show();
  }
  RECT TabRect(int i) {
    RECT r{};
    SendMessageW(pc->Handle(), TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  std::unique_ptr<TForm> form;
  TPageControl* pc = nullptr;
};

TEST_F(PageControlTabs, TabWidthAndHeightFixTheTabSize) {
  pc->SetTabHeight(30);
  pc->SetTabWidth(90);
  EXPECT_TRUE(GetWindowLongW(pc->Handle(), GWL_STYLE) & TCS_FIXEDWIDTH);
  for (int i = 0; i < 3; ++i) {
    RECT r = TabRect(i);
    EXPECT_EQ(r.right - r.left, 90) << i;
    EXPECT_EQ(r.bottom - r.top, 30) << i;
  }
  // The pages start below the taller tabs.
  EXPECT_GE(pc->DisplayRect().Top, 30);
  EXPECT_EQ(pc->ActivePage()->Top(), pc->DisplayRect().Top);
  // Back to the control's own widths.
  pc->SetTabWidth(0);
  EXPECT_FALSE(GetWindowLongW(pc->Handle(), GWL_STYLE) & TCS_FIXEDWIDTH);
  EXPECT_NE(TabRect(0).right - TabRect(0).left, 90);
  EXPECT_EQ(SendMessageW(pc->Handle(), TCM_GETITEMCOUNT, 0, 0), 3);
}

TEST_F(PageControlTabs, TabPositionPutsTheTabsOnThatSide) {
  struct Case {
    TTabPosition pos;
    DWORD style;
  } cases[] = {{tpBottom, TCS_BOTTOM},
               {tpLeft, TCS_VERTICAL},
               {tpRight, TCS_VERTICAL | TCS_RIGHT},
               {tpTop, 0}};
  for (const Case& k : cases) {
    pc->SetTabPosition(k.pos);
    DWORD style = GetWindowLongW(pc->Handle(), GWL_STYLE);
    EXPECT_EQ(style & (TCS_BOTTOM | TCS_VERTICAL | TCS_RIGHT), k.style) << k.pos;
    EXPECT_EQ(pc->TabPosition(), k.pos);
    EXPECT_EQ(SendMessageW(pc->Handle(), TCM_GETITEMCOUNT, 0, 0), 3);
    RECT tab = TabRect(0);
    TRect page = pc->DisplayRect();
    switch (k.pos) {
    case tpTop:
      EXPECT_LE(tab.bottom, page.Top + 2);
      break;
    case tpBottom:
      EXPECT_GE(tab.top, page.Bottom - 2);
      break;
    case tpLeft:
      EXPECT_LE(tab.right, page.Left + 2);
      break;
    case tpRight:
      EXPECT_GE(tab.left, page.Right - 2);
      break;
    }
  }
}

TEST_F(PageControlTabs, ImagesGoToTheTabControlAndAreForgottenWhenFreed) {
  auto* il = new TImageList(form.get());
  il->SetWidth(16);
  il->SetHeight(16);
  pc->SetImages(il);
  EXPECT_EQ(pc->Images(), il);
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(pc->Handle(), TCM_GETIMAGELIST, 0, 0)),
            il->Handle());
  // Re-created windows get the list again.
  pc->SetTabPosition(tpBottom);
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(pc->Handle(), TCM_GETIMAGELIST, 0, 0)),
            il->Handle());
  delete il;
  EXPECT_EQ(pc->Images(), nullptr);
  EXPECT_EQ(SendMessageW(pc->Handle(), TCM_GETIMAGELIST, 0, 0), 0);
}

} // namespace
