// The window base, its drag strip, keeping a window on top and placing it on the screen.
#include "gui/runtime/guarded_application.h"
#include "gui/ui/borderless_window.h"
#include "gui/ui/drag_strip.h"
#include "gui/ui/file_dialogs.h"
#include "gui/ui/key_button.h"
#include "gui/ui/on_top.h"
#include "gui/ui/placement.h"
#include "gui_rig.h"

#include <QEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <new>

namespace kelvo::test {
namespace {

// The window base with its close key, counting how often it was refilled.
class TestWindow final : public gui::BorderlessWindow {
public:
    TestWindow()
        : BorderlessWindow(QStringLiteral("frmTest"), QStringLiteral("TEST SETUP:"))
    {
        close = addCloseKey(QStringLiteral("Label3"));
        setGeometry(200, 200, 300, 120);
        show();
    }
    void refill() override { ++refills; }
    gui::KeyButton* close = nullptr;
    int refills = 0;
};

void Mouse(QWidget* strip, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), strip->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(strip, &event);
}

TEST(WindowUtilities, TheDragStripMovesOnlyWithTheLeftButtonAloneAndOnTopKeepsThePlace)
{
    TestWindow w;
    auto* strip = w.findChild<gui::DragStrip*>();
    const QPoint start = w.pos();
    for (const Qt::MouseButtons held : {Qt::MouseButtons(Qt::RightButton), Qt::LeftButton | Qt::RightButton}) {
        Mouse(strip, QEvent::MouseButtonPress, QPoint(40, 6), Qt::RightButton, held);
        Mouse(strip, QEvent::MouseMove, QPoint(90, 30), Qt::NoButton, held);
        Mouse(strip, QEvent::MouseMove, QPoint(90, 30), Qt::NoButton, Qt::NoButton);
        EXPECT_EQ(w.pos(), start);
    }
    // The travel since the press, however many moves it takes.
    Mouse(strip, QEvent::MouseButtonPress, QPoint(40, 6), Qt::LeftButton, Qt::LeftButton);
    Mouse(strip, QEvent::MouseMove, QPoint(70, -9), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(w.pos(), start + QPoint(30, -15));
    Mouse(strip, QEvent::MouseMove, QPoint(45, 6), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(w.pos(), start + QPoint(35, -15));
    // Changing a window flag must not lose the window's place, size or visibility.
    const QRect geometry = w.geometry();
    gui::WindowOnTop onTop;
    onTop.keepOnTop(&w);
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    onTop.stopKeepingOnTop(&w);
    EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(w.geometry(), geometry);
    EXPECT_TRUE(w.isVisible());

    QTest::mouseClick(w.close, Qt::RightButton);
    EXPECT_TRUE(w.isVisible());
    const int refills = w.refills;
    QTest::mouseClick(w.close, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.refills, refills); // hidden, kept for the next show, which fills it afresh
    w.show();
    EXPECT_EQ(w.refills, refills + 1);
}

// Right of the anchor where there is room, else the nearest place clear of it (here below
// it, flush with the screen's right edge); always on the screen.
TEST(WindowUtilities, AWindowOpensBesideItsAnchorAndAlwaysOnTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget anchor(nullptr, Qt::FramelessWindowHint);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setFixedSize(150, 100);
    const QPoint right(screen.right() + 1, screen.top());
    const struct {
        QSize anchorSize;
        QPoint anchorAt, expected;
    } cases[] = {
        {{400, 200}, screen.topLeft() + QPoint(10, 10), screen.topLeft() + QPoint(10 + 400 + 12, 10)},
        {{400, 200}, right + QPoint(-420, 10), right + QPoint(-150, 10 + 200 + 12)},
        {{screen.width(), 200}, screen.topLeft(), right + QPoint(-150, 200 + 12)},
    };
    for (const auto& c : cases) {
        anchor.resize(c.anchorSize);
        anchor.move(c.anchorAt);
        gui::PlaceBeside(window, anchor, {});
        EXPECT_EQ(window.pos(), c.expected);
        EXPECT_TRUE(screen.contains(window.frameGeometry()));
    }
}

// A file dialog starts in the folder of the last file of its kind, else in the program folder.
TEST(WindowUtilities, FileDialogsStartWhereTheLastFileOfTheirKindWas)
{
    gui::StartFolders folders(QStringLiteral("/opt/kelvo"));
    const QString lists = QStringLiteral("User step list|*.usl;"), waves = QStringLiteral("Wave Files|*.wav;");
    EXPECT_EQ(folders.startFor(lists), QStringLiteral("/opt/kelvo"));
    folders.chosen(lists, QStringLiteral("/home/ann/steps/fine.usl"));
    EXPECT_EQ(folders.startFor(lists), QStringLiteral("/home/ann/steps"));
    EXPECT_EQ(folders.startFor(waves), QStringLiteral("/opt/kelvo"));
    folders.chosen(lists, QStringLiteral("/tmp/x.usl"));
    EXPECT_EQ(folders.startFor(lists), QStringLiteral("/tmp"));
}

// An event handler that runs out of memory, as a huge input met without a limit would.
class Hungry final : public QObject {
public:
    bool event(QEvent*) override { throw std::bad_alloc(); }
};

TEST(GuardedApplication, AFailedAllocationAbandonsTheActionWithAMessage)
{
    Hungry hungry;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&hungry, &event));
    int shown = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
            shown += box->text().contains(QStringLiteral("not enough memory")) ? 1 : 0;
            box->close();
        }
    }
    EXPECT_EQ(shown, 1);
}

} // namespace
} // namespace kelvo::test
