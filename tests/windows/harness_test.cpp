// The harness itself: a Windows program runs under Wine with code page 936,
// a display, and a Chinese title that reads back as written.
#include <windows.h>

#include <gtest/gtest.h>

TEST(Harness, RunsWithCodePage936AndADisplay) {
  EXPECT_EQ(GetACP(), 936u);
  const wchar_t title[] = L"\x8fd0\x884c";  // 运行
  HWND window = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                10, 10, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  wchar_t read[16] = {};
  GetWindowTextW(window, read, 16);
  EXPECT_STREQ(read, title);
  DestroyWindow(window);
}
