// Internal helpers of the Windows layer: text conversion and owners of
// handles, modules and COM pointers.
#pragma once
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>

#include "runtime/text.h"

namespace runtime::win {

inline constexpr UINT kCodePage = 936;

// The UTF-16 form of a code page 936 text; null gives "".
std::wstring Wide(const char* gbk);
inline std::wstring Wide(const runtime::Text& text) { return Wide(text.bytes()); }

// The code page 936 form of a path. When it has characters that code page
// cannot write, the path's short form is used instead, so the text still
// names the same file or folder.
runtime::Text PathText(const std::wstring& path);

// The folder of the program file, without a trailing backslash.
std::wstring ProgramFolder();

// The function `name` of `module` as a `Function` pointer; null when absent.
template <class Function>
Function Lookup(HMODULE module, const char* name) {
  FARPROC address = module ? GetProcAddress(module, name) : nullptr;
  Function function = nullptr;
  static_assert(sizeof(function) == sizeof(address));
  std::memcpy(&function, &address, sizeof(function));
  return function;
}

class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  ~Handle() { Close(); }
  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // False when closing failed.
  bool Close() {
    const bool ok = !handle_ || CloseHandle(handle_);
    handle_ = nullptr;
    return ok;
  }

 private:
  HANDLE handle_ = nullptr;
};

class Icon {
 public:
  Icon() = default;
  explicit Icon(HICON icon) : icon_(icon) {}
  Icon(const Icon&) = delete;
  Icon& operator=(const Icon&) = delete;
  Icon& operator=(Icon&& other) noexcept {
    if (this != &other) {
      Reset();
      icon_ = std::exchange(other.icon_, nullptr);
    }
    return *this;
  }
  ~Icon() { Reset(); }
  HICON get() const { return icon_; }

 private:
  void Reset() {
    if (icon_) DestroyIcon(icon_);
    icon_ = nullptr;
  }
  HICON icon_ = nullptr;
};

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { Reset(); }
  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For out-parameters: releases what is held first.
  T** Receive() {
    Reset();
    return &pointer_;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
  void Reset() {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }

 private:
  T* pointer_ = nullptr;
};

}  // namespace runtime::win
