#pragma once

#include "core/oscillator/oscillator.h"
#include "gui/ui/entry_box.h"
#include "gui/ui/key_button.h"

#include <QLabel>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QGridLayout;

namespace kelvo::gui {

// The look shared by the panels: a dark instrument face, flat keys that light up on
// hover, bright display texts.
QString PanelStyleSheet();

// A flat key with `caption`, named `objectName`, calling `action` on a click. Keys whose
// caption is a symbol get `accessibleName` for assistive technology.
KeyButton* MakeKey(QWidget* parent, const QString& objectName, const QString& caption, std::function<void()> action,
                   const QString& toolTip = {}, const QString& accessibleName = {});
// A display text of the panel; `kind` picks its size ("big", "name", "value", "small").
QLabel* MakeDisplay(QWidget* parent, const QString& objectName, const char* kind);
// A unit or a short caption beside a control.
QLabel* MakeUnit(QWidget* parent, const QString& text);
// A framed group that holds a grid of controls under its title.
QWidget* MakeGroup(QWidget* parent, const QString& title, QGridLayout*& grid);

// Fixes the width of `widget` to hold the widest of `texts` in its own font, so it keeps
// its size whatever it shows and the keys around it never move.
void HoldWidest(QWidget* widget, const QStringList& texts);
// The widest captions a level display shows, in each unit it can show levels in.
QStringList LevelCaptions();

// Keeps a window told of the oscillator's changes while the scope lives.
class ObserverScope {
public:
    ObserverScope(Oscillator& oscillator, PanelObserver* observer)
        : m_oscillator(oscillator)
        , m_observer(observer)
    {
        m_oscillator.addObserver(m_observer);
    }
    ~ObserverScope() { m_oscillator.removeObserver(m_observer); }
    ObserverScope(const ObserverScope&) = delete;
    ObserverScope& operator=(const ObserverScope&) = delete;

private:
    Oscillator& m_oscillator;
    PanelObserver* m_observer;
};

// A value display that turns into its entry box when clicked while it is editable; Enter
// closes the box and hands its text on. The display and the box are named for assistive
// technology by what they hold (`holds`, such as "Frequency").
class EntryField {
public:
    EntryField(QWidget* parent, const QString& labelName, const QString& boxName, const char* kind, const QString& holds);

    QWidget* widget() const { return m_container; }
    KeyButton* label() const { return m_label; }

    // Shows `text`, which a screen reader reads after what the field holds.
    void setText(const QString& text);
    // Only an editable display shows the text cursor and the hint, and opens on a click.
    void setEditable(bool editable);
    void open(const QString& text);
    void close();
    // Connects the label's click and the box's Enter; the box closes before `entered` runs.
    void connect(std::function<void()> clicked, std::function<void(const QString&)> entered);

private:
    QWidget* m_container;
    KeyButton* m_label;
    EntryBox* m_box;
    QString m_holds;
    bool m_editable = true;
};

} // namespace kelvo::gui
