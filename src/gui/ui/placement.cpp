#include "gui/ui/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace kelvo::gui {
namespace {

constexpr int kGap = 12;

QRect AvailableArea(const QWidget* anchor)
{
    const QScreen* screen = anchor != nullptr ? anchor->screen() : nullptr;
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QPoint KeptInside(QPoint topLeft, QSize size, const QRect& area)
{
    const int x = std::max(area.left(), std::min(topLeft.x(), area.right() + 1 - size.width()));
    const int y = std::max(area.top(), std::min(topLeft.y(), area.bottom() + 1 - size.height()));
    return {x, y};
}

} // namespace

void PlaceBeside(QWidget& window, const QWidget& anchor)
{
    window.adjustSize();
    const QRect area = AvailableArea(&anchor);
    const QRect beside = anchor.frameGeometry();
    const QSize size = window.frameGeometry().size();
    const QPoint candidates[] = {
        {beside.right() + 1 + kGap, beside.top()},
        {beside.left() - kGap - size.width(), beside.top()},
        {beside.left(), beside.bottom() + 1 + kGap},
        {beside.left(), beside.top() - kGap - size.height()},
    };
    for (const QPoint& candidate : candidates) {
        const QRect place(candidate, size);
        if (area.contains(place.topLeft()) && area.contains(place.bottomRight())) {
            window.move(candidate);
            return;
        }
    }
    // No side has room: overlap the anchor, but stay on the screen.
    window.move(KeptInside(candidates[0], size, area));
}

void PlaceCentred(QWidget& window, const QWidget* anchor)
{
    window.adjustSize();
    const QRect area = AvailableArea(anchor);
    const QSize size = window.frameGeometry().size();
    window.move(KeptInside(area.center() - QPoint(size.width() / 2, size.height() / 2), size, area));
}

} // namespace kelvo::gui
