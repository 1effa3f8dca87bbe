#pragma once

#include <filesystem>
#include <string>

namespace kelvo::test {

struct ShellResult {
    int status = -1;     // exit status of the command
    std::string output;  // what it printed on standard output
};

// Runs a command through the shell and waits for it.
ShellResult RunShell(const std::string& command);

// A path as one single-quoted shell word.
std::string ShellQuoted(const std::filesystem::path& path);

} // namespace kelvo::test
