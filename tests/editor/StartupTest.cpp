// What the editor's main window makes before its first paint: windows, GDI
// objects and toolbar items, counted when it first shows; the editor control
// under the cover makes its window only when a document shows.
#include <gtest/gtest.h>
#include <winternl.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "audio/ui/AudioEditor2.h"
#include "controls/PngImageList.h"
#include "editor/globals.h"
#include "editor/main.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"
#include "tests/support/Tone.h"

using namespace editor;

namespace {

// Windows of the calling thread, top-level and children.
int ThreadWindows() {
  struct Count {
    static BOOL CALLBACK Child(HWND, LPARAM l) {
      ++*reinterpret_cast<int*>(l);
      return TRUE;
    }
    static BOOL CALLBACK Top(HWND h, LPARAM l) {
      ++*reinterpret_cast<int*>(l);
      EnumChildWindows(h, Child, l);
      return TRUE;
    }
  };
  int n = 0;
  EnumThreadWindows(GetCurrentThreadId(), Count::Top, reinterpret_cast<LPARAM>(&n));
  return n;
}

// Live GDI objects of the process by kind, read from the handle table the
// process environment block points at (the system's counter has no answer
// under Wine).
std::map<int, int> GdiObjects() {
  struct Entry {
    unsigned long long Object;
    unsigned short Process, Count, Unique;
    unsigned char Type, Flags;
    unsigned long long User;
  };
  std::map<int, int> kinds;
  auto* peb = reinterpret_cast<unsigned char*>(NtCurrentTeb()->ProcessEnvironmentBlock);
  auto* table = *reinterpret_cast<const Entry* const*>(peb + 0xF8);
  if (!table) return kinds;
  for (int i = 0; i < 0x4000; ++i)
    if (table[i].Type) ++kinds[table[i].Type];
  return kinds;
}

int Total(const std::map<int, int>& kinds) {
  int n = 0;
  for (const auto& [kind, count] : kinds)
    n += count;
  return n;
}

int Of(const std::map<int, int>& kinds, int kind) {
  auto it = kinds.find(kind);
  return it == kinds.end() ? 0 : it->second;
}

} // namespace

TEST(EditorStartup, FirstPaintMakesOnlyWhatItShowsAndTheEditorWindowComesWithTheDocument) {
  std::wstring dir = testsupport::MakeTempDir(L"editor-startup");
  // The program's own settings, from nothing.
  ForceDirectories(DefaultSettingsDir());
  DeleteFileW((DefaultSettingsDir() + SettingsFileTitle).c_str());
  const int windowsBefore = ThreadWindows();
  const auto gdiBefore = GdiObjects();
  const int itemsBefore = TfLiveObjectCount();
  auto* form = new TfrmMain(nullptr);
  form->AfterConstruction();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return form->Showing(); }));
  testsupport::PumpFor(100);
  const int windows = ThreadWindows() - windowsBefore;
  const auto gdi = GdiObjects();
  const int items = TfLiveObjectCount() - itemsBefore;
  // 1 DC, 5 bitmap, 10 font, 16 brush.
  std::printf("editor first paint: %d windows, %d GDI objects (%d DCs, %d bitmaps, %d fonts, %d "
              "brushes), %d toolbar items and viewers, %d images\n",
              windows, Total(gdi) - Total(gdiBefore), Of(gdi, 1) - Of(gdiBefore, 1),
              Of(gdi, 5) - Of(gdiBefore, 5), Of(gdi, 10) - Of(gdiBefore, 10),
              Of(gdi, 16) - Of(gdiBefore, 16), items, form->PngImageList->Count());
  // The cover hides the editor control: its window waits for a document.
  EXPECT_FALSE(form->IsDocumentLoaded());
  EXPECT_FALSE(form->AudioEditor->Visible());
  EXPECT_FALSE(form->AudioEditor->HandleAllocated());
  EXPECT_TRUE(form->PanelMainGray->Showing());
  EXPECT_TRUE(form->ToolbarEdit->Showing());
  EXPECT_LE(windows, 20);
  // The first document shows it, its window made and placed over the panel.
  const std::wstring wav = dir + L"\\silence.wav";
  testsupport::WriteToneWav(wav, 44100, 2, 44100, 440, 0);
  ASSERT_TRUE(form->OpenDocument(wav));
  ASSERT_TRUE(form->IsDocumentLoaded());
  EXPECT_TRUE(form->AudioEditor->Showing());
  EXPECT_TRUE(form->AudioEditor->HandleAllocated());
  EXPECT_EQ(form->AudioEditor->Width(), form->PanelMainAudioEditor->ClientWidth());
  EXPECT_GT(form->AudioEditor->Height(), 0);
  const auto gdiOpen = GdiObjects();
  std::printf("editor with its first document: %d windows, %d GDI objects\n",
              ThreadWindows() - windowsBefore, Total(gdiOpen) - Total(gdiBefore));
  EXPECT_GT(ThreadWindows() - windowsBefore, windows);
  // Closed, the cover is back over a hidden control; the next document shows it again.
  form->ActionClose->Execute();
  EXPECT_FALSE(form->IsDocumentLoaded());
  EXPECT_FALSE(form->AudioEditor->Visible());
  EXPECT_TRUE(form->PanelMainGray->Showing());
  ASSERT_TRUE(form->OpenDocument(wav));
  EXPECT_TRUE(form->AudioEditor->Showing());
  form->ActionClose->Execute();
  delete form;
}
