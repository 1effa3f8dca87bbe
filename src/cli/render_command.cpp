#include "render_command.h"

#include "oscillator/start_up.h"
#include "runtime/program_folder.h"
#include "settings/field_registry.h"

#include <system_error>

namespace kelvo::cli {

bool PrepareSettings(const RenderOptions& options, RenderSession& session, Messages& messages)
{
    session.folder = ResolveProgramFolder(options.folder, ExecutableFolder());
    SignalSettings& settings = session.settings;
    StartUp(settings, session.engine, session.folder, messages);

    if (const std::string error = SetFields(settings, options.assignments); !error.empty()) {
        messages.show("--set " + error);
        return false;
    }
    return true;
}

bool RenderCommand(const RenderOptions& options, RenderSession& session, Messages& messages)
{
    if (!PrepareSettings(options, session, messages))
        return false;
    return session.engine.BuildWave(session.settings, session.folder, messages) &&
           CopyRenderedFile(options, session, messages);
}

bool CopyRenderedFile(const RenderOptions& options, const RenderSession& session, Messages& messages)
{
    if (!options.output)
        return true;

    const auto rendered = ProgramFile(session.folder, kRenderedFile);
    std::error_code error;
    if (std::filesystem::weakly_canonical(*options.output, error) ==
        std::filesystem::weakly_canonical(rendered, error))
        return true;
    std::filesystem::copy_file(rendered, *options.output,
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
        messages.show("\"" + options.output->string() + "\" could not be written: " + error.message());
        return false;
    }
    return true;
}

} // namespace kelvo::cli
