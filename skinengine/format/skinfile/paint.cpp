#include "skinfile/paint.h"

namespace skinfile {
namespace {

int Max(int a, int b) { return a > b ? a : b; }
int Min(int a, int b) { return a < b ? a : b; }

// Fills [x0, x1) x [y0, y1) of the picture, as far as the canvas shows it.
void Fill(Canvas& c, int x0, int y0, int x1, int y1, Color color) {
  x0 = Max(x0, c.left);
  y0 = Max(y0, c.top);
  x1 = Min(x1, c.left + c.width);
  y1 = Min(y1, c.top + c.height);
  for (int y = y0; y < y1; ++y) {
    Color* row = c.pixels + static_cast<long>(y - c.top) * c.width - c.left;
    for (int x = x0; x < x1; ++x) row[x] = color;
  }
}

Color Mix(Color a, Color b, long numerator, long denominator) {
  const auto channel = [&](int shift) {
    const long ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    return static_cast<Color>((ca * (denominator - numerator) + cb * numerator + denominator / 2) /
                              denominator)
           << shift;
  };
  return channel(16) | channel(8) | channel(0);
}

// A rounded rectangle `r` filled row by row with colorOfRow(y).
template <class ColorOfRow>
void FillRounded(Canvas& c, const Rect& r, int radius, ColorOfRow colorOfRow) {
  for (int y = Max(r.top, c.top); y < Min(r.bottom, c.top + c.height); ++y) {
    const int inset = RoundedInset(y - r.top, r.Height(), radius);
    Fill(c, r.left + inset, y, r.right - inset, y + 1, colorOfRow(y));
  }
}

// The one-pixel ring just inside the rounded rectangle `r`.
void FillRoundedRing(Canvas& c, const Rect& r, int radius, Color color) {
  const Rect inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  const int innerRadius = Max(radius - 1, 0);
  for (int y = Max(r.top, c.top); y < Min(r.bottom, c.top + c.height); ++y) {
    const int outer = RoundedInset(y - r.top, r.Height(), radius);
    const int left = r.left + outer, right = r.right - outer;
    if (y < inner.top || y >= inner.bottom || inner.Empty()) {
      Fill(c, left, y, right, y + 1, color);
      continue;
    }
    const int in = RoundedInset(y - inner.top, inner.Height(), innerRadius);
    Fill(c, left, y, Min(inner.left + in, right), y + 1, color);
    Fill(c, Max(inner.right - in, left), y, right, y + 1, color);
  }
}

Rect Inset(const Rect& r, int by) { return Rect{r.left + by, r.top + by, r.right - by, r.bottom - by}; }

void PaintGlyph(Canvas& c, int button, bool maximized, const Rect& r, int thickness,
                bool pressed, Color color) {
  const int size = Max(6, Min(r.Width(), r.Height()) / 2);
  const int t = thickness;
  const int x = r.left + (r.Width() - size) / 2 + (pressed ? 1 : 0);
  const int y = r.top + (r.Height() - size) / 2 + (pressed ? 1 : 0);
  const auto box = [&](int left, int top, int side) {
    Fill(c, left, top, left + side, top + t + 1, color);               // top, heavier
    Fill(c, left, top + side - t, left + side, top + side, color);     // bottom
    Fill(c, left, top, left + t, top + side, color);                   // left
    Fill(c, left + side - t, top, left + side, top + side, color);     // right
  };
  switch (button) {
    case kCloseButton:
      for (int k = 0; k + t <= size; ++k) {
        Fill(c, x + k, y + k, x + k + t, y + k + t, color);
        Fill(c, x + size - t - k, y + k, x + size - k, y + k + t, color);
      }
      break;
    case kMinimizeButton:
      Fill(c, x, y + size - t - 1, x + size, y + size - 1, color);
      break;
    case kMaximizeButton:
      if (!maximized) {
        box(x, y, size);
      } else {
        // Restore: a window behind a window.
        const int side = size * 3 / 4, shift = size - side;
        Fill(c, x + shift, y, x + size, y + t, color);
        Fill(c, x + size - t, y, x + size, y + side, color);
        Fill(c, x + shift, y, x + shift + t, y + shift, color);
        Fill(c, x + side, y + side - t, x + size, y + side, color);
        box(x, y + shift, side);
      }
      break;
    default:
      break;
  }
}

// The caption band, as CaptionColorAt gives it. Its colour changes along one
// axis only, so each colour is worked out once a row (vertical gradient) or
// once for the upper and once for the lower half (horizontal gradient, whose
// other rows repeat one of those two): a frame is painted on every move of
// the pointer over it.
void PaintCaptionBand(const Skin& skin, const FrameLayout& layout, bool active, Canvas& c) {
  const Rect& band = layout.caption;
  const int x0 = Max(band.left, c.left), x1 = Min(band.right, c.left + c.width);
  const int y0 = Max(band.top, c.top), y1 = Min(band.bottom, c.top + c.height);
  if (x0 >= x1) return;
  const bool horizontal =
      skin.metrics.captionGradient == static_cast<std::uint8_t>(CaptionGradient::kHorizontal);
  const Color* painted[2] = {nullptr, nullptr};  // a finished row of each half
  for (int y = y0; y < y1; ++y) {
    Color* row = c.pixels + static_cast<long>(y - c.top) * c.width - c.left;
    if (!horizontal) {
      const Color color = CaptionColorAt(skin, layout, active, x0, y);
      for (int x = x0; x < x1; ++x) row[x] = color;
      continue;
    }
    const int half = y - band.top < band.Height() / 2 ? 0 : 1;
    if (painted[half]) {
      for (int x = x0; x < x1; ++x) row[x] = painted[half][x];
      continue;
    }
    for (int x = x0; x < x1; ++x) row[x] = CaptionColorAt(skin, layout, active, x, y);
    painted[half] = row;
  }
}

}  // namespace

Color Blend(Color a, Color b, int position, int steps) {
  if (steps < 2) return a;
  position = Max(0, Min(position, steps - 1));
  return Mix(a, b, position, steps - 1);
}

Color Lighten(Color base, int percent) {
  return Mix(base, 0xFFFFFFu, Max(0, Min(percent, 100)), 100);
}

int RoundedInset(int y, int height, int radius) {
  radius = Min(radius, height / 2);
  if (radius <= 0 || y < 0 || y >= height) return 0;
  const int fromEdge = y < radius ? y : height - 1 - y;
  if (fromEdge >= radius) return 0;
  // Pixel (x, fromEdge) is inside when its centre lies within the corner's
  // circle; doubled coordinates keep this in integers.
  const long dy = 2L * radius - 2L * fromEdge - 1;
  for (int x = 0; x < radius; ++x) {
    const long dx = 2L * radius - 2L * x - 1;
    if (dx * dx + dy * dy <= 4L * radius * radius) return x;
  }
  return radius;
}

Color CaptionColorAt(const Skin& skin, const FrameLayout& layout, bool active, int x, int y) {
  const Metrics& m = skin.metrics;
  const Color start = skin.colors[active ? kCaptionActiveStart : kCaptionInactiveStart];
  const Color end = skin.colors[active ? kCaptionActiveEnd : kCaptionInactiveEnd];
  const Rect& band = layout.caption;
  Color color = m.captionGradient == static_cast<std::uint8_t>(CaptionGradient::kHorizontal)
                    ? Blend(start, end, x - band.left, band.Width())
                    : Blend(start, end, y - band.top, band.Height());
  if (y - band.top < band.Height() / 2) color = Lighten(color, m.captionGloss);
  return color;
}

void PaintFrame(const Skin& skin, const FrameLayout& layout, const FrameLook& look,
                Canvas& canvas) {
  const int w = layout.width, h = layout.height;
  const Metrics& m = skin.metrics;
  const Color outline = skin.colors[kFrameOutline];
  Fill(canvas, 0, 0, w, 1, outline);
  Fill(canvas, 0, h - 1, w, h, outline);
  Fill(canvas, 0, 0, 1, h, outline);
  Fill(canvas, w - 1, 0, w, h, outline);

  const Rect& band = layout.caption;
  PaintCaptionBand(skin, layout, look.active, canvas);

  const Color frame = skin.colors[look.active ? kFrameActive : kFrameInactive];
  const int f = m.frameWidth;
  Fill(canvas, 1, band.bottom, f, h - 1, frame);
  Fill(canvas, w - f, band.bottom, w - 1, h - 1, frame);
  Fill(canvas, 1, Max(h - f, band.bottom), w - 1, h - 1, frame);

  for (int b = 0; b < kCaptionButtonCount; ++b) {
    const Rect& r = layout.buttons[b];
    if (r.Empty()) continue;
    const bool pressed = look.pressedButton == b;
    const bool hot = !pressed && look.hotButton == b && look.pressedButton == kNoButton;
    Color face = skin.colors[kCaptionButtonFace];
    if (pressed)
      face = skin.colors[b == kCloseButton ? kCloseButtonPressed : kCaptionButtonPressed];
    else if (hot)
      face = skin.colors[b == kCloseButton ? kCloseButtonHot : kCaptionButtonHot];
    if (pressed || hot || !m.captionButtonFlat) {
      const int radius = m.captionButtonRadius;
      FillRounded(canvas, r, radius, [&](int) { return skin.colors[kCaptionButtonBorder]; });
      FillRounded(canvas, Inset(r, 1), Max(radius - 1, 0), [&](int) { return face; });
    }
    PaintGlyph(canvas, b, look.maximized, r, m.glyphThickness, pressed,
               skin.colors[pressed || hot ? kCaptionGlyphHot : kCaptionGlyph]);
  }
}

Color BackgroundAt(const Skin& skin, int x, int y) {
  const Pattern& p = skin.pattern;
  if (p.width == 0 || p.height == 0) return skin.colors[kClientBackground];
  const int px = ((x % p.width) + p.width) % p.width;
  const int py = ((y % p.height) + p.height) % p.height;
  return p.pixels[py * p.width + px];
}

Color ButtonFaceColorAt(const Skin& skin, ButtonFace face, int y, int height) {
  static const int kTop[] = {kButtonNormalTop, kButtonHotTop, kButtonPressedTop,
                             kButtonDisabledTop};
  const int index = static_cast<int>(face);
  const int border = skin.metrics.buttonBorder;
  const int rows = height - 2 * border, row = y - border;
  Color color = Blend(skin.colors[kTop[index]], skin.colors[kTop[index] + 1], row, rows);
  if (row < rows / 2) color = Lighten(color, skin.metrics.buttonGloss);
  return color;
}

int FocusRingInset(const Skin& skin) { return skin.metrics.buttonBorder + 1; }

Color ButtonTextColor(const Skin& skin, ButtonFace face) {
  static const int kText[] = {kButtonText, kButtonTextHot, kButtonTextPressed,
                              kButtonTextDisabled};
  return skin.colors[kText[static_cast<int>(face)]];
}

void PaintButton(const Skin& skin, const ButtonLook& look, int width, int height, int originX,
                 int originY, Canvas& canvas) {
  static const int kBorder[] = {kButtonBorder, kButtonBorderHot, kButtonBorderPressed,
                                kButtonBorderDisabled};
  for (int y = Max(0, canvas.top); y < Min(height, canvas.top + canvas.height); ++y)
    for (int x = Max(0, canvas.left); x < Min(width, canvas.left + canvas.width); ++x)
      canvas.pixels[static_cast<long>(y - canvas.top) * canvas.width + (x - canvas.left)] =
          BackgroundAt(skin, originX + x, originY + y);

  const Metrics& m = skin.metrics;
  const Rect outer{0, 0, width, height};
  const int border = m.buttonBorder;
  const Color borderColor = skin.colors[kBorder[static_cast<int>(look.face)]];
  FillRounded(canvas, outer, m.buttonRadius, [&](int) { return borderColor; });
  FillRounded(canvas, Inset(outer, border), Max(m.buttonRadius - border, 0),
              [&](int y) { return ButtonFaceColorAt(skin, look.face, y, height); });
  if (look.focused && look.face != ButtonFace::kDisabled) {
    const int inset = FocusRingInset(skin);
    FillRoundedRing(canvas, Inset(outer, inset), Max(m.buttonRadius - inset, 0),
                    skin.colors[kButtonFocus]);
  }
}

}  // namespace skinfile
