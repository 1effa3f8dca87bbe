#include "serve_command.h"

#include "core/oscillator/oscillator.h"
#include "core/playback/system_output.h"
#include "core/remote/remote_control.h"
#include "core/runtime/program_folder.h"
#include "core/settings/field_registry.h"
#include "plain_event_loop.h"

#include <iostream>

namespace kelvo::cli {

bool ServeCommand(const ServeOptions& options, Messages& messages, const std::atomic<bool>& interrupted)
{
    PlainEventLoop loop;
    SystemOutput streamDevice(loop);
    SystemOutput legacyDevice(loop);
    Oscillator oscillator(ResolveProgramFolder(options.render.folder, ExecutableFolder()), streamDevice, legacyDevice, loop,
                          messages);
    oscillator.Start();
    if (const std::string error = SetFields(oscillator.settings(), options.render.assignments); !error.empty()) {
        messages.show("--set " + error);
        return false;
    }
    oscillator.Update();

    RemoteControl remote(oscillator, loop, [&loop] { loop.quit(); });
    if (const std::string error = remote.listen(options.port, options.address); !error.empty()) {
        messages.show("cannot serve remote control: " + error);
        return false;
    }
    if (!options.address.empty())
        messages.show(OpenListenWarning(options.address));
    // Scripts wait for this line before they connect.
    std::cout << "serving SCPI on port " << remote.port() << std::endl;
    loop.run(std::chrono::steady_clock::time_point::max(), &interrupted);
    oscillator.stopSignal();
    return true;
}

} // namespace kelvo::cli
