// Conversions between Texts (GBK) and Qt strings (UTF-16), and the reading of a document as
// one Text with CR LF line breaks. Reading a box of a million lines has to stay close to the
// cost of copying the document's text out, so the copy is converted in a single pass that
// writes the line breaks as it goes.
#include "platform/window/qt_text.h"

#include <QTextDocument>
#include <algorithm>
#include <cstring>

#include "platform/codepage/codepage.h"

namespace quorvel::window::detail {

namespace {

// Paragraph ends, Shift+Enter's line separator, and the frame markers that toPlainText
// also turns into line breaks (a plain-text document holds none, but they would be ones).
bool IsLineBreak(char16_t unit) {
    return unit == QChar::ParagraphSeparator || unit == QChar::LineSeparator || unit == 0xFDD0 ||
           unit == 0xFDD1;
}

std::u16string_view Utf16View(const QString& text) {
    const QStringView view(text);
    return {view.utf16(), static_cast<std::size_t>(view.size())};
}

}  // namespace

QString QStringFromText(const Text& text) {
    if (text.empty()) return {};
    const std::u16string utf16 = codepage::Utf16FromGbk(text);
    return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

QString QStringFromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Text TextFromQString(const QString& text) {
    if (text.isEmpty()) return {};
    return codepage::GbkFromUtf16(Utf16View(text));
}

Text TextFromDocument(const QTextDocument& document) {
    // toRawText is the document's text as stored: paragraphs separated by U+2029, no
    // clean-up pass over it: the loop below does what toPlainText would clean up.
    const QString raw = document.toRawText();
    const QStringView view(raw);
    const char16_t* const units = view.utf16();
    const auto count = static_cast<std::size_t>(view.size());
    if (count == 0) return {};

    // One pass: ASCII is copied byte for byte, each line break becomes CR LF, and every
    // run of other characters goes through the code page in one call. Each code unit
    // gives at most two bytes, so room for that is reserved; only a run the converter
    // spells out in more outgrows it. The room is taken into use a slice at a time, so
    // that no page is touched beyond the bytes written: a fresh page costs far more than
    // writing it, and ASCII, the usual content, needs only half the room.
    constexpr std::size_t kSliceUnits = 16384;
    Text text;
    text.reserve(2 * count);
    std::size_t used = 0;
    std::size_t i = 0;
    while (i < count) {
        const std::size_t sliceEnd = std::min(count, i + kSliceUnits);
        text.resize(used + 2 * (sliceEnd - i));
        while (i < sliceEnd) {
            const char16_t unit = units[i];
            if (unit < 0x80) {
                text[used++] = static_cast<char>(unit);
                ++i;
            } else if (IsLineBreak(unit)) {
                text[used++] = '\r';
                text[used++] = '\n';
                ++i;
            } else if (unit == QChar::Nbsp) {  // as toPlainText gives it
                text[used++] = ' ';
                ++i;
            } else {
                // A run is converted whole, even where it goes on past the slice.
                std::size_t end = i + 1;
                while (end < count && units[end] >= 0x80 && !IsLineBreak(units[end]) &&
                       units[end] != QChar::Nbsp) {
                    ++end;
                }
                const std::string run = codepage::GbkFromUtf16({units + i, end - i});
                const std::size_t needed =
                    used + run.size() + (end < sliceEnd ? 2 * (sliceEnd - end) : 0);
                if (needed > text.size()) text.resize(needed);
                std::memcpy(text.data() + used, run.data(), run.size());
                used += run.size();
                i = end;
            }
        }
        text.resize(used);
    }
    return text;
}

}  // namespace quorvel::window::detail
