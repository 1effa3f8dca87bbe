#include "core/settings/field_registry.h"

#include "core/runtime/quoted.h"
#include "core/runtime/rounding.h"
#include "core/settings/text_file.h"
#include "core/settings/text_rules.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <type_traits>

namespace kelvo {
namespace {

using Access = std::optional<FieldRef> (*)(SignalSettings&, std::optional<std::int64_t>);

template <auto Member> std::optional<FieldRef> Scalar(SignalSettings& s, std::optional<std::int64_t> index)
{
    if (index)
        return std::nullopt;
    return FieldRef{&(s.*Member)};
}

// An array field; `DefaultIndex` is used when no index is given (-1: an index is required).
template <auto Member, int DefaultIndex> std::optional<FieldRef> Element(SignalSettings& s, std::optional<std::int64_t> index)
{
    auto& array = s.*Member;
    const std::int64_t i = index.value_or(DefaultIndex);
    if (i < 0 || i >= static_cast<std::int64_t>(array.size()))
        return std::nullopt;
    return FieldRef{&array[static_cast<std::size_t>(i)]};
}

// What the panel and the setup dialogs let the user give a field.
struct Limits {
    double min;
    double max;
    std::span<const double> choices;
    Rounding rounding;
    bool zeroUnset = false;
};

constexpr double kAny = std::numeric_limits<double>::infinity();

constexpr Limits Whole(double min, double max)
{
    return {min, max, {}, Rounding::Whole};
}
constexpr Limits Real(double min, double max)
{
    return {min, max, {}, Rounding::None};
}
constexpr Limits Single(double min, double max)
{
    return {min, max, {}, Rounding::Single};
}
constexpr Limits Halves(double min, double max)
{
    return {min, max, {}, Rounding::Half};
}
// A range, or 0 for a value that is not set.
constexpr Limits RealOrUnset(double min, double max)
{
    return {min, max, {}, Rounding::None, true};
}
constexpr Limits OneOf(std::span<const double> choices)
{
    return {choices.front(), choices.back(), choices, Rounding::None};
}
constexpr Limits kText = {-kAny, kAny, {}, Rounding::None};

constexpr double kFreqSteps[] = {0.1, 1, 10, 100, 1000};
// 20 dB is the start value, shown until the first step change.
constexpr double kLevelSteps[] = {0.1, 1, 10, 20};
constexpr double kBuildLengths[] = {1, 10, 100};
constexpr double kSampleDepths[] = {16, 24, 32};
constexpr double kEraserWidths[] = {1, 6, 11};

constexpr FieldInfo Row(std::string_view name, FieldShape shape, Access at, Limits limits, std::string_view unit,
                        std::string_view meaning, bool option = false)
{
    return {name, shape, limits.min, limits.max, limits.choices, limits.rounding, at, unit, meaning, option, limits.zeroUnset};
}

#define KELVO_SCALAR(field, ...) Row(#field, FieldShape::Single, Scalar<&SignalSettings::field>, __VA_ARGS__)
#define KELVO_SLOTTED(field, ...) Row(#field, FieldShape::Slotted, Element<&SignalSettings::field, 0>, __VA_ARGS__)
#define KELVO_LIST(field, ...) Row(#field, FieldShape::List, Element<&SignalSettings::field, -1>, __VA_ARGS__)
#define KELVO_OPTION(field, ...) Row(#field, FieldShape::Single, Scalar<&SignalSettings::field>, __VA_ARGS__, true)

// The ranges are those of the panel's steppers and entry boxes and of the setup dialogs;
// lists typed into a dialog's text box are rounded to single precision. Then the unit and
// what the field means, for the list of fields the command line prints.
const FieldInfo kFields[] = {
    KELVO_SLOTTED(Waveform, Whole(1, 16), "",
                  "the waveform: 1 sine, 2 square, 3 triangle, 4 sawtooth, 5 noise, 6 burst, 7 pulse, 8 Dirac, 9 two tone, 10 "
                  "multitone, 11 sweep, 12 warble, 13 AM, 14 FM, 15 DSB, 16 user file"),
    KELVO_SLOTTED(ChanMode, Whole(1, 6), "", "the channels: 1 L, 2 R, 3 L+R, 4 L-R, 5 quadrature, 6 user phases"),
    KELVO_SLOTTED(SampleRate, Whole(11025, 192000), "Hz", "the sample rate of the rendered signal"),
    KELVO_SLOTTED(Bits, OneOf(kSampleDepths), "bits",
                  "the sample format of the rendered signal: 16 or 24-bit PCM, or 32-bit float"),
    KELVO_SLOTTED(LevelL, Real(-200, 0), "dBFS", "the left channel's level"),
    KELVO_SLOTTED(LevelR, Real(-200, 0), "dBFS", "the right channel's level"),
    KELVO_SLOTTED(Freq, Real(1, 96000), "Hz", "the frequency (also the right channel's, unless FreqR is set too)"),
    KELVO_SLOTTED(FreqR, Real(1, 96000), "Hz", "the right channel's frequency"),
    KELVO_SLOTTED(PhaseL, Real(0, 360), "degrees", "the left channel's phase in the user phases channel mode"),
    KELVO_SLOTTED(PhaseR, Real(0, 360), "degrees", "the right channel's phase in the user phases channel mode"),
    KELVO_SCALAR(MemIndex, Whole(1, kMemoryCount), "", "the memory the panel's memory keys work on"),
    KELVO_SCALAR(FreqStep, OneOf(kFreqSteps), "Hz", "the step of the frequency keys"),
    KELVO_SCALAR(LevelStep, OneOf(kLevelSteps), "dB", "the step of the level keys (20 until the step is first changed)"),
    KELVO_SCALAR(AdjustL, Whole(0, 1), "", "1 when the level keys change the left channel"),
    KELVO_SCALAR(AdjustR, Whole(0, 1), "", "1 when the level keys change the right channel"),
    KELVO_SCALAR(Playing, Whole(0, 1), "", "1 when the signal plays (ON), 0 when it is off"),
    KELVO_SCALAR(OutDevice, Whole(-1, std::numeric_limits<std::int16_t>::max()), "",
                 "the output device, as `kelvo-cli devices` numbers it; 0 and -1 are the default output"),
    KELVO_SCALAR(LegacyDriver, Whole(0, 1), "", "1 plays through the simple looping player instead of the stream engine"),
    KELVO_SCALAR(WaveBuildLength, OneOf(kBuildLengths), "s", "the rendered length; the file holds twice that"),
    KELVO_SCALAR(NoiseType, Whole(0, 3), "",
                 "the noise: 0 white, 1 mid-frequency (SR/4), 2 low-frequency (SR/10), 3 pink (-3 dB/octave, periodic)"),
    KELVO_SCALAR(BurstOnTime, Real(1, 20000), "ms", "how long the burst is on"),
    KELVO_SCALAR(BurstOffTime, Real(1, 20000), "ms", "how long the burst is off"),
    KELVO_SCALAR(BurstLevelDiff, Real(0, 200), "dB", "how much lower the off part is than the on part"),
    KELVO_SCALAR(BurstExpDecay, Whole(0, 1), "", "1 lets the burst decay exponentially"),
    KELVO_SCALAR(PulseOnTime, Real(1, 10000), "ms", "how long each pulse is on"),
    KELVO_SCALAR(PulseOffTime, Real(1, 10000), "ms", "the pause between pulses"),
    KELVO_SCALAR(PulseRestTime, Real(1, 10000), "ms", "the rest after each train of pulses"),
    KELVO_SCALAR(PulseCount, Whole(1, 10000), "", "the pulses in each train"),
    KELVO_SCALAR(ToneFreq1, Real(1, 96000), "Hz", "the first tone of the two tone signal"),
    KELVO_SCALAR(ToneFreq2, Real(1, 96000), "Hz", "the second tone of the two tone signal"),
    KELVO_SCALAR(ToneAmp2, Real(0, 200), "dB", "how much lower the second tone is than the channel level"),
    KELVO_SCALAR(MultiCount, Whole(2, kListMax), "", "the number of multitone frequencies"),
    KELVO_LIST(MultiFreq, Single(-kAny, kAny), "Hz", "the multitone frequencies, entries 1 to MultiCount"),
    KELVO_SCALAR(SweepStartFreq, Real(1, 96000), "Hz", "the frequency the sweep starts at"),
    KELVO_SCALAR(SweepEndFreq, Real(1, 96000), "Hz", "the frequency the sweep ends at"),
    KELVO_SCALAR(SweepStartLevel, Real(-200, 0), "dBFS", "the level a level sweep starts at"),
    KELVO_SCALAR(SweepEndLevel, Real(-200, 0), "dBFS", "the level a level sweep ends at"),
    KELVO_SCALAR(SweepStartPhase, Real(0, 359), "degrees", "the right channel's phase a phase sweep starts at"),
    KELVO_SCALAR(SweepEndPhase, Real(0, 359), "degrees", "the right channel's phase a phase sweep ends at"),
    KELVO_SCALAR(SweepWarbleRate, Real(1, 20), "Hz", "the warble rate of the warble sweeps"),
    KELVO_SCALAR(SweepKind, Whole(1, 7), "",
                 "the sweep: 1 continuous, 2 stepped, 3 user steps, 4 1/3-octave warble, 5 1/2-octave warble, 6 "
                 "logarithmic, 7 logarithmic steps"),
    KELVO_SCALAR(SweepSteps, Whole(1, kListMax), "", "the number of steps of a stepped sweep"),
    KELVO_SCALAR(SweepStepTime, Single(0.01, 20), "s", "how long each step of a stepped sweep lasts"),
    KELVO_SCALAR(SweepParam, Whole(0, 2), "", "what the sweep changes: 0 frequency, 1 level, 2 phase"),
    KELVO_SCALAR(UserStepCount, Whole(0, kListMax), "", "the number of user steps"),
    KELVO_LIST(UserStepFreq, Single(-kAny, kAny), "Hz", "the frequency of each user step, entries 1 to UserStepCount"),
    KELVO_LIST(UserStepPeriod, Single(0, kAny), "s", "how long each user step lasts"),
    KELVO_SCALAR(WarbleRate, Real(1, 20), "Hz", "how often the warble tone sweeps up and down"),
    KELVO_SCALAR(WarbleKind, Whole(0, 1), "", "the warble's width: 0 1/3 octave, 1 1/2 octave"),
    KELVO_SCALAR(AmCarrierFreq, Real(10, 95000), "Hz", "the AM carrier"),
    KELVO_SCALAR(AmModFreq, Real(1, 95000), "Hz", "the AM modulating frequency"),
    KELVO_SCALAR(AmModDepth, Real(1, 100), "%", "the AM modulation depth"),
    KELVO_SCALAR(FmCarrierFreq, Real(10, 95000), "Hz", "the FM carrier"),
    KELVO_SCALAR(FmModFreq, Real(1, 95000), "Hz", "the FM modulating frequency"),
    KELVO_SCALAR(FmDeviation, Real(1, 10000), "Hz", "the FM frequency deviation"),
    KELVO_SCALAR(DsbCarrierFreq, Real(10, 95000), "Hz", "the DSB carrier"),
    KELVO_SCALAR(DsbModFreq, Real(1, 95000), "Hz", "the DSB modulating frequency"),
    KELVO_SCALAR(DsbModDepth, Real(1, 100), "%", "the DSB modulation depth"),
    KELVO_SCALAR(ArbBuild, Whole(0, 1), "", "1 renders the waveform editor's table instead of the waveform"),
    KELVO_SCALAR(ArbSampleRate, Whole(11025, 192000), "Hz", "the sample rate of the editor's waveform"),
    KELVO_SCALAR(ArbLevel, Real(-200, 0), "dBFS", "the level of the editor's full height"),
    KELVO_SCALAR(ArbFreq, Real(1, 96000), "Hz", "the frequency of the editor's full width"),
    KELVO_SCALAR(ArbChanMode, Whole(0, 3), "", "the channels of the editor's waveform: 0 left, 1 right, 2 L+R, 3 L-R"),
    KELVO_SCALAR(ArbCycles, Whole(1, 10), "", "the periods of the editor's preset shapes across its width"),
    KELVO_SCALAR(ArbPercent, Real(1, 100), "%", "the height of the editor's preset shapes"),
    KELVO_SCALAR(EraserWidth, OneOf(kEraserWidths), "pixels", "the width of the editor's eraser"),
    KELVO_LIST(ArbTable, Whole(-150, 149), "", "the editor's waveform, one height per column"),
    KELVO_LIST(FourierAmp, Real(-kAny, kAny), "", "the amplitude of harmonic 1 to 24 of the editor's Fourier synthesis"),
    KELVO_LIST(PlaylistPath, kText, "", "the user player's files"),
    KELVO_LIST(PlaylistName, kText, "", "the names the user player shows for its files"),
    KELVO_SCALAR(PlaylistSel, Whole(0, kPlaylistEntries - 1), "", "the user player's selected entry"),
    KELVO_OPTION(Dither, Whole(0, 1), "",
                 "1: triangular dither of one step before 16- and 24-bit samples are rounded (an option)"),
    KELVO_OPTION(WholeCycles, Whole(0, 1), "",
                 "1: periodic signals loop at a whole number of cycles, up to 10 % shorter (an option)"),
    KELVO_OPTION(BandLimited, Whole(0, 1), "",
                 "1: square, triangle and sawtooth hold only the harmonics below half the sample rate (an option)"),
    KELVO_OPTION(BurstWindow, Whole(0, 1), "",
                 "1: the burst is a Hann-windowed tone of BurstCycles cycles in silence (an option)"),
    KELVO_OPTION(BurstCycles, Halves(1, 1000), "cycles", "the windowed burst's length, in steps of half a cycle"),
    KELVO_OPTION(SweepSeconds, RealOrUnset(0.1, 600), "s",
                 "a continuous sweep's length; 0 sweeps over the rendered length (an option)"),
    KELVO_OPTION(SweepFadeMs, Real(0, 1000), "ms", "the fade in and out of the logarithmic sweeps"),
    KELVO_OPTION(LevelReference, Whole(0, 1), "",
                 "1: every steady waveform is as loud (RMS) as the sine at the same level; 0: the level sets the peak"),
    KELVO_OPTION(LevelUnit, Whole(0, 5), "",
                 "how levels are shown and typed: 0 dB, 1 dBFS, 2 dBu, 3 dBV, 4 Vrms, 5 Vpp (2 to 5 need a calibration)"),
    KELVO_OPTION(CalVoltsL, RealOrUnset(1e-6, 1000), "V", "the left output's Vrms for a 0 dB sine; 0: not calibrated"),
    KELVO_OPTION(CalVoltsR, RealOrUnset(1e-6, 1000), "V", "the right output's Vrms for a 0 dB sine; 0: not calibrated"),
    KELVO_OPTION(LevelLimit, Real(-200, 0), "dB", "no channel can be set louder than this; 0: no limit below full scale"),
    KELVO_OPTION(SeamlessChanges, Whole(0, 1), "",
                 "1: a change while the signal plays crossfades into the new signal without stopping (an option)"),
    KELVO_OPTION(RemotePort, Whole(0, 65535), "",
                 "the TCP port of the SCPI remote-control server on the loopback addresses; 0: off (an option)"),
};

#undef KELVO_SCALAR
#undef KELVO_SLOTTED
#undef KELVO_LIST
#undef KELVO_OPTION

// Stores `text` into the field; returns the error text, empty on success.
std::string Assign(const FieldInfo& info, const FieldRef& field, std::string_view text)
{
    return std::visit(
        [&](auto* target) -> std::string {
            using T = std::remove_pointer_t<decltype(target)>;
            if constexpr (std::is_same_v<T, std::string>) {
                if (const std::string refusal = QuotedTextRefusal(text); !refusal.empty())
                    return std::string(info.name) + " cannot take a text that " + refusal + ": the settings files cannot hold it";
                *target = std::string(text);
                return {};
            } else {
                const NumberScan scan = ScanNumber(text);
                if (scan.length == 0 || scan.length != text.size())
                    return Quoted(text) + " is not a number (" + std::string(info.name) + " takes " + info.rangeText() + ")";
                if (!std::isfinite(scan.value))
                    return Quoted(text) + " is not a finite number (" + std::string(info.name) + " takes " + info.rangeText() +
                           ")";
                if (!info.accepts(scan.value))
                    return std::string(info.name) + " takes " + info.rangeText() + ", not " + Quoted(text);
                double value = scan.value;
                if (info.rounding == Rounding::Single) {
                    const auto single = ParseSingle(text);
                    if (!single)
                        return std::string(info.name) + " takes single-precision numbers, not " + Quoted(text);
                    value = *single;
                }
                if (info.rounding == Rounding::Half)
                    value = RoundToHalf(value);
                if constexpr (std::is_integral_v<T>) {
                    const auto fitted = FitInteger<T>(value);
                    if (!fitted || *fitted != value)
                        return std::string(info.name) + " takes whole numbers (" + info.rangeText() + "), not " + Quoted(text);
                    *target = *fitted;
                } else {
                    *target = static_cast<T>(value);
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

bool FieldInfo::accepts(double value) const
{
    if (!std::isfinite(value))
        return false;
    if (zeroUnset && value == 0)
        return true;
    if (!choices.empty())
        return std::find(choices.begin(), choices.end(), value) != choices.end();
    return value >= min && value <= max;
}

std::string FieldInfo::rangeText() const
{
    if (!choices.empty()) {
        std::string text = "one of ";
        for (std::size_t i = 0; i < choices.size(); ++i)
            text += (i == 0 ? "" : ", ") + FormatNumber(choices[i]);
        return text;
    }
    if (zeroUnset)
        return "0 (not set) or " + FormatNumber(min) + " to " + FormatNumber(max);
    if (std::isinf(min) && std::isinf(max))
        return "any finite number";
    if (std::isinf(max))
        return FormatNumber(min) + " or more";
    if (min == max)
        return FormatNumber(min);
    return FormatNumber(min) + " to " + FormatNumber(max);
}

std::string FieldInfo::withLimits(std::string_view caption) const
{
    std::string text(caption);
    const auto fill = [&text](std::string_view mark, double value) {
        const std::string number = FormatNumber(value);
        for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark, at + number.size()))
            text.replace(at, mark.size(), number);
    };
    fill("{min}", min);
    fill("{max}", max);
    return text;
}

std::string FieldValueText(const FieldRef& field)
{
    return std::visit(
        [](const auto* value) -> std::string {
            using T = std::remove_cvref_t<decltype(*value)>;
            if constexpr (std::is_same_v<T, std::string>)
                return value->empty() ? "empty" : "\"" + *value + "\"";
            else
                return FormatNumber(*value);
        },
        field);
}

const FieldInfo* FindField(std::string_view name)
{
    const auto found =
        std::find_if(std::begin(kFields), std::end(kFields), [name](const FieldInfo& field) { return field.name == name; });
    return found == std::end(kFields) ? nullptr : &*found;
}

std::span<const FieldInfo> Fields()
{
    return kFields;
}

std::string_view NearestFieldName(std::string_view name)
{
    const auto lower = [](std::string_view text) {
        std::string folded(text);
        std::ranges::transform(folded, folded.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return folded;
    };
    const std::string typed = lower(name);
    if (typed.empty())
        return {};
    // A name cut short: the first field it begins (SweepStart, SweepStartFreq).
    for (const FieldInfo& field : kFields)
        if (lower(field.name).starts_with(typed))
            return field.name;
    // Else the fewest letters changed, added or dropped, up to a third of the name.
    std::string_view nearest;
    std::size_t best = std::max<std::size_t>(1, typed.size() / 3) + 1;
    for (const FieldInfo& field : kFields) {
        const std::string candidate = lower(field.name);
        std::vector<std::size_t> row(candidate.size() + 1);
        for (std::size_t j = 0; j < row.size(); ++j)
            row[j] = j;
        for (std::size_t i = 1; i <= typed.size(); ++i) {
            std::size_t diagonal = row[0];
            row[0] = i;
            for (std::size_t j = 1; j <= candidate.size(); ++j) {
                const std::size_t above = row[j];
                row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (typed[i - 1] == candidate[j - 1] ? 0 : 1)});
                diagonal = above;
            }
        }
        if (row.back() < best) {
            best = row.back();
            nearest = field.name;
        }
    }
    return nearest;
}

std::string SetField(SignalSettings& settings, std::string_view assignment)
{
    const Target target = ParseTarget(assignment);
    if (!target.error.empty())
        return target.error;
    const std::string name(target.name);
    const FieldInfo* info = FindField(target.name);
    if (info == nullptr) {
        const std::string_view near = NearestFieldName(target.name);
        return "unknown field \"" + name + "\"" + (near.empty() ? "" : "; did you mean " + std::string(near) + "?");
    }
    const auto field = info->at(settings, target.index);
    if (!field)
        return target.index ? "index " + std::to_string(*target.index) + " is outside the field " + name
                            : "the field " + name + " needs an index, as in " + name + "[1]";
    return Assign(*info, *field, target.value);
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
