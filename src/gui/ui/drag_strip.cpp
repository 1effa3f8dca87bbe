#include "gui/ui/drag_strip.h"

#include "gui/ui/window_frame.h"

#include <QMouseEvent>
#include <QPainter>

namespace kelvo::gui {
namespace {

// The strips sit on the panels' dark faces: a light title over a dark shadow.
const QColor kStripTitle{226, 230, 236};
const QColor kStripShadow{0, 0, 0};

} // namespace

DragStrip::DragStrip(const QString& title, QWidget* parent)
    : QWidget(parent)
    , m_title(title)
{
    setCursor(Qt::SizeAllCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize DragStrip::sizeHint() const
{
    return {200, fontMetrics().height() + 10};
}

void DragStrip::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->position().toPoint();
    event->accept();
}

void DragStrip::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (event->buttons() != Qt::LeftButton)
        return;
    const QPoint travel = event->position().toPoint() - m_pressed;
    QWidget* w = window();
    w->move(w->x() + travel.x(), w->y());
    w->move(w->x(), w->y() + travel.y());
}

void DragStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    const QPoint baseline(8, (height() + painter.fontMetrics().ascent() - painter.fontMetrics().descent()) / 2);
    DrawTitle(painter, m_title, baseline, kStripTitle, kStripShadow);
}

} // namespace kelvo::gui
