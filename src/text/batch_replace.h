// Find-and-replace over Texts: one pass (ReplaceText) and up to five pairs in a row
// (BatchReplace), which is how the input lines become one comma-separated text.
//
// Matches are found left to right at character starts only (see scan.h), never overlap,
// and a replacement once put in is not scanned again in the same pass. Without
// caseSensitive only the ASCII letters are folded. No input byte is ever lost: a text that
// ends in a lone byte of 0x80 or more keeps that byte.
#pragma once

#include <optional>
#include <string_view>

#include "text/text.h"

namespace quorvel::text {

// One pass from the 1-based `start` (below 1 counts as 1). The bytes before it are copied
// unchanged. A missing or negative `count` replaces every match, a positive one at most
// that many, 0 none.
Text ReplaceText(std::string_view text, std::string_view find, std::string_view replacement,
                 int start, std::optional<int> count, bool caseSensitive);

// ReplaceText on a text the caller owns, leaving the result in it. When the replacement is
// no longer than the find text, as when line breaks become commas, the result is built
// inside the text's own buffer: a large text is neither copied nor given a second buffer.
// `find` and `replacement` must not point into `text`, whose bytes are overwritten.
void ReplaceInPlace(Text& text, std::string_view find, std::string_view replacement, int start,
                    std::optional<int> count, bool caseSensitive);

// Applies the pairs 1 to 5 in order, each pass on the result of the one before, with
// `startPosition` (missing or 0 means 1) and `replaceCount` counted afresh in each pass.
// A pair that is not given, or has an empty find text, leaves the text as it is.
Text BatchReplace(std::string_view text, std::optional<int> replaceCount,
                  std::optional<int> startPosition, std::optional<bool> caseSensitive,
                  std::string_view find1, std::string_view replacement1,
                  std::optional<std::string_view> find2 = std::nullopt,
                  std::optional<std::string_view> replacement2 = std::nullopt,
                  std::optional<std::string_view> find3 = std::nullopt,
                  std::optional<std::string_view> replacement3 = std::nullopt,
                  std::optional<std::string_view> find4 = std::nullopt,
                  std::optional<std::string_view> replacement4 = std::nullopt,
                  std::optional<std::string_view> find5 = std::nullopt,
                  std::optional<std::string_view> replacement5 = std::nullopt);

}  // namespace quorvel::text
