#include "core/player/wave_info.h"

#include "core/runtime/regular_file.h"
#include "core/wavefile/little_endian.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace kelvo {
namespace {

constexpr std::uint16_t kFormatFloat = 3;
constexpr std::byte kDolbySync[] = {std::byte{0x72}, std::byte{0xF8}};

std::string BitsText(const WaveLayout& layout)
{
    switch (layout.format.bitsPerSample) {
    case 8: return "8 bit";
    case 16: return "16 bit";
    case 24: return "24 bit";
    case 32: return EffectiveFormatTag(layout) == kFormatFloat ? "32 bit float" : "32 bit";
    default: return {};
    }
}

} // namespace

WaveProbe ProbeWave(const std::filesystem::path& path)
{
    WaveProbe probe;
    const int fd = OpenRegularFile(path).fd;
    if (fd < 0)
        return probe;
    probe.opened = true;
    ReadAt(fd, 0, probe.header);
    probe.layout = WalkWaveChunks(fd);
    std::byte word[2] = {};
    probe.dolbyDigital = probe.layout.error.empty() && probe.layout.dataSize >= 2 &&
                         ReadAt(fd, probe.layout.dataOffset, word) == 2 && std::memcmp(word, kDolbySync, 2) == 0;
    ::close(fd);
    return probe;
}

void ShowWaveInfo(WaveInfo& info, const WaveProbe& probe)
{
    if (!probe.opened)
        return;
    if (std::memcmp(probe.header.data(), "RIFF", 4) != 0) {
        info.type.clear();
        return;
    }
    info.type = probe.dolbyDigital ? "DOLBY D" : "PCM WAV";
    const WaveLayout& layout = probe.layout;
    if (layout.formatRead) {
        const PlayFormat& f = layout.format;
        if (f.channels == 1 || f.channels == 2) {
            info.channels = f.channels == 1 ? "MONO" : "STEREO";
            info.channelCount = f.channels;
        }
        if (std::string bits = BitsText(layout); !bits.empty()) {
            info.bits = std::move(bits);
            info.sampleBytes = f.bitsPerSample / 8;
        }
        info.sampleRate = f.samplesPerSec;
        info.rate = std::to_string(f.samplesPerSec);
    }
    const std::uint32_t size = Le32(probe.header.data() + 4);
    info.size = std::to_string(size) + " bytes";
    const double bytesPerSecond = static_cast<double>(info.sampleRate) * info.channelCount * info.sampleBytes;
    info.duration = DurationText(static_cast<double>(size) / bytesPerSecond, size);
}

std::string ClockText(std::chrono::milliseconds span)
{
    const long long seconds = std::max<long long>(span.count() / 1000, 0);
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

std::string DurationText(double seconds, std::uint32_t size)
{
    if (!std::isfinite(seconds) || seconds <= 0)
        return ClockText({});
    const double whole = seconds < 1 && size > 0 ? 1 : std::floor(seconds);
    // At most 2^32 - 1 bytes at one byte a second: far inside the range of the cast.
    return ClockText(std::chrono::seconds(static_cast<long long>(std::min(whole, 4294967295.0))));
}

} // namespace kelvo
