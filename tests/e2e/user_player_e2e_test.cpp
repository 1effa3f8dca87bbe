#include "oscillator/oscillator.h"
#include "plain_event_loop.h"
#include "playback/portaudio_device.h"
#include "support/private_audio.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kelvo::test {
namespace {

using namespace std::chrono_literals;

struct Variant {
    const char* soxFormat; // sox's output options for the file
    int rate;              // of the file and the sink
    bool legacy;
    int tolerance;         // the sound server rounds depths other than 16 bit to 16
};

// A 1 s noise file made by sox in `folder`, played through the user player for 4.5 s while
// the null sink is recorded: the recording must be the file's frames looped, over more than
// two loop points. Returns what went wrong, empty when all held.
std::string PlayAndCompare(const Variant& v, const std::filesystem::path& folder)
{
    const auto file = folder / "noise file.wav";
    const std::string rate = std::to_string(v.rate);
    if (RunShell("sox -n -r " + rate + " " + v.soxFormat + " " + ShellQuoted(file) + " synth 1 whitenoise gain -6")
            .status != 0)
        return "sox could not make the file";
    // The file's frames as the 16-bit stereo sink holds them.
    const ShellResult expected = RunShell("sox " + ShellQuoted(file) + " -t raw -e signed -b 16 -c 2 -D -");
    const std::vector<std::int16_t> block = Int16Samples(expected.output);

    PrivateAudio audio(folder / "audio", v.rate);
    if (audio.server().empty())
        return "the private PulseAudio did not start:\n" + audio.error();
    ::setenv("PULSE_SERVER", audio.server().c_str(), 1);
    const auto recording = folder / "recording.raw";
    if (!audio.record(recording))
        return "the recorder did not start";
    {
        RecordingMessages messages;
        cli::PlainEventLoop loop;
        PortAudioBackend streamDevice = PortAudioDevice::create(loop);
        PortAudioBackend legacyDevice = PortAudioDevice::create(loop);
        if (!streamDevice.device || !legacyDevice.device)
            return "no output: " + streamDevice.error;
        Oscillator oscillator(folder, *streamDevice.device, *legacyDevice.device, loop, messages);
        oscillator.Start();
        SignalSettings& s = oscillator.settings();
        s.LegacyDriver = v.legacy ? 1 : 0;
        s.PlaylistPath[7] = file.string();
        s.PlaylistSel = 7;
        oscillator.Playwav();
        loop.run(std::chrono::steady_clock::now() + 4500ms);
        oscillator.Stopplay2();
        loop.run(std::chrono::steady_clock::now() + 400ms);
        if (!messages.shown.empty())
            return "the player said: " + messages.shown.front();
    }
    audio.stop();
    const std::size_t frames = block.size() / 2;
    const LoopedRecording loop = MatchLoop(block, Int16Samples(ReadFile(recording)), v.tolerance);
    if (!loop.start)
        return "the file's start never appears in the recording of " + std::to_string(loop.frames) + " frames";
    if (loop.matched < 2 * frames)
        return "the loop broke " + std::to_string(loop.matched) + " frames after the start";
    if (*loop.start + loop.matched + loop.silentAfter != loop.frames)
        return "sound after the stop";
    return {};
}

// A machine busy with other work may starve the sound server for a moment; a fault of the
// player shows every time, so a failure is given two more tries.
void CheckVariant(const Variant& v)
{
    if (!PrivateAudio::available() || RunShell("command -v sox >/dev/null").status != 0)
        GTEST_SKIP() << "pulseaudio, parec and sox are needed (scripts/bootstrap installs them)";
    std::string failures;
    for (int attempt = 1; attempt <= 3; ++attempt) {
        TempFolder folder;
        const std::string failure = PlayAndCompare(v, folder.path());
        if (failure.empty())
            return;
        failures += "attempt " + std::to_string(attempt) + ": " + failure + "\n";
    }
    ADD_FAILURE() << failures;
}

class UserPlayerEndToEnd : public testing::TestWithParam<Variant> {};

TEST_P(UserPlayerEndToEnd, PlaysTheFileLooped)
{
    CheckVariant(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Files, UserPlayerEndToEnd,
                         testing::Values(Variant{"-b 16 -c 2", 44100, false, 0}, Variant{"-b 16 -c 2", 44100, true, 0},
                                         Variant{"-b 8 -c 1", 44100, false, 0}, Variant{"-b 24 -c 2", 48000, false, 1},
                                         Variant{"-e floating-point -b 32 -c 2", 48000, false, 1}));

} // namespace
} // namespace kelvo::test
