#include "runtime/core.h"
#include "win.h"

namespace core {

std::int32_t ShowMessageBox(const runtime::Text& message, std::int32_t flags, const runtime::Text& title) {
  return MessageBoxW(GetActiveWindow(), runtime::win::Wide(message).c_str(),
                     runtime::win::Wide(title).c_str(), static_cast<UINT>(flags));
}

}  // namespace core
