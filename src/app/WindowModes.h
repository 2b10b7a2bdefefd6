#pragma once

// Replaces the editor window by the other one: 1 the small window, any other
// mode the normal one. The document goes along as Rich Text through Buffer,
// keeps its modified state and takes the default style.
void SwitchWindowMode(int mode);

// Switch to the normal or the small window, unless it is the one in use.
void ShowNormalWindow();
void ShowSmallWindow();
