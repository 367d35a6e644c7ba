#include "platform/automation/variant.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace quorvel::automation {
namespace {

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// The string as ASCII without surrounding spaces, or nothing if it holds another character.
bool TrimmedAscii(const std::u16string& s, std::string& out) {
    size_t first = 0, last = s.size();
    while (first < last && s[first] == u' ') ++first;
    while (last > first && s[last - 1] == u' ') --last;
    out.clear();
    for (size_t i = first; i < last; ++i) {
        if (s[i] >= 0x80) return false;
        out.push_back(static_cast<char>(s[i]));
    }
    return true;
}

bool ParseNumber(const std::u16string& s, double& out) {
    std::string ascii;
    if (!TrimmedAscii(s, ascii) || ascii.empty()) return false;
    const char* first = ascii.data();
    const char* const last = first + ascii.size();
    // One sign at most, then a digit or a point: from_chars alone also reads "inf", "nan"
    // and "infinity", and after a '+' skipped here it would take a '-' as well ("+-5").
    const bool negative = *first == '-';
    if (*first == '+' || *first == '-') ++first;
    if (first == last || !((*first >= '0' && *first <= '9') || *first == '.')) return false;
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return false;
    out = negative ? -value : value;
    return true;
}

}  // namespace

String String::FromUtf16(std::u16string text) {
    String string;
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](char16_t c) { return c != 0 && c < 0x80; });
    if (ascii) {
        string.value_ = std::string(text.begin(), text.end());
    } else {
        string.value_ = std::move(text);
    }
    return string;
}

String String::FromAscii(std::string bytes) {
    String string;
    string.value_ = std::move(bytes);
    return string;
}

bool String::IsAscii(std::string_view bytes) {
    // Eight bytes at a time: no byte may have its high bit set or be zero.
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        if ((word & kHighs) || ((word - kOnes) & ~word & kHighs)) return false;
    }
    for (; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == 0 || c >= 0x80) return false;
    }
    return true;
}

std::u16string String::ToUtf16() const {
    if (!isCompact()) return wide();
    const std::string& bytes = compact();
    return std::u16string(bytes.begin(), bytes.end());
}

std::string NumberToString(double value) {
    if (std::isnan(value)) return "NaN";
    if (value == 0) return "0";
    if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
    if (value < 0) return "-" + NumberToString(-value);

    // Shortest round-trip digits in the form d.ddde±x, read as digits and exponent.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::scientific);
    const std::string_view scientific(buffer, result.ptr - buffer);
    const size_t e = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, e)) {
        if (c != '.') digits.push_back(c);
    }
    const int k = static_cast<int>(digits.size());
    const int n = std::atoi(std::string(scientific.substr(e + 1)).c_str()) + 1;

    if (k <= n && n <= 21) return digits + std::string(n - k, '0');
    if (0 < n && n <= 21) return digits.substr(0, n) + "." + digits.substr(n);
    if (-6 < n && n <= 0) return "0." + std::string(-n, '0') + digits;
    const int exponent = n - 1;
    std::string out = digits.substr(0, 1);
    if (k > 1) out += "." + digits.substr(1);
    out += exponent < 0 ? "e-" : "e+";
    out += std::to_string(std::abs(exponent));
    return out;
}

HResult ChangeToString(const Variant& value, std::u16string& out) {
    switch (value.kind()) {
        case Variant::Kind::Empty: out.clear(); return hr::S_OK;
        case Variant::Kind::String: out = value.string().ToUtf16(); return hr::S_OK;
        case Variant::Kind::Int32: out = Widen(std::to_string(value.int32())); return hr::S_OK;
        case Variant::Kind::Double: out = Widen(NumberToString(value.number())); return hr::S_OK;
        case Variant::Kind::Bool: out = value.boolean() ? u"true" : u"false"; return hr::S_OK;
    }
    return hr::DISP_E_TYPEMISMATCH;
}

HResult ChangeToNumber(const Variant& value, double& out) {
    switch (value.kind()) {
        case Variant::Kind::Empty: out = 0; return hr::S_OK;
        case Variant::Kind::String:
            return ParseNumber(value.string().ToUtf16(), out) ? hr::S_OK : hr::DISP_E_TYPEMISMATCH;
        case Variant::Kind::Int32: out = value.int32(); return hr::S_OK;
        case Variant::Kind::Double: out = value.number(); return hr::S_OK;
        case Variant::Kind::Bool: out = value.boolean() ? -1 : 0; return hr::S_OK;
    }
    return hr::DISP_E_TYPEMISMATCH;
}

HResult ChangeToBool(const Variant& value, bool& out) {
    switch (value.kind()) {
        case Variant::Kind::Empty: out = false; return hr::S_OK;
        case Variant::Kind::String: {
            std::string ascii;
            const std::u16string text = value.string().ToUtf16();
            if (TrimmedAscii(text, ascii)) {
                for (char& c : ascii) c = (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
                if (ascii == "true" || ascii == "false") {
                    out = ascii == "true";
                    return hr::S_OK;
                }
            }
            double number = 0;
            if (!ParseNumber(text, number)) return hr::DISP_E_TYPEMISMATCH;
            out = number != 0;
            return hr::S_OK;
        }
        case Variant::Kind::Int32: out = value.int32() != 0; return hr::S_OK;
        case Variant::Kind::Double: out = value.number() != 0; return hr::S_OK;
        case Variant::Kind::Bool: out = value.boolean(); return hr::S_OK;
    }
    return hr::DISP_E_TYPEMISMATCH;
}

}  // namespace quorvel::automation
