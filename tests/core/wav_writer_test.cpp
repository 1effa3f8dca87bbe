#include "support/test_support.h"
#include "wavefile/wav_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>

namespace kelvo::test {
namespace {

std::uint32_t U32(const std::string& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

std::uint16_t U16(const std::string& bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                      static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

TEST(WaveFile, StopFileIsTheExact446ByteSilence)
{
    TempFolder folder;
    Renderer r;
    ASSERT_EQ(r.engine.MakeStopFile(r.settings, folder.path()), "");
    const std::string bytes = ReadFile(folder / "stop.wav");
    ASSERT_EQ(bytes.size(), 446u);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(U32(bytes, 4), 438u);
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(U32(bytes, 16), 16u);
    EXPECT_EQ(U16(bytes, 20), 1u);
    EXPECT_EQ(U16(bytes, 22), 2u);
    EXPECT_EQ(U32(bytes, 24), 44100u);
    EXPECT_EQ(U32(bytes, 28), 176400u);
    EXPECT_EQ(U16(bytes, 32), 4u);
    EXPECT_EQ(U16(bytes, 34), 16u);
    EXPECT_EQ(bytes.substr(36, 4), "data");
    EXPECT_EQ(U32(bytes, 40), 402u);
    EXPECT_EQ(bytes.substr(44), std::string(402, '\0'));
    EXPECT_EQ(r.samples().size(), 201u);
}

TEST(WaveFile, OddElementCountsAndNegativeSamplesAreWrittenUnchanged)
{
    TempFolder folder;
    const SampleBuffer samples{1, -2, 32767, -32768, 258};
    ASSERT_EQ(WriteWaveFile(folder / "odd.wav", samples, 22050), "");
    const std::string bytes = ReadFile(folder / "odd.wav");
    ASSERT_EQ(bytes.size(), 44u + 10);
    EXPECT_EQ(U32(bytes, 40), 10u);
    EXPECT_EQ(U32(bytes, 4), 46u);
    EXPECT_EQ(U32(bytes, 28), 88200u);
    EXPECT_EQ(bytes.substr(44), std::string("\x01\x00\xfe\xff\xff\x7f\x00\x80\x02\x01", 10));
}

TEST(WaveFile, RenderReplacesTheOldFileWholeAndIgnoresBits)
{
    TempFolder folder;
    RecordingMessages messages;
    Renderer r;
    r.settings.WaveBuildLength = 10;
    ASSERT_TRUE(r.engine.BuildWave(r.settings, folder.path(), messages));
    EXPECT_EQ(std::filesystem::file_size(folder / "test.wav"), 44u + 1764001 * 2);

    r.settings.WaveBuildLength = 1;
    r.settings.Bits[0] = 24;
    ASSERT_TRUE(r.engine.BuildWave(r.settings, folder.path(), messages));
    const std::string bytes = ReadFile(folder / "test.wav");
    EXPECT_EQ(bytes.size(), 44u + 176401 * 2);
    EXPECT_EQ(U16(bytes, 34), 16u);
    EXPECT_EQ(U16(bytes, 32), 4u);
    EXPECT_TRUE(messages.shown.empty());
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(WaveFile, AnUnwritableFolderGivesAMessageAndFalse)
{
    TempFolder folder;
    RecordingMessages messages;
    Renderer r;
    EXPECT_FALSE(r.engine.BuildWave(r.settings, folder / "missing", messages));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find("test.wav"), std::string::npos) << messages.shown[0];
}

TEST(WaveFile, ARefusedRenderWritesNothingAndKeepsTheOutputPlaying)
{
    TempFolder folder;
    RecordingMessages messages;
    Renderer r;
    int stops = 0;
    r.engine.setBeforeRender([&] { ++stops; });
    r.settings.SampleRate[0] = 2147483647;
    EXPECT_FALSE(r.engine.BuildWave(r.settings, folder.path(), messages));
    EXPECT_EQ(stops, 0);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(folder / "test.wav"));

    r.settings.SampleRate[0] = 44100;
    EXPECT_TRUE(r.engine.BuildWave(r.settings, folder.path(), messages));
    EXPECT_EQ(stops, 1);
}

} // namespace
} // namespace kelvo::test
