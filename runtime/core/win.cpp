#include "win.h"

#include <vector>

namespace runtime::win {
namespace {
// The code page 936 bytes of `wide`, or false when a character has no form there.
bool Narrow(const std::wstring& wide, std::string& out) {
  out.clear();
  if (wide.empty()) return true;
  BOOL lost = FALSE;
  const int length = static_cast<int>(wide.size());
  const int bytes =
      WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, nullptr, &lost);
  if (bytes <= 0 || lost) return false;
  out.resize(static_cast<std::size_t>(bytes));
  return WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, out.data(), bytes, nullptr,
                             &lost) == bytes &&
         !lost;
}
}  // namespace

std::wstring Wide(const char* gbk) {
  if (!gbk || !*gbk) return std::wstring();
  const int chars = MultiByteToWideChar(kCodePage, 0, gbk, -1, nullptr, 0);
  if (chars <= 1) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(chars), L'\0');
  if (MultiByteToWideChar(kCodePage, 0, gbk, -1, wide.data(), chars) != chars) return std::wstring();
  wide.resize(static_cast<std::size_t>(chars - 1));
  return wide;
}

runtime::Text PathText(const std::wstring& path) {
  std::string bytes;
  if (Narrow(path, bytes)) return runtime::Text(bytes.c_str());
  const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (needed > 0) {
    std::wstring short_path(needed, L'\0');
    const DWORD written = GetShortPathNameW(path.c_str(), short_path.data(), needed);
    if (written > 0 && written < needed) {
      short_path.resize(written);
      if (Narrow(short_path, bytes)) return runtime::Text(bytes.c_str());
    }
  }
  return runtime::Text();
}

std::wstring ProgramFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::wstring();
    if (length < buffer.size()) {
      std::wstring path(buffer.data(), length);
      const std::size_t slash = path.find_last_of(L"\\/");
      return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace runtime::win
