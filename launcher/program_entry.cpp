#include "main_window.h"
#include "runtime/core.h"
#include "runtime/program.h"
#include "skin/skin_support.h"

void ProgramEntry() {
  skin::PrepareSkinEngine();
  core::LoadWindow(launcher::MainWindow());
  core::RunMessageLoop(0);
  core::EndProgram(0);
}
