#include "runtime/atomic_file.h"
#include "runtime/program_folder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kelvo::test {
namespace {

TEST(ProgramFolder, GivenFolderThenWritablePortableExecutableFolderThenDataHome)
{
    TempFolder temp;
    const auto given = temp / "given" / "deeper";
    EXPECT_EQ(ResolveProgramFolder(given, temp.path()), given);
    EXPECT_TRUE(std::filesystem::is_directory(given));

    EXPECT_EQ(ResolveProgramFolder(std::nullopt, temp.path()), temp.path());

    // No usable executable folder: the data home's kelvo folder, created on demand.
    const char* previous = std::getenv("XDG_DATA_HOME");
    const std::string saved = previous ? previous : "";
    ::setenv("XDG_DATA_HOME", (temp / "data").c_str(), 1);
    const auto resolved = ResolveProgramFolder(std::nullopt, {});
    // A writable bin folder of an installed tree (share/kelvo beside it) is not used;
    // a bin folder without that is a portable one.
    std::filesystem::create_directories(temp / "prefix" / "bin");
    std::filesystem::create_directories(temp / "prefix" / "share" / "kelvo");
    std::filesystem::create_directories(temp / "portable" / "bin");
    const auto installed = ResolveProgramFolder(std::nullopt, temp / "prefix" / "bin");
    const auto portable = ResolveProgramFolder(std::nullopt, temp / "portable" / "bin");
    if (previous)
        ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(resolved, temp / "data" / "kelvo");
    EXPECT_EQ(installed, temp / "data" / "kelvo");
    EXPECT_EQ(portable, temp / "portable" / "bin");
    EXPECT_TRUE(std::filesystem::is_directory(resolved));
}

TEST(AtomicFile, ReplacesWholeOrLeavesTheOldFile)
{
    TempFolder temp;
    const auto target = temp / "Kelvo.ini";
    EXPECT_EQ(WriteFileAtomically(target, std::string(5000, 'a')), "");
    EXPECT_EQ(WriteFileAtomically(target, "short"), "");
    EXPECT_EQ(ReadFile(target), "short");

    {
        AtomicFileWriter abandoned(target);
        abandoned.write(std::string_view("half"));
    }
    EXPECT_EQ(ReadFile(target), "short");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()), {}), 1);

    // Renaming onto a folder fails: the message names the file and the old content stays.
    std::filesystem::create_directory(temp / "taken");
    std::filesystem::create_directory(temp / "taken" / "inner");
    const std::string error = WriteFileAtomically(temp / "taken", "x");
    EXPECT_NE(error.find("taken"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(temp / "taken" / "inner"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()), {}), 2);
}

} // namespace
} // namespace kelvo::test
