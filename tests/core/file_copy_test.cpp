#include "runtime/atomic_file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

std::ptrdiff_t Entries(const std::filesystem::path& folder)
{
    return std::distance(std::filesystem::directory_iterator(folder), {});
}

// A file is replaced whole or not at all, an abandoned write leaves nothing behind, and a
// backup is the old file renamed just before the new one takes its place.
TEST(AtomicFile, ReplacesWholeOrLeavesTheOldFileAndKeepsTheBackupWhenAsked)
{
    TempFolder temp;
    const auto target = temp / "Kelvo.ini";
    EXPECT_EQ(WriteFileAtomically(target, std::string(5000, 'a')), "");
    EXPECT_EQ(WriteFileAtomically(target, "short"), "");
    AtomicFileWriter(target).write(std::string_view("abandoned"));
    EXPECT_EQ(ReadFile(target), "short");
    EXPECT_EQ(Entries(temp.path()), 1);

    AtomicFileWriter writer(target);
    writer.keepOldAs(temp / "Kelvo.ini.bak");
    writer.write(std::string_view("new"));
    ASSERT_TRUE(writer.commit()) << writer.error();
    EXPECT_EQ(ReadFile(target), "new");
    EXPECT_EQ(ReadFile(temp / "Kelvo.ini.bak"), "short");

    // Renaming onto a folder fails, and an old file that cannot be kept is not replaced.
    std::filesystem::create_directories(temp / "taken" / "inner");
    EXPECT_NE(WriteFileAtomically(temp / "taken", "x").find("taken"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(temp / "taken" / "inner"));
    std::filesystem::create_directories(temp / "old.bak" / "inner");
    ASSERT_EQ(WriteFileAtomically(temp / "old", "old"), "");
    AtomicFileWriter refused(temp / "old");
    refused.keepOldAs(temp / "old.bak");
    refused.write(std::string_view("new"));
    EXPECT_FALSE(refused.commit());
    EXPECT_NE(refused.error().find("cannot be kept as old.bak"), std::string::npos) << refused.error();
    EXPECT_EQ(ReadFile(temp / "old"), "old");
    EXPECT_EQ(Entries(temp.path()), 5);
}

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

    const auto quoted = [](const std::filesystem::path& p) { return "\"" + p.string() + "\""; };
    const struct {
        std::filesystem::path source;
        std::filesystem::path target;
        std::string error;
    } failures[] = {
        {folder / "missing.wav", folder / "x.wav", quoted(folder / "missing.wav") + " cannot be read: No such file or directory"},
        {folder / "kept", folder / "x.wav", quoted(folder / "kept") + " is not a regular file"},
        {source, folder / "no" / "x.wav", quoted(folder / "no" / "x.wav") + " cannot be created: No such file or directory"},
        {source, "/dev/full/x.wav", "\"/dev/full/x.wav\" cannot be created: Not a directory"},
    };
    for (const auto& f : failures)
        EXPECT_EQ(CopyFileAtomically(f.source, f.target), f.error);
    EXPECT_EQ(Entries(folder.path()), 4);
}

} // namespace
} // namespace kelvo::test
