#pragma once

#include "gui/ui/click_label.h"
#include "gui/ui/entry_box.h"

#include <QString>
#include <QWidget>

#include <functional>

class QGridLayout;
class QKeyEvent;

namespace kelvo::gui {

// The look shared by the panels: a dark instrument face, flat keys that light up on
// hover, bright display texts.
QString PanelStyleSheet();

// A flat key with `caption`, named `objectName`, calling `action` on a click.
ClickLabel* MakeKey(QWidget* parent, const QString& objectName, const QString& caption,
                    std::function<void()> action, const QString& toolTip = {});
// A display text of the panel; `kind` picks its size ("big", "name", "value", "small").
ClickLabel* MakeDisplay(QWidget* parent, const QString& objectName, const char* kind);
// A unit or a short caption beside a control.
QLabel* MakeUnit(QWidget* parent, const QString& text);
// A caption of a group of controls.
QWidget* MakeGroupTitle(QWidget* parent, const QString& text);
// A framed group that holds a grid of controls under its title.
QWidget* MakeGroup(QWidget* parent, const QString& title, QGridLayout*& grid);

// The key code of the panels' shortcut table for a key event; 0 for other keys.
int PanelKeyCode(const QKeyEvent* event);

// A value display that turns into its entry box when opened; Enter closes the box and
// hands its text on.
class EntryField {
public:
    EntryField(QWidget* parent, const QString& labelName, const QString& boxName, const char* kind);

    QWidget* widget() const { return m_container; }
    ClickLabel* label() const { return m_label; }

    void setText(const QString& text) { m_label->setText(text); }
    void open(const QString& text);
    void close();
    // Connects the label's click and the box's Enter; the box closes before `entered` runs.
    void connect(std::function<void()> clicked, std::function<void(const QString&)> entered);

private:
    QWidget* m_container;
    ClickLabel* m_label;
    EntryBox* m_box;
};

} // namespace kelvo::gui
