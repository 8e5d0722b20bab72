// The skin's pictures, drawn pixel by pixel into a plain pixel buffer: the
// engine library shows them on screen, the tests compute from them what the
// screen must show. Texts (title, button captions) are drawn by the engine
// with the skin's fonts and are not part of these pictures.
#pragma once
#include <cstdint>

#include "skinfile/frame.h"
#include "skinfile/skin.h"

namespace skinfile {

// A window of pixels onto a larger picture: pixel (x, y) of the picture,
// for left <= x < left + width and top <= y < top + height, is
// pixels[(y - top) * width + (x - left)]. Painting outside it is clipped.
struct Canvas {
  Color* pixels;
  int left, top, width, height;
};

// a + (b - a) * position / (steps - 1), per channel, rounded; a when steps < 2.
Color Blend(Color a, Color b, int position, int steps);
// `percent` of the way from `base` to white.
Color Lighten(Color base, int percent);

struct FrameLook {
  bool active;
  int hotButton;      // CaptionButton or kNoButton
  int pressedButton;  // CaptionButton or kNoButton: held down with the pointer over it
  bool maximized;     // the maximise button shows "restore"
};

// Outline, caption band, frame and caption buttons of a window laid out as
// `layout`, in window coordinates.
void PaintFrame(const Skin& skin, const FrameLayout& layout, const FrameLook& look,
                Canvas& canvas);

// The caption band's colour at (x, y), without buttons and text.
Color CaptionColorAt(const Skin& skin, const FrameLayout& layout, bool active, int x, int y);

// The client background at (x, y) in client coordinates of the skinned
// top-level window.
Color BackgroundAt(const Skin& skin, int x, int y);

enum class ButtonFace { kNormal, kHot, kPressed, kDisabled };

struct ButtonLook {
  ButtonFace face;
  bool focused;
};

// A push button of `width` x `height` in its own coordinates, placed at
// (originX, originY) in its parent's client area (for the background behind
// its rounded corners).
void PaintButton(const Skin& skin, const ButtonLook& look, int width, int height, int originX,
                 int originY, Canvas& canvas);

// The face colour of a push button on row `y` (0 = top edge), inside its
// border and away from its corners.
Color ButtonFaceColorAt(const Skin& skin, ButtonFace face, int y, int height);

// How far the focus ring lies inside the button's edges.
int FocusRingInset(const Skin& skin);

Color ButtonTextColor(const Skin& skin, ButtonFace face);

// How many pixels row `y` of a rounded rectangle `height` rows high with
// corner radius `radius` starts inside its left (and right) edge.
int RoundedInset(int y, int height, int radius);

}  // namespace skinfile
