#pragma once

#include "core/runtime/messages.h"
#include "core/settings/signal_settings.h"
#include "core/synth/wave_engine.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace kelvo {

inline constexpr std::string_view kRenderedFile = "test.wav";
inline constexpr std::string_view kStopFile = "stop.wav";

// The rendered signal as the program folder's test.wav, which every player plays. Keeps
// whether the last render failed, since test.wav then holds an older signal than the
// settings describe. UI thread only; the engine outlives it.
class SignalFiles {
public:
    explicit SignalFiles(WaveEngine& engine);

    // Renders and writes test.wav into `folder`. An arbitrary-table render (ArbBuild 1)
    // sets the live SampleRate to ArbSampleRate. Returns false, after showing why, when
    // the render is refused (also when a code the program does not know would leave it
    // silent, SilentRenderRefusal) or the file cannot be written; nothing is then written.
    bool renderToFile(SignalSettings& settings, const std::filesystem::path& folder, Messages& messages);

    bool lastRenderFailed() const { return m_lastRenderFailed; }

    // Saves test.wav as `target`, replacing it whole through a temporary file; saving onto
    // test.wav itself changes nothing. Returns what went wrong for the user (no signal
    // rendered yet, the last render failed so test.wav is stale, or why the copy failed,
    // naming the file), empty on success.
    [[nodiscard]] std::string copyRendered(const std::filesystem::path& folder, const std::filesystem::path& target) const;

    WaveEngine& engine() { return m_engine; }

private:
    // Writes the last render to `path` in the format `s` asks for.
    [[nodiscard]] std::string WriteRendered(const std::filesystem::path& path, const SignalSettings& s) const;

    WaveEngine& m_engine;
    bool m_lastRenderFailed = false;
};

// Writes the silent stop.wav (201 zero elements at the live sample rate) into `folder`.
// Returns the error text, empty on success.
[[nodiscard]] std::string WriteStopFile(const SignalSettings& settings, const std::filesystem::path& folder);

} // namespace kelvo
