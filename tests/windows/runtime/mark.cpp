// Run by the shell test: writes "runtime_mark.txt" into its current
// directory, holding its own path and its command line (UTF-16).
#include <windows.h>

int main() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  HANDLE file = CreateFileW(L"runtime_mark.txt.part", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  const wchar_t* command = GetCommandLineW();
  DWORD written = 0;
  BOOL ok = WriteFile(file, path, static_cast<DWORD>(lstrlenW(path) * sizeof(wchar_t)), &written, nullptr);
  ok = ok && WriteFile(file, L"\n", sizeof(wchar_t), &written, nullptr);
  ok = ok &&
       WriteFile(file, command, static_cast<DWORD>(lstrlenW(command) * sizeof(wchar_t)), &written, nullptr);
  ok = CloseHandle(file) && ok;
  // Whole or not at all, for the test that waits for it.
  return ok && MoveFileExW(L"runtime_mark.txt.part", L"runtime_mark.txt", MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
