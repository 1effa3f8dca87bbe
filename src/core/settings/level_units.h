#pragma once

#include "core/settings/signal_settings.h"

#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

// The units levels are shown and typed in (LevelUnit).
enum class LevelUnit : std::int32_t { Db = 0, Dbfs = 1, Dbu = 2, Dbv = 3, Vrms = 4, Vpp = 5 };

enum class Channel { Left, Right };

// The Vrms of a 0 dB sine on the channel's output, or 0 when it is not calibrated.
double CalibrationVolts(const SignalSettings& settings, Channel channel);

// Whether `unit` is shown in volts or dB of volts, which needs a calibration.
bool NeedsCalibration(std::int32_t unit);

// The unit the channel's level is shown in: LevelUnit, or dBFS where it asks for a
// calibration the channel lacks (or is unknown).
LevelUnit ShownUnit(const SignalSettings& settings, Channel channel);

// The level display of a channel at `dB`, as a sine at that level measures: "-20 dB" as
// it always was, "-20.1 dBFS" (a full-scale sine is 0 dBFS), "-16.0 dBu", "-18.2 dBV",
// "122.8 mV" (rms) or "347.3 mVpp".
std::string LevelText(double dB, const SignalSettings& settings, Channel channel);

// The channel's level at `dB` as a number in the unit it is shown in (ShownUnit): dB,
// dBFS, dBu, dBV, or volts rms or peak to peak.
double ShownLevel(double dB, const SignalSettings& settings, Channel channel);

// The level in dB that a typed text means: a number in the shown unit, or a number with
// its own unit ("+4 dBu", "1.228 V", "300 mV", "-10 dBV", "1 Vpp"). Volts need the
// channel's calibration. Without a unit in dB, the text reads as the level keys have always
// read it (its leading number). Nothing when the text names a unit it cannot use.
std::optional<double> LevelFromText(std::string_view text, const SignalSettings& settings, Channel channel);

// Lowers the live levels to LevelLimit where they lie above it; returns what the status
// line says about it, empty when nothing was lowered.
std::string ApplyLevelLimit(SignalSettings& settings);

} // namespace kelvo
