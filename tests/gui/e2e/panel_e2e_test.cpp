// kelvo itself on a virtual display, playing into a private PulseAudio null sink.
#include "support/private_audio.h"
#include "support/test_support.h"

#include <chrono>
#include <thread>

namespace kelvo::test {
namespace {

double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

TEST(PanelEndToEnd, EnterPlaysTheRenderedSineHalfASecondLaterAndEscapeSilencesIt)
{
    if (!PrivateAudio::available() || RunShell("command -v xvfb-run >/dev/null && command -v xdotool >/dev/null").status != 0)
        GTEST_SKIP() << "pulseaudio, parec, xvfb-run and xdotool are needed (scripts/bootstrap installs them)";
    TempFolder folder;
    PrivateAudio audio(folder / "audio", 44100);
    ASSERT_FALSE(audio.server().empty()) << audio.error();
    const auto recording = folder / "recording.raw";
    const bool recordingStarted = audio.record(recording);
    const double recordStart = WallSeconds();

    const auto script = folder / "session.sh";
    WriteFile(script, DesktopSession(2));
    const ShellResult session =
        RunShell("PULSE_SERVER='" + audio.server() + "' xvfb-run -a -s '-screen 0 1280x800x24' sh " + ShellQuoted(script) +
                 " '" KELVO_GUI_PATH "' " + ShellQuoted(folder.path()) + " 2>/dev/null");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    audio.stop();
    ASSERT_TRUE(recordingStarted);
    ASSERT_EQ(session.status, 0) << session.output;
    const double enterPressed = std::stod(session.output);

    const std::string file = ReadFile(folder / "test.wav");
    ASSERT_GT(file.size(), 44u) << ReadFile(folder / "kelvo.log");
    const std::vector<std::int16_t> wave = Int16Samples(file.substr(44));
    const std::size_t frames = wave.size() / 2;
    ASSERT_EQ(frames, 88200u);

    const LoopedRecording loop = MatchLoop(wave, Int16Samples(ReadFile(recording)));
    ASSERT_TRUE(loop.start.has_value()) << "the rendered sine never appears in the recording";
    const double delay = recordStart + static_cast<double>(*loop.start) / 44100 - enterPressed;
    std::printf("sound started %.0f ms after Enter\n", delay * 1000);
    EXPECT_GT(delay, 0.45);
    EXPECT_LT(delay, 1.5);
    // The file loops sample for sample until Escape, then the sink hears silence only.
    EXPECT_GT(loop.matched, frames / 2);
    EXPECT_EQ(*loop.start + loop.matched + loop.silentAfter, loop.frames);
    EXPECT_GT(loop.silentAfter, 44100u / 10) << "the stop was not recorded";
}

} // namespace
} // namespace kelvo::test
