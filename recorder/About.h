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

  TImage* ImageLogo = nullptr;
  TPageControl* PageControl = nullptr;
  TTabSheet* TabSheetAbout = nullptr;
  TTabSheet* TabSheetUpdate = nullptr;
  TLabel* LabelTitle = nullptr;
  TLabel* LabelWebCaption = nullptr;
  TLabel* LabelWeb = nullptr;
  TLabel* LabelSupportCaption = nullptr;
  TLabel* LabelSupport = nullptr;
  TLabel* LabelProductInfo = nullptr;
  TGroupBox* GroupBoxVersion = nullptr;
  TLabel* LabelVersion = nullptr;
  TLabel* LabelCheckUpdate = nullptr;
  TLabel* LabelUpdateHint = nullptr;
  TButton* ButtonUpdates = nullptr;
  TButton* ButtonOK = nullptr;

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
