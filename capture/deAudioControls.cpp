#include "capture/deAudioControls.h"

#include <cstring>

void deBlockPeaks(const void* Data, DWORD Size, int16_t& Left, int16_t& Right) {
  int left = 0, right = 0;
  const BYTE* p = static_cast<const BYTE*>(Data);
  const DWORD frames = Data ? Size / 4 : 0;
  for (DWORD i = 0; i < frames; ++i, p += 4) {
    int16_t l, r;
    std::memcpy(&l, p, 2);
    std::memcpy(&r, p + 2, 2);
    int ml = l < 0 ? -l : l;
    int mr = r < 0 ? -r : r;
    if (ml > left) left = ml;
    if (mr > right) right = mr;
  }
  Left = static_cast<int16_t>(left > 32767 ? 32767 : left);
  Right = static_cast<int16_t>(right > 32767 ? 32767 : right);
}

TdeAudioControlSource::TdeAudioControlSource(TComponent* AOwner) : TComponent(AOwner) {
  FObserver = std::make_unique<TdeAudioObserver>(this);
  FObserver->OnBlock = [this](IdeAudioSubject* s, void* d, int n) { SourceData(s, d, n); };
  FConvertor = std::make_unique<TdeAudioConvertor>(nullptr);
  FConvertor->SetRequestRealTime(false);
  TdeWaveFormat* out = FConvertor->FormatOut();
  out->SetBitsPerSample(16);
  out->SetChannels(2);
  out->SetSamplesPerSec(11025);
  out->SetAvgBytesPerSec(44100);
  out->SetBlockAlign(4);
  FSubject = std::make_unique<TdeAudioSubject>(this, FConvertor->FormatOut());
  FSubject->OnError = [this](IdeAudioSubject* s, IdeAudioObserver* o, Exception& e, bool& r) {
    DoObserverError(s, o, e, r);
  };
}

TdeAudioControlSource::~TdeAudioControlSource() {
  Destroying();
  // The observer first: it detaches from the source.
  FObserver.reset();
  FSubject.reset();
  FConvertor.reset();
}

void TdeAudioControlSource::SourceData(IdeAudioSubject* Subject, void* Data, int Size) {
  // Peaks of a block that fails to convert do not linger.
  FPeakLeft = 0;
  FPeakRight = 0;
  // The converter stays open while the source's format stays the same.
  if (!FConvertor->Active() || !FConvertor->FormatIn()->Equals(*Subject->GetFormat())) {
    FConvertor->SetActive(false);
    FConvertor->SetFormatIn(*Subject->GetFormat());
    TdeWaveFormat* out = FConvertor->FormatOut();
    out->Reset();
    out->SetBitsPerSample(16);
    out->SetChannels(2);
    out->SetSamplesPerSec(48000);
    out->SetAvgBytesPerSec(192000);
    out->SetBlockAlign(4);
    FConvertor->SetActive(true);
  }
  FConvertor->Convert(Data, static_cast<DWORD>(Size < 0 ? 0 : Size));
  deBlockPeaks(FConvertor->Data(), FConvertor->DataSize(), FPeakLeft, FPeakRight);
  DoDataChanged();
}

void TdeAudioControlSource::DoDataChanged() {
  FSubject->Notify(this, const_cast<void*>(FConvertor->Data()),
                   static_cast<int>(FConvertor->DataSize()));
  if (OnDataChanged) OnDataChanged(this);
}

void TdeAudioControlSource::DoObserverError(IdeAudioSubject* Sender, IdeAudioObserver* Observer,
                                            Exception& E, bool& RaiseException) {
  if (OnObserverError) OnObserverError(Sender, Observer, E, RaiseException);
}
