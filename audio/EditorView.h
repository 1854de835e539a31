// Drawing of the editor's view: waveform or spectrum of the visible range,
// selection, cursor, markers and the two rulers, into any device context.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include "audio/EditorEngine.h"

namespace audioedit {

// Colour slots (0x00BBGGRR):
//  0 view background, 1 waveform, 2 selected background, 3 centre line,
//  4 selected waveform, 5 grid, 6 cursor, 7 ruler background, 8 ruler text,
//  9 marker, 10 play position, 11 spectrum low, 12 spectrum high,
//  13 ruler ticks, 14..16 disabled channel background, waveform, frame.
constexpr int kColorSlots = 17;

struct Marker {
  int64_t Start = 0, Length = 0;
  std::wstring Name;
};

struct ViewSettings {
  int TypeView = 0; // 0 waveform, 1 spectral
  bool ScaleXVisible = true, ScaleYVisible = true;
  int ScaleXFormat = 2;   // 1 samples, 2 time m:ss.dddd
  int ScaleYFormat = 1;   // 1 sample values, 2 normalised, 3 decibels
  int VerticalZoom = 100; // percent, clamped to 1..10000
  COLORREF Colors[kColorSlots] = {0x000000, 0xC80000, 0x000000, 0x000000, 0xC80000, 0x404040,
                                  0x9BFFFF, 0x000000, 0x640000, 0x000000, 0x000000, 0x000000,
                                  0xFFFFFF, 0x640000, 0x578EDB, 0x578EDB, 0x578EDB};
  std::vector<Marker> Markers;
  HFONT Font = nullptr; // ruler font; a default one when null
  int64_t PlayPosition = -1;
};

constexpr int kScaleXHeight = 16;
constexpr int kScaleYWidth = 44;

// Client areas of the parts of the view.
struct ViewLayout {
  RECT Wave{}, ScaleX{}, ScaleY{};
};
ViewLayout LayoutView(int width, int height, const ViewSettings& s);

// Draws the whole view into dc (the caller double-buffers).
void RenderView(HDC dc, int width, int height, const EditorEngine& engine, const ViewSettings& s);

// Ruler texts.
std::wstring FormatTime(int64_t frames, int sampleRate);

// Magnitudes (dB) of a real FFT of n samples (n a power of two) through av_tx.
class SpectrumAnalyzer {
public:
  explicit SpectrumAnalyzer(int n);
  ~SpectrumAnalyzer();
  SpectrumAnalyzer(const SpectrumAnalyzer&) = delete;
  SpectrumAnalyzer& operator=(const SpectrumAnalyzer&) = delete;
  int Size() const { return FN; }
  // window: 0 none, 1 Welch, 2 Bartlett, 3 Hann, 4 Hamming. out gets n/2 values in dB.
  void Analyze(const float* samples, int window, std::vector<float>& outDb);

private:
  int FN;
  void* FCtx = nullptr;
  void (*FFunc)(void*, void*, void*, ptrdiff_t) = nullptr;
  std::vector<float> FIn;
  std::vector<float> FOut; // complex pairs
};

} // namespace audioedit
