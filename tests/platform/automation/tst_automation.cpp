// The automation layer: variants and their conversions, the Number-to-String rule, type
// information, object creation by ProgID and the per-thread COM and OLE counters.
#include <QtTest/QtTest>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <thread>

#include "platform/automation/apartment.h"
#include "platform/automation/hresult.h"
#include "platform/automation/object.h"
#include "platform/automation/registry.h"
#include "platform/automation/variant.h"

using namespace quorvel::automation;

// What the calling thread has initialised before an object is created.
enum class Initialised { Nothing, Com, Ole, ComThenUninitialised };

Q_DECLARE_METATYPE(quorvel::automation::Variant)
Q_DECLARE_METATYPE(quorvel::automation::InvokeKind)
Q_DECLARE_METATYPE(Initialised)

namespace {

QString Units(const std::u16string& units) {
    return QString(reinterpret_cast<const QChar*>(units.data()),
                   static_cast<qsizetype>(units.size()));
}

// HRESULTs compared as hexadecimal text, which is how they are known.
QString Hex(HResult result) {
    return QStringLiteral("0x%1").arg(static_cast<std::uint32_t>(result), 8, 16, QChar('0'));
}

Variant StringValue(const char16_t* text) {
    return Variant::FromString(text);
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInfinity = std::numeric_limits<double>::infinity();

// Brings the calling thread back to no COM or OLE initialisation and no observer.
void ResetApartment() {
    SetApartmentObserver({});
    while (OleInitializationCount() > 0) OleUninitialize();
    while (ComInitializationCount() > 0) CoUninitialize();
}

class Plain : public Unknown {};

}  // namespace

class AutomationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { ResetApartment(); }
    void cleanup() { ResetApartment(); }

    void numberToString_data();
    void numberToString();
    void changeToString_data();
    void changeToString();
    void stringsHaveOneForm_data();
    void stringsHaveOneForm();
    void changeToNumber_data();
    void changeToNumber();
    void changeToBool_data();
    void changeToBool();
    void typeInfoFindName_data();
    void typeInfoFindName();
    void typeInfoDescribe_data();
    void typeInfoDescribe();
    void createObject_data();
    void createObject();
    void apartment_data();
    void apartment();
    void apartmentIsPerThread();
};

void AutomationTest::numberToString_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("NaN") << kNaN << "NaN";
    QTest::newRow("infinity") << kInfinity << "Infinity";
    QTest::newRow("negative infinity") << -kInfinity << "-Infinity";
    QTest::newRow("integer") << 3.0 << "3";
    QTest::newRow("quarter") << 0.25 << "0.25";
    QTest::newRow("two and a half") << 2.5 << "2.5";
    QTest::newRow("negative") << -1.5 << "-1.5";
    QTest::newRow("three decimals") << 1.291 << "1.291";
    QTest::newRow("shortest digits of a sixteen-digit value")
        << 0.5163977794943222 << "0.5163977794943222";
    QTest::newRow("seventeen digits") << 0.34640323431511455 << "0.34640323431511455";
    QTest::newRow("sum that is not a tenth") << 0.1 + 0.2 << "0.30000000000000004";
    QTest::newRow("one third") << 1.0 / 3 << "0.3333333333333333";
    QTest::newRow("2 to the 53") << 9007199254740992.0 << "9007199254740992";
    QTest::newRow("21 digits written out") << 1.2345678901234568e20 << "123456789012345680000";
    QTest::newRow("largest plain integer") << 1e20 << "100000000000000000000";
    QTest::newRow("1e21 in exponent form") << 1e21 << "1e+21";
    QTest::newRow("exponent form with digits") << 1.5e300 << "1.5e+300";
    QTest::newRow("largest double") << 1.7976931348623157e308 << "1.7976931348623157e+308";
    QTest::newRow("one millionth written out") << 0.000001 << "0.000001";
    QTest::newRow("digits after a millionth") << 1.5e-6 << "0.0000015";
    QTest::newRow("1e-7 in exponent form") << 1e-7 << "1e-7";
    QTest::newRow("small value with digits") << 1.5e-7 << "1.5e-7";
    QTest::newRow("just below a millionth") << 9.999999999177334e-7 << "9.999999999177334e-7";
    QTest::newRow("negative small value") << -1e-7 << "-1e-7";
    QTest::newRow("smallest denormal") << 5e-324 << "5e-324";
}

void AutomationTest::numberToString() {
    QFETCH(double, value);
    QFETCH(QString, text);

    QCOMPARE(QString::fromStdString(NumberToString(value)), text);
}

void AutomationTest::changeToString_data() {
    QTest::addColumn<Variant>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << Variant() << "";
    QTest::newRow("string") << StringValue(u"中文 3|4") << QString::fromUtf8("中文 3|4");
    QTest::newRow("empty string") << StringValue(u"") << "";
    QTest::newRow("integer") << Variant::FromInt32(-42) << "-42";
    QTest::newRow("smallest integer")
        << Variant::FromInt32(std::numeric_limits<std::int32_t>::min()) << "-2147483648";
    QTest::newRow("double") << Variant::FromDouble(0.25) << "0.25";
    QTest::newRow("whole double") << Variant::FromDouble(3.0) << "3";
    QTest::newRow("large double") << Variant::FromDouble(1e21) << "1e+21";
    QTest::newRow("NaN") << Variant::FromDouble(kNaN) << "NaN";
    QTest::newRow("true") << Variant::FromBool(true) << "true";
    QTest::newRow("false") << Variant::FromBool(false) << "false";
}

void AutomationTest::changeToString() {
    QFETCH(Variant, value);
    QFETCH(QString, text);

    std::u16string out = u"unchanged";
    QCOMPARE(Hex(ChangeToString(value, out)), Hex(hr::S_OK));
    QCOMPARE(Units(out), text);
}

// On a type mismatch the target keeps its value.
void AutomationTest::changeToNumber_data() {
    QTest::addColumn<Variant>("value");
    QTest::addColumn<HResult>("result");
    QTest::addColumn<double>("number");

    const double kept = 12345;
    QTest::newRow("empty") << Variant() << hr::S_OK << 0.0;
    QTest::newRow("integer") << Variant::FromInt32(-7) << hr::S_OK << -7.0;
    QTest::newRow("double") << Variant::FromDouble(2.5) << hr::S_OK << 2.5;
    QTest::newRow("true") << Variant::FromBool(true) << hr::S_OK << -1.0;
    QTest::newRow("false") << Variant::FromBool(false) << hr::S_OK << 0.0;
    QTest::newRow("whole number") << StringValue(u"42") << hr::S_OK << 42.0;
    QTest::newRow("decimal with spaces around") << StringValue(u"  2.5 ") << hr::S_OK << 2.5;
    QTest::newRow("minus sign") << StringValue(u"-3") << hr::S_OK << -3.0;
    QTest::newRow("plus sign") << StringValue(u"+4") << hr::S_OK << 4.0;
    QTest::newRow("exponent") << StringValue(u"1e3") << hr::S_OK << 1000.0;
    QTest::newRow("leading point") << StringValue(u"-.5") << hr::S_OK << -0.5;
    QTest::newRow("empty string") << StringValue(u"") << hr::DISP_E_TYPEMISMATCH << kept;
    QTest::newRow("only spaces") << StringValue(u"   ") << hr::DISP_E_TYPEMISMATCH << kept;
    QTest::newRow("letters") << StringValue(u"abc") << hr::DISP_E_TYPEMISMATCH << kept;
    QTest::newRow("number then letters") << StringValue(u"12abc") << hr::DISP_E_TYPEMISMATCH << kept;
    QTest::newRow("two numbers") << StringValue(u"1 2") << hr::DISP_E_TYPEMISMATCH << kept;
    QTest::newRow("comma list") << StringValue(u"3,4") << hr::DISP_E_TYPEMISMATCH << kept;
    QTest::newRow("hexadecimal") << StringValue(u"0x10") << hr::DISP_E_TYPEMISMATCH << kept;
    QTest::newRow("full-width digits") << StringValue(u"１２") << hr::DISP_E_TYPEMISMATCH << kept;
    QTest::newRow("two signs") << StringValue(u"+-5") << hr::DISP_E_TYPEMISMATCH << kept;
    QTest::newRow("sign alone") << StringValue(u"-") << hr::DISP_E_TYPEMISMATCH << kept;
    QTest::newRow("word Infinity") << StringValue(u"Infinity") << hr::DISP_E_TYPEMISMATCH << kept;
    QTest::newRow("word inf with a sign") << StringValue(u"-inf") << hr::DISP_E_TYPEMISMATCH << kept;
    QTest::newRow("word NaN") << StringValue(u"NaN") << hr::DISP_E_TYPEMISMATCH << kept;
    QTest::newRow("out of the double range") << StringValue(u"1e999") << hr::DISP_E_TYPEMISMATCH << kept;
}

void AutomationTest::changeToNumber() {
    QFETCH(Variant, value);
    QFETCH(HResult, result);
    QFETCH(double, number);

    double out = 12345;
    QCOMPARE(Hex(ChangeToNumber(value, out)), Hex(result));
    QCOMPARE(out, number);
}

void AutomationTest::changeToBool_data() {
    QTest::addColumn<Variant>("value");
    QTest::addColumn<HResult>("result");
    QTest::addColumn<bool>("boolean");

    // The target starts as true, so a mismatch row expects true: the value kept.
    QTest::newRow("empty") << Variant() << hr::S_OK << false;
    QTest::newRow("integer 0") << Variant::FromInt32(0) << hr::S_OK << false;
    QTest::newRow("integer -1") << Variant::FromInt32(-1) << hr::S_OK << true;
    QTest::newRow("double 0") << Variant::FromDouble(0.0) << hr::S_OK << false;
    QTest::newRow("double -0") << Variant::FromDouble(-0.0) << hr::S_OK << false;
    QTest::newRow("double 0.5") << Variant::FromDouble(0.5) << hr::S_OK << true;
    QTest::newRow("boolean false") << Variant::FromBool(false) << hr::S_OK << false;
    QTest::newRow("string true") << StringValue(u"true") << hr::S_OK << true;
    QTest::newRow("string FALSE") << StringValue(u"FALSE") << hr::S_OK << false;
    QTest::newRow("string False with spaces") << StringValue(u" False ") << hr::S_OK << false;
    QTest::newRow("string 0") << StringValue(u"0") << hr::S_OK << false;
    QTest::newRow("string -2.5") << StringValue(u"-2.5") << hr::S_OK << true;
    QTest::newRow("string yes") << StringValue(u"yes") << hr::DISP_E_TYPEMISMATCH << true;
    QTest::newRow("empty string") << StringValue(u"") << hr::DISP_E_TYPEMISMATCH << true;
    QTest::newRow("string t") << StringValue(u"t") << hr::DISP_E_TYPEMISMATCH << true;
    QTest::newRow("Chinese text") << StringValue(u"真") << hr::DISP_E_TYPEMISMATCH << true;
    QTest::newRow("word NaN") << StringValue(u"NaN") << hr::DISP_E_TYPEMISMATCH << true;
}

void AutomationTest::changeToBool() {
    QFETCH(Variant, value);
    QFETCH(HResult, result);
    QFETCH(bool, boolean);

    bool out = true;
    QCOMPARE(Hex(ChangeToBool(value, out)), Hex(result));
    QCOMPARE(out, boolean);
}

namespace {

TypeInfo MakeTypeInfo() {
    return TypeInfo({
        {u"Language", 1, InvokeKind::PropertyGet, 0, false},
        {u"Language", 1, InvokeKind::PropertyPut, 1, false},
        {u"Timeout", 2, InvokeKind::PropertyGet, 0, false},
        {u"ExecuteStatement", 3, InvokeKind::Method, 1, false},
        {u"Run", 4, InvokeKind::Method, 1, true},
        {u"Größe", 5, InvokeKind::PropertyGet, 0, false},
    });
}

}  // namespace

void AutomationTest::typeInfoFindName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("id");  // 0: not found

    QTest::newRow("same spelling") << "ExecuteStatement" << 3;
    QTest::newRow("small letters") << "executestatement" << 3;
    QTest::newRow("capital letters") << "LANGUAGE" << 1;
    QTest::newRow("mixed case") << "rUN" << 4;
    QTest::newRow("prefix of a name") << "Languag" << 0;
    QTest::newRow("name with more letters") << "Runs" << 0;
    QTest::newRow("empty name") << "" << 0;
    QTest::newRow("unknown name") << "Eval" << 0;
    QTest::newRow("non-ASCII letters exact") << QString::fromUtf8("größe") << 5;
    QTest::newRow("non-ASCII letters are not folded") << QString::fromUtf8("GRÖßE") << 0;
}

void AutomationTest::typeInfoFindName() {
    QFETCH(QString, name);
    QFETCH(int, id);

    const TypeInfo info = MakeTypeInfo();
    const auto found = info.FindName(
        std::u16string_view(reinterpret_cast<const char16_t*>(name.utf16()), name.size()));
    QCOMPARE(found.value_or(0), id);
}

void AutomationTest::typeInfoDescribe_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<InvokeKind>("kind");
    QTest::addColumn<int>("parameterCount");  // -1: no description
    QTest::addColumn<bool>("variableArguments");

    QTest::newRow("property read") << 1 << InvokeKind::PropertyGet << 0 << false;
    QTest::newRow("property write") << 1 << InvokeKind::PropertyPut << 1 << false;
    QTest::newRow("method") << 3 << InvokeKind::Method << 1 << false;
    QTest::newRow("method with variable arguments") << 4 << InvokeKind::Method << 1 << true;
    QTest::newRow("method call reaching a property read") << 2 << InvokeKind::Method << 0 << false;
    QTest::newRow("property read of a method") << 3 << InvokeKind::PropertyGet << -1 << false;
    QTest::newRow("property write of a read-only property")
        << 2 << InvokeKind::PropertyPut << -1 << false;
    QTest::newRow("unknown id") << 9 << InvokeKind::Method << -1 << false;
}

void AutomationTest::typeInfoDescribe() {
    QFETCH(int, id);
    QFETCH(InvokeKind, kind);
    QFETCH(int, parameterCount);
    QFETCH(bool, variableArguments);

    const TypeInfo info = MakeTypeInfo();
    const MemberDescription* member = info.Describe(id, kind);
    QCOMPARE(member ? member->parameterCount : -1, parameterCount);
    if (member) {
        QCOMPARE(member->id, id);
        QCOMPARE(member->variableArguments, variableArguments);
    }
}

void AutomationTest::createObject_data() {
    QTest::addColumn<Initialised>("initialised");
    QTest::addColumn<QString>("progId");
    QTest::addColumn<HResult>("result");

    QTest::newRow("COM not initialised")
        << Initialised::Nothing << "ScriptControl" << hr::CO_E_NOTINITIALIZED;
    QTest::newRow("COM not initialised, unknown ProgID")
        << Initialised::Nothing << "Missing.Object" << hr::CO_E_NOTINITIALIZED;
    QTest::newRow("COM uninitialised again")
        << Initialised::ComThenUninitialised << "ScriptControl" << hr::CO_E_NOTINITIALIZED;
    QTest::newRow("registered ProgID") << Initialised::Com << "ScriptControl" << hr::S_OK;
    QTest::newRow("registered ProgID under OLE") << Initialised::Ole << "ScriptControl" << hr::S_OK;
    QTest::newRow("unknown ProgID")
        << Initialised::Com << "Missing.Object" << hr::REGDB_E_CLASSNOTREG;
    QTest::newRow("empty ProgID") << Initialised::Com << "" << hr::REGDB_E_CLASSNOTREG;
    QTest::newRow("factory that makes nothing") << Initialised::Com << "Broken" << hr::E_FAIL;
}

void AutomationTest::createObject() {
    QFETCH(Initialised, initialised);
    QFETCH(QString, progId);
    QFETCH(HResult, result);

    ObjectRegistry registry;
    int made = 0;
    registry.Register("ScriptControl", [&made] {
        ++made;
        return std::make_shared<Plain>();
    });
    registry.Register("Broken", [] { return ObjectRef(); });
    switch (initialised) {
        case Initialised::Nothing:
            break;
        case Initialised::Com:
            CoInitialize();
            break;
        case Initialised::Ole:
            OleInitialize();
            break;
        case Initialised::ComThenUninitialised:
            CoInitialize();
            CoUninitialize();
            break;
    }

    ObjectRef object = std::make_shared<Plain>();  // a failed creation must clear it
    QCOMPARE(Hex(registry.CreateObject(progId.toStdString(), object)), Hex(result));
    QCOMPARE(object != nullptr, Succeeded(result));
    if (Succeeded(result)) {
        QCOMPARE(made, 1);
        ObjectRef second;
        QCOMPARE(Hex(registry.CreateObject(progId.toStdString(), second)), Hex(hr::S_OK));
        QVERIFY(second != object);  // every creation makes a new object
    }
}

// Call sequences on a fresh thread state: the result of each initialise ("-" for an
// uninitialise), the counts afterwards, and the observer seeing exactly the calls made.
void AutomationTest::apartment_data() {
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("results");
    QTest::addColumn<int>("com");
    QTest::addColumn<int>("ole");

    QTest::newRow("first CoInitialize") << QStringList{"Co"} << QStringList{"S_OK"} << 1 << 0;
    QTest::newRow("second CoInitialize")
        << QStringList{"Co", "Co"} << QStringList{"S_OK", "S_FALSE"} << 2 << 0;
    QTest::newRow("each initialise paired") << QStringList{"Co", "Co", "CoUn", "CoUn"}
                                            << QStringList{"S_OK", "S_FALSE", "-", "-"} << 0 << 0;
    QTest::newRow("first again after the last uninitialise")
        << QStringList{"Co", "CoUn", "Co"} << QStringList{"S_OK", "-", "S_OK"} << 1 << 0;
    QTest::newRow("uninitialise without initialise")
        << QStringList{"CoUn", "Co"} << QStringList{"-", "S_OK"} << 1 << 0;
    QTest::newRow("OLE initialise counts as a COM initialise")
        << QStringList{"Ole"} << QStringList{"S_OK"} << 1 << 1;
    QTest::newRow("COM after OLE is already initialised")
        << QStringList{"Ole", "Co"} << QStringList{"S_OK", "S_FALSE"} << 2 << 1;
    QTest::newRow("start-up and shutdown") << QStringList{"Ole", "Co", "CoUn", "OleUn"}
                                           << QStringList{"S_OK", "S_FALSE", "-", "-"} << 0 << 0;
    QTest::newRow("OLE uninitialise gives back its COM count")
        << QStringList{"Ole", "Co", "OleUn"} << QStringList{"S_OK", "S_FALSE", "-"} << 1 << 0;
    QTest::newRow("OLE uninitialise without OLE leaves COM alone")
        << QStringList{"Co", "OleUn"} << QStringList{"S_OK", "-"} << 1 << 0;
}

void AutomationTest::apartment() {
    QFETCH(QStringList, calls);
    QFETCH(QStringList, results);
    QFETCH(int, com);
    QFETCH(int, ole);

    QStringList observed;
    SetApartmentObserver([&observed](ApartmentEvent event) {
        switch (event) {
            case ApartmentEvent::CoInitialize:
                observed << "Co";
                break;
            case ApartmentEvent::CoUninitialize:
                observed << "CoUn";
                break;
            case ApartmentEvent::OleInitialize:
                observed << "Ole";
                break;
            case ApartmentEvent::OleUninitialize:
                observed << "OleUn";
                break;
        }
    });
    const auto name = [](HResult result) {
        return result == hr::S_OK      ? QString("S_OK")
               : result == hr::S_FALSE ? QString("S_FALSE")
                                       : Hex(result);
    };
    QStringList actual;
    for (const QString& call : calls) {
        if (call == "Co") actual << name(CoInitialize());
        if (call == "Ole") actual << name(OleInitialize());
        if (call == "CoUn") {
            CoUninitialize();
            actual << "-";
        }
        if (call == "OleUn") {
            OleUninitialize();
            actual << "-";
        }
    }
    QCOMPARE(actual, results);
    QCOMPARE(observed, calls);
    QCOMPARE(ComInitializationCount(), com);
    QCOMPARE(OleInitializationCount(), ole);
}

// Initialisation and the observer belong to the calling thread.
void AutomationTest::apartmentIsPerThread() {
    QStringList observed;
    SetApartmentObserver([&observed](ApartmentEvent) { observed << "event"; });
    QCOMPARE(Hex(CoInitialize()), Hex(hr::S_OK));
    ObjectRegistry registry;
    registry.Register("ScriptControl", [] { return std::make_shared<Plain>(); });

    int otherCount = -1;
    HResult otherCreate = hr::S_OK, otherInitialise = hr::E_FAIL;
    std::thread other([&] {
        otherCount = ComInitializationCount();
        ObjectRef object;
        otherCreate = registry.CreateObject("ScriptControl", object);
        otherInitialise = CoInitialize();
        CoUninitialize();
    });
    other.join();

    QCOMPARE(otherCount, 0);
    QCOMPARE(Hex(otherCreate), Hex(hr::CO_E_NOTINITIALIZED));
    QCOMPARE(Hex(otherInitialise), Hex(hr::S_OK));
    QCOMPARE(observed.size(), 1);
    QCOMPARE(ComInitializationCount(), 1);
}

void AutomationTest::stringsHaveOneForm_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("compact");

    QTest::newRow("empty") << "" << true;
    QTest::newRow("digits and commas") << "3,4,5" << true;
    QTest::newRow("longer than a word") << "1234567890.25,1234567890.5" << true;
    QTest::newRow("Chinese") << QString::fromUtf8("中文") << false;
    QTest::newRow("non-ASCII after eight ASCII") << QString::fromUtf8("12345678é") << false;
    QTest::newRow("Latin-1 letter") << QString::fromUtf8("é") << false;
    QTest::newRow("NUL character") << QString(QChar(0)) + "12345678" << false;
}

// A string is held compact exactly when it is ASCII without NUL, whichever way it was made,
// so strings compare by their text and every form reads back unchanged.
void AutomationTest::stringsHaveOneForm() {
    QFETCH(QString, text);
    QFETCH(bool, compact);

    const std::u16string utf16 = text.toStdU16String();
    const String fromUtf16 = String::FromUtf16(utf16);
    QCOMPARE(fromUtf16.isCompact(), compact);
    QCOMPARE(fromUtf16.ToUtf16(), utf16);
    const QByteArray utf8 = text.toUtf8();  // the same bytes as ASCII where the text is ASCII
    const std::string bytes(utf8.constData(), utf8.size());
    QCOMPARE(String::IsAscii(bytes), compact);
    if (compact) {
        const String fromAscii = String::FromAscii(bytes);
        QVERIFY(fromAscii == fromUtf16);
        QCOMPARE(fromAscii.compact(), bytes);
    }
    std::u16string out;
    QCOMPARE(ChangeToString(Variant::FromString(fromUtf16), out), hr::S_OK);
    QCOMPARE(out, utf16);
}

QTEST_APPLESS_MAIN(AutomationTest)
#include "tst_automation.moc"
