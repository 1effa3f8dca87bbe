#include "core/wavefile/fine_wav_writer.h"

#include "core/runtime/atomic_file.h"
#include "core/runtime/rounding.h"
#include "core/wavefile/wav_writer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

namespace kelvo {
namespace {

// Little-endian bytes, appended.
class Bytes {
public:
    void tag(std::string_view id) { m_bytes.insert(m_bytes.end(), id.begin(), id.end()); }
    void u16(std::uint32_t value) { little(value, 2); }
    void u32(std::uint32_t value) { little(value, 4); }
    std::span<const std::byte> view() const { return std::as_bytes(std::span(m_bytes)); }

private:
    void little(std::uint32_t value, int size)
    {
        for (int i = 0; i < size; ++i)
            m_bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }

    std::vector<char> m_bytes;
};

// The header of a stereo file of 24-bit PCM in the extensible form, which files of more
// than 16 bits per sample are meant to use, or of 32-bit float in the plain IEEE float
// form, which sox and libsndfile write and read without a warning. Both carry the fact
// chunk that formats other than plain PCM call for.
Bytes FineHeader(std::int32_t sampleRate, std::uint64_t elementCount, bool isFloat)
{
    const std::uint32_t bytesPerSample = isFloat ? 4 : 3;
    const auto dataSize = static_cast<std::uint32_t>(elementCount * bytesPerSample);
    const std::uint32_t formatSize = isFloat ? 18 : 40;
    const auto rate = static_cast<std::uint32_t>(sampleRate);
    Bytes header;
    header.tag("RIFF");
    header.u32(4 + 8 + formatSize + 12 + 8 + dataSize);
    header.tag("WAVE");
    header.tag("fmt ");
    header.u32(formatSize);
    header.u16(isFloat ? 3 : 0xFFFE);
    header.u16(2);
    header.u32(rate);
    header.u32(rate * 2 * bytesPerSample);
    header.u16(2 * bytesPerSample);
    header.u16(8 * bytesPerSample);
    if (isFloat) {
        header.u16(0);
    } else {
        header.u16(22);
        header.u16(24);
        header.u32(3); // front left and front right
        // The PCM sub-format GUID.
        for (const std::uint32_t part : {0x00000001u, 0x00100000u, 0xAA000080u, 0x719B3800u})
            header.u32(part);
    }
    header.tag("fact");
    header.u32(4);
    header.u32(static_cast<std::uint32_t>(elementCount / 2));
    header.tag("data");
    header.u32(dataSize);
    return header;
}

// Triangular dither of ±1 step: the difference of two uniform values in [0, 1), drawn
// from a fixed-seed generator so that a block dithers the same on every write.
class TriangularDither {
public:
    double next()
    {
        const std::uint64_t bits = step();
        constexpr double kScale = 1.0 / 4294967296.0;
        return static_cast<double>(bits >> 32) * kScale - static_cast<double>(bits & 0xFFFFFFFFu) * kScale;
    }

private:
    std::uint64_t step()
    {
        // splitmix64
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }

    std::uint64_t m_state = 0x4B656C766FULL;
};

// `value` (on the 16-bit scale) as the nearest step of a PCM format `scale` times finer,
// after `noise`, saturated to the format's range.
std::int32_t Quantise(double value, double scale, double noise, double low, double high)
{
    return RoundHalfEven(std::clamp(value * scale + noise, low, high));
}

} // namespace

std::string WriteFineWaveFile(const std::filesystem::path& path, std::span<const float> samples, std::int32_t sampleRate,
                              FineWaveFormat format)
{
    const bool isFloat = format.encoding == SampleEncoding::Float32;
    const bool is24 = format.encoding == SampleEncoding::Signed24;
    AtomicFileWriter file(path);
    if (isFloat || is24)
        file.write(FineHeader(sampleRate, samples.size(), isFloat).view());
    else
        file.write(WaveHeader(sampleRate, samples.size()));

    const double scale = is24 ? 256.0 : 1.0;
    const double high = is24 ? 8388607.0 : 32767.0;
    const double low = -high - 1;
    const std::size_t width = isFloat ? 4 : (is24 ? 3 : 2);
    TriangularDither dither;
    constexpr std::size_t kChunk = 65536;
    std::vector<unsigned char> chunk(kChunk * width);
    for (std::size_t start = 0; start < samples.size(); start += kChunk) {
        const std::span<const float> part = samples.subspan(start, std::min(kChunk, samples.size() - start));
        unsigned char* out = chunk.data();
        for (const float sample : part) {
            if (isFloat) {
                const auto bits = std::bit_cast<std::uint32_t>(static_cast<float>(static_cast<double>(sample) / 32768.0));
                for (int i = 0; i < 4; ++i)
                    *out++ = static_cast<unsigned char>(bits >> (8 * i));
                continue;
            }
            const double noise = format.dither ? dither.next() : 0.0;
            const auto step = static_cast<std::uint32_t>(Quantise(sample, scale, noise, low, high));
            *out++ = static_cast<unsigned char>(step);
            *out++ = static_cast<unsigned char>(step >> 8);
            if (is24)
                *out++ = static_cast<unsigned char>(step >> 16);
        }
        file.write(std::as_bytes(std::span(chunk.data(), part.size() * width)));
    }
    file.commit();
    return file.error();
}

} // namespace kelvo
