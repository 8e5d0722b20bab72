// skinc SOURCE.skin OUTPUT.she: compiles a skin source into a skin file.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "skin_source.h"
#include "skinfile/writer.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skinc SOURCE.skin OUTPUT.she\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "skinc: cannot read %s\n", argv[1]);
    return 1;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  skinfile::Skin skin;
  std::string error;
  if (!skinc::CompileSkinSource(text, skin, error)) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
    return 1;
  }
  const auto bytes = skinfile::Write(skin);
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "skinc: cannot write %s\n", argv[2]);
    std::remove(argv[2]);
    return 1;
  }
  return 0;
}
