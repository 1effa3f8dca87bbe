#pragma once

#include "core/runtime/messages.h"

namespace kelvo::gui {

// Shows each message in a message box with an OK button. The box does not block: show()
// returns at once, so no operation of the core is re-entered from a nested event loop.
// Boxes are windows of their own, so a message shown while leaving stays until read.
class BoxMessages final : public Messages {
public:
    void show(std::string_view text) override;
};

} // namespace kelvo::gui
