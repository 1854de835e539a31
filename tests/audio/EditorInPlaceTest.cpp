// Uncompressed files read in place: samples exact after open, edits, undo,
// redo and save, the source kept intact when it is saved over.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "audio/EditorEngine.h"
#include "audio/EditorFormats.h"
#include "tests/support/Gui.h"

using namespace audioedit;

namespace {

struct WavCase {
  const char* name;
  int bits;
  bool isFloat;
  int channels;
  int64_t frames;
  bool extensible;
  bool chunksAround; // a chunk before the data, a pad byte and a chunk after it
  enum Container { Wav, Aiff, AifcLittle, AifcFloat, Au } container = Wav;
  const wchar_t* Ext() const {
    return container == Wav    ? L"wav"
           : container == Au   ? L"au"
           : container == Aiff ? L"aif"
                               : L"aifc";
  }
};

void Put16(std::vector<uint8_t>& b, unsigned x) {
  b.push_back(uint8_t(x));
  b.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t x) {
  for (int i = 0; i < 4; ++i)
    b.push_back(uint8_t(x >> (8 * i)));
}
void Be16(std::vector<uint8_t>& b, unsigned x) {
  b.push_back(uint8_t(x >> 8));
  b.push_back(uint8_t(x));
}
void Be32(std::vector<uint8_t>& b, uint32_t x) {
  for (int i = 3; i >= 0; --i)
    b.push_back(uint8_t(x >> (8 * i)));
}

void WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& f) {
  FILE* file = _wfopen(path.c_str(), L"wb");
  EXPECT_NE(file, nullptr);
  if (file) {
    fwrite(f.data(), 1, f.size(), file);
    fclose(file);
  }
}

// AIFF/AIFC or AU around little-endian sample data (converted here).
void WriteOther(const std::wstring& path, const WavCase& c, std::vector<uint8_t> data, int rate) {
  int bytes = c.bits / 8;
  bool big = c.container != WavCase::AifcLittle;
  for (size_t i = 0; i < data.size(); i += size_t(bytes)) {
    if (bytes == 1)
      data[i] ^= 0x80; // signed 8-bit
    else if (big)
      std::reverse(data.begin() + i, data.begin() + i + bytes);
  }
  std::vector<uint8_t> f;
  if (c.container == WavCase::Au) {
    unsigned enc = c.isFloat ? (c.bits == 32 ? 6 : 7) : unsigned(1 + bytes);
    f.insert(f.end(), {'.', 's', 'n', 'd'});
    Be32(f, c.chunksAround ? 32 : 24); // an annotation may follow the header
    Be32(f, uint32_t(data.size()));
    Be32(f, enc);
    Be32(f, uint32_t(rate));
    Be32(f, uint32_t(c.channels));
    if (c.chunksAround) f.insert(f.end(), {'n', 'o', 't', 'e', 0, 0, 0, 0});
    f.insert(f.end(), data.begin(), data.end());
    WriteFileBytes(path, f);
    return;
  }
  bool aifc = c.container != WavCase::Aiff;
  f.insert(f.end(),
           {'F', 'O', 'R', 'M', 0, 0, 0, 0, 'A', 'I', 'F', aifc ? uint8_t('C') : uint8_t('F')});
  f.insert(f.end(), {'C', 'O', 'M', 'M'});
  Be32(f, aifc ? 24 : 18);
  Be16(f, unsigned(c.channels));
  Be32(f, uint32_t(c.frames));
  Be16(f, unsigned(c.bits));
  int e = 0;
  while ((uint64_t(rate) >> e) > 1)
    ++e;
  uint64_t mant = uint64_t(rate) << (63 - e);
  Be16(f, unsigned(16383 + e));
  Be32(f, uint32_t(mant >> 32));
  Be32(f, uint32_t(mant));
  if (aifc) {
    const char* code = c.container == WavCase::AifcLittle ? "sowt" : c.bits == 64 ? "fl64" : "fl32";
    f.insert(f.end(), code, code + 4);
    f.insert(f.end(), {0, 0}); // empty name, padded
  }
  if (c.chunksAround) {
    f.insert(f.end(), {'A', 'N', 'N', 'O'});
    Be32(f, 3);
    f.insert(f.end(), {'a', 'b', 'c', 0});
  }
  f.insert(f.end(), {'S', 'S', 'N', 'D'});
  Be32(f, uint32_t(data.size() + 8 + 4));
  Be32(f, 4); // offset: four bytes before the samples
  Be32(f, 0);
  f.insert(f.end(), {9, 9, 9, 9});
  f.insert(f.end(), data.begin(), data.end());
  if (c.chunksAround) {
    if (data.size() & 1) f.push_back(0);
    f.insert(f.end(), {'A', 'N', 'N', 'O'});
    Be32(f, 2);
    f.insert(f.end(), {'z', 'z'});
  }
  uint32_t form = uint32_t(f.size() - 8);
  for (int i = 0; i < 4; ++i)
    f[size_t(4 + i)] = uint8_t(form >> (8 * (3 - i)));
  WriteFileBytes(path, f);
}

// Writes a WAV file of random samples and returns the floats the editor
// must read from it.
std::vector<float> WriteWav(const std::wstring& path, const WavCase& c, int rate = 44100) {
  std::mt19937 rng(uint32_t(c.bits * 131 + c.channels * 7 + c.frames));
  size_t samples = size_t(c.frames) * size_t(c.channels);
  int bytes = c.bits / 8;
  std::vector<uint8_t> data(samples * size_t(bytes));
  std::vector<float> expect(samples);
  for (size_t i = 0; i < samples; ++i) {
    uint8_t* p = data.data() + i * size_t(bytes);
    uint32_t r = rng();
    if (c.isFloat && c.bits == 32) {
      float f = float(int32_t(r)) / 2147483648.0f * 0.9f;
      std::memcpy(p, &f, 4);
      expect[i] = f;
    } else if (c.isFloat) {
      double d = double(int32_t(r)) / 2147483648.0 * 0.9 + 1e-12;
      std::memcpy(p, &d, 8);
      expect[i] = float(d);
    } else if (c.bits == 8) {
      p[0] = uint8_t(r);
      expect[i] = float(int(p[0]) - 128) / 128.0f;
    } else if (c.bits == 16) {
      int16_t s = int16_t(r);
      std::memcpy(p, &s, 2);
      expect[i] = float(s) / 32768.0f;
    } else if (c.bits == 24) {
      int32_t s = int32_t(r) >> 8;
      p[0] = uint8_t(s), p[1] = uint8_t(s >> 8), p[2] = uint8_t(s >> 16);
      expect[i] = float(s) / 8388608.0f;
    } else {
      int32_t s = int32_t(r);
      std::memcpy(p, &s, 4);
      expect[i] = float(s) / 2147483648.0f;
    }
  }
  if (c.container != WavCase::Wav) {
    WriteOther(path, c, std::move(data), rate);
    return expect;
  }
  std::vector<uint8_t> fmt;
  unsigned tag = c.isFloat ? 3 : 1;
  Put16(fmt, c.extensible ? 0xFFFE : tag);
  Put16(fmt, unsigned(c.channels));
  Put32(fmt, uint32_t(rate));
  Put32(fmt, uint32_t(rate * c.channels * bytes));
  Put16(fmt, unsigned(c.channels * bytes));
  Put16(fmt, unsigned(c.bits));
  if (c.extensible) {
    Put16(fmt, 22);
    Put16(fmt, unsigned(c.bits));
    Put32(fmt, c.channels == 1 ? 4 : 3);
    Put32(fmt, tag); // sub-format GUID: code, then the fixed tail
    const uint8_t tail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                              0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    fmt.insert(fmt.end(), tail, tail + 12);
  }
  std::vector<uint8_t> f;
  f.insert(f.end(), {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put32(f, uint32_t(fmt.size()));
  f.insert(f.end(), fmt.begin(), fmt.end());
  if (c.chunksAround) {
    f.insert(f.end(), {'L', 'I', 'S', 'T'});
    Put32(f, 5);
    f.insert(f.end(), {'I', 'N', 'F', 'O', 'x', 0});
  }
  f.insert(f.end(), {'d', 'a', 't', 'a'});
  Put32(f, uint32_t(data.size()));
  f.insert(f.end(), data.begin(), data.end());
  if (c.chunksAround) {
    if (data.size() & 1) f.push_back(0);
    f.insert(f.end(), {'i', 'd', '3', ' '});
    Put32(f, 8);
    f.insert(f.end(), {1, 2, 3, 4, 5, 6, 7, 8});
  }
  uint32_t riff = uint32_t(f.size() - 8);
  std::memcpy(f.data() + 4, &riff, 4);
  FILE* file = _wfopen(path.c_str(), L"wb");
  EXPECT_NE(file, nullptr);
  if (file) {
    fwrite(f.data(), 1, f.size(), file);
    fclose(file);
  }
  return expect;
}

std::vector<float> All(const EditorEngine& e) {
  std::vector<float> v(size_t(e.Length() * e.Channels()));
  e.ReadFrames(0, e.Length(), v.data());
  return v;
}

// Frames [a, b) removed from interleaved samples.
std::vector<float> Without(const std::vector<float>& v, int ch, int64_t a, int64_t b) {
  std::vector<float> r(v.begin(), v.begin() + a * ch);
  r.insert(r.end(), v.begin() + b * ch, v.end());
  return r;
}

bool Writable(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

} // namespace

TEST(EditorInPlace, SamplesExactThroughOpenEditUndoRedoAndSave) {
  std::wstring dir = testsupport::MakeTempDir(L"editor-inplace");
  const WavCase cases[] = {
      {"8-bit mono odd", 8, false, 1, 300001, false, true},
      {"8-bit stereo", 8, false, 2, 1001, false, false},
      {"16-bit stereo", 16, false, 2, 400003, false, true},
      {"16-bit mono", 16, false, 1, 5, false, false},
      {"24-bit stereo", 24, false, 2, 200001, true, true},
      {"24-bit mono", 24, false, 1, 70001, false, false},
      {"32-bit stereo", 32, false, 2, 150000, false, false},
      {"float stereo", 32, true, 2, 262145, false, true},
      {"float mono extensible", 32, true, 1, 9999, true, false},
      {"double stereo", 64, true, 2, 33333, false, true},
      {"AIFF 16-bit stereo", 16, false, 2, 200003, false, true, WavCase::Aiff},
      {"AIFF 8-bit mono", 8, false, 1, 1001, false, true, WavCase::Aiff},
      {"AIFF 24-bit stereo", 24, false, 2, 70001, false, false, WavCase::Aiff},
      {"AIFC little-endian", 16, false, 2, 5001, false, false, WavCase::AifcLittle},
      {"AIFC float mono", 32, true, 1, 3001, false, true, WavCase::AifcFloat},
      {"AU 16-bit stereo", 16, false, 2, 150001, false, true, WavCase::Au},
      {"AU 8-bit mono", 8, false, 1, 999, false, false, WavCase::Au},
      {"AU 32-bit mono", 32, false, 1, 777, false, false, WavCase::Au},
      {"AU double stereo", 64, true, 2, 1001, false, false, WavCase::Au},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring path = dir + L"\\in." + c.Ext();
    auto expect = WriteWav(path, c);
    EditorEngine e;
    e.SetTempDirectory(dir);
    int events = 0;
    e.OnBlockOperation = [&](int) { ++events; };
    ASSERT_NO_THROW(e.OpenFile(path));
    EXPECT_GT(events, 0);
    ASSERT_EQ(e.Length(), c.frames);
    ASSERT_EQ(e.Channels(), c.channels);
    EXPECT_EQ(e.SampleRate(), 44100);
    EXPECT_EQ(All(e), expect);
    // Read in place: no sample block was written for the open.
    EXPECT_EQ(e.Doc()->Store()->SlotsInUse(), 0u);
    EXPECT_EQ(e.Doc()->Store()->SourcesInUse(), 1u);
    EXPECT_FALSE(Writable(path));
    // A small read inside a block (the play and spectrum path).
    if (c.frames > 20) {
      std::vector<float> part(size_t(7 * c.channels));
      e.ReadFrames(11, 7, part.data());
      EXPECT_TRUE(std::equal(part.begin(), part.end(), expect.begin() + 11 * c.channels));
    }

    int64_t a = c.frames / 3, b = c.frames / 3 + c.frames / 4 + 1;
    e.SetSelection(a, b);
    e.DeleteSelection();
    auto edited = Without(expect, c.channels, a, b);
    EXPECT_EQ(All(e), edited);
    e.SetSelection(0, c.frames / 5);
    e.Invert();
    auto inverted = edited;
    for (int64_t i = 0; i < c.frames / 5 * c.channels; ++i)
      inverted[size_t(i)] = -inverted[size_t(i)];
    EXPECT_EQ(All(e), inverted);
    e.Undo();
    EXPECT_EQ(All(e), edited);
    e.Undo();
    EXPECT_EQ(All(e), expect);
    e.Redo();
    EXPECT_EQ(All(e), edited);

    // Saved as 16-bit PCM, the edited samples come back rounded to 16 bits.
    e.Format = OutputFormat{};
    e.Format.Type = OutputFormat::Pcm;
    e.Format.SampleRate = 44100;
    e.Format.Channels = c.channels;
    e.Format.BitsPerSample = 16;
    std::wstring out = dir + L"\\out.wav";
    ASSERT_NO_THROW(e.SaveFile(out, false));
    EditorEngine back;
    back.SetTempDirectory(dir);
    ASSERT_NO_THROW(back.OpenFile(out));
    auto saved = edited;
    for (float& x : saved)
      x = float(std::lrint(std::clamp(x * 32768.0f, -32768.0f, 32767.0f))) / 32768.0f;
    EXPECT_EQ(All(back), saved);
    back.CloseFile();

    e.CloseFile();
    EXPECT_EQ(e.Doc(), nullptr);
    EXPECT_TRUE(Writable(path)); // no reference is left once the document is closed
  }
}

TEST(EditorInPlace, SavingOverTheSourceKeepsWhatUndoNeeds) {
  std::wstring dir = testsupport::MakeTempDir(L"editor-inplace-over");
  std::wstring path = dir + L"\\X.wav";
  WavCase c{"16-bit stereo", 16, false, 2, 300007, false, true};
  auto original = WriteWav(path, c);
  auto e = std::make_unique<EditorEngine>();
  e->SetTempDirectory(dir);
  e->OpenFile(path);
  // The clipboard shares a whole block of the file.
  const int64_t c0 = 131072, c1 = 262144;
  e->SetSelection(c0, c1);
  e->Copy();
  int64_t a = 1000, b = 150000;
  e->SetSelection(a, b);
  e->DeleteSelection();
  auto edited = Without(original, 2, a, b);
  e->Format = OutputFormat{};
  e->Format.Type = OutputFormat::Pcm;
  e->Format.SampleRate = 44100;
  e->Format.Channels = 2;
  e->Format.BitsPerSample = 16;
  // The same file under another spelling of its name.
  ASSERT_NO_THROW(e->SaveFile(dir + L"\\.\\x.WAV", false));
  {
    EditorEngine other;
    other.SetTempDirectory(dir);
    other.OpenFile(path);
    EXPECT_EQ(All(other), edited);
  }
  // The history and the clipboard still read the original samples.
  EXPECT_EQ(All(*e), edited);
  e->Undo();
  EXPECT_EQ(All(*e), original);
  e->Redo();
  EXPECT_EQ(All(*e), edited);
  e->SetSelActive(false);
  e->SetCursor(e->Length());
  e->Paste();
  std::vector<float> tail(size_t((c1 - c0) * 2));
  e->ReadFrames(int64_t(edited.size() / 2), c1 - c0, tail.data());
  EXPECT_TRUE(std::equal(tail.begin(), tail.end(), original.begin() + c0 * 2));

  // The kept copy lives in the temporary folder and goes with the engine.
  std::wstring folder = e->Doc()->Store()->Folder();
  EXPECT_NE(GetFileAttributesW((folder + L"\\source1.dat").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(Writable(path)); // the file itself is free again
  e.reset();
  EXPECT_EQ(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(EditorInPlace, RawInputAndFilesFallingBackToTheDecoder) {
  std::wstring dir = testsupport::MakeTempDir(L"editor-inplace-raw");
  std::wstring raw = dir + L"\\in.raw";
  std::vector<int16_t> s(2 * 50001);
  for (size_t i = 0; i < s.size(); ++i)
    s[i] = int16_t(i * 7919);
  FILE* f = _wfopen(raw.c_str(), L"wb");
  ASSERT_NE(f, nullptr);
  fwrite(s.data(), 2, s.size(), f);
  fputc(1, f); // a stray byte that makes no frame
  fclose(f);
  EditorEngine e;
  e.SetTempDirectory(dir);
  e.OpenFile(raw);
  ASSERT_EQ(e.Length(), 50001);
  auto v = All(e);
  for (size_t i = 0; i < s.size(); ++i)
    ASSERT_EQ(v[i], float(s[i]) / 32768.0f) << i;

  // Layouts the probe refuses (more channels, a compressed code) go through the decoder.
  PcmLayout l;
  int rate = 0;
  std::wstring wav = dir + L"\\six.wav";
  std::vector<uint8_t> h;
  h.insert(h.end(), {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put32(h, 16);
  Put16(h, 1);
  Put16(h, 6);
  Put32(h, 48000);
  Put32(h, 48000 * 12);
  Put16(h, 12);
  Put16(h, 16);
  h.insert(h.end(), {'d', 'a', 't', 'a'});
  Put32(h, 12 * 100);
  h.resize(h.size() + 1200, 0);
  f = _wfopen(wav.c_str(), L"wb");
  fwrite(h.data(), 1, h.size(), f);
  fclose(f);
  EXPECT_FALSE(ProbePcm(wav, l, rate));
  ASSERT_NO_THROW(e.OpenFile(wav));
  EXPECT_EQ(e.Length(), 100);
  EXPECT_EQ(e.Channels(), 2);
}

TEST(EditorInPlace, DataLeftByACrashedEditorIsRemovedAtTheNextStart) {
  std::wstring dir = testsupport::MakeTempDir(L"editor-inplace-stale");
  // A folder of a process that no longer runs, with blocks and a kept source copy.
  std::wstring dead = dir + L"\\EditorData.4294967280.1";
  ASSERT_TRUE(CreateDirectoryW(dead.c_str(), nullptr));
  for (const wchar_t* name : {L"\\blocks.dat", L"\\source1.dat"}) {
    FILE* f = _wfopen((dead + name).c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    fputs("left over", f);
    fclose(f);
  }
  // This process's own store stays.
  EditorEngine live;
  live.SetTempDirectory(dir);
  std::vector<float> v(1000, 0.5f);
  live.LoadFrames(8000, 1, v.data(), 1000);
  std::wstring own = live.Doc()->Store()->Folder();
  EditorEngine next;
  next.SetTempDirectory(dir + L"\\"); // same folder, spelled with the trailing backslash
  EXPECT_EQ(GetFileAttributesW(dead.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW(own.c_str()), INVALID_FILE_ATTRIBUTES);
  std::vector<float> back(1000);
  live.ReadFrames(0, 1000, back.data());
  EXPECT_EQ(back, v);
}

TEST(EditorInPlace, BrokenHeadersAreNotReadInPlace) {
  std::wstring dir = testsupport::MakeTempDir(L"editor-inplace-broken");
  auto wav = [](unsigned tag, unsigned ch, uint32_t rate, unsigned align, unsigned bits,
                uint32_t dataLen) {
    std::vector<uint8_t> h;
    h.insert(h.end(), {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(h, 16);
    Put16(h, tag);
    Put16(h, ch);
    Put32(h, rate);
    Put32(h, rate * align);
    Put16(h, align);
    Put16(h, bits);
    h.insert(h.end(), {'d', 'a', 't', 'a'});
    Put32(h, dataLen);
    h.resize(h.size() + 64, 0);
    return h;
  };
  auto au = [](uint32_t offset, uint32_t enc, uint32_t rate, uint32_t ch) {
    std::vector<uint8_t> h{'.', 's', 'n', 'd'};
    Be32(h, offset);
    Be32(h, 0xFFFFFFFFu);
    Be32(h, enc);
    Be32(h, rate);
    Be32(h, ch);
    h.resize(h.size() + 64, 0);
    return h;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"huge channels and bits", wav(1, 65535, 44100, 65535, 65535, 64)},
      {"zero rate", wav(1, 2, 0, 4, 16, 64)},
      {"align not a frame", wav(1, 2, 44100, 3, 16, 64)},
      {"12-bit samples", wav(1, 1, 44100, 2, 12, 64)},
      {"compressed code", wav(2, 1, 8000, 256, 4, 64)},
      {"AU data past the end", au(1u << 30, 3, 8000, 1)},
      {"AU header overlapping its data", au(8, 3, 8000, 1)},
      {"AU mu-law", au(24, 1, 8000, 1)},
      {"AU negative channels", au(24, 3, 8000, 0xFFFFFFFFu)},
      {"header cut short", {'R', 'I', 'F', 'F', 0, 0}},
  };
  for (auto& c : cases) {
    std::wstring path = dir + L"\\broken.wav";
    WriteFileBytes(path, c.bytes);
    PcmLayout l;
    int rate = 0;
    EXPECT_FALSE(ProbePcm(path, l, rate)) << c.name;
    // The decoder gets them instead: it opens them or raises, never crashes.
    EditorEngine e;
    e.SetTempDirectory(dir);
    try {
      e.OpenFile(path);
    } catch (const EAudioError&) {
    }
    EXPECT_FALSE(e.Busy()) << c.name;
  }
  // A data size beyond the end of the file stops at the end.
  std::wstring cut = dir + L"\\cut.wav";
  WriteFileBytes(cut, wav(1, 2, 44100, 4, 16, 0x7FFFFFF0u));
  PcmLayout l;
  int rate = 0;
  ASSERT_TRUE(ProbePcm(cut, l, rate));
  EXPECT_EQ(l.Frames, 16);
}

TEST(EditorInPlace, ReverseOfManyBlocksIsTheSampleReversedInput) {
  std::wstring dir = testsupport::MakeTempDir(L"editor-reverse");
  // A block holds 2^18 samples: 131072 stereo or 262144 mono frames.
  struct Case {
    const char* name;
    int channels;
    int64_t frames;
    bool inPlace;        // the file read in place, else its samples loaded
    int64_t from, to;    // the selection; to 0 = the whole sound
    int disabledChannel; // 0 = none
  } cases[] = {
      {"stereo file, whole", 2, 500001, true, 0, 0, 0},
      {"stereo file, across blocks", 2, 500001, true, 1001, 400000, 0},
      {"stereo file, whole blocks", 2, 500001, true, 131072, 393216, 0},
      {"mono file, whole", 1, 700003, true, 0, 0, 0},
      {"stereo loaded, whole", 2, 400000, false, 0, 0, 0},
      {"stereo loaded, across blocks", 2, 400000, false, 7, 262150, 0},
      {"stereo file, right channel off", 2, 300001, true, 100, 290000, 2},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    std::wstring path = dir + L"\\in.wav";
    auto input = WriteWav(path, {k.name, 16, false, k.channels, k.frames, false, false});
    EditorEngine e;
    e.SetTempDirectory(dir);
    if (k.inPlace)
      ASSERT_NO_THROW(e.OpenFile(path));
    else
      e.LoadFrames(44100, k.channels, input.data(), k.frames);
    const int ch = k.channels;
    const int64_t a = k.from, b = k.to ? k.to : k.frames;
    if (k.to) e.SetSelection(a, b);
    if (k.disabledChannel) e.SetChannelEnabled(k.disabledChannel, false);
    std::vector<float> want = input;
    for (int64_t f = a; f < b; ++f)
      for (int c = 0; c < ch; ++c)
        if (c + 1 != k.disabledChannel)
          want[size_t(f * ch + c)] = input[size_t((a + b - 1 - f) * ch + c)];
    e.Reverse();
    ASSERT_EQ(e.Length(), k.frames);
    EXPECT_TRUE(All(e) == want);
    // The same frames in small reads (straight from the blocks, not their loaded copies).
    std::vector<float> piece(size_t(999 * ch)), pieces;
    for (int64_t f = 0; f < k.frames; f += 999) {
      int64_t n = std::min<int64_t>(999, k.frames - f);
      e.ReadFrames(f, n, piece.data());
      pieces.insert(pieces.end(), piece.begin(), piece.begin() + n * ch);
    }
    EXPECT_TRUE(pieces == want);
    // Each block's summaries describe its own samples: they are those of a
    // block made from the samples afresh.
    const Sequence& seq = e.Doc()->Seq();
    for (size_t i = 0; i < seq.Count(); ++i) {
      const Block& got = *seq.BlockAt(i);
      Block afresh(e.Doc()->Store(), got.Data()->data(), got.Frames(), ch);
      for (auto [g, w] :
           {std::pair(&got.Fine(), &afresh.Fine()), std::pair(&got.Coarse(), &afresh.Coarse())}) {
        ASSERT_EQ(g->size(), w->size());
        for (size_t x = 0; x < g->size(); ++x) {
          ASSERT_EQ((*g)[x].Min, (*w)[x].Min) << "block " << i << ", entry " << x;
          ASSERT_EQ((*g)[x].Max, (*w)[x].Max) << "block " << i << ", entry " << x;
          ASSERT_NEAR((*g)[x].Rms, (*w)[x].Rms, 1e-6f) << "block " << i << ", entry " << x;
        }
      }
      ASSERT_EQ(got.Sums().size(), afresh.Sums().size());
      for (size_t x = 0; x < got.Sums().size(); ++x)
        ASSERT_NEAR(got.Sums()[x], afresh.Sums()[x], 1e-9) << "block " << i << ", entry " << x;
    }
    // Reversed again, the sound is the input again; undo and redo step through both.
    e.Reverse();
    EXPECT_TRUE(All(e) == input);
    e.Undo();
    EXPECT_TRUE(All(e) == want);
    e.Undo();
    EXPECT_TRUE(All(e) == input);
    e.Redo();
    EXPECT_TRUE(All(e) == want);
  }
}
