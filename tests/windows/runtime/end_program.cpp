// A program on the runtime layer whose window is closed by the system menu:
// the loop comes back and EndProgram ends the process with code 0. Any
// other code tells what went wrong.
#include <windows.h>

#include "runtime/core.h"
#include "runtime/program.h"

namespace {
int created = 0;
void OnCreated() { ++created; }
}  // namespace

void ProgramEntry() {
  runtime::WindowDescription description;
  description.elements = {
      runtime::ElementRecord{runtime::kWindowKind,
                             "",
                             40,
                             40,
                             300,
                             200,
                             {{runtime::kCreatedEvent, &OnCreated}},
                             runtime::WindowProperties{"end", {nullptr, 0}}},
  };
  if (!core::LoadWindow(description)) ExitProcess(2);
  HWND window = FindWindowW(L"Zanvo3GP.Window", L"end");
  if (!window || created != 1) ExitProcess(3);
  if (!PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0)) ExitProcess(4);
  core::RunMessageLoop(0);
  if (IsWindow(window)) ExitProcess(5);
  core::EndProgram(0);
}
