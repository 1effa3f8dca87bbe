#pragma once

#include "core/oscillator/oscillator.h"
#include "gui/app/window_id.h"
#include "gui/ui/file_dialogs.h"

#include <QWidget>

#include <memory>

namespace kelvo::gui {

// The setup window `id`, built on the shared setup frame; nothing for an id that is not a
// setup window.
std::unique_ptr<QWidget> MakeSetupDialog(WindowId id, Oscillator& oscillator, FileDialogs& fileDialogs);

} // namespace kelvo::gui
