#pragma once

#include <QLineEdit>

namespace kelvo::gui {

// An entry box: only Enter acts (it emits entered); every other key edits the text and
// goes no further, so the window's shortcuts stay quiet while the box has the focus.
class EntryBox : public QLineEdit {
    Q_OBJECT
public:
    explicit EntryBox(QWidget* parent = nullptr);

    // Shows the box holding `text`, with the focus and the text selected.
    void open(const QString& text);

Q_SIGNALS:
    void entered(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace kelvo::gui
