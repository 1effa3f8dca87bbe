// Lines from a remote client through the SCPI parser and command table to the oscillator.
// Every reply is whole lines of printable text, at most one per line received; a line that
// is refused leaves the record as it was; Playing stays 0 or 1. Lines that switch the
// output on are left out: a render of any size is the render target's.
#include "core/oscillator/oscillator.h"
#include "core/oscillator/unavailable_device.h"
#include "core/remote/scpi_session.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

using namespace kelvo;

namespace {

bool SwitchesOn(std::string_view line)
{
    std::string upper(line);
    std::ranges::transform(upper, upper.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper.find("OUTP") != std::string::npos || upper.find("PLAYING") != std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = fuzz::ScratchFolder("scpi");
    static fuzz::IdleLoop loop;
    static UnavailableDevice device("no sound output while fuzzing");
    std::string_view input(size == 0 ? "" : reinterpret_cast<const char*>(data), size);

    fuzz::CountingMessages messages;
    Oscillator oscillator(folder, device, device, loop, messages);
    oscillator.Start();
    ScpiSession session(oscillator, {});
    while (!input.empty()) {
        const auto end = input.find('\n');
        const std::string_view line = input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
        if (line.size() > 64 * 1024 || SwitchesOn(line))
            continue;
        const bool single = line.find(';') == std::string_view::npos;
        if (single)
            session.receive("*CLS");
        const std::string before = fuzz::RecordImage(oscillator.settings());
        const std::string reply = session.receive(line);
        fuzz::Check(std::ranges::count(reply, '\n') <= 1 && (reply.empty() || reply.back() == '\n'),
                    "a line was answered with more than one line");
        fuzz::Check(
            std::ranges::none_of(reply.substr(0, reply.empty() ? 0 : reply.size() - 1), [](unsigned char c) { return c < 0x20; }),
            "a reply holds a control character");
        fuzz::Check(oscillator.settings().Playing == 0 || oscillator.settings().Playing == 1, "Playing is neither 0 nor 1");
        // A line of one command that ends in an error must not have changed anything.
        if (single && session.receive("SYST:ERR?").substr(0, 2) != "0,")
            fuzz::Check(fuzz::RecordImage(oscillator.settings()) == before, "a refused command changed the record");
    }
    return 0;
}
