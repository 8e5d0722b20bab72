// A program file's resources as Windows itself reads them: the version
// block through the version API, every resource through the resource API.
// Usage: program_resources_test PROGRAM.exe ProgramIcon.ico
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "wine_gtest.h"

namespace {

std::wstring g_program_path;
std::string g_icon_path;

using Bytes = std::vector<unsigned char>;

constexpr WORD kChineseSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

// The build hands over Z:/unix/path; Windows' own separator is safer with
// the loader.
std::wstring WindowsPath(const char* path) {
  std::wstring wide;
  for (const char* p = path; *p; ++p) wide.push_back(*p == '/' ? L'\\' : static_cast<wchar_t>(*p));
  return wide;
}

class DataModule {
 public:
  explicit DataModule(const std::wstring& path)
      : module_(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~DataModule() {
    if (module_) FreeLibrary(module_);
  }
  DataModule(const DataModule&) = delete;
  DataModule& operator=(const DataModule&) = delete;
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

Bytes ResourceBytes(HMODULE module, HRSRC resource) {
  HGLOBAL loaded = LoadResource(module, resource);
  const DWORD size = SizeofResource(module, resource);
  const auto* data = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
  if (!data) return {};
  return Bytes(data, data + size);
}

unsigned U16(const Bytes& b, std::size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
DWORD U32(const Bytes& b, std::size_t at) { return U16(b, at) | (DWORD(U16(b, at + 2)) << 16); }

// --- The version block -------------------------------------------------------

class VersionInfo : public ::testing::Test {
 protected:
  void SetUp() override {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(g_program_path.c_str(), &ignored);
    ASSERT_NE(size, 0u) << "no version block, error " << GetLastError();
    block_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(g_program_path.c_str(), 0, size, block_.data()));
  }
  // The text under `path`, or false when the version API does not find it.
  bool Query(const std::wstring& path, std::wstring& text) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block_.data(), path.c_str(), &value, &length)) return false;
    text.assign(static_cast<const wchar_t*>(value), wcsnlen(static_cast<const wchar_t*>(value), length));
    return true;
  }
  Bytes block_;
};

TEST_F(VersionInfo, FixedPartGives1110ForFileAndProduct) {
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block_.data(), L"\\", &value, &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  const auto& fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed.dwFileVersionMS, 0x00010001u);
  EXPECT_EQ(fixed.dwFileVersionLS, 0x00010000u);
  EXPECT_EQ(fixed.dwProductVersionMS, 0x00010001u);
  EXPECT_EQ(fixed.dwProductVersionLS, 0x00010000u);
  EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed.dwFileFlags, 0u);
  EXPECT_EQ(fixed.dwFileOS, DWORD(VOS__WINDOWS32));
  EXPECT_EQ(fixed.dwFileType, DWORD(VFT_APP));
  EXPECT_EQ(fixed.dwFileSubtype, 0u);
  EXPECT_EQ(fixed.dwFileDateMS, 0u);
  EXPECT_EQ(fixed.dwFileDateLS, 0u);
}

TEST_F(VersionInfo, StringTableGivesEveryValueAndEmptyOnesAreFound) {
  const std::pair<const wchar_t*, const wchar_t*> expected[] = {
      {L"CompanyName", L"www.zanvo.example"},
      {L"FileDescription", L"Zanvo\x8f6f\x4ef6-\x624b\x673a\x89c6\x9891\x8f6c\x6362\x5668"},
      {L"FileVersion", L"1.0.3.0"},
      {L"InternalName", L""},
      {L"OriginalFilename", L""},
      {L"ProductName", L""},
      {L"ProductVersion", L"1.1.1.0"},
  };
  for (const auto& [key, value] : expected) {
    std::wstring text;
    EXPECT_TRUE(Query(std::wstring(L"\\StringFileInfo\\040904E4\\") + key, text)) << key;
    EXPECT_EQ(text, value) << key;
  }
  std::wstring copyright;
  ASSERT_TRUE(Query(L"\\StringFileInfo\\040904E4\\LegalCopyright", copyright));
  EXPECT_NE(copyright.find(L"zanvo.example"), std::wstring::npos);

  // What the table does not hold is not found.
  for (const wchar_t* missing : {L"Comments", L"LegalTrademarks", L"PrivateBuild", L"SpecialBuild"}) {
    std::wstring text;
    EXPECT_FALSE(Query(std::wstring(L"\\StringFileInfo\\040904E4\\") + missing, text)) << missing;
  }
}

TEST_F(VersionInfo, TranslationListLeadsToTheTable) {
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u) << "one language and code page pair";
  const auto* pair = static_cast<const WORD*>(value);
  EXPECT_EQ(pair[0], 0x0409);
  EXPECT_EQ(pair[1], 1252);
  wchar_t path[64];
  swprintf(path, 64, L"\\StringFileInfo\\%04x%04x\\ProductVersion", pair[0], pair[1]);
  std::wstring text;
  ASSERT_TRUE(Query(path, text)) << path;
  EXPECT_EQ(text, L"1.1.1.0");
}

TEST_F(VersionInfo, NoStringTableForChineseSimplifiedInAnyCodePage) {
  for (unsigned code_page = 0; code_page <= 0xFFFF; ++code_page) {
    wchar_t path[64];
    swprintf(path, 64, L"\\StringFileInfo\\0804%04X\\FileVersion", code_page);
    std::wstring text;
    ASSERT_FALSE(Query(path, text)) << "found " << code_page;
  }
}

// --- The resources -------------------------------------------------------

struct ResourceId {
  WORD type, id;
};

std::vector<ResourceId> ExpectedResources() {
  std::vector<ResourceId> ids;
  for (WORD id = 1; id <= 15; ++id) ids.push_back({3, id});
  ids.push_back({14, 129});
  ids.push_back({16, 1});
  return ids;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
  reinterpret_cast<std::set<WORD>*>(found)->insert(language);
  return TRUE;
}

BOOL CALLBACK CollectType(HMODULE, LPWSTR type, LONG_PTR found) {
  reinterpret_cast<std::set<ULONG_PTR>*>(found)->insert(IS_INTRESOURCE(type) ? ULONG_PTR(type) : ~ULONG_PTR(0));
  return TRUE;
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  reinterpret_cast<std::vector<ULONG_PTR>*>(found)->push_back(IS_INTRESOURCE(name) ? ULONG_PTR(name) : ~ULONG_PTR(0));
  return TRUE;
}

class Resources : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(module_.get(), nullptr) << "cannot load, error " << GetLastError(); }
  DataModule module_{g_program_path};
};

TEST_F(Resources, EveryResourceIsFiledUnderChineseSimplifiedOnly) {
  const WORD other_languages[] = {
      MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
      MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL),
      MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_HONGKONG),
      MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT),
  };
  for (const ResourceId r : ExpectedResources()) {
    SCOPED_TRACE("type " + std::to_string(r.type) + " id " + std::to_string(r.id));
    EXPECT_NE(FindResourceExW(module_.get(), MAKEINTRESOURCEW(r.type), MAKEINTRESOURCEW(r.id), kChineseSimplified),
              nullptr);
    for (WORD language : other_languages) {
      EXPECT_EQ(FindResourceExW(module_.get(), MAKEINTRESOURCEW(r.type), MAKEINTRESOURCEW(r.id), language), nullptr)
          << "language " << language;
    }
    std::set<WORD> languages;
    EXPECT_TRUE(EnumResourceLanguagesW(module_.get(), MAKEINTRESOURCEW(r.type), MAKEINTRESOURCEW(r.id),
                                       CollectLanguage, reinterpret_cast<LONG_PTR>(&languages)));
    EXPECT_EQ(languages, std::set<WORD>{kChineseSimplified});
  }
}

TEST_F(Resources, TypesAndIdsAreIcons1To15Group129AndVersion1) {
  std::set<ULONG_PTR> types;
  EXPECT_TRUE(EnumResourceTypesW(module_.get(), CollectType, reinterpret_cast<LONG_PTR>(&types)));
  EXPECT_EQ(types, (std::set<ULONG_PTR>{3, 14, 16}));
  const std::pair<WORD, std::vector<ULONG_PTR>> expected[] = {
      {3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}}, {14, {129}}, {16, {1}}};
  for (const auto& [type, ids] : expected) {
    std::vector<ULONG_PTR> names;
    EXPECT_TRUE(EnumResourceNamesW(module_.get(), MAKEINTRESOURCEW(type), CollectName,
                                   reinterpret_cast<LONG_PTR>(&names)));
    EXPECT_EQ(names, ids) << "type " << type;
  }
}

TEST_F(Resources, IconImagesAreTheIconFileImagesAndLoadAsIcons) {
  std::ifstream in(g_icon_path, std::ios::binary);
  const Bytes ico((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(ico.size(), 31270u) << g_icon_path;
  const unsigned count = U16(ico, 4);
  ASSERT_EQ(count, 15u);
  for (unsigned i = 0; i < count; ++i) {
    SCOPED_TRACE("icon " + std::to_string(i + 1));
    const std::size_t entry = 6 + 16 * i;
    const std::size_t offset = U32(ico, entry + 12), size = U32(ico, entry + 8);
    HRSRC found = FindResourceExW(module_.get(), MAKEINTRESOURCEW(3), MAKEINTRESOURCEW(i + 1), kChineseSimplified);
    ASSERT_NE(found, nullptr);
    Bytes image = ResourceBytes(module_.get(), found);
    EXPECT_TRUE(image == Bytes(ico.begin() + offset, ico.begin() + offset + size));
    HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000,
                                          ico[entry], ico[entry + 1], LR_DEFAULTCOLOR);
    EXPECT_NE(icon, nullptr) << "not an icon Windows can make, error " << GetLastError();
    if (icon) DestroyIcon(icon);
  }

  HRSRC group = FindResourceExW(module_.get(), MAKEINTRESOURCEW(14), MAKEINTRESOURCEW(129), kChineseSimplified);
  ASSERT_NE(group, nullptr);
  Bytes directory = ResourceBytes(module_.get(), group);
  // Windows picks one of the 32x32 images (ids 2, 5, 9, 13) for a 32x32 icon,
  // which depth depends on the display.
  const int picked = LookupIconIdFromDirectoryEx(directory.data(), TRUE, 32, 32, LR_DEFAULTCOLOR);
  EXPECT_TRUE(picked == 2 || picked == 5 || picked == 9 || picked == 13) << picked;
}

}  // namespace

int main(int argc, char** argv) {
  wine_gtest::Init(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: program_resources_test PROGRAM.exe ProgramIcon.ico\n");
    return 2;
  }
  g_program_path = WindowsPath(argv[1]);
  g_icon_path = argv[2];
  return RUN_ALL_TESTS();
}
