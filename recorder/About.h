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

// The version of the program file's version resource ("1.0.0.0"); empty without one.
std::wstring ProgramFileVersion();
// The "Version" of section "SYSTEM" in "msvr.dll" beside the program; the
// program file's version when the file or the value is missing.
std::wstring ReadProductVersion();

} // namespace recorder
