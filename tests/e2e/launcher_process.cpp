#include "launcher_process.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace e2e {

const wchar_t kTitle[] = L"Zanvo3GP\x624b\x673a\x89c6\x9891\x683c\x5f0f\x8f6c\x6362\x5668";

std::wstring HostPath(const char* utf8) {
  std::wstring out(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &out[0], static_cast<int>(out.size()));
  out.pop_back();
  return !out.empty() && out[0] == L'/' ? L"Z:" + out : out;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeout_ms) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(20);
  }
  return true;
}

std::vector<unsigned char> ReadFileBytes(const std::wstring& path) {
  std::vector<unsigned char> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  unsigned char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.insert(bytes.end(), buffer, buffer + got);
  CloseHandle(file);
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::vector<unsigned char>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FILETIME LastWriteTime(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

void SetLastWriteTime(const std::wstring& path, FILETIME time) {
  HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  SetFileTime(file, nullptr, nullptr, &time);
  CloseHandle(file);
}

void RemoveTree(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    return;
  }
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

std::wstring KnownFolder(const GUID& id) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path))) result = path;
  CoTaskMemFree(path);
  return result;
}

std::wstring LibraryFolder() { return KnownFolder(FOLDERID_LocalAppData) + L"\\Zanvo3GP\\"; }
std::wstring DataFolder() { return KnownFolder(FOLDERID_RoamingAppData) + L"\\Zanvo3GP"; }

void ClearProgramFolders() {
  const std::wstring library_folder = LibraryFolder();
  RemoveTree(library_folder.substr(0, library_folder.size() - 1));
  RemoveTree(DataFolder());
}

std::wstring MakeInstallFolder(const std::wstring& root, const std::string& name, const std::wstring& launcher,
                               const std::wstring& converter) {
  const std::wstring folder = root + L"\\" + std::wstring(name.begin(), name.end());
  RemoveTree(folder);
  CreateDirectoryW(root.c_str(), nullptr);
  if (!CreateDirectoryW(folder.c_str(), nullptr) ||
      !CopyFileW(launcher.c_str(), (folder + L"\\Zanvo3GP.exe").c_str(), FALSE) ||
      !CopyFileW(converter.c_str(), (folder + L"\\Z3GP.exe").c_str(), FALSE))
    return {};
  return folder;
}

void EndStrayPrograms() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (_wcsicmp(entry.szExeFile, L"Zanvo3GP.exe") != 0 && _wcsicmp(entry.szExeFile, L"Z3GP.exe") != 0) continue;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
    if (!process) continue;
    TerminateProcess(process, 99);
    WaitForSingleObject(process, 20000);
    CloseHandle(process);
  }
  CloseHandle(snapshot);
}

LauncherProcess::LauncherProcess(const std::wstring& exe, std::wstring working_folder) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring command = L"\"" + exe + L"\"";
  if (working_folder.empty()) working_folder = exe.substr(0, exe.find_last_of(L"\\/"));
  if (CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, working_folder.c_str(), &startup,
                     &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
  }
}

LauncherProcess::~LauncherProcess() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_, 20000) == WAIT_TIMEOUT) TerminateProcess(process_, 99);
  }
  CloseHandle(process_);
}

namespace {
struct WindowSearch {
  DWORD process_id;
  HWND found;
};
BOOL CALLBACK FindTitledWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t title[64] = {};
  GetWindowTextW(window, title, 64);
  if (owner == search->process_id && IsWindowVisible(window) && wcscmp(title, kTitle) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindLauncherWindow(DWORD process_id) {
  WindowSearch search{process_id, nullptr};
  EnumWindows(FindTitledWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND LauncherProcess::WaitForWindow(DWORD timeout_ms, int* dialogs_answered) {
  std::vector<HWND> answered;
  WaitUntil([&] {
    if (dialogs_answered) {
      for (HWND dialog : DialogsOf(id_)) {
        if (std::find(answered.begin(), answered.end(), dialog) != answered.end()) continue;
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        answered.push_back(dialog);
      }
      *dialogs_answered = static_cast<int>(answered.size());
    }
    window_ = FindLauncherWindow(id_);
    return window_ != nullptr || ended();
  }, timeout_ms);
  return window_;
}

bool LauncherProcess::Responsive() const {
  // Not SMTO_ABORTIFHUNG: Wine deems a thread hung once it has not read its
  // queue for five seconds, which a start under emulation can take.
  DWORD_PTR result = 0;
  return window_ && IsWindowVisible(window_) &&
         SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result) != 0;
}

long LauncherProcess::CloseAndWait(DWORD timeout_ms) {
  if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
  return ExitCode(timeout_ms);
}

long LauncherProcess::ExitCode(DWORD timeout_ms) const {
  if (WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return static_cast<long>(code);
}

namespace {
struct DialogSearch {
  DWORD process_id;
  std::vector<HWND> found;
};
BOOL CALLBACK CollectDialogs(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<DialogSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t class_name[16] = {};
  GetClassNameW(window, class_name, 16);
  if (owner == search->process_id && wcscmp(class_name, L"#32770") == 0) search->found.push_back(window);
  return TRUE;
}
}  // namespace

std::vector<HWND> DialogsOf(DWORD process_id) {
  DialogSearch search{process_id, {}};
  EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace e2e
