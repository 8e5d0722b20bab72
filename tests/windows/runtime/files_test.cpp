// FileExists and WriteFileBytes on real files and folders.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "runtime/core.h"
#include "support.h"

namespace {

runtime::Text PathOf(const std::wstring& path) { return runtime::Text(test::Gbk(path).c_str()); }

runtime::ByteConstant Bytes(const std::string& bytes) {
  return runtime::ByteConstant{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()};
}

TEST(Files, FileExistsTellsFilesFromEverythingElse) {
  test::TempFolder folder(L"zv-exists");
  ASSERT_TRUE(test::WriteAll(folder / L"\x6587\x4ef6.bin", "x"));  // 文件.bin
  ASSERT_TRUE(CreateDirectoryW((folder / L"sub").c_str(), nullptr));
  const struct {
    const char* name;
    runtime::Text path;
    std::int32_t exists;
  } cases[] = {
      {"file with a Chinese name", PathOf(folder / L"\x6587\x4ef6.bin"), 1},
      {"folder", PathOf(folder / L"sub"), 0},
      {"missing file", PathOf(folder / L"none.bin"), 0},
      {"in a missing folder", PathOf(folder / L"none\\x.bin"), 0},
      {"empty", runtime::Text(""), 0},
      {"absent", runtime::Text(), 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(core::FileExists(c.path) != 0, c.exists != 0) << c.name;
  }
}

TEST(Files, WriteCreatesOrReplacesTheWholeFile) {
  test::TempFolder folder(L"zv-write");
  const std::string binary(
      "\x00\x01\xff\r\n\x1a"
      "end",
      9);
  const struct {
    const char* name;
    std::string old_content;  // "<none>": no file before
    std::string bytes;
  } cases[] = {
      {"new file", "<none>", binary},
      {"longer old file", std::string(5000, 'o'), "short"},
      {"shorter old file", "ab", std::string(70000, 'n')},
      {"no bytes", "old", ""},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::wstring path = folder / (L"\x6587\x4ef6" + std::to_wstring(n++) + L".bin");
    if (c.old_content != "<none>") {
      ASSERT_TRUE(test::WriteAll(path, c.old_content)) << c.name;
    }
    EXPECT_NE(core::WriteFileBytes(PathOf(path), Bytes(c.bytes)), 0) << c.name;
    EXPECT_EQ(test::ReadAll(path), c.bytes) << c.name;
  }
}

TEST(Files, WriteFailsHonestlyWhereNoFileCanBeWritten) {
  test::TempFolder folder(L"zv-nowrite");
  ASSERT_TRUE(test::WriteAll(folder / L"locked.bin", "keep"));
  ASSERT_TRUE(SetFileAttributesW((folder / L"locked.bin").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(test::WriteAll(folder / L"plain.bin", "file"));
  ASSERT_TRUE(CreateDirectoryW((folder / L"sub").c_str(), nullptr));
  const struct {
    const char* name;
    runtime::Text path;
  } cases[] = {
      {"read-only file", PathOf(folder / L"locked.bin")},
      {"missing folder", PathOf(folder / L"none\\x.bin")},
      {"folder in the way", PathOf(folder / L"sub")},
      {"file used as a folder", PathOf(folder / L"plain.bin\\x.bin")},
      {"empty path", runtime::Text("")},
      {"absent path", runtime::Text()},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(core::WriteFileBytes(c.path, Bytes("new")), 0) << c.name;
  }
  EXPECT_EQ(test::ReadAll(folder / L"locked.bin"), "keep");
  EXPECT_EQ(test::ReadAll(folder / L"plain.bin"), "file");
}

}  // namespace
