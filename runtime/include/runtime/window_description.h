// The data from which core::LoadWindow builds a window and its controls.
// Portable: no windows.h.
#pragma once
#include <cstdint>
#include <variant>
#include <vector>

#include "runtime/text.h"

namespace runtime {

// Each runtime library numbers its own element types.
enum class Library { core, webview };
struct ElementKind {
  Library library;
  std::int32_t number;
};
inline constexpr ElementKind kWindowKind{Library::core, 1};
inline constexpr ElementKind kButtonKind{Library::core, 11};
inline constexpr ElementKind kWebViewKind{Library::webview, 1};

// Event 0 of a window: it and all its controls exist (comes once).
// Event 0 of a button: it has been clicked (comes on each click).
inline constexpr std::int32_t kCreatedEvent = 0;
inline constexpr std::int32_t kClickedEvent = 0;

using EventRoutine = void (*)();
struct EventBinding {
  std::int32_t event;
  EventRoutine routine;
};

struct WindowProperties {
  const char* title;    // code page 936
  ByteConstant icon;    // an icon file (.ico layout)
};
struct ButtonProperties {
  const char* caption;  // code page 936
};
struct WebViewProperties {
  const char* address;  // a page address, possibly without a scheme
};
using ElementProperties = std::variant<WindowProperties, ButtonProperties, WebViewProperties>;

struct ElementRecord {
  ElementKind kind;
  const char* name;  // code page 936; empty for the window itself
  std::int32_t left, top, width, height;
  std::vector<EventBinding> events;
  ElementProperties properties;
};

// The window first, then its controls in creation order. Positions of the
// window are on the screen (outer frame), those of the controls are within
// its client area; sizes are the window's outer size and the controls' size.
struct WindowDescription {
  std::vector<ElementRecord> elements;
};

}  // namespace runtime
