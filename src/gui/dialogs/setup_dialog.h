#pragma once

#include "core/oscillator/oscillator.h"
#include "core/settings/field_registry.h"
#include "gui/ui/borderless_window.h"

#include <QString>

#include <functional>
#include <utility>
#include <vector>

class QAbstractButton;
class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace kelvo::gui {

// The frame every setup window shares: borderless, the Label2 drag strip with the title,
// the Label3 "X", and entry boxes, option buttons and check boxes bound to fields of the
// record by name. A box takes every change of its text through the field's entry rule
// (out-of-range text is kept as typed, the field keeps its value); nothing renders.
// Every opening refills the bindings from the record.
class SetupDialog : public BorderlessWindow {
    Q_OBJECT
public:
    SetupDialog(Oscillator& oscillator, const QString& objectName, const QString& title, QWidget* parent = nullptr);

protected:
    // The grid under the title that the window lays its controls into.
    QGridLayout* grid() const { return m_grid; }
    Oscillator& oscillator() const { return m_oscillator; }

    // An entry box named `objectName` bound to `field`, with `label` beside it (also its
    // accessible name), placed in `row` of the grid: label, box and hint in three columns
    // from `column` on. "{min}" and "{max}" in the label or the hint show the field's range.
    QLineEdit* addEntry(int row, const char* objectName, const char* field, const QString& label, const QString& hint = {},
                        int column = 0);
    // The same box and its caption, made in `parent` for the caller to lay out.
    std::pair<QLabel*, QLineEdit*> makeEntry(QWidget* parent, const char* objectName, const char* field, const QString& label);
    // Option buttons named base(0), base(1), ... bound to `field`: button i sets the code
    // `firstCode + i`. A code outside the buttons selects none.
    QButtonGroup* addOptions(int row, const char* base, const char* field, const QStringList& captions, int firstCode = 0);
    // The same, stacked in a layout of the window's own (such as a frame's).
    QButtonGroup* addOptions(QBoxLayout* column, const char* base, const char* field, const QStringList& captions,
                             int firstCode = 0);
    // A check box bound to a 0/1 field.
    QCheckBox* addCheck(int row, const char* objectName, const char* field, const QString& caption);
    // The same check box, made in `parent` for the caller to lay out.
    QCheckBox* makeCheck(QWidget* parent, const char* objectName, const char* field, const QString& caption);
    // A note shown on the window, wrapped across `columnSpan` columns of the grid from `column`.
    QLabel* addNote(int row, const QString& text, int columnSpan = 3, int column = 0);

    void refill() override;
    // Escape closes the window, as it does a dialog.
    bool handleKey(QKeyEvent* event) override;

private:
    const FieldInfo& field(const char* name) const;

    Oscillator& m_oscillator;
    QGridLayout* m_grid;
    std::vector<std::function<void()>> m_fillers;
};

} // namespace kelvo::gui
