// The shared text routines: SplitText, CountPieces, IsCharacterStart, IntToText, ReplaceText,
// ReplaceInPlace and BatchReplace, on GBK byte strings.
//
// GBK characters are written as escapes: "\xD6\xD0" is 中, "\xCE\xC4" is 文, "\xA3\xAC" is
// the full-width comma. "\x81\x7C" and "\x81\x41" are GBK characters whose second byte has
// the value of an ASCII character ('|' and 'A'); the routines must step over such a pair
// as one character.
#include <QtTest/QtTest>
#include <climits>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "text/batch_replace.h"
#include "text/text.h"

using quorvel::text::BatchReplace;
using quorvel::text::CountPieces;
using quorvel::text::IntToText;
using quorvel::text::IsCharacterStart;
using quorvel::text::ReplaceInPlace;
using quorvel::text::ReplaceText;
using quorvel::text::SplitText;

using OptionalInt = std::optional<int>;
using OptionalBool = std::optional<bool>;
Q_DECLARE_METATYPE(OptionalInt)
Q_DECLARE_METATYPE(OptionalBool)

namespace {

const OptionalInt kNoInt;
const OptionalBool kNoBool;

std::string_view View(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

QByteArray Bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}

// The matching rule walked plainly, one character at a time: the routines scan faster (whole
// words of ASCII bytes at a time) and must agree with it on every text.
bool MatchesPlainly(const std::string& text, size_t at, const std::string& find,
                    bool caseSensitive) {
    const auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (size_t k = 0; k < find.size(); ++k) {
        const auto a = static_cast<unsigned char>(text[at + k]);
        const auto b = static_cast<unsigned char>(find[k]);
        if (a != b && (caseSensitive || fold(a) != fold(b))) return false;
    }
    return true;
}

size_t CharacterWidth(const std::string& text, size_t at) {
    return static_cast<unsigned char>(text[at]) >= 0x80 && at + 1 < text.size() ? 2 : 1;
}

std::string ReplacePlainly(const std::string& text, const std::string& find,
                           const std::string& replacement, int start, std::optional<int> count,
                           bool caseSensitive) {
    const size_t offset = start < 1 ? 0 : static_cast<size_t>(start) - 1;
    if (text.empty() || find.empty() || offset >= text.size() || count == 0) return text;
    int remaining = count.value_or(-1);
    std::string result = text.substr(0, offset);
    size_t pos = offset;
    while (pos + find.size() <= text.size()) {
        if (MatchesPlainly(text, pos, find, caseSensitive)) {
            result += replacement;
            pos += find.size();
            if (remaining > 0 && --remaining == 0) break;
        } else {
            result.append(text, pos, CharacterWidth(text, pos));
            pos += CharacterWidth(text, pos);
        }
    }
    return result + text.substr(pos);
}

std::vector<std::string> SplitPlainly(const std::string& text, const std::string& delimiter) {
    if (text.empty()) return {};
    if (delimiter.empty()) return {text};
    std::vector<std::string> pieces;
    size_t pieceStart = 0, pos = 0;
    while (pos + delimiter.size() <= text.size()) {
        if (MatchesPlainly(text, pos, delimiter, true)) {
            pieces.push_back(text.substr(pieceStart, pos - pieceStart));
            pieceStart = pos += delimiter.size();
        } else {
            pos += CharacterWidth(text, pos);
        }
    }
    if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
    return pieces;
}

QString Escaped(const std::string& bytes) {
    QString out;
    for (unsigned char c : bytes) {
        out += (c >= 0x20 && c < 0x7F) ? QString(QChar(c))
                                       : QStringLiteral("\\x%1").arg(c, 2, 16, QChar('0'));
    }
    return out;
}

}  // namespace

class TextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void splitText_data();
    void splitText();
    void countPieces_data();
    void countPieces();
    void isCharacterStart_data();
    void isCharacterStart();
    void intToText_data();
    void intToText();
    void replaceText_data();
    void replaceText();
    void batchReplace_data();
    void batchReplace();
    void scanAgreesWithPlainWalk();
};

void TextTest::splitText_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("delimiter");
    QTest::addColumn<QByteArrayList>("pieces");

    QTest::newRow("empty text gives no pieces")
        << QByteArray() << QByteArray("|") << QByteArrayList();
    QTest::newRow("empty text and empty delimiter")
        << QByteArray() << QByteArray() << QByteArrayList();
    QTest::newRow("empty delimiter gives the whole text")
        << QByteArray("a\r\nb") << QByteArray() << QByteArrayList{"a\r\nb"};
    QTest::newRow("delimiter absent gives the whole text")
        << QByteArray("abc") << QByteArray("|") << QByteArrayList{"abc"};
    QTest::newRow("script answer in four fields")
        << QByteArray("3|4|1|0.25") << QByteArray("|") << QByteArrayList{"3", "4", "1", "0.25"};
    QTest::newRow("empty answer fields are pieces")
        << QByteArray("||x|") << QByteArray("|") << QByteArrayList{"", "", "x"};
    QTest::newRow("three lines") << QByteArray("3\r\n4\r\n5") << QByteArray("\r\n")
                                 << QByteArrayList{"3", "4", "5"};
    QTest::newRow("empty line in the middle")
        << QByteArray("a\r\n\r\nb") << QByteArray("\r\n") << QByteArrayList{"a", "", "b"};
    QTest::newRow("trailing line break gives no empty last piece")
        << QByteArray("a\r\nb\r\n") << QByteArray("\r\n") << QByteArrayList{"a", "b"};
    QTest::newRow("one bare line break")
        << QByteArray("\r\n") << QByteArray("\r\n") << QByteArrayList{""};
    QTest::newRow("two bare line breaks")
        << QByteArray("\r\n\r\n") << QByteArray("\r\n") << QByteArrayList{"", ""};
    QTest::newRow("leading line break gives an empty first piece")
        << QByteArray("\r\na") << QByteArray("\r\n") << QByteArrayList{"", "a"};
    QTest::newRow("lone CR and lone LF are not line breaks")
        << QByteArray("a\rb\nc") << QByteArray("\r\n") << QByteArrayList{"a\rb\nc"};
    QTest::newRow("LF CR is not a line break")
        << QByteArray("a\n\rb") << QByteArray("\r\n") << QByteArrayList{"a\n\rb"};
    QTest::newRow("CR just before a line break stays in the piece")
        << QByteArray("a\r\r\nb") << QByteArray("\r\n") << QByteArrayList{"a\r", "b"};
    QTest::newRow("text shorter than the delimiter")
        << QByteArray("\r") << QByteArray("\r\n") << QByteArrayList{"\r"};
    QTest::newRow("matches do not overlap")
        << QByteArray("aaa") << QByteArray("aa") << QByteArrayList{"", "a"};
    QTest::newRow("comparison is exact, case included")
        << QByteArray("aXb") << QByteArray("x") << QByteArrayList{"aXb"};
    QTest::newRow("Chinese lines") << QByteArray("\xD6\xD0\r\n\xCE\xC4") << QByteArray("\r\n")
                                   << QByteArrayList{"\xD6\xD0", "\xCE\xC4"};
    QTest::newRow("second byte of a double-byte character is not a delimiter")
        << QByteArray("x\x81|y|z") << QByteArray("|") << QByteArrayList{"x\x81|y", "z"};
    QTest::newRow("double-byte delimiter")
        << (QByteArray("3\xA3\xAC") + "4") << QByteArray("\xA3\xAC") << QByteArrayList{"3", "4"};
    QTest::newRow("double-byte delimiter across two characters does not match")
        << QByteArray("\xD6\xD0\xD0\xC4") << QByteArray("\xD0\xD0")
        << QByteArrayList{"\xD6\xD0\xD0\xC4"};
    QTest::newRow("lone lead byte at the end stays in the last piece")
        << QByteArray("a|b\xD6") << QByteArray("|") << QByteArrayList{"a", "b\xD6"};
    QTest::newRow("lone lead byte alone after the last delimiter")
        << QByteArray("a|\xD6") << QByteArray("|") << QByteArrayList{"a", "\xD6"};
    QTest::newRow("lead byte takes the CR of a line break as its second byte")
        << QByteArray("a\x81\r\nb") << QByteArray("\r\n") << QByteArrayList{"a\x81\r\nb"};
    QTest::newRow("euro sign, one byte of 0x80, takes the CR of a line break too")
        << QByteArray("3\x80\r\n4\r\n5") << QByteArray("\r\n")
        << QByteArrayList{"3\x80\r\n4", "5"};
    QTest::newRow("long lines") << QByteArray("12345678901\r\n2.5\r\n12345678901234567")
                                << QByteArray("\r\n")
                                << QByteArrayList{"12345678901", "2.5", "12345678901234567"};
    QTest::newRow("second byte after a long ASCII run")
        << QByteArray("abcdefghij\x81|k|l") << QByteArray("|")
        << QByteArrayList{"abcdefghij\x81|k", "l"};
}

void TextTest::splitText() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, delimiter);
    QFETCH(QByteArrayList, pieces);

    QByteArrayList actual;
    for (const auto& piece : SplitText(View(text), View(delimiter))) actual << Bytes(piece);
    QCOMPARE(actual, pieces);
}

// The count walks the text by the same rule as the split: every row of the split's table,
// a lead byte that takes the CR of a line break included, must give as many.
void TextTest::countPieces_data() { splitText_data(); }

void TextTest::countPieces() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, delimiter);
    QFETCH(QByteArrayList, pieces);

    QCOMPARE(CountPieces(View(text), View(delimiter)), static_cast<size_t>(pieces.size()));
    QCOMPARE(CountPieces(View(text), View(delimiter)),
             SplitText(View(text), View(delimiter)).size());
}

void TextTest::isCharacterStart_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("start");

    QTest::newRow("start of an empty text") << QByteArray() << 0 << true;
    QTest::newRow("ASCII byte") << QByteArray("ab") << 1 << true;
    QTest::newRow("lead byte") << QByteArray("a\xD6\xD0") << 1 << true;
    QTest::newRow("second byte") << QByteArray("a\xD6\xD0") << 2 << false;
    QTest::newRow("after a double-byte character") << (QByteArray("\xD6\xD0") + "a") << 2 << true;
    QTest::newRow("ASCII-valued second byte") << QByteArray("a\x81|") << 2 << false;
    QTest::newRow("second character of a run") << QByteArray("\xD6\xD0\xCE\xC4") << 2 << true;
    QTest::newRow("second byte of the second character")
        << QByteArray("\xD6\xD0\xCE\xC4") << 3 << false;
    QTest::newRow("after an ASCII-valued second byte")
        << QByteArray("\x81\x41\xD6\xD0") << 2 << true;
    QTest::newRow("line break after a character") << QByteArray("\xD6\xD0\r\n") << 2 << true;
    QTest::newRow("CR taken by a lone lead byte") << QByteArray("\xD6\r\n") << 1 << false;
    QTest::newRow("end of text after a lone lead byte") << QByteArray("a\xD6") << 2 << false;
    QTest::newRow("end of text after a whole character") << QByteArray("\xD6\xD0") << 2 << true;
}

void TextTest::isCharacterStart() {
    QFETCH(QByteArray, text);
    QFETCH(int, position);
    QFETCH(bool, start);

    QCOMPARE(IsCharacterStart(View(text), static_cast<size_t>(position)), start);
}

void TextTest::intToText_data() {
    QTest::addColumn<qlonglong>("value");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("zero") << 0LL << QByteArray("0");
    QTest::newRow("one digit") << 7LL << QByteArray("7");
    QTest::newRow("negative") << -1LL << QByteArray("-1");
    QTest::newRow("no grouping") << 1000000LL << QByteArray("1000000");
    QTest::newRow("largest int") << static_cast<qlonglong>(INT_MAX) << QByteArray("2147483647");
    QTest::newRow("smallest long long")
        << static_cast<qlonglong>(LLONG_MIN) << QByteArray("-9223372036854775808");
}

void TextTest::intToText() {
    QFETCH(qlonglong, value);
    QFETCH(QByteArray, text);

    QCOMPARE(Bytes(IntToText(value)), text);
}

void TextTest::replaceText_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("find");
    QTest::addColumn<QByteArray>("replacement");
    QTest::addColumn<int>("start");
    QTest::addColumn<OptionalInt>("count");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray abc("a,b,c");
    QTest::newRow("every match") << abc << QByteArray(",") << QByteArray(";") << 1 << kNoInt
                                 << false << QByteArray("a;b;c");
    QTest::newRow("line breaks to commas")
        << QByteArray("3\r\n4\r\n5") << QByteArray("\r\n") << QByteArray(",") << 1 << kNoInt
        << false << QByteArray("3,4,5");
    QTest::newRow("empty replacement deletes")
        << abc << QByteArray(",") << QByteArray() << 1 << kNoInt << false << QByteArray("abc");
    QTest::newRow("matches do not overlap")
        << QByteArray("aaaa") << QByteArray("aa") << QByteArray("a") << 1 << kNoInt << false
        << QByteArray("aa");
    QTest::newRow("odd run leaves the last byte")
        << QByteArray("aaaaa") << QByteArray("aa") << QByteArray("b") << 1 << kNoInt << false
        << QByteArray("bba");
    QTest::newRow("replacement is not scanned again")
        << QByteArray("aXa") << QByteArray("a") << QByteArray("aa") << 1 << kNoInt << false
        << QByteArray("aaXaa");
    QTest::newRow("matches past a run of eight ASCII bytes")
        << QByteArray("abcdefgh,ijklmnopq,r") << QByteArray(",") << QByteArray(";") << 1 << kNoInt
        << false << QByteArray("abcdefgh;ijklmnopq;r");
    QTest::newRow("find text cut off by the end of a long text")
        << QByteArray("abcdefghijklmnopq\r") << QByteArray("\r\n") << QByteArray(",") << 1 << kNoInt
        << false << QByteArray("abcdefghijklmnopq\r");
    QTest::newRow("find longer than text")
        << QByteArray("ab") << QByteArray("abc") << QByteArray("x") << 1 << kNoInt << false
        << QByteArray("ab");

    // Start position: 1-based; the bytes before it are copied unchanged.
    QTest::newRow("start 3") << abc << QByteArray(",") << QByteArray(";") << 3 << kNoInt << false
                             << QByteArray("a,b;c");
    QTest::newRow("start on the match")
        << abc << QByteArray(",") << QByteArray(";") << 4 << kNoInt << false << QByteArray("a,b;c");
    QTest::newRow("start on the last byte")
        << abc << QByteArray(",") << QByteArray(";") << 5 << kNoInt << false << abc;
    QTest::newRow("start just past the end")
        << abc << QByteArray(",") << QByteArray(";") << 6 << kNoInt << false << abc;
    QTest::newRow("start far past the end")
        << abc << QByteArray(",") << QByteArray(";") << 1000 << kNoInt << false << abc;
    QTest::newRow("start 0 acts as 1")
        << abc << QByteArray(",") << QByteArray(";") << 0 << kNoInt << false << QByteArray("a;b;c");
    QTest::newRow("negative start acts as 1") << abc << QByteArray(",") << QByteArray(";") << -7
                                              << kNoInt << false << QByteArray("a;b;c");
    QTest::newRow("smallest int start acts as 1")
        << abc << QByteArray(",") << QByteArray(";") << INT_MIN << kNoInt << false
        << QByteArray("a;b;c");

    // Count: positive limits, 0 replaces nothing, negative or missing has no limit.
    QTest::newRow("count 1") << abc << QByteArray(",") << QByteArray(";") << 1 << OptionalInt(1)
                             << false << QByteArray("a;b,c");
    QTest::newRow("count equal to the matches") << abc << QByteArray(",") << QByteArray(";") << 1
                                                << OptionalInt(2) << false << QByteArray("a;b;c");
    QTest::newRow("count above the matches") << abc << QByteArray(",") << QByteArray(";") << 1
                                             << OptionalInt(9) << false << QByteArray("a;b;c");
    QTest::newRow("count 0") << abc << QByteArray(",") << QByteArray(";") << 1 << OptionalInt(0)
                             << false << abc;
    QTest::newRow("count -5") << abc << QByteArray(",") << QByteArray(";") << 1 << OptionalInt(-5)
                              << false << QByteArray("a;b;c");
    QTest::newRow("count counted from the start position")
        << QByteArray("a,b,c,d") << QByteArray(",") << QByteArray(";") << 3 << OptionalInt(1)
        << false << QByteArray("a,b;c,d");

    // Unchanged copies.
    QTest::newRow("empty text") << QByteArray() << QByteArray(",") << QByteArray(";") << 1 << kNoInt
                                << false << QByteArray();
    QTest::newRow("empty find") << abc << QByteArray() << QByteArray(";") << 1 << kNoInt << false
                                << abc;
    QTest::newRow("no match") << abc << QByteArray("x") << QByteArray(";") << 1 << kNoInt << false
                              << abc;

    // Case: without caseSensitive only ASCII letters fold, byte by byte.
    const QByteArray cases("AB Ab aB ab");
    QTest::newRow("ignoring case matches every spelling")
        << cases << QByteArray("ab") << QByteArray("x") << 1 << kNoInt << false
        << QByteArray("x x x x");
    QTest::newRow("ignoring case with a capital find text")
        << cases << QByteArray("AB") << QByteArray("x") << 1 << kNoInt << false
        << QByteArray("x x x x");
    QTest::newRow("case-sensitive matches the exact spelling only")
        << cases << QByteArray("ab") << QByteArray("x") << 1 << kNoInt << true
        << QByteArray("AB Ab aB x");
    QTest::newRow("capital spelling past a run of eight ASCII bytes")
        << QByteArray("xxxxxxxxxxxxxxAB") << QByteArray("ab") << QByteArray("#") << 1 << kNoInt
        << false << QByteArray("xxxxxxxxxxxxxx#");
    QTest::newRow("replacement keeps its own case")
        << QByteArray("Ab") << QByteArray("ab") << QByteArray("Cd") << 1 << kNoInt << false
        << QByteArray("Cd");
    QTest::newRow("brackets are not letters")
        << QByteArray("[{") << QByteArray("{") << QByteArray("x") << 1 << kNoInt << false
        << QByteArray("[x");
    QTest::newRow("at sign and backquote are not letters")
        << QByteArray("@`") << QByteArray("`") << QByteArray("x") << 1 << kNoInt << false
        << QByteArray("@x");
    QTest::newRow("ASCII-capital second byte folds without caseSensitive")
        << (QByteArray("x\x81") + "Ay") << (QByteArray("\x81") + "a") << QByteArray("#") << 1
        << kNoInt << false << QByteArray("x#y");
    QTest::newRow("ASCII-capital second byte is exact with caseSensitive")
        << (QByteArray("x\x81") + "Ay") << (QByteArray("\x81") + "a") << QByteArray("#") << 1
        << kNoInt << true << (QByteArray("x\x81") + "Ay");
    QTest::newRow("high bytes never fold")
        << QByteArray("\xC1\xA1") << QByteArray("\xE1\xA1") << QByteArray("#") << 1 << kNoInt
        << false << QByteArray("\xC1\xA1");

    // Double-byte characters are stepped over whole.
    QTest::newRow("second byte of a character is not a match start")
        << QByteArray("x\x81|y|") << QByteArray("|") << QByteArray(";") << 1 << kNoInt << false
        << QByteArray("x\x81|y;");
    QTest::newRow("ASCII-letter second byte is not a match start, any case")
        << (QByteArray("\x81") + "A") << QByteArray("a") << QByteArray("#") << 1 << kNoInt << false
        << (QByteArray("\x81") + "A");
    QTest::newRow("second byte after a long ASCII run")
        << QByteArray("abcdefghij\x81|k|") << QByteArray("|") << QByteArray(";") << 1 << kNoInt
        << false << QByteArray("abcdefghij\x81|k;");
    QTest::newRow("double-byte find")
        << (QByteArray("3\xA3\xAC") + "4") << QByteArray("\xA3\xAC") << QByteArray(",") << 1
        << kNoInt << false << QByteArray("3,4");
    QTest::newRow("double-byte find across two characters does not match")
        << QByteArray("\xD6\xD0\xD0\xC4") << QByteArray("\xD0\xD0") << QByteArray("#") << 1
        << kNoInt << false << QByteArray("\xD6\xD0\xD0\xC4");
    QTest::newRow("Chinese around the matches")
        << QByteArray("\xD6\xD0\r\n\xCE\xC4") << QByteArray("\r\n") << QByteArray(",") << 1
        << kNoInt << false << QByteArray("\xD6\xD0,\xCE\xC4");

    // A lone byte of 0x80 or more at the end is kept, matched or not.
    QTest::newRow("lone high byte at the end after a match")
        << QByteArray("a,b\xD6") << QByteArray(",") << QByteArray(";") << 1 << kNoInt << false
        << QByteArray("a;b\xD6");
    QTest::newRow("lone high byte at the end, no match")
        << QByteArray("ab\xB0") << QByteArray(",") << QByteArray(";") << 1 << kNoInt << false
        << QByteArray("ab\xB0");
    QTest::newRow("lone high byte as the whole text")
        << QByteArray("\xB0") << QByteArray(",") << QByteArray(";") << 1 << kNoInt << false
        << QByteArray("\xB0");
    QTest::newRow("lone high byte after a character")
        << QByteArray("\xD6\xD0\xB0") << QByteArray("x") << QByteArray(";") << 1 << kNoInt << false
        << QByteArray("\xD6\xD0\xB0");
}

void TextTest::replaceText() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, find);
    QFETCH(QByteArray, replacement);
    QFETCH(int, start);
    QFETCH(OptionalInt, count);
    QFETCH(bool, caseSensitive);
    QFETCH(QByteArray, expected);

    QCOMPARE(
        Bytes(ReplaceText(View(text), View(find), View(replacement), start, count, caseSensitive)),
        expected);

    // The same pass inside the text's own buffer, which moves every piece towards the front.
    std::string own(text.constData(), static_cast<size_t>(text.size()));
    ReplaceInPlace(own, View(find), View(replacement), start, count, caseSensitive);
    QCOMPARE(Bytes(own), expected);
}

void TextTest::batchReplace_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<OptionalInt>("replaceCount");
    QTest::addColumn<OptionalInt>("startPosition");
    QTest::addColumn<OptionalBool>("caseSensitive");
    // find1, replacement1, then the pairs given after it, alternating.
    QTest::addColumn<QByteArrayList>("pairs");
    QTest::addColumn<QByteArray>("expected");

    const QByteArrayList crlfToComma{"\r\n", ","};
    QTest::newRow("three lines") << QByteArray("3\r\n4\r\n5") << kNoInt << kNoInt << kNoBool
                                 << crlfToComma << QByteArray("3,4,5");
    QTest::newRow("empty line") << QByteArray("a\r\n\r\nb") << kNoInt << kNoInt << kNoBool
                                << crlfToComma << QByteArray("a,,b");
    QTest::newRow("trailing line break") << QByteArray("a\r\nb\r\n") << kNoInt << kNoInt << kNoBool
                                         << crlfToComma << QByteArray("a,b,");
    QTest::newRow("two bare line breaks")
        << QByteArray("\r\n\r\n") << kNoInt << kNoInt << kNoBool << crlfToComma << QByteArray(",,");
    QTest::newRow("lone CR and lone LF stay") << QByteArray("1\r2\n3\r\n4") << kNoInt << kNoInt
                                              << kNoBool << crlfToComma << QByteArray("1\r2\n3,4");
    QTest::newRow("Chinese lines") << QByteArray("\xD6\xD0\r\n\xCE\xC4") << kNoInt << kNoInt
                                   << kNoBool << crlfToComma << QByteArray("\xD6\xD0,\xCE\xC4");
    QTest::newRow("lone high byte at the end is kept")
        << QByteArray("3\r\n4\xB0") << kNoInt << kNoInt << kNoBool << crlfToComma
        << QByteArray("3,4\xB0");
    QTest::newRow("empty text") << QByteArray() << kNoInt << kNoInt << kNoBool << crlfToComma
                                << QByteArray();
    QTest::newRow("empty find") << QByteArray("a,b") << kNoInt << kNoInt << kNoBool
                                << QByteArrayList{"", ";"} << QByteArray("a,b");
    QTest::newRow("aaaa with aa to a") << QByteArray("aaaa") << kNoInt << kNoInt << kNoBool
                                       << QByteArrayList{"aa", "a"} << QByteArray("aa");

    // Passes run in order, each on the result of the one before.
    QTest::newRow("a to b, then b to c") << QByteArray("a") << kNoInt << kNoInt << kNoBool
                                         << QByteArrayList{"a", "b", "b", "c"} << QByteArray("c");
    QTest::newRow("b to c, then a to b") << QByteArray("ab") << kNoInt << kNoInt << kNoBool
                                         << QByteArrayList{"b", "c", "a", "b"} << QByteArray("bc");
    QTest::newRow("all five pairs")
        << QByteArray("1") << kNoInt << kNoInt << kNoBool
        << QByteArrayList{"1", "2", "2", "3", "3", "4", "4", "5", "5", "6"} << QByteArray("6");
    QTest::newRow("fifth pair alone after empty ones")
        << QByteArray("a,b") << kNoInt << kNoInt << kNoBool
        << QByteArrayList{",", ";", "", "", "", "", "", "", ";", "-"} << QByteArray("a-b");
    QTest::newRow("later pair deletes what an earlier one put in")
        << QByteArray("a\r\nb") << kNoInt << kNoInt << kNoBool
        << QByteArrayList{"\r\n", ",", ",", ""} << QByteArray("ab");

    // Case: ignored unless caseSensitive is given as true.
    const QByteArray cases("AB Ab aB ab");
    const QByteArrayList abToX{"ab", "x"};
    QTest::newRow("caseSensitive missing")
        << cases << kNoInt << kNoInt << kNoBool << abToX << QByteArray("x x x x");
    QTest::newRow("caseSensitive false")
        << cases << kNoInt << kNoInt << OptionalBool(false) << abToX << QByteArray("x x x x");
    QTest::newRow("caseSensitive true")
        << cases << kNoInt << kNoInt << OptionalBool(true) << abToX << QByteArray("AB Ab aB x");

    // Start position, passed to every pass.
    const QByteArray abc("a,b,c");
    const QByteArrayList commaToSemicolon{",", ";"};
    QTest::newRow("start 3") << abc << kNoInt << OptionalInt(3) << kNoBool << commaToSemicolon
                             << QByteArray("a,b;c");
    QTest::newRow("start 6") << abc << kNoInt << OptionalInt(6) << kNoBool << commaToSemicolon
                             << abc;
    QTest::newRow("start 7") << abc << kNoInt << OptionalInt(7) << kNoBool << commaToSemicolon
                             << abc;
    QTest::newRow("start 0") << abc << kNoInt << OptionalInt(0) << kNoBool << commaToSemicolon
                             << QByteArray("a;b;c");
    QTest::newRow("start -2") << abc << kNoInt << OptionalInt(-2) << kNoBool << commaToSemicolon
                              << QByteArray("a;b;c");
    QTest::newRow("start missing")
        << abc << kNoInt << kNoInt << kNoBool << commaToSemicolon << QByteArray("a;b;c");
    QTest::newRow("start applies to the second pass too")
        << abc << kNoInt << OptionalInt(3) << kNoBool << QByteArrayList{",", ";", "a", "x"}
        << QByteArray("a,b;c");
    QTest::newRow("second pass starts on the text the first made")
        << abc << kNoInt << OptionalInt(3) << kNoBool << QByteArrayList{",", ",,", ",", ";"}
        << QByteArray("a,b;;c");

    // Count: 0 given is not the same as missing; counted afresh in every pass.
    QTest::newRow("count 1") << abc << OptionalInt(1) << kNoInt << kNoBool << commaToSemicolon
                             << QByteArray("a;b,c");
    QTest::newRow("count 0") << abc << OptionalInt(0) << kNoInt << kNoBool << commaToSemicolon
                             << abc;
    QTest::newRow("count -5") << abc << OptionalInt(-5) << kNoInt << kNoBool << commaToSemicolon
                              << QByteArray("a;b;c");
    QTest::newRow("count missing")
        << abc << kNoInt << kNoInt << kNoBool << commaToSemicolon << QByteArray("a;b;c");
    QTest::newRow("count 0 holds for every pass")
        << abc << OptionalInt(0) << kNoInt << kNoBool << QByteArrayList{",", ";", "a", "x"} << abc;
    QTest::newRow("count 1 afresh in each pass")
        << abc << OptionalInt(1) << kNoInt << kNoBool << QByteArrayList{",", ";", ",", ":"}
        << QByteArray("a;b:c");
    QTest::newRow("count and start together")
        << QByteArray("a,b,c,d") << OptionalInt(1) << OptionalInt(3) << kNoBool << commaToSemicolon
        << QByteArray("a,b;c,d");
}

void TextTest::batchReplace() {
    QFETCH(QByteArray, text);
    QFETCH(OptionalInt, replaceCount);
    QFETCH(OptionalInt, startPosition);
    QFETCH(OptionalBool, caseSensitive);
    QFETCH(QByteArrayList, pairs);
    QFETCH(QByteArray, expected);

    QVERIFY(pairs.size() >= 2 && pairs.size() <= 10 && pairs.size() % 2 == 0);
    std::optional<std::string_view> given[10];
    for (int i = 0; i < pairs.size(); ++i) given[i] = View(pairs[i]);
    const std::string result = BatchReplace(View(text), replaceCount, startPosition, caseSensitive,
                                            *given[0], *given[1], given[2], given[3], given[4],
                                            given[5], given[6], given[7], given[8], given[9]);
    QCOMPARE(Bytes(result), expected);
}

void TextTest::scanAgreesWithPlainWalk() {
    // Letters of both cases, the line-break bytes, a comma and high bytes, in texts long
    // enough for the word-at-a-time skipping, with the find text drawn from the same bytes.
    static const char kAlphabet[] = {'a', 'A', 'b', 'B',    ',',    '\r',   '\n',
                                     'x', 'y', 'z', '\x81', '\xD6', '\xD0', '\xC1'};
    std::mt19937 random(20240611);
    const auto draw = [&](int lowest, int highest) {
        return std::uniform_int_distribution<int>(lowest, highest)(random);
    };
    const auto makeText = [&](int maxLength) {
        std::string text(static_cast<size_t>(draw(0, maxLength)), ' ');
        for (char& c : text) {
            // Mostly filler, so that runs of eight bytes without a candidate occur.
            c = draw(0, 2) == 0 ? kAlphabet[draw(0, sizeof kAlphabet - 1)] : 'x';
        }
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string text = makeText(40);
        std::string find = makeText(3);
        if (find.empty()) find = ",";
        const std::string replacement = makeText(2);
        const int start = draw(-1, static_cast<int>(text.size()) + 2);
        const std::optional<int> count =
            draw(0, 3) == 0 ? std::nullopt : std::optional<int>(draw(-1, 3));
        const bool caseSensitive = draw(0, 1) == 1;
        const QString inputs = QStringLiteral(
                                   "text \"%1\" find \"%2\" replacement \"%3\" "
                                   "start %4 count %5 caseSensitive %6")
                                   .arg(Escaped(text), Escaped(find), Escaped(replacement))
                                   .arg(start)
                                   .arg(count ? QString::number(*count) : QStringLiteral("none"))
                                   .arg(caseSensitive);

        const std::string replaced =
            ReplaceText(text, find, replacement, start, count, caseSensitive);
        const std::string expected =
            ReplacePlainly(text, find, replacement, start, count, caseSensitive);
        QVERIFY2(replaced == expected,
                 qPrintable(inputs + QStringLiteral(": got \"%1\", expected \"%2\"")
                                         .arg(Escaped(replaced), Escaped(expected))));
        std::string inPlace = text;
        ReplaceInPlace(inPlace, find, replacement, start, count, caseSensitive);
        QVERIFY2(inPlace == expected,
                 qPrintable(inputs + QStringLiteral(": in place got \"%1\", expected \"%2\"")
                                         .arg(Escaped(inPlace), Escaped(expected))));
        QVERIFY2(SplitText(text, find) == SplitPlainly(text, find), qPrintable(inputs));
        QVERIFY2(CountPieces(text, find) == SplitPlainly(text, find).size(), qPrintable(inputs));
    }
}

QTEST_APPLESS_MAIN(TextTest)
#include "tst_text.moc"
