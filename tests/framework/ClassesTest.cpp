// Component ownership, free notification, Assign errors, collections; bitmaps and pictures;
// the class registry and calls handed to the main thread.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/Strings.h"

#include <atomic>
#include <memory>
#include <thread>

namespace {

int Alive = 0;

class TCounted : public TComponent {
public:
  explicit TCounted(TComponent* AOwner) : TComponent(AOwner) { ++Alive; }
  ~TCounted() override { --Alive; }
};

// Holds a reference to a component it does not own.
class THolder : public TComponent {
public:
  explicit THolder(TComponent* AOwner) : TComponent(AOwner) {}
  void SetTarget(TComponent* c) {
    Target = c;
    if (c) c->FreeNotification(this);
  }
  TComponent* Target = nullptr;
  int Removals = 0;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == Target) {
      Target = nullptr;
      ++Removals;
    }
  }
};

class TApple : public TPersistent {};
class TPear : public TPersistent {};

} // namespace

TEST(Component, OwnerFreesOwnedComponents) {
  Alive = 0;
  auto* owner = new TCounted(nullptr);
  auto* a = new TCounted(owner);
  new TCounted(a);
  new TCounted(owner);
  EXPECT_EQ(Alive, 4);
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(a->Owner(), owner);
  delete owner;
  EXPECT_EQ(Alive, 0);
}

TEST(Component, FreeingOwnedComponentLeavesOwnerList) {
  TCounted owner(nullptr);
  auto* a = new TCounted(&owner);
  a->SetName(L"First");
  EXPECT_EQ(owner.FindComponent(L"first"), a);
  delete a;
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_EQ(owner.FindComponent(L"First"), nullptr);
}

TEST(Component, FreeNotificationClearsReferenceEitherWay) {
  auto* target = new TCounted(nullptr);
  auto* holder = new THolder(nullptr);
  holder->SetTarget(target);
  delete target;
  EXPECT_EQ(holder->Target, nullptr);
  EXPECT_EQ(holder->Removals, 1);
  // The holder goes first: the target must not notify a freed holder.
  auto* target2 = new TCounted(nullptr);
  holder->SetTarget(target2);
  delete holder;
  delete target2;
}

TEST(Component, SiblingsHearOfRemovalThroughOwner) {
  TCounted form(nullptr);
  auto* holder = new THolder(&form);
  auto* target = new TCounted(&form);
  holder->Target = target; // no explicit free notification: the owner passes it on
  delete target;
  EXPECT_EQ(holder->Target, nullptr);
}

TEST(Component, LoadedRunsAfterConstruction) {
  struct TLoading : TComponent {
    using TComponent::TComponent;
    void Loaded() override {
      WasLoading = (ComponentState() & csLoading) != 0;
      TComponent::Loaded();
      ++Calls;
    }
    bool WasLoading = false;
    int Calls = 0;
  };
  TComponent root(nullptr);
  root.BeginLoading();
  auto* child = new TLoading(&root);
  EXPECT_TRUE(child->ComponentState() & csLoading);
  root.AfterConstruction();
  EXPECT_EQ(child->Calls, 1);
  EXPECT_TRUE(child->WasLoading);
  EXPECT_FALSE(child->ComponentState() & csLoading);
  EXPECT_FALSE(root.ComponentState() & csLoading);
}

TEST(Persistent, AssignErrorNamesBothClasses) {
  TApple apple;
  TPear pear;
  try {
    pear.Assign(&apple);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), L"Cannot assign a TApple to a TPear");
  }
}

namespace {

// A persistent object that takes lines from string lists and gives them back.
class TNotes : public TPersistent {
public:
  std::vector<std::wstring> Lines;
  void Assign(TPersistent* Source) override {
    if (auto* s = dynamic_cast<TStrings*>(Source)) {
      Lines.clear();
      for (int i = 0; i < s->Count(); ++i)
        Lines.push_back(s->Strings(i));
      return;
    }
    TPersistent::Assign(Source);
  }

protected:
  void AssignTo(TPersistent* Dest) override {
    if (auto* s = dynamic_cast<TStrings*>(Dest)) {
      s->Clear();
      for (const auto& l : Lines)
        s->Add(l);
      return;
    }
    TPersistent::AssignTo(Dest);
  }
};

} // namespace

TEST(Persistent, StringListsAssignAsPersistentObjects) {
  TStringList a, b;
  a.Add(L"one");
  a.Add(L"two");
  TPersistent* source = &a;
  b.Add(L"old");
  b.Assign(source);
  EXPECT_EQ(b.Text(), L"one\r\ntwo\r\n");
  // Through the base class in either direction.
  TPersistent* dest = &b;
  a.Add(L"three");
  dest->Assign(&a);
  EXPECT_EQ(b.Count(), 3);
  TNotes notes;
  notes.Assign(&b);
  EXPECT_EQ(notes.Lines, (std::vector<std::wstring>{L"one", L"two", L"three"}));
  notes.Lines = {L"x"};
  b.Assign(&notes);
  EXPECT_EQ(b.Text(), L"x\r\n");
  // Still the string-list form for references.
  b.Assign(a);
  EXPECT_EQ(b.Count(), 3);
  TApple apple;
  EXPECT_THROW(b.Assign(&apple), EConvertError);
  EXPECT_THROW(apple.Assign(&b), EConvertError);
}

TEST(Collection, AddDeleteIndexAndChange) {
  int changes = 0;
  TCollection c(nullptr, nullptr);
  c.OnChange = [&](TObject*) { ++changes; };
  auto* a = c.Add();
  auto* b = c.Add();
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(b->Index(), 1);
  b->SetIndex(0);
  EXPECT_EQ(c.Items(0), b);
  EXPECT_EQ(c.FindItemID(a->ID()), a);
  c.BeginUpdate();
  int before = changes;
  c.Delete(0);
  EXPECT_EQ(changes, before);
  c.EndUpdate();
  EXPECT_EQ(changes, before + 1);
  EXPECT_EQ(c.Count(), 1);
}

// ---------------------------------------------------------------------------
// Bitmaps

struct ScanCase {
  TPixelFormat Format;
  int BytesPerPixel;
};

class BitmapScanLine : public ::testing::TestWithParam<ScanCase> {};

TEST_P(BitmapScanLine, RowsAreAddressableAndMatchCanvas) {
  ScanCase c = GetParam();
  TBitmap b;
  b.SetPixelFormat(c.Format);
  b.SetSize(13, 7);
  EXPECT_EQ(b.PixelFormat(), c.Format);
  EXPECT_EQ(b.RowBytes() % 4, 0);
  EXPECT_GE(b.RowBytes(), 13 * c.BytesPerPixel);
  for (int y = 0; y < 7; ++y) {
    auto* row = static_cast<std::uint8_t*>(b.ScanLine(y));
    for (int x = 0; x < 13; ++x) {
      row[x * c.BytesPerPixel + 0] = static_cast<std::uint8_t>(x * 10); // blue
      row[x * c.BytesPerPixel + 1] = static_cast<std::uint8_t>(y * 20); // green
      row[x * c.BytesPerPixel + 2] = 200;                               // red
    }
  }
  EXPECT_EQ(b.Canvas()->Pixels(3, 2), RGB(200, 40, 30));
  EXPECT_EQ(b.Canvas()->Pixels(12, 6), RGB(200, 120, 120));
  // Drawing through the canvas shows up in the rows.
  b.Canvas()->SetPixels(5, 4, RGB(1, 2, 3));
  auto* row = static_cast<std::uint8_t*>(b.ScanLine(4));
  EXPECT_EQ(row[5 * c.BytesPerPixel + 2], 1);
  EXPECT_EQ(row[5 * c.BytesPerPixel + 1], 2);
  EXPECT_EQ(row[5 * c.BytesPerPixel + 0], 3);
  EXPECT_THROW(b.ScanLine(7), EInvalidGraphicOperation);
  EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
  // A BMP round trip keeps format and pixels.
  TBitmap copy;
  copy.LoadFromBytes(b.SaveToBytes());
  EXPECT_EQ(copy.PixelFormat(), c.Format);
  EXPECT_EQ(copy.Width(), 13);
  EXPECT_EQ(copy.Height(), 7);
  EXPECT_EQ(copy.Canvas()->Pixels(3, 2), RGB(200, 40, 30));
  EXPECT_EQ(copy.Canvas()->Pixels(5, 4), RGB(1, 2, 3));
}

INSTANTIATE_TEST_SUITE_P(Formats, BitmapScanLine,
                         ::testing::Values(ScanCase{pf24bit, 3}, ScanCase{pf32bit, 4}));

TEST(Bitmap, ResizeKeepsPictureAndAssignCopies) {
  TBitmap b;
  b.SetSize(4, 4);
  b.Canvas()->SetPixels(1, 1, clRed);
  b.SetSize(8, 8);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), RGB(255, 0, 0));
  TBitmap c;
  c.Assign(&b);
  EXPECT_EQ(c.Width(), 8);
  EXPECT_EQ(c.Canvas()->Pixels(1, 1), RGB(255, 0, 0));
  c.Canvas()->SetPixels(1, 1, clBlue);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), RGB(255, 0, 0));
}

TEST(Bitmap, BrokenDataIsRefused) {
  TBitmap b;
  std::vector<std::uint8_t> bytes = {'B', 'M', 1, 2, 3};
  EXPECT_THROW(b.LoadFromBytes(bytes), EInvalidGraphic);
  // A header that promises more pixels than the file holds.
  TBitmap good;
  good.SetSize(10, 10);
  std::vector<std::uint8_t> data = good.SaveToBytes();
  data.resize(data.size() - 40);
  EXPECT_THROW(b.LoadFromBytes(data), EInvalidGraphic);
  try {
    b.LoadFromBytes(bytes);
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), L"Bitmap image is not valid");
  }
}

TEST(Bitmap, DamagedHeadersAreRefusedNotMisread) {
  TBitmap good;
  good.SetSize(10, 10);
  good.Canvas()->SetPixels(2, 3, RGB(255, 0, 0));
  const std::vector<std::uint8_t> data = good.SaveToBytes();
  BITMAPFILEHEADER fh;
  std::memcpy(&fh, data.data(), sizeof(fh));
  const size_t at = sizeof(fh);
  auto put32 = [](std::vector<std::uint8_t>& b, size_t p, std::uint32_t v) {
    std::memcpy(b.data() + p, &v, 4);
  };
  auto put16 = [](std::vector<std::uint8_t>& b, size_t p, std::uint16_t v) {
    std::memcpy(b.data() + p, &v, 2);
  };
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } cases[] = {{"width 1", data}, {"height 1", data}, {"8-bit count", data}, {"half height", data}};
  put32(cases[0].bytes, at + 4, 1);
  put32(cases[1].bytes, at + 8, 1);
  put16(cases[2].bytes, at + 14, 8);
  put32(cases[3].bytes, at + 8, static_cast<std::uint32_t>(-5));
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    EXPECT_THROW(b.LoadFromBytes(c.bytes), EInvalidGraphic);
  }
  // Padding to four bytes at the end still loads.
  std::vector<std::uint8_t> padded = data;
  padded.push_back(0);
  padded.push_back(0);
  TBitmap b;
  b.LoadFromBytes(padded);
  EXPECT_EQ(b.Canvas()->Pixels(2, 3), RGB(255, 0, 0));
}

TEST(Bitmap, TransparentColorDefaultsToBottomLeftPixel) {
  TBitmap b;
  b.SetSize(3, 3);
  b.Canvas()->SetPixels(0, 2, RGB(255, 0, 255));
  EXPECT_EQ(b.TransparentColor(), RGB(255, 0, 255));
  b.SetTransparentColor(clLime);
  EXPECT_EQ(b.TransparentMode(), tmFixed);
  EXPECT_EQ(b.TransparentColor(), clLime);
}

TEST(Picture, RegistryLatestRegistrationWins) {
  struct TFirst : TBitmap {};
  struct TSecond : TBitmap {};
  TPicture::RegisterFileFormat(L"zzq", L"First", L"TFirstZ", [] { return new TFirst; });
  TPicture::RegisterFileFormat(L".ZZQ", L"Second", L"TSecondZ", [] { return new TSecond; });
  std::unique_ptr<TGraphic> g(TPicture::CreateGraphicForExtension(L".zzq"));
  EXPECT_NE(dynamic_cast<TSecond*>(g.get()), nullptr);
  std::unique_ptr<TGraphic> byName(TPicture::CreateGraphicByClassName(L"TFirstZ"));
  EXPECT_NE(dynamic_cast<TFirst*>(byName.get()), nullptr);
  TPicture::UnregisterGraphicClass(L"TSecondZ");
  g.reset(TPicture::CreateGraphicForExtension(L"zzq"));
  EXPECT_NE(dynamic_cast<TFirst*>(g.get()), nullptr);
  TPicture::UnregisterGraphicClass(L"TFirstZ");
  EXPECT_EQ(TPicture::CreateGraphicForExtension(L"zzq"), nullptr);
  std::unique_ptr<TGraphic> bmp(TPicture::CreateGraphicForExtension(L"BMP"));
  EXPECT_NE(dynamic_cast<TBitmap*>(bmp.get()), nullptr);
}

TEST(Colors, SystemColorsResolve) {
  EXPECT_EQ(clBtnFace, 0xFF00000Fu);
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
  EXPECT_EQ(clNone, 0x1FFFFFFFu);
  EXPECT_EQ(clDefault, 0x20000000u);
  EXPECT_EQ(clHotLight, 0xFF00001Au);
}

// ---------------------------------------------------------------------------
// Class registry and calls handed to the main thread

TEST(ClassRegistry, FindsByNameAndKeepsGroups) {
  struct Thing : TPersistent {};
  RegisterClass(L"TRegistryThing", [] { return static_cast<TPersistent*>(new Thing); });
  RegisterClass(L"TRegistryThing"); // a second registration is ignored
  const TPersistentClassInfo* c = FindClass(L"tregistrything");
  ASSERT_NE(c, nullptr);
  ASSERT_TRUE(c->Create);
  std::unique_ptr<TPersistent> made(c->Create());
  EXPECT_NE(dynamic_cast<Thing*>(made.get()), nullptr);
  EXPECT_EQ(ClassGroupOf(L"TRegistryThing"), L"");
  GroupDescendentsWith(L"TRegistryThing", L"TForm");
  EXPECT_EQ(ClassGroupOf(L"TRegistryThing"), L"TForm");
  GroupDescendentsWith(L"TGroupedOnly", L"TControl"); // registered on the way
  EXPECT_NE(FindClass(L"TGroupedOnly"), nullptr);
  UnRegisterClass(L"TRegistryThing");
  UnRegisterClass(L"TGroupedOnly");
  EXPECT_EQ(FindClass(L"TRegistryThing"), nullptr);
  EXPECT_EQ(ClassGroupOf(L"TGroupedOnly"), L"");
}

TEST(MainThreadCalls, QueueWaitsForCheckSynchronize) {
  EXPECT_FALSE(CheckSynchronize());
  int ran = 0, woken = 0;
  WakeMainThread = [&] { ++woken; };
  Queue([&] { ran += 1; });
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(woken, 1);
  EXPECT_TRUE(CheckSynchronize());
  EXPECT_EQ(ran, 1);
  Synchronize([&] { ran += 10; }); // on the main thread: at once
  EXPECT_EQ(ran, 11);
  WakeMainThread = nullptr;
}

TEST(MainThreadCalls, SynchronizeFromAnotherThreadWaitsAndPassesErrors) {
  std::atomic<int> stage{0};
  bool caught = false;
  std::thread other([&] {
    Synchronize([&] { stage = 1; });
    try {
      Synchronize([] { throw EAbort(L"stop"); });
    } catch (const EAbort&) {
      caught = true;
    }
    stage = 2;
  });
  DWORD start = GetTickCount();
  while (stage != 2 && GetTickCount() - start < 5000) {
    CheckSynchronize();
    Sleep(1);
  }
  other.join();
  EXPECT_EQ(stage, 2);
  EXPECT_TRUE(caught);
}
