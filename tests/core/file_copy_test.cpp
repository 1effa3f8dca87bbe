#include "runtime/atomic_file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

// The copy of kelvo-cli -o and Save Wavefile: whole or not at all, through a symbolic
// link to the file it names, nothing onto itself, and the real cause when it fails.
TEST(CopyFileAtomically, ReplacesTheTargetWholeOrSaysWhy)
{
    TempFolder folder;
    const auto source = folder / "test.wav";
    const std::string signal(3 << 20, 's');
    ASSERT_EQ(WriteFileAtomically(source, signal), "");
    ASSERT_EQ(WriteFileAtomically(folder / "old.wav", "old"), "");

    EXPECT_EQ(CopyFileAtomically(source, folder / "old.wav"), "");
    EXPECT_TRUE(ReadFile(folder / "old.wav") == signal);
    EXPECT_EQ(CopyFileAtomically(source, folder / "." / "test.wav"), "");
    EXPECT_TRUE(ReadFile(source) == signal);

    std::filesystem::create_directory(folder / "kept");
    std::filesystem::create_symlink(folder / "kept" / "real.wav", folder / "link.wav");
    EXPECT_EQ(CopyFileAtomically(source, folder / "link.wav"), "");
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.wav"));
    EXPECT_TRUE(ReadFile(folder / "kept" / "real.wav") == signal);

    const struct {
        std::filesystem::path source;
        std::filesystem::path target;
        std::string error;
    } failures[] = {
        {folder / "missing.wav", folder / "x.wav",
         "\"" + (folder / "missing.wav").string() + "\" cannot be read: No such file or directory"},
        {folder / "kept", folder / "x.wav", "\"" + (folder / "kept").string() + "\" is not a regular file"},
        {source, folder / "no" / "x.wav",
         "\"" + (folder / "no" / "x.wav").string() + "\" cannot be created: No such file or directory"},
        {source, "/dev/full/x.wav", "\"/dev/full/x.wav\" cannot be created: Not a directory"},
    };
    for (const auto& f : failures)
        EXPECT_EQ(CopyFileAtomically(f.source, f.target), f.error);
    EXPECT_FALSE(std::filesystem::exists(folder / "x.wav"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 4);
}

// A backup is made by renaming the old file just before the new one takes its place.
TEST(AtomicFile, KeepsTheOldFileAsTheBackupWhenAsked)
{
    TempFolder folder;
    const auto target = folder / "Kelvo.ini";
    ASSERT_EQ(WriteFileAtomically(target, "damaged"), "");
    {
        AtomicFileWriter writer(target);
        writer.keepOldAs(folder / "Kelvo.ini.bak");
        writer.write(std::string_view("new"));
        ASSERT_TRUE(writer.commit()) << writer.error();
    }
    EXPECT_EQ(ReadFile(target), "new");
    EXPECT_EQ(ReadFile(folder / "Kelvo.ini.bak"), "damaged");

    // When the old file cannot be kept, it is not replaced either.
    std::filesystem::create_directories(folder / "taken.bak" / "inner");
    ASSERT_EQ(WriteFileAtomically(folder / "taken", "old"), "");
    AtomicFileWriter writer(folder / "taken");
    writer.keepOldAs(folder / "taken.bak");
    writer.write(std::string_view("new"));
    EXPECT_FALSE(writer.commit());
    EXPECT_NE(writer.error().find("cannot be kept as taken.bak"), std::string::npos) << writer.error();
    EXPECT_EQ(ReadFile(folder / "taken"), "old");
}

} // namespace
} // namespace kelvo::test
