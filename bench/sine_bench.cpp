#include "render_bench.h"

#include "core/oscillator/signal_files.h"
#include "core/runtime/messages.h"

#include <cstdlib>
#include <filesystem>

namespace kelvo::bench {
namespace {

class NoMessages final : public Messages {
public:
    void show(std::string_view) override {}
};

// The whole render of the largest default block, including writing test.wav.
void BuildWaveLargestDefaultBlock(benchmark::State& state)
{
    std::string folder = (std::filesystem::temp_directory_path() / "kelvo-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    SignalSettings settings = Settings(192000, 100);
    RandomSource random;
    WaveEngine engine(random);
    SignalFiles files(engine);
    NoMessages messages;
    for (auto _ : state)
        files.renderToFile(settings, folder, messages);
    std::filesystem::remove_all(folder);
}

const bool registered = [] {
    RegisterRender("Sine/44100Hz_1s", Settings(44100, 1), 1);
    RegisterRender("Sine/192000Hz_100s", Settings(192000, 100), 1);
    RegisterRender("SineQuadrature/192000Hz_100s", Settings(192000, 100, Waveform(1, 5)), 1);
    RegisterRender("ArbitraryTable/192000Hz_100s",
                   Settings(192000, 100,
                            [](SignalSettings& s) {
                                s.ArbBuild = 1;
                                s.ArbSampleRate = 192000;
                            }),
                   0);
    benchmark::RegisterBenchmark("BuildWave/192000Hz_100s", BuildWaveLargestDefaultBlock)
        ->Unit(benchmark::kMillisecond)
        ->MeasureProcessCPUTime()
        ->UseRealTime();
    return true;
}();

} // namespace
} // namespace kelvo::bench
