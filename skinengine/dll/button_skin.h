// The skin of a push button child of a skinned window: its faces (normal,
// hot, pressed, focused, disabled), caption text and font. The button's
// own behaviour (clicks, keyboard, notifications) is left as it is.
#pragma once
#include <windows.h>

#include "skin_resources.h"

namespace skinengine {

// Whether `child` is a push button the engine draws (text push buttons;
// owner-drawn, bitmap and icon buttons draw themselves).
bool IsSkinnableButton(HWND child);

// Skins `button`, or gives it `skin` in place of the one it has.
bool SkinButton(HWND button, SkinResources* skin);

}  // namespace skinengine
