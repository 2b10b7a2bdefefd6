#include "editor/EditorHooks.h"

EditorHooks &editorHooks()
{
    static EditorHooks hooks;
    return hooks;
}
