#include "editor/dialogcommon.h"

#include "editor/funcs.h"
#include "framework/Forms.h"

std::function<void(HWND, const std::wstring&)> EditorHelpHandler;

void ShowEditorHelp(HWND Owner, const std::wstring& Page) {
  if (EditorHelpHandler)
    EditorHelpHandler(Owner, Page);
  else
    editor::ShowHelpTopic(Owner, Page);
}

void CentreOnForm(TCustomForm* Dialog, TCustomForm* Main) {
  if (!Dialog || !Main) return;
  int top = Main->Top() + (Main->Height() - Dialog->Height()) / 2;
  int left = Main->Left() + (Main->Width() - Dialog->Width()) / 2;
  Dialog->SetBounds(left, top, Dialog->Width(), Dialog->Height());
}
