// The benchmark's own window: the launcher's geometry, title and button, made
// with nothing but Win32, so that it paints as an unskinned window paints.
#pragma once
#include <windows.h>

namespace bench {

inline constexpr wchar_t kWindowTitle[] = L"Zanvo3GP\x624b\x673a\x89c6\x9891\x683c\x5f0f\x8f6c\x6362\x5668";
inline constexpr wchar_t kButtonCaption[] =
    L"\x8fd0\x884cZanvo3GP\x624b\x673a\x89c6\x9891\x683c\x5f0f\x8f6c\x6362\x5668";

inline LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// Creates and shows the window with its button; nullptr on failure.
inline HWND CreateBenchWindow(HINSTANCE instance) {
  static const wchar_t kClassName[] = L"ZanvoBenchWindow";
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = BenchWindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClassName;
  if (!RegisterClassExW(&window_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  HWND window = CreateWindowExW(0, kClassName, kWindowTitle,
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, 50,
                                50, 510, 312, nullptr, nullptr, instance, nullptr);
  if (!window) return nullptr;
  if (!CreateWindowExW(0, L"BUTTON", kButtonCaption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 159, 255,
                       200, 23, window, nullptr, instance, nullptr)) {
    DestroyWindow(window);
    return nullptr;
  }
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  return window;
}

}  // namespace bench
