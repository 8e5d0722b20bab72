// The program icon file: make_icon still draws the committed asset, and the
// asset has the layout Windows expects of each of its fifteen images.
// Usage: icon_file_test COMMITTED.ico FRESHLY_DRAWN.ico
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string g_committed_path;
std::string g_drawn_path;

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

unsigned U16(const Bytes& b, std::size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
std::uint32_t U32(const Bytes& b, std::size_t at) { return U16(b, at) | (std::uint32_t(U16(b, at + 2)) << 16); }

struct ExpectedImage {
  int size, bits, colour_count;
  std::uint32_t bytes;
};

const ExpectedImage kExpected[] = {
    {48, 1, 2, 816},     {32, 1, 2, 304},     {16, 1, 2, 176},     {48, 4, 16, 1640},
    {32, 4, 16, 744},    {24, 4, 16, 488},    {16, 4, 16, 296},    {48, 8, 0, 3752},
    {32, 8, 0, 2216},    {24, 8, 0, 1736},    {16, 8, 0, 1384},    {48, 32, 0, 9640},
    {32, 32, 0, 4264},   {24, 32, 0, 2440},   {16, 32, 0, 1128},
};
constexpr std::size_t kImages = std::size(kExpected);

// One image decoded back to top-down pixels.
struct Image {
  int size = 0, bits = 0;
  Bytes header_and_table;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB, as stored in RGBQUAD
  std::vector<std::uint32_t> colour;   // top-down, 0xAARRGGBB (alpha 255 below 32 bits)
  std::vector<bool> masked;            // top-down
};

Image Decode(const Bytes& file, std::size_t index) {
  const std::size_t entry = 6 + 16 * index;
  const std::size_t offset = U32(file, entry + 12);
  Image image;
  image.size = kExpected[index].size;
  image.bits = kExpected[index].bits;
  const int n = image.size;
  const std::size_t colours = image.bits == 32 ? 0 : std::size_t(1) << image.bits;
  for (std::size_t i = 0; i < colours; ++i) image.palette.push_back(U32(file, offset + 40 + 4 * i));
  const std::size_t bitmap = offset + 40 + 4 * colours;
  const std::size_t stride = (n * image.bits + 31) / 32 * 4;
  const std::size_t mask = bitmap + stride * n;
  const std::size_t mask_stride = (n + 31) / 32 * 4;
  image.colour.resize(std::size_t(n) * n);
  image.masked.resize(std::size_t(n) * n);
  for (int row = 0; row < n; ++row) {
    const int y = n - 1 - row;  // bottom-up rows
    for (int x = 0; x < n; ++x) {
      const std::size_t at = std::size_t(y) * n + x;
      image.masked[at] = (file.at(mask + row * mask_stride + x / 8) >> (7 - x % 8)) & 1;
      if (image.bits == 32) {
        image.colour[at] = U32(file, bitmap + row * stride + 4 * x);
      } else {
        const int per_byte = 8 / image.bits;
        const unsigned packed = file.at(bitmap + row * stride + x / per_byte);
        const unsigned index_bits = (packed >> (8 - image.bits * (x % per_byte + 1))) & ((1u << image.bits) - 1);
        image.colour[at] = 0xFF000000u | image.palette.at(index_bits);
      }
    }
  }
  return image;
}

unsigned Alpha(std::uint32_t c) { return c >> 24; }
unsigned Red(std::uint32_t c) { return (c >> 16) & 0xFF; }
unsigned Green(std::uint32_t c) { return (c >> 8) & 0xFF; }
unsigned Blue(std::uint32_t c) { return c & 0xFF; }
double Luminance(std::uint32_t c) { return 0.299 * Red(c) + 0.587 * Green(c) + 0.114 * Blue(c); }

class IconFile : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = ReadFile(g_committed_path);
    ASSERT_EQ(file_.size(), 31270u) << g_committed_path;
  }
  const Image& TrueColour(int size) {
    for (std::size_t i = 0; i < kImages; ++i) {
      if (kExpected[i].bits == 32 && kExpected[i].size == size) {
        auto [it, inserted] = true_colour_.try_emplace(size);
        if (inserted) it->second = Decode(file_, i);
        return it->second;
      }
    }
    throw std::logic_error("no 32-bit image of this size");
  }
  Bytes file_;
  std::map<int, Image> true_colour_;
};

TEST(IconTool, StillDrawsTheCommittedFile) {
  const Bytes drawn = ReadFile(g_drawn_path);
  const Bytes committed = ReadFile(g_committed_path);
  ASSERT_FALSE(drawn.empty()) << g_drawn_path;
  EXPECT_TRUE(drawn == committed) << "make_icon output differs from assets/ProgramIcon.ico; rerun make_icon";
}

TEST_F(IconFile, HeaderAndDirectoryDescribeFifteenContiguousImages) {
  EXPECT_EQ(U16(file_, 0), 0u);
  EXPECT_EQ(U16(file_, 2), 1u);
  EXPECT_EQ(U16(file_, 4), kImages);
  std::uint32_t expected_offset = 6 + 16 * kImages;
  for (std::size_t i = 0; i < kImages; ++i) {
    SCOPED_TRACE("image " + std::to_string(i + 1));
    const std::size_t e = 6 + 16 * i;
    EXPECT_EQ(file_[e + 0], kExpected[i].size);
    EXPECT_EQ(file_[e + 1], kExpected[i].size);
    EXPECT_EQ(file_[e + 2], kExpected[i].colour_count);
    EXPECT_EQ(file_[e + 3], 0);
    EXPECT_EQ(U16(file_, e + 4), 1u);
    EXPECT_EQ(U16(file_, e + 6), unsigned(kExpected[i].bits));
    EXPECT_EQ(U32(file_, e + 8), kExpected[i].bytes);
    EXPECT_EQ(U32(file_, e + 12), expected_offset);
    expected_offset += kExpected[i].bytes;
  }
  EXPECT_EQ(expected_offset, file_.size());
}

TEST_F(IconFile, EachImageIsAnUncompressedDoubleHeightBitmap) {
  for (std::size_t i = 0; i < kImages; ++i) {
    SCOPED_TRACE("image " + std::to_string(i + 1));
    const std::size_t h = U32(file_, 6 + 16 * i + 12);
    const ExpectedImage& x = kExpected[i];
    EXPECT_EQ(U32(file_, h + 0), 40u);
    EXPECT_EQ(U32(file_, h + 4), std::uint32_t(x.size));
    EXPECT_EQ(U32(file_, h + 8), std::uint32_t(2 * x.size));
    EXPECT_EQ(U16(file_, h + 12), 1u);
    EXPECT_EQ(U16(file_, h + 14), unsigned(x.bits));
    EXPECT_EQ(U32(file_, h + 16), 0u);  // BI_RGB
    EXPECT_EQ(U32(file_, h + 20), 0u);  // size left to the dimensions, in every image
    const std::uint32_t colours_used = x.bits == 8 ? 256 : 0;
    EXPECT_EQ(U32(file_, h + 32), colours_used);
    EXPECT_EQ(U32(file_, h + 36), colours_used);
    // Header, table, bitmap and mask fill the image exactly.
    const std::uint32_t table = x.bits == 32 ? 0 : 4u << x.bits;
    const std::uint32_t bitmap = (x.size * x.bits + 31) / 32 * 4 * x.size;
    const std::uint32_t mask = (x.size + 31) / 32 * 4 * x.size;
    EXPECT_EQ(40 + table + bitmap + mask, x.bytes);
  }
}

TEST_F(IconFile, PalettesAreBlackAndWhiteVgaOrOwnPerImage) {
  const std::vector<std::uint32_t> black_and_white{0x000000, 0xFFFFFF};
  const std::vector<std::uint32_t> vga{0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                       0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                       0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  for (std::size_t i = 0; i < kImages; ++i) {
    SCOPED_TRACE("image " + std::to_string(i + 1));
    const Image image = Decode(file_, i);
    for (std::uint32_t entry : image.palette) {
      EXPECT_EQ(entry >> 24, 0u) << "RGBQUAD reserved byte";
    }
    if (image.bits == 1) {
      EXPECT_EQ(image.palette, black_and_white);
    }
    if (image.bits == 4) {
      EXPECT_EQ(image.palette, vga);
    }
    if (image.bits == 8) {
      std::set<std::uint32_t> used;
      for (std::uint32_t c : image.colour) used.insert(c & 0xFFFFFF);
      EXPECT_GT(used.size(), 16u) << "an 8-bit image should use more than the VGA colours";
    }
  }
}

TEST_F(IconFile, TrueColourMasksCoverExactlyTheFullyTransparentPixels) {
  for (int size : {48, 32, 24, 16}) {
    SCOPED_TRACE("size " + std::to_string(size));
    const Image& image = TrueColour(size);
    std::set<unsigned> alphas;
    for (std::size_t p = 0; p < image.colour.size(); ++p) {
      alphas.insert(Alpha(image.colour[p]));
      EXPECT_EQ(image.masked[p], Alpha(image.colour[p]) == 0) << "pixel " << p;
      if (Alpha(image.colour[p]) == 0) {
        EXPECT_EQ(image.colour[p], 0u) << "pixel " << p;
      }
    }
    // Anti-aliased: fully clear, fully opaque and graded edges.
    EXPECT_TRUE(alphas.count(0));
    EXPECT_TRUE(alphas.count(255));
    EXPECT_GT(alphas.size(), 8u);
  }
}

TEST_F(IconFile, LowerDepthsShareAMaskOfThePixelsMoreThanHalfTransparent) {
  for (std::size_t i = 0; i < kImages; ++i) {
    if (kExpected[i].bits == 32) continue;
    SCOPED_TRACE("image " + std::to_string(i + 1));
    const Image image = Decode(file_, i);
    const Image& reference = TrueColour(image.size);
    for (std::size_t p = 0; p < image.colour.size(); ++p) {
      ASSERT_EQ(image.masked[p], Alpha(reference.colour[p]) < 128) << "pixel " << p;
      // Under the mask the colour is black, so the background shows unchanged.
      if (image.masked[p]) {
        ASSERT_EQ(image.colour[p] & 0xFFFFFF, 0u) << "pixel " << p;
      }
    }
  }
}

// Every depth shows the 32-bit picture: 8-bit pixel by pixel, the dithered
// depths as averages over 4x4 blocks of the shown pixels.
TEST_F(IconFile, EveryDepthShowsTheTrueColourPicture) {
  struct Tolerance {
    int bits;
    double per_pixel, per_block;
  };
  for (const Tolerance t : {Tolerance{8, 24, 12}, Tolerance{4, 1e9, 48}, Tolerance{1, 1e9, 64}}) {
    for (std::size_t i = 0; i < kImages; ++i) {
      if (kExpected[i].bits != t.bits) continue;
      SCOPED_TRACE("image " + std::to_string(i + 1));
      const Image image = Decode(file_, i);
      const Image& reference = TrueColour(image.size);
      const int n = image.size;
      for (int by = 0; by < n; by += 4) {
        for (int bx = 0; bx < n; bx += 4) {
          double shown = 0, reference_sum = 0;
          int count = 0;
          for (int y = by; y < by + 4; ++y) {
            for (int x = bx; x < bx + 4; ++x) {
              const std::size_t p = std::size_t(y) * n + x;
              if (image.masked[p]) continue;
              const double a = Luminance(image.colour[p]), b = Luminance(reference.colour[p]);
              EXPECT_NEAR(a, b, t.per_pixel) << "pixel " << x << "," << y;
              shown += a, reference_sum += b, ++count;
            }
          }
          if (count == 16) {
            EXPECT_NEAR(shown / count, reference_sum / count, t.per_block) << "block " << bx << "," << by;
          }
        }
      }
    }
  }
}

// The picture itself: blue bolt in the middle, grey disc, clear corners and
// a clear bite out of the top middle of the disc.
TEST_F(IconFile, ThePictureIsABlueBoltOnAGreyDiscWithItsTopCutAway) {
  const Image& image = TrueColour(48);
  auto at = [&](int x, int y) { return image.colour[std::size_t(y) * 48 + x]; };
  const std::uint32_t bolt = at(24, 24), disc = at(12, 30), corner = at(1, 1), cut = at(24, 4);
  EXPECT_EQ(Alpha(bolt), 255u);
  EXPECT_GT(Blue(bolt), Red(bolt) + 80);
  EXPECT_EQ(Alpha(disc), 255u);
  EXPECT_LT(std::abs(int(Red(disc)) - int(Blue(disc))), 24);
  EXPECT_GT(Luminance(disc), 120);
  EXPECT_EQ(Alpha(corner), 0u);
  EXPECT_EQ(Alpha(cut), 0u);
  EXPECT_EQ(Alpha(at(18, 4)), 0u);  // the bite is wider than the bolt
  EXPECT_EQ(Alpha(at(24, 45)), 255u);  // bottom of the disc stays
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: icon_file_test COMMITTED.ico FRESHLY_DRAWN.ico\n");
    return 2;
  }
  g_committed_path = argv[1];
  g_drawn_path = argv[2];
  return RUN_ALL_TESTS();
}
