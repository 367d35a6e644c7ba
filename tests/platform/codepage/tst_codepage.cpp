// Conversions between GBK (code page 936) and UTF-16 or UTF-8.
//
// The expected GBK bytes are written as escapes. A few facts of glibc's CP936 table that
// the rows rely on: 0x80 is the euro sign, a single byte; A1A4 is U+00B7 and A1AA U+2014;
// the user-defined areas (AAA1-AFFE, F8A1-FEFE, A140-A7A0) and four-byte sequences are not
// part of it, and neither U+00A5 nor U+30FB can be encoded.
#include <QtTest/QtTest>
#include <string>
#include <string_view>

#include "platform/codepage/codepage.h"

using namespace quorvel::codepage;

namespace {

std::string_view View(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

std::u16string_view View(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())};
}

QByteArray Bytes(const std::string& bytes) {
    return QByteArray::fromStdString(bytes);
}

QString Units(const std::u16string& units) {
    return QString(reinterpret_cast<const QChar*>(units.data()),
                   static_cast<qsizetype>(units.size()));
}

QByteArray AllAscii() {
    QByteArray all;
    for (int c = 1; c < 0x80; ++c) all.append(static_cast<char>(c));
    return all;
}

const QChar kReplacement(0xFFFD);
const QString kEmoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // U+1F600, a surrogate pair

}  // namespace

class CodepageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void gbkFromUtf16_data();
    void gbkFromUtf16();
    void gbkFromUtf8_data();
    void gbkFromUtf8();
    void fromGbk_data();
    void fromGbk();
};

// Texts GBK can hold: the same in both directions, through UTF-16 and through UTF-8.
void CodepageTest::roundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("gbk");

    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("ASCII only") << QString("3,4,5\r\n0.25|x") << QByteArray("3,4,5\r\n0.25|x");
    QTest::newRow("every ASCII value") << QString::fromLatin1(AllAscii()) << AllAscii();
    QTest::newRow("Chinese") << QString::fromUtf8("中文") << QByteArray("\xD6\xD0\xCE\xC4");
    QTest::newRow("counter caption")
        << QString::fromUtf8("当前待计算数有：0 个")
        << QByteArray(
               "\xB5\xB1\xC7\xB0\xB4\xFD\xBC\xC6\xCB\xE3\xCA\xFD\xD3\xD0\xA3\xBA"
               "0 \xB8\xF6");
    QTest::newRow("message with ASCII comma and full-width exclamation mark")
        << QString::fromUtf8("计算脚本加载失败,请重试！")
        << QByteArray(
               "\xBC\xC6\xCB\xE3\xBD\xC5\xB1\xBE\xBC\xD3\xD4\xD8\xCA\xA7\xB0\xDC,"
               "\xC7\xEB\xD6\xD8\xCA\xD4\xA3\xA1");
    QTest::newRow("full-width punctuation")
        << QString::fromUtf8("：，！（）")
        << QByteArray("\xA3\xBA\xA3\xAC\xA3\xA1\xA3\xA8\xA3\xA9");
    QTest::newRow("ideographic space")
        << QString::fromUtf8("\xE3\x80\x80") << QByteArray("\xA1\xA1");
    QTest::newRow("middle dot and em dash")
        << QString::fromUtf8("\xC2\xB7\xE2\x80\x94") << QByteArray("\xA1\xA4\xA1\xAA");
    QTest::newRow("Latin letter with accent")
        << QString::fromUtf8("\xC3\xA9") << QByteArray("\xA8\xA6");
    QTest::newRow("mixed runs") << QString::fromUtf8("a中b文c")
                                << (QByteArray("a\xD6\xD0") + "b\xCE\xC4" + "c");
    QTest::newRow("line breaks between Chinese lines")
        << QString::fromUtf8("中\r\n文\r\n") << QByteArray("\xD6\xD0\r\n\xCE\xC4\r\n");
    QTest::newRow("ASCII-valued second byte") << QString::fromUtf8("丂") << QByteArray("\x81\x40");
    QTest::newRow("ASCII-valued second byte then ASCII")
        << QString::fromUtf8("丂A1") << (QByteArray("\x81\x40") + "A1");
    QTest::newRow("euro sign") << QString::fromUtf8("€") << QByteArray("\x80");
    QTest::newRow("euro sign between digits")
        << QString::fromUtf8("5€3") << (QByteArray("5\x80") + "3");
    QTest::newRow("euro sign before a character with an ASCII-valued second byte")
        << QString::fromUtf8("€丂") << QByteArray("\x80\x81\x40");
    QTest::newRow("euro sign before a character")
        << QString::fromUtf8("€中") << QByteArray("\x80\xD6\xD0");
    QTest::newRow("many euro signs")
        << QString::fromUtf8("€").repeated(300) << QByteArray(300, '\x80');
    QTest::newRow("long mixed text")
        << QString::fromUtf8("计算12345678,€丂\r\n").repeated(200)
        << (QByteArray("\xBC\xC6\xCB\xE3") + "12345678,\x80\x81\x40\r\n").repeated(200);
}

void CodepageTest::roundTrip() {
    QFETCH(QString, text);
    QFETCH(QByteArray, gbk);

    QCOMPARE(Bytes(GbkFromUtf16(View(text))), gbk);
    QCOMPARE(Units(Utf16FromGbk(View(gbk))), text);
    QCOMPARE(Bytes(GbkFromUtf8(View(text.toUtf8()))), gbk);
    QCOMPARE(Bytes(Utf8FromGbk(View(gbk))), text.toUtf8());
}

// A character GBK cannot hold becomes exactly one '?'.
void CodepageTest::gbkFromUtf16_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("gbk");

    QTest::newRow("emoji") << kEmoji << QByteArray("?");
    QTest::newRow("emoji between characters")
        << QString::fromUtf8("a中") + kEmoji + "b" << QByteArray("a\xD6\xD0?b");
    QTest::newRow("two emoji") << kEmoji + kEmoji << QByteArray("??");
    QTest::newRow("emoji before a line break") << kEmoji + "\r\n" << QByteArray("?\r\n");
    QTest::newRow("Hangul syllable") << QString::fromUtf8("한") << QByteArray("?");
    QTest::newRow("katakana middle dot") << QString(QChar(0x30FB)) << QByteArray("?");
    QTest::newRow("yen sign") << QString(QChar(0x00A5)) << QByteArray("?");
    QTest::newRow("private use character") << QString(QChar(0xE000)) << QByteArray("?");
    QTest::newRow("replacement character") << QString(kReplacement) << QByteArray("?");
    QTest::newRow("lone high surrogate before ASCII")
        << QString(QChar(0xD83D)) + "A" << QByteArray("?A");
    QTest::newRow("lone high surrogate before a character")
        << QString(QChar(0xD83D)) + QString::fromUtf8("中") << QByteArray("?\xD6\xD0");
    QTest::newRow("lone high surrogate at the end")
        << "x" + QString(QChar(0xD83D)) << QByteArray("x?");
    QTest::newRow("lone low surrogate") << QString(QChar(0xDE00)) + "A" << QByteArray("?A");
}

void CodepageTest::gbkFromUtf16() {
    QFETCH(QString, text);
    QFETCH(QByteArray, gbk);

    QCOMPARE(Bytes(GbkFromUtf16(View(text))), gbk);
}

// UTF-8 input, including bytes that are not UTF-8: each becomes '?' and the ASCII after it
// is kept.
void CodepageTest::gbkFromUtf8_data() {
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("gbk");

    QTest::newRow("emoji") << QByteArray("\xF0\x9F\x98\x80") << QByteArray("?");
    QTest::newRow("emoji between characters")
        << (QByteArray("a\xE4\xB8\xAD\xF0\x9F\x98\x80") + "b") << QByteArray("a\xD6\xD0?b");
    QTest::newRow("Hangul syllable") << QByteArray("\xED\x95\x9C") << QByteArray("?");
    QTest::newRow("byte 0xFF") << (QByteArray("\xFF") + "A") << QByteArray("?A");
    QTest::newRow("stray continuation byte") << (QByteArray("\x80") + "A") << QByteArray("?A");
    QTest::newRow("two-byte lead before ASCII") << (QByteArray("\xC3") + "A") << QByteArray("?A");
    QTest::newRow("three-byte lead before a line break")
        << QByteArray("\xE4\r\n") << QByteArray("?\r\n");
    QTest::newRow("lead byte at the end") << QByteArray("x\xE4") << QByteArray("x?");
}

void CodepageTest::gbkFromUtf8() {
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, gbk);

    QCOMPARE(Bytes(GbkFromUtf8(View(utf8))), gbk);
}

// Bytes that are not GBK become U+FFFD. A lead byte followed by an ASCII byte, which the
// table does not pair with it, is replaced alone and the ASCII byte is kept; a lead byte
// and a non-ASCII byte that make no character are one character position, one U+FFFD.
void CodepageTest::fromGbk_data() {
    QTest::addColumn<QByteArray>("gbk");
    QTest::addColumn<QString>("text");

    const QString x(kReplacement);
    QTest::newRow("lone lead byte") << QByteArray("\x81") << x;
    QTest::newRow("lone lead byte at the end") << QByteArray("A\xD6") << "A" + x;
    QTest::newRow("lone lead byte after a character")
        << QByteArray("\xD6\xD0\xD6") << QString::fromUtf8("中") + x;
    QTest::newRow("lead byte before a digit") << (QByteArray("\x81") + "1") << x + "1";
    QTest::newRow("lead byte before digits and a comma")
        << (QByteArray("\x81") + "12,3") << x + "12,3";
    QTest::newRow("lead byte before a line break")
        << QByteArray("\xD6\r\n\xCE\xC4") << x + "\r\n" + QString::fromUtf8("文");
    QTest::newRow("lead byte before DEL") << QByteArray("\xA1\x7F") << x + QChar(0x7F);
    QTest::newRow("byte 0xFF before ASCII") << (QByteArray("\xFF") + "A") << x + "A";
    QTest::newRow("byte 0xFF before a character")
        << QByteArray("\xFF\xD6\xD0") << x + QString::fromUtf8("中");
    QTest::newRow("user-defined code before a character")
        << QByteArray("\xAA\xA1\xD6\xD0") << x + QString::fromUtf8("中");
    QTest::newRow("undefined code before a character")
        << QByteArray("\xA6\xD9\xD6\xD0") << x + QString::fromUtf8("中");
    QTest::newRow("undefined code with an ASCII-valued second byte")
        << (QByteArray("\xA1\x40") + "A") << x + "@A";
    QTest::newRow("lead byte before byte 0xFF") << (QByteArray("\x81\xFF") + "A") << x + "A";
    QTest::newRow("four-byte sequence") << QByteArray("\x81\x30\x81\x30") << x + "0" + x + "0";
    QTest::newRow("many invalid bytes") << QByteArray(300, '\xFF') << QString(300, kReplacement);
    QTest::newRow("invalid bytes among valid text")
        << (QByteArray("1\xFF") + "2\xD6\xD0\x81" + "3\r\n\xAA\xA1" + "4")
        << "1" + x + "2" + QString::fromUtf8("中") + x + "3\r\n" + x + "4";
}

void CodepageTest::fromGbk() {
    QFETCH(QByteArray, gbk);
    QFETCH(QString, text);

    QCOMPARE(Units(Utf16FromGbk(View(gbk))), text);
    QCOMPARE(Bytes(Utf8FromGbk(View(gbk))), text.toUtf8());
}

QTEST_APPLESS_MAIN(CodepageTest)
#include "tst_codepage.moc"
