// The skin's pictures: gradients, rounded corners, buttons and frames.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "skinfile/paint.h"

namespace {

using skinfile::Color;

skinfile::Skin TestSkin() {
  skinfile::Skin s{};
  std::strcpy(s.name, "Test");
  skinfile::Metrics& m = s.metrics;
  m.captionHeight = 20;
  m.frameWidth = 3;
  m.captionButtonWidth = 20;
  m.captionButtonHeight = 16;
  m.captionButtonGap = 1;
  m.captionButtonRadius = 3;
  m.glyphThickness = 1;
  m.buttonRadius = 5;
  m.buttonBorder = 1;
  for (int role = 0; role < skinfile::kColorCount; ++role)
    s.colors[role] = skinfile::Rgb(10 * role, 255 - 5 * role, 100 + role);
  return s;
}

TEST(SkinPaint, BlendRunsFromStartToEnd) {
  const Color a = skinfile::Rgb(0, 100, 255), b = skinfile::Rgb(200, 0, 55);
  EXPECT_EQ(skinfile::Blend(a, b, 0, 11), a);
  EXPECT_EQ(skinfile::Blend(a, b, 10, 11), b);
  EXPECT_EQ(skinfile::Blend(a, b, 5, 11), skinfile::Rgb(100, 50, 155));
  EXPECT_EQ(skinfile::Blend(a, b, 0, 1), a);
  EXPECT_EQ(skinfile::Blend(a, b, 99, 11), b);  // clamped
  EXPECT_EQ(skinfile::Lighten(a, 0), a);
  EXPECT_EQ(skinfile::Lighten(a, 100), 0xFFFFFFu);
  EXPECT_EQ(skinfile::Lighten(skinfile::Rgb(0, 0, 0), 50), skinfile::Rgb(128, 128, 128));
}

TEST(SkinPaint, RoundedCornersAreSymmetricAndOnlyAtTheEnds) {
  for (int radius : {0, 1, 3, 5, 8}) {
    SCOPED_TRACE(radius);
    const int h = 30;
    for (int y = 0; y < h; ++y) {
      EXPECT_EQ(skinfile::RoundedInset(y, h, radius), skinfile::RoundedInset(h - 1 - y, h, radius));
      if (y >= radius && y < h - radius) EXPECT_EQ(skinfile::RoundedInset(y, h, radius), 0);
    }
    if (radius > 1) {
      EXPECT_GT(skinfile::RoundedInset(0, h, radius), 0);
      EXPECT_LE(skinfile::RoundedInset(0, h, radius), radius);
    }
    for (int y = 1; y < radius; ++y)
      EXPECT_LE(skinfile::RoundedInset(y, h, radius), skinfile::RoundedInset(y - 1, h, radius));
  }
  // The radius never exceeds half the height.
  EXPECT_EQ(skinfile::RoundedInset(1, 4, 10), skinfile::RoundedInset(1, 4, 2));
}

std::vector<Color> PaintButton(const skinfile::Skin& skin, skinfile::ButtonLook look, int w, int h) {
  std::vector<Color> pixels(static_cast<std::size_t>(w) * h, 0xFF000000u);
  skinfile::Canvas canvas{pixels.data(), 0, 0, w, h};
  skinfile::PaintButton(skin, look, w, h, 7, 9, canvas);
  return pixels;
}

TEST(SkinPaint, ButtonHasBorderFaceCornersAndFocusRing) {
  skinfile::Skin skin = TestSkin();
  const int w = 60, h = 24;
  const auto at = [&](const std::vector<Color>& p, int x, int y) { return p[y * w + x]; };
  const std::vector<Color> normal = PaintButton(skin, {skinfile::ButtonFace::kNormal, false}, w, h);
  EXPECT_EQ(at(normal, 0, 0), skin.colors[skinfile::kClientBackground]) << "corner shows the background";
  EXPECT_EQ(at(normal, w / 2, 0), skin.colors[skinfile::kButtonBorder]);
  EXPECT_EQ(at(normal, 0, h / 2), skin.colors[skinfile::kButtonBorder]);
  EXPECT_EQ(at(normal, w / 2, 1), skin.colors[skinfile::kButtonNormalTop]);
  EXPECT_EQ(at(normal, w / 2, h - 2), skin.colors[skinfile::kButtonNormalBottom]);
  for (int y = 1; y < h - 1; ++y)
    EXPECT_EQ(at(normal, w / 2, y), skinfile::ButtonFaceColorAt(skin, skinfile::ButtonFace::kNormal, y, h));

  const std::vector<Color> focused = PaintButton(skin, {skinfile::ButtonFace::kHot, true}, w, h);
  const int ring = skinfile::FocusRingInset(skin);
  EXPECT_EQ(at(focused, w / 2, ring), skin.colors[skinfile::kButtonFocus]);
  EXPECT_EQ(at(focused, ring, h / 2), skin.colors[skinfile::kButtonFocus]);
  EXPECT_EQ(at(focused, w / 2, ring + 1),
            skinfile::ButtonFaceColorAt(skin, skinfile::ButtonFace::kHot, ring + 1, h));
  EXPECT_EQ(at(focused, w / 2, 0), skin.colors[skinfile::kButtonBorderHot]);
  // Disabled buttons show no focus.
  const std::vector<Color> disabled = PaintButton(skin, {skinfile::ButtonFace::kDisabled, true}, w, h);
  EXPECT_EQ(at(disabled, w / 2, ring),
            skinfile::ButtonFaceColorAt(skin, skinfile::ButtonFace::kDisabled, ring, h));
  for (Color c : normal) EXPECT_NE(c, 0xFF000000u) << "every pixel painted";

  // Behind the corners, the pattern continues from the parent's client area.
  skin.pattern.width = 2;
  skin.pattern.height = 1;
  skin.pattern.pixels[0] = 0x111111;
  skin.pattern.pixels[1] = 0x222222;
  const std::vector<Color> patterned = PaintButton(skin, {skinfile::ButtonFace::kNormal, false}, w, h);
  EXPECT_EQ(at(patterned, 0, 0), skinfile::BackgroundAt(skin, 7, 9));
  EXPECT_EQ(at(patterned, 1, 0), skinfile::BackgroundAt(skin, 8, 9));
  EXPECT_NE(at(patterned, 0, 0), at(patterned, 1, 0));
}

TEST(SkinPaint, BackgroundTilesThePattern) {
  skinfile::Skin skin = TestSkin();
  EXPECT_EQ(skinfile::BackgroundAt(skin, 123, -4), skin.colors[skinfile::kClientBackground]);
  skin.pattern.width = 3;
  skin.pattern.height = 2;
  for (int i = 0; i < 6; ++i) skin.pattern.pixels[i] = static_cast<Color>(i + 1);
  EXPECT_EQ(skinfile::BackgroundAt(skin, 0, 0), 1u);
  EXPECT_EQ(skinfile::BackgroundAt(skin, 2, 1), 6u);
  EXPECT_EQ(skinfile::BackgroundAt(skin, 3, 2), 1u);
  EXPECT_EQ(skinfile::BackgroundAt(skin, -1, -1), 6u);
  EXPECT_EQ(skinfile::BackgroundAt(skin, 301, 7), skinfile::BackgroundAt(skin, 1, 1));
}

TEST(SkinPaint, FrameCaptionAndButtonsFollowTheLook) {
  const skinfile::Skin skin = TestSkin();
  const skinfile::FrameLayout layout = skinfile::LayOutFrame(
      skin.metrics, 200, 120, skinfile::kHasClose | skinfile::kHasMinimize, false);
  std::vector<Color> pixels(200 * 120, 0xFF000000u);
  const auto paint = [&](skinfile::FrameLook look) {
    std::fill(pixels.begin(), pixels.end(), 0xFF000000u);
    skinfile::Canvas canvas{pixels.data(), 0, 0, 200, 120};
    skinfile::PaintFrame(skin, layout, look, canvas);
  };
  const auto at = [&](int x, int y) { return pixels[y * 200 + x]; };
  paint({true, skinfile::kNoButton, skinfile::kNoButton, false});
  EXPECT_EQ(at(0, 60), skin.colors[skinfile::kFrameOutline]);
  EXPECT_EQ(at(199, 0), skin.colors[skinfile::kFrameOutline]);
  EXPECT_EQ(at(1, 60), skin.colors[skinfile::kFrameActive]);
  EXPECT_EQ(at(100, 118), skin.colors[skinfile::kFrameActive]);
  EXPECT_EQ(at(50, 1), skin.colors[skinfile::kCaptionActiveStart]);  // vertical, no gloss
  EXPECT_EQ(at(50, 20), skin.colors[skinfile::kCaptionActiveEnd]);
  EXPECT_EQ(at(100, 60), 0xFF000000u) << "the client is not painted";
  const skinfile::Rect& close = layout.buttons[skinfile::kCloseButton];
  const int bx = close.left + 2, by = close.top + close.Height() / 2;
  EXPECT_EQ(at(bx, by), skin.colors[skinfile::kCaptionButtonFace]);
  EXPECT_EQ(at(close.left + close.Width() / 2, close.top), skin.colors[skinfile::kCaptionButtonBorder]);

  paint({false, skinfile::kCloseButton, skinfile::kNoButton, false});
  EXPECT_EQ(at(1, 60), skin.colors[skinfile::kFrameInactive]);
  EXPECT_EQ(at(50, 1), skin.colors[skinfile::kCaptionInactiveStart]);
  EXPECT_EQ(at(bx, by), skin.colors[skinfile::kCloseButtonHot]);
  paint({true, skinfile::kCloseButton, skinfile::kCloseButton, false});
  EXPECT_EQ(at(bx, by), skin.colors[skinfile::kCloseButtonPressed]);
  const skinfile::Rect& min = layout.buttons[skinfile::kMinimizeButton];
  paint({true, skinfile::kMinimizeButton, skinfile::kNoButton, false});
  EXPECT_EQ(at(min.left + 2, min.top + min.Height() / 2), skin.colors[skinfile::kCaptionButtonHot]);
  // The glyph: in the glyph colour at rest, in the hot glyph colour when hot.
  const auto count = [&](Color color) {
    int n = 0;
    for (int y = close.top; y < close.bottom; ++y)
      for (int x = close.left; x < close.right; ++x) n += at(x, y) == color;
    return n;
  };
  EXPECT_GT(count(skin.colors[skinfile::kCaptionGlyph]), 6) << "minimise is hot, close at rest";
  EXPECT_EQ(count(skin.colors[skinfile::kCaptionGlyphHot]), 0);
  paint({true, skinfile::kCloseButton, skinfile::kNoButton, false});
  EXPECT_EQ(count(skin.colors[skinfile::kCaptionGlyph]), 0);
  EXPECT_GT(count(skin.colors[skinfile::kCaptionGlyphHot]), 6);

  // Painting through a small canvas gives the same pixels.
  paint({true, skinfile::kNoButton, skinfile::kNoButton, false});
  Color piece[6 * 4];
  skinfile::Canvas small{piece, bx - 2, by - 1, 6, 4};
  skinfile::PaintFrame(skin, layout, {true, skinfile::kNoButton, skinfile::kNoButton, false}, small);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(piece[y * 6 + x], at(bx - 2 + x, by - 1 + y));
}

TEST(SkinPaint, HorizontalGradientAndGloss) {
  skinfile::Skin skin = TestSkin();
  skin.metrics.captionGradient = static_cast<std::uint8_t>(skinfile::CaptionGradient::kHorizontal);
  skin.metrics.captionGloss = 50;
  const skinfile::FrameLayout layout = skinfile::LayOutFrame(skin.metrics, 200, 120, 0, false);
  const Color start = skin.colors[skinfile::kCaptionActiveStart], end = skin.colors[skinfile::kCaptionActiveEnd];
  EXPECT_EQ(skinfile::CaptionColorAt(skin, layout, true, 1, 20), start);
  EXPECT_EQ(skinfile::CaptionColorAt(skin, layout, true, 198, 20), end);
  EXPECT_EQ(skinfile::CaptionColorAt(skin, layout, true, 1, 1), skinfile::Lighten(start, 50));
  EXPECT_EQ(skinfile::CaptionColorAt(skin, layout, true, 1, 10), skinfile::Lighten(start, 50));
  EXPECT_EQ(skinfile::CaptionColorAt(skin, layout, true, 1, 11), start);
}


// The band as painted, whole or through a strip that starts inside it, is the
// band as CaptionColorAt defines it, pixel for pixel.
TEST(SkinPaint, CaptionBandIsCaptionColorAtEveryPixel) {
  for (const auto gradient : {skinfile::CaptionGradient::kVertical, skinfile::CaptionGradient::kHorizontal}) {
    skinfile::Skin skin = TestSkin();
    skin.metrics.captionGradient = static_cast<std::uint8_t>(gradient);
    skin.metrics.captionGloss = 30;
    const skinfile::FrameLayout layout = skinfile::LayOutFrame(skin.metrics, 200, 120, 0, false);
    const skinfile::Rect& band = layout.caption;
    for (const bool active : {true, false}) {
      std::vector<Color> pixels(200 * 120, 0xFF000000u);
      skinfile::Canvas whole{pixels.data(), 0, 0, 200, 120};
      skinfile::PaintFrame(skin, layout, {active, skinfile::kNoButton, skinfile::kNoButton, false}, whole);
      const int top = band.top + band.Height() / 2 - 1, left = band.left + 7;
      std::vector<Color> strip(50 * 5, 0xFF000000u);
      skinfile::Canvas part{strip.data(), left, top, 50, 5};
      skinfile::PaintFrame(skin, layout, {active, skinfile::kNoButton, skinfile::kNoButton, false}, part);
      for (int y = band.top; y < band.bottom; ++y)
        for (int x = band.left; x < band.right; ++x) {
          const Color expected = skinfile::CaptionColorAt(skin, layout, active, x, y);
          ASSERT_EQ(pixels[y * 200 + x], expected) << x << "," << y;
          if (x >= left && x < left + 50 && y >= top && y < top + 5)
            ASSERT_EQ(strip[(y - top) * 50 + (x - left)], expected) << x << "," << y;
        }
    }
  }
}

}  // namespace
