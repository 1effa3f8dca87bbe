#include "core/synth/whole_cycles.h"

#include "core/settings/signal_codes.h"

#include <algorithm>
#include <cmath>

namespace kelvo {

std::int64_t WholeCycleFrames(std::int64_t frames, double rate, std::span<const double> frequencies)
{
    if (frequencies.empty() || frames < 1 || !(rate > 0))
        return frames;
    std::vector<double> cyclesPerFrame;
    for (const double f : frequencies) {
        if (std::isfinite(f) && f > 0)
            cyclesPerFrame.push_back(f / rate);
    }
    if (cyclesPerFrame.empty())
        return frames;
    const auto shortest = static_cast<std::int64_t>(std::ceil(0.9 * static_cast<double>(frames)));
    std::int64_t best = frames;
    double bestError = 1;
    for (std::int64_t length = frames; length >= shortest && bestError > 0; --length) {
        double worst = 0;
        for (const double c : cyclesPerFrame) {
            const double cycles = c * static_cast<double>(length);
            worst = std::max(worst, std::abs(cycles - std::nearbyint(cycles)));
            if (worst >= bestError)
                break;
        }
        if (worst < bestError) {
            bestError = worst;
            best = length;
        }
    }
    return best;
}

std::vector<double> LoopTones(const SignalSettings& s)
{
    switch (WaveformCode{s.Waveform[0]}) {
    case WaveformCode::Sine:
    case WaveformCode::Square:
    case WaveformCode::Triangle:
    case WaveformCode::Sawtooth: return {s.Freq[0]};
    case WaveformCode::TwoTone: return {s.ToneFreq1, s.ToneFreq2};
    case WaveformCode::Multitone: {
        const int count = std::clamp<int>(s.MultiCount, 0, kListMax);
        return {s.MultiFreq.begin() + 1, s.MultiFreq.begin() + 1 + count};
    }
    case WaveformCode::AmplitudeModulation: return {s.AmCarrierFreq, s.AmModFreq};
    case WaveformCode::FrequencyModulation: return {s.FmCarrierFreq, s.FmModFreq};
    case WaveformCode::DoubleSideband: return {s.DsbCarrierFreq, s.DsbModFreq};
    default: return {};
    }
}

} // namespace kelvo
