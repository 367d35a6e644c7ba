// quorvel-cv as a user runs it: numbers on standard input, one line of fields on output.
#include <QProcess>
#include <QtTest>

class TestCli : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void calculates_data();
    void calculates();
    void refusesWhatItCannotDo_data();
    void refusesWhatItCannotDo();
    void helpSaysWhatItDoes();
};

namespace {

struct Run {
    int exitCode;
    QString out;
    QString err;
};

Run RunCv(const QByteArray& input, const QStringList& arguments = {}) {
    QProcess process;
    process.start(QUORVEL_CV_PATH, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) return {-1, {}, "did not finish"};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace

void TestCli::calculates_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("output");

    QTest::newRow("LF lines with final LF") << QByteArray("3\n4\n5\n") << "3\t4\t1\t0.25\n";
    QTest::newRow("no final line break") << QByteArray("1\n2\n3\n4") << "4\t2.5\t1.291\t0.5163977794943222\n";
    QTest::newRow("CR LF lines") << QByteArray("3\r\n4\r\n5\r\n") << "3\t4\t1\t0.25\n";
    QTest::newRow("empty last line counts") << QByteArray("3\n4\n5\n\n") << "4\tNaN\tNaN\tNaN\n";
    QTest::newRow("one value") << QByteArray("5\n") << "1\t5\tNaN\tNaN\n";
    QTest::newRow("Chinese text is no number") << QByteArray("3\n四\n5\n") << "3\tNaN\tNaN\tNaN\n";
    QTest::newRow("a line break only") << QByteArray("\n") << "1\tNaN\tNaN\tNaN\n";
}

void TestCli::calculates() {
    QFETCH(QByteArray, input);
    QFETCH(QString, output);
    const Run run = RunCv(input);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.out, output);
    QCOMPARE(run.exitCode, 0);
}

void TestCli::refusesWhatItCannotDo_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");

    QTest::newRow("empty input") << QByteArray() << QStringList{} << 1
                                 << QStringLiteral("请输入要计算的数据\n");
    QTest::newRow("unknown option") << QByteArray("1\n") << QStringList{"--fast"} << 2
                                    << QStringLiteral("quorvel-cv: unknown argument '--fast'");
}

void TestCli::refusesWhatItCannotDo() {
    QFETCH(QByteArray, input);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    const Run run = RunCv(input, arguments);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.startsWith(error), qPrintable(run.err));
}

void TestCli::helpSaysWhatItDoes() {
    const Run run = RunCv({}, {"--help"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("coefficient of variation"));
    QVERIFY(run.out.contains("standard input"));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
