// Operations of the core support library. Portable declarations.
#pragma once
#include <cstdint>

#include "runtime/text.h"
#include "runtime/window_description.h"

namespace core {

// Builds the window and its controls from the description, binds their
// events, shows the window and returns without waiting. Non-zero on success.
std::int32_t LoadWindow(const runtime::WindowDescription& start_window);
// Delivers events on the calling thread until the start window has been
// closed.
std::int32_t RunMessageLoop(std::int32_t value);
// Ends the process with `exit_code`.
[[noreturn]] void EndProgram(std::int32_t exit_code);

// Flags 16 ask for the error icon. Returns the button pressed.
std::int32_t ShowMessageBox(const runtime::Text& message, std::int32_t flags,
                            const runtime::Text& title);
// Non-zero when a file (not a folder) lies at the path, else 0.
std::int32_t FileExists(const runtime::Text& path);
// Creates or replaces the whole file with exactly `bytes`. Non-zero on success.
std::int32_t WriteFileBytes(const runtime::Text& path, runtime::ByteConstant bytes);

}  // namespace core
