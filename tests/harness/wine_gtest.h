// GoogleTest set up for test programs that run under Wine.
#pragma once

namespace wine_gtest {

// InitGoogleTest, with standard output unbuffered (nothing said before a
// crash is lost) and failures printed without OutputDebugStringA: gtest's
// own printer hands each failure to it, and under Wine on qemu the debug
// exception it raises now and then takes the whole test program down.
void Init(int* argc, char** argv);
void Init(int* argc, wchar_t** argv);

}  // namespace wine_gtest
