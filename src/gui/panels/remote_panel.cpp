#include "gui/panels/remote_panel.h"

#include "gui/panels/signal_keys.h"
#include "gui/ui/lamp.h"
#include "gui/ui/value_name.h"

#include <QGridLayout>
#include <QHBoxLayout>

namespace kelvo::gui {

RemotePanel::RemotePanel(Oscillator& oscillator, QWidget* parent)
    : BorderlessWindow(QStringLiteral("Remote"), tr("KELVO REMOTE"), parent)
    , m_oscillator(oscillator)
{
    setStyleSheet(PanelStyleSheet());
    addCloseKey(QStringLiteral("lblExit"));

    auto* grid = new QGridLayout(face());
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    MainPanelRules& rules = m_oscillator.panel();
    m_freq = std::make_unique<EntryField>(face(), QStringLiteral("lblFreq"), QStringLiteral("txtFreq"), "big", tr("Frequency"));
    // Unlike the main panel's, this box opens for every waveform.
    m_freq->connect([this] { m_freq->open(m_freq->label()->text()); },
                    [&rules](const QString& text) { rules.takeFrequency(text.toStdString()); });
    m_levelL =
        std::make_unique<EntryField>(face(), QStringLiteral("lblLdB"), QStringLiteral("txtLdB"), "value", tr("Left level"));
    m_levelL->connect([this] { m_levelL->open(m_levelL->label()->text()); },
                      [&rules](const QString& text) { rules.takeLeftLevel(text.toStdString()); });
    m_levelR =
        std::make_unique<EntryField>(face(), QStringLiteral("lblRdB"), QStringLiteral("txtRdB"), "value", tr("Right level"));
    m_levelR->connect([this] { m_levelR->open(m_levelR->label()->text()); },
                      [&rules](const QString& text) { rules.takeRightLevel(text.toStdString()); });
    HoldWidest(m_freq->label(), {QStringLiteral("19999.99/19999 Hz")});
    HoldWidest(m_levelL->label(), LevelCaptions());
    HoldWidest(m_levelR->label(), LevelCaptions());
    m_freq->label()->setMinimumWidth(m_freq->label()->width());
    m_freq->label()->setMaximumWidth(QWIDGETSIZE_MAX);
    // Four equal columns wide enough for every text: the keys under the displays stay put.
    for (int column = 0; column < 4; ++column) {
        grid->setColumnMinimumWidth(column, m_freq->label()->width() / 4);
        grid->setColumnStretch(column, 1);
    }
    grid->addWidget(m_freq->widget(), 0, 0, 1, 4);
    grid->addWidget(m_levelL->widget(), 1, 0, 1, 2);
    grid->addWidget(m_levelR->widget(), 1, 2, 1, 2);

    MemoryRules& memories = m_oscillator.memories();
    grid->addWidget(MakeKey(
                        face(), QStringLiteral("lblMemDn"), QStringLiteral("\u25C0"), [&memories] { memories.previousMemory(); },
                        tr("Previous memory")),
                    2, 0);
    m_memDisplay = MakeDisplay(face(), QStringLiteral("lblMemDisplay"), "value");
    NameByCaption(*m_memDisplay, tr("Memory"));
    HoldWidest(m_memDisplay, {QStringLiteral("M10")});
    grid->addWidget(m_memDisplay, 2, 1);
    grid->addWidget(MakeKey(
                        face(), QStringLiteral("lblMemUp"), QStringLiteral("\u25B6"), [&memories] { memories.nextMemory(); },
                        tr("Next memory")),
                    2, 2);
    m_on = new Lamp(face());
    m_on->setObjectName(QStringLiteral("lblOn"));
    grid->addWidget(m_on, 2, 3, Qt::AlignCenter);
    QWidget* play = MakeKey(
        face(), QStringLiteral("lblPlay"), tr("PLAY"), [this] { m_oscillator.startSignal(); }, tr("Start the signal (Enter)"));
    play->setProperty("kind", "key-on");
    grid->addWidget(play, 3, 0, 1, 2);
    grid->addWidget(
        MakeKey(
            face(), QStringLiteral("lblStop"), tr("STOP"), [this] { m_oscillator.stopSignal(); }, tr("Stop the signal (Esc)")),
        3, 2, 1, 2);

    m_onTop.keepOnTop(this);
    refill();
    setFixedSize(sizeHint());
}

RemotePanel::~RemotePanel() = default;

void RemotePanel::refill()
{
    panelChanged(m_oscillator.view());
}

void RemotePanel::panelChanged(const PanelView& view)
{
    m_freq->setText(QString::fromStdString(view.freq));
    m_levelL->setText(QString::fromStdString(view.levelL));
    m_levelR->setText(QString::fromStdString(view.levelR));
    m_memDisplay->setText(QString::fromStdString(view.memDisplay));
    m_on->setColor(LampColour(LampSite::Remote, view.signal));
}

bool RemotePanel::handleKey(QKeyEvent* event)
{
    return HandlePanelKey(m_oscillator, *event);
}

} // namespace kelvo::gui
