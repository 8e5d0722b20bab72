// Helpers of the runtime layer's Windows tests. Table cases name themselves
// in assertion messages: SCOPED_TRACE starts gtest's thread watcher, which
// does not survive Wine under qemu here.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace test {

// Delivers this thread's messages until `done` holds or `seconds` pass.
inline bool PumpUntil(const std::function<bool()>& done, double seconds = 30) {
  const ULONGLONG limit = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (done()) return true;
    if (GetTickCount64() > limit) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

// Waits without delivering messages (for other threads' work).
inline bool WaitUntil(const std::function<bool()>& done, double seconds = 30) {
  const ULONGLONG limit = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  while (!done()) {
    if (GetTickCount64() > limit) return false;
    Sleep(20);
  }
  return true;
}

inline std::wstring Utf16(const char* gbk) {
  const int n = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, gbk, -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, gbk, -1, out.data(), n);
  out.resize(out.size() - 1);
  return out;
}

inline std::string Gbk(const std::wstring& wide) {
  const int n = WideCharToMultiByte(936, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
  WideCharToMultiByte(936, 0, wide.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

inline std::wstring WindowText(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return buffer;
}

inline std::wstring ClassName(HWND window) {
  wchar_t buffer[256] = {};
  GetClassNameW(window, buffer, 256);
  return buffer;
}

struct WindowSearch {
  const wchar_t* class_name;
  const wchar_t* title;
  HWND found;
};

inline BOOL CALLBACK MatchOwnWindow(HWND window, LPARAM lparam) {
  auto& search = *reinterpret_cast<WindowSearch*>(lparam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || ClassName(window) != search.class_name) return TRUE;
  if (search.title && WindowText(window) != search.title) return TRUE;
  search.found = window;
  return FALSE;
}

// A top-level window of this process with the class and, unless null, the
// title: other test programs may show the same kind of window meanwhile.
inline HWND FindOwnWindow(const wchar_t* class_name, const wchar_t* title) {
  WindowSearch search{class_name, title, nullptr};
  EnumWindows(&MatchOwnWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

// A fresh empty folder under the temp folder, removed with its files (no
// subfolders) at the end.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId());
    Clear();
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() { Clear(); }
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  void Clear() {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring item = path_ + L"\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L"..")) {
            SetFileAttributesW(item.c_str(), FILE_ATTRIBUTE_NORMAL);
            RemoveDirectoryW(item.c_str());
          }
        } else {
          SetFileAttributesW(item.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW(item.c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
  }
  std::wstring path_;
};

inline std::string ReadAll(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

inline bool WriteAll(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  return CloseHandle(file) && ok;
}

// An icon file with 16x16 and 32x32 images (32 bits a pixel).
inline std::vector<unsigned char> MakeIconFile() {
  std::vector<unsigned char> file;
  auto put16 = [&](std::uint32_t v) {
    file.push_back(v & 0xff);
    file.push_back((v >> 8) & 0xff);
  };
  auto put32 = [&](std::uint32_t v) {
    put16(v & 0xffff);
    put16(v >> 16);
  };
  const int sizes[] = {16, 32};
  put16(0);
  put16(1);
  put16(2);
  std::uint32_t offset = 6 + 2 * 16;
  std::vector<std::uint32_t> lengths;
  for (int s : sizes) {
    const std::uint32_t mask_row = ((s + 31) / 32) * 4;
    const std::uint32_t length = 40 + s * s * 4 + mask_row * s;
    lengths.push_back(length);
    file.push_back(static_cast<unsigned char>(s));
    file.push_back(static_cast<unsigned char>(s));
    file.push_back(0);
    file.push_back(0);
    put16(1);
    put16(32);
    put32(length);
    put32(offset);
    offset += length;
  }
  for (int s : sizes) {
    put32(40);
    put32(s);
    put32(2 * s);
    put16(1);
    put16(32);
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    for (int i = 0; i < s * s; ++i) put32(0xff2080c0u);
    const std::uint32_t mask_row = ((s + 31) / 32) * 4;
    for (std::uint32_t i = 0; i < mask_row * s; ++i) file.push_back(0);
  }
  return file;
}

}  // namespace test
