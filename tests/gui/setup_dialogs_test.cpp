#include "gui_rig.h"
#include "support/wave_bytes.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace kelvo::test {
namespace {

using gui::WindowId;

QWidget& OpenSetup(GuiRig& rig, const QString& waveformKey, WindowId id)
{
    Click(rig.main(), waveformKey);
    Click(rig.main(), "lblCfgSig");
    return rig.desktop.window(id);
}

// Types `lines` into an emptied list box, each ended by Enter, then `tail` without one.
void TypeList(QWidget& window, const QString& name, const QStringList& lines, const QString& tail = {})
{
    auto& box = Child<QPlainTextEdit>(window, name);
    box.clear();
    for (const QString& line : lines) {
        QTest::keyClicks(&box, line);
        QTest::keyClick(&box, Qt::Key_Return);
    }
    QTest::keyClicks(&box, tail);
}

QStringList Lines(QWidget& window, const QString& name)
{
    return Child<QPlainTextEdit>(window, name).toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Each setup opens from its waveform's key, named by its title, every control named too,
// states the ranges its fields take and closes on Escape.
TEST(SetupDialogs, CfgSigOpensTheCurrentWaveformsSetup)
{
    TempFolder folder;
    GuiRig rig(folder.path());
    QWidget& main = rig.main();
    const struct {
        const char* key;
        const char* window;
        const char* title;
        const char* range = ""; // part of a caption
    } opened[] = {{"lblNOISE", "frmNoiseSetup", "NOISE SETUP:"},
                  {"lblBURST", "frmBurstSetup", "BURST SETUP:", "1-20000 ms"},
                  {"lblPULSE", "frmPulseSetup", "PULSE WAVE SETUP:", "Number of pulses (1-10000)"},
                  {"lbl2T", "frmToneSetup", "TWO TONE SETUP:", "Frequency 1 (1-96000 Hz)"},
                  {"lblWARBLE", "frmWarbleSetup", "WARBLE SETUP:", "Warble Rate (1-20)"},
                  {"lblAM", "frmAMSetup", "AM SETUP:"},
                  {"lblFM", "frmFMSetup", "FM SETUP:"},
                  {"lblDSB", "frmDSBSetup", "DSB SETUP:"},
                  {"lblSWEEP", "frmSweepSetup", "SWEEP WAVE SETUP:"},
                  {"lblMULTI", "frmMultiSetup", "MULTIBURST SETUP:", " 2 to 100 frequencies may be entered."}};
    for (const auto& o : opened) {
        SCOPED_TRACE(o.window);
        Click(main, o.key);
        Click(main, "lblCfgSig");
        QWidget* window = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == o.window)
                window = top;
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(window);
        EXPECT_EQ(face->role(), QAccessible::Window);
        EXPECT_EQ(face->text(QAccessible::Name), o.title);
        int controls = 0;
        for (QWidget* control : window->findChildren<QWidget*>()) {
            QAccessibleInterface* part = QAccessible::queryAccessibleInterface(control);
            const auto role = part->role();
            if (role != QAccessible::Button && role != QAccessible::RadioButton && role != QAccessible::CheckBox &&
                role != QAccessible::EditableText)
                continue;
            ++controls;
            EXPECT_FALSE(part->text(QAccessible::Name).trimmed().isEmpty()) << control->objectName().toStdString();
        }
        EXPECT_GE(controls, 2); // at least a box or an option, and the "X"
        QString captions;
        for (const QLabel* label : window->findChildren<QLabel*>())
            captions += label->text() + QLatin1Char('\n');
        EXPECT_TRUE(captions.contains(QLatin1String(o.range))) << o.range;
        // Escape closes the setup window, not the panel.
        QTest::keyClick(window, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(main.isVisible());
    }
    // A waveform without a setup window says so.
    Click(main, "lblSine");
    Click(main, "lblCfgSig");
    EXPECT_EQ(Caption(main, "lblStat"), "Sine has no settings of its own");
}

// Every keystroke is a change and a refused one keeps the last accepted value; the window
// goes on editing its own fields when the waveform changes, and reopening shows them.
TEST(SetupDialogs, BoxesOptionsAndTheCheckBoxWriteTheirFieldsAndReopeningShowsThem)
{
    TempFolder folder;
    GuiRig rig(folder.path());
    QWidget& am = OpenSetup(rig, "lblAM", WindowId::AmSetup);
    Retype(am, "Text2", "5000");
    EXPECT_EQ(rig.settings().AmCarrierFreq, 5000);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(&Child<QLineEdit>(am, "Text2"), Qt::Key_Backspace);
    EXPECT_EQ(rig.settings().AmCarrierFreq, 50); // "5" and "" are below the carrier's 10 Hz
    Click(rig.main(), "lblSine");
    Retype(am, "Text3", "95001");
    EXPECT_EQ(rig.settings().AmModFreq, 9500);
    Click(am, "Label3");
    rig.desktop.show(WindowId::AmSetup);
    EXPECT_EQ(Child<QLineEdit>(am, "Text2").text(), "50");
    EXPECT_EQ(Child<QLineEdit>(am, "Text3").text(), "9500");

    rig.settings().NoiseType = 5; // as a damaged settings file may hold it
    rig.desktop.show(WindowId::NoiseSetup);
    QWidget& noise = rig.desktop.window(WindowId::NoiseSetup);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(Child<QRadioButton>(noise, QStringLiteral("Option4(%1)").arg(i)).isChecked()) << i;
    Click(noise, "Option4(3)");
    EXPECT_EQ(rig.settings().NoiseType, 3) << "pink";
    rig.desktop.show(WindowId::BurstSetup);
    QWidget& burst = rig.desktop.window(WindowId::BurstSetup);
    Child<QCheckBox>(burst, "chkExpDecay").click();
    EXPECT_EQ(rig.settings().BurstExpDecay, 1);
    Child<QCheckBox>(burst, "chkHannWindow").click();
    Retype(burst, "txtBurstCycles", "6.7");
    EXPECT_EQ(rig.settings().BurstWindow, 1);
    EXPECT_EQ(rig.settings().BurstCycles, 6.5) << "half cycles";
    rig.desktop.show(WindowId::PulseSetup);
    Retype(rig.desktop.window(WindowId::PulseSetup), "Text1", "3.5");
    EXPECT_EQ(rig.settings().PulseCount, 4);
}

// The last duration ends no line: it is no token. Storing renders nothing. Both list setups
// load and save through one pair of functions: the step list shows their loads and the
// multitone list their saves.
TEST(ListSetups, TheSweepSetupStoresLoadsAndSavesTheStepsAndOnlyFailuresSaySo)
{
    TempFolder folder;
    WriteFile(folder / "three.usl", "3\r\n100\r\n1\r\n200\r\n2\r\n300\r\n3\r\n");
    QueuedDialogs dialogs;
    GuiRig rig(folder.path(), &dialogs);
    QWidget& sweep = OpenSetup(rig, "lblSWEEP", WindowId::SweepSetup);
    EXPECT_TRUE(Child<QAbstractButton>(sweep, "Option1(0)").isChecked());
    EXPECT_EQ(Lines(sweep, "Text1"), QStringList(10, "0 , 0"));
    Retype(sweep, "Text4", "3");
    TypeList(sweep, "Text1", {"100,1"}, "200,2");
    Click(sweep, "cmdStore");
    EXPECT_EQ(rig.settings().UserStepCount, 3);
    Click(sweep, "Label3");
    Click(rig.main(), "lblCfgSig");
    EXPECT_EQ(Lines(sweep, "Text1"), (QStringList{"100 , 1", "200 , 0", "0 , 0"}));
    EXPECT_FALSE(std::filesystem::exists(folder / "test.wav"));

    Click(sweep, "Option1(6)");
    Retype(sweep, "txtSweepSeconds", "12.5");
    Retype(sweep, "txtFadeMs", "0");
    EXPECT_EQ(rig.settings().SweepKind, 7) << "logarithmic steps";
    EXPECT_EQ(rig.settings().SweepSeconds, 12.5);
    EXPECT_EQ(rig.settings().SweepFadeMs, 0);

    dialogs.answers = {folder / "three.usl", std::nullopt, folder / "gone.usl", folder / "mine.usl"};
    Click(sweep, "Command7");
    EXPECT_EQ(dialogs.filters, QStringList{"User step list|*.usl;"});
    const QStringList shown = Lines(sweep, "Text1");
    EXPECT_EQ(shown, (QStringList{"100 , 1", "200 , 2", "300 , 3"}));
    EXPECT_EQ(rig.settings().UserStepCount, 3);
    Click(sweep, "Command7");
    Click(sweep, "Command7");
    EXPECT_EQ(Lines(sweep, "Text1"), shown);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_NE(rig.messages.shown[0].find((folder / "gone.usl").string()), std::string::npos);
    TypeList(sweep, "Text1", {"440,0.5"});
    Click(sweep, "Command9"); // stores the box first, as many steps as the steps box says
    EXPECT_EQ(ReadFile(folder / "mine.usl"), "3\r\n440\r\n0.5\r\n0\r\n0\r\n0\r\n0\r\n");

    // A list of the most steps a file holds comes back whole.
    rig.settings().SweepSteps = 100;
    std::string full = "100\r\n";
    for (int k = 1; k <= 100; ++k)
        full += std::to_string(20 * k) + "\r\n" + std::to_string(k) + "\r\n";
    WriteFile(folder / "full.usl", full);
    dialogs.answers = {folder / "full.usl", folder / "full-again.usl"};
    Click(sweep, "Command7");
    Click(sweep, "Command9");
    EXPECT_EQ(ReadFile(folder / "full-again.usl"), full);
}

TEST(ListSetups, TheMultitoneSetupSavesTheTypedCountAndLoadsListsAndAProgramFolderCopy)
{
    TempFolder folder;
    QueuedDialogs dialogs;
    GuiRig rig(folder.path(), &dialogs);
    QWidget& multi = OpenSetup(rig, "lblMULTI", WindowId::MultiSetup);
    EXPECT_EQ(Lines(multi, "Text9"), (QStringList{"400", "1000", "1300"}));
    TypeList(multi, "Text9", {"250", "abc", "2500"});
    Click(multi, "cmdStore");
    EXPECT_EQ(rig.settings().MultiFreq[3], 2500);
    TypeList(multi, "Text9", {"260"});
    Retype(multi, "Text12", "1"); // refused by the box, taken by a save
    EXPECT_EQ(rig.settings().MultiCount, 3);
    dialogs.answers = {folder / "one", folder / "no" / "such.mtf"};
    Click(multi, "Command9"); // stores the box first, adds no extension
    EXPECT_EQ(ReadFile(folder / "one"), "1\r\n260\r\n");
    Click(multi, "Command9");
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_NE(rig.messages.shown[0].find("such.mtf"), std::string::npos);

    WriteFile(folder / "five.mtf", "5\r\n10\r\n20\r\n30\r\n40\r\n50\r\n"); // as Klvmultitone.ini holds them
    dialogs.answers = {folder / "five.mtf"};
    Click(multi, "Command7");
    EXPECT_EQ(dialogs.filters, QStringList(3, "Multitone list|*.mtf;"));
    EXPECT_EQ(Child<QLineEdit>(multi, "Text12").text(), "5");
    EXPECT_EQ(Lines(multi, "Text9"), (QStringList{"10", "20", "30", "40", "50"}));
}

using W = WaveBytes;

QString Heard(QWidget& window, const char* name)
{
    return QAccessible::queryAccessibleInterface(&Child(window, name))->text(QAccessible::Name);
}

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
// the selection for the next start. A screen reader reads each value after its caption, the
// caption alone while there is none.
TEST(UserSetupWindow, FillsPlaysAndKeepsThePlaylist)
{
    TempFolder folder;
    W::write(folder / "ab.wav",
             W::riff(W::chunk("fmt ", W::format(1, 2, 44100, 16)) + W::chunk("data", std::string(1764000, '\1'))));
    {
        PlayerWindow p(folder.path());
        QWidget& w = p.w();
        EXPECT_EQ(w.accessibleName(), "USERFILE WAV PLAYER UTILITY");
        p.list().setCurrentRow(7);
        EXPECT_EQ(Heard(w, "Label33") + "|" + Heard(w, "lblCut"), "Type|File of the selected entry");
        ASSERT_EQ(p.list().count(), 201);
        EXPECT_EQ(Child(w, "lblPlaylist").toolTip().toStdString(), (folder / "playlist.lst").string());
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
        EXPECT_EQ(Child(w, "lblPlaylist").toolTip().toStdString(), (folder / "mine.lst").string());
        EXPECT_EQ(p.dialogs.filters.mid(2), QStringList({"Wav Files|*.wav;", "Playlist Files|*.lst;", "Playlist Files|*.lst;"}));

        p.list().setCurrentRow(3);
        QTest::keyClick(&p.list(), Qt::Key_Return);
        EXPECT_EQ(p.led(), QColor(255, 0, 0));
        EXPECT_EQ(Child<gui::Lamp>(p.rig.main(), "lblPlay1").color(), QColor(240, 0, 0));
        QStringList shown, heard;
        for (const char* name : {"Label33", "Label19", "Label20", "Label21", "Label34", "Label16", "Label1", "lblCut"}) {
            shown << Caption(w, name);
            heard << Heard(w, name);
        }
        const QString path = QString::fromStdString((folder / "ab.wav").string());
        EXPECT_EQ(shown,
                  QStringList({"PCM WAV", "STEREO", "16 bit", "44100", "1764036 bytes", "00:00:10", "Selection 3 / 200", path}));
        EXPECT_EQ(heard, QStringList({"Type: PCM WAV", "Channels: STEREO", "Resolution: 16 bit", "Sample rate: 44100",
                                      "Size: 1764036 bytes", "Duration: 00:00:10", "Selection 3 / 200",
                                      "File of the selected entry: " + path}));
        QWidget& main = p.rig.main();
        EXPECT_EQ(Heard(main, "lblStat") + "|" + Heard(main, "lblWaveform"), "Status: ab|Waveform: User Defined");
        EXPECT_EQ(Heard(main, "lblFreq"), "Frequency: " + Caption(main, "lblFreq"));
        EXPECT_EQ(Heard(p.rig.remote(), "lblMemDisplay"), "Memory: " + Caption(p.rig.remote(), "lblMemDisplay"));
        Click(w, "cmdStop");
        EXPECT_EQ(p.led(), kGrey);
        // A double click starts with a press, as a real one does.
        const QPoint third = p.list().visualItemRect(p.list().item(3)).center();
        QTest::mouseClick(p.list().viewport(), Qt::LeftButton, {}, third);
        QTest::mouseDClick(p.list().viewport(), Qt::LeftButton, {}, third);
        EXPECT_EQ(p.led(), QColor(255, 0, 0));
        p.press(3, "cmdPlay");
        Click(w, "Label3"); // X stops
        EXPECT_FALSE(w.isVisible() || p.rig.streamDevice.isOpen());
        EXPECT_EQ(Child<gui::Lamp>(p.rig.main(), "lblPlay1").color(), kGrey);
        Click(p.rig.main(), "lblExit");
    }
    PlayerWindow again(folder.path());
    EXPECT_EQ(again.row(200) + again.row(3), "ab   ab   ");
    EXPECT_EQ(Caption(again.w(), "Label1"), "Selection 3 / 200");
    Click(again.w(), "Label3");
    again.rig.settings().PlaylistSel = 99999; // as a damaged settings file leaves it
    Click(again.rig.main(), "lblCfgSig");
    EXPECT_EQ(Caption(again.w(), "Label1"), "Selection 0 / 200");
}

// A 90-character path leaves the player's width alone: it shows elided in the middle, and
// the tooltip and a screen reader give it whole.
TEST(UserSetupWindow, ALongPathKeepsTheWindowsWidth)
{
    TempFolder folder;
    const std::string name(90 - folder.path().string().size() - std::string("/.wav").size(), 'n');
    const std::filesystem::path wav = folder / (name + ".wav");
    ASSERT_EQ(wav.string().size(), 90u);
    W::write(wav, W::riff(W::chunk("fmt ", W::format(1, 2, 44100, 16)) + W::chunk("data", std::string(400, '\1'))));
    PlayerWindow p(folder.path());
    const int width = p.w().width();
    p.press(0, "cmdLoadWAV", wav);
    QCoreApplication::sendPostedEvents(); // the layout's requests, which would widen the window
    EXPECT_EQ(p.w().width(), width);

    const QString full = QString::fromStdString(wav.string());
    auto& path = Child<QLabel>(p.w(), "lblCut");
    EXPECT_TRUE(path.text().startsWith(full.left(4)) && path.text().endsWith(QStringLiteral("n.wav")))
        << path.text().toStdString();
    EXPECT_TRUE(path.text().contains(QChar(0x2026)));
    EXPECT_LE(path.fontMetrics().horizontalAdvance(path.text()), path.contentsRect().width());
    EXPECT_EQ(path.toolTip(), full);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&path)->text(QAccessible::Description), full);
}

} // namespace
} // namespace kelvo::test
