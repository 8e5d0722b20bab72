// Writes a .she skin file (host tools and tests; the engine only reads).
#pragma once
#include <cstdint>
#include <vector>

#include "skinfile/skin.h"

namespace skinfile {

// The file's bytes, version kFormatVersion. The skin must be IsValid().
std::vector<std::uint8_t> Write(const Skin& skin);

}  // namespace skinfile
