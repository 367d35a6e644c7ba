// The character walk shared by the routines that look for a pattern in a Text.
//
// A byte of 0x80 or more starts a two-byte character, and the walk steps over the pair as
// one unit, so a pattern never matches from the second byte of a double-byte character.
// Runs of ASCII bytes that cannot begin a match are skipped eight at a time.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace quorvel::text::detail {

inline unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Compares pattern.size() bytes at p with pattern; without caseSensitive, the ASCII letters
// A to Z and a to z are the same, byte by byte, and nothing else is folded.
inline bool MatchesAt(const char* p, std::string_view pattern, bool caseSensitive) {
    if (caseSensitive) return std::memcmp(p, pattern.data(), pattern.size()) == 0;
    for (size_t k = 0; k < pattern.size(); ++k) {
        const auto a = static_cast<unsigned char>(p[k]);
        const auto b = static_cast<unsigned char>(pattern[k]);
        if (a != b && FoldAscii(a) != FoldAscii(b)) return false;
    }
    return true;
}

// Finds the next match of `pattern` (not empty) in text at a character start at or after
// `pos`, which must itself be a character start. Returns text.size() when there is none.
inline size_t FindAtCharacterStart(std::string_view text, size_t pos, std::string_view pattern,
                                   bool caseSensitive) {
    const size_t n = text.size();
    const size_t f = pattern.size();
    const auto first = static_cast<unsigned char>(pattern[0]);
    const unsigned char firstA = caseSensitive ? first : FoldAscii(first);
    const unsigned char firstB =
        (!caseSensitive && firstA >= 'a' && firstA <= 'z') ? firstA - 'a' + 'A' : firstA;
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    const auto hasByte = [](std::uint64_t word, unsigned char c) {
        const std::uint64_t x = word ^ (kOnes * c);
        return ((x - kOnes) & ~x & kHighs) != 0;
    };
    const char* p = text.data();
    while (pos + f <= n) {
        // Skip words of ASCII bytes none of which can begin a match.
        while (pos + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, p + pos, sizeof word);
            if ((word & kHighs) || hasByte(word, firstA) || hasByte(word, firstB)) break;
            pos += 8;
        }
        if (pos + f > n) break;
        const auto c = static_cast<unsigned char>(p[pos]);
        if ((c == firstA || c == firstB || c >= 0x80) && MatchesAt(p + pos, pattern, caseSensitive))
            return pos;
        pos += (c >= 0x80) ? 2 : 1;
    }
    return n;
}

}  // namespace quorvel::text::detail
