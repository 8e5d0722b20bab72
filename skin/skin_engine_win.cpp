// Loads the skin engine by its bare file name, so that the platform's
// library search finds the copy that PrepareSkinEngine put in place. The
// first call loads it; it is never freed, so it stays loaded until the
// process ends and later calls find it among the loaded modules.
#include <windows.h>

#include "skin/skin_engine.h"

namespace skin {
namespace {

using AttachEx = int(__stdcall*)(const char* path, const char* password);

constexpr wchar_t kEngineFileName[] = L"SkinH_EL.dll";

AttachEx FindAttachEx() {
  HMODULE engine = GetModuleHandleW(kEngineFileName);
  if (engine == nullptr) engine = LoadLibraryW(kEngineFileName);
  if (engine == nullptr) return nullptr;
  FARPROC entry = GetProcAddress(engine, "SkinH_Attach_Ex");
  if (entry == nullptr) return nullptr;  // the module stays loaded; nothing to attach with
  return reinterpret_cast<AttachEx>(reinterpret_cast<void*>(entry));
}

}  // namespace

int SkinH_Attach_Ex(const char* path, const char* password) {
  const AttachEx attach = FindAttachEx();
  return attach ? attach(path, password) : 0;
}

}  // namespace skin
