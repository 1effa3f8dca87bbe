#pragma once

#include "core/runtime/random_source.h"
#include "core/settings/signal_settings.h"
#include "core/synth/render_context.h"
#include "core/synth/sample_buffer.h"

#include <functional>
#include <string>

namespace kelvo {

// The synthesis engine: renders the live settings into its sample buffer. Runs on the UI
// thread and blocks it for the whole render; it may use further threads internally.
class WaveEngine {
public:
    explicit WaveEngine(RandomSource& random);

    // Called before the buffer is touched, to stop the output that may still play it.
    void setBeforeRender(std::function<void()> stopOutput);

    // Renders into the sample buffer. An arbitrary-table render (ArbBuild 1) sets the live
    // SampleRate to ArbSampleRate. Returns the refusal text, empty on success.
    [[nodiscard]] std::string Render(SignalSettings& settings);

    const SampleBuffer& samples() const { return m_buffer; }
    const SynthState& state() const { return m_state; }

private:
    RandomSource& m_random;
    std::function<void()> m_stopOutput;
    SampleBuffer m_buffer;
    SynthState m_state;
};

} // namespace kelvo
