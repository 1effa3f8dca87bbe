#include "oscillator/start_up.h"

#include "settings/memories.h"
#include "settings/settings_files.h"

namespace kelvo {

bool StartUp(SignalSettings& settings, WaveEngine& engine, const std::filesystem::path& folder, Messages& messages)
{
    settings = SignalSettings{};
    DefaultMems(settings);
    const std::string error = engine.MakeStopFile(settings, folder);
    if (!error.empty())
        messages.show("The stop file could not be written: " + error);
    LoadSettings(settings, folder);
    return error.empty();
}

} // namespace kelvo
