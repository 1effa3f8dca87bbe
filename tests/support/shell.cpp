#include "support/shell.h"

#include <cstdio>
#include <sys/wait.h>

namespace kelvo::test {

ShellResult RunShell(const std::string& command)
{
    ShellResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        result.output.append(chunk, got);
    const int raw = ::pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

std::string ShellQuoted(const std::filesystem::path& path)
{
    return "'" + path.string() + "'";
}

} // namespace kelvo::test
