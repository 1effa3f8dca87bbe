#include "oscillator/rendered_copy.h"

#include "runtime/atomic_file.h"
#include "runtime/program_folder.h"
#include "synth/wave_engine.h"

#include <system_error>

namespace kelvo {

std::string CopyRenderedSignal(const WaveEngine& engine, const std::filesystem::path& folder,
                               const std::filesystem::path& target)
{
    if (engine.lastBuildFailed())
        return "Nothing was saved: the last render failed, so there is no current signal to save.";
    const std::filesystem::path rendered = ProgramFile(folder, kRenderedFile);
    std::error_code error;
    if (!std::filesystem::exists(rendered, error))
        return "No signal has been rendered yet, so there is nothing to save: switch a signal on first.";
    return CopyFileAtomically(rendered, target);
}

} // namespace kelvo
