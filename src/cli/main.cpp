#include "render_command.h"
#include "stderr_messages.h"

#include <iostream>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kUsage =
    "usage: kelvo-cli render [--folder DIR] [--set Field=Value]... [-o FILE]\n"
    "\n"
    "  render   renders the signal of the saved settings, changed by each --set\n"
    "           (for example --set Waveform=11 --set MultiFreq[3]=1300), into the\n"
    "           program folder's test.wav, and copies it to FILE when -o is given\n";

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    kelvo::cli::StderrMessages messages;
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h") {
        std::cout << kUsage;
        return arguments.empty() ? 2 : 0;
    }
    if (arguments[0] != "render") {
        messages.show("unknown command \"" + std::string(arguments[0]) + "\"");
        std::cerr << kUsage;
        return 2;
    }
    const auto parsed = kelvo::cli::ParseRenderOptions(std::span(arguments).subspan(1));
    if (!parsed.error.empty()) {
        messages.show(parsed.error);
        std::cerr << kUsage;
        return 2;
    }
    kelvo::cli::RenderSession session;
    return kelvo::cli::RenderCommand(parsed.options, session, messages) ? 0 : 1;
}
