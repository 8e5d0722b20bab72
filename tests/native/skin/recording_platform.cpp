#include "recording_platform.h"

#include <string>

#include "runtime/core.h"
#include "runtime/shell.h"
#include "skin/skin_engine.h"
#include "skin/skin_support.h"

namespace recording {
Platform& Current() {
  static Platform platform;
  return platform;
}
void Reset() { Current() = Platform(); }
}  // namespace recording

namespace {
std::string Show(const char* text) { return text ? "\"" + std::string(text) + "\"" : "<null>"; }
std::string Show(const runtime::Text& text) { return Show(text.bytes()); }
void Record(const std::string& line) { recording::Current().calls.push_back(line); }
}  // namespace

const unsigned char kFakeLibraryBytes[5] = {'M', 'Z', 0, 1, 2};
const runtime::ByteConstant SkinEngineLibrary{kFakeLibraryBytes, sizeof kFakeLibraryBytes};

namespace core {
std::int32_t ShowMessageBox(const runtime::Text& message, std::int32_t flags,
                            const runtime::Text& title) {
  Record("ShowMessageBox(" + Show(message) + ", " + std::to_string(flags) + ", " + Show(title) + ")");
  return 1;
}
std::int32_t FileExists(const runtime::Text& path) {
  Record("FileExists(" + Show(path) + ")");
  return recording::Current().file_exists ? 1 : 0;
}
std::int32_t WriteFileBytes(const runtime::Text& path, runtime::ByteConstant bytes) {
  Record("WriteFileBytes(" + Show(path) + ", " + std::to_string(bytes.size) + " bytes)");
  recording::Current().written_data.push_back(bytes.data);
  return 1;
}
}  // namespace core

namespace shell {
runtime::Text GetSpecialFolder(std::int32_t kind) {
  Record("GetSpecialFolder(" + std::to_string(kind) + ")");
  const auto& folders = recording::Current().folders;
  const auto found = folders.find(kind);
  return found == folders.end() ? runtime::Text() : runtime::Text(found->second.c_str());
}
}  // namespace shell

namespace skin {
int SkinH_Attach_Ex(const char* path, const char* password) {
  Record("SkinH_Attach_Ex(" + Show(path) + ", " + Show(password) + ")");
  return 1;
}
}  // namespace skin
