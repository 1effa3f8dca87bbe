#include "gui/dialogs/setup_dialogs.h"

#include "gui/dialogs/parameter_dialog.h"

namespace kelvo::gui {

std::unique_ptr<QWidget> MakeSetupDialog(WindowId id, Oscillator& oscillator, FileDialogs&)
{
    if (const ParameterDialogSpec* spec = ParameterDialogFor(id))
        return std::make_unique<ParameterDialog>(oscillator, *spec);
    return nullptr;
}

} // namespace kelvo::gui
