// Starting the real launcher program and finding its window, for the
// end-to-end tests.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// A path handed in on the command line (UTF-8) as Windows reads it; a host
// build path (/...) is reached through drive Z:.
std::wstring HostPath(const char* utf8);

// Polls `condition` until it holds or `timeout_ms` has passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms = 60000);

std::vector<unsigned char> ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::vector<unsigned char>& bytes);
bool FileExists(const std::wstring& path);
FILETIME LastWriteTime(const std::wstring& path);
void SetLastWriteTime(const std::wstring& path, FILETIME time);
void RemoveTree(const std::wstring& path);
std::wstring KnownFolder(const GUID& id);

// The launcher's two folders, as the runtime layer chooses them.
std::wstring LibraryFolder();  // ends with a backslash
std::wstring DataFolder();     // no trailing backslash

// Removes the launcher's two folders with all they hold.
void ClearProgramFolders();

// A fresh folder `root`\`name` (made with `root` if need be) holding
// `launcher` as Zanvo3GP.exe and `converter` as the run target Z3GP.exe;
// empty when it cannot be made.
std::wstring MakeInstallFolder(const std::wstring& root, const std::string& name, const std::wstring& launcher,
                               const std::wstring& converter);

// Ends every process left running from an earlier test of the launcher or
// of the stand-in converter, so that none holds files a test needs.
void EndStrayPrograms();

// A running copy of the launcher, started in `working_folder` (by default
// the folder of `exe`).
class LauncherProcess {
 public:
  explicit LauncherProcess(const std::wstring& exe, std::wstring working_folder = {});
  ~LauncherProcess();  // closes the window and, failing that, ends the process
  LauncherProcess(const LauncherProcess&) = delete;
  LauncherProcess& operator=(const LauncherProcess&) = delete;
  bool started() const { return process_ != nullptr; }
  bool ended() const { return WaitForSingleObject(process_, 0) != WAIT_TIMEOUT; }
  // The process's top-level window with the launcher's title, once shown;
  // null when it did not show in time or the process ended. With
  // `dialogs_answered`, message boxes of the process that come first are
  // answered with OK and counted there.
  HWND WaitForWindow(DWORD timeout_ms = 90000, int* dialogs_answered = nullptr);
  // The window is shown and its thread answers a message within a minute.
  bool Responsive() const;
  // Closes the window and returns the exit code, or -1 when it did not end.
  long CloseAndWait(DWORD timeout_ms = 60000);
  // The exit code once the process has ended within `timeout_ms`, else -1.
  long ExitCode(DWORD timeout_ms) const;
  DWORD id() const { return id_; }
  HANDLE handle() const { return process_; }

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
  HWND window_ = nullptr;
};

// The visible top-level window of `process_id` with the launcher's title, or
// null.
HWND FindLauncherWindow(DWORD process_id);

// Windows of `process_id`'s threads with class "#32770" (message boxes).
std::vector<HWND> DialogsOf(DWORD process_id);

}  // namespace e2e
