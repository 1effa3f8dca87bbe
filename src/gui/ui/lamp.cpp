#include "gui/ui/lamp.h"

#include <QPainter>
#include <QRadialGradient>

namespace kelvo::gui {

Lamp::Lamp(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Lamp::setColor(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

QSize Lamp::sizeHint() const
{
    const int side = fontMetrics().height() + 6;
    return {side, side};
}

void Lamp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = QRectF(rect()).adjusted(2, 2, -2, -2);
    QRadialGradient glow(disc.center() - QPointF(disc.width() / 5, disc.height() / 5), disc.width() / 1.4);
    glow.setColorAt(0, m_color.lighter(170));
    glow.setColorAt(1, m_color);
    painter.setBrush(glow);
    painter.setPen(QPen(QColor(20, 20, 20), 1.5));
    painter.drawEllipse(disc);
}

} // namespace kelvo::gui
