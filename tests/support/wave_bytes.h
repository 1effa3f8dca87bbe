#pragma once

#include "core/runtime/atomic_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvo::test {

// Builds wave files chunk by chunk, so tests can lay them out in any way.
class WaveBytes {
public:
    static std::string le16(std::uint32_t v) { return {char(v & 0xFF), char(v >> 8 & 0xFF)}; }
    static std::string le32(std::uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

    // A chunk with its header; odd contents get the pad byte unless `pad` is false.
    static std::string chunk(std::string_view id, std::string_view contents, bool pad = true)
    {
        std::string bytes = std::string(id) + le32(static_cast<std::uint32_t>(contents.size())) + std::string(contents);
        if (pad && contents.size() % 2 == 1)
            bytes += '\0';
        return bytes;
    }

    // The 16 bytes of a basic format chunk's contents.
    static std::string format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits)
    {
        const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
        return le16(tag) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits);
    }

    // A WAVE_FORMAT_EXTENSIBLE format chunk's contents whose sub-format stands for `tag`.
    static std::string extensible(std::uint16_t channels, std::uint32_t rate, std::uint16_t tag, std::uint16_t bits)
    {
        return format(0xFFFE, channels, rate, bits) + le16(22) + le16(bits) + le32(3) + le16(tag) +
               std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    }

    // A RIFF "WAVE" container around `chunks`.
    static std::string riff(std::string_view chunks)
    {
        return "RIFF" + le32(static_cast<std::uint32_t>(chunks.size() + 4)) + "WAVE" + std::string(chunks);
    }

    static void write(const std::filesystem::path& path, std::string_view bytes)
    {
        if (const std::string error = WriteFileAtomically(path, bytes); !error.empty())
            ADD_FAILURE() << error;
    }
};

} // namespace kelvo::test
