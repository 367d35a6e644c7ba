// The program's text type and the small routines shared by the handlers.
//
// A Text is a byte string in the ANSI code page, GBK. An absent text and an empty text are
// the same thing here: the empty string. Texts are values; whoever holds one owns it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvel::text {

using Text = std::string;
using TextArray = std::vector<Text>;

// Splits `text` at every `delimiter` that begins at a character start (a byte of 0x80 or
// more starts a two-byte character, which is stepped over whole). An empty text gives no
// pieces; an empty delimiter gives the whole text as one piece; pieces between two
// delimiters may be empty, but the rest after the last delimiter is a piece only if it is
// not empty, so "a\r\n" split at "\r\n" gives one piece and "\r\n" one empty piece.
TextArray SplitText(std::string_view text, std::string_view delimiter);

// How many pieces SplitText(text, delimiter) gives, found by the same walk without making
// them: a count of a million lines needs no million strings.
size_t CountPieces(std::string_view text, std::string_view delimiter);

// Whether a character begins at byte `position` of `text`: a byte of 0x80 or more starts a
// two-byte character, so the byte after it is never a character start.
bool IsCharacterStart(std::string_view text, size_t position);

// Plain decimal, a leading '-' for negatives, no grouping.
Text IntToText(long long value);

}  // namespace quorvel::text
