// Paths with doubled separators, as callers of the engine write them.
#include <gtest/gtest.h>

#include <string>

#include "skinfile/path.h"

namespace {

std::u16string Collapsed(std::u16string path) {
  path.resize(skinfile::CollapseSeparators(&path[0], path.size()));
  return path;
}

TEST(SkinPath, CollapsesDoubledSeparators) {
  const struct {
    std::u16string given, expected;
  } cases[] = {
      {u"C:\\dir\\\\dogmax.she", u"C:\\dir\\dogmax.she"},
      {u"C:\\\\\\dir\\\\\\\\a.she", u"C:\\dir\\a.she"},
      {u"C:/dir//a.she", u"C:\\dir\\a.she"},
      {u"C:\\dir\\a.she", u"C:\\dir\\a.she"},
      {u"\\\\server\\\\share\\a.she", u"\\\\server\\share\\a.she"},
      {u"\\\\?\\C:\\\\a.she", u"\\\\?\\C:\\a.she"},
      {u"a.she", u"a.she"},
      {u"", u""},
      {u"\\", u"\\"},
      {u"C:\\\x76ae\x80a4\\\\\x6dfa.she", u"C:\\\x76ae\x80a4\\\x6dfa.she"},
  };
  for (const auto& c : cases) EXPECT_EQ(Collapsed(c.given), c.expected);
  // Stays NUL-terminated.
  char16_t text[] = u"C:\\\\a";
  EXPECT_EQ(skinfile::CollapseSeparators(text, 5), 4u);
  EXPECT_EQ(std::u16string(text), u"C:\\a");
}

}  // namespace
