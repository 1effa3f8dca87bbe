#include "gui_rig.h"
#include "support/wave_bytes.h"

#include <QListWidget>

#include <deque>

namespace kelvo::test {
namespace {

using gui::WindowId;
using W = WaveBytes;

const QString kPlaceholder = QStringLiteral("   --                     ");
const QColor kGrey(64, 64, 64);
const QColor kRed(255, 0, 0);

struct AnsweringDialogs final : gui::FileDialogs {
    std::optional<QString> openFile(QWidget*, const QString& filter) override { return next(filter); }
    std::optional<QString> saveFile(QWidget*, const QString& filter) override { return next(filter); }
    std::optional<QString> next(const QString& filter)
    {
        filters << filter;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<QString>> answers;
    QStringList filters;
};

QString Path(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

std::string TenSeconds()
{
    return W::riff(W::chunk("fmt ", W::format(1, 2, 44100, 16)) + W::chunk("data", std::string(1764000, '\1')));
}

struct PlayerWindow {
    explicit PlayerWindow(const std::filesystem::path& folder)
        : rig(folder, &dialogs)
    {
        Click(rig.main(), "lblUSER");
        Click(rig.main(), "lblCfgSig");
    }
    QWidget& window() { return rig.desktop.window(WindowId::UserSetup); }
    QListWidget& list() { return Child<QListWidget>(window(), "List1"); }
    QString row(int i) { return list().item(i)->text(); }
    QColor led() { return Child<gui::Lamp>(window(), "lblPlayLED").color(); }
    // Loads `file` into entry `entry` through LOAD FILE.
    void load(int entry, const std::filesystem::path& file)
    {
        list().setCurrentRow(entry);
        dialogs.answers.push_back(Path(file));
        Click(window(), "cmdLoadWAV");
    }

    AnsweringDialogs dialogs;
    GuiRig rig;
};

TEST(UserSetupWindow, OpensFromCfgSigWithTheWholeListAndTheSelection)
{
    TempFolder folder;
    PlayerWindow p(folder.path());
    QWidget& w = p.window();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.objectName(), "frmUserSetup");
    EXPECT_EQ(w.accessibleName(), "USERFILE WAV PLAYER UTILITY");
    ASSERT_EQ(p.list().count(), 201);
    EXPECT_EQ(p.row(0), kPlaceholder + "   ");
    EXPECT_EQ(Caption(w, "Label1"), "Selection 0 / 200");
    EXPECT_EQ(Caption(w, "lblPlaylist"), Path(folder / "playlist.lst"));
    EXPECT_EQ(Caption(w, "Label16"), "00:00:00");
    EXPECT_FALSE(Child(w, "cmdArb").isVisible());
    for (const char* key : {"cmdLoadWAV", "cmdClrWAV", "cmdLoadList", "cmdSaveList", "cmdClrList", "cmdPlay", "cmdStop"})
        EXPECT_TRUE(Child(w, key).isVisible()) << key;

    p.list().setCurrentRow(200);
    EXPECT_EQ(Caption(w, "Label1"), "Selection 200 / 200");
    EXPECT_EQ(p.rig.settings().PlaylistSel, 200);
}

// LOAD FILE fills the selected entry; CLR FILE shows "--", CLR LIST the placeholder
// everywhere; a name the list file cannot hold is refused with a message.
TEST(UserSetupWindow, FileAndListKeysFillAndEmptyTheEntries)
{
    TempFolder folder;
    PlayerWindow p(folder.path());
    QWidget& w = p.window();
    W::write(folder / "ab.wav", TenSeconds());
    p.load(200, folder / "ab.wav");
    EXPECT_EQ(p.row(200), "ab   ");
    EXPECT_EQ(Caption(w, "lblCut"), Path(folder / "ab.wav"));
    EXPECT_EQ(p.dialogs.filters.back(), "Wav Files|*.wav;");
    p.load(5, folder / "ab.wav");
    p.load(6, folder / "say \"hi\".wav");
    EXPECT_EQ(p.rig.messages.shown.size(), 1u);
    EXPECT_EQ(p.row(6), kPlaceholder + "   ");

    p.list().setCurrentRow(5);
    Click(w, "cmdClrWAV");
    EXPECT_EQ(p.row(5), "--   ");
    EXPECT_EQ(Caption(w, "lblCut"), "");
    EXPECT_EQ(p.row(200), "ab   ");

    p.dialogs.answers.push_back(Path(folder / "mine.lst"));
    Click(w, "cmdSaveList");
    EXPECT_EQ(Caption(w, "lblPlaylist"), Path(folder / "mine.lst"));
    const std::string saved = ReadFile(folder / "mine.lst");
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 402);

    Click(w, "cmdClrList");
    for (int i : {0, 5, 200})
        EXPECT_EQ(p.row(i), kPlaceholder + "   ");
    EXPECT_EQ(Caption(w, "lblPlaylist"), "");
    EXPECT_EQ(p.rig.settings().PlaylistSel, 5);

    p.dialogs.answers.push_back(Path(folder / "mine.lst"));
    Click(w, "cmdLoadList");
    EXPECT_EQ(p.row(200), "ab   ");
    EXPECT_EQ(p.row(5), "--   ");
    EXPECT_EQ(Caption(w, "lblPlaylist"), Path(folder / "mine.lst"));
    EXPECT_EQ(p.dialogs.filters.back(), "Playlist Files|*.lst;");
}

// PLAY, Enter and STOP; the information of a ten-second file; an empty entry and "X"
// leave everything grey; EXIT keeps the list and the selection for the next start.
TEST(UserSetupWindow, PlaysShowsTheFileAndStops)
{
    TempFolder folder;
    {
        PlayerWindow p(folder.path());
        QWidget& w = p.window();
        W::write(folder / "ten.wav", TenSeconds());
        p.load(3, folder / "ten.wav");
        QTest::keyClick(&p.list(), Qt::Key_Return);
        EXPECT_TRUE(p.rig.streamDevice.isOpen());
        EXPECT_EQ(p.led(), kRed);
        EXPECT_EQ(Child<gui::Lamp>(p.rig.main(), "lblPlay1").color(), QColor(240, 0, 0));
        const QStringList shown = {Caption(w, "Label33"), Caption(w, "Label19"), Caption(w, "Label20"),
                                   Caption(w, "Label21"), Caption(w, "Label34"), Caption(w, "Label16")};
        EXPECT_EQ(shown, QStringList({"PCM WAV", "STEREO", "16 bit", "44100", "1764036 bytes", "00:00:10"}));
        EXPECT_EQ(Caption(p.rig.main(), "lblStat"), "ten");

        Click(w, "cmdStop");
        EXPECT_EQ(p.led(), kGrey);
        EXPECT_EQ(Caption(w, "Label17"), "00:00:00");
        EXPECT_EQ(p.rig.settings().Playing, 0);

        p.list().setCurrentRow(4);
        Click(w, "cmdPlay");
        EXPECT_EQ(p.led(), kGrey);
        EXPECT_FALSE(p.rig.streamDevice.isOpen());

        p.list().setCurrentRow(3);
        Click(w, "cmdPlay");
        EXPECT_EQ(p.led(), kRed);
        Click(w, "Label3");
        EXPECT_FALSE(w.isVisible());
        EXPECT_FALSE(p.rig.streamDevice.isOpen());
        EXPECT_EQ(p.led(), kGrey);
        EXPECT_EQ(p.rig.settings().Playing, 0);
        EXPECT_EQ(Child<gui::Lamp>(p.rig.main(), "lblPlay1").color(), kGrey);

        p.rig.oscillator.PlaySig(); // ON with the User waveform plays the selected entry
        EXPECT_TRUE(p.rig.streamDevice.isOpen());
        Click(p.rig.main(), "lblSigOff");
        EXPECT_FALSE(p.rig.streamDevice.isOpen());
        Click(p.rig.main(), "lblExit");
    }
    const std::string kept = ReadFile(folder / "playlist.lst");
    EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 403);
    PlayerWindow again(folder.path());
    EXPECT_EQ(again.row(3), "ten   ");
    EXPECT_EQ(again.list().currentRow(), 3);
    EXPECT_EQ(Caption(again.window(), "Label1"), "Selection 3 / 200");
}

} // namespace
} // namespace kelvo::test
