// Reads and checks a .she skin file held in memory (format: README.md).
#pragma once
#include <cstddef>
#include <cstdint>

#include "skinfile/skin.h"

namespace skinfile {

enum class ReadStatus {
  kOk,
  kEmpty,               // no bytes at all
  kTruncated,           // shorter than its header or its length field says
  kNotSkinFile,         // does not begin with ".SHE"
  kUnsupportedVersion,  // a format version this reader does not know
  kCorrupted,           // length or checksum do not match the bytes
  kInvalid,             // checksum right, contents inconsistent or out of range
};

constexpr std::uint16_t kFormatVersion = 1;
constexpr std::size_t kHeaderSize = 16;

// Fills `skin` only when the whole file is good; otherwise `skin` is left
// as it was.
ReadStatus Read(const std::uint8_t* data, std::size_t size, Skin& skin);

// Checks a skin's values as the reader would (the compiler uses it before
// writing, so that every written file reads back).
bool IsValid(const Skin& skin);

// CRC-32 (IEEE 802.3, as zlib computes it).
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size);

}  // namespace skinfile
