// The program icon: the picture (a blue lightning bolt across a silver-grey
// disc, its upper middle cut away) drawn at each size, and the .ico file that
// carries it at 1, 4, 8 and 32 bits per pixel.
#pragma once

#include <cstdint>
#include <vector>

namespace program_icon {

struct Rgba {
  std::uint8_t red, green, blue, alpha;
};

// Pixels top row first, anti-aliased; colours are not premultiplied.
struct Picture {
  int size = 0;
  std::vector<Rgba> pixels;  // size * size
  const Rgba& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * size + x]; }
};

Picture DrawPicture(int size);

struct ImageFormat {
  int size;
  int bits_per_pixel;  // 1, 4, 8 or 32
};

// The images of the file, in directory order.
const std::vector<ImageFormat>& IconImageFormats();

// The whole .ico file; the same bytes on every call.
std::vector<std::uint8_t> BuildIconFile();

}  // namespace program_icon
