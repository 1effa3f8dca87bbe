#include "render_bench.h"

namespace kelvo::bench {
namespace {

// Square and burst take one cosine per element as written, the ramps one per frame.
// The gated waveforms size their own blocks (the burst's grows with the rendered length).
const bool registered = [] {
    const struct {
        const char* name;
        std::int32_t code;
        double evaluations;
    } kinds[] = {{"Square", 2, 1}, {"Triangle", 3, 0.5}, {"Sawtooth", 4, 0.5}, {"Dirac", 8, 0}, {"Burst", 6, 1}, {"Pulse", 7, 0}};
    for (const auto& kind : kinds) {
        RegisterRender(std::string(kind.name) + "/44100Hz_1s", Settings(44100, 1, Waveform(kind.code)), kind.evaluations);
        RegisterRender(std::string(kind.name) + "/192000Hz_100s", Settings(192000, 100, Waveform(kind.code)), kind.evaluations);
    }
    return true;
}();

} // namespace
} // namespace kelvo::bench
