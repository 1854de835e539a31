// Block storage, range edits and history of the editing engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>
#include <numeric>

#include "audio/EditorDocument.h"
#include "tests/support/Gui.h"

using namespace audioedit;

namespace {

std::shared_ptr<BlockStore> NewStore() {
  return std::make_shared<BlockStore>(testsupport::MakeTempDir(L"editor-doc"));
}

// Frames whose samples encode their index, so edits can be checked exactly.
std::vector<float> Ramp(int64_t frames, int channels, float base = 0) {
  std::vector<float> v(size_t(frames * channels));
  for (int64_t f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c)
      v[size_t(f * channels + c)] = base + float(f) + (c ? 0.5f : 0.0f);
  return v;
}

SequencePtr Make(const std::shared_ptr<BlockStore>& s, const std::vector<float>& v, int channels) {
  SequenceBuilder b(s, channels);
  b.Append(v.data(), int64_t(v.size()) / channels);
  return b.Finish();
}

std::vector<float> ReadAll(const Document& d) {
  std::vector<float> v(size_t(d.Length() * d.Channels()));
  d.Read(0, d.Length(), v.data());
  return v;
}

} // namespace

TEST(EditorDocument, BlocksRoundTripAcrossBlockBoundaries) {
  auto store = NewStore();
  struct Case {
    int channels;
    int64_t frames;
  } cases[] = {{1, 10}, {2, 1000}, {1, 300000}, {2, 400000}};
  for (auto c : cases) {
    auto v = Ramp(c.frames, c.channels);
    auto seq = Make(store, v, c.channels);
    ASSERT_EQ(seq->Length(), c.frames);
    std::vector<float> back(v.size());
    ReadFrames(*seq, c.channels, 0, c.frames, back.data());
    EXPECT_EQ(back, v) << c.channels << "ch " << c.frames;
    // A read past both ends is zero-filled.
    std::vector<float> edge(size_t(4 * c.channels));
    ReadFrames(*seq, c.channels, -2, 4, edge.data());
    EXPECT_EQ(edge[0], 0.0f);
    EXPECT_EQ(edge[size_t(2 * c.channels)], v[0]);
  }
}

TEST(EditorDocument, RangeEditsOnExactFrames) {
  auto store = NewStore();
  const int64_t n = 300000; // spans two blocks in stereo
  struct Case {
    const char* name;
    int64_t a, b;
  } cases[] = {{"head", 0, 17},
               {"middle", 1000, 2000},
               {"across blocks", 131000, 132000},
               {"tail", n - 5, n}};
  for (auto c : cases) {
    Document d(store, 44100, 2);
    d.Reset({Make(store, Ramp(n, 2), 2), 44100, 2});
    auto original = ReadAll(d);

    auto clip = d.Extract(c.a, c.b);
    ASSERT_EQ(clip->Length(), c.b - c.a) << c.name;
    std::vector<float> cv(size_t(clip->Length() * 2));
    ReadFrames(*clip, 2, 0, clip->Length(), cv.data());
    EXPECT_EQ(cv, std::vector<float>(original.begin() + c.a * 2, original.begin() + c.b * 2))
        << c.name;

    d.Delete(c.a, c.b);
    ASSERT_EQ(d.Length(), n - (c.b - c.a)) << c.name;
    std::vector<float> after(size_t(2));
    d.Read(c.a == n - 5 ? c.a - 1 : c.a, 1, after.data());
    EXPECT_EQ(after[0], c.a == n - 5 ? float(c.a - 1) : float(c.b)) << c.name;

    d.Insert(c.a, *clip);
    EXPECT_EQ(ReadAll(d), original) << c.name;

    d.Crop(c.a, c.b);
    EXPECT_EQ(ReadAll(d), cv) << c.name;

    // Undo three times restores the original bit for bit; redo re-applies.
    EXPECT_TRUE(d.Undo());
    EXPECT_TRUE(d.Undo());
    EXPECT_TRUE(d.Undo());
    EXPECT_FALSE(d.CanUndo());
    EXPECT_EQ(ReadAll(d), original) << c.name;
    EXPECT_TRUE(d.Redo());
    EXPECT_EQ(d.Length(), n - (c.b - c.a));
  }
}

TEST(EditorDocument, UnchangedBlocksAreShared) {
  auto store = NewStore();
  Document d(store, 44100, 1);
  d.Reset({Make(store, Ramp(1 << 20, 1), 1), 44100, 1}); // four full blocks
  auto before = store->SlotsInUse();
  d.Delete(10, 20);
  // Only the first block is rewritten.
  EXPECT_LE(store->SlotsInUse(), before + 1);
  d.ClearHistory();
  EXPECT_LE(store->SlotsInUse(), before);
}

TEST(EditorDocument, HistoryDepthAndGroups) {
  auto store = NewStore();
  Document d(store, 8000, 1);
  d.Reset({Make(store, Ramp(100, 1), 1), 8000, 1});
  d.SetUndoDepth(2);
  d.Delete(0, 1);
  d.Delete(0, 1);
  d.Delete(0, 1);
  EXPECT_TRUE(d.Undo());
  EXPECT_TRUE(d.Undo());
  EXPECT_FALSE(d.Undo());
  EXPECT_EQ(d.Length(), 99);

  d.SetUndoDepth(10);
  d.BeginGroup();
  d.Delete(0, 10);
  d.Delete(0, 10);
  d.EndGroup();
  EXPECT_EQ(d.Length(), 79);
  EXPECT_TRUE(d.Undo());
  EXPECT_EQ(d.Length(), 99);

  d.BeginGroup();
  d.Delete(0, 50);
  d.AbortGroup();
  EXPECT_EQ(d.Length(), 99);
  EXPECT_FALSE(d.InGroup());

  // Out-of-range edits are clamped.
  d.Delete(-100, 5);
  EXPECT_EQ(d.Length(), 94);
  d.Delete(90, 1000000);
  EXPECT_EQ(d.Length(), 90);
}

TEST(EditorDocument, PeaksAtEveryZoom) {
  auto store = NewStore();
  const int64_t n = 44100 * 20;
  std::vector<float> v(static_cast<size_t>(n));
  for (int64_t i = 0; i < n; ++i)
    v[size_t(i)] = 0.5f * float(std::sin(2 * std::numbers::pi * 440.0 * double(i) / 44100.0));
  auto seq = Make(store, v, 1);
  for (double span : {100.0, 10000.0, double(n)}) {
    std::vector<Peak> p;
    ReadPeaks(*seq, 1, 0, 0, span, 50, p);
    ASSERT_EQ(p.size(), 50u);
    if (span >= 10000) {
      EXPECT_NEAR(p[10].Max, 0.5f, 0.01f) << span;
      EXPECT_NEAR(p[10].Min, -0.5f, 0.01f) << span;
      EXPECT_NEAR(p[10].Rms, 0.5f / std::sqrt(2.0f), 0.02f) << span;
    }
  }
  // Requests outside the document read as silence.
  std::vector<Peak> p;
  ReadPeaks(*seq, 1, 0, -1e9, -1e8, 10, p);
  EXPECT_EQ(p[0].Max, 0.0f);
  ReadPeaks(*seq, 1, 3, 0, 100, 10, p);
  EXPECT_EQ(p.size(), 10u);
}

TEST(FloatToInt16, RoundsToNearestEvenAndClips) {
  struct Case {
    float in;
    int16_t want;
  } cases[] = {
      {0.0f, 0},
      {-0.0f, 0},
      {0.5f / 32768, 0}, // ties go to the even neighbour
      {1.5f / 32768, 2},
      {2.5f / 32768, 2},
      {-0.5f / 32768, 0},
      {-1.5f / 32768, -2},
      {0.49f / 32768, 0},
      {0.51f / 32768, 1},
      {0.5f, 16384},
      {32766.5f / 32768, 32766},
      {32767.0f / 32768, 32767},
      {1.0f, 32767}, // clipped
      {1.5f, 32767},
      {-1.0f, -32768},
      {-1.0f - 1.0f / 32768, -32768},
      {-7.0f, -32768},
      {INFINITY, 32767},
      {-INFINITY, -32768},
      {NAN, 0},
  };
  for (const Case& c : cases) {
    // Nine copies: eight take the vector path, the ninth the one for the rest.
    std::vector<float> in(9, c.in);
    std::vector<int16_t> out(9, 12345);
    FloatToInt16(in.data(), in.size(), out.data());
    for (size_t i = 0; i < out.size(); ++i)
      EXPECT_EQ(out[i], c.want) << c.in << " at " << i;
  }
  // Any other value: as the scalar rounding of the scaled sample.
  std::vector<float> sweep;
  for (float v = -1.1f; v < 1.1f; v += 0.0000613f)
    sweep.push_back(v);
  std::vector<int16_t> out(sweep.size());
  FloatToInt16(sweep.data(), sweep.size(), out.data());
  for (size_t i = 0; i < sweep.size(); ++i)
    ASSERT_EQ(out[i], int16_t(std::lrint(std::clamp(sweep[i] * 32768.0f, -32768.0f, 32767.0f))))
        << sweep[i];
}

TEST(BlockStore, PreparesFreshBlockMemoryWithinTheSpareLimit) {
  // Waits for the preparer threads to settle (they stop at the count or the limit).
  auto settled = [](const BlockStore& s, size_t want) {
    for (int i = 0; i < 1000 && s.SparesReady() < want; ++i)
      Sleep(10);
    return s.SparesReady();
  };
  DWORD_PTR mine = 0, all = 0;
  ASSERT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &mine, &all));
  if (std::popcount(uint64_t(mine)) < 2) {
    // One core: nothing to overlap, so nothing is prepared.
    BlockStore s(testsupport::MakeTempDir(L"editor-doc"));
    s.Prepare(6);
    Sleep(50);
    EXPECT_EQ(s.SparesReady(), 0u);
    return;
  }
  {
    BlockStore s(testsupport::MakeTempDir(L"editor-doc"));
    s.Prepare(6);
    EXPECT_EQ(settled(s, 6), 6u);
    s.Prepare(1); // too few to be worth a thread
    Sleep(50);
    EXPECT_EQ(s.SparesReady(), 6u);
    // Prepared memory serves the next blocks: whole blocks, written and read back.
    std::vector<float> v = s.Spare();
    EXPECT_GE(v.capacity(), kBlockBytes / sizeof(float));
    EXPECT_EQ(s.SparesReady(), 5u);
    v.assign(kBlockBytes / sizeof(float), 0.25f);
    uint32_t slot = s.Write(std::move(v));
    EXPECT_EQ((*s.Read(slot, kBlockBytes / sizeof(float)))[1000], 0.25f);
  }
  {
    // Four unwritten blocks at most: two written ones leave room for two spares.
    BlockStore s(testsupport::MakeTempDir(L"editor-doc"), 4);
    std::vector<float> a(100, 1.0f);
    s.Write(a.data(), a.size());
    s.Write(a.data(), a.size());
    s.Prepare(100);
    EXPECT_EQ(settled(s, 2), 2u);
    Sleep(50);
    EXPECT_EQ(s.SparesReady(), 2u);
  }
  // A store destroyed while it prepares waits for its threads.
  for (int i = 0; i < 5; ++i) {
    BlockStore s(testsupport::MakeTempDir(L"editor-doc"));
    s.Prepare(200);
  }
}

TEST(BlockStore, NewBlocksReachTheFileOnlyWhenTheyLeaveMemory) {
  auto fileSize = [](const BlockStore& s) {
    WIN32_FILE_ATTRIBUTE_DATA a{};
    if (!GetFileAttributesExW((s.Folder() + L"\\blocks.dat").c_str(), GetFileExInfoStandard, &a))
      return int64_t(-1);
    return int64_t(a.nFileSizeHigh) << 32 | a.nFileSizeLow;
  };
  auto block = [](float base) {
    std::vector<float> v(1000);
    std::iota(v.begin(), v.end(), base);
    return v;
  };
  {
    // Released before leaving memory: never written.
    BlockStore s(testsupport::MakeTempDir(L"editor-doc"));
    for (int i = 0; i < 10; ++i)
      s.Release(s.Write(block(float(i * 1000))));
    EXPECT_EQ(fileSize(s), 0);
  }
  BlockStore s(testsupport::MakeTempDir(L"editor-doc"), 2);
  std::vector<uint32_t> slots;
  for (int i = 0; i < 5; ++i) {
    auto v = block(float(i * 1000));
    slots.push_back(i % 2 ? s.Write(std::move(v)) : s.Write(v.data(), v.size()));
  }
  // The three oldest were written as the newer ones came; two are in memory only.
  EXPECT_EQ(fileSize(s), int64_t(2 * kBlockBytes + 1000 * sizeof(float)));
  for (int i = 4; i >= 0; --i) { // the written ones come back from the file
    auto d = s.Read(slots[size_t(i)], 1000);
    EXPECT_EQ(*d, block(float(i * 1000))) << i;
    std::vector<float> part(10);
    s.ReadPart(slots[size_t(i)], 990, 10, part.data());
    EXPECT_EQ(part[9], float(i * 1000 + 999)) << i;
  }
  s.Release(slots[3]);
  s.Release(slots[4]);
  for (int i = 0; i < 2; ++i)
    s.Release(s.Write(block(-1.0f)));
  EXPECT_EQ(fileSize(s), int64_t(2 * kBlockBytes + 1000 * sizeof(float)));
  EXPECT_EQ(s.SlotsInUse(), 3u);
}
