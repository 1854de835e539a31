// Records the messages a window receives, in order, and compares them with a
// table of expected messages.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace testsupport {

class MessageLog {
public:
  struct Entry {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
  };
  // One expected message; a parameter left out matches any value.
  struct Expected {
    UINT Msg;
    std::optional<WPARAM> WParam = std::nullopt;
    std::optional<LPARAM> LParam = std::nullopt;
  };

  // Watches the window (through a subclass) for the given messages; all
  // messages when the list is empty. Records nothing before Start.
  explicit MessageLog(HWND window, std::vector<UINT> watched = {});
  ~MessageLog();
  MessageLog(const MessageLog&) = delete;
  MessageLog& operator=(const MessageLog&) = delete;

  void Start();
  void Stop();
  void Clear() { entries_.clear(); }
  const std::vector<Entry>& Entries() const { return entries_; }

  // Success when the recorded messages are the expected ones, in order;
  // otherwise both lists side by side with the first difference marked.
  testing::AssertionResult Matches(const std::vector<Expected>& expected) const;

  // "WM_ENABLE", "WM_USER+1", or the number for others.
  static std::string Name(UINT msg);

private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
  HWND window_;
  std::vector<UINT> watched_;
  std::vector<Entry> entries_;
  bool recording_ = false;
  bool subclassed_ = false;
};

} // namespace testsupport
