#pragma once

#include <cstdint>

namespace kelvo {

// How one sample is stored, for the sample formats a wave file may hold and a device plays.
enum class SampleEncoding { Unsigned8, Signed16, Signed24, Signed32, Float32 };

// The layout of interleaved sample frames as a file holds them and a device takes them.
struct AudioFormat {
    SampleEncoding encoding = SampleEncoding::Signed16;
    int channels = 2;
    std::int32_t sampleRate = 44100;
    int blockAlign = 4; // bytes per frame: channels x bytes per sample

    bool operator==(const AudioFormat&) const = default;
};

} // namespace kelvo
