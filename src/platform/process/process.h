// Process creation: start a program from a command line, without a shell.
//
// The command line is split into arguments the way a shell would split words (quotes and
// backslashes), but it never reaches a shell. A program started without waiting is detached:
// the layer keeps no link to it and leaves no zombie behind. Linux has no "ready for input"
// signal, so a start without waiting returns once the program has been executed.
#pragma once

#include <string>

namespace quorvel::process {

enum class ShowMode { Normal, Minimized, Maximized, Hidden };
enum class WaitMode { DoNotWait, WaitForExit };

// commandLine is a Text (GBK bytes). Returns whether the program was started.
// "osk" has a stand-in on Linux: when no program of that name is on PATH, the desktop's
// on-screen keyboard is started instead (onboard, then matchbox-keyboard, then xvkbd).
bool StartProgram(const std::string& commandLine, WaitMode wait, ShowMode show);

}  // namespace quorvel::process
