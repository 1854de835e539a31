// Test entry shared by every test executable: COM and common controls are
// ready before the first test, as they are in the programs.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <commctrl.h>

int main(int argc, char** argv) {
  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  testing::InitGoogleTest(&argc, argv);
  int rc = RUN_ALL_TESTS();
  OleUninitialize();
  return rc;
}
