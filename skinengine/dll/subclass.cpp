#include "subclass.h"

#include "win_handles.h"

namespace skinengine {
namespace {

constexpr wchar_t kProperty[] = L"SkinH_EL.Subclass";

struct Subclass {
  SubclassProcedure procedure;
  UINT_PTR id;
  DWORD_PTR data;
  WNDPROC original;
  int running = 0;       // calls of `procedure` under way
  bool removed = false;  // taken off: freed once no call is under way and
  bool hooked = true;    // ... the thunk is out of the window's chain
};

Subclass* SubclassOf(HWND window) { return static_cast<Subclass*>(GetPropW(window, kProperty)); }

// The window's subclass when it is `procedure` with `id` and still on.
Subclass* MatchingSubclassOf(HWND window, SubclassProcedure procedure, UINT_PTR id) {
  Subclass* subclass = SubclassOf(window);
  if (!subclass || subclass->removed || subclass->procedure != procedure || subclass->id != id) return nullptr;
  return subclass;
}

LRESULT CALLBACK Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Puts the window's own procedure back, when nobody has put theirs in front
// of ours since; otherwise the thunk stays and passes messages straight on
// until the window is destroyed. True when it was put back.
bool Unhook(HWND window, const Subclass& subclass) {
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) != &Thunk) return false;
  return SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclass.original)) != 0;
}

void Free(HWND window, Subclass* subclass) {
  RemovePropW(window, kProperty);
  HeapDelete(subclass);
}

void FreeWhenDone(HWND window, Subclass* subclass) {
  if (subclass->removed && subclass->running == 0 && !subclass->hooked) Free(window, subclass);
}

LRESULT CALLBACK Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Subclass* subclass = SubclassOf(window);
  if (!subclass) return DefWindowProcW(window, message, wParam, lParam);
  if (subclass->removed) {
    // Still in the chain behind another procedure: pass straight on.
    const WNDPROC original = subclass->original;
    if (message == WM_NCDESTROY) {
      subclass->hooked = false;  // nothing calls it after this message
      FreeWhenDone(window, subclass);
    }
    return CallWindowProcW(original, window, message, wParam, lParam);
  }
  ++subclass->running;
  const LRESULT result =
      subclass->procedure(window, message, wParam, lParam, subclass->id, subclass->data);
  --subclass->running;
  if (message == WM_NCDESTROY) {
    // The window's last message: whatever the procedure did, it is over.
    subclass->removed = true;
    subclass->hooked = false;
  }
  FreeWhenDone(window, subclass);
  return result;
}

}  // namespace

bool SetWindowSubclass(HWND window, SubclassProcedure procedure, UINT_PTR id, DWORD_PTR data) {
  if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return false;
  if (SubclassOf(window)) {
    Subclass* subclass = MatchingSubclassOf(window, procedure, id);
    if (subclass) subclass->data = data;
    return subclass != nullptr;
  }
  Subclass* subclass = HeapNew<Subclass>();
  if (!subclass) return false;
  subclass->procedure = procedure;
  subclass->id = id;
  subclass->data = data;
  subclass->original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
  if (!subclass->original || !SetPropW(window, kProperty, subclass)) {
    HeapDelete(subclass);
    return false;
  }
  if (!SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Thunk))) {
    Free(window, subclass);
    return false;
  }
  return true;
}

bool GetWindowSubclass(HWND window, SubclassProcedure procedure, UINT_PTR id, DWORD_PTR* data) {
  const Subclass* subclass = MatchingSubclassOf(window, procedure, id);
  if (!subclass) return false;
  if (data) *data = subclass->data;
  return true;
}

bool RemoveWindowSubclass(HWND window, SubclassProcedure procedure, UINT_PTR id) {
  Subclass* subclass = MatchingSubclassOf(window, procedure, id);
  if (!subclass) return false;
  subclass->removed = true;
  subclass->hooked = !Unhook(window, *subclass);
  FreeWhenDone(window, subclass);
  return true;
}

LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const Subclass* subclass = SubclassOf(window);
  if (!subclass) return DefWindowProcW(window, message, wParam, lParam);
  return CallWindowProcW(subclass->original, window, message, wParam, lParam);
}

}  // namespace skinengine
