// The web view control: the system's WebBrowser control in a child window.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

namespace runtime {

class WebView {
 public:
  virtual ~WebView() = default;
  virtual HWND window() const = 0;
  // A child of `parent` at `bounds` (client coordinates) that shows `address`
  // (a scheme is added when it has none). Null when the control cannot be made.
  static std::unique_ptr<WebView> Create(HWND parent, const RECT& bounds, const char* address);
};

}  // namespace runtime
