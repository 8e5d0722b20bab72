#include "skin_source.h"

#include <cstring>
#include <set>
#include <sstream>
#include <vector>

#include "skinfile/reader.h"

namespace skinc {
namespace {

struct Failure {
  std::string message;
};

// A comment runs from a '#' followed by a blank (or ending the line) to the
// end of the line; colours (#RRGGBB) are not comments.
std::string WithoutComment(const std::string& line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    const bool blankBefore = i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t';
    const bool blankAfter = i + 1 == line.size() || line[i + 1] == ' ' || line[i + 1] == '\t';
    if (line[i] == '#' && blankBefore && blankAfter) return line.substr(0, i);
  }
  return line;
}

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// A value's words: "quoted text" counts as one word.
std::vector<std::string> Words(const std::string& value) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < value.size()) {
    if (value[i] == ' ' || value[i] == '\t') {
      ++i;
    } else if (value[i] == '"') {
      const auto close = value.find('"', i + 1);
      if (close == std::string::npos) throw Failure{"unterminated quoted text"};
      words.push_back(value.substr(i, close - i + 1));
      i = close + 1;
    } else {
      const auto end = value.find_first_of(" \t", i);
      words.push_back(value.substr(i, end == std::string::npos ? end : end - i));
      i = end == std::string::npos ? value.size() : end;
    }
  }
  return words;
}

std::string Quoted(const std::string& word, std::size_t maxBytes, const char* what) {
  if (word.size() < 2 || word.front() != '"' || word.back() != '"')
    throw Failure{std::string(what) + " must be quoted text"};
  std::string text = word.substr(1, word.size() - 2);
  if (text.empty() || text.size() > maxBytes)
    throw Failure{std::string(what) + " must be 1 to " + std::to_string(maxBytes) + " bytes"};
  return text;
}

int Number(const std::string& word, int low, int high, const std::string& what) {
  if (word.empty() || word.find_first_not_of("0123456789") != std::string::npos ||
      word.size() > 4)
    throw Failure{what + ": '" + word + "' is not a number"};
  const int value = std::stoi(word);
  if (value < low || value > high)
    throw Failure{what + " must be " + std::to_string(low) + " to " + std::to_string(high)};
  return value;
}

skinfile::Color ColorValue(const std::string& word) {
  if (word.size() != 7 || word[0] != '#' ||
      word.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
    throw Failure{"'" + word + "' is not a colour (#RRGGBB)"};
  return static_cast<skinfile::Color>(std::stoul(word.substr(1), nullptr, 16));
}

std::string Single(const std::vector<std::string>& words, const std::string& key) {
  if (words.size() != 1) throw Failure{key + " takes one value"};
  return words[0];
}

void SetMetric(skinfile::Metrics& metrics, const std::string& key,
               const std::vector<std::string>& words) {
  for (const skinfile::MetricInfo& info : skinfile::kMetricInfo) {
    if (key != info.name) continue;
    const std::string word = Single(words, key);
    if (info.words[0] != nullptr) {
      for (int v = 0; v < 2; ++v) {
        if (word == info.words[v]) {
          metrics.*info.field = static_cast<std::uint8_t>(v);
          return;
        }
      }
      throw Failure{key + " is " + info.words[0] + " or " + info.words[1]};
    }
    metrics.*info.field = static_cast<std::uint8_t>(Number(word, info.low, info.high, key));
    return;
  }
  throw Failure{"unknown metric '" + key + "'"};
}

// "Face" height weight [italic]; weight is a number or normal/bold.
skinfile::Font FontValue(const std::vector<std::string>& words, const std::string& key) {
  if (words.size() != 3 && !(words.size() == 4 && words[3] == "italic"))
    throw Failure{key + " is: \"face\" height weight [italic]"};
  skinfile::Font font{};
  const std::string face = Quoted(words[0], skinfile::kMaxFaceBytes, "a font face");
  std::memcpy(font.face, face.data(), face.size());
  font.height = static_cast<std::uint8_t>(Number(words[1], 8, 48, key + " height"));
  if (words[2] == "normal")
    font.weight = 400;
  else if (words[2] == "bold")
    font.weight = 700;
  else
    font.weight = static_cast<std::uint16_t>(Number(words[2], 100, 900, key + " weight"));
  font.italic = words.size() == 4;
  return font;
}

int ColorRoleOf(const std::string& key) {
  for (int role = 0; role < skinfile::kColorCount; ++role)
    if (key == skinfile::ColorRoleName(role)) return role;
  throw Failure{"unknown colour '" + key + "'"};
}

}  // namespace

bool CompileSkinSource(const std::string& text, skinfile::Skin& skin, std::string& error) {
  skinfile::Skin out{};
  std::set<std::string> seen;
  std::string section;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  std::size_t patternRows = 0;
  try {
    while (std::getline(lines, line)) {
      ++number;
      line = WithoutComment(line);
      line = Trim(line);
      if (line.empty()) continue;
      if (line.front() == '[') {
        if (line.back() != ']') throw Failure{"a section is written [name]"};
        section = Trim(line.substr(1, line.size() - 2));
        if (section != "metrics" && section != "fonts" && section != "colors" &&
            section != "pattern")
          throw Failure{"unknown section [" + section + "]"};
        if (!seen.insert("[" + section + "]").second)
          throw Failure{"section [" + section + "] appears twice"};
        continue;
      }
      const auto equals = line.find('=');
      if (equals == std::string::npos) throw Failure{"expected key = value"};
      const std::string key = Trim(line.substr(0, equals));
      const std::vector<std::string> words = Words(Trim(line.substr(equals + 1)));
      if (words.empty()) throw Failure{key + " has no value"};
      if (section == "pattern" && key == "row") {
        if (words.size() > skinfile::kMaxPatternSide ||
            patternRows == static_cast<std::size_t>(skinfile::kMaxPatternSide))
          throw Failure{"a pattern is at most 16 x 16"};
        if (patternRows > 0 && words.size() != out.pattern.width)
          throw Failure{"pattern rows differ in length"};
        out.pattern.width = static_cast<std::uint8_t>(words.size());
        for (std::size_t x = 0; x < words.size(); ++x)
          out.pattern.pixels[patternRows * words.size() + x] = ColorValue(words[x]);
        out.pattern.height = static_cast<std::uint8_t>(++patternRows);
        continue;
      }
      if (!seen.insert(section + "." + key).second) throw Failure{key + " is given twice"};
      if (section.empty() && key == "name") {
        const std::string name = Quoted(Single(words, key), skinfile::kMaxNameBytes, "name");
        std::memcpy(out.name, name.data(), name.size());
      } else if (section == "metrics") {
        SetMetric(out.metrics, key, words);
      } else if (section == "fonts" && (key == "caption" || key == "button")) {
        (key == "caption" ? out.captionFont : out.buttonFont) = FontValue(words, key);
      } else if (section == "colors") {
        out.colors[ColorRoleOf(key)] = ColorValue(Single(words, key));
      } else {
        throw Failure{"unknown key '" + key + "'" +
                      (section.empty() ? "" : " in [" + section + "]")};
      }
    }
    number = 0;
    std::vector<std::string> missing;
    if (!seen.count(".name")) missing.push_back("name");
    for (const skinfile::MetricInfo& info : skinfile::kMetricInfo)
      if (!seen.count(std::string("metrics.") + info.name)) missing.push_back(info.name);
    for (const char* font : {"caption", "button"})
      if (!seen.count(std::string("fonts.") + font)) missing.push_back(std::string("font ") + font);
    for (int role = 0; role < skinfile::kColorCount; ++role)
      if (!seen.count(std::string("colors.") + skinfile::ColorRoleName(role)))
        missing.push_back(skinfile::ColorRoleName(role));
    if (!missing.empty()) {
      std::string list;
      for (const auto& m : missing) list += (list.empty() ? "" : ", ") + m;
      throw Failure{"missing: " + list};
    }
    if (seen.count("[pattern]") && patternRows == 0) throw Failure{"[pattern] has no rows"};
    if (!skinfile::IsValid(out))
      throw Failure{"caption_button_height must not exceed caption_height, and "
                    "caption_button_radius not half the shorter button side; "
                    "names and faces are printable UTF-8"};
  } catch (const Failure& failure) {
    error = (number > 0 ? "line " + std::to_string(number) + ": " : std::string()) +
            failure.message;
    return false;
  }
  skin = out;
  return true;
}

}  // namespace skinc
