#include "gui/dialogs/osc_setup.h"

#include "core/settings/entry_rules.h"
#include "core/settings/field_registry.h"
#include "core/settings/memory_table.h"
#include "core/settings/setup_file.h"
#include "core/settings/text_rules.h"
#include "gui/dialogs/list_box.h"
#include "gui/panels/panel_parts.h"
#include "gui/ui/option_group.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include <cmath>
#include <utility>

namespace kelvo::gui {
namespace {

const QString kSetupFiles = QStringLiteral("Setup Files|*.ini;");
const QString kWaveFiles = QStringLiteral("Wave Files|*.wav;");
const QString kUncalibratedNote =
    QStringLiteral("dBu, dBV and volts need a calibration: play the tone and type each output's meter reading");

// The memory table: read-only, in the system's fixed-pitch font, wide enough for a whole line.
QPlainTextEdit* MakeTable(QWidget* parent)
{
    QPlainTextEdit* table = MakeListBox(parent, QStringLiteral("Text4"), QStringLiteral("Memory table"));
    table->setReadOnly(true);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // The list box's style sheet names its font; this one takes the system's instead.
    table->setStyleSheet(table->styleSheet() + QStringLiteral("QPlainTextEdit { font-family: \"%1\"; font-size: %2pt; }")
                                                   .arg(fixed.family())
                                                   .arg(fixed.pointSize() > 0 ? fixed.pointSize() : 10));
    table->ensurePolished();
    const QFontMetrics metrics(table->font());
    table->setMinimumWidth(metrics.horizontalAdvance(QString(80, QLatin1Char('0'))) + 24);
    table->setMinimumHeight(metrics.lineSpacing() * 15);
    return table;
}

QLabel* MakeNote(QWidget* parent, const QString& text)
{
    auto* note = new QLabel(text, parent);
    note->setProperty("kind", "note");
    note->setWordWrap(true);
    return note;
}

// A caption beside a control, read aloud as the control's name.
QLabel* MakeCaption(QWidget* parent, const QString& text, QWidget* buddy)
{
    auto* caption = new QLabel(text, parent);
    caption->setProperty("kind", "note");
    caption->setBuddy(buddy);
    return caption;
}

} // namespace

OscSetup::OscSetup(Oscillator& oscillator, FileDialogs& fileDialogs, OutputDeviceLister listDevices, QWidget* parent)
    : SetupDialog(oscillator, QStringLiteral("frmOscSetup"), QStringLiteral("OSCILLATOR SETUP:"), parent)
    , m_fileDialogs(fileDialogs)
    , m_listDevices(std::move(listDevices))
{
    m_table = MakeTable(face());
    grid()->addWidget(m_table, 0, 0, 1, 3);
    grid()->addWidget(makeFileKeys(), 1, 0);
    grid()->addWidget(makeDeviceList(), 1, 1, 1, 2);
    grid()->addWidget(makeCheck(face(), "chkPlaydriver", "LegacyDriver", QStringLiteral("Use Legacy Multimedia playback driver")),
                      2, 0);
    grid()->addWidget(makeRemoteOptions(), 2, 1, 1, 2);
    grid()->addWidget(makeLengthOptions(), 3, 0, 1, 3);
    // Filled when shown: listing the devices takes a while and happens once per opening.
}

QWidget* OscSetup::makeFileKeys()
{
    auto* keys = new QWidget(face());
    auto* column = new QVBoxLayout(keys);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(MakeKey(
        keys, QStringLiteral("cmdLoad"), QStringLiteral("Load Setup"), [this] { loadSetup(); },
        tr("Load all memories, the steps, the device and the length from a setup file")));
    column->addWidget(MakeKey(
        keys, QStringLiteral("cmdSave"), QStringLiteral("Save Setup"), [this] { saveSetup(); },
        tr("Save all memories, the steps, the device and the length to a setup file")));
    QLabel* setupNote = MakeNote(keys, QStringLiteral("Setup  all memory Configs."));
    setupNote->setObjectName(QStringLiteral("Label4"));
    column->addWidget(setupNote);
    column->addWidget(MakeKey(
        keys, QStringLiteral("cmdReset"), QStringLiteral("Reset to Defaults"), [this] { resetToDefaults(); },
        tr("Delete the settings files and close the program; it starts afresh next time")));
    column->addWidget(MakeKey(
        keys, QStringLiteral("cmdSaveWav"), QStringLiteral("Save Wavefile"), [this] { saveWavefile(); },
        tr("Save the last rendered signal as a wave file")));
    column->addWidget(MakeNote(keys, QStringLiteral("Save current Signal wav to unique file")));
    column->addStretch(1);
    // In the room below the keys, so that the window grows no taller.
    column->addWidget(makeQualityOptions());
    return keys;
}

QWidget* OscSetup::makeDeviceList()
{
    auto* area = new QWidget(face());
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    const QString label = QStringLiteral("Playback Output Device");
    m_devices = new QListWidget(area);
    m_devices->setObjectName(QStringLiteral("List1"));
    m_devices->setAccessibleName(label);
    m_devices->setSelectionMode(QAbstractItemView::SingleSelection);
    m_devices->setMinimumHeight(60);
    m_devices->setStyleSheet(QStringLiteral("QListWidget { background: #0d1a12; color: #ffffff; border: 1px solid "
                                            "#ffb000; } QListWidget::item:selected { background: #805800; }"));
    // A double click or Enter chooses; a single click only selects.
    m_devices->installEventFilter(this);
    m_devices->viewport()->installEventFilter(this);
    column->addWidget(MakeCaption(area, label, m_devices));
    column->addWidget(m_devices, 1);
    m_deviceNote = MakeNote(area, {});
    column->addWidget(m_deviceNote);

    auto* chosen = new QHBoxLayout;
    const QString deviceLabel = QStringLiteral("Output device");
    m_device = new QLineEdit(area);
    m_device->setObjectName(QStringLiteral("Text5"));
    m_device->setAccessibleName(deviceLabel);
    m_device->setReadOnly(true);
    m_device->setMaximumWidth(m_device->fontMetrics().horizontalAdvance(QStringLiteral("-32768")) * 2);
    chosen->addWidget(MakeCaption(area, deviceLabel, m_device));
    chosen->addWidget(m_device);
    chosen->addStretch(1);
    column->addLayout(chosen);
    column->addWidget(makeLevelOptions());
    return area;
}

QWidget* OscSetup::makeLevelOptions()
{
    QGridLayout* rows = nullptr;
    QWidget* group = MakeGroup(face(), tr("Output calibration"), rows);
    rows->setContentsMargins(6, 0, 6, 2);
    rows->setVerticalSpacing(2);
    rows->addWidget(MakeKey(
                        group, QStringLiteral("cmdCalTone"), tr("Calibration tone"),
                        [this] {
                            m_toneLevel = oscillator().playCalibrationTone();
                            refillLevelOptions();
                        },
                        tr("Play a 1 kHz sine at -20 dB on both outputs, to read on a meter")),
                    0, 0, 1, 2);
    QCheckBox* rms = makeCheck(group, "chkRmsLevels", "LevelReference", tr("RMS levels"));
    rms->setToolTip(tr("Make every steady waveform as loud (RMS) as the sine at the same level"));
    rows->addWidget(rms, 0, 2, 1, 2);

    // The meter's readings of the tone; each output's 0 dB voltage follows from them.
    const std::pair<QLineEdit**, Channel> meters[] = {{&m_meterL, Channel::Left}, {&m_meterR, Channel::Right}};
    int column = 0;
    for (const auto& meter : meters) {
        QLineEdit** box = meter.first;
        const Channel channel = meter.second;
        const QString label = channel == Channel::Left ? tr("Meter L (V)") : tr("R (V)");
        *box = new QLineEdit(group);
        (*box)->setObjectName(channel == Channel::Left ? QStringLiteral("txtMeterL") : QStringLiteral("txtMeterR"));
        (*box)->setAccessibleName(channel == Channel::Left ? tr("Meter reading left (V)") : tr("Meter reading right (V)"));
        connect(*box, &QLineEdit::textChanged, this,
                [this, channel](const QString& text) { takeMeterReading(channel, text.toStdString()); });
        // Empty, the box says what it wants: without a reading there are no volts to show.
        (*box)->setPlaceholderText(tr("tone, Vrms"));
        rows->addWidget(MakeCaption(group, label, *box), 1, column);
        rows->addWidget(*box, 1, column + 1);
        column += 2;
    }

    m_unit = new QComboBox(group);
    m_unit->setObjectName(QStringLiteral("cboLevelUnit"));
    m_unit->addItems({tr("dB"), tr("dBFS"), tr("dBu"), tr("dBV"), tr("Vrms"), tr("Vpp")});
    connect(m_unit, &QComboBox::activated, this, [this](int unit) {
        SetFieldCode(oscillator().settings(), *FindField("LevelUnit"), unit);
        oscillator().showLevels();
    });
    rows->addWidget(MakeCaption(group, tr("Level unit"), m_unit), 2, 0);
    rows->addWidget(m_unit, 2, 1);
    const auto [limitCaption, limit] = makeEntry(group, "txtLevelLimit", "LevelLimit", tr("Limit (dB)"));
    // A lower limit takes effect at once on levels above it.
    connect(limit, &QLineEdit::textChanged, this, [this] {
        const SignalSettings& s = oscillator().settings();
        if (s.LevelL[0] > s.LevelLimit || s.LevelR[0] > s.LevelLimit)
            oscillator().Update();
    });
    rows->addWidget(limitCaption, 2, 2);
    rows->addWidget(limit, 2, 3);
    group->setMinimumHeight(group->sizeHint().height());
    return group;
}

void OscSetup::takeMeterReading(Channel channel, const std::string& text)
{
    SignalSettings& s = oscillator().settings();
    const double reading = ParseLeadingNumber(text);
    // The reading is of the tone; the calibration is the voltage of a 0 dB sine.
    const double volts = reading > 0 ? reading * std::pow(10, -m_toneLevel / 20) : 0;
    const char* field = channel == Channel::Left ? "CalVoltsL" : "CalVoltsR";
    if (!FindField(field)->accepts(volts))
        return;
    (channel == Channel::Left ? s.CalVoltsL : s.CalVoltsR) = volts;
    showUnits();
    oscillator().showLevels();
}

void OscSetup::refillLevelOptions()
{
    const SignalSettings& s = oscillator().settings();
    for (const auto& [box, channel] : {std::pair{m_meterL, Channel::Left}, std::pair{m_meterR, Channel::Right}}) {
        const double volts = CalibrationVolts(s, channel);
        const QSignalBlocker quiet(box);
        box->setText(volts > 0 ? QString::fromStdString(FormatNumber(volts * std::pow(10, m_toneLevel / 20))) : QString());
    }
    showUnits();
}

void OscSetup::showUnits()
{
    const SignalSettings& s = oscillator().settings();
    const bool calibrated = CalibrationVolts(s, Channel::Left) > 0 || CalibrationVolts(s, Channel::Right) > 0;
    auto* model = qobject_cast<QStandardItemModel*>(m_unit->model());
    for (int unit = 0; unit < m_unit->count(); ++unit) {
        if (QStandardItem* item = model != nullptr ? model->item(unit) : nullptr)
            item->setEnabled(!NeedsCalibration(unit) || calibrated);
    }
    const QSignalBlocker quiet(m_unit);
    m_unit->setCurrentIndex(s.LevelUnit >= 0 && s.LevelUnit < m_unit->count() ? s.LevelUnit : -1);
    m_unit->setToolTip(calibrated ? tr("dBu, dBV and volts follow the meter readings of the calibration tone")
                                  : kUncalibratedNote);
    m_unit->setAccessibleDescription(m_unit->toolTip());
}

QWidget* OscSetup::makeLengthOptions()
{
    auto* area = new QWidget(face());
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(MakeCaption(area, QStringLiteral("Default Wavbuild Length:"), nullptr));
    // Each button's id is its length in seconds.
    m_lengths = MakeOptionGroup(area, row,
                                {{QStringLiteral("opt1S"), QStringLiteral("1 Second"), 1},
                                 {QStringLiteral("Opt10S"), QStringLiteral("10 Second"), 10},
                                 {QStringLiteral("Opt100S"), QStringLiteral("100 Second"), 100}});
    row->addStretch(1);
    connect(m_lengths, &QButtonGroup::idClicked, this,
            [this](int seconds) { oscillator().settings().WaveBuildLength = seconds; });
    return area;
}

QWidget* OscSetup::makeQualityOptions()
{
    QGridLayout* rows = nullptr;
    QWidget* group = MakeGroup(face(), tr("Signal quality"), rows);
    QCheckBox* dither = makeCheck(group, "chkDither", "Dither", tr("Dither"));
    dither->setToolTip(tr("Add triangular noise of one step before 16- and 24-bit samples are rounded"));
    QCheckBox* wholeCycles = makeCheck(group, "chkWholeCycles", "WholeCycles", tr("Whole-cycle loops"));
    wholeCycles->setToolTip(tr("Loop periodic signals at a whole number of cycles, so the loop point makes no click"));
    QCheckBox* bandLimited = makeCheck(group, "chkBandLimited", "BandLimited", tr("Band-limited shapes"));
    bandLimited->setToolTip(tr("Build square, triangle and sawtooth from their harmonics below half the sample rate, so "
                               "nothing folds back"));
    rows->setContentsMargins(6, 0, 6, 2);
    rows->setVerticalSpacing(2);
    rows->addWidget(dither, 0, 0);
    rows->addWidget(wholeCycles, 1, 0);
    rows->addWidget(bandLimited, 0, 1);
    // Changes join without a gap or a click: the signal's continuity.
    QCheckBox* seamless = makeCheck(group, "chkSeamless", "SeamlessChanges", tr("Seamless changes while playing"));
    seamless->setToolTip(tr("A change while the signal plays crossfades into the new signal instead of stopping it for "
                            "half a second"));
    rows->addWidget(seamless, 1, 1);
    // Never squeezed, even where the window is held to two thirds of a small screen.
    group->setMinimumHeight(group->sizeHint().height());
    return group;
}

QWidget* OscSetup::makeRemoteOptions()
{
    auto* area = new QWidget(face());
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);
    m_remote = new QCheckBox(tr("Remote control"), area);
    m_remote->setObjectName(QStringLiteral("chkRemote"));
    m_remote->setToolTip(tr("Answer SCPI commands on this TCP port of the loopback addresses"));
    m_remotePort = new QLineEdit(area);
    m_remotePort->setObjectName(QStringLiteral("txtRemotePort"));
    m_remotePort->setAccessibleName(tr("Remote control port"));
    m_remotePort->setMaximumWidth(m_remotePort->fontMetrics().horizontalAdvance(QStringLiteral("000000")) * 2);
    connect(m_remote, &QCheckBox::clicked, this, [this] { takeRemotePort(); });
    connect(m_remotePort, &QLineEdit::editingFinished, this, [this] { takeRemotePort(); });
    row->addWidget(m_remote);
    row->addWidget(MakeCaption(area, tr("Port"), m_remotePort));
    row->addWidget(m_remotePort);
    row->addStretch(1);
    return area;
}

void OscSetup::takeRemotePort()
{
    SignalSettings& s = oscillator().settings();
    const FieldInfo& port = *FindField("RemotePort");
    // The box keeps its port while the server is off; 0 or a port out of range turns it off.
    if (!m_remote->isChecked() || !TakeEntry(s, port, m_remotePort->text().toStdString()))
        SetFieldCode(s, port, 0);
    refillRemoteOptions();
    // The server follows the option as the windows are told.
    oscillator().notify();
}

void OscSetup::refillRemoteOptions()
{
    const std::int32_t port = oscillator().settings().RemotePort;
    const QSignalBlocker quiet(m_remote);
    m_remote->setChecked(port != 0);
    if (port != 0 || m_remotePort->text().isEmpty())
        m_remotePort->setText(QString::number(port != 0 ? port : kDefaultRemotePort));
}

void OscSetup::refill()
{
    SetupDialog::refill();
    const SignalSettings& s = oscillator().settings();
    // Only an exact 1, 10 or 100 selects an option.
    const double length = s.WaveBuildLength;
    QAbstractButton* chosen = nullptr;
    for (int seconds : {1, 10, 100}) {
        if (length == seconds)
            chosen = m_lengths->button(seconds);
    }
    CheckOnly(m_lengths, chosen);

    fillDevices();
    FillListBox(*m_table, MemoryTableText(s));
    refillLevelOptions();
    refillRemoteOptions();
}

void OscSetup::fillDevices()
{
    // Filled in one go, without letting window events run in between.
    std::string error;
    const std::vector<std::string> names = m_listDevices(error);
    m_devices->clear();
    for (const std::string& name : names)
        m_devices->addItem(QString::fromStdString(name));
    m_deviceNote->setText(error.empty() ? QStringLiteral("Double Click to select device.") : QString::fromStdString(error));

    const int device = oscillator().settings().OutDevice;
    m_device->setText(QString::fromStdString(FormatNumber(std::int32_t{device})));
    if (device >= 0 && device < m_devices->count()) {
        m_devices->setCurrentRow(device);
    } else {
        m_devices->clearSelection();
        m_devices->setCurrentRow(-1);
    }
}

bool OscSetup::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_devices->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // The entry under the pointer is the one double-clicked, whether or not the list has
        // selected it yet.
        const QModelIndex hit = m_devices->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (hit.isValid())
            m_devices->setCurrentRow(hit.row());
        chooseDevice();
    }
    if (watched == m_devices && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            chooseDevice();
    }
    return SetupDialog::eventFilter(watched, event);
}

void OscSetup::chooseDevice()
{
    const QList<QListWidgetItem*> selected = m_devices->selectedItems();
    const int device = selected.isEmpty() ? -1 : m_devices->row(selected.front());
    oscillator().settings().OutDevice = static_cast<std::int16_t>(device);
    m_device->setText(QString::number(device));
}

void OscSetup::loadSetup()
{
    const auto chosen = m_fileDialogs.openFile(this, kSetupFiles);
    if (!chosen)
        return;
    if (const std::string problem = LoadSetupFile(oscillator().settings(), LocalPath(*chosen)); !problem.empty()) {
        oscillator().messages().show("The setup was not loaded, nothing was changed:\n" + problem + ".");
        return;
    }
    oscillator().Update();
    // The window shows what was loaded at once rather than at its next opening.
    refill();
}

void OscSetup::saveSetup()
{
    const auto chosen = m_fileDialogs.saveFile(this, kSetupFiles);
    if (!chosen)
        return;
    if (const std::string error = SaveSetupFile(oscillator().settings(), LocalPath(*chosen)); !error.empty())
        oscillator().messages().show("The setup was not saved:\n" + error + ".");
}

void OscSetup::resetToDefaults()
{
    oscillator().ResetToDefaults();
    Q_EMIT resetDone();
}

void OscSetup::saveWavefile()
{
    const auto chosen = m_fileDialogs.saveFile(this, kWaveFiles);
    if (!chosen)
        return;
    if (const std::string error = oscillator().SaveRenderedSignal(LocalPath(*chosen)); !error.empty())
        oscillator().messages().show("The signal was not saved as \"" + chosen->toStdString() + "\":\n" + error);
}

} // namespace kelvo::gui
