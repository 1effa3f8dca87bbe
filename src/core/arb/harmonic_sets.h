#pragma once

#include "core/arb/wave_shapes.h"
#include "core/settings/signal_settings.h"

#include <span>
#include <string_view>

namespace kelvo {

// A named set of harmonic amplitudes, selected by its key.
struct HarmonicSet {
    std::string_view caption; // "1" ... "9", "X", "Y", "Z"
    std::string_view name;    // shown in the status line: "1 - Square Wave"
    FourierAmps amps;
};

// The twelve named sets in key order.
std::span<const HarmonicSet> HarmonicSets();

// Puts the set into FourierAmp as the amplitude boxes show it: each value as FormatNumber
// writes it (15 significant digits) and read back.
void ApplyHarmonicSet(SignalSettings& settings, const HarmonicSet& set);

} // namespace kelvo
