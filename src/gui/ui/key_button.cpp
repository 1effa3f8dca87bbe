#include "gui/ui/key_button.h"

namespace kelvo::gui {

KeyButton::KeyButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setFlat(true);
    setAutoDefault(false);
}

} // namespace kelvo::gui
