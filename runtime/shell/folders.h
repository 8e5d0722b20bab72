// The per-user folders of the program (created when missing).
#pragma once
#include <string>

namespace runtime::win {

// <LocalAppData>\Zanvo3GP, without a trailing backslash; "" on failure.
std::wstring LibraryFolder();
// <RoamingAppData>\Zanvo3GP, without a trailing backslash; "" on failure.
std::wstring DataFolder();

}  // namespace runtime::win
