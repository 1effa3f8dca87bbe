#include "gui/dialogs/sweep_setup.h"

#include "core/settings/list_text.h"
#include "core/settings/text_rules.h"
#include "gui/dialogs/list_box.h"
#include "gui/panels/panel_parts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace kelvo::gui {
namespace {

// Each column of values is three grid columns wide: label, box, unit.
constexpr int kLevels = 3;
constexpr int kPhases = 6;
constexpr int kWidth = 9;

const ListFileKind kUserStepLists{QStringLiteral("User step list|*.usl;"), "user step list", LoadUserStepList, SaveUserStepList};

QLabel* Heading(QWidget* parent, const QString& text)
{
    auto* heading = new QLabel(text, parent);
    heading->setProperty("kind", "group-title");
    return heading;
}

} // namespace

SweepSetup::SweepSetup(Oscillator& oscillator, FileDialogs& fileDialogs, QWidget* parent)
    : SetupDialog(oscillator, QStringLiteral("frmSweepSetup"), QStringLiteral("SWEEP WAVE SETUP:"), parent)
    , m_fileDialogs(fileDialogs)
{
    addSweepKinds();
    addValues();
    addStepList(7);
    // The notes stand beside the step list, in the columns it leaves free.
    const int notes = kLevels + 1;
    addNote(8,
            QStringLiteral("The non swept parameters are set by the frequency, level or phase settings on the "
                           "main oscillator panel."),
            kWidth - notes, notes);
    addNote(9,
            QStringLiteral("For continuous sweep, enter 1 for Number of Steps and the length of the sweep in "
                           "seconds in Seconds per Step."),
            kWidth - notes, notes);
    addNote(10,
            QStringLiteral("For USER steps, enter frequency in Hz then a comma then duration in seconds followed "
                           "by a carriage return between each step definition. When Finished, press STORE."),
            kWidth - notes, notes);
    addNote(11,
            QStringLiteral("Logarithmic sweeps rise by equal ratios. A sweep length of 0 sweeps over the "
                           "build length."),
            kWidth - notes, notes);
    refill();
}

void SweepSetup::addSweepKinds()
{
    auto* kinds = new QVBoxLayout;
    grid()->addLayout(kinds, 0, 0, 1, kLevels);
    addOptions(kinds, "Option1", "SweepKind",
               {QStringLiteral("Continuous sweep"), QStringLiteral("Stepped sweep"), QStringLiteral("User Stepped sweep"),
                QStringLiteral("1/3 octave warble sweep"), QStringLiteral("1/2 octave warble sweep"),
                QStringLiteral("Logarithmic sweep"), QStringLiteral("Logarithmic stepped sweep")},
               1);
    // The logarithmic kinds stand apart, in the free corner right of the parameter frame.
    auto* logarithmic = new QVBoxLayout;
    while (kinds->count() > 5)
        logarithmic->addItem(kinds->takeAt(5));
    logarithmic->addStretch(1);
    grid()->addLayout(logarithmic, 0, kPhases, 1, 3);

    auto* frame = new QGroupBox(QStringLiteral("Sweep Parameter"), face());
    frame->setObjectName(QStringLiteral("Frame2"));
    frame->setStyleSheet(
        QStringLiteral("QGroupBox { color: #eef0f3; border: 1px solid #4a5059; border-radius: 4px; margin-top: 1.2em; "
                       "padding: 6px; } QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }"));
    auto* parameters = new QVBoxLayout(frame);
    addOptions(parameters, "OptParameter", "SweepParam",
               {QStringLiteral("Frequency Sweep"), QStringLiteral("Step Level Sweep"), QStringLiteral("Step Phase Sweep")});
    grid()->addWidget(frame, 0, kLevels, 1, 3, Qt::AlignTop);
}

void SweepSetup::addValues()
{
    grid()->addWidget(Heading(face(), QStringLiteral("L = R levels")), 1, kLevels, 1, 3);
    grid()->addWidget(Heading(face(), QStringLiteral("R channel delta phase:")), 1, kPhases, 1, 3);
    addEntry(2, "Text2", "SweepStartFreq", QStringLiteral("Start Frequency"));
    addEntry(3, "Text3", "SweepEndFreq", QStringLiteral("End Frequency"));
    addEntry(2, "Text6", "SweepStartLevel", QStringLiteral("Start level (-dB)"), {}, kLevels);
    addEntry(3, "Text9", "SweepEndLevel", QStringLiteral("End level (-dB)"), {}, kLevels);
    addEntry(2, "Text13", "SweepStartPhase", QStringLiteral("Start phase (deg)"), {}, kPhases);
    addEntry(3, "Text14", "SweepEndPhase", QStringLiteral("End phase (deg)"), {}, kPhases);

    grid()->addWidget(Heading(face(), QStringLiteral("COMMON SETUP ITEMS:")), 4, 0, 1, kWidth);
    m_steps = addEntry(5, "Text4", "SweepSteps", QStringLiteral("Number of Steps"));
    addEntry(5, "Text5", "SweepStepTime", QStringLiteral("Seconds per Steps"), {}, kLevels);
    addEntry(5, "Text7", "SweepWarbleRate", QStringLiteral("Warble Rate"), QStringLiteral("cps"), kPhases);
    addEntry(6, "txtSweepSeconds", "SweepSeconds", QStringLiteral("Sweep length (s)"));
    addEntry(6, "txtFadeMs", "SweepFadeMs", QStringLiteral("Log sweep fades"), QStringLiteral("ms"), kLevels);
}

void SweepSetup::addStepList(int row)
{
    const QString label = QStringLiteral("User steps:  freq, period");
    m_list = MakeListBox(face(), QStringLiteral("Text1"), label);
    auto* caption = new QLabel(label, face());
    caption->setBuddy(m_list);
    grid()->addWidget(caption, row, 0, 1, kLevels);
    grid()->addWidget(m_list, row + 1, 0, 4, kLevels);

    auto* keys = new QVBoxLayout;
    keys->addWidget(MakeKey(
        face(), QStringLiteral("cmdStore"), QStringLiteral("STORE"), [this] { storeStepTable(); },
        tr("Take the steps typed in the box")));
    keys->addWidget(MakeKey(
        face(), QStringLiteral("Command7"), QStringLiteral("load"), [this] { load(); }, tr("Load a user step list")));
    keys->addWidget(MakeKey(
        face(), QStringLiteral("Command9"), QStringLiteral("save"), [this] { save(); },
        tr("Save the steps to a user step list")));
    keys->addStretch(1);
    grid()->addLayout(keys, row + 1, kLevels, 4, 1);
}

void SweepSetup::storeStepTable()
{
    kelvo::StoreStepTable(oscillator().settings(), ListBoxText(*m_list));
}

void SweepSetup::refill()
{
    SetupDialog::refill();
    const SignalSettings& s = oscillator().settings();
    // The box lists as many steps as the sweep has, whatever the table's own count is.
    FillListBox(*m_list, StepTableText(s, s.SweepSteps));
}

void SweepSetup::load()
{
    if (!LoadListFile(this, oscillator(), m_fileDialogs, kUserStepLists))
        return;
    const SignalSettings& s = oscillator().settings();
    FillListBox(*m_list, StepTableText(s, s.UserStepCount));
    m_steps->setText(QString::fromStdString(FormatNumber(s.SweepSteps)));
}

void SweepSetup::save()
{
    SaveListFile(this, oscillator(), m_fileDialogs, kUserStepLists, [this] { storeStepTable(); });
}

} // namespace kelvo::gui
