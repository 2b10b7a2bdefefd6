#pragma once

// The view options of the Format and View menus. Each is the check mark of
// its menu-bar item, kept equal to its twin in the hidden menu set; only
// MenuHidden has a variable of its own.

void ToggleWordwrap();
void ToggleAlwaysTop();
void ToggleStatusBar();
// Flips MenuHidden and shows or hides the five menus of the menu bar.
void ToggleHideMenu();
