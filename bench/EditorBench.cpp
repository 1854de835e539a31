// Editor engine: opening an hour of 44,100 Hz stereo WAV against FFmpeg
// decoding the same file to float in the same run, peak memory, the first
// waveform paint, repaints at several zooms, undo/redo of an effect on the
// hour, and each effect on 10 minutes of stereo as a multiple of real time.
#include <windows.h>
#include <psapi.h>

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
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include "audio/EditorEngine.h"
#include "audio/EditorView.h"

using namespace audioedit;

namespace {

constexpr int kRate = 44100, kChannels = 2;

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

double PeakMb() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  return double(std::max(pmc.PeakWorkingSetSize, pmc.PeakPagefileUsage)) / (1024.0 * 1024.0);
}

// A tone with a slow sweep and some noise.
void Signal(int64_t first, size_t frames, float* out) {
  uint32_t seed = uint32_t(first * 2654435761u);
  for (size_t i = 0; i < frames; ++i) {
    double t = double(first + int64_t(i)) / kRate;
    double f = 300.0 + 200.0 * std::sin(t * 0.1);
    for (int c = 0; c < kChannels; ++c) {
      seed = seed * 1664525u + 1013904223u;
      double noise = (double(seed >> 8) / double(1 << 24) - 0.5) * 0.02;
      out[i * kChannels + size_t(c)] =
          float(0.4 * std::sin(2 * std::numbers::pi * f * t + c) + noise);
    }
  }
}

void WriteWav(const std::wstring& name, int64_t frames) {
  HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  uint32_t data = uint32_t(frames * kChannels * 2);
  uint32_t riff = data + 36;
  uint8_t hd[44] = {'R', 'I', 'F', 'F', 0,  0, 0,   0,   'W', 'A',  'V',  'E', 'f', 'm',  't',
                    ' ', 16,  0,   0,   0,  1, 0,   2,   0,   0x44, 0xAC, 0,   0,   0x10, 0xB1,
                    2,   0,   4,   0,   16, 0, 'd', 'a', 't', 'a',  0,    0,   0,   0};
  std::memcpy(hd + 4, &riff, 4);
  std::memcpy(hd + 40, &data, 4);
  DWORD done;
  WriteFile(h, hd, sizeof hd, &done, nullptr);
  const size_t chunk = kRate * 10;
  std::vector<float> f(chunk * kChannels);
  std::vector<int16_t> s(f.size());
  for (int64_t pos = 0; pos < frames; pos += int64_t(chunk)) {
    size_t n = size_t(std::min<int64_t>(int64_t(chunk), frames - pos));
    Signal(pos, n, f.data());
    for (size_t i = 0; i < n * kChannels; ++i)
      s[i] = int16_t(std::lrint(f[i] * 32767.0f));
    WriteFile(h, s.data(), DWORD(n * kChannels * 2), &done, nullptr);
  }
  CloseHandle(h);
}

// FFmpeg alone: demux, decode and convert to interleaved float, discarding it.
int64_t FFmpegDecodeToFloat(const std::wstring& name) {
  char path[MAX_PATH * 3];
  WideCharToMultiByte(CP_UTF8, 0, name.c_str(), -1, path, sizeof path, nullptr, nullptr);
  AVFormatContext* fc = nullptr;
  if (avformat_open_input(&fc, path, nullptr, nullptr) < 0) return -1;
  avformat_find_stream_info(fc, nullptr);
  const AVCodec* codec = nullptr;
  int si = av_find_best_stream(fc, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
  AVCodecContext* cc = avcodec_alloc_context3(codec);
  avcodec_parameters_to_context(cc, fc->streams[si]->codecpar);
  avcodec_open2(cc, codec, nullptr);
  SwrContext* swr = nullptr;
  swr_alloc_set_opts2(&swr, &cc->ch_layout, AV_SAMPLE_FMT_FLT, cc->sample_rate, &cc->ch_layout,
                      cc->sample_fmt, cc->sample_rate, 0, nullptr);
  swr_init(swr);
  AVPacket* pk = av_packet_alloc();
  AVFrame* fr = av_frame_alloc();
  std::vector<float> out;
  int64_t total = 0;
  auto drain = [&] {
    while (avcodec_receive_frame(cc, fr) >= 0) {
      out.resize(size_t(fr->nb_samples) * size_t(cc->ch_layout.nb_channels));
      uint8_t* o[1] = {reinterpret_cast<uint8_t*>(out.data())};
      total += swr_convert(swr, o, fr->nb_samples, const_cast<const uint8_t**>(fr->extended_data),
                           fr->nb_samples);
      av_frame_unref(fr);
    }
  };
  while (av_read_frame(fc, pk) >= 0) {
    if (pk->stream_index == si) avcodec_send_packet(cc, pk);
    av_packet_unref(pk);
    drain();
  }
  avcodec_send_packet(cc, nullptr);
  drain();
  av_frame_free(&fr);
  av_packet_free(&pk);
  swr_free(&swr);
  avcodec_free_context(&cc);
  avformat_close_input(&fc);
  return total;
}

struct Canvas {
  int W = 1200, H = 400;
  HDC Dc = CreateCompatibleDC(nullptr);
  HBITMAP Bmp = nullptr, Old = nullptr;
  Canvas() {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = W;
    bi.bmiHeader.biHeight = -H;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    Bmp = CreateDIBSection(Dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    Old = HBITMAP(SelectObject(Dc, Bmp));
  }
  ~Canvas() {
    SelectObject(Dc, Old);
    DeleteObject(Bmp);
    DeleteDC(Dc);
  }
  double Paint(const EditorEngine& e, const ViewSettings& s) {
    double t0 = Now();
    RenderView(Dc, W, H, e, s);
    GdiFlush();
    return (Now() - t0) * 1000;
  }
};

void Effects(const std::wstring& dir, int minutes) {
  EditorEngine e;
  e.SetTempDirectory(dir);
  e.SetUndoRedoCount(4);
  {
    int64_t frames = int64_t(minutes) * 60 * kRate;
    std::vector<float> v(size_t(frames) * kChannels);
    Signal(0, size_t(frames), v.data());
    e.LoadFrames(kRate, kChannels, v.data(), frames);
  }
  const double seconds = minutes * 60.0;
  struct Fx {
    const char* name;
    double target;
    std::function<void()> run;
  } fx[] = {
      {"Amplify 150%", 100, [&] { e.Amplify(150); }},
      {"Normalize + DC", 100, [&] { e.Normalize(100, true); }},
      {"Fade in", 100, [&] { e.Fade(0, 100); }},
      {"Invert", 100, [&] { e.Invert(); }},
      {"Reverse", 100, [&] { e.Reverse(); }},
      {"Silence", 100, [&] { e.SilenceSelection(); }},
      {"Insert silence 1 s", 100, [&] { e.InsertSilence(1000); }},
      {"Trim", 100, [&] { e.Trim(-40, 100, 0); }},
      {"Delete silence", 100, [&] { e.DeleteSilence(-40, 100, 300); }},
      {"Add noise", 100, [&] { e.AddNoise(-30, 0); }},
      {"Compressor", 100, [&] { e.Compressor(-20, 50, 20); }},
      {"Expander", 100, [&] { e.Expander(-40, 50, 20); }},
      {"Channel mix", 100, [&] { e.ChannelConverter(50, 50, 50, 50); }},
      {"Vibrato", 100, [&] { e.Vibrato(50, 5, 0); }},
      {"Delay", 100, [&] { e.Delay(250, 50, 30); }},
      {"Phaser", 100, [&] { e.Phaser(5, 50, 30); }},
      {"Flanger", 100, [&] { e.Flanger(5, 50, 30, 50, 1, 0); }},
      {"Chorus", 100, [&] { e.Chorus(20, 50, 30, 50, 1, 0); }},
      {"Reverb", 30, [&] { e.Reverb(50, 30, 30, 50, 5000, 4); }},
      {"Pitch shift 120%", 30, [&] { e.PitchShift(120); }},
      {"Stretch 120%", 30, [&] { e.StretchTime(120); }},
      {"Notch", 100, [&] { e.NotchFilter(1000, 5); }},
      {"Band pass", 100, [&] { e.BandPass(1000, 5); }},
      {"Low pass", 100, [&] { e.LowPass(2000, 5); }},
      {"High pass", 100, [&] { e.HighPass(500, 5); }},
      {"Low shelf", 100, [&] { e.LowShelf(6, 200, 5); }},
      {"High shelf", 100, [&] { e.HighShelf(6, 5000, 5); }},
      {"Peak EQ", 100, [&] { e.PeakEQFilter(6, 1000, 5); }},
  };
  std::printf("\nEffects on %d min of %d Hz stereo (whole document):\n", minutes, kRate);
  std::printf("  %-20s %9s %10s %8s\n", "effect", "seconds", "x real", "target");
  int met = 0, total = 0;
  for (auto& f : fx) {
    e.SetSelActive(false);
    double t0 = Now(), t;
    try {
      f.run();
      t = Now() - t0;
    } catch (const std::exception& ex) {
      std::printf("  %-20s failed: %s\n", f.name, ex.what());
      continue;
    } catch (...) {
      std::printf("  %-20s failed\n", f.name);
      continue;
    }
    double x = seconds / t;
    ++total;
    if (x >= f.target) ++met;
    std::printf("  %-20s %9.3f %10.1f %7.0fx%s\n", f.name, t, x, f.target,
                x >= f.target ? "" : "  (below)");
    std::fflush(stdout);
    if (e.CanUndo()) e.Undo();
  }
  std::printf("  effects at their target: %d of %d\n", met, total);
}

} // namespace

int main(int argc, char** argv) {
  int hourMinutes = argc > 1 ? std::max(1, atoi(argv[1])) : 60;
  int fxMinutes = argc > 2 ? std::max(1, atoi(argv[2])) : 10;
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::wstring dir = std::wstring(tmp) + L"korvane-editor-bench";
  CreateDirectoryW(dir.c_str(), nullptr);
  std::wstring wav = dir + L"\\long.wav";
  int64_t frames = int64_t(hourMinutes) * 60 * kRate;
  std::printf("Editor engine: %d min of %d Hz stereo 16-bit WAV\n", hourMinutes, kRate);
  WriteWav(wav, frames);
  double peakBefore = PeakMb();

  // FFmpeg alone, then the engine's open, twice each in alternation; the
  // better time of each counts (the file is then in the system cache).
  double ff = 1e30, open = 1e30, firstPaint = 0, peak = 0;
  int64_t ffFrames = 0, docFrames = 0;
  Canvas canvas;
  ViewSettings vs;
  EditorEngine e;
  e.SetTempDirectory(dir);
  e.SetUndoRedoCount(4);
  for (int round = 0; round < 2; ++round) {
    double t0 = Now();
    ffFrames = FFmpegDecodeToFloat(wav);
    ff = std::min(ff, Now() - t0);
    if (e.HasDocument()) e.CloseFile();
    t0 = Now();
    e.OpenFile(wav);
    open = std::min(open, Now() - t0);
    docFrames = e.Length();
    firstPaint = canvas.Paint(e, vs); // the whole file after open
    peak = std::max(peak, PeakMb());
  }
  std::printf("  FFmpeg decode to float: %8.3f s (%lld frames)\n", ff, (long long)ffFrames);
  std::printf("  engine OpenFile:        %8.3f s (%lld frames)\n", open, (long long)docFrames);
  std::printf("  open / FFmpeg ratio:    %8.2f   (target <= 1.5)\n", open / ff);
  std::printf("  peak memory:            %8.1f MB (%.1f MB before opening; target <= 150)\n", peak,
              peakBefore);
  std::printf("  first paint after open: %8.2f ms (target < 50)\n", firstPaint);
  std::fflush(stdout);

  // Repaints at several zooms, waveform and spectral.
  struct Zoom {
    const char* name;
    double frames;
  } zooms[] = {{"whole", double(docFrames)}, {"10 min", 600.0 * kRate}, {"1 min", 60.0 * kRate},
               {"1 s", double(kRate)},       {"10 ms", kRate / 100.0},  {"100 frames", 100}};
  std::printf("  repaint (ms, worst of 5 / 2):   %-12s %10s %10s\n", "zoom", "waveform",
              "spectral");
  double worstWave = 0;
  for (auto& z : zooms) {
    double mid = double(docFrames) * 0.37;
    e.SetView(mid - z.frames / 2, mid + z.frames / 2);
    if (z.frames >= double(docFrames)) e.FullZoom();
    double w = 0, s = 0;
    vs.TypeView = 0;
    for (int k = 0; k < 5; ++k)
      w = std::max(w, canvas.Paint(e, vs));
    vs.TypeView = 1;
    for (int k = 0; k < 2; ++k)
      s = std::max(s, canvas.Paint(e, vs));
    vs.TypeView = 0;
    worstWave = std::max(worstWave, w);
    std::printf("                                  %-12s %10.2f %10.2f\n", z.name, w, s);
    std::fflush(stdout);
  }
  std::printf("  worst waveform repaint: %8.2f ms (target < 20)\n", worstWave);

  // Undo/redo of an effect on the whole hour.
  e.FullZoom();
  e.SetSelActive(false);
  double t0 = Now();
  e.Amplify(80);
  double fx = Now() - t0;
  t0 = Now();
  e.Undo();
  double undo = (Now() - t0) * 1000;
  t0 = Now();
  e.Redo();
  double redo = (Now() - t0) * 1000;
  std::printf("  amplify on the whole file: %.2f s (%.0f x real time)\n", fx,
              double(docFrames) / kRate / fx);
  std::printf("  undo: %.2f ms, redo: %.2f ms (target < 50)\n", undo, redo);
  e.CloseFile();
  DeleteFileW(wav.c_str());

  Effects(dir, fxMinutes);
  RemoveDirectoryW(dir.c_str());
  return 0;
}
