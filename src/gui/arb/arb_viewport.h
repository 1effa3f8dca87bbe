#pragma once

#include "core/arb/digitise.h"
#include "core/arb/wave_shapes.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

namespace kelvo::gui {

// The waveform editor's viewport picView: a 400 x 300 picture drawn without anti-aliasing,
// so its pixels are the waveform that Digitise reads. The picture is scaled to the widget
// (on a high-density screen too) and the pointer is mapped back to picture pixels.
class ArbViewport : public QWidget {
    Q_OBJECT
public:
    enum class Mode { None, Freehand, Eraser, Line };
    enum class Constraint { Vertical, Horizontal, Any };

    explicit ArbViewport(QWidget* parent = nullptr);

    void setMode(Mode mode) { m_mode = mode; }
    Mode mode() const { return m_mode; }
    void setConstraint(Constraint constraint) { m_constraint = constraint; }
    void setEraserWidth(int width) { m_eraserWidth = width; }

    // The grid lines and the centre line, drawn over the picture.
    void drawGrid();
    // A black picture with the grid; the line tool starts again from the centre.
    void clear();
    // Draws white segments through the points (i, 150 + rows[i]), i = 0..400, over the picture.
    void drawCurve(const CurveRows& rows);
    // Replaces the picture by `image` at its top left corner on black, cropped to the viewport.
    void setPicture(const QImage& image);

    const QImage& picture() const { return m_picture; }
    // The picture's pixels as Digitise reads them.
    PixelGrid pixels() const;

    QSize sizeHint() const override { return {kViewWidth, kViewHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint picturePoint(const QPointF& position) const;
    void segment(QPoint from, QPoint to, const QColor& colour, int width);
    void lineTo(QPoint end);

    QImage m_picture;
    QImage m_copy; // the picture when the button went down: the line tool's rubber band
    Mode m_mode = Mode::None;
    Constraint m_constraint = Constraint::Any;
    int m_eraserWidth = 11;
    QPoint m_start{0, kCentreRow};
    QPoint m_end{0, kCentreRow};
    QPoint m_last;
    bool m_stroke = false; // a freehand or eraser stroke has started
};

} // namespace kelvo::gui
