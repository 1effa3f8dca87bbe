#include "gui_rig.h"
#include "settings/memory_table.h"
#include "settings/settings_files.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <deque>

namespace kelvo::test {
namespace {

using gui::WindowId;

// Answers the file dialogs in turn with a path, or nothing for a cancel.
struct ScriptedDialogs final : gui::FileDialogs {
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

// The oscillator setup over three made-up output devices.
struct OscRig {
    explicit OscRig(const std::filesystem::path& folder)
        : rig(folder, &dialogs)
    {
        rig.desktop.setOutputDevices([this](std::string&) {
            ++listings;
            return std::vector<std::string>{"Default output", "Card A: analog", "Card B: digital"};
        });
    }
    QWidget& open()
    {
        Click(rig.main(), "lblCfgOsc");
        return rig.desktop.window(WindowId::OscSetup);
    }
    QString table() { return Child<QPlainTextEdit>(rig.desktop.window(WindowId::OscSetup), "Text4").toPlainText(); }

    ScriptedDialogs dialogs;
    GuiRig rig;
    int listings = 0;
};

QString ShownTable(const SignalSettings& s)
{
    return QString::fromStdString(MemoryTableText(s)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

void DoubleClickDevice(QWidget& setup, int row)
{
    auto& list = Child<QListWidget>(setup, "List1");
    const QPoint where = row < 0 ? QPoint(5, list.viewport()->height() - 5)
                                 : list.visualItemRect(list.item(row)).center();
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, where);
}

bool Checked(QWidget& setup, const QString& name)
{
    return Child<QAbstractButton>(setup, name).isChecked();
}

TEST(OscSetup, OpensFromCfgOscAndBuildsTableAndDeviceListAfreshOnEachOpening)
{
    TempFolder folder;
    OscRig osc(folder.path());
    SignalSettings& s = osc.rig.settings();
    QWidget& setup = osc.open();
    ASSERT_TRUE(setup.isVisible());
    EXPECT_EQ(setup.windowTitle(), "OSCILLATOR SETUP:");
    EXPECT_EQ(osc.table(), ShownTable(s));
    EXPECT_TRUE(QFontInfo(Child<QPlainTextEdit>(setup, "Text4").font()).fixedPitch());
    auto& list = Child<QListWidget>(setup, "List1");
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.item(2)->text(), "Card B: digital");
    EXPECT_EQ(list.currentRow(), 0);
    EXPECT_EQ(Child<QLineEdit>(setup, "Text5").text(), "0");
    EXPECT_TRUE(Checked(setup, "opt1S"));
    EXPECT_FALSE(Checked(setup, "chkPlaydriver"));

    osc.open(); // already open: only raised
    EXPECT_EQ(osc.listings, 1);

    s.Freq[3] = 500;
    s.Waveform[3] = 13;
    s.WaveBuildLength = 10;
    s.OutDevice = 7;
    s.LegacyDriver = 1;
    Click(setup, "Label3");
    EXPECT_FALSE(setup.isVisible());
    osc.open();
    EXPECT_EQ(osc.listings, 2);
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(osc.table(), ShownTable(s));
    EXPECT_TRUE(osc.table().contains("   3    500  44100   L+R            Amplitude Modulation   16   -20   -20\n"));
    EXPECT_TRUE(Checked(setup, "Opt10S"));
    EXPECT_TRUE(Checked(setup, "chkPlaydriver"));
    EXPECT_TRUE(list.selectedItems().isEmpty()); // no device 7
    EXPECT_EQ(Child<QLineEdit>(setup, "Text5").text(), "7");

    s.WaveBuildLength = 5;
    Click(setup, "Label3");
    osc.open();
    for (const char* name : {"opt1S", "Opt10S", "Opt100S"})
        EXPECT_FALSE(Checked(setup, name)) << name;
    EXPECT_EQ(s.WaveBuildLength, 5);
    EXPECT_TRUE(osc.rig.messages.shown.empty());
}

TEST(OscSetup, TheChosenDeviceLengthAndDriverGoToTheRecordAndTheNextStartOpensThatDevice)
{
    TempFolder folder;
    OscRig osc(folder.path());
    SignalSettings& s = osc.rig.settings();
    s.WaveBuildLength = 0.05;
    QWidget& setup = osc.open();
    DoubleClickDevice(setup, 2);
    EXPECT_EQ(s.OutDevice, 2);
    EXPECT_EQ(Child<QLineEdit>(setup, "Text5").text(), "2");

    Click(osc.rig.main(), "lblSigOn");
    ASSERT_TRUE(QTest::qWaitFor([&] { return osc.rig.streamDevice.opens == 1; }, 3000));
    EXPECT_EQ(osc.rig.streamDevice.lastIndex, 2);

    // A playing signal is not moved; nothing selected means -1, the default output.
    auto& list = Child<QListWidget>(setup, "List1");
    list.clearSelection();
    DoubleClickDevice(setup, -1);
    EXPECT_EQ(s.OutDevice, -1);
    EXPECT_EQ(Child<QLineEdit>(setup, "Text5").text(), "-1");
    EXPECT_EQ(osc.rig.streamDevice.opens, 1);

    list.setCurrentRow(1);
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(s.OutDevice, 1);
    list.setCurrentRow(2); // a single selection chooses nothing
    EXPECT_EQ(s.OutDevice, 1);

    Click(setup, "Opt100S");
    EXPECT_EQ(s.WaveBuildLength, 100);
    QWidget& driver = Child(setup, "chkPlaydriver");
    QTest::mouseClick(&driver, Qt::LeftButton, {}, QPoint(8, driver.height() / 2));
    EXPECT_EQ(s.LegacyDriver, 1);
}

TEST(OscSetup, ASetupSavedAndLoadedBackRestoresAllAndThePanelShowsTheLiveSlotAtOnce)
{
    TempFolder folder;
    OscRig osc(folder.path());
    SignalSettings& s = osc.rig.settings();
    s.Freq[0] = 1234;
    s.Freq[5] = 777;
    s.FreqStep = 10;
    s.LevelStep = 1;
    s.OutDevice = 1;
    s.WaveBuildLength = 10;
    QWidget& setup = osc.open();
    const auto file = folder / "my setup.ini";
    osc.dialogs.answers = {Path(file)};
    Click(setup, "cmdSave");
    EXPECT_EQ(osc.dialogs.filters, QStringList{"Setup Files|*.ini;"});

    s.Freq[0] = 50;
    s.Freq[5] = 60;
    s.FreqStep = 100;
    s.LevelStep = 20;
    s.OutDevice = 0;
    s.WaveBuildLength = 1;
    osc.rig.oscillator.Update();
    osc.dialogs.answers = {Path(file)};
    Click(setup, "cmdLoad");
    EXPECT_EQ(s.Freq[0], 1234);
    EXPECT_EQ(s.Freq[5], 777);
    EXPECT_EQ(s.FreqStep, 10);
    EXPECT_EQ(s.LevelStep, 1);
    EXPECT_EQ(s.OutDevice, 1);
    EXPECT_EQ(s.WaveBuildLength, 10);
    EXPECT_EQ(Caption(osc.rig.main(), "lblFreq"), "1234 Hz");
    EXPECT_EQ(osc.table(), ShownTable(s));
    EXPECT_EQ(Child<QLineEdit>(setup, "Text5").text(), "1");
    EXPECT_TRUE(Checked(setup, "Opt10S"));
    EXPECT_TRUE(osc.rig.messages.shown.empty());

    // A short file, a cancel of each dialog and a failed save change nothing.
    std::string text = ReadFile(file);
    WriteFile(folder / "short.ini", text.substr(0, text.rfind("10\r\n")));
    osc.dialogs.answers = {Path(folder / "short.ini"), std::nullopt, std::nullopt, std::nullopt,
                           Path(folder / "no" / "such.ini")};
    Click(setup, "cmdLoad");
    Click(setup, "cmdLoad");
    Click(setup, "cmdSave");
    Click(setup, "cmdSaveWav");
    Click(setup, "cmdSave");
    EXPECT_EQ(s.Freq[0], 1234);
    EXPECT_EQ(s.WaveBuildLength, 10);
    EXPECT_EQ(Caption(osc.rig.main(), "lblFreq"), "1234 Hz");
    EXPECT_EQ(ReadFile(file), text);
    ASSERT_EQ(osc.rig.messages.shown.size(), 2u);
    EXPECT_EQ(osc.rig.messages.shown[0], "The setup was not loaded, nothing was changed:\n\"" +
                                             (folder / "short.ini").string() + "\" is damaged (it ends after line 113).");
    EXPECT_NE(osc.rig.messages.shown[1].find("such.ini"), std::string::npos);
}

TEST(OscSetup, ResetToDefaultsDeletesTheSettingsFilesStopsAndClosesEveryWindowWithoutSaving)
{
    for (const bool filesPresent : {true, false}) {
        TempFolder folder;
        SignalSettings changed;
        changed.Freq = AllSlots(440.0);
        if (filesPresent) {
            ASSERT_EQ(SaveSettings(changed, folder.path()), "");
        }
        {
            OscRig osc(folder.path());
            osc.rig.settings().WaveBuildLength = 0.05;
            osc.rig.settings().Freq[0] = 880;
            Click(osc.rig.main(), "lblRemote");
            Click(osc.rig.main(), "lblSigOn");
            ASSERT_TRUE(QTest::qWaitFor([&] { return osc.rig.streamDevice.isOpen(); }, 3000));
            QWidget& setup = osc.open();
            Click(setup, "cmdReset");
            for (QWidget* window : {&osc.rig.main(), &osc.rig.remote(), &setup})
                EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
            EXPECT_FALSE(osc.rig.streamDevice.isOpen());
            EXPECT_FALSE(osc.rig.oscillator.view().signal.on());
            EXPECT_TRUE(osc.rig.messages.shown.empty());
        }
        for (const char* name : {"Kelvo.ini", "Klvuser.ini", "Klvmultitone.ini"})
            EXPECT_FALSE(std::filesystem::exists(folder / name)) << name;
        EXPECT_EQ(filesPresent, std::filesystem::exists(folder / "playlist.lst"));

        GuiRig next(folder.path());
        EXPECT_EQ(next.settings().Freq[0], 1000);
        EXPECT_EQ(next.settings().Freq[10], 1000);
    }
}

TEST(OscSetup, SaveWavefileCopiesTheLastRenderedSignalOrSaysThereIsNone)
{
    TempFolder folder;
    OscRig osc(folder.path());
    osc.rig.settings().WaveBuildLength = 0.05;
    QWidget& setup = osc.open();
    const auto target = folder / "kept.wav";
    WriteFile(target, "old");
    osc.dialogs.answers = {Path(target)};
    Click(setup, "cmdSaveWav");
    EXPECT_EQ(osc.dialogs.filters, QStringList{"Wave Files|*.wav;"});
    ASSERT_EQ(osc.rig.messages.shown.size(), 1u);
    EXPECT_NE(osc.rig.messages.shown[0].find("No signal has been rendered yet"), std::string::npos);
    EXPECT_EQ(ReadFile(target), "old");

    Click(osc.rig.main(), "lblSigOn");
    const std::string rendered = ReadFile(folder / "test.wav");
    ASSERT_GT(rendered.size(), 44u);
    osc.dialogs.answers = {Path(target), Path(folder / "test.wav")};
    Click(setup, "cmdSaveWav");
    Click(setup, "cmdSaveWav");
    EXPECT_EQ(ReadFile(target), rendered);
    EXPECT_EQ(ReadFile(folder / "test.wav"), rendered);
    EXPECT_EQ(osc.rig.messages.shown.size(), 1u);
}

TEST(OscSetup, EveryKeyAndBoxIsNamedForAssistiveTechnologyAndKeysWorkByTheirAction)
{
    TempFolder folder;
    OscRig osc(folder.path());
    QWidget& setup = osc.open();
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&setup);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), "OSCILLATOR SETUP:");
    QStringList keys;
    for (QPushButton* key : setup.findChildren<QPushButton*>()) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(key);
        keys << face->text(QAccessible::Name);
        EXPECT_EQ(face->role(), QAccessible::Button);
        ASSERT_NE(face->actionInterface(), nullptr);
        EXPECT_TRUE(face->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }
    keys.sort();
    EXPECT_EQ(keys, (QStringList{"Close", "Load Setup", "Reset to Defaults", "Save Setup", "Save Wavefile"}));
    const struct {
        const char* name;
        QAccessible::Role role;
        const char* spoken;
    } boxes[] = {
        {"Text4", QAccessible::EditableText, "Memory table"},
        {"List1", QAccessible::List, "Playback Output Device"},
        {"Text5", QAccessible::EditableText, "Output device"},
        {"chkPlaydriver", QAccessible::CheckBox, "Use Legacy Multimedia playback driver"},
        {"Opt10S", QAccessible::RadioButton, "10 Second"},
    };
    for (const auto& box : boxes) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&Child(setup, box.name));
        EXPECT_EQ(face->role(), box.role) << box.name;
        EXPECT_EQ(face->text(QAccessible::Name), box.spoken) << box.name;
    }

    osc.dialogs.answers = {std::nullopt};
    QAccessibleInterface* load = QAccessible::queryAccessibleInterface(&Child(setup, "cmdLoad"));
    load->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return osc.dialogs.filters.size() == 1; }, 2000));
}

} // namespace
} // namespace kelvo::test
