#pragma once

// Start-up: reads the settings, opens the editor window as it was left and
// the file named on the command line. Runs once.
void Main();
