// The program's one window, its two event handlers and its entry sequence.
#pragma once

#include "runtime/window_description.h"

namespace launcher {

// The window description of the start window: the window, the web view and
// the run button, with their event bindings.
runtime::WindowDescription MainWindow();

// Window event 0: the window and its controls exist.
void OnMainWindowCreated();
// Run button event 0: a click.
void OnRunButtonClicked();

// The converter's program file, beside the launcher; handed to the shell.
inline constexpr char kRunTarget[] = "Z3GP.exe";
// The page of the maker's web site; the web view requests it under https.
inline constexpr char kPageAddress[] = "www.zanvo.example/ad/zeduv.html";

}  // namespace launcher

// The window icon, carried by the program.
extern const runtime::ByteConstant ProgramIcon;
