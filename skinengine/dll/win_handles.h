// Owners of Windows handles and heap blocks, for the engine library (no
// C++ runtime: no exceptions, no operator new).
#pragma once
#include <windows.h>

#include <new>

namespace skinengine {

// A GDI object, deleted with its owner.
template <class Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() {
    if (handle_) DeleteObject(handle_);
  }
  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  Handle handle_ = nullptr;
};

// A window's DC (client or whole window), released with its owner.
class WindowDc {
 public:
  WindowDc(HWND window, HDC dc) : window_(window), dc_(dc) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a DC, put back with its owner.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

class KernelHandle {
 public:
  explicit KernelHandle(HANDLE handle) : handle_(handle) {}
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;
  ~KernelHandle() {
    if (valid()) CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// A block of the process heap.
class HeapBlock {
 public:
  explicit HeapBlock(SIZE_T bytes) : data_(HeapAlloc(GetProcessHeap(), 0, bytes ? bytes : 1)) {}
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;
  ~HeapBlock() {
    if (data_) HeapFree(GetProcessHeap(), 0, data_);
  }
  template <class T>
  T* as() const {
    return static_cast<T*>(data_);
  }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  void* data_;
};

// Objects on the process heap, for state that lives as long as a window.
template <class T, class... Args>
T* HeapNew(const Args&... args) {
  void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(T));
  return memory ? new (memory) T(args...) : nullptr;
}
template <class T>
void HeapDelete(T* object) {
  if (!object) return;
  object->~T();
  HeapFree(GetProcessHeap(), 0, object);
}

}  // namespace skinengine
