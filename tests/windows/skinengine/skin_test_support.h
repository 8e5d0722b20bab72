// Shared by the skin engine's Windows tests and the screenshot program: the
// test window, screen captures, the mouse, and calling the real library.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skinfile/skin.h"

namespace skintest {

// A top-level window with a push button, a disabled push button and a
// label, as an application would have them.
class TestWindow {
 public:
  static constexpr int kButtonId = 101;
  static constexpr int kDisabledButtonId = 102;
  static constexpr int kClientWidth = 380;
  static constexpr int kClientHeight = 200;

  TestWindow(int x, int y, const wchar_t* title = L"Skin test \x76ae\x80a4");  // 皮肤
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  ~TestWindow();

  HWND window() const { return window_; }
  HWND button() const { return button_; }
  HWND disabledButton() const { return disabledButton_; }
  HWND label() const { return label_; }
  bool destroyed() const { return destroyed_; }
  // BN_CLICKED notifications of the push button that reached the window.
  int clicks() const { return clicks_; }
  // WM_SYSCOMMAND SC_MOVE commands that reached the window; while held, the
  // window keeps them from the system's move loop.
  int moveCommands() const { return moveCommands_; }
  void HoldMoveCommands(bool hold) { holdMoves_ = hold; }

  // The window class's procedure: takes `this` at WM_NCCREATE.
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  HWND button_ = nullptr;
  HWND disabledButton_ = nullptr;
  HWND label_ = nullptr;
  HFONT labelFont_ = nullptr;
  bool destroyed_ = false;
  int clicks_ = 0;
  int moveCommands_ = 0;
  bool holdMoves_ = false;
};

// Handles this thread's messages until `done` or `timeoutMs` passes.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000);
void PumpFor(int ms);

// Screen pixels of a rectangle, 0x00RRGGBB.
struct Capture {
  RECT area{};
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const;  // relative to area's top-left
  int width() const { return area.right - area.left; }
  int height() const { return area.bottom - area.top; }
};
Capture CaptureScreen(const RECT& area);
Capture CaptureWindow(HWND window);

void MoveMouse(int screenX, int screenY);
void MouseButton(bool down);
void Key(WORD virtualKey, bool down);

// The real engine library, loaded by full path.
class Engine {
 public:
  explicit Engine(const std::wstring& dllPath);
  ~Engine();
  bool loaded() const { return attach_ != nullptr; }

  struct Result {
    int returned = -1;
    // Every message box the engine showed meanwhile: caption, then the text
    // of each of its controls. The test's watcher dismissed them.
    std::vector<std::wstring> dialogs;
  };
  Result Attach(const char* path, const char* password) const;

 private:
  using AttachFunction = int(__stdcall*)(const char*, const char*);
  HMODULE module_ = nullptr;
  AttachFunction attach_ = nullptr;
};

// Code page 936 bytes of a wide text.
std::string ToCodePage936(const std::wstring& text);

bool ReadSkinFile(const std::wstring& path, skinfile::Skin& skin);
std::vector<std::uint8_t> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes);

// The names of the built-in skins, in their order (1 to 8).
extern const wchar_t* const kBuiltInSkins[8];

}  // namespace skintest
