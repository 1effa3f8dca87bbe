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
    EXPECT_EQ(SelectionText(200), "Selection 200 / 200");
}

// LOAD FILE fills the selected entry or refuses a name the file cannot hold (the window's
// test loads entry 200 and a quoted name); CLR FILE shows "--", CLR LIST the placeholder
// everywhere and keeps the selection.
TEST(Playlist, EntriesAreFilledAndEmptied)
{
    SignalSettings s;
    s.PlaylistSel = 5;
    EXPECT_NE(LoadPlaylistEntry(s, "/music/two\nlines.wav"), "");
    EXPECT_EQ(s.PlaylistPath[5], "");
    EXPECT_EQ(LoadPlaylistEntry(s, "/music/abcd"), "");
    s.PlaylistSel = 4;
    ClearPlaylistEntry(s);
    NameEmptyEntries(s);
    EXPECT_EQ(PlaylistRow(s, 5), kPlaceholder + "   "); // a file, but an empty name
    EXPECT_EQ(s.PlaylistPath[5], "/music/abcd");
    EXPECT_EQ(PlaylistRow(s, 4), "--   ");
    EXPECT_EQ(PlaylistRow(s, 3), kPlaceholder + "   ");

    ClearPlaylist(s);
    NameEmptyEntries(s);
    for (int i : {4, 5})
        EXPECT_EQ(PlaylistRow(s, i) + s.PlaylistPath[i], kPlaceholder + "   ");
    EXPECT_EQ(s.PlaylistSel, 4);
    s.PlaylistSel = 201;
    EXPECT_EQ(SelectedEntry(s), 0);
}

// A saved list has 402 lines, the program folder's file 403; either loads without the
// selection; a 10-line list fills entries 0 to 4 only.
TEST(Playlist, ListFilesHold402LinesAndTheProgramFolderFile403)
{
    TempFolder folder;
    SignalSettings saved;
    saved.PlaylistPath[0] = "/music/tone.wav";
    saved.PlaylistName[0] = "tone";
    saved.PlaylistName[1] = kPlaceholder;
    saved.PlaylistName[200] = "Grüße";
    saved.PlaylistSel = 17;
    ASSERT_EQ(SavePlaylistList(saved, folder / "a.lst"), "");
    ASSERT_EQ(SaveSettings(saved, folder.path()), "");
    const std::string list = ReadFile(folder / "a.lst");
    const std::string kept = ReadFile(folder / "playlist.lst");
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 402);
    EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 403);
    EXPECT_TRUE(list.starts_with("\"/music/tone.wav\"\r\n\"tone\"\r\n\"\"\r\n\"" + kPlaceholder + "\"\r\n"));

    SignalSettings loaded;
    for (const char* file : {"a.lst", "playlist.lst"}) {
        EXPECT_EQ(LoadPlaylistList(loaded, folder / file).problem, "") << file;
        EXPECT_EQ(loaded.PlaylistName, saved.PlaylistName);
        EXPECT_EQ(loaded.PlaylistPath, saved.PlaylistPath);
        EXPECT_EQ(loaded.PlaylistSel, 0);
    }
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
