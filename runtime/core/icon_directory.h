// Reads the directory of an icon file (.ico layout) into the layout of an
// icon group resource, which the platform's icon lookup takes. Portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace runtime {

struct IconImage {
  std::size_t offset;
  std::size_t size;
};

struct IconDirectory {
  // Header and 14-byte entries; entry i carries id i + 1.
  std::vector<unsigned char> group;
  std::vector<IconImage> images;
};

// False when the bytes are no icon file or an image lies outside them.
bool ReadIconDirectory(const unsigned char* data, std::size_t size, IconDirectory& out);

}  // namespace runtime
