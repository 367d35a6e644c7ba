#include "text/batch_replace.h"

#include <array>
#include <cstring>
#include <utility>

#include "text/scan.h"

namespace quorvel::text {

Text ReplaceText(std::string_view text, std::string_view find, std::string_view replacement,
                 int start, std::optional<int> count, bool caseSensitive) {
    const size_t offset = start < 1 ? 0 : static_cast<size_t>(start) - 1;
    if (text.empty() || find.empty() || offset >= text.size() || count == 0) return Text(text);

    int remaining = count.value_or(-1);  // negative: no limit
    // Pieces are copied through a cursor into a buffer sized for the longest result, which
    // is the text itself unless a replacement is longer than what it replaces.
    const bool shrinks = replacement.size() <= find.size();
    Text result(shrinks ? text.size() : 0, '\0');
    if (!shrinks) result.reserve(text.size() + text.size() / 2);
    char* out = result.data();
    const auto put = [&](const char* bytes, size_t length) {
        if (length == 0) return;
        if (shrinks) {
            std::memcpy(out, bytes, length);
            out += length;
        } else {
            result.append(bytes, length);
        }
    };
    size_t copiedUpTo = 0;  // the bytes before this offset are in the result
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
    if (shrinks) result.resize(static_cast<size_t>(out - result.data()));
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
