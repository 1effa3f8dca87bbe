// The Fourier sequence file (.for). The input is loaded as a Fourier sequence file, saved
// and loaded again: the second load must read without problems and give back the same
// amplitudes. The synthesis of whatever was loaded must stay within its row limits.
#include "core/arb/wave_shapes.h"
#include "core/settings/settings_files.h"
#include "fuzz_support.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvo;
    static const std::filesystem::path folder = fuzz::ScratchFolder("fourier");
    std::ofstream(folder / "input.for", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    SignalSettings first;
    const ListFileLoad loaded = LoadFourierList(first, folder / "input.for");
    fuzz::Check(loaded.read == loaded.problem.empty(), "a file was loaded with a problem, or refused without one");
    fuzz::Check(loaded.read || first.FourierAmp == SignalSettings().FourierAmp, "a refused file changed the amplitudes");
    for (int n = 1; n <= kFourierCount; ++n)
        fuzz::Check(std::isfinite(first.FourierAmp[static_cast<std::size_t>(n)]), "an amplitude is not finite");
    fuzz::Check(SaveFourierList(first, folder / "saved.for").empty(), "the amplitudes could not be saved");
    SignalSettings second;
    const ListFileLoad again = LoadFourierList(second, folder / "saved.for");
    fuzz::Check(again.read && again.problem.empty(), "a saved Fourier sequence file read back with problems");
    fuzz::Check(std::memcmp(&first.FourierAmp, &second.FourierAmp, sizeof first.FourierAmp) == 0,
                "the amplitudes did not come back");

    for (const double percent : {1.0, 100.0}) {
        const CurveRows rows = FourierCurve(first.FourierAmp, percent, 10);
        for (const std::int32_t row : rows)
            fuzz::Check(row >= -kCurveRowLimit && row <= kCurveRowLimit, "a curve point left its limits");
    }
    return 0;
}
