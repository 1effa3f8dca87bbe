#pragma once

#include "core/remote/scpi_parser.h"
#include "core/settings/level_units.h"
#include "core/settings/signal_settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

// The parameter types of the commands. Each returns nothing and sets `error` when the
// parameter is not one.

// A number, optionally followed by `unit` (in capitals; empty: no unit).
std::optional<double> ScpiNumber(const ScpiParameter& parameter, std::string_view unit, ScpiError& error);

// A whole number from `min` to `max` (a memory); a fraction is rounded.
std::optional<std::int64_t> ScpiWholeNumber(const ScpiParameter& parameter, std::int64_t min, std::int64_t max, ScpiError& error);

// A frequency in Hz, or with HZ, KHZ, MHZ (mega, as SCPI reads it) or GHZ.
std::optional<double> ScpiFrequency(const ScpiParameter& parameter, ScpiError& error);

// A level in dB: a number in the unit the channel's level is shown in (LevelUnit), or with
// its own unit (DB, DBFS, DBU, DBV, V, MV, UV, VRMS, VPP and their milli and micro forms).
std::optional<double> ScpiLevel(const ScpiParameter& parameter, const SignalSettings& settings, Channel channel,
                                ScpiError& error);

// ON, OFF, 1 or 0.
std::optional<bool> ScpiBoolean(const ScpiParameter& parameter, ScpiError& error);

// A field of the registry as KELVo:FIELd names it: "Freq", "MultiFreq[3]".
struct ScpiFieldName {
    std::string name;
    std::optional<std::int64_t> index;
};
ScpiFieldName ParseScpiFieldName(std::string_view text);

// A text as a query answers it: in double quotes, a quote inside doubled.
std::string ScpiString(std::string_view text);

} // namespace kelvo
