// The handlers of the main window's events. Each reads and writes controls only through
// the window layer, and owns its temporary texts for the length of one run.
#pragma once

#include "platform/window/window.h"
#include "script/script_host.h"

namespace quorvel::ui {

// Text changed in the input box: the count label shows how many lines it holds.
void OnInputChanged(window::Window& window);
// The clear button: empties the input box (which resets the count) and the read-outs.
void OnClearClicked(window::Window& window);
// The keypad button: starts the on-screen keyboard and goes on without waiting.
void OnKeypadClicked();
// The compute button: refuses an empty input, otherwise shows the four statistics.
void OnComputeClicked(window::Window& window, script::ScriptHost& host);

}  // namespace quorvel::ui
