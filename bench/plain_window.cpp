// The plain Win32 program the launcher's start is measured against: the same
// window and button, no skin, no web view.
#include <windows.h>

#include "bench_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (!bench::CreateBenchWindow(instance)) return 1;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
