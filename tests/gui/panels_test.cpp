#include "gui_rig.h"
#include "settings/settings_files.h"
#include "gui/panels/signal_keys.h"
#include "settings/signal_codes.h"

#include <QElapsedTimer>

namespace kelvo::test {
namespace {

const QColor kOn{240, 0, 0};
const QColor kOff{64, 64, 64};

QColor LampColour(QWidget& window, const QString& name)
{
    return Child<gui::Lamp>(window, name).color();
}

QWidget* HighlightTarget(QWidget& window, const QString& name)
{
    return Child<gui::Highlight>(window, name).target();
}

TEST(Panels, AFirstRunShowsTheStartValuesOnEveryControl)
{
    TempFolder folder;
    GuiRig rig(folder.path());
    QWidget& main = rig.main();
    QStringList names{"lblWaveform", "lblFreq", "lblMode", "lblLdeg", "lblRdeg", "lblSR", "lblBits",
                      "lblLdB", "lblRdB", "lblDeltaF", "lblDeltaV", "lblLadj", "lblRadj", "lblSRup", "lblSRdn",
                      "lblBitsUp", "lblBitsDn", "lblFup", "lblFdn", "lblDFup", "lblDFdn", "lblVup", "lblVdn",
                      "lblDVup", "lblDVdn", "lblLadjSet", "lblRadjSet", "lblMem", "lblSigOn", "lblSigOff",
                      "lblStat", "lblCfgSig", "lblCfgOsc", "lblHelp", "lblRemote", "lblMin", "lblExit"};
    for (const gui::WaveformKey& key : gui::WaveformKeys())
        names << QString::fromLatin1(key.objectName);
    for (const gui::ModeKey& key : gui::ModeKeys())
        names << QString::fromLatin1(key.objectName);
    for (int k = 1; k <= 10; ++k)
        names << QStringLiteral("lblMemLoad(%1)").arg(k);
    for (const QString& name : names)
        EXPECT_NE(main.findChild<QWidget*>(name), nullptr) << name.toStdString();
    for (const char* name : {"txtFreq", "txtSR", "txtLdB", "txtRdB", "txtLdeg", "txtRdeg"})
        EXPECT_FALSE(Child<gui::EntryBox>(main, name).isVisible()) << name;
    EXPECT_NE(main.findChild<QWidget*>("lblDrag"), nullptr);
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(rig.remote().isVisible());

    EXPECT_EQ(Caption(main, "lblWaveform"), "Sine");
    EXPECT_EQ(Caption(main, "lblFreq"), "1000 Hz");
    EXPECT_EQ(Caption(main, "lblMode"), "L+R");
    EXPECT_EQ(Caption(main, "lblSR"), "44100");
    EXPECT_EQ(Caption(main, "lblBits"), "16");
    EXPECT_EQ(Caption(main, "lblLdB"), "-20 dB");
    EXPECT_EQ(Caption(main, "lblRdB"), "-20 dB");
    EXPECT_EQ(Caption(main, "lblRdeg"), "0 deg");
    EXPECT_EQ(Caption(main, "lblDeltaV"), "20 dB");
    EXPECT_EQ(Caption(main, "lblDeltaF"), "100 Hz");
    EXPECT_EQ(Caption(main, "lblLadj"), "L adj");
    EXPECT_EQ(LampColour(main, "lblPlay1"), kOff);
    EXPECT_EQ(LampColour(main, "lblPlay2"), kOff);
    EXPECT_EQ(HighlightTarget(main, "shpMode"), &Child(main, "lblLplusRmode"));
    EXPECT_EQ(HighlightTarget(main, "shpMem"), &Child(main, "lblMemLoad(1)"));
    EXPECT_EQ(Caption(rig.remote(), "lblMemDisplay"), "M1");
    EXPECT_EQ(Caption(rig.remote(), "lblFreq"), "1000 Hz");
    EXPECT_EQ(LampColour(rig.remote(), "lblOn"), kOff);
    EXPECT_EQ(rig.streamDevice.opens, 0);
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(Panels, ClicksAndTypedValuesReachTheDisplaysOfBothPanels)
{
    TempFolder folder;
    GuiRig rig(folder.path());
    QWidget& main = rig.main();
    QWidget& remote = rig.remote();

    Click(main, "lblSQ");
    EXPECT_EQ(Caption(main, "lblWaveform"), "Square");
    EXPECT_EQ(HighlightTarget(main, "shpWave"), &Child(main, "lblSQ"));
    Click(main, "lblFreq");
    auto& txtFreq = Child<gui::EntryBox>(main, "txtFreq");
    EXPECT_TRUE(txtFreq.isVisible());
    EXPECT_EQ(txtFreq.text(), "1000 Hz");
    Type(main, "txtFreq", "440");
    EXPECT_FALSE(txtFreq.isVisible());
    EXPECT_EQ(Caption(main, "lblFreq"), "440 Hz");
    EXPECT_EQ(Caption(remote, "lblFreq"), "440 Hz");

    // The main panel's box stays shut for Pulse; the remote's opens and takes the value.
    Click(main, "lblPULSE");
    Click(main, "lblFreq");
    EXPECT_FALSE(txtFreq.isVisible());
    Click(rig.desktop.main(), "lblRemote");
    EXPECT_TRUE(remote.isVisible());
    Click(remote, "lblFreq");
    EXPECT_EQ(Child<gui::EntryBox>(remote, "txtFreq").text(), "PULSE");
    Type(remote, "txtFreq", "880 Hz");
    EXPECT_EQ(rig.oscillator.settings().Freq[0], 880);
    EXPECT_EQ(rig.oscillator.settings().FreqR[0], 880);
    EXPECT_FALSE(Child<gui::EntryBox>(remote, "txtFreq").isVisible());

    Click(main, "lblVdn");
    EXPECT_EQ(Caption(main, "lblLdB"), "-40 dB");
    EXPECT_EQ(Caption(remote, "lblRdB"), "-40 dB");
    Click(remote, "lblLdB");
    Type(remote, "txtLdB", "-3.5");
    EXPECT_EQ(Caption(main, "lblLdB"), "-3.5 dB");
    Click(main, "lblDVup");
    EXPECT_EQ(Caption(main, "lblDeltaV"), "1 dB");
    Click(main, "lblLadjSet");
    EXPECT_EQ(Caption(main, "lblLadj"), "L locked");

    Click(main, "lblRdeg");
    EXPECT_FALSE(Child<gui::EntryBox>(main, "txtRdeg").isVisible());
    Click(main, "lblUMode");
    EXPECT_EQ(Caption(main, "lblMode"), "User Defined");
    EXPECT_EQ(HighlightTarget(main, "shpMode"), &Child(main, "lblUMode"));
    Click(main, "lblRdeg");
    Type(main, "txtRdeg", "400");
    EXPECT_EQ(Caption(main, "lblRdeg"), "0 deg");
    Click(main, "lblLdeg");
    Type(main, "txtLdeg", "90");
    EXPECT_EQ(Caption(main, "lblLdeg"), "90 deg");

    Click(main, "lblSR");
    EXPECT_EQ(Child<gui::EntryBox>(main, "txtSR").text(), "44100");
    Type(main, "txtSR", "12345");
    EXPECT_EQ(Caption(main, "lblSR"), "12345");
    Click(main, "lblSRup");
    EXPECT_EQ(Caption(main, "lblSR"), "44100");

    Click(remote, "lblMemDn");
    EXPECT_EQ(Caption(remote, "lblMemDisplay"), "M10");
    EXPECT_EQ(HighlightTarget(main, "shpMem"), &Child(main, "lblMemLoad(10)"));
    Click(main, "lblMemLoad(4)");
    EXPECT_EQ(Caption(remote, "lblMemDisplay"), "M4");

    // Keys typed into an open box edit the text and reach no shortcut.
    Click(main, "lblLdB");
    QTest::keyClick(&Child(main, "txtLdB"), Qt::Key_F10);
    EXPECT_EQ(Caption(remote, "lblMemDisplay"), "M4");

    Click(remote, "lblExit");
    EXPECT_FALSE(remote.isVisible());
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(Panels, EnterPlaysAfterTheStartDelayAndEscapeStops)
{
    TempFolder folder;
    GuiRig rig(folder.path());
    rig.oscillator.settings().WaveBuildLength = 0.05;
    QWidget& main = rig.main();
    QElapsedTimer sincePress;
    sincePress.start();
    QTest::keyClick(&main, Qt::Key_Return);
    EXPECT_EQ(LampColour(main, "lblPlay1"), kOn);
    EXPECT_EQ(LampColour(main, "lblPlay2"), kOn);
    EXPECT_EQ(LampColour(rig.remote(), "lblOn"), kOn);
    EXPECT_EQ(rig.streamDevice.opens, 0);
    const auto streaming = [&] {
        return rig.streamDevice.opens == 1 && rig.streamDevice.queued().size() == std::size_t{PlayerBufferCount};
    };
    ASSERT_TRUE(QTest::qWaitFor(streaming, 3000));
    EXPECT_GE(sincePress.elapsed(), 500);

    // A change while playing silences the output at once and restarts it after the delay.
    QElapsedTimer sinceChange;
    sinceChange.start();
    Click(main, "lblFup");
    EXPECT_FALSE(rig.streamDevice.isOpen());
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.streamDevice.opens == 2; }, 3000));
    std::printf("restarted %lld ms after the change\n", static_cast<long long>(sinceChange.elapsed()));
    EXPECT_GE(sinceChange.elapsed(), 500);

    QTest::keyClick(&main, Qt::Key_Escape);
    EXPECT_EQ(LampColour(main, "lblPlay1"), kOff);
    EXPECT_EQ(LampColour(rig.remote(), "lblOn"), kOff);
    EXPECT_FALSE(rig.streamDevice.isOpen());

    // The remote's play and F-keys act on the same signal.
    QTest::keyClick(&main, Qt::Key_F10);
    EXPECT_EQ(Caption(rig.remote(), "lblMemDisplay"), "M10");
    Click(rig.remote(), "lblPlay");
    EXPECT_EQ(LampColour(main, "lblPlay1"), kOn);
    QTest::keyClick(&rig.remote(), Qt::Key_Escape);
    EXPECT_EQ(LampColour(main, "lblPlay2"), kOff);
    // The stop cancelled the start that was still waiting.
    QTest::qWait(600);
    EXPECT_EQ(rig.streamDevice.opens, 2);
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(Panels, AnExitAndAFreshStartBringBackEveryValueOfAllFiveFiles)
{
    TempFolder folder;
    {
        GuiRig first(folder.path());
        QWidget& main = first.main();
        first.oscillator.settings().WaveBuildLength = 0.05;
        Click(main, "lblMemLoad(6)");
        Click(main, "lblWARBLE");
        Click(main, "lblQMode");
        Click(main, "lblDFup");
        Click(main, "lblFup");
        Click(main, "lblDVdn");
        Click(main, "lblVdn");
        Click(main, "lblSRdn");
        Click(main, "lblMem");
        Click(main, "lblMemLoad(2)");
        Click(main, "lblRdB");
        Type(main, "txtRdB", "-66.6");
        first.oscillator.settings().OutDevice = 3;
        first.oscillator.settings().SweepStepTime = 0.25f;
        first.oscillator.settings().MultiFreq[3] = 1234.5;
        first.oscillator.settings().PlaylistName[7] = "seven.wav";
        first.oscillator.settings().ArbTable[10] = 42;
        Click(first.desktop.main(), "lblRemote");
        Click(main, "lblSigOn");
        Click(main, "lblExit");
        EXPECT_FALSE(main.isVisible());
        EXPECT_FALSE(first.remote().isVisible());
        EXPECT_FALSE(first.streamDevice.isOpen());
        EXPECT_EQ(first.oscillator.settings().Playing, 0);
        EXPECT_TRUE(first.messages.shown.empty());
        QTest::qWait(600);
        EXPECT_EQ(first.streamDevice.opens, 0);
    }
    GuiRig second(folder.path());
    QWidget& main = second.main();
    EXPECT_EQ(Caption(main, "lblWaveform"), "Sine");
    EXPECT_EQ(Caption(main, "lblRdB"), "-66.6 dB");
    EXPECT_EQ(Caption(main, "lblDeltaF"), "1000 Hz");
    EXPECT_EQ(Caption(main, "lblDeltaV"), "1 dB");
    EXPECT_EQ(Caption(second.remote(), "lblMemDisplay"), "M1");

    // Every value of the five files: saving the restored record gives the same files.
    TempFolder again;
    ASSERT_EQ(SaveSettings(second.oscillator.settings(), again.path()), "");
    for (const std::string_view name : {kMainSettingsFile, kUserStepFile, kMultitoneFile, kPlaylistFile, kArbDataFile})
        EXPECT_EQ(ReadFile(again / std::string(name)), ReadFile(folder / std::string(name))) << name;

    Click(main, "lblMemLoad(6)");
    EXPECT_EQ(Caption(main, "lblWaveform"), "Warble");
    EXPECT_EQ(Caption(main, "lblMode"), "Quadrature");
    EXPECT_EQ(Caption(main, "lblFreq"), "2000 Hz");
    EXPECT_EQ(Caption(main, "lblSR"), "32000");
    EXPECT_EQ(Caption(main, "lblLdB"), "-21 dB");
    EXPECT_EQ(Caption(main, "lblRdB"), "-21 dB");

}

} // namespace
} // namespace kelvo::test
