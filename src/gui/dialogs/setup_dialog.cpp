#include "gui/dialogs/setup_dialog.h"

#include "core/settings/entry_rules.h"
#include "gui/panels/panel_parts.h"
#include "gui/ui/drag_strip.h"
#include "gui/ui/option_group.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <stdexcept>

namespace kelvo::gui {
namespace {

QString DialogStyleSheet()
{
    return PanelStyleSheet() + QStringLiteral(R"(
        QWidget[kind="dialog"] { background: #22262c; color: #d8dce2; }
        QLabel[kind="note"] { color: #b8bec6; background: transparent; }
        QLabel { background: transparent; }
        QRadioButton, QCheckBox { color: #eef0f3; background: transparent; spacing: 6px; }
        QLineEdit { min-width: 7em; }
        QCheckBox::indicator { width: 13px; height: 13px; border: 1px solid #8a929c; border-radius: 2px;
                               background: #0d1a12; }
        QRadioButton::indicator { width: 12px; height: 12px; border: 1px solid #8a929c; border-radius: 7px;
                                  background: #0d1a12; }
        QCheckBox::indicator:checked, QRadioButton::indicator:checked { background: #7dffa8; }
    )");
}

} // namespace

SetupDialog::SetupDialog(Oscillator& oscillator, const QString& objectName, const QString& title, QWidget* parent)
    : BorderlessWindow(objectName, title, parent)
    , m_oscillator(oscillator)
    , m_grid(new QGridLayout(face()))
{
    setProperty("kind", "dialog");
    setStyleSheet(DialogStyleSheet());
    dragStrip()->setObjectName(QStringLiteral("Label2"));
    addCloseKey(QStringLiteral("Label3"));
    m_grid->setContentsMargins(4, 4, 4, 4);
    m_grid->setHorizontalSpacing(10);
    m_grid->setVerticalSpacing(6);
}

const FieldInfo& SetupDialog::field(const char* name) const
{
    const FieldInfo* found = FindField(name);
    if (found == nullptr)
        throw std::logic_error(std::string("no field ") + name);
    return *found;
}

QLineEdit* SetupDialog::addEntry(int row, const char* objectName, const char* fieldName, const QString& label,
                                 const QString& hint, int column)
{
    const auto [caption, box] = makeEntry(face(), objectName, fieldName, label);
    m_grid->addWidget(caption, row, column);
    m_grid->addWidget(box, row, column + 1);
    if (!hint.isEmpty())
        m_grid->addWidget(MakeUnit(face(), QString::fromStdString(field(fieldName).withLimits(hint.toStdString()))), row,
                          column + 2);
    return box;
}

std::pair<QLabel*, QLineEdit*> SetupDialog::makeEntry(QWidget* parent, const char* objectName, const char* fieldName,
                                                      const QString& label)
{
    const FieldInfo& bound = field(fieldName);
    auto* caption = new QLabel(QString::fromStdString(bound.withLimits(label.toStdString())), parent);
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setAccessibleName(caption->text());
    caption->setBuddy(box);
    connect(box, &QLineEdit::textChanged, this,
            [this, &bound](const QString& text) { TakeEntry(m_oscillator.settings(), bound, text.toStdString()); });
    m_fillers.push_back([this, &bound, box] {
        // The record already holds what the box shows: filling it changes no field.
        const QSignalBlocker quiet(box);
        box->setText(QString::fromStdString(EntryText(m_oscillator.settings(), bound)));
    });
    return {caption, box};
}

QButtonGroup* SetupDialog::addOptions(int row, const char* base, const char* fieldName, const QStringList& captions,
                                      int firstCode)
{
    auto* column = new QVBoxLayout;
    m_grid->addLayout(column, row, 0, 1, 3);
    return addOptions(column, base, fieldName, captions, firstCode);
}

QButtonGroup* SetupDialog::addOptions(QBoxLayout* column, const char* base, const char* fieldName, const QStringList& captions,
                                      int firstCode)
{
    const FieldInfo& bound = field(fieldName);
    QButtonGroup* group = MakeOptionGroup(face(), column, QString::fromLatin1(base), captions);
    connect(group, &QButtonGroup::idClicked, this,
            [this, &bound, firstCode](int id) { SetFieldCode(m_oscillator.settings(), bound, firstCode + id); });
    m_fillers.push_back([this, &bound, group, firstCode] {
        const auto code = FieldCode(m_oscillator.settings(), bound);
        QAbstractButton* chosen = code ? group->button(static_cast<int>(*code - firstCode)) : nullptr;
        // A stored code without a button (a damaged file) selects none and writes nothing.
        CheckOnly(group, chosen);
    });
    return group;
}

QCheckBox* SetupDialog::addCheck(int row, const char* objectName, const char* fieldName, const QString& caption)
{
    QCheckBox* check = makeCheck(face(), objectName, fieldName, caption);
    m_grid->addWidget(check, row, 0, 1, 3);
    return check;
}

QCheckBox* SetupDialog::makeCheck(QWidget* parent, const char* objectName, const char* fieldName, const QString& caption)
{
    const FieldInfo& bound = field(fieldName);
    auto* check = new QCheckBox(caption, parent);
    check->setObjectName(QString::fromLatin1(objectName));
    connect(check, &QCheckBox::clicked, this,
            [this, &bound](bool checked) { SetFieldCode(m_oscillator.settings(), bound, checked ? 1 : 0); });
    m_fillers.push_back([this, &bound, check] {
        const QSignalBlocker quiet(check);
        check->setChecked(FieldCode(m_oscillator.settings(), bound).value_or(0) != 0);
    });
    return check;
}

QLabel* SetupDialog::addNote(int row, const QString& text, int columnSpan, int column)
{
    auto* note = new QLabel(text, face());
    note->setProperty("kind", "note");
    note->setWordWrap(true);
    m_grid->addWidget(note, row, column, 1, columnSpan);
    return note;
}

bool SetupDialog::handleKey(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier)
        return BorderlessWindow::handleKey(event);
    close();
    return true;
}

void SetupDialog::refill()
{
    for (const auto& fill : m_fillers)
        fill();
}

} // namespace kelvo::gui
