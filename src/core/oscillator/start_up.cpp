#include "core/oscillator/start_up.h"

#include "core/oscillator/signal_files.h"
#include "core/runtime/atomic_file.h"
#include "core/settings/memories.h"

namespace kelvo {

StartUpResult StartUp(SignalSettings& settings, const std::filesystem::path& folder, Messages& messages)
{
    StartUpResult result;
    RemoveStaleTemporaries(folder);
    settings = SignalSettings{};
    DefaultMems(settings);
    if (const std::string error = WriteStopFile(settings, folder); !error.empty()) {
        messages.show("The stop file could not be written: " + error);
        result.stopFileWritten = false;
    }
    result.damagedFiles = LoadSettings(settings, folder);
    if (!result.damagedFiles.empty())
        messages.show(SettingsProblemsMessage(result.damagedFiles, folder));
    return result;
}

} // namespace kelvo
