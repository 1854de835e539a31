#include "editor/outputformat.h"

#include <cstdlib>
#include <vector>

#include "editor/funcs.h"
#include "editor/globals.h"
#include "framework/FormBuilder.h"
#include "framework/SysUtils.h"

namespace editor {

namespace {

struct TWmaProfile {
  int rate;
  bool stereo;
  int kbps;
  const wchar_t* description;
};

const TWmaProfile kWma[51] = {
    {8000, false, 8, L"Video for dial-up modems or single channel ISDN (28.8 to 56 Kbps)"},
    {32000, true, 32, L"Video for LAN, cable modem, or xDSL (100 to 768 Kbps)"},
    {8000, false, 8, L"Video for dial-up modems or LAN (28.8 to 100 Kbps)"},
    {8000, false, 4, L"Video with voice emphasis for dial-up modems (28.8 Kbps)"},
    {8000, false, 8, L"Video with audio emphasis for dial-up modems (28.8 Kbps)"},
    {8000, false, 8, L"Video for Web servers (28.8 Kbps)"},
    {11025, false, 10, L"Video for Web servers (56 Kbps)"},
    {11025, false, 10, L"Video for single-channel ISDN (64 Kbps)"},
    {16000, false, 16, L"Video for e-mail and dual-channel ISDN (128 Kbps)"},
    {32000, true, 32, L"Video for broadband NTSC (256 Kbps)"},
    {32000, true, 32, L"Video for broadband NTSC (384 Kbps)"},
    {44100, true, 64, L"Video for broadband NTSC (768 Kbps)"},
    {44100, true, 128, L"Video for broadband NTSC (1500 Kbps total)"},
    {44100, true, 128, L"Video for broadband NTSC (2 Mbps total)"},
    {44100, true, 128, L"Video for broadband film content (768 Kbps)"},
    {44100, true, 128, L"Video for broadband film content (1500 Kbps total)"},
    {8000, false, 6, L"Audio for low bit rate voice-oriented content (6.5 Kbps)"},
    {22050, false, 20, L"Audio for FM radio quality for dial-up modems (28.8 Kbps mono)"},
    {22050, true, 20, L"Audio for FM radio quality for dial-up modems (28.8 Kbps stereo)"},
    {32000, true, 32, L"Audio for dial-up modems (56 Kbps stereo)"},
    {32000, true, 48, L"Audio for single-channel ISDN (64 Kbps stereo)"},
    {44100, true, 64, L"Audio for near-CD quality (64 Kbps stereo)"},
    {44100, true, 96, L"Audio for CD-quality (96 Kbps stereo)"},
    {44100, true, 128, L"Audio for CD-quality transparency (128 Kbps stereo)"},
    {22050, true, 32, L"Video for color PDA devices (225 Kbps)"},
    {22050, true, 32, L"Video for color PDA devices (150 Kbps)"},
    {22050, true, 32, L"Windows Media Video 8 for Color Pocket PCs (225 Kbps)"},
    {22050, true, 32, L"Windows Media Video 8 for Color Pocket PCs (150 Kbps)"},
    {8000, false, 8,
     L"Windows Media Video 8 for Dial-up Modems or Single-channel ISDN (28.8 to 56 Kbps)"},
    {32000, true, 32, L"Windows Media Video 8 for LAN, Cable Modem, or xDSL (100 to 768 Kbps)"},
    {8000, false, 8, L"Windows Media Video 8 for Dial-up Modems or LAN (28.8 to 100 Kbps)"},
    {8000, false, 5, L"Windows Media Video 8 for Dial-up Modems (28.8 Kbps)"},
    {11025, false, 10, L"Windows Media Video 8 for Dial-up Modems (56 Kbps)"},
    {16000, false, 16, L"Windows Media Video 8 for Local Area Network (100 Kbps)"},
    {32000, true, 40, L"Windows Media Video 8 for Local Area Network (256 Kbps)"},
    {32000, true, 48, L"Windows Media Video 8 for Local Area Network (384 Kbps)"},
    {44100, true, 64, L"Windows Media Video 8 for Local Area Network (768 Kbps)"},
    {44100, true, 64, L"Windows Media Video 8 for Broadband (NTSC, 700 Kbps)"},
    {44100, true, 128, L"Windows Media Video 8 for Broadband (NTSC, 1400 Kbps)"},
    {32000, true, 48, L"Windows Media Video 8 for Broadband (PAL, 384 Kbps)"},
    {44000, true, 64, L"Windows Media Video 8 for Broadband (PAL, 700 Kbps)"},
    {22050, false, 20, L"Windows Media Audio 8 for Dial-up Modem (Mono, 28.8 Kbps)"},
    {22050, true, 20, L"Windows Media Audio 8 for Dial-up Modem (FM Radio Stereo, 28.8 Kbps)"},
    {32000, true, 32, L"Windows Media Audio 8 for Dial-up Modem (32 Kbps)"},
    {44100, true, 48, L"Windows Media Audio 8 for Dial-up Modem (Near CD quality, 48 Kbps)"},
    {44100, true, 64, L"Windows Media Audio 8 for Dial-up Modem (CD quality, 64 Kbps)"},
    {44100, true, 96, L"Windows Media Audio 8 for ISDN (Better than CD quality, 96 Kbps)"},
    {44100, true, 128, L"Windows Media Audio 8 for ISDN (Better than CD quality, 128 Kbps)"},
    {44100, true, 64, L"Windows Media 8 Fair Quality based VBR for Broadband"},
    {44100, true, 64, L"Windows Media 8 High Quality based VBR for Broadband"},
    {44100, true, 64, L"Windows Media 8 Best Quality based VBR for Broadband"},
};

struct TPreset {
  const wchar_t* name;
  int kbps;
  int channel; // 1 mono, 2 stereo, 3 joint stereo, 0 unchanged
};

const TPreset kMp3Presets[] = {{L"[Sys] Studio Quality, 256kbps, Stereo", 256, 2},
                               {L"[Sys] CD Quality, 192kbps, Stereo", 192, 2},
                               {L"[Sys] Hi-Fi Quality, 160kbps, Stereo", 160, 2},
                               {L"[Sys] Tape Quality, 128kbps, Stereo", 128, 2},
                               {L"[Sys] Radio Quality, 112kbps, Stereo", 112, 2},
                               {L"[Sys] FM Quality, 96kbps, Stereo", 96, 2},
                               {L"[Sys] Voice Quality, 64kbps, Mono", 64, 1},
                               {L"[Sys] AM Quality, 32kbps, Mono", 32, 1}};
const TPreset kMp2Presets[] = {{L"[Sys] Studio Quality, 256kbps, Stereo", 256, 2},
                               {L"[Sys] CD Quality, 192kbps, Stereo", 192, 2},
                               {L"[Sys] Hi-Fi Quality, 160kbps, Joint Stereo", 160, 3},
                               {L"[Sys] Tape Quality, 128kbps, Joint Stereo", 128, 3},
                               {L"[Sys] Radio Quality, 112kbps, Joint Stereo", 112, 3},
                               {L"[Sys] FM Quality, 96kbps, Joint Stereo", 96, 3},
                               {L"[Sys] Voice Quality, 64kbps, Mono", 64, 1},
                               {L"[Sys] AM Quality, 32kbps, Mono", 32, 1}};
const TPreset kOggPresets[] = {{L"[Sys] Studio Quality, 256kbps, Stereo", 256, 0},
                               {L"[Sys] CD Quality, 192kbps, Stereo", 192, 0},
                               {L"[Sys] Hi-Fi Quality, 160kbps, Stereo", 160, 0},
                               {L"[Sys] Tape Quality, 128kbps, Stereo", 128, 0},
                               {L"[Sys] FM Quality, 96kbps, Stereo", 96, 0},
                               {L"[Sys] Voice Quality, 64kbps, Mono", 64, 0}};

// Selects the entry whose number is v; other values leave the combo as it is.
void SelectNumber(TComboBox* c, int v, bool kbps = false) {
  for (int i = 0; i < c->Items()->Count(); ++i) {
    std::wstring t = c->Items()->Get(i);
    if ((kbps ? ParseKbps(t) : StrToIntDef(t, -1)) == v) {
      c->SetItemIndex(i);
      return;
    }
  }
}

int SelectedNumber(TComboBox* c, int old, bool kbps = false) {
  int i = c->ItemIndex();
  if (i < 0) return old;
  std::wstring t = c->Items()->Get(i);
  return kbps ? ParseKbps(t) : StrToIntDef(t, old);
}

void SetChannel(int v, TRadioButton* mono, TRadioButton* stereo, TRadioButton* joint = nullptr) {
  if (v == 1) mono->SetChecked(true);
  if (v == 2) stereo->SetChecked(true);
  if (v == 3 && joint) joint->SetChecked(true);
}

int GetChannel(int old, TRadioButton* mono, TRadioButton* stereo, TRadioButton* joint = nullptr) {
  if (mono->Checked()) return 1;
  if (stereo->Checked()) return 2;
  if (joint && joint->Checked()) return 3;
  return old;
}

} // namespace

int ParseKbps(const std::wstring& text) {
  if (text.size() < 5) return StrToIntDef(text, 0);
  return StrToIntDef(text.substr(0, text.size() - 5), 0);
}

std::wstring WmaProfileText(int profile) {
  if (profile < 1 || profile > 51) return L"";
  const auto& p = kWma[profile - 1];
  return L"WMA " + FormatFloat(L"#,##0", p.rate) + L" Hz; 16 Bit; " +
         (p.stereo ? L"Stereo" : L"Mono") + L"; " + IntToStr(p.kbps) + L" kbps. " +
         (profile == 22 ? L" " : L"");
}

std::wstring WmaProfileDescription(int profile) {
  return profile >= 1 && profile <= 51 ? kWma[profile - 1].description : L"";
}

namespace {

// Lays the controls of each sheet out in rows from the top; each one is
// built through BuildComponents.
class TBuilder {
public:
  TBuilder(TfrmOutputFormat* f, TPageControl* pc) : F(f), PC(pc) {}
  TTabSheet* Tab(const std::wstring& caption) {
    BuildComponents(F, {{Sheet, {L"", PC, {}, caption}}});
    Y = 12;
    return Sheet;
  }
  TComboBox* Combo(const std::wstring& label, std::initializer_list<std::wstring> items, int start,
                   int width = 150) {
    Label(label);
    TComboBox* c = nullptr;
    std::vector<std::wstring> texts(items);
    BuildComponents(F, {{c, {L"", Sheet, {150, Y - 3, width, 21}}, [&](TComboBox& c) {
                           c.SetStyle(csDropDownList);
                           for (const auto& s : texts)
                             c.Items()->Add(s);
                           c.SetItemIndex(start);
                         }}});
    Y += 28;
    return c;
  }
  TLabel* Label(const std::wstring& text, int x = 12) {
    TLabel* l = nullptr;
    BuildComponents(F, {{l, {L"", Sheet, {x, Y, 135, 16}, text}}});
    return l;
  }
  TRadioButton* Radio(const std::wstring& caption, int x, bool checked) {
    TRadioButton* r = nullptr;
    BuildComponents(F, {{r, {L"", Sheet, {x, Y, 100, 20}, caption}, [checked](TRadioButton& r) {
                           r.SetChecked(checked);
                         }}});
    return r;
  }
  void Channels(TRadioButton*& mono, TRadioButton*& stereo) {
    Label(L"Channel:");
    mono = Radio(L"Mono", 150, false);
    stereo = Radio(L"Stereo", 250, true);
    Y += 28;
  }
  TfrmOutputFormat* F;
  TPageControl* PC;
  TTabSheet* Sheet = nullptr;
  int Y = 12;
};

std::initializer_list<std::wstring> PcmRates() {
  static const std::initializer_list<std::wstring> l = {L"6000",  L"8000",  L"11025", L"12000",
                                                        L"16000", L"22050", L"24000", L"32000",
                                                        L"44100", L"48000"};
  return l;
}

// The MP2 encoder writes only these rates.
std::initializer_list<std::wstring> Mp2Rates() {
  static const std::initializer_list<std::wstring> l = {L"16000", L"22050", L"24000",
                                                        L"32000", L"44100", L"48000"};
  return l;
}

// Selects the entry nearest to v.
void SelectNearest(TComboBox* c, int v) {
  int best = -1, bestDiff = 0;
  for (int i = 0; i < c->Items()->Count(); ++i) {
    int d = std::abs(StrToIntDef(c->Items()->Get(i), -1) - v);
    if (best < 0 || d < bestDiff) best = i, bestDiff = d;
  }
  if (best >= 0) c->SetItemIndex(best);
}

constexpr int kRawGsm = 3; // index of GSM in the RAW compress formats

} // namespace

TfrmOutputFormat::TfrmOutputFormat(TComponent* AOwner) : TForm(AOwner) {
  SetName(L"frmOutputFormat");
  SetCaption(L"Output Format");
  SetBorderStyle(bsDialog);
  SetClientSize(470, 330);
  Font()->SetName(L"Tahoma");
  BuildComponents(this, {{MainPageControl,
                          {L"MainPageControl", this, {8, 8, 454, 280}},
                          [](TPageControl& p) { p.SetMultiLine(true); }}});
  TBuilder b(this, MainPageControl);
  const std::initializer_list<std::wstring> ogg = {
      L"256 kbps", L"224 kbps", L"192 kbps", L"160 kbps", L"128 kbps", L"112 kbps",
      L"96 kbps",  L"80 kbps",  L"64 kbps",  L"56 kbps",  L"48 kbps"};
  const std::initializer_list<std::wstring> mp3 = {
      L"320 kbps", L"256 kbps", L"224 kbps", L"192 kbps", L"160 kbps", L"128 kbps", L"112 kbps",
      L"96 kbps",  L"80 kbps",  L"64 kbps",  L"56 kbps",  L"48 kbps",  L"40 kbps",  L"32 kbps"};
  const std::initializer_list<std::wstring> law = {L"8000", L"11025", L"22050", L"44100"};
  auto presets = [](const TPreset* p, size_t n) {
    std::vector<std::wstring> v{L"(Custom)"};
    for (size_t i = 0; i < n; ++i)
      v.push_back(p[i].name);
    return v;
  };
  auto fill = [](TComboBox* c, const std::vector<std::wstring>& v) {
    c->Items()->Clear();
    for (const auto& s : v)
      c->Items()->Add(s);
    c->SetItemIndex(0);
  };

  TabPCM = b.Tab(L" PCM ");
  cbPCMRate = b.Combo(L"Sample rate:", PcmRates(), 8);
  cbPCMBitDepth = b.Combo(L"Bit depth:", {L"8", L"16"}, 1);
  b.Channels(rbPCMMono, rbPCMStereo);

  TabOGG = b.Tab(L" OGG ");
  cbOGGPerset = b.Combo(L"Perset:", {}, -1, 280);
  fill(cbOGGPerset, presets(kOggPresets, std::size(kOggPresets)));
  cbOGGRate = b.Combo(
      L"Sample rate:",
      {L"8000", L"11025", L"12000", L"16000", L"22050", L"24000", L"32000", L"44100", L"48000"}, 7);
  cbOGGAverageBitrate = b.Combo(L"Nominal bitrate:", ogg, 2);
  cbOGGMinBitrate = b.Combo(L"Min bitrate:", ogg, 4);
  cbOGGMaxBitrate = b.Combo(L"Max bitrate:", ogg, 0);
  b.Channels(rbOGGMono, rbOGGStereo);

  b.Tab(L" MP3 ");
  cbMP3Perset = b.Combo(L"Perset:", {}, -1, 280);
  fill(cbMP3Perset, presets(kMp3Presets, std::size(kMp3Presets)));
  cbMP3Rate = b.Combo(L"Sample rate:", PcmRates(), 8);
  cbMP3Bitrate = b.Combo(L"Bitrate:", mp3, 5);
  b.Channels(rbMP3Mono, rbMP3Stereo);

  b.Tab(L" MP2 ");
  cbMP2Perset = b.Combo(L"Perset:", {}, -1, 280);
  fill(cbMP2Perset, presets(kMp2Presets, std::size(kMp2Presets)));
  cbMP2Rate = b.Combo(L"Sample rate:", Mp2Rates(), 4);
  cbMP2Bitrate = b.Combo(L"Bitrate:", mp3, 5);
  b.Channels(rbMP2Mono, rbMP2Stereo);
  b.Y -= 28 - 22;
  rbMP2JointStereo = b.Radio(L"Joint Stereo", 150, false);

  // The telephone codecs offer only the rates they write.
  b.Tab(L" VOX ");
  cbVOXRate = b.Combo(L"Sample rate:", {L"6000", L"8000"}, 1);

  b.Tab(L" RAW ");
  cbRAWRate = b.Combo(L"Sample rate:", PcmRates(), 8);
  cbRAWBitdepth = b.Combo(L"Bit depth:", {L"8", L"16"}, 1);
  b.Channels(rbRAWMono, rbRAWStereo);
  cbCompressFormat = b.Combo(L"Compress Format: ",
                             {L"PCM", L"a-Law", L"u-Law", L"GSM", L"IMA ADPCM", L"MS ADPCM"}, 0);
  cbCompressFormat->OnChange = [this](TObject*) { ApplyRawCompression(); };

  b.Tab(L" WMA ");
  b.Label(L"Profile name:");
  b.Y += 18;
  BuildComponents(this, {{lstWMAProfile,
                          {.Parent = b.Sheet,
                           .Bounds = {12, b.Y, 420, 130},
                           .OnClick = [this](TObject*) { ShowWmaProfileDescription(); }},
                          [](TListBox& l) {
                            for (int i = 1; i <= 51; ++i)
                              l.Items()->Add(WmaProfileText(i));
                            l.SetItemIndex(23);
                          }}});
  b.Y += 136;
  b.Label(L"Profile description:");
  b.Y += 18;
  labWMAProfileName = b.Label(L"Windows Media Audio Profile Description.");
  labWMAProfileName->SetWidth(420);

  b.Tab(L" G.726 ");
  cbG276Rate = b.Combo(L"Sample rate:", {L"8000"}, 0);
  cbG276Bitdepth = b.Combo(L"Bit depth:", {L"2", L"3", L"4", L"5"}, 3);
  b.Tab(L" G.723 ");
  cbG273Rate = b.Combo(L"Sample rate:", {L"8000"}, 0);
  cbG273Bitdepth = b.Combo(L"Bit depth:", {L"3", L"5"}, 1);
  b.Tab(L" G.721 ");
  cbG271Rate = b.Combo(L"Sample rate:", {L"8000"}, 0);
  b.Tab(L" ULAW ");
  cbULAWRate = b.Combo(L"Sample rate:", law, 3);
  b.Channels(rbULAWMono, rbULAWStereo);
  b.Tab(L"ALAW");
  cbALAWRate = b.Combo(L"Sample rate:", law, 3);
  b.Channels(rbALAWMono, rbALAWStereo);
  b.Tab(L"GSM");
  cbGSMRate = b.Combo(L"Sample rate:", {L"8000"}, 0);
  b.Tab(L"DSP");
  cbDSPRate = b.Combo(L"Sample rate:", {L"8000"}, 0);
  b.Tab(L"ADPCM");
  cbADPCMRate = b.Combo(L"Sample rate:", law, 3);
  b.Channels(rbADPCMMono, rbADPCMStereo);
  MainPageControl->SetActivePageIndex(0);

  cbMP3Perset->OnChange = [this](TObject*) { ApplyMp3Preset(); };
  cbMP2Perset->OnChange = [this](TObject*) { ApplyMp2Preset(); };
  cbOGGPerset->OnChange = [this](TObject*) { ApplyOggPreset(); };

  BuildComponents(
      this,
      {
          {btnHelp,
           {.Bounds = {8, 296, 80, 25},
            .Caption = L"Help",
            .OnClick = [this](TObject*) { ShowHelpTopic(Handle(), L"Audio File Formats.htm"); }}},
          {btnDefault,
           {.Bounds = {96, 296, 80, 25},
            .Caption = L"Default",
            .OnClick = [this](TObject* s) { btnDefaultClick(s); }}},
          {btnOK,
           {.Bounds = {294, 296, 80, 25},
            .Caption = L"OK",
            .OnClick = [this](TObject* s) { btnOKClick(s); }},
           [](TButton& b) { b.SetDefault(true); }},
          {btnCancel,
           {.Bounds = {382, 296, 80, 25}, .Caption = L"Cancel"},
           [](TButton& b) {
             b.SetCancel(true);
             b.SetModalResult(mrCancel);
           }},
      });
}

void TfrmOutputFormat::ApplyRawCompression() {
  // GSM is written at 8,000 Hz mono only; the other formats take every PCM rate.
  bool gsm = cbCompressFormat->ItemIndex() == kRawGsm;
  int rate = SelectedNumber(cbRAWRate, 44100);
  cbRAWRate->Items()->Clear();
  std::vector<std::wstring> rates{L"8000"};
  if (!gsm) rates.assign(PcmRates().begin(), PcmRates().end());
  for (const auto& r : rates)
    cbRAWRate->Items()->Add(r);
  SelectNearest(cbRAWRate, gsm ? 8000 : rate);
  if (gsm) rbRAWMono->SetChecked(true);
  rbRAWStereo->SetEnabled(!gsm);
}

void TfrmOutputFormat::ShowWmaProfileDescription() {
  labWMAProfileName->SetCaption(WmaProfileDescription(lstWMAProfile->ItemIndex() + 1));
}

namespace {
void ApplyPreset(TComboBox* list, const TPreset* presets, size_t n, TComboBox* rate,
                 TComboBox* bitrate, TRadioButton* mono, TRadioButton* stereo,
                 TRadioButton* joint) {
  int i = list->ItemIndex();
  if (i < 1 || size_t(i) > n) return;
  const TPreset& p = presets[i - 1];
  SelectNumber(rate, 44100);
  SelectNumber(bitrate, p.kbps, true);
  SetChannel(p.channel, mono, stereo, joint);
}
} // namespace

void TfrmOutputFormat::ApplyMp3Preset() {
  ApplyPreset(cbMP3Perset, kMp3Presets, std::size(kMp3Presets), cbMP3Rate, cbMP3Bitrate, rbMP3Mono,
              rbMP3Stereo, nullptr);
}
void TfrmOutputFormat::ApplyMp2Preset() {
  ApplyPreset(cbMP2Perset, kMp2Presets, std::size(kMp2Presets), cbMP2Rate, cbMP2Bitrate, rbMP2Mono,
              rbMP2Stereo, rbMP2JointStereo);
}
void TfrmOutputFormat::ApplyOggPreset() {
  int i = cbOGGPerset->ItemIndex();
  if (i < 1 || size_t(i) > std::size(kOggPresets)) return;
  int kbps = kOggPresets[i - 1].kbps;
  SelectNumber(cbOGGRate, 44100);
  for (TComboBox* c : {cbOGGAverageBitrate, cbOGGMinBitrate, cbOGGMaxBitrate})
    SelectNumber(c, kbps, true);
}

void TfrmOutputFormat::LoadOutputFormatDialog() {
  const TGlobalVars& g = GlobalVars;
  SelectNumber(cbPCMRate, g.PcmRate);
  SelectNumber(cbPCMBitDepth, g.PcmBitDepth);
  SetChannel(g.PcmChannel, rbPCMMono, rbPCMStereo);
  SelectNumber(cbOGGRate, g.OggRate);
  SelectNumber(cbOGGAverageBitrate, g.OggAverageBitrate, true);
  SelectNumber(cbOGGMinBitrate, g.OggMinBitrate, true);
  SelectNumber(cbOGGMaxBitrate, g.OggMaxBitrate, true);
  SetChannel(g.OggChannel, rbOGGMono, rbOGGStereo);
  SelectNumber(cbMP3Rate, g.Mp3Rate);
  SelectNumber(cbMP3Bitrate, g.Mp3Bitrate, true);
  SetChannel(g.Mp3Channel, rbMP3Mono, rbMP3Stereo);
  SelectNearest(cbMP2Rate, g.Mp2Rate);
  SelectNumber(cbMP2Bitrate, g.Mp2Bitrate, true);
  SetChannel(g.Mp2Channel, rbMP2Mono, rbMP2Stereo, rbMP2JointStereo);
  SelectNumber(cbVOXRate, g.VoxRate);
  if (g.RawCompressFormat >= 1 && g.RawCompressFormat <= 6)
    cbCompressFormat->SetItemIndex(g.RawCompressFormat - 1);
  ApplyRawCompression();
  SelectNumber(cbRAWRate, g.RawRate);
  SelectNumber(cbRAWBitdepth, g.RawBitDepth);
  if (cbCompressFormat->ItemIndex() != kRawGsm) SetChannel(g.RawChannel, rbRAWMono, rbRAWStereo);
  if (g.WmaProfile >= 1 && g.WmaProfile <= 51) lstWMAProfile->SetItemIndex(g.WmaProfile - 1);
  ShowWmaProfileDescription();
  SelectNumber(cbG276Rate, g.G726Rate);
  SelectNumber(cbG276Bitdepth, g.G726BitDepth);
  SelectNumber(cbG273Rate, g.G723Rate);
  SelectNumber(cbG273Bitdepth, g.G723BitDepth);
  SelectNumber(cbG271Rate, g.G721Rate);
  SelectNumber(cbULAWRate, g.UlawRate);
  SetChannel(g.UlawChannel, rbULAWMono, rbULAWStereo);
  SelectNumber(cbALAWRate, g.AlawRate);
  SetChannel(g.AlawChannel, rbALAWMono, rbALAWStereo);
  SelectNumber(cbGSMRate, g.GsmRate);
  SelectNumber(cbADPCMRate, g.AdpcmRate);
  SetChannel(g.AdpcmChannel, rbADPCMMono, rbADPCMStereo);
}

void TfrmOutputFormat::StoreOutputFormatDialog() {
  TGlobalVars& g = GlobalVars;
  g.PcmRate = SelectedNumber(cbPCMRate, g.PcmRate);
  g.PcmBitDepth = SelectedNumber(cbPCMBitDepth, g.PcmBitDepth);
  g.PcmChannel = GetChannel(g.PcmChannel, rbPCMMono, rbPCMStereo);
  g.OggRate = SelectedNumber(cbOGGRate, g.OggRate);
  g.OggAverageBitrate = SelectedNumber(cbOGGAverageBitrate, g.OggAverageBitrate, true);
  g.OggMinBitrate = SelectedNumber(cbOGGMinBitrate, g.OggMinBitrate, true);
  g.OggMaxBitrate = SelectedNumber(cbOGGMaxBitrate, g.OggMaxBitrate, true);
  g.OggChannel = GetChannel(g.OggChannel, rbOGGMono, rbOGGStereo);
  g.Mp3Rate = SelectedNumber(cbMP3Rate, g.Mp3Rate);
  g.Mp3Bitrate = SelectedNumber(cbMP3Bitrate, g.Mp3Bitrate, true);
  g.Mp3Channel = GetChannel(g.Mp3Channel, rbMP3Mono, rbMP3Stereo);
  g.Mp2Rate = SelectedNumber(cbMP2Rate, g.Mp2Rate);
  g.Mp2Bitrate = SelectedNumber(cbMP2Bitrate, g.Mp2Bitrate, true);
  g.Mp2Channel = GetChannel(g.Mp2Channel, rbMP2Mono, rbMP2Stereo, rbMP2JointStereo);
  g.VoxRate = SelectedNumber(cbVOXRate, g.VoxRate);
  g.RawRate = SelectedNumber(cbRAWRate, g.RawRate);
  g.RawBitDepth = SelectedNumber(cbRAWBitdepth, g.RawBitDepth);
  g.RawChannel = GetChannel(g.RawChannel, rbRAWMono, rbRAWStereo);
  if (cbCompressFormat->ItemIndex() >= 0) g.RawCompressFormat = cbCompressFormat->ItemIndex() + 1;
  if (lstWMAProfile->ItemIndex() >= 0) g.WmaProfile = lstWMAProfile->ItemIndex() + 1;
  g.G726Rate = SelectedNumber(cbG276Rate, g.G726Rate);
  g.G726BitDepth = SelectedNumber(cbG276Bitdepth, g.G726BitDepth);
  g.G723Rate = SelectedNumber(cbG273Rate, g.G723Rate);
  g.G723BitDepth = SelectedNumber(cbG273Bitdepth, g.G723BitDepth);
  g.G721Rate = SelectedNumber(cbG271Rate, g.G721Rate);
  g.UlawRate = SelectedNumber(cbULAWRate, g.UlawRate);
  g.UlawChannel = GetChannel(g.UlawChannel, rbULAWMono, rbULAWStereo);
  g.AlawRate = SelectedNumber(cbALAWRate, g.AlawRate);
  g.AlawChannel = GetChannel(g.AlawChannel, rbALAWMono, rbALAWStereo);
  g.GsmRate = SelectedNumber(cbGSMRate, g.GsmRate);
  g.AdpcmRate = SelectedNumber(cbADPCMRate, g.AdpcmRate);
  g.AdpcmChannel = GetChannel(g.AdpcmChannel, rbADPCMMono, rbADPCMStereo);
}

void TfrmOutputFormat::SetDefaults() {
  cbCompressFormat->SetItemIndex(0);
  ApplyRawCompression();
  for (TComboBox* c : {cbPCMRate, cbMP3Rate, cbRAWRate})
    c->SetItemIndex(8);
  SelectNumber(cbMP2Rate, 44100);
  cbOGGRate->SetItemIndex(7);
  for (TComboBox* c : {cbULAWRate, cbALAWRate, cbADPCMRate})
    c->SetItemIndex(3);
  cbVOXRate->SetItemIndex(1);
  for (TComboBox* c : {cbG276Rate, cbG273Rate, cbG271Rate, cbGSMRate, cbDSPRate})
    c->SetItemIndex(0);
  cbPCMBitDepth->SetItemIndex(1);
  cbRAWBitdepth->SetItemIndex(1);
  cbOGGAverageBitrate->SetItemIndex(2);
  cbOGGMinBitrate->SetItemIndex(4);
  cbOGGMaxBitrate->SetItemIndex(0);
  cbMP3Bitrate->SetItemIndex(5);
  cbMP2Bitrate->SetItemIndex(5);
  lstWMAProfile->SetItemIndex(23);
  cbG276Bitdepth->SetItemIndex(3);
  cbG273Bitdepth->SetItemIndex(1);
  for (TRadioButton* r : {rbPCMStereo, rbOGGStereo, rbMP3Stereo, rbMP2Stereo, rbRAWStereo,
                          rbULAWStereo, rbALAWStereo, rbADPCMStereo})
    r->SetChecked(true);
  for (TComboBox* c : {cbMP3Perset, cbMP2Perset, cbOGGPerset})
    c->SetItemIndex(0);
  ShowWmaProfileDescription();
}

bool TfrmOutputFormat::CheckOggBitrates() {
  int n = cbOGGAverageBitrate->ItemIndex(), lo = cbOGGMinBitrate->ItemIndex(),
      hi = cbOGGMaxBitrate->ItemIndex();
  if (lo >= n && n >= hi) return true;
  ShowMessageBox(Format(SInvalidOggBitrate, cbOGGAverageBitrate->Text(), cbOGGMinBitrate->Text(),
                        cbOGGMaxBitrate->Text()),
                 SErrorCaption, MB_OK | MB_ICONWARNING);
  MainPageControl->SetActivePage(TabOGG);
  if (Showing()) cbOGGAverageBitrate->SetFocus();
  return false;
}

void TfrmOutputFormat::btnOKClick(TObject*) {
  if (CheckOggBitrates()) SetModalResult(mrOk);
}

void TfrmOutputFormat::btnDefaultClick(TObject*) {
  if (AskConfirmation(L"Really set all parameter to default?", L"Set default?") == mrYes)
    SetDefaults();
}

bool RunOutputFormatDialog(TCustomForm* owner) {
  std::unique_ptr<TfrmOutputFormat> dlg(new TfrmOutputFormat(owner));
  dlg->AfterConstruction();
  dlg->PlaceCentredOn(owner);
  dlg->LoadOutputFormatDialog();
  if (dlg->ShowModal() != mrOk) return false;
  dlg->StoreOutputFormatDialog();
  return true;
}

} // namespace editor
