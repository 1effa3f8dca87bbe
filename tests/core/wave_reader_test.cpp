#include "playback/wave_reader.h"
#include "support/test_support.h"
#include "support/wave_bytes.h"

#include <gtest/gtest.h>

namespace kelvo::test {
namespace {

using W = WaveBytes;

std::string Frames(int count, int bytesPerFrame, char first = 1)
{
    std::string data;
    for (int i = 0; i < count * bytesPerFrame; ++i)
        data += static_cast<char>(first + i);
    return data;
}

std::string ReadAll(WaveReader& reader, std::int64_t count)
{
    std::string bytes(static_cast<std::size_t>(count), '\0');
    bytes.resize(reader.read(std::as_writable_bytes(std::span(bytes))));
    return bytes;
}

TEST(WaveReader, FindsFormatAndDataWhateverTheChunkLayout)
{
    TempFolder folder;
    const std::string data = Frames(10, 4);
    const std::string fmt = W::chunk("fmt ", W::format(1, 2, 44100, 16));
    // A long format chunk: only its first 50 bytes are read, its real size is skipped.
    std::string longFormat = W::format(1, 2, 48000, 16) + W::le16(44) + std::string(44, 'x');
    const struct {
        const char* name;
        std::string file;
        std::int32_t rate;
    } layouts[] = {
        {"extra odd chunk between", W::riff(fmt + W::chunk("LIST", "abc") + W::chunk("data", data)), 44100},
        {"data first", W::riff(W::chunk("data", data) + W::chunk("junk", "12345") + fmt), 44100},
        {"format chunk of 62 bytes", W::riff(W::chunk("fmt ", longFormat) + W::chunk("data", data)), 48000},
    };
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.name);
        W::write(folder / "a.wav", layout.file);
        RecordingMessages messages;
        WaveReader reader;
        reader.OpenWaveFile(folder / "a.wav", messages);
        ASSERT_TRUE(reader.WaveFileOpen());
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(reader.playFormat().samplesPerSec, static_cast<std::uint32_t>(layout.rate));
        EXPECT_EQ(reader.format(), (AudioFormat{SampleEncoding::Signed16, 2, layout.rate, 4}));
        EXPECT_EQ(reader.DataOffset(), static_cast<std::int64_t>(layout.file.find(data)));
        EXPECT_EQ(reader.DataSize(), 40);
        EXPECT_EQ(ReadAll(reader, reader.DataSize()), data);
    }
}

TEST(WaveReader, BufferSizeIsATenthOfASecondPerChannelInWholeFrames)
{
    TempFolder folder;
    const struct {
        std::uint16_t tag, channels;
        std::uint32_t rate;
        std::uint16_t bits;
        std::int64_t bufferSize;
        SampleEncoding encoding;
    } cases[] = {
        {1, 2, 44100, 16, 35280, SampleEncoding::Signed16},
        {1, 2, 48000, 16, 38400, SampleEncoding::Signed16},
        {1, 1, 44100, 16, 8820, SampleEncoding::Signed16},
        {1, 1, 22050, 8, 2205, SampleEncoding::Unsigned8},
        // 6 x 11025 x 2 x 0.1 = 13230, less 13230 mod 6 = 0; 3 x 7 x 1 x 0.1 rounds to 2, less 2.
        {1, 2, 11025, 24, 13230, SampleEncoding::Signed24},
        {1, 1, 7, 24, 3, SampleEncoding::Signed24},
        {3, 2, 44100, 32, 70560, SampleEncoding::Float32},
        {1, 1, 8000, 32, 3200, SampleEncoding::Signed32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bufferSize);
        const int align = c.channels * c.bits / 8;
        W::write(folder / "a.wav", W::riff(W::chunk("fmt ", W::format(c.tag, c.channels, c.rate, c.bits)) +
                                           W::chunk("data", Frames(3, align))));
        RecordingMessages messages;
        WaveReader reader;
        reader.OpenWaveFile(folder / "a.wav", messages);
        ASSERT_TRUE(reader.WaveFileOpen()) << (messages.shown.empty() ? "" : messages.shown[0]);
        EXPECT_EQ(reader.BufferSize(), c.bufferSize);
        EXPECT_EQ(reader.BufferSize() % align, 0);
        EXPECT_EQ(reader.format().encoding, c.encoding);
        for (int i = 0; i < PlayerBufferCount; ++i)
            EXPECT_EQ(reader.buffer(i).size(), static_cast<std::size_t>(c.bufferSize));
    }
}

TEST(WaveReader, ExtensibleFormatsNameTheirSampleTypeInTheSubFormat)
{
    TempFolder folder;
    const std::string guidTail = std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    for (const std::uint16_t sub : {1, 3, 2}) {
        const std::uint16_t bits = sub == 1 ? 24 : 32;
        const std::string fmt = W::format(0xFFFE, 2, 44100, bits) + W::le16(22) + W::le16(bits) + W::le32(3) +
                                W::le16(sub) + guidTail;
        W::write(folder / "a.wav", W::riff(W::chunk("fmt ", fmt) + W::chunk("data", Frames(2, 2 * bits / 8))));
        RecordingMessages messages;
        WaveReader reader;
        reader.OpenWaveFile(folder / "a.wav", messages);
        if (sub == 2) {
            EXPECT_FALSE(reader.WaveFileOpen());
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0], "Unsupported wave format: format tag 65534, 32 bits per sample, 2 channels, "
                                         "block align 8, 44100 samples per second");
        } else {
            ASSERT_TRUE(reader.WaveFileOpen());
            EXPECT_EQ(reader.format().encoding, sub == 1 ? SampleEncoding::Signed24 : SampleEncoding::Float32);
        }
    }
}

TEST(WaveReader, RefusesWhatItCannotPlayWithOneExactMessage)
{
    TempFolder folder;
    const std::string fmt = W::chunk("fmt ", W::format(1, 2, 44100, 16));
    const std::string data = W::chunk("data", Frames(4, 4));
    std::filesystem::create_directory(folder / "folder.wav");
    const struct {
        const char* file; // written unless empty
        std::string bytes;
        std::string message;
    } cases[] = {
        {"text.wav", "This is plain text, not sound.\r\n", "This is not a wave file"},
        {"short.wav", "RI", "This is not a wave file"},
        {"avi.wav", "RIFF" + W::le32(4 + 8) + "AVI " + data, "This is not a wave file"},
        {"nofmt.wav", W::riff(data), "Couldn't get the format chunk"},
        {"nodata.wav", W::riff(fmt + W::chunk("LIST", "info")), "Couldn't get data chunk"},
        {"tinyfmt.wav", W::riff(W::chunk("fmt ", W::format(1, 2, 44100, 16).substr(0, 14)) + data),
         "Error reading the wave format"},
        {"cutfmt.wav", W::riff(fmt).substr(0, 12 + 8 + 10), "Error reading the wave format"},
        {"empty.wav", W::riff(fmt + W::chunk("data", "")), "The wave file holds no sound data"},
        {"halfframe.wav", W::riff(fmt + W::chunk("data", "ab")), "The wave file holds no sound data"},
        {"adpcm.wav", W::riff(W::chunk("fmt ", W::format(2, 2, 44100, 4)) + data),
         "Unsupported wave format: format tag 2, 4 bits per sample, 2 channels, block align 1, 44100 samples per second"},
        {"align0.wav", W::riff(W::chunk("fmt ", W::format(1, 0, 44100, 16)) + data),
         "Unsupported wave format: format tag 1, 16 bits per sample, 0 channels, block align 0, 44100 samples per second"},
        {"missing.wav", "", "Error opening input file, rc = 2"},
        {"folder.wav", "", "Error opening input file, rc = 21"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        if (!c.bytes.empty())
            W::write(folder / c.file, c.bytes);
        RecordingMessages messages;
        WaveReader reader;
        reader.OpenWaveFile(folder / c.file, messages);
        EXPECT_FALSE(reader.WaveFileOpen());
        EXPECT_EQ(messages.shown, std::vector<std::string>{c.message});
    }
    RecordingMessages messages;
    WaveReader reader;
    reader.OpenWaveFile("", messages);
    EXPECT_FALSE(reader.WaveFileOpen());
    EXPECT_TRUE(messages.shown.empty());
}

TEST(WaveReader, DataBeyondTheEndOfTheFileIsCutToTheWholeFramesThere)
{
    TempFolder folder;
    // The header claims 4000 bytes; the file holds 4 frames and 3 bytes of a fifth.
    const std::string file =
        W::riff(W::chunk("fmt ", W::format(1, 2, 44100, 16)) + "data" + W::le32(4000) + Frames(4, 4) + "xyz");
    W::write(folder / "a.wav", file);
    RecordingMessages messages;
    WaveReader reader;
    reader.OpenWaveFile(folder / "a.wav", messages);
    ASSERT_TRUE(reader.WaveFileOpen());
    EXPECT_EQ(reader.DataSize(), 16);
}

TEST(WaveReader, SeeksOnlyInsideTheDataAndASecondOpenClosesTheFirst)
{
    TempFolder folder;
    W::write(folder / "a.wav", W::riff(W::chunk("fmt ", W::format(1, 2, 44100, 16)) + W::chunk("data", Frames(5, 4, 'a'))));
    W::write(folder / "b.wav", W::riff(W::chunk("fmt ", W::format(1, 1, 8000, 8)) + W::chunk("data", Frames(3, 1, 'A'))));
    RecordingMessages messages;
    WaveReader reader;
    int stops = 0;
    reader.setBeforeOpen([&] { ++stops; });
    reader.OpenWaveFile(folder / "a.wav", messages);
    ASSERT_TRUE(reader.WaveFileOpen());
    const std::int64_t start = reader.DataOffset();

    reader.SeekWaveData(4);
    EXPECT_EQ(reader.position(), start + 16);
    EXPECT_EQ(ReadAll(reader, 4), Frames(5, 4, 'a').substr(16));
    for (const std::int64_t outside : {std::int64_t{5}, std::int64_t{-1}, std::int64_t{1} << 62}) {
        reader.SeekWaveData(outside);
        EXPECT_EQ(reader.position(), start + 20) << outside;
    }
    reader.SeekWaveData(0);
    EXPECT_EQ(reader.position(), start);

    reader.OpenWaveFile(folder / "b.wav", messages);
    EXPECT_EQ(stops, 2);
    ASSERT_TRUE(reader.WaveFileOpen());
    EXPECT_EQ(reader.BufferSize(), 800);
    EXPECT_EQ(ReadAll(reader, reader.DataSize()), "ABC");

    reader.CloseWaveFile();
    EXPECT_FALSE(reader.WaveFileOpen());
    reader.SeekWaveData(0);
    EXPECT_EQ(ReadAll(reader, 10), "");
}

} // namespace
} // namespace kelvo::test
