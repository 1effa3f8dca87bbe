#include "gui/ui/entry_box.h"

#include <QKeyEvent>

namespace kelvo::gui {

EntryBox::EntryBox(QWidget* parent)
    : QLineEdit(parent)
{
    setAlignment(Qt::AlignCenter);
    hide();
}

void EntryBox::open(const QString& text)
{
    setText(text);
    show();
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

void EntryBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Q_EMIT entered(text());
        return;
    }
    QLineEdit::keyPressEvent(event);
    event->accept();
}

} // namespace kelvo::gui
