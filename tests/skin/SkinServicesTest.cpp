// Look-ups of the skinned form that the skin library's own components use.
#include <gtest/gtest.h>

#include <memory>

#include "framework/Forms.h"
#include "skin/SkinnedForm.h"
#include "tests/support/Gui.h"

namespace {

using testsupport::PumpFor;

TEST(SkinMDI, MaximizedChildSkinFormIsFoundAmongTheChildren) {
  TCustomForm* oldMain = Application->MainForm();
  EXPECT_EQ(GetMaximizedChildSkinForm(), nullptr);
  auto frame = std::make_unique<TForm>(nullptr);
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(60, 60, 560, 400);
  new TskSkinnedForm(frame.get());
  Application->SetMainForm(frame.get());
  frame->Show();
  TskSkinnedForm* skinned[3] = {};
  for (int i = 0; i < 3; ++i) {
    auto* c = new TForm(frame.get());
    c->SetFormStyle(fsMDIChild);
    c->SetBounds(20 + 20 * i, 20 + 20 * i, 200, 150);
    // The middle child has no skinned form.
    if (i != 1) skinned[i] = new TskSkinnedForm(c);
    c->Show();
  }
  PumpFor(30);
  EXPECT_EQ(GetMaximizedChildSkinForm(), nullptr);
  skinned[2]->SetWindowState(2);
  PumpFor(30);
  EXPECT_EQ(GetMaximizedChildSkinForm(), skinned[2]);
  skinned[2]->SetWindowState(0);
  PumpFor(30);
  EXPECT_EQ(GetMaximizedChildSkinForm(), nullptr);
  frame.reset();
  Application->SetMainForm(oldMain);
}

} // namespace
