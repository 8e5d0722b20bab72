// Running programs through the shell.
#include "runtime/shell.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "support.h"

namespace {
using runtime::Given;
using runtime::Omitted;
using runtime::Text;

std::wstring MarkOf(const std::wstring& folder) {
  const std::string bytes = test::ReadAll(folder + L"\\runtime_mark.txt");
  if (bytes == "<missing>") return L"";
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

// Calls the shell from a folder other than the program's, so that only the
// working folder the layer passes can lead the shell to the program.
class ShellTest : public testing::Test {
 protected:
  void SetUp() override {
    GetCurrentDirectoryW(MAX_PATH, old_directory_);
    ASSERT_TRUE(SetCurrentDirectoryW(elsewhere_.path().c_str()));
    DeleteFileW((test::ProgramFolder() + L"\\runtime_mark.txt").c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryW(old_directory_);
    DeleteFileW((test::ProgramFolder() + L"\\runtime_mark.txt").c_str());
  }
  test::TempFolder elsewhere_{L"zv-elsewhere"};
  wchar_t old_directory_[MAX_PATH] = {};
};

TEST_F(ShellTest, RunsABareNameFromTheProgramsFolder) {
  const Text none;
  const std::int32_t unused = 0;
  EXPECT_NE(shell::ExecuteShellOperation(Given(shell::kRunOperation), Given(Text("runtime_mark.exe")),
                                         Omitted(none), Omitted(none), Omitted(unused)),
            0);
  const std::wstring folder = test::ProgramFolder();
  ASSERT_TRUE(test::WaitUntil([&] { return !MarkOf(folder).empty(); }));
  const std::wstring mark = MarkOf(folder);
  const std::wstring path = mark.substr(0, mark.find(L'\n'));
  EXPECT_EQ(_wcsicmp(path.c_str(), (folder + L"\\runtime_mark.exe").c_str()), 0);
  EXPECT_EQ(MarkOf(elsewhere_.path()), L"");
}

TEST_F(ShellTest, PassesGivenParametersAndFolder) {
  const std::wstring target = test::ProgramFolder() + L"\\runtime_mark.exe";
  const std::int32_t unused = 0;
  EXPECT_NE(shell::ExecuteShellOperation(Given(shell::kRunOperation), Given(Text(test::Gbk(target).c_str())),
                                         Given(Text("alpha beta")),
                                         Given(Text(test::Gbk(elsewhere_.path()).c_str())), Omitted(unused)),
            0);
  ASSERT_TRUE(test::WaitUntil([&] { return !MarkOf(elsewhere_.path()).empty(); }));
  const std::wstring mark = MarkOf(elsewhere_.path());
  EXPECT_NE(mark.find(L"alpha beta"), std::wstring::npos) << test::Gbk(mark);
}

BOOL CALLBACK CloseDialogsOfThisProcess(HWND window, LPARAM lparam) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && test::ClassName(window) == L"#32770" && IsWindowVisible(window)) {
    ++*reinterpret_cast<std::atomic<int>*>(lparam);
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

TEST_F(ShellTest, ATargetThatCannotRunGivesZeroWithoutADialog) {
  std::atomic<int> dialogs{0};
  std::atomic<bool> done{false};
  // Closes any error dialog, so that the call comes back to tell.
  std::thread watcher([&] {
    while (!done) {
      EnumWindows(&CloseDialogsOfThisProcess, reinterpret_cast<LPARAM>(&dialogs));
      Sleep(20);
    }
  });
  const Text none;
  const std::int32_t unused = 0;
  const struct {
    const char* name;
    std::int32_t kind;
    const char* target;
  } cases[] = {
      {"missing program", shell::kRunOperation, "zv_no_such_program.exe"},
      {"empty target", shell::kRunOperation, ""},
      {"other operation", 5, "runtime_mark.exe"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(shell::ExecuteShellOperation(Given(c.kind), Given(Text(c.target)), Omitted(none), Omitted(none),
                                           Omitted(unused)),
              0)
        << c.name;
  }
  done = true;
  watcher.join();
  EXPECT_EQ(dialogs, 0);
  EXPECT_EQ(MarkOf(test::ProgramFolder()), L"");
}

}  // namespace
