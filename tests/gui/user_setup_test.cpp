#include "gui_rig.h"
#include "support/wave_bytes.h"

#include <QListWidget>

namespace kelvo::test {
namespace {

using W = WaveBytes;

const QString kEmptyRow = QStringLiteral("   --                        ");
const QColor kGrey(64, 64, 64);

// The player window opened by CFG SIG with the User waveform, over `folder`.
struct PlayerWindow {
    explicit PlayerWindow(const std::filesystem::path& folder)
        : rig(folder, &dialogs)
    {
        Click(rig.main(), "lblUSER");
        Click(rig.main(), "lblCfgSig");
    }
    QWidget& w() { return rig.desktop.window(gui::WindowId::UserSetup); }
    QListWidget& list() { return Child<QListWidget>(w(), "List1"); }
    QString row(int i) { return list().item(i)->text(); }
    QColor led() { return Child<gui::Lamp>(w(), "lblPlayLED").color(); }
    // Selects row `entry` and presses `key`; its dialog, if any, answers `file`.
    void press(int entry, const char* key, const std::filesystem::path& file = {})
    {
        list().setCurrentRow(entry);
        if (!file.empty())
            dialogs.answers.push_back(file);
        Click(w(), key);
    }

    QueuedDialogs dialogs;
    GuiRig rig;
};

// The file and list keys, PLAY, Enter, STOP, an empty entry and X; EXIT keeps the list and
// the selection for the next start.
TEST(UserSetupWindow, FillsPlaysAndKeepsThePlaylist)
{
    TempFolder folder;
    W::write(folder / "ab.wav", W::riff(W::chunk("fmt ", W::format(1, 2, 44100, 16)) + W::chunk("data", std::string(1764000, '\1'))));
    {
        PlayerWindow p(folder.path());
        QWidget& w = p.w();
        EXPECT_EQ(w.accessibleName(), "USERFILE WAV PLAYER UTILITY");
        ASSERT_EQ(p.list().count(), 201);
        EXPECT_EQ(Caption(w, "lblPlaylist").toStdString(), (folder / "playlist.lst").string());
        Click(w, "cmdArb");
        EXPECT_TRUE(p.rig.desktop.window(gui::WindowId::ArbEditor).isVisible());
        p.press(200, "cmdLoadWAV", folder / "ab.wav");
        p.press(3, "cmdLoadWAV", folder / "ab.wav");
        p.press(4, "cmdLoadWAV", folder / "say \"hi\".wav");
        p.press(5, "cmdClrWAV");
        EXPECT_EQ(QStringList({p.row(200), p.row(3), p.row(4), p.row(5)}), QStringList({"ab   ", "ab   ", kEmptyRow, "--   "}));
        EXPECT_EQ(p.rig.messages.shown.size(), 1u);
        EXPECT_EQ(Caption(w, "Label1") + Caption(w, "lblCut"), "Selection 5 / 200");
        p.press(0, "cmdSaveList", folder / "mine.lst");
        p.press(0, "cmdClrList");
        EXPECT_EQ(p.row(200) + Caption(w, "lblPlaylist"), kEmptyRow);
        p.press(0, "cmdLoadList", folder / "mine.lst");
        EXPECT_EQ(p.row(200) + p.row(5), "ab   --   ");
        EXPECT_EQ(Caption(w, "lblPlaylist").toStdString(), (folder / "mine.lst").string());
        EXPECT_EQ(p.dialogs.filters.mid(2), QStringList({"Wav Files|*.wav;", "Playlist Files|*.lst;", "Playlist Files|*.lst;"}));

        p.list().setCurrentRow(3);
        QTest::keyClick(&p.list(), Qt::Key_Return);
        EXPECT_EQ(p.led(), QColor(255, 0, 0));
        EXPECT_EQ(Child<gui::Lamp>(p.rig.main(), "lblPlay1").color(), QColor(240, 0, 0));
        const QStringList info = {Caption(w, "Label33"), Caption(w, "Label19"), Caption(w, "Label20"),
                                  Caption(w, "Label21"), Caption(w, "Label34"), Caption(w, "Label16")};
        EXPECT_EQ(info, QStringList({"PCM WAV", "STEREO", "16 bit", "44100", "1764036 bytes", "00:00:10"}));
        EXPECT_EQ(Caption(p.rig.main(), "lblStat"), "ab");
        Click(w, "cmdStop");
        EXPECT_EQ(p.led(), kGrey);
        // A double click starts with a press, as a real one does.
        const QPoint third = p.list().visualItemRect(p.list().item(3)).center();
        QTest::mouseClick(p.list().viewport(), Qt::LeftButton, {}, third);
        QTest::mouseDClick(p.list().viewport(), Qt::LeftButton, {}, third);
        EXPECT_EQ(p.led(), QColor(255, 0, 0));
        p.press(4, "cmdPlay");
        EXPECT_EQ(p.led(), kGrey); // an empty entry
        p.press(3, "cmdPlay");
        Click(w, "Label3"); // X stops
        EXPECT_FALSE(w.isVisible() || p.rig.streamDevice.isOpen());
        EXPECT_EQ(Child<gui::Lamp>(p.rig.main(), "lblPlay1").color(), kGrey);
        Click(p.rig.main(), "lblExit");
    }
    PlayerWindow again(folder.path());
    EXPECT_EQ(again.row(200) + again.row(3), "ab   ab   ");
    EXPECT_EQ(Caption(again.w(), "Label1"), "Selection 3 / 200");
}

} // namespace
} // namespace kelvo::test
