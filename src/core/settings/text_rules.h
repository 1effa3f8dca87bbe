#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

// A number found at the start of a text: its value and how many characters it took
// (0 when the text does not begin with a number).
struct NumberScan {
    double value = 0;
    std::size_t length = 0;
};

// Reads the number at the very start of `text`: an optional sign, digits, an optional
// "." with digits, an optional exponent ("E" or "e", optional sign, digits), or "&H"/"&O"
// followed by a hexadecimal or octal integer. Independent of the user's locale.
NumberScan ScanNumber(std::string_view text);

// The reading of a number from an entry box or a file field: blanks, tabs and line
// feeds are dropped, then the leading number is read; text without one reads as 0.
double ParseLeadingNumber(std::string_view text);

// A number as shown on screen: the shortest form with up to 15 significant digits
// (7 for single precision), "." as the decimal point, no trailing zeros.
std::string FormatNumber(double value);
// A sample format as the BITS display shows it: "16", "24", "32f" for 32-bit float.
std::string SampleFormatText(std::int32_t bits);
std::string FormatNumber(float value);
std::string FormatNumber(std::int64_t value);
inline std::string FormatNumber(std::int32_t value)
{
    return FormatNumber(std::int64_t{value});
}
inline std::string FormatNumber(std::int16_t value)
{
    return FormatNumber(std::int64_t{value});
}

// A number as written to a file: the shortest form that reads back to the same value,
// negative zero included.
std::string FormatFileNumber(double value);
std::string FormatFileNumber(float value);

// The number that the whole of `text` holds, as ScanNumber reads it, rounded once to
// single precision; nothing when `text` is not one number or the value is beyond the
// single-precision range.
std::optional<float> ParseSingle(std::string_view text);

} // namespace kelvo
