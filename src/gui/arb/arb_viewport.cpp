#include "gui/arb/arb_viewport.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace kelvo::gui {
namespace {

const QColor kGridColour{85, 85, 85};
const QColor kCentreColour{204, 204, 85};
const QColor kWhite{255, 255, 255};
const QColor kBlack{0, 0, 0};

QImage BlackPicture()
{
    QImage picture(kViewWidth, kViewHeight, QImage::Format_RGB32);
    picture.fill(kBlack);
    return picture;
}

// Every line of the editor: aliased, so a pixel is either drawn or not.
QPen Pen(const QColor& colour, int width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

ArbViewport::ArbViewport(QWidget* parent)
    : QWidget(parent)
    , m_picture(BlackPicture())
    , m_copy(m_picture)
{
    setObjectName(QStringLiteral("picView"));
    setAccessibleName(tr("Waveform drawing"));
    setFixedSize(kViewWidth, kViewHeight);
    setCursor(Qt::CrossCursor);
}

void ArbViewport::drawGrid()
{
    QPainter painter(&m_picture);
    painter.setPen(Pen(kGridColour, 1));
    for (int i = 1; i <= 10; ++i) {
        painter.drawLine(0, 30 * i, kViewWidth, 30 * i);
        painter.drawLine(40 * i, 0, 40 * i, kViewHeight);
    }
    painter.setPen(Pen(kCentreColour, 1));
    painter.drawLine(0, kCentreRow, kViewWidth, kCentreRow);
    update();
}

void ArbViewport::clear()
{
    m_picture = BlackPicture();
    drawGrid();
    m_copy = m_picture;
    m_start = {0, kCentreRow};
    m_end = m_start;
    m_stroke = false;
}

void ArbViewport::drawCurve(const CurveRows& rows)
{
    QPainter painter(&m_picture);
    painter.setPen(Pen(kWhite, 1));
    for (int i = 1; i < kArbTableSize; ++i)
        painter.drawLine(i - 1, kCentreRow + rows[static_cast<std::size_t>(i - 1)], i,
                         kCentreRow + rows[static_cast<std::size_t>(i)]);
    update();
}

void ArbViewport::setPicture(const QImage& image)
{
    m_picture = BlackPicture();
    QPainter painter(&m_picture);
    painter.drawImage(QPoint(0, 0), image.convertToFormat(QImage::Format_RGB32));
    update();
}

PixelGrid ArbViewport::pixels() const
{
    const auto* bits = reinterpret_cast<const std::uint32_t*>(m_picture.constBits());
    return {{bits, static_cast<std::size_t>(m_picture.sizeInBytes()) / 4},
            m_picture.width(),
            m_picture.height(),
            static_cast<std::size_t>(m_picture.bytesPerLine()) / 4};
}

void ArbViewport::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(rect(), m_picture);
}

QPoint ArbViewport::picturePoint(const QPointF& position) const
{
    return {static_cast<int>(std::floor(position.x() * kViewWidth / width())),
            static_cast<int>(std::floor(position.y() * kViewHeight / height()))};
}

void ArbViewport::segment(QPoint from, QPoint to, const QColor& colour, int width)
{
    QPainter painter(&m_picture);
    painter.setPen(Pen(colour, width));
    painter.drawLine(from, to);
    update();
}

void ArbViewport::lineTo(QPoint end)
{
    m_end = end;
    m_picture = m_copy;
    segment(m_start, m_end, kWhite, 1);
}

void ArbViewport::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_start = picturePoint(event->position());
    // A click without a move draws the point under the pointer.
    m_end = m_start;
    m_copy = m_picture;
}

void ArbViewport::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::LeftButton)
        return;
    const QPoint at = picturePoint(event->position());
    switch (m_mode) {
    case Mode::Freehand:
    case Mode::Eraser:
        if (!m_stroke)
            m_last = at;
        if (m_mode == Mode::Freehand)
            segment(m_last, at, kWhite, 1);
        else
            segment(m_last, at, kBlack, m_eraserWidth);
        m_last = at;
        m_stroke = true;
        break;
    case Mode::Line:
        lineTo(m_constraint == Constraint::Vertical     ? QPoint(m_start.x(), at.y())
               : m_constraint == Constraint::Horizontal ? QPoint(at.x(), m_start.y())
                                                        : at);
        break;
    case Mode::None: break;
    }
}

void ArbViewport::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_mode == Mode::Line)
        lineTo(m_end);
    m_stroke = false;
}

} // namespace kelvo::gui
