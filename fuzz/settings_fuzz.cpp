// The five settings files through a whole start and exit of the oscillator: start (load
// and display), exit (save, keeping damaged files as .bak), start again. What the first
// start accepted must come back identical, and the saved files must read without problems.
#include "fuzz_support.h"
#include "oscillator/oscillator.h"
#include "oscillator/unavailable_device.h"
#include "settings/settings_files.h"

#include <array>
#include <cstdint>
#include <fstream>

namespace {

using namespace kelvo;
using fuzz::CountingMessages;

// A loop whose timers never fire: nothing is played here.
class IdleLoop final : public EventLoop {
public:
    void post(Task) override {}
    TimerId startTimer(std::chrono::milliseconds, bool, Task) override { return ++m_last; }
    void stopTimer(TimerId) override {}

private:
    TimerId m_last = 0;
};

constexpr std::array<std::string_view, 5> kNames = {kMainSettingsFile, kUserStepFile, kMultitoneFile,
                                                    kPlaylistFile, kArbDataFile};

// The input holds the five files in load order, separated by NUL bytes; files past the
// last part do not exist.
void PlaceFiles(const std::filesystem::path& folder, std::string_view input)
{
    for (const auto name : kNames) {
        std::filesystem::remove(folder / name);
        if (input.data() == nullptr)
            continue;
        const auto end = input.find('\0');
        std::ofstream(folder / name, std::ios::binary) << input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = fuzz::ScratchFolder("settings");
    static IdleLoop loop;
    static UnavailableDevice device("no sound output while fuzzing");
    const std::string_view input(size == 0 ? "" : reinterpret_cast<const char*>(data), size);
    PlaceFiles(folder, input);

    std::string accepted;
    {
        CountingMessages messages;
        Oscillator oscillator(folder, device, device, loop, messages);
        oscillator.Start();
        accepted = fuzz::RecordImage(oscillator.settings());
        const int atStart = messages.count;
        fuzz::Check(atStart <= 1, "the start showed more than one message");
        oscillator.Exit();
        fuzz::Check(messages.count == atStart, "the settings could not be saved");
    }
    CountingMessages messages;
    Oscillator again(folder, device, device, loop, messages);
    again.Start();
    fuzz::Check(messages.count == 0, "files the program saved read back with problems");
    fuzz::Check(fuzz::RecordImage(again.settings()) == accepted, "a value read at start did not come back after exit");
    return 0;
}
