#include "app/exit_routines.h"

#include <algorithm>
#include <vector>

namespace quorvel::app {
namespace {

std::vector<ExitRoutine>& Routines() {
    static std::vector<ExitRoutine> routines;
    return routines;
}

}  // namespace

void AddExitRoutine(ExitRoutine routine) {
    auto& routines = Routines();
    if (std::find(routines.begin(), routines.end(), routine) == routines.end())
        routines.push_back(routine);
}

void RunExitRoutines() {
    // Taken out first, so a routine that ends the program cannot run the list twice.
    std::vector<ExitRoutine> routines;
    routines.swap(Routines());
    for (ExitRoutine routine : routines) routine();
}

void ClearExitRoutines() { Routines().clear(); }

}  // namespace quorvel::app
