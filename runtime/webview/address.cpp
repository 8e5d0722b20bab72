#include "address.h"

namespace runtime {
namespace {
bool IsSchemeChar(wchar_t c, bool first) {
  const bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
  if (first) return letter;
  return letter || (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.';
}
}  // namespace

std::wstring WithScheme(const std::wstring& address) {
  const std::size_t colon = address.find(L':');
  // One letter before the colon is a drive, not a scheme; "host:port/..." has
  // no "//" after the colon.
  if (colon != std::wstring::npos && colon > 1) {
    bool scheme = true;
    for (std::size_t i = 0; i < colon && scheme; ++i) scheme = IsSchemeChar(address[i], i == 0);
    const bool has_slashes = address.compare(colon + 1, 2, L"//") == 0;
    const bool blank = address.compare(0, colon, L"about") == 0;
    if (scheme && (has_slashes || blank)) return address;
  }
  return L"https://" + address;
}

}  // namespace runtime
