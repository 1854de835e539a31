#include "toolbars/TfHook.h"

#include <memory>
#include <vector>

namespace {

enum { kCallWnd = 0, kCbt = 1, kGetMsg = 2, kKinds = 3 };

struct THookUserData {
  void* UserObject = nullptr;
  THookProcCodes Codes = 0;
  unsigned KindsInstalled = 0; // bit per kind
};

struct THookProcData {
  THookProc HookProc = nullptr;
  // Each user keeps the codes it asked for; the procedure hears the union.
  std::vector<THookUserData> Users; // newest first
  THookProcCodes WantedCodes() const {
    THookProcCodes c = 0;
    for (auto& u : Users)
      c |= u.Codes;
    return c;
  }
};

struct THookInfo {
  HHOOK Handle[kKinds] = {};
  int UserCount[kKinds] = {};
};

struct ThreadHooks {
  std::unique_ptr<THookInfo> Info;
  std::vector<std::unique_ptr<THookProcData>> Procs;
  ~ThreadHooks() {
    if (Info)
      for (HHOOK& h : Info->Handle)
        if (h) UnhookWindowsHookEx(h), h = nullptr;
  }
};

thread_local ThreadHooks tHooks;

unsigned KindsFor(THookProcCodes codes) {
  unsigned k = 0;
  if (codes &
      (HookCode(hpSendActivate) | HookCode(hpSendActivateApp) | HookCode(hpSendWindowPosChanged)))
    k |= 1u << kCallWnd;
  if (codes & HookCode(hpPreDestroy)) k |= 1u << kCbt;
  if (codes & HookCode(hpGetMessage)) k |= 1u << kGetMsg;
  return k;
}

void Dispatch(THookProcCode code, HWND wnd, WPARAM wp, LPARAM lp) {
  // Entries may register or unregister from inside a callback: walk a copy.
  std::vector<THookProc> procs;
  for (auto& p : tHooks.Procs)
    if (p->WantedCodes() & HookCode(code)) procs.push_back(p->HookProc);
  for (THookProc proc : procs) {
    bool still = false;
    for (auto& p : tHooks.Procs)
      if (p->HookProc == proc) still = true;
    if (!still) continue;
    try {
      proc(code, wnd, wp, lp);
    } catch (...) {
    }
  }
}

HHOOK HandleOf(int kind) {
  return tHooks.Info ? tHooks.Info->Handle[kind] : nullptr;
}

LRESULT CALLBACK CallWndProcHook(int code, WPARAM wp, LPARAM lp) {
  HHOOK self = HandleOf(kCallWnd);
  if (code == HC_ACTION) {
    auto* cwp = reinterpret_cast<CWPSTRUCT*>(lp);
    switch (cwp->message) {
    case WM_ACTIVATE:
      Dispatch(hpSendActivate, cwp->hwnd, cwp->wParam, cwp->lParam);
      break;
    case WM_ACTIVATEAPP:
      Dispatch(hpSendActivateApp, cwp->hwnd, cwp->wParam, cwp->lParam);
      break;
    case WM_WINDOWPOSCHANGED:
      Dispatch(hpSendWindowPosChanged, cwp->hwnd, cwp->wParam, cwp->lParam);
      break;
    default:
      break;
    }
  }
  return CallNextHookEx(self, code, wp, lp);
}

LRESULT CALLBACK CbtHook(int code, WPARAM wp, LPARAM lp) {
  HHOOK self = HandleOf(kCbt);
  if (code == HCBT_DESTROYWND) Dispatch(hpPreDestroy, reinterpret_cast<HWND>(wp), 0, 0);
  return CallNextHookEx(self, code, wp, lp);
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM wp, LPARAM lp) {
  HHOOK self = HandleOf(kGetMsg);
  if (code == HC_ACTION) Dispatch(hpGetMessage, nullptr, wp, lp);
  return CallNextHookEx(self, code, wp, lp);
}

const int kHookIds[kKinds] = {WH_CALLWNDPROC, WH_CBT, WH_GETMESSAGE};
const HOOKPROC kHookProcs[kKinds] = {CallWndProcHook, CbtHook, GetMessageHook};

void InstallKinds(THookUserData& user, unsigned needed) {
  if (!tHooks.Info) tHooks.Info = std::make_unique<THookInfo>();
  for (int k = 0; k < kKinds; ++k)
    if ((needed & (1u << k)) && !(user.KindsInstalled & (1u << k))) {
      ++tHooks.Info->UserCount[k];
      user.KindsInstalled |= 1u << k;
    }
  for (int k = 0; k < kKinds; ++k)
    if ((user.KindsInstalled & (1u << k)) && !tHooks.Info->Handle[k])
      tHooks.Info->Handle[k] =
          SetWindowsHookExW(kHookIds[k], kHookProcs[k], nullptr, GetCurrentThreadId());
}

} // namespace

void InstallHookProc(void* UserObject, THookProc Proc, THookProcCodes Codes) {
  unsigned needed = KindsFor(Codes);
  for (auto& p : tHooks.Procs) {
    if (p->HookProc != Proc) continue;
    for (auto& u : p->Users)
      if (u.UserObject == UserObject) {
        u.Codes |= Codes;
        InstallKinds(u, needed);
        return;
      }
    p->Users.insert(p->Users.begin(), THookUserData{UserObject, Codes, 0});
    InstallKinds(p->Users.front(), needed);
    return;
  }
  auto entry = std::make_unique<THookProcData>();
  entry->HookProc = Proc;
  entry->Users.push_back(THookUserData{UserObject, Codes, 0});
  tHooks.Procs.push_back(std::move(entry));
  InstallKinds(tHooks.Procs.back()->Users.front(), needed);
}

void UninstallHookProc(void* UserObject, THookProc Proc) {
  for (size_t i = 0; i < tHooks.Procs.size(); ++i) {
    auto& p = tHooks.Procs[i];
    if (p->HookProc != Proc) continue;
    for (size_t j = 0; j < p->Users.size(); ++j) {
      if (p->Users[j].UserObject != UserObject) continue;
      unsigned kinds = p->Users[j].KindsInstalled;
      p->Users.erase(p->Users.begin() + static_cast<std::ptrdiff_t>(j));
      if (p->Users.empty())
        tHooks.Procs.erase(tHooks.Procs.begin() + static_cast<std::ptrdiff_t>(i));
      if (tHooks.Info) {
        bool any = false;
        for (int k = 0; k < kKinds; ++k) {
          if (kinds & (1u << k)) {
            if (--tHooks.Info->UserCount[k] <= 0) {
              tHooks.Info->UserCount[k] = 0;
              if (tHooks.Info->Handle[k]) UnhookWindowsHookEx(tHooks.Info->Handle[k]);
              tHooks.Info->Handle[k] = nullptr;
            }
          }
          if (tHooks.Info->UserCount[k] || tHooks.Info->Handle[k]) any = true;
        }
        if (!any) tHooks.Info.reset();
      }
      return;
    }
    return;
  }
}

bool HookInstalled(int Kind) {
  for (int k = 0; k < kKinds; ++k)
    if (kHookIds[k] == Kind) return HandleOf(k) != nullptr;
  return false;
}

void RemoveAllHooks() {
  if (!tHooks.Info) return;
  for (HHOOK& h : tHooks.Info->Handle)
    if (h) UnhookWindowsHookEx(h), h = nullptr;
  tHooks.Info.reset();
}
