// Helpers of the native skin file tests: files on disk, skins compared
// field by field, and .she files assembled chunk by chunk.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "skinfile/skin.h"

namespace skintest {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::string& path);
std::vector<std::string> BuiltSkinFiles();  // in built-in order

// Empty when equal; otherwise the first field that differs.
std::string Difference(const skinfile::Skin& a, const skinfile::Skin& b);

// A .she file of these chunks (tag, body), with a right header and CRC.
struct Chunk {
  std::string tag;
  Bytes body;
};
Bytes Assemble(const std::vector<Chunk>& chunks, std::uint16_t version = 1);
// The file with its length and CRC fields made right for its bytes.
Bytes Resealed(Bytes file);
// The chunks of a well-formed file.
std::vector<Chunk> Split(const Bytes& file);

}  // namespace skintest
