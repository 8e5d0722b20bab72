// The skin of a top-level window: caption, frame, caption buttons, client
// background and the text colours of its STATIC and BUTTON children.
#pragma once
#include <windows.h>

#include "skin_resources.h"

namespace skinengine {

// Whether the engine skins this top-level window (it has a caption).
bool IsSkinnableFrame(HWND window);

// Skins `window`, or gives it `skin` in place of the one it has. The
// caller then refreshes it with RefreshFrame.
bool SkinFrame(HWND window, SkinResources* skin);

// Lays the window out anew for its skin (keeping its client size) and
// redraws it with its children.
void RefreshFrame(HWND window);

}  // namespace skinengine
