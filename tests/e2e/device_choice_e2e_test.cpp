#include "support/private_audio.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace kelvo::test {
namespace {

// Two null sinks of one private PulseAudio, each an output device of its own through a
// private ALSA configuration with one pulse PCM per sink.
constexpr const char* kAlsaConfig = R"(pcm.kelvo_first { type pulse device kelvo }
pcm.kelvo_second { type pulse device kelvo2 }
)";

// The loudest sample recorded from a monitor.
int Peak(const std::filesystem::path& recording)
{
    int peak = 0;
    for (const std::int16_t sample : Int16Samples(ReadFile(recording)))
        peak = std::max(peak, std::abs(int{sample}));
    return peak;
}

// The index that `kelvo-cli devices` gives the device named `name`, or -1.
int DeviceIndex(const std::string& listing, const std::string& name)
{
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        if (line.ends_with(": " + name))
            return std::stoi(line);
    }
    return -1;
}

TEST(DeviceChoiceEndToEnd, TheChosenOutputDevicePlaysAndTheOtherStaysSilent)
{
    if (!PrivateAudio::available())
        GTEST_SKIP() << "pulseaudio and parec are not installed (scripts/bootstrap installs them)";
    TempFolder folder;
    PrivateAudio audio(folder / "audio", 44100);
    ASSERT_FALSE(audio.server().empty()) << audio.error();
    const std::string pulse = "PULSE_SERVER='" + audio.server() + "' ";
    ASSERT_EQ(RunShell(pulse + "pactl load-module module-null-sink sink_name=kelvo2 rate=44100 channels=2 "
                               "format=s16le >/dev/null")
                  .status,
              0);
    std::filesystem::create_directories(folder / "home");
    WriteFile(folder / "home" / ".asoundrc", kAlsaConfig);
    const std::string env = pulse + "HOME=" + ShellQuoted(folder / "home") + " ";

    const ShellResult listed = RunShell(env + "'" KELVO_CLI_PATH "' devices");
    ASSERT_EQ(listed.status, 0);
    const int first = DeviceIndex(listed.output, "kelvo_first");
    const int second = DeviceIndex(listed.output, "kelvo_second");
    ASSERT_GT(first, 0) << listed.output;
    ASSERT_GT(second, 0) << listed.output;

    const struct {
        int device;
        bool firstSounds;
    } cases[] = {{second, false}, {first, true}};
    for (const auto& c : cases) {
        const auto a = folder / "first.raw";
        const auto b = folder / "second.raw";
        const std::string record = "parec --format=s16le --rate=44100 --channels=2 --latency-msec=10 -d ";
        // Both monitors are recorded while kelvo-cli plays a -20 dB sine on the chosen device.
        const ShellResult played = RunShell(
            "export PULSE_SERVER='" + audio.server() + "'; " + record + "kelvo.monitor >" + ShellQuoted(a) +
            " & A=$!; " + record + "kelvo2.monitor >" + ShellQuoted(b) + " & B=$!; sleep 0.5; HOME=" +
            ShellQuoted(folder / "home") + " '" KELVO_CLI_PATH "' play --folder " + ShellQuoted(folder.path()) +
            " --device " + std::to_string(c.device) + " --seconds 2 2>&1; status=$?; sleep 0.3; kill -INT $A $B; "
            "wait $A $B; exit $status");
        ASSERT_EQ(played.status, 0) << played.output;
        // -20 dB of full scale is 3277; the silent sink holds nothing but zeros.
        EXPECT_GT(Peak(c.firstSounds ? a : b), 3000) << "device " << c.device;
        EXPECT_EQ(Peak(c.firstSounds ? b : a), 0) << "device " << c.device;
    }
}

} // namespace
} // namespace kelvo::test
