#include "render_command.h"

#include "core/oscillator/start_up.h"
#include "core/runtime/program_folder.h"
#include "core/settings/field_registry.h"
#include "core/settings/level_units.h"
#include "core/synth/block_levels.h"

#include <iostream>

namespace kelvo::cli {

bool PrepareSettings(const RenderOptions& options, RenderSession& session, Messages& messages)
{
    session.folder = ResolveProgramFolder(options.folder, ExecutableFolder());
    SignalSettings& settings = session.settings;
    if (!StartUp(settings, session.folder, messages).stopFileWritten)
        return false;

    if (const std::string error = SetFields(settings, options.assignments); !error.empty()) {
        messages.show("--set " + error);
        return false;
    }
    // The limit holds for --set as for every other way of setting a level.
    if (const std::string held = ApplyLevelLimit(settings); !held.empty())
        messages.show(held + ".");
    return true;
}

bool RenderCommand(const RenderOptions& options, RenderSession& session, Messages& messages)
{
    if (!PrepareSettings(options, session, messages))
        return false;
    if (!session.files.renderToFile(session.settings, session.folder, messages) ||
        !CopyRenderedFile(options, session.files, session.folder, messages))
        return false;
    std::cout << LevelsText(session.engine.levels(), session.settings) << '\n';
    return true;
}

bool CopyRenderedFile(const RenderOptions& options, const SignalFiles& files, const std::filesystem::path& folder,
                      Messages& messages)
{
    if (!options.output)
        return true;

    const std::string error = files.copyRendered(folder, *options.output);
    if (!error.empty())
        messages.show(error);
    return error.empty();
}

} // namespace kelvo::cli
