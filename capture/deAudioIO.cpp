#include "capture/deAudioIO.h"

#include <algorithm>
#include <typeinfo>

// ---------------------------------------------------------------------------
// TdeBufferPool

void* TdeBufferPool::Get(DWORD size) {
  size_t best = FFree.size();
  DWORD bestExcess = size;
  for (size_t i = 0; i < FFree.size(); ++i) {
    DWORD have = SizeOf(FFree[i]);
    if (have == size) {
      best = i;
      break;
    }
    if (have > size && have - size < bestExcess) {
      bestExcess = have - size;
      best = i;
    }
  }
  if (best < FFree.size()) {
    void* block = FFree[best];
    FFree.erase(FFree.begin() + static_cast<std::ptrdiff_t>(best));
    return block;
  }
  HGLOBAL h = GlobalAlloc(GMEM_FIXED | GMEM_SHARE, static_cast<SIZE_T>(size) + sizeof(DWORD));
  if (!h) throw EACMAudioOutError(deStrings::sGlobalAlloc);
  FAll.push_back(h);
  DWORD* p = static_cast<DWORD*>(static_cast<void*>(h));
  p[0] = size;
  return p + 1;
}

void TdeBufferPool::Return(void* block) {
  if (block) FFree.push_back(block);
}

void TdeBufferPool::Clear() {
  FFree.clear();
  for (HGLOBAL h : FAll)
    GlobalFree(h);
  FAll.clear();
}

// ---------------------------------------------------------------------------
// Buffer size

DWORD deAdjustBufferSize(DWORD size, const TdeWaveFormat& format, bool autoAdjust) {
  const DWORD bits = format.BitsPerSample();
  if (bits == 0) return size;
  const DWORD frame = (bits / 8) * format.Channels();
  if (autoAdjust && frame > 1) size -= size % frame;
  if ((static_cast<unsigned long long>(size) * 8) % bits != 0)
    throw EACMAudioInError(deStrings::sInvalidBufferSize);
  return size;
}

// ---------------------------------------------------------------------------
// TdeAudioIO

TdeAudioIO::TdeAudioIO(TComponent* AOwner) : TComponent(AOwner) {
  FWindow = AllocateMessageHWnd([this](TMessage& m) { WndProc(m); });
}

TdeAudioIO::~TdeAudioIO() {
  Destroying();
  DeallocateHWnd(FWindow);
  FWindow = nullptr;
  FPool.Clear();
}

void TdeAudioIO::SetActive(bool Value) {
  if (Value == FActive) return;
  if (Value) {
    FPool.Clear();
    if (BeforeOpen) BeforeOpen(this);
    DoOpen();
    FActive = true;
    if (AfterOpen) AfterOpen(this);
  } else {
    if (BeforeClose) BeforeClose(this);
    DoClose();
    FPool.Clear();
    FActive = false;
    if (AfterClose) AfterClose(this);
  }
}

void TdeAudioIO::Loaded() {
  TComponent::Loaded();
  if (FAutoOpen && !(ComponentState() & csDesigning)) SetActive(true);
}

void TdeAudioIO::WndProc(TMessage& Message) {
  Message.Result = 1;
}

// ---------------------------------------------------------------------------
// TdeAbstractAudioIn

TdeAbstractAudioIn::TdeAbstractAudioIn(TComponent* AOwner) : TdeAudioIO(AOwner) {
  FSubject = std::make_unique<TdeAudioSubject>(this, Format());
  FSubject->OnError = [this](IdeAudioSubject* s, IdeAudioObserver* o, Exception& e, bool& r) {
    DoObserverError(s, o, e, r);
  };
}

TdeAbstractAudioIn::~TdeAbstractAudioIn() {
  Destroying();
  FSubject.reset();
}

void TdeAbstractAudioIn::DoObserverError(IdeAudioSubject* Sender, IdeAudioObserver* Observer,
                                         Exception& E, bool& RaiseException) {
  if (OnObserverError) OnObserverError(Sender, Observer, E, RaiseException);
}

// ---------------------------------------------------------------------------
// TdeCustomAudioIn

TdeCustomAudioIn::TdeCustomAudioIn(TComponent* AOwner) : TdeAbstractAudioIn(AOwner) {}

TdeCustomAudioIn::~TdeCustomAudioIn() {
  Destroying();
  try {
    SetActive(false);
  } catch (...) {
    // The device goes away anyway.
  }
}

void TdeCustomAudioIn::SetBufferSize(DWORD Value) {
  if (Active()) throw EACMAudioIOError(deStrings::sActive);
  FBufferSize = Value;
}

void TdeCustomAudioIn::DoSetBufferCount(BYTE Value) {
  if (Value < 2) throw EACMAudioIOError(deStrings::sInvalidBufferSize);
  TdeAbstractAudioIn::DoSetBufferCount(Value);
}

void TdeCustomAudioIn::DoOpen() {
  TdeWaveFormat* format = Format();
  if (format->BitsPerSample() != 0)
    FBufferSize = deAdjustBufferSize(FBufferSize, *format, AutoAdjustBufferSize());

  UINT device = FDeviceID == 255 ? WAVE_MAPPER : FDeviceID;
  DWORD flags = CALLBACK_WINDOW;
  if (FDeviceID == 255 && format->FormatTag() != WAVE_FORMAT_PCM) {
    device = 0;
    flags |= WAVE_MAPPED;
  }
  HWAVEIN h = nullptr;
  CheckMMResult<EACMAudioInError>(
      waveInOpen(&h, device, format->Header(), reinterpret_cast<DWORD_PTR>(Handle()), 0, flags),
      deStrings::sOpenIn);
  FWaveIn = h;
  // Give back what the open had taken before reporting.
  TScopeGuard release([&] {
    waveInReset(FWaveIn);
    for (auto it = Headers().rbegin(); it != Headers().rend(); ++it)
      if ((*it)->dwFlags & WHDR_PREPARED) waveInUnprepareHeader(FWaveIn, *it, sizeof(WAVEHDR));
    Headers().clear();
    waveInClose(FWaveIn);
    FWaveIn = nullptr;
    Pool().Clear();
  });
  for (int i = 0; i < BufferCount(); ++i) {
    auto* header = static_cast<WAVEHDR*>(Pool().Get(sizeof(WAVEHDR)));
    ZeroMemory(header, sizeof(WAVEHDR));
    Headers().push_back(header);
    header->lpData = static_cast<LPSTR>(Pool().Get(FBufferSize));
    header->dwBufferLength = FBufferSize;
    CheckMMResult<EACMAudioInError>(waveInPrepareHeader(FWaveIn, header, sizeof(WAVEHDR)),
                                    deStrings::sPrepareIn);
    CheckMMResult<EACMAudioInError>(waveInAddBuffer(FWaveIn, header, sizeof(WAVEHDR)),
                                    deStrings::sAddIn);
  }
  CheckMMResult<EACMAudioInError>(waveInStart(FWaveIn), deStrings::sOpenIn);
  release.Dismiss();
  FReportedFailure.clear();
}

void TdeCustomAudioIn::ReleaseHeader(WAVEHDR* Header) {
  CheckMMResult<EACMAudioInError>(waveInUnprepareHeader(FWaveIn, Header, sizeof(WAVEHDR)),
                                  deStrings::sUnprepareIn);
  Pool().Return(Header->lpData);
  Pool().Return(Header);
}

void TdeCustomAudioIn::DoClose() {
  CheckMMResult<EACMAudioInError>(waveInReset(FWaveIn), deStrings::sCloseIn);
  auto& headers = Headers();
  while (!headers.empty()) {
    WAVEHDR* header = headers.back();
    headers.pop_back();
    ReleaseHeader(header);
  }
  CheckMMResult<EACMAudioInError>(waveInClose(FWaveIn), deStrings::sCloseIn);
  FWaveIn = nullptr;
  FData = nullptr;
  FDataSize = 0;
}

void TdeCustomAudioIn::DoAudioRecorded(void* Data, int Size) {
  FData = Data;
  FDataSize = Size;
  Subject()->Notify(this, Data, Size);
  if (OnAudioRecorded) OnAudioRecorded(this, Data, Size);
}

void TdeCustomAudioIn::Requeue(WAVEHDR* Header) {
  CheckMMResult<EACMAudioInError>(waveInUnprepareHeader(FWaveIn, Header, sizeof(WAVEHDR)),
                                  deStrings::sUnprepareIn);
  Header->dwBufferLength = FBufferSize;
  Header->dwBytesRecorded = 0;
  Header->dwUser = 0;
  Header->dwFlags = 0;
  Header->dwLoops = 0;
  CheckMMResult<EACMAudioInError>(waveInPrepareHeader(FWaveIn, Header, sizeof(WAVEHDR)),
                                  deStrings::sPrepareIn);
  CheckMMResult<EACMAudioInError>(waveInAddBuffer(FWaveIn, Header, sizeof(WAVEHDR)),
                                  deStrings::sAddIn);
}

void TdeCustomAudioIn::ReportDeliveryFailure(std::exception_ptr Failure) {
  // A failure that repeats with every buffer is reported once.
  std::wstring key;
  try {
    std::rethrow_exception(Failure);
  } catch (const Exception& e) {
    key = Utf8ToWide(typeid(e).name()) + L"\n" + e.Message();
  } catch (...) {
    key = L"?";
  }
  if (key == FReportedFailure) return;
  FReportedFailure = key;
  std::rethrow_exception(Failure);
}

void TdeCustomAudioIn::WndProc(TMessage& Message) {
  Message.Result = 1;
  if (Message.Msg != MM_WIM_DATA) return;
  auto* header = reinterpret_cast<WAVEHDR*>(Message.LParam);
  auto& headers = Headers();
  auto queued = [&] { return std::find(headers.begin(), headers.end(), header) != headers.end(); };
  if (!queued()) return; // late message after a close
  if (!Active()) {
    headers.erase(std::find(headers.begin(), headers.end(), header));
    ReleaseHeader(header);
    return;
  }
  std::exception_ptr failure;
  try {
    DoAudioRecorded(header->lpData, static_cast<int>(header->dwBytesRecorded));
  } catch (...) {
    failure = std::current_exception();
  }
  // The buffer goes back to the device whatever the delivery did.
  if (Active() && queued()) Requeue(header);
  if (failure)
    ReportDeliveryFailure(failure);
  else
    FReportedFailure.clear();
}
