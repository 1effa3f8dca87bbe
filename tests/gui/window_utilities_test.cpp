#include "gui/ui/click_label.h"
#include "gui/ui/drag_strip.h"
#include "gui/ui/on_top.h"
#include "gui/ui/window_frame.h"

#include <QMouseEvent>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

// A borderless window with a drag strip along its top.
struct StripWindow {
    StripWindow()
    {
        gui::MakeBorderless(&window);
        auto* column = new QVBoxLayout(&window);
        strip = new gui::DragStrip(QStringLiteral("TITLE"), &window);
        column->addWidget(strip);
        close = gui::MakeCloseLabel(&window, QStringLiteral("Label3"));
        column->addWidget(close);
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

    QWidget window;
    gui::DragStrip* strip = nullptr;
    gui::ClickLabel* close = nullptr;
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
    QTest::mouseClick(w.close, Qt::LeftButton);
    EXPECT_FALSE(w.window.isVisible());
}

} // namespace
} // namespace kelvo::test
