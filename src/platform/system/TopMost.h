#pragma once

class QWidget;

// Puts window into the top-most layer (onTop true) or takes it out, keeping
// its place and size, and activates it.
void SetTopMost(QWidget *window, bool onTop);
