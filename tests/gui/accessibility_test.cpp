#include "gui_rig.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>

namespace kelvo::test {
namespace {

QAccessibleInterface* Accessible(QWidget& widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&widget);
    if (face == nullptr)
        throw std::runtime_error(widget.objectName().toStdString() + " has no accessible interface");
    return face;
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
            EXPECT_TRUE(face->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()))
                << name;
        }
        for (gui::EntryBox* box : window->findChildren<gui::EntryBox*>()) {
            QAccessibleInterface* face = Accessible(*box);
            EXPECT_EQ(face->role(), QAccessible::EditableText) << box->objectName().toStdString();
            EXPECT_FALSE(face->text(QAccessible::Name).isEmpty()) << box->objectName().toStdString();
        }
    }
    QWidget& main = rig.main();
    EXPECT_EQ(Accessible(Child(main, "lblSine"))->text(QAccessible::Name), "SINE");
    EXPECT_EQ(Accessible(Child(main, "lblFdn"))->text(QAccessible::Name), "Frequency down");
    EXPECT_EQ(Accessible(Child(main, "txtFreq"))->text(QAccessible::Name), "Frequency");

    Press(main, "lblSQ");
    EXPECT_EQ(Caption(main, "lblWaveform"), "Square");
    Press(main, "lblSigOn");
    EXPECT_TRUE(rig.oscillator.view().signal.on());
    Press(rig.remote(), "lblStop");
    EXPECT_FALSE(rig.oscillator.view().signal.on());
}

} // namespace
} // namespace kelvo::test
