// Tessaro: the audio editor's program entry.
#include <windows.h>

#include "editor/globals.h"
#include "editor/main.h"
#include "framework/Forms.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Application->Initialize();
  Application->SetTitle(editor::AppTitle);
  editor::TfrmMain* frmMain = nullptr;
  Application->CreateForm(frmMain);
  Application->Run();
  return 0;
}
