#include "gui/dialogs/multi_setup.h"

#include "core/settings/list_text.h"
#include "gui/dialogs/list_box.h"
#include "gui/panels/panel_parts.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace kelvo::gui {
namespace {

const ListFileKind kMultitoneLists{QStringLiteral("Multitone list|*.mtf;"), "multitone list", LoadMultitoneList,
                                   SaveMultitoneList};

} // namespace

MultiSetup::MultiSetup(Oscillator& oscillator, FileDialogs& fileDialogs, QWidget* parent)
    : SetupDialog(oscillator, QStringLiteral("frmMultiSetup"), QStringLiteral("MULTIBURST SETUP:"), parent)
    , m_fileDialogs(fileDialogs)
{
    m_count = addEntry(0, "Text12", "MultiCount", QStringLiteral("No. of Frequencies"));

    const QString label = QStringLiteral("Multitone Frequencies");
    m_list = MakeListBox(face(), QStringLiteral("Text9"), label);
    auto* caption = new QLabel(label, face());
    caption->setBuddy(m_list);
    grid()->addWidget(caption, 1, 0, 1, 2);
    grid()->addWidget(m_list, 2, 0, 1, 2);

    auto* keys = new QVBoxLayout;
    keys->addWidget(MakeKey(
        face(), QStringLiteral("cmdStore"), QStringLiteral("STORE"), [this] { store(); },
        tr("Take the frequencies typed in the box")));
    keys->addWidget(MakeKey(
        face(), QStringLiteral("Command7"), QStringLiteral("load"), [this] { load(); }, tr("Load a multitone list")));
    keys->addWidget(MakeKey(
        face(), QStringLiteral("Command9"), QStringLiteral("save"), [this] { save(); },
        tr("Save the frequencies to a multitone list")));
    keys->addStretch(1);
    grid()->addLayout(keys, 2, 2);

    addNote(3, QStringLiteral("Enter frequencies of interest in the Input box seperated by a carriage return. When "
                              "done, Press STORE."));
    addNote(4, QString::fromStdString(
                   FindField("MultiCount")
                       ->withLimits("Individual Tone Levels are determined by the program to carefully add up to the  "
                                    "Main Set Level. {min} to {max} frequencies may be entered.")));
    refill();
}

void MultiSetup::refill()
{
    SetupDialog::refill();
    FillListBox(*m_list, MultitoneText(oscillator().settings()));
}

void MultiSetup::store()
{
    StoreMultitoneText(oscillator().settings(), ListBoxText(*m_list));
}

void MultiSetup::load()
{
    // The count box and the list both come from the loaded file.
    if (LoadListFile(this, oscillator(), m_fileDialogs, kMultitoneLists))
        refill();
}

void MultiSetup::save()
{
    SaveListFile(this, oscillator(), m_fileDialogs, kMultitoneLists, [this] {
        // The count as typed, without the box's 2 to 100; a text without a number keeps it.
        if (const auto count = ListCountFromText(m_count->text().toStdString()))
            oscillator().settings().MultiCount = *count;
        store();
    });
}

} // namespace kelvo::gui
