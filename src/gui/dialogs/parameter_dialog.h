#pragma once

#include "gui/app/window_id.h"
#include "gui/dialogs/setup_dialog.h"

#include <initializer_list>
#include <vector>

namespace kelvo::gui {

// What a waveform's small setup window holds, top to bottom: option buttons, entry boxes,
// a check box, a drawing of one period, notes. A window is this table plus the frame.
struct ParameterDialogSpec {
    struct Entry {
        const char* objectName;
        const char* field;
        const char* label;
        const char* hint = "";
    };
    struct Options {
        const char* base = nullptr; // no options when null
        const char* field = nullptr;
        std::vector<const char*> captions;
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
    std::vector<Entry> entries;
    Check check;
    Drawing drawing = Drawing::None;
    std::vector<const char*> notes;
};

// A setup window built from its table.
class ParameterDialog final : public SetupDialog {
    Q_OBJECT
public:
    ParameterDialog(Oscillator& oscillator, const ParameterDialogSpec& spec, QWidget* parent = nullptr);
};

// The tables of the noise, burst, pulse, two tone, warble, AM, FM and DSB setups.
const ParameterDialogSpec* ParameterDialogFor(WindowId id);

} // namespace kelvo::gui
