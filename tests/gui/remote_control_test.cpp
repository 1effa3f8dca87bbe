#include "core/remote/remote_control.h"
#include "core/remote/scpi_session.h"
#include "gui_rig.h"
#include "support/free_port.h"

#include <QAbstractButton>
#include <QAccessible>

namespace kelvo::test {
namespace {

// The oscillator setup's "Remote control" switches the server on its port and off; what a
// client then sets shows on the main and the remote panel at once.
TEST(RemoteControlOption, ServesOnThePortTickedAndThePanelsShowWhatAClientSets)
{
    TempFolder folder;
    GuiRig rig(folder.path());
    RemoteControl control(rig.oscillator, rig.loop, {});
    control.followOption();
    Click(rig.main(), "lblCfgOsc");
    QWidget& setup = rig.desktop.window(gui::WindowId::OscSetup);
    auto& tick = Child<QAbstractButton>(setup, "chkRemote");
    EXPECT_FALSE(tick.isChecked());
    EXPECT_EQ(Caption(setup, "txtRemotePort"), "5025");
    QStringList spoken;
    for (const char* name : {"chkRemote", "txtRemotePort"})
        spoken << QAccessible::queryAccessibleInterface(&Child(setup, name))->text(QAccessible::Name);
    EXPECT_EQ(spoken, (QStringList{"Remote control", "Remote control port"}));

    // A port out of range leaves the server off.
    Retype(setup, "txtRemotePort", "70000");
    QTest::mouseClick(&tick, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(rig.settings().RemotePort, 0);
    EXPECT_FALSE(tick.isChecked());

    const int port = FreePort();
    Retype(setup, "txtRemotePort", QString::number(port));
    QTest::mouseClick(&tick, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(rig.settings().RemotePort, port);
    ASSERT_TRUE(QTest::qWaitFor([&] { return control.port() == port; }, 3000));

    ScpiSession client(rig.oscillator, {});
    rig.desktop.show(gui::WindowId::Remote);
    client.receive("FREQ 1234.5;VOLT:LEFT -6");
    EXPECT_TRUE(Caption(rig.main(), "lblFreq").startsWith("1234.5")) << Caption(rig.main(), "lblFreq").toStdString();
    EXPECT_TRUE(Caption(rig.remote(), "lblFreq").startsWith("1234.5"));
    EXPECT_EQ(Caption(rig.main(), "lblLdB"), "-6 dB");

    QTest::mouseClick(&tick, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(rig.settings().RemotePort, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return control.port() == 0; }, 3000));
}

} // namespace
} // namespace kelvo::test
