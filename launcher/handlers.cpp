#include <cstdint>

#include "main_window.h"
#include "runtime/shell.h"
#include "skin/skin_support.h"

namespace launcher {

void OnMainWindowCreated() {
  runtime::Text path;      // both absent: the handler gives only the kind
  runtime::Text password;
  skin::ApplySkin(runtime::Given<skin::SkinKind>(2), runtime::Omitted(path), runtime::Omitted(password));
  path.Release();
  password.Release();
}

void OnRunButtonClicked() {
  const runtime::Text target(kRunTarget);
  const runtime::Text omitted;
  shell::ExecuteShellOperation(runtime::Given<std::int32_t>(shell::kRunOperation), runtime::Given(target),
                               runtime::Omitted(omitted), runtime::Omitted(omitted),
                               runtime::Omitted<std::int32_t>(0));
}

}  // namespace launcher
