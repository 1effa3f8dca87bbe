#include "player/playlist.h"
#include "settings/settings_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelvo::test {
namespace {

const std::string kPlaceholder = "   --                     ";

TEST(Playlist, DisplayNamesCutTheExtensionAndKeepTheLast30Characters)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ab.wav", "ab"}, {"a", "a"}, {"abcd", ""}, {"0123456789abcdefghijklmnopqrstuvwxyz.wav", "6789abcdefghijklmnopqrstuvwxyz"},
        {"Grüße aus Köln.wav", "Grüße aus Köln"}, {"äöü", "äöü"}, {"€€€€€€€€€€€€€€€€€€€€€€€€€€€€€€€€.wav", "€€€€€€€€€€€€€€€€€€€€€€€€€€€€€€"}};
    for (const auto& [title, name] : cases)
        EXPECT_EQ(PlaylistDisplayName(title), name) << title;
}

// The window's test loads, clears and refuses a quoted name; here a line break is refused, a
// file with an empty name shows the placeholder, and a selection past the list plays nothing.
TEST(Playlist, EntriesAreFilledAndEmptied)
{
    SignalSettings s;
    s.PlaylistSel = 5;
    EXPECT_NE(LoadPlaylistEntry(s, "/music/two\nlines.wav"), "");
    EXPECT_EQ(s.PlaylistPath[5], "");
    EXPECT_EQ(LoadPlaylistEntry(s, "/music/abcd"), "");
    NameEmptyEntries(s);
    EXPECT_EQ(PlaylistRow(s, 5), kPlaceholder + "   ");
    EXPECT_EQ(s.PlaylistPath[5], "/music/abcd");
    s.PlaylistSel = 201;
    EXPECT_EQ(SelectedEntry(s), 0);
}

// A saved list has 402 lines and loads without the selection; a 10-line list fills entries 0 to 4 only.
TEST(Playlist, ListFilesHold402Lines)
{
    TempFolder folder;
    SignalSettings saved;
    saved.PlaylistPath[0] = "/music/tone.wav";
    saved.PlaylistName[0] = "tone";
    saved.PlaylistName[1] = kPlaceholder;
    saved.PlaylistName[200] = "Grüße";
    saved.PlaylistSel = 17;
    ASSERT_EQ(SavePlaylistList(saved, folder / "a.lst"), "");
    const std::string list = ReadFile(folder / "a.lst");
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 402);
    EXPECT_TRUE(list.starts_with("\"/music/tone.wav\"\r\n\"tone\"\r\n\"\"\r\n\"" + kPlaceholder + "\"\r\n"));

    SignalSettings loaded;
    EXPECT_EQ(LoadPlaylistList(loaded, folder / "a.lst").problem, "");
    EXPECT_EQ(loaded.PlaylistName, saved.PlaylistName);
    EXPECT_EQ(loaded.PlaylistPath, saved.PlaylistPath);
    EXPECT_EQ(loaded.PlaylistSel, 0);
    std::string tenLines;
    for (char i = '0'; i < '5'; ++i)
        tenLines += std::string("\"/new/") + i + ".wav\"\r\n\"new\"\r\n";
    WriteFile(folder / "ten.lst", tenLines);
    EXPECT_TRUE(LoadPlaylistList(loaded, folder / "ten.lst").read);
    EXPECT_EQ(loaded.PlaylistPath[4] + loaded.PlaylistName[4], "/new/4.wavnew");
    EXPECT_EQ(loaded.PlaylistPath[5] + loaded.PlaylistName[5], "");
    EXPECT_EQ(loaded.PlaylistName[200], "Grüße");
    EXPECT_FALSE(LoadPlaylistList(loaded, folder / "none.lst").read);
}

} // namespace
} // namespace kelvo::test
