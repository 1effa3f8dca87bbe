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

// Runs `body` without root's right to read every file, so mode 000 really cannot be read.
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

// A file that cannot be read whole is reported once, with its name and why; the first save
// keeps it as .bak beside a new file that reads back clean, and the second keeps that copy.
TEST(SettingsDamage, IsReportedAndKeptAsBakByTheFirstSave)
{
    // File, contents (or "<folder>", "<fifo>", "<1 GiB>") and the reason reported.
    const std::tuple<const char*, std::string, const char*> cases[] = {
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
    for (const auto& [name, contents, reason] : cases) {
        SCOPED_TRACE(reason);
        TempFolder folder;
        const auto file = folder / name;
        if (contents == "<folder>")
            std::filesystem::create_directory(file);
        else if (contents == "<fifo>")
            ::mkfifo(file.c_str(), 0644);
        else
            WriteFile(file, contents == "<1 GiB>" ? "1" : contents);
        if (contents == "<1 GiB>")
            std::filesystem::resize_file(file, std::uintmax_t{1} << 30);
        SignalSettings loaded;
        auto problems = LoadSettings(loaded, folder.path());
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].file, name);
        EXPECT_EQ(problems[0].reason, reason);
        EXPECT_EQ(loaded.Freq[0], 1000);
        EXPECT_NE(SettingsProblemsMessage(problems, folder.path()).find(file.string()), std::string::npos);

        const auto kept = std::filesystem::symlink_status(file).type();
        const auto backup = folder / (std::string(name) + ".bak");
        ASSERT_EQ(SaveSettings(loaded, folder.path(), &problems), "");
        EXPECT_TRUE(problems.empty());
        EXPECT_EQ(std::filesystem::symlink_status(backup).type(), kept);
        SignalSettings reloaded;
        EXPECT_TRUE(LoadSettings(reloaded, folder.path()).empty());
        ASSERT_EQ(SaveSettings(reloaded, folder.path(), &problems), "");
        EXPECT_EQ(std::filesystem::symlink_status(backup).type(), kept);
    }
}

// The reported case: an unreadable Kelvo.ini is named once at start and kept whole by EXIT.
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

// A text the playlist file cannot hold is refused where it enters; a save writes it empty and says so.
TEST(PlaylistTexts, RefuseWhatTheFileCannotHold)
{
    TempFolder folder;
    const std::pair<std::string, const char*> refused[] = {
        {"C:\\music\\say \"hi\".wav", "holds a double quote"},
        {"two\nlines.wav", "holds a line break"},
        {"cr\r.wav", "holds a line break"},
        {std::string(kTextFieldLimit + 1, 'x'), "is longer than 4096 bytes"},
    };
    for (const auto& [text, refusal] : refused) {
        const std::string tail = std::string(refusal) + ", which the playlist file cannot hold.";
        EXPECT_EQ(PlaylistEntryRefusal("/a.wav", text), "\"/a.wav\" cannot be added to the playlist: its name " + tail);
        EXPECT_EQ(PlaylistEntryRefusal(text, "name"), "\"" + text + "\" cannot be added to the playlist: its path " + tail);
        SignalSettings s;
        s.PlaylistPath[5] = text;
        const std::string errors = SaveSettings(s, folder.path());
        EXPECT_NE(errors.find("playlist.lst\": line 11 is written empty: its text " + std::string(refusal)),
                  std::string::npos) << errors;
        SignalSettings back;
        EXPECT_TRUE(LoadSettings(back, folder.path()).empty());
        EXPECT_EQ(back.PlaylistPath[5], "");
    }
}

} // namespace
} // namespace kelvo::test
