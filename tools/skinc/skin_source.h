// Skin sources: the readable text form of a skin (see assets/skins/ and
// skinengine/format/README.md), compiled into a skinfile::Skin.
#pragma once
#include <string>

#include "skinfile/skin.h"

namespace skinc {

// Compiles `text`; on failure returns false with `error` as "line N: what".
bool CompileSkinSource(const std::string& text, skinfile::Skin& skin, std::string& error);

}  // namespace skinc
