#pragma once

// Ends the program at once, as Exit does: no window's close handling runs and
// nothing more is stored. In the program it does not return. Tests put a
// routine of their own in its place to see that the program would end here;
// that one returns, and the command then stops where it is.
extern void (*endProgramNow)();
