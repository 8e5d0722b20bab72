// A library for the library search test: it answers a fixed number.
extern "C" __declspec(dllexport) int __cdecl ZanvoProbe() { return 936; }
