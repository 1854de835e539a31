// Skin hooks of the labels, graphic button, splitter, control bar, bevel,
// edit and memos: which description values each copies, what a missing or
// foreign description leaves, and the memo's skinned scroll bars.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/Forms.h"
#include "skin/SkinBoxCtrls.h"
#include "skin/SkinCtrls.h"
#include "tests/skin/SkinTestGui.h"

namespace {

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class SkinHooks : public ::testing::Test {
protected:
  void SetUp() override {
    skin = skintest::MakeSkin(skintest::kAlt);
    owner = std::make_unique<TComponent>(nullptr);
    form = new TForm(owner.get());
    form->SetBounds(80, 80, 400, 300);
    form->Show();
  }
  void TearDown() override {
    owner.reset();
    skin.reset();
  }
  // A description added to the skin under Name.
  template <class D> D* Add(const std::wstring& Name) {
    auto d = std::make_unique<D>(Name);
    D* raw = d.get();
    skin->ControlList.push_back(std::move(d));
    return raw;
  }
  template <class C> C* Make(const std::wstring& Name) {
    auto* c = new C(owner.get());
    c->SetParent(form);
    c->SkinData = skin.get();
    c->SkinDataName = Name;
    return c;
  }
  std::unique_ptr<TskSkinData> skin;
  std::unique_ptr<TComponent> owner;
  TForm* form = nullptr;
};

TEST_F(SkinHooks, LabelsCopyTheirFontValues) {
  auto* d = Add<TskDataSkinStdLabelControl>(L"hooklabel");
  d->FontName = L"Courier New";
  d->FontHeight = 22;
  d->FontStyle.Bits = 1;
  d->FontColor = 0x123456;
  d->ActiveFontColor = 0x654321;
  Add<TskDataSkinBevel>(L"notalabel");

  struct Case {
    const char* hook;
    std::function<TskSkinFontCopy(const std::wstring&, TskColor&)> apply;
    bool copiesActive;
  } cases[] = {
      {"own unit",
       [&](const std::wstring& n, TskColor& active) {
         auto* l = Make<TskSkinStdLabel>(n);
         ApplyStdLabelSkin1(l);
         active = l->ActiveFontColor;
         return l->Skin;
       },
       true},
      {"second",
       [&](const std::wstring& n, TskColor& active) {
         auto* l = Make<TskSkinFitLabel>(n);
         ApplyStdLabelSkin2(l);
         active = 0xFF0000;
         return l->Skin;
       },
       false},
      {"third",
       [&](const std::wstring& n, TskColor& active) {
         auto* l = Make<TskSkinTextLabel>(n);
         ApplyStdLabelSkin3(l);
         active = 0xFF0000;
         return l->Skin;
       },
       false},
      {"fourth",
       [&](const std::wstring& n, TskColor& active) {
         auto* l = Make<TskSkinLinkLabel>(n);
         ApplyStdLabelSkin4(l);
         active = l->ActiveFontColor;
         return l->Skin;
       },
       true},
  };
  for (const auto& c : cases) {
    TskColor active = 0;
    TskSkinFontCopy f = c.apply(L"hooklabel", active);
    EXPECT_EQ(f.FontName, L"Courier New") << c.hook;
    EXPECT_EQ(f.FontHeight, 22) << c.hook;
    EXPECT_EQ(f.FontStyle.Bits, 1u) << c.hook;
    EXPECT_EQ(f.FontColor, 0x123456) << c.hook;
    EXPECT_EQ(active, c.copiesActive ? 0x654321 : 0xFF0000) << c.hook;
    // A description of another class: the defaults stay.
    f = c.apply(L"notalabel", active);
    EXPECT_EQ(f.FontName, L"Arial") << c.hook;
    EXPECT_EQ(f.FontHeight, 14) << c.hook;
    EXPECT_EQ(active, 0xFF0000) << c.hook;
  }
}

TEST_F(SkinHooks, AutoSizedLabelFitsTheSkinFont) {
  auto* d = Add<TskDataSkinStdLabelControl>(L"biglabel");
  d->FontHeight = 30;
  auto* l = Make<TskSkinFitLabel>(L"biglabel");
  l->SetCaption(L"Level");
  l->SetAutoSize(true);
  ApplyStdLabelSkin2(l);
  int big = l->Height();
  d->FontHeight = 12;
  ApplyStdLabelSkin2(l);
  EXPECT_GT(big, l->Height() + 10);
  EXPECT_GT(l->Width(), 0);
  // Without auto-size the size stays.
  l->SetAutoSize(false);
  l->SetBounds(0, 0, 7, 7);
  ApplyStdLabelSkin2(l);
  EXPECT_EQ(l->Width(), 7);
}

TEST_F(SkinHooks, GraphicButtonCopiesAndFallsBack) {
  auto* d = Add<TskDataSkinButtonControl>(L"hookbutton");
  d->SkinRect = RECT{0, 0, 60, 24};
  d->ClientRect = RECT{3, 3, 57, 21};
  d->RTPoint = POINT{50, 0};
  d->FontName = L"Tahoma";
  d->DownFontColor = 0x0000FF;
  d->DownSkinRect = RECT{0, 48, 60, 72};
  auto* b = Make<TskSkinGraphicButton>(L"hookbutton");
  b->DefaultHeight = 31;
  ApplyGraphicButtonSkin(b);
  EXPECT_TRUE(SameRect(b->Frame.SkinRect, d->SkinRect));
  EXPECT_TRUE(SameRect(b->Frame.ClientRect, d->ClientRect));
  EXPECT_EQ(b->Frame.RTPoint.x, 50);
  EXPECT_EQ(b->Skin.FontName, L"Tahoma");
  EXPECT_EQ(b->DownFontColor, 0x0000FF);
  EXPECT_TRUE(SameRect(b->ActiveSkinRect, d->SkinRect)); // empty: the skin rectangle
  EXPECT_TRUE(SameRect(b->DownSkinRect, d->DownSkinRect));
  EXPECT_EQ(b->Height(), 24); // left-bottom point (0, 0): the skin's height
  d->DownSkinRect = RECT{};
  d->ActiveSkinRect = RECT{0, 24, 60, 48};
  ApplyGraphicButtonSkin(b);
  EXPECT_TRUE(SameRect(b->DownSkinRect, d->ActiveSkinRect)); // empty: the active one
  // Without a description: the default height.
  b->SkinDataName = L"nothing";
  ApplyGraphicButtonSkin(b);
  EXPECT_EQ(b->Height(), 31);
  // A description of another class keeps the copies but drops the picture.
  Add<TskDataSkinBevel>(L"bevelname");
  b->SkinDataName = L"bevelname";
  b->Frame.Picture = &skin->Picture;
  ApplyGraphicButtonSkin(b);
  EXPECT_EQ(b->Frame.Picture, nullptr);
  EXPECT_EQ(b->Skin.FontName, L"Tahoma");
  EXPECT_EQ(b->Height(), 31);
}

TEST_F(SkinHooks, SplitterThicknessFollowsItsAlignment) {
  auto* d = Add<TskDataSkinSplitterControl>(L"hooksplit");
  d->SkinRect = RECT{0, 0, 9, 7};
  d->GripperRect = RECT{1, 1, 4, 4};
  d->GripperTransparent = true;
  struct Case {
    TAlign align;
    const wchar_t* name;
    bool defaultAlways;
    int expected;
    bool vertical; // the height changes
  } cases[] = {
      {alTop, L"hooksplit", false, 7, true},   {alBottom, L"hooksplit", true, 5, true},
      {alLeft, L"hooksplit", false, 9, false}, {alRight, L"nothing", false, 5, false},
      {alTop, L"nothing", false, 5, true},
  };
  for (const auto& c : cases) {
    auto* s = Make<TskSkinSplitter>(c.name);
    s->SetAlign(c.align);
    s->DefaultSizeAlways = c.defaultAlways;
    ApplySplitterSkin(s);
    EXPECT_EQ(c.vertical ? s->Height() : s->Width(), c.expected) << int(c.align);
    if (wcscmp(c.name, L"hooksplit") == 0) {
      EXPECT_TRUE(SameRect(s->GripperRect, d->GripperRect));
      EXPECT_TRUE(s->GripperTransparent);
    }
    delete s;
  }
}

TEST_F(SkinHooks, ControlBarCopiesItsItemsAndRecreatesOnRequest) {
  auto* d = Add<TskDataSkinControlBar>(L"hookbar");
  d->ItemRect = RECT{0, 0, 20, 20};
  d->BGPictureIndex = 2;
  d->ItemOffset1 = 5;
  d->ItemOffset2 = 6;
  d->ItemTransparent = true;
  d->ItemTransparentColor = 0x00FF00;
  d->StretchType = stVert;
  auto* bar = Make<TskSkinControlBar>(L"hookbar");
  bar->HandleNeeded();
  int made = bar->Recreations;
  ApplyControlBarSkin(bar);
  EXPECT_TRUE(SameRect(bar->ItemRect, d->ItemRect));
  EXPECT_EQ(bar->BGPictureIndex, 2);
  EXPECT_EQ(bar->ItemOffset1, 5);
  EXPECT_EQ(bar->ItemOffset2, 6);
  EXPECT_TRUE(bar->ItemTransparent);
  EXPECT_EQ(bar->ItemTransparentColor, 0x00FF00);
  EXPECT_EQ(bar->Frame.StretchType, stVert);
  EXPECT_EQ(bar->Recreations, made); // not asked to
  bar->RecreateOnSkin = true;
  bar->SkinDataName = L"nothing";
  ApplyControlBarSkin(bar);
  EXPECT_EQ(bar->Recreations, made + 1);
  EXPECT_EQ(bar->BGPictureIndex, -1);
}

TEST_F(SkinHooks, BevelTakesTheSkinColoursOrTheSystemOnes) {
  auto* d = Add<TskDataSkinBevel>(L"hookbevel");
  d->LightColor = 0xAABBCC;
  d->DarkColor = 0x112233;
  Add<TskDataSkinSplitterControl>(L"splitname");
  auto* b = Make<TskSkinBevel>(L"hookbevel");
  ApplyBevelSkin(b);
  EXPECT_EQ(b->LightColor, static_cast<TColor>(0xAABBCC));
  EXPECT_EQ(b->DarkColor, static_cast<TColor>(0x112233));
  b->SkinDataName = L"splitname"; // another class: the copies stay
  ApplyBevelSkin(b);
  EXPECT_EQ(b->LightColor, static_cast<TColor>(0xAABBCC));
  b->SkinDataName = L"bevel-missing";
  ApplyBevelSkin(b);
  EXPECT_EQ(b->LightColor, clBtnHighlight);
  EXPECT_EQ(b->DarkColor, clBtnShadow);
  // An empty skin has no descriptions at all.
  TskSkinData empty(nullptr);
  b->SkinData = &empty;
  b->SkinDataName = L"hookbevel";
  b->LightColor = clRed;
  ApplyBevelSkin(b);
  EXPECT_EQ(b->SkinIndex, -1);
  EXPECT_EQ(b->LightColor, clBtnHighlight);
}

TEST_F(SkinHooks, EditTakesFontSizeAndColoursFromItsDescription) {
  auto* d = Add<TskDataSkinEditControl>(L"hookedit");
  d->SkinRect = RECT{0, 0, 80, 23};
  d->ClientRect = RECT{4, 4, 76, 19};
  d->LTPoint = POINT{6, 0};
  d->RTPoint = POINT{70, 0};
  d->FontName = L"Courier New";
  d->FontHeight = 15;
  d->FontColor = 0x203040;
  d->DisabledFontColor = 0x808080;
  d->ActiveFontColor = 0x0000FF;
  d->ActiveButtonRect = RECT{80, 0, 96, 23};
  auto* e = Make<TskSkinEdit>(L"hookedit");
  e->HandleNeeded();
  ApplyEditSkin(e);
  EXPECT_EQ(e->LeftPart, 6);
  EXPECT_EQ(e->RightPart, 10);
  EXPECT_TRUE(SameRect(e->ActiveSkinRect, d->SkinRect));
  EXPECT_TRUE(SameRect(e->DownButtonRect, d->ActiveButtonRect));
  EXPECT_EQ(e->Font()->Name(), L"Courier New");
  EXPECT_EQ(e->Font()->Height(), 15);
  EXPECT_EQ(e->Height(), 23);
  EXPECT_EQ(e->Font()->Color(), static_cast<TColor>(0x203040)); // not focused
  EXPECT_TRUE(e->HandleAllocated());
  e->SetEnabled(false);
  ApplyEditSkin(e);
  EXPECT_EQ(e->Font()->Color(), static_cast<TColor>(0x808080));
  // Without the skin's font the height follows the default font.
  e->SetEnabled(true);
  e->UseSkinFont = false;
  e->DefaultFont->SetName(L"Arial");
  e->DefaultFont->SetHeight(-20);
  ApplyEditSkin(e);
  EXPECT_EQ(e->Font()->Name(), L"Arial");
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, e->Font()->Handle());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(e->Height(), tm.tmHeight + (23 - 15));
  // No description: the default font, colour and size.
  e->UseSkinFont = true;
  e->SkinDataName = L"nothing";
  e->DefaultWidth = 90;
  e->DefaultHeight = 27;
  e->DefaultFont->SetColor(clMaroon);
  ApplyEditSkin(e);
  EXPECT_EQ(e->Width(), 90);
  EXPECT_EQ(e->Height(), 27);
  EXPECT_EQ(e->Font()->Color(), clMaroon);
  e->SetEnabled(false);
  ApplyEditSkin(e);
  EXPECT_EQ(e->Font()->Color(), clGrayText);
}

TEST_F(SkinHooks, MemoTextRectangleFollowsTheSkinsClientArea) {
  auto* d = Add<TskDataSkinMemoControl>(L"hookmemo");
  d->SkinRect = RECT{0, 0, 100, 60};
  d->ClientRect = RECT{5, 4, 92, 53};
  d->BGColor = 0xE0F0F0;
  d->FontColor = 0x400000;
  d->FontName = L"Courier New";
  // Insets from the client area's edges.
  struct Case {
    const wchar_t* name;
    bool border;
    int left, top, right, bottom;
  } cases[] = {
      // Left 5 + 1, top 4 + 1, right 100 - 92 + 3, bottom 60 - 53 + 2.
      {L"hookmemo", true, 6, 5, 11, 9},
      // Two and one more without the memo's own border.
      {L"hookmemo", false, 8, 6, 11, 9},
      {L"nothing", true, 3, 2, 4, 2},
      {L"nothing", false, 6, 2, 4, 2},
  };
  for (const auto& c : cases) {
    auto* m = Make<TskSkinMemo>(c.name);
    m->Border = c.border;
    m->SetBounds(0, 0, 220, 140);
    m->HandleNeeded();
    ApplyMemoSkin(m);
    const TRect cr = m->ClientRect();
    EXPECT_EQ(m->TextRect.Left, cr.Left + c.left) << c.border;
    EXPECT_EQ(m->TextRect.Top, cr.Top + c.top) << c.border;
    EXPECT_EQ(m->TextRect.Right, cr.Right - c.right) << c.border;
    EXPECT_EQ(m->TextRect.Bottom, cr.Bottom - c.bottom) << c.border;
    if (wcscmp(c.name, L"hookmemo") == 0) {
      EXPECT_EQ(m->Color(), static_cast<TColor>(0xE0F0F0));
      EXPECT_EQ(m->Font()->Color(), static_cast<TColor>(0x400000));
      EXPECT_EQ(m->Font()->Name(), L"Courier New");
    }
    delete m;
  }
  // The window takes the rectangle (plus the edit's own border).
  auto* m = Make<TskSkinMemo>(L"hookmemo");
  m->SetBounds(0, 0, 220, 140);
  m->HandleNeeded();
  auto shownLeft = [&] {
    RECT r{};
    SendMessageW(m->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r.left;
  };
  ApplyMemoSkin(m);
  LONG withBorder = shownLeft();
  m->Border = false;
  ApplyMemoSkin(m);
  EXPECT_EQ(shownLeft() - withBorder, 2);
  m->AdjustTextRect = false;
  m->Border = true;
  ApplyMemoSkin(m);
  EXPECT_EQ(shownLeft() - withBorder, 2); // left alone
}

// A memo whose scroll ranges the test gives.
class TScriptedMemo : public TskSkinScrollMemo {
public:
  using TskSkinScrollMemo::TskSkinScrollMemo;
  SCROLLINFO Vert{}, Horz{};

protected:
  bool ReadScrollInfo(int Bar, SCROLLINFO& Info) override {
    Info = Bar == SB_VERT ? Vert : Horz;
    return true;
  }
};

TEST_F(SkinHooks, MemoBarsShowOnlyWhileThePageIsSmallerThanTheRange) {
  auto* d = Add<TskDataSkinMemoControl>(L"hookmemo");
  d->FontName = L"Courier New";
  d->BGColor = 0x101010;
  d->SkinRect = RECT{0, 0, 50, 50};
  auto* m = Make<TScriptedMemo>(L"hookmemo");
  m->VScrollBar = new TskSkinScrollBar(owner.get());
  m->VScrollBar->SetKind(sbVertical);
  m->VScrollBar->SetParent(form);
  m->HScrollBar = new TskSkinScrollBar(owner.get());
  m->HScrollBar->SetParent(form);
  struct Case {
    int nMin, nMax;
    UINT nPage;
    int nPos;
    bool shown;
  } cases[] = {
      {0, 40, 41, 0, false},                        // the page holds the whole range
      {0, 40, 40, 1, true},                         // one line more than a page
      {0, 40, 10, 12, true}, {5, 40, 36, 0, false}, // a range that does not start at 0
      {5, 40, 35, 0, true},
  };
  for (const auto& c : cases) {
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, c.nMin, c.nMax, c.nPage, c.nPos, 0};
    // The same rule for both bars.
    for (bool vertical : {true, false}) {
      m->Vert = vertical ? si : SCROLLINFO{};
      m->Horz = vertical ? SCROLLINFO{} : si;
      ApplyScrollMemoSkin(m);
      TskSkinScrollBar* bar = vertical ? m->VScrollBar : m->HScrollBar;
      SCOPED_TRACE(testing::Message() << (vertical ? "vertical " : "horizontal ") << c.nMin << ".."
                                      << c.nMax << " page " << c.nPage);
      EXPECT_EQ(bar->Enabled(), c.shown);
      if (c.shown) {
        EXPECT_EQ(bar->Max(), c.nMax);
        EXPECT_EQ(bar->PageSize(), static_cast<int>(c.nPage));
        EXPECT_EQ(bar->Position(), c.nPos);
      } else {
        EXPECT_EQ(bar->Max(), 0);
      }
    }
  }
  // The scroll memo copies only the font and colours.
  EXPECT_EQ(m->Font()->Name(), L"Courier New");
  EXPECT_EQ(m->Color(), static_cast<TColor>(0x101010));
  EXPECT_FALSE(SameRect(m->Frame.SkinRect, d->SkinRect));
  // A disabled memo disables its bars.
  m->Vert = SCROLLINFO{sizeof(SCROLLINFO), SIF_ALL, 0, 40, 10, 0, 0};
  m->SetEnabled(false);
  ApplyScrollMemoSkin(m);
  EXPECT_FALSE(m->VScrollBar->Enabled());
}

} // namespace
