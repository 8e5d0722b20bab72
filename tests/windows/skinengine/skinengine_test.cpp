// SkinH_EL.dll under Wine: real windows of this thread, skinned by the real
// library, checked on the screen's pixels against what the skin file says
// (read with the portable reader from the same .she file).
// Usage: skinengine_test ENGINE_DLL SKINS_DIR [gtest options]
#include <windows.h>

#include <gtest/gtest.h>
#include <process.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "skin_test_support.h"
#include "skinfile/frame.h"
#include "skinfile/paint.h"
#include "wine_gtest.h"

using namespace skintest;
using skinfile::ButtonFace;
using skinfile::Color;
using skinfile::FrameLayout;
using skinfile::FrameLook;
using skinfile::Skin;

namespace {

std::wstring g_engineDll;
std::wstring g_skinsDir;
Engine* g_engine = nullptr;

std::wstring SkinPath(const wchar_t* name) { return g_skinsDir + L"\\" + name + L".she"; }

Skin LoadSkin(const wchar_t* name) {
  Skin skin{};
  EXPECT_TRUE(ReadSkinFile(SkinPath(name), skin)) << "cannot read " << SkinPath(name).c_str();
  return skin;
}

Engine::Result Attach(const std::wstring& path, const char* password = nullptr) {
  return g_engine->Attach(ToCodePage936(path).c_str(), password);
}

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

SIZE ClientSize(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return SIZE{r.right, r.bottom};
}

// A child's rectangle relative to its top-level window's top-left corner.
RECT RectInWindow(HWND child, HWND window) {
  RECT c = WindowRect(child), w = WindowRect(window);
  OffsetRect(&c, -w.left, -w.top);
  return c;
}

FrameLayout LayoutOf(const Skin& skin, HWND window) {
  const RECT r = WindowRect(window);
  return skinfile::LayOutFrame(skin.metrics, r.right - r.left, r.bottom - r.top,
                               skinfile::kHasClose | skinfile::kHasMaximize |
                                   skinfile::kHasMinimize,
                               false);
}

// The skin's picture of the window's frame; client pixels are not part of it.
constexpr std::uint32_t kNotPainted = 0xFF000000u;
std::vector<std::uint32_t> ExpectedFrame(const Skin& skin, const FrameLayout& layout,
                                         const FrameLook& look) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(layout.width) * layout.height,
                                    kNotPainted);
  skinfile::Canvas canvas{pixels.data(), 0, 0, layout.width, layout.height};
  skinfile::PaintFrame(skin, layout, look, canvas);
  return pixels;
}

// Frame pixels on screen that differ from the skin's picture (the title's
// text is left out); describes the first few.
int FrameMismatches(const Capture& shot, const std::vector<std::uint32_t>& expected,
                    const FrameLayout& layout, std::string* detail) {
  int mismatches = 0;
  for (int y = 0; y < layout.height; ++y) {
    for (int x = 0; x < layout.width; ++x) {
      const std::uint32_t want = expected[static_cast<std::size_t>(y) * layout.width + x];
      if (want == kNotPainted || layout.title.Contains(x, y)) continue;
      if (shot.At(x, y) == want) continue;
      if (++mismatches <= 5 && detail) {
        char line[96];
        std::snprintf(line, sizeof line, "(%d,%d) is %06X, skin says %06X; ", x, y,
                      static_cast<unsigned>(shot.At(x, y)), static_cast<unsigned>(want));
        *detail += line;
      }
    }
  }
  return mismatches;
}

bool ShowsFrame(HWND window, const Skin& skin, bool active, std::string* detail = nullptr) {
  const FrameLayout layout = LayoutOf(skin, window);
  const FrameLook look{active, skinfile::kNoButton, skinfile::kNoButton, false};
  return FrameMismatches(CaptureWindow(window), ExpectedFrame(skin, layout, look), layout,
                         detail) == 0;
}

// The window shows the skin's frame, active.
::testing::AssertionResult WaitForFrame(HWND window, const Skin& skin, bool active = true) {
  if (PumpUntil([&] { return ShowsFrame(window, skin, active); })) return ::testing::AssertionSuccess();
  std::string detail;
  ShowsFrame(window, skin, active, &detail);
  return ::testing::AssertionFailure() << skin.name << " frame not shown: " << detail;
}

// What the window shows once it has finished drawing: two captures alike.
bool Settled(HWND window, Capture& shot) {
  return PumpUntil([&] {
    const Capture first = CaptureWindow(window);
    PumpFor(30);
    shot = CaptureWindow(window);
    return first.pixels == shot.pixels;
  });
}

int Distance(Color a, Color b) {
  const int dr = std::abs(skinfile::RedOf(a) - skinfile::RedOf(b));
  const int dg = std::abs(skinfile::GreenOf(a) - skinfile::GreenOf(b));
  const int db = std::abs(skinfile::BlueOf(a) - skinfile::BlueOf(b));
  return dr > dg ? (dr > db ? dr : db) : (dg > db ? dg : db);
}

// Whether some pixel of `area` (capture coordinates) is within `tolerance`
// of `color` in every channel.
bool HasPixelNear(const Capture& shot, const RECT& area, Color color, int tolerance) {
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (Distance(shot.At(x, y), color) <= tolerance) return true;
  return false;
}

// A point of the push button's face away from its text and focus ring:
// near the left edge, halfway down.
POINT FaceSpot(HWND button) {
  const SIZE size = ClientSize(button);
  return POINT{8, size.cy / 2};
}

Color ButtonPixel(HWND button, POINT spot) {
  RECT r = WindowRect(button);
  return CaptureScreen(r).At(spot.x, spot.y);
}

bool ButtonShowsFace(HWND button, const Skin& skin, ButtonFace face) {
  const POINT spot = FaceSpot(button);
  const SIZE size = ClientSize(button);
  return ButtonPixel(button, spot) == skinfile::ButtonFaceColorAt(skin, face, spot.y, size.cy);
}

POINT CenterOf(HWND window) {
  const RECT r = WindowRect(window);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A screen point of the window, from window coordinates.
POINT ScreenPoint(HWND window, int x, int y) {
  const RECT r = WindowRect(window);
  return POINT{r.left + x, r.top + y};
}

POINT CenterOfCaptionButton(HWND window, const FrameLayout& layout, int button) {
  const skinfile::Rect& b = layout.buttons[button];
  return ScreenPoint(window, (b.left + b.right) / 2, (b.top + b.bottom) / 2);
}

// The pixel of a caption button beside its glyph, as the screen shows it
// and as the skin paints it for `look`.
struct CaptionButtonSpot {
  int x, y;
};
CaptionButtonSpot SpotOf(const FrameLayout& layout, int button) {
  const skinfile::Rect& b = layout.buttons[button];
  return CaptionButtonSpot{b.left + 3, (b.top + b.bottom) / 2};
}
Color ExpectedAt(const Skin& skin, const FrameLayout& layout, const FrameLook& look,
                 CaptionButtonSpot spot) {
  Color pixel = 0;
  skinfile::Canvas canvas{&pixel, spot.x, spot.y, 1, 1};
  skinfile::PaintFrame(skin, layout, look, canvas);
  return pixel;
}
bool CaptionButtonShows(HWND window, const Skin& skin, const FrameLayout& layout,
                        const FrameLook& look, int button) {
  const CaptionButtonSpot spot = SpotOf(layout, button);
  return CaptureWindow(window).At(spot.x, spot.y) == ExpectedAt(skin, layout, look, spot);
}

std::wstring FromCodePage936(const char* bytes) {
  const int n = MultiByteToWideChar(936, 0, bytes, -1, nullptr, 0);
  std::wstring out(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(936, 0, bytes, -1, &out[0], n);
  return out;
}

std::string Narrow(const std::wstring& text) { return ToCodePage936(text); }

std::wstring TempFolder(const wchar_t* leaf) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring dir = std::wstring(temp) + L"skinengine-test-" +
                     std::to_wstring(GetCurrentProcessId()) + L"\\";
  CreateDirectoryW(dir.c_str(), nullptr);
  dir += leaf;
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

// Screen positions that keep test windows apart.
constexpr POINT kFirst{60, 60};
constexpr POINT kSecond{520, 60};
constexpr POINT kThird{60, 420};

// Every built-in skin, each on a fresh window: caption, frame, background,
// button and label show the skin's colours, and none of them looks as the
// unskinned window did.
TEST(SkinEngine, EachBuiltInSkinDrawsTheWholeWindow) {
  const char* const passwords[] = {nullptr, "", "any password"};
  for (int i = 0; i < 8; ++i) {
    const wchar_t* name = kBuiltInSkins[i];
    SCOPED_TRACE(Narrow(name));
    const Skin skin = LoadSkin(name);
    TestWindow w(kFirst.x, kFirst.y);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(w.window()); }));
    PumpUntil([&] { return GetActiveWindow() == w.window(); });
    const SIZE clientBefore = ClientSize(w.window());
    Capture plain;
    ASSERT_TRUE(Settled(w.window(), plain));

    const Engine::Result result = Attach(SkinPath(name), passwords[i % 3]);
    EXPECT_EQ(result.returned, 1);
    EXPECT_TRUE(result.dialogs.empty());
    ASSERT_TRUE(WaitForFrame(w.window(), skin));

    // The window's own layout still fits: same client size.
    const SIZE clientAfter = ClientSize(w.window());
    EXPECT_EQ(clientAfter.cx, clientBefore.cx);
    EXPECT_EQ(clientAfter.cy, clientBefore.cy);

    const FrameLayout layout = LayoutOf(skin, w.window());
    const RECT buttonRect = RectInWindow(w.button(), w.window());
    const RECT disabledRect = RectInWindow(w.disabledButton(), w.window());
    const RECT labelRect = RectInWindow(w.label(), w.window());
    const SIZE buttonSize = ClientSize(w.button());
    const POINT face = FaceSpot(w.button());
    ASSERT_TRUE(PumpUntil([&] {
      return ButtonShowsFace(w.button(), skin, ButtonFace::kNormal) &&
             ButtonShowsFace(w.disabledButton(), skin, ButtonFace::kDisabled);
    })) << "button faces";
    const Capture shot = CaptureWindow(w.window());

    // Frame colours straight from the file.
    const int midY = layout.height / 2;
    EXPECT_EQ(shot.At(0, midY), skin.colors[skinfile::kFrameOutline]);
    EXPECT_EQ(shot.At(1, midY), skin.colors[skinfile::kFrameActive]);
    EXPECT_EQ(shot.At(layout.width - 2, midY), skin.colors[skinfile::kFrameActive]);
    EXPECT_EQ(shot.At(layout.width / 2, layout.height - 2), skin.colors[skinfile::kFrameActive]);
    // The caption between title and buttons, top and bottom rows.
    const int captionX = layout.buttons[skinfile::kMinimizeButton].left - 4;
    const int captionTop = layout.caption.top, captionBottom = layout.caption.bottom - 1;
    EXPECT_EQ(shot.At(captionX, captionTop),
              skinfile::CaptionColorAt(skin, layout, true, captionX, captionTop));
    EXPECT_EQ(shot.At(captionX, captionBottom),
              skinfile::CaptionColorAt(skin, layout, true, captionX, captionBottom));
    // The client background (the pattern, where the skin has one).
    for (const POINT p : {POINT{5, 100}, POINT{301, 7}, POINT{370, 190}, POINT{202, 97}}) {
      EXPECT_EQ(shot.At(layout.client.left + p.x, layout.client.top + p.y),
                skinfile::BackgroundAt(skin, p.x, p.y))
          << "background at " << p.x << "," << p.y;
    }
    // The push buttons: border and face.
    EXPECT_EQ(shot.At(buttonRect.left + buttonSize.cx / 2, buttonRect.top),
              skin.colors[skinfile::kButtonBorder]);
    EXPECT_EQ(shot.At(buttonRect.left + face.x, buttonRect.top + face.y),
              skinfile::ButtonFaceColorAt(skin, ButtonFace::kNormal, face.y, buttonSize.cy));
    EXPECT_EQ(shot.At(disabledRect.left + buttonSize.cx / 2, disabledRect.top),
              skin.colors[skinfile::kButtonBorderDisabled]);
    // Texts in the skin's colours: caption title, button caption, label.
    const RECT title = {layout.title.left, layout.title.top, layout.title.right,
                        layout.title.bottom};
    EXPECT_TRUE(HasPixelNear(shot, title, skin.colors[skinfile::kCaptionTextActive], 48));
    const RECT buttonText = {buttonRect.left + buttonSize.cx / 4, buttonRect.top + 4,
                             buttonRect.right - buttonSize.cx / 4, buttonRect.bottom - 4};
    EXPECT_TRUE(HasPixelNear(shot, buttonText, skin.colors[skinfile::kButtonText], 48));
    EXPECT_TRUE(HasPixelNear(shot, labelRect, skin.colors[skinfile::kControlText], 0));
    EXPECT_EQ(shot.At(labelRect.right - 4, labelRect.bottom - 2),
              skinfile::BackgroundAt(skin, labelRect.right - 4 - layout.client.left,
                                     labelRect.bottom - 2 - layout.client.top));

    // Unlike the window without a skin.
    EXPECT_NE(shot.At(captionX, captionTop + 2), plain.At(captionX, captionTop + 2));
    EXPECT_NE(shot.At(1, midY), plain.At(1, midY));
    EXPECT_NE(shot.At(layout.client.left + 5, layout.client.top + 100),
              plain.At(layout.client.left + 5, layout.client.top + 100));
    EXPECT_NE(shot.At(buttonRect.left + face.x, buttonRect.top + face.y),
              plain.At(buttonRect.left + face.x, buttonRect.top + face.y));
  }
}

// The push button's faces follow the pointer and the keyboard, and its
// clicks still reach the parent.
TEST(SkinEngine, PushButtonFacesFollowPointerAndKeyboard) {
  const Skin skin = LoadSkin(L"dogmax");
  TestWindow w(kFirst.x, kFirst.y);
  ASSERT_EQ(Attach(SkinPath(L"dogmax")).returned, 1);
  ASSERT_TRUE(WaitForFrame(w.window(), skin));
  const HWND button = w.button();
  const auto shows = [&](ButtonFace face) {
    return PumpUntil([&] { return ButtonShowsFace(button, skin, face); });
  };
  ASSERT_TRUE(shows(ButtonFace::kNormal));

  const POINT center = CenterOf(button);
  MoveMouse(center.x, center.y);
  EXPECT_TRUE(shows(ButtonFace::kHot)) << "hot";
  MouseButton(true);
  EXPECT_TRUE(shows(ButtonFace::kPressed)) << "pressed";
  MouseButton(false);
  EXPECT_TRUE(PumpUntil([&] { return w.clicks() == 1; })) << "click reached the parent";
  EXPECT_TRUE(shows(ButtonFace::kHot)) << "hot after the click";

  const RECT client = WindowRect(w.window());
  MoveMouse(client.left + 300, client.top + 100);
  EXPECT_TRUE(shows(ButtonFace::kNormal)) << "normal once the pointer left";

  // Focus: a ring in the skin's focus colour, gone with the focus.
  const SIZE size = ClientSize(button);
  const int ring = skinfile::FocusRingInset(skin);
  const POINT ringSpot{size.cx / 5, ring};
  SetFocus(button);
  EXPECT_TRUE(PumpUntil([&] {
    return ButtonPixel(button, ringSpot) == skin.colors[skinfile::kButtonFocus];
  })) << "focus ring";
  // The keyboard still presses it.
  Key(VK_SPACE, true);
  EXPECT_TRUE(shows(ButtonFace::kPressed)) << "pressed by the space bar";
  Key(VK_SPACE, false);
  EXPECT_TRUE(PumpUntil([&] { return w.clicks() == 2; })) << "keyboard click";
  SetFocus(w.window());
  EXPECT_TRUE(PumpUntil([&] {
    return ButtonPixel(button, ringSpot) ==
           skinfile::ButtonFaceColorAt(skin, ButtonFace::kNormal, ring, size.cy);
  })) << "no ring without the focus";

  // Disabled, then enabled again.
  EnableWindow(button, FALSE);
  EXPECT_TRUE(shows(ButtonFace::kDisabled));
  EnableWindow(button, TRUE);
  EXPECT_TRUE(shows(ButtonFace::kNormal));
}

// Caption buttons: hot and pressed looks; a press dragged off the button
// does nothing; released on it, the button does its job.
TEST(SkinEngine, CaptionButtonsCloseMinimiseAndMaximise) {
  const Skin skin = LoadSkin(L"longhorn");  // flat caption buttons: at rest only a glyph
  TestWindow closing(kFirst.x, kFirst.y);
  TestWindow minimising(kSecond.x, kSecond.y);
  TestWindow maximising(kThird.x, kThird.y);
  SetForegroundWindow(closing.window());
  ASSERT_EQ(Attach(SkinPath(L"longhorn")).returned, 1);
  ASSERT_TRUE(WaitForFrame(closing.window(), skin));
  const HWND window = closing.window();
  const FrameLayout layout = LayoutOf(skin, window);
  const int close = skinfile::kCloseButton;
  const FrameLook rest{true, skinfile::kNoButton, skinfile::kNoButton, false};
  const FrameLook hot{true, close, skinfile::kNoButton, false};
  const FrameLook pressed{true, close, close, false};
  EXPECT_NE(ExpectedAt(skin, layout, rest, SpotOf(layout, close)),
            ExpectedAt(skin, layout, hot, SpotOf(layout, close)));
  EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0,
                         MAKELPARAM(CenterOfCaptionButton(window, layout, close).x,
                                    CenterOfCaptionButton(window, layout, close).y)),
            HTCLOSE);

  const POINT onClose = CenterOfCaptionButton(window, layout, close);
  MoveMouse(onClose.x, onClose.y);
  EXPECT_TRUE(PumpUntil([&] { return CaptionButtonShows(window, skin, layout, hot, close); }))
      << "hot close button";
  MouseButton(true);
  EXPECT_TRUE(PumpUntil([&] { return CaptionButtonShows(window, skin, layout, pressed, close); }))
      << "pressed close button";
  const POINT offButton = ScreenPoint(window, layout.buttons[skinfile::kMinimizeButton].left - 40,
                                      layout.caption.top + 5);
  MoveMouse(offButton.x, offButton.y);
  EXPECT_TRUE(PumpUntil([&] { return CaptionButtonShows(window, skin, layout, rest, close); }))
      << "dragged off: at rest";
  MoveMouse(onClose.x, onClose.y);
  EXPECT_TRUE(PumpUntil([&] { return CaptionButtonShows(window, skin, layout, pressed, close); }))
      << "back on: pressed again";
  MouseButton(false);
  EXPECT_TRUE(PumpUntil([&] { return closing.destroyed(); })) << "closed from the caption";

  // Minimise.
  const HWND second = minimising.window();
  SetForegroundWindow(second);
  const FrameLayout secondLayout = LayoutOf(skin, second);
  const POINT onMinimise = CenterOfCaptionButton(second, secondLayout, skinfile::kMinimizeButton);
  MoveMouse(onMinimise.x, onMinimise.y);
  MouseButton(true);
  MouseButton(false);
  EXPECT_TRUE(PumpUntil([&] { return IsIconic(second) != FALSE; })) << "minimised";
  ShowWindow(second, SW_RESTORE);
  EXPECT_TRUE(PumpUntil([&] { return !IsIconic(second); }));
  const POINT inClient = ScreenPoint(second, 200, 150);
  MoveMouse(inClient.x, inClient.y);
  EXPECT_TRUE(WaitForFrame(second, skin, GetActiveWindow() == second)) << "restored, skinned";

  // Maximise and restore.
  const HWND third = maximising.window();
  SetForegroundWindow(third);
  const POINT onMaximise =
      CenterOfCaptionButton(third, LayoutOf(skin, third), skinfile::kMaximizeButton);
  MoveMouse(onMaximise.x, onMaximise.y);
  MouseButton(true);
  MouseButton(false);
  EXPECT_TRUE(PumpUntil([&] { return IsZoomed(third) != FALSE; })) << "maximised";
  const POINT onRestore =
      CenterOfCaptionButton(third, LayoutOf(skin, third), skinfile::kMaximizeButton);
  MoveMouse(onRestore.x, onRestore.y);
  MouseButton(true);
  MouseButton(false);
  EXPECT_TRUE(PumpUntil([&] { return !IsZoomed(third); })) << "restored";
}

// One mouse event that moves the pointer to a screen point.
INPUT MoveTo(POINT p) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = (p.x * 65536 + w - 1) / w;
  input.mi.dy = (p.y * 65536 + h - 1) / h;
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return input;
}

INPUT Press(bool down) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  return input;
}

// Whether Wine's desktop process still runs. Under qemu it sometimes dies
// early; its cursor clipping window dies with it, and the X error Wine's move
// loop then meets ends the process.
bool DesktopProcessRuns() {
  DWORD pid = 0;
  GetWindowThreadProcessId(GetDesktopWindow(), &pid);
  HANDLE process = pid ? OpenProcess(SYNCHRONIZE, FALSE, pid) : nullptr;
  const bool runs = process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  if (process) CloseHandle(process);
  return runs;
}

// A press on the caption reaches the window as the system's move command;
// dragging the caption moves the window, which stays skinned.
TEST(SkinEngine, CaptionDragMovesTheWindow) {
  const Skin skin = LoadSkin(L"royale");
  TestWindow w(kFirst.x, kFirst.y);
  ASSERT_EQ(Attach(SkinPath(L"royale")).returned, 1);
  ASSERT_TRUE(WaitForFrame(w.window(), skin));
  const FrameLayout layout = LayoutOf(skin, w.window());
  const auto onCaption = [&] {
    return ScreenPoint(w.window(), layout.buttons[skinfile::kMinimizeButton].left - 30,
                       layout.caption.top + layout.caption.Height() / 2);
  };

  if (DesktopProcessRuns()) {
    const RECT before = WindowRect(w.window());
    const POINT from = onCaption();
    MoveMouse(from.x, from.y);
    // The whole drag is queued at once: the system's move loop, which runs
    // inside this thread once the press arrives, takes it from the queue.
    INPUT drag[] = {Press(true), MoveTo({from.x + 20, from.y + 15}), MoveTo({from.x + 40, from.y + 30}),
                    MoveTo({from.x + 60, from.y + 45}), MoveTo({from.x + 80, from.y + 60}), Press(false)};
    ASSERT_EQ(SendInput(6, drag, sizeof(INPUT)), 6u);
    EXPECT_TRUE(PumpUntil([&] {
      const RECT now = WindowRect(w.window());
      return now.left == before.left + 80 && now.top == before.top + 60;
    })) << "moved by the drag";
    EXPECT_TRUE(WaitForFrame(w.window(), skin));
  } else {
    std::printf("Wine's desktop process is gone: no real drag in this run\n");
  }

  // Wherever the window is now, a press on its caption is the move command.
  const POINT press = onCaption();
  MoveMouse(press.x, press.y);
  w.HoldMoveCommands(true);
  MouseButton(true);
  EXPECT_TRUE(PumpUntil([&] { return w.moveCommands() >= 1; })) << "SC_MOVE from the caption";
  MouseButton(false);
  PumpUntil([&] { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0; });
  w.HoldMoveCommands(false);
}

// An inactive window shows the skin's inactive caption and frame.
TEST(SkinEngine, InactiveWindowsShowTheInactiveLook) {
  const Skin skin = LoadSkin(L"homestead");
  TestWindow first(kFirst.x, kFirst.y);
  TestWindow second(kSecond.x, kSecond.y);
  SetForegroundWindow(first.window());
  ASSERT_EQ(Attach(SkinPath(L"homestead")).returned, 1);
  ASSERT_TRUE(WaitForFrame(first.window(), skin, true));
  ASSERT_TRUE(WaitForFrame(second.window(), skin, false));
  SetForegroundWindow(second.window());
  EXPECT_TRUE(WaitForFrame(first.window(), skin, false));
  EXPECT_TRUE(WaitForFrame(second.window(), skin, true));
  const FrameLayout layout = LayoutOf(skin, first.window());
  const Capture shot = CaptureWindow(first.window());
  EXPECT_EQ(shot.At(1, layout.height / 2), skin.colors[skinfile::kFrameInactive]);
}

// A second attach gives every skinned window the new skin and skins the
// windows that appeared since.
TEST(SkinEngine, SecondAttachReplacesTheSkinAndTakesNewWindows) {
  const Skin dogmax = LoadSkin(L"dogmax");
  const Skin pixos = LoadSkin(L"pixos");
  TestWindow first(kFirst.x, kFirst.y);
  ASSERT_EQ(Attach(SkinPath(L"dogmax")).returned, 1);
  ASSERT_TRUE(WaitForFrame(first.window(), dogmax));
  const SIZE client = ClientSize(first.window());

  TestWindow second(kSecond.x, kSecond.y);
  SetForegroundWindow(first.window());
  ASSERT_EQ(Attach(SkinPath(L"pixos")).returned, 1);
  EXPECT_TRUE(WaitForFrame(first.window(), pixos, GetActiveWindow() == first.window()));
  EXPECT_TRUE(WaitForFrame(second.window(), pixos, GetActiveWindow() == second.window()));
  EXPECT_EQ(ClientSize(first.window()).cx, client.cx);
  EXPECT_EQ(ClientSize(first.window()).cy, client.cy);
  for (const TestWindow* w : {&first, &second}) {
    EXPECT_TRUE(PumpUntil([&] { return ButtonShowsFace(w->button(), pixos, ButtonFace::kNormal); }))
        << "button in the new skin";
  }
}

// A stand-in for a web browser control's host: a child of a class the
// engine does not know, which paints its own page and holds a button.
LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HBRUSH page = CreateSolidBrush(RGB(0xFF, 0x00, 0xCC));
    RECT r;
    GetClientRect(window, &r);
    FillRect(dc, &r, page);
    DeleteObject(page);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Children the engine does not know, and everything inside them, draw
// themselves: they keep their window procedures and their pixels.
TEST(SkinEngine, UnknownChildrenAndTheirDescendantsAreLeftAlone) {
  WNDCLASSW page = {};
  page.lpfnWndProc = PageProc;
  page.hInstance = GetModuleHandleW(nullptr);
  page.lpszClassName = L"Shell Embedding";
  RegisterClassW(&page);
  const Skin skin = LoadSkin(L"skinh");
  TestWindow w(kFirst.x, kFirst.y);
  HWND host = CreateWindowExW(0, L"Shell Embedding", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                              200, 10, 160, 110, w.window(), nullptr, nullptr, nullptr);
  ASSERT_NE(host, nullptr);
  HWND inner = CreateWindowExW(0, L"BUTTON", L"Inside", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10,
                               60, 100, 30, host, nullptr, nullptr, nullptr);
  ASSERT_NE(inner, nullptr);
  const LONG_PTR hostProcedure = GetWindowLongPtrW(host, GWLP_WNDPROC);
  const LONG_PTR innerProcedure = GetWindowLongPtrW(inner, GWLP_WNDPROC);
  const LONG_PTR buttonProcedure = GetWindowLongPtrW(w.button(), GWLP_WNDPROC);
  Capture innerBefore;
  ASSERT_TRUE(Settled(w.window(), innerBefore));
  innerBefore = CaptureScreen(WindowRect(inner));

  ASSERT_EQ(Attach(SkinPath(L"skinh")).returned, 1);
  ASSERT_TRUE(WaitForFrame(w.window(), skin));
  EXPECT_EQ(GetWindowLongPtrW(host, GWLP_WNDPROC), hostProcedure);
  EXPECT_EQ(GetWindowLongPtrW(inner, GWLP_WNDPROC), innerProcedure);
  EXPECT_NE(GetWindowLongPtrW(w.button(), GWLP_WNDPROC), buttonProcedure) << "its own button is skinned";
  // The page keeps its colour, the button inside it its system look.
  EXPECT_TRUE(PumpUntil([&] {
    const RECT r = WindowRect(host);
    return CaptureScreen(r).At(5, 5) == skinfile::Rgb(0xFF, 0x00, 0xCC) &&
           CaptureScreen(WindowRect(inner)).pixels == innerBefore.pixels;
  }));
}

struct OtherThreadWindow {
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE quit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HWND window = nullptr;
};

unsigned __stdcall RunOtherThreadWindow(void* data) {
  auto* other = static_cast<OtherThreadWindow*>(data);
  {
    TestWindow w(kSecond.x, kSecond.y, L"Other thread");
    other->window = w.window();
    SetEvent(other->ready);
    while (MsgWaitForMultipleObjects(1, &other->quit, FALSE, INFINITE, QS_ALLINPUT) !=
           WAIT_OBJECT_0) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
  }
  return 0;
}

// Windows of other threads keep their look and their frame.
TEST(SkinEngine, WindowsOfOtherThreadsAreLeftAlone) {
  const Skin skin = LoadSkin(L"darkroyale");
  TestWindow mine(kFirst.x, kFirst.y);
  OtherThreadWindow other;
  HANDLE thread = reinterpret_cast<HANDLE>(
      _beginthreadex(nullptr, 0, &RunOtherThreadWindow, &other, 0, nullptr));
  ASSERT_EQ(WaitForSingleObject(other.ready, 10000), WAIT_OBJECT_0);
  SetForegroundWindow(mine.window());
  PumpUntil([&] { return GetActiveWindow() == mine.window(); });
  Capture before;
  ASSERT_TRUE(Settled(other.window, before));
  const SIZE client = ClientSize(other.window);
  // Subclassing would put another window procedure in place.
  const LONG_PTR procedure = GetWindowLongPtrW(other.window, GWLP_WNDPROC);

  ASSERT_EQ(Attach(SkinPath(L"darkroyale")).returned, 1);
  ASSERT_TRUE(WaitForFrame(mine.window(), skin));
  EXPECT_EQ(GetWindowLongPtrW(other.window, GWLP_WNDPROC), procedure);
  // Drawn anew by its own thread before this returns: it looks as before.
  RedrawWindow(other.window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Capture after;
  ASSERT_TRUE(Settled(other.window, after));
  EXPECT_EQ(after.pixels, before.pixels);
  EXPECT_EQ(ClientSize(other.window).cx, client.cx);
  EXPECT_EQ(ClientSize(other.window).cy, client.cy);

  SetEvent(other.quit);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  CloseHandle(other.ready);
  CloseHandle(other.quit);
}

// Paths as callers write them: doubled backslashes, Chinese folder names
// (one with a 0x5C byte inside a character in code page 936).
TEST(SkinEngine, PathsWithDoubledBackslashesAndChineseNames) {
  const Skin skin = LoadSkin(L"qq2008");
  const std::vector<std::uint8_t> bytes = ReadBytes(SkinPath(L"qq2008"));
  // 皮肤淺 (淺 is 9C 5C in code page 936)
  const std::wstring folder = TempFolder(L"\x76ae\x80a4\x6dfa");
  ASSERT_TRUE(WriteBytes(folder + L"\\qq2008.she", bytes));
  const std::wstring paths[] = {g_skinsDir + L"\\\\qq2008.she", folder + L"\\qq2008.she",
                                folder + L"\\\\qq2008.she"};
  for (const std::wstring& path : paths) {
    SCOPED_TRACE(Narrow(path));
    TestWindow w(kFirst.x, kFirst.y);
    const Engine::Result result = Attach(path, "");
    EXPECT_EQ(result.returned, 1);
    EXPECT_TRUE(result.dialogs.empty()) << (result.dialogs.empty() ? "" : Narrow(result.dialogs[0]));
    EXPECT_TRUE(WaitForFrame(w.window(), skin));
  }
}

struct BadFile {
  const wchar_t* name;                 // file name in the test folder
  const char* reason;                  // what the engine says, code page 936
  std::vector<std::uint8_t> (*make)(const std::vector<std::uint8_t>& good);
};

std::vector<std::uint8_t> Half(const std::vector<std::uint8_t>& good) {
  return std::vector<std::uint8_t>(good.begin(), good.begin() + good.size() / 2);
}

// Bad files: each shows the engine's message naming the file and leaves
// every window as it was, skinned or not.
TEST(SkinEngine, BadFilesShowAMessageAndChangeNothing) {
  // Reasons (code page 936): 文件不存在。这是一个文件夹，不是皮肤文件。文件是空的。
  // 文件不完整。这不是皮肤文件。文件已损坏。皮肤文件的版本不受支持。文件无法读取。
  const char* kMissing = "\xCE\xC4\xBC\xFE\xB2\xBB\xB4\xE6\xD4\xDA";
  const char* kFolder = "\xCE\xC4\xBC\xFE\xBC\xD0";
  const char* kEmpty = "\xCE\xC4\xBC\xFE\xCA\xC7\xBF\xD5\xB5\xC4";
  const char* kTruncated = "\xCE\xC4\xBC\xFE\xB2\xBB\xCD\xEA\xD5\xFB";
  const char* kNotSkin = "\xD5\xE2\xB2\xBB\xCA\xC7\xC6\xA4\xB7\xF4\xCE\xC4\xBC\xFE";
  const char* kCorrupted = "\xCE\xC4\xBC\xFE\xD2\xD1\xCB\xF0\xBB\xB5";
  const char* kVersion = "\xB0\xE6\xB1\xBE\xB2\xBB\xCA\xDC\xD6\xA7\xB3\xD6";
  const char* kUnreadable = "\xCE\xC4\xBC\xFE\xCE\xDE\xB7\xA8\xB6\xC1\xC8\xA1";
  using Bytes = std::vector<std::uint8_t>;
  const BadFile cases[] = {
      {L"missing.she", kMissing, nullptr},
      {L"folder.she", kFolder, nullptr},
      {L"empty.she", kEmpty, [](const Bytes&) { return Bytes{}; }},
      {L"truncated.she", kTruncated, Half},
      {L"header-cut.she", kTruncated,
       [](const Bytes& good) { return Bytes(good.begin(), good.begin() + 10); }},
      {L"wrong-magic.she", kNotSkin,
       [](const Bytes& good) {
         Bytes b = good;
         b[3] = 'X';
         return b;
       }},
      {L"text.she", kNotSkin,
       [](const Bytes&) {
         const char text[] = "name = \"not compiled\"\r\n";
         return Bytes(text, text + sizeof text - 1);
       }},
      {L"corrupted.she", kCorrupted,
       [](const Bytes& good) {
         Bytes b = good;
         b[b.size() / 2] ^= 0x20;
         return b;
       }},
      {L"trailing.she", kCorrupted,
       [](const Bytes& good) {
         Bytes b = good;
         b.insert(b.end(), {0, 0, 0, 0});
         return b;
       }},
      {L"newer.she", kVersion,
       [](const Bytes& good) {
         Bytes b = good;
         b[4] = 2;
         return b;
       }},
      {L"locked.she", kUnreadable, [](const Bytes& good) { return good; }},
  };

  const Skin skin = LoadSkin(L"dogmax");
  TestWindow skinned(kFirst.x, kFirst.y);
  ASSERT_EQ(Attach(SkinPath(L"dogmax")).returned, 1);
  ASSERT_TRUE(WaitForFrame(skinned.window(), skin));
  TestWindow plain(kSecond.x, kSecond.y);
  SetForegroundWindow(skinned.window());
  ASSERT_TRUE(WaitForFrame(skinned.window(), skin, true));

  const std::wstring folder = TempFolder(L"bad");
  const Bytes good = ReadBytes(SkinPath(L"dogmax"));
  ASSERT_FALSE(good.empty());
  // The title of the engine's box: 皮肤引擎
  const std::wstring title = FromCodePage936("\xC6\xA4\xB7\xF4\xD2\xFD\xC7\xE6");

  for (const BadFile& bad : cases) {
    SCOPED_TRACE(Narrow(bad.name));
    const std::wstring path = folder + L"\\" + bad.name;
    HANDLE lock = INVALID_HANDLE_VALUE;
    if (std::wstring(bad.name) == L"folder.she") {
      ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr) ||
                  GetLastError() == ERROR_ALREADY_EXISTS);
    } else if (bad.make) {
      ASSERT_TRUE(WriteBytes(path, bad.make(good)));
    }
    if (std::wstring(bad.name) == L"locked.she") {
      // Held open with no sharing: nobody else can read it.
      lock = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                         nullptr);
      ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    }
    Capture skinnedBefore, plainBefore;
    ASSERT_TRUE(Settled(skinned.window(), skinnedBefore));
    ASSERT_TRUE(Settled(plain.window(), plainBefore));
    const RECT skinnedRect = WindowRect(skinned.window()), plainRect = WindowRect(plain.window());

    const Engine::Result result = Attach(path, "secret");
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
    EXPECT_EQ(result.returned, 0);
    ASSERT_EQ(result.dialogs.size(), 1u) << "one message box";
    const std::wstring& dialog = result.dialogs[0];
    EXPECT_EQ(dialog.compare(0, title.size(), title), 0) << Narrow(dialog);
    EXPECT_NE(dialog.find(path), std::wstring::npos) << "names the file: " << Narrow(dialog);
    EXPECT_NE(dialog.find(FromCodePage936(bad.reason)), std::wstring::npos)
        << "says why: " << Narrow(dialog);

    const RECT skinnedAfter = WindowRect(skinned.window()), plainAfter = WindowRect(plain.window());
    EXPECT_TRUE(EqualRect(&skinnedRect, &skinnedAfter) != FALSE);
    EXPECT_TRUE(EqualRect(&plainRect, &plainAfter) != FALSE);
    EXPECT_TRUE(PumpUntil([&] {
      return CaptureWindow(skinned.window()).pixels == skinnedBefore.pixels &&
             CaptureWindow(plain.window()).pixels == plainBefore.pixels;
    })) << "windows look as before";
  }

  // No path at all.
  const Engine::Result none = g_engine->Attach(nullptr, nullptr);
  EXPECT_EQ(none.returned, 0);
  EXPECT_EQ(none.dialogs.size(), 1u);
  EXPECT_TRUE(WaitForFrame(skinned.window(), skin, GetActiveWindow() == skinned.window()));
}

}  // namespace

int main(int argc, char** argv) {
  wine_gtest::Init(&argc, argv);
  // What gtest left: program, engine library, skins folder (build paths).
  if (argc != 3) {
    std::fprintf(stderr, "usage: skinengine_test ENGINE_DLL SKINS_DIR [gtest options]\n");
    return 2;
  }
  const auto wide = [](const char* text) {
    wchar_t buffer[MAX_PATH * 2] = {};
    MultiByteToWideChar(CP_ACP, 0, text, -1, buffer, MAX_PATH * 2);
    return std::wstring(buffer);
  };
  g_engineDll = wide(argv[1]);
  g_skinsDir = wide(argv[2]);
  Engine engine(g_engineDll);
  if (!engine.loaded()) {
    std::fprintf(stderr, "cannot load %ls\n", g_engineDll.c_str());
    return 1;
  }
  g_engine = &engine;
  return RUN_ALL_TESTS();
}
