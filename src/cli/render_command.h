#pragma once

#include "cli_options.h"
#include "core/oscillator/signal_files.h"
#include "core/runtime/messages.h"
#include "core/runtime/random_source.h"
#include "core/settings/signal_settings.h"
#include "core/synth/wave_engine.h"

#include <filesystem>

namespace kelvo::cli {

// What `render` leaves behind for a command that goes on to play the result.
struct RenderSession {
    SignalSettings settings;
    RandomSource random;
    WaveEngine engine{random};
    SignalFiles files{engine};
    std::filesystem::path folder;
};

// Runs the start-up of the oscillator (start values, memories, stop.wav, the five
// settings files, saying which could not be read) and applies the assignments. Returns
// false after showing why.
bool PrepareSettings(const RenderOptions& options, RenderSession& session, Messages& messages);

// Copies the test.wav that `files` rendered into `folder` to the output file when one is
// given. Returns false after showing why.
bool CopyRenderedFile(const RenderOptions& options, const SignalFiles& files, const std::filesystem::path& folder,
                      Messages& messages);

// Runs the start-up of the oscillator (start values, memories, stop.wav, the five
// settings files), applies the assignments, renders test.wav and copies it to the
// output file when one is given. Returns false after showing why.
bool RenderCommand(const RenderOptions& options, RenderSession& session, Messages& messages);

} // namespace kelvo::cli
