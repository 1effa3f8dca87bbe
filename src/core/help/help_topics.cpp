#include "help/help_topics.h"

#include "runtime/atomic_file.h"
#include "runtime/program_folder.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

namespace kelvo {
namespace {

constexpr std::uintmax_t kMaxTopicBytes = 8u << 20;

std::string Quoted(const std::filesystem::path& path)
{
    return "\"" + path.string() + "\"";
}

// The whole file, or the reason it cannot be had.
std::optional<std::string> ReadWhole(const std::filesystem::path& path, std::string& error)
{
    std::error_code code;
    if (!std::filesystem::is_regular_file(path, code)) {
        error = Quoted(path) + (std::filesystem::exists(path, code) ? " is not a file" : " does not exist");
        return std::nullopt;
    }
    if (std::filesystem::file_size(path, code) > kMaxTopicBytes) {
        error = Quoted(path) + " is too large for a help topic";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad()) {
        error = Quoted(path) + " cannot be read: " + std::strerror(errno);
        return std::nullopt;
    }
    return bytes;
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
        topic.error = Quoted(path) + " is not an RTF file";
    return topic;
}

std::string CopyMissingHelpTopics(const std::filesystem::path& shippedFolder,
                                  const std::filesystem::path& programFolder)
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
