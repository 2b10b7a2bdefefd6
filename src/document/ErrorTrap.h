#pragma once

#include <functional>

class RuntimeError;

// The error trap of the file commands and printing. A cancelled dialog
// (ErrCancel, also raised by Cancel in the save question) ends the command
// silently. Any other error shows the "Unknown Error" box with its number and
// message: OK ends the program at once, Cancel ends only the command, and
// whatever the command had done before the error stays done.
void ReportUnknownError(const RuntimeError &error);

// Runs command under the trap. True when it ran to its end; false when an
// error ended it (and the trap has dealt with it).
bool runTrapped(const std::function<void()> &command);
