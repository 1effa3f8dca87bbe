#include "cli/cli_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace kelvo::test {
namespace {

// Runs a shell command; returns its exit status and what it printed on stdout.
CliResult Shell(const std::string& command)
{
    CliResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        result.output.append(chunk, got);
    const int raw = ::pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

std::string Quoted(const std::filesystem::path& path)
{
    return "'" + path.string() + "'";
}

// A private PulseAudio daemon with a null sink, stopped by its PID when the test ends.
class PrivateAudio {
public:
    PrivateAudio(const std::filesystem::path& folder, int rate)
        : m_folder(folder)
    {
        const CliResult started = Shell(std::string("'" KELVO_TEST_AUDIO "' start ") + Quoted(folder) + " " +
                                        std::to_string(rate) + " 2>&1");
        if (started.status == 0)
            m_server = started.output.substr(0, started.output.find('\n'));
        else
            m_error = started.output;
    }
    ~PrivateAudio() { Shell(std::string("'" KELVO_TEST_AUDIO "' stop ") + Quoted(m_folder)); }

    const std::string& server() const { return m_server; }
    const std::string& error() const { return m_error; }

    bool record(const std::filesystem::path& file)
    {
        return Shell(std::string("'" KELVO_TEST_AUDIO "' record ") + Quoted(m_folder) + " " + Quoted(file)).status == 0;
    }
    void stop() { Shell(std::string("'" KELVO_TEST_AUDIO "' stop ") + Quoted(m_folder)); }

private:
    std::filesystem::path m_folder;
    std::string m_server;
    std::string m_error;
};

bool PulseAudioInstalled()
{
    return Shell("command -v pulseaudio >/dev/null && command -v parec >/dev/null").status == 0;
}

std::vector<std::int16_t> ReadRaw(const std::filesystem::path& path)
{
    const std::string bytes = ReadFile(path);
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// Plays the rendered 1 s sine for 5 s while the null sink's monitor is recorded, and checks
// that the recording is the file's whole frames looped, sample for sample, then silence.
// Returns what went wrong, empty when all held.
std::string PlayAndCompare(int rate, const std::vector<std::string>& extra)
{
    TempFolder folder;
    PrivateAudio audio(folder / "audio", rate);
    if (audio.server().empty())
        return "the private PulseAudio did not start:\n" + audio.error();
    const auto recording = folder / "recording.raw";
    if (!audio.record(recording))
        return "the recorder did not start";

    std::string command = "PULSE_SERVER='" + audio.server() + "' '" KELVO_CLI_PATH "' play --folder " +
                          Quoted(folder.path()) + " --set SampleRate=" + std::to_string(rate) +
                          " --set WaveBuildLength=0.5 --seconds 5";
    for (const auto& argument : extra)
        command += " '" + argument + "'";
    const CliResult played = Shell(command + " 2>&1");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    audio.stop();
    if (played.status != 0 || !played.output.empty())
        return "kelvo-cli play ended with status " + std::to_string(played.status) + ":\n" + played.output;

    const WaveFile wave = ReadCanonicalWave(folder / "test.wav");
    const std::size_t frames = wave.samples.size() / 2;
    if (wave.sampleRate != static_cast<std::uint32_t>(rate) || frames != static_cast<std::size_t>(rate))
        return "the rendered file is not 1 s at " + std::to_string(rate) + " Hz";
    const std::vector<std::int16_t> recorded = ReadRaw(recording);
    const std::size_t recordedFrames = recorded.size() / 2;
    if (recordedFrames < 5 * frames / 2)
        return "only " + std::to_string(recordedFrames) + " frames were recorded";

    // The sound starts where the first 2000 frames of the file appear.
    const std::size_t probe = 2000;
    std::size_t start = 0;
    while (start + probe <= recordedFrames &&
           !std::equal(wave.samples.begin(), wave.samples.begin() + 2 * probe, recorded.begin() + 2 * start))
        ++start;
    if (start + probe > recordedFrames)
        return "the file's start never appears in the recording";

    std::size_t matched = 0;
    while (start + matched < recordedFrames &&
           recorded[2 * (start + matched)] == wave.samples[2 * (matched % frames)] &&
           recorded[2 * (start + matched) + 1] == wave.samples[2 * (matched % frames) + 1])
        ++matched;
    // About 4.4 s play after the render and the start delay: well over two loop points.
    if (matched < 3 * frames)
        return "the loop broke " + std::to_string(matched) + " frames after the start";
    std::size_t silent = start + matched;
    while (silent < recordedFrames && recorded[2 * silent] == 0 && recorded[2 * silent + 1] == 0)
        ++silent;
    if (silent != recordedFrames)
        return "sound after the stop, " + std::to_string(silent - start) + " frames after the start";
    if (recordedFrames - (start + matched) < static_cast<std::size_t>(rate / 10))
        return "the stop was not recorded";
    return {};
}

// A machine busy with other work may starve the sound server for a moment, which shows as
// a gap; a fault of the player shows every time. So a gap is given two more tries.
void CheckLoopedPlayback(int rate, const std::vector<std::string>& extra)
{
    if (!PulseAudioInstalled())
        GTEST_SKIP() << "pulseaudio and parec are not installed (scripts/bootstrap installs them)";
    std::string failures;
    for (int attempt = 1; attempt <= 3; ++attempt) {
        const std::string failure = PlayAndCompare(rate, extra);
        if (failure.empty())
            return;
        failures += "attempt " + std::to_string(attempt) + ": " + failure + "\n";
        if (failure.starts_with("the private PulseAudio"))
            break;
    }
    ADD_FAILURE() << failures;
}

TEST(PlaybackEndToEnd, TheStreamEngineLoopsSampleExactAt44100)
{
    CheckLoopedPlayback(44100, {});
}

TEST(PlaybackEndToEnd, TheStreamEngineLoopsSampleExactAt48000)
{
    CheckLoopedPlayback(48000, {});
}

TEST(PlaybackEndToEnd, TheLegacyPlayerLoopsSampleExact)
{
    CheckLoopedPlayback(44100, {"--set", "LegacyDriver=1"});
}

TEST(PlaybackEndToEnd, ASoundServerThatGoesAwayStopsThePlayWithAMessage)
{
    if (!PulseAudioInstalled())
        GTEST_SKIP() << "pulseaudio is not installed";
    TempFolder folder;
    PrivateAudio audio(folder / "audio", 44100);
    ASSERT_FALSE(audio.server().empty()) << audio.error();
    const auto started = std::chrono::steady_clock::now();
    const CliResult played = Shell("(sleep 2; '" KELVO_TEST_AUDIO "' stop " + Quoted(folder / "audio") + ") & PULSE_SERVER='" +
                                   audio.server() + "' '" KELVO_CLI_PATH "' play --folder " + Quoted(folder.path()) +
                                   " --seconds 30 2>&1; status=$?; wait; exit $status");
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(played.status, 1);
    EXPECT_NE(played.output.find("kelvo-cli: The output device \""), std::string::npos) << played.output;
    EXPECT_NE(played.output.find("\" stopped working; the output has stopped.\n"), std::string::npos) << played.output;
    EXPECT_LT(took, std::chrono::seconds(10));
}

TEST(PlaybackEndToEnd, DevicesAreListedWithoutProbingChatter)
{
    if (!PulseAudioInstalled())
        GTEST_SKIP() << "pulseaudio is not installed";
    TempFolder folder;
    PrivateAudio audio(folder / "audio", 44100);
    ASSERT_FALSE(audio.server().empty()) << audio.error();
    const CliResult listed = Shell("PULSE_SERVER='" + audio.server() + "' '" KELVO_CLI_PATH "' devices 2>&1");
    EXPECT_EQ(listed.status, 0);
    EXPECT_NE(listed.output.find("0: "), std::string::npos) << listed.output;
    EXPECT_EQ(listed.output.find("ALSA lib"), std::string::npos) << listed.output;
    EXPECT_EQ(listed.output.find("jack"), std::string::npos) << listed.output;

    const CliResult missing = Shell("PULSE_SERVER='" + audio.server() + "' '" KELVO_CLI_PATH "' play --folder " +
                                    Quoted(folder.path()) + " --seconds 2 --device 99 2>&1");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.output, "kelvo-cli: Output device 99 cannot be opened: Invalid device\n");
}

} // namespace
} // namespace kelvo::test
