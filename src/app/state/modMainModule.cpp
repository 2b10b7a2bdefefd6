#include "app/state/modMainModule.h"

modMainModule App;
