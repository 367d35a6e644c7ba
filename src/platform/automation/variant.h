// The automation variant: empty, a UTF-16 string, a 32-bit integer, a double or a boolean,
// and the conversions an engine call needs. A conversion that cannot be made gives
// DISP_E_TYPEMISMATCH and leaves the target alone.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "platform/automation/hresult.h"

namespace quorvel::automation {

// An automation string: UTF-16 text. Text made only of ASCII characters (U+0001 to
// U+007F), which is what pasted numbers are, is kept at one byte per character, so that a
// long one reaches the script engine without being widened and copied at twice its size.
// Every string has one form: ASCII text is always held compact.
class String {
public:
    String() = default;
    static String FromUtf16(std::u16string text);
    // `bytes` must hold ASCII characters only (see IsAscii).
    static String FromAscii(std::string bytes);
    static bool IsAscii(std::string_view bytes);

    bool isCompact() const { return value_.index() == 0; }
    const std::string& compact() const { return std::get<0>(value_); }  // requires isCompact()
    const std::u16string& wide() const { return std::get<1>(value_); }   // requires !isCompact()
    std::u16string ToUtf16() const;

    friend bool operator==(const String& a, const String& b) { return a.value_ == b.value_; }

private:
    std::variant<std::string, std::u16string> value_;
};

class Variant {
public:
    enum class Kind { Empty, String, Int32, Double, Bool };

    Variant() = default;
    static Variant FromString(std::u16string value) {
        return Variant(String::FromUtf16(std::move(value)));
    }
    static Variant FromString(String value) { return Variant(std::move(value)); }
    static Variant FromInt32(std::int32_t value) { return Variant(value); }
    static Variant FromDouble(double value) { return Variant(value); }
    static Variant FromBool(bool value) { return Variant(value); }

    Kind kind() const { return static_cast<Kind>(value_.index()); }
    bool isEmpty() const { return kind() == Kind::Empty; }
    // Each accessor requires the matching kind.
    const String& string() const { return std::get<String>(value_); }
    std::int32_t int32() const { return std::get<std::int32_t>(value_); }
    double number() const { return std::get<double>(value_); }
    bool boolean() const { return std::get<bool>(value_); }

    friend bool operator==(const Variant& a, const Variant& b) { return a.value_ == b.value_; }

private:
    template <class T>
    explicit Variant(T value) : value_(std::move(value)) {}

    std::variant<std::monostate, String, std::int32_t, double, bool> value_;
};

// To text: empty gives "", an integer plain decimal, a double the ECMAScript
// Number-to-String form, a boolean "true" or "false".
HResult ChangeToString(const Variant& value, std::u16string& out);
// To a number: empty gives 0, true -1, false 0; a string must hold a whole decimal number.
HResult ChangeToNumber(const Variant& value, double& out);
// To a boolean: any non-zero number is true; a string must read "true", "false" or a number.
HResult ChangeToBool(const Variant& value, bool& out);

// The ECMAScript Number-to-String conversion: the shortest digits that read back as the
// same double, in plain notation from 1e-6 up to below 1e21 and in exponent form outside.
std::string NumberToString(double value);

}  // namespace quorvel::automation
