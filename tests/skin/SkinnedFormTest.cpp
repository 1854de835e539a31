// The skinned form in client mode on real windows: the painted skin, the
// window region from the mask, area controls, caption buttons, dragging with
// magnetic snapping, window states and resource counts over skin changes.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Forms.h"
#include "skin/SkinCtrls.h"
#include "skin/SkinnedForm.h"
#include "tests/support/Gui.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpUntil;

std::wstring SourceDir() {
  wchar_t buf[MAX_PATH];
  GetModuleFileNameW(nullptr, buf, MAX_PATH);
  std::wstring w = buf;
  w = w.substr(0, w.find_last_of(L'\\') + 1) + L"..\\..\\";
  if (GetFileAttributesW((w + L"resources\\skin\\alt\\skin.ini").c_str()) !=
      INVALID_FILE_ATTRIBUTES)
    return w;
  std::string f = __FILE__;
  std::wstring s(f.begin(), f.end());
  for (auto& c : s)
    if (c == L'/') c = L'\\';
  if (!s.empty() && s[0] == L'\\') s = L"Z:" + s;
  return s.substr(0, s.find_last_of(L'\\') + 1) + L"..\\..\\";
}

std::wstring AltSkin() {
  return SourceDir() + L"resources\\skin\\alt\\skin.ini";
}

enum SkinKind { kBuiltin, kAlt };
const char* SkinName(SkinKind k) {
  return k == kBuiltin ? "builtin" : "alt";
}

void LoadSkin(TskSkinData* sd, SkinKind k) {
  if (k == kBuiltin)
    ASSERT_TRUE(sd->LoadBuiltinSkin()) << sd->LastError();
  else
    ASSERT_TRUE(sd->LoadSkinFromIni(AltSkin())) << sd->LastError();
}

// A client-mode skinned form as the recorder sets it up.
struct Rig {
  std::unique_ptr<TForm> form;
  TskSkinData* skin = nullptr;
  TskSkinnedForm* sf = nullptr;
  // Before runs on the skinned form before the window is first shown.
  explicit Rig(SkinKind k, int height = 398, bool effects = true,
               const std::function<void(TskSkinnedForm*)>& before = {}) {
    form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetCaption(L"Skinned form test");
    form->SetBounds(200, 150, 408, 609);
    skin = new TskSkinData(form.get());
    skin->EnableSkinEffects = effects;
    LoadSkin(skin, k);
    sf = new TskSkinnedForm(form.get());
    sf->SetSupportNCArea(false);
    sf->Sizeable = false;
    sf->DraggAble = true;
    sf->Magnetic = true;
    sf->MagneticSize = 10;
    sf->SetBorderIcons(biSkSystemMenu | biSkMinimize);
    sf->ShowIcon = false;
    sf->SetSkinData(skin);
    if (before) before(sf);
    form->Show();
    form->SetHeight(height);
    PumpFor(50);
  }
  HWND H() { return form->Handle(); }
};

// The client area as the form's background painting draws it.
class Background {
public:
  explicit Background(Rig& r) {
    RECT c;
    GetClientRect(r.H(), &c);
    w_ = c.right;
    h_ = c.bottom;
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bmp_ = testsupport::CreateTopDownDib(screen, w_, h_, reinterpret_cast<void**>(&bits_));
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bmp_);
    SendMessageW(r.H(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0);
    GdiFlush();
  }
  ~Background() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  COLORREF At(int x, int y) const {
    uint32_t v = bits_[y * w_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  bool Save(const std::wstring& name) const {
    return testsupport::SavePixelsPng(testsupport::OutputPath(name), w_, h_, bits_, w_ * 4);
  }
  int W() const { return w_; }
  int H() const { return h_; }

private:
  int w_ = 0, h_ = 0;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  uint32_t* bits_ = nullptr;
};

bool InAnyObject(TskSkinnedForm* sf, int x, int y) {
  for (auto& o : sf->Objects())
    if (o->Visible && x >= o->ObjectRect.left - 1 && x <= o->ObjectRect.right + 1 &&
        y >= o->ObjectRect.top - 1 && y <= o->ObjectRect.bottom + 1)
      return true;
  return false;
}

// Real mouse input at a screen point.
void MouseToScreen(int x, int y) {
  SetCursorPos(x, y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  SendInput(1, &in, sizeof in);
  PumpFor(30);
}

void MouseTo(HWND h, int x, int y) {
  POINT p{x, y};
  ClientToScreen(h, &p);
  MouseToScreen(p.x, p.y);
}

void Button(bool down, bool right = false) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                        : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
  SendInput(1, &in, sizeof in);
  PumpFor(30);
}

void Foreground(HWND h) {
  for (int i = 0; i < 3; ++i)
    if (testsupport::ForceForeground(h, 1000)) return;
}

POINT Center(const RECT& r) {
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A background point that is no object.
const POINT kBackground{60, 190};

} // namespace

// ---------------------------------------------------------------------------

class SkinnedFormLook : public ::testing::TestWithParam<std::tuple<SkinKind, int>> {};

TEST_P(SkinnedFormLook, ClientAreaIsTheWholeWindowPaintedFromTheSkin) {
  auto [kind, height] = GetParam();
  Rig r(kind, height, false);
  RECT wr, cr;
  GetWindowRect(r.H(), &wr);
  GetClientRect(r.H(), &cr);
  EXPECT_EQ(cr.right, wr.right - wr.left);
  EXPECT_EQ(cr.bottom, wr.bottom - wr.top);
  EXPECT_EQ(r.form->Width(), 408);
  EXPECT_EQ(r.form->Height(), height);

  Background bg(r);
  bg.Save(std::wstring(L"skinned_form_background_") + (kind == kBuiltin ? L"builtin_" : L"alt_") +
          std::to_wstring(height) + L".png");
  const TskPicture& pic = r.skin->Picture;
  int dx = bg.W() - pic.Width(), dy = bg.H() - pic.Height();
  POINT lt = r.skin->LTPoint, rb = r.skin->RBPoint, lb = r.skin->LBPoint;
  // The corners of the picture are copied as they stand: top-left at its
  // place, bottom-left moved down, bottom-right moved right and down.
  // Only the frame is copied; the client rectangle is tiled.
  const RECT cr0 = r.skin->ClientRect;
  auto frame = [&](int x, int y) {
    return x < cr0.left || x >= cr0.right || y < cr0.top || y >= cr0.bottom;
  };
  int checked = 0;
  for (int y = 0; y < lt.y; y += 2)
    for (int x = 0; x < lt.x; x += 3) {
      if (!frame(x, y) || InAnyObject(r.sf, x, y)) continue;
      ASSERT_EQ(bg.At(x, y), pic.Pixel(x, y)) << x << "," << y;
      ++checked;
    }
  for (int y = rb.y; y < pic.Height(); y += 2)
    for (int x = rb.x; x < pic.Width(); x += 3) {
      if (!frame(x, y) || InAnyObject(r.sf, x + dx, y + dy)) continue;
      ASSERT_EQ(bg.At(x + dx, y + dy), pic.Pixel(x, y)) << x << "," << y;
      ++checked;
    }
  for (int y = lb.y; y < pic.Height(); y += 2)
    for (int x = 0; x < lb.x; x += 3) {
      if (!frame(x, y) || InAnyObject(r.sf, x, y + dy)) continue;
      ASSERT_EQ(bg.At(x, y + dy), pic.Pixel(x, y)) << x << "," << y;
      ++checked;
    }
  EXPECT_GT(checked, 100);
  // Everywhere else the background is the picture composed for the size.
  TskPicture composed;
  r.sf->ComposeSkinPicture(composed);
  ASSERT_EQ(composed.Width(), bg.W());
  ASSERT_EQ(composed.Height(), bg.H());
  for (int y = 0; y < bg.H(); y += 5)
    for (int x = 0; x < bg.W(); x += 5)
      if (!InAnyObject(r.sf, x, y)) ASSERT_EQ(bg.At(x, y), composed.Pixel(x, y)) << x << "," << y;
  testsupport::SaveWindowPng(r.H(), std::wstring(L"skinned_form_window_") +
                                        (kind == kBuiltin ? L"builtin_" : L"alt_") +
                                        std::to_wstring(height) + L".png");
}

INSTANTIATE_TEST_SUITE_P(Sizes, SkinnedFormLook,
                         ::testing::Combine(::testing::Values(kBuiltin, kAlt),
                                            ::testing::Values(398, 178)),
                         [](const auto& i) {
                           return std::string(SkinName(std::get<0>(i.param))) + "_" +
                                  std::to_string(std::get<1>(i.param));
                         });

TEST(SkinnedForm, RegionFollowsTheAltSkinsMaskAndIsAPlainRectangleWithoutOne) {
  {
    Rig r(kAlt);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(r.H(), rgn), ERROR);
    const TskPicture& mask = r.skin->MaskPicture;
    ASSERT_FALSE(mask.Empty());
    int outside = 0, inside = 0;
    for (int y = 0; y < mask.Height(); y += 2)
      for (int x = 0; x < mask.Width(); x += 2) {
        bool black = mask.Pixel(x, y) == 0;
        EXPECT_EQ(PtInRegion(rgn, x, y) != 0, black) << x << "," << y;
        (black ? inside : outside)++;
      }
    EXPECT_GT(outside, 10);
    EXPECT_GT(inside, 1000);
    DeleteObject(rgn);
  }
  {
    Rig r(kBuiltin);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(r.H(), rgn);
    EXPECT_EQ(kind, SIMPLEREGION);
    RECT box;
    GetRgnBox(rgn, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 408);
    EXPECT_EQ(box.bottom, 398);
    DeleteObject(rgn);
  }
}

TEST(SkinnedForm, MinimumTrackingSizeIsThePictureButTheCompactHeightStays) {
  Rig r(kBuiltin, 178);
  MINMAXINFO mmi{};
  SendMessageW(r.H(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  EXPECT_EQ(mmi.ptMinTrackSize.x, 408);
  EXPECT_EQ(mmi.ptMinTrackSize.y, 398);
  // A popup without a sizing frame: the program's own sizing is not limited.
  r.form->SetHeight(178);
  PumpFor(20);
  EXPECT_EQ(testsupport::WindowRect(r.H()).bottom - testsupport::WindowRect(r.H()).top, 178);
}

TEST(SkinnedForm, AreaControlsSitOnTheirAreasWithAlignNone) {
  for (SkinKind k : {kBuiltin, kAlt}) {
    for (int height : {398, 178}) {
      Rig r(k);
      std::vector<TskSkinButton*> buttons;
      for (auto& a : r.skin->AreaList) {
        auto* b = new TskSkinButton(r.form.get());
        b->SetParent(r.form.get());
        b->SetAlign(alTop);
        b->SetAreaName(a->IDName);
        b->SetSkinData(r.skin);
        buttons.push_back(b);
      }
      // The skin is applied again: the controls are placed.
      r.sf->SetSkinData(r.skin);
      r.form->SetHeight(height);
      PumpFor(20);
      ASSERT_EQ(buttons.size(), r.skin->AreaList.size());
      ASSERT_GE(buttons.size(), 18u);
      for (size_t i = 0; i < buttons.size(); ++i) {
        RECT want = r.sf->MapSkinRectToForm(r.skin->AreaList[i]->AreaRect);
        if (height == 398) EXPECT_TRUE(RectsEqual(want, r.skin->AreaList[i]->AreaRect));
        SCOPED_TRACE(std::string(SkinName(k)) + " " + std::to_string(height) + " area " +
                     std::to_string(i));
        EXPECT_EQ(buttons[i]->Align(), alNone);
        EXPECT_EQ(buttons[i]->Left(), want.left);
        EXPECT_EQ(buttons[i]->Top(), want.top);
        EXPECT_EQ(buttons[i]->Width(), RectWidth(want));
        EXPECT_EQ(buttons[i]->Height(), RectHeight(want));
      }
    }
  }
}

TEST(SkinnedForm, SkinChangesDropAndReapplyControlEntries) {
  Rig r(kAlt);
  auto* b = new TskSkinButton(r.form.get());
  b->SetParent(r.form.get());
  b->SetSkinDataName(L"PlayButton");
  b->SetSkinData(r.skin);
  EXPECT_GE(b->EntryIndex(), 0);
  int droppedTo = 99;
  TskSkinData other(nullptr);
  // A skin change message of another skin data leaves the form's objects.
  size_t objects = r.sf->Objects().size();
  ASSERT_GT(objects, 0u);
  SendMessageW(r.H(), WM_SKINCHANGING, reinterpret_cast<WPARAM>(&other), SKIN_MESSAGE_LPARAM);
  EXPECT_EQ(r.sf->Objects().size(), objects);
  EXPECT_GE(b->EntryIndex(), 0);
  // The own skin data: objects freed and entries dropped, then back.
  SendMessageW(r.H(), WM_SKINCHANGING, reinterpret_cast<WPARAM>(r.skin), SKIN_MESSAGE_LPARAM);
  droppedTo = b->EntryIndex();
  EXPECT_EQ(droppedTo, -1);
  EXPECT_TRUE(r.sf->Objects().empty());
  EXPECT_FALSE(r.sf->MouseTimerRunning());
  SendMessageW(r.H(), WM_SKINCHANGED, reinterpret_cast<WPARAM>(r.skin), SKIN_MESSAGE_LPARAM);
  EXPECT_EQ(r.sf->Objects().size(), objects);
  EXPECT_GE(b->EntryIndex(), 0);
  // The query messages.
  EXPECT_EQ(SendMessageW(r.H(), CM_SKINSTATEQUERY, 0, 0), 12853);
  EXPECT_EQ(SendMessageW(r.H(), CM_SKINQUERY, 0, 0), 12851);
  EXPECT_EQ(SendMessageW(r.H(), CM_SKINFRAMEQUERY, 0, 16802), 16802);
  // The frame query with another key is the form's own message.
  EXPECT_EQ(SendMessageW(r.H(), CM_SKINFRAMEQUERY, 0, 1), 0);
}

TEST(SkinnedForm, FreeingTheSkinDataClearsEveryLinkToIt) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* skin = new TskSkinData(form.get());
  ASSERT_TRUE(skin->LoadBuiltinSkin());
  auto* sf = new TskSkinnedForm(form.get());
  sf->SetSupportNCArea(false);
  sf->SetSkinData(skin);
  sf->SetMenusSkinData(skin);
  delete skin;
  EXPECT_EQ(sf->SkinData(), nullptr);
  EXPECT_EQ(sf->MenusSkinData(), nullptr);
  EXPECT_TRUE(sf->Objects().empty());
  // Painting without a skin is the plain face.
  form->Show();
  PumpFor(20);
}

TEST(SkinnedForm, ObjectsWithAnActivePictureIndexOutOfRangeDrawNothingFromIt) {
  Rig r(kAlt, 398, false);
  for (auto& d : r.skin->ObjectList)
    if (d->IDName == L"closebutton") d->ActivePictureIndex = 99;
  r.sf->SetSkinData(r.skin);
  auto* close = r.sf->FindObject(L"closebutton");
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->ActivePicture, nullptr);
  EXPECT_TRUE(IsNullRect(close->ActiveSkinRect));
  POINT c = Center(close->ObjectRect);
  Background before(r);
  COLORREF was = before.At(c.x, c.y);
  // Hot and pressed: still the picture's own look, no crash.
  r.sf->TestActiveObject(c.x, c.y, true);
  r.sf->ObjectMouseDown(mbLeft, c.x, c.y);
  Background after(r);
  EXPECT_EQ(after.At(c.x, c.y), was);
  r.sf->TestActiveObject(-1, -1, false);
  r.sf->ObjectMouseUp(mbLeft, -1, -1);
  EXPECT_TRUE(IsWindowVisible(r.H()));
}

TEST(SkinnedForm, HoverMorphBlendsFromTheNormalToTheHotPicture) {
  Rig r(kAlt);
  auto* close = r.sf->FindObject(L"closebutton");
  ASSERT_NE(close, nullptr);
  ASSERT_TRUE(close->CanMorphing());
  // A point whose normal and hot pixels differ clearly.
  Background before(r);
  auto hotAt = [&](int x, int y) {
    return close->ActivePicture->Pixel(close->ActiveSkinRect.left + x - close->ObjectRect.left,
                                       close->ActiveSkinRect.top + y - close->ObjectRect.top);
  };
  auto dist = [](COLORREF a, COLORREF b) {
    return std::abs(int(GetRValue(a)) - int(GetRValue(b))) +
           std::abs(int(GetGValue(a)) - int(GetGValue(b))) +
           std::abs(int(GetBValue(a)) - int(GetBValue(b)));
  };
  POINT c{-1, -1};
  for (int y = close->ObjectRect.top; y < close->ObjectRect.bottom && c.x < 0; ++y)
    for (int x = close->ObjectRect.left; x < close->ObjectRect.right; ++x)
      if (dist(before.At(x, y), hotAt(x, y)) >= 60) {
        c = POINT{x, y};
        break;
      }
  ASSERT_GE(c.x, 0);
  COLORREF normal = before.At(c.x, c.y), hot = hotAt(c.x, c.y);
  r.sf->TestActiveObject(c.x, c.y, true);
  EXPECT_TRUE(r.sf->MorphTimerRunning());
  // Two of the five steps: a blend of both pictures.
  r.sf->MorphTimerTick();
  r.sf->MorphTimerTick();
  EXPECT_DOUBLE_EQ(close->MorphKf, 0.4);
  COLORREF mid = Background(r).At(c.x, c.y);
  EXPECT_NE(mid, normal);
  EXPECT_NE(mid, hot);
  for (int i = 0; i < 3; ++i)
    r.sf->MorphTimerTick();
  EXPECT_EQ(Background(r).At(c.x, c.y), hot);
  r.sf->MorphTimerTick();
  EXPECT_FALSE(r.sf->MorphTimerRunning());
}

TEST(SkinnedForm, RestoreWithoutSavedBoundsKeepsThePresentBounds) {
  Rig r(kBuiltin);
  RECT before = testsupport::WindowRect(r.H());
  // Not the main form: client mode minimizes through the application and
  // saves no bounds.
  r.sf->SetWindowState(1);
  r.sf->SetWindowState(0);
  RECT after = testsupport::WindowRect(r.H());
  EXPECT_TRUE(RectsEqual(before, after));
  // Maximize saves the bounds and restore puts them back.
  r.sf->SetWindowState(2);
  EXPECT_GT(r.form->Width(), 408);
  r.sf->SetWindowState(0);
  EXPECT_TRUE(RectsEqual(before, testsupport::WindowRect(r.H())));
}

TEST(SkinnedForm, CaptionShowsTheTitle) {
  Rig r(kAlt, 398, false);
  Background plain(r);
  auto* cap = r.sf->FindObject(L"caption");
  ASSERT_NE(cap, nullptr);
  // The caption's pixels differ from the same picture without a title.
  r.form->SetCaption(L"");
  Background empty(r);
  int diff = 0;
  for (int y = cap->ObjectRect.top; y < cap->ObjectRect.bottom; ++y)
    for (int x = cap->ObjectRect.left; x < cap->ObjectRect.right; ++x)
      if (plain.At(x, y) != empty.At(x, y)) ++diff;
  EXPECT_GT(diff, 40);
}

TEST(SkinnedForm, ResourceCountsStaySteadyOverSkinChangesAndHovers) {
  Rig r(kAlt, 398, false);
  HANDLE p = GetCurrentProcess();
  auto gdi = [&] { return GetGuiResources(p, GR_GDIOBJECTS); };
  auto user = [&] { return GetGuiResources(p, GR_USEROBJECTS); };
  for (int i = 0; i < 4; ++i)
    LoadSkin(r.skin, i % 2 ? kAlt : kBuiltin);
  PumpFor(20);
  DWORD g0 = gdi(), u0 = user();
  for (int i = 0; i < 100; ++i) {
    LoadSkin(r.skin, i % 2 ? kAlt : kBuiltin);
    if (i % 10 == 0) PumpFor(5);
  }
  LoadSkin(r.skin, kBuiltin);
  PumpFor(20);
  EXPECT_LE(gdi(), g0 + 2);
  EXPECT_LE(user(), u0 + 2);
  auto* close = r.sf->FindObject(L"closebutton");
  ASSERT_NE(close, nullptr);
  POINT c = Center(close->ObjectRect);
  DWORD g1 = gdi();
  for (int i = 0; i < 1000; ++i) {
    r.sf->TestActiveObject(c.x, c.y, true);
    r.sf->TestActiveObject(kBackground.x, kBackground.y, true);
  }
  PumpFor(20);
  EXPECT_LE(gdi(), g1 + 2);
}

// ---------------------------------------------------------------------------
// Real input

TEST(SkinnedFormInput, CaptionButtonMorphsOnHoverAndTimersStopWhenIdle) {
  Rig r(kAlt);
  Foreground(r.H());
  auto* close = r.sf->FindObject(L"closebutton");
  ASSERT_NE(close, nullptr);
  POINT c = Center(close->ObjectRect);
  MouseTo(r.H(), kBackground.x, kBackground.y);
  MouseTo(r.H(), c.x, c.y);
  ASSERT_TRUE(PumpUntil([&] { return close->Active; }, 2000));
  // The morph runs to the hot picture, then its timer stops.
  ASSERT_TRUE(PumpUntil([&] { return close->MorphKf >= 1.0; }, 2000));
  EXPECT_TRUE(PumpUntil([&] { return !r.sf->MorphTimerRunning(); }, 1000));
  Background hot(r);
  const TskPicture* ap = close->ActivePicture;
  ASSERT_NE(ap, nullptr);
  EXPECT_EQ(hot.At(c.x, c.y), ap->Pixel(close->ActiveSkinRect.left + c.x - close->ObjectRect.left,
                                        close->ActiveSkinRect.top + c.y - close->ObjectRect.top));
  // Away from the window every timer stops.
  RECT wr = testsupport::WindowRect(r.H());
  MouseToScreen(wr.right + 40, wr.bottom + 40);
  EXPECT_TRUE(PumpUntil([&] { return !close->Active; }, 2000));
  EXPECT_TRUE(PumpUntil(
      [&] {
        return !r.sf->MouseTimerRunning() && !r.sf->MorphTimerRunning() &&
               !r.sf->AnimateTimerRunning();
      },
      2000));
  EXPECT_EQ(close->MorphKf, 0.0);
}

TEST(SkinnedFormInput, CloseButtonClosesButPressLeaveReleaseDoesNothing) {
  Rig r(kAlt);
  int closes = 0;
  r.form->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
  Foreground(r.H());
  auto* close = r.sf->FindObject(L"closebutton");
  ASSERT_NE(close, nullptr);
  POINT c = Center(close->ObjectRect);
  MouseTo(r.H(), c.x, c.y);
  ASSERT_TRUE(PumpUntil([&] { return close->Active; }, 2000));
  Button(true);
  MouseTo(r.H(), kBackground.x, kBackground.y);
  PumpUntil([&] { return !close->Active; }, 1000);
  Button(false);
  PumpFor(50);
  EXPECT_EQ(closes, 0);
  EXPECT_TRUE(IsWindowVisible(r.H()));
  MouseTo(r.H(), c.x, c.y);
  ASSERT_TRUE(PumpUntil([&] { return close->Active; }, 2000));
  Button(true);
  Button(false);
  EXPECT_TRUE(PumpUntil([&] { return closes == 1; }, 1000));
  EXPECT_FALSE(IsWindowVisible(r.H()));
}

TEST(SkinnedFormInput, MinimizeThenRestoreKeepsTheBounds) {
  Rig r(kBuiltin);
  TCustomForm* oldMain = Application->MainForm();
  Application->SetMainForm(r.form.get());
  Foreground(r.H());
  RECT before = testsupport::WindowRect(r.H());
  auto* mini = r.sf->FindObject(L"minimizebutton");
  ASSERT_NE(mini, nullptr);
  POINT c = Center(mini->ObjectRect);
  MouseTo(r.H(), c.x, c.y);
  ASSERT_TRUE(PumpUntil([&] { return mini->Active; }, 2000));
  Button(true);
  Button(false);
  EXPECT_TRUE(PumpUntil([&] { return IsIconic(r.H()) != 0; }, 2000));
  EXPECT_EQ(r.sf->WindowState(), 0);
  ShowWindow(r.H(), SW_RESTORE);
  PumpFor(50);
  EXPECT_FALSE(IsIconic(r.H()));
  EXPECT_TRUE(RectsEqual(before, testsupport::WindowRect(r.H())));
  Application->SetMainForm(oldMain);
}

class SkinnedFormSnap : public ::testing::TestWithParam<int> {};

TEST_P(SkinnedFormSnap, BackgroundDragSnapsWithinNinePixelsOfTheLeftEdge) {
  int gap = GetParam();
  Rig r(kAlt);
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  r.form->SetBounds(work.left + 80, work.top + 80, 408, 398);
  PumpFor(30);
  Foreground(r.H());
  MouseTo(r.H(), kBackground.x, kBackground.y);
  Button(true);
  ASSERT_TRUE(r.sf->Dragging());
  // Move the window left in steps until its edge is gap pixels from the work area.
  POINT cur;
  GetCursorPos(&cur);
  int travel = 80 - gap;
  for (int step = 1; step <= 4; ++step)
    MouseToScreen(cur.x - travel * step / 4, cur.y);
  int left = testsupport::WindowRect(r.H()).left;
  if (gap < 10)
    EXPECT_EQ(left, work.left) << "gap " << gap;
  else
    EXPECT_EQ(left, work.left + gap);
  if (gap < 10) {
    // Held at the edge while the cursor stays within 10 pixels of the snap...
    GetCursorPos(&cur);
    for (int d = 2; d <= 10; d += 2)
      MouseToScreen(cur.x + d, cur.y);
    EXPECT_EQ(testsupport::WindowRect(r.H()).left, work.left);
    // ...and free again beyond that, at the cursor's offset.
    for (int d = 12; d <= 30; d += 2)
      MouseToScreen(cur.x + d, cur.y);
    EXPECT_EQ(testsupport::WindowRect(r.H()).left, work.left + 30);
  }
  Button(false);
  EXPECT_FALSE(r.sf->Dragging());
}

INSTANTIATE_TEST_SUITE_P(Gaps, SkinnedFormSnap, ::testing::Values(9, 10, 3));

TEST(SkinnedFormInput, RightPressNeverDragsAndObjectsDoNotStartADrag) {
  Rig r(kAlt);
  Foreground(r.H());
  RECT before = testsupport::WindowRect(r.H());
  MouseTo(r.H(), kBackground.x, kBackground.y);
  Button(true, true);
  EXPECT_FALSE(r.sf->Dragging());
  MouseTo(r.H(), kBackground.x + 40, kBackground.y + 20);
  Button(false, true);
  EXPECT_TRUE(RectsEqual(before, testsupport::WindowRect(r.H())));
  // A press on a caption button presses it, no drag.
  auto* mini = r.sf->FindObject(L"minimizebutton");
  ASSERT_NE(mini, nullptr);
  POINT c = Center(mini->ObjectRect);
  MouseTo(r.H(), c.x, c.y);
  PumpUntil([&] { return mini->Active; }, 2000);
  Button(true);
  EXPECT_FALSE(r.sf->Dragging());
  MouseTo(r.H(), kBackground.x, kBackground.y);
  Button(false);
  EXPECT_TRUE(RectsEqual(before, testsupport::WindowRect(r.H())));
  EXPECT_FALSE(IsIconic(r.H()));
}

TEST(SkinnedFormInput, PressLeftOfTheWindowTakesSignedCoordinates) {
  Rig r(kAlt);
  RECT before = testsupport::WindowRect(r.H());
  // A press (as with the mouse captured) 3 pixels left of the window, then a
  // move message with the cursor still there: the window stays.
  POINT p{-3, 50};
  ClientToScreen(r.H(), &p);
  SetCursorPos(p.x, p.y);
  r.form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-3, 50));
  ASSERT_TRUE(r.sf->Dragging());
  r.form->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-3, 50));
  EXPECT_TRUE(RectsEqual(before, testsupport::WindowRect(r.H())));
  // Moving 5 pixels right moves the window by 5.
  SetCursorPos(p.x + 5, p.y);
  r.form->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2, 50));
  EXPECT_EQ(testsupport::WindowRect(r.H()).left, before.left + 5);
  r.form->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 50));
  EXPECT_FALSE(r.sf->Dragging());
}

namespace {

struct Layered {
  bool layered;
  BYTE alpha;
};

Layered ReadLayered(HWND h) {
  Layered l{(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED) != 0, 0};
  BYTE a = 0;
  DWORD flags = 0;
  if (l.layered && GetLayeredWindowAttributes(h, nullptr, &a, &flags) && (flags & LWA_ALPHA))
    l.alpha = a;
  else
    l.alpha = 255;
  return l;
}

} // namespace

// Showing starts from a transparent layered window; the fade ends at the
// form's alpha, or opaque and no longer layered when only the fade is asked.
TEST(SkinnedFormAlpha, FadeInEndsAtTheAlphaOrOpaqueAndNotLayered) {
  struct Case {
    bool blend, animation;
    BYTE value;
    bool layeredAfter;
    BYTE alphaAfter;
  } cases[] = {
      {true, false, 200, true, 200},
      {true, true, 150, true, 150},
      {false, true, 150, false, 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.blend << c.animation << int(c.value));
    Rig r(kBuiltin, 398, true, [&](TskSkinnedForm* sf) {
      sf->SetAlphaBlend(c.blend);
      sf->AlphaBlendAnimation = c.animation;
      sf->SetAlphaBlendValue(c.value);
    });
    ASSERT_TRUE(PumpUntil([&] {
      Layered l = ReadLayered(r.H());
      return l.layered == c.layeredAfter && l.alpha == c.alphaAfter;
    }));
    PumpFor(50);
    Layered l = ReadLayered(r.H());
    EXPECT_EQ(l.layered, c.layeredAfter);
    EXPECT_EQ(l.alpha, c.alphaAfter);
    // Hiding leaves the layered style of a blended window; showing again
    // starts from a transparent one until the fade's timer. (The messages
    // alone: unmapping a window costs Wine seconds without a window manager.)
    SendMessageW(r.H(), WM_SHOWWINDOW, FALSE, 0);
    if (c.blend) EXPECT_FALSE(ReadLayered(r.H()).layered);
    SendMessageW(r.H(), WM_SHOWWINDOW, TRUE, 0);
    l = ReadLayered(r.H());
    if (c.blend || c.animation) {
      EXPECT_TRUE(l.layered);
      EXPECT_EQ(l.alpha, 0);
    } else {
      EXPECT_FALSE(l.layered);
    }
    ASSERT_TRUE(PumpUntil([&] {
      Layered l = ReadLayered(r.H());
      return l.layered == c.layeredAfter && l.alpha == c.alphaAfter;
    }));
    if (c.blend) {
      // The setters work on a shown window.
      r.sf->SetAlphaBlendValue(90);
      EXPECT_EQ(ReadLayered(r.H()).alpha, 90);
      r.sf->SetAlphaBlend(false);
      EXPECT_FALSE(ReadLayered(r.H()).layered);
      r.sf->SetAlphaBlend(true);
      EXPECT_EQ(ReadLayered(r.H()).alpha, 90);
    }
  }
}

// First showing centres the window in the whole monitor or in its work area;
// the default position is kept.
TEST(SkinnedFormPlacement, FirstShowingCentresInTheMonitorOrItsWorkArea) {
  struct Case {
    TskPositionInMonitor position;
    bool workArea;
  } cases[] = {{skpScreenCenter, false}, {skpDesktopCenter, true}, {skpDefault, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.position));
    int shownHeight = 0;
    Rig r(kBuiltin, 398, true, [&](TskSkinnedForm* sf) {
      sf->PositionInMonitor = c.position;
      shownHeight = static_cast<TControl*>(sf->Owner())->Height();
    });
    MONITORINFO mi{sizeof mi};
    GetMonitorInfoW(MonitorFromWindow(r.H(), MONITOR_DEFAULTTONEAREST), &mi);
    RECT a = c.workArea ? mi.rcWork : mi.rcMonitor;
    RECT w = testsupport::WindowRect(r.H());
    if (c.position == skpDefault) {
      EXPECT_EQ(w.left, 200);
      EXPECT_EQ(w.top, 150);
    } else {
      EXPECT_EQ(w.left, a.left + (a.right - a.left) / 2 - 408 / 2);
      // Centred at the height it had when shown.
      EXPECT_EQ(w.top, a.top + (a.bottom - a.top) / 2 - shownHeight / 2);
    }
    // Only the first showing places the window.
    SendMessageW(r.H(), WM_SHOWWINDOW, FALSE, 0);
    r.form->SetBounds(30, 40, 408, 398);
    SendMessageW(r.H(), WM_SHOWWINDOW, TRUE, 0);
    PumpFor(20);
    EXPECT_EQ(testsupport::WindowRect(r.H()).left, 30);
  }
}

// A window first shown maximized is not centred; its first restore centres it
// at its restore size, and later restores keep their bounds.
TEST(SkinnedFormPlacement, FirstShownMaximizedIsCentredByItsFirstRestore) {
  Rig r(kBuiltin, 398, true, [&](TskSkinnedForm* sf) {
    sf->PositionInMonitor = skpScreenCenter;
    sf->SetWindowState(2);
  });
  MONITORINFO mi{sizeof mi};
  GetMonitorInfoW(MonitorFromWindow(r.H(), MONITOR_DEFAULTTONEAREST), &mi);
  RECT a = mi.rcMonitor;
  RECT w = testsupport::WindowRect(r.H());
  EXPECT_NE(w.left, a.left + (a.right - a.left) / 2 - 408 / 2);
  r.sf->SetWindowState(0);
  PumpFor(20);
  w = testsupport::WindowRect(r.H());
  EXPECT_EQ(w.left, a.left + (a.right - a.left) / 2 - (w.right - w.left) / 2);
  EXPECT_EQ(w.top, a.top + (a.bottom - a.top) / 2 - (w.bottom - w.top) / 2);
  r.form->SetBounds(30, 40, r.form->Width(), r.form->Height());
  r.sf->SetWindowState(2);
  r.sf->SetWindowState(0);
  PumpFor(20);
  EXPECT_EQ(testsupport::WindowRect(r.H()).left, 30);
  EXPECT_EQ(testsupport::WindowRect(r.H()).top, 40);
}
