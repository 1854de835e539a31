#include "framework/FormBuilder.h"

#include <gtest/gtest.h>

#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace {

// A form whose members the table fills, nested three deep: page control,
// tab sheet, group box, controls.
class TBuiltForm : public TForm {
public:
  explicit TBuiltForm(TComponent* AOwner) : TForm(AOwner) {
    SetBounds(100, 100, 400, 300);
    BuildComponents(this,
                    {
                        {Pages, {.Name = L"Pages", .Bounds = {8, 8, 380, 250}}},
                        {SheetOne, {.Name = L"SheetOne", .Parent = Pages, .Caption = L"&One"}},
                        {SheetTwo, {.Name = L"SheetTwo", .Parent = Pages, .Caption = L"&Two"}},
                        {Group,
                         {.Name = L"Group",
                          .Parent = SheetOne,
                          .Bounds = {8, 8, 200, 120},
                          .Caption = L"Group"}},
                        {FixedLabel,
                         {.Name = L"FixedLabel",
                          .Parent = Group,
                          .Bounds = {12, 20, 150, 13},
                          .Caption = L"A caption longer than its box is wide",
                          .AutoSize = false}},
                        {SizedLabel,
                         {.Name = L"SizedLabel",
                          .Parent = Group,
                          .Bounds = {12, 40, 0, 13},
                          .Caption = L"Sized",
                          .AutoSize = true}},
                        {Unbound<TLabel>, {.Parent = SheetTwo, .Bounds = {4, 4, 80, 13}}},
                        {Check,
                         {.Name = L"Check",
                          .Parent = Group,
                          .Bounds = {12, 60, 120, 17},
                          .Caption = L"&Check",
                          .OnClick = [this](TObject*) { ++Clicks; }},
                         [this](TCheckBox& c) {
                           // The member and its common properties are in place when the setup runs.
                           SetupSawMember = Check == &c && c.Parent() == Group;
                           c.SetChecked(true);
                         }},
                        {OK,
                         {.Name = L"OK", .Bounds = {300, 265, 75, 25}, .Caption = L"&OK"},
                         [](TButton& b) {
                           b.SetDefault(true);
                           b.SetModalResult(mrOk);
                         }},
                        {Ticker, {.Name = L"Ticker"}, [](TTimer& t) { t.SetEnabled(false); }},
                    });
  }

  TPageControl* Pages = nullptr;
  TTabSheet* SheetOne = nullptr;
  TTabSheet* SheetTwo = nullptr;
  TGroupBox* Group = nullptr;
  TLabel* FixedLabel = nullptr;
  TLabel* SizedLabel = nullptr;
  TCheckBox* Check = nullptr;
  TButton* OK = nullptr;
  TTimer* Ticker = nullptr;
  int Clicks = 0;
  bool SetupSawMember = false;
};

TEST(FormBuilderTest, CreatesEachEntryOwnedByTheFormIntoItsMember) {
  TBuiltForm form(nullptr);
  form.AfterConstruction();
  // Nine entries, one of them without a member, all owned by the form in
  // table order.
  ASSERT_EQ(form.ComponentCount(), 10);
  const wchar_t* names[] = {L"Pages",      L"SheetOne", L"SheetTwo", L"Group", L"FixedLabel",
                            L"SizedLabel", L"",         L"Check",    L"OK",    L"Ticker"};
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(form.Components(i)->Name(), names[i]) << i;
  EXPECT_EQ(form.FindComponent(L"Group"), form.Group);
  EXPECT_EQ(form.FindComponent(L"Ticker"), form.Ticker);
  EXPECT_FALSE(form.Ticker->Enabled());
}

TEST(FormBuilderTest, ParentsNamedByMembersOfTheSameTable) {
  TBuiltForm form(nullptr);
  form.AfterConstruction();
  EXPECT_EQ(form.Pages->Parent(), &form);
  // Tab sheets join the page control as pages, in order.
  ASSERT_EQ(form.Pages->PageCount(), 2);
  EXPECT_EQ(form.Pages->Pages(0), form.SheetOne);
  EXPECT_EQ(form.Pages->Pages(1), form.SheetTwo);
  EXPECT_EQ(form.SheetTwo->PageControl(), form.Pages);
  EXPECT_EQ(form.Group->Parent(), form.SheetOne);
  EXPECT_EQ(form.FixedLabel->Parent(), form.Group);
  EXPECT_EQ(form.Check->Parent(), form.Group);
  EXPECT_EQ(form.Components(6)->Name(), L"");
  EXPECT_EQ(static_cast<TControl*>(form.Components(6))->Parent(), form.SheetTwo);
  EXPECT_EQ(form.OK->Parent(), &form);
}

TEST(FormBuilderTest, BoundsCaptionAutoSizeAndProperties) {
  TBuiltForm form(nullptr);
  form.AfterConstruction();
  struct Case {
    TControl* Control;
    int Left, Top, Width, Height;
    const wchar_t* Caption;
  } cases[] = {
      {form.Group, 8, 8, 200, 120, L"Group"},
      {form.FixedLabel, 12, 20, 150, 13, L"A caption longer than its box is wide"},
      {form.Check, 12, 60, 120, 17, L"&Check"},
      {form.OK, 300, 265, 75, 25, L"&OK"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.Control->Left(), c.Left) << c.Caption;
    EXPECT_EQ(c.Control->Top(), c.Top) << c.Caption;
    EXPECT_EQ(c.Control->Width(), c.Width) << c.Caption;
    EXPECT_EQ(c.Control->Height(), c.Height) << c.Caption;
    EXPECT_EQ(c.Control->Caption(), c.Caption);
  }
  // Once loaded, a fixed label keeps its box; a sized one takes its text's size
  // at its place.
  EXPECT_FALSE(form.FixedLabel->AutoSize());
  EXPECT_TRUE(form.SizedLabel->AutoSize());
  EXPECT_EQ(form.SizedLabel->Left(), 12);
  EXPECT_EQ(form.SizedLabel->Top(), 40);
  EXPECT_GT(form.SizedLabel->Width(), 0);
  EXPECT_LT(form.SizedLabel->Width(), form.FixedLabel->Width());
  // The kind's own properties come from the setup.
  EXPECT_TRUE(form.OK->Default());
  EXPECT_EQ(form.OK->ModalResult(), mrOk);
  EXPECT_TRUE(form.Check->Checked());
  EXPECT_TRUE(form.SetupSawMember);
  // The click handler comes after the setup: checking the box there fired none.
  EXPECT_EQ(form.Clicks, 0);
  form.Check->Click();
  EXPECT_EQ(form.Clicks, 1);
}

TEST(FormBuilderTest, RefusesAParentNotCreatedYetAndBoundsOnAComponent) {
  TForm form(nullptr);
  TGroupBox* later = nullptr;
  TLabel* label = nullptr;
  EXPECT_THROW(BuildComponents(&form, {{label, {.Parent = later}}, {later, {}}}),
               EInvalidOperation);
  TTimer* timer = nullptr;
  EXPECT_THROW(BuildComponents(&form, {{timer, {.Bounds = {1, 2, 3, 4}}}}), EInvalidOperation);
  // An explicit null parent leaves the control without one.
  TButton* loose = nullptr;
  BuildComponents(&form, {{loose, {.Parent = nullptr}}});
  EXPECT_EQ(loose->Parent(), nullptr);
  EXPECT_EQ(loose->Owner(), &form);
}

TEST(FormBuilderTest, AHiddenEntryMakesNoWindowWhenItJoinsAFormThatHasOne) {
  TForm form(nullptr);
  form.AfterConstruction();
  form.SetBounds(100, 100, 300, 200);
  form.HandleNeeded();
  TComboBox* hidden = nullptr;
  TComboBox* shown = nullptr;
  BuildComponents(&form,
                  {{hidden, {.Name = L"Hidden", .Bounds = {8, 8, 120, 21}, .Visible = false}},
                   {shown, {L"Shown", &form, {8, 40, 120, 21}}}});
  EXPECT_FALSE(hidden->Visible());
  EXPECT_FALSE(hidden->HandleAllocated());
  EXPECT_TRUE(shown->HandleAllocated());
  EXPECT_EQ(hidden->Parent(), &form);
}

// A component put into a parent component (as an item into its menu): it
// records its parent and the order of the calls.
class TChildPart : public TComponent {
public:
  using TComponent::TComponent;
  void SetParentComponent(TComponent* Value) override {
    ParentPart = Value;
    SetupBeforeParent = Setup;
    Order.push_back(this);
  }
  TComponent* ParentPart = nullptr;
  bool Setup = false, SetupBeforeParent = false;
  static inline std::vector<TChildPart*> Order;
};

TEST(FormBuilderTest, ComponentsJoinTheirParentComponentAfterTheirSetup) {
  TForm form(nullptr);
  TChildPart::Order.clear();
  TChildPart *menu = nullptr, *first = nullptr, *second = nullptr, *loose = nullptr;
  TChildPart* later = nullptr;
  auto setup = [](TChildPart& p) { p.Setup = true; };
  // Parts of a table put together from pieces, parents named by members.
  std::vector<TComponentEntry> table = {{menu, {L"Menu"}}};
  table.push_back({first, {.Name = L"First", .Parent = menu}, setup});
  table.push_back({second, {.Parent = first}, setup});
  table.push_back({loose, {.Parent = nullptr}, setup});
  BuildComponents(&form, table);
  EXPECT_EQ(menu->ParentPart, nullptr); // no parent given: none set
  EXPECT_EQ(first->ParentPart, menu);
  EXPECT_EQ(second->ParentPart, first);
  EXPECT_TRUE(first->SetupBeforeParent);
  EXPECT_TRUE(second->SetupBeforeParent);
  EXPECT_EQ(loose->ParentPart, nullptr);
  EXPECT_EQ(TChildPart::Order, (std::vector<TChildPart*>{first, second}));
  EXPECT_EQ(first->Owner(), &form);
  EXPECT_EQ(first->Name(), L"First");
  // A parent not made yet, a component that takes no parent, a control in a
  // parent that is not a control: all refused.
  EXPECT_THROW(BuildComponents(&form, {{first, {.Parent = later}}, {later, {}}}),
               EInvalidOperation);
  TTimer* timer = nullptr;
  EXPECT_THROW(BuildComponents(&form, {{timer, {.Parent = menu}}}), EInvalidOperation);
  TButton* button = nullptr;
  EXPECT_THROW(BuildComponents(&form, {{button, {.Parent = menu}}}), EInvalidOperation);
}

} // namespace
