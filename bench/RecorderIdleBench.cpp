// The reference of bench/recorder_idle.sh: a bare wave input with the level
// meter's format and buffer size, kept running for 3 s + 10 s and doing
// nothing else. The script measures it as it measures the idle recorder.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr DWORD kSettleMs = 3000, kMeasureMs = 10000;

uint64_t Ticks(FILETIME f) {
  return (uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime;
}

uint64_t ProcessCpu(HANDLE process) {
  FILETIME c, e, k, u;
  if (!GetProcessTimes(process, &c, &e, &k, &u)) return 0;
  return Ticks(k) + Ticks(u);
}

// Share of one core that process used over ms milliseconds from now.
double MeasureShare(HANDLE process, DWORD ms, const std::function<void()>& idle = nullptr) {
  const uint64_t before = ProcessCpu(process);
  const DWORD start = GetTickCount();
  if (idle)
    idle();
  else
    Sleep(ms);
  const double elapsed = double(GetTickCount() - start);
  return double(ProcessCpu(process) - before) / 1e4 / elapsed;
}

// The reference: 44,100 Hz stereo 16-bit input in 22,050-byte buffers,
// requeued as they fill, for ms milliseconds.
double BareInputShare(DWORD ms) {
  WAVEFORMATEX f{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HWAVEIN in = nullptr;
  if (waveInOpen(&in, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(event), 0, CALLBACK_EVENT) !=
      MMSYSERR_NOERROR) {
    CloseHandle(event);
    return -1;
  }
  std::vector<std::vector<char>> data(4, std::vector<char>(22050));
  std::vector<WAVEHDR> headers(4);
  for (size_t i = 0; i < headers.size(); ++i) {
    headers[i] = WAVEHDR{};
    headers[i].lpData = data[i].data();
    headers[i].dwBufferLength = DWORD(data[i].size());
    waveInPrepareHeader(in, &headers[i], sizeof(WAVEHDR));
    waveInAddBuffer(in, &headers[i], sizeof(WAVEHDR));
  }
  waveInStart(in);
  Sleep(kSettleMs);
  double share = MeasureShare(GetCurrentProcess(), ms, [&] {
    const DWORD end = GetTickCount() + ms;
    for (DWORD now = GetTickCount(); int32_t(end - now) > 0; now = GetTickCount()) {
      WaitForSingleObject(event, end - now);
      for (WAVEHDR& h : headers)
        if (h.dwFlags & WHDR_DONE) {
          waveInUnprepareHeader(in, &h, sizeof(WAVEHDR));
          h.dwFlags = 0;
          h.dwBytesRecorded = 0;
          waveInPrepareHeader(in, &h, sizeof(WAVEHDR));
          waveInAddBuffer(in, &h, sizeof(WAVEHDR));
        }
    }
  });
  waveInReset(in);
  for (WAVEHDR& h : headers)
    waveInUnprepareHeader(in, &h, sizeof(WAVEHDR));
  waveInClose(in);
  CloseHandle(event);
  return share;
}

} // namespace

int main() {
  // 3 s to settle, then the 10 s that bench/recorder_idle.sh measures.
  const double bare = BareInputShare(kMeasureMs);
  if (bare < 0) {
    std::printf("no wave input\n");
    return 1;
  }
  std::printf("bare wave input, own measure: %.2f %% of a core\n", bare * 100);
  return 0;
}
