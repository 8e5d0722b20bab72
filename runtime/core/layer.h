// Readying and releasing the runtime layer around the program's entry.
#pragma once

namespace runtime {

// COM for the web view and the library search; once, at process start.
void ReadyLayer();
// Undoes ReadyLayer; harmless when called again.
void ReleaseLayer();

}  // namespace runtime
