#pragma once

#include <QWidget>

class QHBoxLayout;
class QKeyEvent;

namespace kelvo::gui {

class DragStrip;
class KeyButton;

// The base of every borderless window of the program: no system frame, a thin frame drawn
// inside the edges, the drag strip with the title and its shadow along the top, and an area
// below it for the window's own controls. Closing hides it (windows are created once and
// kept), and every show refills it from the record. Its accessible name is its title.
class BorderlessWindow : public QWidget {
    Q_OBJECT
public:
    BorderlessWindow(const QString& objectName, const QString& title, QWidget* parent = nullptr);

    // The drag strip, in screen coordinates.
    QRect titleStrip() const;

Q_SIGNALS:
    // The first time the window was painted.
    void firstPainted();

protected:
    // The row of the drag strip: keys added to it sit right of the strip.
    QHBoxLayout* titleRow() const { return m_titleRow; }
    DragStrip* dragStrip() const { return m_drag; }
    // The area under the title row, for the window's own layout.
    QWidget* face() const { return m_face; }
    // Adds the "X" key that closes (hides) the window to the title row.
    KeyButton* addCloseKey(const QString& objectName);

    // Fills the window from the record; called on every show.
    virtual void refill() {}
    // The window's own keys; true when the key was taken.
    virtual bool handleKey(QKeyEvent* event);

    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    DragStrip* m_drag;
    QHBoxLayout* m_titleRow;
    QWidget* m_face;
    bool m_painted = false;
};

} // namespace kelvo::gui
