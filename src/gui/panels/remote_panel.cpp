#include "gui/panels/remote_panel.h"

#include "gui/ui/drag_strip.h"
#include "gui/ui/lamp.h"
#include "gui/ui/window_frame.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace kelvo::gui {

RemotePanel::RemotePanel(Oscillator& oscillator, QWidget* parent)
    : QWidget(parent)
    , m_oscillator(oscillator)
{
    setObjectName(QStringLiteral("Remote"));
    setWindowTitle(tr("Kelvo remote"));
    MakeBorderless(this);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(PanelStyleSheet());

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 3, 6, 6);
    column->setSpacing(4);
    auto* top = new QHBoxLayout;
    auto* drag = new DragStrip(tr("KELVO REMOTE"), this);
    drag->setObjectName(QStringLiteral("lblDrag"));
    top->addWidget(drag, 1);
    ClickLabel* close = MakeCloseLabel(this, QStringLiteral("lblExit"));
    close->setProperty("kind", "key");
    top->addWidget(close);
    column->addLayout(top);

    auto* grid = new QGridLayout;
    grid->setSpacing(4);
    column->addLayout(grid);
    m_freq = std::make_unique<EntryField>(this, QStringLiteral("lblFreq"), QStringLiteral("txtFreq"), "big");
    // Unlike the main panel's, this box opens for every waveform.
    m_freq->connect([this] { m_freq->open(m_freq->label()->text()); },
                    [this](const QString& text) { m_oscillator.txtFreq_Enter(text.toStdString()); });
    m_levelL = std::make_unique<EntryField>(this, QStringLiteral("lblLdB"), QStringLiteral("txtLdB"), "value");
    m_levelL->connect([this] { m_levelL->open(m_levelL->label()->text()); },
                      [this](const QString& text) { m_oscillator.txtLdB_Enter(text.toStdString()); });
    m_levelR = std::make_unique<EntryField>(this, QStringLiteral("lblRdB"), QStringLiteral("txtRdB"), "value");
    m_levelR->connect([this] { m_levelR->open(m_levelR->label()->text()); },
                      [this](const QString& text) { m_oscillator.txtRdB_Enter(text.toStdString()); });
    grid->addWidget(m_freq->widget(), 0, 0, 1, 4);
    grid->addWidget(m_levelL->widget(), 1, 0, 1, 2);
    grid->addWidget(m_levelR->widget(), 1, 2, 1, 2);

    grid->addWidget(MakeKey(this, QStringLiteral("lblMemDn"), QStringLiteral("\u25C0"),
                            [this] { m_oscillator.lblMemDn_Click(); }, tr("Previous memory")),
                    2, 0);
    m_memDisplay = MakeDisplay(this, QStringLiteral("lblMemDisplay"), "value");
    grid->addWidget(m_memDisplay, 2, 1);
    grid->addWidget(MakeKey(this, QStringLiteral("lblMemUp"), QStringLiteral("\u25B6"),
                            [this] { m_oscillator.lblMemUp_Click(); }, tr("Next memory")),
                    2, 2);
    m_on = new Lamp(this);
    m_on->setObjectName(QStringLiteral("lblOn"));
    grid->addWidget(m_on, 2, 3, Qt::AlignCenter);
    QLabel* play = MakeKey(this, QStringLiteral("lblPlay"), tr("PLAY"), [this] { m_oscillator.PlaySig(); },
                           tr("Start the signal (Enter)"));
    play->setProperty("kind", "key-on");
    grid->addWidget(play, 3, 0, 1, 2);
    grid->addWidget(MakeKey(this, QStringLiteral("lblStop"), tr("STOP"), [this] { m_oscillator.StopSig(); },
                            tr("Stop the signal (Esc)")),
                    3, 2, 1, 2);

    m_onTop.MakeTopMost(this);
    m_oscillator.addObserver(this);
    panelChanged(m_oscillator.view());
}

RemotePanel::~RemotePanel()
{
    m_oscillator.removeObserver(this);
}

void RemotePanel::panelChanged(const PanelView& view)
{
    m_freq->setText(QString::fromStdString(view.freq));
    m_levelL->setText(QString::fromStdString(view.levelL));
    m_levelR->setText(QString::fromStdString(view.levelR));
    m_memDisplay->setText(QString::fromStdString(view.memDisplay));
    const Rgb& on = view.indicators.remote;
    m_on->setColor(QColor(on.red, on.green, on.blue));
}

void RemotePanel::keyPressEvent(QKeyEvent* event)
{
    if (m_oscillator.KeyDown(PanelKeyCode(event)))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void RemotePanel::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    DrawFrame(painter, rect(), QColor(70, 76, 86));
}

} // namespace kelvo::gui
