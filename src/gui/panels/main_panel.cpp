#include "gui/panels/main_panel.h"

#include "gui/ui/drag_strip.h"
#include "gui/ui/highlight.h"
#include "gui/ui/lamp.h"
#include "gui/ui/window_frame.h"
#include "settings/signal_codes.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace kelvo::gui {
namespace {

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

QColor Colour(const Rgb& rgb)
{
    return {rgb.red, rgb.green, rgb.blue};
}

template <std::size_t Size>
QWidget* Selected(const std::array<QWidget*, Size>& controls, std::int32_t number)
{
    if (number < 1 || number > static_cast<std::int32_t>(Size))
        return nullptr;
    return controls[static_cast<std::size_t>(number - 1)];
}

} // namespace

MainPanel::MainPanel(Oscillator& oscillator, QWidget* parent)
    : QWidget(parent)
    , m_oscillator(oscillator)
{
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(tr("Kelvo"));
    MakeBorderless(this);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(PanelStyleSheet());

    auto* face = new QGridLayout(this);
    face->setContentsMargins(8, 4, 8, 8);
    face->setSpacing(6);
    face->addWidget(buildTitleRow(), 0, 0, 1, 3);
    face->addWidget(buildWaveforms(), 1, 0);
    face->addWidget(buildDisplay(), 1, 1);
    face->addWidget(buildSignal(), 1, 2, 2, 1);
    face->addWidget(buildModes(), 2, 0);
    face->addWidget(buildFrequency(), 2, 1);
    face->addWidget(buildRateAndBits(), 3, 0);
    face->addWidget(buildLevels(), 3, 1, 1, 2);
    face->addWidget(buildMemories(), 4, 0, 1, 3);
    face->setColumnStretch(1, 1);

    m_shpWave = new Highlight(this);
    m_shpWave->setObjectName(QStringLiteral("shpWave"));
    m_shpMode = new Highlight(this);
    m_shpMode->setObjectName(QStringLiteral("shpMode"));
    m_shpMem = new Highlight(this);
    m_shpMem->setObjectName(QStringLiteral("shpMem"));

    m_oscillator.addObserver(this);
    panelChanged(m_oscillator.view());
}

MainPanel::~MainPanel()
{
    m_oscillator.removeObserver(this);
}

void MainPanel::panelChanged(const PanelView& view)
{
    m_waveform->setText(Text(view.waveform));
    m_freq->setText(Text(view.freq));
    m_mode->setText(Text(view.mode));
    m_phaseL->setText(Text(view.leftPhase));
    m_phaseR->setText(Text(view.rightPhase));
    m_sampleRate->setText(Text(view.sampleRate));
    m_bits->setText(Text(view.bits));
    m_levelL->setText(Text(view.levelL));
    m_levelR->setText(Text(view.levelR));
    m_deltaF->setText(Text(view.deltaF));
    m_deltaV->setText(Text(view.deltaV));
    m_ladj->setText(Text(view.leftAdjust));
    m_radj->setText(Text(view.rightAdjust));
    m_status->setText(Text(view.indicators.status));
    m_play1->setColor(Colour(view.indicators.main));
    m_play2->setColor(Colour(view.indicators.main));
    m_shpWave->moveOnto(Selected(m_waveSelectors, view.waveformCode));
    m_shpMode->moveOnto(Selected(m_modeSelectors, view.modeCode));
    if (QWidget* memory = Selected(m_memoryButtons, view.memHighlight))
        m_shpMem->moveOnto(memory);
}

void MainPanel::keyPressEvent(QKeyEvent* event)
{
    if (m_oscillator.KeyDown(PanelKeyCode(event)))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void MainPanel::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    DrawFrame(painter, rect(), QColor(70, 76, 86));
    if (!m_painted) {
        m_painted = true;
        Q_EMIT firstPainted();
    }
}

void MainPanel::exitProgram()
{
    m_oscillator.Exit();
    Q_EMIT exitRequested();
}

QWidget* MainPanel::buildTitleRow()
{
    auto* row = new QWidget(this);
    row->setProperty("kind", "face");
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(4);
    auto* drag = new DragStrip(tr("KELVO   two-channel test oscillator"), row);
    drag->setObjectName(QStringLiteral("lblDrag"));
    line->addWidget(drag, 1);
    line->addWidget(MakeKey(row, QStringLiteral("lblRemote"), tr("REMOTE"), [this] { Q_EMIT remoteRequested(); },
                            tr("Open the remote panel")));
    line->addWidget(MakeKey(row, QStringLiteral("lblHelp"), tr("HELP"), [this] { Q_EMIT helpRequested(); }));
    line->addWidget(MakeKey(row, QStringLiteral("lblMin"), QStringLiteral("_"), [this] { showMinimized(); },
                            tr("Minimise")));
    line->addWidget(MakeKey(row, QStringLiteral("lblExit"), tr("EXIT"), [this] { exitProgram(); },
                            tr("Save the settings and leave")));
    return row;
}

QWidget* MainPanel::buildWaveforms()
{
    static const char* const kKeyCaptions[] = {"SINE", "SQUARE", "TRI", "SAW", "NOISE", "BURST", "PULSE", "DIRAC",
                                               "2 TONE", "MULTI", "SWEEP", "WARBLE", "AM", "FM", "DSB", "USER"};
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(this, tr("WAVEFORM"), grid);
    const auto waveforms = Waveforms();
    for (std::size_t i = 0; i < waveforms.size(); ++i) {
        const WaveformInfo& info = waveforms[i];
        const auto code = static_cast<std::int32_t>(info.code);
        QWidget* key = MakeKey(group, Text(std::string(info.selector)), QString::fromLatin1(kKeyCaptions[i]),
                               [this, code] { m_oscillator.selectWaveform(code); },
                               Text(std::string(info.caption)));
        m_waveSelectors[i] = key;
        grid->addWidget(key, static_cast<int>(i / 4), static_cast<int>(i % 4));
    }
    return group;
}

QWidget* MainPanel::buildDisplay()
{
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(this, tr("DISPLAY"), grid);
    m_waveform = MakeDisplay(group, QStringLiteral("lblWaveform"), "name");
    m_freq = std::make_unique<EntryField>(group, QStringLiteral("lblFreq"), QStringLiteral("txtFreq"), "big");
    m_freq->label()->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_freq->connect(
        [this] {
            if (const auto text = m_oscillator.lblFreq_Click())
                m_freq->open(Text(*text));
            else
                m_freq->close();
        },
        [this](const QString& text) { m_oscillator.txtFreq_Enter(text.toStdString()); });
    grid->addWidget(m_waveform, 0, 0, 1, 3);
    grid->addWidget(m_freq->widget(), 0, 3, 1, 3);

    m_levelL = std::make_unique<EntryField>(group, QStringLiteral("lblLdB"), QStringLiteral("txtLdB"), "value");
    m_levelL->connect([this] { m_levelL->open(m_levelL->label()->text()); },
                      [this](const QString& text) { m_oscillator.txtLdB_Enter(text.toStdString()); });
    m_levelR = std::make_unique<EntryField>(group, QStringLiteral("lblRdB"), QStringLiteral("txtRdB"), "value");
    m_levelR->connect([this] { m_levelR->open(m_levelR->label()->text()); },
                      [this](const QString& text) { m_oscillator.txtRdB_Enter(text.toStdString()); });
    m_phaseL = std::make_unique<EntryField>(group, QStringLiteral("lblLdeg"), QStringLiteral("txtLdeg"), "value");
    m_phaseL->connect(
        [this] {
            if (const auto text = m_oscillator.lblLdeg_Click())
                m_phaseL->open(Text(*text));
        },
        [this](const QString& text) { m_oscillator.txtLdeg_Enter(text.toStdString()); });
    m_phaseR = std::make_unique<EntryField>(group, QStringLiteral("lblRdeg"), QStringLiteral("txtRdeg"), "value");
    m_phaseR->connect(
        [this] {
            if (const auto text = m_oscillator.lblRdeg_Click())
                m_phaseR->open(Text(*text));
        },
        [this](const QString& text) { m_oscillator.txtRdeg_Enter(text.toStdString()); });
    grid->addWidget(MakeUnit(group, tr("L")), 1, 0);
    grid->addWidget(m_levelL->widget(), 1, 1);
    grid->addWidget(m_phaseL->widget(), 1, 2);
    grid->addWidget(MakeUnit(group, tr("R")), 1, 3);
    grid->addWidget(m_levelR->widget(), 1, 4);
    grid->addWidget(m_phaseR->widget(), 1, 5);

    m_sampleRate = std::make_unique<EntryField>(group, QStringLiteral("lblSR"), QStringLiteral("txtSR"), "value");
    m_sampleRate->connect([this] { m_sampleRate->open(m_sampleRate->label()->text()); },
                          [this](const QString& text) { m_oscillator.txtSR_Enter(text.toStdString()); });
    m_bits = MakeDisplay(group, QStringLiteral("lblBits"), "value");
    m_mode = MakeDisplay(group, QStringLiteral("lblMode"), "value");
    grid->addWidget(MakeUnit(group, tr("SR")), 2, 0);
    grid->addWidget(m_sampleRate->widget(), 2, 1);
    grid->addWidget(MakeUnit(group, tr("Hz")), 2, 2, Qt::AlignLeft);
    grid->addWidget(m_bits, 2, 3);
    grid->addWidget(MakeUnit(group, tr("bit")), 2, 4, Qt::AlignLeft);
    grid->addWidget(m_mode, 2, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(4, 1);
    grid->setColumnStretch(5, 1);
    return group;
}

QWidget* MainPanel::buildSignal()
{
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(this, tr("SIGNAL"), grid);
    m_play1 = new Lamp(group);
    m_play1->setObjectName(QStringLiteral("lblPlay1"));
    m_play2 = new Lamp(group);
    m_play2->setObjectName(QStringLiteral("lblPlay2"));
    grid->addWidget(m_play1, 0, 0, Qt::AlignCenter);
    grid->addWidget(m_play2, 0, 1, Qt::AlignCenter);
    QLabel* on = MakeKey(group, QStringLiteral("lblSigOn"), tr("ON"), [this] { m_oscillator.lblSigOn_Click(); },
                         tr("Start the signal (Enter)"));
    on->setProperty("kind", "key-on");
    grid->addWidget(on, 1, 0);
    grid->addWidget(MakeKey(group, QStringLiteral("lblSigOff"), tr("OFF"), [this] { m_oscillator.StopSig(); },
                            tr("Stop the signal (Esc)")),
                    1, 1);
    m_status = new QLabel(group);
    m_status->setObjectName(QStringLiteral("lblStat"));
    m_status->setProperty("kind", "status");
    m_status->setWordWrap(true);
    grid->addWidget(m_status, 2, 0, 1, 2);
    grid->addWidget(MakeKey(group, QStringLiteral("lblCfgSig"), tr("CFG SIG"),
                            [this] {
                                const std::string_view dialog = m_oscillator.lblCfgSig_Click();
                                if (!dialog.empty())
                                    Q_EMIT setupRequested(Text(std::string(dialog)));
                            },
                            tr("Set up the current waveform")),
                    3, 0, 1, 2);
    grid->addWidget(MakeKey(group, QStringLiteral("lblCfgOsc"), tr("CFG OSC"),
                            [this] { Q_EMIT oscillatorSetupRequested(); }, tr("Oscillator setup")),
                    4, 0, 1, 2);
    return group;
}

QWidget* MainPanel::buildModes()
{
    static const char* const kKeyCaptions[] = {"L", "R", "L+R", "L-R", "QUAD", "USER"};
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(this, tr("MODE"), grid);
    const auto modes = ChannelModes();
    for (std::size_t i = 0; i < modes.size(); ++i) {
        const auto code = static_cast<std::int32_t>(modes[i].code);
        QWidget* key = MakeKey(group, Text(std::string(modes[i].selector)), QString::fromLatin1(kKeyCaptions[i]),
                               [this, code] { m_oscillator.selectMode(code); }, Text(std::string(modes[i].caption)));
        m_modeSelectors[i] = key;
        grid->addWidget(key, 0, static_cast<int>(i));
    }
    return group;
}

QWidget* MainPanel::buildFrequency()
{
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(this, tr("FREQUENCY"), grid);
    grid->addWidget(MakeKey(group, QStringLiteral("lblFdn"), QStringLiteral("\u25C0"),
                            [this] { m_oscillator.lblFdn_Click(); }, tr("Frequency down (Left)")),
                    0, 0);
    grid->addWidget(MakeKey(group, QStringLiteral("lblFup"), QStringLiteral("\u25B6"),
                            [this] { m_oscillator.lblFup_Click(); }, tr("Frequency up (Right)")),
                    0, 1);
    grid->addWidget(MakeUnit(group, tr("step")), 0, 2, Qt::AlignRight);
    grid->addWidget(MakeKey(group, QStringLiteral("lblDFdn"), QStringLiteral("\u2212"),
                            [this] { m_oscillator.lblDFdn_Click(); }, tr("Smaller frequency step")),
                    0, 3);
    m_deltaF = MakeDisplay(group, QStringLiteral("lblDeltaF"), "small");
    m_deltaF->setMinimumWidth(m_deltaF->fontMetrics().horizontalAdvance(QStringLiteral("1000 Hz")) + 16);
    grid->addWidget(m_deltaF, 0, 4);
    grid->addWidget(MakeKey(group, QStringLiteral("lblDFup"), QStringLiteral("+"),
                            [this] { m_oscillator.lblDFup_Click(); }, tr("Larger frequency step")),
                    0, 5);
    grid->setColumnStretch(2, 1);
    return group;
}

QWidget* MainPanel::buildRateAndBits()
{
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(this, tr("SAMPLE RATE   /   BITS"), grid);
    grid->addWidget(MakeUnit(group, tr("SR")), 0, 0);
    grid->addWidget(MakeKey(group, QStringLiteral("lblSRdn"), QStringLiteral("\u2212"),
                            [this] { m_oscillator.lblSRdn_Click(); }, tr("Lower sample rate")),
                    0, 1);
    grid->addWidget(MakeKey(group, QStringLiteral("lblSRup"), QStringLiteral("+"),
                            [this] { m_oscillator.lblSRup_Click(); }, tr("Higher sample rate")),
                    0, 2);
    grid->setColumnStretch(3, 1);
    grid->addWidget(MakeUnit(group, tr("BITS")), 0, 4);
    grid->addWidget(MakeKey(group, QStringLiteral("lblBitsDn"), QStringLiteral("\u2212"),
                            [this] { m_oscillator.lblBits_Click(); }, tr("16 bits")),
                    0, 5);
    grid->addWidget(MakeKey(group, QStringLiteral("lblBitsUp"), QStringLiteral("+"),
                            [this] { m_oscillator.lblBits_Click(); }, tr("16 bits")),
                    0, 6);
    return group;
}

QWidget* MainPanel::buildLevels()
{
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(this, tr("LEVEL"), grid);
    grid->addWidget(MakeKey(group, QStringLiteral("lblVdn"), QStringLiteral("\u25BC"),
                            [this] { m_oscillator.lblVdn_Click(); }, tr("Level down (Down)")),
                    0, 0);
    grid->addWidget(MakeKey(group, QStringLiteral("lblVup"), QStringLiteral("\u25B2"),
                            [this] { m_oscillator.lblVup_Click(); }, tr("Level up (Up)")),
                    0, 1);
    grid->addWidget(MakeUnit(group, tr("step")), 0, 2, Qt::AlignRight);
    grid->addWidget(MakeKey(group, QStringLiteral("lblDVdn"), QStringLiteral("\u2212"),
                            [this] { m_oscillator.lblDVdn_Click(); }, tr("Smaller level step")),
                    0, 3);
    m_deltaV = MakeDisplay(group, QStringLiteral("lblDeltaV"), "small");
    m_deltaV->setMinimumWidth(m_deltaV->fontMetrics().horizontalAdvance(QStringLiteral("0.1 dB")) + 16);
    grid->addWidget(m_deltaV, 0, 4);
    grid->addWidget(MakeKey(group, QStringLiteral("lblDVup"), QStringLiteral("+"),
                            [this] { m_oscillator.lblDVup_Click(); }, tr("Larger level step")),
                    0, 5);
    grid->setColumnMinimumWidth(6, 12);
    m_ladj = MakeDisplay(group, QStringLiteral("lblLadj"), "small");
    m_radj = MakeDisplay(group, QStringLiteral("lblRadj"), "small");
    grid->addWidget(MakeKey(group, QStringLiteral("lblLadjSet"), tr("L"), [this] { m_oscillator.lblLadjSet_Click(); },
                            tr("Lock or free the left level")),
                    0, 7);
    grid->addWidget(m_ladj, 0, 8);
    grid->addWidget(MakeKey(group, QStringLiteral("lblRadjSet"), tr("R"), [this] { m_oscillator.lblRadjSet_Click(); },
                            tr("Lock or free the right level")),
                    0, 9);
    grid->addWidget(m_radj, 0, 10);
    grid->setColumnStretch(2, 1);
    return group;
}

QWidget* MainPanel::buildMemories()
{
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(this, tr("MEMORY"), grid);
    grid->addWidget(MakeKey(group, QStringLiteral("lblMem"), tr("STORE"), [this] { m_oscillator.lblMem_Click(); },
                            tr("Store the signal into the selected memory")),
                    0, 0);
    grid->setColumnMinimumWidth(1, 16);
    for (int k = 1; k <= kMemoryCount; ++k) {
        QWidget* key = MakeKey(group, QStringLiteral("lblMemLoad(%1)").arg(k), QString::number(k),
                               [this, k] { m_oscillator.lblMemLoad_Click(k); }, tr("Recall memory %1 (F%1)").arg(k));
        m_memoryButtons[static_cast<std::size_t>(k - 1)] = key;
        grid->addWidget(key, 0, k + 1);
    }
    return group;
}

} // namespace kelvo::gui
