// The character walk shared by the routines that look for a pattern in a Text.
//
// A byte of 0x80 or more starts a two-byte character, and the walk steps over the pair as
// one unit, so a pattern never matches from the second byte of a double-byte character.
// Runs of ASCII bytes that cannot begin a match are skipped sixteen at a time.
#pragma once

#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The first offset at or after `pos` whose byte is `a` or `b` or 0x80 or more: where a
// match may begin or a double-byte character starts. Bytes before it are single ASCII
// characters that begin no match. Sixteen bytes at a time where SSE2 is there.
inline size_t NextCandidate(const char* p, size_t pos, size_t n, unsigned char a, unsigned char b) {
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(static_cast<char>(a));
    const __m128i vb = _mm_set1_epi8(static_cast<char>(b));
    for (; pos + 16 <= n; pos += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + pos));
        // The high bit of each byte: set where it equals a or b, or is 0x80 or more itself.
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb)), v);
        const int mask = _mm_movemask_epi8(hits);
        if (mask != 0) return pos + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    for (; pos < n; ++pos) {
        const auto c = static_cast<unsigned char>(p[pos]);
        if (c == a || c == b || c >= 0x80) return pos;
    }
    return n;
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
    const char* p = text.data();
    while (pos + f <= n) {
        pos = NextCandidate(p, pos, n, firstA, firstB);
        if (pos + f > n) break;
        const auto c = static_cast<unsigned char>(p[pos]);
        if ((c == firstA || c == firstB) && MatchesAt(p + pos, pattern, caseSensitive)) return pos;
        pos += (c >= 0x80) ? 2 : 1;
    }
    return n;
}

}  // namespace quorvel::text::detail
