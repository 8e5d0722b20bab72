#include <limits>

#include "runtime/core.h"
#include "win.h"

namespace core {

std::int32_t FileExists(const runtime::Text& path) {
  if (path.empty()) return 0;
  const DWORD attributes = GetFileAttributesW(runtime::win::Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::int32_t WriteFileBytes(const runtime::Text& path, runtime::ByteConstant bytes) {
  if (path.empty() || (bytes.size > 0 && !bytes.data)) return 0;
  const std::wstring wide = runtime::win::Wide(path);
  // Windows refuses to replace a read-only file; Wine lets its root user do
  // it, so the layer says no itself.
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return 0;
  runtime::win::Handle file(
      CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 0;
  std::size_t done = 0;
  while (done < bytes.size) {
    const std::size_t left = bytes.size - done;
    const DWORD chunk = left > std::numeric_limits<DWORD>::max() / 2 ? std::numeric_limits<DWORD>::max() / 2
                                                                     : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data + done, chunk, &written, nullptr) || written == 0) return 0;
    done += written;
  }
  return file.Close() ? 1 : 0;
}

}  // namespace core
