// Skin kinds and the table of built-in skins. Portable.
#pragma once
#include <cstdint>

#include "runtime/text.h"

namespace skin {

// 0: a skin file given by path; 1 to 8: a built-in skin; anything else: none.
using SkinKind = std::int32_t;
inline constexpr SkinKind kSkinFromPath = 0;

struct BuiltInSkin {
  SkinKind kind;
  const char* file_name;          // one leading backslash, e.g. "\\dogmax.she"
  runtime::ByteConstant content;  // a whole skin file
};

// The row of `kind` (1 to 8), or nullptr for any other kind. The row's file
// name and content are handed out where they lie.
const BuiltInSkin* FindBuiltInSkin(SkinKind kind);

}  // namespace skin
