// GBK <-> UTF-16 and UTF-8 with glibc's iconv, with ASCII runs copied directly.
#include "platform/codepage/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <string>

namespace quorvel::codepage {
namespace {

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr const char* kUtf16 = "UTF-16LE";
#else
constexpr const char* kUtf16 = "UTF-16BE";
#endif
constexpr const char* kGbk = "CP936";
constexpr const char* kUtf8 = "UTF-8";

constexpr char16_t kReplacementCharacter = 0xFFFD;
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// One iconv descriptor per direction and thread, opened on first use: opening one loads a
// converter module, which costs far more than a short conversion.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

enum class Direction { Utf16FromGbk, GbkFromUtf16, Utf8FromGbk, GbkFromUtf8 };

iconv_t ConverterFor(Direction direction) {
    thread_local Converter converters[] = {
        {kUtf16, kGbk}, {kGbk, kUtf16}, {kUtf8, kGbk}, {kGbk, kUtf8}};
    return converters[static_cast<int>(direction)].get();
}

// Length of the leading run of ASCII code units (below 0x80).
size_t AsciiRunLength(const char* p, size_t n) {
    size_t i = 0;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, sizeof word);
        if (word & kHighBits) break;
    }
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
    return i;
}

size_t AsciiRunLength(const char16_t* p, size_t n) {
    size_t i = 0;
    while (i < n && p[i] < 0x80) ++i;
    return i;
}

// Appends the conversion of in[0, inBytes) to out. Input that cannot be converted is
// replaced by `replacement`, skipping the number of bytes `badInputLength` tells for it.
template <class OutChar, class BadInputLength>
void AppendConverted(iconv_t cd, const char* in, size_t inBytes, std::basic_string<OutChar>& out,
                     std::basic_string_view<OutChar> replacement, BadInputLength badInputLength) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    // Every character conversion here at most doubles the byte count, plus room to spare.
    size_t used = out.size();
    out.resize(used + inBytes * 2 / sizeof(OutChar) + 8);
    char* inPtr = const_cast<char*>(in);
    size_t inLeft = inBytes;
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(out.data() + used);
        size_t outLeft = (out.size() - used) * sizeof(OutChar);
        const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        used = out.size() - outLeft / sizeof(OutChar);
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2 + 8);
            continue;
        }
        // EILSEQ or EINVAL (a sequence cut off at the end of the run): replace and step on.
        const size_t skip = std::min(inLeft, badInputLength(inPtr, inLeft));
        inPtr += skip;
        inLeft -= skip;
        if (out.size() - used < replacement.size()) out.resize(out.size() * 2 + 8);
        std::copy(replacement.begin(), replacement.end(), out.begin() + used);
        used += replacement.size();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
}

// A lead byte (0x81 to 0xFE) and a following byte of 0x80 or more that make no character
// are one character position and become one U+FFFD; skipping only the lead byte would read
// the trail byte as the lead of a new character and take the next character's first byte
// with it. Any other byte is skipped alone, so an ASCII byte after a bad lead byte is kept.
// (The same rule as the gbk decoder of the WHATWG Encoding Standard.)
size_t GbkCharacterBytes(const char* p, size_t n) {
    const auto lead = static_cast<unsigned char>(p[0]);
    if (n >= 2 && lead >= 0x81 && lead <= 0xFE && static_cast<unsigned char>(p[1]) >= 0x80) {
        return 2;
    }
    return 1;
}

// A UTF-8 character GBK lacks is skipped whole; a byte that starts no valid character alone.
size_t Utf8CharacterBytes(const char* p, size_t n) {
    const auto lead = static_cast<unsigned char>(p[0]);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length > n) return 1;
    for (size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(p[i]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

// A UTF-16 character GBK lacks is one unit, or two for a surrogate pair, which thus
// becomes one '?' as it is one character.
size_t Utf16CharacterBytes(const char* p, size_t n) {
    if (n >= 4) {
        char16_t high, low;
        std::memcpy(&high, p, 2);
        std::memcpy(&low, p + 2, 2);
        if (high >= 0xD800 && high <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF) return 4;
    }
    return 2;
}

// End of the run of non-ASCII characters starting at `start` in GBK text: the first ASCII
// byte that follows another ASCII byte, or the end. An ASCII byte is never a lead byte, so
// a character always starts after one; a run cut anywhere else could part an ASCII-valued
// trail byte from its lead byte. Stepping two bytes at a time is not enough, as 0x80 (the
// euro sign) is a character of one byte: "\x80\x81\x40" is the euro sign and U+4E02.
size_t GbkForeignRunEnd(std::string_view gbk, size_t start) {
    const auto ascii = [&](size_t i) { return static_cast<unsigned char>(gbk[i]) < 0x80; };
    size_t i = start + 1;
    while (i < gbk.size() && !(ascii(i) && ascii(i - 1))) ++i;
    return i;
}

template <class OutChar, class AppendForeign>
std::basic_string<OutChar> FromGbk(std::string_view gbk, AppendForeign appendForeign) {
    std::basic_string<OutChar> out;
    out.reserve(gbk.size());
    size_t i = 0;
    while (i < gbk.size()) {
        const size_t ascii = AsciiRunLength(gbk.data() + i, gbk.size() - i);
        const size_t used = out.size();
        out.resize(used + ascii);
        std::copy(gbk.begin() + i, gbk.begin() + i + ascii, out.begin() + used);
        i += ascii;
        if (i == gbk.size()) break;
        const size_t end = GbkForeignRunEnd(gbk, i);
        appendForeign(gbk.data() + i, end - i, out);
        i = end;
    }
    return out;
}

template <class InChar, class AppendForeign>
std::string ToGbk(std::basic_string_view<InChar> in, AppendForeign appendForeign) {
    std::string out;
    out.reserve(in.size());
    size_t i = 0;
    while (i < in.size()) {
        const size_t ascii = AsciiRunLength(in.data() + i, in.size() - i);
        const size_t used = out.size();
        out.resize(used + ascii);
        std::copy(in.begin() + i, in.begin() + i + ascii, out.begin() + used);
        i += ascii;
        if (i == in.size()) break;
        size_t end = i;
        while (end < in.size() && static_cast<std::make_unsigned_t<InChar>>(in[end]) >= 0x80) ++end;
        appendForeign(in.data() + i, end - i, out);
        i = end;
    }
    return out;
}

}  // namespace

std::u16string Utf16FromGbk(std::string_view gbk) {
    return FromGbk<char16_t>(gbk, [](const char* run, size_t n, std::u16string& out) {
        AppendConverted<char16_t>(ConverterFor(Direction::Utf16FromGbk), run, n, out,
                                  std::u16string_view(&kReplacementCharacter, 1),
                                  GbkCharacterBytes);
    });
}

std::string GbkFromUtf16(std::u16string_view utf16) {
    return ToGbk<char16_t>(utf16, [](const char16_t* run, size_t n, std::string& out) {
        AppendConverted<char>(ConverterFor(Direction::GbkFromUtf16), reinterpret_cast<const char*>(run),
                              n * sizeof(char16_t), out, "?", Utf16CharacterBytes);
    });
}

std::string Utf8FromGbk(std::string_view gbk) {
    return FromGbk<char>(gbk, [](const char* run, size_t n, std::string& out) {
        AppendConverted<char>(ConverterFor(Direction::Utf8FromGbk), run, n, out, kReplacementUtf8,
                              GbkCharacterBytes);
    });
}

std::string GbkFromUtf8(std::string_view utf8) {
    return ToGbk<char>(utf8, [](const char* run, size_t n, std::string& out) {
        AppendConverted<char>(ConverterFor(Direction::GbkFromUtf8), run, n, out, "?",
                              Utf8CharacterBytes);
    });
}

}  // namespace quorvel::codepage
