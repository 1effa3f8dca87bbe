#include "gui/ui/window_frame.h"

#include "gui/ui/click_label.h"

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

ClickLabel* MakeCloseLabel(QWidget* window, const QString& objectName)
{
    auto* label = new ClickLabel(QStringLiteral("X"), window);
    label->setObjectName(objectName);
    label->setToolTip(QObject::tr("Close"));
    QObject::connect(label, &ClickLabel::clicked, window, &QWidget::close);
    return label;
}

void MakeBorderless(QWidget* window)
{
    window->setWindowFlag(Qt::FramelessWindowHint, true);
}

} // namespace kelvo::gui
