// The message box: text, title, error icon, owner; found and closed from a
// second thread as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "runtime/core.h"
#include "support.h"

namespace {
// 出错了
const char kTitle[] = "\xb3\xf6\xb4\xed\xc1\xcb";
// 找不到文件
const char kMessage[] = "\xd5\xd2\xb2\xbb\xb5\xbd\xce\xc4\xbc\xfe";

struct Dialog {
  std::wstring title;
  bool has_text = false;
  bool has_icon = false;
  bool error_icon = false;
  HWND owner = nullptr;
};

BOOL CALLBACK InspectChild(HWND child, LPARAM lparam) {
  auto& dialog = *reinterpret_cast<Dialog*>(lparam);
  if (_wcsicmp(test::ClassName(child).c_str(), L"Static") != 0) return TRUE;
  if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    dialog.has_icon = dialog.has_icon || icon != nullptr;
    dialog.error_icon =
        dialog.error_icon || (icon && icon == LoadIconW(nullptr, MAKEINTRESOURCEW(32513)));  // IDI_HAND
  } else if (test::WindowText(child) == L"\x627e\x4e0d\x5230\x6587\x4ef6") {  // 找不到文件
    dialog.has_text = true;
  }
  return TRUE;
}

// Shows the box on this thread while another thread looks at it and presses OK.
Dialog ShowAndInspect(std::int32_t& result) {
  Dialog dialog;
  std::atomic<bool> found{false};
  const DWORD owner_thread = GetCurrentThreadId();
  std::thread inspector([&] {
    HWND box = nullptr;
    test::WaitUntil([&] {
      box = test::FindOwnWindow(L"#32770", L"\x51fa\x9519\x4e86");  // 出错了
      return box && GetWindowThreadProcessId(box, nullptr) == owner_thread && IsWindowVisible(box);
    });
    if (!box) {
      return;
    }
    dialog.title = test::WindowText(box);
    dialog.owner = GetWindow(box, GW_OWNER);
    EnumChildWindows(box, &InspectChild, reinterpret_cast<LPARAM>(&dialog));
    found = true;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  result = core::ShowMessageBox(runtime::Text(kMessage), 16, runtime::Text(kTitle));
  inspector.join();
  EXPECT_TRUE(found);
  return dialog;
}

TEST(MessageBoxes, ShowsTitleTextAndErrorIcon) {
  std::int32_t result = 0;
  const Dialog dialog = ShowAndInspect(result);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dialog.title, L"\x51fa\x9519\x4e86");
  EXPECT_TRUE(dialog.has_text);
  EXPECT_TRUE(dialog.has_icon);
  EXPECT_TRUE(dialog.error_icon);
}

TEST(MessageBoxes, BelongsToTheActiveWindow) {
  HWND window = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                                nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  SetActiveWindow(window);
  ASSERT_EQ(GetActiveWindow(), window);
  std::int32_t result = 0;
  const Dialog dialog = ShowAndInspect(result);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dialog.owner, window);
  DestroyWindow(window);
}

}  // namespace
