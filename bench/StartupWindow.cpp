// The reference of bench/startup.sh: the smallest Win32 program that opens
// one main window and paints it (a white client area with one line of text).
// Built on its own, without the project's libraries.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
  case WM_PAINT: {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    RECT r;
    GetClientRect(wnd, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    DrawTextW(dc, L"Start-up reference", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(wnd, &ps);
    return 0;
  }
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"StartupWindow";
  RegisterClassW(&wc);
  // The editor's size, so that both programs put as many pixels on the screen.
  HWND wnd =
      CreateWindowExW(0, wc.lpszClassName, L"Start-up reference", WS_OVERLAPPEDWINDOW,
                      CW_USEDEFAULT, CW_USEDEFAULT, 800, 450, nullptr, nullptr, instance, nullptr);
  ShowWindow(wnd, show);
  UpdateWindow(wnd);
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return 0;
}
