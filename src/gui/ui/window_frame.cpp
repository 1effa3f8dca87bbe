#include "gui/ui/window_frame.h"

#include <QPainter>

#include <algorithm>

namespace kelvo::gui {

void DrawTitle(QPainter& painter, const QString& title, QPoint baseline, const QColor& text, const QColor& shadow)
{
    // The shadow's offset grows with the font, so it reads the same at every scale.
    const int step = std::max(1, painter.fontMetrics().height() / 14);
    painter.setPen(shadow);
    painter.drawText(baseline + QPoint(step, step), title);
    painter.setPen(text);
    painter.drawText(baseline, title);
}

void DrawFrame(QPainter& painter, const QRect& rect, const QColor& colour)
{
    painter.setPen(colour);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(1, 1, -2, -2));
}

} // namespace kelvo::gui
