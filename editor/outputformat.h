// The Output Format dialog: the settings of the fifteen output formats.
#pragma once

#include <string>

#include "framework/ComCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace editor {

class TfrmOutputFormat : public TForm {
public:
  explicit TfrmOutputFormat(TComponent* AOwner);

  TPageControl* MainPageControl = nullptr;
  TTabSheet* TabPCM = nullptr;
  TTabSheet* TabOGG = nullptr;
  TComboBox *cbPCMRate, *cbPCMBitDepth;
  TRadioButton *rbPCMMono, *rbPCMStereo;
  TComboBox *cbOGGPerset, *cbOGGRate, *cbOGGAverageBitrate, *cbOGGMinBitrate, *cbOGGMaxBitrate;
  TRadioButton *rbOGGMono, *rbOGGStereo;
  TComboBox *cbMP3Perset, *cbMP3Rate, *cbMP3Bitrate;
  TRadioButton *rbMP3Mono, *rbMP3Stereo;
  TComboBox *cbMP2Perset, *cbMP2Rate, *cbMP2Bitrate;
  TRadioButton *rbMP2Mono, *rbMP2Stereo, *rbMP2JointStereo;
  TComboBox* cbVOXRate;
  TComboBox *cbRAWRate, *cbRAWBitdepth, *cbCompressFormat;
  TRadioButton *rbRAWMono, *rbRAWStereo;
  TListBox* lstWMAProfile;
  TLabel* labWMAProfileName;
  TComboBox *cbG276Rate, *cbG276Bitdepth, *cbG273Rate, *cbG273Bitdepth, *cbG271Rate;
  TComboBox* cbULAWRate;
  TRadioButton *rbULAWMono, *rbULAWStereo;
  TComboBox* cbALAWRate;
  TRadioButton *rbALAWMono, *rbALAWStereo;
  TComboBox *cbGSMRate, *cbDSPRate, *cbADPCMRate;
  TRadioButton *rbADPCMMono, *rbADPCMStereo;
  TButton *btnOK, *btnCancel, *btnDefault, *btnHelp;

  void LoadOutputFormatDialog();
  void StoreOutputFormatDialog();
  void ApplyMp3Preset();
  void ApplyMp2Preset();
  void ApplyOggPreset();
  void ShowWmaProfileDescription();
  // RAW rates and channels to what the chosen compression writes.
  void ApplyRawCompression();
  // Every control to its starting entry.
  void SetDefaults();
  // The OGG order check of OK; false (message shown, OGG tab active) when it fails.
  bool CheckOggBitrates();

private:
  void btnOKClick(TObject* Sender);
  void btnDefaultClick(TObject* Sender);
};

// Text of a bit-rate entry without " kbps" as an integer.
int ParseKbps(const std::wstring& text);
// List text and description of WMA profile 1..51.
std::wstring WmaProfileText(int profile);
std::wstring WmaProfileDescription(int profile);

// Opens the dialog over owner; on OK the controls are stored in the settings
// record and true is returned.
bool RunOutputFormatDialog(TCustomForm* owner);

} // namespace editor
