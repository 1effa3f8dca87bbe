#include "gui/ui/elided_label.h"

#include <QAccessible>
#include <QResizeEvent>

namespace kelvo::gui {

ElidedLabel::ElidedLabel(QWidget* parent)
    : QLabel(parent)
{
    // The text asks for no room: the window's other contents set the width.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString& text)
{
    m_full = text;
    setToolTip(text);
    setAccessibleDescription(text);
    elide();
    // Two long paths can elide alike: a screen reader still hears that the path changed.
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide()
{
    setText(fontMetrics().elidedText(m_full, Qt::ElideMiddle, contentsRect().width()));
}

} // namespace kelvo::gui
