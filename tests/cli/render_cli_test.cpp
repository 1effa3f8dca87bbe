#include "cli_options.h"
#include "core/settings/field_registry.h"
#include "support/test_support.h"
#include "support/wave_bytes.h"

namespace kelvo::test {
namespace {

// Runs kelvo-cli with `arguments`, each one word; the output holds its stdout and stderr.
ShellResult RunCli(const std::vector<std::string>& arguments)
{
    std::string command = "'" KELVO_CLI_PATH "'";
    for (const auto& argument : arguments)
        command += " '" + argument + "'";
    return RunShell(command + " 2>&1");
}

// kelvo-cli writes exactly what an in-process render gives (noise starts afresh); -o copies it.
TEST(RenderCommand, WritesTheRenderedBlockBehindTheCanonicalHeader)
{
    TempFolder folder;
    const std::vector<std::string> assignments{"Waveform=5", "NoiseType=2", "SampleRate=22050", "ChanMode=6",
                                               "PhaseR=30",  "LevelL=-3",   "Freq=700"};
    std::vector<std::string> arguments{"render", "--folder", folder.path().string(), "-o", (folder / "copy.wav").string()};
    for (const auto& assignment : assignments)
        arguments.insert(arguments.end(), {"--set", assignment});
    const auto result = RunCli(arguments);
    ASSERT_EQ(result.status, 0) << result.output;

    Renderer expected;
    ASSERT_EQ(SetFields(expected.settings, assignments), "");
    ASSERT_EQ(expected.render(), "");
    ASSERT_EQ(expected.samples().size(), 88201u);
    const std::uint32_t data = 2 * 88201;
    const std::string file = ReadFile(folder / "test.wav");
    EXPECT_EQ(file.substr(0, 44), "RIFF" + WaveBytes::le32(data + 36) + "WAVE" +
                                      WaveBytes::chunk("fmt ", WaveBytes::format(1, 2, 22050, 16)) + "data" +
                                      WaveBytes::le32(data));
    EXPECT_TRUE(file.substr(44) == std::string(reinterpret_cast<const char*>(expected.samples().data()), data));
    EXPECT_TRUE(ReadFile(folder / "copy.wav") == file);
}

// Bad command lines and folders end with a message and a non-zero status, never with silence or
// a false success; a damaged settings file is reported and the render goes on with start values.
// --set cannot pass the level limit: the level is held there, kelvo-cli says so, and the
// line it prints after the render measures the held level.
TEST(RenderCommand, HoldsALevelAtTheLimitAndPrintsWhatTheBlockMeasures)
{
    TempFolder folder;
    const auto run = RunCli({"render", "--folder", folder.path().string(), "--set", "LevelLimit=-10", "--set", "LevelL=0"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "kelvo-cli: Level held at the limit of -10 dB.\n"
                          "L peak -10.1, RMS -13.1 dBFS; R peak -20.1, RMS -23.1 dBFS\n");
}

TEST(CliRefusals, SayWhatIsWrongAndExitNonZero)
{
    // The arguments ("{}" stands for DIR), what to create in DIR ("name=first line", "name/"
    // for a folder), the status and the message.
    const std::tuple<std::vector<std::string>, std::string, int, const char*> cases[] = {
        {{"render", "--folder", ""}, "", 2, "kelvo-cli: --folder needs a folder, not an empty text\n"},
        {{"render", "--folder", "{}", "--set", "Freq=1e400"},
         "",
         1,
         "kelvo-cli: --set Freq=1e400: \"1e400\" is not a finite number (Freq takes 1 to 96000)\n"},
        {{"render", "--folder", "{}"}, "Kelvo.ini=99", 1, "there is no signal to render.\n"},
        {{"render", "--folder", "{}", "--set", "SweepStart=20"},
         "",
         1,
         "kelvo-cli: --set SweepStart=20: unknown field \"SweepStart\"; did you mean SweepStartFreq?\n"},
        {{"devices", "--folder", "{}"}, "", 2, "kelvo-cli: devices takes no options, not \"--folder\"\n"},
        {{"render", "--folder", "{}"}, "stop.wav/", 1, "kelvo-cli: The stop file could not be written: "},
        // A damaged settings file is reported and the render goes on.
        {{"render", "--folder", "{}"},
         "Kelvo.ini=1\r\n3\r\n1e400",
         0,
         "Kelvo.ini\" is damaged (line 3: \"1e400\" is not a finite number).\nStart values are used for what "
         "cannot be read. The first save keeps the file as Kelvo.ini.bak beside the new one.\n"},
    };
    for (const auto& [cliArguments, prepare, status, message] : cases) {
        SCOPED_TRACE(message);
        TempFolder folder;
        if (prepare.ends_with('/'))
            std::filesystem::create_directories(folder / prepare);
        else if (const auto equals = prepare.find('='); equals != std::string::npos)
            WriteFile(folder / prepare.substr(0, equals), prepare.substr(equals + 1) + "\r\n");
        std::vector<std::string> arguments = cliArguments;
        for (auto& argument : arguments)
            if (argument == "{}")
                argument = folder.path().string();
        const ShellResult result = RunCli(arguments);
        EXPECT_EQ(result.status, status) << result.output;
        EXPECT_NE(result.output.find(message), std::string::npos) << result.output;
        EXPECT_EQ(std::filesystem::exists(folder / "test.wav"), status == 0);
    }
}

// -o onto a full disk (a tmpfs in a private mount namespace): the old file stays whole, the cause named.
TEST(CliRefusals, AFullDiskLeavesTheOutputFileWhole)
{
    if (RunShell("unshare -rm true 2>/dev/null").status != 0)
        GTEST_SKIP() << "no private mount namespace here";
    TempFolder folder;
    const auto disk = folder / "disk";
    std::filesystem::create_directory(disk);
    const std::string script =
        "mount -t tmpfs -o size=256k none " + ShellQuoted(disk) + " && " + "head -c 100000 /dev/urandom > " +
        ShellQuoted(disk / "out.wav") + " && " + "cp " + ShellQuoted(disk / "out.wav") + " " +
        ShellQuoted(folder / "before.wav") + " && " + "'" KELVO_CLI_PATH "' render --folder " + ShellQuoted(folder / "program") +
        " -o " + ShellQuoted(disk / "out.wav") + " 2>&1; echo \"status $?\"; " + "cmp -s " + ShellQuoted(disk / "out.wav") + " " +
        ShellQuoted(folder / "before.wav") + " && echo unchanged; ls -A " + ShellQuoted(disk);
    const ShellResult run = RunShell("unshare -rm sh -c " + ShellQuoted(script));
    EXPECT_EQ(run.output, "kelvo-cli: \"" + (disk / "out.wav").string() +
                              "\" cannot be written: No space left on device\nstatus 1\nunchanged\nout.wav\n");
}

// A render larger than the memory the process may take is refused in words, not ended by an abort.
TEST(CliRefusals, ARenderLargerThanTheMemoryLeftIsRefused)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
    TempFolder folder;
    const ShellResult run = RunShell("ulimit -v 100000 && '" KELVO_CLI_PATH "' render --folder " + ShellQuoted(folder.path()) +
                                     " --set SampleRate=192000 --set WaveBuildLength=100 2>&1; echo \"status $?\"");
    EXPECT_EQ(run.output, "kelvo-cli: There is not enough memory to render this signal (146 MB).\nstatus 1\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "test.wav"));
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

// `fields` names every field once, with what it takes, its start value and its meaning;
// a misspelt name finds the field meant.
TEST(FieldsCommand, ListsEveryFieldAndFindsTheOneMeant)
{
    const ShellResult listed = RunCli({"fields"});
    ASSERT_EQ(listed.status, 0) << listed.output;
    for (const FieldInfo& field : Fields()) {
        const std::string name(field.name);
        EXPECT_EQ(listed.output.find("\n" + name + " "), listed.output.rfind("\n" + name + " ")) << name;
        EXPECT_NE(listed.output.find("\n" + name), std::string::npos) << name;
    }
    const std::pair<std::string, const char*> lines[] = {{"Freq[0-10] ", "1 to 96000 Hz"},
                                                         {"Freq[0-10] ", "start 1000 "},
                                                         {"MultiFreq[0-100] ", "start [1] 400, [2] 1000, [3] 1300, others 0 "},
                                                         {"PlaylistName[0-200] ", "any text"},
                                                         {"FreqStep ", "one of 0.1, 1, 10, 100, 1000 Hz"}};
    for (const auto& [start, part] : lines) {
        const auto at = listed.output.find("\n" + start);
        const std::string line = at == std::string::npos ? "" : listed.output.substr(at, listed.output.find('\n', at + 1) - at);
        EXPECT_NE(line.find(part), std::string::npos) << line;
    }

    const std::pair<const char*, const char*> typed[] = {
        {"Frq", "Freq"}, {"levell", "LevelL"}, {"sweepstart", "SweepStartFreq"}, {"WarbleRat", "WarbleRate"}, {"Bogus", ""},
        {"", ""}};
    for (const auto& [name, meant] : typed)
        EXPECT_EQ(NearestFieldName(name), meant) << name;
}

TEST(PlayOptions, RefuseBadSecondsDevicesAndUnknownOptions)
{
    // What they take is in the end-to-end tests' command lines.
    const std::pair<std::vector<std::string_view>, std::string> bad[] = {
        {{"--seconds", "0"}, "--seconds needs a positive number of seconds, not \"0\""},
        {{"--seconds", "nan"}, "--seconds needs a positive number of seconds, not \"nan\""},
        {{"--seconds", "2s"}, "--seconds needs a positive number of seconds, not \"2s\""},
        {{"--device", "-2"}, "--device needs a device index (-1 for the default), not \"-2\""},
        {{"--device", "40000"}, "--device needs a device index (-1 for the default), not \"40000\""},
        {{"--device"}, "--device needs a value"},
        {{"--loud"}, "unknown option \"--loud\""},
    };
    for (const auto& [words, error] : bad)
        EXPECT_EQ(cli::ParsePlayOptions(words).error, error);
}

} // namespace
} // namespace kelvo::test
