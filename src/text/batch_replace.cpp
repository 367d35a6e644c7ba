#include "text/batch_replace.h"

#include <array>
#include <cstring>
#include <utility>

#include "text/scan.h"

namespace quorvel::text {

namespace {

size_t StartOffset(int start) { return start < 1 ? 0 : static_cast<size_t>(start) - 1; }

// Hands `put` the result piece by piece, in order: the text up to each match (the bytes
// before `offset` included), then its replacement, and at last the rest of the text.
template <typename Put>
void ReplaceMatches(std::string_view text, std::string_view find, std::string_view replacement,
                    size_t offset, std::optional<int> count, bool caseSensitive, Put put) {
    int remaining = count.value_or(-1);  // negative: no limit
    size_t copiedUpTo = 0;               // the bytes before this offset are in the result
    size_t pos = offset;
    for (;;) {
        const size_t match = detail::FindAtCharacterStart(text, pos, find, caseSensitive);
        if (match == text.size()) break;
        put(text.data() + copiedUpTo, match - copiedUpTo);
        put(replacement.data(), replacement.size());
        pos = copiedUpTo = match + find.size();
        if (remaining > 0 && --remaining == 0) break;
    }
    put(text.data() + copiedUpTo, text.size() - copiedUpTo);
}

bool NothingToReplace(std::string_view text, std::string_view find, size_t offset,
                      std::optional<int> count) {
    return text.empty() || find.empty() || offset >= text.size() || count == 0;
}

}  // namespace

void ReplaceInPlace(Text& text, std::string_view find, std::string_view replacement, int start,
                    std::optional<int> count, bool caseSensitive) {
    if (replacement.size() > find.size()) {
        text = ReplaceText(text, find, replacement, start, count, caseSensitive);
        return;
    }
    const size_t offset = StartOffset(start);
    if (NothingToReplace(text, find, offset, count)) return;
    // The result is never longer than the text, and each piece moves towards the front.
    char* out = text.data();
    ReplaceMatches(text, find, replacement, offset, count, caseSensitive,
                   [&out](const char* bytes, size_t length) {
                       if (out != bytes) std::memmove(out, bytes, length);
                       out += length;
                   });
    text.resize(static_cast<size_t>(out - text.data()));
}

Text ReplaceText(std::string_view text, std::string_view find, std::string_view replacement,
                 int start, std::optional<int> count, bool caseSensitive) {
    // A result no longer than the text is made in a copy of it, in place.
    if (replacement.size() <= find.size()) {
        Text result(text);
        ReplaceInPlace(result, find, replacement, start, count, caseSensitive);
        return result;
    }
    const size_t offset = StartOffset(start);
    if (NothingToReplace(text, find, offset, count)) return Text(text);
    Text result;
    result.reserve(text.size() + text.size() / 2);
    ReplaceMatches(text, find, replacement, offset, count, caseSensitive,
                   [&result](const char* bytes, size_t length) { result.append(bytes, length); });
    return result;
}

Text BatchReplace(std::string_view text, std::optional<int> replaceCount,
                  std::optional<int> startPosition, std::optional<bool> caseSensitive,
                  std::string_view find1, std::string_view replacement1,
                  std::optional<std::string_view> find2,
                  std::optional<std::string_view> replacement2,
                  std::optional<std::string_view> find3,
                  std::optional<std::string_view> replacement3,
                  std::optional<std::string_view> find4,
                  std::optional<std::string_view> replacement4,
                  std::optional<std::string_view> find5,
                  std::optional<std::string_view> replacement5) {
    const int start = startPosition.value_or(0) == 0 ? 1 : *startPosition;
    const bool sensitive = caseSensitive.value_or(false);
    const std::array<std::pair<std::string_view, std::string_view>, 5> pairs = {{
        {find1, replacement1},
        {find2.value_or(""), replacement2.value_or("")},
        {find3.value_or(""), replacement3.value_or("")},
        {find4.value_or(""), replacement4.value_or("")},
        {find5.value_or(""), replacement5.value_or("")},
    }};
    // A pass with an empty find text would copy the text unchanged: it is skipped, and the
    // text is copied only once, by the first pass that runs or at the end.
    std::optional<Text> current;
    for (const auto& [find, replacement] : pairs) {
        if (find.empty()) continue;
        Text next = ReplaceText(current ? std::string_view(*current) : text, find, replacement,
                                start, replaceCount, sensitive);
        current = std::move(next);
    }
    return current ? std::move(*current) : Text(text);
}

}  // namespace quorvel::text
