#include "app/program.h"

#include <cstdio>
#include <cstdlib>

#include "app/exit_routines.h"
#include "platform/automation/apartment.h"
#include "platform/window/application.h"
#include "platform/window/window.h"
#include "script/calculation.h"
#include "ui/main_window.h"

namespace quorvel::app {

std::unique_ptr<script::ScriptHost> g_scriptHost;

namespace {

// The UI framework of the UI thread and the program's one window, released by the exit
// processing before OLE is uninitialised.
std::unique_ptr<window::Application> g_uiFramework;
std::unique_ptr<ui::MainWindow> g_mainWindow;

void RunExitProcessing() {
    RunExitRoutines();
    g_mainWindow.reset();
    g_uiFramework.reset();
    automation::OleUninitialize();
}

}  // namespace

int RunProgram(int& argc, char** argv, const automation::ObjectRegistry& registry) {
    automation::OleInitialize();
    g_uiFramework = std::make_unique<window::Application>(argc, argv);

    g_scriptHost = std::make_unique<script::ScriptHost>(registry);
    AddExitRoutine(OnProgramExit);

    g_mainWindow = ui::MainWindow::Show(*g_scriptHost, OnWindowCreated);
    if (!g_mainWindow || !g_mainWindow->window()) {
        std::fputs("quorvel: the main window could not be created\n", stderr);
        ClearExitRoutines();
        std::exit(-1);
    }
    if (!g_mainWindow->window()->IsOpen()) return 0;
    return g_uiFramework->RunMessageLoop();
}

void OnWindowCreated() {
    if (g_scriptHost->ExecuteStatement(script::CalcScript())) return;
    window::ShowMessage(script::ScriptLoadFailedMessage());
    // A start that could not load its script has failed, and says so to whoever started it.
    EndProgram(1);
}

void OnProgramExit() { g_scriptHost.reset(); }

void EndProgram(int exitCode) {
    RunExitProcessing();
    std::exit(exitCode);
}

}  // namespace quorvel::app
