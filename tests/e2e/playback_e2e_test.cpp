#include "support/decoded_wave.h"
#include "support/private_audio.h"
#include "support/test_support.h"
#include "support/user_file_play.h"

#include <thread>

namespace kelvo::test {
namespace {

using namespace std::chrono_literals;

struct Variant {
    const char* name;
    int rate; // of the file and the sink
    bool legacy;
    const char* sox;        // the user player plays a 1 s noise file that sox makes with these options
    int tolerance;          // the sound server rounds other depths to its 16 bits
    bool portAudio = false; // the default output through PortAudio rather than as the server's client
    int bits = 16;          // of the rendered signal; others are recorded as float
};

// kelvo-cli plays the rendered 2 s sine for 8 s: about 7.4 s after the render and the start
// delay, well over two loop points, then silence.
std::string PlayGenerator(const Variant& v, const TempFolder& folder, PrivateAudio& audio)
{
    const ShellResult played =
        RunShell("PULSE_SERVER='" + audio.server() + "' " + (v.portAudio ? "KELVO_AUDIO_BACKEND=portaudio " : "") +
                 "'" KELVO_CLI_PATH "' play --folder " + ShellQuoted(folder.path()) +
                 " --set SampleRate=" + std::to_string(v.rate) + " --set WaveBuildLength=1 --set Bits=" + std::to_string(v.bits) +
                 " --set LegacyDriver=" + (v.legacy ? "1" : "0") + " --seconds 8 2>&1");
    std::this_thread::sleep_for(400ms);
    audio.stop();
    if (played.status != 0 || !played.output.empty())
        return "kelvo-cli play ended with status " + std::to_string(played.status) + ":\n" + played.output;
    if (v.bits != 16) {
        // The server's float path moves values near zero (1e-17 at a zero crossing) by less
        // than 1e-9, far below a float sample's resolution at full scale (6e-8).
        const std::vector<double> decoded = DecodedSamples(folder / "test.wav"); // exact as floats
        const std::vector<float> wave(decoded.begin(), decoded.end());
        const double tolerance = v.bits == 32 ? 1e-9 : 0;
        return LoopFault(MatchLoop(wave, FloatSamples(ReadFile(folder / "recording.raw")), tolerance), 3 * (wave.size() / 2),
                         static_cast<std::size_t>(v.rate / 10));
    }
    const std::string file = ReadFile(folder / "test.wav");
    const std::vector<std::int16_t> wave = Int16Samples(file.substr(std::min<std::size_t>(44, file.size())));
    return LoopFault(MatchLoop(wave, Int16Samples(ReadFile(folder / "recording.raw"))), 3 * (wave.size() / 2),
                     static_cast<std::size_t>(v.rate / 10));
}

// The user player plays a noise file for 4.5 s, over more than two loop points. The unit
// tests' fake devices prove each layout loops byte for byte; here the PortAudio sample
// format of each depth is heard.
std::string PlayNoiseFile(const Variant& v, const TempFolder& folder, PrivateAudio& audio)
{
    const auto file = folder / "noise file.wav";
    RunShell("sox -n -r " + std::to_string(v.rate) + " " + v.sox + " " + ShellQuoted(file) + " synth 1 whitenoise gain -6");
    const auto block = Int16Samples(RunShell("sox " + ShellQuoted(file) + " -t raw -e signed -b 16 -c 2 -D -").output);
    if (const std::string fault = PlayUserFile(folder.path(), file, audio.server(), 4500ms, v.legacy); !fault.empty())
        return fault;
    audio.stop();
    return LoopFault(MatchLoop(block, Int16Samples(ReadFile(folder / "recording.raw")), v.tolerance), block.size(), 0);
}

// The null sink's monitor is recorded while a file plays in a loop: the recording must be
// the file's whole frames looped, sample for sample, then silence.
class LoopedPlaybackEndToEnd : public testing::TestWithParam<Variant> {};

TEST_P(LoopedPlaybackEndToEnd, RecordsTheFileLoopedThenSilence)
{
    if (!PrivateAudio::available() || RunShell("command -v sox >/dev/null").status != 0)
        GTEST_SKIP() << "pulseaudio, parec and sox are needed (scripts/bootstrap installs them)";
    ExpectInThreeTries([this] {
        TempFolder folder;
        PrivateAudio audio(folder / "audio", GetParam().rate, AudioServer::PulseAudio,
                           GetParam().bits == 16 ? "s16le" : "float32le");
        if (audio.server().empty() || !audio.record(folder / "recording.raw"))
            return "the private PulseAudio did not start:\n" + audio.error();
        return GetParam().sox ? PlayNoiseFile(GetParam(), folder, audio) : PlayGenerator(GetParam(), folder, audio);
    });
}

INSTANTIATE_TEST_SUITE_P(Files, LoopedPlaybackEndToEnd,
                         testing::Values(Variant{"Generator44100", 44100, false, nullptr, 0},
                                         Variant{"GeneratorPortAudio", 48000, false, nullptr, 0, true},
                                         Variant{"GeneratorLegacy", 44100, true, nullptr, 0},
                                         Variant{"Generator24", 48000, false, nullptr, 0, false, 24},
                                         Variant{"GeneratorFloat", 48000, false, nullptr, 0, false, 32},
                                         Variant{"Generator24Legacy", 48000, true, nullptr, 0, false, 24},
                                         Variant{"Pcm16Legacy", 44100, true, "-b 16 -c 2", 0},
                                         Variant{"Pcm8Mono", 44100, false, "-b 8 -c 1", 0},
                                         Variant{"Pcm24Extensible", 48000, false, "-b 24 -c 2", 1},
                                         Variant{"Float32", 48000, false, "-e floating-point -b 32 -c 2", 1}),
                         [](const testing::TestParamInfo<Variant>& info) { return std::string(info.param.name); });

// A player held up for longer than the sound it has queued leaves a gap on either sound
// server (a null sink nobody records holds two seconds of its own): kelvo-cli says so at
// the end and fails.
class StalledPlayEndToEnd : public testing::TestWithParam<AudioServer> {};

TEST_P(StalledPlayEndToEnd, CountsTheGapAndExitsWithStatusOne)
{
    if (!PrivateAudio::available(GetParam()))
        GTEST_SKIP() << AudioServerName(GetParam()) << " is not installed (scripts/bootstrap installs it)";
    TempFolder folder;
    PrivateAudio audio(folder / "audio", 48000, GetParam());
    ASSERT_FALSE(audio.server().empty()) << audio.error();
    const ShellResult played =
        RunShell("PULSE_SERVER='" + audio.server() + "' '" KELVO_CLI_PATH "' play --folder " + ShellQuoted(folder.path()) +
                 " --seconds 9 2>&1 & pid=$!; sleep 2; kill -STOP $pid; "
                 "sleep 5; kill -CONT $pid; wait $pid");
    EXPECT_EQ(played.status, 1);
    EXPECT_TRUE(played.output.starts_with("kelvo-cli: Output ran dry ")) << played.output;
    EXPECT_TRUE(played.output.ends_with(": the signal had gaps\n")) << played.output;
}

INSTANTIATE_TEST_SUITE_P(Servers, StalledPlayEndToEnd, testing::Values(AudioServer::PulseAudio, AudioServer::PipeWire),
                         [](const testing::TestParamInfo<AudioServer>& info) { return AudioServerName(info.param); });

// Two null sinks of one private PulseAudio, each an output device of its own through a
// private ALSA configuration with one pulse PCM per sink: a -20 dB sine played on the
// second device, at the index `kelvo-cli devices` gives it, reaches that sink alone. A
// device that cannot be opened, or a sound server that goes away, ends the play with a message.
TEST(CliOutputEndToEnd, PlaysOnTheChosenDeviceAndStopsWithAMessageWhenTheServerGoes)
{
    if (!PrivateAudio::available())
        GTEST_SKIP() << "pulseaudio and parec are not installed (scripts/bootstrap installs them)";
    TempFolder folder;
    PrivateAudio audio(folder / "audio", 44100);
    ASSERT_FALSE(audio.server().empty()) << audio.error();
    std::filesystem::create_directories(folder / "home");
    WriteFile(folder / "home" / ".asoundrc", "pcm.kelvo_first { type pulse device kelvo }\n"
                                             "pcm.kelvo_second { type pulse device kelvo2 }\n");
    const std::string env = "export PULSE_SERVER='" + audio.server() + "' HOME=" + ShellQuoted(folder / "home") + "; ";
    const std::string play = env + "'" KELVO_CLI_PATH "' play --folder " + ShellQuoted(folder.path()) + " ";
    ASSERT_EQ(RunShell(env + "pactl load-module module-null-sink sink_name=kelvo2 >/dev/null").status, 0);
    // Listed without the sound libraries' probing chatter.
    const ShellResult listed = RunShell(env + "'" KELVO_CLI_PATH "' devices 2>&1");
    EXPECT_EQ(listed.output.find("ALSA lib"), std::string::npos) << listed.output;
    EXPECT_EQ(listed.output.find("jack"), std::string::npos) << listed.output;
    const auto at = listed.output.find(": kelvo_second\n");
    ASSERT_NE(at, std::string::npos) << listed.output;
    const std::size_t line = listed.output.rfind('\n', at) + 1; // the first line's npos wraps to 0
    const std::string index = listed.output.substr(line, at - line);

    const std::string record = "parec --format=s16le --rate=44100 --channels=2 --latency-msec=10 -d ";
    const ShellResult played =
        RunShell(env + record + "kelvo.monitor >" + ShellQuoted(folder / "first.raw") + " & A=$!; " + record +
                 "kelvo2.monitor >" + ShellQuoted(folder / "second.raw") + " & B=$!; sleep 0.5; " + play + "--device " + index +
                 " --seconds 2 2>&1; status=$?; sleep 0.3; kill -INT $A $B; wait $A $B; exit $status");
    ASSERT_EQ(played.status, 0) << played.output;
    // -20 dB of full scale is about 3277; the silent sink records nothing but zeros.
    const auto loud = [](std::int16_t sample) { return sample > 3000; };
    EXPECT_TRUE(std::ranges::any_of(Int16Samples(ReadFile(folder / "second.raw")), loud));
    EXPECT_EQ(ReadFile(folder / "first.raw").find_first_not_of('\0'), std::string::npos);

    const ShellResult missing = RunShell(play + "--seconds 2 --device 99 2>&1");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.output, "kelvo-cli: Output device 99 cannot be opened: Invalid device\n");

    const auto started = std::chrono::steady_clock::now();
    std::thread stopper([&audio] {
        std::this_thread::sleep_for(2s);
        audio.stop();
    });
    const ShellResult stopped = RunShell(play + "--seconds 30 2>&1");
    stopper.join();
    EXPECT_EQ(stopped.status, 1);
    EXPECT_NE(stopped.output.find("kelvo-cli: The output device \""), std::string::npos) << stopped.output;
    EXPECT_NE(stopped.output.find("\" stopped working; the output has stopped.\n"), std::string::npos) << stopped.output;
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
}

} // namespace
} // namespace kelvo::test
