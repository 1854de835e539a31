// Tessaro: the audio editor's program entry.
#include <windows.h>

#include "editor/Info.h"
#include "editor/freanalysis.h"
#include "editor/globals.h"
#include "editor/main.h"
#include "framework/Forms.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Application->Initialize();
  Application->SetTitle(editor::AppTitle);
  editor::TfrmMain* frmMain = nullptr;
  Application->CreateForm(frmMain);
  if (frmMain) {
    TAudioEditor2* editorControl = frmMain->AudioEditor;
    Application->CreateFormWith([&]() -> TCustomForm* {
      frmMain->FreAnalysisWindow = new TfrmFreAnalysis(Application, editorControl);
      return frmMain->FreAnalysisWindow;
    });
    Application->CreateFormWith([&]() -> TCustomForm* {
      frmMain->InfoWindow = new TfrmInfo(Application, editorControl);
      return frmMain->InfoWindow;
    });
  }
  Application->Run();
  return 0;
}
