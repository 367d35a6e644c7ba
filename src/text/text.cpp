#include "text/text.h"

#include "text/scan.h"

namespace quorvel::text {

TextArray SplitText(std::string_view text, std::string_view delimiter) {
    TextArray pieces;
    if (text.empty()) return pieces;
    if (delimiter.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    size_t pieceStart = 0;
    for (;;) {
        const size_t match = detail::FindAtCharacterStart(text, pieceStart, delimiter, true);
        if (match == text.size()) break;
        pieces.emplace_back(text.substr(pieceStart, match - pieceStart));
        pieceStart = match + delimiter.size();
    }
    if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
    return pieces;
}

bool IsCharacterStart(std::string_view text, size_t position) {
    // A byte below 0x80 always ends a character, as a single byte or as a trail byte; from
    // the last one before `position`, the bytes of 0x80 or more pair up as whole characters.
    size_t runStart = position;
    while (runStart > 0 && static_cast<unsigned char>(text[runStart - 1]) >= 0x80) --runStart;
    return (position - runStart) % 2 == 0;
}

Text IntToText(long long value) { return std::to_string(value); }

}  // namespace quorvel::text
