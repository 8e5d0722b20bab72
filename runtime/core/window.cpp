#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "../webview/web_view.h"
#include "icon_directory.h"
#include "layer.h"
#include "runtime/core.h"
#include "win.h"

namespace core {
namespace {
using runtime::ElementRecord;
using runtime::EventBinding;
using runtime::win::Wide;

constexpr wchar_t kWindowClass[] = L"Zanvo3GP.Window";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kFirstControlId = 100;

bool Is(const runtime::ElementKind& kind, const runtime::ElementKind& other) {
  return kind.library == other.library && kind.number == other.number;
}

void Fire(const std::vector<EventBinding>& events, std::int32_t event) {
  for (const EventBinding& binding : events) {
    if (binding.event == event && binding.routine) binding.routine();
  }
}

// The image of the icon file that suits a cx by cy icon, or null.
HICON IconFrom(const runtime::ByteConstant& file, int cx, int cy) {
  runtime::IconDirectory directory;
  if (!runtime::ReadIconDirectory(file.data, file.size, directory)) return nullptr;
  const int id = LookupIconIdFromDirectoryEx(directory.group.data(), TRUE, cx, cy, LR_DEFAULTCOLOR);
  if (id <= 0 || static_cast<std::size_t>(id) > directory.images.size()) return nullptr;
  const runtime::IconImage& image = directory.images[static_cast<std::size_t>(id) - 1];
  // The call takes a writable pointer; the program's bytes are constant.
  std::vector<BYTE> bits(file.data + image.offset, file.data + image.offset + image.size);
  return CreateIconFromResourceEx(bits.data(), static_cast<DWORD>(bits.size()), TRUE, 0x00030000, cx, cy,
                                  LR_DEFAULTCOLOR);
}

struct Control {
  HWND window = nullptr;
  std::vector<EventBinding> events;
  std::unique_ptr<runtime::WebView> web_view;
};

class StartWindow;
// The loaded windows that still exist; RunMessageLoop waits for them.
std::vector<std::unique_ptr<StartWindow>> live_windows;

void Forget(const StartWindow* window) {
  live_windows.erase(std::remove_if(live_windows.begin(), live_windows.end(),
                                    [window](const auto& live) { return live.get() == window; }),
                     live_windows.end());
}

class StartWindow {
 public:
  static bool Load(const runtime::WindowDescription& description);

 private:
  static bool RegisterClassOnce();
  static LRESULT CALLBACK Thunk(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void OnCommand(WPARAM wparam, LPARAM lparam);
  void OnDestroy();
  void AddControl(const ElementRecord& element);
  void SetIcons(const runtime::ByteConstant& file);

  HWND window_ = nullptr;
  std::vector<Control> controls_;
  runtime::win::Icon big_icon_;
  runtime::win::Icon small_icon_;
};

bool StartWindow::RegisterClassOnce() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &StartWindow::Thunk;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  registered = RegisterClassExW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return registered;
}

bool StartWindow::Load(const runtime::WindowDescription& description) {
  const auto& elements = description.elements;
  if (elements.empty() || !Is(elements.front().kind, runtime::kWindowKind)) return false;
  if (!RegisterClassOnce()) return false;
  const ElementRecord& frame = elements.front();
  const auto* properties = std::get_if<runtime::WindowProperties>(&frame.properties);
  const std::wstring title = Wide(properties ? properties->title : nullptr);

  auto owned = std::make_unique<StartWindow>();
  StartWindow* self = owned.get();
  live_windows.push_back(std::move(owned));
  // WM_NCCREATE ties the window to `self`; a failed creation ends in
  // WM_NCDESTROY, which drops it again.
  HWND window = CreateWindowExW(0, kWindowClass, title.c_str(), kWindowStyle, frame.left, frame.top,
                                frame.width, frame.height, nullptr, nullptr, GetModuleHandleW(nullptr), self);
  if (!window) {
    Forget(self);
    return false;
  }
  if (properties) self->SetIcons(properties->icon);
  for (std::size_t i = 1; i < elements.size(); ++i) self->AddControl(elements[i]);
  // The window and every control exist now. The event comes before the
  // window is shown, so that what it does to the window (a skin) is there
  // from the first paint on.
  const std::vector<EventBinding> events = frame.events;
  Fire(events, runtime::kCreatedEvent);
  if (!IsWindow(window)) return true;  // the routine closed it
  // Both answer about the window's state before, not about success.
  static_cast<void>(ShowWindow(window, SW_SHOWNORMAL));
  static_cast<void>(UpdateWindow(window));
  return true;
}

void StartWindow::SetIcons(const runtime::ByteConstant& file) {
  big_icon_ = runtime::win::Icon(IconFrom(file, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)));
  small_icon_ =
      runtime::win::Icon(IconFrom(file, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)));
  // WM_SETICON answers with the icon it replaces.
  auto set = [this](WPARAM which, HICON icon) {
    if (icon) static_cast<void>(SendMessageW(window_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon)));
  };
  set(ICON_BIG, big_icon_.get());
  set(ICON_SMALL, small_icon_.get());
}

void StartWindow::AddControl(const ElementRecord& element) {
  Control control;
  const RECT bounds{element.left, element.top, element.left + element.width, element.top + element.height};
  if (Is(element.kind, runtime::kButtonKind)) {
    const auto* properties = std::get_if<runtime::ButtonProperties>(&element.properties);
    const std::wstring caption = Wide(properties ? properties->caption : nullptr);
    const auto id = static_cast<INT_PTR>(kFirstControlId + controls_.size());
    control.window =
        CreateWindowExW(0, L"BUTTON", caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                        element.left, element.top, element.width, element.height, window_,
                        reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
  } else if (Is(element.kind, runtime::kWebViewKind)) {
    const auto* properties = std::get_if<runtime::WebViewProperties>(&element.properties);
    control.web_view = runtime::WebView::Create(window_, bounds, properties ? properties->address : nullptr);
    if (control.web_view) control.window = control.web_view->window();
  } else {
    return;  // a kind this layer does not know
  }
  if (!control.window) return;
  control.events = element.events;
  controls_.push_back(std::move(control));
}

LRESULT CALLBACK StartWindow::Thunk(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<StartWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<StartWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    const LRESULT result = DefWindowProcW(window, message, wparam, lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    Forget(self);
    return result;
  }
  return self->Handle(message, wparam, lparam);
}

LRESULT StartWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wparam, lparam);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return DefWindowProcW(window_, message, wparam, lparam);
  }
}

void StartWindow::OnCommand(WPARAM wparam, LPARAM lparam) {
  if (HIWORD(wparam) != BN_CLICKED || !lparam) return;
  const int index = static_cast<int>(LOWORD(wparam)) - kFirstControlId;
  if (index < 0 || static_cast<std::size_t>(index) >= controls_.size()) return;
  if (controls_[static_cast<std::size_t>(index)].window != reinterpret_cast<HWND>(lparam)) return;
  // A copy: the routine may close the window, which ends this object.
  const std::vector<EventBinding> events = controls_[static_cast<std::size_t>(index)].events;
  Fire(events, runtime::kClickedEvent);
}

void StartWindow::OnDestroy() {
  // The browser leaves while its window still exists.
  for (Control& control : controls_) control.web_view.reset();
}

}  // namespace

std::int32_t LoadWindow(const runtime::WindowDescription& start_window) {
  return StartWindow::Load(start_window) ? 1 : 0;
}

std::int32_t RunMessageLoop(std::int32_t) {
  MSG message;
  while (!live_windows.empty()) {
    const BOOL result = GetMessageW(&message, nullptr, 0, 0);
    if (result == -1) return 0;
    if (result == 0) {
      // Someone asked the thread to quit: leave that to the outer code.
      PostQuitMessage(static_cast<int>(message.wParam));
      return 0;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

void EndProgram(std::int32_t exit_code) {
  runtime::ReleaseLayer();
  ExitProcess(static_cast<UINT>(exit_code));
}

}  // namespace core
