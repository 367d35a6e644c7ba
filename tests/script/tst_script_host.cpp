// The script host over the real engine, over no engine, and over a fake engine that fails
// in each of the ways the host must tell apart.
#include <QtTest>

#include "fake_engine.h"
#include "platform/automation/apartment.h"
#include "platform/codepage/codepage.h"
#include "platform/scriptcontrol/script_control.h"
#include "script/script_host.h"

using namespace quorvel;
using automation::InvokeKind;
using automation::Variant;
using script::ScriptHost;
using testing::FakeEngine;
namespace hr = automation::hr;

Q_DECLARE_METATYPE(automation::HResult)

namespace {

QString Utf8(const text::Text& gbk) { return QString::fromStdString(codepage::Utf8FromGbk(gbk)); }

const automation::ObjectRegistry& EmptyRegistry() {
    static const automation::ObjectRegistry registry;
    return registry;
}

}  // namespace

class TestScriptHost : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void operationsWithTheRealEngine();
    void operationsWithoutAnEngine();
    void failureTexts_data();
    void failureTexts();
    void runPassesTheLeadingGivenArguments_data();
    void runPassesTheLeadingGivenArguments();
    void propertyWritesAndReads();
    void lastErrorFollowsTheLatestCall();
    void comPairsAroundTheEngine();
    void engineObjectIsACountedReference();
};

void TestScriptHost::operationsWithTheRealEngine() {
    ScriptHost host(scriptcontrol::StandardRegistry());
    QVERIFY(host.LastError().empty());  // selecting JScript at construction succeeded
    QVERIFY(host.ExecuteStatement("var base = 40; function add(a, b) { return a + '+' + b; }"));
    QVERIFY(host.LastError().empty());
    QCOMPARE(host.Eval("base + 2"), "42");
    QCOMPARE(host.Run("add", "1", "2"), "1+2");
    QCOMPARE(host.Run("add", codepage::GbkFromUtf8("中"), "x"), codepage::GbkFromUtf8("中+x"));
    // A handed-over argument arrives as the same text, ASCII or not.
    QVERIFY(host.ExecuteStatement("function twice(a) { return a + a; }"));
    QCOMPARE(host.RunWithText("twice", "3,4"), "3,43,4");
    QCOMPARE(host.RunWithText("twice", codepage::GbkFromUtf8("中")), codepage::GbkFromUtf8("中中"));
    host.AddCode("function seven() { return 7; }");
    QVERIFY(host.LastError().empty());
    QCOMPARE(host.Run("seven"), "7");
    QCOMPARE(host.Language(), "JScript");
    QCOMPARE(host.Timeout(2500), 2500);
    QCOMPARE(host.Timeout(), -1);
    QCOMPARE(host.State(1), 1);
    QCOMPARE(host.AllowUI(false), false);
    QCOMPARE(host.SitehWnd(99), 99);
    host.Reset();
    QVERIFY(host.LastError().empty());
    QCOMPARE(host.Eval("base"), "");  // Reset discarded the code
    QCOMPARE(Utf8(host.LastError()), QStringLiteral("发现异常"));
    QVERIFY(!host.ExecuteStatement("this is not JScript"));
    QCOMPARE(Utf8(host.LastError()), QStringLiteral("发现异常"));
    QCOMPARE(host.Run("nowhere", "1"), "");
}

void TestScriptHost::operationsWithoutAnEngine() {
    ScriptHost host(EmptyRegistry());
    const QString noEngine = QStringLiteral("对象为空");
    QCOMPARE(Utf8(host.LastError()), noEngine);  // the construction's language write failed
    QVERIFY(!host.ExecuteStatement("var a = 1;"));
    QCOMPARE(Utf8(host.LastError()), noEngine);
    QCOMPARE(host.Eval("1"), "");
    QCOMPARE(host.Run("calculate", "1,2"), "");
    QCOMPARE(host.RunWithText("calculate", "1,2"), "");
    QCOMPARE(Utf8(host.LastError()), noEngine);
    QCOMPARE(host.Language(), "");
    QCOMPARE(host.Timeout(), 0);
    QCOMPARE(host.State(), 0);
    QCOMPARE(host.SitehWnd(), 0);
    QCOMPARE(host.AllowUI(true), false);
    host.Reset();
    host.AddCode("var b;");
    QCOMPARE(Utf8(host.LastError()), noEngine);
    QVERIFY(!host.EngineObject());
}

void TestScriptHost::failureTexts_data() {
    QTest::addColumn<QString>("failure");
    QTest::addColumn<automation::HResult>("invokeResult");
    QTest::addColumn<QString>("expected");

    QTest::newRow("success") << "" << hr::S_OK << "";
    QTest::newRow("success with S_FALSE") << "" << hr::S_FALSE << "";
    QTest::newRow("no engine") << "no engine" << hr::S_OK << QStringLiteral("对象为空");
    QTest::newRow("no dispatch") << "no dispatch" << hr::S_OK << QStringLiteral("指定对象没有调用接口");
    QTest::newRow("no type info") << "no type info" << hr::S_OK << QStringLiteral("指定对象没有类型信息");
    QTest::newRow("name does not bind") << "unknown name" << hr::S_OK
                                        << QStringLiteral("未找到指定属性或方法");
    QTest::newRow("too many arguments") << "too many" << hr::S_OK << QStringLiteral("提供了过多的参数");
    QTest::newRow("result of the wrong kind") << "bad result" << hr::S_OK
                                              << QStringLiteral("执行成功，但返回值类型不匹配");
    QTest::newRow("BADPARAMCOUNT") << "" << hr::DISP_E_BADPARAMCOUNT << QStringLiteral("参数数目错误");
    QTest::newRow("BADVARTYPE") << "" << hr::DISP_E_BADVARTYPE << QStringLiteral("参数类型值无效");
    QTest::newRow("EXCEPTION") << "" << hr::DISP_E_EXCEPTION << QStringLiteral("发现异常");
    QTest::newRow("MEMBERNOTFOUND") << "" << hr::DISP_E_MEMBERNOTFOUND << QStringLiteral("未找到指定成员");
    QTest::newRow("NONAMEDARGS") << "" << hr::DISP_E_NONAMEDARGS << QStringLiteral("不支持命名参数");
    QTest::newRow("OVERFLOW") << "" << hr::DISP_E_OVERFLOW << QStringLiteral("溢出");
    QTest::newRow("PARAMNOTFOUND") << "" << hr::DISP_E_PARAMNOTFOUND << QStringLiteral("未找到指定参数");
    QTest::newRow("TYPEMISMATCH") << "" << hr::DISP_E_TYPEMISMATCH << QStringLiteral("类型不匹配");
    QTest::newRow("PARAMNOTOPTIONAL") << "" << hr::DISP_E_PARAMNOTOPTIONAL
                                      << QStringLiteral("必需的参数数据被省略");
    QTest::newRow("E_FAIL") << "" << hr::E_FAIL << QStringLiteral("其他原因调用失败");
    QTest::newRow("UNKNOWNINTERFACE") << "" << hr::DISP_E_UNKNOWNINTERFACE
                                      << QStringLiteral("其他原因调用失败");
}

// Each failure is provoked through ExecuteStatement, whose result is true exactly when the
// failure text is empty.
void TestScriptHost::failureTexts() {
    QFETCH(QString, failure);
    QFETCH(automation::HResult, invokeResult);
    QFETCH(QString, expected);

    automation::ObjectRef engine;
    if (failure == "no dispatch") {
        engine = std::make_shared<automation::Unknown>();
    } else if (failure != "no engine") {
        auto fake = std::make_shared<FakeEngine>(
            FakeEngine::EngineMembers(failure == "too many" ? 0 : 1));
        fake->hasTypeInfo = failure != "no type info";
        fake->namesBind = failure != "unknown name";
        fake->invokeResult = invokeResult;
        if (failure == "bad result") fake->returnValue = Variant::FromString(u"not a number");
        engine = fake;
    }
    const automation::ObjectRegistry registry =
        failure == "no engine" ? automation::ObjectRegistry() : testing::RegistryWith(engine);
    engine.reset();

    ScriptHost host(registry);
    QCOMPARE(host.ExecuteStatement("code"), expected.isEmpty());
    QCOMPARE(Utf8(host.LastError()), expected);
}

void TestScriptHost::runPassesTheLeadingGivenArguments_data() {
    QTest::addColumn<QList<int>>("given");  // which of the arguments 1 to 6 are given
    QTest::addColumn<QStringList>("received");

    QTest::newRow("none") << QList<int>{} << QStringList{"proc"};
    QTest::newRow("first only") << QList<int>{1} << QStringList{"proc", "a1"};
    QTest::newRow("1 and 3: the gap ends the list") << QList<int>{1, 3} << QStringList{"proc", "a1"};
    QTest::newRow("2 without 1") << QList<int>{2, 3} << QStringList{"proc"};
    QTest::newRow("1 to 4") << QList<int>{1, 2, 3, 4} << QStringList{"proc", "a1", "a2", "a3", "a4"};
    QTest::newRow("all six") << QList<int>{1, 2, 3, 4, 5, 6}
                             << QStringList{"proc", "a1", "a2", "a3", "a4", "a5", "a6"};
}

void TestScriptHost::runPassesTheLeadingGivenArguments() {
    QFETCH(QList<int>, given);
    QFETCH(QStringList, received);

    auto fake = std::make_shared<FakeEngine>();
    fake->returnValue = Variant::FromString(u"done");
    ScriptHost host(testing::RegistryWith(fake));
    std::array<std::string, 6> texts = {"a1", "a2", "a3", "a4", "a5", "a6"};
    std::array<ScriptHost::OptionalArgument, 6> arguments;
    for (int i : given) arguments[i - 1] = texts[i - 1];
    fake->calls.clear();

    QCOMPARE(host.Run("proc", arguments[0], arguments[1], arguments[2], arguments[3],
                      arguments[4], arguments[5]),
             "done");
    QCOMPARE(fake->calls.size(), size_t(1));
    QCOMPARE(fake->calls[0].member, u"Run");
    QStringList actual;
    for (const Variant& v : fake->calls[0].arguments) {
        QCOMPARE(v.kind(), Variant::Kind::String);
        actual << QString::fromStdU16String(v.string().ToUtf16());
    }
    QCOMPARE(actual, received);
}

void TestScriptHost::propertyWritesAndReads() {
    auto fake = std::make_shared<FakeEngine>();
    ScriptHost host(testing::RegistryWith(fake));
    QCOMPARE(fake->calls.size(), size_t(1));
    QCOMPARE(fake->calls[0].member, u"Language");
    QCOMPARE(fake->calls[0].arguments.at(0), Variant::FromString(u"JScript"));

    const auto members = [&] {
        QStringList out;
        for (const auto& call : fake->calls) {
            const char* kind = call.kind == InvokeKind::PropertyPut   ? "put"
                               : call.kind == InvokeKind::PropertyGet ? "get"
                                                                      : "call";
            QString argument;
            if (!call.arguments.empty()) {
                std::u16string text;
                automation::ChangeToString(call.arguments[0], text);
                argument = " " + QString::fromStdU16String(text);
            }
            out << QString("%1 %2%3").arg(kind, QString::fromStdU16String(call.member), argument);
        }
        fake->calls.clear();
        return out;
    };
    members();

    fake->returnValue = Variant::FromDouble(-1.9);
    QCOMPARE(host.Timeout(), -1);  // truncated toward zero
    QCOMPARE(members(), (QStringList{"put Timeout -1", "get Timeout"}));
    host.State();
    QCOMPARE(members(), (QStringList{"get State"}));
    host.State(1);
    QCOMPARE(members(), (QStringList{"put State 1", "get State"}));
    host.SitehWnd();
    QCOMPARE(members(), (QStringList{"get SitehWnd"}));
    fake->returnValue = Variant::FromBool(true);
    QCOMPARE(host.AllowUI(), true);
    QCOMPARE(members(), (QStringList{"get AllowUI"}));
    host.AllowUI(false);
    QCOMPARE(members(), (QStringList{"put AllowUI false", "get AllowUI"}));

    fake->returnValue = Variant::FromString(u"JScript");
    QCOMPARE(host.Language(2), "JScript");
    QCOMPARE(members(), (QStringList{"get Language"}));
    host.Language(1);
    QCOMPARE(members(), (QStringList{"put Language vbs", "get Language"}));
    host.Language();
    QCOMPARE(members(), (QStringList{"put Language JScript", "get Language"}));

    fake->returnValue = Variant::FromDouble(3e30);
    QCOMPARE(host.SitehWnd(), std::numeric_limits<std::int64_t>::max());
}

void TestScriptHost::lastErrorFollowsTheLatestCall() {
    auto fake = std::make_shared<FakeEngine>();
    ScriptHost host(testing::RegistryWith(fake));
    fake->invokeResult = hr::DISP_E_EXCEPTION;
    QVERIFY(!host.ExecuteStatement("bad"));
    QVERIFY(!host.LastError().empty());
    fake->invokeResult = hr::S_OK;
    QVERIFY(host.ExecuteStatement("good"));
    QVERIFY(host.LastError().empty());
    fake->invokeResult = hr::DISP_E_OVERFLOW;
    host.Timeout(5);
    QCOMPARE(Utf8(host.LastError()), QStringLiteral("溢出"));
}

void TestScriptHost::comPairsAroundTheEngine() {
    const int before = automation::ComInitializationCount();
    int countWhenEngineReleased = -1;
    {
        auto fake = std::make_shared<FakeEngine>();
        fake->onDestroyed = [&] { countWhenEngineReleased = automation::ComInitializationCount(); };
        const automation::ObjectRegistry registry = testing::RegistryWith(fake);
        fake.reset();
        {
            ScriptHost host(registry);
            QCOMPARE(automation::ComInitializationCount(), before + 1);
        }
        QCOMPARE(automation::ComInitializationCount(), before);
        QCOMPARE(countWhenEngineReleased, -1);  // the registry's factory still holds it
    }
    QCOMPARE(countWhenEngineReleased, before);

    // With the real engine: the engine goes before COM is uninitialised.
    std::vector<automation::ApartmentEvent> events;
    automation::SetApartmentObserver([&](automation::ApartmentEvent e) { events.push_back(e); });
    { ScriptHost host(scriptcontrol::StandardRegistry()); }
    automation::SetApartmentObserver(nullptr);
    QCOMPARE(events, (std::vector<automation::ApartmentEvent>{
                         automation::ApartmentEvent::CoInitialize,
                         automation::ApartmentEvent::CoUninitialize}));
}

void TestScriptHost::engineObjectIsACountedReference() {
    auto fake = std::make_shared<FakeEngine>();
    ScriptHost host(testing::RegistryWith(fake));
    const long held = fake.use_count();
    {
        const automation::ObjectRef reference = host.EngineObject();
        QCOMPARE(reference.get(), static_cast<automation::Unknown*>(fake.get()));
        QCOMPARE(fake.use_count(), held + 1);
    }
    QCOMPARE(fake.use_count(), held);
}

QTEST_GUILESS_MAIN(TestScriptHost)
#include "tst_script_host.moc"
