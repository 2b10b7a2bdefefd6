#include "app/modMainModule.h"

modMainModule App;
