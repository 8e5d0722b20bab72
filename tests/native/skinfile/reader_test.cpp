// The reader: the eight built-in skins read; malformed files of every kind
// are rejected with the right status and leave the caller's skin alone.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>

#include "skin_bytes.h"
#include "skinfile/reader.h"

using namespace skintest;
using skinfile::ReadStatus;

namespace {

const char* const kBuiltInNames[] = {"darkroyale.she", "dogmax.she", "homestead.she",
                                     "longhorn.she",   "pixos.she",  "qq2008.she",
                                     "royale.she",     "skinh.she"};

Bytes Dogmax() { return ReadFile(BuiltSkinFiles().at(1)); }

ReadStatus ReadBytes(const Bytes& b) {
  skinfile::Skin skin;
  return skinfile::Read(b.data(), b.size(), skin);
}

TEST(SkinFileReader, ReadsTheEightBuiltInSkins) {
  const std::vector<std::string> files = BuiltSkinFiles();
  ASSERT_EQ(files.size(), 8u);
  std::set<std::string> names;
  for (std::size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(files[i]);
    EXPECT_EQ(files[i].substr(files[i].rfind('/') + 1), kBuiltInNames[i]);
    const Bytes b = ReadFile(files[i]);
    ASSERT_GE(b.size(), 16u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), ".SHE");
    EXPECT_NE(std::find(b.begin(), b.begin() + 8, 0), b.begin() + 8) << "a zero in the first 8 bytes";
    const std::uint32_t length = b[8] | (b[9] << 8) | (b[10] << 16) | (b[11] << 24);
    EXPECT_EQ(length, b.size());
    skinfile::Skin skin;
    ASSERT_EQ(skinfile::Read(b.data(), b.size(), skin), ReadStatus::kOk);
    EXPECT_TRUE(skinfile::IsValid(skin));
    names.insert(skin.name);
  }
  EXPECT_EQ(names.size(), 8u) << "eight different skins";
}

// Eight looks, not one look eight times: every pair differs in its caption,
// its background and its push buttons.
TEST(SkinFileReader, BuiltInSkinsLookDifferent) {
  std::vector<skinfile::Skin> skins;
  for (const std::string& file : BuiltSkinFiles()) {
    const Bytes b = ReadFile(file);
    skinfile::Skin skin;
    ASSERT_EQ(skinfile::Read(b.data(), b.size(), skin), ReadStatus::kOk);
    skins.push_back(skin);
  }
  for (std::size_t i = 0; i < skins.size(); ++i) {
    for (std::size_t j = i + 1; j < skins.size(); ++j) {
      SCOPED_TRACE(std::string(skins[i].name) + " / " + skins[j].name);
      EXPECT_NE(skins[i].colors[skinfile::kCaptionActiveStart], skins[j].colors[skinfile::kCaptionActiveStart]);
      EXPECT_NE(skins[i].colors[skinfile::kFrameActive], skins[j].colors[skinfile::kFrameActive]);
      EXPECT_NE(skins[i].colors[skinfile::kClientBackground], skins[j].colors[skinfile::kClientBackground]);
      EXPECT_NE(skins[i].colors[skinfile::kButtonNormalBottom], skins[j].colors[skinfile::kButtonNormalBottom]);
    }
  }
}

struct Malformed {
  const char* what;
  std::function<Bytes(const Bytes& good)> make;
  ReadStatus expected;
};

Bytes With(Bytes b, std::size_t at, std::uint8_t value) {
  b.at(at) = value;
  return b;
}

// A good file with one chunk replaced (or removed, for an empty tag).
Bytes Rechunked(const Bytes& good, const std::string& tag, const std::string& newTag, Bytes body) {
  std::vector<Chunk> chunks = Split(good);
  std::vector<Chunk> out;
  for (const Chunk& c : chunks) {
    if (c.tag != tag) {
      out.push_back(c);
    } else if (!newTag.empty()) {
      out.push_back(Chunk{newTag, body});
    }
  }
  return Assemble(out);
}

Bytes ChunkBody(const Bytes& good, const std::string& tag) {
  for (const Chunk& c : Split(good))
    if (c.tag == tag) return c.body;
  return {};
}

Bytes Edited(const Bytes& good, const std::string& tag, std::size_t at, std::uint8_t value) {
  Bytes body = ChunkBody(good, tag);
  body.at(at) = value;
  return Rechunked(good, tag, tag, body);
}

Bytes PatternOf(int width, int height, std::size_t colors) {
  Bytes b = {static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(height), 0, 0};
  b.resize(4 + 4 * colors, 0x11);
  for (std::size_t i = 0; i < colors; ++i) b[4 + 4 * i + 3] = 0;
  return b;
}

TEST(SkinFileReader, RejectsMalformedFiles) {
  const Bytes good = Dogmax();
  ASSERT_EQ(ReadBytes(good), ReadStatus::kOk);
  // Metric offsets in METR and the reader's ranges.
  const Malformed cases[] = {
      {"empty", [](const Bytes&) { return Bytes{}; }, ReadStatus::kEmpty},
      {"two magic bytes", [](const Bytes& g) { return Bytes(g.begin(), g.begin() + 2); }, ReadStatus::kTruncated},
      {"header cut", [](const Bytes& g) { return Bytes(g.begin(), g.begin() + 15); }, ReadStatus::kTruncated},
      {"half the file", [](const Bytes& g) { return Bytes(g.begin(), g.begin() + g.size() / 2); }, ReadStatus::kTruncated},
      {"last byte missing", [](const Bytes& g) { return Bytes(g.begin(), g.end() - 1); }, ReadStatus::kTruncated},
      {"other magic", [](const Bytes& g) { return With(g, 0, 'X'); }, ReadStatus::kNotSkinFile},
      {"lower-case magic", [](const Bytes& g) { return With(g, 1, 's'); }, ReadStatus::kNotSkinFile},
      {"a PNG", [](const Bytes&) { return Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}; }, ReadStatus::kNotSkinFile},
      {"version 0", [](const Bytes& g) { return With(g, 4, 0); }, ReadStatus::kUnsupportedVersion},
      {"version 2", [](const Bytes& g) { return With(g, 4, 2); }, ReadStatus::kUnsupportedVersion},
      {"version 257", [](const Bytes& g) { return With(g, 5, 1); }, ReadStatus::kUnsupportedVersion},
      {"flags set", [](const Bytes& g) { return With(g, 6, 1); }, ReadStatus::kCorrupted},
      {"length too small", [](const Bytes& g) { return With(g, 8, static_cast<std::uint8_t>(g[8] - 1)); }, ReadStatus::kCorrupted},
      {"length too large", [](const Bytes& g) { return With(g, 9, static_cast<std::uint8_t>(g[9] + 1)); }, ReadStatus::kTruncated},
      {"trailing bytes", [](const Bytes& g) { Bytes b = g; b.push_back(0); return b; }, ReadStatus::kCorrupted},
      {"checksum wrong", [](const Bytes& g) { return With(g, 12, static_cast<std::uint8_t>(g[12] ^ 1)); }, ReadStatus::kCorrupted},
      {"no chunks", [](const Bytes&) { return Assemble({}); }, ReadStatus::kInvalid},
      {"unknown chunk", [](const Bytes& g) { auto c = Split(g); c.push_back({"XTRA", {1}}); return Assemble(c); }, ReadStatus::kInvalid},
      {"chunk twice", [](const Bytes& g) { auto c = Split(g); c.push_back(c[0]); return Assemble(c); }, ReadStatus::kInvalid},
      {"chunk runs past the end", [](const Bytes& g) { Bytes b = g; b[16 + 4] = 0xFF; return Resealed(b); }, ReadStatus::kInvalid},
      {"half a chunk header", [](const Bytes& g) { Bytes b = g; b.insert(b.end(), {'P', 'A'}); return Resealed(b); }, ReadStatus::kInvalid},
      {"no name", [](const Bytes& g) { return Rechunked(g, "NAME", "", {}); }, ReadStatus::kInvalid},
      {"no metrics", [](const Bytes& g) { return Rechunked(g, "METR", "", {}); }, ReadStatus::kInvalid},
      {"no colours", [](const Bytes& g) { return Rechunked(g, "COLR", "", {}); }, ReadStatus::kInvalid},
      {"no fonts", [](const Bytes& g) { return Rechunked(g, "FONT", "", {}); }, ReadStatus::kInvalid},
      {"empty name", [](const Bytes& g) { return Rechunked(g, "NAME", "NAME", {}); }, ReadStatus::kInvalid},
      {"name with a control character", [](const Bytes& g) { return Rechunked(g, "NAME", "NAME", {'a', '\n'}); }, ReadStatus::kInvalid},
      {"name not UTF-8", [](const Bytes& g) { return Rechunked(g, "NAME", "NAME", {'a', 0xC3}); }, ReadStatus::kInvalid},
      {"name overlong UTF-8", [](const Bytes& g) { return Rechunked(g, "NAME", "NAME", {0xC0, 0xAF}); }, ReadStatus::kInvalid},
      {"name of 64 bytes", [](const Bytes& g) { return Rechunked(g, "NAME", "NAME", Bytes(64, 'a')); }, ReadStatus::kInvalid},
      {"metrics one byte short", [](const Bytes& g) { Bytes m = ChunkBody(g, "METR"); m.pop_back(); return Rechunked(g, "METR", "METR", m); }, ReadStatus::kInvalid},
      {"metrics reserved byte set", [](const Bytes& g) { return Edited(g, "METR", 15, 1); }, ReadStatus::kInvalid},
      {"caption 15 high", [](const Bytes& g) { return Edited(g, "METR", 0, 15); }, ReadStatus::kInvalid},
      {"caption 49 high", [](const Bytes& g) { return Edited(g, "METR", 0, 49); }, ReadStatus::kInvalid},
      {"frame 1 wide", [](const Bytes& g) { return Edited(g, "METR", 1, 1); }, ReadStatus::kInvalid},
      {"caption button taller than the caption", [](const Bytes& g) { return Edited(g, "METR", 3, 31); }, ReadStatus::kInvalid},
      {"caption button radius over half", [](const Bytes& g) { return Edited(g, "METR", 5, 11); }, ReadStatus::kInvalid},
      {"flat neither 0 nor 1", [](const Bytes& g) { return Edited(g, "METR", 6, 2); }, ReadStatus::kInvalid},
      {"gradient unknown", [](const Bytes& g) { return Edited(g, "METR", 7, 2); }, ReadStatus::kInvalid},
      {"gloss over 100", [](const Bytes& g) { return Edited(g, "METR", 10, 101); }, ReadStatus::kInvalid},
      {"glyph 0 thick", [](const Bytes& g) { return Edited(g, "METR", 11, 0); }, ReadStatus::kInvalid},
      {"button border 4", [](const Bytes& g) { return Edited(g, "METR", 13, 4); }, ReadStatus::kInvalid},
      {"a colour short", [](const Bytes& g) { Bytes c = ChunkBody(g, "COLR"); c.resize(c.size() - 4); return Rechunked(g, "COLR", "COLR", c); }, ReadStatus::kInvalid},
      {"a colour with a top byte", [](const Bytes& g) { return Edited(g, "COLR", 4 * 17 + 3, 1); }, ReadStatus::kInvalid},
      {"one font only", [](const Bytes& g) { Bytes f = ChunkBody(g, "FONT"); f.resize(5 + f[4]); return Rechunked(g, "FONT", "FONT", f); }, ReadStatus::kInvalid},
      {"font bytes left over", [](const Bytes& g) { Bytes f = ChunkBody(g, "FONT"); f.push_back(0); return Rechunked(g, "FONT", "FONT", f); }, ReadStatus::kInvalid},
      {"font 7 high", [](const Bytes& g) { return Edited(g, "FONT", 0, 7); }, ReadStatus::kInvalid},
      {"font italic 2", [](const Bytes& g) { return Edited(g, "FONT", 1, 2); }, ReadStatus::kInvalid},
      {"font weight 0", [](const Bytes& g) { Bytes f = ChunkBody(g, "FONT"); f[2] = f[3] = 0; return Rechunked(g, "FONT", "FONT", f); }, ReadStatus::kInvalid},
      {"font face with a zero", [](const Bytes& g) { return Edited(g, "FONT", 5, 0); }, ReadStatus::kInvalid},
      {"font face empty", [](const Bytes& g) { Bytes f = {14, 0, 0x90, 0x01, 0}; Bytes b = ChunkBody(g, "FONT"); Bytes second(b.begin() + 5 + b[4], b.end()); f.insert(f.end(), second.begin(), second.end()); return Rechunked(g, "FONT", "FONT", f); }, ReadStatus::kInvalid},
      {"pattern 0 wide", [](const Bytes& g) { auto c = Split(g); c.push_back({"PATT", PatternOf(0, 2, 0)}); return Assemble(c); }, ReadStatus::kInvalid},
      {"pattern 17 high", [](const Bytes& g) { auto c = Split(g); c.push_back({"PATT", PatternOf(1, 17, 17)}); return Assemble(c); }, ReadStatus::kInvalid},
      {"pattern short of pixels", [](const Bytes& g) { auto c = Split(g); c.push_back({"PATT", PatternOf(2, 2, 3)}); return Assemble(c); }, ReadStatus::kInvalid},
      {"pattern pixel with a top byte", [](const Bytes& g) { auto c = Split(g); Bytes p = PatternOf(1, 1, 1); p[7] = 1; c.push_back({"PATT", p}); return Assemble(c); }, ReadStatus::kInvalid},
  };
  for (const Malformed& m : cases) {
    SCOPED_TRACE(m.what);
    const Bytes bad = m.make(good);
    skinfile::Skin skin;
    std::memset(&skin, 0x5A, sizeof skin);
    const skinfile::Skin before = skin;
    EXPECT_EQ(skinfile::Read(bad.data(), bad.size(), skin), m.expected);
    EXPECT_EQ(std::memcmp(&skin, &before, sizeof skin), 0) << "the skin was changed";
  }
  // A pattern that is right reads.
  auto chunks = Split(good);
  chunks.push_back({"PATT", PatternOf(2, 3, 6)});
  const Bytes patterned = Assemble(chunks);
  skinfile::Skin skin;
  ASSERT_EQ(skinfile::Read(patterned.data(), patterned.size(), skin), ReadStatus::kOk);
  EXPECT_EQ(skin.pattern.width, 2);
  EXPECT_EQ(skin.pattern.height, 3);
  EXPECT_EQ(skin.pattern.pixels[5], 0x111111u);
}

// Every single-byte change and every cut of a good file is caught.
TEST(SkinFileReader, RejectsEveryFlippedByteAndEveryCut) {
  const Bytes good = Dogmax();
  for (std::size_t at = 0; at < good.size(); ++at) {
    for (std::uint8_t mask : {0x01, 0x80}) {
      Bytes b = good;
      b[at] ^= mask;
      EXPECT_NE(ReadBytes(b), ReadStatus::kOk) << "byte " << at << " ^ " << int(mask);
    }
  }
  for (std::size_t size = 0; size < good.size(); ++size) {
    const Bytes b(good.begin(), good.begin() + size);
    const ReadStatus s = ReadBytes(b);
    EXPECT_EQ(s, size == 0 ? ReadStatus::kEmpty : ReadStatus::kTruncated) << "cut at " << size;
  }
}

TEST(SkinFileReader, Crc32IsZlibs) {
  const char text[] = "123456789";
  EXPECT_EQ(skinfile::Crc32(reinterpret_cast<const std::uint8_t*>(text), 9), 0xCBF43926u);
  EXPECT_EQ(skinfile::Crc32(nullptr, 0), 0u);
}

}  // namespace
