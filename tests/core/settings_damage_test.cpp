#include "settings/settings_files.h"
#include "settings/text_file.h"
#include "support/oscillator_rig.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kelvo::test {
namespace {

// The saved main settings file with line `line` (1-based) replaced.
std::string MainFileWith(int line, const std::string& text)
{
    TempFolder folder;
    SaveSettings(SignalSettings{}, folder.path());
    std::string main = ReadFile(folder / "Kelvo.ini");
    std::size_t start = 0;
    for (int k = 1; k < line; ++k)
        start = main.find('\n', start) + 1;
    return main.replace(start, main.find('\r', start) - start, text);
}

// Runs `body` as a user without root's right to read every file, so a file of mode 000
// really cannot be read; returns what it returns.
std::string RunUnprivileged(const std::filesystem::path& folder, const std::function<std::string()>& body)
{
    if (::geteuid() != 0)
        return body();
    std::filesystem::permissions(folder, std::filesystem::perms::all);
    int channel[2];
    if (::pipe(channel) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string result = "cannot drop root";
        if (::setgid(65534) == 0 && ::setuid(65534) == 0)
            result = body();
        [[maybe_unused]] const auto written = ::write(channel[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string result;
    char chunk[512];
    for (ssize_t got; (got = ::read(channel[0], chunk, sizeof chunk)) > 0;)
        result.append(chunk, static_cast<std::size_t>(got));
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return result;
}

// A file that exists but cannot be read whole is reported once, with its name and why,
// the fields it does not hold keep their start values, and the first save keeps it as
// .bak beside a new file that reads back clean; the second save keeps that copy.
TEST(SettingsDamage, IsReportedAndKeptAsBakByTheFirstSave)
{
    const struct {
        const char* file;
        std::string contents; // or "<folder>", "<fifo>", "<1 GiB>"
        const char* reason;
    } cases[] = {
        {"Kelvo.ini", MainFileWith(7, "1e400"), "is damaged (line 7: \"1e400\" is not a finite number)"},
        {"Kelvo.ini", MainFileWith(3, "fast"), "is damaged (line 3: \"fast\" is not a number)"},
        {"Kelvo.ini", MainFileWith(3, "2147483647.5"), "is damaged (line 3: \"2147483647.5\" is outside -2147483648 to 2147483647)"},
        {"Klvmultitone.ini", "3\r\n400\r\n", "is damaged (it ends after line 2)"},
        {"Klvuser.ini", "150\r\n", "is damaged (line 1: \"150\" is a count outside 0 to 100)"},
        {"playlist.lst", "\"C:\\music\\say \"hi\".wav\"\r\n\"say\"\r\n",
         "is damaged (line 1: the text holds a double quote, which the file cannot hold)"},
        {"arbdata.dat", "<folder>", "is not a regular file"},
        {"Kelvo.ini", "<fifo>", "is not a regular file"},
        {"Kelvo.ini", "<1 GiB>", "is larger than any settings file Kelvo writes (1073741824 bytes)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        TempFolder folder;
        const auto file = folder / c.file;
        if (c.contents == "<folder>")
            std::filesystem::create_directory(file);
        else if (c.contents == "<fifo>")
            ::mkfifo(file.c_str(), 0644);
        else
            WriteFile(file, c.contents == "<1 GiB>" ? "1" : c.contents);
        if (c.contents == "<1 GiB>")
            std::filesystem::resize_file(file, std::uintmax_t{1} << 30);
        SignalSettings loaded;
        auto problems = LoadSettings(loaded, folder.path());
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].file, c.file);
        EXPECT_EQ(problems[0].reason, c.reason);
        EXPECT_EQ(loaded.Freq[0], 1000);
        EXPECT_NE(SettingsProblemsMessage(problems, folder.path()).find(file.string()), std::string::npos);

        const auto kept = std::filesystem::symlink_status(file).type();
        const auto backup = folder / (std::string(c.file) + ".bak");
        ASSERT_EQ(SaveSettings(loaded, folder.path(), &problems), "");
        EXPECT_TRUE(problems.empty());
        EXPECT_EQ(std::filesystem::symlink_status(backup).type(), kept);
        SignalSettings reloaded;
        EXPECT_TRUE(LoadSettings(reloaded, folder.path()).empty());
        ASSERT_EQ(SaveSettings(reloaded, folder.path(), &problems), "");
        EXPECT_EQ(std::filesystem::symlink_status(backup).type(), kept);
    }
}

// The reported case: a Kelvo.ini holding 440 Hz that the user may not read. The start says
// so once, and EXIT keeps it (still unreadable, still 440 Hz) beside the new file.
TEST(SettingsDamage, AnUnreadableMainFileSurvivesStartAndExit)
{
    TempFolder folder;
    SignalSettings mine;
    mine.Freq[0] = mine.FreqR[0] = 440;
    ASSERT_EQ(SaveSettings(mine, folder.path()), "");
    const std::string original = ReadFile(folder / "Kelvo.ini");
    std::filesystem::permissions(folder / "Kelvo.ini", std::filesystem::perms::none);

    const std::string shown = RunUnprivileged(folder.path(), [&] {
        OscillatorRig rig(folder.path());
        rig.oscillator.Start();
        rig.oscillator.Exit();
        std::string all;
        for (const auto& text : rig.messages.shown)
            all += text + "|";
        return all;
    });
    EXPECT_EQ(shown, "\"" + (folder / "Kelvo.ini").string() +
                         "\" cannot be read: Permission denied.\nStart values are used for what cannot be read. "
                         "The first save keeps the file as Kelvo.ini.bak beside the new one.|");
    std::filesystem::permissions(folder / "Kelvo.ini.bak", std::filesystem::perms::owner_read);
    EXPECT_EQ(ReadFile(folder / "Kelvo.ini.bak"), original);
    SignalSettings after;
    EXPECT_TRUE(LoadSettings(after, folder.path()).empty());
    EXPECT_EQ(after.Freq[0], 1000);
}

// A text the playlist file cannot hold is refused where it enters; put into the record
// all the same, it is written empty and the save says so.
TEST(PlaylistTexts, RefuseWhatTheFileCannotHold)
{
    TempFolder folder;
    const struct {
        std::string text;
        const char* refusal;
    } refused[] = {
        {"C:\\music\\say \"hi\".wav", "holds a double quote"},
        {"two\nlines.wav", "holds a line break"},
        {"cr\r.wav", "holds a line break"},
        {std::string(kTextFieldLimit + 1, 'x'), "is longer than 4096 bytes"},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(PlaylistEntryRefusal("/a.wav", r.text), "\"/a.wav\" cannot be added to the playlist: its name " +
                                                              std::string(r.refusal) + ", which the playlist file cannot hold.");
        EXPECT_EQ(PlaylistEntryRefusal(r.text, "name"), "\"" + r.text + "\" cannot be added to the playlist: its path " +
                                                            r.refusal + ", which the playlist file cannot hold.");
        SignalSettings s;
        s.PlaylistPath[5] = r.text;
        const std::string errors = SaveSettings(s, folder.path());
        EXPECT_NE(errors.find("playlist.lst\": line 11 is written empty: its text " + std::string(r.refusal)),
                  std::string::npos) << errors;
        SignalSettings back;
        EXPECT_TRUE(LoadSettings(back, folder.path()).empty());
        EXPECT_EQ(back.PlaylistPath[5], "");
    }
}

} // namespace
} // namespace kelvo::test
