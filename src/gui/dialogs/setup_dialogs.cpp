#include "gui/dialogs/setup_dialogs.h"

#include "gui/dialogs/multi_setup.h"
#include "gui/dialogs/parameter_dialog.h"
#include "gui/dialogs/sweep_setup.h"
#include "gui/player/user_setup.h"

namespace kelvo::gui {

std::unique_ptr<QWidget> MakeSetupDialog(WindowId id, Oscillator& oscillator, FileDialogs& fileDialogs)
{
    if (const ParameterDialogTable* table = ParameterDialogFor(id))
        return std::make_unique<ParameterDialog>(oscillator, *table);
    if (id == WindowId::SweepSetup)
        return std::make_unique<SweepSetup>(oscillator, fileDialogs);
    if (id == WindowId::MultiSetup)
        return std::make_unique<MultiSetup>(oscillator, fileDialogs);
    if (id == WindowId::UserSetup)
        return std::make_unique<UserSetup>(oscillator, fileDialogs);
    return nullptr;
}

} // namespace kelvo::gui
