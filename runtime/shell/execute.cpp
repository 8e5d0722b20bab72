#include <windows.h>

#include <shellapi.h>

#include "../core/layer.h"
#include "../core/win.h"
#include "runtime/shell.h"

namespace shell {

std::int32_t ExecuteShellOperation(runtime::Arg<std::int32_t> kind, runtime::Arg<runtime::Text> target,
                                   runtime::Arg<runtime::Text> parameters,
                                   runtime::Arg<runtime::Text> working_folder,
                                   runtime::Arg<std::int32_t> show) {
  if (!kind.given || kind.value != kRunOperation || !target.given || target.value.empty()) return 0;
  const std::wstring file = runtime::win::Wide(target.value);
  const std::wstring arguments = parameters.given ? runtime::win::Wide(parameters.value) : std::wstring();
  const std::wstring folder =
      working_folder.given ? runtime::win::Wide(working_folder.value) : runtime::win::ProgramFolder();
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  // No error dialog for a target that cannot run: the result says it.
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
  info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
  info.nShow = show.given ? show.value : SW_SHOWNORMAL;
  // The shell may hand the target to COM extensions; without COM it still
  // runs programs.
  static_cast<void>(runtime::ReadyOle());
  return ShellExecuteExW(&info) ? 1 : 0;
}

}  // namespace shell
