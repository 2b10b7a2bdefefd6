#pragma once

// Connects the editor windows to the program: fills in the routine of every
// command and installs the calls the windows make upward (EditorHooks).
void wireProgram();
