// Editor engine: opening an hour of 44,100 Hz stereo WAV in a fresh process
// against FFmpeg decoding the same file to float in a fresh process (the two
// alternated, medians and spread), peak memory and the first waveform paint
// of that first open, repaints at several zooms, undo/redo of an effect on
// the hour, and each effect on 10 minutes of stereo as a multiple of real
// time, each run from the same starting state.
// Child modes (used by this program and by bench/effects.sh):
//   --first-open FILE RESULT   open + first paint, written to RESULT
//   --first-ffmpeg FILE RESULT FFmpeg decode to float, written to RESULT
//   --write-wav FILE MINUTES   the bench's test signal as 16-bit stereo WAV
//   --effect ID FILE [RESULT]  opens FILE and times the effect stage of ID
//   --effects                  lists the effect IDs
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
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

struct Fx {
  const char* id;
  const char* name;
  double target; // times real time
  std::function<void(EditorEngine&)> run;
};

const std::vector<Fx>& EffectList() {
  static const std::vector<Fx> fx = {
      {"amplify", "Amplify 150%", 100, [](EditorEngine& e) { e.Amplify(150); }},
      {"normalize", "Normalize + DC", 100, [](EditorEngine& e) { e.Normalize(100, true); }},
      {"fade", "Fade in", 100, [](EditorEngine& e) { e.Fade(0, 100); }},
      {"invert", "Invert", 100, [](EditorEngine& e) { e.Invert(); }},
      {"reverse", "Reverse", 100, [](EditorEngine& e) { e.Reverse(); }},
      {"silence", "Silence", 100, [](EditorEngine& e) { e.SilenceSelection(); }},
      {"insert", "Insert silence 1 s", 100, [](EditorEngine& e) { e.InsertSilence(1000); }},
      {"trim", "Trim", 100, [](EditorEngine& e) { e.Trim(-40, 100, 0); }},
      {"delsilence", "Delete silence", 100,
       [](EditorEngine& e) { e.DeleteSilence(-40, 100, 300); }},
      {"noise", "Add noise", 100, [](EditorEngine& e) { e.AddNoise(-30, 0); }},
      {"compressor", "Compressor", 100, [](EditorEngine& e) { e.Compressor(-20, 50, 20); }},
      {"expander", "Expander", 100, [](EditorEngine& e) { e.Expander(-40, 50, 20); }},
      {"chmix", "Channel mix", 100, [](EditorEngine& e) { e.ChannelConverter(50, 50, 50, 50); }},
      {"vibrato", "Vibrato", 100, [](EditorEngine& e) { e.Vibrato(50, 5, 0); }},
      {"delay", "Delay", 100, [](EditorEngine& e) { e.Delay(250, 50, 30); }},
      {"phaser", "Phaser", 100, [](EditorEngine& e) { e.Phaser(5, 50, 30); }},
      {"flanger", "Flanger", 100, [](EditorEngine& e) { e.Flanger(5, 50, 30, 50, 1, 0); }},
      {"chorus", "Chorus", 100, [](EditorEngine& e) { e.Chorus(20, 50, 30, 50, 1, 0); }},
      {"reverb", "Reverb", 30, [](EditorEngine& e) { e.Reverb(50, 30, 30, 50, 5000, 4); }},
      {"pitch", "Pitch shift 120%", 30, [](EditorEngine& e) { e.PitchShift(120); }},
      {"stretch", "Stretch 120%", 30, [](EditorEngine& e) { e.StretchTime(120); }},
      {"notch", "Notch", 100, [](EditorEngine& e) { e.NotchFilter(1000, 5); }},
      {"bandpass", "Band pass", 100, [](EditorEngine& e) { e.BandPass(1000, 5); }},
      {"lowpass", "Low pass", 100, [](EditorEngine& e) { e.LowPass(2000, 5); }},
      {"highpass", "High pass", 100, [](EditorEngine& e) { e.HighPass(500, 5); }},
      {"lowshelf", "Low shelf", 100, [](EditorEngine& e) { e.LowShelf(6, 200, 5); }},
      {"highshelf", "High shelf", 100, [](EditorEngine& e) { e.HighShelf(6, 5000, 5); }},
      {"peakeq", "Peak EQ", 100, [](EditorEngine& e) { e.PeakEQFilter(6, 1000, 5); }},
  };
  return fx;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Undoes the last step and frees its result, so the next effect starts from
// the same state and reuses the same slots of the temporary file.
void UndoAndFree(EditorEngine& e) {
  if (e.CanUndo()) e.Undo();
  e.SetUndoRedoCount(0);
  e.SetUndoRedoCount(4);
}

void Effects(const std::wstring& dir, int minutes, int rounds) {
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
  std::printf("\nEffects on %d min of %d Hz stereo (whole document), each from the same state,"
              " median of %d:\n",
              minutes, kRate, rounds);
  // The first effect of a session also grows the temporary file.
  e.SetSelActive(false);
  double t0 = Now();
  EffectList()[0].run(e);
  double first = Now() - t0;
  UndoAndFree(e);
  std::printf("  first effect of the session (%s, growing the temporary file): %.3f s\n",
              EffectList()[0].name, first);
  std::printf("  %-20s %9s %9s %10s %8s\n", "effect", "seconds", "spread", "x real", "target");
  int met = 0, total = 0;
  for (auto& f : EffectList()) {
    std::vector<double> t;
    bool failed = false;
    for (int r = 0; r < rounds && !failed; ++r) {
      e.SetSelActive(false);
      t0 = Now();
      try {
        f.run(e);
        t.push_back(Now() - t0);
      } catch (const std::exception& ex) {
        std::printf("  %-20s failed: %s\n", f.name, ex.what());
        failed = true;
      } catch (...) {
        std::printf("  %-20s failed\n", f.name);
        failed = true;
      }
      UndoAndFree(e);
    }
    if (failed) continue;
    double m = Median(t), x = seconds / m;
    double spread = *std::max_element(t.begin(), t.end()) - *std::min_element(t.begin(), t.end());
    ++total;
    if (x >= f.target) ++met;
    std::printf("  %-20s %9.3f %9.3f %10.1f %7.0fx%s\n", f.name, m, spread, x, f.target,
                x >= f.target ? "" : "  (below)");
    std::fflush(stdout);
  }
  std::printf("  effects at their target: %d of %d\n", met, total);
}

std::wstring Widen(const char* s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
  std::wstring w(size_t(std::max(n, 1)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s, -1, w.data(), n);
  w.resize(wcslen(w.c_str()));
  return w;
}

// Runs this program again with the arguments; true when it ended with 0.
bool RunChild(const std::wstring& args) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring cmd = L"\"" + std::wstring(exe) + L"\" " + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code == 0;
}

std::vector<double> ReadNumbers(const std::wstring& file) {
  std::vector<double> v;
  FILE* f = _wfopen(file.c_str(), L"r");
  if (!f) return v;
  double x;
  while (std::fscanf(f, "%lf", &x) == 1)
    v.push_back(x);
  std::fclose(f);
  return v;
}

void WriteNumbers(const std::wstring& file, std::initializer_list<double> v) {
  FILE* f = _wfopen(file.c_str(), L"w");
  if (!f) return;
  for (double x : v)
    std::fprintf(f, "%.9f\n", x);
  std::fclose(f);
}

int Child(int argc, char** argv) {
  std::string mode = argv[1];
  if (mode == "--effects") {
    for (auto& f : EffectList())
      std::printf("%s\n", f.id);
    return 0;
  }
  if (argc < 3) return 2;
  std::wstring file = Widen(argv[2]);
  std::wstring result = argc > 3 ? Widen(argv[3]) : L"";
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  if (mode == "--write-wav") {
    WriteWav(file, int64_t(std::max(1, argc > 3 ? atoi(argv[3]) : 10)) * 60 * kRate);
    return 0;
  }
  if (mode == "--first-ffmpeg") {
    double t0 = Now();
    int64_t frames = FFmpegDecodeToFloat(file);
    WriteNumbers(result, {Now() - t0, double(frames)});
    return frames > 0 ? 0 : 1;
  }
  if (mode == "--first-open") {
    EditorEngine e;
    e.SetTempDirectory(tmp);
    Canvas canvas;
    ViewSettings vs;
    double t0 = Now();
    e.OpenFile(file);
    double open = Now() - t0;
    double paint = canvas.Paint(e, vs);
    WriteNumbers(result, {open, paint, double(e.Length()), PeakMb()});
    return 0;
  }
  if (mode == "--effect") {
    std::string id = argv[2];
    if (argc < 4) return 2;
    file = Widen(argv[3]);
    result = argc > 4 ? Widen(argv[4]) : L"";
    for (auto& f : EffectList())
      if (id == f.id) {
        EditorEngine e;
        e.SetTempDirectory(tmp);
        e.SetUndoRedoCount(4);
        e.OpenFile(file);
        e.SetSelActive(false);
        double t0 = Now();
        f.run(e);
        double t = Now() - t0;
        std::printf("%.6f\n", t);
        if (!result.empty()) WriteNumbers(result, {t});
        return 0;
      }
    return 2;
  }
  return 2;
}

} // namespace

int main(int argc, char** argv) {
  if (argc > 1 && argv[1][0] == '-') return Child(argc, argv);
  int hourMinutes = argc > 1 ? std::max(1, atoi(argv[1])) : 60;
  int fxMinutes = argc > 2 ? std::max(1, atoi(argv[2])) : 10;
  int rounds = argc > 3 ? std::max(1, atoi(argv[3])) : 5;
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::wstring dir = std::wstring(tmp) + L"korvane-editor-bench";
  CreateDirectoryW(dir.c_str(), nullptr);
  std::wstring wav = dir + L"\\long.wav", result = dir + L"\\child.txt";
  int64_t frames = int64_t(hourMinutes) * 60 * kRate;
  std::printf("Editor engine: %d min of %d Hz stereo 16-bit WAV\n", hourMinutes, kRate);
  WriteWav(wav, frames);

  // A true first open: FFmpeg alone and the engine's open + first paint, each
  // in a fresh process, alternated (the file is in the system cache for both).
  std::vector<double> ff, open, paint, ratio;
  double peak = 0, docFrames = 0, ffFrames = 0;
  for (int r = 0; r < rounds; ++r) {
    double f = 0, o = 0;
    for (int k = 0; k < 2; ++k) {
      bool engineTurn = (k == 0) == (r % 2 == 1);
      DeleteFileW(result.c_str());
      if (engineTurn) {
        RunChild(L"--first-open \"" + wav + L"\" \"" + result + L"\"");
        auto v = ReadNumbers(result);
        if (v.size() < 4) continue;
        o = v[0];
        open.push_back(v[0]);
        paint.push_back(v[1]);
        docFrames = v[2];
        peak = std::max(peak, v[3]);
      } else {
        RunChild(L"--first-ffmpeg \"" + wav + L"\" \"" + result + L"\"");
        auto v = ReadNumbers(result);
        if (v.size() < 2) continue;
        f = v[0];
        ff.push_back(v[0]);
        ffFrames = v[1];
      }
    }
    if (f > 0 && o > 0) ratio.push_back(o / f);
  }
  auto spread = [](const std::vector<double>& v) {
    return v.empty()
               ? 0.0
               : *std::max_element(v.begin(), v.end()) - *std::min_element(v.begin(), v.end());
  };
  std::printf("  first open in a fresh process, median of %d (spread):\n", rounds);
  std::printf("  FFmpeg decode to float: %8.3f s (%.3f; %.0f frames) reference\n", Median(ff),
              spread(ff), ffFrames);
  std::printf("  engine OpenFile:        %8.3f s (%.3f; %.0f frames)\n", Median(open), spread(open),
              docFrames);
  double rlo = ratio.empty() ? 0 : *std::min_element(ratio.begin(), ratio.end());
  double rhi = ratio.empty() ? 0 : *std::max_element(ratio.begin(), ratio.end());
  std::printf("  open / FFmpeg ratio:    %8.2f   (%.2f..%.2f; target <= 1.5: %s)\n", Median(ratio),
              rlo, rhi,
              rhi <= 1.5  ? "met"
              : rlo > 1.5 ? "NOT met"
                          : "undecided");
  std::printf("  peak memory:            %8.1f MB (target <= 150)\n", peak);
  std::printf("  first paint after open: %8.2f ms (%.2f; target < 50)\n", Median(paint),
              spread(paint));
  std::fflush(stdout);

  // Repaints at several zooms, waveform and spectral.
  Canvas canvas;
  ViewSettings vs;
  EditorEngine e;
  e.SetTempDirectory(dir);
  e.SetUndoRedoCount(4);
  e.OpenFile(wav);
  docFrames = double(e.Length());
  struct Zoom {
    const char* name;
    double frames;
  } zooms[] = {{"whole", docFrames},   {"10 min", 600.0 * kRate}, {"1 min", 60.0 * kRate},
               {"1 s", double(kRate)}, {"10 ms", kRate / 100.0},  {"100 frames", 100}};
  std::printf("  repaint (ms, worst of 5 / 2):   %-12s %10s %10s\n", "zoom", "waveform",
              "spectral");
  double worstWave = 0;
  for (auto& z : zooms) {
    double mid = docFrames * 0.37;
    e.SetView(mid - z.frames / 2, mid + z.frames / 2);
    if (z.frames >= docFrames) e.FullZoom();
    double w = 0, sp = 0;
    vs.TypeView = 0;
    for (int k = 0; k < 5; ++k)
      w = std::max(w, canvas.Paint(e, vs));
    vs.TypeView = 1;
    for (int k = 0; k < 2; ++k)
      sp = std::max(sp, canvas.Paint(e, vs));
    vs.TypeView = 0;
    worstWave = std::max(worstWave, w);
    std::printf("                                  %-12s %10.2f %10.2f\n", z.name, w, sp);
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
              docFrames / kRate / fx);
  std::printf("  undo: %.2f ms, redo: %.2f ms (target < 50)\n", undo, redo);
  e.CloseFile();
  DeleteFileW(wav.c_str());
  DeleteFileW(result.c_str());

  Effects(dir, fxMinutes, std::max(1, std::min(rounds, 3)));
  RemoveDirectoryW(dir.c_str());
  return 0;
}
