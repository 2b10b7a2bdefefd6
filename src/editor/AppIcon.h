#pragma once

#include <QIcon>

// The application icon: a written page with a pencil. It is drawn, not
// loaded: sharp at 16, 32 and 48 pixels (the small size with fewer, bolder
// lines) and at any other size it is asked for.
QIcon applicationIcon();
