// Start-up and the two orderly ends of the program, each in a process of its own.
#include <QProcess>
#include <QtTest>

class TestStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lifecycle_data();
    void lifecycle();
};

void TestStartup::lifecycle_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("trace");
    QTest::addColumn<int>("exitCode");

    const QStringList failedLoad = {
        "OleInitialize", "CoInitialize",
        QStringLiteral("message: 信息： 计算脚本加载失败,请重试！"),
        "CoUninitialize",  // OnProgramExit released the script host
        "OleUninitialize"};
    QTest::newRow("engine not installed") << "no-engine" << failedLoad << 1;
    QTest::newRow("engine refuses the script") << "refusing-engine" << failedLoad << 1;
    QTest::newRow("normal close") << "real-engine"
                                  << QStringList{"OleInitialize", "CoInitialize", "shown: Quorvel",
                                                 "message loop ended", "CoUninitialize",
                                                 "OleUninitialize"}
                                  << 0;
}

void TestStartup::lifecycle() {
    QFETCH(QString, mode);
    QFETCH(QStringList, trace);
    QFETCH(int, exitCode);

    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    probe.setProcessEnvironment(environment);
    probe.start(QUORVEL_APP_PROBE, {mode});
    QVERIFY2(probe.waitForFinished(60000), "the program did not end");
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    const QStringList actual =
        QString::fromUtf8(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(actual, trace);
    QCOMPARE(probe.exitCode(), exitCode);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
