#include "tests/support/MessageLog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace testsupport {

namespace {

struct NamedMessage {
  UINT msg;
  const char* name;
};

#define KORVANE_MSG(m)                                                                             \
  { m, #m }
const NamedMessage kNames[] = {
    KORVANE_MSG(WM_CREATE),
    KORVANE_MSG(WM_DESTROY),
    KORVANE_MSG(WM_MOVE),
    KORVANE_MSG(WM_SIZE),
    KORVANE_MSG(WM_ACTIVATE),
    KORVANE_MSG(WM_SETFOCUS),
    KORVANE_MSG(WM_KILLFOCUS),
    KORVANE_MSG(WM_ENABLE),
    KORVANE_MSG(WM_SETTEXT),
    KORVANE_MSG(WM_PAINT),
    KORVANE_MSG(WM_CLOSE),
    KORVANE_MSG(WM_QUIT),
    KORVANE_MSG(WM_ERASEBKGND),
    KORVANE_MSG(WM_SHOWWINDOW),
    KORVANE_MSG(WM_ACTIVATEAPP),
    KORVANE_MSG(WM_CANCELMODE),
    KORVANE_MSG(WM_SETCURSOR),
    KORVANE_MSG(WM_MOUSEACTIVATE),
    KORVANE_MSG(WM_WINDOWPOSCHANGING),
    KORVANE_MSG(WM_WINDOWPOSCHANGED),
    KORVANE_MSG(WM_NOTIFY),
    KORVANE_MSG(WM_NCACTIVATE),
    KORVANE_MSG(WM_NCPAINT),
    KORVANE_MSG(WM_KEYDOWN),
    KORVANE_MSG(WM_KEYUP),
    KORVANE_MSG(WM_CHAR),
    KORVANE_MSG(WM_COMMAND),
    KORVANE_MSG(WM_SYSCOMMAND),
    KORVANE_MSG(WM_TIMER),
    KORVANE_MSG(WM_HSCROLL),
    KORVANE_MSG(WM_VSCROLL),
    KORVANE_MSG(WM_INITMENUPOPUP),
    KORVANE_MSG(WM_MENUSELECT),
    KORVANE_MSG(WM_ENTERIDLE),
    KORVANE_MSG(WM_MOUSEMOVE),
    KORVANE_MSG(WM_LBUTTONDOWN),
    KORVANE_MSG(WM_LBUTTONUP),
    KORVANE_MSG(WM_RBUTTONDOWN),
    KORVANE_MSG(WM_RBUTTONUP),
    KORVANE_MSG(WM_CAPTURECHANGED),
    KORVANE_MSG(WM_ENTERMENULOOP),
    KORVANE_MSG(WM_EXITMENULOOP),
    KORVANE_MSG(WM_DROPFILES),
    KORVANE_MSG(WM_CONTEXTMENU),
    KORVANE_MSG(WM_SETREDRAW),
};
#undef KORVANE_MSG

std::string Hex(uintptr_t v) {
  char b[24];
  std::snprintf(b, sizeof b, "0x%llx", static_cast<unsigned long long>(v));
  return b;
}

std::string Describe(UINT msg, std::optional<WPARAM> wp, std::optional<LPARAM> lp) {
  std::string s = MessageLog::Name(msg) + "(";
  s += wp ? Hex(*wp) : "*";
  s += ", ";
  s += lp ? Hex(static_cast<uintptr_t>(*lp)) : "*";
  return s + ")";
}

bool Same(const MessageLog::Entry& e, const MessageLog::Expected& x) {
  return e.Msg == x.Msg && (!x.WParam || *x.WParam == e.WParam) &&
         (!x.LParam || *x.LParam == e.LParam);
}

} // namespace

std::string MessageLog::Name(UINT msg) {
  for (const auto& n : kNames)
    if (n.msg == msg) return n.name;
  if (msg >= WM_APP) return "WM_APP+" + std::to_string(msg - WM_APP);
  if (msg >= WM_USER) return "WM_USER+" + std::to_string(msg - WM_USER);
  return Hex(msg);
}

MessageLog::MessageLog(HWND window, std::vector<UINT> watched)
    : window_(window), watched_(std::move(watched)) {
  subclassed_ = SetWindowSubclass(window_, Proc, 1, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

MessageLog::~MessageLog() {
  if (subclassed_ && IsWindow(window_)) RemoveWindowSubclass(window_, Proc, 1);
}

void MessageLog::Start() {
  recording_ = true;
}

void MessageLog::Stop() {
  recording_ = false;
}

LRESULT CALLBACK MessageLog::Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                  DWORD_PTR self) {
  auto* log = reinterpret_cast<MessageLog*>(self);
  if (log->recording_ &&
      (log->watched_.empty() ||
       std::find(log->watched_.begin(), log->watched_.end(), msg) != log->watched_.end()))
    log->entries_.push_back({msg, wp, lp});
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(h, Proc, 1);
    log->subclassed_ = false;
  }
  return DefSubclassProc(h, msg, wp, lp);
}

testing::AssertionResult MessageLog::Matches(const std::vector<Expected>& expected) const {
  if (!subclassed_ && entries_.empty() && !expected.empty())
    return testing::AssertionFailure() << "the window could not be watched";
  size_t first = 0;
  while (first < entries_.size() && first < expected.size() &&
         Same(entries_[first], expected[first]))
    ++first;
  if (first == entries_.size() && first == expected.size()) return testing::AssertionSuccess();
  std::ostringstream out;
  out << "messages differ from row " << first << "\n";
  const size_t rows = std::max(entries_.size(), expected.size());
  constexpr int kWidth = 44;
  std::string head = "   expected";
  out << head << std::string(kWidth + 3 - head.size(), ' ') << "received\n";
  for (size_t i = 0; i < rows; ++i) {
    std::string want = i < expected.size()
                           ? Describe(expected[i].Msg, expected[i].WParam, expected[i].LParam)
                           : "-";
    std::string got = i < entries_.size()
                          ? Describe(entries_[i].Msg, entries_[i].WParam, entries_[i].LParam)
                          : "-";
    bool same = i < entries_.size() && i < expected.size() && Same(entries_[i], expected[i]);
    out << (same         ? "   "
            : i == first ? ">> "
                         : " ! ")
        << want << std::string(want.size() < kWidth ? kWidth - want.size() : 1, ' ') << got << "\n";
  }
  return testing::AssertionFailure() << out.str();
}

} // namespace testsupport
