#include "skinfile/reader.h"

#include <cstring>

namespace skinfile {
namespace {

constexpr std::uint8_t kMagic[4] = {'.', 'S', 'H', 'E'};

std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool TagIs(const std::uint8_t* p, const char (&tag)[5]) { return std::memcmp(p, tag, 4) == 0; }

// Printable UTF-8: well-formed sequences, shortest form, no control characters.
bool IsPrintableUtf8(const std::uint8_t* p, std::size_t n) {
  std::size_t i = 0;
  while (i < n) {
    const std::uint8_t lead = p[i];
    std::size_t extra;
    std::uint32_t code;
    if (lead < 0x80) {
      if (lead < 0x20 || lead == 0x7F) return false;
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3;
      code = lead & 0x07;
    } else {
      return false;
    }
    if (n - i <= extra) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      code = (code << 6) | (p[i + k] & 0x3F);
    }
    if ((extra == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
        (extra == 3 && (code < 0x10000 || code > 0x10FFFF)))
      return false;
    i += extra + 1;
  }
  return true;
}

std::size_t BoundedLength(const char* text, std::size_t limit) {
  std::size_t n = 0;
  while (n < limit && text[n] != '\0') ++n;
  return n;
}

bool IsValidText(const char* text, std::size_t maxBytes) {
  const std::size_t n = BoundedLength(text, maxBytes + 1);
  return n >= 1 && n <= maxBytes &&
         IsPrintableUtf8(reinterpret_cast<const std::uint8_t*>(text), n);
}

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

bool IsValidMetrics(const Metrics& m) {
  for (const MetricInfo& info : kMetricInfo)
    if (!InRange(m.*info.field, info.low, info.high)) return false;
  const int shorter = m.captionButtonWidth < m.captionButtonHeight ? m.captionButtonWidth
                                                                   : m.captionButtonHeight;
  return m.captionButtonHeight <= m.captionHeight && m.captionButtonRadius <= shorter / 2;
}

bool IsValidFont(const Font& f) {
  return IsValidText(f.face, kMaxFaceBytes) && InRange(f.height, 8, 48) &&
         InRange(f.weight, 100, 900);
}

bool IsValidPattern(const Pattern& p) {
  if (p.width == 0 && p.height == 0) return true;
  if (!InRange(p.width, 1, kMaxPatternSide) || !InRange(p.height, 1, kMaxPatternSide))
    return false;
  for (int i = 0; i < p.width * p.height; ++i)
    if (p.pixels[i] > 0xFFFFFFu) return false;
  return true;
}

constexpr std::size_t kMetricsBytes = kMetricCount + 1;  // and a reserved zero

bool ReadMetrics(const std::uint8_t* p, std::size_t n, Metrics& m) {
  if (n != kMetricsBytes || p[kMetricCount] != 0) return false;
  for (int i = 0; i < kMetricCount; ++i) m.*kMetricInfo[i].field = p[i];
  return IsValidMetrics(m);
}

bool ReadColors(const std::uint8_t* p, std::size_t n, Color (&colors)[kColorCount]) {
  if (n != 4u * kColorCount) return false;
  for (int i = 0; i < kColorCount; ++i) {
    colors[i] = Le32(p + 4 * i);
    if (colors[i] > 0xFFFFFFu) return false;
  }
  return true;
}

// One font record: height, italic, weight (16 bits), face length, face.
bool ReadFont(const std::uint8_t* p, std::size_t n, std::size_t& used, Font& f) {
  if (n < 5) return false;
  const std::size_t faceBytes = p[4];
  if (faceBytes > kMaxFaceBytes || n - 5 < faceBytes) return false;
  if (p[1] > 1) return false;
  f.height = p[0];
  f.italic = p[1] != 0;
  f.weight = Le16(p + 2);
  std::memset(f.face, 0, sizeof f.face);
  std::memcpy(f.face, p + 5, faceBytes);
  used = 5 + faceBytes;
  return faceBytes > 0 && std::memchr(p + 5, 0, faceBytes) == nullptr && IsValidFont(f);
}

bool ReadFonts(const std::uint8_t* p, std::size_t n, Font& caption, Font& button) {
  std::size_t first = 0, second = 0;
  return ReadFont(p, n, first, caption) && ReadFont(p + first, n - first, second, button) &&
         first + second == n;
}

bool ReadPattern(const std::uint8_t* p, std::size_t n, Pattern& pattern) {
  if (n < 4 || Le16(p + 2) != 0) return false;
  const int width = p[0], height = p[1];
  if (!InRange(width, 1, kMaxPatternSide) || !InRange(height, 1, kMaxPatternSide) ||
      n != 4u + 4u * static_cast<std::size_t>(width * height))
    return false;
  pattern.width = static_cast<std::uint8_t>(width);
  pattern.height = static_cast<std::uint8_t>(height);
  for (int i = 0; i < width * height; ++i) pattern.pixels[i] = Le32(p + 4 + 4 * i);
  return IsValidPattern(pattern);
}

bool ReadName(const std::uint8_t* p, std::size_t n, char (&name)[kMaxNameBytes + 1]) {
  if (n < 1 || n > kMaxNameBytes || !IsPrintableUtf8(p, n)) return false;
  std::memset(name, 0, sizeof name);
  std::memcpy(name, p, n);
  return true;
}

// The chunks after the header; each known chunk exactly once, PATT optional.
bool ReadChunks(const std::uint8_t* p, std::size_t n, Skin& out) {
  bool haveName = false, haveMetrics = false, haveColors = false, haveFonts = false,
       havePattern = false;
  out.pattern.width = out.pattern.height = 0;
  std::size_t at = 0;
  while (at < n) {
    if (n - at < 8) return false;
    const std::uint8_t* tag = p + at;
    const std::uint32_t size = Le32(p + at + 4);
    at += 8;
    if (size > n - at) return false;
    const std::uint8_t* body = p + at;
    bool ok;
    if (TagIs(tag, "NAME") && !haveName) {
      ok = haveName = ReadName(body, size, out.name);
    } else if (TagIs(tag, "METR") && !haveMetrics) {
      ok = haveMetrics = ReadMetrics(body, size, out.metrics);
    } else if (TagIs(tag, "COLR") && !haveColors) {
      ok = haveColors = ReadColors(body, size, out.colors);
    } else if (TagIs(tag, "FONT") && !haveFonts) {
      ok = haveFonts = ReadFonts(body, size, out.captionFont, out.buttonFont);
    } else if (TagIs(tag, "PATT") && !havePattern) {
      ok = havePattern = ReadPattern(body, size, out.pattern);
    } else {
      ok = false;  // unknown to this version, or repeated
    }
    if (!ok) return false;
    at += size;
  }
  return haveName && haveMetrics && haveColors && haveFonts;
}

}  // namespace

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

bool IsValid(const Skin& skin) {
  for (Color c : skin.colors)
    if (c > 0xFFFFFFu) return false;
  return IsValidText(skin.name, kMaxNameBytes) && IsValidMetrics(skin.metrics) &&
         IsValidFont(skin.captionFont) && IsValidFont(skin.buttonFont) &&
         IsValidPattern(skin.pattern);
}

ReadStatus Read(const std::uint8_t* data, std::size_t size, Skin& skin) {
  if (size == 0 || data == nullptr) return ReadStatus::kEmpty;
  const std::size_t magicBytes = size < 4 ? size : 4;
  if (std::memcmp(data, kMagic, magicBytes) != 0) return ReadStatus::kNotSkinFile;
  if (size < kHeaderSize) return ReadStatus::kTruncated;
  if (Le16(data + 4) != kFormatVersion) return ReadStatus::kUnsupportedVersion;
  const std::uint32_t length = Le32(data + 8);
  if (length > size) return ReadStatus::kTruncated;
  if (length < size || length < kHeaderSize || Le16(data + 6) != 0)
    return ReadStatus::kCorrupted;
  if (Crc32(data + kHeaderSize, size - kHeaderSize) != Le32(data + 12))
    return ReadStatus::kCorrupted;
  Skin read;
  std::memset(&read, 0, sizeof read);
  if (!ReadChunks(data + kHeaderSize, size - kHeaderSize, read)) return ReadStatus::kInvalid;
  skin = read;
  return ReadStatus::kOk;
}

const MetricInfo kMetricInfo[kMetricCount] = {
    {"caption_height", &Metrics::captionHeight, 16, 48, {}},
    {"frame_width", &Metrics::frameWidth, 2, 8, {}},
    {"caption_button_width", &Metrics::captionButtonWidth, 12, 48, {}},
    {"caption_button_height", &Metrics::captionButtonHeight, 10, 48, {}},
    {"caption_button_gap", &Metrics::captionButtonGap, 0, 8, {}},
    {"caption_button_radius", &Metrics::captionButtonRadius, 0, 24, {}},
    {"caption_button_flat", &Metrics::captionButtonFlat, 0, 1, {"no", "yes"}},
    {"caption_gradient", &Metrics::captionGradient, 0, 1, {"vertical", "horizontal"}},
    {"caption_text_align", &Metrics::captionTextAlign, 0, 1, {"left", "center"}},
    {"caption_text_indent", &Metrics::captionTextIndent, 0, 32, {}},
    {"caption_gloss", &Metrics::captionGloss, 0, 100, {}},
    {"glyph_thickness", &Metrics::glyphThickness, 1, 3, {}},
    {"button_radius", &Metrics::buttonRadius, 0, 12, {}},
    {"button_border", &Metrics::buttonBorder, 1, 3, {}},
    {"button_gloss", &Metrics::buttonGloss, 0, 100, {}},
};

const char* ColorRoleName(int role) {
  static const char* const kNames[kColorCount] = {
      "caption_active_start",   "caption_active_end",    "caption_inactive_start",
      "caption_inactive_end",   "caption_text_active",   "caption_text_inactive",
      "frame_outline",          "frame_active",          "frame_inactive",
      "caption_button_face",    "caption_button_hot",    "caption_button_pressed",
      "caption_button_border",  "caption_glyph",         "caption_glyph_hot",
      "close_button_hot",       "close_button_pressed",  "client_background",
      "control_text",           "button_normal_top",     "button_normal_bottom",
      "button_hot_top",         "button_hot_bottom",     "button_pressed_top",
      "button_pressed_bottom",  "button_disabled_top",   "button_disabled_bottom",
      "button_border",          "button_border_hot",     "button_border_pressed",
      "button_border_disabled", "button_focus",          "button_text",
      "button_text_hot",        "button_text_pressed",   "button_text_disabled",
  };
  return role >= 0 && role < kColorCount ? kNames[role] : nullptr;
}

}  // namespace skinfile
