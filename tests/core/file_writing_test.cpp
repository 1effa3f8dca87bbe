#include "core/oscillator/signal_files.h"
#include "core/runtime/atomic_file.h"
#include "core/wavefile/wav_writer.h"
#include "support/signal_checks.h"

#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace kelvo::test {
namespace {

using namespace std::string_literals;

// The canonical header: RIFF size = data + 36, 2 channels, 16 bits, block align 4, byte rate = rate x 4.
TEST(WaveFile, TheWritersBytes)
{
    const struct {
        SampleBuffer samples;
        std::int32_t rate;
        std::string bytes;
    } cases[] = {
        // The stop file: 201 zero elements at 44100 Hz (0xAC44; byte rate 0x02B110), 402 bytes of data.
        {SampleBuffer(201), 44100,
         "RIFF\xb6\x01\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0data\x92\x01\0\0"s +
             std::string(402, '\0')},
        // An odd element count is written as it stands, with no pad byte; 22050 Hz is 0x5622.
        {SampleBuffer{1, -2, 32767, -32768, 258}, 22050,
         "RIFF\x2e\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x22\x56\0\0\x88\x58\x01\0\x04\0\x10\0data\x0a\0\0\0"
         "\x01\0\xfe\xff\xff\x7f\0\x80\x02\x01"s},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        ASSERT_EQ(WriteWaveFile(folder / "out.wav", c.samples, c.rate), "");
        EXPECT_EQ(ReadFile(folder / "out.wav"), c.bytes);
    }
    Renderer r;
    ASSERT_EQ(WriteStopFile(r.settings, folder.path()), "");
    EXPECT_EQ(ReadFile(folder / "stop.wav"), cases[0].bytes);
}

// A code from a damaged file that would leave the render silent, a block too long for a WAV file
// and a folder that cannot be written are refused with a message naming why, and nothing is
// written; a code silent by design (User) still renders, and always as 16 bits.
TEST(SilentRender, UnknownCodesAreRefusedInsteadOfWritingSilence)
{
    const struct {
        const char* set;
        const char* message; // empty: rendered
        const char* folder = "";
    } cases[] = {
        {"Waveform=99", "Waveform code 99 is unknown (the program knows 1 to 16): there is no signal to render."},
        {"Waveform=0", "Waveform code 0 is unknown"},
        {"ChanMode=99", "Channel mode 99 is unknown (the program knows 1 to 6)"},
        {"Waveform=5 NoiseType=4", "Noise type 4 is unknown"},
        {"Waveform=11 SweepParam=3", "Sweep parameter 3 is unknown"},
        {"Waveform=11 SweepKind=8", "Sweep kind 8 is unknown"},
        {"SampleRate=0", "A sample rate of 0 Hz cannot be rendered."},
        {"ArbBuild=1 ArbChanMode=7", "Channel choice of the arbitrary waveform 7 is unknown"},
        {"SampleRate=2147483647", "This signal is too long to render"},
        {"", "The signal could not be written: ", "missing"},
        {"NoiseType=4", ""}, // of a sine
        {"Waveform=16 Bits=20", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set);
        TempFolder folder;
        Renderer r;
        RecordingMessages messages;
        int stops = 0;
        r.engine.setBeforeRender([&] { ++stops; });
        ASSERT_EQ(SetUnchecked(r.settings, c.set), "");
        const bool written = SignalFiles(r.engine).renderToFile(r.settings, folder / c.folder, messages);
        EXPECT_EQ(written, *c.message == '\0');
        EXPECT_EQ(stops, *c.folder || written ? 1 : 0);
        EXPECT_EQ(std::filesystem::exists(folder / "test.wav"), written);
        if (written) {
            const std::string bytes = ReadFile(folder / "test.wav");
            EXPECT_EQ(bytes.size(), 44u + 176401 * 2);
            EXPECT_EQ(bytes.substr(28, 8), "\x10\xb1\x02\0\x04\0\x10\0"s); // byte rate, align 4, 16 bits
        } else {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].rfind(c.message, 0), 0u) << messages.shown[0];
            EXPECT_TRUE(!*c.folder || messages.shown[0].find("test.wav") != std::string::npos) << messages.shown[0];
        }
    }
}

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

// A save replaces only a regular file with one name, and the new file keeps the old one's
// permissions and owner; what it refuses is left exactly as it was.
TEST(AtomicFile, ReplacesOnlyARegularFileAndKeepsItsModeAndOwner)
{
    TempFolder temp;
    const auto at = [&](const char* name) { return temp / name; };
    ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0644), 0);
    std::filesystem::create_symlink(at("fifo"), at("to-fifo"));
    std::filesystem::create_directory(at("folder"));
    WriteFile(at("linked"), "old");
    std::filesystem::create_hard_link(at("linked"), at("other-name"));
    const std::pair<const char*, std::string> refusals[] = {{"fifo", "is not a regular file"},
                                                            {"to-fifo", "is not a regular file"},
                                                            {"folder", "is a folder"},
                                                            {"linked", "has 2 names (hard links)"}};
    for (const auto& [name, reason] : refusals) {
        const std::string error = WriteFileAtomically(at(name), "new");
        EXPECT_NE(error.find(reason), std::string::npos) << name << ": " << error;
    }
    EXPECT_EQ(std::filesystem::status(at("fifo")).type(), std::filesystem::file_type::fifo);
    EXPECT_TRUE(std::filesystem::is_symlink(at("to-fifo")));
    EXPECT_EQ(ReadFile(at("other-name")), "old");
    EXPECT_EQ(std::filesystem::hard_link_count(at("linked")), 2u);
    EXPECT_EQ(Entries(temp.path()), 5) << "no temporary is left behind";

    WriteFile(at("private"), "old");
    ASSERT_EQ(::chmod(at("private").c_str(), 0600), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(at("private").c_str(), 4321, 4322), 0);
    }
    EXPECT_EQ(WriteFileAtomically(at("private"), "new"), "");
    struct stat status {};
    ASSERT_EQ(::stat(at("private").c_str(), &status), 0);
    EXPECT_EQ(ReadFile(at("private")), "new");
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    if (root) {
        EXPECT_EQ(std::make_pair(status.st_uid, status.st_gid), std::make_pair(uid_t{4321}, gid_t{4322}));
    }
}

// What a killed writer left is removed at the next start; what a running one writes is not.
TEST(AtomicFile, StaleTemporariesOfDeadWritersAreRemoved)
{
    TempFolder temp;
    const std::string mine = ".Kelvo.ini.tmp-" + std::to_string(::getpid()) + "-3";
    for (const std::string& name :
         {std::string(".test.wav.tmp-999999999-0"), mine, std::string("notes.tmp-1-1"), std::string(".x.tmp-1")})
        WriteFile(temp / name, "x");
    EXPECT_EQ(RemoveStaleTemporaries(temp.path()), 1);
    EXPECT_FALSE(std::filesystem::exists(temp / ".test.wav.tmp-999999999-0"));
    EXPECT_EQ(Entries(temp.path()), 3);
    EXPECT_EQ(RemoveStaleTemporaries(temp / "missing"), 0);
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
    const std::tuple<std::filesystem::path, std::filesystem::path, std::string> failures[] = {
        // source, target, error
        {folder / "missing.wav", folder / "x.wav", quoted(folder / "missing.wav") + " cannot be read: No such file or directory"},
        {folder / "kept", folder / "x.wav", quoted(folder / "kept") + " is not a regular file"},
        {source, folder / "no" / "x.wav", quoted(folder / "no" / "x.wav") + " cannot be created: No such file or directory"},
        {source, "/dev/full/x.wav", "\"/dev/full/x.wav\" cannot be created: Not a directory"},
    };
    for (const auto& [from, to, error] : failures)
        EXPECT_EQ(CopyFileAtomically(from, to), error);
    EXPECT_EQ(Entries(folder.path()), 4);
}

} // namespace
} // namespace kelvo::test
