// Korvane: the sound recorder's program entry.
#include <windows.h>

#include "framework/Forms.h"
#include "lookandfeel/lfLibrary.h"
#include "recorder/globals.h"
#include "recorder/main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The hand-point cursor is the system's hand.
  Screen->SetCursors(crHandPoint, LoadCursorW(nullptr, IDC_HAND));
  // The look-and-feel library starts in Initialize and shuts down at exit.
  lfAddUnitHooks();
  Application->Initialize();
  Application->SetTitle(recorder::AppTitle);
  recorder::TFormMain* FormMain = nullptr;
  Application->CreateForm(FormMain);
  Application->Run();
  return 0;
}
