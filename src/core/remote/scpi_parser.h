#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// An error of the SCPI error queue: its standard number and, after the standard text, what
// went wrong ("-222,\"Data out of range;Freq takes 1 to 96000\"").
struct ScpiError {
    int code = 0;
    std::string detail;
};

// The standard text of an error number ("Data out of range").
std::string_view ScpiErrorText(int code);

// The errors the remote control reports, by their standard numbers.
namespace scpi {
inline constexpr int kSyntaxError = -102;
inline constexpr int kParameterNotAllowed = -108;
inline constexpr int kMissingParameter = -109;
inline constexpr int kUndefinedHeader = -113;
inline constexpr int kInvalidSuffix = -131;
inline constexpr int kSettingsConflict = -221;
inline constexpr int kDataOutOfRange = -222;
inline constexpr int kTooMuchData = -223;
inline constexpr int kIllegalParameterValue = -224;
inline constexpr int kQueueOverflow = -350;
} // namespace scpi

// A parameter as typed: a quoted string (quotes removed, doubled quotes undone) or the bare
// text between the commas, trimmed ("1.2 kHz", "ON").
struct ScpiParameter {
    std::string text;
    bool quoted = false;
};

// One command of a line. A command that could not be parsed holds the syntax error instead.
struct ScpiCommand {
    // The header in capitals without a leading colon or the query mark: "SOUR:FREQ:LEFT", "*IDN".
    std::string header;
    // A leading colon: the header starts at the root even after a semicolon.
    bool absolute = false;
    bool query = false;
    std::vector<ScpiParameter> parameters;
    ScpiError error;
};

// Splits one line (without its line end) into its commands, at the semicolons outside
// quotes; empty commands are left out.
std::vector<ScpiCommand> ParseScpiLine(std::string_view line);

} // namespace kelvo
