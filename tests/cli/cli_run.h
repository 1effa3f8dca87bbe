#pragma once

#include "support/shell.h"
#include "support/test_support.h"

#include <string>
#include <vector>

namespace kelvo::test {

// Runs kelvo-cli with `arguments` (each passed as one word); the output holds what it
// printed on stdout and stderr.
inline ShellResult RunCli(const std::vector<std::string>& arguments)
{
    std::string command = "'" KELVO_CLI_PATH "'";
    for (const auto& argument : arguments)
        command += " '" + argument + "'";
    return RunShell(command + " 2>&1");
}

} // namespace kelvo::test
