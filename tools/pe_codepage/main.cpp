// pe_codepage PROGRAM CODEPAGE: records CODEPAGE in every resource data entry
// of PROGRAM, in place. The linker leaves 0 there. A checksum that is set is
// recomputed; an unset one stays 0.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pe_image.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: pe_codepage PROGRAM CODEPAGE\n");
    return 2;
  }
  const std::string path = argv[1];
  char* end = nullptr;
  const unsigned long code_page = std::strtoul(argv[2], &end, 10);
  if (*argv[2] == '\0' || *end != '\0' || code_page == 0 || code_page > 0xFFFF) {
    std::fprintf(stderr, "pe_codepage: bad code page %s\n", argv[2]);
    return 2;
  }
  try {
    pe::PeImage image(pe::ReadBinaryFile(path));
    if (image.resources().empty()) throw pe::PeError("no resources");
    const auto resources = image.resources();
    for (const pe::Resource& resource : resources) image.SetCodePage(resource, static_cast<std::uint32_t>(code_page));
    if (image.checksum() != 0) image.SetChecksum(image.ComputeChecksum());
    pe::WriteBinaryFile(path, image.bytes());
  } catch (const pe::PeError& error) {
    std::fprintf(stderr, "pe_codepage: %s: %s\n", path.c_str(), error.what());
    return 1;
  }
  return 0;
}
