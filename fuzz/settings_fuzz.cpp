// The six settings files through a whole start and exit of the oscillator: start (load
// and display), exit (save, keeping damaged files as .bak), start again. What the first
// start accepted must come back identical, and the saved files must read without problems.
#include "core/oscillator/oscillator.h"
#include "core/oscillator/unavailable_device.h"
#include "core/settings/settings_files.h"
#include "fuzz_support.h"

#include <cstdint>

using namespace kelvo;
using fuzz::CountingMessages;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = fuzz::ScratchFolder("settings");
    static fuzz::IdleLoop loop;
    static UnavailableDevice device("no sound output while fuzzing");
    const std::string_view input(size == 0 ? "" : reinterpret_cast<const char*>(data), size);
    fuzz::PlaceSettingsFiles(folder, input);

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
