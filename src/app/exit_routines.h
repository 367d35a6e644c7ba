// The exit routine list: routines without arguments that the exit processing runs, in the
// order they were added, each once. Adding a routine already in the list changes nothing.
#pragma once

namespace quorvel::app {

using ExitRoutine = void (*)();

void AddExitRoutine(ExitRoutine routine);
// Runs every routine in order, then empties the list.
void RunExitRoutines();
// Empties the list without running anything (a start-up that never got going).
void ClearExitRoutines();

}  // namespace quorvel::app
