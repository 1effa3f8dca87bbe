#include "core/wavefile/wav_writer.h"

#include "core/runtime/atomic_file.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace kelvo {
namespace {

class HeaderBuilder {
public:
    explicit HeaderBuilder(std::array<std::byte, kWaveHeaderSize>& bytes)
        : m_bytes(bytes)
    {
    }

    void tag(const char (&id)[5])
    {
        for (int i = 0; i < 4; ++i)
            m_bytes[m_pos++] = static_cast<std::byte>(id[i]);
    }
    void u16(std::uint16_t value) { little(value, 2); }
    void u32(std::uint32_t value) { little(value, 4); }

private:
    void little(std::uint32_t value, int size)
    {
        for (int i = 0; i < size; ++i)
            m_bytes[m_pos++] = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
    }

    std::array<std::byte, kWaveHeaderSize>& m_bytes;
    std::size_t m_pos = 0;
};

} // namespace

std::array<std::byte, kWaveHeaderSize> WaveHeader(std::int32_t sampleRate, std::uint64_t elementCount)
{
    const auto dataSize = static_cast<std::uint32_t>(elementCount * 2);
    const auto rate = static_cast<std::uint32_t>(sampleRate);
    std::array<std::byte, kWaveHeaderSize> bytes{};
    HeaderBuilder header(bytes);
    header.tag("RIFF");
    header.u32(dataSize + 36);
    header.tag("WAVE");
    header.tag("fmt ");
    header.u32(16);
    header.u16(1);
    header.u16(2);
    header.u32(rate);
    header.u32(rate * 4);
    header.u16(4);
    header.u16(16);
    header.tag("data");
    header.u32(dataSize);
    return bytes;
}

std::string WriteWaveFile(const std::filesystem::path& path, std::span<const std::int16_t> samples, std::int32_t sampleRate)
{
    AtomicFileWriter file(path);
    file.write(WaveHeader(sampleRate, samples.size()));
    if constexpr (std::endian::native == std::endian::little) {
        file.write(std::as_bytes(samples));
    } else {
        constexpr std::size_t kChunk = 65536;
        std::vector<std::int16_t> swapped(kChunk);
        for (std::size_t start = 0; start < samples.size(); start += kChunk) {
            const std::size_t count = std::min(kChunk, samples.size() - start);
            for (std::size_t i = 0; i < count; ++i) {
                const auto bits = static_cast<std::uint16_t>(samples[start + i]);
                swapped[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>((bits >> 8) | (bits << 8)));
            }
            file.write(std::as_bytes(std::span(swapped.data(), count)));
        }
    }
    file.commit();
    return file.error();
}

} // namespace kelvo
