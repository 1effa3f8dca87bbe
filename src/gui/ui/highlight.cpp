#include "gui/ui/highlight.h"

#include <QEvent>
#include <QPainter>

namespace kelvo::gui {

Highlight::Highlight(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void Highlight::moveOnto(QWidget* target)
{
    if (target == m_target)
        return;
    if (m_target)
        m_target->removeEventFilter(this);
    m_target = target;
    if (!m_target)
        return;
    if (parentWidget() != m_target->parentWidget())
        setParent(m_target->parentWidget());
    m_target->installEventFilter(this);
    follow();
    show();
}

bool Highlight::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_target && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        follow();
    return false;
}

void Highlight::follow()
{
    setGeometry(m_target->geometry().adjusted(-3, -3, 3, 3));
    raise();
}

void Highlight::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 5, 5);
}

} // namespace kelvo::gui
