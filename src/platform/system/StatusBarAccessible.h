#pragma once

class StatusBar;

// What assistive technology sees of a status bar: the bar, with one child per
// panel named by the text the panel shows. A key-state panel is checkable,
// checked while its key is on, and says "on" or "off" as its description.
void installStatusBarAccessibility();

// Tells assistive technology, while one listens, that panel index (from 1)
// now shows other text, or that the key-state panels' keys changed.
void announcePanelTextChange(StatusBar &bar, int index);
void announceKeyStateChange(StatusBar &bar);
