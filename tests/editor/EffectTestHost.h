// Test stand-ins for the effect commands: an editor that records every call
// as "Name(a,b,...)", and a host whose parts a test replaces one by one.
#pragma once

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "editor/effects.h"
#include "editor/funcs.h"

namespace effecttest {

// Records every engine call; a test may override one call (they are virtual).
class TRecordingEditor {
public:
  virtual ~TRecordingEditor() = default;
  std::vector<std::string> Calls;
  std::wstring LastFile;

  TRecordingEditor* Transform() { return this; }

  void Rec(const char* name, std::initializer_list<double> args) {
    std::string s = name;
    s += "(";
    bool first = true;
    for (double a : args) {
      if (!first) s += ",";
      first = false;
      char b[32];
      std::snprintf(b, sizeof b, "%g", a);
      s += b;
    }
    s += ")";
    Calls.push_back(s);
  }
  virtual void Mix(float s, float b) { Rec("Mix", {s, b}); }
  virtual void MixFromFile(float s, const std::wstring& f, float b) {
    LastFile = f;
    Rec("MixFromFile", {s, b});
  }
  virtual void Trim(float a, float t, int32_t k) { Rec("Trim", {a, t, double(k)}); }
  virtual void SilenceSelection() { Rec("SilenceSelection", {}); }
  virtual void InsertSilence(int32_t ms) { Rec("InsertSilence", {double(ms)}); }
  virtual void DeleteSilence(float t, float a, float r) { Rec("DeleteSilence", {t, a, r}); }
  virtual void AddNoise(float a, int32_t k) { Rec("AddNoise", {a, double(k)}); }
  virtual void Fade(float s, float e) { Rec("Fade", {s, e}); }
  virtual void Amplify(float r) { Rec("Amplify", {r}); }
  virtual void Normalize(float r, int16_t dc) { Rec("Normalize", {r, double(dc)}); }
  virtual void Compressor(float t, float r, float m) { Rec("Compressor", {t, r, m}); }
  virtual void Expander(float t, float r, float m) { Rec("Expander", {t, r, m}); }
  virtual void ChannelConverter(float a, float b, float c, float d) {
    Rec("ChannelConverter", {a, b, c, d});
  }
  virtual void Vibrato(float d, float f, float p) { Rec("Vibrato", {d, f, p}); }
  virtual void Delay(float d, float m, float f) { Rec("Delay", {d, m, f}); }
  virtual void Phaser(float d, float m, float f) { Rec("Phaser", {d, m, f}); }
  virtual void Flanger(float a, float b, float c, float d, float e, float f) {
    Rec("Flanger", {a, b, c, d, e, f});
  }
  virtual void Reverb(float a, float b, float c, float d, float e, int32_t f) {
    Rec("Reverb", {a, b, c, d, e, double(f)});
  }
  virtual void Chorus(float a, float b, float c, float d, float e, float f) {
    Rec("Chorus", {a, b, c, d, e, f});
  }
  virtual void Reverse() { Rec("Reverse", {}); }
  virtual void Invert() { Rec("Invert", {}); }
  virtual void PitchShift(float r) { Rec("PitchShift", {r}); }
  virtual void StretchTime(float r) { Rec("StretchTime", {r}); }
  virtual void NotchFilter(float f, float s) { Rec("NotchFilter", {f, s}); }
  virtual void BandPass(float f, float s) { Rec("BandPass", {f, s}); }
  virtual void LowPass(float f, float s) { Rec("LowPass", {f, s}); }
  virtual void HighPass(float f, float s) { Rec("HighPass", {f, s}); }
  virtual void LowShelf(float g, float f, float s) { Rec("LowShelf", {g, f, s}); }
  virtual void HighShelf(float g, float f, float s) { Rec("HighShelf", {g, f, s}); }
  virtual void PeakEQFilter(float g, float f, float s) { Rec("PeakEQFilter", {g, f, s}); }
};

// The main window's part in an effect command. Unset parts do what the main
// window does without a document around it: no verb, no selection, the real
// busy cursor, no file chosen. The dialogs are the real modal ones.
template <class TEditor> struct THost {
  TCustomForm* MainForm = nullptr;
  TEditor* Engine = nullptr;
  std::wstring DisplayName;
  std::function<void(const std::wstring& Verb)> SetOperationText = [](const std::wstring&) {};
  std::function<void()> SelectAllIfNoSelection = [] {};
  std::function<void()> UpdateStatusBar = [] {};
  std::function<void()> BeginBusy = [] { editor::BeginBusy(); };
  std::function<void()> EndBusy = [] { editor::EndBusy(); };
  std::function<bool(std::wstring& FileName)> ChooseMixFile = [](std::wstring&) { return false; };

  TCustomForm* Form() { return MainForm; }
  TEditor& Editor() { return *Engine; }
  std::wstring GetDisplayName() { return DisplayName; }
};

} // namespace effecttest
