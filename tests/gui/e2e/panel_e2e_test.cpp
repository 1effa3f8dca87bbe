// kelvo itself on a virtual display, playing into a private PulseAudio null sink.
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <sys/wait.h>
#include <thread>

namespace kelvo::test {
namespace {

struct ShellResult {
    int status = -1;
    std::string output;
};

ShellResult Shell(const std::string& command)
{
    ShellResult result;
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

double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

std::vector<std::int16_t> Samples(const std::string& bytes, std::size_t offset)
{
    std::vector<std::int16_t> samples((bytes.size() - offset) / 2);
    std::memcpy(samples.data(), bytes.data() + offset, samples.size() * 2);
    return samples;
}

// Where `probe` frames of `wave` from its start first appear in `recorded`; npos if never.
std::size_t FindStart(const std::vector<std::int16_t>& wave, const std::vector<std::int16_t>& recorded)
{
    constexpr std::size_t probe = 2000;
    for (std::size_t start = 0; 2 * (start + probe) <= recorded.size(); ++start) {
        if (std::equal(wave.begin(), wave.begin() + 2 * probe, recorded.begin() + static_cast<std::ptrdiff_t>(2 * start)))
            return start;
    }
    return std::string::npos;
}

bool ToolsInstalled()
{
    return Shell("command -v pulseaudio && command -v parec && command -v xvfb-run && command -v xdotool").status == 0;
}

// The desktop program under xvfb-run: a click on the drag strip gives the panel the focus,
// Enter starts the signal, Escape stops it two seconds later. Prints when Enter was pressed.
// Arguments: the program and its folder.
constexpr const char* kSession = R"(
"$1" --folder "$2" >"$2/kelvo.log" 2>&1 &
pid=$!
for i in $(seq 100); do
  xdotool search --onlyvisible --name '^Kelvo$' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 0.5
xdotool mousemove 300 12 click 1
sleep 0.3
date +%s.%N
xdotool key Return
sleep 2
xdotool key Escape
sleep 0.8
kill $pid
wait $pid 2>/dev/null
exit 0
)";

TEST(PanelEndToEnd, EnterPlaysTheRenderedSineHalfASecondLaterAndEscapeSilencesIt)
{
    if (!ToolsInstalled())
        GTEST_SKIP() << "pulseaudio, parec, xvfb-run and xdotool are needed (scripts/bootstrap installs them)";
    TempFolder folder;
    const auto audioDir = folder / "audio";
    const ShellResult started = Shell("'" KELVO_TEST_AUDIO "' start " + Quoted(audioDir) + " 44100 2>&1");
    ASSERT_EQ(started.status, 0) << started.output;
    const std::string server = started.output.substr(0, started.output.find('\n'));
    const auto recording = folder / "recording.raw";
    const bool recordingStarted =
        Shell("'" KELVO_TEST_AUDIO "' record " + Quoted(audioDir) + " " + Quoted(recording)).status == 0;
    const double recordStart = WallSeconds();

    const auto script = folder / "session.sh";
    {
        std::FILE* file = std::fopen(script.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs(kSession, file);
        std::fclose(file);
    }
    const ShellResult session = Shell("PULSE_SERVER='" + server + "' xvfb-run -a -s '-screen 0 1280x800x24' sh " +
                                      Quoted(script) + " '" KELVO_GUI_PATH "' " + Quoted(folder.path()) +
                                      " 2>/dev/null");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Shell("'" KELVO_TEST_AUDIO "' stop " + Quoted(audioDir));
    ASSERT_TRUE(recordingStarted);
    ASSERT_EQ(session.status, 0) << session.output;
    const double enterPressed = std::stod(session.output);

    const std::string file = ReadFile(folder / "test.wav");
    ASSERT_GT(file.size(), 44u) << ReadFile(folder / "kelvo.log");
    const std::vector<std::int16_t> wave = Samples(file, 44);
    const std::vector<std::int16_t> recorded = Samples(ReadFile(recording), 0);
    const std::size_t frames = wave.size() / 2;
    ASSERT_EQ(frames, 88200u);

    const std::size_t start = FindStart(wave, recorded);
    ASSERT_NE(start, std::string::npos) << "the rendered sine never appears in the recording";
    const double delay = recordStart + static_cast<double>(start) / 44100 - enterPressed;
    std::printf("sound started %.0f ms after Enter\n", delay * 1000);
    EXPECT_GT(delay, 0.45);
    EXPECT_LT(delay, 1.5);

    // The file loops sample for sample until Escape, then the sink hears silence only.
    std::size_t matched = 0;
    while (2 * (start + matched) + 1 < recorded.size() &&
           recorded[2 * (start + matched)] == wave[2 * (matched % frames)] &&
           recorded[2 * (start + matched) + 1] == wave[2 * (matched % frames) + 1])
        ++matched;
    EXPECT_GT(matched, frames / 2);
    std::size_t silent = start + matched;
    while (2 * silent + 1 < recorded.size() && recorded[2 * silent] == 0 && recorded[2 * silent + 1] == 0)
        ++silent;
    EXPECT_EQ(2 * silent, recorded.size() - recorded.size() % 2);
    EXPECT_GT(recorded.size() / 2 - (start + matched), 44100u / 10) << "the stop was not recorded";
}

} // namespace
} // namespace kelvo::test
