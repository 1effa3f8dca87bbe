#include "core/settings/text_rules.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace kelvo {
namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int DigitValue(char c, int base)
{
    int value = base;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

NumberScan ScanRadixInteger(std::string_view digits, int base)
{
    double value = 0;
    std::size_t count = 0;
    while (count < digits.size()) {
        const int digit = DigitValue(digits[count], base);
        if (digit < 0)
            break;
        value = value * base + digit;
        ++count;
    }
    if (count == 0)
        return {};
    return {value, count + 2};
}

// strtod in the "C" locale: correctly rounded, overflow to infinity, whatever the
// process locale says about the decimal point.
locale_t CLocale()
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return cLocale;
}

double ParseDecimal(const std::string& text)
{
    return strtod_l(text.c_str(), nullptr, CLocale());
}

// Significant digits and decimal exponent of a number printed in scientific form.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

Decimal SplitScientific(std::string_view text)
{
    Decimal result;
    const auto e = text.find('e');
    for (const char c : text.substr(0, e))
        if (IsDigit(c))
            result.digits += c;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(), result.exponent);
    while (result.digits.size() > 1 && result.digits.back() == '0')
        result.digits.pop_back();
    return result;
}

// Lays out significant digits in plain decimal between 1e-5 and 1e15, and in the
// "1.5E+20" form outside that range.
std::string Layout(bool negative, const Decimal& d)
{
    std::string out = negative ? "-" : "";
    const int e = d.exponent;
    const auto count = static_cast<int>(d.digits.size());
    if (e >= -5 && e <= 14) {
        if (e < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-e - 1), '0');
            out += d.digits;
        } else if (count <= e + 1) {
            out += d.digits;
            out.append(static_cast<std::size_t>(e + 1 - count), '0');
        } else {
            out += d.digits.substr(0, static_cast<std::size_t>(e + 1));
            out += '.';
            out += d.digits.substr(static_cast<std::size_t>(e + 1));
        }
        return out;
    }
    out += d.digits[0];
    if (count > 1) {
        out += '.';
        out += d.digits.substr(1);
    }
    const int magnitude = std::abs(e);
    out += e < 0 ? "E-" : "E+";
    if (magnitude < 10)
        out += '0';
    out += std::to_string(magnitude);
    return out;
}

template <typename T> std::string FormatSpecial(T value)
{
    if (std::isnan(value))
        return "NaN";
    return value < 0 ? "-Infinity" : "Infinity";
}

// `signedZero`: a negative zero keeps its sign, as a file must keep every value.
template <typename T> std::string FormatWith(T value, int significantDigits, bool signedZero = false)
{
    if (value == 0)
        return signedZero && std::signbit(value) ? "-0" : "0";
    if (!std::isfinite(value))
        return FormatSpecial(value);
    char buffer[64];
    const auto result =
        significantDigits > 0
            ? std::to_chars(buffer, buffer + sizeof buffer, std::abs(value), std::chars_format::scientific, significantDigits - 1)
            : std::to_chars(buffer, buffer + sizeof buffer, std::abs(value), std::chars_format::scientific);
    return Layout(value < 0, SplitScientific(std::string_view(buffer, result.ptr)));
}

} // namespace

NumberScan ScanNumber(std::string_view text)
{
    if (text.size() >= 2 && text[0] == '&') {
        if (text[1] == 'H' || text[1] == 'h')
            return ScanRadixInteger(text.substr(2), 16);
        if (text[1] == 'O' || text[1] == 'o')
            return ScanRadixInteger(text.substr(2), 8);
        return {};
    }
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    const std::size_t mantissaStart = pos;
    std::size_t digitCount = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        ++pos;
        ++digitCount;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && IsDigit(text[pos])) {
            ++pos;
            ++digitCount;
        }
    }
    if (digitCount == 0)
        return {};
    if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
        std::size_t exponentEnd = pos + 1;
        if (exponentEnd < text.size() && (text[exponentEnd] == '+' || text[exponentEnd] == '-'))
            ++exponentEnd;
        const std::size_t exponentDigits = exponentEnd;
        while (exponentEnd < text.size() && IsDigit(text[exponentEnd]))
            ++exponentEnd;
        if (exponentEnd > exponentDigits)
            pos = exponentEnd;
    }
    const double magnitude = ParseDecimal(std::string(text.substr(mantissaStart, pos - mantissaStart)));
    return {negative ? -magnitude : magnitude, pos};
}

double ParseLeadingNumber(std::string_view text)
{
    std::string packed;
    packed.reserve(text.size());
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            packed += c;
    return ScanNumber(packed).value;
}

std::string FormatNumber(double value)
{
    return FormatWith(value, 15);
}

std::string FormatNumber(float value)
{
    return FormatWith(static_cast<double>(value), 7);
}

std::string FormatNumber(std::int64_t value)
{
    return std::to_string(value);
}

std::string FormatFileNumber(double value)
{
    return FormatWith(value, 0, true);
}

std::string FormatFileNumber(float value)
{
    return FormatWith(value, 0, true);
}

std::optional<float> ParseSingle(std::string_view text)
{
    const NumberScan scan = ScanNumber(text);
    if (scan.length == 0 || scan.length != text.size())
        return std::nullopt;
    // "&H" and "&O" integers are never negative.
    if (text.front() == '&') {
        if (scan.value > std::numeric_limits<float>::max())
            return std::nullopt;
        return static_cast<float>(scan.value);
    }
    // A decimal is rounded from its digits straight to single precision: rounded to double
    // first, it could land on a tie between two floats and then round the other way.
    const float value = strtof_l(std::string(text).c_str(), nullptr, CLocale());
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string SampleFormatText(std::int32_t bits)
{
    return bits == 32 ? "32f" : FormatNumber(bits);
}

} // namespace kelvo
