// A Windows program file (PE) read into memory, as far as its resources go:
// the resource tree of the resource data directory, each data entry with
// its type, name, language and code page, and the header checksum.
// Anything that does not look like a well-formed PE throws PeError.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace pe {

struct PeError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A resource type or name: a number, or a string when `name` is non-empty.
struct ResourceKey {
  std::uint32_t id = 0;
  std::u16string name;
  bool operator==(const ResourceKey& o) const { return id == o.id && name == o.name; }
};

struct Resource {
  ResourceKey type;
  ResourceKey name;
  std::uint32_t language = 0;
  std::uint32_t data_rva = 0;
  std::uint32_t size = 0;
  std::uint32_t code_page = 0;
  std::size_t entry_offset = 0;  // file offset of its IMAGE_RESOURCE_DATA_ENTRY
};

class PeImage {
 public:
  explicit PeImage(std::vector<std::uint8_t> bytes);

  // Every data entry of the resource tree, in directory order (empty when
  // the file has no resource directory).
  const std::vector<Resource>& resources() const { return resources_; }
  std::vector<std::uint8_t> Data(const Resource& resource) const;

  void SetCodePage(const Resource& resource, std::uint32_t code_page);

  std::uint32_t checksum() const;
  std::uint32_t ComputeChecksum() const;  // the value the loader's check expects
  void SetChecksum(std::uint32_t value);

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  struct Section {
    std::uint32_t virtual_address, virtual_size, raw_offset, raw_size;
  };
  std::size_t FileOffset(std::uint32_t rva, std::uint32_t length) const;
  void ReadResourceTree(std::size_t directory, int level, Resource path);
  ResourceKey ReadKey(std::uint32_t field) const;

  std::uint16_t U16(std::size_t at) const;
  std::uint32_t U32(std::size_t at) const;
  void Need(std::size_t at, std::size_t length) const;

  std::vector<std::uint8_t> bytes_;
  std::vector<Section> sections_;
  std::size_t checksum_offset_ = 0;
  std::size_t resource_root_ = 0;  // file offset of the root directory
  std::uint32_t resource_rva_ = 0, resource_size_ = 0;
  std::vector<Resource> resources_;
};

std::vector<std::uint8_t> ReadBinaryFile(const std::string& path);
void WriteBinaryFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace pe
