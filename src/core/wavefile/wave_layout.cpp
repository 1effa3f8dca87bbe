#include "core/wavefile/wave_layout.h"

#include "core/runtime/regular_file.h"
#include "core/wavefile/little_endian.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvo {
namespace {

constexpr std::int64_t kChunkHeader = 8;
constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr std::int64_t kMaxSampleRate = 1'000'000;

// The tail that every WAVE_FORMAT_EXTENSIBLE sub-format GUID shares after its 16-bit tag.
constexpr std::array<std::uint8_t, 14> kGuidTail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                    0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

struct Chunk {
    char id[4];
    std::int64_t contentOffset = 0;
    std::int64_t size = 0;
};

// Whether all `count` bytes at `offset` could be read.
bool ReadWhole(int fd, std::int64_t offset, std::byte* into, std::size_t count)
{
    return ReadAt(fd, offset, std::span(into, count)) == count;
}

// Finds the chunk `id` among the chunks from `begin` to `end`; a chunk whose header does
// not fit ends the search. Sizes are padded to even, as RIFF requires.
std::optional<Chunk> FindChunk(int fd, std::int64_t begin, std::int64_t end, std::string_view id, std::string_view form = {})
{
    for (std::int64_t at = begin; at + kChunkHeader <= end;) {
        std::byte header[12];
        if (!ReadWhole(fd, at, header, kChunkHeader))
            return std::nullopt;
        Chunk chunk;
        std::memcpy(chunk.id, header, 4);
        chunk.contentOffset = at + kChunkHeader;
        chunk.size = Le32(header + 4);
        if (std::string_view(chunk.id, 4) == id) {
            if (form.empty())
                return chunk;
            if (chunk.size >= 4 && ReadWhole(fd, chunk.contentOffset, header + 8, 4) &&
                std::string_view(reinterpret_cast<const char*>(header + 8), 4) == form)
                return chunk;
        }
        at = chunk.contentOffset + chunk.size + (chunk.size & 1);
    }
    return std::nullopt;
}

std::string Describe(const PlayFormat& f)
{
    return "Unsupported wave format: format tag " + std::to_string(f.formatTag) + ", " + std::to_string(f.bitsPerSample) +
           " bits per sample, " + std::to_string(f.channels) + " channels, block align " + std::to_string(f.blockAlign) + ", " +
           std::to_string(f.samplesPerSec) + " samples per second";
}

} // namespace

WaveLayout WalkWaveChunks(int fd)
{
    WaveLayout layout;
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        layout.error = "This is not a wave file";
        return layout;
    }
    layout.fileSize = status.st_size;

    const auto riff = FindChunk(fd, 0, layout.fileSize, "RIFF", "WAVE");
    if (!riff) {
        layout.error = "This is not a wave file";
        return layout;
    }
    // The RIFF size may claim more than the file holds; the walk stops at the real end.
    const std::int64_t begin = riff->contentOffset + 4;
    const std::int64_t end = std::min(riff->contentOffset + riff->size, layout.fileSize);

    const auto format = FindChunk(fd, begin, end, "fmt ");
    if (!format) {
        layout.error = "Couldn't get the format chunk";
        return layout;
    }
    // At most 50 bytes are read, whatever the chunk claims; a chunk too short for the
    // basic fields, or one cut off by the end of the file, is unreadable.
    const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(format->size, 50));
    if (format->size < 16 || !ReadWhole(fd, format->contentOffset, layout.formatChunk.data(), wanted)) {
        layout.error = "Error reading the wave format";
        return layout;
    }
    const std::byte* f = layout.formatChunk.data();
    layout.format = {Le16(f), Le16(f + 2), Le32(f + 4), Le32(f + 8), Le16(f + 12), Le16(f + 14), Le16(f + 16)};
    layout.formatRead = true;

    const auto data = FindChunk(fd, begin, end, "data");
    if (!data) {
        layout.error = "Couldn't get data chunk";
        return layout;
    }
    layout.dataOffset = data->contentOffset;
    layout.dataSize = data->size;
    return layout;
}

std::uint16_t EffectiveFormatTag(const WaveLayout& layout)
{
    const PlayFormat& f = layout.format;
    if (f.formatTag != kFormatExtensible)
        return f.formatTag;
    // cbSize 22: valid bits, channel mask, then the sub-format GUID at byte 24.
    const std::byte* guid = layout.formatChunk.data() + 24;
    const bool tailMatches =
        std::equal(kGuidTail.begin(), kGuidTail.end(), guid + 2, [](std::uint8_t a, std::byte b) { return std::byte{a} == b; });
    return f.extraSize >= 22 && tailMatches ? Le16(guid) : 0;
}

std::optional<AudioFormat> PlayableFormat(const WaveLayout& layout, std::string& refusal)
{
    const PlayFormat& f = layout.format;
    const std::uint16_t tag = EffectiveFormatTag(layout);
    const int bytes = f.bitsPerSample / 8;
    const bool sizesFit = f.bitsPerSample % 8 == 0 && (f.channels == 1 || f.channels == 2) &&
                          f.blockAlign == f.channels * bytes && f.samplesPerSec >= 1 && f.samplesPerSec <= kMaxSampleRate;
    std::optional<SampleEncoding> encoding;
    if (tag == kFormatPcm) {
        switch (f.bitsPerSample) {
        case 8: encoding = SampleEncoding::Unsigned8; break;
        case 16: encoding = SampleEncoding::Signed16; break;
        case 24: encoding = SampleEncoding::Signed24; break;
        case 32: encoding = SampleEncoding::Signed32; break;
        default: break;
        }
    } else if (tag == kFormatFloat && f.bitsPerSample == 32) {
        encoding = SampleEncoding::Float32;
    }
    if (!encoding || !sizesFit) {
        refusal = Describe(f);
        return std::nullopt;
    }
    return AudioFormat{*encoding, f.channels, static_cast<std::int32_t>(f.samplesPerSec), f.blockAlign};
}

std::int64_t PlayableDataSize(const WaveLayout& layout, int blockAlign)
{
    const std::int64_t inFile = std::clamp<std::int64_t>(layout.fileSize - layout.dataOffset, 0, layout.dataSize);
    return inFile - inFile % blockAlign;
}

} // namespace kelvo
