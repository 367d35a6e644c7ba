// The calculation script in the real engine, and the calculation from input text to fields.
#include <QtTest>

#include "platform/codepage/codepage.h"
#include "platform/scriptcontrol/script_control.h"
#include "script/calculation.h"
#include "script/script_host.h"

using namespace quorvel;
using script::CalculationStatus;
using script::ScriptHost;

Q_DECLARE_METATYPE(script::CalculationStatus)

class TestCalculation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void scriptIsPlainAsciiAndDefinesOnlyCalculate();
    void calculateScript_data();
    void calculateScript();
    void calculateFromInputText_data();
    void calculateFromInputText();
    void noResultWithoutTheScript();
    void messages();

private:
    std::unique_ptr<ScriptHost> host_;
};

void TestCalculation::initTestCase() {
    host_ = std::make_unique<ScriptHost>(scriptcontrol::StandardRegistry());
    QVERIFY(host_->ExecuteStatement(script::CalcScript()));
}

void TestCalculation::scriptIsPlainAsciiAndDefinesOnlyCalculate() {
    const std::string_view code = script::CalcScript();
    QVERIFY(code.find("function calculate(WBSJ)") != std::string_view::npos);
    for (const char c : code) QVERIFY(static_cast<unsigned char>(c) < 0x80);

    ScriptHost fresh(scriptcontrol::StandardRegistry());
    const std::string before = fresh.Eval("Object.getOwnPropertyNames(this).sort().join()");
    QVERIFY(fresh.ExecuteStatement(code));
    const std::string after = fresh.Eval("Object.getOwnPropertyNames(this).sort().join()");
    QCOMPARE(fresh.Eval("typeof calculate"), "function");
    // Running the script added the one global and nothing else.
    QCOMPARE(fresh.Eval("Object.getOwnPropertyNames(this).length - " +
                        std::to_string(std::count(before.begin(), before.end(), ',') + 1)),
             "1");
    QVERIFY(after.size() > before.size());
}

void TestCalculation::calculateScript_data() {
    QTest::addColumn<QString>("data");  // the text handed to calculate
    QTest::addColumn<QString>("result");

    QTest::newRow("3,4,5") << "3,4,5" << "3|4|1|0.25";
    QTest::newRow("1,2,3,4") << "1,2,3,4" << "4|2.5|1.291|0.5163977794943222";
    QTest::newRow("eight values") << "2,4,4,4,5,5,7,9" << "8|5|2.1381|0.427617987059879";
    QTest::newRow("mean rounded before deviations") << "1,2,2" << "3|1.6667|0.5774|0.34640323431511455";
    QTest::newRow("one value") << "5" << "1|5|NaN|NaN";
    QTest::newRow("one value off its rounding") << "1.23456" << "1|1.2346|Infinity|Infinity";
    QTest::newRow("one negative value") << "-1.23456" << "1|-1.2346|Infinity|-Infinity";
    QTest::newRow("trailing comma") << "3,4,5," << "4|NaN|NaN|NaN";
    QTest::newRow("first space only removed") << "1 2,3" << "2|7.5|6.364|0.848528137423857";
    QTest::newRow("later space stays") << "1 2,3 4" << "2|7.5|6.364|0.848528137423857";
    QTest::newRow("comma inside a line") << "1,5,3" << "3|3|2|0.6666666666666666";
    QTest::newRow("mean zero") << "-1,1" << "2|0|1.4142|Infinity";
    QTest::newRow("all zero") << "0,0" << "2|0|0|NaN";
    QTest::newRow("no spread") << "5,5" << "2|5|0|0";
    QTest::newRow("sd rounds to zero, cv does not") << "1,1.000001" << "2|1|0|9.999999999177334e-7";
    QTest::newRow("not a number") << "3,abc,5" << "3|NaN|NaN|NaN";
    QTest::newRow("number prefix") << "7kg,8,9" << "3|8|1|0.125";
    QTest::newRow("one comma") << "," << "2|NaN|NaN|NaN";
    QTest::newRow("one space") << " " << "1|NaN|NaN|NaN";
    QTest::newRow("empty") << "" << "1|NaN|NaN|NaN";
    QTest::newRow("parseFloat forms") << "1e3,.5,1.2.3,0x10" << "4|250.425|499.7169|1.9954753280469888";
    QTest::newRow("negative mean") << "-2,-4" << "2|-3|1.4142|-0.47140452079103173";
}

void TestCalculation::calculateScript() {
    QFETCH(QString, data);
    QFETCH(QString, result);
    QCOMPARE(QString::fromStdString(host_->Run("calculate", data.toStdString())), result);
}

void TestCalculation::calculateFromInputText_data() {
    QTest::addColumn<QByteArray>("input");  // the input box's text, lines ending in CR LF
    QTest::addColumn<CalculationStatus>("status");
    QTest::addColumn<QStringList>("fields");

    const auto computed = CalculationStatus::Computed;
    QTest::newRow("lines 3 4 5") << QByteArray("3\r\n4\r\n5") << computed
                                 << QStringList{"3", "4", "1", "0.25"};
    QTest::newRow("final line break ends the last line")
        << QByteArray("3\r\n4\r\n5\r\n") << computed << QStringList{"3", "4", "1", "0.25"};
    QTest::newRow("only one final line break is left out")
        << QByteArray("12\r\n\r\n") << computed << QStringList{"2", "NaN", "NaN", "NaN"};
    QTest::newRow("empty line between lines") << QByteArray("1\r\n\r\n3") << computed
                                              << QStringList{"3", "NaN", "NaN", "NaN"};
    QTest::newRow("lines 1 to 4") << QByteArray("1\r\n2\r\n3\r\n4") << computed
                                  << QStringList{"4", "2.5", "1.291", "0.5163977794943222"};
    QTest::newRow("one line break only") << QByteArray("\r\n") << computed
                                         << QStringList{"1", "NaN", "NaN", "NaN"};
    QTest::newRow("one space only") << QByteArray(" ") << computed
                                    << QStringList{"1", "NaN", "NaN", "NaN"};
    QTest::newRow("lone LF is no line break") << QByteArray("3\n4") << computed
                                              << QStringList{"1", "3", "NaN", "NaN"};
    QTest::newRow("comma inside a line") << QByteArray("1,5\r\n3") << computed
                                         << QStringList{"3", "3", "2", "0.6666666666666666"};
    // "\x81\r" is one double-byte character: its CR starts no line break.
    QTest::newRow("CR as a trail byte") << QByteArray("5\r\n\x81\r\n") << computed
                                        << QStringList{"2", "NaN", "NaN", "NaN"};
    QTest::newRow("empty input") << QByteArray() << CalculationStatus::EmptyInput << QStringList{};
}

void TestCalculation::calculateFromInputText() {
    QFETCH(QByteArray, input);
    QFETCH(CalculationStatus, status);
    QFETCH(QStringList, fields);

    const script::Calculation calculation =
        script::Calculate(std::string(input.constData(), input.size()), *host_);
    QCOMPARE(calculation.status, status);
    if (status == CalculationStatus::Computed) {
        QStringList actual;
        for (const auto& field : calculation.fields) actual << QString::fromStdString(field);
        QCOMPARE(actual, fields);
    }
}

void TestCalculation::noResultWithoutTheScript() {
    ScriptHost bare(scriptcontrol::StandardRegistry());
    const script::Calculation calculation = script::Calculate("3\r\n4", bare);
    QCOMPARE(calculation.status, CalculationStatus::NoResult);
    QVERIFY(!bare.LastError().empty());

    QVERIFY(bare.ExecuteStatement("function calculate(s) { return 'a|b'; }"));
    QCOMPARE(script::Calculate("3", bare).status, CalculationStatus::NoResult);
}

void TestCalculation::messages() {
    QCOMPARE(QString::fromStdString(codepage::Utf8FromGbk(script::EmptyInputMessage())),
             QStringLiteral("请输入要计算的数据"));
    QCOMPARE(QString::fromStdString(codepage::Utf8FromGbk(script::ScriptLoadFailedMessage())),
             QStringLiteral("计算脚本加载失败,请重试！"));
}

QTEST_GUILESS_MAIN(TestCalculation)
#include "tst_calculation.moc"
