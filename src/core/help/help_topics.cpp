#include "core/help/help_topics.h"

#include "core/runtime/atomic_file.h"
#include "core/runtime/program_folder.h"
#include "core/runtime/quoted.h"
#include "core/runtime/regular_file.h"

#include <system_error>

namespace kelvo {
namespace {

constexpr std::int64_t kMaxTopicBytes = 8 << 20;

// The whole file, or the reason it cannot be had.
std::optional<std::string> ReadWhole(const std::filesystem::path& path, std::string& error)
{
    RegularFileContents file = ReadRegularFile(path, kMaxTopicBytes);
    if (file.problem.empty())
        return std::move(file.bytes);
    if (file.missing)
        error = Quoted(path.string()) + " does not exist";
    else if (file.tooLarge)
        error = Quoted(path.string()) + " is too large for a help topic";
    else if (file.notRegular)
        error = Quoted(path.string()) + " is not a file";
    else
        error = Quoted(path.string()) + " " + file.problem;
    return std::nullopt;
}

} // namespace

HelpTopicFile ReadHelpTopic(const std::filesystem::path& path)
{
    HelpTopicFile topic;
    const std::optional<std::string> bytes = ReadWhole(path, topic.error);
    if (!bytes)
        return topic;
    topic.document = ReadRtf(*bytes);
    if (!topic.document)
        topic.error = Quoted(path.string()) + " is not an RTF file";
    return topic;
}

std::string CopyMissingHelpTopics(const std::filesystem::path& shippedFolder, const std::filesystem::path& programFolder)
{
    std::string errors;
    for (const HelpTopic& topic : kHelpTopics) {
        const std::filesystem::path target = ProgramFile(programFolder, topic.fileName);
        std::error_code code;
        if (std::filesystem::exists(std::filesystem::symlink_status(target, code)))
            continue;
        std::string error;
        if (const auto bytes = ReadWhole(ProgramFile(shippedFolder, topic.fileName), error))
            error = WriteFileAtomically(target, *bytes);
        if (!error.empty())
            errors += "The help topic " + std::string(topic.fileName) + " could not be copied: " + error + "\n";
    }
    return errors;
}

} // namespace kelvo
