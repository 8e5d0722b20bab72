#include "skinfile/writer.h"

#include <cstring>

#include "skinfile/reader.h"

namespace skinfile {
namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}
void Set32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Opens a chunk; returns where its size goes, filled in by EndChunk.
std::size_t BeginChunk(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
  out.insert(out.end(), tag, tag + 4);
  Put32(out, 0);
  return out.size() - 4;
}
void EndChunk(std::vector<std::uint8_t>& out, std::size_t sizeAt) {
  Set32(out, sizeAt, static_cast<std::uint32_t>(out.size() - sizeAt - 4));
}

void PutFont(std::vector<std::uint8_t>& out, const Font& font) {
  const std::size_t faceBytes = std::strlen(font.face);
  out.push_back(font.height);
  out.push_back(font.italic ? 1 : 0);
  Put16(out, font.weight);
  out.push_back(static_cast<std::uint8_t>(faceBytes));
  out.insert(out.end(), font.face, font.face + faceBytes);
}

}  // namespace

std::vector<std::uint8_t> Write(const Skin& skin) {
  std::vector<std::uint8_t> out = {'.', 'S', 'H', 'E'};
  Put16(out, kFormatVersion);
  Put16(out, 0);   // flags
  Put32(out, 0);   // length, set below
  Put32(out, 0);   // CRC-32, set below

  std::size_t chunk = BeginChunk(out, "NAME");
  out.insert(out.end(), skin.name, skin.name + std::strlen(skin.name));
  EndChunk(out, chunk);

  chunk = BeginChunk(out, "METR");
  for (const MetricInfo& info : kMetricInfo) out.push_back(skin.metrics.*info.field);
  out.push_back(0);  // reserved
  EndChunk(out, chunk);

  chunk = BeginChunk(out, "COLR");
  for (Color c : skin.colors) Put32(out, c);
  EndChunk(out, chunk);

  chunk = BeginChunk(out, "FONT");
  PutFont(out, skin.captionFont);
  PutFont(out, skin.buttonFont);
  EndChunk(out, chunk);

  if (skin.pattern.width != 0) {
    chunk = BeginChunk(out, "PATT");
    out.push_back(skin.pattern.width);
    out.push_back(skin.pattern.height);
    Put16(out, 0);
    for (int i = 0; i < skin.pattern.width * skin.pattern.height; ++i)
      Put32(out, skin.pattern.pixels[i]);
    EndChunk(out, chunk);
  }

  Set32(out, 8, static_cast<std::uint32_t>(out.size()));
  Set32(out, 12, Crc32(out.data() + kHeaderSize, out.size() - kHeaderSize));
  return out;
}

}  // namespace skinfile
