// Starting programs: a stand-in "osk" and stand-in keyboards are shell scripts in a
// temporary folder that is the whole PATH, each writing its arguments into a marker file.
#include <sys/wait.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>

#include "platform/codepage/codepage.h"
#include "platform/process/process.h"

using quorvel::process::ShowMode;
using quorvel::process::StartProgram;
using quorvel::process::WaitMode;

class TestProcess : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QByteArray savedPath_;

    QString Marker(const QString& program) const { return dir_.filePath(program + ".marker"); }

    // A program that writes each argument on a line of its marker file, then exits. The
    // marker appears whole or not at all; PATH holds only our folder, hence /bin/mv.
    void Install(const QString& program) {
        QFile script(dir_.filePath(program));
        QVERIFY(script.open(QIODevice::WriteOnly));
        const QString body =
            QStringLiteral(
                "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '%1.tmp'\n"
                "/bin/mv '%1.tmp' '%1'\n")
                .arg(Marker(program));
        script.write(body.toUtf8());
        script.close();
        QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner));
    }

    static QStringList ReadMarker(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }

    // No child is left to reap: the start was detached (double fork), not a plain fork.
    static bool NoChildProcess() {
        errno = 0;
        return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        savedPath_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir_.path()));
    }

    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral(".*"))); }  // silent

    void cleanupTestCase() { qputenv("PATH", savedPath_); }

    void cleanup() {
        for (const QString& name : QDir(dir_.path()).entryList(QDir::Files)) {
            QFile::remove(dir_.filePath(name));
        }
    }

    void startsWithoutShellOrWaiting_data() {
        QTest::addColumn<QByteArray>("commandLine");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("bare osk") << QByteArray("osk") << QStringList();
        QTest::newRow("words") << QByteArray("osk a  b") << QStringList{"a", "b"};
        QTest::newRow("quoted word") << QByteArray("osk \"a b\" c") << QStringList{"a b", "c"};
        QTest::newRow("shell syntax stays literal")
            << QByteArray("osk $HOME ; echo `x` >out *")
            << QStringList{"$HOME", ";", "echo", "`x`", ">out", "*"};
        QTest::newRow("GBK argument")
            << QByteArray::fromStdString(quorvel::codepage::GbkFromUtf8("osk 数据"))
            << QStringList{QStringLiteral("数据")};
    }

    void startsWithoutShellOrWaiting() {
        QFETCH(QByteArray, commandLine);
        QFETCH(QStringList, arguments);
        Install(QStringLiteral("osk"));
        QVERIFY(StartProgram(commandLine.toStdString(), WaitMode::DoNotWait, ShowMode::Normal));
        QVERIFY(NoChildProcess());
        QTRY_VERIFY(QFile::exists(Marker(QStringLiteral("osk"))));
        QCOMPARE(ReadMarker(Marker(QStringLiteral("osk"))), arguments);
    }

    void oskFallsBackToAKeyboardOnPath_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("started");
        QTest::newRow("onboard first")
            << QStringList{"onboard", "matchbox-keyboard", "xvkbd"} << QStringLiteral("onboard");
        QTest::newRow("then matchbox-keyboard")
            << QStringList{"matchbox-keyboard", "xvkbd"} << QStringLiteral("matchbox-keyboard");
        QTest::newRow("then xvkbd") << QStringList{"xvkbd"} << QStringLiteral("xvkbd");
    }

    void oskFallsBackToAKeyboardOnPath() {
        QFETCH(QStringList, installed);
        QFETCH(QString, started);
        for (const QString& program : installed) Install(program);
        QVERIFY(StartProgram("osk", WaitMode::DoNotWait, ShowMode::Normal));
        QTRY_VERIFY(QFile::exists(Marker(started)));
        QVERIFY(NoChildProcess());
        for (const QString& program : installed) {
            if (program != started) QVERIFY2(!QFile::exists(Marker(program)), qPrintable(program));
        }
    }

    void failureIsSilentAndFalse_data() {
        QTest::addColumn<QByteArray>("commandLine");
        QTest::newRow("no keyboard at all") << QByteArray("osk");
        QTest::newRow("unknown program") << QByteArray("quorvel-no-such-program --flag");
        QTest::newRow("empty command line") << QByteArray();
        QTest::newRow("only blanks") << QByteArray("   ");
        QTest::newRow("missing absolute path") << QByteArray("/nonexistent/osk");
    }

    void failureIsSilentAndFalse() {
        QFETCH(QByteArray, commandLine);
        QVERIFY(!StartProgram(commandLine.toStdString(), WaitMode::DoNotWait, ShowMode::Normal));
        QVERIFY(!StartProgram(commandLine.toStdString(), WaitMode::WaitForExit, ShowMode::Normal));
        QVERIFY(NoChildProcess());
    }

    void notExecutableFileIsNotStarted() {
        Install(QStringLiteral("osk"));
        QVERIFY(QFile::setPermissions(dir_.filePath(QStringLiteral("osk")),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(!StartProgram("osk", WaitMode::DoNotWait, ShowMode::Normal));
    }

    void waitForExitReturnsAfterTheProgramEnded() {
        Install(QStringLiteral("osk"));
        QVERIFY(StartProgram("osk done", WaitMode::WaitForExit, ShowMode::Normal));
        // Waiting means the marker is already written when the call returns.
        QCOMPARE(ReadMarker(Marker(QStringLiteral("osk"))), QStringList{"done"});
        QVERIFY(NoChildProcess());
    }
};

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
