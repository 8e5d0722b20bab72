#include "folders.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include "../core/win.h"
#include "runtime/shell.h"

namespace runtime::win {
namespace {
constexpr wchar_t kProgramFolderName[] = L"\\Zanvo3GP";

struct TaskMemory {
  PWSTR text = nullptr;
  ~TaskMemory() { CoTaskMemFree(text); }
};

std::wstring ProgramFolderIn(REFKNOWNFOLDERID base) {
  TaskMemory path;
  if (FAILED(SHGetKnownFolderPath(base, KF_FLAG_CREATE, nullptr, &path.text)) || !path.text) {
    return std::wstring();
  }
  std::wstring folder = std::wstring(path.text) + kProgramFolderName;
  if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    return std::wstring();
  }
  return folder;
}
}  // namespace

std::wstring LibraryFolder() { return ProgramFolderIn(FOLDERID_LocalAppData); }
std::wstring DataFolder() { return ProgramFolderIn(FOLDERID_RoamingAppData); }

}  // namespace runtime::win

namespace shell {

runtime::Text GetSpecialFolder(std::int32_t kind) {
  if (kind == kLibraryFolder) {
    const std::wstring folder = runtime::win::LibraryFolder();
    if (folder.empty()) return runtime::Text();
    // Callers append the library's file name directly.
    const runtime::Text path = runtime::win::PathText(folder);
    return path.absent() ? path : runtime::Join(path, "\\");
  }
  if (kind == kDataFolder) {
    const std::wstring folder = runtime::win::DataFolder();
    return folder.empty() ? runtime::Text() : runtime::win::PathText(folder);
  }
  return runtime::Text();
}

}  // namespace shell
