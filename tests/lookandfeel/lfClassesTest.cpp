#include <gtest/gtest.h>

#include "lookandfeel/lfClasses.h"
#include "lookandfeel/lfGeometry.h"

TEST(lfClasses, RangeCenterRoundsDown) {
  struct Case {
    int a, b, expected;
  } cases[] = {{-1, -2, -2}, {1, 2, 1}, {0, 0, 0}, {-3, 0, -2}, {3, 0, 1}, {-1, 0, -1}};
  for (auto c : cases)
    EXPECT_EQ(RangeCenter(c.a, c.b), c.expected) << c.a << "," << c.b;
}

TEST(lfClasses, ObjectListFreesItsItems) {
  static int freed = 0;
  struct Item : TObject {
    ~Item() override { ++freed; }
  };
  freed = 0;
  {
    TlfObjectList list;
    list.Add(new Item);
    list.Add(new Item);
    list.Clear();
    EXPECT_EQ(freed, 2);
    EXPECT_EQ(list.Count(), 0);
    list.Add(new Item);
  }
  EXPECT_EQ(freed, 3);
}

TEST(lfClasses, ThreadHookInstallsAndRemoves) {
  HHOOK h = nullptr;
  InstallThreadHook(h, WH_GETMESSAGE, [](int code, WPARAM w, LPARAM l) -> LRESULT {
    return CallNextHookEx(nullptr, code, w, l);
  });
  EXPECT_NE(h, nullptr);
  RemoveThreadHook(h);
  EXPECT_EQ(h, nullptr);
  RemoveThreadHook(h); // an empty handle is tolerated
}

TEST(lfClasses, FakeLinksFollowOnlyWhileDesigning) {
  struct Linker : TlfComponent {
    using TlfComponent::TlfComponent;
    TComponent* target = nullptr;
    void CollectFakeLinks(TList* L) override { L->Add(target); }
  };
  TComponent owner(nullptr);
  auto* a = new Linker(&owner);
  a->target = &owner;
  a->SetFakeComponentLink2(&owner);
  a->Loaded();
  EXPECT_EQ(a->FakeComponentLink1(), nullptr); // not designing: kept as streamed
  EXPECT_EQ(a->FakeComponentLink2(), &owner);
  owner.SetDesigning(true);
  a->Loaded();
  EXPECT_EQ(a->FakeComponentLink1(), &owner);
  EXPECT_EQ(a->FakeComponentLink2(), nullptr);
}

TEST(lfClasses, ClassRegistryAndGroups) {
  lfGeometryInitialize();
  lfClassesInitialize();
  const TPersistentClassInfo* c = FindClass(L"tlfrect");
  ASSERT_NE(c, nullptr);
  std::unique_ptr<TPersistent> made(c->Create());
  EXPECT_NE(dynamic_cast<TlfRect*>(made.get()), nullptr);
  EXPECT_EQ(ClassGroupOf(L"TlfComponent"), L"TControl");
  lfClassesFinalize();
  lfGeometryFinalize();
  EXPECT_EQ(FindClass(L"TlfRect"), nullptr);
  EXPECT_EQ(lfClassesState(), 2);
}

TEST(lfGeometry, RectRoutines) {
  TRect r(0, 0, 10, 20);
  EXPECT_EQ(RectCenter(r, 3, 4), TRect(3, 8, 6, 12));
  EXPECT_EQ(RectCenter(TRect(-10, 0, -1, 2), 2, 2).Left, -6); // -13 / 2 truncated
  EXPECT_EQ(RectInflate(r, 1, 2), TRect(-1, -2, 11, 22));
  EXPECT_EQ(RectInflate(r, 1, 2, 3, 4), TRect(-1, -2, 13, 24));
  EXPECT_EQ(RectOffset(r, 5, -5), TRect(5, -5, 15, 15));
  EXPECT_EQ(RectSetLeft(r, 4), TRect(4, 0, 14, 20));
  EXPECT_EQ(RectSetLeft(r, 4, 2), TRect(4, 0, 6, 20));
  EXPECT_EQ(RectSetRight(r, 8, 3), TRect(5, 0, 8, 20));
  EXPECT_EQ(RectSetHeight(r, 5), TRect(0, 0, 10, 5));
  EXPECT_EQ(RectSetWidth(r, 5), TRect(0, 0, 5, 20));
  EXPECT_EQ(RectContent(r, TRect(1, 2, 3, 4)), TRect(1, 2, 7, 16));
  EXPECT_EQ(GeometryRectWidth(r), 10);
  EXPECT_EQ(GeometryRectHeight(r), 20);
}

TEST(lfGeometry, RectFiresOnlyOnChange) {
  TlfRect a(nullptr), b(nullptr);
  int fired = 0;
  a.OnChange = [&](TObject*) { ++fired; };
  a.SetLeft(0);
  EXPECT_EQ(fired, 0);
  a.SetLeft(5);
  EXPECT_EQ(fired, 1);
  b.SetRect(TRect(5, 0, 0, 0));
  a.Assign(&b);
  EXPECT_EQ(fired, 1);
  b.SetBottom(9);
  a.Assign(&b);
  EXPECT_EQ(fired, 2);
  EXPECT_EQ(a.GetValue(7), 9); // indexes above 3 read Bottom
}
