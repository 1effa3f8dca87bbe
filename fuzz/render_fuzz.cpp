// Rendering from whatever the settings files hold, as `kelvo-cli render` does: start from the
// five files, then render the live signal and the arbitrary table. Each render either writes
// a test.wav that plays, silently, or refuses with exactly one message and writes nothing.
// Blocks beyond a few seconds of sound are planned but not rendered, to keep inputs fast.
#include "core/oscillator/signal_files.h"
#include "core/oscillator/start_up.h"
#include "core/runtime/program_folder.h"
#include "core/synth/block_size.h"
#include "core/wavefile/wave_file.h"
#include "fuzz_support.h"

#include <cstdint>

namespace {

using namespace kelvo;

constexpr std::int64_t kMostSamples = 1 << 19;

void CheckRender(SignalSettings& settings, SignalFiles& files, const std::filesystem::path& folder, bool arb)
{
    settings.ArbBuild = arb ? 1 : 0;
    const BlockPlan plan = arb ? PlanArbBlock(settings) : PlanBlock(settings);
    if (!plan.refused() && plan.N + 1 > kMostSamples)
        return;
    const auto rendered = ProgramFile(folder, kRenderedFile);
    std::filesystem::remove(rendered);
    fuzz::CountingMessages messages;
    const bool built = files.renderToFile(settings, folder, messages);
    if (!built) {
        fuzz::Check(messages.count == 1, "a refused render did not say why, once");
        fuzz::Check(!std::filesystem::exists(rendered), "a refused render wrote test.wav");
        return;
    }
    fuzz::Check(!plan.refused(), "a render the plan refuses was written");
    fuzz::Check(messages.count == 0, "a render that succeeded showed a message");
    const OpenedWave wave = OpenWave(rendered);
    fuzz::Check(wave.refusal.empty() || plan.N + 1 < 2, "the rendered test.wav does not play");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = fuzz::ScratchFolder("render");
    const std::string_view input(size == 0 ? "" : reinterpret_cast<const char*>(data), size);
    fuzz::PlaceSettingsFiles(folder, input);

    RandomSource random;
    WaveEngine engine(random);
    SignalFiles files(engine);
    SignalSettings settings;
    fuzz::CountingMessages messages;
    if (!StartUp(settings, folder, messages).stopFileWritten)
        return 0;
    CheckRender(settings, files, folder, false);
    CheckRender(settings, files, folder, true);
    return 0;
}
