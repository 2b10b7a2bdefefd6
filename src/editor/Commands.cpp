#include "editor/Commands.h"

#include "editor/EditorHooks.h"

#include <array>

namespace {

std::array<Routine, CommandCount> routines{};

} // namespace

Routine &routineOf(Command command) { return routines[std::size_t(command)]; }

void runCommand(Command command)
{
    if (const Routine routine = routineOf(command))
        editorHooks().runRoutine(routine);
}
