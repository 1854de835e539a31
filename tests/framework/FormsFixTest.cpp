// Unit hooks at exit, image list overrides, application window hooks and
// saved form pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>
#include <zlib.h>

#include "framework/Controls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "tests/support/Gui.h"

namespace {

constexpr wchar_t kMarkVar[] = L"KORVANE_UNIT_HOOK_MARK";
const std::wstring kDoneText(300, L'd');

std::wstring MarkPath() {
  wchar_t buf[MAX_PATH * 2];
  DWORD n = GetEnvironmentVariableW(kMarkVar, buf, MAX_PATH * 2);
  return n && n < MAX_PATH * 2 ? std::wstring(buf, n) : std::wstring();
}

bool gUnitInitRan = false;

// Registered by a static object made after the framework's own: its exit
// procedure must still find the hook list alive.
struct LateUnit {
  LateUnit() {
    std::wstring path = MarkPath();
    if (path.empty()) return;
    std::wstring text = kDoneText;
    AddUnitHooks([] { gUnitInitRan = true; },
                 [path, text] {
                   HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                          nullptr);
                   if (f == INVALID_HANDLE_VALUE) return;
                   DWORD written = 0;
                   WriteFile(f, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                             &written, nullptr);
                   CloseHandle(f);
                 });
  }
} gLateUnit;

std::wstring ReadWide(const std::wstring& path) {
  HANDLE f =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return L"";
  std::wstring s(4096, L'\0');
  DWORD got = 0;
  ReadFile(f, s.data(), static_cast<DWORD>(s.size() * sizeof(wchar_t)), &got, nullptr);
  CloseHandle(f);
  s.resize(got / sizeof(wchar_t));
  return s;
}

} // namespace

// Run on its own by the test below (does nothing in a normal run).
TEST(UnitHooks, ChildRun) {
  if (MarkPath().empty()) GTEST_SKIP() << "runs as a child process";
  Application->Initialize();
  EXPECT_TRUE(gUnitInitRan);
}

TEST(UnitHooks, HooksAddedFromStaticObjectsRunAtExit) {
  std::wstring mark = testsupport::MakeTempDir(L"unit-hooks") + L"\\done.txt";
  DeleteFileW(mark.c_str());
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(testsupport::StartSelf(L"UnitHooks.ChildRun", kMarkVar, mark, pi));
  DWORD wait = WaitForSingleObject(pi.hProcess, 180000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  ASSERT_EQ(wait, WAIT_OBJECT_0);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReadWide(mark), kDoneText);
}

// ---------------------------------------------------------------------------
// Image lists

namespace {

// Counts the calls that reach it through the base class.
class TCountingImageList : public TImageList {
public:
  using TImageList::TImageList;
  std::vector<std::string> Calls;
  int Add(TBitmap* Image, TBitmap* Mask) override {
    Calls.push_back("Add");
    return TImageList::Add(Image, Mask);
  }
  int AddMasked(TBitmap* Image, TColor MaskColor) override {
    Calls.push_back("AddMasked");
    return TImageList::AddMasked(Image, MaskColor);
  }
  int AddIcon(TIcon* Image) override {
    Calls.push_back("AddIcon");
    return TImageList::AddIcon(Image);
  }
  int AddImage(TCustomImageList* Value, int Index) override {
    Calls.push_back("AddImage");
    return TImageList::AddImage(Value, Index);
  }
  void AddImages(TCustomImageList* Value) override {
    Calls.push_back("AddImages");
    TImageList::AddImages(Value);
  }
  void Insert(int Index, TBitmap* Image, TBitmap* Mask) override {
    Calls.push_back("Insert");
    TImageList::Insert(Index, Image, Mask);
  }
  void InsertIcon(int Index, TIcon* Image) override {
    Calls.push_back("InsertIcon");
    TImageList::InsertIcon(Index, Image);
  }
  void InsertMasked(int Index, TBitmap* Image, TColor MaskColor) override {
    Calls.push_back("InsertMasked");
    TImageList::InsertMasked(Index, Image, MaskColor);
  }
  void Move(int CurIndex, int NewIndex) override {
    Calls.push_back("Move");
    TImageList::Move(CurIndex, NewIndex);
  }
  void Replace(int Index, TBitmap* Image, TBitmap* Mask) override {
    Calls.push_back("Replace");
    TImageList::Replace(Index, Image, Mask);
  }
  void ReplaceIcon(int Index, TIcon* Image) override {
    Calls.push_back("ReplaceIcon");
    TImageList::ReplaceIcon(Index, Image);
  }
  void ReplaceMasked(int Index, TBitmap* Image, TColor MaskColor) override {
    Calls.push_back("ReplaceMasked");
    TImageList::ReplaceMasked(Index, Image, MaskColor);
  }
};

std::unique_ptr<TBitmap> Solid(TColor c) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(16, 16);
  b->Canvas()->Brush()->SetColor(c);
  b->Canvas()->FillRect(Rect(0, 0, 16, 16));
  return b;
}

std::unique_ptr<TIcon> SolidIcon(TCustomImageList* scratch, TColor c) {
  scratch->Clear();
  scratch->Add(Solid(c).get(), nullptr);
  auto icon = std::make_unique<TIcon>();
  scratch->GetIcon(0, icon.get());
  return icon;
}

TColor CentreOf(TCustomImageList* list, int index) {
  TBitmap b;
  list->GetBitmap(index, &b);
  return b.Canvas()->Pixels(8, 8);
}

std::vector<TColor> Colours(TCustomImageList* list) {
  std::vector<TColor> v;
  for (int i = 0; i < list->Count(); ++i)
    v.push_back(CentreOf(list, i));
  return v;
}

} // namespace

TEST(ImageLists, EditingCallsReachOverrides) {
  TImageList scratch(nullptr);
  TCountingImageList counting(nullptr);
  TCustomImageList* list = &counting;
  auto red = Solid(clRed), lime = Solid(clLime), blue = Solid(clBlue);
  auto yellowIcon = SolidIcon(&scratch, clYellow);
  auto aquaIcon = SolidIcon(&scratch, clAqua);

  EXPECT_EQ(list->Add(red.get(), nullptr), 0);
  EXPECT_EQ(list->AddMasked(lime.get(), clFuchsia), 1);
  EXPECT_EQ(list->AddIcon(yellowIcon.get()), 2);
  EXPECT_EQ(Colours(list), (std::vector<TColor>{clRed, clLime, clYellow}));

  list->Insert(0, blue.get(), nullptr);
  EXPECT_EQ(Colours(list), (std::vector<TColor>{clBlue, clRed, clLime, clYellow}));
  list->InsertIcon(2, aquaIcon.get());
  EXPECT_EQ(Colours(list), (std::vector<TColor>{clBlue, clRed, clAqua, clLime, clYellow}));
  list->InsertMasked(5, red.get(), clFuchsia);
  EXPECT_EQ(Colours(list), (std::vector<TColor>{clBlue, clRed, clAqua, clLime, clYellow, clRed}));

  list->Move(0, 3);
  EXPECT_EQ(Colours(list), (std::vector<TColor>{clRed, clAqua, clLime, clBlue, clYellow, clRed}));
  list->Move(4, 1);
  EXPECT_EQ(Colours(list), (std::vector<TColor>{clRed, clYellow, clAqua, clLime, clBlue, clRed}));

  list->Replace(0, lime.get(), nullptr);
  list->ReplaceIcon(5, aquaIcon.get());
  list->ReplaceMasked(2, blue.get(), clFuchsia);
  EXPECT_EQ(Colours(list), (std::vector<TColor>{clLime, clYellow, clBlue, clLime, clBlue, clAqua}));

  scratch.Clear();
  scratch.Add(red.get(), nullptr);
  scratch.Add(blue.get(), nullptr);
  EXPECT_EQ(list->AddImage(&scratch, 1), 6);
  list->AddImages(&scratch);
  EXPECT_EQ(list->Count(), 9);
  EXPECT_EQ(CentreOf(list, 6), clBlue);
  EXPECT_EQ(CentreOf(list, 7), clRed);
  EXPECT_EQ(CentreOf(list, 8), clBlue);

  // Every call went through the override; the Insert forms add and move
  // through the overridden calls too.
  const auto& calls = counting.Calls;
  for (const char* name :
       {"Add", "AddMasked", "AddIcon", "AddImage", "AddImages", "Insert", "InsertIcon",
        "InsertMasked", "Move", "Replace", "ReplaceIcon", "ReplaceMasked"})
    EXPECT_NE(std::find(calls.begin(), calls.end(), name), calls.end()) << name;
  auto insert = std::find(calls.begin(), calls.end(), "Insert");
  ASSERT_NE(insert, calls.end());
  ASSERT_NE(insert + 1, calls.end());
  EXPECT_EQ(*(insert + 1), "Add");
}

TEST(ImageLists, BadIndexesAreRefused) {
  TImageList list(nullptr);
  auto red = Solid(clRed);
  list.Add(red.get(), nullptr);
  EXPECT_THROW(list.Move(0, 1), EInvalidOperation);
  EXPECT_THROW(list.Insert(2, red.get(), nullptr), EInvalidOperation);
  EXPECT_THROW(list.ReplaceMasked(1, red.get(), clFuchsia), EInvalidOperation);
  EXPECT_EQ(list.AddImage(&list, 5), -1);
  EXPECT_EQ(list.Count(), 1);
}

// ---------------------------------------------------------------------------
// Application window hooks

namespace {

class TKeyProbe : public TCustomControl {
public:
  explicit TKeyProbe(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetBounds(10, 10, 100, 40);
  }
  std::vector<WORD> Keys;

protected:
  void KeyDown(WORD& Key, TShiftState Shift) override {
    Keys.push_back(Key);
    TCustomControl::KeyDown(Key, Shift);
  }
};

class THookForm : public TForm {
public:
  explicit THookForm(TComponent* AOwner, const std::wstring& caption, int left) : TForm(AOwner) {
    SetCaption(caption);
    SetBounds(left, 150, 300, 200);
    Probe = new TKeyProbe(this);
    Probe->SetParent(this);
  }
  TKeyProbe* Probe;
  // SC_KEYMENU that reached this form's own handling (not passed on).
  std::vector<LPARAM> KeyMenus;
  bool RecordKeyMenu = false;

protected:
  void Dispatch(TMessage& m) override {
    if (RecordKeyMenu && m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) == SC_KEYMENU) {
      KeyMenus.push_back(m.LParam);
      m.Result = 0;
      return;
    }
    TForm::Dispatch(m);
  }
};

// Restores the application's main form and shortcut handler.
struct AppState {
  TCustomForm* main = Application->MainForm();
  TShortCutEvent shortCut = Application->OnShortCut;
  ~AppState() {
    Application->SetMainForm(main);
    Application->OnShortCut = shortCut;
  }
};

} // namespace

TEST(AppHooks, UnusedKeysReachTheApplicationWindow) {
  AppState saved;
  auto* form = new THookForm(nullptr, L"Hook keys", 200);
  form->Show();
  testsupport::PumpFor(50);
  std::vector<std::pair<UINT, WPARAM>> seen;
  bool consume = false;
  int id = Application->HookMainWindow([&](TMessage& m) {
    if (m.Msg == CM_APPKEYDOWN) {
      seen.emplace_back(m.Msg, m.WParam);
      if (consume) {
        m.Result = 1;
        return true;
      }
    }
    return false;
  });
  EXPECT_NE(id, 0);
  EXPECT_EQ(CM_APPKEYDOWN, 45078u);
  EXPECT_EQ(CM_APPSYSCOMMAND, 45079u);
  int shortCuts = 0;
  Application->OnShortCut = [&](TMessage& m, bool& handled) {
    if (m.WParam == VK_F8) {
      ++shortCuts;
      handled = true;
    }
  };

  // A key nobody uses goes on to the control after the hook saw it.
  testsupport::KeyPress(form->Probe->Handle(), VK_F7);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].second, static_cast<WPARAM>(VK_F7));
  EXPECT_EQ(form->Probe->Keys, std::vector<WORD>{VK_F7});

  // The application's shortcut handler still runs after the hooks.
  testsupport::KeyPress(form->Probe->Handle(), VK_F8);
  EXPECT_EQ(shortCuts, 1);
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_EQ(form->Probe->Keys.size(), 1u);

  // A hook that uses the key keeps it from the handler and the control.
  consume = true;
  testsupport::KeyPress(form->Probe->Handle(), VK_F8);
  EXPECT_EQ(shortCuts, 1);
  EXPECT_EQ(seen.size(), 3u);
  testsupport::KeyPress(form->Probe->Handle(), VK_F9);
  EXPECT_EQ(form->Probe->Keys.size(), 1u);

  // Unhooked, nothing more reaches it.
  Application->UnhookMainWindow(id);
  testsupport::KeyPress(form->Probe->Handle(), VK_F8);
  EXPECT_EQ(shortCuts, 2);
  EXPECT_EQ(seen.size(), 4u);

  // The application window's own messages pass the hooks too.
  int direct = 0;
  int id2 = Application->HookMainWindow([&](TMessage& m) {
    if (m.Msg != WM_USER + 77) return false;
    ++direct;
    m.Result = 5;
    return true;
  });
  EXPECT_EQ(SendMessageW(Application->Handle(), WM_USER + 77, 0, 0), 5);
  EXPECT_EQ(direct, 1);
  Application->UnhookMainWindow(id2);
  delete form;
}

TEST(AppHooks, HooksMayRemoveThemselvesWhileRunning) {
  int first = 0, second = 0;
  int id1 = 0;
  id1 = Application->HookMainWindow([&](TMessage& m) {
    if (m.Msg != WM_USER + 78) return false;
    ++first;
    Application->UnhookMainWindow(id1);
    return false;
  });
  int id2 = Application->HookMainWindow([&](TMessage& m) {
    if (m.Msg == WM_USER + 78) ++second;
    return false;
  });
  Application->SendAppMessage(WM_USER + 78, 0, 0);
  Application->SendAppMessage(WM_USER + 78, 0, 0);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 2);
  Application->UnhookMainWindow(id2);
}

TEST(AppHooks, KeyMenuOfOtherFormsGoesToTheApplication) {
  AppState saved;
  auto* mainForm = new THookForm(nullptr, L"Hook main", 100);
  auto* other = new THookForm(nullptr, L"Hook other", 450);
  mainForm->RecordKeyMenu = true;
  Application->SetMainForm(mainForm);
  mainForm->Show();
  other->Show();
  testsupport::PumpFor(50);

  std::vector<LPARAM> hooked;
  bool consume = true;
  int id = Application->HookMainWindow([&](TMessage& m) {
    if (m.Msg != CM_APPSYSCOMMAND) return false;
    auto* sys = reinterpret_cast<TMessage*>(m.LParam);
    hooked.push_back(sys ? sys->LParam : -1);
    if (!consume) return false;
    m.Result = 1;
    return true;
  });
  SendMessageW(other->Handle(), WM_SYSCOMMAND, SC_KEYMENU, L'f');
  EXPECT_EQ(hooked, std::vector<LPARAM>{L'f'});
  EXPECT_TRUE(mainForm->KeyMenus.empty());

  // Not used by a hook, the main form's menu gets it.
  consume = false;
  SendMessageW(other->Handle(), WM_SYSCOMMAND, SC_KEYMENU, L'e');
  EXPECT_EQ(hooked.size(), 2u);
  EXPECT_EQ(mainForm->KeyMenus, std::vector<LPARAM>{L'e'});

  // The main form's own key menu is not passed on.
  mainForm->RecordKeyMenu = false;
  TMessage m;
  m.Msg = WM_SYSCOMMAND;
  m.WParam = SC_KEYMENU;
  m.LParam = L'f';
  struct Access : THookForm {
    using THookForm::SysCommandToApp;
  };
  EXPECT_FALSE((mainForm->*(&Access::SysCommandToApp))(m));
  EXPECT_EQ(hooked.size(), 2u);
  // Nor are space and '-' (the window's system menu).
  m.LParam = VK_SPACE;
  EXPECT_FALSE((other->*(&Access::SysCommandToApp))(m));
  EXPECT_EQ(hooked.size(), 2u);

  Application->UnhookMainWindow(id);
  delete other;
  delete mainForm;
}

// ---------------------------------------------------------------------------
// Saved form pictures

namespace {

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  COLORREF At(int x, int y) const {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return RGB(p[0], p[1], p[2]);
  }
};

uint32_t U32(const std::vector<uint8_t>& d, size_t at) {
  return (uint32_t(d[at]) << 24) | (uint32_t(d[at + 1]) << 16) | (uint32_t(d[at + 2]) << 8) |
         d[at + 3];
}

// Reads the 24-bit unfiltered pictures the test helper writes.
bool ReadPng(const std::wstring& path, Picture& pic) {
  HANDLE f =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  std::vector<uint8_t> d(GetFileSize(f, nullptr));
  DWORD got = 0;
  ReadFile(f, d.data(), static_cast<DWORD>(d.size()), &got, nullptr);
  CloseHandle(f);
  if (got != d.size() || d.size() < 8) return false;
  std::vector<uint8_t> z;
  for (size_t at = 8; at + 12 <= d.size();) {
    uint32_t len = U32(d, at);
    std::string type(d.begin() + at + 4, d.begin() + at + 8);
    if (at + 12 + len > d.size()) return false;
    if (type == "IHDR") {
      pic.width = static_cast<int>(U32(d, at + 8));
      pic.height = static_cast<int>(U32(d, at + 12));
      if (d[at + 16] != 8 || d[at + 17] != 2) return false;
    } else if (type == "IDAT") {
      z.insert(z.end(), d.begin() + at + 8, d.begin() + at + 8 + len);
    }
    at += 12 + len;
  }
  if (pic.width <= 0 || pic.height <= 0) return false;
  std::vector<uint8_t> raw(static_cast<size_t>(pic.height) * (pic.width * 3 + 1));
  uLongf rawLen = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &rawLen, z.data(), static_cast<uLong>(z.size())) != Z_OK ||
      rawLen != raw.size())
    return false;
  pic.rgb.clear();
  for (int y = 0; y < pic.height; ++y) {
    const uint8_t* row = &raw[static_cast<size_t>(y) * (pic.width * 3 + 1)];
    if (row[0] != 0) return false;
    pic.rgb.insert(pic.rgb.end(), row + 1, row + 1 + pic.width * 3);
  }
  return true;
}

class TFillControl : public TCustomControl {
public:
  TFillControl(TComponent* AOwner, TColor c) : TCustomControl(AOwner), Fill(c) {}
  TColor Fill;

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(ClientRect());
  }
};

} // namespace

TEST(FormPictures, SavedFormShowsItsChildControls) {
  auto* form = new TForm(nullptr);
  form->SetCaption(L"Picture form");
  form->SetBounds(150, 120, 320, 220);
  form->SetColor(clWhite);
  auto* red = new TFillControl(form, clRed);
  red->SetParent(form);
  red->SetBounds(20, 20, 80, 60);
  auto* blue = new TFillControl(form, clBlue);
  blue->SetParent(form);
  blue->SetBounds(150, 40, 100, 80);
  form->Show();
  testsupport::ForceForeground(form->Handle());
  testsupport::PumpFor(100);
  ASSERT_TRUE(testsupport::SaveWindowPng(form->Handle(), L"framework-form-children"));
  Picture pic;
  ASSERT_TRUE(ReadPng(testsupport::OutputPath(L"framework-form-children.png"), pic));
  RECT wr;
  GetWindowRect(form->Handle(), &wr);
  EXPECT_EQ(pic.width, wr.right - wr.left);
  EXPECT_EQ(pic.height, wr.bottom - wr.top);
  // Picture position of a client point of a child.
  auto at = [&](TControl* c, int x, int y) {
    POINT p{x, y};
    ClientToScreen(static_cast<TWinControl*>(c)->Handle(), &p);
    return pic.At(p.x - wr.left, p.y - wr.top);
  };
  EXPECT_EQ(at(red, 40, 30), RGB(255, 0, 0));
  EXPECT_EQ(at(blue, 50, 40), RGB(0, 0, 255));
  EXPECT_EQ(at(form, 120, 150), RGB(255, 255, 255));
  delete form;
}
