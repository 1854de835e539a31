#include "tests/support/Layout.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/ComCtrls.h"
#include "framework/Controls.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"

namespace testsupport {

namespace {

std::wstring Describe(TControl* c) {
  const TRect r = c->BoundsRect();
  std::wstring name = c->Name();
  if (name.empty()) {
    // Unnamed controls by class and text ("6TLabel" from the mangled name).
    name = Utf8ToWide(typeid(*c).name());
    name.erase(0, name.find_first_not_of(L"0123456789"));
    name += L" \"" + c->Caption() + L"\"";
  }
  return name + L" (" + std::to_wstring(r.Left) + L"," + std::to_wstring(r.Top) + L"-" +
         std::to_wstring(r.Right) + L"," + std::to_wstring(r.Bottom) + L")";
}

void Walk(TWinControl* parent, std::vector<std::wstring>& found) {
  std::vector<TControl*> shown;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (!c->Visible() || dynamic_cast<TTabSheet*>(c)) continue;
    shown.push_back(c);
  }
  for (size_t i = 0; i < shown.size(); ++i)
    for (size_t j = i + 1; j < shown.size(); ++j) {
      const TRect a = shown[i]->BoundsRect(), b = shown[j]->BoundsRect();
      if (a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom)
        found.push_back(parent->Name() + L": " + Describe(shown[i]) + L" overlaps " +
                        Describe(shown[j]));
    }
  for (int i = 0; i < parent->ControlCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(parent->Controls(i))) Walk(w, found);
}

} // namespace

std::vector<std::wstring> OverlappingSiblings(TWinControl* Root) {
  std::vector<std::wstring> found;
  Walk(Root, found);
  return found;
}

void ExpectNoOverlapWhenShown(const DialogCase& Case) {
  std::unique_ptr<TForm> form(Case.make());
  form->Show();
  ASSERT_TRUE(PumpUntil([&] { return form->Showing(); }));
  PumpFor(100);
  std::wstring report;
  for (const std::wstring& s : OverlappingSiblings(form.get()))
    report += s + L"\n";
  EXPECT_TRUE(report.empty()) << WideToUtf8(report);
  form->Hide();
}

} // namespace testsupport
