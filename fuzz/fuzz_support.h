#pragma once

#include "runtime/messages.h"
#include "settings/field_registry.h"
#include "settings/signal_settings.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
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
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                           ? std::filesystem::path("/dev/shm")
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
        for (std::int64_t index = 0; auto value = field.at(settings, indexed ? std::optional(index) : std::nullopt);
             ++index) {
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
