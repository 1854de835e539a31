// The About window: product title and version, web and support addresses,
// and the update page.
#pragma once
#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace recorder {

class TFormAbout : public TForm {
public:
  explicit TFormAbout(TComponent* AOwner);

  TImage* ImageLogo;
  TPageControl* PageControl;
  TTabSheet* TabSheetAbout;
  TTabSheet* TabSheetUpdate;
  TLabel* LabelTitle;
  TLabel* LabelWebCaption;
  TLabel* LabelWeb;
  TLabel* LabelSupportCaption;
  TLabel* LabelSupport;
  TLabel* LabelProductInfo;
  TGroupBox* GroupBoxVersion;
  TLabel* LabelVersion;
  TLabel* LabelCheckUpdate;
  TLabel* LabelUpdateHint;
  TButton* ButtonUpdates;
  TButton* ButtonOK;

  void FormShow(TObject* Sender);
  void LabelWebClick(TObject* Sender);
  void LabelSupportClick(TObject* Sender);
  void ButtonUpdatesClick(TObject* Sender);
};

// The "Version" of section "SYSTEM" in "msvr.dll" beside the program; empty when missing.
std::wstring ReadProductVersion();

} // namespace recorder
