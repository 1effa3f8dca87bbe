#pragma once

#include <QPushButton>

namespace kelvo::gui {

// A flat key of a window: a real push button, so assistive technology sees a button named
// by its caption with a press action. It never takes the keyboard focus, so the window's
// own keys (Enter plays, the arrows step) keep working while the pointer clicks keys.
class KeyButton : public QPushButton {
    Q_OBJECT
public:
    explicit KeyButton(const QString& caption = {}, QWidget* parent = nullptr);
};

} // namespace kelvo::gui
