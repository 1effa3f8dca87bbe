#include "gui/panels/main_panel.h"

#include "core/settings/field_registry.h"
#include "core/settings/signal_codes.h"
#include "core/settings/text_rules.h"
#include "gui/panels/signal_keys.h"
#include "gui/ui/highlight.h"
#include "gui/ui/lamp.h"
#include "gui/ui/value_name.h"

#include <QGridLayout>
#include <QHBoxLayout>

namespace kelvo::gui {
namespace {

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

// A number as the displays show it, with its unit.
QString Shown(double value, const std::string& unit = {})
{
    return Text(FormatNumber(value) + unit);
}

template <std::size_t Size> QWidget* Selected(const std::array<QWidget*, Size>& controls, std::int32_t number)
{
    if (number < 1 || number > static_cast<std::int32_t>(Size))
        return nullptr;
    return controls[static_cast<std::size_t>(number - 1)];
}

} // namespace

MainPanel::MainPanel(Oscillator& oscillator, QWidget* parent)
    : BorderlessWindow(QStringLiteral("Main"), tr("KELVO   two-channel test oscillator"), parent)
    , m_oscillator(oscillator)
{
    setStyleSheet(PanelStyleSheet());
    buildTitleKeys();

    auto* grid = new QGridLayout(face());
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(6);
    grid->addWidget(buildWaveforms(), 0, 0);
    grid->addWidget(buildDisplay(), 0, 1);
    grid->addWidget(buildSignal(), 0, 2, 2, 1);
    grid->addWidget(buildModes(), 1, 0);
    grid->addWidget(buildFrequency(), 1, 1);
    grid->addWidget(buildRateAndBits(), 2, 0);
    grid->addWidget(buildLevels(), 2, 1, 1, 2);
    grid->addWidget(buildMemories(), 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    m_shpWave = new Highlight(this);
    m_shpWave->setObjectName(QStringLiteral("shpWave"));
    m_shpMode = new Highlight(this);
    m_shpMode->setObjectName(QStringLiteral("shpMode"));
    m_shpMem = new Highlight(this);
    m_shpMem->setObjectName(QStringLiteral("shpMem"));
    refill();
}

MainPanel::~MainPanel() = default;

void MainPanel::refill()
{
    panelChanged(m_oscillator.view());
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
    m_status->setText(Text(PanelStatusLine(view)));
    m_play1->setColor(LampColour(LampSite::Panel, view.signal));
    m_play2->setColor(LampColour(LampSite::Panel, view.signal));
    m_freq->setEditable(m_oscillator.panel().frequencyEditable());
    m_phaseL->setEditable(m_oscillator.panel().phasesEditable());
    m_phaseR->setEditable(m_oscillator.panel().phasesEditable());
    m_shpWave->moveOnto(Selected(m_waveSelectors, view.waveformCode));
    m_shpMode->moveOnto(Selected(m_modeSelectors, view.modeCode));
    if (QWidget* memory = Selected(m_memoryButtons, view.memHighlight))
        m_shpMem->moveOnto(memory);
}

bool MainPanel::handleKey(QKeyEvent* event)
{
    return HandlePanelKey(m_oscillator, *event);
}

void MainPanel::exitProgram()
{
    m_oscillator.Exit();
    Q_EMIT exitRequested();
}

void MainPanel::buildTitleKeys()
{
    titleRow()->addWidget(MakeKey(
        this, QStringLiteral("lblRemote"), tr("REMOTE"), [this] { Q_EMIT remoteRequested(); }, tr("Open the remote panel")));
    titleRow()->addWidget(MakeKey(this, QStringLiteral("lblHelp"), tr("HELP"), [this] { Q_EMIT helpRequested(); }));
    titleRow()->addWidget(MakeKey(
        this, QStringLiteral("lblMin"), QStringLiteral("_"), [this] { showMinimized(); }, tr("Minimise"), tr("Minimise")));
    titleRow()->addWidget(MakeKey(
        this, QStringLiteral("lblExit"), tr("EXIT"), [this] { exitProgram(); }, tr("Save the settings and leave")));
}

QWidget* MainPanel::buildWaveforms()
{
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(face(), tr("WAVEFORM"), grid);
    const auto keys = WaveformKeys();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const WaveformKey& key = keys[i];
        const auto code = static_cast<std::int32_t>(key.code);
        QWidget* selector = MakeKey(
            group, QString::fromLatin1(key.objectName), QString::fromLatin1(key.caption),
            [this, code] { m_oscillator.panel().selectWaveform(code); }, Text(std::string(WaveformFor(code).caption)));
        m_waveSelectors[i] = selector;
        grid->addWidget(selector, static_cast<int>(i / 4), static_cast<int>(i % 4));
    }
    return group;
}

QWidget* MainPanel::buildDisplay()
{
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(face(), tr("DISPLAY"), grid);
    m_waveform = MakeDisplay(group, QStringLiteral("lblWaveform"), "name");
    NameByCaption(*m_waveform, tr("Waveform"));
    m_freq = std::make_unique<EntryField>(group, QStringLiteral("lblFreq"), QStringLiteral("txtFreq"), "big", tr("Frequency"));
    m_freq->connect(
        [this] {
            if (const auto text = m_oscillator.panel().frequencyBoxText())
                m_freq->open(Text(*text));
            else
                m_freq->close();
        },
        [this](const QString& text) { m_oscillator.panel().takeFrequency(text.toStdString()); });
    grid->addWidget(m_waveform, 0, 0, 1, 3);
    grid->addWidget(m_freq->widget(), 0, 3, 1, 3);

    m_levelL = std::make_unique<EntryField>(group, QStringLiteral("lblLdB"), QStringLiteral("txtLdB"), "value", tr("Left level"));
    m_levelL->connect([this] { m_levelL->open(m_levelL->label()->text()); },
                      [this](const QString& text) { m_oscillator.panel().takeLeftLevel(text.toStdString()); });
    m_levelR =
        std::make_unique<EntryField>(group, QStringLiteral("lblRdB"), QStringLiteral("txtRdB"), "value", tr("Right level"));
    m_levelR->connect([this] { m_levelR->open(m_levelR->label()->text()); },
                      [this](const QString& text) { m_oscillator.panel().takeRightLevel(text.toStdString()); });
    m_phaseL =
        std::make_unique<EntryField>(group, QStringLiteral("lblLdeg"), QStringLiteral("txtLdeg"), "value", tr("Left phase"));
    m_phaseL->connect(
        [this] {
            if (const auto text = m_oscillator.panel().leftPhaseBoxText())
                m_phaseL->open(Text(*text));
        },
        [this](const QString& text) { m_oscillator.panel().takeLeftPhase(text.toStdString()); });
    m_phaseR =
        std::make_unique<EntryField>(group, QStringLiteral("lblRdeg"), QStringLiteral("txtRdeg"), "value", tr("Right phase"));
    m_phaseR->connect(
        [this] {
            if (const auto text = m_oscillator.panel().rightPhaseBoxText())
                m_phaseR->open(Text(*text));
        },
        [this](const QString& text) { m_oscillator.panel().takeRightPhase(text.toStdString()); });
    grid->addWidget(MakeUnit(group, tr("L")), 1, 0);
    grid->addWidget(m_levelL->widget(), 1, 1);
    grid->addWidget(m_phaseL->widget(), 1, 2);
    grid->addWidget(MakeUnit(group, tr("R")), 1, 3);
    grid->addWidget(m_levelR->widget(), 1, 4);
    grid->addWidget(m_phaseR->widget(), 1, 5);

    m_sampleRate =
        std::make_unique<EntryField>(group, QStringLiteral("lblSR"), QStringLiteral("txtSR"), "value", tr("Sample rate"));
    m_sampleRate->connect([this] { m_sampleRate->open(m_sampleRate->label()->text()); },
                          [this](const QString& text) { m_oscillator.panel().takeSampleRate(text.toStdString()); });
    m_bits = MakeDisplay(group, QStringLiteral("lblBits"), "value");
    m_mode = MakeDisplay(group, QStringLiteral("lblMode"), "value");
    NameByCaption(*m_bits, tr("Bits"));
    NameByCaption(*m_mode, tr("Channel mode"));
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

    // Every display holds its longest text from the start, so nothing moves as texts change.
    QStringList names;
    for (const WaveformInfo& info : Waveforms())
        names << Text(std::string(info.name)) << Text(std::string(info.caption));
    HoldWidest(m_waveform, names);
    QStringList modes;
    for (const ChannelModeInfo& info : ChannelModes())
        modes << Text(std::string(info.caption));
    HoldWidest(m_mode, modes);
    HoldWidest(m_freq->label(), {QStringLiteral("19999.99/19999 Hz")});
    // A range is widest near its far end: a hundredth inside it, with two decimals.
    constexpr double kHundredth = 0.01;
    HoldWidest(m_levelL->label(), LevelCaptions());
    HoldWidest(m_levelR->label(), LevelCaptions());
    HoldWidest(m_phaseL->label(), {Shown(FindField("PhaseL")->max - kHundredth, " deg")});
    HoldWidest(m_phaseR->label(), {Shown(FindField("PhaseR")->max - kHundredth, " deg")});
    HoldWidest(m_sampleRate->label(), {Shown(FindField("SampleRate")->max)});
    // "32f" shows in the width the display always had, within its side padding, so the
    // panel keeps its size.
    m_bits->setStyleSheet(QStringLiteral("padding-left: 0px; padding-right: 0px;"));
    HoldWidest(m_bits, {QStringLiteral("32")});
    return group;
}

QWidget* MainPanel::buildSignal()
{
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(face(), tr("SIGNAL"), grid);
    m_play1 = new Lamp(group);
    m_play1->setObjectName(QStringLiteral("lblPlay1"));
    m_play2 = new Lamp(group);
    m_play2->setObjectName(QStringLiteral("lblPlay2"));
    grid->addWidget(m_play1, 0, 0, Qt::AlignCenter);
    grid->addWidget(m_play2, 0, 1, Qt::AlignCenter);
    QWidget* on = MakeKey(
        group, QStringLiteral("lblSigOn"), tr("ON"), [this] { m_oscillator.panel().switchOn(); }, tr("Start the signal (Enter)"));
    on->setProperty("kind", "key-on");
    grid->addWidget(on, 1, 0);
    grid->addWidget(
        MakeKey(
            group, QStringLiteral("lblSigOff"), tr("OFF"), [this] { m_oscillator.stopSignal(); }, tr("Stop the signal (Esc)")),
        1, 1);
    m_status = new QLabel(group);
    m_status->setObjectName(QStringLiteral("lblStat"));
    m_status->setProperty("kind", "status");
    m_status->setWordWrap(true);
    NameByCaption(*m_status, tr("Status"));
    HoldWidest(m_status, {QStringLiteral("a playlist entry's name")});
    grid->addWidget(m_status, 2, 0, 1, 2);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblCfgSig"), tr("CFG SIG"),
                        [this] {
                            const std::int32_t waveform = m_oscillator.settings().Waveform[0];
                            if (const auto window = SetupWindowFor(waveform))
                                Q_EMIT setupRequested(*window);
                            else
                                m_status->setText(
                                    tr("%1 has no settings of its own").arg(Text(std::string(WaveformFor(waveform).name))));
                        },
                        tr("Set up the current waveform")),
                    3, 0, 1, 2);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblCfgOsc"), tr("CFG OSC"), [this] { Q_EMIT oscillatorSetupRequested(); },
                        tr("Oscillator setup")),
                    4, 0, 1, 2);
    return group;
}

QWidget* MainPanel::buildModes()
{
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(face(), tr("MODE"), grid);
    const auto keys = ModeKeys();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto code = static_cast<std::int32_t>(keys[i].code);
        QWidget* selector = MakeKey(
            group, QString::fromLatin1(keys[i].objectName), QString::fromLatin1(keys[i].caption),
            [this, code] { m_oscillator.panel().selectMode(code); }, Text(std::string(ChannelModeFor(code).caption)));
        m_modeSelectors[i] = selector;
        grid->addWidget(selector, 0, static_cast<int>(i));
    }
    return group;
}

QWidget* MainPanel::buildFrequency()
{
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(face(), tr("FREQUENCY"), grid);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblFdn"), QStringLiteral("\u25C0"),
                        [this] { m_oscillator.panel().frequencyDown(); }, tr("Frequency down (Left)")),
                    0, 0);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblFup"), QStringLiteral("\u25B6"), [this] { m_oscillator.panel().frequencyUp(); },
                        tr("Frequency up (Right)")),
                    0, 1);
    grid->addWidget(MakeUnit(group, tr("step")), 0, 2, Qt::AlignRight);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblDFdn"), QStringLiteral("\u2212"),
                        [this] { m_oscillator.panel().frequencyStepDown(); }, tr("Smaller frequency step")),
                    0, 3);
    m_deltaF = MakeDisplay(group, QStringLiteral("lblDeltaF"), "small");
    NameByCaption(*m_deltaF, tr("Frequency step"));
    HoldWidest(m_deltaF, {QStringLiteral("1000 Hz")});
    grid->addWidget(m_deltaF, 0, 4);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblDFup"), QStringLiteral("+"), [this] { m_oscillator.panel().frequencyStepUp(); },
                        tr("Larger frequency step")),
                    0, 5);
    grid->setColumnStretch(2, 1);
    return group;
}

QWidget* MainPanel::buildRateAndBits()
{
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(face(), tr("SAMPLE RATE   /   BITS"), grid);
    grid->addWidget(MakeUnit(group, tr("SR")), 0, 0);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblSRdn"), QStringLiteral("\u2212"),
                        [this] { m_oscillator.panel().sampleRateDown(); }, tr("Lower sample rate")),
                    0, 1);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblSRup"), QStringLiteral("+"), [this] { m_oscillator.panel().sampleRateUp(); },
                        tr("Higher sample rate")),
                    0, 2);
    grid->setColumnStretch(3, 1);
    grid->addWidget(MakeUnit(group, tr("BITS")), 0, 4);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblBitsDn"), QStringLiteral("\u2212"), [this] { m_oscillator.panel().bitsDown(); },
                        tr("Fewer bits: 32 float, 24, 16")),
                    0, 5);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblBitsUp"), QStringLiteral("+"), [this] { m_oscillator.panel().bitsUp(); },
                        tr("More bits: 16, 24, 32 float")),
                    0, 6);
    return group;
}

QWidget* MainPanel::buildLevels()
{
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(face(), tr("LEVEL"), grid);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblVdn"), QStringLiteral("\u25BC"), [this] { m_oscillator.panel().levelDown(); },
                        tr("Level down (Down)")),
                    0, 0);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblVup"), QStringLiteral("\u25B2"), [this] { m_oscillator.panel().levelUp(); },
                        tr("Level up (Up)")),
                    0, 1);
    grid->addWidget(MakeUnit(group, tr("step")), 0, 2, Qt::AlignRight);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblDVdn"), QStringLiteral("\u2212"),
                        [this] { m_oscillator.panel().levelStepDown(); }, tr("Smaller level step")),
                    0, 3);
    m_deltaV = MakeDisplay(group, QStringLiteral("lblDeltaV"), "small");
    NameByCaption(*m_deltaV, tr("Level step"));
    HoldWidest(m_deltaV, {QStringLiteral("0.1 dB")});
    grid->addWidget(m_deltaV, 0, 4);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblDVup"), QStringLiteral("+"), [this] { m_oscillator.panel().levelStepUp(); },
                        tr("Larger level step")),
                    0, 5);
    grid->setColumnMinimumWidth(6, 12);
    m_ladj = MakeDisplay(group, QStringLiteral("lblLadj"), "small");
    m_radj = MakeDisplay(group, QStringLiteral("lblRadj"), "small");
    NameByCaption(*m_ladj, tr("Left level lock"));
    NameByCaption(*m_radj, tr("Right level lock"));
    HoldWidest(m_ladj, {QStringLiteral("L locked")});
    HoldWidest(m_radj, {QStringLiteral("R locked")});
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblLadjSet"), tr("L"), [this] { m_oscillator.panel().toggleLeftLevelLock(); },
                        tr("Lock or free the left level")),
                    0, 7);
    grid->addWidget(m_ladj, 0, 8);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblRadjSet"), tr("R"), [this] { m_oscillator.panel().toggleRightLevelLock(); },
                        tr("Lock or free the right level")),
                    0, 9);
    grid->addWidget(m_radj, 0, 10);
    grid->setColumnStretch(2, 1);
    return group;
}

QWidget* MainPanel::buildMemories()
{
    QGridLayout* grid = nullptr;
    QWidget* group = MakeGroup(face(), tr("MEMORY"), grid);
    grid->addWidget(MakeKey(
                        group, QStringLiteral("lblMem"), tr("STORE"), [this] { m_oscillator.memories().storeMemory(); },
                        tr("Store the signal into the selected memory")),
                    0, 0);
    grid->setColumnMinimumWidth(1, 16);
    for (int k = 1; k <= kMemoryCount; ++k) {
        QWidget* key = MakeKey(
            group, QStringLiteral("lblMemLoad(%1)").arg(k), QString::number(k),
            [this, k] { m_oscillator.memories().recallMemory(k); }, tr("Recall memory %1 (F%1)").arg(k));
        m_memoryButtons[static_cast<std::size_t>(k - 1)] = key;
        grid->addWidget(key, 0, k + 1);
    }
    return group;
}

} // namespace kelvo::gui
