#pragma once

#include <QWidget>

namespace kelvo::gui {

// The labelled drawing of one period on the burst and pulse setups: a burst's on and off
// parts at their two levels, or a train of pulses ending in its rest.
class PeriodDrawing final : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Burst, Pulse };
    explicit PeriodDrawing(Kind kind, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawBurst(QPainter& painter, const QRect& area) const;
    void drawPulses(QPainter& painter, const QRect& area) const;

    Kind m_kind;
};

} // namespace kelvo::gui
