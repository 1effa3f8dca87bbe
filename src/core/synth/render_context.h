#pragma once

#include "core/runtime/random_source.h"
#include "core/settings/signal_settings.h"
#include "core/synth/sample_buffer.h"

namespace kelvo {

// Engine state that outlives a render. Everything starts at zero in a new process.
struct SynthState {
    // Channel factors; a channel mode outside the table leaves the previous gains.
    double GainL = 0;
    double GainR = 0;
    double AmpL = 0;
    double AmpR = 0;
    double OffsetL = 0;
    double OffsetR = 0;
    // Final count of the ramp generators' previous half cycle.
    double RampPrev = 0;
    // Last random targets of the smooth noise kinds, where the next noise render starts.
    double NoiseCurL = 0;
    double NoiseCurR = 0;
};

// What one render works on: the settings, the sized buffer and the frame loop bounds. The
// generators are written once for both kinds of buffer: 16-bit samples rounded as they are
// stored, or fine samples kept unrounded for 24-bit, float and dithered output.
template <typename T> struct BasicRenderContext {
    using Element = T;

    const SignalSettings& settings;
    SynthState& state;
    RandomSource& random;
    BasicSampleBuffer<T>& buffer;
    std::int64_t N = 0;    // upper index of the buffer
    FrameIndex frames = 0; // F: the shared loop runs n = 0 .. F - 1
    double sampleRate = 0; // SampleRate of the live slot
    double Pi = 3.141592653589793;
    double Period = 0;

    // Stores a sample at element `index` when it lies inside the buffer.
    void store(std::int64_t index, double value)
    {
        if (index >= 0 && index <= N)
            StoreSample(buffer[static_cast<std::size_t>(index)], value);
    }
    T& left(FrameIndex n) { return buffer[static_cast<std::size_t>(2 * n)]; }
    T& right(FrameIndex n) { return buffer[static_cast<std::size_t>(2 * n + 1)]; }

    // The closing pair after the loop fills elements N - 1 and N only where no frame
    // of the loop wrote, so a left value never lands on the right channel.
    void storeClosingPair(double leftValue, double rightValue)
    {
        if (N - 1 >= 2 * frames)
            store(N - 1, leftValue);
        if (N >= 2 * frames)
            store(N, rightValue);
    }
};

using RenderContext = BasicRenderContext<Sample>;
using FineRenderContext = BasicRenderContext<FineSample>;

// The frame count F of the shared loop for a buffer whose upper index is N:
// F - 1 = nearest(0.5 * N - 1).
inline FrameIndex LoopFrames(std::int64_t N)
{
    return NearestInteger(0.5 * static_cast<double>(N) - 1).value_or(-1) + 1;
}

} // namespace kelvo
