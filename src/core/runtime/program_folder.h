#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace kelvo {

// The folder that holds every file the program owns: the folder given on the command
// line; otherwise the executable's folder when it is writable and not an installed
// program's bin folder (one with ../share/kelvo beside it), as in a portable install or
// the build tree; otherwise $XDG_DATA_HOME/kelvo (~/.local/share/kelvo), created on demand.
std::filesystem::path ResolveProgramFolder(const std::optional<std::filesystem::path>& given,
                                           const std::filesystem::path& executableFolder);

// The folder of the running executable.
std::filesystem::path ExecutableFolder();

// The folder of the data that ships with the program (the help topics): the installed
// <executable folder>/../share/kelvo when it holds them, otherwise `buildTreeFolder`.
std::filesystem::path ShippedDataFolder(const std::filesystem::path& executableFolder,
                                        const std::filesystem::path& buildTreeFolder);

// A file of the program folder under its fixed name.
inline std::filesystem::path ProgramFile(const std::filesystem::path& folder, std::string_view name)
{
    return folder / std::filesystem::path(name);
}

} // namespace kelvo
