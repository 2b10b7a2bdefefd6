#pragma once

#include <QString>

// Start-up: reads the settings, opens the editor window as it was left and
// the file named on the command line. Runs once.
void Main();

// The same with the path to open given instead of the command line's (empty:
// none).
void Main(const QString &pathToOpen);
