#include "render_bench.h"

namespace kelvo::bench {
namespace {

std::function<void(SignalSettings&)> Sweep(std::int32_t param, std::int32_t kind)
{
    return [param, kind](SignalSettings& s) {
        s.Waveform[0] = 11;
        s.SweepParam = param;
        s.SweepKind = kind;
    };
}

void UserSteps(SignalSettings& s)
{
    Sweep(0, 3)(s);
    s.SweepSteps = s.UserStepCount = 4;
    for (int k = 1; k <= 4; ++k) {
        s.UserStepFreq[k] = 250.0 * k;
        s.UserStepPeriod[k] = 0.5;
    }
}

// The modulated signals take two cosines per element as written; in quadrature the
// channels' offsets differ, so no evaluation is shared. Sweeps and warble count elements.
const bool registered = [] {
    for (const std::int32_t rate : {44100, 192000}) {
        const std::string hz = "/" + std::to_string(rate) + "Hz";
        RegisterRender("Am" + hz, Settings(rate, 1, Waveform(13)), 2);
        RegisterRender("Fm" + hz, Settings(rate, 1, Waveform(14)), 2);
        RegisterRender("Dsb" + hz, Settings(rate, 1, Waveform(15)), 2);
        RegisterRender("Warble" + hz, Settings(rate, 1, Waveform(12)), 0);
    }
    RegisterRender("AmQuadrature/192000Hz", Settings(192000, 1, Waveform(13, 5)), 2);
    RegisterRender("FmQuadrature/192000Hz", Settings(192000, 1, Waveform(14, 5)), 2);
    RegisterRender("DsbQuadrature/192000Hz", Settings(192000, 1, Waveform(15, 5)), 2);

    RegisterRender("SweepStepped/44100Hz", Settings(44100, 1, Sweep(0, 2)), 0);
    RegisterRender("SweepUserSteps/44100Hz", Settings(44100, 1, UserSteps), 0);
    RegisterRender("SweepLevel/44100Hz", Settings(44100, 1, Sweep(1, 1)), 0);
    RegisterRender("SweepPhase/44100Hz", Settings(44100, 1, Sweep(2, 1)), 0);
    const struct {
        const char* name;
        std::int32_t kind;
    } defaultBlock[] = {{"SweepContinuous", 1}, {"SweepThirdOctave", 4}, {"SweepHalfOctave", 5}};
    for (const auto& sweep : defaultBlock) {
        RegisterRender(std::string(sweep.name) + "/44100Hz_1s", Settings(44100, 1, Sweep(0, sweep.kind)), 0);
        RegisterRender(std::string(sweep.name) + "/192000Hz_100s", Settings(192000, 100, Sweep(0, sweep.kind)), 0);
    }
    // The logarithmic sweeps over the largest default block, 200 s at 192 kHz.
    RegisterRender("SweepLog/192000Hz_200s",
                   Settings(192000, 1,
                            [](SignalSettings& s) {
                                Sweep(0, 6)(s);
                                s.SweepSeconds = 200;
                            }),
                   0);
    RegisterRender("SweepLogSteps/192000Hz_200s",
                   Settings(192000, 1,
                            [](SignalSettings& s) {
                                Sweep(0, 7)(s);
                                s.SweepSteps = 100;
                                s.SweepStepTime = 2;
                            }),
                   0);
    return true;
}();

} // namespace
} // namespace kelvo::bench
