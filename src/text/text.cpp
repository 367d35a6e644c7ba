#include "text/text.h"

#include "text/scan.h"

namespace quorvel::text {

namespace {

// The pieces of SplitText, each handed to `piece` in order as a view into `text`.
template <typename OnPiece>
void ForEachPiece(std::string_view text, std::string_view delimiter, OnPiece&& piece) {
    if (text.empty()) return;
    if (delimiter.empty()) {
        piece(text);
        return;
    }
    size_t pieceStart = 0;
    for (;;) {
        const size_t match = detail::FindAtCharacterStart(text, pieceStart, delimiter, true);
        if (match == text.size()) break;
        piece(text.substr(pieceStart, match - pieceStart));
        pieceStart = match + delimiter.size();
    }
    if (pieceStart < text.size()) piece(text.substr(pieceStart));
}

}  // namespace

TextArray SplitText(std::string_view text, std::string_view delimiter) {
    TextArray pieces;
    ForEachPiece(text, delimiter,
                 [&pieces](std::string_view piece) { pieces.emplace_back(piece); });
    return pieces;
}

size_t CountPieces(std::string_view text, std::string_view delimiter) {
    size_t count = 0;
    ForEachPiece(text, delimiter, [&count](std::string_view) { ++count; });
    return count;
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
