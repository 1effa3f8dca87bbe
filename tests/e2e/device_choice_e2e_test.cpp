#include "support/private_audio.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelvo::test {
namespace {

// The loudest sample recorded from a monitor.
int Peak(const std::filesystem::path& recording)
{
    int peak = 0;
    for (const std::int16_t sample : Int16Samples(ReadFile(recording)))
        peak = std::max(peak, std::abs(int{sample}));
    return peak;
}

// Two null sinks of one private PulseAudio, each an output device of its own through a
// private ALSA configuration with one pulse PCM per sink: a -20 dB sine played on the
// device at the index `kelvo-cli devices` gives it reaches that sink alone.
TEST(DeviceChoiceEndToEnd, TheChosenOutputDevicePlaysAndTheOtherStaysSilent)
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
    ASSERT_EQ(RunShell(env + "pactl load-module module-null-sink sink_name=kelvo2 >/dev/null").status, 0);
    const ShellResult listed = RunShell(env + "'" KELVO_CLI_PATH "' devices");
    const auto index = [&](const std::string& name) {
        const auto at = listed.output.find(": " + name + "\n");
        return at == std::string::npos ? -1 : std::stoi(listed.output.substr(listed.output.rfind('\n', at) + 1));
    };
    ASSERT_GT(index("kelvo_first"), 0) << listed.output;
    ASSERT_GT(index("kelvo_second"), 0) << listed.output;

    for (const bool second : {true, false}) {
        const auto first = folder / "first.raw";
        const auto other = folder / "second.raw";
        const std::string record = "parec --format=s16le --rate=44100 --channels=2 --latency-msec=10 -d ";
        const ShellResult played = RunShell(
            env + record + "kelvo.monitor >" + ShellQuoted(first) + " & A=$!; " + record + "kelvo2.monitor >" +
            ShellQuoted(other) + " & B=$!; sleep 0.5; '" KELVO_CLI_PATH "' play --folder " +
            ShellQuoted(folder.path()) + " --device " + std::to_string(index(second ? "kelvo_second" : "kelvo_first")) +
            " --seconds 2 2>&1; status=$?; sleep 0.3; kill -INT $A $B; wait $A $B; exit $status");
        ASSERT_EQ(played.status, 0) << played.output;
        // -20 dB of full scale is about 3277; the silent sink records nothing but zeros.
        EXPECT_GT(Peak(second ? other : first), 3000) << "second: " << second;
        EXPECT_EQ(Peak(second ? first : other), 0) << "second: " << second;
    }
}

} // namespace
} // namespace kelvo::test
