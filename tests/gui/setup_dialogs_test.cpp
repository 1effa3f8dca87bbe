#include "gui_rig.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

namespace kelvo::test {
namespace {

using gui::WindowId;

QLineEdit& Box(QWidget& window, const QString& name)
{
    return Child<QLineEdit>(window, name);
}

// Types `text` into a box key by key, as a user does: every keystroke is one change.
void TypeKeys(QWidget& window, const QString& name, const QString& text)
{
    QLineEdit& box = Box(window, name);
    box.setFocus();
    QTest::keyClicks(&box, text);
}

// Each setup opens from its waveform's key, as a window named by its title whose every
// control is named for assistive technology.
TEST(SetupDialogs, CfgSigOpensTheCurrentWaveformsSetupOrNothing)
{
    TempFolder folder;
    GuiRig rig(folder.path());
    QWidget& main = rig.main();
    for (const char* plain : {"lblSine", "lblSQ", "lblTRI", "lblSAW", "lblDIRAC"}) {
        Click(main, plain);
        Click(main, "lblCfgSig");
    }
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->isVisible() && window->objectName().startsWith("frm")) << window->objectName().toStdString();

    const struct {
        const char* key;
        const char* window;
        const char* title;
    } opened[] = {{"lblNOISE", "frmNoiseSetup", "NOISE SETUP:"}, {"lblBURST", "frmBurstSetup", "BURST SETUP:"},
                  {"lblPULSE", "frmPulseSetup", "PULSE WAVE SETUP:"}, {"lbl2T", "frmToneSetup", "TWO TONE SETUP:"},
                  {"lblWARBLE", "frmWarbleSetup", "WARBLE SETUP:"}, {"lblAM", "frmAMSetup", "AM SETUP:"},
                  {"lblFM", "frmFMSetup", "FM SETUP:"}, {"lblDSB", "frmDSBSetup", "DSB SETUP:"},
                  {"lblSWEEP", "frmSweepSetup", "SWEEP WAVE SETUP:"}, {"lblMULTI", "frmMultiSetup", "MULTIBURST SETUP:"}};
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
        EXPECT_NE(window->findChild<QWidget*>("Label2"), nullptr);
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
    }
}

TEST(SetupDialogs, BoxesTakeEveryKeystrokeAndReopeningShowsWhatWasAccepted)
{
    TempFolder folder;
    GuiRig rig(folder.path());
    Click(rig.main(), "lblAM");
    Click(rig.main(), "lblCfgSig");
    QWidget& am = rig.desktop.window(WindowId::AmSetup);
    Box(am, "Text2").clear(); // an empty box reads as 0, below the carrier's 10 Hz
    EXPECT_EQ(rig.settings().AmCarrierFreq, 1000);
    TypeKeys(am, "Text2", "5000");
    EXPECT_EQ(rig.settings().AmCarrierFreq, 5000);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(&Box(am, "Text2"), Qt::Key_Backspace);
    EXPECT_EQ(rig.settings().AmCarrierFreq, 50);
    EXPECT_EQ(Box(am, "Text2").text(), "");

    // The waveform changes while the window is open: it goes on editing its own fields.
    Click(rig.main(), "lblSine");
    Box(am, "Text3").selectAll();
    TypeKeys(am, "Text3", "95001");
    EXPECT_EQ(rig.settings().AmModFreq, 9500);
    EXPECT_EQ(Box(am, "Text3").text(), "95001");
    Click(am, "Label3");
    EXPECT_FALSE(am.isVisible());
    rig.desktop.show(WindowId::AmSetup);
    EXPECT_EQ(Box(am, "Text2").text(), "50");
    EXPECT_EQ(Box(am, "Text3").text(), "9500");
    EXPECT_EQ(rig.streamDevice.opens, 0); // nothing renders or plays
}

TEST(SetupDialogs, OptionsAndTheCheckBoxWriteCodesAndAnUnknownCodeSelectsNone)
{
    TempFolder folder;
    GuiRig rig(folder.path());
    rig.settings().NoiseType = 5; // as a damaged settings file may hold it
    rig.desktop.show(WindowId::NoiseSetup);
    QWidget& noise = rig.desktop.window(WindowId::NoiseSetup);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(Child<QRadioButton>(noise, QStringLiteral("Option4(%1)").arg(i)).isChecked()) << i;
    EXPECT_EQ(rig.settings().NoiseType, 5);
    Click(noise, "Option4(2)");
    EXPECT_EQ(rig.settings().NoiseType, 2);

    rig.desktop.show(WindowId::BurstSetup);
    QWidget& burst = rig.desktop.window(WindowId::BurstSetup);
    Child<QCheckBox>(burst, "chkExpDecay").click();
    EXPECT_EQ(rig.settings().BurstExpDecay, 1);
    rig.desktop.show(WindowId::PulseSetup);
    QWidget& pulse = rig.desktop.window(WindowId::PulseSetup);
    Box(pulse, "Text1").selectAll();
    TypeKeys(pulse, "Text1", "3.5");
    EXPECT_EQ(rig.settings().PulseCount, 4);
}

} // namespace
} // namespace kelvo::test
