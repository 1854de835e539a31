// Pictures of the editor's view with a loaded tone, in waveform and spectral mode.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "audio/EditorView.h"
#include "tests/support/Gui.h"

using namespace audioedit;

namespace {

struct Picture {
  int W, H;
  HDC Dc;
  HBITMAP Bmp;
  void* Bits = nullptr;
  Picture(int w, int h) : W(w), H(h) {
    Dc = CreateCompatibleDC(nullptr);
    Bmp = testsupport::CreateTopDownDib(Dc, w, h, &Bits);
    SelectObject(Dc, Bmp);
  }
  ~Picture() {
    DeleteDC(Dc);
    DeleteObject(Bmp);
  }
  uint32_t At(int x, int y) const {
    return static_cast<const uint32_t*>(Bits)[y * W + x] & 0xFFFFFF;
  }
};

} // namespace

TEST(EditorView, WaveformAndSpectrumOfATone) {
  EditorEngine e;
  e.SetTempDirectory(testsupport::MakeTempDir(L"editor-view"));
  std::vector<float> v(44100 * 2);
  for (size_t i = 0; i < v.size() / 2; ++i)
    v[2 * i] = v[2 * i + 1] = 0.6f *
                              float(std::sin(2 * std::numbers::pi * 1000.0 * double(i) / 44100.0)) *
                              float(i) / 44100.0f;
  e.LoadFrames(44100, 2, v.data(), int64_t(v.size() / 2));
  e.SetSelection(11025, 22050);
  e.SetCursor(33075);
  struct Case {
    int type;
    const wchar_t* name;
  } cases[] = {{0, L"editor-view-waveform"}, {1, L"editor-view-spectral"}};
  for (auto c : cases) {
    Picture p(640, 240);
    ViewSettings s;
    s.TypeView = c.type;
    RenderView(p.Dc, p.W, p.H, e, s);
    GdiFlush();
    ASSERT_TRUE(testsupport::SavePixelsPng(testsupport::OutputPath(std::wstring(c.name) + L".png"),
                                           p.W, p.H, p.Bits, p.W * 4));
    ViewLayout l = LayoutView(p.W, p.H, s);
    int laneMid = (l.Wave.top + (l.Wave.bottom - l.Wave.top) / 4);
    int xEnd = l.Wave.right - 5;
    if (c.type == 0) {
      // The loud end of the tone reaches far from the centre line; the silent start does not.
      EXPECT_NE(p.At(xEnd, laneMid - 30), p.At(l.Wave.left + 1, laneMid - 30));
    } else {
      // 1 kHz shows as a bright band low in the picture, not at the top.
      int lane = (l.Wave.bottom - l.Wave.top) / 2;
      int y1k = l.Wave.top + lane - 1 - int(1000.0 / 22050.0 * lane);
      auto bright = [&](uint32_t px) {
        return ((px >> 16) & 255) + ((px >> 8) & 255) + (px & 255);
      };
      EXPECT_GT(bright(p.At(xEnd, y1k)), bright(p.At(xEnd, l.Wave.top + 5)) + 100);
    }
  }
  // Any zoom and an empty view draw without failing.
  Picture p(100, 50);
  ViewSettings s;
  s.VerticalZoom = -20;
  e.SetView(-1e12, 1e12);
  RenderView(p.Dc, p.W, p.H, e, s);
  EditorEngine empty;
  RenderView(p.Dc, p.W, p.H, empty, s);
  EXPECT_EQ(FormatTime(44100 * 61 + 22050, 44100), L"1:01.5000");
}
