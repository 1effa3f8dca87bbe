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
    // The band-limited shapes at 20 Hz (the most harmonics) and the Hann burst, each over
    // the largest default block, 200 s at 192 kHz.
    for (const auto& kind : {kinds[0], kinds[1], kinds[2]}) {
        RegisterRender(std::string(kind.name) + "BandLimited/192000Hz_100s",
                       Settings(192000, 100,
                                [&kind](SignalSettings& s) {
                                    Waveform(kind.code)(s);
                                    s.BandLimited = 1;
                                    s.Freq[0] = 20;
                                }),
                       0);
    }
    RegisterRender("BurstHann/192000Hz_200s",
                   Settings(192000, 100,
                            [](SignalSettings& s) {
                                Waveform(6)(s);
                                s.BurstWindow = 1;
                                s.BurstOffTime = 2000 - 1000 * s.BurstCycles / s.Freq[0];
                            }),
                   1);
    return true;
}();

} // namespace
} // namespace kelvo::bench
