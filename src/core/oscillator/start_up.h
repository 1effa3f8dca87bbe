#pragma once

#include "runtime/messages.h"
#include "settings/signal_settings.h"
#include "synth/wave_engine.h"

#include <filesystem>

namespace kelvo {

// The start-up both programs share: the start values, DefaultMems, stop.wav, then the
// settings files of `folder`. A stop file that cannot be written is shown; returns false then.
bool StartUp(SignalSettings& settings, WaveEngine& engine, const std::filesystem::path& folder, Messages& messages);

} // namespace kelvo
