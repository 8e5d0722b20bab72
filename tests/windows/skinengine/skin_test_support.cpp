#include "skin_test_support.h"

#include <process.h>

#include <atomic>

#include "skinfile/reader.h"

namespace skintest {

const wchar_t* const kBuiltInSkins[8] = {L"darkroyale", L"dogmax", L"homestead", L"longhorn",
                                         L"pixos",      L"qq2008", L"royale",    L"skinh"};

namespace {
constexpr wchar_t kClassName[] = L"SkinEngineTestWindow";

void RegisterTestClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &TestWindow::WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  registered = RegisterClassExW(&wc) != 0;
}
}  // namespace

TestWindow::TestWindow(int x, int y, const wchar_t* title) {
  RegisterTestClass();
  RECT r = {0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
  window_ = CreateWindowExW(0, kClassName, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
  if (!window_) return;
  label_ = CreateWindowExW(0, L"STATIC", L"Skin preview \x76ae\x80a4\x9884\x89c8",  // 皮肤预览
                           WS_CHILD | WS_VISIBLE | SS_LEFT, 20, 20, 300, 24, window_, nullptr,
                           nullptr, nullptr);
  // Plain (not smoothed) text, so that its pixels have the text colour.
  labelFont_ = CreateFontW(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                           DEFAULT_PITCH, L"Tahoma");
  SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_), FALSE);
  button_ = CreateWindowExW(0, L"BUTTON", L"\x786e\x5b9a OK",  // 确定
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 20, 130, 140, 32,
                            window_, reinterpret_cast<HMENU>(kButtonId), nullptr, nullptr);
  disabledButton_ = CreateWindowExW(0, L"BUTTON", L"\x53d6\x6d88 Cancel",  // 取消
                                    WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON, 180, 130,
                                    140, 32, window_, reinterpret_cast<HMENU>(kDisabledButtonId),
                                    nullptr, nullptr);
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  SetActiveWindow(window_);
  UpdateWindow(window_);
}

TestWindow::~TestWindow() {
  if (window_ && !destroyed_) DestroyWindow(window_);
  if (labelFont_) DeleteObject(labelFont_);
  PumpFor(0);
}

LRESULT CALLBACK TestWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = reinterpret_cast<TestWindow*>(
        reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->OnMessage(message, wParam, lParam);
}

LRESULT TestWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) ++clicks_;
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MOVE) {
        ++moveCommands_;
        if (holdMoves_) return 0;
      }
      break;
    case WM_NCDESTROY:
      destroyed_ = true;
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start > static_cast<DWORD>(timeoutMs)) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 15, QS_ALLINPUT);
  }
}

void PumpFor(int ms) {
  const DWORD start = GetTickCount();
  PumpUntil([&] { return GetTickCount() - start >= static_cast<DWORD>(ms); }, ms + 1000);
}

std::uint32_t Capture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width() || y >= height()) return 0xFF000000u;
  return pixels[static_cast<std::size_t>(y) * width() + x];
}

Capture CaptureScreen(const RECT& area) {
  Capture c;
  c.area = area;
  const int w = c.width(), h = c.height();
  if (w <= 0 || h <= 0) return c;
  c.pixels.assign(static_cast<std::size_t>(w) * h, 0);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < c.pixels.size(); ++i) c.pixels[i] = p[i] & 0xFFFFFFu;
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return c;
}

Capture CaptureWindow(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return CaptureScreen(r);
}

void MoveMouse(int x, int y) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = (x * 65536 + w - 1) / w;
  input.mi.dy = (y * 65536 + h - 1) / h;
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
  PumpUntil([&] {
    POINT p;
    return GetCursorPos(&p) && p.x == x && p.y == y;
  }, 3000);
}

void MouseButton(bool down) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof input);
}

void Key(WORD virtualKey, bool down) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof input);
}

Engine::Engine(const std::wstring& dllPath) {
  module_ = LoadLibraryW(dllPath.c_str());
  if (!module_) return;
  const FARPROC proc = GetProcAddress(module_, "SkinH_Attach_Ex");
  attach_ = reinterpret_cast<AttachFunction>(reinterpret_cast<void*>(proc));
}

Engine::~Engine() {
  // The library pins itself once it has skinned windows; freeing is harmless.
  if (module_) FreeLibrary(module_);
}

namespace {

struct Watcher {
  DWORD thread = 0;  // the thread whose message boxes are dismissed
  std::atomic<bool> stop{false};
  std::vector<std::wstring> dialogs;  // written by the watcher, read after it ends
};

BOOL CALLBACK CollectText(HWND control, LPARAM out) {
  wchar_t text[1024] = {};
  GetWindowTextW(control, text, 1024);
  reinterpret_cast<std::wstring*>(out)->append(text).append(L"\n");
  return TRUE;
}

struct FoundDialog {
  DWORD thread;
  HWND dialog;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM data) {
  auto* found = reinterpret_cast<FoundDialog*>(data);
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (lstrcmpW(name, L"#32770") == 0 &&
      GetWindowThreadProcessId(window, nullptr) == found->thread && IsWindowVisible(window)) {
    found->dialog = window;
    return FALSE;
  }
  return TRUE;
}

unsigned __stdcall WatchForDialogs(void* data) {
  auto* watcher = static_cast<Watcher*>(data);
  while (!watcher->stop.load()) {
    FoundDialog found = {watcher->thread, nullptr};
    EnumThreadWindows(watcher->thread, FindDialog, reinterpret_cast<LPARAM>(&found));
    if (found.dialog) {
      wchar_t title[256] = {};
      GetWindowTextW(found.dialog, title, 256);
      std::wstring text = std::wstring(title) + L"\n";
      EnumChildWindows(found.dialog, CollectText, reinterpret_cast<LPARAM>(&text));
      watcher->dialogs.push_back(text);
      SendMessageW(found.dialog, WM_COMMAND, IDOK, 0);
      // Until it is gone, so that it is counted once.
      while (IsWindow(found.dialog) && !watcher->stop.load()) Sleep(10);
    }
    Sleep(20);
  }
  return 0;
}

}  // namespace

Engine::Result Engine::Attach(const char* path, const char* password) const {
  Result result;
  if (!attach_) return result;
  Watcher watcher;
  watcher.thread = GetCurrentThreadId();
  HANDLE thread = reinterpret_cast<HANDLE>(
      _beginthreadex(nullptr, 0, &WatchForDialogs, &watcher, 0, nullptr));
  result.returned = attach_(path, password);
  // MessageBox returns after its box is gone, which the watcher saw first.
  watcher.stop = true;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  result.dialogs = watcher.dialogs;
  return result;
}

std::string ToCodePage936(const std::wstring& text) {
  const int n = WideCharToMultiByte(936, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(936, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
  return out;
}

std::vector<std::uint8_t> ReadBytes(const std::wstring& path) {
  std::vector<std::uint8_t> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  const DWORD size = GetFileSize(file, nullptr);
  bytes.resize(size);
  DWORD read = 0;
  if (size == INVALID_FILE_SIZE || !ReadFile(file, bytes.data(), size, &read, nullptr) ||
      read != size)
    bytes.clear();
  CloseHandle(file);
  return bytes;
}

bool WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                              &written, nullptr) &&
                                    written == bytes.size());
  CloseHandle(file);
  return ok;
}

bool ReadSkinFile(const std::wstring& path, skinfile::Skin& skin) {
  const std::vector<std::uint8_t> bytes = ReadBytes(path);
  return skinfile::Read(bytes.data(), bytes.size(), skin) == skinfile::ReadStatus::kOk;
}

}  // namespace skintest
