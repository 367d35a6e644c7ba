// The program's spine: start-up, the one global script host, and the two orderly ends.
//
// Start-up prepares the UI thread (OLE included), creates g_scriptHost, registers
// OnProgramExit, and builds the main window, whose created event loads the calculation
// script before the window is shown. The exit processing runs the exit routines, releases
// the UI framework, and uninitialises OLE last.
#pragma once

#include <memory>

#include "platform/automation/registry.h"
#include "script/script_host.h"

namespace quorvel::app {

// The one script host, from start-up until OnProgramExit.
extern std::unique_ptr<script::ScriptHost> g_scriptHost;

// The whole life of the program up to the exit processing; returns 0 when the message loop
// has ended. `argc` and `argv` go to the UI framework (the program itself takes no
// arguments); `registry` is where the script engine comes from.
int RunProgram(int& argc, char** argv, const automation::ObjectRegistry& registry);

// Handler of the main window's created event: loads the calculation script, or tells the
// user it could not and ends the program with exit code 1.
void OnWindowCreated();

// The exit routine: destroys g_scriptHost, which releases the engine and COM.
void OnProgramExit();

// Runs the exit processing at once and ends the process with `exitCode`.
[[noreturn]] void EndProgram(int exitCode);

}  // namespace quorvel::app
