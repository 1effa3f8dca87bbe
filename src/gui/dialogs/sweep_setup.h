#pragma once

#include "gui/dialogs/setup_dialog.h"
#include "gui/ui/file_dialogs.h"

class QPlainTextEdit;

namespace kelvo::gui {

// frmSweepSetup: the kind of sweep and the swept parameter, the start and end values,
// the common items, and the user step table typed into Text1, stored with STORE and
// loaded from or saved to user step lists (.usl).
class SweepSetup final : public SetupDialog {
    Q_OBJECT
public:
    SweepSetup(Oscillator& oscillator, FileDialogs& fileDialogs, QWidget* parent = nullptr);

    // STORE: the user step table from the text of Text1; UserStepCount becomes SweepSteps.
    void storeStepTable();

protected:
    void refill() override;

private:
    void addSweepKinds();
    void addValues();
    void addStepList(int row);
    void load();
    void save();

    FileDialogs& m_fileDialogs;
    QLineEdit* m_steps = nullptr;
    QPlainTextEdit* m_list = nullptr;
};

} // namespace kelvo::gui
