#include "program_icon.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <stdexcept>
#include <tuple>

namespace program_icon {
namespace {

// --- The picture, in unit coordinates (0..1, y downwards) ------------------

struct Point {
  double x, y;
};

constexpr Point kDiscCentre{0.5, 0.5};
constexpr double kDiscRadius = 0.46;
constexpr double kRimWidth = 0.05;
// The cut-away: a round bite out of the top of the disc.
constexpr Point kCutCentre{0.5, 0.13};
constexpr double kCutRadius = 0.22;

constexpr std::array<Point, 7> kBolt{{
    {0.64, 0.03}, {0.25, 0.56}, {0.46, 0.56}, {0.33, 0.97},
    {0.77, 0.40}, {0.56, 0.40}, {0.78, 0.03},
}};
constexpr double kBoltOutline = 0.035;

struct Colour {
  double red, green, blue;
};

double Distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

double DistanceToSegment(Point p, Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  return Distance(p, {a.x + t * dx, a.y + t * dy});
}

bool InsideBolt(Point p) {
  bool inside = false;
  for (std::size_t i = 0, j = kBolt.size() - 1; i < kBolt.size(); j = i++) {
    const Point a = kBolt[i], b = kBolt[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
      inside = !inside;
    }
  }
  return inside;
}

double DistanceToBoltEdge(Point p) {
  double nearest = 1e9;
  for (std::size_t i = 0, j = kBolt.size() - 1; i < kBolt.size(); j = i++) {
    nearest = std::min(nearest, DistanceToSegment(p, kBolt[i], kBolt[j]));
  }
  return nearest;
}

Colour Mix(Colour a, Colour b, double t) {
  return {a.red + (b.red - a.red) * t, a.green + (b.green - a.green) * t, a.blue + (b.blue - a.blue) * t};
}

// The colour of the picture at p, or false where it is transparent.
bool Sample(Point p, Colour& colour) {
  if (InsideBolt(p)) {
    if (DistanceToBoltEdge(p) < kBoltOutline) {
      colour = {10, 36, 140};
    } else {
      colour = Mix({96, 184, 255}, {20, 86, 230}, std::clamp(p.y, 0.0, 1.0));
    }
    return true;
  }
  const double from_centre = Distance(p, kDiscCentre);
  const double from_cut = Distance(p, kCutCentre);
  if (from_centre > kDiscRadius || from_cut < kCutRadius) return false;
  if (from_centre > kDiscRadius - kRimWidth || from_cut < kCutRadius + kRimWidth) {
    colour = {118, 122, 130};
  } else {
    // Lit from the upper left.
    colour = Mix({242, 244, 248}, {150, 154, 162}, std::clamp((p.x + p.y) / 2.0, 0.0, 1.0));
  }
  return true;
}

constexpr int kSamplesPerAxis = 16;  // supersampling, 256 samples a pixel

std::uint8_t ToByte(double value) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

// --- Reduction to the lower colour depths ----------------------------------

struct Rgb {
  std::uint8_t red, green, blue;
  bool operator<(const Rgb& o) const {
    return std::tie(red, green, blue) < std::tie(o.red, o.green, o.blue);
  }
};

using Palette = std::vector<Rgb>;

const Palette kBlackAndWhite{{0, 0, 0}, {255, 255, 255}};
const Palette kVgaPalette{
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
};

constexpr int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

double BayerThreshold(int x, int y) { return (kBayer4[y % 4][x % 4] + 0.5) / 16.0; }  // 0..1

// Lower depths show a pixel where the 32-bit image is at least half opaque.
bool ShownAtLowDepth(const Rgba& pixel) { return pixel.alpha >= 128; }

int Nearest(const Palette& palette, double red, double green, double blue) {
  int best = 0;
  double best_distance = 1e18;
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const double dr = red - palette[i].red, dg = green - palette[i].green, db = blue - palette[i].blue;
    const double distance = dr * dr + dg * dg + db * db;
    if (distance < best_distance) {
      best_distance = distance;
      best = static_cast<int>(i);
    }
  }
  return best;
}

std::vector<int> DitherToBlackAndWhite(const Picture& picture) {
  std::vector<int> indices(picture.pixels.size(), 0);
  for (int y = 0; y < picture.size; ++y) {
    for (int x = 0; x < picture.size; ++x) {
      const Rgba& p = picture.at(x, y);
      if (!ShownAtLowDepth(p)) continue;
      const double luminance = (0.299 * p.red + 0.587 * p.green + 0.114 * p.blue) / 255.0;
      indices[static_cast<std::size_t>(y) * picture.size + x] = luminance > BayerThreshold(x, y) ? 1 : 0;
    }
  }
  return indices;
}

std::vector<int> DitherToVga(const Picture& picture) {
  constexpr double kSpread = 110.0;  // about the gap between neighbouring VGA levels
  std::vector<int> indices(picture.pixels.size(), 0);
  for (int y = 0; y < picture.size; ++y) {
    for (int x = 0; x < picture.size; ++x) {
      const Rgba& p = picture.at(x, y);
      if (!ShownAtLowDepth(p)) continue;
      const double offset = (BayerThreshold(x, y) - 0.5) * kSpread;
      indices[static_cast<std::size_t>(y) * picture.size + x] =
          Nearest(kVgaPalette, p.red + offset, p.green + offset, p.blue + offset);
    }
  }
  return indices;
}

// Median cut over the shown pixels: at most 255 colours, entry 0 stays black
// for the masked pixels; unused entries are black as well.
Palette AdaptivePalette(const Picture& picture) {
  std::map<Rgb, int> counts;
  for (const Rgba& p : picture.pixels) {
    if (ShownAtLowDepth(p)) ++counts[{p.red, p.green, p.blue}];
  }
  struct Entry {
    Rgb colour;
    int count;
  };
  std::vector<Entry> entries;
  for (const auto& [colour, count] : counts) entries.push_back({colour, count});

  using Box = std::pair<std::size_t, std::size_t>;  // [first, last) in entries
  auto channel = [](const Rgb& c, int which) { return which == 0 ? c.red : which == 1 ? c.green : c.blue; };
  auto widest = [&](const Box& box, int& which) {
    int best_range = -1;
    for (int ch = 0; ch < 3; ++ch) {
      int low = 255, high = 0;
      for (std::size_t i = box.first; i < box.second; ++i) {
        low = std::min<int>(low, channel(entries[i].colour, ch));
        high = std::max<int>(high, channel(entries[i].colour, ch));
      }
      if (high - low > best_range) {
        best_range = high - low;
        which = ch;
      }
    }
    return best_range;
  };

  std::vector<Box> boxes;
  if (!entries.empty()) boxes.push_back({0, entries.size()});
  constexpr std::size_t kColours = 255;
  while (boxes.size() < kColours) {
    std::size_t split = boxes.size();
    int split_channel = 0, split_range = 0;
    for (std::size_t b = 0; b < boxes.size(); ++b) {
      int which = 0;
      const int range = boxes[b].second - boxes[b].first > 1 ? widest(boxes[b], which) : 0;
      if (range > split_range) {
        split_range = range;
        split_channel = which;
        split = b;
      }
    }
    if (split == boxes.size()) break;  // every box holds one colour
    const Box box = boxes[split];
    std::stable_sort(entries.begin() + box.first, entries.begin() + box.second,
                     [&](const Entry& a, const Entry& b) {
                       return channel(a.colour, split_channel) < channel(b.colour, split_channel);
                     });
    int total = 0;
    for (std::size_t i = box.first; i < box.second; ++i) total += entries[i].count;
    std::size_t middle = box.first;
    for (int seen = 0; middle < box.second - 1 && seen + entries[middle].count <= total / 2; ++middle) {
      seen += entries[middle].count;
    }
    if (middle == box.first) middle = box.first + 1;
    boxes[split] = {box.first, middle};
    boxes.insert(boxes.begin() + static_cast<std::ptrdiff_t>(split) + 1, Box{middle, box.second});
  }

  Palette palette(256, Rgb{0, 0, 0});
  for (std::size_t b = 0; b < boxes.size(); ++b) {
    double red = 0, green = 0, blue = 0, total = 0;
    for (std::size_t i = boxes[b].first; i < boxes[b].second; ++i) {
      red += entries[i].colour.red * double(entries[i].count);
      green += entries[i].colour.green * double(entries[i].count);
      blue += entries[i].colour.blue * double(entries[i].count);
      total += entries[i].count;
    }
    palette[b + 1] = {ToByte(red / total), ToByte(green / total), ToByte(blue / total)};
  }
  return palette;
}

std::vector<int> MapToPalette(const Picture& picture, const Palette& palette) {
  std::vector<int> indices(picture.pixels.size(), 0);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    const Rgba& p = picture.pixels[i];
    if (ShownAtLowDepth(p)) indices[i] = Nearest(palette, p.red, p.green, p.blue);
  }
  return indices;
}

// --- File layout ------------------------------------------------------------

class ByteWriter {
 public:
  void U8(unsigned v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
  void U16(unsigned v) { U8(v & 0xFF), U8(v >> 8); }
  void U32(std::uint32_t v) { U16(v & 0xFFFF), U16(v >> 16); }
  void Append(const std::vector<std::uint8_t>& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
  std::vector<std::uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

int RowBytes(int width, int bits_per_pixel) { return (width * bits_per_pixel + 31) / 32 * 4; }

// The AND mask, bottom row first; a set bit lets the background through.
template <typename IsTransparent>
std::vector<std::uint8_t> Mask(const Picture& picture, IsTransparent is_transparent) {
  const int stride = RowBytes(picture.size, 1);
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(stride) * picture.size, 0);
  for (int row = 0; row < picture.size; ++row) {
    const int y = picture.size - 1 - row;
    for (int x = 0; x < picture.size; ++x) {
      if (is_transparent(picture.at(x, y))) {
        mask[static_cast<std::size_t>(row) * stride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
  }
  return mask;
}

std::vector<std::uint8_t> PackIndices(const std::vector<int>& indices, int size, int bits_per_pixel) {
  const int stride = RowBytes(size, bits_per_pixel);
  std::vector<std::uint8_t> packed(static_cast<std::size_t>(stride) * size, 0);
  const int per_byte = 8 / bits_per_pixel;
  for (int row = 0; row < size; ++row) {
    const int y = size - 1 - row;
    for (int x = 0; x < size; ++x) {
      const int shift = 8 - bits_per_pixel * (x % per_byte + 1);  // leftmost pixel in the high bits
      packed[static_cast<std::size_t>(row) * stride + x / per_byte] |=
          static_cast<std::uint8_t>(indices[static_cast<std::size_t>(y) * size + x] << shift);
    }
  }
  return packed;
}

std::vector<std::uint8_t> ImageBytes(const Picture& picture, int bits_per_pixel) {
  const int size = picture.size;
  ByteWriter out;
  out.U32(40);
  out.U32(static_cast<std::uint32_t>(size));
  out.U32(static_cast<std::uint32_t>(size * 2));  // colour bitmap and mask
  out.U16(1);
  out.U16(static_cast<unsigned>(bits_per_pixel));
  out.U32(0);  // BI_RGB
  out.U32(0);  // size of image: implied by the dimensions
  out.U32(0);
  out.U32(0);
  const std::uint32_t colours_used = bits_per_pixel == 8 ? 256 : 0;
  out.U32(colours_used);
  out.U32(colours_used);

  if (bits_per_pixel == 32) {
    for (int row = 0; row < size; ++row) {
      for (int x = 0; x < size; ++x) {
        const Rgba& p = picture.at(x, size - 1 - row);
        out.U8(p.blue), out.U8(p.green), out.U8(p.red), out.U8(p.alpha);
      }
    }
    out.Append(Mask(picture, [](const Rgba& p) { return p.alpha == 0; }));
    return std::move(out.bytes());
  }

  Palette adaptive;
  const Palette* palette = &kBlackAndWhite;
  std::vector<int> indices;
  switch (bits_per_pixel) {
    case 1:
      indices = DitherToBlackAndWhite(picture);
      break;
    case 4:
      palette = &kVgaPalette;
      indices = DitherToVga(picture);
      break;
    case 8:
      adaptive = AdaptivePalette(picture);
      palette = &adaptive;
      indices = MapToPalette(picture, adaptive);
      break;
    default:
      throw std::invalid_argument("unsupported colour depth");
  }
  for (const Rgb& c : *palette) out.U8(c.blue), out.U8(c.green), out.U8(c.red), out.U8(0);
  out.Append(PackIndices(indices, size, bits_per_pixel));
  out.Append(Mask(picture, [](const Rgba& p) { return !ShownAtLowDepth(p); }));
  return std::move(out.bytes());
}

}  // namespace

Picture DrawPicture(int size) {
  Picture picture;
  picture.size = size;
  picture.pixels.resize(static_cast<std::size_t>(size) * size);
  constexpr int kSamples = kSamplesPerAxis * kSamplesPerAxis;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      Colour sum{0, 0, 0};
      int covered = 0;
      for (int sy = 0; sy < kSamplesPerAxis; ++sy) {
        for (int sx = 0; sx < kSamplesPerAxis; ++sx) {
          const Point p{(x + (sx + 0.5) / kSamplesPerAxis) / size, (y + (sy + 0.5) / kSamplesPerAxis) / size};
          Colour c{};
          if (Sample(p, c)) {
            sum = {sum.red + c.red, sum.green + c.green, sum.blue + c.blue};
            ++covered;
          }
        }
      }
      Rgba& pixel = picture.pixels[static_cast<std::size_t>(y) * size + x];
      pixel = {0, 0, 0, ToByte(255.0 * covered / kSamples)};
      if (pixel.alpha == 0) continue;
      pixel.red = ToByte(sum.red / covered);
      pixel.green = ToByte(sum.green / covered);
      pixel.blue = ToByte(sum.blue / covered);
    }
  }
  return picture;
}

const std::vector<ImageFormat>& IconImageFormats() {
  static const std::vector<ImageFormat> formats{
      {48, 1}, {32, 1}, {16, 1},
      {48, 4}, {32, 4}, {24, 4}, {16, 4},
      {48, 8}, {32, 8}, {24, 8}, {16, 8},
      {48, 32}, {32, 32}, {24, 32}, {16, 32},
  };
  return formats;
}

std::vector<std::uint8_t> BuildIconFile() {
  const auto& formats = IconImageFormats();
  std::map<int, Picture> pictures;
  std::vector<std::vector<std::uint8_t>> images;
  for (const ImageFormat& format : formats) {
    auto found = pictures.find(format.size);
    if (found == pictures.end()) found = pictures.emplace(format.size, DrawPicture(format.size)).first;
    images.push_back(ImageBytes(found->second, format.bits_per_pixel));
  }

  ByteWriter out;
  out.U16(0);
  out.U16(1);  // icon
  out.U16(static_cast<unsigned>(formats.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * formats.size());
  for (std::size_t i = 0; i < formats.size(); ++i) {
    const ImageFormat& format = formats[i];
    out.U8(static_cast<unsigned>(format.size));
    out.U8(static_cast<unsigned>(format.size));
    out.U8(format.bits_per_pixel < 8 ? 1u << format.bits_per_pixel : 0u);
    out.U8(0);
    out.U16(1);
    out.U16(static_cast<unsigned>(format.bits_per_pixel));
    out.U32(static_cast<std::uint32_t>(images[i].size()));
    out.U32(offset);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const auto& image : images) out.Append(image);
  return std::move(out.bytes());
}

}  // namespace program_icon
