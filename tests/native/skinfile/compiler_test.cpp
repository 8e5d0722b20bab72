// The skin compiler: what a source says is what the written file reads back
// as, through the library and through the real skinc program; mistakes in
// sources are reported with their line.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "skin_bytes.h"
#include "skin_source.h"
#include "skinfile/reader.h"
#include "skinfile/writer.h"

using namespace skintest;

namespace {

// A complete source; every value differs from its neighbours so that a
// value landing in the wrong field shows.
std::string Source() {
  std::string s =
      "# a test skin\n"
      "name = \"Test \xE7\x9A\xAE\xE8\x82\xA4\"  # UTF-8 (皮肤)\n"
      "\n"
      "[metrics]\n"
      "caption_height = 30\n"
      "frame_width = 5\n"
      "caption_button_width = 26\n"
      "caption_button_height = 20\n"
      "caption_button_gap = 3\n"
      "caption_button_radius = 4\n"
      "caption_button_flat = yes\n"
      "caption_gradient = horizontal\n"
      "caption_text_align = center\n"
      "caption_text_indent = 7\n"
      "caption_gloss = 25\n"
      "glyph_thickness = 2\n"
      "button_radius = 6\n"
      "button_border = 2\n"
      "button_gloss = 40\n"
      "[fonts]\n"
      "caption = \"Microsoft YaHei\" 15 bold\n"
      "button = \"Tahoma\" 12 600 italic\n"
      "[colors]\n";
  for (int role = 0; role < skinfile::kColorCount; ++role) {
    char line[80];
    std::snprintf(line, sizeof line, "%s = #%02X%02X%02X\n", skinfile::ColorRoleName(role), role,
                  0x80 + role, 0xFF - role);
    s += line;
  }
  s += "[pattern]\nrow = #010203 #040506 #070809\nrow = #0A0B0C #0D0E0F #101112\n";
  return s;
}

void ExpectSourceValues(const skinfile::Skin& skin) {
  EXPECT_STREQ(skin.name, "Test \xE7\x9A\xAE\xE8\x82\xA4");
  const skinfile::Metrics& m = skin.metrics;
  EXPECT_EQ(m.captionHeight, 30);
  EXPECT_EQ(m.frameWidth, 5);
  EXPECT_EQ(m.captionButtonWidth, 26);
  EXPECT_EQ(m.captionButtonHeight, 20);
  EXPECT_EQ(m.captionButtonGap, 3);
  EXPECT_EQ(m.captionButtonRadius, 4);
  EXPECT_EQ(m.captionButtonFlat, 1);
  EXPECT_EQ(m.captionGradient, 1);
  EXPECT_EQ(m.captionTextAlign, 1);
  EXPECT_EQ(m.captionTextIndent, 7);
  EXPECT_EQ(m.captionGloss, 25);
  EXPECT_EQ(m.glyphThickness, 2);
  EXPECT_EQ(m.buttonRadius, 6);
  EXPECT_EQ(m.buttonBorder, 2);
  EXPECT_EQ(m.buttonGloss, 40);
  EXPECT_STREQ(skin.captionFont.face, "Microsoft YaHei");
  EXPECT_EQ(skin.captionFont.height, 15);
  EXPECT_EQ(skin.captionFont.weight, 700);
  EXPECT_FALSE(skin.captionFont.italic);
  EXPECT_STREQ(skin.buttonFont.face, "Tahoma");
  EXPECT_EQ(skin.buttonFont.height, 12);
  EXPECT_EQ(skin.buttonFont.weight, 600);
  EXPECT_TRUE(skin.buttonFont.italic);
  for (int role = 0; role < skinfile::kColorCount; ++role)
    EXPECT_EQ(skin.colors[role], skinfile::Rgb(role, 0x80 + role, 0xFF - role))
        << skinfile::ColorRoleName(role);
  ASSERT_EQ(skin.pattern.width, 3);
  ASSERT_EQ(skin.pattern.height, 2);
  EXPECT_EQ(skin.pattern.pixels[0], 0x010203u);
  EXPECT_EQ(skin.pattern.pixels[4], 0x0D0E0Fu);
  EXPECT_EQ(skin.pattern.pixels[5], 0x101112u);
}

TEST(SkinCompiler, WritesWhatTheSourceSaysAndTheReaderReadsItBack) {
  skinfile::Skin compiled;
  std::string error;
  ASSERT_TRUE(skinc::CompileSkinSource(Source(), compiled, error)) << error;
  ExpectSourceValues(compiled);
  const Bytes file = skinfile::Write(compiled);
  skinfile::Skin read;
  ASSERT_EQ(skinfile::Read(file.data(), file.size(), read), skinfile::ReadStatus::kOk);
  EXPECT_EQ(Difference(compiled, read), "");
  ExpectSourceValues(read);
}

int RunCommand(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "skinc-" + std::to_string(getpid()) + "-" + name;
}

TEST(SkinCompiler, TheSkincProgramWritesAFileTheReaderReads) {
  const std::string source = TempPath("test.skin"), output = TempPath("test.she");
  std::ofstream(source) << Source();
  ASSERT_EQ(RunCommand(std::string(SKINC_PATH) + " " + source + " " + output), 0);
  const Bytes file = ReadFile(output);
  skinfile::Skin read;
  ASSERT_EQ(skinfile::Read(file.data(), file.size(), read), skinfile::ReadStatus::kOk);
  ExpectSourceValues(read);

  // A bad source: an error naming the line, no output file.
  const std::string bad = TempPath("bad.skin"), badOutput = TempPath("bad.she");
  std::ofstream(bad) << "name = \"x\"\n[metrics]\ncaption_height = 99\n";
  const std::string errors = TempPath("errors.txt");
  EXPECT_EQ(RunCommand(std::string(SKINC_PATH) + " " + bad + " " + badOutput + " 2>" + errors), 1);
  const Bytes said = ReadFile(errors);
  EXPECT_NE(std::string(said.begin(), said.end()).find("line 3: caption_height must be 16 to 48"),
            std::string::npos)
      << std::string(said.begin(), said.end());
  EXPECT_TRUE(ReadFile(badOutput).empty());
  for (const std::string& p : {source, output, bad, errors}) std::remove(p.c_str());
}

// The built-in skins' sources compile to exactly the files the build made.
TEST(SkinCompiler, BuiltInSourcesMatchTheBuiltFiles) {
  for (const std::string& built : BuiltSkinFiles()) {
    const std::string name = built.substr(built.rfind('/') + 1, built.rfind('.') - built.rfind('/') - 1);
    SCOPED_TRACE(name);
    const Bytes text = ReadFile(std::string(SKIN_SOURCE_DIR) + "/" + name + ".skin");
    skinfile::Skin skin;
    std::string error;
    ASSERT_TRUE(skinc::CompileSkinSource(std::string(text.begin(), text.end()), skin, error)) << error;
    EXPECT_EQ(skinfile::Write(skin), ReadFile(built));
  }
}

struct BadSource {
  const char* what;
  std::string text;
  const char* error;  // expected in the message
};

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  const auto at = s.find(from);
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

TEST(SkinCompiler, ReportsMistakesWithTheirLine) {
  const std::string good = Source();
  const BadSource cases[] = {
      {"unknown key", Replace(good, "frame_width = 5", "frame_wide = 5"), "line 6: unknown metric 'frame_wide'"},
      {"given twice", Replace(good, "frame_width = 5", "frame_width = 5\nframe_width = 6"), "line 7: frame_width is given twice"},
      {"missing metric", Replace(good, "frame_width = 5\n", ""), "missing: frame_width"},
      {"missing colour", Replace(good, "button_focus = ", "# button_focus = "), "missing: button_focus"},
      {"missing name", Replace(good, "name = ", "# name = "), "missing: name"},
      {"out of range", Replace(good, "caption_gloss = 25", "caption_gloss = 101"), "line 15: caption_gloss must be 0 to 100"},
      {"not a number", Replace(good, "caption_gloss = 25", "caption_gloss = lots"), "line 15: caption_gloss: 'lots' is not a number"},
      {"bad word", Replace(good, "caption_gradient = horizontal", "caption_gradient = diagonal"), "line 12: caption_gradient is vertical or horizontal"},
      {"bad colour", Replace(good, "button_focus = #", "button_focus = #G"), "is not a colour (#RRGGBB)"},
      {"unknown colour", Replace(good, "button_focus", "button_fokus"), "unknown colour 'button_fokus'"},
      {"unknown section", Replace(good, "[fonts]", "[font]"), "line 20: unknown section [font]"},
      {"unquoted face", Replace(good, "\"Tahoma\"", "Tahoma"), "a font face must be quoted text"},
      {"font without weight", Replace(good, "\"Tahoma\" 12 600 italic", "\"Tahoma\" 12"), "button is: \"face\" height weight [italic]"},
      {"button taller than caption", Replace(good, "caption_button_height = 20", "caption_button_height = 31"), "caption_button_height must not exceed caption_height"},
      {"radius too big", Replace(good, "caption_button_radius = 4", "caption_button_radius = 11"), "caption_button_radius"},
      {"ragged pattern", Replace(good, "row = #0A0B0C #0D0E0F #101112", "row = #0A0B0C #0D0E0F"), "pattern rows differ in length"},
      {"no equals", Replace(good, "frame_width = 5", "frame_width 5"), "line 6: expected key = value"},
      {"unterminated quote", Replace(good, "\"Tahoma\"", "\"Tahoma"), "unterminated quoted text"},
  };
  for (const BadSource& bad : cases) {
    SCOPED_TRACE(bad.what);
    skinfile::Skin skin;
    std::string error;
    EXPECT_FALSE(skinc::CompileSkinSource(bad.text, skin, error));
    EXPECT_NE(error.find(bad.error), std::string::npos) << error;
  }
}

}  // namespace
