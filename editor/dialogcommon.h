// Helpers shared by the editor's dialogs: centring on the main window and the
// help topics.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class TCustomForm;

// Places Dialog at the centre of Main (integer halves truncate toward zero).
void CentreOnForm(TCustomForm* Dialog, TCustomForm* Main);

// Shows a page of "help.chm" beside the program (editor::ShowHelpTopic unless
// the handler is set).
extern std::function<void(HWND Owner, const std::wstring& Page)> EditorHelpHandler;
void ShowEditorHelp(HWND Owner, const std::wstring& Page);
