// StartProgram on QProcess. The command line is split like shell words by
// QProcess::splitCommand and the program is executed directly, never through a shell.
// A detached start forks twice, so the started program is not our child and leaves no
// zombie; it reports a failed exec. Standard input and output of the started program are
// the null device: it inherits none of ours and cannot write into our terminal. Linux has
// no start-up hint for the state of another program's first window, so the show mode is
// not passed on.
#include "platform/process/process.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include "platform/codepage/codepage.h"

namespace quorvel::process {

namespace {

// What "osk" stands for when no program of that name is installed: the on-screen
// keyboards of the Linux desktops, most common first.
const char* const kKeyboardStandIns[] = {"onboard", "matchbox-keyboard", "xvkbd"};

QStringList Candidates(const QString& program) {
    if (program == QLatin1String("osk") && QStandardPaths::findExecutable(program).isEmpty()) {
        QStringList standIns;
        for (const char* name : kKeyboardStandIns) standIns.append(QString::fromLatin1(name));
        return standIns;
    }
    return {program};
}

bool Start(const QString& program, const QStringList& arguments, WaitMode wait) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    switch (wait) {
        case WaitMode::DoNotWait:
            return process.startDetached();
        case WaitMode::WaitForExit:
            process.start();
            if (!process.waitForStarted(-1)) return false;
            process.waitForFinished(-1);
            return true;
    }
    Q_UNREACHABLE();
}

}  // namespace

bool StartProgram(const std::string& commandLine, WaitMode wait, ShowMode show) {
    static_cast<void>(show);
    QStringList arguments =
        QProcess::splitCommand(QString::fromStdString(codepage::Utf8FromGbk(commandLine)));
    if (arguments.isEmpty()) return false;
    const QString program = arguments.takeFirst();
    for (const QString& candidate : Candidates(program)) {
        if (Start(candidate, arguments, wait)) return true;
    }
    return false;
}

}  // namespace quorvel::process
