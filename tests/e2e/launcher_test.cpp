// The real launcher program under Wine, each test from a known state of its
// two folders and from an install folder of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher_process.h"
#include "wine_gtest.h"
#include "skinfile/frame.h"
#include "skinfile/paint.h"
#include "skinfile/reader.h"

namespace {

// Paths handed in by the build: the launcher, the stand-in converter, the
// built engine library and the built "dogmax.she".
std::wstring g_launcher, g_mark_target, g_engine, g_dogmax;

const wchar_t kButtonCaption[] = L"\x8fd0\x884cZanvo3GP\x624b\x673a\x89c6\x9891\x683c\x5f0f\x8f6c\x6362\x5668";
const wchar_t kTitle[] = L"Zanvo3GP\x624b\x673a\x89c6\x9891\x683c\x5f0f\x8f6c\x6362\x5668";

class LauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    e2e::EndStrayPrograms();
    e2e::ClearProgramFolders();
    install_ = e2e::MakeInstallFolder(L"C:\\e2e", ::testing::UnitTest::GetInstance()->current_test_info()->name(),
                                      g_launcher, g_mark_target);
    ASSERT_FALSE(install_.empty());
  }

  std::wstring launcher() const { return install_ + L"\\Zanvo3GP.exe"; }
  std::wstring library() const { return e2e::LibraryFolder() + L"SkinH_EL.dll"; }
  std::wstring skin_file() const { return e2e::DataFolder() + L"\\dogmax.she"; }
  size_t Marks() const { return e2e::ReadFileBytes(install_ + L"\\marks.txt").size() / 4; }

  std::wstring install_;
};

HWND ChildOfClass(HWND parent, const wchar_t* class_name) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (wcscmp(name, class_name) == 0) return child;
  }
  return nullptr;
}

skinfile::Color ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF pixel = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return skinfile::Rgb(GetRValue(pixel), GetGValue(pixel), GetBValue(pixel));
}

// Whether the screen shows `window` and its push button in `skin`: the frame
// outline, the caption beside the caption buttons, the button's border.
bool ShowsSkin(HWND window, HWND button, const skinfile::Skin& skin) {
  RECT outer;
  GetWindowRect(window, &outer);
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  const unsigned buttons = skinfile::kHasClose | ((style & WS_MINIMIZEBOX) ? skinfile::kHasMinimize : 0u) |
                           ((style & WS_MAXIMIZEBOX) ? skinfile::kHasMaximize : 0u);
  const skinfile::FrameLayout layout =
      skinfile::LayOutFrame(skin.metrics, outer.right - outer.left, outer.bottom - outer.top, buttons, true);
  int caption_x = layout.caption.right;
  for (const skinfile::Rect& b : layout.buttons) {
    if (!b.Empty() && b.left < caption_x) caption_x = b.left;
  }
  caption_x -= 4;
  const int caption_y = layout.caption.top;
  const skinfile::Color caption = ScreenPixel(outer.left + caption_x, outer.top + caption_y);
  RECT button_rect;
  GetWindowRect(button, &button_rect);
  return ScreenPixel(outer.left, outer.top + layout.height / 2) == skin.colors[skinfile::kFrameOutline] &&
         (caption == skinfile::CaptionColorAt(skin, layout, true, caption_x, caption_y) ||
          caption == skinfile::CaptionColorAt(skin, layout, false, caption_x, caption_y)) &&
         ScreenPixel((button_rect.left + button_rect.right) / 2, button_rect.top) ==
             skin.colors[skinfile::kButtonBorder];
}

RECT ClientRectOf(HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TEST_F(LauncherTest, FirstStartPlacesTheLibraryAndSkinsTheWindow) {
  e2e::LauncherProcess process(launcher());
  ASSERT_TRUE(process.started());
  HWND window = process.WaitForWindow();
  ASSERT_NE(window, nullptr);
  // The window exists only after the whole library has been written.
  EXPECT_EQ(e2e::ReadFileBytes(library()), e2e::ReadFileBytes(g_engine));
  ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ReadFileBytes(skin_file()) == e2e::ReadFileBytes(g_dogmax); }));

  const std::vector<unsigned char> dogmax = e2e::ReadFileBytes(g_dogmax);
  skinfile::Skin skin{};
  ASSERT_EQ(skinfile::Read(dogmax.data(), dogmax.size(), skin), skinfile::ReadStatus::kOk);
  HWND button = ChildOfClass(window, L"Button");
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(e2e::WaitUntil([&] { return ShowsSkin(window, button, skin); }))
      << "the window, its caption and its button in the dogmax skin";
  EXPECT_TRUE(e2e::DialogsOf(process.id()).empty()) << "no message box on a good start";
  EXPECT_EQ(process.CloseAndWait(), 0);
  EXPECT_TRUE(e2e::FileExists(library()));
  EXPECT_TRUE(e2e::FileExists(skin_file()));
}

TEST_F(LauncherTest, ExistingLibraryFileIsLeftAsItIs) {
  const std::vector<std::vector<unsigned char>> contents = {{}, {'j', 'u', 'n', 'k', 0, 1, 2}};
  for (const auto& content : contents) {
    CreateDirectoryW(e2e::LibraryFolder().c_str(), nullptr);
    ASSERT_TRUE(e2e::WriteFileBytes(library(), content));
    const FILETIME old_time{0x12345678u, 0x01d00000u};
    e2e::SetLastWriteTime(library(), old_time);

    e2e::LauncherProcess process(launcher());
    ASSERT_NE(process.WaitForWindow(), nullptr);
    EXPECT_EQ(e2e::ReadFileBytes(library()), content);
    const FILETIME now_time = e2e::LastWriteTime(library());
    EXPECT_EQ(CompareFileTime(&now_time, &old_time), 0);
    EXPECT_TRUE(e2e::DialogsOf(process.id()).empty());
    EXPECT_EQ(process.CloseAndWait(), 0);
  }
}

TEST_F(LauncherTest, UnwritableLibraryFolderStillShowsTheWindow) {
  // A file where the folder should be: no folder can be made, nothing written.
  const std::wstring folder = e2e::LibraryFolder().substr(0, e2e::LibraryFolder().size() - 1);
  ASSERT_TRUE(e2e::WriteFileBytes(folder, {'x'}));
  e2e::LauncherProcess process(launcher());
  HWND window = process.WaitForWindow();
  EXPECT_NE(window, nullptr);
  EXPECT_TRUE(e2e::DialogsOf(process.id()).empty()) << "no message of the program's own";
  EXPECT_EQ(process.CloseAndWait(), 0);
  e2e::RemoveTree(folder);
}

TEST_F(LauncherTest, WindowAsDescribed) {
  e2e::LauncherProcess process(launcher());
  HWND window = process.WaitForWindow();
  ASSERT_NE(window, nullptr);
  wchar_t title[64] = {};
  GetWindowTextW(window, title, 64);
  EXPECT_STREQ(title, kTitle);
  // The window is made 510 x 312 at 50,50; the skin then keeps its client
  // area and its position, drawing a frame of its own around it.
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 50);
  EXPECT_EQ(rect.top, 50);
  RECT frame{0, 0, 0, 0};
  ASSERT_TRUE(AdjustWindowRectEx(&frame, GetWindowLongW(window, GWL_STYLE), FALSE,
                                 GetWindowLongW(window, GWL_EXSTYLE)));
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 510 - (frame.right - frame.left));
  EXPECT_EQ(client.bottom, 312 - (frame.bottom - frame.top));

  HWND button = ChildOfClass(window, L"Button");
  ASSERT_NE(button, nullptr);
  wchar_t caption[64] = {};
  GetWindowTextW(button, caption, 64);
  EXPECT_STREQ(caption, kButtonCaption);
  const RECT button_rect = ClientRectOf(button);
  EXPECT_EQ(button_rect.left, 159);
  EXPECT_EQ(button_rect.top, 255);
  EXPECT_EQ(button_rect.right, 359);
  EXPECT_EQ(button_rect.bottom, 278);

  // The web view's host is the window's other child, placed exactly as described.
  HWND web_view = nullptr;
  int children = 0;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    ++children;
    if (child != button) web_view = child;
  }
  EXPECT_EQ(children, 2);
  ASSERT_NE(web_view, nullptr);
  const RECT web_rect = ClientRectOf(web_view);
  EXPECT_EQ(web_rect.left, -8);
  EXPECT_EQ(web_rect.top, -12);
  EXPECT_EQ(web_rect.right, 512);
  EXPECT_EQ(web_rect.bottom, 254);

  EXPECT_EQ(process.CloseAndWait(), 0);
}

TEST_F(LauncherTest, EachClickRunsTheTargetFromTheLaunchersFolder) {
  e2e::LauncherProcess process(launcher());
  HWND window = process.WaitForWindow();
  ASSERT_NE(window, nullptr);
  HWND button = ChildOfClass(window, L"Button");
  ASSERT_NE(button, nullptr);
  SendMessageW(button, BM_CLICK, 0, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Marks() == 1; }));
  SendMessageW(button, BM_CLICK, 0, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Marks() == 2; }));

  // A target that cannot run: nothing shows, and the button still works.
  // (The last run may still be ending, its file still in use.)
  ASSERT_TRUE(e2e::WaitUntil([&] { return DeleteFileW((install_ + L"\\Z3GP.exe").c_str()) != 0; }));
  SendMessageW(button, BM_CLICK, 0, 0);
  EXPECT_TRUE(e2e::DialogsOf(process.id()).empty());
  ASSERT_TRUE(CopyFileW(g_mark_target.c_str(), (install_ + L"\\Z3GP.exe").c_str(), FALSE));
  SendMessageW(button, BM_CLICK, 0, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Marks() == 3; }));
  EXPECT_TRUE(e2e::DialogsOf(process.id()).empty());
  EXPECT_EQ(process.CloseAndWait(), 0);
}

TEST_F(LauncherTest, SecondCopyShowsItsOwnWindowAndWritesNoLibrary) {
  e2e::LauncherProcess first(launcher());
  HWND first_window = first.WaitForWindow();
  ASSERT_NE(first_window, nullptr);
  const FILETIME old_time{0x12345678u, 0x01d00000u};
  e2e::SetLastWriteTime(library(), old_time);

  e2e::LauncherProcess second(launcher());
  HWND second_window = second.WaitForWindow();
  ASSERT_NE(second_window, nullptr);
  EXPECT_NE(second_window, first_window);
  const FILETIME now_time = e2e::LastWriteTime(library());
  EXPECT_EQ(CompareFileTime(&now_time, &old_time), 0);
  EXPECT_EQ(second.CloseAndWait(), 0);
  EXPECT_EQ(first.CloseAndWait(), 0);
}

}  // namespace

int main(int argc, char** argv) {
  wine_gtest::Init(&argc, argv);
  if (argc != 5) {
    fprintf(stderr, "usage: launcher_test LAUNCHER MARK_TARGET ENGINE DOGMAX\n");
    return 2;
  }
  const auto wide = e2e::HostPath;
  g_launcher = wide(argv[1]);
  g_mark_target = wide(argv[2]);
  g_engine = wide(argv[3]);
  g_dogmax = wide(argv[4]);
  return RUN_ALL_TESTS();
}
