// Readying and releasing the runtime layer around the program's entry.
#pragma once

namespace runtime {

// The library search; once, at process start.
void ReadyLayer();
// OLE on the user-interface thread, readied at the first call: only the web
// view and the shell need it, and readying it is a good part of a start's
// cost. False when it cannot be readied.
bool ReadyOle();
// Undoes ReadyLayer and ReadyOle; harmless when called again.
void ReleaseLayer();

}  // namespace runtime
