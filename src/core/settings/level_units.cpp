#include "core/settings/level_units.h"

#include "core/settings/text_rules.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace kelvo {
namespace {

// 0 dBu: the voltage that gives 1 mW in 600 ohms.
constexpr double kDbuVolts = 0.7745966692414834;
// The peak of a 0 dB sine is 99 % of full scale; a full-scale sine is 0 dBFS.
const double kDbfsOffset = 20 * std::log10(0.99);

std::string OneDecimal(double value, std::string_view unit)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.1f %.*s", value, static_cast<int>(unit.size()), unit.data());
    return text;
}

// Four significant digits with the prefix that keeps them between 1 and 1000.
std::string VoltsText(double volts, std::string_view suffix)
{
    const char* prefix = "";
    double shown = volts;
    if (volts < 1e-6) {
        prefix = "n";
        shown = volts * 1e9;
    } else if (volts < 1e-3) {
        prefix = "\xC2\xB5"; // micro sign
        shown = volts * 1e6;
    } else if (volts < 1) {
        prefix = "m";
        shown = volts * 1e3;
    }
    char text[48];
    const int decimals = shown >= 100 ? 1 : (shown >= 10 ? 2 : 3);
    std::snprintf(text, sizeof text, "%.*f %sV%.*s", decimals, shown, prefix, static_cast<int>(suffix.size()), suffix.data());
    return text;
}

std::string Lower(std::string_view text)
{
    std::string lower;
    for (const char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// The volts of a sine at `dB` on an output calibrated at `volts` for 0 dB (rms).
double SineVolts(double dB, double volts)
{
    return volts * std::pow(10, dB / 20);
}

// The level whose sine has `rms` volts, or nothing without a calibration.
std::optional<double> DbOfVolts(double rms, double calibration)
{
    if (!(calibration > 0) || !(rms > 0))
        return std::nullopt;
    return 20 * std::log10(rms / calibration);
}

} // namespace

double CalibrationVolts(const SignalSettings& s, Channel channel)
{
    const double volts = channel == Channel::Left ? s.CalVoltsL : s.CalVoltsR;
    return std::isfinite(volts) && volts > 0 ? volts : 0;
}

bool NeedsCalibration(std::int32_t unit)
{
    return unit >= static_cast<std::int32_t>(LevelUnit::Dbu) && unit <= static_cast<std::int32_t>(LevelUnit::Vpp);
}

LevelUnit ShownUnit(const SignalSettings& s, Channel channel)
{
    if (s.LevelUnit == static_cast<std::int32_t>(LevelUnit::Db))
        return LevelUnit::Db;
    if (NeedsCalibration(s.LevelUnit) && CalibrationVolts(s, channel) > 0)
        return static_cast<LevelUnit>(s.LevelUnit);
    return LevelUnit::Dbfs;
}

double ShownLevel(double dB, const SignalSettings& s, Channel channel)
{
    const double volts = SineVolts(dB, CalibrationVolts(s, channel));
    switch (ShownUnit(s, channel)) {
    case LevelUnit::Db: return dB;
    case LevelUnit::Dbfs: return dB + kDbfsOffset;
    case LevelUnit::Dbu: return 20 * std::log10(volts / kDbuVolts);
    case LevelUnit::Dbv: return 20 * std::log10(volts);
    case LevelUnit::Vrms: return volts;
    case LevelUnit::Vpp: return volts * 2 * std::numbers::sqrt2;
    }
    return dB;
}

std::string LevelText(double dB, const SignalSettings& s, Channel channel)
{
    const double shown = ShownLevel(dB, s, channel);
    switch (ShownUnit(s, channel)) {
    case LevelUnit::Db: return FormatNumber(dB) + " dB";
    case LevelUnit::Dbfs: return OneDecimal(shown, "dBFS");
    case LevelUnit::Dbu: return OneDecimal(shown, "dBu");
    case LevelUnit::Dbv: return OneDecimal(shown, "dBV");
    case LevelUnit::Vrms: return VoltsText(shown, "");
    case LevelUnit::Vpp: return VoltsText(shown, "pp");
    }
    return FormatNumber(dB) + " dB";
}

std::optional<double> LevelFromText(std::string_view text, const SignalSettings& s, Channel channel)
{
    const double number = ParseLeadingNumber(text);
    // The unit is whatever follows the number.
    std::size_t end = 0;
    while (end < text.size() && (std::isspace(static_cast<unsigned char>(text[end])) || text[end] == '+' || text[end] == '-'))
        ++end;
    while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.' || text[end] == ',' ||
                                 text[end] == 'e' || text[end] == 'E')) {
        // An exponent's own sign: "1e-3 V".
        const bool exponent = text[end] == 'e' || text[end] == 'E';
        ++end;
        if (exponent && end < text.size() && (text[end] == '+' || text[end] == '-'))
            ++end;
    }
    std::string unit = Lower(text.substr(end));
    const double calibration = CalibrationVolts(s, channel);
    if (unit.empty()) {
        switch (ShownUnit(s, channel)) {
        case LevelUnit::Db: return number;
        case LevelUnit::Dbfs: unit = "dbfs"; break;
        case LevelUnit::Dbu: unit = "dbu"; break;
        case LevelUnit::Dbv: unit = "dbv"; break;
        case LevelUnit::Vrms: unit = "v"; break;
        case LevelUnit::Vpp: unit = "vpp"; break;
        }
    }
    if (unit == "db")
        return number;
    if (unit == "dbfs")
        return number - kDbfsOffset;
    if (unit == "dbu")
        return DbOfVolts(kDbuVolts * std::pow(10, number / 20), calibration);
    if (unit == "dbv")
        return DbOfVolts(std::pow(10, number / 20), calibration);
    // Volts, rms unless marked peak to peak, with a prefix.
    double scale = 1;
    if (unit.starts_with("m"))
        scale = 1e-3;
    else if (unit.starts_with("u") || unit.starts_with("\xC2\xB5"))
        scale = 1e-6;
    const std::string base = unit.substr(scale == 1 ? 0 : (unit.starts_with("\xC2\xB5") ? 2 : 1));
    if (base == "v" || base == "vrms")
        return DbOfVolts(number * scale, calibration);
    if (base == "vpp")
        return DbOfVolts(number * scale / (2 * std::numbers::sqrt2), calibration);
    return std::nullopt;
}

std::string ApplyLevelLimit(SignalSettings& s)
{
    const double limit = s.LevelLimit;
    if (!(limit < 0))
        return {};
    bool lowered = false;
    for (double* level : {&s.LevelL[0], &s.LevelR[0]}) {
        if (*level > limit) {
            *level = limit;
            lowered = true;
        }
    }
    return lowered ? "Level held at the limit of " + FormatNumber(limit) + " dB" : std::string();
}

} // namespace kelvo
