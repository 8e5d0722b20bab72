#include "skin/skin_support.h"

#include "runtime/core.h"
#include "runtime/shell.h"
#include "skin/skin_engine.h"

namespace skin {
namespace {

// "※内置类型=0皮肤路径不能为空※"
const char kMissingPathMessage[] =
    "\xa1\xf9\xc4\xda\xd6\xc3\xc0\xe0\xd0\xcd=0\xc6\xa4\xb7\xf4\xc2\xb7\xbe\xb6"
    "\xb2\xbb\xc4\xdc\xce\xaa\xbf\xd5\xa1\xf9";
// "提示信息"
const char kMessageTitle[] = "\xcc\xe1\xca\xbe\xd0\xc5\xcf\xa2";
constexpr std::int32_t kErrorIconFlags = 16;

// A new text: the special folder of `kind` followed directly by `name`.
runtime::Text FolderPath(std::int32_t kind, const char* name) {
  runtime::Text folder = shell::GetSpecialFolder(kind);
  runtime::Text path = runtime::Join(folder, name);
  folder.Release();
  return path;
}

// The password as the engine gets it: a given one unchanged (an absent text
// arrives as null), an omitted one as the empty text.
const char* EnginePassword(runtime::Arg<runtime::Text> password) {
  return password.given ? password.value.bytes() : "";
}

}  // namespace

void PrepareSkinEngine() {
  runtime::Text target = FolderPath(shell::kLibraryFolder, kSkinEngineFileName);
  const std::int32_t exists = core::FileExists(target);
  target.Release();
  if (exists != 0) return;  // whatever lies there stays untouched

  target = FolderPath(shell::kLibraryFolder, kSkinEngineFileName);
  core::WriteFileBytes(target, SkinEngineLibrary);
  target.Release();
}

void ApplySkin(runtime::Arg<SkinKind> kind, runtime::Arg<runtime::Text> path,
               runtime::Arg<runtime::Text> password) {
  const SkinKind chosen = kind.given ? kind.value : kSkinFromPath;

  if (chosen == kSkinFromPath) {
    if (path.value.empty()) {
      core::ShowMessageBox(runtime::Text(kMissingPathMessage), kErrorIconFlags,
                           runtime::Text(kMessageTitle));
      return;
    }
    SkinH_Attach_Ex(path.value.bytes(), EnginePassword(password));
    return;
  }

  const BuiltInSkin* builtin = FindBuiltInSkin(chosen);
  if (builtin == nullptr) return;  // no skin of that kind: nothing at all

  runtime::Text skin_file = FolderPath(shell::kDataFolder, builtin->file_name);
  core::WriteFileBytes(skin_file, builtin->content);
  skin_file.Release();

  skin_file = FolderPath(shell::kDataFolder, builtin->file_name);
  SkinH_Attach_Ex(skin_file.bytes(), EnginePassword(password));
  skin_file.Release();
}

}  // namespace skin
