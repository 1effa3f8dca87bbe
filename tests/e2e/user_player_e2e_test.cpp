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
    const char* name;
    const char* soxFormat; // sox's options for the file
    int rate;              // of the file and the sink
    bool legacy;
    int tolerance;         // the sound server rounds other depths to its 16 bits
};

void PrintTo(const Variant& v, std::ostream* out)
{
    *out << v.name;
}

// A 1 s noise file made by sox, played by the user player for 4.5 s into the null sink:
// the recording must be the file looped over more than two loop points, then silence.
// Returns what went wrong, empty when all held. The fake devices of the player's unit tests
// prove each layout loops byte for byte; here the PortAudio sample format of each depth
// is heard (16-bit stereo on the stream engine already is, by the generator's recordings).
std::string PlayAndCompare(const Variant& v, const std::filesystem::path& folder)
{
    const auto file = folder / "noise file.wav";
    RunShell("sox -n -r " + std::to_string(v.rate) + " " + v.soxFormat + " " + ShellQuoted(file) + " synth 1 whitenoise gain -6");
    const auto block = Int16Samples(RunShell("sox " + ShellQuoted(file) + " -t raw -e signed -b 16 -c 2 -D -").output);
    PrivateAudio audio(folder / "audio", v.rate);
    if (audio.server().empty() || !audio.record(folder / "recording.raw"))
        return "the private PulseAudio did not start:\n" + audio.error();
    ::setenv("PULSE_SERVER", audio.server().c_str(), 1);
    {
        RecordingMessages messages;
        cli::PlainEventLoop loop;
        PortAudioBackend streamDevice = PortAudioDevice::create(loop), legacyDevice = PortAudioDevice::create(loop);
        if (!streamDevice.device || !legacyDevice.device)
            return "no output: " + streamDevice.error;
        Oscillator oscillator(folder, *streamDevice.device, *legacyDevice.device, loop, messages);
        oscillator.Start();
        oscillator.settings().LegacyDriver = v.legacy ? 1 : 0;
        oscillator.settings().PlaylistPath[7] = file.string();
        oscillator.settings().PlaylistSel = 7;
        oscillator.Playwav();
        loop.run(std::chrono::steady_clock::now() + 4500ms);
        oscillator.Stopplay2();
        loop.run(std::chrono::steady_clock::now() + 400ms);
        if (!messages.shown.empty())
            return "the player said: " + messages.shown.front();
    }
    audio.stop();
    const LoopedRecording loop = MatchLoop(block, Int16Samples(ReadFile(folder / "recording.raw")), v.tolerance);
    if (!loop.start || loop.matched < 2 * (block.size() / 2) || *loop.start + loop.matched + loop.silentAfter != loop.frames)
        return "the recording of " + std::to_string(loop.frames) + " frames holds " + std::to_string(loop.matched) +
               " looped frames of the file, then " + std::to_string(loop.silentAfter) + " silent ones";
    return {};
}

class UserPlayerEndToEnd : public testing::TestWithParam<Variant> {};

// A machine busy with other work may starve the sound server for a moment; a fault of the
// player shows every time, so a failure is given two more tries.
TEST_P(UserPlayerEndToEnd, PlaysTheFileLooped)
{
    if (!PrivateAudio::available() || RunShell("command -v sox >/dev/null").status != 0)
        GTEST_SKIP() << "pulseaudio, parec and sox are needed (scripts/bootstrap installs them)";
    std::string failures;
    for (int attempt = 1; attempt <= 3; ++attempt) {
        TempFolder folder;
        const std::string failure = PlayAndCompare(GetParam(), folder.path());
        if (failure.empty())
            return;
        failures += "attempt " + std::to_string(attempt) + ": " + failure + "\n";
    }
    ADD_FAILURE() << failures;
}

INSTANTIATE_TEST_SUITE_P(Files, UserPlayerEndToEnd,
                         testing::Values(Variant{"Pcm16Legacy", "-b 16 -c 2", 44100, true, 0},
                                         Variant{"Pcm8Mono", "-b 8 -c 1", 44100, false, 0},
                                         Variant{"Pcm24Extensible", "-b 24 -c 2", 48000, false, 1},
                                         Variant{"Float32", "-e floating-point -b 32 -c 2", 48000, false, 1}),
                         [](const testing::TestParamInfo<Variant>& info) { return std::string(info.param.name); });

} // namespace
} // namespace kelvo::test
