// Windows built from descriptions: geometry, texts, controls, events, the
// message loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "runtime/core.h"
#include "support.h"

namespace {
using runtime::ElementRecord;

// 测试窗口
const char kTitle[] = "\xb2\xe2\xca\xd4\xb4\xb0\xbf\xda";
// 运行
const char kCaption[] = "\xd4\xcb\xd0\xd0";
const wchar_t kWindowClass[] = L"Zanvo3GP.Window";

const std::vector<unsigned char>& IconFile() {
  static const std::vector<unsigned char> file = test::MakeIconFile();
  return file;
}

struct Seen {
  int created = 0;
  int children_at_created = -1;
  int clicks = 0;
};
Seen seen;

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

HWND FindTestWindow() { return test::FindOwnWindow(kWindowClass, test::Utf16(kTitle).c_str()); }

void OnCreated() {
  ++seen.created;
  HWND window = FindTestWindow();
  seen.children_at_created = window ? static_cast<int>(Children(window).size()) : -1;
}
void OnClicked() { ++seen.clicks; }

runtime::WindowDescription Description() {
  const auto& icon = IconFile();
  runtime::WindowDescription description;
  description.elements = {
      ElementRecord{runtime::kWindowKind,
                    "",
                    50,
                    50,
                    510,
                    312,
                    {{runtime::kCreatedEvent, &OnCreated}},
                    runtime::WindowProperties{kTitle, {icon.data(), icon.size()}}},
      ElementRecord{
          runtime::kWebViewKind, "web", -8, -12, 520, 266, {}, runtime::WebViewProperties{"about:blank"}},
      // A kind no library of the layer knows: skipped.
      ElementRecord{{runtime::Library::webview, 77}, "odd", 1, 2, 3, 4, {}, runtime::ButtonProperties{"x"}},
      ElementRecord{runtime::kButtonKind,
                    "run",
                    200,
                    240,
                    100,
                    28,
                    {{runtime::kClickedEvent, &OnClicked}},
                    runtime::ButtonProperties{kCaption}},
  };
  return description;
}

// Loads the description and closes the window at the end of the scope.
class LoadedWindow {
 public:
  explicit LoadedWindow(const runtime::WindowDescription& description) {
    seen = Seen{};
    loaded_ = core::LoadWindow(description);
    window_ = test::FindOwnWindow(kWindowClass, nullptr);
  }
  ~LoadedWindow() {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  std::int32_t loaded() const { return loaded_; }
  HWND get() const { return window_; }

 private:
  std::int32_t loaded_ = 0;
  HWND window_ = nullptr;
};

RECT ClientRectOf(HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void ExpectRect(const RECT& rect, int left, int top, int width, int height) {
  EXPECT_EQ(rect.left, left);
  EXPECT_EQ(rect.top, top);
  EXPECT_EQ(rect.right - rect.left, width);
  EXPECT_EQ(rect.bottom - rect.top, height);
}

TEST(Window, HasTheDescribedGeometryTextsAndControls) {
  LoadedWindow window(Description());
  ASSERT_NE(window.loaded(), 0);
  ASSERT_NE(window.get(), nullptr);
  EXPECT_TRUE(IsWindowVisible(window.get()));
  EXPECT_EQ(test::WindowText(window.get()), L"\x6d4b\x8bd5\x7a97\x53e3");  // 测试窗口

  RECT outer;
  ASSERT_TRUE(GetWindowRect(window.get(), &outer));
  ExpectRect(outer, 50, 50, 510, 312);
  EXPECT_FALSE(GetWindowLongW(window.get(), GWL_STYLE) & WS_THICKFRAME);

  const std::vector<HWND> children = Children(window.get());
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(test::ClassName(children[0]), L"Zanvo3GP.WebView");
  ExpectRect(ClientRectOf(children[0]), -8, -12, 520, 266);
  EXPECT_EQ(_wcsicmp(test::ClassName(children[1]).c_str(), L"Button"), 0);
  ExpectRect(ClientRectOf(children[1]), 200, 240, 100, 28);
  EXPECT_EQ(test::WindowText(children[1]), L"\x8fd0\x884c");  // 运行
  EXPECT_EQ(GetWindowLongW(children[1], GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
}

TEST(Window, CarriesBothIconSizes) {
  LoadedWindow window(Description());
  ASSERT_NE(window.get(), nullptr);
  const struct {
    WPARAM which;
    int size;
  } cases[] = {{ICON_BIG, GetSystemMetrics(SM_CXICON)}, {ICON_SMALL, GetSystemMetrics(SM_CXSMICON)}};
  for (const auto& c : cases) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(window.get(), WM_GETICON, c.which, 0));
    ASSERT_NE(icon, nullptr) << c.which;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info)) << c.which;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, c.size) << c.which;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }
}

TEST(Window, CreatedEventComesOnceAfterTheControls) {
  LoadedWindow window(Description());
  ASSERT_NE(window.get(), nullptr);
  test::PumpUntil([] { return false; }, 0.5);  // nothing more may come later
  EXPECT_EQ(seen.created, 1);
  EXPECT_EQ(seen.children_at_created, 2);
}

TEST(Window, EachClickCallsTheBoundRoutine) {
  LoadedWindow window(Description());
  ASSERT_NE(window.get(), nullptr);
  HWND button = Children(window.get()).back();
  for (int i = 0; i < 5; ++i) SendMessageW(button, BM_CLICK, 0, 0);
  EXPECT_EQ(seen.clicks, 5);
}

TEST(Window, NullTextsCountAsEmpty) {
  runtime::WindowDescription description;
  description.elements = {
      ElementRecord{runtime::kWindowKind,
                    nullptr,
                    60,
                    60,
                    300,
                    200,
                    {},
                    runtime::WindowProperties{nullptr, {nullptr, 0}}},
      ElementRecord{runtime::kButtonKind, nullptr, 10, 10, 80, 24, {}, runtime::ButtonProperties{nullptr}},
      ElementRecord{runtime::kWebViewKind, nullptr, 10, 40, 80, 80, {}, runtime::WebViewProperties{nullptr}},
  };
  LoadedWindow window(description);
  ASSERT_NE(window.get(), nullptr);
  EXPECT_EQ(test::WindowText(window.get()), L"");
  const std::vector<HWND> children = Children(window.get());
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(test::WindowText(children[0]), L"");
  EXPECT_EQ(SendMessageW(window.get(), WM_GETICON, ICON_BIG, 0), 0);
}

TEST(Window, WithoutAWindowElementNothingIsBuilt) {
  runtime::WindowDescription description;
  EXPECT_EQ(core::LoadWindow(description), 0);
  description.elements = {
      ElementRecord{runtime::kButtonKind, "b", 10, 10, 80, 24, {}, runtime::ButtonProperties{kCaption}}};
  EXPECT_EQ(core::LoadWindow(description), 0);
  EXPECT_EQ(test::FindOwnWindow(kWindowClass, nullptr), nullptr);
  EXPECT_EQ(core::RunMessageLoop(0), 0);  // returns: no window to wait for
}

// The loop returns once the window has been closed, whichever way.
TEST(MessageLoop, ReturnsWhenTheWindowIsClosed) {
  const struct {
    UINT message;
    WPARAM wparam;
  } closes[] = {{WM_CLOSE, 0}, {WM_SYSCOMMAND, SC_CLOSE}};
  for (const auto& close : closes) {
    LoadedWindow window(Description());
    ASSERT_NE(window.get(), nullptr) << close.message;
    ASSERT_TRUE(PostMessageW(window.get(), close.message, close.wparam, 0)) << close.message;
    EXPECT_EQ(core::RunMessageLoop(0), 0) << close.message;
    EXPECT_FALSE(IsWindow(window.get())) << close.message;
  }
}

}  // namespace

namespace {

// Real mouse clicks in quick succession, as fast as a user's double clicks:
// each one counts.
TEST(DesktopClicks, EachRealClickCallsTheBoundRoutine) {
  LoadedWindow window(Description());
  ASSERT_NE(window.get(), nullptr);
  // Other test programs may show windows meanwhile: stay above them.
  ASSERT_TRUE(SetWindowPos(window.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
  SetForegroundWindow(window.get());
  ASSERT_TRUE(test::PumpUntil([&] { return GetForegroundWindow() == window.get(); }, 10));
  HWND button = Children(window.get()).back();
  RECT rect;
  ASSERT_TRUE(GetWindowRect(button, &rect));
  ASSERT_TRUE(SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
  ASSERT_TRUE(test::PumpUntil(
      [&] {
        return WindowFromPoint(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}) == button;
      },
      10));

  constexpr int kClicks = 6;
  INPUT inputs[kClicks * 2] = {};
  for (int i = 0; i < kClicks * 2; ++i) {
    inputs[i].type = INPUT_MOUSE;
    inputs[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  }
  ASSERT_EQ(SendInput(kClicks * 2, inputs, sizeof(INPUT)), static_cast<UINT>(kClicks * 2));
  EXPECT_TRUE(test::PumpUntil([] { return seen.clicks >= kClicks; }, 30));
  test::PumpUntil([] { return false; }, 0.3);  // no extra click comes late
  EXPECT_EQ(seen.clicks, kClicks);
}

}  // namespace
