#include "layer.h"

#include <windows.h>

#include <ole2.h>

#include "../shell/folders.h"
#include "win.h"

namespace runtime {
namespace {
enum class Ole { kNotTried, kReady, kFailed };
Ole ole = Ole::kNotTried;
DWORD ole_thread = 0;  // the thread it was readied on

// Not in every SDK's headers for older targets: looked up at run time.
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using AddDllDirectoryFunction = void*(WINAPI*)(PCWSTR);
constexpr DWORD kSearchDefaultDirs = 0x00001000;  // LOAD_LIBRARY_SEARCH_DEFAULT_DIRS

// Bare library names are then looked for in the program's folder, the
// library folder and the system folder, never in the current directory.
void ReadyLibrarySearch() {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return;
  const auto set_default = win::Lookup<SetDefaultDllDirectoriesFunction>(kernel, "SetDefaultDllDirectories");
  const auto add_directory = win::Lookup<AddDllDirectoryFunction>(kernel, "AddDllDirectory");
  if (!set_default || !add_directory) return;
  const std::wstring folder = win::LibraryFolder();
  // Without them bare names still load, only from the older search order.
  if (!folder.empty()) static_cast<void>(add_directory(folder.c_str()));
  static_cast<void>(set_default(kSearchDefaultDirs));
}
}  // namespace

void ReadyLayer() { ReadyLibrarySearch(); }

bool ReadyOle() {
  if (ole == Ole::kNotTried) {
    ole = SUCCEEDED(OleInitialize(nullptr)) ? Ole::kReady : Ole::kFailed;
    ole_thread = GetCurrentThreadId();
  }
  // OLE is readied for one thread: the user-interface thread.
  return ole == Ole::kReady && ole_thread == GetCurrentThreadId();
}

void ReleaseLayer() {
  if (ole == Ole::kReady) OleUninitialize();
  ole = Ole::kNotTried;
}

}  // namespace runtime
