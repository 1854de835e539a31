#include "audio/EditorView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

extern "C" {
#include <libavutil/tx.h>
}

namespace audioedit {

// ---------------------------------------------------------------------------
// Spectrum

SpectrumAnalyzer::SpectrumAnalyzer(int n) {
  int p = 64;
  while (p < n && p < 65536)
    p *= 2;
  FN = p;
  FIn.resize(size_t(FN));
  FOut.resize(size_t(FN + 2));
  float scale = 1.0f;
  AVTXContext* ctx = nullptr;
  av_tx_fn fn = nullptr;
  if (av_tx_init(&ctx, &fn, AV_TX_FLOAT_RDFT, 0, FN, &scale, AV_TX_UNALIGNED) < 0)
    throw EEditorError(L"Cannot set up the spectrum analyser");
  FCtx = ctx;
  FFunc = reinterpret_cast<void (*)(void*, void*, void*, ptrdiff_t)>(fn);
}

SpectrumAnalyzer::~SpectrumAnalyzer() {
  AVTXContext* ctx = static_cast<AVTXContext*>(FCtx);
  av_tx_uninit(&ctx);
}

void SpectrumAnalyzer::Analyze(const float* samples, int window, std::vector<float>& outDb) {
  const int n = FN;
  double wsum = 0;
  for (int i = 0; i < n; ++i) {
    double x = double(i) / (n - 1), w = 1;
    switch (window) {
    case 1:
      w = 1 - std::pow(2 * x - 1, 2);
      break; // Welch
    case 2:
      w = 1 - std::abs(2 * x - 1);
      break; // Bartlett
    case 3:
      w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * x);
      break;
    case 4:
      w = 0.54 - 0.46 * std::cos(2 * std::numbers::pi * x);
      break;
    default:
      break;
    }
    wsum += w;
    FIn[size_t(i)] = float(samples[i] * w);
  }
  reinterpret_cast<av_tx_fn>(FFunc)(static_cast<AVTXContext*>(FCtx), FOut.data(), FIn.data(),
                                    sizeof(float));
  outDb.resize(size_t(n / 2));
  double norm = 2.0 / std::max(wsum, 1e-9);
  for (int k = 0; k < n / 2; ++k) {
    double re = FOut[size_t(2 * k)], im = FOut[size_t(2 * k + 1)];
    double mag = std::sqrt(re * re + im * im) * norm;
    outDb[size_t(k)] = float(20 * std::log10(std::max(mag, 1e-9)));
  }
}

// ---------------------------------------------------------------------------

std::wstring FormatTime(int64_t frames, int sampleRate) {
  if (sampleRate <= 0) sampleRate = 44100;
  bool neg = frames < 0;
  int64_t tenThousandths = (neg ? -frames : frames) * 10000 / sampleRate;
  int64_t minutes = tenThousandths / 600000;
  int64_t rest = tenThousandths % 600000;
  wchar_t buf[64];
  swprintf(buf, 64, L"%s%lld:%02lld.%04lld", neg ? L"-" : L"", (long long)minutes,
           (long long)(rest / 10000), (long long)(rest % 10000));
  return buf;
}

ViewLayout LayoutView(int width, int height, const ViewSettings& s) {
  ViewLayout l;
  int left = s.ScaleYVisible ? kScaleYWidth : 0;
  int bottom = s.ScaleXVisible ? kScaleXHeight : 0;
  l.Wave = {left, 0, std::max(left, width), std::max(0, height - bottom)};
  l.ScaleX = {left, std::max(0, height - bottom), std::max(left, width), height};
  l.ScaleY = {0, 0, left, std::max(0, height - bottom)};
  return l;
}

namespace {

void Fill(HDC dc, const RECT& r, COLORREF c) {
  SetBkColor(dc, c);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void VLine(HDC dc, int x, int y1, int y2, COLORREF c) {
  RECT r{x, y1, x + 1, y2};
  if (y2 > y1) Fill(dc, r, c);
}

void HLine(HDC dc, int x1, int x2, int y, COLORREF c) {
  RECT r{x1, y, x2, y + 1};
  if (x2 > x1) Fill(dc, r, c);
}

COLORREF Mix(COLORREF a, COLORREF b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto ch = [&](int s) { return int(((a >> s) & 255) * (1 - t) + ((b >> s) & 255) * t) << s; };
  return COLORREF(ch(0) | ch(8) | ch(16));
}

// A "nice" step of at least minStep from 1, 2, 5 × 10^k.
double NiceStep(double minStep) {
  double p = std::pow(10.0, std::floor(std::log10(std::max(minStep, 1e-12))));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * p >= minStep) return m * p;
  return 10 * p;
}

void DrawWaveform(HDC dc, const RECT& area, const EditorEngine& e, const ViewSettings& s,
                  int channel, int channels) {
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (w <= 0 || h <= 0) return;
  const double v0 = e.ViewStart(), v1 = e.ViewEnd();
  const double perPx = (v1 - v0) / w;
  const int64_t a = std::min(e.SelStart(), e.SelEnd()), b = std::max(e.SelStart(), e.SelEnd());
  const bool sel = e.SelActive() && b > a;
  const bool enabled = e.ChannelEnabled(channel + 1);
  COLORREF bg = enabled ? s.Colors[0] : s.Colors[14];
  Fill(dc, area, bg);
  const int mid = area.top + h / 2;
  const double zoom = std::clamp(s.VerticalZoom, 1, 10000) / 100.0;
  std::vector<Peak> peaks;
  if (e.Doc()) ReadPeaks(e.Doc()->Seq(), channels, channel, v0, v1, w, peaks);
  for (int x = 0; x < w; ++x) {
    double f0 = v0 + perPx * x, f1 = f0 + perPx;
    bool inSel = sel && f1 > double(a) && f0 < double(b);
    if (inSel)
      VLine(dc, area.left + x, area.top, area.bottom,
            s.Colors[2] == s.Colors[0] ? 0x402020 : s.Colors[2]);
    if (peaks.empty() || f0 >= double(e.Length()) || f1 <= 0) continue;
    const Peak& p = peaks[size_t(x)];
    int y1 = mid - int(std::lround(std::clamp(p.Max * zoom, -1.0, 1.0) * (h / 2 - 1)));
    int y2 = mid - int(std::lround(std::clamp(p.Min * zoom, -1.0, 1.0) * (h / 2 - 1)));
    COLORREF c = !enabled ? s.Colors[15] : inSel ? Mix(s.Colors[4], 0xFFFFFF, 0.5) : s.Colors[1];
    VLine(dc, area.left + x, y1, y2 + 1, c);
    int r1 = mid - int(p.Rms * zoom * (h / 2 - 1)), r2 = mid + int(p.Rms * zoom * (h / 2 - 1));
    VLine(dc, area.left + x, std::max(y1, r1), std::min(y2, r2) + 1, Mix(c, 0xFFFFFF, 0.35));
  }
  HLine(dc, area.left, area.right, mid, s.Colors[3] == s.Colors[0] ? s.Colors[5] : s.Colors[3]);
}

void DrawSpectrum(HDC dc, const RECT& area, const EditorEngine& e, const ViewSettings& s,
                  int channel, int channels) {
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (w <= 0 || h <= 0) return;
  Fill(dc, area, s.Colors[0]);
  if (!e.Doc() || e.Length() == 0) return;
  SpectrumAnalyzer fft(512);
  const int n = fft.Size();
  std::vector<float> frames(static_cast<size_t>(n * channels)), mono(static_cast<size_t>(n)), db;
  const double v0 = e.ViewStart(), perPx = (e.ViewEnd() - v0) / w;
  // Column image, bottom = 0 Hz.
  std::vector<uint32_t> px(size_t(w * h), 0);
  for (int x = 0; x < w; ++x) {
    int64_t center = int64_t(v0 + perPx * (x + 0.5));
    if (center < 0 || center >= e.Length()) continue;
    e.ReadFrames(center - n / 2, n, frames.data());
    for (int i = 0; i < n; ++i)
      mono[size_t(i)] = frames[size_t(i * channels + channel)];
    fft.Analyze(mono.data(), 3, db);
    for (int y = 0; y < h; ++y) {
      int bin = std::clamp(int(double(h - 1 - y) / h * (n / 2)), 0, n / 2 - 1);
      double t = (db[size_t(bin)] + 100.0) / 100.0; // -100..0 dB
      COLORREF c = t < 0.33   ? Mix(0x000000, 0x800000, t * 3)
                   : t < 0.66 ? Mix(0x800000, 0x00A0FF, (t - 0.33) * 3)
                              : Mix(0x00A0FF, s.Colors[12], (t - 0.66) * 3);
      px[size_t(y * w + x)] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  }
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, area.left, area.top, DWORD(w), DWORD(h), 0, 0, 0, UINT(h), px.data(), &bi,
                    DIB_RGB_COLORS);
  // Selection as a frame over the picture.
  const int64_t a = std::min(e.SelStart(), e.SelEnd()), b = std::max(e.SelStart(), e.SelEnd());
  if (e.SelActive() && b > a) {
    int xa = area.left + int((double(a) - v0) / perPx),
        xb = area.left + int((double(b) - v0) / perPx);
    xa = std::clamp(xa, int(area.left), int(area.right));
    xb = std::clamp(xb, int(area.left), int(area.right));
    HLine(dc, xa, xb, area.top, 0xFFFFFF);
    HLine(dc, xa, xb, area.bottom - 1, 0xFFFFFF);
    VLine(dc, xa, area.top, area.bottom, 0xFFFFFF);
    VLine(dc, xb, area.top, area.bottom, 0xFFFFFF);
  }
}

} // namespace

void RenderView(HDC dc, int width, int height, const EditorEngine& e, const ViewSettings& s) {
  if (width <= 0 || height <= 0) return;
  ViewLayout l = LayoutView(width, height, s);
  HFONT font = s.Font ? s.Font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HGDIOBJ oldFont = SelectObject(dc, font);
  const int channels = std::max(1, e.Channels());
  const int lanes = e.HasDocument() ? channels : 1;
  const int wh = l.Wave.bottom - l.Wave.top;
  for (int c = 0; c < lanes; ++c) {
    RECT lane{l.Wave.left, l.Wave.top + wh * c / lanes, l.Wave.right,
              l.Wave.top + wh * (c + 1) / lanes};
    if (s.TypeView == 1)
      DrawSpectrum(dc, lane, e, s, c, channels);
    else
      DrawWaveform(dc, lane, e, s, c, channels);
    if (c > 0) HLine(dc, lane.left, lane.right, lane.top, s.Colors[16]);
  }
  const double v0 = e.ViewStart(), v1 = e.ViewEnd();
  const int ww = l.Wave.right - l.Wave.left;
  const double perPx = ww > 0 ? (v1 - v0) / ww : 1;
  auto xOf = [&](double frame) { return l.Wave.left + int(std::floor((frame - v0) / perPx)); };
  for (const Marker& m : s.Markers) {
    int x = xOf(double(m.Start));
    if (x >= l.Wave.left && x < l.Wave.right)
      VLine(dc, x, l.Wave.top, l.Wave.bottom, s.Colors[9] ? s.Colors[9] : 0x00C0C0);
  }
  if (e.HasDocument()) {
    int x = xOf(double(e.Cursor()));
    if (x >= l.Wave.left && x < l.Wave.right) VLine(dc, x, l.Wave.top, l.Wave.bottom, s.Colors[6]);
    if (s.PlayPosition >= 0) {
      int px = xOf(double(s.PlayPosition));
      if (px >= l.Wave.left && px < l.Wave.right)
        VLine(dc, px, l.Wave.top, l.Wave.bottom, s.Colors[10] ? s.Colors[10] : 0x00FF00);
    }
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, s.Colors[8] == s.Colors[7] ? 0xFFFFFF : s.Colors[8]);
  const int rate = e.SampleRate() > 0 ? e.SampleRate() : 44100;
  if (s.ScaleXVisible) {
    Fill(dc, l.ScaleX, s.Colors[7] == 0 ? 0xF0F0F0 : s.Colors[7]);
    SetTextColor(dc, s.Colors[8]);
    double step = NiceStep(perPx * 90);
    if (s.ScaleXFormat == 2) step = NiceStep(perPx * 90 / rate) * rate;
    if (step > 0 && std::isfinite(step))
      for (double f = std::ceil(v0 / step) * step; f < v1; f += step) {
        int x = xOf(f);
        VLine(dc, x, l.ScaleX.top, l.ScaleX.top + 4, s.Colors[13]);
        std::wstring t =
            s.ScaleXFormat == 2 ? FormatTime(int64_t(f), rate) : std::to_wstring(int64_t(f));
        TextOutW(dc, x + 2, l.ScaleX.top + 2, t.c_str(), int(t.size()));
      }
  }
  if (s.ScaleYVisible) {
    Fill(dc, l.ScaleY, s.Colors[7] == 0 ? 0xF0F0F0 : s.Colors[7]);
    if (s.ScaleXVisible) {
      RECT corner{0, l.ScaleX.top, l.ScaleY.right, height};
      Fill(dc, corner, s.Colors[7] == 0 ? 0xF0F0F0 : s.Colors[7]);
    }
    const double zoom = std::clamp(s.VerticalZoom, 1, 10000) / 100.0;
    for (int c = 0; c < lanes; ++c) {
      int top = l.Wave.top + wh * c / lanes, bottom = l.Wave.top + wh * (c + 1) / lanes;
      int mid = (top + bottom) / 2;
      for (double v : {1.0, 0.5, 0.0, -0.5, -1.0}) {
        int y = mid - int(v * (bottom - top) / 2 * 0.98);
        double value = v / zoom;
        wchar_t buf[32];
        if (s.TypeView == 1)
          swprintf(buf, 32, L"%.0f", (v + 1) / 2 * rate / 2);
        else if (s.ScaleYFormat == 1)
          swprintf(buf, 32, L"%.0f", value * 32768);
        else if (s.ScaleYFormat == 3)
          swprintf(buf, 32, v == 0 ? L"-inf" : L"%.1f", 20 * std::log10(std::abs(value) + 1e-12));
        else
          swprintf(buf, 32, L"%.2f", value);
        HLine(dc, l.ScaleY.right - 4, l.ScaleY.right, y, s.Colors[13]);
        SIZE sz{};
        GetTextExtentPoint32W(dc, buf, int(wcslen(buf)), &sz);
        int ty = std::clamp(y - int(sz.cy) / 2, top, std::max(top, bottom - int(sz.cy)));
        TextOutW(dc, l.ScaleY.right - 6 - sz.cx, ty, buf, int(wcslen(buf)));
      }
    }
  }
  SelectObject(dc, oldFont);
}

} // namespace audioedit
