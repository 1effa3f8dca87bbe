#pragma once

#include "core/arb/digitise.h"
#include "core/settings/signal_settings.h"

#include <array>
#include <cstdint>

namespace kelvo {

// The harmonic amplitudes 1..24 of the Fourier synthesis; entry 0 is unused.
using FourierAmps = std::array<double, kFourierCount + 1>;

// One period as the presets draw it: point i lies at column i, row 150 + rows[i]
// (negative: above the centre line, a positive output sample). Point 0 is the centre line,
// where every curve starts.
using CurveRows = std::array<std::int32_t, kArbTableSize>;

enum class PresetShape { Sine, Square, Haversine, Gauss };

// A curve point never lies further than this from the centre line: far enough that the
// viewport shows the same pixels as for any larger value, near enough that the row
// arithmetic and the drawing never overflow.
inline constexpr std::int32_t kCurveRowLimit = 100000;

// `rows` rounded to the nearest whole row (halves to even), limited to +-kCurveRowLimit;
// a value that is not a number gives the centre line.
std::int32_t CurveRow(double rows);

// The shape presets at `percent` of 140 rows with `cycles` periods across the viewport
// (the Gauss bell ignores `cycles` and peaks near 1.4324 x `percent` rows).
CurveRows PresetCurve(PresetShape shape, double percent, std::int32_t cycles);

// The sum of the 24 harmonics at `percent` of 140 rows, rounded to whole rows after every
// harmonic; it is not normalised, so large amplitudes draw off the viewport.
CurveRows FourierCurve(const FourierAmps& amps, double percent, std::int32_t cycles);

} // namespace kelvo
