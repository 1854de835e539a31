#include "audio/WaveDevice.h"

#include <algorithm>

#include "audio/AudioError.h"

namespace audio {

// ---------------------------------------------------------------------------
// TNotifyWindow

namespace {
constexpr UINT WM_RUN_POSTED = WM_APP + 0x2A1;
const wchar_t* const kNotifyClass = L"KorvaneAudioNotifyWindow";

void RegisterNotifyClass(WNDPROC proc) {
  static std::once_flag once;
  std::call_once(once, [proc] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kNotifyClass;
    RegisterClassW(&wc);
  });
}
} // namespace

TNotifyWindow::TNotifyWindow() {
  RegisterNotifyClass(&TNotifyWindow::WndProc);
  FHandle = CreateWindowExW(0, kNotifyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (!FHandle)
    RaiseAudioError(L"Cannot create the audio event window: " + SystemErrorText(GetLastError()));
  SetWindowLongPtrW(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TNotifyWindow::~TNotifyWindow() {
  if (FHandle) {
    for (auto& t : FTimers)
      KillTimer(FHandle, t.first);
    SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
  }
}

void TNotifyWindow::Post(std::function<void()> fn) {
  std::lock_guard<std::mutex> g(FLock);
  FQueue.push_back(std::move(fn));
  if (!FWakePosted) {
    FWakePosted = true;
    PostMessageW(FHandle, WM_RUN_POSTED, 0, 0);
  }
}

void TNotifyWindow::Cancel() {
  std::lock_guard<std::mutex> g(FLock);
  FQueue.clear();
}

void TNotifyWindow::StartTimer(UINT_PTR id, UINT intervalMs, std::function<void()> fn) {
  FTimers[id] = std::move(fn);
  SetTimer(FHandle, id, intervalMs, nullptr);
}

void TNotifyWindow::StopTimer(UINT_PTR id) {
  KillTimer(FHandle, id);
  FTimers.erase(id);
}

void TNotifyWindow::RunPosted() {
  for (;;) {
    std::function<void()> fn;
    {
      std::lock_guard<std::mutex> g(FLock);
      if (FQueue.empty()) {
        FWakePosted = false;
        return;
      }
      fn = std::move(FQueue.front());
      FQueue.pop_front();
    }
    try {
      fn();
    } catch (...) {
      HandleEventException(std::current_exception());
    }
  }
}

LRESULT CALLBACK TNotifyWindow::WndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<TNotifyWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (self && m == WM_RUN_POSTED) {
    self->RunPosted();
    return 0;
  }
  if (self && m == WM_TIMER) {
    auto it = self->FTimers.find(w);
    if (it != self->FTimers.end()) {
      auto fn = it->second; // the handler may stop the timer
      try {
        fn();
      } catch (...) {
        HandleEventException(std::current_exception());
      }
    }
    return 0;
  }
  return DefWindowProcW(h, m, w, l);
}

// ---------------------------------------------------------------------------
// Devices

namespace {

// The devices that Count reports, each with what GetCaps tells of it (the id
// alone when it tells nothing).
template <class TCaps, class TGetCaps>
std::vector<TWaveDeviceInfo> Devices(UINT Count, TGetCaps GetCaps) {
  std::vector<TWaveDeviceInfo> list;
  for (UINT i = 0; i < Count; ++i) {
    TCaps caps{};
    TWaveDeviceInfo info;
    info.Id = i;
    if (GetCaps(i, &caps, sizeof caps) == MMSYSERR_NOERROR) {
      info.Name = caps.szPname;
      info.Formats = caps.dwFormats;
      info.Channels = caps.wChannels;
    }
    list.push_back(info);
  }
  return list;
}

} // namespace

std::vector<TWaveDeviceInfo> WaveInDevices() {
  return Devices<WAVEINCAPSW>(waveInGetNumDevs(), waveInGetDevCapsW);
}

std::vector<TWaveDeviceInfo> WaveOutDevices() {
  return Devices<WAVEOUTCAPSW>(waveOutGetNumDevs(), waveOutGetDevCapsW);
}

WAVEFORMATEX PcmFormat(int sampleRate, int channels, int bitsPerSample) {
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = static_cast<WORD>(channels);
  f.nSamplesPerSec = static_cast<DWORD>(sampleRate);
  f.wBitsPerSample = static_cast<WORD>(bitsPerSample);
  f.nBlockAlign = static_cast<WORD>(channels * bitsPerSample / 8);
  f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
  return f;
}

namespace {

// Opens a device for 16-bit PCM that signals Event; on failure the handle
// and the event are cleared again.
template <class THandle, class TOpen>
MMRESULT OpenWithEvent(TOpen Open, THandle& Handle, HANDLE& Event, UINT Device, int Rate,
                       int Channels) {
  WAVEFORMATEX fmt = PcmFormat(Rate, Channels, 16);
  Event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  MMRESULT r = Open(&Handle, Device, &fmt, reinterpret_cast<DWORD_PTR>(Event), 0, CALLBACK_EVENT);
  if (r != MMSYSERR_NOERROR) {
    Handle = nullptr;
    CloseHandle(Event);
    Event = nullptr;
  }
  return r;
}

} // namespace

// ---------------------------------------------------------------------------
// TWaveIn

TWaveIn::~TWaveIn() {
  Stop();
}

MMRESULT TWaveIn::Start(UINT device, int sampleRate, int channels, int bufferFrames,
                        int bufferCount, TDataHandler onData, TFaultHandler onFault) {
  Stop();
  if (sampleRate <= 0 || channels <= 0 || bufferFrames <= 0 || bufferCount <= 0)
    return MMSYSERR_INVALPARAM;
  FOnData = std::move(onData);
  FOnFault = std::move(onFault);
  FChannels = channels;
  MMRESULT r = OpenWithEvent(waveInOpen, FHandle, FEvent, device, sampleRate, channels);
  if (r != MMSYSERR_NOERROR) return r;
  FBuffers.assign(bufferCount, std::vector<int16_t>(static_cast<size_t>(bufferFrames) * channels));
  FHeaders.assign(bufferCount, WAVEHDR{});
  FNext = 0;
  for (int i = 0; i < bufferCount && r == MMSYSERR_NOERROR; ++i) {
    WAVEHDR& h = FHeaders[i];
    h.lpData = reinterpret_cast<LPSTR>(FBuffers[i].data());
    h.dwBufferLength = static_cast<DWORD>(FBuffers[i].size() * sizeof(int16_t));
    r = waveInPrepareHeader(FHandle, &h, sizeof h);
    if (r == MMSYSERR_NOERROR) r = waveInAddBuffer(FHandle, &h, sizeof h);
  }
  FQuit = false;
  FFaulted = false;
  FRunning = true;
  FThread = std::thread(&TWaveIn::Worker, this);
  if (r == MMSYSERR_NOERROR) r = waveInStart(FHandle);
  if (r != MMSYSERR_NOERROR) Stop();
  return r;
}

void TWaveIn::Worker() {
  DWORD lastData = GetTickCount();
  bool started = false;
  while (!FQuit) {
    WaitForSingleObject(FEvent, 100);
    if (FQuit) break;
    bool any = false;
    {
      std::lock_guard<std::mutex> g(FLock);
      any = Harvest(true) > 0;
    }
    if (FFaulted) break;
    DWORD now = GetTickCount();
    if (any) {
      lastData = now;
      started = true;
    } else if (FRunning && now - lastData > static_cast<DWORD>(started ? StallMs : StartMs)) {
      Fault(L"The recording device stopped delivering sound.");
      break;
    }
  }
}

size_t TWaveIn::Harvest(bool requeue) {
  size_t n = FHeaders.size(), count = 0;
  for (size_t k = 0; k < n; ++k) {
    WAVEHDR& h = FHeaders[FNext];
    if (!(h.dwFlags & WHDR_DONE)) break;
    size_t frames = h.dwBytesRecorded / (sizeof(int16_t) * FChannels);
    if (frames && FOnData) FOnData(reinterpret_cast<const int16_t*>(h.lpData), frames);
    h.dwBytesRecorded = 0;
    h.dwFlags &= ~WHDR_DONE;
    FNext = (FNext + 1) % n;
    ++count;
    if (requeue) {
      MMRESULT r = waveInAddBuffer(FHandle, &h, sizeof h);
      if (r != MMSYSERR_NOERROR) {
        Fault(WaveErrorText(r, true));
        break;
      }
    }
  }
  return count;
}

void TWaveIn::Fault(const std::wstring& text) {
  if (FFaulted.exchange(true)) return;
  if (FOnFault) FOnFault(text);
}

void TWaveIn::Stop() {
  if (!FHandle) return;
  FRunning = false;
  FQuit = true;
  if (FEvent) SetEvent(FEvent);
  if (FThread.joinable()) FThread.join();
  waveInReset(FHandle);
  {
    std::lock_guard<std::mutex> g(FLock);
    Harvest(false);
  }
  for (auto& h : FHeaders)
    if (h.dwFlags & WHDR_PREPARED) waveInUnprepareHeader(FHandle, &h, sizeof h);
  waveInClose(FHandle);
  FHandle = nullptr;
  CloseHandle(FEvent);
  FEvent = nullptr;
  FHeaders.clear();
  FBuffers.clear();
}

// ---------------------------------------------------------------------------
// TWaveOut

TWaveOut::~TWaveOut() {
  Close();
}

MMRESULT TWaveOut::Open(UINT device, int sampleRate, int channels, TDoneHandler onDone) {
  Close();
  if (sampleRate <= 0 || channels <= 0) return MMSYSERR_INVALPARAM;
  FOnDone = std::move(onDone);
  MMRESULT r = OpenWithEvent(waveOutOpen, FHandle, FEvent, device, sampleRate, channels);
  if (r != MMSYSERR_NOERROR) return r;
  FRate = sampleRate;
  FChannels = channels;
  FQuit = false;
  FThread = std::thread(&TWaveOut::Worker, this);
  return MMSYSERR_NOERROR;
}

MMRESULT TWaveOut::Write(const int16_t* samples, size_t frames, uint64_t cookie) {
  if (!FHandle) return MMSYSERR_INVALHANDLE;
  auto b = std::make_unique<TBlock>();
  b->Data.assign(samples, samples + frames * FChannels);
  b->Cookie = cookie;
  b->Header.lpData = reinterpret_cast<LPSTR>(b->Data.data());
  b->Header.dwBufferLength = static_cast<DWORD>(b->Data.size() * sizeof(int16_t));
  MMRESULT r = waveOutPrepareHeader(FHandle, &b->Header, sizeof(WAVEHDR));
  if (r != MMSYSERR_NOERROR) return r;
  std::lock_guard<std::mutex> g(FLock);
  WAVEHDR* h = &b->Header;
  FQueue.push_back(std::move(b));
  r = waveOutWrite(FHandle, h, sizeof(WAVEHDR));
  if (r != MMSYSERR_NOERROR) {
    waveOutUnprepareHeader(FHandle, h, sizeof(WAVEHDR));
    FQueue.pop_back();
  }
  return r;
}

void TWaveOut::Worker() {
  while (!FQuit) {
    WaitForSingleObject(FEvent, 100);
    if (FQuit) break;
    Collect(true);
  }
}

void TWaveOut::Collect(bool notify) {
  std::vector<uint64_t> done;
  {
    std::lock_guard<std::mutex> g(FLock);
    while (!FQueue.empty() && (FQueue.front()->Header.dwFlags & WHDR_DONE)) {
      waveOutUnprepareHeader(FHandle, &FQueue.front()->Header, sizeof(WAVEHDR));
      done.push_back(FQueue.front()->Cookie);
      FQueue.pop_front();
    }
  }
  if (notify && FOnDone)
    for (uint64_t c : done)
      FOnDone(c);
}

int64_t TWaveOut::PlayedFrames() {
  if (!FHandle) return 0;
  MMTIME t{};
  t.wType = TIME_SAMPLES;
  if (waveOutGetPosition(FHandle, &t, sizeof t) != MMSYSERR_NOERROR) return 0;
  if (t.wType == TIME_SAMPLES) return t.u.sample;
  if (t.wType == TIME_BYTES) return t.u.cb / (FChannels * sizeof(int16_t));
  return 0;
}

size_t TWaveOut::Pending() {
  std::lock_guard<std::mutex> g(FLock);
  return FQueue.size();
}

void TWaveOut::Reset() {
  if (!FHandle) return;
  std::lock_guard<std::mutex> g(FLock);
  waveOutReset(FHandle);
  for (auto& b : FQueue)
    waveOutUnprepareHeader(FHandle, &b->Header, sizeof(WAVEHDR));
  FQueue.clear();
}

void TWaveOut::Close() {
  if (!FHandle) return;
  FQuit = true;
  SetEvent(FEvent);
  if (FThread.joinable()) FThread.join();
  Reset();
  waveOutClose(FHandle);
  FHandle = nullptr;
  CloseHandle(FEvent);
  FEvent = nullptr;
}

// ---------------------------------------------------------------------------
// TRecordingMixer

TRecordingMixer::TRecordingMixer(UINT waveInDevice) {
  if (mixerOpen(&FMixer, waveInDevice, 0, 0, MIXER_OBJECTF_WAVEIN) != MMSYSERR_NOERROR) {
    FMixer = nullptr;
    return;
  }
  HMIXEROBJ mo = reinterpret_cast<HMIXEROBJ>(FMixer);
  MIXERLINEW dst{};
  dst.cbStruct = sizeof dst;
  dst.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
  if (mixerGetLineInfoW(mo, &dst, MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR) {
    dst = MIXERLINEW{};
    dst.cbStruct = sizeof dst;
    dst.dwDestination = 0;
    if (mixerGetLineInfoW(mo, &dst, MIXER_GETLINEINFOF_DESTINATION) != MMSYSERR_NOERROR) return;
  }
  auto addLine = [&](const MIXERLINEW& ml) {
    TLine line;
    line.LineId = ml.dwLineID;
    line.Name = ml.szName;
    line.Channels = std::max<DWORD>(1, ml.cChannels);
    MIXERCONTROLW mc{};
    mc.cbStruct = sizeof mc;
    MIXERLINECONTROLSW lc{};
    lc.cbStruct = sizeof lc;
    lc.dwLineID = ml.dwLineID;
    lc.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    lc.cControls = 1;
    lc.cbmxctrl = sizeof mc;
    lc.pamxctrl = &mc;
    if (mixerGetLineControlsW(mo, &lc, MIXER_GETLINECONTROLSF_ONEBYTYPE) == MMSYSERR_NOERROR) {
      line.HasVolume = true;
      line.VolumeControl = mc.dwControlID;
      line.VolumeMin = mc.Bounds.dwMinimum;
      line.VolumeMax =
          mc.Bounds.dwMaximum > mc.Bounds.dwMinimum ? mc.Bounds.dwMaximum : mc.Bounds.dwMinimum + 1;
      if (mc.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) line.Channels = 1;
    }
    FLines.push_back(line);
  };
  for (DWORD s = 0; s < dst.cConnections; ++s) {
    MIXERLINEW src{};
    src.cbStruct = sizeof src;
    src.dwDestination = dst.dwDestination;
    src.dwSource = s;
    if (mixerGetLineInfoW(mo, &src, MIXER_GETLINEINFOF_SOURCE) == MMSYSERR_NOERROR) addLine(src);
  }
  if (FLines.empty()) addLine(dst);

  // The recording source selector of the destination, when there is one.
  for (DWORD type : {MIXERCONTROL_CONTROLTYPE_MUX, MIXERCONTROL_CONTROLTYPE_MIXER}) {
    MIXERCONTROLW mc{};
    mc.cbStruct = sizeof mc;
    MIXERLINECONTROLSW lc{};
    lc.cbStruct = sizeof lc;
    lc.dwLineID = dst.dwLineID;
    lc.dwControlType = type;
    lc.cControls = 1;
    lc.cbmxctrl = sizeof mc;
    lc.pamxctrl = &mc;
    if (mixerGetLineControlsW(mo, &lc, MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR ||
        mc.cMultipleItems == 0)
      continue;
    std::vector<MIXERCONTROLDETAILS_LISTTEXTW> items(mc.cMultipleItems);
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof d;
    d.dwControlID = mc.dwControlID;
    d.cChannels = 1;
    d.cMultipleItems = mc.cMultipleItems;
    d.cbDetails = sizeof(MIXERCONTROLDETAILS_LISTTEXTW);
    d.paDetails = items.data();
    if (mixerGetControlDetailsW(mo, &d, MIXER_GETCONTROLDETAILSF_LISTTEXT) != MMSYSERR_NOERROR)
      continue;
    FHasMux = true;
    FMuxIsMixer = type == MIXERCONTROL_CONTROLTYPE_MIXER;
    FMuxControl = mc.dwControlID;
    FMuxItems = mc.cMultipleItems;
    for (auto& it : items)
      FMuxLineIds.push_back(it.dwParam1);
    break;
  }
}

TRecordingMixer::~TRecordingMixer() {
  if (FMixer) mixerClose(FMixer);
}

std::wstring TRecordingMixer::LineName(int index) const {
  if (index < 0 || index >= LineCount()) return {};
  return FLines[index].Name;
}

bool TRecordingMixer::IsSource(int index) {
  if (index < 0 || index >= LineCount()) return false;
  if (!FHasMux) return true;
  std::vector<MIXERCONTROLDETAILS_BOOLEAN> v(FMuxItems);
  MIXERCONTROLDETAILS d{};
  d.cbStruct = sizeof d;
  d.dwControlID = FMuxControl;
  d.cChannels = 1;
  d.cMultipleItems = FMuxItems;
  d.cbDetails = sizeof(MIXERCONTROLDETAILS_BOOLEAN);
  d.paDetails = v.data();
  if (mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(FMixer), &d,
                              MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR)
    return false;
  for (DWORD i = 0; i < FMuxItems; ++i)
    if (FMuxLineIds[i] == FLines[index].LineId) return v[i].fValue != 0;
  return false;
}

void TRecordingMixer::SetSource(int index) {
  if (!FHasMux || index < 0 || index >= LineCount()) return;
  std::vector<MIXERCONTROLDETAILS_BOOLEAN> v(FMuxItems);
  MIXERCONTROLDETAILS d{};
  d.cbStruct = sizeof d;
  d.dwControlID = FMuxControl;
  d.cChannels = 1;
  d.cMultipleItems = FMuxItems;
  d.cbDetails = sizeof(MIXERCONTROLDETAILS_BOOLEAN);
  d.paDetails = v.data();
  HMIXEROBJ mo = reinterpret_cast<HMIXEROBJ>(FMixer);
  if (FMuxIsMixer) mixerGetControlDetailsW(mo, &d, MIXER_GETCONTROLDETAILSF_VALUE);
  bool found = false;
  for (DWORD i = 0; i < FMuxItems; ++i) {
    bool match = FMuxLineIds[i] == FLines[index].LineId;
    found = found || match;
    if (match)
      v[i].fValue = 1;
    else if (!FMuxIsMixer)
      v[i].fValue = 0;
  }
  if (found) mixerSetControlDetails(mo, &d, MIXER_SETCONTROLDETAILSF_VALUE);
}

bool TRecordingMixer::HasVolume(int index) const {
  return index >= 0 && index < LineCount() && FLines[index].HasVolume;
}

bool TRecordingMixer::HasBalance(int index) const {
  return HasVolume(index) && FLines[index].Channels >= 2;
}

bool TRecordingMixer::ReadVolume(const TLine& line, std::vector<DWORD>& values) {
  values.assign(line.Channels, 0);
  std::vector<MIXERCONTROLDETAILS_UNSIGNED> v(line.Channels);
  MIXERCONTROLDETAILS d{};
  d.cbStruct = sizeof d;
  d.dwControlID = line.VolumeControl;
  d.cChannels = line.Channels;
  d.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
  d.paDetails = v.data();
  if (mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(FMixer), &d,
                              MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR)
    return false;
  for (size_t i = 0; i < v.size(); ++i)
    values[i] = v[i].dwValue;
  return true;
}

void TRecordingMixer::WriteVolume(const TLine& line, const std::vector<DWORD>& values) {
  std::vector<MIXERCONTROLDETAILS_UNSIGNED> v(line.Channels);
  for (size_t i = 0; i < v.size() && i < values.size(); ++i)
    v[i].dwValue = values[i];
  MIXERCONTROLDETAILS d{};
  d.cbStruct = sizeof d;
  d.dwControlID = line.VolumeControl;
  d.cChannels = line.Channels;
  d.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
  d.paDetails = v.data();
  mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(FMixer), &d, MIXER_SETCONTROLDETAILSF_VALUE);
}

int TRecordingMixer::Volume(int index) {
  if (!HasVolume(index)) return 0;
  const TLine& line = FLines[index];
  std::vector<DWORD> v;
  if (!ReadVolume(line, v)) return 0;
  DWORD m = *std::max_element(v.begin(), v.end());
  m = std::clamp(m, line.VolumeMin, line.VolumeMax);
  return static_cast<int>(MulDiv(m - line.VolumeMin, 65535, line.VolumeMax - line.VolumeMin));
}

void TRecordingMixer::SetVolume(int index, int value) {
  if (!HasVolume(index)) return;
  const TLine& line = FLines[index];
  value = std::clamp(value, 0, 65535);
  DWORD target = line.VolumeMin + MulDiv(value, line.VolumeMax - line.VolumeMin, 65535);
  std::vector<DWORD> v;
  if (!ReadVolume(line, v)) v.assign(line.Channels, target);
  DWORD m = *std::max_element(v.begin(), v.end());
  for (auto& x : v) {
    // Keep the balance: scale every channel by the same factor.
    x = m > line.VolumeMin ? line.VolumeMin + MulDiv(x - line.VolumeMin, target - line.VolumeMin,
                                                     m - line.VolumeMin)
                           : target;
  }
  WriteVolume(line, v);
}

int TRecordingMixer::Balance(int index) {
  if (!HasBalance(index)) return 50;
  std::vector<DWORD> v;
  if (!ReadVolume(FLines[index], v) || v.size() < 2) return 50;
  DWORD l = v[0] - FLines[index].VolumeMin, r = v[1] - FLines[index].VolumeMin;
  if (l == r) return 50;
  if (l > r) return static_cast<int>(MulDiv(r, 50, l));
  return 100 - static_cast<int>(MulDiv(l, 50, r));
}

void TRecordingMixer::SetBalance(int index, int value) {
  if (!HasBalance(index)) return;
  const TLine& line = FLines[index];
  value = std::clamp(value, 0, 100);
  std::vector<DWORD> v;
  if (!ReadVolume(line, v) || v.size() < 2) return;
  DWORD m = *std::max_element(v.begin(), v.end()) - line.VolumeMin;
  DWORD l = value <= 50 ? m : MulDiv(m, 100 - value, 50);
  DWORD r = value >= 50 ? m : MulDiv(m, value, 50);
  v[0] = line.VolumeMin + l;
  v[1] = line.VolumeMin + r;
  WriteVolume(line, v);
}

} // namespace audio
