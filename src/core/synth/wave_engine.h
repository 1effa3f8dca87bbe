#pragma once

#include "runtime/messages.h"
#include "runtime/random_source.h"
#include "settings/signal_settings.h"
#include "synth/render_context.h"
#include "synth/sample_buffer.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace kelvo {

inline constexpr std::string_view kRenderedFile = "test.wav";
inline constexpr std::string_view kStopFile = "stop.wav";

// The synthesis engine: renders the live settings into its sample buffer and writes the
// buffer as the program folder's test.wav. Runs on the UI thread and blocks it for the
// whole render; it may use further threads internally.
class WaveEngine {
public:
    explicit WaveEngine(RandomSource& random);

    // Called before the buffer or the file is touched, to stop the output and close the
    // file the player holds open.
    void setBeforeRender(std::function<void()> stopOutput);

    // Renders and writes test.wav into `folder`. An arbitrary-table render (ArbBuild 1)
    // sets the live SampleRate to ArbSampleRate. Returns false, after showing why, when
    // the render is refused (also when a code the program does not know would leave it
    // silent, SilentRenderRefusal) or the file cannot be written; nothing is then written.
    bool BuildWave(SignalSettings& settings, const std::filesystem::path& folder, Messages& messages);

    // Renders into the sample buffer without writing a file. Returns the refusal text,
    // empty on success.
    std::string Render(SignalSettings& settings);

    // Writes the silent stop.wav (201 zero elements at the live sample rate) into `folder`.
    // Returns the error text, empty on success.
    std::string MakeStopFile(const SignalSettings& settings, const std::filesystem::path& folder);

    // Whether the last BuildWave of this process failed: test.wav then holds an older
    // signal than the one the settings describe.
    bool lastBuildFailed() const { return m_lastBuildFailed; }

    const SampleBuffer& samples() const { return m_buffer; }
    const SynthState& state() const { return m_state; }

private:
    RandomSource& m_random;
    std::function<void()> m_stopOutput;
    SampleBuffer m_buffer;
    SynthState m_state;
    bool m_lastBuildFailed = false;
};

} // namespace kelvo
