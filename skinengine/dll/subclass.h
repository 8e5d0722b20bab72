// Window subclassing in the shape of comctl32's SetWindowSubclass family,
// done by the engine itself: loading comctl32 costs a program's start more
// than all the rest of the engine does. Unlike comctl32's, it keeps one
// subclass a window, and a window whose subclass was taken off takes no new
// one until it is destroyed (the engine takes its subclasses off only then).
// Windows of the calling thread only.
#pragma once
#include <windows.h>

namespace skinengine {

using SubclassProcedure = LRESULT(CALLBACK*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR id, DWORD_PTR data);

// Puts `procedure` in front of the window's own, or updates its data when it
// is already there. False when the window has another subclass of ours or
// its procedure cannot be replaced.
bool SetWindowSubclass(HWND window, SubclassProcedure procedure, UINT_PTR id, DWORD_PTR data);
// The data of the subclass, when `procedure` with `id` is on the window.
bool GetWindowSubclass(HWND window, SubclassProcedure procedure, UINT_PTR id, DWORD_PTR* data);
// Takes the subclass off. A subclass procedure may call this while it runs
// and then still call DefSubclassProc.
bool RemoveWindowSubclass(HWND window, SubclassProcedure procedure, UINT_PTR id);
// Hands a message on to the window procedure that the subclass replaced.
LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace skinengine
