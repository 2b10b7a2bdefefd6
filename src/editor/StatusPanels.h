#pragma once

#include <QString>

class StatusBar;

// Height of the status bar, in twips.
constexpr int StatusBarHeightTwips = 255;

// Gives the status bar its five panels: a spring, the caret position and the
// Insert, Caps Lock and Num Lock states.
void setUpStatusPanels(StatusBar &bar);

// The index of the position panel.
constexpr int PositionPanel = 2;

// The text of the position panel for a 1-based line and column:
// " Ln 12, Col 5" and two spaces. Go To Line reads it back.
QString positionPanelText(int line, int column);
