#include "help/help_topics.h"
#include "kelvo_config.h"
#include "runtime/program_folder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

TEST(HelpTopics, MissingTopicsAreCopiedAndAUsersCopyIsKept)
{
    TempFolder shipped, program;
    for (const HelpTopic& topic : kHelpTopics)
        WriteFile(shipped / topic.fileName, "{\\rtf1 shipped " + std::string(topic.fileName) + "}");
    WriteFile(program / "help.rtf", "{\\rtf1 edited by the user}");

    EXPECT_EQ(CopyMissingHelpTopics(shipped.path(), program.path()), "");
    EXPECT_EQ(ReadFile(program / "Welcome.rtf"), "{\\rtf1 shipped Welcome.rtf}");
    EXPECT_EQ(ReadFile(program / "help.rtf"), "{\\rtf1 edited by the user}");
    EXPECT_EQ(ReadFile(program / "soundcardtips.rtf"), "{\\rtf1 shipped soundcardtips.rtf}");

    // A topic the program lacks in both places is reported by name, and nothing else is.
    std::filesystem::remove(program / "Welcome.rtf");
    std::filesystem::remove(shipped / "Welcome.rtf");
    const std::string errors = CopyMissingHelpTopics(shipped.path(), program.path());
    EXPECT_NE(errors.find("Welcome.rtf could not be copied"), std::string::npos) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program.path()), {}), 2);
}

TEST(HelpTopics, ReadingSaysWhyATopicCannotBeShown)
{
    TempFolder folder;
    WriteFile(folder / "plain.rtf", "just text");
    WriteFile(folder / "good.rtf", "{\\rtf1 fine}");
    std::filesystem::create_directory(folder / "folder.rtf");
    const std::pair<std::string, std::string> cases[] = {
        {"missing.rtf", "does not exist"}, {"plain.rtf", "is not an RTF file"}, {"folder.rtf", "is not a file"}, {"good.rtf", ""}};
    for (const auto& [name, error] : cases) {
        const HelpTopicFile topic = ReadHelpTopic(folder / name);
        EXPECT_EQ(topic.document.has_value(), error.empty()) << name;
        EXPECT_NE(topic.error.find(error), std::string::npos) << topic.error;
        EXPECT_EQ(topic.error.find(name) != std::string::npos, !error.empty()) << topic.error;
    }
}

TEST(HelpTopics, TheShippedFolderIsTheInstalledOneWhenItHoldsTheTopics)
{
    TempFolder prefix;
    const auto bin = prefix / "bin";
    const auto data = prefix.path() / "share" / "kelvo";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(data);
    EXPECT_EQ(ShippedDataFolder(bin, KELVO_SOURCE_HELPDIR), KELVO_SOURCE_HELPDIR);
    WriteFile(data / "Welcome.rtf", "{\\rtf1 installed}");
    EXPECT_EQ(ShippedDataFolder(bin, KELVO_SOURCE_HELPDIR), data);
    EXPECT_EQ(ShippedDataFolder({}, KELVO_SOURCE_HELPDIR), KELVO_SOURCE_HELPDIR);
}

// The installed tree's use of the data home is the install test's.
TEST(ProgramFolder, GivenFolderThenWritablePortableExecutableFolder)
{
    TempFolder temp;
    EXPECT_EQ(ResolveProgramFolder(temp / "given" / "deeper", temp.path()), temp / "given" / "deeper");
    EXPECT_TRUE(std::filesystem::is_directory(temp / "given" / "deeper"));
    EXPECT_EQ(ResolveProgramFolder(std::nullopt, temp.path()), temp.path());
}

} // namespace
} // namespace kelvo::test
