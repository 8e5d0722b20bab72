#include "icon_directory.h"

namespace runtime {
namespace {
std::uint32_t Read16(const unsigned char* p) { return p[0] | (p[1] << 8); }
std::uint32_t Read32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kFileEntrySize = 16;
constexpr std::size_t kGroupEntrySize = 14;
}  // namespace

bool ReadIconDirectory(const unsigned char* data, std::size_t size, IconDirectory& out) {
  out = IconDirectory{};
  if (!data || size < kHeaderSize) return false;
  if (Read16(data) != 0 || Read16(data + 2) != 1) return false;
  const std::size_t count = Read16(data + 4);
  if (count == 0 || size < kHeaderSize + count * kFileEntrySize) return false;
  out.group.assign(data, data + kHeaderSize);
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* entry = data + kHeaderSize + i * kFileEntrySize;
    const std::size_t bytes = Read32(entry + 8);
    const std::size_t offset = Read32(entry + 12);
    if (bytes == 0 || offset > size || bytes > size - offset) {
      out = IconDirectory{};
      return false;
    }
    // The first 12 bytes agree in both layouts; the group's id replaces the offset.
    out.group.insert(out.group.end(), entry, entry + 12);
    const std::size_t id = i + 1;
    out.group.push_back(static_cast<unsigned char>(id & 0xff));
    out.group.push_back(static_cast<unsigned char>(id >> 8));
    out.images.push_back(IconImage{offset, bytes});
  }
  static_assert(kGroupEntrySize == 12 + 2);
  return true;
}

}  // namespace runtime
