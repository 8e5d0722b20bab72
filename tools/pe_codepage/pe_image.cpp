#include "pe_image.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace pe {
namespace {

constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr int kResourceLevels = 3;  // type, name, language

}  // namespace

PeImage::PeImage(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {
  if (bytes_.size() < 0x40 || bytes_[0] != 'M' || bytes_[1] != 'Z') throw PeError("not a PE file (no MZ header)");
  const std::size_t pe = U32(0x3C);
  if (pe % 8 != 0) throw PeError("misaligned PE header");
  Need(pe, 24);
  if (U32(pe) != 0x00004550u) throw PeError("not a PE file (no PE signature)");
  const std::size_t section_count = U16(pe + 6);
  const std::size_t optional_size = U16(pe + 20);
  const std::size_t optional = pe + 24;
  Need(optional, optional_size);
  const std::uint16_t magic = U16(optional);
  if (magic != kPe32Magic && magic != kPe32PlusMagic) throw PeError("unknown optional header magic");
  checksum_offset_ = optional + 64;
  const std::size_t directory_count_at = optional + (magic == kPe32Magic ? 92 : 108);
  const std::size_t directories = directory_count_at + 4;
  if (directory_count_at + 4 > optional + optional_size) throw PeError("optional header too short");
  const std::uint32_t directory_count = U32(directory_count_at);
  if (directories + 8 * std::size_t(directory_count) > optional + optional_size) {
    throw PeError("data directories overrun the optional header");
  }

  const std::size_t section_table = optional + optional_size;
  Need(section_table, 40 * section_count);
  for (std::size_t i = 0; i < section_count; ++i) {
    const std::size_t s = section_table + 40 * i;
    sections_.push_back({U32(s + 12), U32(s + 8), U32(s + 20), U32(s + 16)});
    if (std::uint64_t(sections_.back().raw_offset) + sections_.back().raw_size > bytes_.size()) {
      throw PeError("section data lies beyond the end of the file");
    }
  }

  if (directory_count <= kResourceDirectoryIndex) return;
  resource_rva_ = U32(directories + 8 * kResourceDirectoryIndex);
  resource_size_ = U32(directories + 8 * kResourceDirectoryIndex + 4);
  if (resource_rva_ == 0 && resource_size_ == 0) return;
  resource_root_ = FileOffset(resource_rva_, resource_size_);
  ReadResourceTree(0, 0, Resource{});
}

std::size_t PeImage::FileOffset(std::uint32_t rva, std::uint32_t length) const {
  for (const Section& s : sections_) {
    const std::uint32_t mapped = std::max(s.virtual_size, s.raw_size);
    if (rva >= s.virtual_address && std::uint64_t(rva) + length <= std::uint64_t(s.virtual_address) + mapped) {
      if (std::uint64_t(rva - s.virtual_address) + length > s.raw_size) {
        throw PeError("resource data lies outside the section's file data");
      }
      return s.raw_offset + (rva - s.virtual_address);
    }
  }
  throw PeError("address outside every section");
}

// `directory` and the offsets inside the tree are relative to its root.
void PeImage::ReadResourceTree(std::size_t directory, int level, Resource path) {
  if (directory + 16 > resource_size_) throw PeError("resource directory outside the resource data");
  const std::size_t at = resource_root_ + directory;
  const std::size_t entries = std::size_t(U16(at + 12)) + U16(at + 14);  // named + numbered
  if (directory + 16 + 8 * entries > resource_size_) throw PeError("resource directory entries overrun");
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t entry = at + 16 + 8 * i;
    const std::uint32_t key = U32(entry);
    const std::uint32_t target = U32(entry + 4);
    const bool is_directory = (target & kHighBit) != 0;
    if (level == 0) path.type = ReadKey(key);
    if (level == 1) path.name = ReadKey(key);
    if (level == 2) {
      if (key & kHighBit) throw PeError("resource language given by name");
      path.language = key;
    }
    if (level < kResourceLevels - 1) {
      if (!is_directory) throw PeError("resource data where a directory belongs");
      ReadResourceTree(target & ~kHighBit, level + 1, path);
      continue;
    }
    if (is_directory) throw PeError("resource tree deeper than type, name, language");
    if (std::uint64_t(target) + 16 > resource_size_) throw PeError("resource data entry outside the resource data");
    Resource resource = path;
    resource.entry_offset = resource_root_ + target;
    resource.data_rva = U32(resource.entry_offset);
    resource.size = U32(resource.entry_offset + 4);
    resource.code_page = U32(resource.entry_offset + 8);
    if (U32(resource.entry_offset + 12) != 0) throw PeError("resource data entry with a non-zero reserved field");
    FileOffset(resource.data_rva, resource.size);  // validates the data's place
    resources_.push_back(std::move(resource));
  }
}

ResourceKey PeImage::ReadKey(std::uint32_t field) const {
  ResourceKey key;
  if (!(field & kHighBit)) {
    if (field > 0xFFFF) throw PeError("resource id out of range");
    key.id = field;
    return key;
  }
  const std::size_t offset = field & ~kHighBit;
  if (offset + 2 > resource_size_) throw PeError("resource name outside the resource data");
  const std::size_t length = U16(resource_root_ + offset);
  if (offset + 2 + 2 * length > resource_size_) throw PeError("resource name overruns the resource data");
  for (std::size_t i = 0; i < length; ++i) key.name.push_back(static_cast<char16_t>(U16(resource_root_ + offset + 2 + 2 * i)));
  if (key.name.empty()) throw PeError("empty resource name");
  return key;
}

std::vector<std::uint8_t> PeImage::Data(const Resource& resource) const {
  const std::size_t at = FileOffset(resource.data_rva, resource.size);
  return std::vector<std::uint8_t>(bytes_.begin() + static_cast<std::ptrdiff_t>(at),
                                   bytes_.begin() + static_cast<std::ptrdiff_t>(at + resource.size));
}

void PeImage::SetCodePage(const Resource& resource, std::uint32_t code_page) {
  Need(resource.entry_offset + 8, 4);
  for (int i = 0; i < 4; ++i) bytes_[resource.entry_offset + 8 + i] = static_cast<std::uint8_t>(code_page >> (8 * i));
  for (Resource& r : resources_) {
    if (r.entry_offset == resource.entry_offset) r.code_page = code_page;
  }
}

std::uint32_t PeImage::checksum() const { return U32(checksum_offset_); }

// The PE checksum: 16-bit one's-complement-style sum of the file with the
// checksum field taken as zero, plus the file length.
std::uint32_t PeImage::ComputeChecksum() const {
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < bytes_.size(); i += 2) {
    if (i == checksum_offset_ || i == checksum_offset_ + 2) continue;
    std::uint32_t word = bytes_[i];
    if (i + 1 < bytes_.size()) word |= std::uint32_t(bytes_[i + 1]) << 8;
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint32_t>(sum + bytes_.size());
}

void PeImage::SetChecksum(std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes_[checksum_offset_ + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PeImage::Need(std::size_t at, std::size_t length) const {
  if (at > bytes_.size() || length > bytes_.size() - at) throw PeError("truncated PE file");
}

std::uint16_t PeImage::U16(std::size_t at) const {
  Need(at, 2);
  return static_cast<std::uint16_t>(bytes_[at] | (bytes_[at + 1] << 8));
}

std::uint32_t PeImage::U32(std::size_t at) const {
  return U16(at) | (std::uint32_t(U16(at + 2)) << 16);
}

std::vector<std::uint8_t> ReadBinaryFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw PeError("cannot open " + path);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBinaryFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw PeError("cannot write " + path);
}

}  // namespace pe
