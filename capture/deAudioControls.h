// Capture library, level metering: the level source converts every block of
// its audio source to 16-bit stereo at 48,000 Hz and keeps its left and right
// peaks.
#pragma once

#include <cstdint>

#include "capture/deACM.h"

// Largest left and right sample magnitudes of a 16-bit stereo block (left
// sample first in each 4-byte frame); 0 for an empty block. A sample of
// -32768 counts as 32767.
void deBlockPeaks(const void* Data, DWORD Size, int16_t& Left, int16_t& Right);

class TdeAudioControlSource : public TComponent, public IdeAudioSubject, public IdeAudioObserver {
public:
  explicit TdeAudioControlSource(TComponent* AOwner);
  ~TdeAudioControlSource() override;

  // The observed component (a wave-in device).
  TComponent* AudioSource() const { return FObserver->AudioSource(); }
  void SetAudioSource(TComponent* Value) { FObserver->SetAudioSource(Value); }
  // Peaks of the last converted block, 0..32767.
  int16_t PeakLeft() const { return FPeakLeft; }
  int16_t PeakRight() const { return FPeakRight; }
  TdeAudioConvertor* Convertor() const { return FConvertor.get(); }

  void Attach(IdeAudioObserver* Observer) override { FSubject->Attach(Observer); }
  void Detach(IdeAudioObserver* Observer) override { FSubject->Detach(Observer); }
  TdeWaveFormat* GetFormat() override { return FConvertor->FormatOut(); }
  void AudioData(IdeAudioSubject* Subject, void* Data, int Size) override {
    FObserver->AudioData(Subject, Data, Size);
  }

  // After every block from the source, with the new peaks.
  TNotifyEvent OnDataChanged;
  TObserverErrorEvent OnObserverError;

protected:
  // A block from the source: rebuild the chain for its format, convert, take the peaks.
  virtual void SourceData(IdeAudioSubject* Subject, void* Data, int Size);
  virtual void DoDataChanged();
  virtual void DoObserverError(IdeAudioSubject* Sender, IdeAudioObserver* Observer, Exception& E,
                               bool& RaiseException);

private:
  std::unique_ptr<TdeAudioObserver> FObserver;
  int16_t FPeakLeft = 0;
  int16_t FPeakRight = 0;
  std::unique_ptr<TdeAudioSubject> FSubject;
  std::unique_ptr<TdeAudioConvertor> FConvertor;
};
