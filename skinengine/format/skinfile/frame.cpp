#include "skinfile/frame.h"

namespace skinfile {
namespace {

constexpr int kIconSize = 16;
constexpr int kIconGap = 4;

int Max(int a, int b) { return a > b ? a : b; }
int Min(int a, int b) { return a < b ? a : b; }

Rect Clamped(Rect r, int width, int height) {
  r.left = Max(0, Min(r.left, width));
  r.right = Max(r.left, Min(r.right, width));
  r.top = Max(0, Min(r.top, height));
  r.bottom = Max(r.top, Min(r.bottom, height));
  return r;
}

}  // namespace

FrameInsets InsetsOf(const Metrics& m) {
  return FrameInsets{m.frameWidth, 1 + m.captionHeight, m.frameWidth, m.frameWidth};
}

FrameLayout LayOutFrame(const Metrics& m, int width, int height, unsigned buttons, bool hasIcon) {
  FrameLayout layout{};
  width = Max(width, 0);
  height = Max(height, 0);
  layout.width = width;
  layout.height = height;
  const FrameInsets in = InsetsOf(m);
  layout.caption = Clamped(Rect{1, 1, width - 1, in.top}, width, height);
  layout.client =
      Clamped(Rect{in.left, in.top, width - in.right, height - in.bottom}, width, height);
  if (layout.client.Empty()) layout.client = Rect{in.left, in.top, in.left, in.top};

  // Buttons from the right: close, maximise, minimise.
  const unsigned flags[kCaptionButtonCount] = {kHasClose, kHasMaximize, kHasMinimize};
  int right = width - m.frameWidth - m.captionButtonGap;
  const int top = 1 + (m.captionHeight - m.captionButtonHeight) / 2;
  int leftmost = right;
  for (int b = 0; b < kCaptionButtonCount; ++b) {
    if (!(buttons & flags[b])) continue;
    const Rect r{right - m.captionButtonWidth, top, right, top + m.captionButtonHeight};
    if (r.left < layout.caption.left || r.bottom > layout.caption.bottom) break;
    layout.buttons[b] = r;
    leftmost = r.left;
    right = r.left - m.captionButtonGap;
  }

  int textLeft = m.frameWidth + m.captionTextIndent;
  if (hasIcon) {
    const int iconTop = 1 + (m.captionHeight - kIconSize) / 2;
    const Rect icon{textLeft, iconTop, textLeft + kIconSize, iconTop + kIconSize};
    if (icon.right + kIconGap <= leftmost && icon.top >= 1) {
      layout.icon = icon;
      textLeft = icon.right + kIconGap;
    }
  }
  const int textRight = leftmost - m.captionButtonGap - 2;
  layout.title = Clamped(Rect{textLeft, layout.caption.top, Max(textLeft, textRight),
                              layout.caption.bottom},
                         width, height);
  return layout;
}

FramePart HitTest(const FrameLayout& layout, int x, int y, bool resizable) {
  const int w = layout.width, h = layout.height;
  if (x < 0 || y < 0 || x >= w || y >= h) return FramePart::kOutside;
  if (layout.client.Contains(x, y)) return FramePart::kClient;
  if (layout.buttons[kCloseButton].Contains(x, y)) return FramePart::kClose;
  if (layout.buttons[kMaximizeButton].Contains(x, y)) return FramePart::kMaximize;
  if (layout.buttons[kMinimizeButton].Contains(x, y)) return FramePart::kMinimize;
  if (resizable) {
    const int side = Max(kSizingMargin, layout.client.left);
    const int bottom = Max(kSizingMargin, h - layout.client.bottom);
    const int corner = side + 8;  // a corner grip reaches a little along each edge
    const bool left = x < side, right = x >= w - side;
    const bool top = y < kSizingMargin, low = y >= h - bottom;
    if ((top || low) && x < corner) return top ? FramePart::kTopLeft : FramePart::kBottomLeft;
    if ((top || low) && x >= w - corner)
      return top ? FramePart::kTopRight : FramePart::kBottomRight;
    if ((left || right) && y < corner) return left ? FramePart::kTopLeft : FramePart::kTopRight;
    if ((left || right) && y >= h - corner)
      return left ? FramePart::kBottomLeft : FramePart::kBottomRight;
    if (top) return FramePart::kTop;
    if (low) return FramePart::kBottom;
    if (left) return FramePart::kLeft;
    if (right) return FramePart::kRight;
  }
  if (layout.caption.Contains(x, y)) return FramePart::kCaption;
  return FramePart::kBorder;
}

}  // namespace skinfile
