// A stranger's library under the engine's file name, for planting where the
// program must not look: loading it leaves "planted.mark" beside it.
#include <windows.h>

#include <cwchar>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  static const wchar_t kMarkName[] = L"planted.mark";
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  wchar_t* name = wcsrchr(path, L'\\');
  if (!name || (name + 1 - path) + wcslen(kMarkName) >= MAX_PATH) return TRUE;
  wcscpy(name + 1, kMarkName);
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return TRUE;
}

// Looks like the engine's entry point, as a planted library would.
extern "C" __declspec(dllexport) int __stdcall SkinH_Attach_Ex(const char*, const char*) { return 1; }
