#include "runtime/program_folder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kelvo::test {
namespace {

TEST(ProgramFolder, GivenFolderThenWritablePortableExecutableFolderThenDataHome)
{
    TempFolder temp;
    EXPECT_EQ(ResolveProgramFolder(temp / "given" / "deeper", temp.path()), temp / "given" / "deeper");
    EXPECT_TRUE(std::filesystem::is_directory(temp / "given" / "deeper"));
    EXPECT_EQ(ResolveProgramFolder(std::nullopt, temp.path()), temp.path());

    // An installed tree's bin folder (share/kelvo beside it) is never used, even writable.
    std::filesystem::create_directories(temp / "prefix" / "bin");
    std::filesystem::create_directories(temp / "prefix" / "share" / "kelvo");
    const char* previous = std::getenv("XDG_DATA_HOME");
    const std::string saved = previous ? previous : "";
    ::setenv("XDG_DATA_HOME", (temp / "data").c_str(), 1);
    const auto none = ResolveProgramFolder(std::nullopt, {});
    const auto installed = ResolveProgramFolder(std::nullopt, temp / "prefix" / "bin");
    previous ? ::setenv("XDG_DATA_HOME", saved.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(none, temp / "data" / "kelvo");
    EXPECT_EQ(installed, temp / "data" / "kelvo");
    EXPECT_TRUE(std::filesystem::is_directory(temp / "data" / "kelvo"));
}

} // namespace
} // namespace kelvo::test
