#include "core/settings/memory_table.h"
#include "core/settings/settings_files.h"
#include "gui_rig.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QListWidget>
#include <QStandardItemModel>

namespace kelvo::test {
namespace {

// The oscillator setup over three made-up output devices, rendering 50 ms blocks.
struct OscRig {
    explicit OscRig(const std::filesystem::path& folder)
        : rig(folder, &dialogs)
    {
        rig.desktop.setOutputDevices([this](std::string&) {
            ++listings;
            return std::vector<std::string>{"Default output", "Card A", "Card B"};
        });
        s.WaveBuildLength = 0.05;
    }
    QWidget& open()
    {
        Click(rig.main(), "lblCfgOsc");
        return rig.desktop.window(gui::WindowId::OscSetup);
    }
    QString text(const char* name) { return Child(open(), name).property("plainText").toString(); }
    QString device() { return Caption(open(), "Text5"); }
    bool checked(const char* name) { return Child<QAbstractButton>(open(), name).isChecked(); }
    QString table() const
    {
        return QString::fromStdString(MemoryTableText(s)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }

    QueuedDialogs dialogs;
    GuiRig rig;
    SignalSettings& s = rig.settings();
    int listings = 0;
};

TEST(OscSetup, EveryOpeningBuildsTheWindowAfreshAndTheChosenDeviceIsOpenedByTheNextStart)
{
    TempFolder folder;
    OscRig osc(folder.path());
    osc.s.WaveBuildLength = 1;
    QWidget& setup = osc.open();
    auto& list = Child<QListWidget>(setup, "List1");
    EXPECT_EQ(osc.text("Text4"), osc.table());
    EXPECT_EQ(list.currentRow(), 0);
    EXPECT_EQ(osc.device(), "0");
    EXPECT_TRUE(osc.checked("opt1S"));
    EXPECT_FALSE(osc.checked("chkDither") || osc.checked("chkWholeCycles") || osc.checked("chkBandLimited") ||
                 osc.checked("chkSeamless"))
        << "options start off";

    osc.s.Waveform[3] = 13;
    osc.s.WaveBuildLength = 10;
    osc.s.OutDevice = 7;
    osc.open(); // already open: only raised
    EXPECT_EQ(osc.listings, 1);
    Click(setup, "Label3");
    EXPECT_EQ(osc.text("Text4"), osc.table());
    EXPECT_EQ(osc.listings, 2);
    EXPECT_TRUE(osc.checked("Opt10S"));
    EXPECT_TRUE(list.selectedItems().isEmpty()); // there is no device 7
    EXPECT_EQ(osc.device(), "7");

    osc.s.WaveBuildLength = 0.05;
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(2)).center());
    EXPECT_EQ(osc.device(), "2");
    Click(osc.rig.main(), "lblSigOn");
    ASSERT_TRUE(QTest::qWaitFor([&] { return osc.rig.streamDevice.opens == 1; }, 3000));
    EXPECT_EQ(osc.rig.streamDevice.lastIndex, 2);
    list.setCurrentRow(1); // Enter chooses too; the playing signal stays where it is
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(osc.s.OutDevice, 1);
    EXPECT_EQ(osc.rig.streamDevice.opens, 1);

    Click(setup, "Opt100S");
    EXPECT_EQ(osc.s.WaveBuildLength, 100);
    QTest::mouseClick(&Child(setup, "chkPlaydriver"), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(osc.s.LegacyDriver, 1);
    for (const char* option : {"chkDither", "chkWholeCycles", "chkBandLimited", "chkSeamless"})
        QTest::mouseClick(&Child(setup, option), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(osc.s.Dither * 1000 + osc.s.WholeCycles * 100 + osc.s.BandLimited * 10 + osc.s.SeamlessChanges, 1111);
    osc.s.WaveBuildLength = 5;
    Click(setup, "Label3");
    // No option for 5 s: an exclusive group must still show none checked.
    EXPECT_FALSE(osc.checked("opt1S") || osc.checked("Opt10S") || osc.checked("Opt100S"));
    // Keys are named by their captions, the boxes by their labels.
    QStringList spoken;
    for (const char* name :
         {"cmdLoad", "cmdSave", "cmdReset", "cmdSaveWav", "Label3", "Text4", "List1", "Text5", "chkDither", "chkWholeCycles",
          "chkBandLimited", "cmdCalTone", "chkRmsLevels", "txtMeterL", "txtMeterR", "txtLevelLimit", "chkSeamless"})
        spoken << QAccessible::queryAccessibleInterface(&Child(setup, name))->text(QAccessible::Name);
    EXPECT_EQ(spoken, (QStringList{"Load Setup", "Save Setup", "Reset to Defaults", "Save Wavefile", "Close", "Memory table",
                                   "Playback Output Device", "Output device", "Dither", "Whole-cycle loops",
                                   "Band-limited shapes", "Calibration tone", "RMS levels", "Meter reading left (V)",
                                   "Meter reading right (V)", "Limit (dB)", "Seamless changes while playing"}));
    // On Linux Qt names a combo box by its value and labels it by a relation to its caption.
    const auto labels = QAccessible::queryAccessibleInterface(&Child(setup, "cboLevelUnit"))->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.front().first->text(QAccessible::Name), "Level unit");
}

TEST(OscSetup, ASetupLoadsBackWholeAndShowsAtOnceWhileDamagedFilesAndCancelsChangeNothing)
{
    TempFolder folder;
    OscRig osc(folder.path());
    QWidget& setup = osc.open();
    osc.s.Freq = AllSlots(1234.0);
    osc.s.Waveform[10] = 16;
    osc.s.WaveBuildLength = 10; // the last line, which short.ini lacks
    const auto file = folder / "my setup.ini";
    osc.dialogs.answers = {file, file, folder / "short.ini", std::nullopt, std::nullopt, std::nullopt, folder / "no" / "x.ini"};
    Click(setup, "cmdSave");
    const std::string saved = ReadFile(file);
    osc.rig.oscillator.DefaultMems();
    osc.s = SignalSettings{};
    Click(setup, "cmdLoad");
    EXPECT_EQ(osc.dialogs.filters, QStringList(2, "Setup Files|*.ini;"));
    EXPECT_EQ(Caption(osc.rig.main(), "lblFreq"), "1234 Hz");
    EXPECT_EQ(osc.text("Text4"), osc.table());

    WriteFile(folder / "short.ini", saved.substr(0, saved.rfind("10\r\n")));
    osc.s.Freq[0] = 5;
    for (const char* key : {"cmdLoad", "cmdLoad", "cmdSave", "cmdSaveWav", "cmdSave"})
        Click(setup, key);
    EXPECT_EQ(osc.s.Freq[0], 5);
    EXPECT_EQ(ReadFile(file), saved);
    ASSERT_EQ(osc.rig.messages.shown.size(), 2u);
    EXPECT_NE(osc.rig.messages.shown[0].find("short.ini\" is damaged"), std::string::npos);
    EXPECT_NE(osc.rig.messages.shown[1].find("x.ini"), std::string::npos);
}

TEST(OscSetup, ResetToDefaultsDeletesTheSettingsFilesStopsAndClosesEveryWindowWithoutSaving)
{
    TempFolder folder;
    SignalSettings changed;
    changed.Freq = AllSlots(440.0);
    ASSERT_EQ(SaveSettings(changed, folder.path()), "");
    {
        OscRig osc(folder.path());
        Click(osc.rig.main(), "lblRemote");
        Click(osc.rig.main(), "lblSigOn");
        ASSERT_TRUE(QTest::qWaitFor([&] { return osc.rig.streamDevice.isOpen(); }, 3000));
        QWidget& setup = osc.open();
        Click(setup, "cmdReset");
        EXPECT_FALSE(osc.rig.main().isVisible() || osc.rig.remote().isVisible() || setup.isVisible());
        EXPECT_FALSE(osc.rig.streamDevice.isOpen() || osc.rig.oscillator.view().signal.on());
        EXPECT_TRUE(osc.rig.messages.shown.empty());
    }
    for (const char* name : {"Kelvo.ini", "Klvuser.ini", "Klvmultitone.ini"})
        EXPECT_FALSE(std::filesystem::exists(folder / name)) << name;
    EXPECT_TRUE(std::filesystem::exists(folder / "playlist.lst"));
    EXPECT_EQ(GuiRig(folder.path()).settings().Freq[10], 1000);
}

// After a render that failed, test.wav is an older signal: saving it would pass it off as
// the current one.
TEST(OscSetup, SaveWavefileCopiesTheLastRenderedSignalOrSaysThereIsNone)
{
    TempFolder folder;
    OscRig osc(folder.path());
    const auto target = folder / "kept.wav";
    WriteFile(target, "old");
    osc.dialogs.answers = {target, target, folder / "test.wav", folder / "stale.wav"};
    Click(osc.open(), "cmdSaveWav");
    EXPECT_EQ(osc.dialogs.filters, QStringList{"Wave Files|*.wav;"});
    ASSERT_EQ(osc.rig.messages.shown.size(), 1u);
    EXPECT_NE(osc.rig.messages.shown[0].find("No signal has been rendered yet"), std::string::npos);
    EXPECT_EQ(ReadFile(target), "old");

    Click(osc.rig.main(), "lblSigOn");
    const std::string rendered = ReadFile(folder / "test.wav");
    ASSERT_GT(rendered.size(), 44u);
    Click(osc.open(), "cmdSaveWav");
    Click(osc.open(), "cmdSaveWav"); // onto itself
    EXPECT_EQ(ReadFile(target), rendered);
    EXPECT_EQ(ReadFile(folder / "test.wav"), rendered);
    EXPECT_EQ(osc.rig.messages.shown.size(), 1u);

    Click(osc.rig.main(), "lblSigOff");
    osc.rig.settings().SampleRate[0] = 0;
    Click(osc.rig.main(), "lblSigOn");
    Click(osc.open(), "cmdSaveWav");
    ASSERT_EQ(osc.rig.messages.shown.size(), 3u);
    EXPECT_NE(osc.rig.messages.shown[2].find("the last render failed"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "stale.wav"));
}

} // namespace
} // namespace kelvo::test

namespace kelvo::test {
namespace {

// The tone plays at -20 dB; the meter's reading of it calibrates the output, which then
// offers dBu, and the panel shows its level in it without restarting the signal.
TEST(OscSetup, AMeterReadingOfTheToneCalibratesTheOutputForVoltUnits)
{
    TempFolder folder;
    OscRig osc(folder.path());
    QWidget& setup = osc.open();
    auto& unit = Child<QComboBox>(setup, "cboLevelUnit");
    const auto offered = [&unit](int index) { return qobject_cast<QStandardItemModel*>(unit.model())->item(index)->isEnabled(); };
    EXPECT_FALSE(offered(2)) << "no dBu without a calibration";
    Click(setup, "cmdCalTone");
    EXPECT_EQ(osc.s.Waveform[0] * 10000 + osc.s.Freq[0] + osc.s.LevelL[0], 10000 + 1000 - 20);
    EXPECT_EQ(osc.s.Playing, 1);
    Retype(setup, "txtMeterL", "0.1228");
    EXPECT_NEAR(osc.s.CalVoltsL, 1.228, 1e-12);
    EXPECT_TRUE(offered(2));
    unit.setCurrentIndex(2);
    Q_EMIT unit.activated(2);
    EXPECT_EQ(osc.s.LevelUnit, 2);
    EXPECT_EQ(Caption(osc.rig.main(), "lblLdB"), "-16.0 dBu");
    EXPECT_EQ(Caption(osc.rig.main(), "lblRdB"), "-20.1 dBFS") << "the right output is not calibrated";
}

} // namespace
} // namespace kelvo::test
