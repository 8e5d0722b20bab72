// The real launcher program under Wine in hostile surroundings: libraries
// planted where it must not look, broken or locked files where it writes,
// user folders it cannot name, and a flood of clicks. Each run must end with
// the program alive and answering, or ended cleanly, and with every file that
// lay on disk unchanged.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher_process.h"
#include "wine_gtest.h"

namespace {

// Paths handed in by the build.
std::wstring g_launcher, g_mark_target, g_engine, g_dogmax, g_planted_engine, g_no_entry_engine;

const wchar_t kEngineFileName[] = L"SkinH_EL.dll";

std::wstring Without(const std::wstring& folder_with_backslash) {
  return folder_with_backslash.substr(0, folder_with_backslash.size() - 1);
}

struct Handle {
  HANDLE value = nullptr;
  ~Handle() {
    if (value && value != INVALID_HANDLE_VALUE) CloseHandle(value);
  }
};

// The program's window once shown, after `expected_messages` message boxes
// that came first and were answered like a user would; null when the
// program ended without a window, which it must then have done cleanly.
HWND WaitForWindowAfterMessages(e2e::LauncherProcess& launcher, int expected_messages) {
  int messages = 0;
  const HWND window = launcher.WaitForWindow(90000, &messages);
  EXPECT_EQ(messages, expected_messages) << "message boxes before the window";
  if (window == nullptr) {
    EXPECT_EQ(launcher.ExitCode(0), 0) << "ended without its window, and not cleanly";
  }
  return window;
}

// The shown program answers with no message box up, and ends cleanly when
// its window is closed.
void ExpectAnswersAndClosesCleanly(e2e::LauncherProcess& launcher) {
  EXPECT_TRUE(launcher.Responsive());
  EXPECT_TRUE(e2e::DialogsOf(launcher.id()).empty()) << "a message box is up";
  EXPECT_EQ(launcher.CloseAndWait(), 0);
}

// The program is up with its window shown and answering (and then closes
// cleanly), or it has already ended cleanly. No message box comes.
void ExpectAliveOrCleanlyEnded(e2e::LauncherProcess& launcher) {
  ASSERT_TRUE(launcher.started());
  if (WaitForWindowAfterMessages(launcher, 0)) ExpectAnswersAndClosesCleanly(launcher);
}

// A file as it lay on disk: its bytes and attributes.
struct FileState {
  std::vector<unsigned char> bytes;
  DWORD attributes;
  bool operator==(const FileState& other) const { return bytes == other.bytes && attributes == other.attributes; }
};
FileState StateOf(const std::wstring& path) { return {e2e::ReadFileBytes(path), GetFileAttributesW(path.c_str())}; }

// Whether some process has `path` loaded as a module: a file mapped as an
// image cannot be opened for writing, whatever sharing is offered. Opening
// it this way changes nothing in it.
bool LoadedAsModule(const std::wstring& path) {
  Handle file;
  file.value = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
  return file.value == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION;
}

// Each test from empty program folders and from an install folder of its own
// holding the launcher and the stand-in converter.
class LauncherRun : public ::testing::Test {
 protected:
  void SetUp() override {
    e2e::EndStrayPrograms();
    e2e::ClearProgramFolders();
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "_" + test->name();
    for (auto& c : name)
      if (c == '/') c = '_';
    install_ = e2e::MakeInstallFolder(L"C:\\robustness", name, g_launcher, g_mark_target);
    ASSERT_FALSE(install_.empty());
  }
  void TearDown() override {
    e2e::EndStrayPrograms();
    e2e::ClearProgramFolders();
  }

  std::wstring launcher() const { return install_ + L"\\Zanvo3GP.exe"; }
  static std::wstring library() { return e2e::LibraryFolder() + kEngineFileName; }
  static std::wstring skin_file() { return e2e::DataFolder() + L"\\dogmax.she"; }

  std::wstring install_;
};

// ---------------------------------------------------------------------------
// The engine library is taken only from where the program put it or from the
// program's own folder, never from the current directory.

struct SearchCase {
  const char* name;
  bool library_folder_usable;
};

class LibrarySearch : public LauncherRun, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(LibrarySearch, PlantedLibraryInTheWorkingFolderIsNeverLoaded) {
  const std::wstring planted_folder = install_ + L"\\working";
  ASSERT_TRUE(CreateDirectoryW(planted_folder.c_str(), nullptr));
  const std::wstring planted = planted_folder + L"\\" + kEngineFileName;
  ASSERT_TRUE(CopyFileW(g_planted_engine.c_str(), planted.c_str(), FALSE));
  const std::wstring mark = planted_folder + L"\\planted.mark";
  const FileState planted_before = StateOf(planted);

  const std::wstring library_folder = Without(e2e::LibraryFolder());
  if (GetParam().library_folder_usable) {
    ASSERT_TRUE(CreateDirectoryW(library_folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(g_engine.c_str(), library().c_str(), FALSE));
  } else {
    ASSERT_TRUE(e2e::WriteFileBytes(library_folder, {'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'l', 'd', 'e', 'r'}));
  }
  const FileState library_before = StateOf(GetParam().library_folder_usable ? library() : library_folder);

  e2e::LauncherProcess process(launcher(), planted_folder);
  ASSERT_TRUE(process.started());
  ASSERT_NE(process.WaitForWindow(), nullptr);
  // Answering means the creation handler, and with it the attach, is done.
  ASSERT_TRUE(process.Responsive());
  EXPECT_FALSE(e2e::FileExists(mark)) << "the planted library was loaded";
  EXPECT_FALSE(LoadedAsModule(planted));
  if (GetParam().library_folder_usable) {
    EXPECT_TRUE(LoadedAsModule(library())) << "the engine in place is used";
  }
  EXPECT_EQ(process.CloseAndWait(), 0);
  EXPECT_FALSE(e2e::FileExists(mark)) << "the planted library was loaded";
  EXPECT_TRUE(StateOf(planted) == planted_before);
  EXPECT_TRUE(StateOf(GetParam().library_folder_usable ? library() : library_folder) == library_before);
}

INSTANTIATE_TEST_SUITE_P(Cases, LibrarySearch,
                         ::testing::Values(SearchCase{"RealLibraryInPlace", true},
                                           SearchCase{"LibraryFolderUnusable", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Faults where the program writes and loads: one thing already on disk in
// its way. The program stays up or ends cleanly; the thing stays as it was.

enum class Place { kDataFolder, kSkinFile, kLibrary };
enum class Content { kText, kNoEntryLibrary };
enum class Engine { kFromLibraryFolder, kNone };

struct FaultCase {
  const char* name;
  Place place;
  Content content;
  DWORD attributes;
  Engine engine;  // whether the program ends up with the library in place loaded
  int engine_messages;  // the engine's own reports of a skin file it cannot use
};

class Faults : public LauncherRun, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(Faults, ProgramSurvivesAndLeavesTheFileAsItWas) {
  const FaultCase& fault = GetParam();
  std::wstring path;
  switch (fault.place) {
    case Place::kDataFolder: path = e2e::DataFolder(); break;
    case Place::kSkinFile: path = skin_file(); break;
    case Place::kLibrary: path = library(); break;
  }
  CreateDirectoryW(path.substr(0, path.find_last_of(L'\\')).c_str(), nullptr);
  const std::vector<unsigned char> junk = {'M', 'Z', 0x90, 0, 'n', 'o', 't', ' ', 'a', ' ', 'l', 'i', 'b', 0xff, 0};
  if (fault.content == Content::kNoEntryLibrary) {
    ASSERT_TRUE(CopyFileW(g_no_entry_engine.c_str(), path.c_str(), FALSE));
  } else {
    ASSERT_TRUE(e2e::WriteFileBytes(path, junk));
  }
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), fault.attributes));
  const FileState before = StateOf(path);
  const FILETIME written_before = e2e::LastWriteTime(path);

  e2e::LauncherProcess process(launcher(), install_);
  ASSERT_TRUE(process.started());
  // The skin is attached before the window shows, so the engine's report
  // comes first.
  if (WaitForWindowAfterMessages(process, fault.engine_messages) != nullptr) {
    EXPECT_EQ(LoadedAsModule(library()), fault.engine == Engine::kFromLibraryFolder);
    ExpectAnswersAndClosesCleanly(process);
  }
  EXPECT_TRUE(StateOf(path) == before) << "the file in the way was changed";
  const FILETIME written_after = e2e::LastWriteTime(path);
  EXPECT_EQ(CompareFileTime(&written_before, &written_after), 0);
  if (fault.place != Place::kLibrary) {
    EXPECT_EQ(e2e::ReadFileBytes(library()), e2e::ReadFileBytes(g_engine)) << "the library is still put in place";
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Faults,
    ::testing::Values(
        // A regular file where the data folder should be: no skin file can be written.
        FaultCase{"DataFolderIsAFile", Place::kDataFolder, Content::kText, FILE_ATTRIBUTE_NORMAL,
                  Engine::kFromLibraryFolder, 1},
        // The engine then reads the old bytes, which are no skin file.
        FaultCase{"ReadOnlySkinFile", Place::kSkinFile, Content::kText, FILE_ATTRIBUTE_READONLY,
                  Engine::kFromLibraryFolder, 1},
        // No engine: nothing attaches and nothing reports.
        FaultCase{"LibraryIsJunk", Place::kLibrary, Content::kText, FILE_ATTRIBUTE_NORMAL, Engine::kNone, 0},
        FaultCase{"LibraryWithoutEntryPoint", Place::kLibrary, Content::kNoEntryLibrary, FILE_ATTRIBUTE_NORMAL,
                  Engine::kFromLibraryFolder, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// User folders whose names code page 936 cannot write.

const wchar_t kShellFoldersKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Points one of the user's shell folders elsewhere and restores it afterwards.
class ShellFolderOverride {
 public:
  ShellFolderOverride(const wchar_t* value_name, const std::wstring& folder) : name_(value_name) {
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_) !=
        ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    DWORD size = 0;
    if (RegQueryValueExW(key_, name_, nullptr, &old_type_, nullptr, &size) == ERROR_SUCCESS) {
      old_data_.resize(size);
      had_value_ = RegQueryValueExW(key_, name_, nullptr, &old_type_, old_data_.data(), &size) == ERROR_SUCCESS;
    }
    set_ = RegSetValueExW(key_, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                          static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }
  ~ShellFolderOverride() {
    if (!key_) return;
    if (had_value_) {
      RegSetValueExW(key_, name_, 0, old_type_, old_data_.data(), static_cast<DWORD>(old_data_.size()));
    } else {
      RegDeleteValueW(key_, name_);
    }
    RegCloseKey(key_);
  }
  ShellFolderOverride(const ShellFolderOverride&) = delete;
  ShellFolderOverride& operator=(const ShellFolderOverride&) = delete;
  bool set() const { return set_; }

 private:
  const wchar_t* name_;
  HKEY key_ = nullptr;
  DWORD old_type_ = 0;
  std::vector<BYTE> old_data_;
  bool had_value_ = false;
  bool set_ = false;
};

bool WritableIn936(const std::wstring& text) {
  BOOL defaulted = FALSE;
  WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, nullptr, 0, nullptr, &defaulted);
  return !defaulted;
}

using UserFolder = LauncherRun;

TEST_F(UserFolder, NameOutsideCodePage936) {
  // Hangul and Thai: no code page 936 bytes for these.
  const std::wstring profile = install_ + L"\\\xd55c\xae00\x0e01";
  ASSERT_FALSE(WritableIn936(profile));
  const std::wstring roaming = profile + L"\\Roaming", local = profile + L"\\Local";
  ASSERT_TRUE(CreateDirectoryW(profile.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(roaming.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(local.c_str(), nullptr));
  const std::vector<std::wstring> kept = {roaming + L"\\keep.txt", local + L"\\keep.txt"};
  for (const auto& file : kept) ASSERT_TRUE(e2e::WriteFileBytes(file, {'k', 'e', 'e', 'p'}));

  {
    ShellFolderOverride roaming_override(L"AppData", roaming);
    ShellFolderOverride local_override(L"Local AppData", local);
    ASSERT_TRUE(roaming_override.set() && local_override.set());
    ASSERT_EQ(e2e::DataFolder(), roaming + L"\\Zanvo3GP") << "the prefix does not take the folder";
    ASSERT_EQ(e2e::LibraryFolder(), local + L"\\Zanvo3GP\\");

    e2e::LauncherProcess process(launcher(), install_);
    ExpectAliveOrCleanlyEnded(process);
    for (const auto& file : kept) EXPECT_EQ(e2e::ReadFileBytes(file), (std::vector<unsigned char>{'k', 'e', 'e', 'p'}));
    // Whatever it did manage to write is whole.
    const std::wstring library_there = local + L"\\Zanvo3GP\\SkinH_EL.dll";
    if (e2e::FileExists(library_there)) {
      EXPECT_EQ(e2e::ReadFileBytes(library_there), e2e::ReadFileBytes(g_engine));
    }
    const std::wstring skin_there = roaming + L"\\Zanvo3GP\\dogmax.she";
    if (e2e::FileExists(skin_there)) {
      EXPECT_EQ(e2e::ReadFileBytes(skin_there), e2e::ReadFileBytes(g_dogmax));
    }
  }
  EXPECT_NE(e2e::DataFolder(), roaming + L"\\Zanvo3GP") << "the user's folder is restored";
}

// ---------------------------------------------------------------------------
// A flood of clicks on the run button: every one runs the converter once.

using Clicks = LauncherRun;

TEST_F(Clicks, TwoHundredRapidClicksRunTheTargetTwoHundredTimes) {
  constexpr size_t kClicks = 200;
  e2e::LauncherProcess process(launcher(), install_);
  ASSERT_TRUE(process.started());
  HWND window = process.WaitForWindow();
  ASSERT_NE(window, nullptr);
  HWND button = FindWindowExW(window, nullptr, L"Button", nullptr);
  ASSERT_NE(button, nullptr);
  for (size_t click = 0; click < kClicks; ++click) {
    DWORD_PTR result = 0;
    ASSERT_NE(SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 120000, &result), 0) << "click " << click;
  }
  const std::wstring marks = install_ + L"\\marks.txt";
  auto runs = [&] { return e2e::ReadFileBytes(marks).size() / 4; };
  EXPECT_TRUE(e2e::WaitUntil([&] { return runs() >= kClicks; }, 1800000));
  EXPECT_EQ(runs(), kClicks);
  EXPECT_TRUE(process.Responsive());
  EXPECT_TRUE(e2e::DialogsOf(process.id()).empty());
  EXPECT_EQ(process.CloseAndWait(), 0);
}

}  // namespace

int main(int argc, char** argv) {
  wine_gtest::Init(&argc, argv);
  if (argc != 7) {
    fprintf(stderr, "usage: robustness_test LAUNCHER MARK_TARGET ENGINE DOGMAX PLANTED_ENGINE NO_ENTRY_ENGINE\n");
    return 2;
  }
  const auto wide = e2e::HostPath;
  g_launcher = wide(argv[1]);
  g_mark_target = wide(argv[2]);
  g_engine = wide(argv[3]);
  g_dogmax = wide(argv[4]);
  g_planted_engine = wide(argv[5]);
  g_no_entry_engine = wide(argv[6]);
  return RUN_ALL_TESTS();
}
