#include "audio/EditorFormats.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwctype>
#include <functional>

#include "audio/AudioError.h"
#include "audio/MediaEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/opt.h>
}

namespace audioedit {

namespace {

std::wstring Extension(const std::wstring& fileName) {
  size_t dot = fileName.find_last_of(L'.');
  size_t slash = fileName.find_last_of(L"\\/");
  if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return L"";
  std::wstring e = fileName.substr(dot + 1);
  for (auto& c : e)
    c = wchar_t(std::towlower(c));
  return e;
}

int Nearest(int v, std::initializer_list<int> set) {
  int best = *set.begin();
  for (int s : set)
    if (std::abs(s - v) < std::abs(best - v)) best = s;
  return best;
}

[[noreturn]] void Fail(const std::wstring& what, int err) {
  throw EEditorError(what + L": " + audio::MediaErrorText(err));
}

// Streams frames [start, end) of the document converted to rate/channels as
// 16-bit samples, in chunks, to `sink`.
void StreamPcm(const Document& doc, int64_t start, int64_t end, int rate, int channels,
               const ProgressFn& progress,
               const std::function<void(const int16_t*, size_t)>& sink) {
  const int ch = doc.Channels();
  start = std::clamp<int64_t>(start, 0, doc.Length());
  end = std::clamp<int64_t>(end, start, doc.Length());
  std::string chain = ConversionChain(doc.SampleRate(), ch, rate, channels);
  ProcessorPtr conv;
  if (!chain.empty())
    conv = MakeFilterProcessor(chain, doc.SampleRate(), ch, false, rate, channels);
  constexpr int64_t kChunk = 32768;
  std::vector<float> in(size_t(kChunk * ch)), out;
  std::vector<int16_t> pcm;
  auto emit = [&](const float* f, size_t frames) {
    pcm.resize(frames * size_t(channels));
    FloatToInt16(f, pcm.size(), pcm.data());
    if (frames) sink(pcm.data(), frames);
  };
  int last = -1;
  for (int64_t pos = start; pos < end; pos += kChunk) {
    int64_t n = std::min(kChunk, end - pos);
    doc.Read(pos, n, in.data());
    if (conv) {
      out.clear();
      conv->Process(in.data(), n, out);
      emit(out.data(), out.size() / size_t(channels));
    } else {
      emit(in.data(), size_t(n));
    }
    int p = int((pos + n - start) * 99 / std::max<int64_t>(1, end - start));
    if (progress && p != last) progress(last = p);
  }
  if (conv) {
    out.clear();
    conv->Finish(out);
    emit(out.data(), out.size() / size_t(channels));
  }
}

// An FFmpeg encoder and muxer writing 16-bit input.
class FFmpegWriter {
public:
  FFmpegWriter(const std::wstring& fileName, const char* codecName, const char* muxer, int rate,
               int channels, int64_t bitRate, int bitsPerCodedSample, const Tags* tags) {
    std::string path = audio::WideToUtf8(fileName);
    const AVCodec* codec = avcodec_find_encoder_by_name(codecName);
    if (!codec) throw EEditorError(L"This build has no encoder " + audio::Utf8ToWide(codecName));
    int r = 0;
    if (muxer) {
      r = avformat_alloc_output_context2(&FFmt, nullptr, muxer, path.c_str());
      if (r < 0 || !FFmt) Fail(L"Cannot create " + fileName, r);
    }
    FCtx = avcodec_alloc_context3(codec);
    FCtx->sample_rate = rate;
    av_channel_layout_default(&FCtx->ch_layout, channels);
    FCtx->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    for (const AVSampleFormat* f = codec->sample_fmts; f && *f != AV_SAMPLE_FMT_NONE; ++f)
      if (*f == AV_SAMPLE_FMT_S16) FCtx->sample_fmt = AV_SAMPLE_FMT_S16;
    FCtx->bit_rate = bitRate;
    if (bitsPerCodedSample) FCtx->bits_per_coded_sample = bitsPerCodedSample;
    FCtx->time_base = {1, rate};
    if (FFmt && (FFmt->oformat->flags & AVFMT_GLOBALHEADER))
      FCtx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    r = avcodec_open2(FCtx, codec, nullptr);
    if (r < 0) Fail(L"Cannot start the encoder " + audio::Utf8ToWide(codecName), r);
    if (!FFmt) {
      // Headerless output: the codec's packets one after another.
      r = avio_open(&FRaw, path.c_str(), AVIO_FLAG_WRITE);
      if (r < 0) Fail(L"Cannot create " + fileName, r);
    } else {
      Start(fileName, path, tags);
    }
    FFrameSize = (codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) || FCtx->frame_size <= 0
                     ? 1024
                     : FCtx->frame_size;
    FChannels = channels;
    FFrame = av_frame_alloc();
    FPacket = av_packet_alloc();
  }

  void Start(const std::wstring& fileName, const std::string& path, const Tags* tags) {
    int r;
    FStream = avformat_new_stream(FFmt, nullptr);
    avcodec_parameters_from_context(FStream->codecpar, FCtx);
    FStream->time_base = FCtx->time_base;
    if (tags) {
      auto set = [&](const char* key, const std::wstring& v) {
        if (!v.empty()) av_dict_set(&FFmt->metadata, key, audio::WideToUtf8(v).c_str(), 0);
      };
      set("title", tags->Title);
      set("artist", tags->Artist);
      set("album", tags->Album);
      set("copyright", tags->Copyright);
      set("comment", tags->Comment);
      set("composer", tags->Composer);
      set("encoded_by", tags->EncodedBy);
      set("genre", GenreName(tags->Genre));
      if (tags->Year > 0)
        av_dict_set(&FFmt->metadata, "date", std::to_string(tags->Year).c_str(), 0);
      if (tags->Track > 0)
        av_dict_set(&FFmt->metadata, "track", std::to_string(tags->Track).c_str(), 0);
    }
    if (!(FFmt->oformat->flags & AVFMT_NOFILE)) {
      r = avio_open(&FFmt->pb, path.c_str(), AVIO_FLAG_WRITE);
      if (r < 0) Fail(L"Cannot create " + fileName, r);
    }
    r = avformat_write_header(FFmt, nullptr);
    if (r < 0) Fail(L"Cannot write " + fileName, r);
  }

  ~FFmpegWriter() {
    av_frame_free(&FFrame);
    av_packet_free(&FPacket);
    avcodec_free_context(&FCtx);
    if (FRaw) avio_closep(&FRaw);
    if (FFmt) {
      if (FFmt->pb && !(FFmt->oformat->flags & AVFMT_NOFILE)) avio_closep(&FFmt->pb);
      avformat_free_context(FFmt);
    }
  }

  void Write(const int16_t* s, size_t frames) {
    FPending.insert(FPending.end(), s, s + frames * size_t(FChannels));
    while (FPending.size() >= size_t(FFrameSize * FChannels))
      Encode(FFrameSize);
  }

  void Close() {
    size_t rest = FPending.size() / size_t(FChannels);
    if (rest) {
      // Fixed-size codecs get their last frame padded with silence.
      if (FCtx->frame_size > 0 && !(FCtx->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE))
        FPending.resize(size_t(FFrameSize * FChannels), 0);
      Encode(int(FPending.size() / size_t(FChannels)));
    }
    Send(nullptr);
    if (FRaw) {
      avio_flush(FRaw);
      int r = FRaw->error;
      avio_closep(&FRaw);
      if (r < 0) Fail(L"Cannot write the file (disk full?)", r);
      return;
    }
    int r = av_write_trailer(FFmt);
    if (r < 0) Fail(L"Cannot finish the file", r);
  }

private:
  void Encode(int frames) {
    av_frame_unref(FFrame);
    FFrame->format = FCtx->sample_fmt;
    av_channel_layout_copy(&FFrame->ch_layout, &FCtx->ch_layout);
    FFrame->sample_rate = FCtx->sample_rate;
    FFrame->nb_samples = frames;
    FFrame->pts = FPts;
    FPts += frames;
    int r = av_frame_get_buffer(FFrame, 0);
    if (r < 0) Fail(L"Out of memory", r);
    const int16_t* in = FPending.data();
    switch (FCtx->sample_fmt) {
    case AV_SAMPLE_FMT_S16:
      std::memcpy(FFrame->data[0], in, size_t(frames * FChannels) * 2);
      break;
    case AV_SAMPLE_FMT_U8:
      for (int i = 0; i < frames * FChannels; ++i)
        FFrame->data[0][i] = uint8_t((in[i] >> 8) + 128);
      break;
    case AV_SAMPLE_FMT_S16P:
      for (int c = 0; c < FChannels; ++c)
        for (int i = 0; i < frames; ++i)
          reinterpret_cast<int16_t*>(FFrame->data[c])[i] = in[i * FChannels + c];
      break;
    case AV_SAMPLE_FMT_FLTP:
      for (int c = 0; c < FChannels; ++c)
        for (int i = 0; i < frames; ++i)
          reinterpret_cast<float*>(FFrame->data[c])[i] = in[i * FChannels + c] / 32768.0f;
      break;
    case AV_SAMPLE_FMT_FLT:
      for (int i = 0; i < frames * FChannels; ++i)
        reinterpret_cast<float*>(FFrame->data[0])[i] = in[i] / 32768.0f;
      break;
    default:
      throw EEditorError(L"Unsupported encoder sample format");
    }
    FPending.erase(FPending.begin(), FPending.begin() + frames * FChannels);
    Send(FFrame);
  }

  void Send(AVFrame* f) {
    int r = avcodec_send_frame(FCtx, f);
    if (r < 0 && r != AVERROR_EOF) Fail(L"Encoding failed", r);
    for (;;) {
      r = avcodec_receive_packet(FCtx, FPacket);
      if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return;
      if (r < 0) Fail(L"Encoding failed", r);
      if (FRaw) {
        avio_write(FRaw, FPacket->data, FPacket->size);
        av_packet_unref(FPacket);
        continue;
      }
      av_packet_rescale_ts(FPacket, FCtx->time_base, FStream->time_base);
      FPacket->stream_index = FStream->index;
      r = av_interleaved_write_frame(FFmt, FPacket);
      if (r < 0) Fail(L"Cannot write the file (disk full?)", r);
    }
  }

  AVFormatContext* FFmt = nullptr;
  AVIOContext* FRaw = nullptr;
  AVCodecContext* FCtx = nullptr;
  AVStream* FStream = nullptr;
  AVFrame* FFrame = nullptr;
  AVPacket* FPacket = nullptr;
  int FFrameSize = 1024, FChannels = 1;
  int64_t FPts = 0;
  std::vector<int16_t> FPending;
};

struct WmaProfile {
  int Rate, Channels, Kbps;
};

WmaProfile WmaProfileOf(int n) {
  static const WmaProfile kTable[51] = {
      {8000, 1, 8},    {32000, 2, 32}, {8000, 1, 8},    {8000, 1, 4},    {8000, 1, 8},
      {8000, 1, 8},    {11025, 1, 10}, {11025, 1, 10},  {16000, 1, 16},  {32000, 2, 32},
      {32000, 2, 32},  {44100, 2, 64}, {44100, 2, 128}, {44100, 2, 128}, {44100, 2, 128},
      {44100, 2, 128}, {8000, 1, 6},   {22050, 1, 20},  {22050, 2, 20},  {32000, 2, 32},
      {32000, 2, 48},  {44100, 2, 64}, {44100, 2, 96},  {44100, 2, 128}, {22050, 2, 32},
      {22050, 2, 32},  {22050, 2, 32}, {22050, 2, 32},  {8000, 1, 8},    {32000, 2, 32},
      {8000, 1, 8},    {8000, 1, 5},   {11025, 1, 10},  {16000, 1, 16},  {32000, 2, 40},
      {32000, 2, 48},  {44100, 2, 64}, {44100, 2, 64},  {44100, 2, 128}, {32000, 2, 48},
      {44000, 2, 64},  {22050, 1, 20}, {22050, 2, 20},  {32000, 2, 32},  {44100, 2, 48},
      {44100, 2, 64},  {44100, 2, 96}, {44100, 2, 128}, {44100, 2, 64},  {44100, 2, 64},
      {44100, 2, 64}};
  return kTable[std::clamp(n, 1, 51) - 1];
}

int Mp3Rate(int r) {
  return Nearest(r, {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000});
}
int Mp2Rate(int r) {
  return Nearest(r, {16000, 22050, 24000, 32000, 44100, 48000});
}
int TelephoneRate(int) {
  return 8000;
}

} // namespace

void EffectiveFormat(const OutputFormat& f, int& rate, int& channels) {
  rate = std::clamp(f.SampleRate, 1000, 384000);
  channels = std::clamp(f.Channels, 1, 2);
  switch (f.Type) {
  case OutputFormat::Mp3:
    rate = Mp3Rate(rate);
    break;
  case OutputFormat::Mp2:
    rate = Mp2Rate(rate);
    break;
  case OutputFormat::Ogg:
    rate = std::max(rate, 8000);
    break;
  case OutputFormat::Vox:
    rate = rate <= 7000 ? 6000 : 8000;
    channels = 1;
    break;
  case OutputFormat::Raw:
    if (f.RawCompression == 4) {
      rate = 8000;
      channels = 1;
    }
    break;
  case OutputFormat::Wma: {
    WmaProfile p = WmaProfileOf(f.WmaProfile);
    rate = p.Rate == 44000 ? 44100 : p.Rate;
    channels = p.Channels;
    break;
  }
  case OutputFormat::G726:
  case OutputFormat::G723:
  case OutputFormat::G721:
    rate = TelephoneRate(rate);
    channels = 1;
    break;
  case OutputFormat::Gsm:
    rate = 8000;
    channels = 1;
    break;
  case OutputFormat::Dsp:
    rate = 8000;
    channels = 1;
    break;
  default:
    break;
  }
}

void SaveDocument(const Document& doc, int64_t start, int64_t end, const OutputFormat& f,
                  const Tags& tags, const std::wstring& fileName, const ProgressFn& progress) {
  int rate, ch;
  EffectiveFormat(f, rate, ch);
  audio::TMediaTags mediaTags;
  mediaTags.Title = tags.Title;
  mediaTags.Artist = tags.Artist;
  mediaTags.Album = tags.Album;
  mediaTags.Comment = tags.Comment;
  mediaTags.Copyright = tags.Copyright;
  mediaTags.Composer = tags.Composer;
  mediaTags.EncodedBy = tags.EncodedBy;
  mediaTags.Year = tags.Year;
  mediaTags.Track = tags.Track;
  mediaTags.Genre = GenreName(tags.Genre);
  auto stream = [&](const std::function<void(const int16_t*, size_t)>& sink) {
    StreamPcm(doc, start, end, rate, ch, progress, sink);
  };
  // After a failed write the encoder's destructor closes the file quietly.
  auto withEncoder = [&](std::unique_ptr<audio::TMediaEncoder> enc) {
    stream([&](const int16_t* s, size_t n) { enc->Write(s, n); });
    enc->Close();
  };
  auto withFFmpeg = [&](const char* codec, const char* muxer, int64_t bitRate, int bits,
                        bool withTags) {
    FFmpegWriter w(fileName, codec, muxer, rate, ch, bitRate, bits, withTags ? &tags : nullptr);
    stream([&](const int16_t* s, size_t n) { w.Write(s, n); });
    w.Close();
  };
  switch (f.Type) {
  case OutputFormat::Pcm: {
    audio::TWavSettings s;
    s.SampleRate = rate;
    s.Channels = ch;
    s.BitsPerSample = f.BitsPerSample == 8 ? 8 : 16;
    withEncoder(audio::CreateWavEncoder(fileName, s));
    break;
  }
  case OutputFormat::Mp3: {
    audio::TMp3Settings s;
    s.SampleRate = rate;
    s.Channels = ch;
    s.Mode = audio::TMp3Settings::Cbr;
    int maxKbps = rate >= 32000 ? 320 : rate >= 16000 ? 160 : 64;
    s.Kbps = std::clamp(f.Kbps, 8, maxKbps);
    s.StereoMode = 2;
    withEncoder(audio::CreateMp3Encoder(fileName, s, mediaTags));
    break;
  }
  case OutputFormat::Mp2: {
    // The library's layer II encoder has no joint stereo mode: a request for
    // it (StereoMode 3) is written as plain stereo.
    int maxKbps = rate >= 32000 ? (ch == 1 ? 192 : 384) : 160;
    int kbps = std::clamp(f.Kbps, rate >= 32000 ? 32 : 8, maxKbps);
    withFFmpeg("mp2", "mp2", int64_t(kbps) * 1000, 0, true);
    break;
  }
  case OutputFormat::Ogg: {
    audio::TOggSettings s;
    s.SampleRate = rate;
    s.Channels = ch;
    s.UseQuality = false;
    s.Kbps = std::max(8, f.Kbps);
    s.MinKbps = f.MinKbps > 0 ? std::min(f.MinKbps, s.Kbps) : 0;
    s.MaxKbps = f.MaxKbps > 0 ? std::max(f.MaxKbps, s.Kbps) : 0;
    std::unique_ptr<audio::TMediaEncoder> enc;
    try {
      enc = audio::CreateOggEncoder(fileName, s, mediaTags);
    } catch (const EAudioError&) {
      // Bit rates the encoder cannot reach at this rate: quality mode instead.
      s.UseQuality = true;
      s.Quality = 0.4;
      enc = audio::CreateOggEncoder(fileName, s, mediaTags);
    }
    withEncoder(std::move(enc));
    break;
  }
  case OutputFormat::Wma: {
    audio::TWmaSettings s;
    s.SampleRate = rate;
    s.Channels = ch;
    s.Kbps = WmaProfileOf(f.WmaProfile).Kbps;
    std::unique_ptr<audio::TMediaEncoder> enc;
    try {
      enc = audio::CreateWmaEncoder(fileName, s, mediaTags);
    } catch (const EAudioError&) {
      // Too low a bit rate for the encoder at this rate and channel count.
      s.Kbps = std::max(s.Kbps, 48 * ch);
      enc = audio::CreateWmaEncoder(fileName, s, mediaTags);
    }
    withEncoder(std::move(enc));
    break;
  }
  case OutputFormat::Vox: {
    HANDLE h = CreateFileW(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
      throw EEditorError(L"Cannot create " + fileName + L": " +
                         audio::SystemErrorText(GetLastError()));
    audio::THandle file(h);
    VoxCodec codec;
    std::vector<uint8_t> bytes;
    int pendingNibble = -1;
    stream([&](const int16_t* s, size_t n) {
      bytes.clear();
      for (size_t i = 0; i < n; ++i) {
        uint8_t code = codec.Encode(s[i]);
        if (pendingNibble < 0)
          pendingNibble = code;
        else {
          bytes.push_back(uint8_t((pendingNibble << 4) | code));
          pendingNibble = -1;
        }
      }
      DWORD w = 0;
      if (!bytes.empty() &&
          (!WriteFile(h, bytes.data(), DWORD(bytes.size()), &w, nullptr) || w != bytes.size()))
        throw EEditorError(L"Cannot write " + fileName + L": " +
                           audio::SystemErrorText(GetLastError()));
    });
    if (pendingNibble >= 0) {
      uint8_t last = uint8_t(pendingNibble << 4);
      DWORD w = 0;
      WriteFile(h, &last, 1, &w, nullptr);
    }
    break;
  }
  case OutputFormat::Raw:
    switch (f.RawCompression) {
    case 2:
      withFFmpeg("pcm_alaw", "alaw", 0, 0, false);
      break;
    case 3:
      withFFmpeg("pcm_mulaw", "mulaw", 0, 0, false);
      break;
    case 4:
      withFFmpeg("libgsm", "gsm", 13200, 0, false);
      break;
    case 5:
      withFFmpeg("adpcm_ima_wav", nullptr, 0, 4, false);
      break;
    case 6:
      withFFmpeg("adpcm_ms", nullptr, 0, 4, false);
      break;
    default:
      if (f.BitsPerSample == 8)
        withFFmpeg("pcm_u8", "u8", 0, 0, false);
      else
        withFFmpeg("pcm_s16le", "s16le", 0, 0, false);
      break;
    }
    break;
  case OutputFormat::G726:
    withFFmpeg("g726", "g726", int64_t(std::clamp(f.BitsPerSample, 2, 5)) * rate, 0, false);
    break;
  case OutputFormat::G723:
    withFFmpeg("g726", "g726", int64_t(f.BitsPerSample >= 4 ? 5 : 3) * rate, 0, false);
    break;
  case OutputFormat::G721:
    withFFmpeg("g726", "g726", int64_t(4) * rate, 0, false);
    break;
  case OutputFormat::ULaw:
    withFFmpeg("pcm_mulaw", "wav", 0, 0, true);
    break;
  case OutputFormat::ALaw:
    withFFmpeg("pcm_alaw", "wav", 0, 0, true);
    break;
  case OutputFormat::Gsm:
    withFFmpeg("libgsm_ms", "wav", 13000, 0, true);
    break;
  case OutputFormat::MsAdpcm:
    withFFmpeg("adpcm_ms", "wav", 0, 0, true);
    break;
  case OutputFormat::Dsp:
    throw EEditorError(
        L"The \"Wave DSP\" format cannot be written: no encoder for it is available");
  }
  if (progress) progress(100);
}

// ---------------------------------------------------------------------------
// Headerless input

void HeaderlessFormats::Set(const OutputFormat& f) {
  switch (f.Type) {
  case OutputFormat::Vox:
    Vox = f;
    break;
  case OutputFormat::Raw:
    Raw = f;
    break;
  case OutputFormat::G726:
    G726 = f;
    break;
  case OutputFormat::G723:
    G723 = f;
    break;
  case OutputFormat::G721:
    G721 = f;
    break;
  default:
    break;
  }
}

namespace {

// How a headerless file is decoded: the codec its saving used, with the
// rate, channels and code layout that saving wrote.
struct HeaderlessCodec {
  const char* Codec = nullptr;
  int Rate = 0, Channels = 0;
  int BitsPerCodedSample = 0;
  int PacketBytes = 4096; // bytes handed to the decoder at a time
  bool NeedsBlockAlign = false;
  bool WholePackets = false; // a shorter packet at the end is left out
};

// Block size the encoder writes for these settings.
int EncoderBlockAlign(const char* codecName, int rate, int channels, int bits) {
  const AVCodec* codec = avcodec_find_encoder_by_name(codecName);
  if (!codec) return 0;
  AVCodecContext* ctx = avcodec_alloc_context3(codec);
  ctx->sample_rate = rate;
  av_channel_layout_default(&ctx->ch_layout, channels);
  ctx->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  ctx->bits_per_coded_sample = bits;
  ctx->time_base = {1, rate};
  int align = avcodec_open2(ctx, codec, nullptr) >= 0 ? ctx->block_align : 0;
  avcodec_free_context(&ctx);
  return align;
}

bool HeaderlessCodecOf(const std::wstring& fileName, const HeaderlessFormats& formats,
                       HeaderlessCodec& c) {
  static const std::pair<const wchar_t*, OutputFormat::Kind> kKinds[] = {
      {L"vox", OutputFormat::Vox},   {L"raw", OutputFormat::Raw},   {L"pcm", OutputFormat::Raw},
      {L"g726", OutputFormat::G726}, {L"g723", OutputFormat::G723}, {L"g721", OutputFormat::G721}};
  std::wstring ext = Extension(fileName);
  auto found = std::find_if(std::begin(kKinds), std::end(kKinds),
                            [&](const auto& k) { return ext == k.first; });
  if (found == std::end(kKinds)) return false;
  OutputFormat kind = found->second == OutputFormat::Vox    ? formats.Vox
                      : found->second == OutputFormat::Raw  ? formats.Raw
                      : found->second == OutputFormat::G726 ? formats.G726
                      : found->second == OutputFormat::G723 ? formats.G723
                                                            : formats.G721;
  kind.Type = found->second; // the extension decides, whatever was filed under it
  EffectiveFormat(kind, c.Rate, c.Channels);
  switch (kind.Type) {
  case OutputFormat::Vox:
    c.Codec = "adpcm_ima_oki";
    break;
  case OutputFormat::G726:
    c.Codec = "g726";
    c.BitsPerCodedSample = std::clamp(kind.BitsPerSample, 2, 5);
    break;
  case OutputFormat::G723:
    c.Codec = "g726";
    c.BitsPerCodedSample = kind.BitsPerSample >= 4 ? 5 : 3;
    break;
  case OutputFormat::G721:
    c.Codec = "g726";
    c.BitsPerCodedSample = 4;
    break;
  default: // RAW, as SaveDocument writes it
    switch (kind.RawCompression) {
    case 2:
      c.Codec = "pcm_alaw";
      break;
    case 3:
      c.Codec = "pcm_mulaw";
      break;
    case 4:
      c.Codec = "gsm";
      c.PacketBytes = 33; // one frame of 160 samples
      c.WholePackets = true;
      break;
    case 5:
    case 6:
      c.Codec = kind.RawCompression == 5 ? "adpcm_ima_wav" : "adpcm_ms";
      c.BitsPerCodedSample = 4;
      c.PacketBytes = EncoderBlockAlign(c.Codec, c.Rate, c.Channels, 4);
      c.NeedsBlockAlign = c.WholePackets = true;
      if (c.PacketBytes <= 0) throw EEditorError(L"This build cannot read " + fileName);
      break;
    default:
      c.Codec = kind.BitsPerSample == 8 ? "pcm_u8" : "pcm_s16le";
      c.PacketBytes = 4096 * c.Channels;
      break;
    }
    break;
  }
  // G.726 codes of n bits fill whole bytes in groups of 8 codes (n bytes).
  if (c.BitsPerCodedSample && std::strcmp(c.Codec, "g726") == 0)
    c.PacketBytes = 1024 * c.BitsPerCodedSample;
  return true;
}

// Appends a decoded frame as interleaved float.
void AppendFrame(SequenceBuilder& b, const AVFrame* fr, int channels, std::vector<float>& buf) {
  int n = fr->nb_samples;
  int ch = std::min(channels, fr->ch_layout.nb_channels);
  if (n <= 0 || ch <= 0) return;
  buf.assign(size_t(n) * size_t(channels), 0.0f);
  auto fmt = AVSampleFormat(fr->format);
  bool planar = av_sample_fmt_is_planar(fmt);
  for (int c = 0; c < channels; ++c) {
    int src = std::min(c, ch - 1); // a mono decode fills both channels
    for (int i = 0; i < n; ++i) {
      const uint8_t* base = planar ? fr->extended_data[src] : fr->extended_data[0];
      size_t at = planar ? size_t(i) : size_t(i) * size_t(fr->ch_layout.nb_channels) + size_t(src);
      float v = 0;
      switch (av_get_packed_sample_fmt(fmt)) {
      case AV_SAMPLE_FMT_U8:
        v = (float(base[at]) - 128.0f) / 128.0f;
        break;
      case AV_SAMPLE_FMT_S16:
        v = float(reinterpret_cast<const int16_t*>(base)[at]) / 32768.0f;
        break;
      case AV_SAMPLE_FMT_S32:
        v = float(double(reinterpret_cast<const int32_t*>(base)[at]) / 2147483648.0);
        break;
      case AV_SAMPLE_FMT_FLT:
        v = reinterpret_cast<const float*>(base)[at];
        break;
      case AV_SAMPLE_FMT_DBL:
        v = float(reinterpret_cast<const double*>(base)[at]);
        break;
      default:
        throw EEditorError(L"Unsupported decoder sample format");
      }
      buf[size_t(i) * size_t(channels) + size_t(c)] = v;
    }
  }
  b.Append(buf.data(), n);
}

} // namespace

SequencePtr DecodeHeaderless(const std::shared_ptr<BlockStore>& store, const std::wstring& fileName,
                             int& rate, int& channels, const HeaderlessFormats& formats) {
  HeaderlessCodec hc;
  if (!HeaderlessCodecOf(fileName, formats, hc)) return nullptr;
  const AVCodec* codec = avcodec_find_decoder_by_name(hc.Codec);
  if (!codec) throw EEditorError(L"This build has no decoder " + audio::Utf8ToWide(hc.Codec));
  if (!audio::IsOrdinaryFile(fileName))
    throw EEditorError(L"Cannot open " + fileName + L": it is not a file on a disk");
  HANDLE h = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE)
    throw EEditorError(L"Cannot open " + fileName + L": " + audio::SystemErrorText(GetLastError()));
  audio::THandle file(h);
  auto freeCtx = [](AVCodecContext* c) { avcodec_free_context(&c); };
  auto freePkt = [](AVPacket* p) { av_packet_free(&p); };
  auto freeFrame = [](AVFrame* f) { av_frame_free(&f); };
  std::unique_ptr<AVCodecContext, decltype(freeCtx)> ctxOwner(avcodec_alloc_context3(codec),
                                                              freeCtx);
  std::unique_ptr<AVPacket, decltype(freePkt)> pktOwner(av_packet_alloc(), freePkt);
  std::unique_ptr<AVFrame, decltype(freeFrame)> frOwner(av_frame_alloc(), freeFrame);
  AVCodecContext* ctx = ctxOwner.get();
  AVPacket* pkt = pktOwner.get();
  AVFrame* fr = frOwner.get();
  ctx->sample_rate = hc.Rate;
  av_channel_layout_default(&ctx->ch_layout, hc.Channels);
  ctx->bits_per_coded_sample = hc.BitsPerCodedSample;
  if (hc.NeedsBlockAlign) ctx->block_align = hc.PacketBytes;
  int r = avcodec_open2(ctx, codec, nullptr);
  if (r < 0) Fail(L"Cannot start the decoder " + audio::Utf8ToWide(hc.Codec), r);
  SequenceBuilder b(store, hc.Channels);
  std::vector<float> buf;
  auto drain = [&] {
    for (;;) {
      int e = avcodec_receive_frame(ctx, fr);
      if (e < 0) return;
      AppendFrame(b, fr, hc.Channels, buf);
      av_frame_unref(fr);
    }
  };
  const size_t packet = size_t(hc.PacketBytes);
  std::vector<uint8_t> chunk(std::max<size_t>(packet, 65536 / packet * packet));
  size_t have = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(h, chunk.data() + have, DWORD(chunk.size() - have), &got, nullptr))
      throw EEditorError(L"Cannot read " + fileName + L": " +
                         audio::SystemErrorText(GetLastError()));
    have += got;
    bool last = got == 0;
    size_t used = 0;
    while (have - used >= packet || (last && have > used && !hc.WholePackets)) {
      size_t n = std::min(packet, have - used);
      if (av_new_packet(pkt, int(n)) < 0) throw EEditorError(L"Out of memory");
      std::memcpy(pkt->data, chunk.data() + used, n);
      used += n;
      // A damaged packet is skipped; the rest of the file still decodes.
      if (avcodec_send_packet(ctx, pkt) >= 0) drain();
      av_packet_unref(pkt);
    }
    std::memmove(chunk.data(), chunk.data() + used, have - used);
    have -= used;
    if (last) break;
  }
  avcodec_send_packet(ctx, nullptr);
  drain();
  rate = hc.Rate;
  channels = hc.Channels;
  return b.Finish();
}

bool ProbePcm(const std::wstring& fileName, PcmLayout& layout, int& rate,
              const HeaderlessFormats& formats) {
  std::wstring problem;
  return ProbePcm(fileName, layout, rate, problem, formats);
}

bool ProbePcm(const std::wstring& fileName, PcmLayout& layout, int& rate, std::wstring& problem,
              const HeaderlessFormats& formats) {
  problem.clear();
  std::wstring ext = Extension(fileName);
  WIN32_FILE_ATTRIBUTE_DATA fa{};
  if (!GetFileAttributesExW(fileName.c_str(), GetFileExInfoStandard, &fa)) return false;
  int64_t size = int64_t(fa.nFileSizeHigh) << 32 | fa.nFileSizeLow;
  if (ext == L"raw" || ext == L"pcm") {
    // Only uncompressed RAW is read in place; 8-bit samples are unsigned.
    if (formats.Raw.RawCompression != 1) return false;
    OutputFormat raw = formats.Raw;
    raw.Type = OutputFormat::Raw;
    int ch = 2;
    EffectiveFormat(raw, rate, ch);
    layout = PcmLayout{};
    layout.Channels = ch;
    layout.Bits = raw.BitsPerSample == 8 ? 8 : 16;
    layout.Frames = size / layout.FrameBytes();
    return true;
  }
  HANDLE h = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  auto readAt = [&](int64_t pos, void* out, DWORD n) {
    LARGE_INTEGER p;
    p.QuadPart = pos;
    DWORD got = 0;
    return SetFilePointerEx(h, p, nullptr, FILE_BEGIN) && ReadFile(h, out, n, &got, nullptr) &&
           got == n;
  };
  auto le16 = [](const uint8_t* p) { return unsigned(p[0] | p[1] << 8); };
  auto le32 = [](const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  };
  auto be16 = [](const uint8_t* p) { return unsigned(p[0] << 8 | p[1]); };
  auto be32 = [](const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
  };
  uint8_t head[12] = {};
  bool ok = false;
  PcmLayout l;
  double sampleRate = 0;
  int64_t dataSize = 0, declaredFrames = -1;
  // Files hold a handful of chunks; a long list is damage, and walking it
  // costs the window its responsiveness.
  constexpr int kMaxChunks = 4096;
  int chunks = 0;
  bool tooMany = false;
  if (!readAt(0, head, 12)) {
    // Too short for any header.
  } else if (std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0) {
    bool haveFmt = false, haveData = false;
    unsigned tag = 0, align = 0;
    for (int64_t pos = 12; pos + 8 <= size && !(haveFmt && haveData);) {
      if (++chunks > kMaxChunks) {
        tooMany = true;
        break;
      }
      uint8_t ck[8];
      if (!readAt(pos, ck, 8)) break;
      int64_t len = le32(ck + 4);
      if (std::memcmp(ck, "fmt ", 4) == 0 && len >= 16) {
        uint8_t f[40] = {};
        if (!readAt(pos + 8, f, DWORD(std::min<int64_t>(len, 40)))) break;
        tag = le16(f);
        l.Channels = int(le16(f + 2));
        sampleRate = le32(f + 4);
        align = le16(f + 12);
        l.Bits = int(le16(f + 14));
        // Extensible format: the sub-format's leading code.
        if (tag == 0xFFFE && len >= 40) tag = le16(f + 24);
        haveFmt = true;
      } else if (std::memcmp(ck, "data", 4) == 0) {
        l.Offset = pos + 8;
        // A recorder that crashed or streamed leaves 0 or all ones: the data
        // runs to the end of the file.
        dataSize = len == 0 || len == 0xFFFFFFFF ? size - l.Offset : len;
        haveData = true;
        if (dataSize != len) len = dataSize;
      }
      pos += 8 + len + (len & 1);
    }
    l.Float = tag == 3;
    ok = haveFmt && haveData && (tag == 1 || tag == 3) && int64_t(align) == l.FrameBytes();
  } else if (std::memcmp(head, "FORM", 4) == 0 &&
             (std::memcmp(head + 8, "AIFF", 4) == 0 || std::memcmp(head + 8, "AIFC", 4) == 0)) {
    bool aifc = head[11] == 'C', haveComm = false, haveData = false, known = !aifc;
    int64_t frames = 0;
    l.BigEndian = true;
    l.Signed8 = true;
    for (int64_t pos = 12; pos + 8 <= size && !(haveComm && haveData);) {
      if (++chunks > kMaxChunks) {
        tooMany = true;
        break;
      }
      uint8_t ck[8];
      if (!readAt(pos, ck, 8)) break;
      int64_t len = be32(ck + 4);
      if (std::memcmp(ck, "COMM", 4) == 0 && len >= 18) {
        uint8_t c[22] = {};
        if (!readAt(pos + 8, c, DWORD(std::min<int64_t>(len, 22)))) break;
        l.Channels = int(be16(c));
        frames = be32(c + 2);
        l.Bits = int(be16(c + 6));
        // 80-bit extended rate: sign and exponent, then a 64-bit mantissa.
        int exponent = int(be16(c + 8) & 0x7FFF) - 16383 - 63;
        uint64_t mantissa = uint64_t(be32(c + 10)) << 32 | be32(c + 14);
        sampleRate = exponent > -64 && exponent < 0 ? std::ldexp(double(mantissa), exponent) : 0;
        if (aifc && len >= 22) {
          if (std::memcmp(c + 18, "NONE", 4) == 0 || std::memcmp(c + 18, "twos", 4) == 0) {
            known = true;
          } else if (std::memcmp(c + 18, "sowt", 4) == 0) {
            known = true;
            l.BigEndian = false;
          } else if (std::memcmp(c + 18, "fl32", 4) == 0 || std::memcmp(c + 18, "FL32", 4) == 0 ||
                     std::memcmp(c + 18, "fl64", 4) == 0 || std::memcmp(c + 18, "FL64", 4) == 0) {
            known = true;
            l.Float = true;
            l.Bits = c[20] == '6' ? 64 : 32;
          }
        }
        haveComm = true;
      } else if (std::memcmp(ck, "SSND", 4) == 0) {
        uint8_t o[4];
        if (!readAt(pos + 8, o, 4)) break;
        l.Offset = pos + 16 + be32(o);
        dataSize = len - 8 - int64_t(be32(o));
        // An unfinished size (0, all ones) runs to the end of the file.
        if (len <= 8 || len == 0xFFFFFFFF) {
          dataSize = size - l.Offset;
          len = 8 + int64_t(be32(o)) + dataSize;
        }
        haveData = true;
      }
      pos += 8 + len + (len & 1);
    }
    // 8-bit sowt data is signed as well; only wider samples change order.
    if (l.Bits == 8) l.BigEndian = false;
    ok = haveComm && haveData && known && dataSize >= 0;
    // A frame count of 0 is a header never finished; the data says how much there is.
    declaredFrames = frames > 0 ? frames : -1;
  } else if (std::memcmp(head, ".snd", 4) == 0) {
    uint8_t au[24];
    if (readAt(0, au, 24)) {
      unsigned encoding = be32(au + 12);
      static const int kBits[] = {0, 0, 8, 16, 24, 32, 32, 64};
      if (encoding >= 2 && encoding <= 7) {
        l.Offset = be32(au + 4);
        uint32_t declared = be32(au + 8);
        // An unknown size (all ones) runs to the end of the file.
        dataSize = declared == 0xFFFFFFFFu || declared == 0 ? size - l.Offset : int64_t(declared);
        l.Bits = kBits[encoding];
        l.Float = encoding >= 6;
        l.BigEndian = true;
        l.Signed8 = true;
        sampleRate = be32(au + 16);
        l.Channels = int(be32(au + 20));
        ok = l.Offset >= 24;
      }
    }
  }
  CloseHandle(h);
  if (tooMany) {
    problem = L"its list of chunks is damaged (more than " + std::to_wstring(kMaxChunks) + L")";
    return false;
  }
  if (ok && (sampleRate < 1000 || sampleRate > 768000)) {
    problem = L"its sample rate of " + std::to_wstring(int64_t(sampleRate)) +
              L" Hz is outside 1,000 to 768,000 Hz";
    return false;
  }
  if (ok && !l.Float && l.Bits >= 1 && l.Bits < 8) {
    problem = L"its samples of " + std::to_wstring(l.Bits) + L" bits are not supported";
    return false;
  }
  ok = ok && (l.Channels == 1 || l.Channels == 2) && sampleRate >= 1 && sampleRate <= 768000 &&
       sampleRate == std::floor(sampleRate) &&
       (l.Float ? (l.Bits == 32 || l.Bits == 64)
                : (l.Bits == 8 || l.Bits == 16 || l.Bits == 24 || l.Bits == 32)) &&
       l.Offset <= size;
  if (!ok) return false;
  // A size beyond the end of the file (an unfinished recording) stops at the end.
  dataSize = std::clamp<int64_t>(dataSize, 0, size - l.Offset);
  l.Frames = dataSize / l.FrameBytes();
  if (declaredFrames >= 0) l.Frames = std::min(l.Frames, declaredFrames);
  layout = l;
  rate = int(sampleRate);
  return true;
}

bool IsHeaderless(const std::wstring& fileName) {
  HeaderlessCodec c;
  return HeaderlessCodecOf(fileName, HeaderlessFormats{}, c);
}

namespace {
const wchar_t* const kGenres[] = {L"Blues",
                                  L"Classic Rock",
                                  L"Country",
                                  L"Dance",
                                  L"Disco",
                                  L"Funk",
                                  L"Grunge",
                                  L"Hip-Hop",
                                  L"Jazz",
                                  L"Metal",
                                  L"New Age",
                                  L"Oldies",
                                  L"Other",
                                  L"Pop",
                                  L"R&B",
                                  L"Rap",
                                  L"Reggae",
                                  L"Rock",
                                  L"Techno",
                                  L"Industrial",
                                  L"Alternative",
                                  L"Ska",
                                  L"Death Metal",
                                  L"Pranks",
                                  L"Soundtrack",
                                  L"Euro-Techno",
                                  L"Ambient",
                                  L"Trip-Hop",
                                  L"Vocal",
                                  L"Jazz+Funk",
                                  L"Fusion",
                                  L"Trance",
                                  L"Classical",
                                  L"Instrumental",
                                  L"Acid",
                                  L"House",
                                  L"Game",
                                  L"Sound Clip",
                                  L"Gospel",
                                  L"Noise",
                                  L"AlternRock",
                                  L"Bass",
                                  L"Soul",
                                  L"Punk",
                                  L"Space",
                                  L"Meditative",
                                  L"Instrumental Pop",
                                  L"Instrumental Rock",
                                  L"Ethnic",
                                  L"Gothic",
                                  L"Darkwave",
                                  L"Techno-Industrial",
                                  L"Electronic",
                                  L"Pop-Folk",
                                  L"Eurodance",
                                  L"Dream",
                                  L"Southern Rock",
                                  L"Comedy",
                                  L"Cult",
                                  L"Gangsta",
                                  L"Top 40",
                                  L"Christian Rap",
                                  L"Pop/Funk",
                                  L"Jungle",
                                  L"Native American",
                                  L"Cabaret",
                                  L"New Wave",
                                  L"Psychadelic",
                                  L"Rave",
                                  L"Showtunes",
                                  L"Trailer",
                                  L"Lo-Fi",
                                  L"Tribal",
                                  L"Acid Punk",
                                  L"Acid Jazz",
                                  L"Polka",
                                  L"Retro",
                                  L"Musical",
                                  L"Rock & Roll",
                                  L"Hard Rock",
                                  L"Folk",
                                  L"Folk-Rock",
                                  L"National Folk",
                                  L"Swing",
                                  L"Fast Fusion",
                                  L"Bebob",
                                  L"Latin",
                                  L"Revival",
                                  L"Celtic",
                                  L"Bluegrass",
                                  L"Avantgarde",
                                  L"Gothic Rock",
                                  L"Progressive Rock",
                                  L"Psychedelic Rock",
                                  L"Symphonic Rock",
                                  L"Slow Rock",
                                  L"Big Band",
                                  L"Chorus",
                                  L"Easy Listening",
                                  L"Acoustic",
                                  L"Humour",
                                  L"Speech",
                                  L"Chanson",
                                  L"Opera",
                                  L"Chamber Music",
                                  L"Sonata",
                                  L"Symphony",
                                  L"Booty Bass",
                                  L"Primus",
                                  L"Porn Groove",
                                  L"Satire",
                                  L"Slow Jam",
                                  L"Club",
                                  L"Tango",
                                  L"Samba",
                                  L"Folklore",
                                  L"Ballad",
                                  L"Power Ballad",
                                  L"Rhythmic Soul",
                                  L"Freestyle",
                                  L"Duet",
                                  L"Punk Rock",
                                  L"Drum Solo",
                                  L"A capella",
                                  L"Euro-House",
                                  L"Dance Hall",
                                  L"Goa",
                                  L"Drum & Bass",
                                  L"Club-House",
                                  L"Hardcore",
                                  L"Terror",
                                  L"Indie",
                                  L"BritPop",
                                  L"Negerpunk",
                                  L"Polsk Punk",
                                  L"Beat",
                                  L"Christian Gangsta Rap",
                                  L"Heavy Metal",
                                  L"Black Metal",
                                  L"Crossover",
                                  L"Contemporary Christian",
                                  L"Christian Rock",
                                  L"Merengue",
                                  L"Salsa",
                                  L"Thrash Metal",
                                  L"Anime",
                                  L"JPop",
                                  L"Synthpop"};
constexpr int kGenreCount = int(sizeof(kGenres) / sizeof(kGenres[0]));
} // namespace

int GenreCount() {
  return kGenreCount;
}

const wchar_t* GenreName(int index) {
  return index >= 0 && index < kGenreCount ? kGenres[index] : L"";
}

int GenreIndex(const std::wstring& text) {
  std::wstring t = text;
  while (!t.empty() && iswspace(t.back()))
    t.pop_back();
  while (!t.empty() && iswspace(t.front()))
    t.erase(t.begin());
  // A number, bare or in parentheses as older tags write it.
  std::wstring digits =
      t.size() > 2 && t.front() == L'(' && t.back() == L')' ? t.substr(1, t.size() - 2) : t;
  if (!digits.empty() && digits.size() <= 3 &&
      std::all_of(digits.begin(), digits.end(), [](wchar_t c) { return iswdigit(c); })) {
    int n = _wtoi(digits.c_str());
    return n < kGenreCount ? n : -1;
  }
  for (int i = 0; i < kGenreCount; ++i)
    if (_wcsicmp(kGenres[i], t.c_str()) == 0) return i;
  return -1;
}

Tags ReadTags(const std::wstring& fileName) {
  Tags t;
  // Headerless files carry no tags; probing them would only guess a format.
  if (IsHeaderless(fileName)) return t;
  AVFormatContext* fmt = nullptr;
  std::string path = audio::WideToUtf8(fileName);
  if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return t;
  auto get = [&](const char* key) -> std::wstring {
    AVDictionaryEntry* e = av_dict_get(fmt->metadata, key, nullptr, AV_DICT_IGNORE_SUFFIX);
    if (!e)
      for (unsigned i = 0; i < fmt->nb_streams && !e; ++i)
        e = av_dict_get(fmt->streams[i]->metadata, key, nullptr, AV_DICT_IGNORE_SUFFIX);
    return e ? audio::Utf8ToWide(e->value) : std::wstring();
  };
  t.Title = get("title");
  t.Artist = get("artist");
  t.Album = get("album");
  t.Copyright = get("copyright");
  t.Comment = get("comment");
  t.Composer = get("composer");
  t.EncodedBy = get("encoded_by");
  t.Year = _wtoi(get("date").c_str());
  t.Track = _wtoi(get("track").c_str());
  t.Genre = GenreIndex(get("genre"));
  avformat_close_input(&fmt);
  return t;
}

// ---------------------------------------------------------------------------
// VOX

namespace {
const int kVoxSteps[49] = {16,  17,  19,  21,  23,  25,   28,   31,   34,   37,  41,  45,  50,
                           55,  60,  66,  73,  80,  88,   97,   107,  118,  130, 143, 157, 173,
                           190, 209, 230, 253, 279, 307,  337,  371,  408,  449, 494, 544, 598,
                           658, 724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552};
const int kVoxIndex[8] = {-1, -1, -1, -1, 2, 4, 6, 8};
} // namespace

// The difference a code stands for, as OKI ADPCM decoders compute it: one
// product, rounded once (a sum of separately shifted steps comes out smaller
// and lets a decoder drift away from the coder's prediction).
static int VoxDifference(int step, uint8_t code) {
  int diff = ((2 * (code & 7) + 1) * step) >> 3;
  return code & 8 ? -diff : diff;
}

int16_t VoxCodec::Decode(uint8_t code) {
  FPredicted = std::clamp(FPredicted + VoxDifference(kVoxSteps[FIndex], code), -2048, 2047);
  FIndex = std::clamp(FIndex + kVoxIndex[code & 7], 0, 48);
  return int16_t(FPredicted * 16);
}

uint8_t VoxCodec::Encode(int16_t sample) {
  int d = std::min((int(sample) + 8) >> 4, 2047) - FPredicted; // 12-bit, rounded
  uint8_t code = 0;
  if (d < 0) {
    code = 8;
    d = -d;
  }
  // Magnitude m stands for (2m + 1) / 8 steps: the nearest one.
  code |= uint8_t(std::min(7, 4 * d / kVoxSteps[FIndex]));
  Decode(code); // keeps the predictor in step with a decoder
  return code;
}

std::vector<uint8_t> VoxEncode(const std::vector<int16_t>& samples) {
  VoxCodec c;
  std::vector<uint8_t> out((samples.size() + 1) / 2, 0);
  for (size_t i = 0; i < samples.size(); ++i) {
    uint8_t code = c.Encode(samples[i]);
    out[i / 2] |= (i % 2 == 0) ? uint8_t(code << 4) : code;
  }
  return out;
}

std::vector<int16_t> VoxDecode(const std::vector<uint8_t>& bytes) {
  VoxCodec c;
  std::vector<int16_t> out;
  out.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    out.push_back(c.Decode(uint8_t(b >> 4)));
    out.push_back(c.Decode(uint8_t(b & 15)));
  }
  return out;
}

} // namespace audioedit
