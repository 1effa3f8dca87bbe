#pragma once

#include "gui/dialogs/setup_dialog.h"
#include "gui/ui/file_dialogs.h"

class QPlainTextEdit;

namespace kelvo::gui {

// frmMultiSetup: the number of tones and the frequencies typed into Text9, stored with
// STORE and loaded from or saved to multitone lists (.mtf).
class MultiSetup final : public SetupDialog {
    Q_OBJECT
public:
    MultiSetup(Oscillator& oscillator, FileDialogs& fileDialogs, QWidget* parent = nullptr);

protected:
    void refill() override;

private:
    void store();
    void load();
    void save();

    FileDialogs& m_fileDialogs;
    QLineEdit* m_count = nullptr;
    QPlainTextEdit* m_list = nullptr;
};

} // namespace kelvo::gui
