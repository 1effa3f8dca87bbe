#include "gui/ui/borderless_window.h"
#include "gui/ui/drag_strip.h"
#include "gui/ui/key_button.h"
#include "gui/ui/on_top.h"
#include "gui/ui/placement.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

// The window base with its close key, counting how often it was refilled.
class TestWindow final : public gui::BorderlessWindow {
public:
    TestWindow()
        : BorderlessWindow(QStringLiteral("frmTest"), QStringLiteral("TEST SETUP:"))
    {
        close = addCloseKey(QStringLiteral("Label3"));
    }
    void refill() override { ++refills; }
    gui::KeyButton* close = nullptr;
    int refills = 0;
};

struct StripWindow {
    StripWindow()
    {
        strip = window.findChild<gui::DragStrip*>();
        close = window.close;
        window.setGeometry(200, 200, 300, 120);
        window.show();
    }

    void press(QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(at), strip->mapToGlobal(QPointF(at)), button, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(strip, &event);
    }
    void move(QPoint to, Qt::MouseButtons held)
    {
        QMouseEvent event(QEvent::MouseMove, QPointF(to), strip->mapToGlobal(QPointF(to)), Qt::NoButton, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(strip, &event);
    }

    TestWindow window;
    gui::DragStrip* strip = nullptr;
    gui::KeyButton* close = nullptr;
};

TEST(WindowUtilities, TheDragStripMovesTheWindowOnlyWithTheLeftButtonAlone)
{
    StripWindow w;
    const QPoint start = w.window.pos();
    w.press(QPoint(40, 6), Qt::RightButton, Qt::RightButton);
    w.move(QPoint(90, 30), Qt::RightButton);
    EXPECT_EQ(w.window.pos(), start);
    w.press(QPoint(40, 6), Qt::LeftButton, Qt::LeftButton | Qt::RightButton);
    w.move(QPoint(90, 30), Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(w.window.pos(), start);
    w.move(QPoint(90, 30), Qt::NoButton);
    EXPECT_EQ(w.window.pos(), start);

    // The travel since the press, however many moves it takes.
    w.press(QPoint(40, 6), Qt::LeftButton, Qt::LeftButton);
    w.move(QPoint(70, -9), Qt::LeftButton);
    EXPECT_EQ(w.window.pos(), start + QPoint(30, -15));
    w.move(QPoint(45, 6), Qt::LeftButton);
    EXPECT_EQ(w.window.pos(), start + QPoint(35, -15));
}

TEST(WindowUtilities, OnTopAndBackKeepsPlaceAndSizeAndTheCloseLabelHides)
{
    StripWindow w;
    const QRect geometry = w.window.geometry();
    gui::clsOnTop onTop;
    onTop.MakeTopMost(&w.window);
    EXPECT_TRUE(w.window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(w.window.isVisible());
    onTop.MakeNormal(&w.window);
    EXPECT_FALSE(w.window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(w.window.geometry(), geometry);
    EXPECT_TRUE(w.window.isVisible());

    EXPECT_EQ(w.close->text(), "X");
    QTest::mouseClick(w.close, Qt::RightButton);
    EXPECT_TRUE(w.window.isVisible());
    const int refills = w.window.refills;
    QTest::mouseClick(w.close, Qt::LeftButton);
    EXPECT_FALSE(w.window.isVisible());

    // Closing hides the window, kept for the next show, which fills it afresh.
    EXPECT_EQ(w.window.refills, refills);
    w.window.show();
    EXPECT_EQ(w.window.refills, refills + 1);
    EXPECT_EQ(w.window.accessibleName(), "TEST SETUP:");
    EXPECT_EQ(w.close->accessibleName(), "Close");
}

TEST(WindowUtilities, AWindowOpensBesideItsAnchorAndAlwaysOnTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget anchor;
    anchor.setWindowFlag(Qt::FramelessWindowHint);
    anchor.resize(400, 200);
    QWidget window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.setFixedSize(150, 100);
    struct Case {
        QPoint anchorAt;
        QPoint expected;
    };
    const int right = screen.right() + 1;
    const Case cases[] = {
        {screen.topLeft() + QPoint(10, 10), screen.topLeft() + QPoint(10 + 400 + 12, 10)},   // right of it
        {QPoint(right - 420, screen.top() + 10), QPoint(right - 420 - 12 - 150, screen.top() + 10)}, // left
    };
    for (const Case& c : cases) {
        anchor.move(c.anchorAt);
        gui::PlaceBeside(window, anchor);
        EXPECT_EQ(window.pos(), c.expected);
    }
    // An anchor as wide as the screen: below it, inside the screen.
    anchor.resize(screen.width(), 200);
    anchor.move(screen.topLeft());
    gui::PlaceBeside(window, anchor);
    EXPECT_TRUE(screen.contains(window.frameGeometry()));
    EXPECT_GE(window.y(), anchor.frameGeometry().bottom());
}

} // namespace
} // namespace kelvo::test
