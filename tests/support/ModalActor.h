// Acting on the real modal windows a test's code shows: a dialog's controls
// are set and its button pressed from inside its own modal loop, on the
// test's thread, once the window is visible and enabled.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "framework/Controls.h"

namespace testsupport {

// Acts on the next modal window of this thread whose caption is Caption
// (empty: any): a message box or dialog (class #32770) or a form in its
// ShowModal. A thread timer looks for the window whenever the modal loop is
// idle; once the window is visible and enabled, Act runs with it (on this
// thread, so it may use the form's objects), then the button with the given
// caption or control id is pressed. Without a button Act ends the loop itself.
// A button that is not there fails the test and closes the window.
class ModalActor {
public:
  using Act = std::function<void(HWND)>;
  ModalActor(std::wstring caption, std::wstring button, Act act = {});
  ModalActor(std::wstring caption, int buttonId, Act act = {});
  ~ModalActor();
  ModalActor(const ModalActor&) = delete;
  ModalActor& operator=(const ModalActor&) = delete;

  // Acts on every matching window while it lives, not only the next one.
  ModalActor& Repeat();
  // How many windows it acted on.
  int Count() const { return count_; }
  bool Acted() const { return count_ > 0; }
  // Caption and static texts of the last window acted on.
  const std::wstring& SeenCaption() const { return seenCaption_; }
  const std::wstring& SeenText() const { return seenText_; }

private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);
  void Start();
  void Stop();
  bool TryAct();
  std::wstring caption_, button_;
  int buttonId_ = 0;
  Act act_;
  bool repeat_ = false;
  int count_ = 0;
  UINT_PTR timer_ = 0;
  std::wstring seenCaption_, seenText_;
};

// The form of a window a ModalActor found (null when it is another kind).
template <class TFormClass> TFormClass* FormOf(HWND h) {
  return dynamic_cast<TFormClass*>(FindControl(h));
}

// Fails the test: the modal window is not of the kind expected.
void ReportOtherWindow(HWND h);

// An Act for a form of the given class: a window of another kind fails the test.
template <class TFormClass> ModalActor::Act OnForm(std::function<void(TFormClass*)> act) {
  return [act = std::move(act)](HWND h) {
    if (auto* form = FormOf<TFormClass>(h))
      act(form);
    else
      ReportOtherWindow(h);
  };
}
// Presses a dialog's button the way a click does: BN_CLICKED to its parent.
// False when the dialog has no button of that caption or id.
bool PressButton(HWND dialog, const std::wstring& caption);
bool PressButton(HWND dialog, int id);

} // namespace testsupport
