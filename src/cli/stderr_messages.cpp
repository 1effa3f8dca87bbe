#include "stderr_messages.h"

#include <iostream>

namespace kelvo::cli {

void StderrMessages::show(std::string_view text)
{
    std::cerr << "kelvo-cli: " << text << '\n';
}

} // namespace kelvo::cli
