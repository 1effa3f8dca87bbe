#include "gui_rig.h"

#include "gui/ui/key_button.h"

#include <QAccessibleActionInterface>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>

namespace kelvo::test {
namespace {

const QColor kOn{240, 0, 0};
const QColor kOff{64, 64, 64};

QColor Lamp(QWidget& window, const QString& name)
{
    return Child<gui::Lamp>(window, name).color();
}

QWidget* Highlighted(QWidget& window, const QString& name)
{
    return Child<gui::Highlight>(window, name).target();
}

// The laid-out width of every key and display, by name.
std::map<std::string, int> KeyWidths(QWidget& window)
{
    window.layout()->activate();
    std::map<std::string, int> widths;
    for (const auto* key : window.findChildren<gui::KeyButton*>())
        widths[key->objectName().toStdString()] = key->width();
    return widths;
}

// Every display of both panels shows what the oscillator's view holds.
void ExpectShowsTheView(GuiRig& rig)
{
    const PanelView& v = rig.oscillator.view();
    const std::pair<const char*, const std::string*> main[] = {
        {"lblWaveform", &v.waveform}, {"lblFreq", &v.freq},          {"lblMode", &v.mode},     {"lblLdeg", &v.leftPhase},
        {"lblRdeg", &v.rightPhase},   {"lblSR", &v.sampleRate},      {"lblBits", &v.bits},     {"lblLdB", &v.levelL},
        {"lblRdB", &v.levelR},        {"lblDeltaF", &v.deltaF},      {"lblDeltaV", &v.deltaV}, {"lblLadj", &v.leftAdjust},
        {"lblRadj", &v.rightAdjust},  {"lblStat", &v.signal.status},
    };
    for (const auto& [name, text] : main)
        EXPECT_EQ(Caption(rig.main(), name).toStdString(), *text) << name;
    const std::pair<const char*, const std::string*> remote[] = {
        {"lblFreq", &v.freq}, {"lblLdB", &v.levelL}, {"lblRdB", &v.levelR}, {"lblMemDisplay", &v.memDisplay}};
    for (const auto& [name, text] : remote)
        EXPECT_EQ(Caption(rig.remote(), name).toStdString(), *text) << "remote " << name;
}

// A click on either panel (and a value typed into the box it opens) reaches the displays
// of both; a display that cannot be edited opens no box, and longer captions keep its size.
TEST(Panels, ClicksAndTypedValuesReachTheDisplaysOfBothPanels)
{
    TempFolder folder;
    GuiRig rig(folder.path());
    QWidget& main = rig.main();
    QWidget& remote = rig.remote();
    EXPECT_FALSE(Child(main, "lblFreq").toolTip().isEmpty()); // only editable displays invite typing
    EXPECT_TRUE(Child(main, "lblLdeg").toolTip().isEmpty());
    Click(main, "lblRemote");
    const QSize size = main.sizeHint();
    const std::map<std::string, int> widths = KeyWidths(main);
    const struct {
        QWidget* window;
        const char* click;
        const char* typed; // into the box the click opens; none: no box may open
        QWidget* shows;
        const char* label;
        const char* caption;
    } steps[] = {
        {&main, "lblSQ", nullptr, &main, "lblWaveform", "Square"}, {&main, "lblFreq", "440", &remote, "lblFreq", "440 Hz"},
        {&main, "lblPULSE", nullptr, &main, "lblFreq", "PULSE"},   {&main, "lblFreq", nullptr, &main, "lblWaveform", "Pulse"},
        {&remote, "lblFreq", "880 Hz", &main, "lblFreq", "PULSE"}, // the remote's box opens all the same
        {&main, "lblVdn", nullptr, &remote, "lblRdB", "-40 dB"},   {&remote, "lblLdB", "-3.5", &main, "lblLdB", "-3.5 dB"},
        {&main, "lblDVup", nullptr, &main, "lblDeltaV", "1 dB"},   {&main, "lblLadjSet", nullptr, &main, "lblLadj", "L locked"},
        {&main, "lblRdeg", nullptr, &main, "lblRdeg", "0 deg"},    {&main, "lblUMode", nullptr, &main, "lblMode", "User Defined"},
        {&main, "lblLdeg", "90", &main, "lblLdeg", "90 deg"},      {&main, "lblSR", "12345", &main, "lblSR", "12345"},
        {&main, "lblSRup", nullptr, &main, "lblSR", "44100"},      {&main, "lblBitsUp", nullptr, &main, "lblBits", "24"},
        {&main, "lblBitsUp", nullptr, &main, "lblBits", "32f"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.click);
        Click(*s.window, s.click);
        const auto* box = s.window->findChild<gui::EntryBox*>(QString(s.click).replace(0, 3, "txt"));
        if (s.typed) {
            ASSERT_TRUE(box && box->isVisible());
            Type(*s.window, box->objectName(), s.typed);
        }
        EXPECT_FALSE(box && box->isVisible());
        EXPECT_EQ(Caption(*s.shows, s.label), s.caption);
        ExpectShowsTheView(rig);
    }
    EXPECT_EQ(rig.settings().Freq[0], 880);
    auto& bits = Child<QLabel>(main, "lblBits");
    EXPECT_LE(bits.fontMetrics().horizontalAdvance(bits.text()), bits.contentsRect().width()) << "32f fits";
    EXPECT_EQ(main.sizeHint(), size);
    EXPECT_EQ(KeyWidths(main), widths);
    EXPECT_TRUE(Child(main, "lblFreq").toolTip().isEmpty());
    EXPECT_FALSE(Child(main, "lblLdeg").toolTip().isEmpty());
    EXPECT_EQ(Highlighted(main, "shpWave"), &Child(main, "lblPULSE"));
    EXPECT_EQ(Highlighted(main, "shpMode"), &Child(main, "lblUMode"));
    Click(remote, "lblMemDn");
    EXPECT_EQ(Highlighted(main, "shpMem"), &Child(main, "lblMemLoad(10)"));
    Click(main, "lblMemLoad(4)");
    EXPECT_EQ(Caption(remote, "lblMemDisplay"), "M4");
    Click(main, "lblLdB");
    QTest::keyClick(&Child(main, "txtLdB"), Qt::Key_F10); // edits the open box, reaches no shortcut
    EXPECT_EQ(Caption(remote, "lblMemDisplay"), "M4");
    Click(remote, "lblExit");
    EXPECT_FALSE(remote.isVisible());
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(rig.messages.shown.empty());
}

// Enter and the remote's PLAY light every lamp at once and play after the start delay;
// Escape on either panel stops, a start still waiting included; F10 recalls memory 10.
TEST(Panels, TheKeysAndTheRemotePlayAndStop)
{
    TempFolder folder;
    GuiRig rig(folder.path());
    rig.settings().WaveBuildLength = 0.05;
    QWidget& main = rig.main();
    QTest::keyClick(&main, Qt::Key_Return);
    EXPECT_EQ(Lamp(main, "lblPlay2"), kOn);
    EXPECT_EQ(Lamp(rig.remote(), "lblOn"), kOn);
    EXPECT_EQ(rig.streamDevice.opens, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.streamDevice.opens == 1; }, 3000));
    QTest::keyClick(&main, Qt::Key_Escape);
    EXPECT_EQ(Lamp(rig.remote(), "lblOn"), kOff);
    EXPECT_FALSE(rig.streamDevice.isOpen());
    QTest::keyClick(&main, Qt::Key_F10);
    EXPECT_EQ(Caption(rig.remote(), "lblMemDisplay"), "M10");
    Click(rig.remote(), "lblPlay");
    EXPECT_EQ(Lamp(main, "lblPlay1"), kOn);
    QTest::keyClick(&rig.remote(), Qt::Key_Escape);
    EXPECT_EQ(Lamp(main, "lblPlay2"), kOff);
    QTest::qWait(600);
    EXPECT_EQ(rig.streamDevice.opens, 1);
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(Panels, AnExitAndAFreshStartBringBackTheValuesAndMemories)
{
    TempFolder folder;
    {
        GuiRig first(folder.path());
        QWidget& main = first.main();
        first.settings().WaveBuildLength = 0.05;
        for (const char* key : {"lblMemLoad(6)", "lblWARBLE", "lblQMode", "lblDFup", "lblFup", "lblDVdn", "lblVdn", "lblSRdn",
                                "lblMem", "lblMemLoad(2)", "lblRdB"})
            Click(main, key);
        Type(main, "txtRdB", "-66.6");
        first.settings().ArbTable[10] = 42; // kept in a file of its own
        Click(main, "lblRemote");
        Click(main, "lblSigOn");
        Click(main, "lblExit");
        EXPECT_FALSE(main.isVisible() || first.remote().isVisible());
        EXPECT_EQ(first.settings().Playing, 0);
        EXPECT_TRUE(first.messages.shown.empty());
    }
    GuiRig second(folder.path());
    QWidget& main = second.main();
    EXPECT_EQ(Caption(main, "lblRdB"), "-66.6 dB");
    ExpectShowsTheView(second);
    EXPECT_EQ(second.settings().ArbTable[10], 42);
    Click(main, "lblMemLoad(6)");
    EXPECT_EQ(Caption(main, "lblWaveform"), "Warble");
    EXPECT_EQ(Caption(main, "lblFreq"), "2000 Hz");
}

QAccessibleInterface* Accessible(QWidget& widget)
{
    return QAccessible::queryAccessibleInterface(&widget);
}

// Presses a key the way a screen reader does, through its press action, which animates
// the click before the key acts.
void Press(QWidget& window, const QString& name)
{
    auto& key = Child<QPushButton>(window, name);
    QSignalSpy clicked(&key, &QPushButton::clicked);
    QAccessibleInterface* face = Accessible(key);
    ASSERT_NE(face->actionInterface(), nullptr) << name.toStdString();
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(clicked.wait(2000)) << name.toStdString();
}

TEST(Accessibility, EveryControlOfBothPanelsIsANamedButtonOrEntryThatItsActionWorks)
{
    TempFolder folder;
    GuiRig rig(folder.path());
    for (QWidget* window : {&rig.main(), &rig.remote()}) {
        EXPECT_EQ(Accessible(*window)->role(), QAccessible::Window);
        EXPECT_EQ(Accessible(*window)->text(QAccessible::Name), window->windowTitle());
        const auto buttons = window->findChildren<QPushButton*>();
        EXPECT_GE(buttons.size(), window == &rig.main() ? 50 : 8);
        for (QPushButton* button : buttons) {
            QAccessibleInterface* face = Accessible(*button);
            const std::string name = button->objectName().toStdString();
            EXPECT_EQ(face->role(), QAccessible::Button) << name;
            // A symbol is not a name: symbol keys are named in words.
            EXPECT_TRUE(face->text(QAccessible::Name).contains(QRegularExpression(QStringLiteral("\\w")))) << name;
            ASSERT_NE(face->actionInterface(), nullptr) << name;
            EXPECT_TRUE(face->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction())) << name;
        }
        for (gui::EntryBox* box : window->findChildren<gui::EntryBox*>()) {
            QAccessibleInterface* face = Accessible(*box);
            EXPECT_EQ(face->role(), QAccessible::EditableText) << box->objectName().toStdString();
            EXPECT_FALSE(face->text(QAccessible::Name).isEmpty()) << box->objectName().toStdString();
        }
    }
    QWidget& main = rig.main();
    EXPECT_EQ(Accessible(Child(main, "lblFdn"))->text(QAccessible::Name), "Frequency down");
    Press(main, "lblSQ");
    EXPECT_EQ(Caption(main, "lblWaveform"), "Square");
    Press(main, "lblSigOn");
    EXPECT_TRUE(rig.oscillator.view().signal.on());
    Press(rig.remote(), "lblStop");
    EXPECT_FALSE(rig.oscillator.view().signal.on());
}

} // namespace
} // namespace kelvo::test
