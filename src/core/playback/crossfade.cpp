#include "core/playback/crossfade.h"

#include "core/runtime/regular_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace kelvo {
namespace {

int SampleBytes(SampleEncoding encoding)
{
    switch (encoding) {
    case SampleEncoding::Unsigned8: return 1;
    case SampleEncoding::Signed16: return 2;
    case SampleEncoding::Signed24: return 3;
    case SampleEncoding::Signed32:
    case SampleEncoding::Float32: return 4;
    }
    return 1;
}

std::int64_t SignedLe(const std::byte* p, int bytes)
{
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= std::uint64_t{std::to_integer<unsigned>(p[i])} << (8 * i);
    const std::uint64_t sign = std::uint64_t{1} << (8 * bytes - 1);
    return static_cast<std::int64_t>(value ^ sign) - static_cast<std::int64_t>(sign);
}

double Decode(const std::byte* p, SampleEncoding encoding)
{
    switch (encoding) {
    case SampleEncoding::Unsigned8: return std::to_integer<int>(p[0]) - 128;
    case SampleEncoding::Float32: {
        float value = 0;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
    default: return static_cast<double>(SignedLe(p, SampleBytes(encoding)));
    }
}

void Encode(double value, std::byte* p, SampleEncoding encoding)
{
    if (encoding == SampleEncoding::Float32) {
        const auto sample = static_cast<float>(value);
        std::memcpy(p, &sample, sizeof sample);
        return;
    }
    const int bytes = SampleBytes(encoding);
    const double top = std::ldexp(1.0, 8 * bytes - 1);
    auto whole = static_cast<std::int64_t>(std::clamp(std::nearbyint(value), -top, top - 1));
    if (encoding == SampleEncoding::Unsigned8)
        whole += 128;
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<std::byte>(static_cast<std::uint64_t>(whole) >> (8 * i) & 0xFF);
}

} // namespace

void Crossfade(std::span<const std::byte> from, std::span<const std::byte> to, std::span<std::byte> out,
               const AudioFormat& format)
{
    const auto frameBytes = static_cast<std::size_t>(format.blockAlign);
    const int sampleBytes = SampleBytes(format.encoding);
    const std::size_t frames = std::min({from.size(), to.size(), out.size()}) / frameBytes;
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const double rising =
            0.5 - 0.5 * std::cos(std::numbers::pi * (static_cast<double>(frame) + 0.5) / static_cast<double>(frames));
        for (std::size_t at = frame * frameBytes; at + static_cast<std::size_t>(sampleBytes) <= (frame + 1) * frameBytes;
             at += static_cast<std::size_t>(sampleBytes)) {
            const double mixed = Decode(&from[at], format.encoding) * (1 - rising) + Decode(&to[at], format.encoding) * rising;
            Encode(mixed, &out[at], format.encoding);
        }
    }
}

std::size_t ReadLooped(const LoopedData& data, std::int64_t at, std::span<std::byte> into)
{
    if (data.size <= 0)
        return 0;
    std::size_t done = 0;
    std::int64_t place = at % data.size;
    while (done < into.size()) {
        const auto wanted =
            static_cast<std::size_t>(std::min<std::int64_t>(data.size - place, static_cast<std::int64_t>(into.size() - done)));
        const std::size_t got = ReadAt(data.fd, data.offset + place, into.subspan(done, wanted));
        done += got;
        if (got < wanted)
            break;
        place = 0;
    }
    return done;
}

} // namespace kelvo
