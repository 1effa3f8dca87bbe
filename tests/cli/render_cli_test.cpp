#include "settings/field_registry.h"
#include "support/test_support.h"
#include "support/wave_bytes.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

// Runs kelvo-cli with `arguments` (each passed as one word); the output holds what it
// printed on stdout and stderr.
ShellResult RunCli(const std::vector<std::string>& arguments)
{
    std::string command = "'" KELVO_CLI_PATH "'";
    for (const auto& argument : arguments)
        command += " '" + argument + "'";
    return RunShell(command + " 2>&1");
}

struct Waveform {
    std::string code, setting; // the waveform and one more assignment that shapes its block
    std::uint32_t elements;
};

class RenderCommand : public ::testing::TestWithParam<Waveform> {};

// kelvo-cli writes the canonical header and exactly the block an in-process render of the
// same settings gives (a new process starts the noise afresh, as a new engine does); -o copies it.
TEST_P(RenderCommand, WritesTheRenderedBlockBehindTheCanonicalHeader)
{
    const Waveform w = GetParam();
    TempFolder folder;
    const std::vector<std::string> assignments{"Waveform=" + w.code, w.setting, "SampleRate=22050", "ChanMode=6",
                                               "PhaseR=30", "LevelL=-3", "Freq=700"};
    std::vector<std::string> arguments{"render", "--folder", folder.path().string(), "-o", (folder / "copy.wav").string()};
    for (const auto& assignment : assignments)
        arguments.insert(arguments.end(), {"--set", assignment});
    const auto result = RunCli(arguments);
    ASSERT_EQ(result.status, 0) << result.output;

    Renderer expected;
    ASSERT_EQ(SetFields(expected.settings, assignments), "");
    ASSERT_EQ(expected.render(), "");
    ASSERT_EQ(expected.samples().size(), w.elements);
    const std::uint32_t data = 2 * w.elements;
    const std::string file = ReadFile(folder / "test.wav");
    EXPECT_EQ(file.substr(0, 44), "RIFF" + WaveBytes::le32(data + 36) + "WAVE" +
                                      WaveBytes::chunk("fmt ", WaveBytes::format(1, 2, 22050, 16)) + "data" +
                                      WaveBytes::le32(data));
    EXPECT_TRUE(file.substr(44) == std::string(reinterpret_cast<const char*>(expected.samples().data()), data));
    EXPECT_TRUE(ReadFile(folder / "copy.wav") == file);
}

// At 22050 Hz the default block is 88201 elements, the burst's nearest(22050 x 4 x 500 / 2000)
// + 1, the sweep's five-second block 220501; the noise starts as in a fresh engine.
INSTANTIATE_TEST_SUITE_P(
    Waveforms, RenderCommand,
    ::testing::Values(Waveform{"5", "NoiseType=2", 88201}, Waveform{"6", "BurstExpDecay=1", 22051},
                      Waveform{"11", "SweepParam=1", 220501}));

// Bad command lines and bad program folders end with a message and a non-zero status,
// never with silence, a file in the wrong place or a success that is not one. A damaged
// settings file is reported and the render goes on with start values.
TEST(CliRefusals, SayWhatIsWrongAndExitNonZero)
{
    const struct {
        const char* what;
        std::vector<std::string> arguments; // after "render --folder DIR"; "{}" stands for DIR
        const char* prepare;                // what to create in DIR: "name=first line", "name/" for a folder
        int status;
        const char* message;
    } cases[] = {
        {"an empty folder", {"render", "--folder", ""}, "", 2, "kelvo-cli: --folder needs a folder, not an empty text\n"},
        {"an empty output", {"render", "--folder", "{}", "-o", ""}, "", 2, "kelvo-cli: -o needs a file name, not an empty text\n"},
        {"an unknown option", {"render", "--folder", "{}", "--fast"}, "", 2, "kelvo-cli: unknown option \"--fast\"\n"},
        {"an infinite frequency", {"render", "--folder", "{}", "--set", "Freq=1e400"}, "", 1,
         "kelvo-cli: --set Freq=1e400: \"1e400\" is not a finite number (Freq takes 1 to 96000)\n"},
        {"a block too long", {"render", "--folder", "{}", "--set", "Waveform=7", "--set", "PulseCount=10000", "--set",
                              "PulseOnTime=10000"}, "", 1, "kelvo-cli: This signal is too long to render: "},
        {"an unknown waveform from the file", {"render", "--folder", "{}"}, "Kelvo.ini=99", 1,
         "there is no signal to render.\n"},
        {"a stop file that cannot be written", {"render", "--folder", "{}"}, "stop.wav/", 1,
         "kelvo-cli: The stop file could not be written: "},
        {"a damaged settings file", {"render", "--folder", "{}"}, "Kelvo.ini=1\r\n3\r\n1e400", 0,
         "Kelvo.ini\" is damaged (line 3: \"1e400\" is not a finite number).\nStart values are used for what "
         "cannot be read. The first save keeps the file as Kelvo.ini.bak beside the new one.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string prepare = c.prepare;
        if (prepare.ends_with('/'))
            std::filesystem::create_directories(folder / prepare);
        else if (const auto equals = prepare.find('='); equals != std::string::npos)
            WriteFile(folder / prepare.substr(0, equals), prepare.substr(equals + 1) + "\r\n");
        std::vector<std::string> arguments = c.arguments;
        for (auto& argument : arguments)
            if (argument == "{}")
                argument = folder.path().string();
        const ShellResult result = RunCli(arguments);
        EXPECT_EQ(result.status, c.status) << result.output;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
        EXPECT_EQ(std::filesystem::exists(folder / "test.wav"), c.status == 0);
    }
}

// -o onto a full disk: the old file stays whole and the message names the real cause.
// The small full file system is a tmpfs mounted in a private namespace (skipped where
// the system does not allow one).
TEST(CliRefusals, AFullDiskLeavesTheOutputFileWhole)
{
    if (RunShell("unshare -rm true 2>/dev/null").status != 0)
        GTEST_SKIP() << "no private mount namespace here";
    TempFolder folder;
    const auto disk = folder / "disk";
    std::filesystem::create_directory(disk);
    const std::string script =
        "mount -t tmpfs -o size=256k none " + ShellQuoted(disk) + " && " +
        "head -c 100000 /dev/urandom > " + ShellQuoted(disk / "out.wav") + " && " +
        "cp " + ShellQuoted(disk / "out.wav") + " " + ShellQuoted(folder / "before.wav") + " && " +
        "'" KELVO_CLI_PATH "' render --folder " + ShellQuoted(folder / "program") + " -o " +
        ShellQuoted(disk / "out.wav") + " 2>&1; echo \"status $?\"; " +
        "cmp -s " + ShellQuoted(disk / "out.wav") + " " + ShellQuoted(folder / "before.wav") +
        " && echo unchanged; ls -A " + ShellQuoted(disk);
    const ShellResult run = RunShell("unshare -rm sh -c " + ShellQuoted(script));
    EXPECT_EQ(run.output, "kelvo-cli: \"" + (disk / "out.wav").string() +
                              "\" cannot be written: No space left on device\nstatus 1\nunchanged\nout.wav\n");
}

// Without any sound output, play says so in words instead of naming a device index.
TEST(CliRefusals, PlayWithoutSoundOutputSaysSo)
{
    const ShellResult devices = RunShell("PULSE_SERVER=unix:/nonexistent '" KELVO_CLI_PATH "' devices 2>&1");
    if (devices.status == 0)
        GTEST_SKIP() << "this machine has a sound output: " << devices.output;
    TempFolder folder;
    const ShellResult played = RunShell("PULSE_SERVER=unix:/nonexistent '" KELVO_CLI_PATH "' play --folder " +
                                        ShellQuoted(folder.path()) + " --seconds 1 2>&1");
    EXPECT_EQ(played.status, 1);
    EXPECT_EQ(played.output, "kelvo-cli: No sound output was found: no sound server or sound card answered\n");
    EXPECT_NE(devices.output.find("No sound output was found"), std::string::npos) << devices.output;
}

} // namespace
} // namespace kelvo::test
