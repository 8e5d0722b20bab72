// The contents of a skin: colours, metrics, fonts and an optional background
// pattern. Portable: no windows.h. Fixed-size storage, so that the engine
// library carries no allocator or container code for it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace skinfile {

// 0x00RRGGBB: the byte order of a 32-bit top-down DIB pixel.
using Color = std::uint32_t;

constexpr Color Rgb(int red, int green, int blue) {
  return (static_cast<Color>(red & 0xFF) << 16) | (static_cast<Color>(green & 0xFF) << 8) |
         static_cast<Color>(blue & 0xFF);
}
constexpr int RedOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return static_cast<int>(c & 0xFF); }

// The colour table, in file order. New roles go at the end, with a new
// format version.
enum ColorRole : int {
  kCaptionActiveStart,
  kCaptionActiveEnd,
  kCaptionInactiveStart,
  kCaptionInactiveEnd,
  kCaptionTextActive,
  kCaptionTextInactive,
  kFrameOutline,
  kFrameActive,
  kFrameInactive,
  kCaptionButtonFace,
  kCaptionButtonHot,
  kCaptionButtonPressed,
  kCaptionButtonBorder,
  kCaptionGlyph,
  kCaptionGlyphHot,
  kCloseButtonHot,
  kCloseButtonPressed,
  kClientBackground,
  kControlText,
  kButtonNormalTop,
  kButtonNormalBottom,
  kButtonHotTop,
  kButtonHotBottom,
  kButtonPressedTop,
  kButtonPressedBottom,
  kButtonDisabledTop,
  kButtonDisabledBottom,
  kButtonBorder,
  kButtonBorderHot,
  kButtonBorderPressed,
  kButtonBorderDisabled,
  kButtonFocus,
  kButtonText,
  kButtonTextHot,
  kButtonTextPressed,
  kButtonTextDisabled,
  kColorCount
};

// The name of a colour role in skin sources ("caption_active_start"...).
const char* ColorRoleName(int role);

enum class CaptionGradient : std::uint8_t { kVertical = 0, kHorizontal = 1 };
enum class TextAlign : std::uint8_t { kLeft = 0, kCenter = 1 };

// Sizes in pixels; percentages 0..100. Ranges are checked by the reader
// (see README.md).
struct Metrics {
  std::uint8_t captionHeight;        // caption band, below the 1-pixel outline
  std::uint8_t frameWidth;           // side and bottom frame, outline included
  std::uint8_t captionButtonWidth;
  std::uint8_t captionButtonHeight;
  std::uint8_t captionButtonGap;     // between buttons and before the frame
  std::uint8_t captionButtonRadius;  // corner radius
  std::uint8_t captionButtonFlat;    // 1: a button at rest shows only its glyph
  std::uint8_t captionGradient;      // CaptionGradient
  std::uint8_t captionTextAlign;     // TextAlign
  std::uint8_t captionTextIndent;    // left of the title (or icon)
  std::uint8_t captionGloss;         // white laid over the caption's upper half
  std::uint8_t glyphThickness;       // stroke of the caption button glyphs
  std::uint8_t buttonRadius;         // push button corner radius
  std::uint8_t buttonBorder;         // push button border width
  std::uint8_t buttonGloss;          // white laid over the face's upper half
};

// The metrics in file order, with their names in skin sources and their
// ranges. A metric with value words is written as one of them in sources
// (the word's index is the value). The reader also checks
// captionButtonHeight <= captionHeight and
// captionButtonRadius <= half the shorter caption button side.
struct MetricInfo {
  const char* name;
  std::uint8_t Metrics::*field;
  int low, high;
  const char* words[2];  // nullptr when the metric is a number
};
constexpr int kMetricCount = 15;
extern const MetricInfo kMetricInfo[kMetricCount];

constexpr std::size_t kMaxFaceBytes = 31;
constexpr std::size_t kMaxNameBytes = 63;

struct Font {
  char face[kMaxFaceBytes + 1];  // UTF-8, NUL-terminated
  std::uint8_t height;           // character height in pixels
  std::uint16_t weight;          // 100..900 (400 normal, 700 bold)
  bool italic;
};

constexpr int kMaxPatternSide = 16;

// A tile repeated over client backgrounds, anchored at the client's top-left
// corner; width 0 means a plain ClientBackground colour.
struct Pattern {
  std::uint8_t width;
  std::uint8_t height;
  Color pixels[kMaxPatternSide * kMaxPatternSide];  // row by row, width per row
};

struct Skin {
  char name[kMaxNameBytes + 1];  // UTF-8, NUL-terminated
  Metrics metrics;
  Color colors[kColorCount];
  Font captionFont;
  Font buttonFont;
  Pattern pattern;
};

}  // namespace skinfile
