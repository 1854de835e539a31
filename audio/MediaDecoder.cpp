#include "audio/MediaDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "audio/AudioError.h"

namespace audio {

namespace {

// Exact frame count of an MP3 written with a Xing/Info and LAME tag: frames
// per the tag minus the encoder delay and padding; 0 when there is none.
int64_t LameTagLength(const std::wstring& fileName, int sampleRate) {
  FILE* f = _wfopen(fileName.c_str(), L"rb");
  if (!f) return 0;
  std::vector<unsigned char> b(64 * 1024);
  size_t n = fread(b.data(), 1, b.size(), f);
  fclose(f);
  size_t start = 0;
  if (n > 10 && std::memcmp(b.data(), "ID3", 3) == 0) {
    start = 10 + ((b[6] & 0x7F) << 21 | (b[7] & 0x7F) << 14 | (b[8] & 0x7F) << 7 | (b[9] & 0x7F));
    if (b[5] & 0x10) start += 10;
  }
  for (size_t at = start; at + 8 < n && at < start + 2048; ++at) {
    if (std::memcmp(&b[at], "Xing", 4) != 0 && std::memcmp(&b[at], "Info", 4) != 0) continue;
    uint32_t flags = b[at + 4] << 24 | b[at + 5] << 16 | b[at + 6] << 8 | b[at + 7];
    if (!(flags & 1)) return 0;
    size_t p = at + 8;
    uint32_t frames = b[p] << 24 | b[p + 1] << 16 | b[p + 2] << 8 | b[p + 3];
    p += 4;
    if (flags & 2) p += 4;
    if (flags & 4) p += 100;
    if (flags & 8) p += 4;
    if (p + 24 > n || std::memcmp(&b[p], "LAME", 4) != 0) return 0;
    int delay = b[p + 21] << 4 | b[p + 22] >> 4;
    int padding = (b[p + 22] & 0x0F) << 8 | b[p + 23];
    int64_t spf = sampleRate >= 32000 ? 1152 : 576;
    int64_t total = static_cast<int64_t>(frames) * spf - delay - padding;
    return total > 0 ? total : 0;
  }
  return 0;
}

// True when a RIFF or IFF file lists more chunks before its samples than any
// real file does: walking such a list would hold the reader for seconds.
bool ChunkListTooLong(const std::wstring& fileName) {
  FILE* f = _wfopen(fileName.c_str(), L"rb");
  if (!f) return false;
  unsigned char h[12];
  bool tooLong = false;
  if (fread(h, 1, 12, f) == 12) {
    bool riff = std::memcmp(h, "RIFF", 4) == 0 || std::memcmp(h, "RF64", 4) == 0;
    bool iff = std::memcmp(h, "FORM", 4) == 0;
    if (riff || iff) {
      int chunks = 0;
      unsigned char ck[8];
      int64_t pos = 12;
      while (fread(ck, 1, 8, f) == 8) {
        if (std::memcmp(ck, riff ? "data" : "SSND", 4) == 0) break;
        if (++chunks > 4096) {
          tooLong = true;
          break;
        }
        uint32_t len = riff ? uint32_t(ck[4] | ck[5] << 8 | ck[6] << 16 | uint32_t(ck[7]) << 24)
                            : uint32_t(uint32_t(ck[4]) << 24 | ck[5] << 16 | ck[6] << 8 | ck[7]);
        pos += 8 + int64_t(len) + (len & 1);
        if (_fseeki64(f, pos, SEEK_SET) != 0) break;
      }
    }
  }
  fclose(f);
  return tooLong;
}

// Errors the libraries report on this thread (a page failing its check, a
// damaged frame): the demuxers conceal them, and only the log tells.
thread_local int64_t tLibraryErrors = 0;

void LogCallback(void* avcl, int level, const char* fmt, va_list args) {
  if (level <= AV_LOG_ERROR) ++tLibraryErrors;
  av_log_default_callback(avcl, level, fmt, args);
}

} // namespace

TMediaDecoder::~TMediaDecoder() {
  Close();
}

void TMediaDecoder::Close() {
  swr_free(&FSwr);
  av_frame_free(&FFrame);
  av_packet_free(&FPacket);
  avcodec_free_context(&FCodec);
  if (FFormat) avformat_close_input(&FFormat);
  FStream = -1;
  FPending.clear();
  FPendingRead = 0;
  FPosition = 0;
  FPendingPos = -1;
  FDemuxEnd = FDecodeEnd = false;
  FNextPts = INT64_MIN;
  FTailSilence = -1;
  FMuteFrames = false;
  FDamageAt = -1;
  FGapPending = false;
  FErrorRun = 0;
}

void TMediaDecoder::Open(const std::wstring& fileName) {
  Open(fileName, std::string(), {});
}

void TMediaDecoder::Open(const std::wstring& fileName, const std::string& inputFormat,
                         const std::map<std::string, std::string>& options) {
  Close();
  static std::once_flag quiet;
  std::call_once(quiet, [] {
    av_log_set_level(AV_LOG_ERROR);
    av_log_set_callback(LogCallback);
  });
  const int64_t errorsBefore = tLibraryErrors;
  FFileName = fileName;
  auto fail = [&](const std::wstring& why) {
    Close();
    RaiseAudioError(L"Cannot open the audio file \"" + fileName + L"\": " + why);
  };
  // Devices and pipes can block the reader for ever.
  if (!IsOrdinaryFile(fileName)) fail(L"it is not a file on a disk");
  if (ChunkListTooLong(fileName)) fail(L"its list of chunks is damaged (more than 4096)");
  std::string path = WideToUtf8(fileName);
  const AVInputFormat* ifmt = nullptr;
  if (!inputFormat.empty()) {
    ifmt = av_find_input_format(inputFormat.c_str());
    if (!ifmt) fail(L"the input format " + Utf8ToWide(inputFormat) + L" is not available");
  }
  AVDictionary* opts = nullptr;
  for (const auto& [key, value] : options)
    av_dict_set(&opts, key.c_str(), value.c_str(), 0);
  int r = avformat_open_input(&FFormat, path.c_str(), ifmt, &opts);
  av_dict_free(&opts);
  if (r < 0) {
    FFormat = nullptr;
    fail(MediaErrorText(r));
  }
  r = avformat_find_stream_info(FFormat, nullptr);
  if (r < 0) fail(MediaErrorText(r));
  const AVCodec* codec = nullptr;
  FStream = av_find_best_stream(FFormat, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
  if (FStream < 0 || !codec) fail(L"it holds no audio that can be decoded");
  AVStream* st = FFormat->streams[FStream];
  FCodec = avcodec_alloc_context3(codec);
  if (!FCodec) fail(L"out of memory");
  r = avcodec_parameters_to_context(FCodec, st->codecpar);
  // Lossless frames carry a check: a frame that fails it is damage.
  if (codec->id == AV_CODEC_ID_FLAC) FCodec->err_recognition |= AV_EF_CRCCHECK;
  if (r >= 0) r = avcodec_open2(FCodec, codec, nullptr);
  if (r < 0) fail(MediaErrorText(r));
  if (FCodec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || FCodec->ch_layout.nb_channels == 0) {
    int n = FCodec->ch_layout.nb_channels > 0 ? FCodec->ch_layout.nb_channels : 1;
    av_channel_layout_uninit(&FCodec->ch_layout);
    av_channel_layout_default(&FCodec->ch_layout, n);
  }
  FSourceRate = FCodec->sample_rate;
  FSourceChannels = FCodec->ch_layout.nb_channels;
  if (FSourceRate <= 0 || FSourceChannels <= 0) fail(L"the audio format is not valid");
  if (FSourceRate < 1000 || FSourceRate > 768000)
    fail(L"its sample rate of " + std::to_wstring(FSourceRate) +
         L" Hz is outside 1,000 to 768,000 Hz");
  const AVCodecParameters* par = st->codecpar;
  const bool pcm =
      par->codec_id >= AV_CODEC_ID_PCM_S16LE && par->codec_id < AV_CODEC_ID_ADPCM_IMA_QT;
  const int pcmBits = pcm ? av_get_exact_bits_per_sample(par->codec_id) : 0;
  if (pcm && par->bits_per_coded_sample > 0 && par->bits_per_coded_sample < 8)
    fail(L"its samples of " + std::to_wstring(par->bits_per_coded_sample) +
         L" bits are not supported");
  if (pcmBits >= 8 && par->block_align > 0 &&
      int64_t(par->block_align) * 8 != int64_t(pcmBits) * FSourceChannels)
    fail(L"its header names " + std::to_wstring(FSourceChannels) +
         L" channels, which do not divide its frames of " + std::to_wstring(par->block_align) +
         L" bytes");
  FCodecName = Utf8ToWide(codec->name);
  FStartPts = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
  if (st->duration != AV_NOPTS_VALUE && st->duration > 0)
    FSourceLength = av_rescale_q(st->duration, st->time_base, AVRational{1, FSourceRate});
  else if (FFormat->duration != AV_NOPTS_VALUE && FFormat->duration > 0)
    FSourceLength = av_rescale(FFormat->duration, FSourceRate, AV_TIME_BASE);
  else
    FSourceLength = 0;
  FCountSeek = std::strcmp(FFormat->iformat->name, "asf") == 0;
  FExactLength = std::strcmp(FFormat->iformat->name, "flac") == 0 && FSourceLength > 0;
  if (std::strcmp(FFormat->iformat->name, "mp3") == 0) {
    int64_t exact = LameTagLength(fileName, FSourceRate);
    if (exact > 0) FSourceLength = exact;
    FExactLength = exact > 0;
  }
  if (FFormat->duration != AV_NOPTS_VALUE && FFormat->duration > 0)
    FDuration = FFormat->duration / static_cast<double>(AV_TIME_BASE);
  else
    FDuration = static_cast<double>(FSourceLength) / FSourceRate;
  // A damaged header can claim far more than the file holds: uncompressed
  // samples by their size, anything else by a bit rate no codec goes below.
  int64_t fileBytes = FFormat->pb ? avio_size(FFormat->pb) : -1;
  if (fileBytes >= 0) {
    int64_t most = pcmBits >= 8 ? fileBytes * 8 / (int64_t(pcmBits) * FSourceChannels)
                                : av_rescale(fileBytes * 8, FSourceRate, 500);
    if (FSourceLength > most) FSourceLength = most;
    double seconds = static_cast<double>(most) / FSourceRate;
    if (FDuration > seconds) FDuration = seconds;
  }
  FPacket = av_packet_alloc();
  FFrame = av_frame_alloc();
  if (!FPacket || !FFrame) fail(L"out of memory");
  FOutRate = FSourceRate;
  FOutChannels = FSourceChannels;
  ResetConverter();
  if (tLibraryErrors != errorsBefore) {
    // Damage met while probing; a stream that seems to start late lost its
    // beginning, which reads as silence.
    NoteDamage();
    if (FStartPts > 0 && std::strcmp(FFormat->iformat->name, "ogg") == 0) {
      FNextPts = 0;
      int64_t lost = av_rescale_q(FStartPts, st->time_base, AVRational{1, FSourceRate});
      FSourceLength += lost;
      FDuration += static_cast<double>(lost) / FSourceRate;
      FStartPts = 0;
    }
  }
}

void TMediaDecoder::SetOutputFormat(int sampleRate, int channels) {
  if (sampleRate <= 0 || channels <= 0) RaiseAudioError(L"Invalid output format");
  if (sampleRate == FOutRate && channels == FOutChannels) return;
  if (IsOpen() && FPosition > 0) {
    int64_t pos = av_rescale(FPosition, sampleRate, FOutRate);
    FOutRate = sampleRate;
    FOutChannels = channels;
    Seek(pos);
    return;
  }
  FOutRate = sampleRate;
  FOutChannels = channels;
  if (IsOpen()) {
    ResetConverter();
    FPending.clear();
    FPendingRead = 0;
  }
}

void TMediaDecoder::ResetConverter() {
  swr_free(&FSwr);
  AVChannelLayout out{};
  av_channel_layout_default(&out, FOutChannels);
  int r = swr_alloc_set_opts2(&FSwr, &out, FFloat ? AV_SAMPLE_FMT_FLT : AV_SAMPLE_FMT_S16, FOutRate,
                              &FCodec->ch_layout, FCodec->sample_fmt, FSourceRate, 0, nullptr);
  av_channel_layout_uninit(&out);
  // Down-mixes keep the level: the float output is scaled as the 16-bit one is.
  if (r >= 0) av_opt_set_double(FSwr, "rematrix_maxval", 1.0, 0);
  if (r < 0 || swr_init(FSwr) < 0) {
    swr_free(&FSwr);
    RaiseAudioError(L"Cannot convert the audio of \"" + FFileName + L"\"");
  }
}

void TMediaDecoder::SetFloatOutput(bool on) {
  if (on == FFloat) return;
  FFloat = on;
  FSampleBytes = on ? sizeof(float) : sizeof(int16_t);
  if (!IsOpen()) return;
  // Converted samples waiting in the old type are decoded again.
  if (FPosition > 0 || !FPending.empty()) {
    Seek(FPosition);
    return;
  }
  ResetConverter();
  FPending.clear();
  FPendingRead = 0;
}

int64_t TMediaDecoder::Length() const {
  if (!IsOpen()) return 0;
  return av_rescale(FSourceLength, FOutRate, FSourceRate);
}

void TMediaDecoder::Convert(const AVFrame* f) {
  if (f)
    ConvertSamples(const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
  else
    ConvertSamples(nullptr, 0);
}

void TMediaDecoder::ConvertSamples(const uint8_t** in, int count) {
  int maxOut = swr_get_out_samples(FSwr, count);
  if (maxOut <= 0) return;
  // Drop what was already returned before growing the buffer.
  if (FPendingRead) {
    FPending.erase(FPending.begin(),
                   FPending.begin() + static_cast<ptrdiff_t>(FPendingRead * FSampleBytes));
    if (FPendingPos >= 0) FPendingPos += static_cast<int64_t>(FPendingRead / FOutChannels);
    FPendingRead = 0;
  }
  size_t old = FPending.size();
  FPending.resize(old + static_cast<size_t>(maxOut) * FOutChannels * FSampleBytes);
  uint8_t* out[1] = {FPending.data() + old};
  int n = swr_convert(FSwr, out, maxOut, in, count);
  FPending.resize(old + static_cast<size_t>(std::max(n, 0)) * FOutChannels * FSampleBytes);
}

void TMediaDecoder::NoteDamage() {
  FGapPending = true;
  ++FErrorRun;
  if (FDamageAt < 0)
    FDamageAt = FPosition + static_cast<int64_t>((PendingSamples() - FPendingRead) / FOutChannels);
}

void TMediaDecoder::InjectSilence(int64_t samples) {
  if (samples <= 0 || swr_inject_silence(FSwr, static_cast<int>(samples)) < 0) return;
  // Converts what the converter holds without ending its stream.
  static const uint8_t none[8] = {};
  const uint8_t* planes[64];
  std::fill(std::begin(planes), std::end(planes), none);
  ConvertSamples(planes, 0);
}

bool TMediaDecoder::DecodeMore() {
  AVStream* st = FFormat->streams[FStream];
  for (;;) {
    if (FDecodeEnd) return false;
    const int64_t receiveErrors = tLibraryErrors;
    int r = avcodec_receive_frame(FCodec, FFrame);
    if (r >= 0) {
      FErrorRun = 0;
      if (FMuteFrames || tLibraryErrors != receiveErrors) {
        if (!FMuteFrames) NoteDamage();
        av_samples_set_silence(FFrame->extended_data, 0, FFrame->nb_samples,
                               FFrame->ch_layout.nb_channels, AVSampleFormat(FFrame->format));
      }
      int64_t pts = FFrame->best_effort_timestamp;
      // A damaged packet, or a jump forward where the demuxer dropped a
      // stretch: the time reads as silence, so what follows keeps its place.
      int64_t gap = 0, first = pts;
      if (pts != AV_NOPTS_VALUE && FNextPts != INT64_MIN && pts > FNextPts) {
        gap = av_rescale_q(pts - FNextPts, st->time_base, AVRational{1, FSourceRate});
        if (FGapPending || gap > FSourceRate / 20) {
          if (!FGapPending) NoteDamage();
          first = FNextPts;
          // At most a minute a gap: a wild time stamp must not fill the disk.
          gap = std::min<int64_t>(gap, int64_t(FSourceRate) * 60);
        } else {
          gap = 0;
        }
      }
      if (FPendingPos < 0 && PendingSamples() == FPendingRead && first != AV_NOPTS_VALUE) {
        FPendingPos = av_rescale_q(first - FStartPts, st->time_base, AVRational{1, FOutRate});
        FPending.clear();
        FPendingRead = 0;
      }
      if (gap > 0) InjectSilence(gap);
      if (pts != AV_NOPTS_VALUE)
        FNextPts =
            pts + av_rescale_q(FFrame->nb_samples, AVRational{1, FSourceRate}, st->time_base);
      else if (FNextPts != INT64_MIN)
        FNextPts += av_rescale_q(FFrame->nb_samples, AVRational{1, FSourceRate}, st->time_base);
      FGapPending = false;
      Convert(FFrame);
      av_frame_unref(FFrame);
      return true;
    }
    if (r == AVERROR_EOF) {
      // A damaged end reads as silence up to the length the file reports,
      // a second at a time.
      if (FTailSilence < 0) {
        FTailSilence = 0;
        if (FNextPts != INT64_MIN && FSourceLength > 0) {
          int64_t missing = FSourceLength - av_rescale_q(FNextPts - FStartPts, st->time_base,
                                                         AVRational{1, FSourceRate});
          // A header that counts its samples exactly and a file that ends
          // well before them: the file was cut short, which is damage too.
          if (FDamageAt < 0 && FExactLength && missing > FSourceRate / 10) NoteDamage();
          if (FDamageAt >= 0) FTailSilence = std::max<int64_t>(0, missing);
        }
      }
      if (FTailSilence > 0) {
        int64_t n = std::min<int64_t>(FTailSilence, FSourceRate);
        FTailSilence -= n;
        InjectSilence(n);
        if (PendingSamples() > FPendingRead) return true;
        continue;
      }
      Convert(nullptr); // the converter's tail
      FDecodeEnd = true;
      return PendingSamples() > FPendingRead;
    }
    if (r != AVERROR(EAGAIN)) {
      // A damaged packet: the decoder drops it and goes on with the next.
      NoteDamage();
      if (FErrorRun > 10000) {
        FDecodeEnd = true; // nothing decodable is left
        return PendingSamples() > FPendingRead;
      }
      continue;
    }
    if (FDemuxEnd) {
      avcodec_send_packet(FCodec, nullptr);
      continue;
    }
    const int64_t errorsBefore = tLibraryErrors;
    r = av_read_frame(FFormat, FPacket);
    if (tLibraryErrors != errorsBefore) NoteDamage();
    if (r < 0) {
      FDemuxEnd = true;
      avcodec_send_packet(FCodec, nullptr);
      continue;
    }
    if (FPacket->stream_index == FStream) {
      const int64_t sendErrors = tLibraryErrors;
      r = avcodec_send_packet(FCodec, FPacket);
      FMuteFrames = false;
      if (r < 0 && r != AVERROR(EAGAIN) && r != AVERROR_EOF) {
        // Refused: the time it held reads as silence.
        NoteDamage();
        if (FErrorRun > 10000) FDemuxEnd = true;
        if (FPacket->duration > 0 && FPacket->duration < int64_t(FSourceRate) * 60) {
          InjectSilence(av_rescale_q(FPacket->duration, st->time_base, AVRational{1, FSourceRate}));
          if (FNextPts != INT64_MIN)
            FNextPts += FPacket->duration;
          else if (FPacket->pts != AV_NOPTS_VALUE)
            FNextPts = FPacket->pts + FPacket->duration;
        }
      } else if (tLibraryErrors != sendErrors || (FPacket->flags & AV_PKT_FLAG_CORRUPT)) {
        // Decoded with errors (a failed check): what it gives reads as silence.
        NoteDamage();
        FMuteFrames = true;
      }
    }
    av_packet_unref(FPacket);
  }
}

size_t TMediaDecoder::Read(int16_t* out, size_t frames) {
  return ReadSamples(out, frames, false);
}

size_t TMediaDecoder::Read(float* out, size_t frames) {
  return ReadSamples(out, frames, true);
}

size_t TMediaDecoder::ReadSamples(void* out, size_t frames, bool asFloat) {
  if (!IsOpen() || !frames) return 0;
  size_t done = 0;
  while (done < frames) {
    size_t avail = (PendingSamples() - FPendingRead) / FOutChannels;
    if (!avail) {
      if (!DecodeMore()) break;
      continue;
    }
    size_t n = std::min(avail, frames - done);
    size_t count = n * FOutChannels, at = done * FOutChannels;
    const uint8_t* src = FPending.data() + FPendingRead * FSampleBytes;
    if (asFloat == FFloat) {
      std::memcpy(static_cast<uint8_t*>(out) + at * FSampleBytes, src, count * FSampleBytes);
    } else if (asFloat) {
      const int16_t* s = reinterpret_cast<const int16_t*>(src);
      float* d = static_cast<float*>(out) + at;
      for (size_t i = 0; i < count; ++i)
        d[i] = s[i] * (1.0f / 32768.0f);
    } else {
      const float* s = reinterpret_cast<const float*>(src);
      int16_t* d = static_cast<int16_t*>(out) + at;
      for (size_t i = 0; i < count; ++i)
        d[i] = static_cast<int16_t>(std::lrint(std::clamp(s[i] * 32768.0f, -32768.0f, 32767.0f)));
    }
    FPendingRead += count;
    done += n;
  }
  FPosition += static_cast<int64_t>(done);
  if (FPendingRead == PendingSamples()) {
    FPending.clear();
    FPendingPos = -1;
    FPendingRead = 0;
  }
  return done;
}

std::vector<int16_t> TMediaDecoder::Read(size_t frames) {
  std::vector<int16_t> v(frames * std::max(FOutChannels, 1));
  size_t n = Read(v.data(), frames);
  v.resize(n * FOutChannels);
  return v;
}

int64_t TMediaDecoder::Seek(int64_t frame) {
  if (!IsOpen()) return 0;
  int64_t length = Length();
  if (frame < 0) frame = 0;
  if (length > 0 && frame > length) frame = length;
  AVStream* st = FFormat->streams[FStream];
  int64_t ts = av_rescale_q(frame, AVRational{1, FOutRate}, st->time_base) + FStartPts;
  int r = av_seek_frame(FFormat, FStream, ts, AVSEEK_FLAG_BACKWARD);
  if (r < 0) r = av_seek_frame(FFormat, FStream, FStartPts, AVSEEK_FLAG_BACKWARD);
  if (r < 0) r = avformat_seek_file(FFormat, -1, INT64_MIN, 0, 0, AVSEEK_FLAG_BYTE);
  avcodec_flush_buffers(FCodec);
  ResetConverter();
  FPending.clear();
  FPendingRead = 0;
  FPendingPos = -1;
  FDemuxEnd = FDecodeEnd = false;
  FNextPts = INT64_MIN;
  FTailSilence = -1;
  FGapPending = false;
  // Decode until the first timed frame, then drop up to the target.
  int64_t pos = -1;
  if (!FCountSeek && DecodeMore()) pos = FPendingPos;
  if (pos < 0 || pos > frame) {
    // No time stamps: count frames from the start.
    av_seek_frame(FFormat, FStream, FStartPts, AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(FCodec);
    ResetConverter();
    FPending.clear();
    FPendingRead = 0;
    FDemuxEnd = FDecodeEnd = false;
    FNextPts = INT64_MIN;
    FTailSilence = -1;
    FGapPending = false;
    FPosition = 0;
    std::vector<int16_t> sink(4096 * FOutChannels);
    while (FPosition < frame) {
      size_t want = static_cast<size_t>(std::min<int64_t>(4096, frame - FPosition));
      if (!Read(sink.data(), want)) break;
    }
    return FPosition;
  }
  FPosition = pos;
  while (FPosition < frame) {
    size_t avail = (PendingSamples() - FPendingRead) / FOutChannels;
    if (!avail) {
      if (!DecodeMore()) break;
      continue;
    }
    size_t n =
        static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(avail), frame - FPosition));
    FPendingRead += n * FOutChannels;
    FPosition += static_cast<int64_t>(n);
  }
  if (FPosition < 0) {
    // Frames before the start (encoder delay) are skipped.
    while (FPosition < 0) {
      size_t avail = (PendingSamples() - FPendingRead) / FOutChannels;
      if (!avail) {
        if (!DecodeMore()) break;
        continue;
      }
      size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(avail), -FPosition));
      FPendingRead += n * FOutChannels;
      FPosition += static_cast<int64_t>(n);
    }
  }
  return FPosition;
}

} // namespace audio
