// The process start of a program on the runtime layer. It is linked into
// each program as an object file (see runtime/CMakeLists.txt), since nothing
// would pull it out of a library.
#include <windows.h>

#include "../core/layer.h"
#include "runtime/program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  runtime::ReadyLayer();
  ProgramEntry();
  runtime::ReleaseLayer();
  return 0;
}
