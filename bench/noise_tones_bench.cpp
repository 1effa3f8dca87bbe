#include "render_bench.h"

namespace kelvo::bench {
namespace {

std::function<void(SignalSettings&)> Noise(std::int32_t type)
{
    return [type](SignalSettings& s) {
        s.Waveform[0] = 5;
        s.NoiseType = type;
    };
}

// Two tone takes two cosines per element as written, the multitone one sine per tone.
const bool registered = [] {
    const struct {
        const char* name;
        std::int32_t type;
    } kinds[] = {{"NoiseWhite", 0}, {"NoiseMid", 1}, {"NoiseLow", 2}, {"NoisePink", 3}};
    for (const auto& kind : kinds) {
        RegisterRender(std::string(kind.name) + "/44100Hz_1s", Settings(44100, 1, Noise(kind.type)), 0);
        RegisterRender(std::string(kind.name) + "/192000Hz_100s", Settings(192000, 100, Noise(kind.type)), 0);
    }
    RegisterRender("TwoTone/44100Hz_5s", Settings(44100, 1, Waveform(9)), 2);
    RegisterRender("TwoTone/192000Hz_5s", Settings(192000, 1, Waveform(9)), 2);
    const double tones = SignalSettings{}.MultiCount;
    RegisterRender("Multitone/44100Hz_1s", Settings(44100, 1, Waveform(10)), tones);
    RegisterRender("Multitone/192000Hz_100s", Settings(192000, 100, Waveform(10)), tones);
    return true;
}();

} // namespace
} // namespace kelvo::bench
