// The "ScriptControl" object driven through its dispatch interface, as the script host does.
#include <QElapsedTimer>
#include <QtTest>

#include "platform/automation/apartment.h"
#include "platform/scriptcontrol/script_control.h"

using namespace quorvel;
using automation::InvokeKind;
using automation::Variant;
namespace hr = automation::hr;

Q_DECLARE_METATYPE(automation::HResult)

namespace {

struct Call {
    automation::HResult result;
    Variant value;
};

Call Invoke(scriptcontrol::ScriptControl& control, const char16_t* member, InvokeKind kind,
            std::vector<Variant> arguments = {}) {
    automation::DispId id = 0;
    Call call{control.GetIdOfName(member, id), Variant()};
    if (automation::Succeeded(call.result))
        call.result = control.Invoke(id, kind, arguments, call.value);
    return call;
}

Variant S(const char16_t* s) { return Variant::FromString(s); }

}  // namespace

class TestScriptControl : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void evaluatesCodeAndCallsFunctions_data();
    void evaluatesCodeAndCallsFunctions();
    void failures_data();
    void failures();
    void typeInfoDescribesMembers();
    void propertiesKeepTheirValues();
    void languageAcceptsOnlyJScript();
    void resetDiscardsCode();
    void timeoutInterruptsEndlessLoop();
    void userDataIsNeverCode();
    void createdThroughTheRegistry();
};

void TestScriptControl::evaluatesCodeAndCallsFunctions_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("member");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");  // the value as text, "<empty>" for none

    QTest::newRow("Eval number") << "" << "Eval" << QStringList{"1 + 2"} << "3";
    QTest::newRow("Eval string") << "" << "Eval" << QStringList{"'a' + 'b'"} << "ab";
    QTest::newRow("Eval boolean") << "" << "Eval" << QStringList{"1 < 2"} << "true";
    QTest::newRow("Eval undefined") << "" << "Eval" << QStringList{"undefined"} << "<empty>";
    QTest::newRow("Eval object by its string") << "" << "Eval" << QStringList{"[1, 2]"} << "1,2";
    QTest::newRow("ExecuteStatement drops value") << "" << "ExecuteStatement"
                                                  << QStringList{"40 + 2"} << "<empty>";
    QTest::newRow("Run no arguments") << "function f() { return arguments.length; }" << "Run"
                                      << QStringList{"f"} << "0";
    QTest::newRow("Run strings stay strings") << "function f(a, b) { return a + b; }" << "Run"
                                              << QStringList{"f", "1", "2"} << "12";
    QTest::newRow("Run many arguments") << "function f() { return arguments.length; }" << "Run"
                                        << QStringList{"f", "a", "b", "c", "d", "e", "f"} << "6";
    QTest::newRow("Run Chinese text") << "function f(s) { return s.length + s; }" << "Run"
                                      << QStringList{"f", QStringLiteral("中文")}
                                      << QStringLiteral("2中文");
    QTest::newRow("Run text with a NUL character")
        << "function f(s) { return s.length + ':' + s.charCodeAt(1); }" << "Run"
        << QStringList{"f", QString("a") + QChar(0) + "b"} << "3:0";
    QTest::newRow("Run long ASCII text") << "function f(s) { return s.split(',').length; }" << "Run"
                                         << QStringList{"f", QString("1,").repeated(5000) + "1"}
                                         << "5001";
    QTest::newRow("AddCode defines") << "" << "AddCode"
                                     << QStringList{"function g() { return 7; }"} << "<empty>";
}

void TestScriptControl::evaluatesCodeAndCallsFunctions() {
    QFETCH(QString, setup);
    QFETCH(QString, member);
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);

    scriptcontrol::ScriptControl control;
    if (!setup.isEmpty()) {
        QCOMPARE(Invoke(control, u"ExecuteStatement", InvokeKind::Method,
                        {Variant::FromString(setup.toStdU16String())})
                     .result,
                 hr::S_OK);
    }
    std::vector<Variant> args;
    for (const QString& a : arguments) args.push_back(Variant::FromString(a.toStdU16String()));
    const Call call = Invoke(control, member.toStdU16String().c_str(), InvokeKind::Method, args);
    QCOMPARE(call.result, hr::S_OK);
    std::u16string text;
    QCOMPARE(automation::ChangeToString(call.value, text), hr::S_OK);
    QCOMPARE(call.value.isEmpty() ? QString("<empty>") : QString::fromStdU16String(text), expected);
}

void TestScriptControl::failures_data() {
    QTest::addColumn<QString>("member");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<automation::HResult>("expected");

    const int method = int(InvokeKind::Method);
    QTest::newRow("syntax error") << "ExecuteStatement" << method << QStringList{"function ("}
                                  << hr::DISP_E_EXCEPTION;
    QTest::newRow("thrown error") << "Eval" << method << QStringList{"throw new Error('x')"}
                                  << hr::DISP_E_EXCEPTION;
    QTest::newRow("undefined procedure") << "Run" << method << QStringList{"nowhere"}
                                         << hr::DISP_E_EXCEPTION;
    QTest::newRow("procedure not a function") << "Run" << method << QStringList{"Math"}
                                              << hr::DISP_E_EXCEPTION;
    QTest::newRow("Run without a name") << "Run" << method << QStringList{}
                                        << hr::DISP_E_BADPARAMCOUNT;
    QTest::newRow("unknown member") << "Frobnicate" << method << QStringList{}
                                    << hr::DISP_E_UNKNOWNNAME;
    QTest::newRow("method read as property") << "Eval" << int(InvokeKind::PropertyGet)
                                             << QStringList{} << hr::DISP_E_MEMBERNOTFOUND;
    QTest::newRow("Timeout not a number") << "Timeout" << int(InvokeKind::PropertyPut)
                                          << QStringList{"soon"} << hr::DISP_E_TYPEMISMATCH;
    QTest::newRow("State out of range") << "State" << int(InvokeKind::PropertyPut)
                                        << QStringList{"7"} << hr::E_INVALIDARG;
}

void TestScriptControl::failures() {
    QFETCH(QString, member);
    QFETCH(int, kind);
    QFETCH(QStringList, arguments);
    QFETCH(automation::HResult, expected);

    scriptcontrol::ScriptControl control;
    std::vector<Variant> args;
    for (const QString& a : arguments) args.push_back(Variant::FromString(a.toStdU16String()));
    const Call call =
        Invoke(control, member.toStdU16String().c_str(), static_cast<InvokeKind>(kind), args);
    QCOMPARE(call.result, expected);
    QVERIFY(call.value.isEmpty());
}

void TestScriptControl::typeInfoDescribesMembers() {
    scriptcontrol::ScriptControl control;
    const automation::TypeInfo* info = control.GetTypeInfo();
    QVERIFY(info);
    const auto run = info->FindName(u"run");  // names ignore case
    QVERIFY(run);
    const auto* runDescription = info->Describe(*run, InvokeKind::Method);
    QVERIFY(runDescription);
    QVERIFY(runDescription->variableArguments);
    const auto* evalDescription = info->Describe(*info->FindName(u"Eval"), InvokeKind::Method);
    QCOMPARE(evalDescription->parameterCount, 1);
    QVERIFY(!evalDescription->variableArguments);
    QVERIFY(info->Describe(*info->FindName(u"Timeout"), InvokeKind::PropertyPut));
}

void TestScriptControl::propertiesKeepTheirValues() {
    scriptcontrol::ScriptControl control;
    QCOMPARE(Invoke(control, u"Timeout", InvokeKind::PropertyGet).value, Variant::FromInt32(10000));
    QCOMPARE(Invoke(control, u"AllowUI", InvokeKind::PropertyGet).value, Variant::FromBool(true));

    QCOMPARE(Invoke(control, u"Timeout", InvokeKind::PropertyPut, {Variant::FromInt32(-1)}).result,
             hr::S_OK);
    QCOMPARE(Invoke(control, u"Timeout", InvokeKind::PropertyGet).value, Variant::FromInt32(-1));
    QCOMPARE(Invoke(control, u"State", InvokeKind::PropertyPut, {Variant::FromInt32(1)}).result,
             hr::S_OK);
    QCOMPARE(Invoke(control, u"State", InvokeKind::Method).value, Variant::FromInt32(1));
    QCOMPARE(Invoke(control, u"AllowUI", InvokeKind::PropertyPut, {Variant::FromBool(false)}).result,
             hr::S_OK);
    QCOMPARE(Invoke(control, u"AllowUI", InvokeKind::PropertyGet).value, Variant::FromBool(false));
    QCOMPARE(Invoke(control, u"SitehWnd", InvokeKind::PropertyPut, {Variant::FromInt32(42)}).result,
             hr::S_OK);
    QCOMPARE(Invoke(control, u"SitehWnd", InvokeKind::PropertyGet).value, Variant::FromInt32(42));
}

void TestScriptControl::languageAcceptsOnlyJScript() {
    scriptcontrol::ScriptControl control;
    QCOMPARE(Invoke(control, u"Language", InvokeKind::PropertyPut, {S(u"jscript")}).result, hr::S_OK);
    QCOMPARE(Invoke(control, u"Language", InvokeKind::PropertyPut, {S(u"vbs")}).result,
             hr::DISP_E_EXCEPTION);
    QCOMPARE(Invoke(control, u"Language", InvokeKind::PropertyGet).value, S(u"JScript"));
}

void TestScriptControl::resetDiscardsCode() {
    scriptcontrol::ScriptControl control;
    QCOMPARE(Invoke(control, u"ExecuteStatement", InvokeKind::Method, {S(u"var kept = 5")}).result,
             hr::S_OK);
    QCOMPARE(Invoke(control, u"Eval", InvokeKind::Method, {S(u"kept")}).value,
             Variant::FromDouble(5));
    QCOMPARE(Invoke(control, u"Reset", InvokeKind::Method).result, hr::S_OK);
    QCOMPARE(Invoke(control, u"Eval", InvokeKind::Method, {S(u"kept")}).result,
             hr::DISP_E_EXCEPTION);
}

void TestScriptControl::timeoutInterruptsEndlessLoop() {
    scriptcontrol::ScriptControl control;
    constexpr int kTimeoutMs = 200;
    QCOMPARE(Invoke(control, u"Timeout", InvokeKind::PropertyPut, {Variant::FromInt32(kTimeoutMs)})
                 .result,
             hr::S_OK);
    QCOMPARE(Invoke(control, u"ExecuteStatement", InvokeKind::Method,
                    {S(u"function spin() { for (;;) {} }")})
                 .result,
             hr::S_OK);

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(Invoke(control, u"Run", InvokeKind::Method, {S(u"spin")}).result,
             hr::DISP_E_EXCEPTION);
    const qint64 elapsed = clock.elapsed();
    qInfo("endless loop interrupted after %lld ms (Timeout %d ms)", elapsed, kTimeoutMs);
    QVERIFY2(elapsed >= kTimeoutMs * 9 / 10, "interrupted before its time");

    // The engine stays usable after an interruption, and every later runaway call is
    // interrupted too, however calls and interruptions alternate.
    for (int round = 0; round < 6; ++round) {
        QCOMPARE(Invoke(control, u"Eval", InvokeKind::Method, {S(u"6 * 7")}).value,
                 Variant::FromDouble(42));
        clock.restart();
        QCOMPARE(Invoke(control, u"Eval", InvokeKind::Method, {S(u"spin()")}).result,
                 hr::DISP_E_EXCEPTION);
        QVERIFY(clock.elapsed() >= kTimeoutMs * 9 / 10);
    }
}

void TestScriptControl::userDataIsNeverCode() {
    scriptcontrol::ScriptControl control;
    QCOMPARE(Invoke(control, u"ExecuteStatement", InvokeKind::Method,
                    {S(u"var hit = 0; function echo(s) { return s; }")})
                 .result,
             hr::S_OK);
    const char16_t* hostile = u"\"); hit = 1; (\"";
    const Call call = Invoke(control, u"Run", InvokeKind::Method, {S(u"echo"), S(hostile)});
    QCOMPARE(call.value, S(hostile));
    QCOMPARE(Invoke(control, u"Eval", InvokeKind::Method, {S(u"hit")}).value,
             Variant::FromDouble(0));
}

void TestScriptControl::createdThroughTheRegistry() {
    const automation::ObjectRegistry registry = scriptcontrol::StandardRegistry();
    automation::ObjectRef object;
    automation::CoInitialize();
    QCOMPARE(registry.CreateObject("ScriptControl", object), hr::S_OK);
    QVERIFY(automation::QueryDispatch(object));
    automation::CoUninitialize();
}

QTEST_GUILESS_MAIN(TestScriptControl)
#include "tst_scriptcontrol.moc"
