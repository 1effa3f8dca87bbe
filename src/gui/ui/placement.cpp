#include "gui/ui/placement.h"

#include "gui/ui/borderless_window.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

namespace kelvo::gui {
namespace {

QRect AvailableArea(const QWidget* anchor)
{
    const QScreen* screen = anchor != nullptr ? anchor->screen() : nullptr;
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace

QRect TitleStrip(const QWidget& window)
{
    if (const auto* borderless = qobject_cast<const BorderlessWindow*>(&window))
        return borderless->titleStrip();
    const QRect frame = window.frameGeometry();
    return {frame.topLeft(), QSize(frame.width(), window.geometry().top() - frame.top())};
}

void PlaceBeside(QWidget& window, const QWidget& anchor, const InSight& inSight)
{
    // Qt bounds a window's first size by the screen it is on: let that be the anchor's.
    window.move(anchor.pos());
    window.adjustSize();
    // Lays the title row out before the first show, so that its strip is known.
    if (window.layout() != nullptr)
        window.layout()->activate();
    const OpenWindow opening{window.frameGeometry(), TitleStrip(window), window.windowFlags().testFlag(Qt::WindowStaysOnTopHint)};
    window.move(FindPlace(opening, anchor.frameGeometry(), AvailableArea(&anchor), inSight));
}

void KeepOnScreen(QWidget& window, const QWidget& anchor)
{
    const QRect frame = window.frameGeometry();
    const QPoint inside = KeptInside(frame.topLeft(), frame.size(), AvailableArea(&anchor));
    if (inside != frame.topLeft())
        window.move(inside);
}

void PlaceCentred(QWidget& window, const QWidget* anchor)
{
    window.adjustSize();
    const QRect area = AvailableArea(anchor);
    const QSize size = window.frameGeometry().size();
    window.move(KeptInside(area.center() - QPoint(size.width() / 2, size.height() / 2), size, area));
}

} // namespace kelvo::gui
