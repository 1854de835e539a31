// File formats of the editing engine: saving a document range in every output
// format (common ones through the shared encoders, the rest through FFmpeg's
// encoders and our own VOX coder), headerless inputs, and file tags.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/EditorDocument.h"
#include "audio/EditorEngine.h"

namespace audioedit {

// Writes frames [start, end) of the document in the given format. The rate
// and channels are moved to the nearest ones the codec can carry.
void SaveDocument(const Document& doc, int64_t start, int64_t end, const OutputFormat& format,
                  const Tags& tags, const std::wstring& fileName, const ProgressFn& progress);

// Rate and channels a format is actually written with.
void EffectiveFormat(const OutputFormat& format, int& rate, int& channels);

// Headerless inputs (.vox, .raw/.pcm, .g726, .g723, .g721), decoded in the
// format that `formats` gives for their extension. Returns null for other
// files.
SequencePtr DecodeHeaderless(const std::shared_ptr<BlockStore>& store, const std::wstring& fileName,
                             int& rate, int& channels, const HeaderlessFormats& formats);

// Whether a file is one of the headerless inputs above.
bool IsHeaderless(const std::wstring& fileName);

// Uncompressed inputs whose samples can be read in place: PCM and float WAV,
// AIFF/AIFC and AU (8, 16, 24, 32 bits; 32, 64-bit float; mono or stereo)
// and .raw/.pcm when `formats` gives uncompressed RAW.
bool ProbePcm(const std::wstring& fileName, PcmLayout& layout, int& rate,
              const HeaderlessFormats& formats = {});
// As above; problem names what makes a recognised header unusable (a
// damaged chunk list, a sample rate outside 1,000..768,000 Hz, samples of
// fewer than 8 bits), empty when the file is merely not read in place.
bool ProbePcm(const std::wstring& fileName, PcmLayout& layout, int& rate, std::wstring& problem,
              const HeaderlessFormats& formats = {});

// Genre names of the tag editor, by index 0..GenreCount() - 1.
int GenreCount();
// Empty for an index out of range.
const wchar_t* GenreName(int index);
// Index of a genre read from a tag: its name (any case) or its number, bare
// or as "(n)"; -1 when unknown.
int GenreIndex(const std::wstring& text);

// Tags of a file as far as FFmpeg reads them (empty when none).
Tags ReadTags(const std::wstring& fileName);

// Dialogic (OKI) 4-bit ADPCM of 12-bit samples, high nibble first; starts
// at prediction 0 and the smallest step, as decoders of the format do.
class VoxCodec {
public:
  uint8_t Encode(int16_t sample); // returns one 4-bit code
  int16_t Decode(uint8_t code);
  void Reset() { FPredicted = 0, FIndex = 0; }

private:
  int FPredicted = 0, FIndex = 0;
};
std::vector<uint8_t> VoxEncode(const std::vector<int16_t>& samples);
std::vector<int16_t> VoxDecode(const std::vector<uint8_t>& bytes);

} // namespace audioedit
