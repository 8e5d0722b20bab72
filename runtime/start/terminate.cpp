// The C++ runtime's default terminate handler names the uncaught exception's
// type on standard error, and for that it links the whole C++ demangler
// (about 46 KB). The launcher, a windowed program, has no standard error to
// print to, so the handler is replaced here, which keeps the demangler out of
// every program on the runtime layer; the test programs on it lose only that
// line before they abort.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
