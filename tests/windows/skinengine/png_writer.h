// Encodes 24-bit RGB pictures as PNG (deflate with the fixed codes: simple,
// and window screenshots shrink well with it).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace skintest {

// `pixels`: width * height values 0x00RRGGBB, row by row from the top.
std::vector<std::uint8_t> EncodePng(const std::vector<std::uint32_t>& pixels, int width,
                                    int height);

}  // namespace skintest
