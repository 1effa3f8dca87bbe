#include "core/oscillator/change_phase.h"

#include "core/settings/signal_codes.h"

#include <cmath>

namespace kelvo {

BlockClock ClockOf(const SignalSettings& s, const SynthState& state)
{
    const bool periodic = Is(s.Waveform[0], WaveformCode::Sine) || Is(s.Waveform[0], WaveformCode::Square) ||
                          Is(s.Waveform[0], WaveformCode::Triangle) || Is(s.Waveform[0], WaveformCode::Sawtooth);
    const double frequency = s.Freq[0];
    const auto rate = static_cast<double>(s.SampleRate[0]);
    if (!periodic || !(frequency > 0) || !(rate > 0) || !std::isfinite(state.OffsetL))
        return {};
    return {true, frequency, rate, state.OffsetL};
}

std::int64_t JoinFrame(const BlockClock& old, const BlockClock& next, std::int64_t oldFrame, std::int64_t fadeFrames)
{
    if (!old.periodic || !next.periodic)
        return 0;
    const double half = static_cast<double>(fadeFrames) / 2;
    const double cycles = (static_cast<double>(oldFrame) + half + 1 + old.offset) * old.frequency / old.rate;
    const double phase = cycles - std::floor(cycles);
    // The first frame at that phase that leaves room for the first half of the fade.
    const double period = next.rate / next.frequency;
    const double first = phase * period - 1 - next.offset;
    const double centre = first + std::ceil((half - first) / period) * period;
    return std::llround(centre - half);
}

} // namespace kelvo
