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
    const struct {
        const char* title;
        const char* name;
    } cases[] = {
        {"ab.wav", "ab"},
        {"a", "a"},
        {"abc", "abc"},
        {"abcd", ""},
        {"tone.wav", "tone"},
        {"0123456789abcdefghijklmnopqrstuvwxyz.wav", "6789abcdefghijklmnopqrstuvwxyz"},
        {"Grüße aus Köln.wav", "Grüße aus Köln"},
        {"äöü", "äöü"},
        {"€€€€€€€€€€€€€€€€€€€€€€€€€€€€€€€€€.wav", "€€€€€€€€€€€€€€€€€€€€€€€€€€€€€€"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaylistDisplayName(c.title), c.name) << c.title;
}

TEST(Playlist, LoadFillsTheSelectedEntryAndRefusesWhatTheFileCannotHold)
{
    SignalSettings s;
    s.PlaylistSel = 200;
    EXPECT_EQ(LoadPlaylistEntry(s, "/music/ab.wav"), "");
    EXPECT_EQ(s.PlaylistPath[200], "/music/ab.wav");
    EXPECT_EQ(s.PlaylistName[200], "ab");
    EXPECT_EQ(s.PlaylistSel, 200);

    s.PlaylistSel = 3;
    for (const char* bad : {"/music/say \"hi\".wav", "/music/two\nlines.wav"}) {
        const std::string refusal = LoadPlaylistEntry(s, bad);
        EXPECT_NE(refusal.find("cannot be added to the playlist"), std::string::npos) << refusal;
        EXPECT_EQ(s.PlaylistPath[3], "");
        EXPECT_EQ(s.PlaylistName[3], "");
    }

    // A four-character title without extension gets an empty name, so its row shows the
    // placeholder although the entry has a file.
    EXPECT_EQ(LoadPlaylistEntry(s, "/music/abcd"), "");
    NameEmptyEntries(s);
    EXPECT_EQ(s.PlaylistPath[3], "/music/abcd");
    EXPECT_EQ(PlaylistRow(s, 3), kPlaceholder + "   ");
}

TEST(Playlist, ClearFileShowsTwoHyphensAndClearListThePlaceholder)
{
    SignalSettings s;
    for (int i = 0; i < kPlaylistEntries; ++i) {
        s.PlaylistPath[i] = "/f" + std::to_string(i) + ".wav";
        s.PlaylistName[i] = "f" + std::to_string(i);
    }
    s.PlaylistSel = 5;
    ClearPlaylistEntry(s);
    NameEmptyEntries(s);
    EXPECT_EQ(PlaylistRow(s, 5), "--   ");
    EXPECT_EQ(s.PlaylistPath[5], "");
    EXPECT_EQ(PlaylistRow(s, 4), "f4   ");
    EXPECT_EQ(PlaylistRow(s, 6), "f6   ");

    ClearPlaylist(s);
    NameEmptyEntries(s);
    for (int i = 0; i < kPlaylistEntries; ++i) {
        EXPECT_EQ(PlaylistRow(s, i), kPlaceholder + "   ");
        EXPECT_EQ(s.PlaylistPath[i], "");
    }
    EXPECT_EQ(s.PlaylistSel, 5);
}

TEST(Playlist, SelectionCounterAndOutOfRangeSelection)
{
    EXPECT_EQ(SelectionText(0), "Selection 0 / 200");
    EXPECT_EQ(SelectionText(200), "Selection 200 / 200");
    SignalSettings s;
    for (const auto [stored, used] : {std::pair{7, 7}, {200, 200}, {201, 0}, {-1, 0}}) {
        s.PlaylistSel = stored;
        EXPECT_EQ(SelectedEntry(s), used);
    }
}

int LineCount(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// A saved list has 402 lines, the program folder's file 403; a list with a selection
// line loads without it; a short list fills only the entries it holds.
TEST(Playlist, ListFilesHold402LinesAndTheProgramFolderFile403)
{
    TempFolder folder;
    SignalSettings saved;
    saved.PlaylistPath[0] = "/music/tone.wav";
    saved.PlaylistName[0] = "tone";
    saved.PlaylistName[1] = kPlaceholder;
    saved.PlaylistPath[200] = "/music/Grüße.wav";
    saved.PlaylistName[200] = "Grüße";
    saved.PlaylistSel = 17;
    ASSERT_EQ(SavePlaylistList(saved, folder / "a.lst"), "");
    const std::string list = ReadFile(folder / "a.lst");
    EXPECT_EQ(LineCount(list), 402);
    const std::string head = "\"/music/tone.wav\"\r\n\"tone\"\r\n\"\"\r\n\"" + kPlaceholder + "\"\r\n";
    EXPECT_EQ(list.substr(0, head.size()), head);
    ASSERT_EQ(SaveSettings(saved, folder.path()), "");
    EXPECT_EQ(LineCount(ReadFile(folder / "playlist.lst")), 403);

    SignalSettings loaded;
    loaded.PlaylistSel = 3;
    for (const char* file : {"a.lst", "playlist.lst"}) {
        const ListFileLoad result = LoadPlaylistList(loaded, folder / file);
        EXPECT_TRUE(result.read);
        EXPECT_EQ(result.problem, "") << file;
        EXPECT_EQ(loaded.PlaylistPath, saved.PlaylistPath);
        EXPECT_EQ(loaded.PlaylistName, saved.PlaylistName);
        EXPECT_EQ(loaded.PlaylistSel, 3);
    }

    std::string tenLines;
    for (int i = 0; i < 5; ++i)
        tenLines += "\"/new/" + std::to_string(i) + ".wav\"\r\n\"new" + std::to_string(i) + "\"\r\n";
    WriteFile(folder / "ten.lst", tenLines);
    const ListFileLoad shortList = LoadPlaylistList(loaded, folder / "ten.lst");
    EXPECT_TRUE(shortList.read);
    EXPECT_NE(shortList.problem, "");
    EXPECT_EQ(loaded.PlaylistPath[4], "/new/4.wav");
    EXPECT_EQ(loaded.PlaylistName[4], "new4");
    EXPECT_EQ(loaded.PlaylistPath[5], "");
    EXPECT_EQ(loaded.PlaylistName[5], "");
    EXPECT_EQ(loaded.PlaylistPath[200], "/music/Grüße.wav");

    const ListFileLoad missing = LoadPlaylistList(loaded, folder / "none.lst");
    EXPECT_FALSE(missing.read);
    EXPECT_NE(missing.problem.find("none.lst"), std::string::npos);
}

} // namespace
} // namespace kelvo::test
