#pragma once

#include "core/settings/signal_settings.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kelvo {

// One value of the record, whatever its type.
using FieldRef = std::variant<std::int32_t*, std::int16_t*, float*, double*, std::string*>;

// How a value typed for a field becomes the field's value, as the panel and the setup
// dialogs take it: unchanged, the nearest integer (halves to even), rounded to single
// precision, or to the nearest half (halves of a half to even).
enum class Rounding { None, Whole, Single, Half };

// How a field is indexed: a single value, one value per slot (no index: the live slot 0),
// or a list whose entry must be named.
enum class FieldShape { Single, Slotted, List };

// A field of the record as the command line and the setup dialogs reach it by name, with
// the values that the panel and the dialogs can give it.
struct FieldInfo {
    std::string_view name;
    FieldShape shape;
    // The accepted values, both ends included; infinite ends mean any finite number. Not
    // used for texts, which take anything the settings files can hold.
    double min;
    double max;
    // When not empty, the only values accepted (a step size, a rendered length).
    std::span<const double> choices;
    Rounding rounding;
    // The value for slot or entry `index` (absent: the live slot); nothing when the index
    // lies outside the field or a list entry is not named.
    std::optional<FieldRef> (*at)(SignalSettings& settings, std::optional<std::int64_t> index);
    // The unit of the value ("Hz", "dBFS"; empty for codes and counts), and one line on
    // what the field means.
    std::string_view unit;
    std::string_view meaning;
    // An option of how the program renders, shows and plays, kept in the options file
    // rather than with the signal.
    bool option = false;
    // 0 is taken besides the range and means the value is not set.
    bool zeroUnset = false;

    // Whether the panel or a dialog could set `value` (before its rounding).
    bool accepts(double value) const;
    // The accepted values as the user reads them: "1 to 16", "one of 1, 10, 100".
    std::string rangeText() const;
    // `caption` with "{min}" and "{max}" replaced by the ends of the range as the screen
    // shows numbers, for the captions that state a range: "Warble Rate ({min}-{max})".
    std::string withLimits(std::string_view caption) const;
};

// A value as --set and the options file take it back: a number, or a quoted text ("empty"
// when it is empty).
std::string FieldValueText(const FieldRef& field);

// The field called `name` (the record's own names, without an index); nothing when there
// is none.
const FieldInfo* FindField(std::string_view name);

// Every field that FindField knows, in the record's order.
std::span<const FieldInfo> Fields();

// The field a mistyped or shortened name most likely meant (ignoring case); empty when
// none is near.
std::string_view NearestFieldName(std::string_view name);

// Sets one field of the record from text such as "Freq=440", "Waveform[3]=2" or
// "MultiFreq[3]=1300", as the command line does. A slotted field without an index means
// the live slot. The value must be one the panel or the setup dialogs can set (with the
// field's range in the error): a finite number inside the range, whole for an integer
// field (a single-precision field is rounded), a text the settings files can hold.
// Returns the error text, empty on success; on an error nothing changes.
[[nodiscard]] std::string SetField(SignalSettings& settings, std::string_view assignment);

// Applies assignments in order. As on the front panel, a frequency set without its
// partner follows into FreqR of the same slot; FreqR assigned explicitly (before or after)
// stays as given. Returns the first error as "assignment: error"; fields set before the
// failing assignment keep their new values.
[[nodiscard]] std::string SetFields(SignalSettings& settings, const std::vector<std::string>& assignments);

// The names of every field that SetField knows.
std::vector<std::string_view> FieldNames();

} // namespace kelvo
