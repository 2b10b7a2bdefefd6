#pragma once

// Makes CurrentForm's editor fill the window's inside above the status bar
// (or all of it while the status bar is hidden). A minimized window is left
// alone; an inside lower than the status bar leaves the editor 0 high.
void LayoutEditor();
