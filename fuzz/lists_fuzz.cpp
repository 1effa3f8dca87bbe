// The user step and multitone list files and the list boxes' STORE. The input is a file,
// then optionally a NUL byte and the text of a list box. The file is loaded as a user step
// list and as a multitone list, saved and loaded again: the second load must read without
// problems and give back what the first took. The box text is stored as the sweep and
// the multitone setups store it: every value must be finite and single precision, the
// counts as the rules say, and what the box then shows must store back the same.
#include "core/settings/list_text.h"
#include "core/settings/settings_files.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace {

using namespace kelvo;

template <typename T> bool SameBits(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

int Entries(std::int64_t count)
{
    return static_cast<int>(std::clamp<std::int64_t>(count, 0, kListMax));
}

bool IsSingle(double value)
{
    return std::isfinite(value) && static_cast<double>(static_cast<float>(value)) == value;
}

std::size_t LineCount(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

void UserStepsRoundTrip(const std::filesystem::path& folder)
{
    SignalSettings first;
    const ListFileLoad loaded = LoadUserStepList(first, folder / "input");
    fuzz::Check(loaded.read == loaded.problem.empty(), "a user step list was loaded with a problem, or refused without one");
    fuzz::Check(loaded.read || (first.UserStepFreq == SignalSettings().UserStepFreq &&
                                first.UserStepCount == SignalSettings().UserStepCount),
                "a refused user step list changed the steps");
    fuzz::Check(first.UserStepCount >= 0 && first.UserStepCount <= kListMax, "the step count left 0..100");
    fuzz::Check(SaveUserStepList(first, folder / "saved.usl").empty(), "the user step list could not be saved");
    SignalSettings second;
    const ListFileLoad again = LoadUserStepList(second, folder / "saved.usl");
    fuzz::Check(again.read && again.problem.empty(), "a saved user step list read back with problems");
    fuzz::Check(second.UserStepCount == first.UserStepCount, "the step count did not come back");
    for (int k = 1; k <= Entries(first.UserStepCount); ++k)
        fuzz::Check(SameBits(second.UserStepFreq[k], first.UserStepFreq[k]) &&
                        SameBits(second.UserStepPeriod[k], first.UserStepPeriod[k]),
                    "a user step did not come back");
}

void MultitoneRoundTrip(const std::filesystem::path& folder)
{
    SignalSettings first;
    const ListFileLoad loaded = LoadMultitoneList(first, folder / "input");
    fuzz::Check(loaded.read == loaded.problem.empty(), "a multitone list was loaded with a problem, or refused without one");
    fuzz::Check(loaded.read || (first.MultiFreq == SignalSettings().MultiFreq && first.MultiCount == SignalSettings().MultiCount),
                "a refused multitone list changed the tones");
    fuzz::Check(SaveMultitoneList(first, folder / "saved.mtf").empty(), "the multitone list could not be saved");
    SignalSettings second;
    const ListFileLoad again = LoadMultitoneList(second, folder / "saved.mtf");
    fuzz::Check(again.read && again.problem.empty(), "a saved multitone list read back with problems");
    fuzz::Check(second.MultiCount == Entries(first.MultiCount), "the tone count did not come back");
    for (int k = 1; k <= Entries(first.MultiCount); ++k)
        fuzz::Check(SameBits(second.MultiFreq[k], first.MultiFreq[k]), "a tone did not come back");
}

void StoreSteps(std::string_view box)
{
    SignalSettings s;
    s.SweepSteps = kListMax;
    StoreStepTable(s, box);
    fuzz::Check(s.UserStepCount == s.SweepSteps, "STORE did not set the step count to the number of steps");
    const std::size_t tokens = ListTokens(box, kMaxStepTokens).size();
    fuzz::Check(tokens <= kMaxStepTokens, "more than 200 tokens");
    for (int k = 1; k <= kListMax; ++k) {
        fuzz::Check(IsSingle(s.UserStepFreq[k]) && IsSingle(s.UserStepPeriod[k]), "a step is not single precision");
        fuzz::Check(s.UserStepPeriod[k] >= 0, "a stored duration is negative");
        fuzz::Check(static_cast<std::size_t>(2 * k - 1) <= tokens || (s.UserStepFreq[k] == 0 && s.UserStepPeriod[k] == 0),
                    "a step without tokens is not (0, 0)");
    }
    // What the box shows after an opening stores back the same table, every step of it;
    // only an empty duration, shown as 0, comes back as 1.
    const std::string shown = StepTableText(s, s.SweepSteps);
    fuzz::Check(LineCount(shown) == static_cast<std::size_t>(kListMax), "the box does not list every step");
    SignalSettings again = s;
    StoreStepTable(again, shown);
    for (int k = 1; k <= kListMax; ++k)
        fuzz::Check(again.UserStepFreq[k] == s.UserStepFreq[k] &&
                        again.UserStepPeriod[k] == (s.UserStepPeriod[k] == 0 ? 1 : s.UserStepPeriod[k]),
                    "the listed steps did not store back the same");
}

void StoreTones(std::string_view box)
{
    SignalSettings s;
    s.MultiCount = kListMax;
    StoreMultitoneText(s, box);
    fuzz::Check(s.MultiCount == kListMax, "STORE changed the tone count");
    const std::size_t tokens = ListTokens(box).size();
    for (int k = 1; k <= kListMax; ++k) {
        fuzz::Check(IsSingle(s.MultiFreq[k]), "a tone is not single precision");
        fuzz::Check(static_cast<std::size_t>(k) <= tokens || s.MultiFreq[k] == 0, "a tone without a token is not 0");
    }
    const std::string shown = MultitoneText(s);
    fuzz::Check(LineCount(shown) == static_cast<std::size_t>(kListMax), "the box does not list every tone");
    SignalSettings again = s;
    StoreMultitoneText(again, shown);
    fuzz::Check(again.MultiFreq == s.MultiFreq, "the listed tones did not store back the same");

    if (const auto count = ListCountFromText(box))
        fuzz::Check(*count >= 0 && *count <= kListMax, "a typed count left 0..100");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = fuzz::ScratchFolder("lists");
    const std::string_view input(size == 0 ? "" : reinterpret_cast<const char*>(data), size);
    const auto split = input.find('\0');
    std::ofstream(folder / "input", std::ios::binary | std::ios::trunc) << input.substr(0, split);

    UserStepsRoundTrip(folder);
    MultitoneRoundTrip(folder);
    const std::string_view box = split == std::string_view::npos ? std::string_view{} : input.substr(split + 1);
    StoreSteps(box);
    StoreTones(box);
    return 0;
}
