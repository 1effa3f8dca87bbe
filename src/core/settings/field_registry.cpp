#include "settings/field_registry.h"

#include "settings/text_file.h"
#include "settings/text_rules.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <type_traits>
#include <variant>

namespace kelvo {
namespace {

using FieldRef = std::variant<std::int32_t*, std::int16_t*, float*, double*, std::string*>;

// How a field is reached: `index` is the number in brackets, absent when none was given.
using Resolver = std::optional<FieldRef> (*)(SignalSettings&, std::optional<std::int64_t> index);

struct FieldEntry {
    std::string_view name;
    Resolver resolve;
};

template <auto Member>
std::optional<FieldRef> Scalar(SignalSettings& s, std::optional<std::int64_t> index)
{
    if (index)
        return std::nullopt;
    return FieldRef{&(s.*Member)};
}

// An array field; `DefaultIndex` is used when no index is given (-1: an index is required).
template <auto Member, int DefaultIndex>
std::optional<FieldRef> Element(SignalSettings& s, std::optional<std::int64_t> index)
{
    auto& array = s.*Member;
    const std::int64_t i = index.value_or(DefaultIndex);
    if (i < 0 || i >= static_cast<std::int64_t>(array.size()))
        return std::nullopt;
    return FieldRef{&array[static_cast<std::size_t>(i)]};
}

#define KELVO_SCALAR(field) FieldEntry{#field, Scalar<&SignalSettings::field>}
#define KELVO_SLOTTED(field) FieldEntry{#field, Element<&SignalSettings::field, 0>}
#define KELVO_LIST(field) FieldEntry{#field, Element<&SignalSettings::field, -1>}

const FieldEntry kFields[] = {
    KELVO_SLOTTED(Waveform), KELVO_SLOTTED(ChanMode), KELVO_SLOTTED(SampleRate),
    KELVO_SLOTTED(Bits), KELVO_SLOTTED(LevelL), KELVO_SLOTTED(LevelR), KELVO_SLOTTED(Freq),
    KELVO_SLOTTED(FreqR), KELVO_SLOTTED(PhaseL), KELVO_SLOTTED(PhaseR),
    KELVO_SCALAR(MemIndex), KELVO_SCALAR(FreqStep), KELVO_SCALAR(LevelStep),
    KELVO_SCALAR(AdjustL), KELVO_SCALAR(AdjustR), KELVO_SCALAR(Playing), KELVO_SCALAR(OutDevice),
    KELVO_SCALAR(LegacyDriver), KELVO_SCALAR(WaveBuildLength),
    KELVO_SCALAR(NoiseType),
    KELVO_SCALAR(BurstOnTime), KELVO_SCALAR(BurstOffTime), KELVO_SCALAR(BurstLevelDiff),
    KELVO_SCALAR(BurstExpDecay),
    KELVO_SCALAR(PulseOnTime), KELVO_SCALAR(PulseOffTime), KELVO_SCALAR(PulseRestTime),
    KELVO_SCALAR(PulseCount),
    KELVO_SCALAR(ToneFreq1), KELVO_SCALAR(ToneFreq2), KELVO_SCALAR(ToneAmp2),
    KELVO_SCALAR(MultiCount), KELVO_LIST(MultiFreq),
    KELVO_SCALAR(SweepStartFreq), KELVO_SCALAR(SweepEndFreq), KELVO_SCALAR(SweepStartLevel),
    KELVO_SCALAR(SweepEndLevel), KELVO_SCALAR(SweepStartPhase), KELVO_SCALAR(SweepEndPhase),
    KELVO_SCALAR(SweepWarbleRate), KELVO_SCALAR(SweepKind), KELVO_SCALAR(SweepSteps),
    KELVO_SCALAR(SweepStepTime), KELVO_SCALAR(SweepParam), KELVO_SCALAR(UserStepCount),
    KELVO_LIST(UserStepFreq), KELVO_LIST(UserStepPeriod),
    KELVO_SCALAR(WarbleRate), KELVO_SCALAR(WarbleKind),
    KELVO_SCALAR(AmCarrierFreq), KELVO_SCALAR(AmModFreq), KELVO_SCALAR(AmModDepth),
    KELVO_SCALAR(FmCarrierFreq), KELVO_SCALAR(FmModFreq), KELVO_SCALAR(FmDeviation),
    KELVO_SCALAR(DsbCarrierFreq), KELVO_SCALAR(DsbModFreq), KELVO_SCALAR(DsbModDepth),
    KELVO_SCALAR(ArbBuild), KELVO_SCALAR(ArbSampleRate), KELVO_SCALAR(ArbLevel),
    KELVO_SCALAR(ArbFreq), KELVO_SCALAR(ArbChanMode), KELVO_LIST(ArbTable),
    KELVO_LIST(FourierAmp),
    KELVO_LIST(PlaylistPath), KELVO_LIST(PlaylistName), KELVO_SCALAR(PlaylistSel),
};

#undef KELVO_SCALAR
#undef KELVO_SLOTTED
#undef KELVO_LIST

std::optional<double> WholeNumber(std::string_view text)
{
    const NumberScan scan = ScanNumber(text);
    if (scan.length == 0 || scan.length != text.size())
        return std::nullopt;
    return scan.value;
}

// Stores `text` into the field; returns the error text, empty on success.
std::string Assign(const FieldRef& field, std::string_view text)
{
    return std::visit(
        [text](auto* target) -> std::string {
            using T = std::remove_pointer_t<decltype(target)>;
            if constexpr (std::is_same_v<T, std::string>) {
                *target = std::string(text);
                return {};
            } else {
                const auto number = WholeNumber(text);
                if (!number)
                    return "\"" + std::string(text) + "\" is not a number";
                if constexpr (std::is_same_v<T, double>) {
                    *target = *number;
                } else if constexpr (std::is_same_v<T, float>) {
                    if (std::abs(*number) > std::numeric_limits<float>::max())
                        return "\"" + std::string(text) + "\" is too large";
                    *target = static_cast<float>(*number);
                } else {
                    const auto fitted = FitInteger<T>(*number);
                    if (!fitted || *fitted != *number)
                        return "\"" + std::string(text) + "\" is not a whole number from " +
                               std::to_string(std::numeric_limits<T>::min()) + " to " +
                               std::to_string(std::numeric_limits<T>::max());
                    *target = *fitted;
                }
                return {};
            }
        },
        field);
}

// The field an assignment names: its name and the index in brackets, if any.
struct Target {
    std::string_view name;
    std::optional<std::int64_t> index;
    std::string_view value;
    std::string error;
};

Target ParseTarget(std::string_view assignment)
{
    Target target;
    const auto equals = assignment.find('=');
    if (equals == std::string_view::npos) {
        target.error = "\"" + std::string(assignment) + "\" is not of the form Field=Value";
        return target;
    }
    target.name = assignment.substr(0, equals);
    target.value = assignment.substr(equals + 1);
    if (const auto open = target.name.find('['); open != std::string_view::npos) {
        std::int64_t parsed = 0;
        const auto last = target.name.data() + target.name.size() - 1;
        const auto result = std::from_chars(target.name.data() + open + 1, last, parsed);
        if (target.name.back() != ']' || result.ec != std::errc{} || result.ptr != last) {
            target.error = "\"" + std::string(target.name) + "\" has no valid index in brackets";
            return target;
        }
        target.index = parsed;
        target.name = target.name.substr(0, open);
    }
    return target;
}

} // namespace

std::string SetField(SignalSettings& settings, std::string_view assignment)
{
    const Target target = ParseTarget(assignment);
    if (!target.error.empty())
        return target.error;
    const std::string name(target.name);
    for (const auto& entry : kFields) {
        if (entry.name != target.name)
            continue;
        const auto field = entry.resolve(settings, target.index);
        if (!field)
            return target.index ? "index " + std::to_string(*target.index) + " is outside the field " + name
                                : "the field " + name + " needs an index, as in " + name + "[1]";
        const std::string error = Assign(*field, target.value);
        return error.empty() ? error : name + ": " + error;
    }
    return "unknown field \"" + name + "\"";
}

std::string SetFields(SignalSettings& settings, const std::vector<std::string>& assignments)
{
    std::array<bool, kSlotCount> freqSet{};
    std::array<bool, kSlotCount> freqRSet{};
    for (const auto& assignment : assignments) {
        if (const std::string error = SetField(settings, assignment); !error.empty())
            return assignment + ": " + error;
        const Target target = ParseTarget(assignment);
        const auto slot = static_cast<std::size_t>(target.index.value_or(0));
        if (target.name == "Freq")
            freqSet[slot] = true;
        else if (target.name == "FreqR")
            freqRSet[slot] = true;
    }
    for (std::size_t slot = 0; slot < freqSet.size(); ++slot)
        if (freqSet[slot] && !freqRSet[slot])
            settings.FreqR[slot] = settings.Freq[slot];
    return {};
}

std::vector<std::string_view> FieldNames()
{
    std::vector<std::string_view> names;
    for (const auto& entry : kFields)
        names.push_back(entry.name);
    return names;
}

} // namespace kelvo
