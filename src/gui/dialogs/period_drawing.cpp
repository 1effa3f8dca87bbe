#include "gui/dialogs/period_drawing.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace kelvo::gui {
namespace {

const QColor kTrace{125, 255, 168};
const QColor kText{200, 206, 214};
const QColor kGuide{90, 98, 110};

} // namespace

PeriodDrawing::PeriodDrawing(Kind kind, QWidget* parent)
    : QWidget(parent)
    , m_kind(kind)
{
    setAccessibleName(kind == Kind::Burst ? tr("One burst: T-on at the On Level, T-off at the Off Level")
                                          : tr("A train of pulses followed by its rest"));
    setMinimumSize(sizeHint());
}

QSize PeriodDrawing::sizeHint() const
{
    return {300, 110};
}

void PeriodDrawing::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect area = rect().adjusted(8, 18, -8, -22);
    if (m_kind == Kind::Burst)
        drawBurst(painter, area);
    else
        drawPulses(painter, area);
}

void PeriodDrawing::drawBurst(QPainter& painter, const QRect& area) const
{
    const int split = area.left() + area.width() * 2 / 5;
    const double mid = area.center().y();
    const double high = area.height() / 2.0;
    const double low = high / 4;
    QPainterPath trace;
    for (int x = area.left(); x <= area.right(); ++x) {
        const double amplitude = x < split ? high : low;
        const double y = mid - amplitude * std::sin((x - area.left()) * 0.45);
        if (x == area.left())
            trace.moveTo(x, y);
        else
            trace.lineTo(x, y);
    }
    painter.setPen(QPen(kTrace, 1.5));
    painter.drawPath(trace);
    painter.setPen(QPen(kGuide, 1, Qt::DashLine));
    painter.drawLine(split, area.top() - 4, split, area.bottom() + 4);
    painter.setPen(kText);
    painter.drawText(QRect(area.left(), area.bottom() + 4, split - area.left(), 18), Qt::AlignCenter, tr("T-on"));
    painter.drawText(QRect(split, area.bottom() + 4, area.right() - split, 18), Qt::AlignCenter, tr("T-off"));
    painter.drawText(QRect(area.left(), area.top() - 18, split - area.left(), 16), Qt::AlignCenter, tr("On Level"));
    painter.drawText(QRect(split, static_cast<int>(mid - low) - 18, area.right() - split, 16), Qt::AlignCenter, tr("Off Level"));
}

void PeriodDrawing::drawPulses(QPainter& painter, const QRect& area) const
{
    constexpr int kPulses = 4;
    const int restStart = area.left() + area.width() * 7 / 10;
    const double slot = static_cast<double>(restStart - area.left()) / kPulses;
    const int top = area.top() + 4;
    const int base = area.bottom() - 4;
    QPainterPath trace(QPointF(area.left(), base));
    for (int k = 0; k < kPulses; ++k) {
        const double start = area.left() + k * slot;
        trace.lineTo(start, top);
        trace.lineTo(start + slot / 2, top);
        trace.lineTo(start + slot / 2, base);
        trace.lineTo(start + slot, base);
    }
    trace.lineTo(area.right(), base);
    painter.setPen(QPen(kTrace, 1.5));
    painter.drawPath(trace);
    painter.setPen(kText);
    painter.drawText(QRect(area.left(), area.bottom() + 4, static_cast<int>(slot / 2), 18), Qt::AlignCenter, tr("on"));
    painter.drawText(QRect(area.left() + static_cast<int>(slot / 2), area.bottom() + 4, static_cast<int>(slot / 2), 18),
                     Qt::AlignCenter, tr("off"));
    painter.drawText(QRect(restStart, area.bottom() + 4, area.right() - restStart, 18), Qt::AlignCenter, tr("rest"));
}

} // namespace kelvo::gui
