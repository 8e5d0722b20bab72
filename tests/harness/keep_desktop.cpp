// Keeps Wine's desktop process up for a whole test run. Wine ends it as soon
// as no process uses the desktop, and the next program that shows a window
// starts it again: under the emulator each such start is slow, and now and
// then it crashes. Usage: keep_desktop READY_FILE (made once the desktop is
// up); it runs until the wineserver ends.
#include <windows.h>
#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc != 2) return 2;
  // The desktop window exists once its process is up; asking for it makes
  // this process one of the desktop's users.
  if (!GetDesktopWindow()) return 1;
  HANDLE ready = CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  LocalFree(argv);
  if (ready == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(ready);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
