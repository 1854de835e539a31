// The bench's sound card: a tone played to the default output (the null
// sink) is captured from the default input (its monitor).
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "tests/support/Gui.h"

namespace {

struct Capture {
  HWAVEIN in = nullptr;
  std::vector<std::vector<int16_t>> data;
  std::vector<WAVEHDR> headers;
  int peakL = 0, peakR = 0, filled = 0;
};

Capture* current = nullptr;

LRESULT CALLBACK CaptureProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == MM_WIM_DATA && current) {
    auto* hdr = reinterpret_cast<WAVEHDR*>(l);
    auto* s = reinterpret_cast<int16_t*>(hdr->lpData);
    for (DWORD i = 0; i + 1 < hdr->dwBytesRecorded / 2; i += 2) {
      current->peakL = std::max(current->peakL, std::abs(int(s[i])));
      current->peakR = std::max(current->peakR, std::abs(int(s[i + 1])));
    }
    ++current->filled;
    waveInAddBuffer(current->in, hdr, sizeof(WAVEHDR));
    return 0;
  }
  return DefWindowProcW(h, m, w, l);
}

std::vector<int16_t> Tone(double level, int seconds) {
  std::vector<int16_t> pcm(44100 * 2 * seconds);
  for (size_t i = 0; i < pcm.size() / 2; ++i) {
    auto v = int16_t(level * 32767 * std::sin(2 * std::numbers::pi * 1000.0 * i / 44100));
    pcm[2 * i] = pcm[2 * i + 1] = v;
  }
  return pcm;
}

TEST(CaptureSmoke, ToneIntoSinkIsCapturedAndSilenceIsNot) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = CaptureProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"CaptureSmoke";
  RegisterClassW(&wc);
  HWND win = CreateWindowExW(0, L"CaptureSmoke", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(win, nullptr);

  WAVEFORMATEX wf{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
  Capture cap;
  current = &cap;
  ASSERT_EQ(waveInOpen(&cap.in, WAVE_MAPPER, &wf, reinterpret_cast<DWORD_PTR>(win), 0, CALLBACK_WINDOW),
            MMSYSERR_NOERROR)
      << "no wave input: is the bench's PulseAudio running?";
  cap.data.assign(4, std::vector<int16_t>(4410 * 2));
  cap.headers.resize(4);
  for (int i = 0; i < 4; ++i) {
    cap.headers[i] = WAVEHDR{};
    cap.headers[i].lpData = reinterpret_cast<LPSTR>(cap.data[i].data());
    cap.headers[i].dwBufferLength = static_cast<DWORD>(cap.data[i].size() * 2);
    waveInPrepareHeader(cap.in, &cap.headers[i], sizeof(WAVEHDR));
    waveInAddBuffer(cap.in, &cap.headers[i], sizeof(WAVEHDR));
  }
  ASSERT_EQ(waveInStart(cap.in), MMSYSERR_NOERROR);

  // The device may take a while to deliver its first buffers on a busy machine.
  ASSERT_TRUE(testsupport::PumpUntil([&] { return cap.filled >= 2; }, 15000)) << "no buffers returned";

  HWAVEOUT out = nullptr;
  ASSERT_EQ(waveOutOpen(&out, WAVE_MAPPER, &wf, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  std::vector<int16_t> tone = Tone(0.5, 10);
  WAVEHDR oh{};
  oh.lpData = reinterpret_cast<LPSTR>(tone.data());
  oh.dwBufferLength = static_cast<DWORD>(tone.size() * 2);
  waveOutPrepareHeader(out, &oh, sizeof(oh));
  waveOutWrite(out, &oh, sizeof(oh));

  // Wait for the tone to arrive, then measure a fresh stretch of it.
  EXPECT_TRUE(testsupport::PumpUntil([&] { return cap.peakL > 8000; }, 8000));
  cap.peakL = cap.peakR = 0;
  int before = cap.filled;
  EXPECT_TRUE(testsupport::PumpUntil([&] { return cap.filled >= before + 3; }, 5000));
  EXPECT_NEAR(cap.peakL, 16384, 800);
  EXPECT_NEAR(cap.peakR, 16384, 800);

  waveOutReset(out);
  waveOutUnprepareHeader(out, &oh, sizeof(oh));
  waveOutClose(out);
  // After the tone stops, some buffer comes back silent.
  bool silent = testsupport::PumpUntil(
      [&] {
        if (cap.filled == before) return false;
        bool quiet = cap.peakL < 100 && cap.peakR < 100;
        before = cap.filled;
        cap.peakL = cap.peakR = 0;
        return quiet;
      },
      8000);
  EXPECT_TRUE(silent) << "peaks stay high without the tone";

  current = nullptr;
  waveInReset(cap.in);
  for (auto& h : cap.headers) waveInUnprepareHeader(cap.in, &h, sizeof(WAVEHDR));
  waveInClose(cap.in);
  DestroyWindow(win);
}

} // namespace
