#pragma once

#include "core/runtime/random_source.h"
#include "core/settings/signal_settings.h"
#include "core/synth/block_levels.h"
#include "core/synth/block_size.h"
#include "core/synth/render_context.h"
#include "core/synth/sample_buffer.h"

#include <functional>
#include <string>

namespace kelvo {

// The synthesis engine: renders the live settings into its sample buffer. One render at a
// time, on the UI thread (which it blocks for the whole render) or, for a change while the
// signal plays, on the change renderer's thread; it may use further threads internally.
class WaveEngine {
public:
    explicit WaveEngine(RandomSource& random);

    // Called before the buffer is touched, to stop the output that may still play it.
    void setBeforeRender(std::function<void()> stopOutput);

    // Renders into the sample buffer. An arbitrary-table render (ArbBuild 1) sets the live
    // SampleRate to ArbSampleRate. Returns the refusal text, empty on success.
    [[nodiscard]] std::string Render(SignalSettings& settings);

    // The last render: 16-bit samples, or fine samples when fineRender() (then samples()
    // is empty, and the other way round).
    bool fineRender() const { return m_fineRender; }
    const SampleBuffer& samples() const { return m_buffer; }
    const FineSampleBuffer& fineSamples() const { return m_fine; }
    const SynthState& state() const { return m_state; }
    // The peak and RMS of each channel of the last render, as its file holds them.
    const BlockLevels& levels() const { return m_levels; }

private:
    template <typename T> void RenderInto(const SignalSettings& s, const BlockPlan& plan, BasicSampleBuffer<T>& buffer);

    RandomSource& m_random;
    std::function<void()> m_stopOutput;
    SampleBuffer m_buffer;
    FineSampleBuffer m_fine;
    bool m_fineRender = false;
    SynthState m_state;
    BlockLevels m_levels;
};

// Whether `settings` render fine samples: for 24-bit and float output, for dithered
// 16-bit output and under the RMS reference, which scales a finished block. Plain 16-bit renders (and any other Bits a file may
// hold) round every sample as it is made, as they always have.
bool RendersFine(const SignalSettings& settings);

} // namespace kelvo
