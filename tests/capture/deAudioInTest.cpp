#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "capture/deAudioControls.h"
#include "capture/deAudioIO.h"
#include "tests/support/Gui.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpUntil;

TdeWaveFormat Pcm(DWORD rate, WORD channels, WORD bits) {
  TdeWaveFormat f;
  f.SetSamplesPerSec(rate);
  f.SetChannels(channels);
  f.SetBitsPerSample(bits);
  f.SetBlockAlign(static_cast<WORD>(channels * bits / 8));
  f.SetAvgBytesPerSec(rate * channels * bits / 8);
  return f;
}

// The recorder's capture: 16-bit stereo at 44,100 Hz, buffers of 22,050
// bytes; its stored format carries 12 leftover extra bytes, which PCM ignores.
void SetUpLikeTheRecorder(TdeAudioIn& in) {
  TdeWaveFormat f = Pcm(44100, 2, 16);
  f.SetExtraSize(12);
  for (int i = 0; i < 12; ++i)
    f.Buffer()[18 + i] = static_cast<BYTE>(0x5A + i);
  in.SetFormat(f);
  in.SetBufferSize(22050);
}

// Plays a 1 kHz tone through the default output, which the bench's default
// input hears. Feed() keeps the device's queue filled with the current level,
// so the tone lasts as long as the test needs, however slow the machine.
class TonePlayer {
public:
  static constexpr int kBuffers = 4;
  static constexpr int kFrames = 11025; // 250 ms

  TonePlayer() {
    TdeWaveFormat f = Pcm(44100, 2, 16);
    ok_ = waveOutOpen(&out_, WAVE_MAPPER, f.Header(), 0, 0, CALLBACK_NULL) == MMSYSERR_NOERROR;
    for (auto& b : buffers_)
      b.samples.resize(kFrames * 2);
  }
  ~TonePlayer() {
    if (!out_) return;
    waveOutReset(out_);
    for (auto& b : buffers_)
      if (b.header.dwFlags & WHDR_PREPARED)
        waveOutUnprepareHeader(out_, &b.header, sizeof(WAVEHDR));
    waveOutClose(out_);
  }
  bool Ok() const { return ok_; }
  void SetLevel(double left, double right) {
    left_ = left;
    right_ = right;
  }
  // Queues again every buffer the device has finished with.
  void Feed() {
    if (!ok_) return;
    for (auto& b : buffers_) {
      if ((b.header.dwFlags & WHDR_PREPARED) && !(b.header.dwFlags & WHDR_DONE)) continue;
      if (b.header.dwFlags & WHDR_PREPARED)
        waveOutUnprepareHeader(out_, &b.header, sizeof(WAVEHDR));
      for (int i = 0; i < kFrames; ++i, ++phase_) {
        double v = std::sin(2 * 3.14159265358979 * 1000.0 * (phase_ % 44100) / 44100.0);
        b.samples[2 * i] = static_cast<int16_t>(std::lround(v * left_ * 32767));
        b.samples[2 * i + 1] = static_cast<int16_t>(std::lround(v * right_ * 32767));
      }
      b.header = WAVEHDR{};
      b.header.lpData = reinterpret_cast<LPSTR>(b.samples.data());
      b.header.dwBufferLength = kFrames * 4;
      waveOutPrepareHeader(out_, &b.header, sizeof(WAVEHDR));
      if (waveOutWrite(out_, &b.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) ok_ = false;
    }
  }

private:
  struct Buffer {
    std::vector<int16_t> samples;
    WAVEHDR header{};
  };
  Buffer buffers_[kBuffers];
  HWAVEOUT out_ = nullptr;
  long long phase_ = 0;
  double left_ = 0, right_ = 0;
  bool ok_ = false;
};

// Catches what reaches a window-procedure boundary during a test.
class CallbackExceptions {
public:
  CallbackExceptions() : saved_(HandleCallbackException) {
    Count = 0;
    Last.clear();
    HandleCallbackException = &Handle;
  }
  ~CallbackExceptions() { HandleCallbackException = saved_; }
  static inline int Count = 0;
  static inline std::wstring Last;

private:
  static void Handle(TObject*) {
    ++Count;
    try {
      throw;
    } catch (const Exception& e) {
      Last = e.Message();
    } catch (...) {
      Last = L"?";
    }
  }
  void (*saved_)(TObject*);
};

TEST(AudioInTest, PropertyRules) {
  TdeAudioIn in(nullptr);
  EXPECT_FALSE(in.Active());
  EXPECT_TRUE(in.AutoOpen());
  EXPECT_TRUE(in.AutoAdjustBufferSize());
  EXPECT_EQ(in.BufferCount(), 4);
  EXPECT_EQ(in.BufferSize(), 22050u);
  EXPECT_EQ(in.DeviceID(), 255);
  EXPECT_NE(in.Handle(), nullptr);
  EXPECT_TRUE(in.Format()->Equals(TdeWaveFormat()));
  try {
    in.SetBufferCount(1);
    ADD_FAILURE() << "no exception";
  } catch (const EACMAudioIOError& e) {
    EXPECT_EQ(e.Message(), L"Invalid input buffer size.");
  }
  EXPECT_EQ(in.BufferCount(), 4);
  in.SetBufferCount(2);
  EXPECT_EQ(in.BufferCount(), 2);
}

TEST(AudioInTest, OpensWithWholeFramesAndQueuesEveryBuffer) {
  TdeAudioIn in(nullptr);
  SetUpLikeTheRecorder(in);
  std::vector<std::string> events;
  in.BeforeOpen = [&](TObject*) { events.push_back("BeforeOpen"); };
  in.AfterOpen = [&](TObject*) { events.push_back("AfterOpen"); };
  in.BeforeClose = [&](TObject*) { events.push_back("BeforeClose"); };
  in.AfterClose = [&](TObject*) { events.push_back("AfterClose"); };
  in.SetActive(true);
  EXPECT_TRUE(in.Active());
  EXPECT_EQ(in.BufferSize(), 22048u);
  EXPECT_EQ(in.QueuedCount(), 4);
  try {
    in.SetBufferSize(11025);
    ADD_FAILURE() << "no exception";
  } catch (const EACMAudioIOError& e) {
    EXPECT_EQ(e.Message(), L"Cannot perform this action while active.");
  }
  int sizes = 0;
  in.OnAudioRecorded = [&](TObject* sender, void* data, int size) {
    EXPECT_EQ(sender, &in);
    EXPECT_NE(data, nullptr);
    EXPECT_EQ(size, 22048);
    ++sizes;
  };
  EXPECT_TRUE(PumpUntil([&] { return sizes >= 2; }, 5000));
  EXPECT_EQ(in.QueuedCount(), 4);
  in.SetActive(false);
  EXPECT_EQ(in.QueuedCount(), 0);
  EXPECT_EQ(in.WaveIn(), nullptr);
  PumpFor(200); // late messages of the closed device are ignored
  in.SetActive(true);
  EXPECT_EQ(in.QueuedCount(), 4);
  EXPECT_EQ((std::vector<std::string>{"BeforeOpen", "AfterOpen", "BeforeClose", "AfterClose",
                                      "BeforeOpen", "AfterOpen"}),
            events);
}

TEST(AudioInTest, InvalidSizeAndDeviceLeaveItClosed) {
  struct Case {
    DWORD size;
    bool autoAdjust;
    BYTE device;
    const wchar_t* text;
  };
  for (const Case& c :
       {Case{3, false, 255, L"Invalid input buffer size."},
        Case{22050, true, 200, L"Error opening audio device for input.\r\nBad device ID."}}) {
    TdeAudioIn in(nullptr);
    SetUpLikeTheRecorder(in);
    in.SetBufferSize(c.size);
    in.SetAutoAdjustBufferSize(c.autoAdjust);
    in.SetDeviceID(c.device);
    try {
      in.SetActive(true);
      ADD_FAILURE() << "no exception";
    } catch (const EACMAudioInError& e) {
      EXPECT_EQ(e.Message(), c.text);
    }
    EXPECT_FALSE(in.Active());
    EXPECT_EQ(in.QueuedCount(), 0);
  }
}

TEST(AudioInTest, OpensByItselfWhenLoaded) {
  for (bool autoOpen : {true, false}) {
    TComponent form(nullptr);
    form.BeginLoading();
    auto* in = new TdeAudioIn(&form);
    SetUpLikeTheRecorder(*in);
    in->SetAutoOpen(autoOpen);
    form.AfterConstruction();
    EXPECT_EQ(in->Active(), autoOpen);
  }
}

// The recorder's wiring: both components owned by the window, the device
// opening when the window has been built; either may be freed first.
TEST(AudioInTest, OwnedDeviceAndLevelSourceComeAndGoInEitherOrder) {
  for (bool deviceFirst : {true, false}) {
    auto* form = new TComponent(nullptr);
    form->BeginLoading();
    auto* in = new TdeAudioIn(form);
    SetUpLikeTheRecorder(*in);
    auto* level = new TdeAudioControlSource(form);
    level->SetAudioSource(in);
    int changed = 0;
    level->OnDataChanged = [&](TObject*) { ++changed; };
    form->AfterConstruction();
    ASSERT_TRUE(in->Active());
    EXPECT_TRUE(PumpUntil([&] { return changed >= 2; }, 10000));
    if (deviceFirst) {
      delete in;
      EXPECT_EQ(level->AudioSource(), nullptr);
    } else {
      delete level;
      EXPECT_TRUE(in->Active());
    }
    PumpFor(100);
    delete form;
  }
}

TEST(AudioInTest, LateMessageForUnknownHeaderIsIgnored) {
  TdeAudioIn in(nullptr);
  SetUpLikeTheRecorder(in);
  int delivered = 0;
  in.OnAudioRecorded = [&](TObject*, void*, int) { ++delivered; };
  WAVEHDR stranger{};
  EXPECT_EQ(SendMessageW(in.Handle(), MM_WIM_DATA, 0, reinterpret_cast<LPARAM>(&stranger)), 1);
  in.SetActive(true);
  EXPECT_EQ(SendMessageW(in.Handle(), MM_WIM_DATA, 0, reinterpret_cast<LPARAM>(&stranger)), 1);
  EXPECT_EQ(delivered, 0);
  EXPECT_EQ(in.QueuedCount(), 4);
}

TEST(AudioInTest, FailingDeliveryKeepsThePoolAndIsReportedOnce) {
  CallbackExceptions caught;
  TdeAudioIn in(nullptr);
  SetUpLikeTheRecorder(in);
  int deliveries = 0;
  bool fail = true;
  in.OnAudioRecorded = [&](TObject*, void*, int) {
    ++deliveries;
    if (fail) throw EACMConversionError(L"Conversion not possible.");
  };
  in.SetActive(true);
  // Far more failures than there are buffers: the device keeps delivering.
  ASSERT_TRUE(PumpUntil([&] { return deliveries >= 3 * in.BufferCount(); }, 10000)) << deliveries;
  EXPECT_EQ(in.QueuedCount(), 4);
  EXPECT_EQ(CallbackExceptions::Count, 1);
  EXPECT_EQ(CallbackExceptions::Last, L"Conversion not possible.");
  // After a good delivery the next failure is reported again.
  fail = false;
  int before = deliveries;
  ASSERT_TRUE(PumpUntil([&] { return deliveries >= before + 2; }, 5000));
  fail = true;
  before = deliveries;
  ASSERT_TRUE(PumpUntil([&] { return deliveries >= before + 2; }, 5000));
  EXPECT_EQ(CallbackExceptions::Count, 2);
  EXPECT_EQ(in.QueuedCount(), 4);
}

TEST(AudioInTest, ObserverFailureFromTheLevelSourceIsReportedOnce) {
  CallbackExceptions caught;
  TdeAudioIn in(nullptr);
  SetUpLikeTheRecorder(in);
  TdeAudioControlSource level(nullptr);
  level.SetAudioSource(&in);
  int changed = 0;
  level.OnDataChanged = [&](TObject*) {
    ++changed;
    throw EACMError(L"boom");
  };
  in.SetActive(true);
  ASSERT_TRUE(PumpUntil([&] { return changed >= 10; }, 10000)) << changed;
  EXPECT_EQ(CallbackExceptions::Count, 1);
  EXPECT_EQ(CallbackExceptions::Last, L"boom");
  EXPECT_EQ(in.QueuedCount(), 4);
}

// Live capture under the bench: a tone played to the default output reaches
// the default input; the level source's peaks follow it.
TEST(AudioInTest, LevelSourceFollowsAPlayedTone) {
  TdeAudioIn in(nullptr);
  SetUpLikeTheRecorder(in);
  TdeAudioControlSource level(nullptr);
  level.SetAudioSource(&in);
  int left = -1, right = -1, changed = 0;
  level.OnDataChanged = [&](TObject*) {
    ++changed;
    left = static_cast<uint16_t>(level.PeakLeft());
    right = static_cast<uint16_t>(level.PeakRight());
  };
  in.SetActive(true);

  TonePlayer tone;
  ASSERT_TRUE(tone.Ok());
  // Two levels, then silence.
  for (auto [l, r] : {std::pair{0.5, 0.25}, std::pair{0.8, 0.1}}) {
    tone.SetLevel(l, r);
    const int wantL = static_cast<int>(std::lround(l * 32767));
    const int wantR = static_cast<int>(std::lround(r * 32767));
    auto reached = [&] {
      tone.Feed();
      return std::abs(left - wantL) <= wantL / 50 && std::abs(right - wantR) <= wantR / 50 + 64;
    };
    EXPECT_TRUE(PumpUntil(reached, 60000)) << l << ": " << left << "/" << right;
  }
  tone.SetLevel(0, 0);
  auto silent = [&] {
    tone.Feed();
    return left >= 0 && left < 200 && right < 200;
  };
  EXPECT_TRUE(PumpUntil(silent, 60000)) << left << "/" << right;
  EXPECT_TRUE(tone.Ok());
  EXPECT_GT(changed, 4);
  EXPECT_EQ(level.GetFormat()->SamplesPerSec(), 48000u);
}

} // namespace
