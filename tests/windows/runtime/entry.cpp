// The test program's entry: the runtime layer's own WinMain readies the
// layer (COM, the library search) and calls this.
#include <gtest/gtest.h>
#include <windows.h>

#include "runtime/core.h"
#include "runtime/program.h"
#include "wine_gtest.h"

void ProgramEntry() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  wine_gtest::Init(&argc, argv);
  const int result = RUN_ALL_TESTS();
  LocalFree(argv);
  core::EndProgram(result);
}
