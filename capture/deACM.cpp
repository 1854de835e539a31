#include "capture/deACM.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif

// ---------------------------------------------------------------------------
// Result codes

std::wstring MMResultMessage(MMRESULT code, const std::wstring& context) {
  const wchar_t* text = nullptr;
  switch (code) {
  case 2:
    text = L"%sBad device ID.";
    break;
  case 3:
    text = L"%sDriver not enabled.";
    break;
  case 4:
    text = L"%sDevice already allocated.";
    break;
  case 5:
    text = L"%sThe specified handle is invalid.";
    break;
  case 6:
    text = L"%sA suitable driver is not available to provide valid format selections.";
    break;
  case 7:
    text = L"%sThe system is unable to allocate resources.";
    break;
  case 8:
    text = L"%sFunction not supported.";
    break;
  case 10:
    text = L"%sAt least one flag is invalid.";
    break;
  case 11:
    text = L"%sAt least one parameter is invalid.";
    break;
  case 12:
    text = L"%sDevice handle in use.";
    break;
  case 32:
    text = L"%sThe selected audio format is not supported on this machine.";
    break;
  case 33:
    text = L"%sAudio device is still playing.";
    break;
  case 34:
    text = L"%sCannot perform this action on a header that has not been prepared.";
    break;
  case 35:
    text = L"%sDevice is synchronous.";
    break;
  case 512:
    text = L"%sThe requested operation cannot be performed.";
    break;
  case 513:
    text = L"%sThe conversion stream is already in use.";
    break;
  case 514:
    text = L"%sCannot perform this action on a header that has not been prepared.";
    break;
  default:
    break;
  }
  std::wstring prefix = context.empty() ? std::wstring() : context + L"\r\n";
  if (text) return Format(text, prefix);
  return Format(L"%sAn unexpected error has occurred (code #%d).", prefix,
                static_cast<long long>(code));
}

// ---------------------------------------------------------------------------
// TdeWaveFormat

TdeWaveFormat::TdeWaveFormat() {
  std::memset(FBuffer, 0, sizeof(FBuffer));
  Reset();
}

TdeWaveFormat::TdeWaveFormat(const TdeWaveFormat& other) {
  std::memcpy(FBuffer, other.FBuffer, sizeof(FBuffer));
}

TdeWaveFormat& TdeWaveFormat::operator=(const TdeWaveFormat& other) {
  Assign(other);
  return *this;
}

bool TdeWaveFormat::Equals(const TdeWaveFormat& other) const {
  return std::memcmp(FBuffer, other.FBuffer, sizeof(FBuffer)) == 0;
}

void TdeWaveFormat::Reset() {
  WAVEFORMATEX* h = Header();
  h->wFormatTag = WAVE_FORMAT_PCM;
  h->nChannels = 2;
  h->nSamplesPerSec = 11025;
  h->nAvgBytesPerSec = 22050;
  h->nBlockAlign = 2;
  h->wBitsPerSample = 8;
  h->cbSize = 0;
}

void TdeWaveFormat::Assign(const TdeWaveFormat& source) {
  if (&source != this) std::memcpy(FBuffer, source.FBuffer, sizeof(FBuffer));
}

void TdeWaveFormat::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TdeWaveFormat*>(Source)) {
    Assign(*f);
    return;
  }
  TPersistent::Assign(Source);
}

void TdeWaveFormat::AssignTo(TPersistent* Dest) {
  if (dynamic_cast<TdeWaveFormat*>(Dest)) {
    static_cast<TdeWaveFormat*>(Dest)->Assign(*this);
    return;
  }
  // Other classes stay as they are.
}

void TdeWaveFormat::ReadFormatBuffer(TStream& stream) {
  stream.ReadBuffer(FBuffer, BufferSize);
}

void TdeWaveFormat::WriteFormatBuffer(TStream& stream) const {
  stream.WriteBuffer(FBuffer, BufferSize);
}

void TdeWaveFormat::SetFormatTag(WORD value) {
  Header()->wFormatTag = value;
  if (value == 0x42) {
    // Fixed extra block of this tag.
    Header()->cbSize = 10;
    std::memset(FBuffer + sizeof(WAVEFORMATEX), 0, 10);
  }
}

void TdeWaveFormat::SetExtraSize(WORD value) {
  if (value > MaxExtraSize) throw EACMError(deStrings::sFormatTooSmall);
  Header()->cbSize = value;
}

// ---------------------------------------------------------------------------
// Floating-point guard

TdeFPUGuard::TdeFPUGuard(bool enabled) : FEnabled(enabled) {
  if (!FEnabled) return;
#if defined(__x86_64__) || defined(__i386__)
  unsigned short cw = 0x133F;
  __asm__ __volatile__("fnstcw %0" : "=m"(FControlWord));
  __asm__ __volatile__("fldcw %0" : : "m"(cw));
  FMXCSR = _mm_getcsr();
  _mm_setcsr(FMXCSR | 0x1F80);
#endif
}

TdeFPUGuard::~TdeFPUGuard() {
  if (!FEnabled) return;
#if defined(__x86_64__) || defined(__i386__)
  __asm__ __volatile__("fnclex");
  __asm__ __volatile__("fldcw %0" : : "m"(FControlWord));
  _mm_setcsr(FMXCSR & ~0x3Fu);
#endif
}

// ---------------------------------------------------------------------------
// Chain helpers

bool deCanConvert(const TdeWaveFormat& from, const TdeWaveFormat& to, bool realTime) {
  DWORD flags = ACM_STREAMOPENF_QUERY | (realTime ? 0 : ACM_STREAMOPENF_NONREALTIME);
  MMRESULT rc = acmStreamOpen(nullptr, nullptr, const_cast<WAVEFORMATEX*>(from.Header()),
                              const_cast<WAVEFORMATEX*>(to.Header()), nullptr, 0, 0, flags);
  return rc == 0;
}

TdeWaveFormat deSuggestPCM(const TdeWaveFormat& source, const TdeWaveFormat& templ) {
  TdeWaveFormat d(templ);
  d.SetFormatTag(WAVE_FORMAT_PCM);
  CheckMMResult<EACMConversionError>(
      acmFormatSuggest(nullptr, const_cast<WAVEFORMATEX*>(source.Header()), d.Header(),
                       TdeWaveFormat::BufferSize, ACM_FORMATSUGGESTF_WFORMATTAG));
  return d;
}

std::vector<TdeWaveFormat> deBuildChain(const TdeWaveFormat& in, const TdeWaveFormat& out,
                                        bool realTime) {
  std::vector<TdeWaveFormat> chain{in};
  if (!deCanConvert(in, out, realTime)) {
    TdeWaveFormat mid1 = deSuggestPCM(in, in);
    if (!deCanConvert(in, mid1, realTime))
      throw EACMConversionError(deStrings::sConversionNotPossible);
    if (!mid1.Equals(in) && !mid1.Equals(out)) chain.push_back(mid1);
    if (!deCanConvert(mid1, out, realTime)) {
      TdeWaveFormat mid2 = deSuggestPCM(out, mid1);
      if (!deCanConvert(mid1, mid2, realTime) || !deCanConvert(mid2, out, realTime))
        throw EACMConversionError(deStrings::sConversionNotPossible);
      if (!mid2.Equals(mid1) && !mid2.Equals(out)) chain.push_back(mid2);
    }
  }
  chain.push_back(out);
  return chain;
}

// ---------------------------------------------------------------------------
// TMiniConvertor

TMiniConvertor::TMiniConvertor(const TdeWaveFormat& source, const TdeWaveFormat& dest)
    : FSource(source), FDest(dest) {
  FHeader.cbStruct = sizeof(FHeader);
}

TMiniConvertor::~TMiniConvertor() {
  try {
    if (FOpen) Close();
  } catch (...) {
  }
  ResetBuffers();
}

void TMiniConvertor::Open(bool realTime) {
  if (FOpen) throw EACMError(deStrings::sActive);
  DWORD flags = realTime ? 0 : ACM_STREAMOPENF_NONREALTIME;
  HACMSTREAM h = nullptr;
  CheckMMResult<EACMConversionError>(
      acmStreamOpen(&h, nullptr, FSource.Header(), FDest.Header(), nullptr, 0, 0, flags));
  FStream = h;
  FOpen = true;
  ResetBuffers();
}

void TMiniConvertor::ResetBuffers() {
  if (FStream && (FHeader.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED)) {
    // Lengths back to what was prepared before unpreparing.
    FHeader.cbSrcLength = FCapacity;
    FHeader.cbDstLength = FOutputSize;
    acmStreamUnprepareHeader(FStream, &FHeader, 0);
  }
  if (FStream) acmStreamReset(FStream, 0);
  std::memset(&FHeader, 0, sizeof(FHeader));
  FHeader.cbStruct = sizeof(FHeader);
  FCapacity = 0;
  FHeld = 0;
  FInput.reset();
  FOutput.reset();
  FOutputSize = 0;
}

void TMiniConvertor::Close() {
  ResetBuffers();
  if (FStream) acmStreamClose(FStream, 0);
  FStream = nullptr;
  FOpen = false;
}

void TMiniConvertor::GrowInput(DWORD capacity) {
  if (capacity <= FCapacity) return;
  BYTE* p = static_cast<BYTE*>(std::realloc(FInput.get(), capacity));
  if (!p) throw EOutOfMemory(L"Out of memory.");
  (void)FInput.release(); // moved by realloc
  FInput.reset(p);
  FCapacity = capacity;
}

DWORD TMiniConvertor::Convert(const void* data, DWORD size, bool setFPU, DWORD flags) {
  if (!FOpen) throw EACMConversionError(deStrings::sNotActive);
  const bool prepared = (FHeader.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) != 0;
  if (FCapacity < FHeld + size) {
    if (prepared) throw EACMConversionError(deStrings::sBufferTooLarge);
    GrowInput(2 * FHeld + 2 * size);
  }
  if (size) std::memcpy(FInput.get() + FHeld, data, size);
  FHeld += size;

  if (!(FHeader.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED)) {
    DWORD out = 0;
    if (FHeld == 0 || acmStreamSize(FStream, FHeld, &out, ACM_STREAMSIZEF_SOURCE) != 0 || out == 0)
      return 0;
    GrowInput(3 * FHeld);
    if (acmStreamSize(FStream, FCapacity, &out, ACM_STREAMSIZEF_SOURCE) != 0 || out == 0) return 0;
    FOutput.reset(static_cast<BYTE*>(std::malloc(out)));
    if (!FOutput) throw EOutOfMemory(L"Out of memory.");
    FOutputSize = out;
    FHeader.pbSrc = FInput.get();
    FHeader.cbSrcLength = FCapacity;
    FHeader.pbDst = FOutput.get();
    FHeader.cbDstLength = FOutputSize;
    MMRESULT rc = acmStreamPrepareHeader(FStream, &FHeader, 0);
    if (rc != 0) {
      FOutput.reset();
      FOutputSize = 0;
      FHeader.pbDst = nullptr;
      FHeader.cbDstLength = 0;
      CheckMMResult<EACMConversionError>(rc);
    }
  }

  DWORD out = 0;
  if (FHeld == 0 || acmStreamSize(FStream, FHeld, &out, ACM_STREAMSIZEF_SOURCE) != 0 || out == 0)
    return 0;
  FHeader.cbSrcLength = FHeld;
  FHeader.cbDstLengthUsed = 0;
  MMRESULT rc;
  {
    TdeFPUGuard guard(setFPU);
    rc = acmStreamConvert(FStream, &FHeader, flags);
  }
  CheckMMResult<EACMConversionError>(rc);
  DWORD used = std::min(FHeader.cbSrcLengthUsed, FHeld);
  if (used && used < FHeld) std::memmove(FInput.get(), FInput.get() + used, FHeld - used);
  FHeld -= used;
  return FHeader.cbDstLengthUsed;
}

// ---------------------------------------------------------------------------
// TdeAudioSubject

IdeAudioSubject* deAsSubject(TComponent* component) {
  return dynamic_cast<IdeAudioSubject*>(component);
}

TdeAudioSubject::TdeAudioSubject(TComponent* creator, TdeWaveFormat* format)
    : TComponent(nullptr), FFormat(format), FCreator(creator) {
  if (!creator || !format) throw EACMError(L"Invalid argument.");
}

TdeAudioSubject::~TdeAudioSubject() {
  Destroying();
}

void TdeAudioSubject::Attach(IdeAudioObserver* Observer) {
  FObservers.push_back(Observer);
}

void TdeAudioSubject::Detach(IdeAudioObserver* Observer) {
  auto it = std::find(FObservers.begin(), FObservers.end(), Observer);
  if (it != FObservers.end()) FObservers.erase(it);
}

void TdeAudioSubject::Notify(IdeAudioSubject* Subject, void* Data, int Size) {
  size_t index = 0;
  while (index < FObservers.size()) {
    IdeAudioObserver* observer = FObservers[index];
    try {
      observer->AudioData(Subject, Data, Size);
    } catch (Exception& e) {
      bool raise = FRaiseByDefault;
      if (OnError) OnError(Subject, observer, e, raise);
      if (raise) throw;
    }
    // An observer that detached itself leaves the next one at this index.
    if (index < FObservers.size() && FObservers[index] == observer) ++index;
  }
}

// ---------------------------------------------------------------------------
// TdeAudioObserver

TdeAudioObserver::TdeAudioObserver(TComponent* creator) : TComponent(nullptr), FCreator(creator) {
  if (!creator) throw EACMError(L"Invalid argument.");
}

TdeAudioObserver::~TdeAudioObserver() {
  Destroying();
  try {
    SetAudioSource(nullptr);
  } catch (...) {
  }
}

void TdeAudioObserver::SetAudioSource(TComponent* Value) {
  if (Value && Value == FCreator) throw EACMError(deStrings::sObserveSelf);
  if (Value && !deAsSubject(Value)) throw EACMError(deStrings::sNotSubject);
  if (FAudioSource) {
    if (IdeAudioSubject* old = deAsSubject(FAudioSource)) old->Detach(this);
    FAudioSource->RemoveFreeNotification(this);
  }
  FAudioSource = Value;
  if (Value) {
    Value->FreeNotification(this);
    deAsSubject(Value)->Attach(this);
  }
}

void TdeAudioObserver::AudioData(IdeAudioSubject* Subject, void* Data, int Size) {
  if (OnBlock) OnBlock(Subject, Data, Size);
}

void TdeAudioObserver::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == FAudioSource) SetAudioSource(nullptr);
}

// ---------------------------------------------------------------------------
// TdeAudioConvertor

TdeAudioConvertor::TdeAudioConvertor(TComponent* AOwner) : TComponent(AOwner) {
  FObserver = std::make_unique<TdeAudioObserver>(this);
  FObserver->OnBlock = [this](IdeAudioSubject* s, void* d, int n) { SourceData(s, d, n); };
  FSubject = std::make_unique<TdeAudioSubject>(this, &FFormatOut);
  FSubject->OnError = [this](IdeAudioSubject* s, IdeAudioObserver* o, Exception& e, bool& r) {
    DoObserverError(s, o, e, r);
  };
}

TdeAudioConvertor::~TdeAudioConvertor() {
  Destroying();
  try {
    SetActive(false);
  } catch (...) {
  }
  FreeChain();
  FObserver.reset();
  FSubject.reset();
}

void TdeAudioConvertor::SetActive(bool Value) {
  if (Value == FActive) return;
  if (Value)
    Open();
  else
    Close();
}

void TdeAudioConvertor::SetRequestRealTime(bool Value) {
  if (FActive) throw EACMConversionError(deStrings::sActive);
  FRequestRealTime = Value;
}

void TdeAudioConvertor::FreeChain() {
  FStages.clear();
  FFormats.clear();
}

void TdeAudioConvertor::Open() {
  if (FActive) throw EACMConversionError(deStrings::sActive);
  FreeChain();
  FFormats = deBuildChain(FFormatIn, FFormatOut, FRequestRealTime);
  for (size_t i = 0; i + 1 < FFormats.size(); ++i)
    FStages.push_back(std::make_unique<TMiniConvertor>(FFormats[i], FFormats[i + 1]));
  size_t opened = 0;
  TScopeGuard freeChain([&] {
    for (size_t i = 0; i < opened; ++i)
      FStages[i]->Close();
    FreeChain();
  });
  for (; opened < FStages.size(); ++opened)
    FStages[opened]->Open(FRequestRealTime);
  freeChain.Dismiss();
  FActive = true;
}

void TdeAudioConvertor::Close() {
  if (!FActive) throw EACMConversionError(deStrings::sNotActive);
  FActive = false;
  FData = nullptr;
  FDataSize = 0;
  for (auto& stage : FStages)
    stage->Close();
  FreeChain();
}

void TdeAudioConvertor::Convert(const void* Data, DWORD Size) {
  if (!FActive) throw EACMConversionError(deStrings::sNotActive);
  FData = nullptr;
  FDataSize = 0;
  const void* data = Data;
  DWORD size = Size;
  for (auto& stage : FStages) {
    size = stage->Convert(data, size, FSet8087FPUFlag, ACM_STREAMCONVERTF_BLOCKALIGN);
    if (size == 0) return;
    data = stage->OutputBuffer();
  }
  FData = data;
  FDataSize = size;
  void* out = const_cast<void*>(data);
  FSubject->Notify(this, out, static_cast<int>(size));
  if (OnAudioConverted) OnAudioConverted(this, out, static_cast<int>(size), FAbort);
}

void TdeAudioConvertor::SourceData(IdeAudioSubject* Subject, void* Data, int Size) {
  TdeWaveFormat* format = Subject->GetFormat();
  if (!(FActive && FFormatIn.Equals(*format))) {
    if (FActive) SetActive(false);
    FFormatIn.Assign(*format);
    SetActive(true);
  }
  Convert(Data, static_cast<DWORD>(std::max(Size, 0)));
}

void TdeAudioConvertor::DoObserverError(IdeAudioSubject* Sender, IdeAudioObserver* Observer,
                                        Exception& E, bool& RaiseException) {
  if (OnObserverError) OnObserverError(Sender, Observer, E, RaiseException);
}
