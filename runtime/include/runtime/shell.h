// Operations of the operating system interface library. Portable declarations.
#pragma once
#include <cstdint>

#include "runtime/text.h"

namespace shell {

// Kind 10: a per-user folder from which the platform loads a library by its
// bare file name (ahead of the current directory); its text ends with a
// backslash. Kind 11: a per-user writable folder; its text ends without one.
// Both are created when missing. Any other kind gives an absent text.
inline constexpr std::int32_t kLibraryFolder = 10;
inline constexpr std::int32_t kDataFolder = 11;
runtime::Text GetSpecialFolder(std::int32_t kind);

// Kind 4 hands `target` to the platform's shell to run. Omitted arguments:
// no parameters, the program file's own folder as working folder, a normal
// window. Non-zero on success.
inline constexpr std::int32_t kRunOperation = 4;
std::int32_t ExecuteShellOperation(runtime::Arg<std::int32_t> kind,
                                   runtime::Arg<runtime::Text> target,
                                   runtime::Arg<runtime::Text> parameters,
                                   runtime::Arg<runtime::Text> working_folder,
                                   runtime::Arg<std::int32_t> show);

}  // namespace shell
