#include "framework/Clipbrd.h"

#include <cstring>

#include "framework/Graphics.h"

namespace {

// Closes the clipboard again on every way out of a call that opened it.
class TOpened {
public:
  explicit TOpened(TClipboard& c) : C(c) { C.Open(); }
  ~TOpened() { C.Close(); }
  TOpened(const TOpened&) = delete;
  TOpened& operator=(const TOpened&) = delete;

private:
  TClipboard& C;
};

} // namespace

TClipboard::~TClipboard() {
  if (FOpenRefCount > 0) CloseClipboard();
  if (FWindow) DestroyWindow(FWindow);
}

// Data is set through an owner window: with none, the system refuses it.
HWND TClipboard::Window() {
  if (!FWindow)
    FWindow = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  return FWindow;
}

void TClipboard::Open() {
  if (FOpenRefCount == 0) {
    if (!OpenClipboard(Window())) throw EClipboardException(L"Cannot open clipboard");
    FEmptied = false;
  }
  ++FOpenRefCount;
}

void TClipboard::Close() {
  if (FOpenRefCount == 0) return;
  if (--FOpenRefCount == 0) CloseClipboard();
}

void TClipboard::Clear() {
  TOpened o(*this);
  EmptyClipboard();
  FEmptied = true;
}

bool TClipboard::HasFormat(UINT Format) const {
  return IsClipboardFormatAvailable(Format) != 0;
}

HANDLE TClipboard::GetAsHandle(UINT Format) {
  TOpened o(*this);
  return GetClipboardData(Format);
}

void TClipboard::SetAsHandle(UINT Format, HANDLE Value) {
  TOpened o(*this);
  // Only the clipboard's owner may set data: an opening that did not empty
  // it does so first.
  if (!FEmptied) Clear();
  if (!SetClipboardData(Format, Value))
    throw EClipboardException(L"Cannot put the data on the clipboard");
}

std::wstring TClipboard::AsText() {
  TOpened o(*this);
  HANDLE h = GetClipboardData(CF_UNICODETEXT);
  if (!h) return L"";
  const auto* p = static_cast<const wchar_t*>(GlobalLock(h));
  if (!p) return L"";
  std::wstring text(p, wcsnlen(p, GlobalSize(h) / sizeof(wchar_t)));
  GlobalUnlock(h);
  return text;
}

void TClipboard::SetAsText(const std::wstring& Value) {
  const size_t bytes = (Value.size() + 1) * sizeof(wchar_t);
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes);
  void* p = h ? GlobalLock(h) : nullptr;
  if (!p) {
    if (h) GlobalFree(h);
    throw EOutOfMemory(L"Out of memory");
  }
  std::memcpy(p, Value.c_str(), bytes);
  GlobalUnlock(h);
  TOpened o(*this);
  Clear();
  TScopeGuard freeText([&] { GlobalFree(h); });
  SetAsHandle(CF_UNICODETEXT, h);
  freeText.Dismiss();
}

void TClipboard::Assign(TGraphic* Source) {
  if (!Source) return;
  UINT format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  Source->SaveToClipboardFormat(format, data, palette);
  TOpened o(*this);
  Clear();
  if (!data) return; // a picture without clipboard data leaves it empty
  TScopeGuard freeData([&] {
    if (format == CF_BITMAP)
      DeleteObject(data);
    else
      GlobalFree(data);
    if (palette) DeleteObject(palette);
  });
  SetAsHandle(format, data);
  freeData.Dismiss();
  if (palette) SetClipboardData(CF_PALETTE, palette);
}

void TClipboard::AssignTo(TGraphic* Dest) {
  if (!Dest) return;
  TOpened o(*this);
  HPALETTE palette = static_cast<HPALETTE>(GetClipboardData(CF_PALETTE));
  for (UINT format : {CF_DIB, CF_BITMAP})
    if (HANDLE data = GetClipboardData(format)) {
      Dest->LoadFromClipboardFormat(format, data, palette);
      return;
    }
  throw EClipboardException(L"The clipboard holds no picture");
}

TClipboard* Clipboard() {
  static TClipboard clipboard;
  return &clipboard;
}
