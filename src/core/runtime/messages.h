#pragma once

#include <string_view>

namespace kelvo {

// Where the program's messages to the user go: a message box in the desktop program,
// standard error in the command-line tool, a recorder in tests. Called on the UI thread.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void show(std::string_view text) = 0;
};

} // namespace kelvo
