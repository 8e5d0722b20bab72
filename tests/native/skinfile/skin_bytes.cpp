#include "skin_bytes.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "skinfile/reader.h"

namespace skintest {

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), {});
}

std::vector<std::string> BuiltSkinFiles() {
  std::vector<std::string> files;
  std::stringstream list(BUILT_SKIN_FILES);
  std::string file;
  while (std::getline(list, file, '|')) files.push_back(file);
  return files;
}

namespace {
std::string FontDifference(const char* which, const skinfile::Font& a, const skinfile::Font& b) {
  if (std::strcmp(a.face, b.face) != 0 || a.height != b.height || a.weight != b.weight ||
      a.italic != b.italic)
    return std::string(which) + " font";
  return "";
}
}  // namespace

std::string Difference(const skinfile::Skin& a, const skinfile::Skin& b) {
  if (std::strcmp(a.name, b.name) != 0) return "name";
  for (const skinfile::MetricInfo& info : skinfile::kMetricInfo)
    if (a.metrics.*info.field != b.metrics.*info.field) return info.name;
  for (int role = 0; role < skinfile::kColorCount; ++role)
    if (a.colors[role] != b.colors[role]) return skinfile::ColorRoleName(role);
  std::string font = FontDifference("caption", a.captionFont, b.captionFont);
  if (font.empty()) font = FontDifference("button", a.buttonFont, b.buttonFont);
  if (!font.empty()) return font;
  if (a.pattern.width != b.pattern.width || a.pattern.height != b.pattern.height)
    return "pattern size";
  for (int i = 0; i < a.pattern.width * a.pattern.height; ++i)
    if (a.pattern.pixels[i] != b.pattern.pixels[i]) return "pattern pixel " + std::to_string(i);
  return "";
}

namespace {
void Put32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
std::uint32_t Get32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
}  // namespace

Bytes Assemble(const std::vector<Chunk>& chunks, std::uint16_t version) {
  Bytes out = {'.', 'S', 'H', 'E', static_cast<std::uint8_t>(version),
               static_cast<std::uint8_t>(version >> 8), 0, 0};
  Put32(out, 0);
  Put32(out, 0);
  for (const Chunk& c : chunks) {
    out.insert(out.end(), c.tag.begin(), c.tag.end());
    Put32(out, static_cast<std::uint32_t>(c.body.size()));
    out.insert(out.end(), c.body.begin(), c.body.end());
  }
  return Resealed(out);
}

Bytes Resealed(Bytes out) {
  const std::uint32_t length = static_cast<std::uint32_t>(out.size());
  const std::uint32_t crc = skinfile::Crc32(out.data() + 16, out.size() - 16);
  for (int i = 0; i < 4; ++i) {
    out[8 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    out[12 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
  }
  return out;
}

std::vector<Chunk> Split(const Bytes& file) {
  std::vector<Chunk> chunks;
  std::size_t at = 16;
  while (at + 8 <= file.size()) {
    const std::uint32_t size = Get32(file, at + 4);
    chunks.push_back(Chunk{std::string(file.begin() + at, file.begin() + at + 4),
                           Bytes(file.begin() + at + 8, file.begin() + at + 8 + size)});
    at += 8 + size;
  }
  return chunks;
}

}  // namespace skintest
