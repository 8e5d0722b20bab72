// What a built program file carries as resources, read from the file itself
// with our PE reader: what no Windows API reports (the set of types, the code
// page of each data entry, the absence of a manifest) and the exact bytes.
// Runs natively on the Windows build's output.
// Usage: program_file_test PROGRAM.exe ProgramIcon.ico
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "pe_image.h"

namespace {

std::string g_program_path;
std::string g_icon_path;

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kIcon = 3, kGroupIcon = 14, kVersion = 16, kManifest = 24;
constexpr std::uint32_t kChineseSimplified = 0x0804;

unsigned U16(const Bytes& b, std::size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
std::uint32_t U32(const Bytes& b, std::size_t at) { return U16(b, at) | (std::uint32_t(U16(b, at + 2)) << 16); }

class ProgramFile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    image_ = new pe::PeImage(pe::ReadBinaryFile(g_program_path));
    icon_ = new Bytes(pe::ReadBinaryFile(g_icon_path));
  }
  static void TearDownTestSuite() {
    delete image_;
    delete icon_;
  }
  static std::vector<pe::Resource> OfType(std::uint32_t type) {
    std::vector<pe::Resource> found;
    for (const pe::Resource& r : image_->resources()) {
      if (r.type.name.empty() && r.type.id == type) found.push_back(r);
    }
    return found;
  }
  static const pe::PeImage* image_;
  static const Bytes* icon_;
};
const pe::PeImage* ProgramFile::image_ = nullptr;
const Bytes* ProgramFile::icon_ = nullptr;

TEST_F(ProgramFile, HasOnlyIconsIconGroupAndVersionWithNoManifest) {
  std::set<std::uint32_t> types;
  for (const pe::Resource& r : image_->resources()) {
    EXPECT_TRUE(r.type.name.empty()) << "named resource type";
    types.insert(r.type.id);
  }
  EXPECT_EQ(types, (std::set<std::uint32_t>{kIcon, kGroupIcon, kVersion}));
  EXPECT_EQ(types.count(kManifest), 0u);
}

TEST_F(ProgramFile, EveryResourceIsNumberedChineseSimplifiedWithCodePage1252) {
  ASSERT_FALSE(image_->resources().empty());
  for (const pe::Resource& r : image_->resources()) {
    SCOPED_TRACE("type " + std::to_string(r.type.id) + " id " + std::to_string(r.name.id));
    EXPECT_TRUE(r.name.name.empty()) << "named resource";
    EXPECT_EQ(r.language, kChineseSimplified);
    EXPECT_EQ(r.code_page, 1252u);
  }
}

TEST_F(ProgramFile, ResourceIdsAreIcons1To15Group129AndVersion1) {
  const std::map<std::uint32_t, std::vector<std::uint32_t>> expected{
      {kIcon, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}}, {kGroupIcon, {129}}, {kVersion, {1}}};
  for (const auto& [type, ids] : expected) {
    std::vector<std::uint32_t> found;
    for (const pe::Resource& r : OfType(type)) found.push_back(r.name.id);
    EXPECT_EQ(found, ids) << "type " << type;
  }
}

TEST_F(ProgramFile, IconImagesAndGroupRepeatTheIconFile) {
  const Bytes& ico = *icon_;
  const unsigned count = U16(ico, 4);
  const auto icons = OfType(kIcon);
  ASSERT_EQ(icons.size(), count);
  Bytes group{0, 0, 1, 0, static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8)};
  for (unsigned i = 0; i < count; ++i) {
    const std::size_t entry = 6 + 16 * i;
    const std::size_t offset = U32(ico, entry + 12), size = U32(ico, entry + 8);
    const Bytes image(ico.begin() + static_cast<std::ptrdiff_t>(offset),
                      ico.begin() + static_cast<std::ptrdiff_t>(offset + size));
    EXPECT_TRUE(image_->Data(icons[i]) == image) << "icon image " << i + 1;
    group.insert(group.end(), ico.begin() + static_cast<std::ptrdiff_t>(entry),
                 ico.begin() + static_cast<std::ptrdiff_t>(entry + 12));  // all but the offset
    group.push_back(static_cast<std::uint8_t>(i + 1));
    group.push_back(0);
  }
  const auto groups = OfType(kGroupIcon);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(image_->Data(groups[0]), group);
}

// A node of the version block: key, value and children.
struct VersionNode {
  std::u16string key;
  unsigned type = 0, value_length = 0;
  Bytes value;
  std::vector<VersionNode> children;
  std::u16string Text() const {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < value.size(); i += 2) text.push_back(char16_t(value[i] | (value[i + 1] << 8)));
    return text;
  }
};

std::size_t Align4(std::size_t n) { return (n + 3) & ~std::size_t(3); }

VersionNode ParseVersionNode(const Bytes& b, std::size_t at, std::size_t end) {
  VersionNode node;
  const std::size_t length = U16(b, at);
  if (length < 6 || at + length > end) throw std::runtime_error("version node overruns its parent");
  node.value_length = U16(b, at + 2);
  node.type = U16(b, at + 4);
  std::size_t p = at + 6;
  for (char16_t c; (c = char16_t(U16(b, p))) != 0; p += 2) node.key.push_back(c);
  p = Align4(p + 2);
  const std::size_t value_bytes = node.type == 1 ? 2 * node.value_length : node.value_length;
  if (p + value_bytes > at + length) throw std::runtime_error("version value overruns its node");
  node.value.assign(b.begin() + static_cast<std::ptrdiff_t>(p), b.begin() + static_cast<std::ptrdiff_t>(p + value_bytes));
  for (p = Align4(p + value_bytes); p < at + length; p = Align4(p + U16(b, p))) {
    node.children.push_back(ParseVersionNode(b, p, at + length));
  }
  return node;
}

TEST_F(ProgramFile, VersionBlockHoldsOneEnglishTableWithEveryValueNulTerminated) {
  const auto versions = OfType(kVersion);
  ASSERT_EQ(versions.size(), 1u);
  const Bytes block = image_->Data(versions[0]);
  const VersionNode root = ParseVersionNode(block, 0, block.size());
  EXPECT_EQ(root.key, u"VS_VERSION_INFO");
  ASSERT_EQ(root.value.size(), 52u);
  const std::vector<std::uint32_t> fixed{0xFEEF04BD, 0x00010000, 0x00010001, 0x00010000, 0x00010001, 0x00010000,
                                         0x3F,       0,          4,          1,          0,          0, 0};
  for (std::size_t i = 0; i < fixed.size(); ++i) EXPECT_EQ(U32(root.value, 4 * i), fixed[i]) << "fixed field " << i;

  ASSERT_EQ(root.children.size(), 2u);
  const VersionNode& strings = root.children[0];
  const VersionNode& variables = root.children[1];
  EXPECT_EQ(strings.key, u"StringFileInfo");
  ASSERT_EQ(strings.children.size(), 1u) << "one string table";
  const VersionNode& table = strings.children[0];
  EXPECT_EQ(table.key, u"040904E4");

  const std::vector<std::pair<std::u16string, std::u16string>> expected{
      {u"CompanyName", u"www.zanvo.example"},
      {u"FileDescription", u"Zanvo软件-手机视频转换器"},
      {u"FileVersion", u"1.0.3.0"},
      {u"InternalName", u""},
      {u"LegalCopyright", u"Copyright (C) Zanvo, zanvo.example"},
      {u"OriginalFilename", u""},
      {u"ProductName", u""},
      {u"ProductVersion", u"1.1.1.0"},
  };
  ASSERT_EQ(table.children.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const VersionNode& entry = table.children[i];
    SCOPED_TRACE("string " + std::to_string(i));
    EXPECT_EQ(entry.key, expected[i].first);
    EXPECT_EQ(entry.type, 1u);
    EXPECT_EQ(entry.value_length, expected[i].second.size() + 1) << "length counts the NUL";
    EXPECT_EQ(entry.Text(), expected[i].second + u'\0');
  }

  EXPECT_EQ(variables.key, u"VarFileInfo");
  ASSERT_EQ(variables.children.size(), 1u);
  EXPECT_EQ(variables.children[0].key, u"Translation");
  EXPECT_EQ(variables.children[0].value, (Bytes{0x09, 0x04, 0xE4, 0x04}));  // 0x0409, 1252
}

TEST_F(ProgramFile, ChecksumIsUnsetOrCorrect) {
  if (image_->checksum() != 0) {
    EXPECT_EQ(image_->checksum(), image_->ComputeChecksum());
  }
}

// pe_codepage edits programs in place, so its reader must refuse a damaged
// file rather than write into it. Each case damages a copy of the program.
TEST_F(ProgramFile, ReaderRefusesDamagedCopies) {
  const Bytes original = image_->bytes();
  const std::size_t pe_header = U32(original, 0x3C);
  const std::size_t resource_directory = pe_header + 24 + 96 + 8 * 2;  // PE32 data directory 2
  const std::size_t first_entry = image_->resources().at(0).entry_offset;
  auto put32 = [](Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
  };
  const std::vector<std::pair<const char*, void (*)(Bytes&, std::size_t, std::size_t, std::size_t)>> cases{
      {"no MZ", [](Bytes& b, std::size_t, std::size_t, std::size_t) { b[1] = 'X'; }},
      {"truncated", [](Bytes& b, std::size_t, std::size_t, std::size_t) { b.resize(b.size() / 2); }},
      {"no PE signature", [](Bytes& b, std::size_t pe, std::size_t, std::size_t) { b.at(pe + 1) = 'X'; }},
      {"resource directory outside every section",
       [](Bytes& b, std::size_t, std::size_t dir, std::size_t) { b.at(dir + 3) = 0x7F; }},
      {"resource directory too small for its tree",
       [](Bytes& b, std::size_t, std::size_t dir, std::size_t) { b.at(dir + 4) = 8, b.at(dir + 5) = 0; }},
      {"data entry's reserved field set",
       [](Bytes& b, std::size_t, std::size_t, std::size_t entry) { b.at(entry + 12) = 1; }},
      {"data outside every section",
       [](Bytes& b, std::size_t, std::size_t, std::size_t entry) { b.at(entry + 3) = 0x7F; }},
  };
  for (const auto& [name, damage] : cases) {
    Bytes copy = original;
    damage(copy, pe_header, resource_directory, first_entry);
    EXPECT_THROW(pe::PeImage{copy}, pe::PeError) << name;
  }

  // An undamaged copy with a checksum set reads back with that checksum valid.
  pe::PeImage copy{original};
  copy.SetChecksum(copy.ComputeChecksum());
  Bytes with_checksum = copy.bytes();
  put32(with_checksum, first_entry + 8, 0);  // the sum covers the whole file
  EXPECT_NE(pe::PeImage{with_checksum}.ComputeChecksum(), copy.ComputeChecksum());
  EXPECT_EQ(pe::PeImage{copy.bytes()}.checksum(), pe::PeImage{copy.bytes()}.ComputeChecksum());
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: program_file_test PROGRAM.exe ProgramIcon.ico\n");
    return 2;
  }
  g_program_path = argv[1];
  g_icon_path = argv[2];
  return RUN_ALL_TESTS();
}
