#pragma once

// The samples of a rendered wave file, decoded as a player or an analyser reads them.
#include "core/wavefile/wave_file.h"
#include "support/test_support.h"

#include <cstdint>
#include <cstring>

namespace kelvo::test {

// The samples of a wave file (16-, 24-bit PCM or 32-bit float), interleaved, full scale
// 1.0; 24-bit and float ones exactly as a float holds them.
inline std::vector<double> DecodedSamples(const std::filesystem::path& path)
{
    const OpenedWave wave = OpenWave(path);
    const std::string bytes = ReadFile(path).substr(static_cast<std::size_t>(wave.layout.dataOffset));
    const std::size_t width = static_cast<std::size_t>(wave.format.blockAlign / wave.format.channels);
    std::vector<double> x;
    for (std::size_t at = 0; at + width <= bytes.size(); at += width) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
        switch (wave.format.encoding) {
        case SampleEncoding::Signed16: x.push_back(static_cast<std::int16_t>(p[0] | p[1] << 8) / 32768.0); break;
        case SampleEncoding::Signed24:
            x.push_back(static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0] << 8 | p[1] << 16 | p[2] << 24)) /
                        2147483648.0);
            break;
        case SampleEncoding::Float32: {
            float value = 0;
            std::memcpy(&value, p, 4);
            x.push_back(value);
            break;
        }
        default: return {};
        }
    }
    return x;
}

// One channel of those samples.
inline std::vector<double> DecodedChannel(const std::filesystem::path& path, int channel)
{
    const std::vector<double> both = DecodedSamples(path);
    std::vector<double> x;
    for (std::size_t i = static_cast<std::size_t>(channel); i < both.size(); i += 2)
        x.push_back(both[i]);
    return x;
}

} // namespace kelvo::test
