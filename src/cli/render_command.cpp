#include "render_command.h"

#include "core/oscillator/start_up.h"
#include "core/runtime/program_folder.h"
#include "core/settings/field_registry.h"

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
    return true;
}

bool RenderCommand(const RenderOptions& options, RenderSession& session, Messages& messages)
{
    if (!PrepareSettings(options, session, messages))
        return false;
    return session.files.renderToFile(session.settings, session.folder, messages) &&
           CopyRenderedFile(options, session.files, session.folder, messages);
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
