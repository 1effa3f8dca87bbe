#pragma once

#include "core/runtime/messages.h"
#include "core/settings/settings_files.h"
#include "core/settings/signal_settings.h"

#include <filesystem>
#include <vector>

namespace kelvo {

struct StartUpResult {
    bool stopFileWritten = true;
    // Settings files that exist but could not be read whole; the first save keeps each as .bak.
    std::vector<SettingsFileProblem> damagedFiles;
};

// The start-up both programs share: the start values, DefaultMems, stop.wav, then the
// settings files of `folder`. A stop file that cannot be written and settings files that
// cannot be read whole are shown once each.
StartUpResult StartUp(SignalSettings& settings, const std::filesystem::path& folder, Messages& messages);

} // namespace kelvo
