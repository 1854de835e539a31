// Storage of an edited sound: 32-bit float samples in immutable blocks kept in
// a temporary file, each block with min/max/RMS summaries; a document is a
// list of shared blocks, so an edit builds a new list and undo swaps lists.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <windows.h>

#include "audio/AudioError.h"

namespace audioedit {

// Raised by the editing engine for every failure it reports to its caller.
class EEditorError : public EAudioError {
public:
  using EAudioError::EAudioError;
};

// Frames summarised by one fine and one coarse summary entry.
constexpr int64_t kFineFrames = 256;
constexpr int64_t kCoarseFrames = 65536;
// Bytes of sample data per block (one slot of the block file).
constexpr size_t kBlockBytes = 1 << 20;
// Blocks a store keeps in memory before writing the oldest to its file
// (256 MB: ten minutes of 44.1 kHz stereo).
constexpr size_t kUnwrittenBlocks = 256;
// Threads at most that make a store's fresh block memory ready (BlockStore::Prepare).
constexpr int kPreparers = 4;

struct Peak {
  float Min = 0, Max = 0, Rms = 0;
};

// Progress in percent (0..100) of a long operation.
using ProgressFn = std::function<void(int)>;

// Where the samples of an uncompressed file lie: integers of 8 (unsigned
// unless Signed8), 16, 24 or 32 bits, or floats of 32 or 64 bits,
// interleaved, little-endian unless BigEndian.
struct PcmLayout {
  int64_t Offset = 0; // first byte of the sample data
  int64_t Frames = 0;
  int Channels = 1;
  int Bits = 16;
  bool Float = false;
  bool BigEndian = false;
  bool Signed8 = false;
  int64_t FrameBytes() const { return int64_t(Channels) * Bits / 8; }
};

// An uncompressed sound file whose samples blocks read in place, converted
// to float on read. It is held open against writers and deletion; Preserve
// moves the data into the temporary folder before the file is overwritten.
class SourceFile {
public:
  SourceFile(const std::wstring& fileName, const PcmLayout& layout);
  ~SourceFile();
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  const PcmLayout& Layout() const { return FLayout; }
  // Frames [first, first + count) interleaved into out.
  void Read(int64_t first, int64_t count, float* out);
  // True when fileName names the file read from (not a preserved copy).
  bool Refers(const std::wstring& fileName) const;
  // Copies the file into folder and reads the copy from then on.
  void Preserve(const std::wstring& folder);
  // Float samples that were NaN or infinite, read as 0, over all reads so far.
  int64_t NonFinite() const { return FNonFinite.load(); }

private:
  mutable std::mutex FLock;
  std::wstring FName, FCopy;
  HANDLE FFile = INVALID_HANDLE_VALUE;
  PcmLayout FLayout;
  std::vector<uint8_t> FRaw;
  std::atomic<int64_t> FNonFinite{0};
};

// Sets NaN and infinite samples to 0; returns how many there were.
size_t CleanNonFinite(float* samples, size_t count);
// Float samples to 16 bits: × 32768, rounded to nearest (ties to even),
// clipped to −32768..32767; NaN gives 0.
void FloatToInt16(const float* in, size_t count, int16_t* out);

// A temporary file of fixed-size slots holding block data, with a small
// cache of recently used blocks. New blocks stay in memory, up to
// unwrittenBlocks of them, and reach the file only when they leave it; a
// block released before that is never written. The memory of released
// blocks is kept for new ones, within the same limit. Thread-safe.
class BlockStore {
public:
  // Creates a private folder under tempDir; an empty tempDir means the
  // system's temporary folder.
  explicit BlockStore(const std::wstring& tempDir, size_t unwrittenBlocks = kUnwrittenBlocks);
  ~BlockStore();
  BlockStore(const BlockStore&) = delete;
  BlockStore& operator=(const BlockStore&) = delete;

  uint32_t Write(const float* data, size_t count);
  // The same, keeping `data` itself as the cached copy instead of copying it.
  uint32_t Write(std::vector<float>&& data);
  // An empty vector with the memory of a block that left the cache or one
  // made ready by Prepare, if any.
  std::vector<float> Spare();
  // A writer about to fill `blocks` fresh blocks: that many buffers (within
  // the spare limit) are made ready on a background thread, their pages
  // present, while the writer computes; a fresh page costs more than the
  // block's own work.
  void Prepare(size_t blocks);
  // Buffers ready for new blocks (released or prepared).
  size_t SparesReady() const;
  // Shared read-only copy of a slot's data (count floats).
  std::shared_ptr<const std::vector<float>> Read(uint32_t slot, size_t count);
  // Copies count floats from offset of a slot, from the cache or straight
  // from the file without loading the whole slot.
  void ReadPart(uint32_t slot, size_t offset, size_t count, float* out);
  void Release(uint32_t slot);
  const std::wstring& Folder() const { return FFolder; }
  size_t SlotsInUse() const;

  // A source file read in place by blocks of this store.
  std::shared_ptr<SourceFile> OpenSource(const std::wstring& fileName, const PcmLayout& layout);
  // Before fileName is overwritten: every source reading it is preserved.
  void PreserveSource(const std::wstring& fileName);
  size_t SourcesInUse();
  // Cache of blocks that live outside the slots (keys from NewKey).
  uint64_t NewKey();
  bool CacheFind(uint64_t key, std::shared_ptr<const std::vector<float>>& data);
  void CachePut(uint64_t key, std::shared_ptr<const std::vector<float>> data);
  void CacheDrop(uint64_t key);
  // A buffer of count floats (contents undefined), reusing the memory of
  // blocks that left the cache: fresh large allocations are costly.
  std::shared_ptr<std::vector<float>> Buffer(size_t count);

  // Removes folders left by editors that are no longer running.
  static void RemoveStale(const std::wstring& tempDir);

private:
  void Touch(uint64_t key, std::shared_ptr<const std::vector<float>> data, bool unwritten = false);
  void WriteSlot(uint32_t slot, const std::vector<float>& data);
  void Drop(uint64_t key);
  void Recycle(std::shared_ptr<const std::vector<float>>&& data);
  size_t SpareLimit() const { return std::max<size_t>(4, FUnwrittenLimit); }
  std::vector<float> TakeSpare();
  void PrepareSpares();
  mutable std::mutex FLock;
  std::wstring FFolder, FFileName;
  HANDLE FFile = INVALID_HANDLE_VALUE;
  uint32_t FSlotCount = 0;
  std::vector<uint32_t> FFree;
  std::list<std::pair<uint64_t, std::shared_ptr<const std::vector<float>>>> FCache;
  std::unordered_set<uint64_t> FUnwritten; // cached slots not yet in the file
  size_t FUnwrittenLimit;
  std::vector<std::vector<float>> FSpare;
  size_t FToPrepare = 0, FInPreparation = 0;
  int FPreparing = 0; // preparer threads running
  bool FStopPreparing = false;
  std::vector<std::thread> FPreparers;
  uint64_t FNextKey = uint64_t(1) << 32;
  std::vector<std::weak_ptr<SourceFile>> FSources;
  uint32_t FCopies = 0;
};

class Block;
using BlockPtr = std::shared_ptr<const Block>;

// Frames in reverse order: out[f] = in[frames - 1 - f] (frame-wise; out and
// in do not overlap), or in place.
void ReverseFrames(const float* in, int64_t frames, int channels, float* out);
void ReverseFrames(float* data, int64_t frames, int channels);

// Immutable run of interleaved frames with its summaries.
class Block {
public:
  Block(std::shared_ptr<BlockStore> store, const float* data, int64_t frames, int channels);
  // The same, handing the samples to the store's cache without a copy.
  Block(std::shared_ptr<BlockStore> store, std::vector<float>&& data, int channels);
  // A block reading frames [first, first + frames) of a source file in
  // place; data holds those frames, for the summaries only.
  Block(std::shared_ptr<BlockStore> store, std::shared_ptr<SourceFile> source, int64_t first,
        const float* data, int64_t frames);
  ~Block();
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;

  // A block reading b's frames in reverse order, without a copy; its
  // summaries are b's entries in reverse order. Reversing such a block gives
  // b back. Only for blocks whose frames fill whole fine entries (CanReverse).
  static BlockPtr Reversed(const BlockPtr& b);
  static bool CanReverse(const Block& b) { return b.FFrames % kFineFrames == 0; }

  int64_t Frames() const { return FFrames; }
  int Channels() const { return FChannels; }
  std::shared_ptr<const std::vector<float>> Data() const;
  // Frames [first, first + count) interleaved into out.
  void ReadPart(int64_t first, int64_t count, float* out) const;
  // Summary entries: [entry * channels + channel].
  const std::vector<Peak>& Fine() const { return FFine; }
  const std::vector<Peak>& Coarse() const { return FCoarse; }
  // Sum of the samples of each fine entry, [entry * channels + channel].
  const std::vector<double>& Sums() const { return FSums; }

private:
  explicit Block(BlockPtr reversed);
  void Summarize(const float* data);
  void SummarizeCoarse();
  std::shared_ptr<BlockStore> FStore;
  std::shared_ptr<SourceFile> FSource;
  std::shared_ptr<const Block> FReversed; // the block read backwards
  uint32_t FSlot = 0;
  uint64_t FKey = 0; // cache key of a source block or a reversed one
  int64_t FFirst = 0;
  int64_t FFrames;
  int FChannels;
  std::vector<Peak> FFine, FCoarse;
  std::vector<double> FSums;
};

// An ordered list of blocks.
class Sequence {
public:
  Sequence() { FStarts.push_back(0); }
  int64_t Length() const { return FStarts.back(); }
  size_t Count() const { return FBlocks.size(); }
  const BlockPtr& BlockAt(size_t i) const { return FBlocks[i]; }
  int64_t StartOf(size_t i) const { return FStarts[i]; }
  // Index of the block holding frame (frame < Length()).
  size_t Find(int64_t frame) const;
  void Append(BlockPtr b);

private:
  std::vector<BlockPtr> FBlocks;
  std::vector<int64_t> FStarts;
};

using SequencePtr = std::shared_ptr<const Sequence>;

// Builds a sequence from appended samples and shared blocks.
class SequenceBuilder {
public:
  SequenceBuilder(std::shared_ptr<BlockStore> store, int channels);
  void Append(const float* frames, int64_t count);
  void AppendSilence(int64_t count);
  // About `frames` new frames are to come: their blocks' memory is prepared.
  void Expect(int64_t frames);
  void AppendBlock(const BlockPtr& b);
  // Copies frames [start, end) of src, sharing whole blocks.
  void AppendRange(const Sequence& src, int64_t start, int64_t end);
  int64_t Length() const { return FSeq->Length() + int64_t(FPending.size()) / FChannels; }
  SequencePtr Finish();

private:
  void Flush();
  std::shared_ptr<BlockStore> FStore;
  int FChannels;
  int64_t FBlockFrames;
  std::vector<float> FPending;
  std::shared_ptr<Sequence> FSeq;
};

// A sequence of blocks reading all frames of a source file in place; the
// summaries are computed in one streaming pass.
SequencePtr ReferenceSource(const std::shared_ptr<BlockStore>& store,
                            const std::shared_ptr<SourceFile>& source, const ProgressFn& progress);

// Reads interleaved frames of a sequence; frames outside it read as zero.
// Large reads load and cache the whole blocks they touch; with `pass` (one
// pass through a range, each frame read once) every block is read straight
// into out instead, without a buffer of its own.
void ReadFrames(const Sequence& seq, int channels, int64_t start, int64_t count, float* out,
                bool pass = false);
// Min/max/RMS of one channel for each of `columns` equal parts of [start, end).
void ReadPeaks(const Sequence& seq, int channels, int channel, double start, double end,
               int columns, std::vector<Peak>& out);

// A sound with its history. Positions are 64-bit frame counts.
class Document {
public:
  struct State {
    SequencePtr Seq;
    int SampleRate = 44100;
    int Channels = 2;
  };

  Document(std::shared_ptr<BlockStore> store, int sampleRate, int channels);

  const std::shared_ptr<BlockStore>& Store() const { return FStore; }
  const Sequence& Seq() const { return *FCurrent.Seq; }
  const State& Current() const { return FCurrent; }
  int SampleRate() const { return FCurrent.SampleRate; }
  int Channels() const { return FCurrent.Channels; }
  int64_t Length() const { return FCurrent.Seq->Length(); }
  void Read(int64_t start, int64_t count, float* out) const;
  // The same for one pass through a range (see ReadFrames).
  void ReadPass(int64_t start, int64_t count, float* out) const;

  // Makes a new state current and records the old one for undo.
  void Commit(State next);
  // Replaces the current state without a history step (loading).
  void Reset(State next);
  bool CanUndo() const { return !FUndo.empty(); }
  bool CanRedo() const { return !FRedo.empty(); }
  bool Undo();
  bool Redo();
  void SetUndoDepth(int depth);
  int UndoDepth() const { return FDepth; }
  void ClearHistory();

  // Grouping: steps committed between Begin and End collapse into one.
  void BeginGroup();
  void EndGroup();
  // Undoes everything committed since the outermost BeginGroup and ends it.
  void AbortGroup();
  bool InGroup() const { return FGroupLevel > 0; }

  // Range edits on the current state; each is one history step.
  // Copies [start, end) into a new sequence.
  SequencePtr Extract(int64_t start, int64_t end) const;
  void Delete(int64_t start, int64_t end);
  void Insert(int64_t at, const Sequence& what);
  // Replaces [start, end) by `what` (any length).
  void Replace(int64_t start, int64_t end, const Sequence& what);
  // Keeps only [start, end).
  void Crop(int64_t start, int64_t end);

private:
  int64_t Clamp(int64_t v) const;
  std::shared_ptr<BlockStore> FStore;
  State FCurrent;
  std::vector<State> FUndo, FRedo;
  int FDepth = 100;
  int FGroupLevel = 0;
  size_t FGroupUndoSize = 0;
  State FGroupStart;
};

} // namespace audioedit
