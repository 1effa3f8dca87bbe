#pragma once

#include <QPoint>
#include <QWidget>

namespace kelvo::gui {

// The strip along the top of a borderless window: moving the pointer with the left button
// alone held moves the window by the pointer's travel since the button went down. It
// also draws the window's title with its shadow.
class DragStrip : public QWidget {
    Q_OBJECT
public:
    explicit DragStrip(const QString& title, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
    // Where the pointer was within the strip at the last press, in whole pixels. The strip
    // moves with the window, so this point stays under the pointer for the whole drag.
    QPoint m_pressed;
};

} // namespace kelvo::gui
