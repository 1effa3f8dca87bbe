#include "fields_command.h"
#include "kelvo_config.h"
#include "play_command.h"
#include "render_command.h"
#include "serve_command.h"
#include "stderr_messages.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <new>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kUsage =
    "usage: kelvo-cli render [--folder DIR] [--set Field=Value]... [-o FILE]\n"
    "       kelvo-cli play [--folder DIR] [--set Field=Value]... [-o FILE] [--seconds S] [--device N]\n"
    "                      [--quiet]\n"
    "       kelvo-cli serve [--folder DIR] [--set Field=Value]... [--port PORT] [--listen ADDRESS]\n"
    "       kelvo-cli devices\n"
    "       kelvo-cli fields\n"
    "       kelvo-cli --help | --version\n"
    "\n"
    "  render   renders the signal of the saved settings, changed by each --set\n"
    "           (for example --set Waveform=11 --set MultiFreq[3]=1300), into the\n"
    "           program folder's test.wav, and copies it to FILE when -o is given\n"
    "  play     renders as render does, then plays test.wav in a loop for S seconds\n"
    "           or until interrupted, on output device N of `devices` (0 and -1 are the\n"
    "           system's default output); without --device on the saved OutDevice, which\n"
    "           is 0 unless changed; --set LegacyDriver=1 plays it through the legacy\n"
    "           player on the default output; when the output ran dry it says how\n"
    "           often at the end (not with --quiet) and exits with status 1\n"
    "  serve    answers SCPI remote control on TCP port PORT (5025 unless given) of the\n"
    "           loopback addresses, or of ADDRESS, and plays as play does, until a client\n"
    "           sends SYSTem:EXIT or it is interrupted; the settings files are not written\n"
    "  devices  lists the output devices with their index for --device; 0 is the\n"
    "           default output\n"
    "  fields   lists every field --set takes, with its values, unit, start value\n"
    "           and meaning\n";

std::atomic<bool> g_interrupted{false};

extern "C" void Interrupt(int)
{
    g_interrupted.store(true);
}

// Runs a command that goes on until it is interrupted, once its options are understood.
template <typename Parsed, typename Command>
int RunUntilInterrupted(const Parsed& parsed, kelvo::cli::StderrMessages& messages, Command command)
{
    if (!parsed.error.empty()) {
        messages.show(parsed.error);
        std::cerr << kUsage;
        return 2;
    }
    std::signal(SIGINT, Interrupt);
    std::signal(SIGTERM, Interrupt);
    return command(parsed.options, messages, g_interrupted) ? 0 : 1;
}

int Run(const std::vector<std::string_view>& arguments, kelvo::cli::StderrMessages& messages)
{
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h") {
        std::cout << kUsage;
        return arguments.empty() ? 2 : 0;
    }
    if (arguments[0] == "--version" || arguments[0] == "-v") {
        std::cout << "kelvo-cli " KELVO_VERSION "\n";
        return 0;
    }
    const auto rest = std::span(arguments).subspan(1);
    if ((arguments[0] == "devices" || arguments[0] == "fields") && !rest.empty()) {
        messages.show(std::string(arguments[0]) + " takes no options, not \"" + std::string(rest.front()) + "\"");
        std::cerr << kUsage;
        return 2;
    }
    if (arguments[0] == "devices")
        return kelvo::cli::DevicesCommand(messages) ? 0 : 1;
    if (arguments[0] == "fields") {
        std::cout << kelvo::cli::FieldsText();
        return 0;
    }
    if (arguments[0] == "play")
        return RunUntilInterrupted(kelvo::cli::ParsePlayOptions(rest), messages, kelvo::cli::PlayCommand);
    if (arguments[0] == "serve")
        return RunUntilInterrupted(kelvo::cli::ParseServeOptions(rest), messages, kelvo::cli::ServeCommand);
    if (arguments[0] != "render") {
        messages.show("unknown command \"" + std::string(arguments[0]) + "\"");
        std::cerr << kUsage;
        return 2;
    }
    const auto parsed = kelvo::cli::ParseRenderOptions(rest);
    if (!parsed.error.empty()) {
        messages.show(parsed.error);
        std::cerr << kUsage;
        return 2;
    }
    kelvo::cli::RenderSession session;
    return kelvo::cli::RenderCommand(parsed.options, session, messages) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    kelvo::cli::StderrMessages messages;
    // No input may end the program with an abort: a failed allocation is a plain error.
    try {
        return Run(arguments, messages);
    } catch (const std::bad_alloc&) {
        messages.show("not enough memory to go on");
        return 1;
    }
}
