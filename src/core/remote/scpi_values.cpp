#include "core/remote/scpi_values.h"

#include "core/settings/text_rules.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

namespace kelvo {
namespace {

struct Scaled {
    std::string_view suffix;
    double factor;
};

constexpr std::array<Scaled, 5> kFrequencyUnits = {{{"", 1}, {"HZ", 1}, {"KHZ", 1e3}, {"MHZ", 1e6}, {"GHZ", 1e9}}};
constexpr std::array<std::string_view, 14> kLevelUnits = {"",   "DB",   "DBFS",  "DBU",   "DBV", "V",    "MV",
                                                          "UV", "VRMS", "MVRMS", "UVRMS", "VPP", "MVPP", "UVPP"};

// The number at the start of the parameter and the unit after it, in capitals.
struct Reading {
    double value = 0;
    std::string unit;
};

std::optional<Reading> Read(const ScpiParameter& parameter, ScpiError& error)
{
    const std::string_view text = parameter.text;
    const NumberScan scan = parameter.quoted ? NumberScan{} : ScanNumber(text);
    if (scan.length == 0) {
        error = {scpi::kIllegalParameterValue, "\"" + parameter.text + "\" is not a number"};
        return std::nullopt;
    }
    if (!std::isfinite(scan.value)) {
        error = {scpi::kDataOutOfRange, parameter.text};
        return std::nullopt;
    }
    Reading reading{scan.value, {}};
    for (const char c : text.substr(scan.length))
        if (c != ' ' && c != '\t')
            reading.unit += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return reading;
}

std::optional<double> Refuse(ScpiError& error, int code, std::string detail)
{
    error = {code, std::move(detail)};
    return std::nullopt;
}

} // namespace

std::optional<double> ScpiNumber(const ScpiParameter& parameter, std::string_view unit, ScpiError& error)
{
    const auto reading = Read(parameter, error);
    if (!reading)
        return std::nullopt;
    if (!reading->unit.empty() && reading->unit != unit)
        return Refuse(error, scpi::kInvalidSuffix, reading->unit);
    return reading->value;
}

std::optional<std::int64_t> ScpiWholeNumber(const ScpiParameter& parameter, std::int64_t min, std::int64_t max, ScpiError& error)
{
    const auto value = ScpiNumber(parameter, "", error);
    if (!value)
        return std::nullopt;
    const double whole = std::nearbyint(*value);
    if (whole < static_cast<double>(min) || whole > static_cast<double>(max)) {
        error = {scpi::kDataOutOfRange, "takes " + std::to_string(min) + " to " + std::to_string(max)};
        return std::nullopt;
    }
    return static_cast<std::int64_t>(whole);
}

std::optional<double> ScpiFrequency(const ScpiParameter& parameter, ScpiError& error)
{
    const auto reading = Read(parameter, error);
    if (!reading)
        return std::nullopt;
    const auto unit = std::find_if(kFrequencyUnits.begin(), kFrequencyUnits.end(),
                                   [&reading](const Scaled& scaled) { return scaled.suffix == reading->unit; });
    if (unit == kFrequencyUnits.end())
        return Refuse(error, scpi::kInvalidSuffix, reading->unit);
    return reading->value * unit->factor;
}

std::optional<double> ScpiLevel(const ScpiParameter& parameter, const SignalSettings& settings, Channel channel, ScpiError& error)
{
    const auto reading = Read(parameter, error);
    if (!reading)
        return std::nullopt;
    if (std::find(kLevelUnits.begin(), kLevelUnits.end(), reading->unit) == kLevelUnits.end())
        return Refuse(error, scpi::kInvalidSuffix, reading->unit);
    const auto dB = LevelFromText(FormatFileNumber(reading->value) + " " + reading->unit, settings, channel);
    if (!dB)
        return Refuse(error, scpi::kSettingsConflict, "volts need the output's calibration (CalVoltsL, CalVoltsR)");
    if (!std::isfinite(*dB))
        return Refuse(error, scpi::kDataOutOfRange, parameter.text);
    return dB;
}

std::optional<bool> ScpiBoolean(const ScpiParameter& parameter, ScpiError& error)
{
    std::string upper;
    for (const char c : parameter.text)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!parameter.quoted && (upper == "ON" || upper == "1"))
        return true;
    if (!parameter.quoted && (upper == "OFF" || upper == "0"))
        return false;
    error = {scpi::kIllegalParameterValue, "ON or OFF, not " + parameter.text};
    return std::nullopt;
}

ScpiFieldName ParseScpiFieldName(std::string_view text)
{
    const auto open = text.find('[');
    if (open == std::string_view::npos || text.back() != ']')
        return {std::string(text), std::nullopt};
    std::int64_t index = 0;
    const char* last = text.data() + text.size() - 1;
    const auto result = std::from_chars(text.data() + open + 1, last, index);
    if (result.ec != std::errc{} || result.ptr != last)
        return {std::string(text), std::nullopt};
    return {std::string(text.substr(0, open)), index};
}

std::string ScpiString(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

} // namespace kelvo
