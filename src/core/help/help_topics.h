#pragma once

#include "core/help/rtf_reader.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

// The help topics in list order: the list text and the file in the program folder.
struct HelpTopic {
    std::string_view listText;
    std::string_view fileName;
};

inline constexpr std::array<HelpTopic, 3> kHelpTopics{{
    {" Welcome", "Welcome.rtf"},
    {" Oscillator Help", "help.rtf"},
    {" Sound Card Interfacing", "soundcardtips.rtf"},
}};

// A help topic read from its file: the document, or the reason there is none.
struct HelpTopicFile {
    std::optional<RtfDocument> document;
    std::string error;
};

// Reads a topic file: a regular file of at most 8 MiB that holds RTF.
HelpTopicFile ReadHelpTopic(const std::filesystem::path& path);

// Copies every topic the program folder lacks from the folder the program ships them in;
// a topic already there (perhaps edited by the user) is never replaced. Returns what
// went wrong, one line per topic; empty when every topic is in place.
[[nodiscard]] std::string CopyMissingHelpTopics(const std::filesystem::path& shippedFolder,
                                                const std::filesystem::path& programFolder);

} // namespace kelvo
