#pragma once

#include "core/settings/signal_settings.h"
#include "core/synth/render_context.h"

#include <string>

namespace kelvo {

// What a rendered block holds, channel by channel over its whole frames, as a meter or
// sox reads the written file: the largest sample and the RMS as fractions of full scale
// (32768), and whether any sample lay beyond what the file's format holds and was clamped.
struct ChannelLevels {
    double peak = 0;
    double rms = 0;
};
struct BlockLevels {
    ChannelLevels left;
    ChannelLevels right;
    bool clipped = false;
};

template <typename T> BlockLevels MeasureBlock(const BasicSampleBuffer<T>& buffer, FrameIndex frames, bool floatFile);

// Whether the waveform's RMS follows the level under the RMS reference: the steady signals
// (square, triangle, sawtooth, noise, two tone, multitone, modulation, the editor's table).
// The sine needs no scaling; bursts, pulses, the impulse and sweeps keep their peak levels.
bool FollowsRmsReference(const SignalSettings& settings);

// Scales each channel of a fine render so that its RMS over `frames` frames is that of the
// sine at its level: amplitude x 0.99 x 32767 / sqrt(2), times the size of its gain.
void MatchSineRms(FineSampleBuffer& buffer, FrameIndex frames, const SynthState& state);

// The status line's account of a block: "L peak -20.1, RMS -23.1 dBFS; R ..." in dBFS
// (of the file, as sox reads it) or, where the channel is calibrated and the unit asks for
// it, in dBu, dBV or volts; "clipped" when a sample was clamped.
// The parts are joined by `separator`.
std::string LevelsText(const BlockLevels& levels, const SignalSettings& settings, std::string_view separator = "; ");

} // namespace kelvo
