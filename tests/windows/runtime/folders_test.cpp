// The program's per-user folders, the library search through the first of
// them, and path texts for folders that code page 936 cannot write.
#include <gtest/gtest.h>
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "core/win.h"
#include "runtime/shell.h"
#include "support.h"

namespace {

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  EXPECT_TRUE(SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)));
  std::wstring folder = path ? path : L"";
  CoTaskMemFree(path);
  return folder;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(SpecialFolder, GivesTheSameFreshTextEachTimeAndTheFolderExists) {
  const struct {
    std::int32_t kind;
    std::wstring expected;
  } cases[] = {
      {shell::kLibraryFolder, KnownFolder(FOLDERID_LocalAppData) + L"\\Zanvo3GP\\"},
      {shell::kDataFolder, KnownFolder(FOLDERID_RoamingAppData) + L"\\Zanvo3GP"},
  };
  for (const auto& c : cases) {
    const runtime::Text first = shell::GetSpecialFolder(c.kind);
    const runtime::Text second = shell::GetSpecialFolder(c.kind);
    ASSERT_FALSE(first.empty()) << c.kind;
    ASSERT_FALSE(second.empty()) << c.kind;
    EXPECT_NE(first.bytes(), second.bytes()) << c.kind;
    EXPECT_STREQ(first.c_str(), second.c_str()) << c.kind;
    EXPECT_EQ(test::Utf16(first.c_str()), c.expected) << c.kind;
    EXPECT_TRUE(IsFolder(test::Utf16(first.c_str()))) << c.kind;
  }
}

TEST(SpecialFolder, OtherKindsGiveAnAbsentText) {
  for (std::int32_t kind : {0, 4, 9, 12, -1, 26}) {
    EXPECT_TRUE(shell::GetSpecialFolder(kind).absent()) << kind;
  }
}

// A folder named in Thai, which code page 936 cannot write: the text names it
// by its short form.
TEST(PathText, NamesAFolderOutsideCodePage936ByItsShortForm) {
  test::TempFolder parent(L"zv-names");
  const std::wstring folder = parent / L"\x0e01\x0e32\x0e23 data";  // การ data
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const runtime::Text text = runtime::win::PathText(folder);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(std::strchr(text.c_str(), '?'), nullptr) << text.c_str();
  const std::wstring named = test::Utf16(text.c_str());
  EXPECT_TRUE(IsFolder(named)) << text.c_str();
  wchar_t long_form[MAX_PATH] = {};
  ASSERT_NE(GetLongPathNameW(named.c_str(), long_form, MAX_PATH), 0u);
  EXPECT_EQ(_wcsicmp(long_form, folder.c_str()), 0);

  // A name the code page can write stays as it is.
  const std::wstring chinese = parent / L"\x6570\x636e";  // 数据
  ASSERT_TRUE(CreateDirectoryW(chinese.c_str(), nullptr));
  EXPECT_EQ(test::Utf16(runtime::win::PathText(chinese).c_str()), chinese);
}

using ProbeFunction = int(__cdecl*)();

// Bare-name loads find the library in the library folder, never one in the
// current directory.
TEST(LibrarySearch, FindsTheLibraryFolderAndNotTheCurrentDirectory) {
  const wchar_t kName[] = L"zvprobe.dll";
  const std::wstring built = test::ProgramFolder() + L"\\runtime_probe.dll";
  test::TempFolder current(L"zv-current");
  ASSERT_TRUE(CopyFileW(built.c_str(), (current / kName).c_str(), FALSE));
  wchar_t old_directory[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, old_directory);
  ASSERT_TRUE(SetCurrentDirectoryW(current.path().c_str()));

  EXPECT_EQ(LoadLibraryW(kName), nullptr) << "loaded from the current directory";

  const std::wstring library_folder = test::Utf16(shell::GetSpecialFolder(shell::kLibraryFolder).c_str());
  const std::wstring planted = library_folder + kName;
  ASSERT_TRUE(CopyFileW(built.c_str(), planted.c_str(), FALSE));
  HMODULE module = LoadLibraryW(kName);
  EXPECT_NE(module, nullptr);
  if (module) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    EXPECT_EQ(_wcsicmp(path, planted.c_str()), 0) << test::Gbk(path);
    FARPROC address = GetProcAddress(module, "ZanvoProbe");
    ASSERT_NE(address, nullptr);
    ProbeFunction probe = nullptr;
    std::memcpy(&probe, &address, sizeof(probe));
    EXPECT_EQ(probe(), 936);
    FreeLibrary(module);
  }
  SetCurrentDirectoryW(old_directory);
  DeleteFileW(planted.c_str());
}

}  // namespace
