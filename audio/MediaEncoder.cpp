#include "audio/MediaEncoder.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include <lame/lame.h>
#include <vorbis/vorbisenc.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "audio/AudioError.h"

namespace audio {

bool TMediaTags::Empty() const {
  return Title.empty() && Artist.empty() && Album.empty() && Comment.empty() && Copyright.empty() &&
         Composer.empty() && EncodedBy.empty() && Genre.empty() && Year <= 0 && Track <= 0;
}

namespace {

// Tag fields with their names in one format, the empty ones left out.
std::vector<std::pair<const char*, std::wstring>> TagFields(const TMediaTags& t,
                                                            const char* const (&names)[10]) {
  const std::wstring values[10] = {t.Title,
                                   t.Artist,
                                   t.Album,
                                   t.Comment,
                                   t.Copyright,
                                   t.Composer,
                                   t.EncodedBy,
                                   t.Genre,
                                   t.Year > 0 ? std::to_wstring(t.Year) : std::wstring(),
                                   t.Track > 0 ? std::to_wstring(t.Track) : std::wstring()};
  std::vector<std::pair<const char*, std::wstring>> out;
  for (int i = 0; i < 10; ++i)
    if (!values[i].empty() && names[i]) out.emplace_back(names[i], values[i]);
  return out;
}

} // namespace

// ---------------------------------------------------------------------------
// TFileSink

namespace {
std::atomic<int64_t> gSizeLimit{-1};
}

void TFileSink::SetSizeLimitForTesting(int64_t bytes) {
  gSizeLimit = bytes;
}

TFileSink::TFileSink(const std::wstring& fileName) : FFileName(fileName) {
  FHandle = CreateFileW(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (FHandle == INVALID_HANDLE_VALUE)
    RaiseAudioError(L"Cannot create file \"" + fileName + L"\": " +
                    SystemErrorText(GetLastError()));
}

TFileSink::~TFileSink() {
  Close();
}

void TFileSink::Close() {
  if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
  FHandle = INVALID_HANDLE_VALUE;
}

void TFileSink::Seek(int64_t offset) {
  LARGE_INTEGER li;
  li.QuadPart = offset;
  if (!SetFilePointerEx(FHandle, li, nullptr, FILE_BEGIN))
    RaiseAudioError(SystemErrorText(GetLastError()));
  FPosition = offset;
}

void TFileSink::Write(const void* data, size_t size) {
  if (FHandle == INVALID_HANDLE_VALUE) RaiseAudioError(L"The file is closed");
  int64_t start = FPosition;
  int64_t limit = gSizeLimit;
  DWORD error = 0;
  if (limit >= 0 && start + static_cast<int64_t>(size) > limit &&
      start + static_cast<int64_t>(size) > FSize)
    error = ERROR_DISK_FULL;
  const char* p = static_cast<const char*>(data);
  size_t left = size;
  while (!error && left) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(left, 1u << 30)), done = 0;
    if (!WriteFile(FHandle, p, chunk, &done, nullptr)) {
      error = GetLastError();
      break;
    }
    if (done == 0) {
      error = ERROR_DISK_FULL;
      break;
    }
    p += done;
    left -= done;
  }
  if (error) {
    // Cut back to the last whole write.
    int64_t keep = start < FSize ? FSize : start;
    LARGE_INTEGER li;
    li.QuadPart = keep;
    SetFilePointerEx(FHandle, li, nullptr, FILE_BEGIN);
    SetEndOfFile(FHandle);
    FPosition = keep;
    FSize = keep;
    RaiseAudioError(SystemErrorText(error));
  }
  FPosition = start + static_cast<int64_t>(size);
  FSize = std::max(FSize, FPosition);
}

void TFileSink::WriteAt(int64_t offset, const void* data, size_t size) {
  int64_t end = FSize;
  Seek(offset);
  Write(data, size);
  Seek(end);
}

namespace {

// ---------------------------------------------------------------------------
// WAV

class TWavEncoder : public TMediaEncoder {
public:
  TWavEncoder(const std::wstring& fileName, const TWavSettings& s) : FSink(fileName) {
    if (s.Channels < 1 || s.Channels > 8) RaiseAudioError(L"Unsupported number of channels");
    if (s.SampleRate < 1000 || s.SampleRate > 384000) RaiseAudioError(L"Unsupported sample rate");
    if (s.BitsPerSample != 8 && s.BitsPerSample != 16 && s.BitsPerSample != 24 &&
        s.BitsPerSample != 32)
      RaiseAudioError(L"Unsupported bits per sample");
    FSampleRate = s.SampleRate;
    FChannels = s.Channels;
    FBits = s.BitsPerSample;
    WriteHeader(true);
  }
  ~TWavEncoder() override {
    try {
      Close();
    } catch (...) {
    }
  }

  void Write(const int16_t* samples, size_t frames) override {
    if (FClosed) RaiseAudioError(L"The file is closed");
    size_t n = frames * FChannels, bytes = n * (FBits / 8);
    if (FData + bytes > 0xFFFFFFFFull - 44)
      RaiseAudioError(L"The WAV file has reached its size limit of 4 GB");
    FBuffer.resize(bytes);
    uint8_t* out = FBuffer.data();
    switch (FBits) {
    case 8:
      for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<uint8_t>((samples[i] >> 8) + 128);
      break;
    case 16:
      std::memcpy(out, samples, bytes);
      break;
    case 24:
      for (size_t i = 0; i < n; ++i) {
        out[3 * i] = 0;
        out[3 * i + 1] = static_cast<uint8_t>(samples[i] & 0xFF);
        out[3 * i + 2] = static_cast<uint8_t>((samples[i] >> 8) & 0xFF);
      }
      break;
    case 32:
      for (size_t i = 0; i < n; ++i) {
        int32_t v = static_cast<int32_t>(samples[i]) * 65536;
        std::memcpy(out + 4 * i, &v, 4);
      }
      break;
    }
    FSink.Write(out, bytes);
    FData += bytes;
    FFrames += frames;
    WriteHeader(false);
  }

  void Close() override {
    if (FClosed) return;
    FClosed = true;
    if (FData & 1) {
      uint8_t pad = 0;
      try {
        FSink.Write(&pad, 1);
      } catch (...) {
      }
    }
    try {
      WriteHeader(false);
    } catch (...) {
    }
    FSink.Close();
  }

private:
  void WriteHeader(bool initial) {
    uint8_t h[44];
    auto put32 = [&](int at, uint32_t v) { std::memcpy(h + at, &v, 4); };
    auto put16 = [&](int at, uint16_t v) { std::memcpy(h + at, &v, 2); };
    uint32_t data = static_cast<uint32_t>(FData);
    uint32_t riff = 36 + data + (data & 1 && FClosed ? 1 : 0);
    std::memcpy(h, "RIFF", 4);
    put32(4, riff);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, WAVE_FORMAT_PCM);
    put16(22, static_cast<uint16_t>(FChannels));
    put32(24, static_cast<uint32_t>(FSampleRate));
    uint16_t align = static_cast<uint16_t>(FChannels * FBits / 8);
    put32(28, static_cast<uint32_t>(FSampleRate) * align);
    put16(32, align);
    put16(34, static_cast<uint16_t>(FBits));
    std::memcpy(h + 36, "data", 4);
    put32(40, data);
    if (initial) {
      FSink.Write(h, sizeof h);
    } else {
      FSink.WriteAt(4, h + 4, sizeof h - 4); // both sizes in one write
    }
  }

  TFileSink FSink;
  int FBits = 16;
  uint64_t FData = 0;
  bool FClosed = false;
  std::vector<uint8_t> FBuffer;
};

// ---------------------------------------------------------------------------
// MP3 through LAME

// Closes a sink on every way out of a scope, a failed last write included.
struct TSinkCloser {
  void operator()(TFileSink* sink) const { sink->Close(); }
};
using TClosingSink = std::unique_ptr<TFileSink, TSinkCloser>;

struct TLameCloser {
  void operator()(lame_global_flags* lame) const { lame_close(lame); }
};

class TMp3Encoder : public TMediaEncoder {
public:
  TMp3Encoder(const std::wstring& fileName, const TMp3Settings& s, const TMediaTags& tags) {
    FLame.reset(lame_init());
    if (!FLame) RaiseAudioError(L"Cannot start the MP3 encoder");
    int ch = s.Channels == 1 ? 1 : 2;
    lame_set_in_samplerate(FLame.get(), s.SampleRate);
    lame_set_out_samplerate(FLame.get(), s.SampleRate);
    lame_set_num_channels(FLame.get(), ch);
    lame_set_write_id3tag_automatic(FLame.get(), 0);
    if (!tags.Empty()) SetId3(tags);
    MPEG_mode mode = MONO;
    if (ch == 2)
      mode = s.StereoMode == 1 ? STEREO : s.StereoMode == 4 ? DUAL_CHANNEL : JOINT_STEREO;
    lame_set_mode(FLame.get(), mode);
    FXing = s.WriteXing;
    lame_set_bWriteVbrTag(FLame.get(), s.WriteXing ? 1 : 0);
    lame_set_error_protection(FLame.get(), s.Checksum ? 1 : 0);
    int minK = s.MinKbps, maxK = s.MaxKbps;
    if (minK > 0 && maxK > 0 && minK > maxK) std::swap(minK, maxK);
    switch (s.Mode) {
    case TMp3Settings::Cbr:
      lame_set_VBR(FLame.get(), vbr_off);
      lame_set_brate(FLame.get(), s.Kbps);
      break;
    case TMp3Settings::Vbr:
      lame_set_VBR(FLame.get(), vbr_mtrh);
      lame_set_VBR_q(FLame.get(), 9 - std::clamp(s.VbrQuality, 0, 9));
      break;
    case TMp3Settings::Abr:
      lame_set_VBR(FLame.get(), vbr_abr);
      lame_set_VBR_mean_bitrate_kbps(FLame.get(), s.AbrKbps);
      break;
    }
    if (s.Mode != TMp3Settings::Cbr) {
      if (minK > 0) lame_set_VBR_min_bitrate_kbps(FLame.get(), minK);
      if (maxK > 0) lame_set_VBR_max_bitrate_kbps(FLame.get(), maxK);
    }
    if (lame_init_params(FLame.get()) < 0) {
      RaiseAudioError(L"The MP3 encoder does not accept these settings");
    }
    FSampleRate = lame_get_out_samplerate(FLame.get());
    FChannels = lame_get_num_channels(FLame.get());
    FSink = std::make_unique<TFileSink>(fileName);
    if (!tags.Empty()) {
      // The ID3v2 tag leads the file; the Xing/LAME frame follows it.
      std::vector<unsigned char> id3(lame_get_id3v2_tag(FLame.get(), nullptr, 0));
      if (!id3.empty()) {
        size_t n = lame_get_id3v2_tag(FLame.get(), id3.data(), id3.size());
        if (n > 0 && n <= id3.size()) FSink->Write(id3.data(), n);
        FAudioStart = FSink->Size();
      }
    }
  }
  ~TMp3Encoder() override {
    try {
      Close();
    } catch (...) {
    }
  }

  void Write(const int16_t* samples, size_t frames) override {
    if (FClosed) RaiseAudioError(L"The file is closed");
    while (frames) {
      int n = static_cast<int>(std::min<size_t>(frames, 1 << 16));
      FOut.resize(static_cast<size_t>(n) * 5 / 4 + 7200);
      int r = FChannels == 1
                  ? lame_encode_buffer(FLame.get(), samples, nullptr, n, FOut.data(),
                                       static_cast<int>(FOut.size()))
                  : lame_encode_buffer_interleaved(FLame.get(), const_cast<short*>(samples), n,
                                                   FOut.data(), static_cast<int>(FOut.size()));
      if (r < 0) RaiseAudioError(L"MP3 encoding failed (" + std::to_wstring(r) + L")");
      if (r > 0) FSink->Write(FOut.data(), r);
      FFrames += n;
      samples += static_cast<size_t>(n) * FChannels;
      frames -= n;
    }
  }

  void Close() override {
    if (FClosed) return;
    FClosed = true;
    FOut.resize(7200 * 2);
    int r = lame_encode_flush(FLame.get(), FOut.data(), static_cast<int>(FOut.size()));
    TClosingSink closing(FSink.get());
    if (r > 0) FSink->Write(FOut.data(), r);
    if (FXing && FSink->Size() > FAudioStart) {
      std::vector<unsigned char> tag(2880);
      size_t n = lame_get_lametag_frame(FLame.get(), tag.data(), tag.size());
      if (n > 0 && n <= tag.size()) FSink->WriteAt(FAudioStart, tag.data(), n);
    }
  }

private:
  void SetId3(const TMediaTags& tags) {
    static const char* const kFrames[10] = {"TIT2", "TPE1", "TALB", nullptr, "TCOP",
                                            "TCOM", "TENC", "TCON", "TYER",  "TRCK"};
    id3tag_init(FLame.get());
    id3tag_add_v2(FLame.get());
    id3tag_v2_only(FLame.get());
    // LAME takes UTF-16 text that starts with a byte order mark.
    auto utf16 = [](const std::wstring& s) {
      std::vector<unsigned short> v{0xFEFF};
      v.insert(v.end(), s.begin(), s.end());
      v.push_back(0);
      return v;
    };
    for (const auto& [frame, value] : TagFields(tags, kFrames))
      id3tag_set_textinfo_utf16(FLame.get(), frame, utf16(value).data());
    if (!tags.Comment.empty())
      id3tag_set_comment_utf16(FLame.get(), "eng", utf16(L"").data(), utf16(tags.Comment).data());
  }

  std::unique_ptr<lame_global_flags, TLameCloser> FLame;
  int64_t FAudioStart = 0; // where the MP3 frames begin
  std::unique_ptr<TFileSink> FSink;
  std::vector<unsigned char> FOut;
  bool FXing = true;
  bool FClosed = false;
};

// ---------------------------------------------------------------------------
// OGG Vorbis

class TOggEncoder : public TMediaEncoder {
public:
  TOggEncoder(const std::wstring& fileName, const TOggSettings& s, const TMediaTags& tags) {
    FSampleRate = s.SampleRate;
    FChannels = s.Channels == 1 ? 1 : 2;
    vorbis_info_init(&FInfo);
    int r;
    if (s.UseQuality) {
      r = vorbis_encode_init_vbr(&FInfo, FChannels, FSampleRate,
                                 static_cast<float>(std::clamp(s.Quality, -0.1, 1.0)));
    } else {
      long maxB = s.MaxKbps > 0 ? s.MaxKbps * 1000L : -1;
      long minB = s.MinKbps > 0 ? s.MinKbps * 1000L : -1;
      r = vorbis_encode_init(&FInfo, FChannels, FSampleRate, maxB, std::max(1, s.Kbps) * 1000L,
                             minB);
    }
    if (r != 0) {
      vorbis_info_clear(&FInfo);
      RaiseAudioError(L"The OGG Vorbis encoder does not accept these settings");
    }
    FSink = std::make_unique<TFileSink>(fileName);
    vorbis_comment_init(&FComment);
    static const char* const kKeys[10] = {"TITLE",     "ARTIST",     "ALBUM",      "COMMENT",
                                          "COPYRIGHT", "COMPOSER",   "ENCODED-BY", "GENRE",
                                          "DATE",      "TRACKNUMBER"};
    for (const auto& [key, value] : TagFields(tags, kKeys))
      vorbis_comment_add_tag(&FComment, key, WideToUtf8(value).c_str());
    vorbis_analysis_init(&FDsp, &FInfo);
    vorbis_block_init(&FDsp, &FBlock);
    ogg_stream_init(&FStream, static_cast<int>(GetTickCount() ^ GetCurrentProcessId()));
    FReady = true;
    ogg_packet h0, h1, h2;
    vorbis_analysis_headerout(&FDsp, &FComment, &h0, &h1, &h2);
    ogg_stream_packetin(&FStream, &h0);
    ogg_stream_packetin(&FStream, &h1);
    ogg_stream_packetin(&FStream, &h2);
    FlushPages();
  }
  ~TOggEncoder() override {
    try {
      Close();
    } catch (...) {
    }
    if (FReady) {
      ogg_stream_clear(&FStream);
      vorbis_block_clear(&FBlock);
      vorbis_dsp_clear(&FDsp);
      vorbis_comment_clear(&FComment);
    }
    vorbis_info_clear(&FInfo);
  }

  void Write(const int16_t* samples, size_t frames) override {
    if (FClosed) RaiseAudioError(L"The file is closed");
    while (frames) {
      int n = static_cast<int>(std::min<size_t>(frames, 8192));
      float** buf = vorbis_analysis_buffer(&FDsp, n);
      for (int i = 0; i < n; ++i)
        for (int c = 0; c < FChannels; ++c)
          buf[c][i] = samples[i * FChannels + c] / 32768.0f;
      vorbis_analysis_wrote(&FDsp, n);
      Drain();
      samples += static_cast<size_t>(n) * FChannels;
      frames -= n;
      FFrames += n;
    }
    FlushPages();
  }

  void Close() override {
    if (FClosed || !FReady) return;
    FClosed = true;
    vorbis_analysis_wrote(&FDsp, 0);
    Drain();
    TClosingSink closing(FSink.get());
    FlushPages();
  }

private:
  void Drain() {
    while (vorbis_analysis_blockout(&FDsp, &FBlock) == 1) {
      vorbis_analysis(&FBlock, nullptr);
      vorbis_bitrate_addblock(&FBlock);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&FDsp, &op))
        ogg_stream_packetin(&FStream, &op);
    }
  }
  void FlushPages() {
    ogg_page page;
    while (ogg_stream_flush(&FStream, &page)) {
      FPage.assign(page.header, page.header + page.header_len);
      FPage.insert(FPage.end(), page.body, page.body + page.body_len);
      FSink->Write(FPage.data(), FPage.size());
    }
  }

  std::unique_ptr<TFileSink> FSink;
  vorbis_info FInfo{};
  vorbis_comment FComment{};
  vorbis_dsp_state FDsp{};
  vorbis_block FBlock{};
  ogg_stream_state FStream{};
  std::vector<unsigned char> FPage;
  bool FReady = false;
  bool FClosed = false;
};

// ---------------------------------------------------------------------------
// WMA through FFmpeg

class TWmaEncoder : public TMediaEncoder {
public:
  TWmaEncoder(const std::wstring& fileName, const TWmaSettings& s, const TMediaTags& tags) {
    FSampleRate = s.SampleRate;
    FChannels = s.Channels == 1 ? 1 : 2;
    try {
      Open(fileName, s, tags);
    } catch (...) {
      Free();
      throw;
    }
  }
  ~TWmaEncoder() override {
    try {
      Close();
    } catch (...) {
    }
    Free();
  }

  void Write(const int16_t* samples, size_t frames) override {
    if (FClosed) RaiseAudioError(L"The file is closed");
    if (!frames) return;
    Check(av_samples_alloc_array_and_samples(&FPlanes, nullptr, FChannels, static_cast<int>(frames),
                                             AV_SAMPLE_FMT_FLTP, 0) < 0
              ? AVERROR(ENOMEM)
              : 0);
    const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(samples)};
    int n = swr_convert(FSwr, FPlanes, static_cast<int>(frames), in, static_cast<int>(frames));
    if (n > 0) av_audio_fifo_write(FFifo, reinterpret_cast<void**>(FPlanes), n);
    av_freep(&FPlanes[0]);
    av_freep(&FPlanes);
    Check(n < 0 ? n : 0);
    FFrames += frames;
    while (av_audio_fifo_size(FFifo) >= FCodec->frame_size)
      EncodeFrame(FCodec->frame_size);
    avio_flush(FFormat->pb);
    Check(FFormat->pb->error);
  }

  void Close() override {
    if (FClosed || !FFormat || !FSink) return;
    FClosed = true;
    if (FFailed) {
      // The muxer is not used after a failed write: the file keeps the
      // packets written, which decode without the trailer.
      FSink->Close();
      return;
    }
    int left = av_audio_fifo_size(FFifo);
    if (left > 0) EncodeFrame(left);
    int r = avcodec_send_frame(FCodec, nullptr);
    if (r >= 0) ReceivePackets();
    r = av_write_trailer(FFormat);
    avio_flush(FFormat->pb);
    FSink->Close();
    Check(r);
  }

private:
  static int WritePacket(void* opaque, uint8_t* buf, int size) {
    auto* self = static_cast<TWmaEncoder*>(opaque);
    try {
      self->FSink->Write(buf, static_cast<size_t>(size));
      return size;
    } catch (const EAudioError& e) {
      self->FSinkError = e.Message();
      return AVERROR(EIO);
    }
  }
  static int64_t SeekPacket(void* opaque, int64_t offset, int whence) {
    auto* self = static_cast<TWmaEncoder*>(opaque);
    try {
      switch (whence & ~AVSEEK_FORCE) {
      case AVSEEK_SIZE:
        return self->FSink->Size();
      case SEEK_SET:
        self->FSink->Seek(offset);
        break;
      case SEEK_CUR:
        self->FSink->Seek(self->FSink->Position() + offset);
        break;
      case SEEK_END:
        self->FSink->Seek(self->FSink->Size() + offset);
        break;
      default:
        return AVERROR(EINVAL);
      }
      return self->FSink->Position();
    } catch (const EAudioError& e) {
      self->FSinkError = e.Message();
      return AVERROR(EIO);
    }
  }

  void Check(int r) {
    if (r >= 0) return;
    FFailed = true;
    if (!FSinkError.empty()) RaiseAudioError(FSinkError);
    RaiseAudioError(L"WMA encoding failed: " + MediaErrorText(r));
  }

  void Open(const std::wstring& fileName, const TWmaSettings& s, const TMediaTags& tags) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    if (!codec) RaiseAudioError(L"The WMA encoder is missing");
    FCodec = avcodec_alloc_context3(codec);
    FCodec->sample_rate = FSampleRate;
    av_channel_layout_default(&FCodec->ch_layout, FChannels);
    FCodec->sample_fmt = AV_SAMPLE_FMT_FLTP;
    FCodec->bit_rate = static_cast<int64_t>(s.Kbps) * 1000;
    Check(avformat_alloc_output_context2(&FFormat, nullptr, "asf", nullptr));
    static const char* const kKeys[10] = {"title",    "artist",     "album", "comment", "copyright",
                                          "composer", "encoded_by", "genre", "date",    "track"};
    for (const auto& [key, value] : TagFields(tags, kKeys))
      av_dict_set(&FFormat->metadata, key, WideToUtf8(value).c_str(), 0);
    if (FFormat->oformat->flags & AVFMT_GLOBALHEADER) FCodec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int r = avcodec_open2(FCodec, codec, nullptr);
    if (r < 0)
      RaiseAudioError(L"The WMA encoder does not accept these settings: " + MediaErrorText(r));
    AVStream* st = avformat_new_stream(FFormat, nullptr);
    if (!st) Check(AVERROR(ENOMEM));
    Check(avcodec_parameters_from_context(st->codecpar, FCodec));
    st->time_base = AVRational{1, FSampleRate};
    FStream = st;
    FSink = std::make_unique<TFileSink>(fileName);
    const int ioSize = 1 << 16;
    auto* ioBuf = static_cast<unsigned char*>(av_malloc(ioSize));
    FFormat->pb = avio_alloc_context(ioBuf, ioSize, 1, this, nullptr, &WritePacket, &SeekPacket);
    if (!FFormat->pb) Check(AVERROR(ENOMEM));
    Check(avformat_write_header(FFormat, nullptr));
    avio_flush(FFormat->pb);
    Check(swr_alloc_set_opts2(&FSwr, &FCodec->ch_layout, AV_SAMPLE_FMT_FLTP, FSampleRate,
                              &FCodec->ch_layout, AV_SAMPLE_FMT_S16, FSampleRate, 0, nullptr));
    Check(swr_init(FSwr));
    FFifo = av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, FChannels, FCodec->frame_size * 4);
    FFrame = av_frame_alloc();
    FPacket = av_packet_alloc();
    if (!FFifo || !FFrame || !FPacket) Check(AVERROR(ENOMEM));
  }

  void EncodeFrame(int n) {
    av_frame_unref(FFrame);
    FFrame->nb_samples = FCodec->frame_size;
    FFrame->format = FCodec->sample_fmt;
    FFrame->sample_rate = FSampleRate;
    Check(av_channel_layout_copy(&FFrame->ch_layout, &FCodec->ch_layout));
    Check(av_frame_get_buffer(FFrame, 0));
    // A short last frame is padded with silence.
    av_samples_set_silence(FFrame->data, 0, FFrame->nb_samples, FChannels, FCodec->sample_fmt);
    av_audio_fifo_read(FFifo, reinterpret_cast<void**>(FFrame->data), n);
    FFrame->pts = FPts;
    FPts += FFrame->nb_samples;
    Check(avcodec_send_frame(FCodec, FFrame));
    ReceivePackets();
  }

  void ReceivePackets() {
    for (;;) {
      int r = avcodec_receive_packet(FCodec, FPacket);
      if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return;
      Check(r);
      av_packet_rescale_ts(FPacket, FCodec->time_base, FStream->time_base);
      FPacket->stream_index = FStream->index;
      r = av_write_frame(FFormat, FPacket);
      av_packet_unref(FPacket);
      Check(r);
    }
  }

  void Free() {
    if (FFormat) {
      if (FFormat->pb) {
        av_freep(&FFormat->pb->buffer);
        avio_context_free(&FFormat->pb);
      }
      avformat_free_context(FFormat);
      FFormat = nullptr;
    }
    avcodec_free_context(&FCodec);
    swr_free(&FSwr);
    if (FFifo) av_audio_fifo_free(FFifo);
    FFifo = nullptr;
    av_frame_free(&FFrame);
    av_packet_free(&FPacket);
  }

  std::unique_ptr<TFileSink> FSink;
  std::wstring FSinkError;
  AVFormatContext* FFormat = nullptr;
  AVCodecContext* FCodec = nullptr;
  AVStream* FStream = nullptr;
  SwrContext* FSwr = nullptr;
  AVAudioFifo* FFifo = nullptr;
  AVFrame* FFrame = nullptr;
  AVPacket* FPacket = nullptr;
  uint8_t** FPlanes = nullptr;
  int64_t FPts = 0;
  bool FClosed = false;
  bool FFailed = false;
};

} // namespace

std::unique_ptr<TMediaEncoder> CreateWavEncoder(const std::wstring& fileName,
                                                const TWavSettings& s) {
  return std::make_unique<TWavEncoder>(fileName, s);
}
std::unique_ptr<TMediaEncoder> CreateMp3Encoder(const std::wstring& fileName, const TMp3Settings& s,
                                                const TMediaTags& tags) {
  return std::make_unique<TMp3Encoder>(fileName, s, tags);
}
std::unique_ptr<TMediaEncoder> CreateOggEncoder(const std::wstring& fileName, const TOggSettings& s,
                                                const TMediaTags& tags) {
  return std::make_unique<TOggEncoder>(fileName, s, tags);
}
std::unique_ptr<TMediaEncoder> CreateWmaEncoder(const std::wstring& fileName, const TWmaSettings& s,
                                                const TMediaTags& tags) {
  return std::make_unique<TWmaEncoder>(fileName, s, tags);
}

} // namespace audio
