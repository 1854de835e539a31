// Recorder file writing: 10 minutes of 200 ms blocks through
// TAudioFile2.WriteArray for each output format, and the same blocks through
// the bare library calls (the reference) in the same run. The two alternate
// (engine first in even rounds, the reference first in odd ones), five
// rounds by default; prints the medians, the overhead of the medians and
// the spread of the per-round overheads, and calls the target met or not
// only when the whole spread lies on one side of it.
// Usage: RecorderBench.exe [minutes (10)] [rounds (5)]
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}
#include <lame/lame.h>
#include <vorbis/vorbisenc.h>

#include "audio/AudioFile2.h"
#include "audio/SafeArrays.h"

namespace {

constexpr int kRate = 44100, kChannels = 2;
constexpr int kBlockFrames = kRate / 5; // 200 ms

double Now() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) / double(freq.QuadPart);
}

// A tone with some noise, so the encoders have real work.
std::vector<int16_t> MakeBlock(int index) {
  std::vector<int16_t> b(size_t(kBlockFrames) * kChannels);
  uint32_t seed = 12345u + uint32_t(index);
  for (int i = 0; i < kBlockFrames; ++i) {
    double t = double(int64_t(index) * kBlockFrames + i) / kRate;
    for (int c = 0; c < kChannels; ++c) {
      seed = seed * 1664525u + 1013904223u;
      double noise = (double(seed >> 8) / double(1 << 24) - 0.5) * 0.05;
      double v = 0.4 * std::sin(2 * std::numbers::pi * (440.0 + 110.0 * c) * t) + noise;
      b[size_t(i) * kChannels + c] = int16_t(std::lrint(v * 32767.0));
    }
  }
  return b;
}

// Bare file output with the Win32 file calls.
struct BareFile {
  HANDLE H;
  explicit BareFile(const std::wstring& name) {
    H = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                    nullptr);
  }
  ~BareFile() { CloseHandle(H); }
  void Write(const void* p, size_t n) {
    DWORD done = 0;
    WriteFile(H, p, DWORD(n), &done, nullptr);
  }
  void WriteAt(int64_t at, const void* p, size_t n) {
    LARGE_INTEGER pos{}, old{};
    SetFilePointerEx(H, pos, &old, FILE_CURRENT);
    pos.QuadPart = at;
    SetFilePointerEx(H, pos, nullptr, FILE_BEGIN);
    Write(p, n);
    SetFilePointerEx(H, old, nullptr, FILE_BEGIN);
  }
};

using Blocks = std::vector<std::vector<int16_t>>;

double BareWav(const std::wstring& name, const Blocks& blocks) {
  double t0 = Now();
  BareFile f(name);
  uint8_t h[44] = {'R', 'I', 'F', 'F', 0,  0, 0,   0,   'W', 'A',  'V',  'E', 'f', 'm',  't',
                   ' ', 16,  0,   0,   0,  1, 0,   2,   0,   0x44, 0xAC, 0,   0,   0x10, 0xB1,
                   2,   0,   4,   0,   16, 0, 'd', 'a', 't', 'a',  0,    0,   0,   0};
  f.Write(h, sizeof h);
  uint32_t data = 0;
  for (const auto& b : blocks) {
    f.Write(b.data(), b.size() * sizeof(int16_t));
    data += uint32_t(b.size() * sizeof(int16_t));
  }
  uint32_t riff = data + 36;
  f.WriteAt(4, &riff, 4);
  f.WriteAt(40, &data, 4);
  return Now() - t0;
}

double BareMp3(const std::wstring& name, const Blocks& blocks) {
  double t0 = Now();
  BareFile f(name);
  lame_global_flags* l = lame_init();
  lame_set_in_samplerate(l, kRate);
  lame_set_out_samplerate(l, kRate);
  lame_set_num_channels(l, kChannels);
  lame_set_mode(l, JOINT_STEREO);
  lame_set_write_id3tag_automatic(l, 0);
  lame_set_VBR(l, vbr_off);
  lame_set_brate(l, 128);
  lame_init_params(l);
  std::vector<unsigned char> out(size_t(1.25 * kBlockFrames + 7200));
  for (const auto& b : blocks) {
    int n = lame_encode_buffer_interleaved(l, const_cast<short*>(b.data()), kBlockFrames,
                                           out.data(), int(out.size()));
    if (n > 0) f.Write(out.data(), size_t(n));
  }
  int n = lame_encode_flush(l, out.data(), int(out.size()));
  if (n > 0) f.Write(out.data(), size_t(n));
  size_t tag = lame_get_lametag_frame(l, out.data(), out.size());
  if (tag > 0 && tag <= out.size()) f.WriteAt(0, out.data(), tag);
  lame_close(l);
  return Now() - t0;
}

double BareOgg(const std::wstring& name, const Blocks& blocks) {
  double t0 = Now();
  BareFile f(name);
  vorbis_info vi;
  vorbis_info_init(&vi);
  vorbis_encode_init(&vi, kChannels, kRate, -1, 128000, -1);
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 1);
  ogg_packet h0, h1, h2;
  vorbis_analysis_headerout(&vd, &vc, &h0, &h1, &h2);
  ogg_stream_packetin(&os, &h0);
  ogg_stream_packetin(&os, &h1);
  ogg_stream_packetin(&os, &h2);
  ogg_page og;
  while (ogg_stream_flush(&os, &og)) {
    f.Write(og.header, size_t(og.header_len));
    f.Write(og.body, size_t(og.body_len));
  }
  auto drain = [&] {
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        while (ogg_stream_pageout(&os, &og)) {
          f.Write(og.header, size_t(og.header_len));
          f.Write(og.body, size_t(og.body_len));
        }
      }
    }
  };
  for (const auto& b : blocks) {
    float** buf = vorbis_analysis_buffer(&vd, kBlockFrames);
    for (int i = 0; i < kBlockFrames; ++i)
      for (int c = 0; c < kChannels; ++c)
        buf[c][i] = b[size_t(i) * kChannels + c] / 32768.0f;
    vorbis_analysis_wrote(&vd, kBlockFrames);
    drain();
  }
  vorbis_analysis_wrote(&vd, 0);
  drain();
  while (ogg_stream_flush(&os, &og)) {
    f.Write(og.header, size_t(og.header_len));
    f.Write(og.body, size_t(og.body_len));
  }
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return Now() - t0;
}

double BareWma(const std::wstring& name, const Blocks& blocks) {
  double t0 = Now();
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
  AVCodecContext* cc = avcodec_alloc_context3(codec);
  cc->sample_rate = kRate;
  av_channel_layout_default(&cc->ch_layout, kChannels);
  cc->sample_fmt = AV_SAMPLE_FMT_FLTP;
  cc->bit_rate = 128000;
  AVFormatContext* fc = nullptr;
  avformat_alloc_output_context2(&fc, nullptr, "asf", nullptr);
  if (fc->oformat->flags & AVFMT_GLOBALHEADER) cc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  avcodec_open2(cc, codec, nullptr);
  AVStream* st = avformat_new_stream(fc, nullptr);
  avcodec_parameters_from_context(st->codecpar, cc);
  st->time_base = AVRational{1, kRate};
  char path[MAX_PATH * 3];
  WideCharToMultiByte(CP_UTF8, 0, name.c_str(), -1, path, sizeof path, nullptr, nullptr);
  avio_open(&fc->pb, path, AVIO_FLAG_WRITE);
  if (avformat_write_header(fc, nullptr) < 0) return -1;
  SwrContext* swr = nullptr;
  swr_alloc_set_opts2(&swr, &cc->ch_layout, AV_SAMPLE_FMT_FLTP, kRate, &cc->ch_layout,
                      AV_SAMPLE_FMT_S16, kRate, 0, nullptr);
  swr_init(swr);
  AVAudioFifo* fifo = av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, kChannels, kBlockFrames * 2);
  AVFrame* fr = av_frame_alloc();
  AVPacket* pk = av_packet_alloc();
  uint8_t** planes = nullptr;
  av_samples_alloc_array_and_samples(&planes, nullptr, kChannels, kBlockFrames, AV_SAMPLE_FMT_FLTP,
                                     0);
  int64_t pts = 0;
  auto receive = [&] {
    while (avcodec_receive_packet(cc, pk) >= 0) {
      av_packet_rescale_ts(pk, cc->time_base, st->time_base);
      pk->stream_index = st->index;
      av_write_frame(fc, pk);
      av_packet_unref(pk);
    }
  };
  auto encode = [&](int n) {
    av_frame_unref(fr);
    fr->nb_samples = cc->frame_size;
    fr->format = cc->sample_fmt;
    fr->sample_rate = kRate;
    av_channel_layout_copy(&fr->ch_layout, &cc->ch_layout);
    av_frame_get_buffer(fr, 0);
    av_samples_set_silence(fr->data, 0, fr->nb_samples, kChannels, cc->sample_fmt);
    av_audio_fifo_read(fifo, reinterpret_cast<void**>(fr->data), n);
    fr->pts = pts;
    pts += fr->nb_samples;
    avcodec_send_frame(cc, fr);
    receive();
  };
  for (const auto& b : blocks) {
    const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(b.data())};
    int n = swr_convert(swr, planes, kBlockFrames, in, kBlockFrames);
    av_audio_fifo_write(fifo, reinterpret_cast<void**>(planes), n);
    while (av_audio_fifo_size(fifo) >= cc->frame_size)
      encode(cc->frame_size);
  }
  if (av_audio_fifo_size(fifo) > 0) encode(av_audio_fifo_size(fifo));
  avcodec_send_frame(cc, nullptr);
  receive();
  av_write_trailer(fc);
  avio_closep(&fc->pb);
  av_freep(&planes[0]);
  av_freep(&planes);
  av_packet_free(&pk);
  av_frame_free(&fr);
  av_audio_fifo_free(fifo);
  swr_free(&swr);
  avcodec_free_context(&cc);
  avformat_free_context(fc);
  return Now() - t0;
}

// The engine: NewFile, one WriteArray per block (the array made and
// destroyed as the recorder does, outside the timing), CloseFile.
double Engine(const std::wstring& name, int fileType, const std::function<void(TAudioFile2&)>& set,
              const Blocks& blocks) {
  TAudioFile2 file;
  set(file);
  double spent = 0, t0 = Now();
  file.NewFile(name, fileType);
  spent += Now() - t0;
  for (const auto& b : blocks) {
    audio::TSafeArray a(audio::CreateSampleArray(b));
    t0 = Now();
    file.WriteArray(a.Ref());
    spent += Now() - t0;
  }
  t0 = Now();
  file.CloseFile();
  return spent + Now() - t0;
}

} // namespace

int main(int argc, char** argv) {
  int minutes = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
  int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::wstring dir = std::wstring(tmp) + L"korvane-recorder-bench";
  CreateDirectoryW(dir.c_str(), nullptr);
  Blocks blocks;
  int count = minutes * 60 * 5;
  for (int i = 0; i < count; ++i)
    blocks.push_back(MakeBlock(i));
  std::printf(
      "Recorder file writing: %d min of 200 ms blocks, %d Hz stereo, %d rounds alternated\n",
      minutes, kRate, rounds);
  std::printf("%-5s %10s %10s %9s %17s %8s  %s\n", "type", "engine s", "bare s", "overhead",
              "overhead spread", "x real", "target overhead <= 5%");
  struct Row {
    const char* name;
    const wchar_t* ext;
    int fileType;
    std::function<void(TAudioFile2&)> set;
    double (*bare)(const std::wstring&, const Blocks&);
  } rows[] = {
      {"MP3", L"mp3", 2, [](TAudioFile2& f) { f.SetMp3Cbr(kRate, 128, 2); }, &BareMp3},
      {"OGG", L"ogg", 6, [](TAudioFile2& f) { f.SetOggFormat(kRate, 2, 128, 0, 0, -1); }, &BareOgg},
      {"WMA", L"wma", 11, [](TAudioFile2& f) { f.SetWmaProfile(10); }, &BareWma},
      {"WAV", L"wav", 1, [](TAudioFile2& f) { f.SetPcmFormat(kRate, 2, 16); }, &BareWav},
  };
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  };
  int met = 0, missed = 0, open = 0;
  for (auto& r : rows) {
    std::vector<double> eng, bare, over;
    for (int k = 0; k < rounds; ++k) {
      double e = 0, b = 0;
      auto engine = [&] { e = Engine(dir + L"\\engine." + r.ext, r.fileType, r.set, blocks); };
      auto reference = [&] { b = r.bare(dir + L"\\bare." + r.ext, blocks); };
      if (k % 2 == 0) {
        engine();
        reference();
      } else {
        reference();
        engine();
      }
      eng.push_back(e);
      bare.push_back(b);
      over.push_back((e / b - 1) * 100);
    }
    double me = median(eng), mb = median(bare);
    double lo = *std::min_element(over.begin(), over.end());
    double hi = *std::max_element(over.begin(), over.end());
    const char* verdict = hi <= 5.0 ? "met" : lo > 5.0 ? "NOT met" : "undecided (spread)";
    if (hi <= 5.0)
      ++met;
    else if (lo > 5.0)
      ++missed;
    else
      ++open;
    std::printf("%-5s %10.3f %10.3f %8.1f%% %7.1f..%-6.1f%% %8.0f  %s\n", r.name, me, mb,
                (me / mb - 1) * 100, lo, hi, minutes * 60.0 / me, verdict);
    std::fflush(stdout);
    DeleteFileW((dir + L"\\engine." + r.ext).c_str());
    DeleteFileW((dir + L"\\bare." + r.ext).c_str());
  }
  RemoveDirectoryW(dir.c_str());
  std::printf("target overhead <= 5%%: met for %d, NOT met for %d, undecided for %d\n", met, missed,
              open);
  return 0;
}
