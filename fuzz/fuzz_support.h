#pragma once

#include "core/runtime/event_loop.h"
#include "core/runtime/messages.h"
#include "core/settings/field_registry.h"
#include "core/settings/settings_files.h"
#include "core/settings/signal_settings.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace kelvo::fuzz {

// Counts the messages a run shows.
class CountingMessages final : public Messages {
public:
    void show(std::string_view) override { ++count; }
    int count = 0;
};

// A loop whose timers never fire: nothing is played here.
class IdleLoop final : public EventLoop {
public:
    void post(Task) override {}
    TimerId startTimer(std::chrono::milliseconds, bool, Task) override { return ++m_last; }
    void stopTimer(TimerId) override {}

private:
    TimerId m_last = 0;
};

inline constexpr std::array<std::string_view, 6> kSettingsFileNames = {kMainSettingsFile, kUserStepFile, kMultitoneFile,
                                                                       kPlaylistFile,     kArbDataFile,  kOptionsFile};

// The input holds the six files in load order, separated by NUL bytes; files past the
// last part do not exist.
inline void PlaceSettingsFiles(const std::filesystem::path& folder, std::string_view input)
{
    for (const auto name : kSettingsFileNames) {
        std::filesystem::remove(folder / name);
        if (input.data() == nullptr)
            continue;
        const auto end = input.find('\0');
        std::ofstream(folder / name, std::ios::binary) << input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
    }
}

// Stops the run with a finding when `holds` is false.
inline void Check(bool holds, std::string_view what)
{
    if (!holds) {
        std::fprintf(stderr, "finding: %.*s\n", static_cast<int>(what.size()), what.data());
        std::abort();
    }
}

// A folder of this process for the files a target writes, in memory where the system has
// such a folder; it is emptied at the start and left for the next input.
inline std::filesystem::path ScratchFolder(std::string_view target)
{
    std::error_code error;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error) ? std::filesystem::path("/dev/shm")
                                                                                        : std::filesystem::temp_directory_path();
    auto folder = base / ("kelvo-fuzz-" + std::string(target) + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder, error);
    std::filesystem::create_directories(folder);
    return folder;
}

// Every value of the record, byte for byte, reached through the field table.
inline std::string RecordImage(SignalSettings& settings)
{
    std::string image;
    for (const FieldInfo& field : Fields()) {
        const bool indexed = field.shape != FieldShape::Single;
        for (std::int64_t index = 0; auto value = field.at(settings, indexed ? std::optional(index) : std::nullopt); ++index) {
            std::visit(
                [&image](auto* target) {
                    if constexpr (std::is_same_v<std::remove_pointer_t<decltype(target)>, std::string>)
                        image += *target + '\0';
                    else
                        image.append(reinterpret_cast<const char*>(target), sizeof *target);
                },
                *value);
            if (!indexed)
                break;
        }
    }
    return image;
}

} // namespace kelvo::fuzz
