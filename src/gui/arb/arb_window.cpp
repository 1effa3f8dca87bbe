#include "gui/arb/arb_window.h"

#include "gui/arb/arb_viewport.h"
#include "gui/arb/fourier_panel.h"
#include "gui/dialogs/list_box.h"
#include "gui/panels/signal_keys.h"
#include "gui/ui/lamp.h"
#include "gui/ui/option_group.h"
#include "gui/ui/value_name.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kelvo::gui {
namespace {

struct ModeKey {
    const char* objectName;
    const char* caption;
    ArbViewport::Mode mode;
};

constexpr ModeKey kModeKeys[] = {
    {"cmdFreehand", "FREEHAND", ArbViewport::Mode::Freehand},
    {"cmdDraw", "DRAW LINE", ArbViewport::Mode::Line},
    {"cmdErase", "ERASER", ArbViewport::Mode::Eraser},
};

QString ModeKeyStyle(bool active)
{
    return active ? QStringLiteral("QPushButton { background: rgb(255, 255, 255); color: black; }")
                  : QStringLiteral("QPushButton { background: rgb(211, 202, 200); color: black; }");
}

} // namespace

ArbWindow::ArbWindow(Oscillator& oscillator, FileDialogs& fileDialogs, QWidget* parent)
    : SetupDialog(oscillator, QStringLiteral("frmArb"), QStringLiteral("ARBITRARY WAVE CONSTRUCTION SET"), parent)
    , m_fileDialogs(fileDialogs)
    , m_observing(oscillator, this)
{
    auto* drawing = new QVBoxLayout;
    drawing->addWidget(makeTools());
    m_view = new ArbViewport(face());
    drawing->addWidget(m_view, 0, Qt::AlignHCenter);
    auto* note = new QLabel(QStringLiteral("Note: Resolution is 400 samples/period and limits THD to ~1% at 1K, -20dB"), face());
    note->setObjectName(QStringLiteral("Label7"));
    note->setProperty("kind", "note");
    drawing->addWidget(note);
    m_fourier = new FourierPanel(
        oscillator, m_fileDialogs, [this](const CurveRows& rows) { drawCurve(rows); },
        [this](const QString& text) { showStatus(text); }, face());
    drawing->addWidget(m_fourier);
    grid()->addLayout(drawing, 0, 0, 9, 1);

    addEntry(0, "txtFreq", "ArbFreq", QStringLiteral("Frequency (Hz, full width)"), {}, 1);
    addEntry(1, "txtLevel", "ArbLevel", QStringLiteral("Level(dBfs, full height)"), {}, 1);
    addEntry(2, "txtSR", "ArbSampleRate", QStringLiteral("Samplerate (samples per second)"), {}, 1);
    addEntry(3, "txtPercent", "ArbPercent", QStringLiteral("Preset amplitude (%)"), {}, 1);
    addEntry(4, "txtCycles", "ArbCycles", QStringLiteral("Cycles across the width"), {}, 1);
    auto* channels = new QVBoxLayout;
    addOptions(channels, "optCH", "ArbChanMode",
               {QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Left + Right"), QStringLiteral("Left - Right")});
    grid()->addLayout(channels, 5, 1, 1, 3);
    grid()->addWidget(makeOutput(), 6, 1, 1, 3);

    auto* listCaption = new QLabel(QStringLiteral("Raw data"), face());
    m_list = MakeDataList(face(), QStringLiteral("List1"), QStringLiteral("Raw data"));
    listCaption->setBuddy(m_list);
    grid()->addWidget(listCaption, 7, 1, 1, 3);
    grid()->addWidget(m_list, 8, 1, 1, 3);
}

ArbWindow::~ArbWindow() = default;

QWidget* ArbWindow::makeTools()
{
    auto* tools = new QWidget(face());
    auto* rows = new QVBoxLayout(tools);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* keys = new QHBoxLayout;
    for (std::size_t i = 0; i < m_modeKeys.size(); ++i) {
        const int mode = static_cast<int>(i);
        m_modeKeys[i] = MakeKey(tools, QString::fromLatin1(kModeKeys[i].objectName), QString::fromLatin1(kModeKeys[i].caption),
                                [this, mode] { chooseMode(mode); });
        keys->addWidget(m_modeKeys[i]);
    }
    keys->addStretch(1);
    keys->addWidget(MakeKey(tools, QStringLiteral("cmdClear"), QStringLiteral("CLEAR VIEWPORT"), [this] { clearViewport(); }));
    keys->addWidget(MakeKey(
        tools, QStringLiteral("cmdSmooth"), QStringLiteral("SHOW SMOOTHED"), [this] { showSmoothed(); },
        tr("Redraw the drawing as one connected curve")));
    rows->addLayout(keys);
    auto* row = new QHBoxLayout;
    row->addWidget(MakeUnit(tools, tr("Eraser")));
    m_eraser = MakeOptionGroup(tools, row, QStringLiteral("OptEraser"),
                               {QStringLiteral("SM"), QStringLiteral("MD"), QStringLiteral("LG")});
    connect(m_eraser, &QButtonGroup::idClicked, this, [this](int id) {
        oscillator().settings().EraserWidth = id * 5 + 1;
        m_view->setEraserWidth(id * 5 + 1);
    });
    row->addSpacing(24);
    row->addWidget(MakeUnit(tools, tr("Line")));
    m_constraint =
        MakeOptionGroup(tools, row, QStringLiteral("Option1"), {QStringLiteral("V"), QStringLiteral("H"), QStringLiteral("Any")});
    connect(m_constraint, &QButtonGroup::idClicked, this,
            [this](int id) { m_view->setConstraint(static_cast<ArbViewport::Constraint>(id)); });
    row->addStretch(1);
    rows->addLayout(row);
    return tools;
}

QWidget* ArbWindow::makeOutput()
{
    auto* output = new QWidget(face());
    auto* rows = new QVBoxLayout(output);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* keys = new QHBoxLayout;
    keys->addWidget(MakeKey(
        output, QStringLiteral("Command1"), QStringLiteral("PLAY"), [this] { play(); },
        tr("Render the drawn period and play it")));
    keys->addWidget(MakeKey(output, QStringLiteral("Command2"), QStringLiteral("STOP"), [this] { stop(); }));
    m_led = new Lamp(output);
    m_led->setObjectName(QStringLiteral("lblPlayLED"));
    m_led->setAccessibleName(tr("Playing"));
    keys->addWidget(m_led);
    keys->addStretch(1);
    rows->addLayout(keys);
    auto* files = new QHBoxLayout;
    files->addWidget(MakeKey(output, QStringLiteral("cmdLoadBMP"), QStringLiteral("LOAD BITMAP"), [this] { loadBitmap(); }));
    files->addWidget(MakeKey(output, QStringLiteral("cmdSaveBMP"), QStringLiteral("SAVE BITMAP"), [this] { saveBitmap(); }));
    files->addWidget(MakeKey(
        output, QStringLiteral("cmdSaveWAV"), QStringLiteral("SAVE WAVFILE"), [this] { saveWaveFile(); },
        tr("Render the drawn period into a wave file")));
    rows->addLayout(files);
    m_status = new QLabel(output);
    m_status->setObjectName(QStringLiteral("lblStat"));
    m_status->setProperty("kind", "status");
    m_status->setWordWrap(true);
    NameByCaption(*m_status, tr("Status"));
    rows->addWidget(m_status);
    return output;
}

void ArbWindow::refill()
{
    SignalSettings& s = oscillator().settings();
    const SignalSettings start;
    s.ArbFreq = start.ArbFreq;
    s.ArbLevel = start.ArbLevel;
    s.ArbSampleRate = start.ArbSampleRate;
    s.ArbChanMode = start.ArbChanMode;
    s.ArbCycles = start.ArbCycles;
    s.ArbPercent = start.ArbPercent;
    s.EraserWidth = start.EraserWidth;
    SetupDialog::refill();
    m_eraser->button(2)->setChecked(true);
    m_view->setEraserWidth(s.EraserWidth);
    m_constraint->button(2)->setChecked(true);
    m_view->setConstraint(ArbViewport::Constraint::Any);
    // A stray drag after reopening must not draw.
    chooseMode(-1);
    m_view->drawGrid();
    m_fourier->refill();
    drawTable();
    m_led->setColor(LampColour(LampSite::Arb, oscillator().view().signal));
}

void ArbWindow::panelChanged(const PanelView& view)
{
    m_led->setColor(LampColour(LampSite::Arb, view.signal));
}

void ArbWindow::chooseMode(int mode)
{
    for (std::size_t i = 0; i < m_modeKeys.size(); ++i)
        m_modeKeys[i]->setStyleSheet(ModeKeyStyle(static_cast<int>(i) == mode));
    if (mode < 0) {
        m_view->setMode(ArbViewport::Mode::None);
        return;
    }
    m_view->setMode(kModeKeys[static_cast<std::size_t>(mode)].mode);
    if (kModeKeys[static_cast<std::size_t>(mode)].mode != ArbViewport::Mode::Eraser)
        m_view->drawGrid();
}

void ArbWindow::clearViewport()
{
    m_view->clear();
    m_list->clear();
    oscillator().settings().ArbTable.fill(0);
}

void ArbWindow::showSmoothed()
{
    digitise();
    m_view->clear();
    m_list->clear();
    drawTable();
}

void ArbWindow::digitise()
{
    oscillator().settings().ArbTable = Digitise(m_view->pixels());
    m_list->clear();
    listValues(0);
}

void ArbWindow::drawCurve(const CurveRows& rows)
{
    m_view->clear();
    m_list->clear();
    m_view->drawCurve(rows);
    digitise();
}

void ArbWindow::drawTable()
{
    CurveRows rows{};
    // A table from a damaged file may hold any integer; the drawing keeps it in reach.
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = std::clamp(oscillator().settings().ArbTable[i], -kCurveRowLimit, kCurveRowLimit);
    m_view->drawCurve(rows);
    m_list->clear();
    listValues(1);
}

void ArbWindow::listValues(int from)
{
    QStringList values;
    values.reserve(kArbTableSize);
    for (int i = from; i < kArbTableSize; ++i)
        values.append(QString::number(oscillator().settings().ArbTable[static_cast<std::size_t>(i)]));
    m_list->addItems(values);
}

void ArbWindow::showStatus(const QString& text)
{
    m_status->setText(text);
}

} // namespace kelvo::gui
