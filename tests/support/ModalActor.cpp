#include "tests/support/ModalActor.h"

#include <gtest/gtest.h>

#include <map>

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "tests/support/Gui.h"

namespace testsupport {

namespace {

std::map<UINT_PTR, ModalActor*>& Actors() {
  static std::map<UINT_PTR, ModalActor*> actors;
  return actors;
}

bool IsModal(HWND h) {
  if (ClassOf(h) == L"#32770") return true;
  auto* form = FormOf<TCustomForm>(h);
  return form && form->Modal();
}

struct ModalFind {
  const std::wstring* caption;
  HWND found = nullptr;
};

BOOL CALLBACK FindModal(HWND h, LPARAM lp) {
  auto* d = reinterpret_cast<ModalFind*>(lp);
  if (!IsWindowVisible(h) || !IsWindowEnabled(h)) return TRUE;
  if (!d->caption->empty() && WindowText(h) != *d->caption) return TRUE;
  if (!IsModal(h)) return TRUE;
  d->found = h;
  return FALSE;
}

BOOL CALLBACK CollectStatics(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<std::wstring*>(lp);
  if (_wcsicmp(ClassOf(h).c_str(), L"Static") == 0) {
    std::wstring t = WindowText(h);
    if (!t.empty()) *s += (s->empty() ? L"" : L"\n") + t;
  }
  return TRUE;
}

// Captions of a form's labels (they have no window of their own).
void CollectLabels(const TWinControl* parent, std::wstring& s) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (auto* label = dynamic_cast<TLabel*>(c)) {
      if (!label->Caption().empty()) s += (s.empty() ? L"" : L"\n") + label->Caption();
    } else if (auto* w = dynamic_cast<TWinControl*>(c)) {
      CollectLabels(w, s);
    }
  }
}

bool Press(HWND button) {
  if (!button) return false;
  PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  return true;
}

} // namespace

void ReportOtherWindow(HWND h) {
  ADD_FAILURE() << "the modal window \"" << WideToUtf8(WindowText(h)) << "\" ("
                << WideToUtf8(ClassOf(h)) << ") is not the form expected";
}

bool PressButton(HWND dialog, const std::wstring& caption) {
  return Press(FindChild(dialog, L"", caption));
}

bool PressButton(HWND dialog, int id) {
  if (Press(GetDlgItem(dialog, id))) return true;
  // A message box takes IDCANCEL without a Cancel button.
  if (ClassOf(dialog) != L"#32770") return false;
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  return true;
}

ModalActor::ModalActor(std::wstring caption, std::wstring button, Act act)
    : caption_(std::move(caption)), button_(std::move(button)), act_(std::move(act)) {
  Start();
}

ModalActor::ModalActor(std::wstring caption, int buttonId, Act act)
    : caption_(std::move(caption)), buttonId_(buttonId), act_(std::move(act)) {
  Start();
}

ModalActor::~ModalActor() {
  Stop();
}

ModalActor& ModalActor::Repeat() {
  repeat_ = true;
  return *this;
}

void ModalActor::Start() {
  timer_ = SetTimer(nullptr, 0, 10, Tick);
  if (timer_) Actors()[timer_] = this;
}

void ModalActor::Stop() {
  if (!timer_) return;
  KillTimer(nullptr, timer_);
  Actors().erase(timer_);
  timer_ = 0;
}

void CALLBACK ModalActor::Tick(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = Actors().find(id);
  if (it != Actors().end()) it->second->TryAct();
}

bool ModalActor::TryAct() {
  ModalFind d{&caption_};
  EnumThreadWindows(GetCurrentThreadId(), FindModal, reinterpret_cast<LPARAM>(&d));
  if (!d.found) return false;
  // No second tick while Act runs (it may run a modal loop of its own).
  Stop();
  seenCaption_ = WindowText(d.found);
  seenText_.clear();
  EnumChildWindows(d.found, CollectStatics, reinterpret_cast<LPARAM>(&seenText_));
  if (auto* form = FormOf<TCustomForm>(d.found)) CollectLabels(form, seenText_);
  ++count_;
  if (act_) act_(d.found);
  if (IsWindow(d.found) && IsWindowVisible(d.found)) {
    bool pressed = !button_.empty() ? PressButton(d.found, button_)
                   : buttonId_      ? PressButton(d.found, buttonId_)
                                    : true;
    if (!pressed) {
      ADD_FAILURE() << "no button \"" << WideToUtf8(button_) << "\" (" << buttonId_ << ") in \""
                    << WideToUtf8(seenCaption_) << "\"";
      PostMessageW(d.found, WM_CLOSE, 0, 0);
    }
  }
  if (repeat_) Start();
  return true;
}

} // namespace testsupport
