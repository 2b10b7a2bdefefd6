#pragma once

#include <QString>

// Start-up: reads the settings, opens the editor window as it was left and
// the file named on the command line, pathToOpen (empty: none). Runs once.
void Main(const QString &pathToOpen);
