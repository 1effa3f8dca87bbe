#include "runtime/random_source.h"
#include "synth/wave_engine.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace kelvo {
namespace {

// Renders the live settings over and over; reports sine evaluations and elements per second.
void RenderSine(benchmark::State& state, std::int32_t rate, double length)
{
    SignalSettings settings;
    settings.SampleRate[0] = rate;
    settings.WaveBuildLength = length;
    RandomSource random;
    WaveEngine engine(random);
    for (auto _ : state) {
        engine.Render(settings);
        benchmark::DoNotOptimize(engine.samples().data());
    }
    const auto elements = static_cast<double>(engine.samples().size());
    state.counters["elements/s"] = benchmark::Counter(elements, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["sin/s"] = benchmark::Counter(elements - 1, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK_CAPTURE(RenderSine, 44100Hz_1s, 44100, 1.0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(RenderSine, 192000Hz_100s, 192000, 100.0)->Unit(benchmark::kMillisecond)->UseRealTime();

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
    SignalSettings settings;
    settings.SampleRate[0] = 192000;
    settings.WaveBuildLength = 100;
    RandomSource random;
    WaveEngine engine(random);
    NoMessages messages;
    for (auto _ : state)
        engine.BuildWave(settings, folder, messages);
    std::filesystem::remove_all(folder);
}

BENCHMARK(BuildWaveLargestDefaultBlock)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kelvo
