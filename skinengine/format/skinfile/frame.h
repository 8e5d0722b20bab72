// Where a skinned window's frame parts lie, and what a point hits.
// Coordinates are window coordinates (0,0 = the window's top-left pixel).
#pragma once
#include "skinfile/skin.h"

namespace skinfile {

struct Rect {
  int left, top, right, bottom;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool Empty() const { return right <= left || bottom <= top; }
};

enum CaptionButton : int { kCloseButton, kMaximizeButton, kMinimizeButton, kCaptionButtonCount };
constexpr int kNoButton = -1;

// Which caption buttons a window has, from its style.
enum : unsigned { kHasClose = 1u, kHasMaximize = 2u, kHasMinimize = 4u };

struct FrameLayout {
  int width, height;  // the window's
  Rect caption;       // the band under the top outline, over the client
  Rect client;
  Rect buttons[kCaptionButtonCount];  // empty when the window has no such button
  Rect icon;                          // empty when there is no icon
  Rect title;                         // where the caption text is drawn
};

// The frame of a window `width` x `height`. The window has an icon if
// `hasIcon`. Sizes too small for the frame give empty client and parts.
FrameLayout LayOutFrame(const Metrics& metrics, int width, int height, unsigned buttons,
                        bool hasIcon);

// How far the client area is from each window edge.
struct FrameInsets {
  int left, top, right, bottom;
};
FrameInsets InsetsOf(const Metrics& metrics);

enum class FramePart {
  kClient,
  kCaption,
  kClose,
  kMaximize,
  kMinimize,
  kLeft,
  kRight,
  kTop,
  kBottom,
  kTopLeft,
  kTopRight,
  kBottomLeft,
  kBottomRight,
  kBorder,   // frame of a window that cannot be sized
  kOutside,
};

// What the point (x, y) hits. A `resizable` window's edges size it; the
// sizing margin is at least kSizingMargin wide even on a thinner frame.
constexpr int kSizingMargin = 4;
FramePart HitTest(const FrameLayout& layout, int x, int y, bool resizable);

}  // namespace skinfile
