// Quorvel, the coefficient-of-variation calculator.
#include "app/program.h"
#include "platform/scriptcontrol/script_control.h"

int main(int argc, char** argv) {
    const int exitCode =
        quorvel::app::RunProgram(argc, argv, quorvel::scriptcontrol::StandardRegistry());
    quorvel::app::EndProgram(exitCode);
}
