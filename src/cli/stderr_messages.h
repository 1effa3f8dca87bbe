#pragma once

#include "core/runtime/messages.h"

namespace kelvo::cli {

// Messages to the user of the command-line tool go to standard error.
class StderrMessages final : public Messages {
public:
    void show(std::string_view text) override;
};

} // namespace kelvo::cli
