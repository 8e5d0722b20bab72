// Where the frame's parts lie and what the pointer hits.
#include <gtest/gtest.h>

#include "skinfile/frame.h"

namespace {

using skinfile::FramePart;

skinfile::Metrics TestMetrics() {
  skinfile::Metrics m{};
  m.captionHeight = 28;
  m.frameWidth = 4;
  m.captionButtonWidth = 26;
  m.captionButtonHeight = 18;
  m.captionButtonGap = 2;
  m.captionButtonRadius = 3;
  m.captionTextIndent = 6;
  m.glyphThickness = 1;
  m.buttonBorder = 1;
  return m;
}

constexpr unsigned kAll = skinfile::kHasClose | skinfile::kHasMaximize | skinfile::kHasMinimize;

TEST(FrameLayout, ClientCaptionAndButtonsOfAWindow) {
  const skinfile::FrameLayout l = skinfile::LayOutFrame(TestMetrics(), 400, 300, kAll, false);
  EXPECT_EQ(l.caption.left, 1);
  EXPECT_EQ(l.caption.top, 1);
  EXPECT_EQ(l.caption.right, 399);
  EXPECT_EQ(l.caption.bottom, 29);
  EXPECT_EQ(l.client.left, 4);
  EXPECT_EQ(l.client.top, 29);
  EXPECT_EQ(l.client.right, 396);
  EXPECT_EQ(l.client.bottom, 296);
  // From the right: close, maximise, minimise, centred in the caption.
  const skinfile::Rect& close = l.buttons[skinfile::kCloseButton];
  const skinfile::Rect& maximize = l.buttons[skinfile::kMaximizeButton];
  const skinfile::Rect& minimize = l.buttons[skinfile::kMinimizeButton];
  EXPECT_EQ(close.right, 400 - 4 - 2);
  EXPECT_EQ(close.Width(), 26);
  EXPECT_EQ(close.top, 1 + (28 - 18) / 2);
  EXPECT_EQ(close.Height(), 18);
  EXPECT_EQ(maximize.right, close.left - 2);
  EXPECT_EQ(minimize.right, maximize.left - 2);
  EXPECT_TRUE(l.icon.Empty());
  EXPECT_EQ(l.title.left, 4 + 6);
  EXPECT_LT(l.title.right, minimize.left);
  const skinfile::FrameInsets in = skinfile::InsetsOf(TestMetrics());
  EXPECT_EQ(in.left + in.right, 8);
  EXPECT_EQ(in.top, 29);
  EXPECT_EQ(in.bottom, 4);
}

TEST(FrameLayout, OnlyTheButtonsTheStyleHas) {
  const skinfile::FrameLayout closeOnly =
      skinfile::LayOutFrame(TestMetrics(), 400, 300, skinfile::kHasClose, true);
  EXPECT_FALSE(closeOnly.buttons[skinfile::kCloseButton].Empty());
  EXPECT_TRUE(closeOnly.buttons[skinfile::kMaximizeButton].Empty());
  EXPECT_TRUE(closeOnly.buttons[skinfile::kMinimizeButton].Empty());
  // With an icon, the title starts after it.
  EXPECT_EQ(closeOnly.icon.Width(), 16);
  EXPECT_GT(closeOnly.title.left, closeOnly.icon.right);

  const skinfile::FrameLayout minimizeOnly = skinfile::LayOutFrame(
      TestMetrics(), 400, 300, skinfile::kHasClose | skinfile::kHasMinimize, false);
  EXPECT_TRUE(minimizeOnly.buttons[skinfile::kMaximizeButton].Empty());
  EXPECT_EQ(minimizeOnly.buttons[skinfile::kMinimizeButton].right,
            minimizeOnly.buttons[skinfile::kCloseButton].left - 2);
  const skinfile::FrameLayout none = skinfile::LayOutFrame(TestMetrics(), 400, 300, 0, false);
  for (const skinfile::Rect& b : none.buttons) EXPECT_TRUE(b.Empty());
}

TEST(FrameLayout, TinyWindowsGiveNoNegativeParts) {
  for (int w : {0, 1, 5, 30, 90}) {
    for (int h : {0, 1, 10, 40}) {
      const skinfile::FrameLayout l = skinfile::LayOutFrame(TestMetrics(), w, h, kAll, true);
      EXPECT_GE(l.client.Width(), 0);
      EXPECT_GE(l.client.Height(), 0);
      for (const skinfile::Rect& b : l.buttons) {
        if (b.Empty()) continue;
        EXPECT_GE(b.left, l.caption.left);
        EXPECT_LE(b.right, l.caption.right);
      }
      EXPECT_GE(l.title.Width(), 0);
    }
  }
}

struct Hit {
  int x, y;
  bool resizable;
  FramePart part;
};

TEST(FrameLayout, HitTestFindsEveryPart) {
  const skinfile::FrameLayout l = skinfile::LayOutFrame(TestMetrics(), 400, 300, kAll, false);
  const skinfile::Rect& close = l.buttons[skinfile::kCloseButton];
  const skinfile::Rect& maximize = l.buttons[skinfile::kMaximizeButton];
  const skinfile::Rect& minimize = l.buttons[skinfile::kMinimizeButton];
  const Hit hits[] = {
      {200, 150, true, FramePart::kClient},
      {4, 29, true, FramePart::kClient},
      {395, 295, true, FramePart::kClient},
      {100, 15, true, FramePart::kCaption},
      {close.left, close.top, true, FramePart::kClose},
      {close.right - 1, close.bottom - 1, false, FramePart::kClose},
      {maximize.left + 3, maximize.top + 3, true, FramePart::kMaximize},
      {minimize.left + 3, minimize.top + 3, true, FramePart::kMinimize},
      {close.right, close.top + 2, false, FramePart::kCaption},  // the gap to the frame
      {0, 150, true, FramePart::kLeft},
      {3, 150, true, FramePart::kLeft},
      {399, 150, true, FramePart::kRight},
      {200, 0, true, FramePart::kTop},
      {200, 299, true, FramePart::kBottom},
      {0, 0, true, FramePart::kTopLeft},
      {10, 1, true, FramePart::kTopLeft},
      {399, 0, true, FramePart::kTopRight},
      {0, 299, true, FramePart::kBottomLeft},
      {399, 299, true, FramePart::kBottomRight},
      {0, 150, false, FramePart::kBorder},
      {200, 299, false, FramePart::kBorder},
      {200, 0, false, FramePart::kBorder},
      {-1, 10, true, FramePart::kOutside},
      {400, 10, true, FramePart::kOutside},
  };
  for (const Hit& h : hits)
    EXPECT_EQ(skinfile::HitTest(l, h.x, h.y, h.resizable), h.part) << h.x << "," << h.y;
}

}  // namespace
