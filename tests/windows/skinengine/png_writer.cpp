#include "png_writer.h"

#include "skinfile/reader.h"

namespace skintest {
namespace {

void Put32Be(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& body) {
  Put32Be(out, static_cast<std::uint32_t>(body.size()));
  std::vector<std::uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), body.begin(), body.end());
  out.insert(out.end(), typed.begin(), typed.end());
  Put32Be(out, skinfile::Crc32(typed.data(), typed.size()));
}

// Writes bits least significant first, as deflate wants them.
class BitWriter {
 public:
  explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
  void Bits(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) Bit((value >> i) & 1u);
  }
  // Huffman codes go most significant bit first.
  void Code(std::uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1u);
  }
  void Flush() {
    if (used_) out_.push_back(current_);
    used_ = 0;
    current_ = 0;
  }

 private:
  void Bit(std::uint32_t bit) {
    current_ |= static_cast<std::uint8_t>(bit << used_);
    if (++used_ == 8) Flush();
  }
  std::vector<std::uint8_t>& out_;
  std::uint8_t current_ = 0;
  int used_ = 0;
};

void Symbol(BitWriter& w, int symbol) {
  if (symbol < 144) w.Code(0x30 + symbol, 8);
  else if (symbol < 256) w.Code(0x190 + symbol - 144, 9);
  else if (symbol < 280) w.Code(symbol - 256, 7);
  else w.Code(0xC0 + symbol - 280, 8);
}

void Match(BitWriter& w, int length, int distance) {
  static const int kLengthBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
  static const int kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                     2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  static const int kDistanceBase[] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                      33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                      1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
  int l = 28;
  while (kLengthBase[l] > length) --l;
  Symbol(w, 257 + l);
  w.Bits(length - kLengthBase[l], kLengthExtra[l]);
  int d = 29;
  while (kDistanceBase[d] > distance) --d;
  w.Code(d, 5);
  w.Bits(distance - kDistanceBase[d], d < 4 ? 0 : d / 2 - 1);
}

// Greedy LZ77 over a 32 KB window, fixed Huffman codes.
void Deflate(const std::vector<std::uint8_t>& in, std::vector<std::uint8_t>& out) {
  BitWriter w(out);
  w.Bits(1, 1);  // last block
  w.Bits(1, 2);  // fixed codes
  constexpr int kWindow = 32768, kHashSize = 1 << 15, kChain = 48;
  std::vector<int> head(kHashSize, -1), previous(in.size(), -1);
  const auto hash = [&](std::size_t i) {
    return ((in[i] << 10) ^ (in[i + 1] << 5) ^ in[i + 2]) & (kHashSize - 1);
  };
  const auto insert = [&](std::size_t i) {
    if (i + 2 >= in.size()) return;
    const int h = hash(i);
    previous[i] = head[h];
    head[h] = static_cast<int>(i);
  };
  std::size_t i = 0;
  while (i < in.size()) {
    int bestLength = 0, bestDistance = 0;
    if (i + 2 < in.size()) {
      int candidate = head[hash(i)];
      for (int tries = 0; candidate >= 0 && tries < kChain; ++tries) {
        const int distance = static_cast<int>(i) - candidate;
        if (distance > kWindow) break;
        int length = 0;
        while (length < 258 && i + length < in.size() && in[candidate + length] == in[i + length])
          ++length;
        if (length > bestLength) {
          bestLength = length;
          bestDistance = distance;
          if (length == 258) break;
        }
        candidate = previous[candidate];
      }
    }
    if (bestLength >= 3) {
      Match(w, bestLength, bestDistance);
      for (int k = 0; k < bestLength; ++k) insert(i + k);
      i += bestLength;
    } else {
      Symbol(w, in[i]);
      insert(i);
      ++i;
    }
  }
  Symbol(w, 256);
  w.Flush();
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const std::vector<std::uint32_t>& pixels, int width,
                                    int height) {
  // Filter byte 0 and RGB for each row.
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * width));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
      raw.push_back(static_cast<std::uint8_t>(p >> 16));
      raw.push_back(static_cast<std::uint8_t>(p >> 8));
      raw.push_back(static_cast<std::uint8_t>(p));
    }
  }
  // zlib stream: one deflate block with the fixed codes.
  std::vector<std::uint8_t> z = {0x78, 0x01};
  Deflate(raw, z);
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  Put32Be(z, (b << 16) | a);

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  Put32Be(header, static_cast<std::uint32_t>(width));
  Put32Be(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", z);
  PutChunk(png, "IEND", {});
  return png;
}

}  // namespace skintest
