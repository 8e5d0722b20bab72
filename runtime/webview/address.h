// Page addresses of the web view. Portable.
#pragma once
#include <string>

namespace runtime {

// The address as given when it names a scheme ("name://" or "about:"),
// otherwise "https://" + address.
std::wstring WithScheme(const std::wstring& address);

}  // namespace runtime
