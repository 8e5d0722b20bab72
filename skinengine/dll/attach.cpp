// SkinH_Attach_Ex: loads a skin file and skins the calling thread's windows.
#include <windows.h>

#include "button_skin.h"
#include "frame_skin.h"
#include "messages.h"
#include "skin_resources.h"
#include "skinfile/path.h"
#include "skinfile/reader.h"
#include "win_handles.h"

namespace skinengine {
namespace {

// Skin files are small; anything much larger is not one.
constexpr LONGLONG kMaxSkinFileBytes = 1 << 20;

// A wide text on the heap, NUL-terminated.
class WideText {
 public:
  explicit WideText(int capacity)
      : block_(sizeof(wchar_t) * static_cast<SIZE_T>(capacity + 1)), capacity_(capacity) {
    if (block_) block_.as<wchar_t>()[0] = L'\0';
  }
  bool valid() const { return static_cast<bool>(block_); }
  wchar_t* data() const { return block_.as<wchar_t>(); }
  int length() const { return length_; }
  void SetLength(int length) {
    length_ = length;
    data()[length] = L'\0';
  }
  void Append(const wchar_t* text, int count) {
    if (!valid()) return;
    for (int i = 0; i < count && length_ < capacity_; ++i) data()[length_++] = text[i];
    data()[length_] = L'\0';
  }
  // Appends code page 936 bytes, converted.
  void AppendCodePage936(const char* text) {
    if (!valid()) return;
    const int room = capacity_ - length_;
    const int converted =
        room > 0 ? MultiByteToWideChar(936, 0, text, -1, data() + length_, room + 1) : 0;
    if (converted > 0) SetLength(length_ + converted - 1);
  }

 private:
  HeapBlock block_;
  int capacity_;
  int length_ = 0;
};

int LengthOf(const char* text) {
  int n = 0;
  while (text[n] != '\0') ++n;
  return n;
}

enum class LoadResult {
  kOk,
  kMissing,
  kFolder,
  kUnreadable,
  kEmpty,
  kTruncated,
  kNotSkinFile,
  kUnsupportedVersion,
  kCorrupted,
  kInvalid,
};

LoadResult FromReadStatus(skinfile::ReadStatus status) {
  switch (status) {
    case skinfile::ReadStatus::kOk: return LoadResult::kOk;
    case skinfile::ReadStatus::kEmpty: return LoadResult::kEmpty;
    case skinfile::ReadStatus::kTruncated: return LoadResult::kTruncated;
    case skinfile::ReadStatus::kNotSkinFile: return LoadResult::kNotSkinFile;
    case skinfile::ReadStatus::kUnsupportedVersion: return LoadResult::kUnsupportedVersion;
    case skinfile::ReadStatus::kCorrupted: return LoadResult::kCorrupted;
    case skinfile::ReadStatus::kInvalid: return LoadResult::kInvalid;
  }
  return LoadResult::kInvalid;
}

const char* ReasonOf(LoadResult result) {
  switch (result) {
    case LoadResult::kMissing: return messages::kMissing;
    case LoadResult::kFolder: return messages::kFolder;
    case LoadResult::kUnreadable: return messages::kUnreadable;
    case LoadResult::kEmpty: return messages::kEmpty;
    case LoadResult::kTruncated: return messages::kTruncated;
    case LoadResult::kNotSkinFile: return messages::kNotSkin;
    case LoadResult::kUnsupportedVersion: return messages::kVersion;
    case LoadResult::kCorrupted: return messages::kCorrupted;
    case LoadResult::kInvalid:
    case LoadResult::kOk: break;
  }
  return messages::kInvalid;
}

bool IsNotFound(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_INVALID_NAME || error == ERROR_INVALID_DRIVE ||
         error == ERROR_BAD_NETPATH || error == ERROR_BAD_PATHNAME;
}

// Reads and checks the whole file; `skin` is filled only when it is good.
LoadResult LoadSkinFile(const wchar_t* path, skinfile::Skin& skin) {
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return IsNotFound(GetLastError()) ? LoadResult::kMissing : LoadResult::kUnreadable;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return LoadResult::kFolder;
  KernelHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid())
    return IsNotFound(GetLastError()) ? LoadResult::kMissing : LoadResult::kUnreadable;
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file.get(), &size)) return LoadResult::kUnreadable;
  if (size.QuadPart == 0) return LoadResult::kEmpty;
  if (size.QuadPart > kMaxSkinFileBytes) return LoadResult::kNotSkinFile;
  const DWORD bytes = static_cast<DWORD>(size.QuadPart);
  HeapBlock data(bytes);
  if (!data) return LoadResult::kUnreadable;
  DWORD total = 0;
  while (total < bytes) {
    DWORD read = 0;
    if (!ReadFile(file.get(), data.as<BYTE>() + total, bytes - total, &read, nullptr))
      return LoadResult::kUnreadable;
    if (read == 0) break;  // shorter than it was a moment ago
    total += read;
  }
  return FromReadStatus(skinfile::Read(data.as<std::uint8_t>(), total, skin));
}

// The engine's own message: which file, and what is wrong with it.
void ShowLoadError(const wchar_t* shownPath, int shownLength, const char* reason) {
  WideText text(shownLength + 256);
  text.AppendCodePage936(messages::kCannotLoad);
  text.Append(L"\r\n", 2);
  text.Append(shownPath, shownLength);
  text.Append(L"\r\n\r\n", 4);
  text.AppendCodePage936(reason);
  WideText title(32);
  title.AppendCodePage936(messages::kTitle);
  if (!text.valid() || !title.valid()) return;
  // A program that attaches before it shows its window has no active
  // window yet: the box then stands by itself.
  MessageBoxW(GetActiveWindow(), text.data(), title.data(), MB_OK | MB_ICONERROR);
}

struct FrameToSkin {
  HWND frame;
  SkinResources* skin;
};

BOOL CALLBACK SkinChild(HWND child, LPARAM context) {
  const FrameToSkin& target = *reinterpret_cast<const FrameToSkin*>(context);
  // Only push buttons right inside the frame; other children (a web
  // browser's windows, unknown controls and whatever they hold) draw
  // themselves.
  if (GetAncestor(child, GA_PARENT) == target.frame && IsSkinnableButton(child))
    SkinButton(child, target.skin);
  return TRUE;
}

BOOL CALLBACK SkinTopLevel(HWND window, LPARAM skin) {
  if (!IsSkinnableFrame(window)) return TRUE;
  FrameToSkin target = {window, reinterpret_cast<SkinResources*>(skin)};
  if (!SkinFrame(window, target.skin)) return TRUE;
  EnumChildWindows(window, SkinChild, reinterpret_cast<LPARAM>(&target));
  RefreshFrame(window);
  return TRUE;
}

}  // namespace
}  // namespace skinengine

// The password is accepted and not needed: skin files are not encrypted
// (a null password counts as an empty one). Returns 1 when the skin is
// shown, 0 when the file could not be used (after telling the user).
extern "C" int __stdcall SkinH_Attach_Ex(const char* skinFilePath, const char* password) {
  using namespace skinengine;
  (void)password;
  const char* given = skinFilePath ? skinFilePath : "";
  const int givenBytes = LengthOf(given);

  // The path as given (code page 936), for the message, and a copy with
  // doubled separators collapsed, for opening the file.
  WideText shown(givenBytes + 1);
  if (!shown.valid()) return 0;
  if (givenBytes > 0) {
    const int converted =
        MultiByteToWideChar(936, 0, given, givenBytes, shown.data(), givenBytes + 1);
    shown.SetLength(converted > 0 ? converted : 0);
  }
  WideText path(shown.length() + 1);
  if (!path.valid()) return 0;
  path.Append(shown.data(), shown.length());
  path.SetLength(static_cast<int>(skinfile::CollapseSeparators(path.data(), path.length())));

  skinfile::Skin skin;
  const LoadResult result =
      path.length() > 0 ? LoadSkinFile(path.data(), skin) : LoadResult::kMissing;
  if (result != LoadResult::kOk) {
    ShowLoadError(shown.data(), shown.length(), ReasonOf(result));
    return 0;
  }
  SkinResources* resources = SkinResources::Create(skin);
  if (!resources) {
    ShowLoadError(shown.data(), shown.length(), messages::kNoResources);
    return 0;
  }
  // Skinned windows call into this library from now on: keep it loaded.
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(&SkinH_Attach_Ex), &self);
  EnumThreadWindows(GetCurrentThreadId(), SkinTopLevel, reinterpret_cast<LPARAM>(resources));
  resources->Release();
  return 1;
}
