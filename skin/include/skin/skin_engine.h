// The skin engine library's entry point, as the program calls it. The
// Windows build loads "SkinH_EL.dll" by its bare file name at the first call
// and keeps it loaded; a missing library or entry point makes the call do
// nothing.
#pragma once

namespace skin {

// Attaches the skin file at `path` (code page 936) to the calling thread's
// windows. `password` may be null. The result is the engine's.
int SkinH_Attach_Ex(const char* path, const char* password);

}  // namespace skin
