#include "toolbars/TfAcc.h"

#include <atomic>

namespace {
std::atomic<int> gAccObjects{0};
} // namespace

LRESULT TfAccHandleGetObject(TTfView*, WPARAM, LPARAM, bool& Handled) {
  Handled = false;
  return 0;
}

void TfAccDetachView(TTfView*) {}
void TfAccDetachViewer(TTfItemViewer*) {}
void TfAccDoDefaultActionDeferred(TTfItemViewer*, WPARAM) {}

int TfAccObjectCount() {
  return gAccObjects.load();
}
