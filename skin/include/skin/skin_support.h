// Putting the skin engine library in place and applying skins. Portable: the
// routines reach the platform only through the runtime layer and the engine.
#pragma once

#include "runtime/text.h"
#include "skin/skin_kind.h"

namespace skin {

// The file name under which the engine library is written and loaded.
inline constexpr char kSkinEngineFileName[] = "SkinH_EL.dll";

// Writes the carried engine library into the special folder of kind 10 unless
// a file of that name is already there. Reports nothing.
void PrepareSkinEngine();

// Applies a built-in skin (kinds 1 to 8: written to the special folder of
// kind 11, then attached) or the skin file at `path` (kind 0). Every argument
// may be omitted: the kind then counts as 0, the password as the empty text.
void ApplySkin(runtime::Arg<SkinKind> kind, runtime::Arg<runtime::Text> path,
               runtime::Arg<runtime::Text> password);

}  // namespace skin

// The whole engine library file, carried by the program.
extern const runtime::ByteConstant SkinEngineLibrary;
