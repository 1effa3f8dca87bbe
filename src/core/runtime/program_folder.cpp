#include "core/runtime/program_folder.h"

#include <cstdlib>
#include <system_error>
#include <unistd.h>

namespace kelvo {
namespace {

std::filesystem::path DataHome()
{
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return xdg;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".local" / "share";
    return std::filesystem::temp_directory_path();
}

// An installed program's bin folder has the shipped data folder beside it. It is never
// the program folder, even where it is writable (root, a prefix in the home folder),
// so that settings and signal files stay out of a folder of programs.
bool InstalledProgramFolder(const std::filesystem::path& executableFolder)
{
    std::error_code error;
    return std::filesystem::is_directory(executableFolder.parent_path() / "share" / "kelvo", error);
}

} // namespace

std::filesystem::path ResolveProgramFolder(const std::optional<std::filesystem::path>& given,
                                           const std::filesystem::path& executableFolder)
{
    std::error_code error;
    if (given) {
        std::filesystem::create_directories(*given, error);
        return *given;
    }
    if (!executableFolder.empty() && ::access(executableFolder.c_str(), W_OK) == 0 && !InstalledProgramFolder(executableFolder))
        return executableFolder;
    auto folder = DataHome() / "kelvo";
    std::filesystem::create_directories(folder, error);
    return folder;
}

std::filesystem::path ExecutableFolder()
{
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path{} : executable.parent_path();
}

std::filesystem::path ShippedDataFolder(const std::filesystem::path& executableFolder,
                                        const std::filesystem::path& buildTreeFolder)
{
    std::error_code error;
    const auto installed = executableFolder.parent_path() / "share" / "kelvo";
    if (!executableFolder.empty() && std::filesystem::is_regular_file(installed / "Welcome.rtf", error))
        return installed;
    return buildTreeFolder;
}

} // namespace kelvo
