// The program's side of the process start: the runtime layer's WinMain
// readies the layer and then calls this.
#pragma once

void ProgramEntry();
