#pragma once

class QWidget;

namespace kelvo::gui {

// Keeps a window above all ordinary windows, or puts it back into the normal stacking
// order. Position and size are kept.
class WindowOnTop {
public:
    void keepOnTop(QWidget* window) const { setOnTop(window, true); }
    void stopKeepingOnTop(QWidget* window) const { setOnTop(window, false); }

private:
    static void setOnTop(QWidget* window, bool onTop);
};

} // namespace kelvo::gui
