// Skinned controls on real windows: every control in every state drawn from
// its skin entry or in the default look, sizes and regions from the skin
// geometry, blending, mouse, keys and timers, and skin changes while shown.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/ActnList.h"
#include "framework/Forms.h"
#include "skin/SkinCtrls.h"
#include "tests/skin/SkinTestFiles.h"
#include "tests/support/Gui.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

enum SkinKind { kNone, kBuiltin, kAlt };
const char* SkinName(SkinKind k) {
  return k == kNone ? "none" : k == kBuiltin ? "builtin" : "alt";
}

std::unique_ptr<TskSkinData> MakeSkin(SkinKind k) {
  auto sd = std::make_unique<TskSkinData>(nullptr);
  if (k == kBuiltin) EXPECT_TRUE(sd->LoadBuiltinSkin()) << sd->LastError();
  if (k == kAlt)
    EXPECT_TRUE(sd->LoadSkinFromIni(SourceDir() + L"resources\\skin\\alt\\skin.ini"))
        << sd->LastError();
  sd->EnableSkinEffects = false;
  return sd;
}

// The control's client area as WM_PAINT draws it, read back pixel by pixel.
class Shot {
public:
  explicit Shot(TWinControl* c) {
    w_ = c->Width();
    h_ = c->Height();
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bmp_ = testsupport::CreateTopDownDib(screen, w_, h_, reinterpret_cast<void**>(&bits_));
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bmp_);
    RECT r{0, 0, w_, h_};
    FillRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    c->PaintClientTo(dc_);
    GdiFlush();
  }
  ~Shot() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  // 0x00BBGGRR.
  COLORREF At(int x, int y) const {
    uint32_t v = bits_[y * w_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  int W() const { return w_; }
  int H() const { return h_; }

private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  uint32_t* bits_ = nullptr;
};

COLORREF Rgb(TColor c) {
  return ColorToRGB(c);
}

COLORREF PicAt(const TskPicture* p, const RECT& r, int x, int y) {
  return p->Pixel(r.left + x, r.top + y);
}

// A form that passes skin changes to its skinned controls, as the skinned
// form does.
class TSkinTestForm : public TForm {
public:
  using TForm::TForm;
  TskSkinData* Skin = nullptr;
  // Entry indexes of the controls right after each drop.
  std::vector<int> Dropped;
  void WndProc(TMessage& m) override {
    if ((m.Msg == WM_SKINCHANGING || m.Msg == WM_SKINCHANGED) &&
        reinterpret_cast<TskSkinData*>(m.WParam) == Skin) {
      for (int i = 0; i < ControlCount(); ++i) {
        if (auto* l = dynamic_cast<TskSkinCustomListView*>(Controls(i)))
          if (m.Msg == WM_SKINCHANGED) l->ApplyControlSkin();
        if (auto* c = dynamic_cast<TskSkinControl*>(Controls(i))) {
          if (m.Msg == WM_SKINCHANGING) {
            c->DropSkinEntry();
            Dropped.push_back(c->EntryIndex());
          } else
            c->ApplyControlSkin();
        }
      }
    }
    TForm::WndProc(m);
  }
};

std::unique_ptr<TSkinTestForm> MakeForm(int w = 420, int h = 320) {
  auto f = std::make_unique<TSkinTestForm>(nullptr);
  f->SetBounds(60, 60, w, h);
  f->SetColor(0x00FF00);
  return f;
}

// Real mouse input at a control's client point.
void MouseTo(TWinControl* c, int x, int y) {
  POINT p{x, y};
  ClientToScreen(c->Handle(), &p);
  SetCursorPos(p.x, p.y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in.mi.dx = p.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = p.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  SendInput(1, &in, sizeof in);
  PumpFor(30);
}

void MouseButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
  PumpFor(30);
}

LPARAM Pt(int x, int y) {
  return MAKELPARAM(x, y);
}

void PressAt(TWinControl* c, int x, int y) {
  c->Perform(WM_LBUTTONDOWN, MK_LBUTTON, Pt(x, y));
}
void ReleaseAt(TWinControl* c, int x, int y) {
  c->Perform(WM_LBUTTONUP, 0, Pt(x, y));
}

// Brings a shown form to the front with the keyboard focus.
void Foreground(TForm* f) {
  for (int i = 0; i < 3; ++i)
    if (testsupport::ForceForeground(f->Handle(), 1000)) return;
}

// Gives a control of a shown form the keyboard focus.
bool FocusOn(TWinControl* c) {
  for (int i = 0; i < 3; ++i) {
    if (c->Focused()) return true;
    testsupport::ForceForeground(GetParentForm(c)->Handle(), 700);
    c->SetFocus();
    if (PumpUntil([&] { return c->Focused(); }, 700)) return true;
  }
  return false;
}

int GdiObjects() {
  return static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
}

// ---------------------------------------------------------------------------
// Control base

// A control that paints a plain colour in its skin look.
class TPlainSkinControl : public TskSkinCustomControl {
public:
  using TskSkinCustomControl::BuildSkinImage;
  using TskSkinCustomControl::TskSkinCustomControl;
};

TEST(SkinControlBase, ResizeModesFitTheSkin) {
  auto sd = MakeSkin(kAlt);
  auto* e = sd->FindControl<TskDataSkinButtonControl>(L"PlayButton");
  ASSERT_NE(e, nullptr);
  auto form = MakeForm();
  auto* c = new TPlainSkinControl(form.get());
  c->SetParent(form.get());
  c->SetSkinDataName(L"PlayButton");
  c->SetBounds(10, 10, 50, 40);
  c->SetSkinData(sd.get());
  // Mode 1: any size, every corner point moves with its side.
  EXPECT_EQ(c->ResizeMode(), 1);
  EXPECT_EQ(c->Width(), 50);
  EXPECT_EQ(c->Height(), 40);
  EXPECT_EQ(c->NewRightBottomPoint().x, 28 + 18);
  EXPECT_EQ(c->NewRightBottomPoint().y, 28 + 8);
  struct MapCase {
    RECT in, out;
  };
  // Skin 32 x 32 at 50 x 40: dx 18, dy 8.
  for (const MapCase& m :
       {MapCase{{0, 0, 3, 3}, {0, 0, 3, 3}}, MapCase{{29, 0, 31, 3}, {47, 0, 49, 3}},
        MapCase{{0, 29, 3, 31}, {0, 37, 3, 39}}, MapCase{{29, 29, 31, 31}, {47, 37, 49, 39}},
        MapCase{{1, 1, 30, 30}, {1, 1, 48, 38}}, MapCase{{1, 1, 30, 3}, {1, 1, 48, 3}},
        MapCase{{10, 10, 20, 20}, {10, 10, 20, 20}}}) {
    RECT r = c->MapSkinRect(m.in);
    EXPECT_TRUE(EqualRect(&r, &m.out)) << m.in.left << "," << m.in.top << " -> " << r.left << ","
                                       << r.top << "," << r.right << "," << r.bottom;
  }
  for (int size : {20, 64, 100}) {
    c->SetBounds(10, 10, size, size / 2);
    EXPECT_EQ(c->Width(), size);
    EXPECT_EQ(c->Height(), size / 2);
    RECT r = c->MapSkinRect(RECT{29, 29, 31, 31});
    EXPECT_EQ(r.left, 29 + size - 32);
    EXPECT_EQ(r.top, 29 + size / 2 - 32);
    // The corners are copied, the centre stretched.
    Shot s(c);
    EXPECT_EQ(s.At(1, 1), PicAt(c->Picture(), e->SkinRect, 1, 1));
    EXPECT_EQ(s.At(size - 2, size / 2 - 2), PicAt(c->Picture(), e->SkinRect, 30, 30));
  }
  // Mode 2: width only.
  e->RBPoint = POINT{0, 0};
  e->LBPoint = POINT{0, 0};
  c->ApplyControlSkin();
  EXPECT_EQ(c->ResizeMode(), 2);
  for (int w : {20, 60, 120}) {
    c->SetBounds(10, 10, w, 77);
    EXPECT_EQ(c->Width(), w);
    EXPECT_EQ(c->Height(), 32);
    RECT r = c->MapSkinRect(RECT{29, 2, 31, 5});
    EXPECT_EQ(r.left, 29 + w - 32);
    r = c->MapSkinRect(RECT{2, 2, 30, 5});
    EXPECT_EQ(r.right, 30 + w - 32);
  }
  // Mode 3: height only.
  e->RTPoint = POINT{0, 0};
  e->LBPoint = POINT{4, 28};
  c->ApplyControlSkin();
  EXPECT_EQ(c->ResizeMode(), 3);
  for (int h : {20, 60, 120}) {
    c->SetBounds(10, 10, 99, h);
    EXPECT_EQ(c->Width(), 32);
    EXPECT_EQ(c->Height(), h);
    RECT r = c->MapSkinRect(RECT{2, 29, 5, 31});
    EXPECT_EQ(r.top, 29 + h - 32);
  }
  // Mode 0: the skin rectangle's size at every change.
  e->LBPoint = POINT{0, 0};
  e->LTPoint = POINT{0, 0};
  c->ApplyControlSkin();
  EXPECT_EQ(c->ResizeMode(), 0);
  for (int s : {10, 64}) {
    c->SetBounds(10, 10, s, s + 5);
    EXPECT_EQ(c->Width(), 32);
    EXPECT_EQ(c->Height(), 32);
    RECT r = c->MapSkinRect(RECT{1, 2, 3, 4});
    EXPECT_EQ(r.right, 3);
  }
  // FitSizeToSkin on its own.
  int w = 100, h = 5;
  c->FitSizeToSkin(w, h);
  EXPECT_EQ(w, 32);
  EXPECT_EQ(h, 32);
  // Renaming changes the look at the next paint, not the size.
  c->SetSkinDataName(L"OptionButton");
  EXPECT_EQ(c->Width(), 32);
  // Without skin data the default size rules apply.
  c->SetSkinData(nullptr);
  c->ApplyControlSkin();
  c->SetDefaultWidth(0);
  c->SetDefaultWidth(77);
  EXPECT_EQ(c->Width(), 77);
  Shot s(c);
  EXPECT_EQ(s.At(5, 5), Rgb(clBtnFace));
}

TEST(SkinControlBase, RegionFromMaskAndRemovedSkinData) {
  auto sd = MakeSkin(kAlt);
  auto* e = sd->FindControl<TskDataSkinButtonControl>(L"PlayButton");
  // A mask: black inside, a white corner outside the window.
  TskPicture mask(32, 32);
  mask.Fill(RGB(0, 0, 0));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      mask.SetPixel(x, y, RGB(255, 255, 255));
  sd->ActivePictures.push_back(mask);
  e->MaskPictureIndex = static_cast<int>(sd->ActivePictures.size()) - 1;
  auto form = MakeForm();
  auto* c = new TPlainSkinControl(form.get());
  c->SetParent(form.get());
  c->SetSkinDataName(L"PlayButton");
  c->SetBounds(10, 10, 40, 40);
  c->HandleNeeded();
  c->SetSkinData(sd.get());
  EXPECT_NE(c->RegionHandle(), nullptr);
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(c->Handle(), r), ERROR);
  DeleteObject(r);
  // A mask number out of range gives no region.
  e->MaskPictureIndex = 99;
  c->ApplyControlSkin();
  EXPECT_EQ(c->RegionHandle(), nullptr);
  // Freeing the skin data leaves the control without it, in the default look.
  sd.reset();
  EXPECT_EQ(c->SkinData(), nullptr);
  Shot s(c);
  EXPECT_EQ(s.At(20, 20), Rgb(clBtnFace));
}

TEST(SkinControlBase, AlphaBlendShowsControlOrBackground) {
  auto sd = MakeSkin(kAlt);
  auto form = MakeForm();
  form->SetColor(0x0000FF);
  auto* b = new TskSkinButton(form.get());
  b->SetParent(form.get());
  b->SetBounds(10, 10, 32, 32);
  b->SetSkinDataName(L"PlayButton");
  b->SetSkinData(sd.get());
  form->HandleNeeded();
  const TskPicture* pic = b->Picture();
  ASSERT_NE(pic, nullptr);
  RECT sr = b->SkinRect();
  b->SetAlphaBlend(true);
  b->SetAlphaBlendValue(255);
  {
    Shot s(b);
    EXPECT_EQ(s.At(16, 16), PicAt(pic, sr, 16, 16));
  }
  b->SetAlphaBlendValue(0);
  {
    Shot s(b);
    EXPECT_EQ(s.At(16, 16), RGB(255, 0, 0));
  }
  // Without AlphaBlend the value has no effect.
  b->SetAlphaBlend(false);
  Shot s(b);
  EXPECT_EQ(s.At(16, 16), PicAt(pic, sr, 16, 16));
}

// ---------------------------------------------------------------------------
// Button

enum State { sNormal, sHot, sDown, sFocused, sDisabled };
const char* StateName(State s) {
  static const char* n[] = {"normal", "hot", "down", "focused", "disabled"};
  return n[s];
}

void SetState(TskSkinButton* b, State s) {
  switch (s) {
  case sNormal:
    break;
  case sHot:
    b->Perform(CM_MOUSEENTER, 0, 0);
    break;
  case sDown:
    b->Perform(CM_MOUSEENTER, 0, 0);
    b->SetDown(true);
    break;
  case sFocused:
    ASSERT_TRUE(FocusOn(b));
    break;
  case sDisabled:
    b->SetEnabled(false);
    break;
  }
}

TEST(SkinButtonLook, EveryStateInEverySkin) {
  auto form = MakeForm();
  form->Show();
  Foreground(form.get());
  for (SkinKind k : {kNone, kBuiltin, kAlt}) {
    auto sd = MakeSkin(k);
    for (State st : {sNormal, sHot, sDown, sFocused, sDisabled}) {
      SCOPED_TRACE(std::string(SkinName(k)) + " " + StateName(st));
      std::unique_ptr<TskSkinButton> owned(new TskSkinButton(nullptr));
      auto* b = owned.get();
      b->SetParent(form.get());
      b->SetBounds(100, 100, 32, 32);
      b->SetSkinDataName(L"PlayButton");
      b->SetSkinData(sd.get());
      SetState(b, st);
      Shot s(b);
      if (k == kNone) {
        EXPECT_EQ(b->EntryIndex(), -1);
        COLORREF frame = Rgb(st == sNormal || st == sDisabled ? clGrayText : skDefaultFrameColor);
        COLORREF fill = Rgb(st == sDown                    ? skDefaultDownColor
                            : st == sHot || st == sFocused ? skDefaultHotColor
                                                           : clBtnFace);
        EXPECT_EQ(s.At(0, 0), frame);
        EXPECT_EQ(s.At(31, 16), frame);
        EXPECT_EQ(s.At(4, 4), fill);
        continue;
      }
      ASSERT_GE(b->EntryIndex(), 0);
      auto* e = sd->FindControl<TskDataSkinButtonControl>(L"PlayButton");
      RECT r = st == sNormal    ? e->SkinRect
               : st == sHot     ? e->ActiveSkinRect
               : st == sDown    ? e->DownSkinRect
               : st == sFocused ? e->FocusedSkinRect
                                : e->DisabledSkinRect;
      for (POINT p : {POINT{1, 1}, POINT{16, 16}, POINT{30, 2}, POINT{3, 29}})
        EXPECT_EQ(s.At(p.x, p.y), PicAt(b->Picture(), r, p.x, p.y)) << p.x << "," << p.y;
    }
  }
}

TEST(SkinButtonLook, BadEntriesGiveTheDefaultLookOrTheNormalPicture) {
  auto sd = MakeSkin(kAlt);
  auto form = MakeForm();
  auto* b = new TskSkinButton(form.get());
  b->SetParent(form.get());
  b->SetBounds(10, 10, 32, 32);
  // An entry of another kind.
  b->SetSkinDataName(L"gauge");
  b->SetSkinData(sd.get());
  EXPECT_EQ(b->EntryIndex(), -1);
  EXPECT_EQ(Shot(b).At(0, 0), Rgb(clGrayText));
  // A state picture outside the picture: the normal one.
  auto* e = sd->FindControl<TskDataSkinButtonControl>(L"PlayButton");
  e->ActiveSkinRect = RECT{5000, 0, 5032, 32};
  b->SetSkinDataName(L"PlayButton");
  b->ApplyControlSkin();
  b->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(Shot(b).At(16, 16), PicAt(b->Picture(), e->SkinRect, 16, 16));
  // A skin rectangle outside its picture, or a picture number outside the
  // active pictures: the default look.
  e->SkinRect = RECT{0, 0, 32, 5000};
  b->ApplyControlSkin();
  EXPECT_EQ(b->EntryIndex(), -1);
  EXPECT_EQ(Shot(b).At(4, 4), Rgb(skDefaultHotColor));
  e->SkinRect = RECT{0, 0, 32, 32};
  e->PictureIndex = 99;
  b->ApplyControlSkin();
  EXPECT_EQ(b->EntryIndex(), -1);
  EXPECT_EQ(Shot(b).At(4, 4), Rgb(skDefaultHotColor));
}

TEST(SkinButton, WithoutSkinSizeThePictureIsStretched) {
  auto sd = MakeSkin(kAlt);
  auto* e = sd->FindControl<TskDataSkinButtonControl>(L"PlayButton");
  e->LTPoint = e->RTPoint = e->LBPoint = e->RBPoint = POINT{0, 0}; // resize mode 0
  auto form = MakeForm();
  auto* b = new TskSkinButton(form.get());
  b->SetParent(form.get());
  b->SetSkinDataName(L"PlayButton");
  b->SetBounds(10, 10, 64, 64);
  b->SetSkinData(sd.get());
  EXPECT_EQ(b->Width(), 32); // the skin's size
  b->SetUseSkinSize(false);
  b->SetBounds(10, 10, 64, 64);
  EXPECT_EQ(b->Width(), 64);
  Shot s(b);
  EXPECT_EQ(s.At(32, 32), PicAt(b->Picture(), e->SkinRect, 16, 16));
  EXPECT_EQ(s.At(62, 2), PicAt(b->Picture(), e->SkinRect, 31, 1));
}

TEST(SkinButton, NewButtonDefaults) {
  TskSkinButton b(nullptr);
  EXPECT_EQ(b.Spacing(), 1);
  EXPECT_EQ(b.Margin(), -1);
  EXPECT_EQ(b.Width(), 75);
  EXPECT_EQ(b.Height(), 25);
  EXPECT_EQ(b.SkinDataName(), L"button");
  EXPECT_TRUE(b.TabStop());
  b.SetMargin(-2);
  EXPECT_EQ(b.Margin(), -1);
  b.SetGroupIndex(3);
  EXPECT_FALSE(b.CanFocused());
  EXPECT_FALSE(b.TabStop());
}

TEST(SkinButton, DisabledTextGreyWhenItEqualsTheNormalColour) {
  auto sd = MakeSkin(kAlt);
  auto* e = sd->FindControl<TskDataSkinButtonControl>(L"OptionButton");
  auto form = MakeForm();
  auto* b = new TskSkinButton(form.get());
  b->SetParent(form.get());
  b->SetSkinDataName(L"OptionButton");
  b->SetBounds(10, 10, 120, 40);
  b->SetCaption(L"MMMM");
  b->SetSkinData(sd.get());
  b->SetEnabled(false);
  auto greyPixels = [&] {
    Shot s(b);
    int n = 0;
    for (int y = 0; y < s.H(); ++y)
      for (int x = 0; x < s.W(); ++x)
        n += s.At(x, y) == RGB(0x80, 0x80, 0x80);
    return n;
  };
  EXPECT_EQ(b->StateFontColor(false, false), static_cast<TColor>(e->DisabledFontColor));
  EXPECT_EQ(greyPixels(), 0);
  e->DisabledFontColor = e->FontColor;
  b->ReadSkinEntry();
  EXPECT_EQ(b->StateFontColor(false, false), 0x808080u);
  EXPECT_GT(greyPixels(), 0);
}

TEST(SkinButton, MorphTakesFiveStepsEndingAtOne) {
  auto sd = MakeSkin(kAlt);
  sd->EnableSkinEffects = true;
  auto form = MakeForm();
  auto* b = new TskSkinButton(form.get());
  b->SetParent(form.get());
  b->SetSkinDataName(L"PlayButton");
  b->SetSkinData(sd.get());
  ASSERT_TRUE(b->CanMorph());
  b->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_NE(b->MorphTimer(), nullptr);
  EXPECT_EQ(b->MorphTimer()->Interval(), 20u);
  EXPECT_TRUE(b->MorphTimer()->Enabled());
  for (int i = 1; i <= 5; ++i) {
    b->MorphTick();
    EXPECT_NEAR(b->MorphFactor(), 0.2 * i, 1e-9);
    // Between the pictures the blend is drawn.
    if (i == 2) {
      Shot s(b);
      auto* e = sd->FindControl<TskDataSkinButtonControl>(L"PlayButton");
      COLORREF n = PicAt(b->Picture(), e->SkinRect, 2, 2);
      COLORREF a = PicAt(b->Picture(), e->ActiveSkinRect, 2, 2);
      COLORREF m = s.At(2, 2);
      EXPECT_NEAR(GetRValue(m), 0.6 * GetRValue(n) + 0.4 * GetRValue(a), 1.01);
      EXPECT_NEAR(GetGValue(m), 0.6 * GetGValue(n) + 0.4 * GetGValue(a), 1.01);
      EXPECT_NEAR(GetBValue(m), 0.6 * GetBValue(n) + 0.4 * GetBValue(a), 1.01);
    }
  }
  EXPECT_EQ(b->MorphFactor(), 1.0);
  b->MorphTick();
  EXPECT_FALSE(b->MorphTimer()->Enabled());
  // Back on leaving.
  b->Perform(CM_MOUSELEAVE, 0, 0);
  for (int i = 0; i < 5; ++i)
    b->MorphTick();
  EXPECT_EQ(b->MorphFactor(), 0.0);
}

TEST(SkinButton, FrameAnimationPlaysForwardOnEnterAndBackOnLeave) {
  auto sd = MakeSkin(kAlt);
  sd->EnableSkinEffects = true;
  auto* e = sd->FindControl<TskDataSkinButtonControl>(L"PlayButton");
  e->Morphing = false;
  e->AnimateSkinRect = RECT{32, 0, 96, 32}; // two frames side by side
  e->FrameCount = 2;
  e->AnimateInterval = 30;
  auto form = MakeForm();
  auto* b = new TskSkinButton(form.get());
  b->SetParent(form.get());
  b->SetBounds(10, 10, 32, 32);
  b->SetSkinDataName(L"PlayButton");
  b->SetSkinData(sd.get());
  b->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_NE(b->AnimationTimer(), nullptr);
  EXPECT_EQ(b->AnimationTimer()->Interval(), 30u);
  EXPECT_EQ(b->AnimationFrame(), 1);
  EXPECT_EQ(Shot(b).At(16, 16), b->Picture()->Pixel(32 + 16, 16));
  b->AnimationTick();
  EXPECT_EQ(b->AnimationFrame(), 2);
  EXPECT_EQ(Shot(b).At(16, 16), b->Picture()->Pixel(64 + 16, 16));
  b->AnimationTick();
  EXPECT_EQ(b->AnimationFrame(), 0);
  EXPECT_FALSE(b->AnimationTimer()->Enabled());
  // Backwards from the last frame on leaving.
  b->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(b->AnimationFrame(), 2);
  EXPECT_EQ(Shot(b).At(16, 16), b->Picture()->Pixel(64 + 16, 16));
  b->AnimationTick();
  b->AnimationTick();
  EXPECT_EQ(b->AnimationFrame(), 0);
  EXPECT_EQ(Shot(b).At(16, 16), PicAt(b->Picture(), e->SkinRect, 16, 16));
}

TEST(SkinButton, RepeatAfterHalfASecondThenEveryInterval) {
  auto form = MakeForm();
  auto* b = new TskSkinButton(form.get());
  b->SetParent(form.get());
  b->SetBounds(10, 10, 40, 30);
  b->SetCanFocused(false);
  b->SetRepeatMode(true);
  b->SetRepeatInterval(40);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  PressAt(b, 5, 5);
  ASSERT_NE(b->RepeatTimer(), nullptr);
  EXPECT_EQ(b->RepeatTimer()->Interval(), 500u);
  b->RepeatTick(); // the first tick only sets the interval
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(b->RepeatTimer()->Interval(), 40u);
  b->RepeatTick();
  b->RepeatTick();
  EXPECT_EQ(clicks, 2);
  // Leaving stops the repeat, coming back starts the delay again.
  b->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(b->RepeatTimer(), nullptr);
  b->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_NE(b->RepeatTimer(), nullptr);
  EXPECT_EQ(b->RepeatTimer()->Interval(), 500u);
  // Real time: nothing before 500 ms, clicks after 540 ms.
  clicks = 0;
  PumpFor(400);
  EXPECT_EQ(clicks, 0);
  PumpFor(350);
  EXPECT_GE(clicks, 1);
  int before = clicks;
  ReleaseAt(b, 5, 5);
  EXPECT_EQ(clicks, before + 1); // one more on release inside
  EXPECT_EQ(b->RepeatTimer(), nullptr);
}

TEST(SkinButton, GroupsWithAndWithoutAllowAllUp) {
  for (bool allUp : {false, true}) {
    SCOPED_TRACE(allUp);
    auto form = MakeForm();
    TskSkinButton* bs[3];
    int clicks[3] = {};
    for (int i = 0; i < 3; ++i) {
      bs[i] = new TskSkinButton(form.get());
      bs[i]->SetParent(form.get());
      bs[i]->SetBounds(10 + 50 * i, 10, 40, 30);
      bs[i]->SetGroupIndex(1);
      bs[i]->SetAllowAllUp(allUp);
      bs[i]->OnClick = [&clicks, i](TObject*) { ++clicks[i]; };
    }
    PressAt(bs[0], 5, 5);
    EXPECT_EQ(clicks[0], 1); // a grouped button clicks on press
    ReleaseAt(bs[0], 5, 5);
    EXPECT_TRUE(bs[0]->Down());
    PressAt(bs[1], 5, 5);
    ReleaseAt(bs[1], 5, 5);
    EXPECT_TRUE(bs[1]->Down());
    if (!allUp) EXPECT_FALSE(bs[0]->Down());
    // Clicking the down button again releases it only with AllowAllUp.
    PressAt(bs[1], 5, 5);
    ReleaseAt(bs[1], 5, 5);
    EXPECT_EQ(bs[1]->Down(), !allUp);
    EXPECT_EQ(clicks[1], allUp ? 2 : 1);
  }
}

TEST(SkinCtrlsInput, ButtonClickRunsTheActionReleaseOutsideDoesNot) {
  auto form = MakeForm();
  TActionList list(form.get());
  TAction action(form.get());
  action.SetActionList(&list);
  int runs = 0;
  action.OnExecute = [&](TObject*) { ++runs; };
  auto* b = new TskSkinButton(form.get());
  b->SetParent(form.get());
  b->SetBounds(100, 100, 60, 30);
  b->SetAction(&action);
  form->Show();
  Foreground(form.get());
  PumpFor(50);
  MouseTo(b, 30, 15);
  MouseButton(true);
  EXPECT_TRUE(b->Down());
  MouseButton(false);
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(b->Down());
  // Pressed inside, released outside: no click.
  MouseTo(b, 30, 15);
  MouseButton(true);
  MouseTo(b, 200, 15);
  MouseButton(false);
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(b->Down());
}

TEST(SkinButton, SpaceAndEnterClick) {
  auto form = MakeForm();
  auto* b = new TskSkinButton(form.get());
  b->SetParent(form.get());
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  b->Perform(WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(clicks, 0);
  b->Perform(WM_KEYUP, VK_SPACE, 0);
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(clicks, 1);
  b->Perform(WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(clicks, 2);
  // The accelerator of the caption.
  b->SetCaption(L"&Options");
  form->Show();
  EXPECT_EQ(b->Perform(CM_DIALOGCHAR, L'o', 0), 1);
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(b->Perform(CM_DIALOGCHAR, L'x', 0), 0);
}

TEST(SkinButton, DefaultAndCancelAnswerEnterAndEscape) {
  auto form = MakeForm();
  auto* ok = new TskSkinButton(form.get());
  ok->SetParent(form.get());
  ok->SetBounds(10, 10, 60, 30);
  ok->SetModalResult(mrOk);
  auto* cancel = new TskSkinButton(form.get());
  cancel->SetParent(form.get());
  cancel->SetBounds(80, 10, 60, 30);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  int okClicks = 0, cancelClicks = 0;
  ok->OnClick = [&](TObject*) { ++okClicks; };
  cancel->OnClick = [&](TObject*) { ++cancelClicks; };
  form->Show();
  ok->SetDefault(true);
  form->Perform(CM_FOCUSCHANGED, 0, 0);
  EXPECT_TRUE(ok->ActiveDefault());
  EXPECT_EQ(ok->Perform(CM_DIALOGKEY, VK_RETURN, 0), 1);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(form->ModalResult(), mrOk);
  EXPECT_EQ(cancel->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 1);
  EXPECT_EQ(cancelClicks, 1);
  EXPECT_EQ(form->ModalResult(), mrCancel);
  EXPECT_EQ(ok->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 0);
  // Another skinned button focused takes over Enter.
  form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(cancel));
  EXPECT_FALSE(ok->ActiveDefault());
  EXPECT_TRUE(cancel->ActiveDefault());
}

// ---------------------------------------------------------------------------
// Gauge and track bar

TEST(SkinGaugeLook, ProgressInEverySkin) {
  auto form = MakeForm();
  for (SkinKind k : {kNone, kBuiltin, kAlt}) {
    for (bool enabled : {true, false}) {
      SCOPED_TRACE(std::string(SkinName(k)) + (enabled ? " enabled" : " disabled"));
      auto sd = MakeSkin(k);
      std::unique_ptr<TskSkinGauge> g(new TskSkinGauge(nullptr));
      g->SetParent(form.get());
      g->SetBounds(10, 10, 120, 8);
      g->SetSkinData(sd.get());
      g->SetEnabled(enabled);
      g->SetValue(50);
      Shot s(g.get());
      if (k == kNone) {
        EXPECT_EQ(s.At(0, 0), Rgb(clGrayText));
        EXPECT_EQ(s.At(3, 4), Rgb(skDefaultHotColor));
        EXPECT_EQ(s.At(116, 4), Rgb(clWindow));
        continue;
      }
      auto* e = sd->FindControl<TskDataSkinGaugeControl>(L"gauge");
      ASSERT_NE(e, nullptr);
      ASSERT_GE(g->EntryIndex(), 0);
      TRect area = g->NewProgressArea();
      EXPECT_EQ(area.Width(), RectWidth(e->ProgressArea) + 20);
      // The bar begins with the progress picture, the rest shows the gauge.
      EXPECT_EQ(s.At(area.Left, area.Top),
                g->Picture()->Pixel(e->ProgressRect.left, e->ProgressRect.top));
      EXPECT_EQ(s.At(119, 7), g->Picture()->Pixel(e->SkinRect.right - 1, e->SkinRect.bottom - 1));
    }
  }
}

TEST(SkinGauge, ValueClampsAndRepaintsOnlyOnChange) {
  auto form = MakeForm();
  auto* g = new TskSkinGauge(form.get());
  g->SetParent(form.get());
  g->SetBounds(10, 10, 100, 20);
  g->SetMaxValue(32512);
  g->SetMinValue(0);
  g->SetValue(40000);
  EXPECT_EQ(g->Value(), 32512);
  form->Show();
  UpdateWindow(g->Handle());
  RECT r;
  g->SetValue(32512);
  EXPECT_FALSE(GetUpdateRect(g->Handle(), &r, FALSE));
  g->SetValue(-5);
  EXPECT_EQ(g->Value(), 0);
  EXPECT_TRUE(GetUpdateRect(g->Handle(), &r, FALSE));
  // Lowering the maximum lowers the value.
  g->SetValue(300);
  g->SetMaxValue(200);
  EXPECT_EQ(g->Value(), 200);
}

TEST(SkinGauge, VerticalGrowsFromTheBottomAndShowsItsText) {
  auto form = MakeForm();
  auto* g = new TskSkinGauge(form.get());
  g->SetParent(form.get());
  g->SetBounds(10, 10, 30, 102);
  g->SetVertical(true);
  g->SetValue(25);
  {
    Shot s(g);
    EXPECT_EQ(s.At(15, 100), Rgb(skDefaultHotColor));
    EXPECT_EQ(s.At(15, 76), Rgb(skDefaultHotColor));
    EXPECT_EQ(s.At(15, 74), Rgb(clWindow));
  }
  auto textPixels = [&] {
    Shot s(g);
    int n = 0;
    for (int y = 0; y < s.H(); ++y)
      for (int x = 0; x < s.W(); ++x)
        n += s.At(x, y) == Rgb(g->DefaultFont()->Color());
    return n;
  };
  EXPECT_EQ(textPixels(), 0);
  g->SetShowPercent(true);
  EXPECT_GT(textPixels(), 0);
  g->SetShowPercent(false);
  g->SetShowProgressText(true);
  g->SetProgressText(L"Level");
  EXPECT_GT(textPixels(), 0);
}

TEST(SkinGauge, ProgressWidthIsTruncatedAndNeverNegative) {
  TskSkinGauge g(nullptr);
  g.SetMaxValue(3);
  g.SetValue(1);
  EXPECT_EQ(g.ProgressRect(TRect(0, 0, 100, 8)).Width(), 33);
  g.SetValue(2);
  EXPECT_EQ(g.ProgressRect(TRect(0, 0, 100, 8)).Width(), 66);
  g.SetValue(3);
  EXPECT_EQ(g.ProgressRect(TRect(10, 0, 110, 8)).Right, 110);
  // Bounds the wrong way round: an empty bar.
  g.SetMaxValue(10);
  g.SetMinValue(50);
  EXPECT_EQ(g.Value(), 50);
  EXPECT_EQ(g.ProgressRect(TRect(0, 0, 100, 8)).Width(), 0);
  g.SetMinValue(10);
  EXPECT_EQ(g.ProgressRect(TRect(0, 0, 100, 8)).Width(), 0); // equal bounds
  g.SetVertical(true);
  g.SetMinValue(0);
  g.SetMaxValue(4);
  g.SetValue(1);
  TRect v = g.ProgressRect(TRect(0, 0, 8, 50));
  EXPECT_EQ(v.Top, 50 - 12);
  EXPECT_EQ(v.Bottom, 50);
}

TEST(SkinTrackBarLook, ThumbInEveryState) {
  auto form = MakeForm();
  form->Show();
  Foreground(form.get());
  for (SkinKind k : {kNone, kBuiltin, kAlt}) {
    auto sd = MakeSkin(k);
    // A track bar has no look of its own for the mouse over it.
    for (State st : {sNormal, sDown, sFocused, sDisabled}) {
      SCOPED_TRACE(std::string(SkinName(k)) + " " + StateName(st));
      std::unique_ptr<TskSkinTrackBar> t(new TskSkinTrackBar(nullptr));
      t->SetParent(form.get());
      t->SetBounds(10, 10, 200, k == kNone ? 20 : 10);
      t->SetSkinData(sd.get());
      t->SetValue(50);
      if (st == sDisabled) t->SetEnabled(false);
      if (st == sFocused) {
        t->SetCanFocused(true);
        ASSERT_TRUE(FocusOn(t.get()));
      }
      { Shot warm(t.get()); }
      TRect th = t->LastThumb();
      if (st == sDown) PressAt(t.get(), th.Left + th.Width() / 2, th.Top + th.Height() / 2);
      Shot s(t.get());
      th = t->LastThumb();
      EXPECT_EQ(t->Dragging(), st == sDown);
      if (k == kNone) {
        EXPECT_EQ(th.Height(), 16);
        EXPECT_EQ(th.Width(), 8);
        bool hot = st == sDown || st == sFocused;
        EXPECT_EQ(s.At(th.Left, th.Top), Rgb(hot ? skDefaultFrameColor : clGrayText));
        EXPECT_EQ(s.At(th.Left + 3, th.Top + 5), Rgb(st == sDown      ? skDefaultDownColor
                                                     : st == sFocused ? skDefaultHotColor
                                                                      : clBtnFace));
        continue;
      }
      auto* e = sd->FindControl<TskDataSkinTrackBarControl>(L"htrackbar");
      RECT br = st == sDown || st == sFocused ? e->ActiveButtonRect : e->ButtonRect;
      EXPECT_EQ(th.Width(), RectWidth(e->ButtonRect));
      for (POINT p : {POINT{1, 1}, POINT{4, 5}})
        EXPECT_EQ(s.At(th.Left + p.x, th.Top + p.y), PicAt(t->Picture(), br, p.x, p.y));
    }
  }
}

TEST(SkinTrackBar, DragFiresChangePerValueAndLastChangeOnce) {
  auto form = MakeForm();
  auto* t = new TskSkinTrackBar(form.get());
  t->SetParent(form.get());
  t->SetBounds(10, 10, 104, 20);
  t->SetMaxValue(10);
  t->SetValue(0);
  int changes = 0, last = 0, starts = 0;
  t->OnChange = [&](TObject*) { ++changes; };
  t->OnLastChange = [&](TObject*) { ++last; };
  t->OnStartDragButton = [&](TObject*) { ++starts; };
  { Shot warm(t); }
  TRect th = t->LastThumb();
  int x = th.Left + th.Width() / 2, y = 10;
  PressAt(t, x, y);
  EXPECT_EQ(starts, 1);
  for (int dx = 0; dx <= 100; dx += 3)
    t->Perform(WM_MOUSEMOVE, MK_LBUTTON, Pt(x + dx, y));
  EXPECT_EQ(t->Value(), 10);
  EXPECT_EQ(changes, 10);
  EXPECT_EQ(last, 0);
  ReleaseAt(t, x + 100, y);
  EXPECT_EQ(last, 1);
  EXPECT_FALSE(t->Dragging());
  // Lowering the maximum lowers the value without OnChange.
  t->SetMaxValue(5);
  EXPECT_EQ(t->Value(), 5);
  EXPECT_EQ(changes, 10);
}

TEST(SkinTrackBar, BoundsTheWrongWayPutTheThumbAtTheMinimumEnd) {
  TskSkinTrackBar t(nullptr);
  t.SetBounds(0, 0, 104, 20);
  t.SetMaxValue(10);
  t.SetMinValue(50);
  EXPECT_EQ(t.Value(), 50);
  TRect th = t.ThumbRect(TRect(2, 2, 102, 18));
  EXPECT_EQ(th.Left, 2);
  EXPECT_EQ(t.ValueFromOffset(30), 50);
}

TEST(SkinTrackBar, JumpWhenClickRunsMouseUpFirst) {
  auto form = MakeForm();
  auto* t = new TskSkinTrackBar(form.get());
  t->SetParent(form.get());
  t->SetBounds(10, 10, 104, 20);
  t->SetJumpWhenClick(true);
  t->SetValue(0);
  int seen = -1, last = 0;
  t->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { seen = t->Value(); };
  t->OnLastChange = [&](TObject*) { ++last; };
  { Shot warm(t); }
  PressAt(t, 95, 10);
  ReleaseAt(t, 95, 10);
  EXPECT_EQ(seen, 0);
  EXPECT_GT(t->Value(), 80);
  EXPECT_EQ(last, 0);
  // A vertical bar has its minimum at the bottom.
  t->SetVertical(true);
  t->SetBounds(10, 10, 20, 104);
  t->SetValue(50);
  PressAt(t, 10, 100);
  ReleaseAt(t, 10, 100);
  EXPECT_LT(t->Value(), 10);
}

TEST(SkinCtrlsInput, TrackBarKeysAndWheel) {
  auto form = MakeForm();
  auto* h = new TskSkinTrackBar(form.get());
  h->SetParent(form.get());
  h->SetBounds(10, 10, 104, 20);
  auto* v = new TskSkinTrackBar(form.get());
  v->SetParent(form.get());
  v->SetBounds(150, 10, 20, 104);
  v->SetVertical(true);
  h->SetCanFocused(true);
  v->SetCanFocused(true);
  EXPECT_TRUE(h->TabStop());
  int last = 0;
  h->OnLastChange = v->OnLastChange = [&](TObject*) { ++last; };
  form->Show();
  Foreground(form.get());
  ASSERT_TRUE(FocusOn(h));
  EXPECT_EQ(h->Perform(CM_WANTSPECIALKEY, VK_LEFT, 0), 1);
  h->Perform(WM_KEYDOWN, VK_RIGHT, 0);
  h->Perform(WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(h->Value(), 52);
  h->Perform(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(h->Value(), 51);
  EXPECT_EQ(last, 3);
  // Wheel forward lowers a horizontal bar and raises a vertical one.
  h->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(h->Value(), 50);
  ASSERT_TRUE(FocusOn(v));
  v->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(v->Value(), 51);
  v->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(v->Value(), 50);
  EXPECT_EQ(last, 6);
  // Without CanFocused keys do nothing.
  v->SetCanFocused(false);
  v->Perform(WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(v->Value(), 50);
}

// ---------------------------------------------------------------------------
// Scroll bar

TEST(SkinScrollBarLook, PartsInEveryState) {
  auto form = MakeForm();
  form->Show();
  Foreground(form.get());
  for (SkinKind k : {kNone, kBuiltin, kAlt}) {
    auto sd = MakeSkin(k);
    for (State st : {sNormal, sHot, sDown, sFocused, sDisabled}) {
      SCOPED_TRACE(std::string(SkinName(k)) + " " + StateName(st));
      std::unique_ptr<TskSkinScrollBar> b(new TskSkinScrollBar(nullptr));
      b->SetParent(form.get());
      b->SetBounds(10, 10, 200, k == kNone ? 19 : 14);
      b->SetSkinData(sd.get());
      b->SetPosition(50);
      b->CalcParts();
      TRect up = b->PartRect(1);
      int ux = up.Left + up.Width() / 2, uy = up.Top + up.Height() / 2;
      if (st == sHot) b->Perform(WM_MOUSEMOVE, 0, Pt(ux, uy));
      if (st == sDown) PressAt(b.get(), ux, uy);
      if (st == sFocused) {
        b->SetCanFocused(true);
        ASSERT_TRUE(FocusOn(b.get()));
      }
      if (st == sDisabled) b->SetEnabled(false);
      Shot s(b.get());
      TRect th = b->PartRect(0);
      if (k == kNone) {
        EXPECT_EQ(s.At(up.Left, up.Top),
                  Rgb(st == sHot || st == sDown ? skDefaultFrameColor : clGrayText));
        EXPECT_EQ(s.At(up.Left + 2, up.Top + 2), Rgb(st == sHot    ? skDefaultHotColor
                                                     : st == sDown ? skDefaultDownColor
                                                                   : clBtnFace));
        EXPECT_EQ(th.Width(), 16);
        EXPECT_EQ(s.At(th.Left + 2, th.Top + 2),
                  Rgb(st == sFocused ? skDefaultDownColor : clBtnFace));
        EXPECT_EQ(s.At(th.Left, th.Top), Rgb(st == sDisabled  ? clBtnFace
                                             : st == sFocused ? skDefaultFrameColor
                                                              : clGrayText));
        continue;
      }
      auto* e = sd->FindControl<TskDataSkinScrollBarControl>(L"hscrollbar");
      ASSERT_GE(b->EntryIndex(), 0);
      // The up button lies at the bar's right end.
      EXPECT_EQ(up.Right, 200);
      RECT src = st == sHot    ? e->ActiveUpButtonRect
                 : st == sDown ? e->DownUpButtonRect
                               : RECT{e->SkinRect.left + e->UpButtonRect.left,
                                      e->SkinRect.top + e->UpButtonRect.top, 0, 0};
      EXPECT_EQ(s.At(up.Left + 2, up.Top + 2), PicAt(b->Picture(), src, 2, 2));
      EXPECT_EQ(th.Width(), e->ThumbMinPageSize);
      if (st != sDisabled) {
        RECT t = st == sFocused ? e->DownThumbRect : e->ThumbRect;
        EXPECT_EQ(s.At(th.Left + 1, th.Top + 3), PicAt(b->Picture(), t, 1, 3));
      }
    }
  }
}

TEST(SkinScrollBar, PageSizeLimitsThePosition) {
  TskSkinScrollBar b(nullptr);
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  b.SetRange(0, 16, 20, 6);
  EXPECT_EQ(b.Position(), 11);
  EXPECT_EQ(changes, 0);
  b.SetPosition(15);
  EXPECT_EQ(b.Position(), 11);
  EXPECT_EQ(changes, 0);
  b.SetPosition(3);
  b.SetPosition(3);
  EXPECT_EQ(changes, 1);
  b.SetMax(10);
  EXPECT_EQ(b.Position(), 3);
  b.SetMax(7);
  EXPECT_EQ(b.Position(), 2);
  b.SetMin(4);
  EXPECT_EQ(b.Position(), 4);
  EXPECT_EQ(changes, 1);
  // A page larger than what is left is refused.
  b.SetPageSize(50);
  EXPECT_EQ(b.PageSize(), 6);
}

TEST(SkinScrollBar, HeldButtonStepsAtOnceThenAfterDelayThenEvery50ms) {
  auto form = MakeForm();
  auto* b = new TskSkinScrollBar(form.get());
  b->SetParent(form.get());
  b->SetBounds(10, 10, 200, 19);
  form->Show();
  b->CalcParts();
  TRect up = b->PartRect(1);
  int ux = up.Left + 5, uy = 8;
  PressAt(b, ux, uy);
  EXPECT_EQ(b->Position(), 1);
  EXPECT_EQ(b->TimerMode(), 2);
  EXPECT_EQ(b->TimerInterval(), 500u);
  b->TimerTick(); // the first tick only shortens the interval
  EXPECT_EQ(b->Position(), 1);
  EXPECT_EQ(b->TimerInterval(), 50u);
  b->TimerTick();
  EXPECT_EQ(b->Position(), 2);
  // Off the button the repeat pauses, back on it goes on at 50 ms.
  b->Perform(WM_MOUSEMOVE, MK_LBUTTON, Pt(100, 8));
  EXPECT_EQ(b->TimerInterval(), 0u);
  b->Perform(WM_MOUSEMOVE, MK_LBUTTON, Pt(ux, uy));
  EXPECT_EQ(b->TimerInterval(), 50u);
  ReleaseAt(b, ux, uy);
  EXPECT_EQ(b->TimerInterval(), 0u);
  // Real time: nothing more before 500 ms, a step soon after 550 ms. The
  // held button follows the real pointer (a move off it pauses the repeat):
  // put the pointer where the press is and let its moves arrive first.
  POINT onButton{ux, uy};
  ClientToScreen(b->Handle(), &onButton);
  SetCursorPos(onButton.x, onButton.y);
  PumpFor(100);
  int start = b->Position();
  PressAt(b, ux, uy);
  DWORD pressed = GetTickCount();
  EXPECT_EQ(b->Position(), start + 1);
  PumpFor(400);
  EXPECT_EQ(b->Position(), start + 1);
  // The second step waits for the delay; a busy machine may deliver it late.
  EXPECT_TRUE(PumpUntil([&] { return b->Position() >= start + 2; }, 3000));
  EXPECT_GE(GetTickCount() - pressed, 500u);
  ReleaseAt(b, ux, uy);
  // The down button lowers it.
  int p = b->Position();
  PressAt(b, 5, 8);
  ReleaseAt(b, 5, 8);
  EXPECT_EQ(b->Position(), p - 1);
}

TEST(SkinScrollBar, UpButtonHandlerKeepsTheBarStill) {
  auto form = MakeForm();
  auto* b = new TskSkinScrollBar(form.get());
  b->SetParent(form.get());
  b->SetBounds(10, 10, 200, 19);
  int ups = 0;
  b->OnUpButtonClick = [&](TObject*) { ++ups; };
  b->CalcParts();
  PressAt(b, 190, 8);
  b->TimerTick();
  b->TimerTick();
  ReleaseAt(b, 190, 8);
  EXPECT_EQ(ups, 2);
  EXPECT_EQ(b->Position(), 0);
}

TEST(SkinScrollBar, MouseLeaveStopsPagingBothWays) {
  auto form = MakeForm();
  auto* b = new TskSkinScrollBar(form.get());
  b->SetParent(form.get());
  b->SetBounds(10, 10, 200, 19);
  b->SetLargeChange(10);
  int ups = 0, downs = 0;
  b->OnPageUp = [&](TObject*) { ++ups; };
  b->OnPageDown = [&](TObject*) { ++downs; };
  b->SetPosition(50);
  b->CalcParts();
  PressAt(b, 30, 8); // before the thumb
  EXPECT_EQ(b->TimerMode(), 3);
  EXPECT_EQ(b->Position(), 40);
  EXPECT_EQ(ups, 1);
  b->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(b->TimerMode(), 0);
  EXPECT_EQ(b->TimerInterval(), 0u);
  ReleaseAt(b, 30, 8);
  b->CalcParts();
  PressAt(b, 170, 8); // beyond the thumb
  EXPECT_EQ(b->TimerMode(), 4);
  EXPECT_EQ(downs, 1);
  b->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(b->TimerMode(), 0);
  ReleaseAt(b, 170, 8);
  // Paging stops once the thumb reaches the mouse.
  b->SetPosition(0);
  b->CalcParts();
  PressAt(b, 120, 8);
  for (int i = 0; i < 20 && b->TimerMode() != 0; ++i)
    b->TimerTick();
  EXPECT_EQ(b->TimerMode(), 0);
  TRect th = b->PartRect(0);
  EXPECT_GE(th.Right, 120);
  EXPECT_LE(th.Left, 120 + 16);
  ReleaseAt(b, 120, 8);
}

TEST(SkinScrollBar, ThumbDragEndsWithLastChangeRightClickDoesNothing) {
  auto form = MakeForm();
  auto* b = new TskSkinScrollBar(form.get());
  b->SetParent(form.get());
  b->SetBounds(10, 10, 200, 19);
  int last = 0, downs = 0;
  b->OnLastChange = [&](TObject*) { ++last; };
  b->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  b->CalcParts();
  TRect th = b->PartRect(0);
  PressAt(b, th.Left + 8, 8);
  b->Perform(WM_MOUSEMOVE, MK_LBUTTON, Pt(th.Left + 8 + 75, 8));
  EXPECT_NEAR(b->Position(), 50, 1);
  ReleaseAt(b, th.Left + 8 + 75, 8);
  EXPECT_EQ(last, 1);
  PressAt(b, 190, 8);
  ReleaseAt(b, 190, 8);
  EXPECT_EQ(last, 1);
  int p = b->Position();
  b->Perform(WM_RBUTTONDOWN, MK_RBUTTON, Pt(190, 8));
  b->Perform(WM_RBUTTONUP, 0, Pt(190, 8));
  EXPECT_EQ(downs, 3);
  EXPECT_EQ(b->Position(), p);
  EXPECT_EQ(b->TimerMode(), 0);
}

// ---------------------------------------------------------------------------
// List view

struct ListFixture {
  std::unique_ptr<TSkinTestForm> form = MakeForm(460, 360);
  TskSkinListView* list;
  TskSkinScrollBar* v;
  TskSkinScrollBar* h;
  explicit ListFixture(TskSkinData* sd = nullptr, int rows = 3) {
    form->Skin = sd;
    list = new TskSkinListView(form.get());
    list->SetParent(form.get());
    list->SetBounds(10, 10, 300, 150);
    list->SetViewStyle(vsReport);
    list->SetFullDrag(true);
    list->SetRowSelect(true);
    list->SetMultiSelect(true);
    list->SetReadOnly(true);
    const wchar_t* names[] = {L"Name", L"Date", L"Length", L"Size"};
    for (int i = 0; i < 4; ++i) {
      TListColumn* c = list->Columns()->Add();
      c->SetCaption(names[i]);
      c->SetWidth(70);
      if (i == 3) c->SetAlignment(taRightJustify);
    }
    v = new TskSkinScrollBar(form.get());
    v->SetParent(form.get());
    v->SetKind(sbVertical);
    v->SetSkinDataName(L"VScrollBar");
    v->SetBounds(312, 10, 14, 150);
    h = new TskSkinScrollBar(form.get());
    h->SetParent(form.get());
    h->SetSkinDataName(L"HScrollBar");
    h->SetBounds(10, 162, 300, 14);
    list->SetVScrollBar(v);
    list->SetHScrollBar(h);
    v->SetSkinData(sd);
    h->SetSkinData(sd);
    list->SetSkinData(sd);
    AddRows(rows);
    form->Show();
    PumpFor(30);
  }
  void AddRows(int n) {
    for (int i = 0; i < n; ++i) {
      TListItem* it = list->Items()->Add();
      it->SetCaption(L"rec" + std::to_wstring(list->Items()->Count()) + L".mp3");
      it->SubItems()->Add(L"12/11/2026");
      it->SubItems()->Add(L"00:01:05");
      it->SubItems()->Add(L"1024 KB");
    }
    list->UpdateScrollBars();
  }
  HWND Header() const { return list->HeaderHandle(); }
};

TEST(SkinListView, BarsAppearWhenRowsExceedAPage) {
  ListFixture f;
  ASSERT_TRUE(f.list->HandleAllocated());
  EXPECT_EQ(f.list->Perform(CM_SKINQUERY, 0, 0), 12851);
  EXPECT_FALSE(f.v->Visible());
  EXPECT_FALSE(f.h->Visible());
  // No frame and no native bars: the client area is the whole window.
  RECT cr;
  GetClientRect(f.list->Handle(), &cr);
  EXPECT_EQ(cr.right, f.list->Width());
  EXPECT_EQ(cr.bottom, f.list->Height());
  f.AddRows(30);
  int rpp = f.list->VisibleRowCount();
  ASSERT_GT(rpp, 0);
  EXPECT_TRUE(f.v->Visible());
  EXPECT_EQ(f.v->PageSize(), rpp);
  EXPECT_EQ(f.v->LargeChange(), rpp);
  EXPECT_EQ(f.v->SmallChange(), 1);
  EXPECT_EQ(f.v->Max(), 32);
  // One step of the bar scrolls one row.
  EXPECT_EQ(f.list->TopItem(), f.list->Items()->Item(0));
  f.v->SetPosition(1);
  EXPECT_EQ(f.list->TopItem(), f.list->Items()->Item(1));
  f.v->SetPosition(4);
  EXPECT_EQ(f.list->TopItem(), f.list->Items()->Item(4));
  // Scrolling the list moves the bar.
  f.list->Perform(WM_KEYDOWN, VK_HOME, 0);
  PumpFor(30);
  EXPECT_EQ(f.v->Position(), 0);
  // Wide columns bring the horizontal bar, and the corner.
  f.list->Columns()->Items(0)->SetWidth(400);
  f.list->UpdateScrollBars();
  EXPECT_TRUE(f.h->Visible());
  EXPECT_TRUE(f.h->Both());
}

TEST(SkinListView, HeaderIsWiderAndDividerPressIsNotDrawnPressed) {
  ListFixture f;
  HWND hdr = f.Header();
  ASSERT_NE(hdr, nullptr);
  RECT hr, lr;
  GetWindowRect(hdr, &hr);
  GetClientRect(f.list->Handle(), &lr);
  EXPECT_EQ(hr.right - hr.left, lr.right + 4);
  RECT item{};
  SendMessageW(hdr, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  int my = (item.top + item.bottom) / 2;
  SendMessageW(hdr, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.right, my));
  EXPECT_FALSE(f.list->HeaderPressed());
  SendMessageW(hdr, WM_LBUTTONUP, 0, MAKELPARAM(item.right, my));
  SendMessageW(hdr, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.left + 20, my));
  EXPECT_TRUE(f.list->HeaderPressed());
  EXPECT_EQ(f.list->ActiveSection(), 0);
  // Drawn pressed in the default look.
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, hr.right - hr.left, hr.bottom - hr.top);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  f.list->Perform(CM_SKINHEADERPAINT, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_EQ(GetPixel(dc, item.left + 2, item.top + 2), Rgb(skDefaultDownColor));
  EXPECT_EQ(GetPixel(dc, item.right + 3, item.top + 2), Rgb(clBtnFace));
  SendMessageW(hdr, WM_LBUTTONUP, 0, MAKELPARAM(item.left + 20, my));
  EXPECT_FALSE(f.list->HeaderPressed());
  EXPECT_EQ(f.list->ActiveSection(), -1);
  f.list->Perform(CM_SKINHEADERPAINT, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_EQ(GetPixel(dc, item.left + 2, item.top + 2), Rgb(clBtnFace));
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

TEST(SkinListView, DraggedColumnsKeepTheirCaptions) {
  ListFixture f;
  HWND hdr = f.Header();
  ASSERT_NE(hdr, nullptr);
  EXPECT_TRUE(SendMessageW(f.list->Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) &
              LVS_EX_HEADERDRAGDROP);
  // Columns reordered as a drag leaves them: 2, 0, 1, 3.
  int order[4] = {2, 0, 1, 3};
  SendMessageW(f.list->Handle(), LVM_SETCOLUMNORDERARRAY, 4, reinterpret_cast<LPARAM>(order));
  std::vector<std::wstring> drawn;
  const COLORREF colours[4] = {RGB(255, 0, 0), RGB(0, 0, 255), RGB(255, 255, 0), RGB(0, 255, 255)};
  f.list->OnDrawHeaderSection = [&](TCanvas* C, TListColumn* col, bool, const TRect& R) {
    drawn.push_back(col->Caption());
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(colours[col->Index()]);
    C->FillRect(R);
  };
  RECT hr;
  GetClientRect(hdr, &hr);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, hr.right, hr.bottom);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  f.list->PaintHeader(dc);
  EXPECT_EQ(drawn, (std::vector<std::wstring>{L"Length", L"Name", L"Date", L"Size"}));
  // Each column's picture lies where its section is.
  for (int c = 0; c < 4; ++c) {
    RECT r{};
    SendMessageW(hdr, HDM_GETITEMRECT, c, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(GetPixel(dc, (r.left + r.right) / 2, (r.top + r.bottom) / 2), colours[c]) << c;
  }
  EXPECT_EQ(f.list->SectionRect(0).Left, 0);
  RECT first{};
  SendMessageW(hdr, HDM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&first));
  EXPECT_EQ(f.list->SectionRect(0).Right, first.right);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

TEST(SkinListView, SkinEntriesGiveFontAndBackground) {
  for (SkinKind k : {kNone, kBuiltin, kAlt}) {
    SCOPED_TRACE(SkinName(k));
    auto sd = MakeSkin(k);
    ListFixture f(sd.get(), 40);
    if (k == kNone) {
      EXPECT_EQ(f.list->Color(), clWindow);
      EXPECT_EQ(f.list->Font()->Name(), L"Arial");
      continue;
    }
    auto* e = sd->FindControl<TskDataSkinListView>(L"listview");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(f.list->Color(), static_cast<TColor>(e->BGColor));
    EXPECT_EQ(f.list->Font()->Color(), static_cast<TColor>(e->FontColor));
    EXPECT_EQ(f.list->Font()->Name(), e->FontName);
    EXPECT_TRUE(f.v->Visible());
    EXPECT_GE(f.v->EntryIndex(), 0);
  }
}

// ---------------------------------------------------------------------------
// Skin changes and pictures

// Every control of this unit on one form.
struct AllControls {
  std::unique_ptr<ListFixture> lf;
  TskSkinButton* play;
  TskSkinButton* option;
  TskSkinGauge* gauge;
  TskSkinTrackBar* track;
  TskSkinScrollBar* gain;
  explicit AllControls(TskSkinData* sd) {
    lf = std::make_unique<ListFixture>(sd, 30);
    TForm* form = lf->form.get();
    form->SetCaption(L"Skinned controls");
    play = new TskSkinButton(form);
    play->SetParent(form);
    play->SetSkinDataName(L"PlayButton");
    play->SetBounds(340, 10, 32, 32);
    option = new TskSkinButton(form);
    option->SetParent(form);
    option->SetSkinDataName(L"OptionButton");
    option->SetCaption(L"Options");
    option->SetBounds(340, 50, 57, 17);
    gauge = new TskSkinGauge(form);
    gauge->SetParent(form);
    gauge->SetBounds(10, 200, 300, 8);
    gauge->SetValue(60);
    track = new TskSkinTrackBar(form);
    track->SetParent(form);
    track->SetBounds(10, 220, 300, 10);
    track->SetValue(30);
    gain = new TskSkinScrollBar(form);
    gain->SetParent(form);
    gain->SetBounds(10, 250, 300, 14);
    gain->SetMax(65535);
    gain->SetPosition(20000);
    for (TskSkinControl* c : std::vector<TskSkinControl*>{play, option, gauge, track, gain})
      c->SetSkinData(sd);
    lf->form->Skin = sd;
    PumpFor(50);
  }
};

TEST(SkinControlsChange, SkinChangesWhileShownReReadEntriesAndKeepGdiSteady) {
  auto sd = MakeSkin(kBuiltin);
  AllControls all(sd.get());
  const std::wstring alt = SourceDir() + L"resources\\skin\\alt\\skin.ini";
  auto change = [&](bool toAlt) {
    if (toAlt)
      ASSERT_TRUE(sd->LoadSkinFromIni(alt));
    else
      ASSERT_TRUE(sd->LoadBuiltinSkin());
    for (int i = 0; i < all.lf->form->ControlCount(); ++i)
      if (auto* w = dynamic_cast<TWinControl*>(all.lf->form->Controls(i)))
        UpdateWindow(w->Handle());
    PumpMessages();
  };
  change(true);
  auto* e = sd->FindControl<TskDataSkinButtonControl>(L"OptionButton");
  EXPECT_GE(all.option->EntryIndex(), 0);
  RECT sr = all.option->SkinRect();
  EXPECT_TRUE(EqualRect(&sr, &e->SkinRect));
  EXPECT_EQ(all.option->Picture(), sd->ActivePicture(e->PictureIndex));
  EXPECT_EQ(all.lf->list->Color(),
            static_cast<TColor>(sd->FindControl<TskDataSkinListView>(L"listview")->BGColor));
  all.lf->form->Dropped.clear();
  change(false);
  // Every skinned control dropped its entry before the load.
  EXPECT_EQ(all.lf->form->Dropped, std::vector<int>(7, -1));
  EXPECT_GE(all.play->EntryIndex(), 0);
  change(true);
  int gdi = GdiObjects();
  for (int i = 0; i < 6; ++i)
    change(i % 2 == 0);
  EXPECT_LE(GdiObjects(), gdi + 3);
  // Dropping makes the default look until the skin is applied again.
  all.play->DropSkinEntry();
  EXPECT_EQ(all.play->EntryIndex(), -1);
  all.play->ApplyControlSkin();
  EXPECT_GE(all.play->EntryIndex(), 0);
}

TEST(SkinControlsPictures, EveryControlInBothSkinsAndWithout) {
  for (SkinKind k : {kNone, kBuiltin, kAlt}) {
    auto sd = MakeSkin(k);
    AllControls all(k == kNone ? nullptr : sd.get());
    all.play->Perform(CM_MOUSEENTER, 0, 0);
    all.lf->list->Columns()->Items(0)->SetWidth(200);
    all.lf->list->UpdateScrollBars();
    EXPECT_TRUE(all.lf->h->Visible());
    RedrawWindow(all.lf->form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    PumpFor(100);
    std::wstring name = std::wstring(L"skin_controls_") +
                        (k == kNone      ? L"none"
                         : k == kBuiltin ? L"builtin"
                                         : L"alt") +
                        L".png";
    EXPECT_TRUE(testsupport::SaveWindowPng(all.lf->form->Handle(), name));
  }
}

} // namespace
