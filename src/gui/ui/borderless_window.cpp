#include "gui/ui/borderless_window.h"

#include "gui/ui/drag_strip.h"
#include "gui/ui/key_button.h"
#include "gui/ui/window_frame.h"

#include <QAccessibleWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace kelvo::gui {
namespace {

// A plain QWidget presents itself as a filler; these windows are windows.
QAccessibleInterface* WindowAccessible(const QString&, QObject* object)
{
    if (auto* window = qobject_cast<BorderlessWindow*>(object))
        return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

} // namespace

BorderlessWindow::BorderlessWindow(const QString& objectName, const QString& title, QWidget* parent)
    : QWidget(parent)
    , m_drag(new DragStrip(title, this))
    , m_titleRow(new QHBoxLayout)
    , m_face(new QWidget(this))
{
    static const bool presentedAsWindows = (QAccessible::installFactory(&WindowAccessible), true);
    Q_UNUSED(presentedAsWindows);
    setObjectName(objectName);
    setWindowTitle(title);
    setAccessibleName(title);
    setWindowFlag(Qt::FramelessWindowHint, true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_StyledBackground);
    m_drag->setObjectName(QStringLiteral("lblDrag"));
    m_face->setProperty("kind", "face");

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 4, 8, 8);
    column->setSpacing(4);
    m_titleRow->setSpacing(4);
    m_titleRow->addWidget(m_drag, 1);
    column->addLayout(m_titleRow);
    column->addWidget(m_face, 1);
}

KeyButton* BorderlessWindow::addCloseKey(const QString& objectName)
{
    auto* close = new KeyButton(QStringLiteral("X"), this);
    close->setObjectName(objectName);
    close->setProperty("kind", "key");
    close->setToolTip(tr("Close"));
    close->setAccessibleName(tr("Close"));
    connect(close, &KeyButton::clicked, this, &QWidget::close);
    m_titleRow->addWidget(close);
    return close;
}

QRect BorderlessWindow::titleStrip() const
{
    return {mapToGlobal(m_drag->pos()), m_drag->size()};
}

bool BorderlessWindow::handleKey(QKeyEvent*)
{
    return false;
}

void BorderlessWindow::showEvent(QShowEvent* event)
{
    refill();
    QWidget::showEvent(event);
}

void BorderlessWindow::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    DrawFrame(painter, rect(), QColor(70, 76, 86));
    if (!m_painted) {
        m_painted = true;
        Q_EMIT firstPainted();
    }
}

void BorderlessWindow::keyPressEvent(QKeyEvent* event)
{
    if (handleKey(event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

} // namespace kelvo::gui
