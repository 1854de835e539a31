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
    // The analysis and information windows are made on their first use.
    TAudioEditor2* editorControl = frmMain->AudioEditor;
    frmMain->MakeFreAnalysisWindow = [editorControl] {
      auto* window = new editor::TfrmFreAnalysis(Application, editorControl);
      window->AfterConstruction();
      return window;
    };
    frmMain->MakeInfoWindow = [editorControl] {
      auto* window = new editor::TfrmInfo(Application, editorControl);
      window->AfterConstruction();
      return window;
    };
  }
  Application->Run();
  return 0;
}
