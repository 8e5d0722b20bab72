#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "recording_platform.h"
#include "runtime/text.h"
#include "skin/skin_kind.h"
#include "skin/skin_support.h"

using runtime::Given;
using runtime::Omitted;
using runtime::Text;
using Calls = std::vector<std::string>;

namespace {

const std::string kMessage = "\"\xa1\xf9\xc4\xda\xd6\xc3\xc0\xe0\xd0\xcd=0\xc6\xa4\xb7\xf4\xc2\xb7"
                             "\xbe\xb6\xb2\xbb\xc4\xdc\xce\xaa\xbf\xd5\xa1\xf9\"";  // ※内置类型=0皮肤路径不能为空※
const std::string kTitle = "\"\xcc\xe1\xca\xbe\xd0\xc5\xcf\xa2\"";                   // 提示信息
const std::string kShowMessage = "ShowMessageBox(" + kMessage + ", 16, " + kTitle + ")";

std::string Size(int kind) { return std::to_string(skin::FindBuiltInSkin(kind)->content.size); }

class ApplySkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    recording::Reset();
    recording::Current().folders[11] = "C:\\Users\\u\\AppData\\Roaming\\Zanvo3GP";
  }
  const Calls& calls() { return recording::Current().calls; }
  const Text absent_;
};

TEST_F(ApplySkinTest, AllOmittedShowsTheMessageAndDoesNothingElse) {
  skin::ApplySkin(Omitted<skin::SkinKind>(0), Omitted(absent_), Omitted(absent_));
  EXPECT_EQ(calls(), Calls{kShowMessage});
}

TEST_F(ApplySkinTest, KindZeroWithEmptyOrAbsentPathShowsTheMessage) {
  const Text empty("");
  for (const Text* path : {&absent_, &empty}) {
    recording::Reset();
    skin::ApplySkin(Given<skin::SkinKind>(0), Given(*path), Given(Text("pw")));
    EXPECT_EQ(calls(), Calls{kShowMessage});
  }
}

TEST_F(ApplySkinTest, KindsOutsideTheTableDoNothingAtAll) {
  for (skin::SkinKind kind : {-1, 9, 100, -2147483647 - 1}) {
    const Text path("C:\\x.she");
    skin::ApplySkin(Given(kind), Given(path), Given(Text("pw")));
    EXPECT_TRUE(calls().empty()) << "kind " << kind;
  }
}

TEST_F(ApplySkinTest, PathSkinsGoToTheEngineUnchanged) {
  struct Case {
    const char* name;
    bool kind_given;
    const char* path;
    bool password_given;
    const char* password;  // nullptr: an absent text
    std::string expected;
  };
  const Case cases[] = {
      {"kind omitted, password omitted", false, "D:\\skins\\a.she", false, nullptr,
       "SkinH_Attach_Ex(\"D:\\skins\\a.she\", \"\")"},
      {"a path of one blank", true, " ", false, nullptr, "SkinH_Attach_Ex(\" \", \"\")"},
      {"path and password", true, "a.she", true, "secret", "SkinH_Attach_Ex(\"a.she\", \"secret\")"},
      {"given empty password", true, "a.she", true, "", "SkinH_Attach_Ex(\"a.she\", \"\")"},
      {"given absent password", true, "a.she", true, nullptr, "SkinH_Attach_Ex(\"a.she\", <null>)"},
  };
  for (const Case& c : cases) {
    recording::Reset();
    const Text path(c.path);
    const Text password(c.password);
    skin::ApplySkin({0, c.kind_given}, Given(path), {password, c.password_given});
    EXPECT_EQ(calls(), Calls{c.expected}) << c.name;
    EXPECT_STREQ(path.bytes(), c.path) << c.name << ": the caller's text is left as it was";
  }
}

TEST_F(ApplySkinTest, BuiltInSkinIsWrittenThenAttachedFromTheDataFolder) {
  const std::string file = "\"C:\\Users\\u\\AppData\\Roaming\\Zanvo3GP\\dogmax.she\"";
  const Text ignored_path("C:\\elsewhere.she");
  skin::ApplySkin(Given<skin::SkinKind>(2), Given(ignored_path), Omitted(absent_));
  EXPECT_EQ(calls(), (Calls{"GetSpecialFolder(11)", "WriteFileBytes(" + file + ", " + Size(2) + " bytes)",
                            "GetSpecialFolder(11)", "SkinH_Attach_Ex(" + file + ", \"\")"}));
  ASSERT_EQ(recording::Current().written_data.size(), 1u);
  EXPECT_EQ(recording::Current().written_data[0], skin::FindBuiltInSkin(2)->content.data);
}

TEST_F(ApplySkinTest, EveryCallWritesAndAttachesAgain) {
  skin::ApplySkin(Given<skin::SkinKind>(2), Omitted(absent_), Omitted(absent_));
  skin::ApplySkin(Given<skin::SkinKind>(2), Omitted(absent_), Omitted(absent_));
  EXPECT_EQ(calls().size(), 8u);
  EXPECT_EQ(Calls(calls().begin(), calls().begin() + 4), Calls(calls().begin() + 4, calls().end()));
}

TEST_F(ApplySkinTest, GivenPasswordReachesTheEngineWithTheBuiltInSkin) {
  const Text password("pw");
  skin::ApplySkin(Given<skin::SkinKind>(5), Omitted(absent_), Given(password));
  const std::string file = "\"C:\\Users\\u\\AppData\\Roaming\\Zanvo3GP\\pixos.she\"";
  EXPECT_EQ(calls(), (Calls{"GetSpecialFolder(11)", "WriteFileBytes(" + file + ", " + Size(5) + " bytes)",
                            "GetSpecialFolder(11)", "SkinH_Attach_Ex(" + file + ", \"pw\")"}));
}

TEST_F(ApplySkinTest, FileNameIsJoinedDirectlyBehindTheFolderText) {
  struct Case {
    const char* folder;  // nullptr: the folder query gives an absent text
    std::string path;
  };
  const Case cases[] = {
      {"C:\\Data", "\"C:\\Data\\dogmax.she\""},
      {"C:\\Data\\", "\"C:\\Data\\\\dogmax.she\""},
      {"", "\"\\dogmax.she\""},
      {nullptr, "\"\\dogmax.she\""},
  };
  for (const Case& c : cases) {
    recording::Reset();
    if (c.folder) recording::Current().folders[11] = c.folder;
    skin::ApplySkin(Given<skin::SkinKind>(2), Omitted(absent_), Omitted(absent_));
    ASSERT_EQ(calls().size(), 4u);
    EXPECT_EQ(calls()[1], "WriteFileBytes(" + c.path + ", " + Size(2) + " bytes)");
    EXPECT_EQ(calls()[3], "SkinH_Attach_Ex(" + c.path + ", \"\")");
  }
}

class PrepareSkinEngineTest : public ::testing::Test {
 protected:
  void SetUp() override { recording::Reset(); }
  const Calls& calls() { return recording::Current().calls; }
};

TEST_F(PrepareSkinEngineTest, WritesTheWholeLibraryWhenNoFileIsThere) {
  recording::Current().folders[10] = "C:\\Lib\\";
  skin::PrepareSkinEngine();
  EXPECT_EQ(calls(), (Calls{"GetSpecialFolder(10)", "FileExists(\"C:\\Lib\\SkinH_EL.dll\")",
                            "GetSpecialFolder(10)", "WriteFileBytes(\"C:\\Lib\\SkinH_EL.dll\", 5 bytes)"}));
  ASSERT_EQ(recording::Current().written_data.size(), 1u);
  EXPECT_EQ(recording::Current().written_data[0], kFakeLibraryBytes);
}

TEST_F(PrepareSkinEngineTest, LeavesAnExistingFileAlone) {
  recording::Current().folders[10] = "C:\\Lib\\";
  recording::Current().file_exists = true;
  skin::PrepareSkinEngine();
  EXPECT_EQ(calls(), (Calls{"GetSpecialFolder(10)", "FileExists(\"C:\\Lib\\SkinH_EL.dll\")"}));
}

TEST_F(PrepareSkinEngineTest, EmptyFolderTextGivesTheBareFileName) {
  recording::Current().folders[10] = "";
  skin::PrepareSkinEngine();
  EXPECT_EQ(calls()[1], "FileExists(\"SkinH_EL.dll\")");
  EXPECT_EQ(calls()[3], "WriteFileBytes(\"SkinH_EL.dll\", 5 bytes)");
}

std::vector<std::string> BuiltSkinFiles() {
  std::vector<std::string> files;
  std::stringstream list(BUILT_SKIN_FILES);
  for (std::string file; std::getline(list, file, '|');) files.push_back(file);
  return files;
}

TEST(BuiltInSkinTable, LookupsAtTheEdgesOfTheRange) {
  EXPECT_EQ(skin::FindBuiltInSkin(-1), nullptr);
  EXPECT_EQ(skin::FindBuiltInSkin(0), nullptr);
  EXPECT_EQ(skin::FindBuiltInSkin(9), nullptr);
  ASSERT_NE(skin::FindBuiltInSkin(1), nullptr);
  EXPECT_STREQ(skin::FindBuiltInSkin(1)->file_name, "\\darkroyale.she");
  EXPECT_STREQ(skin::FindBuiltInSkin(2)->file_name, "\\dogmax.she");
  EXPECT_STREQ(skin::FindBuiltInSkin(8)->file_name, "\\skinh.she");
}

TEST(BuiltInSkinTable, EveryRowCarriesItsWholeSkinFile) {
  const std::vector<std::string> files = BuiltSkinFiles();
  ASSERT_EQ(files.size(), 8u);
  std::set<std::string> names;
  for (int kind = 1; kind <= 8; ++kind) {
    const skin::BuiltInSkin* row = skin::FindBuiltInSkin(kind);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->kind, kind);
    EXPECT_EQ(row->file_name[0], '\\');
    names.insert(row->file_name);
    std::ifstream in(files[kind - 1], std::ios::binary);
    const std::string built((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(files[kind - 1].substr(files[kind - 1].rfind('/')), std::string("/") + (row->file_name + 1));
    ASSERT_EQ(row->content.size, built.size()) << row->file_name;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(row->content.data), row->content.size), built);
    EXPECT_EQ(built.compare(0, 4, ".SHE"), 0);
    EXPECT_NE(built.substr(0, 8).find('\0'), std::string::npos) << "a zero byte within the first eight";
  }
  EXPECT_EQ(names.size(), 8u);
}

}  // namespace
