#include "audio/EditorDocument.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include <emmintrin.h>

namespace audioedit {

namespace {

constexpr size_t kCacheBlocks = 12;
const wchar_t kFolderPrefix[] = L"EditorData.";

std::wstring WithSlash(std::wstring dir) {
  if (!dir.empty() && dir.back() != L'\\' && dir.back() != L'/') dir += L'\\';
  return dir;
}

std::wstring SystemTemp() {
  wchar_t buf[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, buf);
  return n ? std::wstring(buf, n) : std::wstring(L".\\");
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (wcscmp(fd.cFileName, L".") == 0 || wcscmp(fd.cFileName, L"..") == 0) continue;
      std::wstring p = folder + L"\\" + fd.cFileName;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(p);
      else
        DeleteFileW(p.c_str());
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(folder.c_str());
}

bool ProcessAlive(DWORD pid) {
  HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!h) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  bool alive = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
  CloseHandle(h);
  return alive;
}

void IoFail(const wchar_t* what) {
  throw EEditorError(std::wstring(what) + L": " + std::to_wstring(GetLastError()));
}

} // namespace

// ---------------------------------------------------------------------------
// SourceFile

namespace {

std::wstring FullPath(const std::wstring& name) {
  wchar_t buf[MAX_PATH * 2];
  DWORD n = GetFullPathNameW(name.c_str(), DWORD(std::size(buf)), buf, nullptr);
  return n && n < std::size(buf) ? std::wstring(buf, n) : name;
}

bool SameFile(HANDLE a, const std::wstring& name) {
  HANDLE b = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (b == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION ia{}, ib{};
  bool same = GetFileInformationByHandle(a, &ia) && GetFileInformationByHandle(b, &ib) &&
              ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
              ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
  CloseHandle(b);
  return same;
}

bool ReadAt(HANDLE h, int64_t offset, void* out, DWORD bytes, DWORD& got) {
  LARGE_INTEGER pos;
  pos.QuadPart = offset;
  got = 0;
  return SetFilePointerEx(h, pos, nullptr, FILE_BEGIN) &&
         (bytes == 0 || ReadFile(h, out, bytes, &got, nullptr));
}

// Little-endian samples to float, scaled as the audio library converts them.
void ToFloat(const uint8_t* in, size_t samples, int bits, bool isFloat, bool signed8, float* out) {
  if (bits == 8 && signed8) {
    for (size_t i = 0; i < samples; ++i)
      out[i] = float(int8_t(in[i])) * (1.0f / 128.0f);
  } else if (isFloat && bits == 32) {
    std::memcpy(out, in, samples * 4);
  } else if (isFloat) {
    for (size_t i = 0; i < samples; ++i) {
      double d;
      std::memcpy(&d, in + i * 8, 8);
      out[i] = float(d);
    }
  } else if (bits == 8) {
    for (size_t i = 0; i < samples; ++i)
      out[i] = float(int(in[i]) - 128) * (1.0f / 128.0f);
  } else if (bits == 16) {
    size_t i = 0;
    const __m128 k = _mm_set1_ps(1.0f / 32768.0f);
    for (; i + 8 <= samples; i += 8) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 2));
      __m128i lo = _mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16);
      __m128i hi = _mm_srai_epi32(_mm_unpackhi_epi16(v, v), 16);
      _mm_storeu_ps(out + i, _mm_mul_ps(_mm_cvtepi32_ps(lo), k));
      _mm_storeu_ps(out + i + 4, _mm_mul_ps(_mm_cvtepi32_ps(hi), k));
    }
    for (; i < samples; ++i)
      out[i] = float(int16_t(uint16_t(in[2 * i] | (in[2 * i + 1] << 8)))) * (1.0f / 32768.0f);
  } else if (bits == 24) {
    for (size_t i = 0; i < samples; ++i) {
      const uint8_t* p = in + i * 3;
      int32_t v = int32_t(uint32_t(p[0]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 24) >> 8;
      out[i] = float(v) * (1.0f / 8388608.0f);
    }
  } else {
    for (size_t i = 0; i < samples; ++i) {
      int32_t v;
      std::memcpy(&v, in + i * 4, 4);
      out[i] = float(v) * (1.0f / 2147483648.0f);
    }
  }
}

} // namespace

size_t CleanNonFinite(float* samples, size_t count) {
  size_t bad = 0;
  for (size_t i = 0; i < count; ++i) {
    uint32_t bits;
    std::memcpy(&bits, samples + i, 4);
    if ((bits & 0x7F800000u) == 0x7F800000u) {
      samples[i] = 0.0f;
      ++bad;
    }
  }
  return bad;
}

void FloatToInt16(const float* in, size_t count, int16_t* out) {
  size_t i = 0;
  const __m128 scale = _mm_set1_ps(32768.0f), lo = _mm_set1_ps(-32768.0f),
               hi = _mm_set1_ps(32767.0f);
  auto convert = [&](__m128 v) {
    v = _mm_and_ps(v, _mm_cmpord_ps(v, v)); // NaN to 0
    v = _mm_min_ps(_mm_max_ps(_mm_mul_ps(v, scale), lo), hi);
    return _mm_cvtps_epi32(v); // the current rounding: to nearest, ties to even
  };
  for (; i + 8 <= count; i += 8) {
    __m128i a = convert(_mm_loadu_ps(in + i)), b = convert(_mm_loadu_ps(in + i + 4));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packs_epi32(a, b));
  }
  for (; i < count; ++i) {
    float v = in[i] == in[i] ? in[i] : 0.0f;
    out[i] = int16_t(std::lrint(std::clamp(v * 32768.0f, -32768.0f, 32767.0f)));
  }
}

SourceFile::SourceFile(const std::wstring& fileName, const PcmLayout& layout)
    : FName(FullPath(fileName)), FLayout(layout) {
  // Readers may share the file; writers and deletion are refused while it is read in place.
  FFile = CreateFileW(FName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (FFile == INVALID_HANDLE_VALUE) IoFail(L"Cannot open the file");
}

SourceFile::~SourceFile() {
  if (FFile != INVALID_HANDLE_VALUE) CloseHandle(FFile);
  if (!FCopy.empty()) DeleteFileW(FCopy.c_str());
}

void SourceFile::Read(int64_t first, int64_t count, float* out) {
  if (count <= 0) return;
  int ch = FLayout.Channels;
  int64_t a = std::clamp<int64_t>(first, 0, FLayout.Frames);
  int64_t z = std::clamp<int64_t>(first + count, 0, FLayout.Frames);
  std::fill(out, out + (a - first) * ch, 0.0f);
  if (z > a) {
    std::lock_guard<std::mutex> g(FLock);
    size_t bytes = size_t(z - a) * size_t(FLayout.FrameBytes());
    FRaw.resize(bytes);
    DWORD got = 0;
    if (!ReadAt(FFile, FLayout.Offset + a * FLayout.FrameBytes(), FRaw.data(), DWORD(bytes), got))
      IoFail(L"Cannot read the sound file");
    // A short read (a truncated file) reads as silence.
    std::memset(FRaw.data() + got, 0, bytes - got);
    size_t samples = size_t(z - a) * size_t(ch);
    if (FLayout.BigEndian && FLayout.Bits > 8) {
      size_t w = size_t(FLayout.Bits / 8);
      for (uint8_t* p = FRaw.data(); p < FRaw.data() + samples * w; p += w)
        std::reverse(p, p + w);
    }
    float* dest = out + (a - first) * ch;
    ToFloat(FRaw.data(), samples, FLayout.Bits, FLayout.Float, FLayout.Signed8, dest);
    // NaN and infinity would poison every effect that measures the sound.
    if (FLayout.Float) {
      size_t bad = CleanNonFinite(dest, samples);
      if (bad) FNonFinite += int64_t(bad);
    }
  }
  int64_t done = std::max(a, z) - first;
  std::fill(out + done * ch, out + count * ch, 0.0f);
}

bool SourceFile::Refers(const std::wstring& fileName) const {
  std::lock_guard<std::mutex> g(FLock);
  if (!FCopy.empty()) return false;
  std::wstring other = FullPath(fileName);
  return CompareStringOrdinal(FName.c_str(), int(FName.size()), other.c_str(), int(other.size()),
                              TRUE) == CSTR_EQUAL ||
         SameFile(FFile, other);
}

void SourceFile::Preserve(const std::wstring& copyName) {
  std::lock_guard<std::mutex> g(FLock);
  if (!FCopy.empty()) return;
  HANDLE out = CreateFileW(copyName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (out == INVALID_HANDLE_VALUE) IoFail(L"Cannot create the temporary file");
  // Only the sample data is kept; it starts at offset 0 of the copy.
  int64_t total = FLayout.Frames * FLayout.FrameBytes();
  std::vector<uint8_t> buf(4 << 20);
  for (int64_t pos = 0; pos < total;) {
    DWORD want = DWORD(std::min<int64_t>(int64_t(buf.size()), total - pos)), got = 0, put = 0;
    if (!ReadAt(FFile, FLayout.Offset + pos, buf.data(), want, got)) got = 0;
    if (got < want) std::memset(buf.data() + got, 0, want - got);
    if (!WriteFile(out, buf.data(), want, &put, nullptr) || put != want) {
      CloseHandle(out);
      DeleteFileW(copyName.c_str());
      IoFail(L"Cannot write the temporary file (disk full?)");
    }
    pos += want;
  }
  CloseHandle(FFile);
  FFile = out;
  FCopy = copyName;
  FLayout.Offset = 0;
}

// ---------------------------------------------------------------------------
// BlockStore

BlockStore::BlockStore(const std::wstring& tempDir, size_t unwrittenBlocks)
    : FUnwrittenLimit(unwrittenBlocks) {
  std::wstring base = WithSlash(tempDir.empty() ? SystemTemp() : tempDir);
  CreateDirectoryW(base.c_str(), nullptr);
  static LONG counter = 0;
  LONG n = InterlockedIncrement(&counter);
  FFolder =
      base + kFolderPrefix + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(n);
  if (!CreateDirectoryW(FFolder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    // Fall back to the system's temporary folder when the configured one is unusable.
    base = SystemTemp();
    FFolder =
        base + kFolderPrefix + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(n);
    if (!CreateDirectoryW(FFolder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      throw EEditorError(L"Cannot create the temporary folder " + FFolder);
  }
  FFileName = FFolder + L"\\blocks.dat";
  FFile = CreateFileW(FFileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                      FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (FFile == INVALID_HANDLE_VALUE) {
    RemoveDirectoryW(FFolder.c_str());
    IoFail(L"Cannot create the temporary file");
  }
}

BlockStore::~BlockStore() {
  {
    std::lock_guard<std::mutex> g(FLock);
    FStopPreparing = true;
  }
  for (auto& t : FPreparers)
    t.join();
  if (FFile != INVALID_HANDLE_VALUE) CloseHandle(FFile);
  RemoveTree(FFolder);
}

void BlockStore::RemoveStale(const std::wstring& tempDir) {
  std::wstring base = WithSlash(tempDir.empty() ? SystemTemp() : tempDir);
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((base + kFolderPrefix + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  std::vector<std::wstring> stale;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    std::wstring name = fd.cFileName;
    DWORD pid = wcstoul(name.c_str() + wcslen(kFolderPrefix), nullptr, 10);
    if (pid != GetCurrentProcessId() && !ProcessAlive(pid)) stale.push_back(base + name);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  for (auto& f : stale)
    RemoveTree(f);
}

uint32_t BlockStore::Write(const float* data, size_t count) {
  std::vector<float> copy;
  {
    std::lock_guard<std::mutex> g(FLock);
    copy = TakeSpare();
  }
  copy.assign(data, data + count);
  return Write(std::move(copy));
}

std::vector<float> BlockStore::Spare() {
  std::vector<float> v;
  {
    std::lock_guard<std::mutex> g(FLock);
    v = TakeSpare();
  }
  v.clear();
  if (v.capacity() == 0) {
    {
      // The preparer has not got this far: this block's pages fault in here,
      // alongside its work, and it makes one block fewer.
      std::lock_guard<std::mutex> g(FLock);
      if (FToPrepare > 0) --FToPrepare;
    }
    // Fresh memory for a block: its pages are made present in one call (a
    // range locked and unlocked again) instead of faulting in one by one at
    // their first write, which costs more than the block's own work. Where
    // the system refuses the lock, they fault in as before.
    v.reserve(kBlockBytes / sizeof(float));
    if (VirtualLock(v.data(), kBlockBytes)) VirtualUnlock(v.data(), kBlockBytes);
  }
  return v;
}

void BlockStore::Prepare(size_t blocks) {
  if (blocks < 2) return;
  std::lock_guard<std::mutex> g(FLock);
  if (FStopPreparing) return;
  FToPrepare = std::min(FToPrepare + blocks, SpareLimit());
  if (FPreparing) return;
  for (auto& t : FPreparers)
    t.join(); // finished: each returns at once
  FPreparers.clear();
  // Fresh pages fault in side by side on several threads, one core left to
  // the writer; on a single core there is nothing to overlap.
  DWORD_PTR mine = 0, all = 0;
  int cores = GetProcessAffinityMask(GetCurrentProcess(), &mine, &all)
                  ? std::popcount(uint64_t(mine))
                  : int(std::thread::hardware_concurrency());
  int threads = std::min(cores - 1, kPreparers);
  if (threads < 1) {
    FToPrepare = 0;
    return;
  }
  try {
    for (int i = 0; i < threads; ++i) {
      FPreparers.emplace_back(&BlockStore::PrepareSpares, this);
      ++FPreparing;
    }
  } catch (...) {
    // Fewer threads (or none): the other blocks fault in as they are written.
  }
}

void BlockStore::PrepareSpares() {
  for (;;) {
    {
      std::lock_guard<std::mutex> g(FLock);
      if (FStopPreparing || FToPrepare == 0 ||
          FSpare.size() + FUnwritten.size() + FInPreparation >= SpareLimit()) {
        FToPrepare = 0;
        --FPreparing;
        return;
      }
      --FToPrepare;
      ++FInPreparation;
    }
    std::vector<float> v;
    try {
      v.resize(kBlockBytes / sizeof(float)); // zero-filled: every page present
      v.clear();
    } catch (...) {
    }
    std::lock_guard<std::mutex> g(FLock);
    --FInPreparation;
    if (v.capacity() == 0) { // out of memory: the writer allocates as it goes
      FToPrepare = 0;
      --FPreparing;
      return;
    }
    FSpare.push_back(std::move(v));
  }
}

uint32_t BlockStore::Write(std::vector<float>&& owned) {
  if (owned.size() * sizeof(float) > kBlockBytes) throw EEditorError(L"Block too large");
  std::lock_guard<std::mutex> g(FLock);
  uint32_t slot;
  if (!FFree.empty()) {
    slot = FFree.back();
    FFree.pop_back();
  } else {
    slot = FSlotCount++;
  }
  // The block stays in memory, unwritten, until it leaves the cache: a block
  // released before (an undone or replaced result) never reaches the file.
  auto data = std::make_shared<std::vector<float>>(std::move(owned));
  try {
    Touch(slot, data, true);
  } catch (...) {
    Drop(slot);
    FFree.push_back(slot);
    owned = std::move(*data);
    throw;
  }
  return slot;
}

void BlockStore::WriteSlot(uint32_t slot, const std::vector<float>& data) {
  LARGE_INTEGER pos;
  pos.QuadPart = int64_t(slot) * int64_t(kBlockBytes);
  DWORD written = 0;
  DWORD bytes = DWORD(data.size() * sizeof(float));
  if (!SetFilePointerEx(FFile, pos, nullptr, FILE_BEGIN) ||
      (bytes && (!WriteFile(FFile, data.data(), bytes, &written, nullptr) || written != bytes)))
    IoFail(L"Cannot write the temporary file (disk full?)");
}

void BlockStore::Touch(uint64_t key, std::shared_ptr<const std::vector<float>> data,
                       bool unwritten) {
  Drop(key);
  FCache.emplace_front(key, std::move(data));
  if (unwritten) FUnwritten.insert(key);
  // The oldest entries leave: read copies beyond the cache's size, unwritten
  // blocks beyond their limit (written to the file as they leave).
  size_t read = FCache.size() - FUnwritten.size();
  for (auto it = FCache.end();
       it != FCache.begin() && (read > kCacheBlocks || FUnwritten.size() > FUnwrittenLimit);) {
    --it;
    if (FUnwritten.count(it->first)) {
      if (FUnwritten.size() <= FUnwrittenLimit) continue;
      WriteSlot(uint32_t(it->first), *it->second); // on failure the block stays in memory
      FUnwritten.erase(it->first);
    } else {
      if (read <= kCacheBlocks) continue;
      --read;
    }
    Recycle(std::move(it->second));
    it = FCache.erase(it);
  }
}

void BlockStore::Drop(uint64_t key) {
  for (auto it = FCache.begin(); it != FCache.end(); ++it)
    if (it->first == key) {
      FUnwritten.erase(key);
      Recycle(std::move(it->second));
      FCache.erase(it);
      break;
    }
}

void BlockStore::Recycle(std::shared_ptr<const std::vector<float>>&& data) {
  // Only a buffer nobody else holds; it was created non-const by this store or a block.
  // Spare and unwritten buffers together stay within the unwritten limit: a
  // released result's memory takes the next one without fresh pages.
  if (data && data.use_count() == 1 && FSpare.size() + FUnwritten.size() < SpareLimit() &&
      data->capacity() >= 4096)
    FSpare.push_back(std::move(const_cast<std::vector<float>&>(*data)));
  data.reset();
}

std::vector<float> BlockStore::TakeSpare() {
  std::vector<float> v;
  if (!FSpare.empty()) {
    v = std::move(FSpare.back());
    FSpare.pop_back();
  }
  return v;
}

std::shared_ptr<std::vector<float>> BlockStore::Buffer(size_t count) {
  std::vector<float> v;
  {
    std::lock_guard<std::mutex> g(FLock);
    v = TakeSpare();
  }
  v.resize(count);
  return std::make_shared<std::vector<float>>(std::move(v));
}

uint64_t BlockStore::NewKey() {
  std::lock_guard<std::mutex> g(FLock);
  return FNextKey++;
}

bool BlockStore::CacheFind(uint64_t key, std::shared_ptr<const std::vector<float>>& data) {
  std::lock_guard<std::mutex> g(FLock);
  for (auto it = FCache.begin(); it != FCache.end(); ++it)
    if (it->first == key) {
      data = it->second;
      if (it != FCache.begin()) FCache.splice(FCache.begin(), FCache, it);
      return true;
    }
  return false;
}

void BlockStore::CachePut(uint64_t key, std::shared_ptr<const std::vector<float>> data) {
  std::lock_guard<std::mutex> g(FLock);
  Touch(key, std::move(data));
}

void BlockStore::CacheDrop(uint64_t key) {
  std::lock_guard<std::mutex> g(FLock);
  Drop(key);
}

std::shared_ptr<SourceFile> BlockStore::OpenSource(const std::wstring& fileName,
                                                   const PcmLayout& layout) {
  auto src = std::make_shared<SourceFile>(fileName, layout);
  std::lock_guard<std::mutex> g(FLock);
  std::erase_if(FSources, [](const std::weak_ptr<SourceFile>& w) { return w.expired(); });
  FSources.push_back(src);
  return src;
}

void BlockStore::PreserveSource(const std::wstring& fileName) {
  std::vector<std::shared_ptr<SourceFile>> live;
  {
    std::lock_guard<std::mutex> g(FLock);
    for (auto& w : FSources)
      if (auto s = w.lock()) live.push_back(s);
  }
  for (auto& s : live)
    if (s->Refers(fileName)) {
      uint32_t n;
      {
        std::lock_guard<std::mutex> g(FLock);
        n = ++FCopies;
      }
      s->Preserve(FFolder + L"\\source" + std::to_wstring(n) + L".dat");
    }
}

size_t BlockStore::SourcesInUse() {
  std::lock_guard<std::mutex> g(FLock);
  std::erase_if(FSources, [](const std::weak_ptr<SourceFile>& w) { return w.expired(); });
  return FSources.size();
}

std::shared_ptr<const std::vector<float>> BlockStore::Read(uint32_t slot, size_t count) {
  std::lock_guard<std::mutex> g(FLock);
  for (auto it = FCache.begin(); it != FCache.end(); ++it)
    if (it->first == slot) {
      auto data = it->second;
      if (it != FCache.begin()) FCache.splice(FCache.begin(), FCache, it);
      return data;
    }
  auto v = std::make_shared<std::vector<float>>(TakeSpare());
  v->resize(count);
  LARGE_INTEGER pos;
  pos.QuadPart = int64_t(slot) * int64_t(kBlockBytes);
  DWORD got = 0;
  DWORD bytes = DWORD(count * sizeof(float));
  if (!SetFilePointerEx(FFile, pos, nullptr, FILE_BEGIN) ||
      (bytes && (!ReadFile(FFile, v->data(), bytes, &got, nullptr) || got != bytes)))
    IoFail(L"Cannot read the temporary file");
  std::shared_ptr<const std::vector<float>> c = v;
  Touch(slot, c);
  return c;
}

void BlockStore::ReadPart(uint32_t slot, size_t offset, size_t count, float* out) {
  std::lock_guard<std::mutex> g(FLock);
  for (auto& [cached, data] : FCache)
    if (cached == slot) {
      std::memcpy(out, data->data() + offset, count * sizeof(float));
      return;
    }
  LARGE_INTEGER pos;
  pos.QuadPart = int64_t(slot) * int64_t(kBlockBytes) + int64_t(offset * sizeof(float));
  DWORD got = 0;
  DWORD bytes = DWORD(count * sizeof(float));
  if (!SetFilePointerEx(FFile, pos, nullptr, FILE_BEGIN) ||
      (bytes && (!ReadFile(FFile, out, bytes, &got, nullptr) || got != bytes)))
    IoFail(L"Cannot read the temporary file");
}

void BlockStore::Release(uint32_t slot) {
  std::lock_guard<std::mutex> g(FLock);
  Drop(slot);
  FFree.push_back(slot);
}

size_t BlockStore::SparesReady() const {
  std::lock_guard<std::mutex> g(FLock);
  return FSpare.size();
}

size_t BlockStore::SlotsInUse() const {
  std::lock_guard<std::mutex> g(FLock);
  return FSlotCount - FFree.size();
}

// ---------------------------------------------------------------------------
// Block

Block::Block(std::shared_ptr<BlockStore> store, const float* data, int64_t frames, int channels)
    : FStore(std::move(store)), FFrames(frames), FChannels(channels) {
  FSlot = FStore->Write(data, size_t(frames * channels));
  Summarize(data);
}

Block::Block(std::shared_ptr<BlockStore> store, std::vector<float>&& data, int channels)
    : FStore(std::move(store)), FFrames(int64_t(data.size()) / std::max(1, channels)),
      FChannels(channels) {
  Summarize(data.data());
  FSlot = FStore->Write(std::move(data));
}

Block::Block(std::shared_ptr<BlockStore> store, std::shared_ptr<SourceFile> source, int64_t first,
             const float* data, int64_t frames)
    : FStore(std::move(store)), FSource(std::move(source)), FFirst(first), FFrames(frames),
      FChannels(FSource->Layout().Channels) {
  FKey = FStore->NewKey();
  Summarize(data);
}

void Block::Summarize(const float* data) {
  const int channels = FChannels;
  const int64_t frames = FFrames;
  int64_t fine = (frames + kFineFrames - 1) / kFineFrames;
  FFine.resize(size_t(fine * channels));
  FSums.resize(size_t(fine * channels));
  for (int64_t e = 0; e < fine; ++e) {
    int64_t a = e * kFineFrames, b = std::min(frames, a + kFineFrames);
    const float* p = data + a * channels;
    size_t count = size_t((b - a) * channels);
    if ((channels == 1 || channels == 2) && count % 8 == 0) {
      // Four lanes at a time: for stereo the lanes alternate left and right.
      __m128 mn = _mm_loadu_ps(p), mx = mn, s0 = _mm_setzero_ps(), s1 = s0;
      // Sums in double, two lanes per vector: for stereo left then right.
      __m128d t0 = _mm_setzero_pd(), t1 = t0;
      for (size_t i = 0; i < count; i += 8) {
        __m128 v = _mm_loadu_ps(p + i), w = _mm_loadu_ps(p + i + 4);
        mn = _mm_min_ps(mn, _mm_min_ps(v, w));
        mx = _mm_max_ps(mx, _mm_max_ps(v, w));
        s0 = _mm_add_ps(s0, _mm_mul_ps(v, v));
        s1 = _mm_add_ps(s1, _mm_mul_ps(w, w));
        t0 = _mm_add_pd(t0, _mm_add_pd(_mm_cvtps_pd(v), _mm_cvtps_pd(_mm_movehl_ps(v, v))));
        t1 = _mm_add_pd(t1, _mm_add_pd(_mm_cvtps_pd(w), _mm_cvtps_pd(_mm_movehl_ps(w, w))));
      }
      float lo[4], hi[4], sq[4];
      double sum[2];
      _mm_storeu_ps(lo, mn);
      _mm_storeu_ps(hi, mx);
      _mm_storeu_ps(sq, _mm_add_ps(s0, s1));
      _mm_storeu_pd(sum, _mm_add_pd(t0, t1));
      double n = double(b - a);
      if (channels == 1) {
        FSums[size_t(e)] = sum[0] + sum[1];
        FFine[size_t(e)] = {std::min(std::min(lo[0], lo[1]), std::min(lo[2], lo[3])),
                            std::max(std::max(hi[0], hi[1]), std::max(hi[2], hi[3])),
                            float(std::sqrt((double(sq[0]) + sq[1] + sq[2] + sq[3]) / n))};
      } else {
        for (int c = 0; c < 2; ++c) {
          FFine[size_t(e * 2 + c)] = {std::min(lo[c], lo[c + 2]), std::max(hi[c], hi[c + 2]),
                                      float(std::sqrt((double(sq[c]) + sq[c + 2]) / n))};
          FSums[size_t(e * 2 + c)] = sum[c];
        }
      }
      continue;
    }
    for (int c = 0; c < channels; ++c) {
      float mn = data[a * channels + c], mx = mn;
      double sq = 0, sum = 0;
      for (int64_t f = a; f < b; ++f) {
        float v = data[f * channels + c];
        mn = std::min(mn, v);
        mx = std::max(mx, v);
        sq += double(v) * v;
        sum += v;
      }
      FFine[size_t(e * channels + c)] = {mn, mx, float(std::sqrt(sq / double(b - a)))};
      FSums[size_t(e * channels + c)] = sum;
    }
  }
  SummarizeCoarse();
}

void Block::SummarizeCoarse() {
  const int channels = FChannels;
  const int64_t fine = int64_t(FFine.size()) / channels;
  constexpr int64_t per = kCoarseFrames / kFineFrames;
  int64_t coarse = (fine + per - 1) / per;
  FCoarse.resize(size_t(coarse * channels));
  for (int64_t e = 0; e < coarse; ++e)
    for (int c = 0; c < channels; ++c) {
      int64_t a = e * per, b = std::min(fine, a + per);
      Peak p = FFine[size_t(a * channels + c)];
      double sq = 0;
      for (int64_t f = a; f < b; ++f) {
        const Peak& q = FFine[size_t(f * channels + c)];
        p.Min = std::min(p.Min, q.Min);
        p.Max = std::max(p.Max, q.Max);
        sq += double(q.Rms) * q.Rms;
      }
      p.Rms = float(std::sqrt(sq / double(b - a)));
      FCoarse[size_t(e * channels + c)] = p;
    }
}

Block::Block(BlockPtr reversed)
    : FStore(reversed->FStore), FReversed(std::move(reversed)), FFrames(FReversed->FFrames),
      FChannels(FReversed->FChannels) {
  FKey = FStore->NewKey();
  // Whole fine entries hold the same frames backwards: their minimum,
  // maximum, RMS and sum stay; the coarse entries are gathered again.
  const int64_t entries = int64_t(FReversed->FFine.size()) / FChannels;
  FFine.resize(FReversed->FFine.size());
  FSums.resize(FReversed->FSums.size());
  for (int64_t e = 0; e < entries; ++e)
    for (int c = 0; c < FChannels; ++c) {
      size_t to = size_t(e * FChannels + c), from = size_t((entries - 1 - e) * FChannels + c);
      FFine[to] = FReversed->FFine[from];
      FSums[to] = FReversed->FSums[from];
    }
  SummarizeCoarse();
}

BlockPtr Block::Reversed(const BlockPtr& b) {
  if (b->FReversed) return b->FReversed;
  if (!CanReverse(*b)) throw EEditorError(L"A block of partial summary entries cannot be reversed");
  return BlockPtr(new Block(b));
}

Block::~Block() {
  if (FSource || FReversed)
    FStore->CacheDrop(FKey);
  else
    FStore->Release(FSlot);
}

std::shared_ptr<const std::vector<float>> Block::Data() const {
  if (FReversed) {
    std::shared_ptr<const std::vector<float>> d;
    if (FStore->CacheFind(FKey, d)) return d;
    auto from = FReversed->Data();
    auto v = FStore->Buffer(size_t(FFrames * FChannels));
    ReverseFrames(from->data(), FFrames, FChannels, v->data());
    d = v;
    FStore->CachePut(FKey, d);
    return d;
  }
  if (!FSource) return FStore->Read(FSlot, size_t(FFrames * FChannels));
  std::shared_ptr<const std::vector<float>> d;
  if (FStore->CacheFind(FKey, d)) return d;
  auto v = FStore->Buffer(size_t(FFrames * FChannels));
  FSource->Read(FFirst, FFrames, v->data());
  d = v;
  FStore->CachePut(FKey, d);
  return d;
}

void Block::ReadPart(int64_t first, int64_t count, float* out) const {
  if (FReversed) {
    std::shared_ptr<const std::vector<float>> d;
    if (FStore->CacheFind(FKey, d)) {
      std::memcpy(out, d->data() + first * FChannels, size_t(count * FChannels) * sizeof(float));
      return;
    }
    FReversed->ReadPart(FFrames - first - count, count, out);
    ReverseFrames(out, count, FChannels);
    return;
  }
  if (!FSource) {
    FStore->ReadPart(FSlot, size_t(first * FChannels), size_t(count * FChannels), out);
    return;
  }
  std::shared_ptr<const std::vector<float>> d;
  if (FStore->CacheFind(FKey, d))
    std::memcpy(out, d->data() + first * FChannels, size_t(count * FChannels) * sizeof(float));
  else
    FSource->Read(FFirst + first, count, out);
}

void ReverseFrames(const float* in, int64_t frames, int channels, float* out) {
  int64_t f = 0;
  if (channels == 2) {
    // Two frames at a time: the vector from the far end with its halves swapped.
    for (; f + 2 <= frames; f += 2) {
      __m128 v = _mm_loadu_ps(in + (frames - 2 - f) * 2);
      _mm_storeu_ps(out + f * 2, _mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 0, 3, 2)));
    }
  } else if (channels == 1) {
    for (; f + 4 <= frames; f += 4) {
      __m128 v = _mm_loadu_ps(in + (frames - 4 - f));
      _mm_storeu_ps(out + f, _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3)));
    }
  }
  for (; f < frames; ++f)
    for (int c = 0; c < channels; ++c)
      out[f * channels + c] = in[(frames - 1 - f) * channels + c];
}

void ReverseFrames(float* data, int64_t frames, int channels) {
  for (int64_t i = 0, j = frames - 1; i < j; ++i, --j)
    for (int c = 0; c < channels; ++c)
      std::swap(data[i * channels + c], data[j * channels + c]);
}

SequencePtr ReferenceSource(const std::shared_ptr<BlockStore>& store,
                            const std::shared_ptr<SourceFile>& source, const ProgressFn& progress) {
  auto seq = std::make_shared<Sequence>();
  const PcmLayout& l = source->Layout();
  int64_t per = int64_t(kBlockBytes / sizeof(float)) / l.Channels;
  std::vector<float> buf(size_t(per * l.Channels));
  int last = -1;
  for (int64_t pos = 0; pos < l.Frames; pos += per) {
    int64_t n = std::min(per, l.Frames - pos);
    source->Read(pos, n, buf.data());
    seq->Append(std::make_shared<Block>(store, source, pos, buf.data(), n));
    int pct = int(std::min<int64_t>(99, (pos + n) * 100 / l.Frames));
    if (progress && pct != last) progress(last = pct);
  }
  return seq;
}

// ---------------------------------------------------------------------------
// Sequence

size_t Sequence::Find(int64_t frame) const {
  auto it = std::upper_bound(FStarts.begin(), FStarts.end(), frame);
  size_t i = size_t(it - FStarts.begin());
  return i == 0 ? 0 : std::min(i - 1, FBlocks.size() - 1);
}

void Sequence::Append(BlockPtr b) {
  if (!b || b->Frames() == 0) return;
  FStarts.push_back(FStarts.back() + b->Frames());
  FBlocks.push_back(std::move(b));
}

SequenceBuilder::SequenceBuilder(std::shared_ptr<BlockStore> store, int channels)
    : FStore(std::move(store)), FChannels(std::max(1, channels)),
      FBlockFrames(int64_t(kBlockBytes / sizeof(float)) / FChannels),
      FSeq(std::make_shared<Sequence>()) {}

void SequenceBuilder::Append(const float* frames, int64_t count) {
  while (count > 0) {
    int64_t have = int64_t(FPending.size()) / FChannels;
    int64_t take = std::min(count, FBlockFrames - have);
    FPending.insert(FPending.end(), frames, frames + take * FChannels);
    frames += take * FChannels;
    count -= take;
    if (have + take == FBlockFrames) Flush();
  }
}

void SequenceBuilder::Expect(int64_t frames) {
  if (frames > 0) FStore->Prepare(size_t((frames + FBlockFrames - 1) / FBlockFrames));
}

void SequenceBuilder::AppendSilence(int64_t count) {
  std::vector<float> zero(size_t(std::min<int64_t>(count, FBlockFrames) * FChannels), 0.0f);
  while (count > 0) {
    int64_t n = std::min<int64_t>(count, FBlockFrames);
    Append(zero.data(), n);
    count -= n;
  }
}

void SequenceBuilder::Flush() {
  if (FPending.empty()) return;
  // A full block's samples become the cached copy; the next block is
  // gathered in a recycled buffer.
  if (int64_t(FPending.size()) / FChannels == FBlockFrames) {
    FSeq->Append(std::make_shared<Block>(FStore, std::move(FPending), FChannels));
    FPending = FStore->Spare();
    FPending.reserve(size_t(FBlockFrames * FChannels));
    return;
  }
  FSeq->Append(std::make_shared<Block>(FStore, FPending.data(),
                                       int64_t(FPending.size()) / FChannels, FChannels));
  FPending.clear();
}

void SequenceBuilder::AppendBlock(const BlockPtr& b) {
  // A small pending remainder is merged with small blocks instead of
  // leaving a run of tiny blocks behind.
  if (!FPending.empty() && int64_t(FPending.size()) / FChannels + b->Frames() <= FBlockFrames) {
    auto d = b->Data();
    Append(d->data(), b->Frames());
    return;
  }
  Flush();
  FSeq->Append(b);
}

void SequenceBuilder::AppendRange(const Sequence& src, int64_t start, int64_t end) {
  start = std::max<int64_t>(0, start);
  end = std::min(end, src.Length());
  if (end <= start) return;
  for (size_t i = src.Find(start); i < src.Count() && src.StartOf(i) < end; ++i) {
    const BlockPtr& b = src.BlockAt(i);
    int64_t bs = src.StartOf(i), be = bs + b->Frames();
    int64_t a = std::max(start, bs), z = std::min(end, be);
    if (b->Channels() != FChannels) {
      // Mono to stereo duplicates, stereo to mono averages.
      auto d = b->Data();
      int bc = b->Channels();
      std::vector<float> conv(size_t((z - a) * FChannels));
      for (int64_t f = a; f < z; ++f) {
        const float* in = d->data() + (f - bs) * bc;
        float* o = conv.data() + (f - a) * FChannels;
        if (FChannels == 1)
          o[0] = 0.5f * (in[0] + in[bc - 1]);
        else
          for (int c = 0; c < FChannels; ++c)
            o[c] = in[std::min(c, bc - 1)];
      }
      Append(conv.data(), z - a);
    } else if (a == bs && z == be) {
      AppendBlock(b);
    } else {
      auto d = b->Data();
      Append(d->data() + (a - bs) * FChannels, z - a);
    }
  }
}

SequencePtr SequenceBuilder::Finish() {
  Flush();
  SequencePtr s = FSeq;
  FSeq = std::make_shared<Sequence>();
  return s;
}

// ---------------------------------------------------------------------------
// Reading

void ReadFrames(const Sequence& seq, int channels, int64_t start, int64_t count, float* out,
                bool pass) {
  if (count <= 0) return;
  int64_t len = seq.Length();
  int64_t pos = start;
  float* o = out;
  if (pos < 0) {
    int64_t z = std::min(count, -pos);
    std::fill(o, o + z * channels, 0.0f);
    o += z * channels;
    pos += z;
    count -= z;
  }
  while (count > 0 && pos < len) {
    size_t i = seq.Find(pos);
    const BlockPtr& b = seq.BlockAt(i);
    int64_t off = pos - seq.StartOf(i);
    int64_t n = std::min(count, b->Frames() - off);
    if (pass || size_t(n * channels) * sizeof(float) <= kBlockBytes / 16) {
      // A small piece (a spectrum window, a play block) is read by itself
      // rather than loading and caching the whole block.
      b->ReadPart(off, n, o);
    } else {
      auto d = b->Data();
      std::memcpy(o, d->data() + off * channels, size_t(n * channels) * sizeof(float));
    }
    o += n * channels;
    pos += n;
    count -= n;
  }
  if (count > 0) std::fill(o, o + count * channels, 0.0f);
}

void ReadPeaks(const Sequence& seq, int channels, int channel, double start, double end,
               int columns, std::vector<Peak>& out) {
  out.assign(size_t(std::max(columns, 0)), Peak{});
  if (columns <= 0 || end <= start || channel < 0 || channel >= channels) return;
  int64_t len = seq.Length();
  double per = (end - start) / columns;
  if (per < kFineFrames) {
    // Close zoom: read the samples themselves.
    int64_t a = std::max<int64_t>(0, int64_t(std::floor(start)));
    int64_t b = std::min<int64_t>(len, int64_t(std::ceil(end)) + 1);
    if (b <= a) return;
    std::vector<float> buf(size_t((b - a) * channels));
    ReadFrames(seq, channels, a, b - a, buf.data());
    for (int x = 0; x < columns; ++x) {
      int64_t ca = std::max(a, int64_t(std::floor(start + per * x)));
      int64_t cb = std::min(b, std::max(ca + 1, int64_t(std::floor(start + per * (x + 1)))));
      if (ca >= cb) continue;
      Peak p{buf[size_t((ca - a) * channels + channel)], buf[size_t((ca - a) * channels + channel)],
             0};
      double sq = 0;
      for (int64_t f = ca; f < cb; ++f) {
        float v = buf[size_t((f - a) * channels + channel)];
        p.Min = std::min(p.Min, v);
        p.Max = std::max(p.Max, v);
        sq += double(v) * v;
      }
      p.Rms = float(std::sqrt(sq / double(cb - ca)));
      out[size_t(x)] = p;
    }
    return;
  }
  bool coarse = per >= 4.0 * kCoarseFrames;
  int64_t unit = coarse ? kCoarseFrames : kFineFrames;
  for (int x = 0; x < columns; ++x) {
    int64_t ca = std::max<int64_t>(0, int64_t(std::floor(start + per * x)));
    int64_t cb = std::min<int64_t>(len, int64_t(std::floor(start + per * (x + 1))));
    if (ca >= cb) continue;
    bool first = true;
    double sq = 0, n = 0;
    Peak p;
    for (size_t i = seq.Find(ca); i < seq.Count() && seq.StartOf(i) < cb; ++i) {
      const Block& b = *seq.BlockAt(i);
      const auto& sum = coarse ? b.Coarse() : b.Fine();
      int64_t bs = seq.StartOf(i);
      int64_t ea = std::max<int64_t>(0, (ca - bs) / unit);
      int64_t eb = std::min<int64_t>(int64_t(sum.size()) / channels, (cb - bs + unit - 1) / unit);
      for (int64_t e = ea; e < eb; ++e) {
        const Peak& q = sum[size_t(e * channels + channel)];
        if (first) {
          p = q;
          first = false;
        }
        p.Min = std::min(p.Min, q.Min);
        p.Max = std::max(p.Max, q.Max);
        sq += double(q.Rms) * q.Rms;
        n += 1;
      }
    }
    if (!first) {
      p.Rms = float(std::sqrt(sq / n));
      out[size_t(x)] = p;
    }
  }
}

// ---------------------------------------------------------------------------
// Document

Document::Document(std::shared_ptr<BlockStore> store, int sampleRate, int channels)
    : FStore(std::move(store)) {
  FCurrent.Seq = std::make_shared<Sequence>();
  FCurrent.SampleRate = std::max(1, sampleRate);
  FCurrent.Channels = std::clamp(channels, 1, 2);
}

void Document::Read(int64_t start, int64_t count, float* out) const {
  ReadFrames(*FCurrent.Seq, FCurrent.Channels, start, count, out);
}

void Document::ReadPass(int64_t start, int64_t count, float* out) const {
  ReadFrames(*FCurrent.Seq, FCurrent.Channels, start, count, out, true);
}

void Document::Commit(State next) {
  if (FGroupLevel == 0) {
    FUndo.push_back(FCurrent);
    if (FDepth <= 0) FUndo.clear();
    while (int(FUndo.size()) > FDepth)
      FUndo.erase(FUndo.begin());
  }
  FRedo.clear();
  FCurrent = std::move(next);
}

void Document::Reset(State next) {
  FCurrent = std::move(next);
}

bool Document::Undo() {
  if (FUndo.empty() || FGroupLevel > 0) return false;
  FRedo.push_back(FCurrent);
  FCurrent = FUndo.back();
  FUndo.pop_back();
  return true;
}

bool Document::Redo() {
  if (FRedo.empty() || FGroupLevel > 0) return false;
  FUndo.push_back(FCurrent);
  FCurrent = FRedo.back();
  FRedo.pop_back();
  return true;
}

void Document::SetUndoDepth(int depth) {
  FDepth = std::clamp(depth, 0, 1000);
  while (int(FUndo.size()) > FDepth)
    FUndo.erase(FUndo.begin());
  while (int(FRedo.size()) > FDepth)
    FRedo.erase(FRedo.begin());
}

void Document::ClearHistory() {
  FUndo.clear();
  FRedo.clear();
}

void Document::BeginGroup() {
  if (FGroupLevel++ == 0) FGroupStart = FCurrent;
}

void Document::EndGroup() {
  if (FGroupLevel == 0 || --FGroupLevel > 0) return;
  if (FCurrent.Seq != FGroupStart.Seq || FCurrent.SampleRate != FGroupStart.SampleRate ||
      FCurrent.Channels != FGroupStart.Channels) {
    FUndo.push_back(FGroupStart);
    while (int(FUndo.size()) > std::max(FDepth, 0))
      FUndo.erase(FUndo.begin());
  }
  FGroupStart = State{};
}

void Document::AbortGroup() {
  if (FGroupLevel == 0) return;
  FGroupLevel = 0;
  FCurrent = FGroupStart;
  FGroupStart = State{};
}

int64_t Document::Clamp(int64_t v) const {
  return std::clamp<int64_t>(v, 0, Length());
}

SequencePtr Document::Extract(int64_t start, int64_t end) const {
  start = Clamp(start);
  end = Clamp(end);
  if (end < start) std::swap(start, end);
  SequenceBuilder b(FStore, Channels());
  b.AppendRange(Seq(), start, end);
  return b.Finish();
}

void Document::Replace(int64_t start, int64_t end, const Sequence& what) {
  start = Clamp(start);
  end = Clamp(end);
  if (end < start) std::swap(start, end);
  SequenceBuilder b(FStore, Channels());
  b.AppendRange(Seq(), 0, start);
  b.AppendRange(what, 0, what.Length());
  b.AppendRange(Seq(), end, Length());
  State next = FCurrent;
  next.Seq = b.Finish();
  Commit(std::move(next));
}

void Document::Delete(int64_t start, int64_t end) {
  Replace(start, end, Sequence());
}

void Document::Insert(int64_t at, const Sequence& what) {
  Replace(at, at, what);
}

void Document::Crop(int64_t start, int64_t end) {
  start = Clamp(start);
  end = Clamp(end);
  if (end < start) std::swap(start, end);
  State next = FCurrent;
  next.Seq = Extract(start, end);
  Commit(std::move(next));
}

} // namespace audioedit
