#pragma once

#include "gui/app/window_id.h"
#include "gui/dialogs/setup_dialog.h"

#include <array>

namespace kelvo::gui {

// What a waveform's small setup window holds, top to bottom: option buttons, entry boxes,
// check boxes, a drawing of one period, a note. A window is this table plus the frame.
struct ParameterDialogTable {
    struct Entry {
        const char* objectName = nullptr;
        const char* field = nullptr;
        const char* label = nullptr;
        const char* hint = "";
    };
    struct Options {
        const char* base = nullptr; // no options when null
        const char* field = nullptr;
        std::array<const char*, 4> captions{}; // unused places are null
    };
    struct Check {
        const char* objectName = nullptr; // no check box when null
        const char* field = nullptr;
        const char* caption = nullptr;
    };
    enum class Drawing { None, Burst, Pulse };

    const char* objectName;
    const char* title;
    Options options;
    std::array<Entry, 4> entries{}; // unused places have a null objectName
    std::array<Check, 2> checks{};  // likewise
    Drawing drawing = Drawing::None;
    const char* note = nullptr;
};

// A setup window built from its table.
class ParameterDialog final : public SetupDialog {
    Q_OBJECT
public:
    ParameterDialog(Oscillator& oscillator, const ParameterDialogTable& table, QWidget* parent = nullptr);
};

// The tables of the noise, burst, pulse, two tone, warble, AM, FM and DSB setups.
const ParameterDialogTable* ParameterDialogFor(WindowId id);

} // namespace kelvo::gui
