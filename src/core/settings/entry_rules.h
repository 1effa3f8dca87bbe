#pragma once

#include "core/settings/field_registry.h"
#include "core/settings/signal_settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

// Takes the text of an entry box bound to `field` as every setup window reads it: the
// leading number of the text (an empty text reads as 0), its range tested first, then the
// field's rounding (whole numbers halves to even, or single precision). Returns false and
// changes nothing when the value lies outside the range or the field is a text.
bool TakeEntry(SignalSettings& settings, const FieldInfo& field, std::string_view text,
               std::optional<std::int64_t> index = std::nullopt);

// The field's value as its entry box shows it; empty for a text field or a missing entry.
std::string EntryText(SignalSettings& settings, const FieldInfo& field, std::optional<std::int64_t> index = std::nullopt);

// The field's value as a whole number, for option buttons and check boxes; nothing when
// it is not one.
std::optional<std::int64_t> FieldCode(SignalSettings& settings, const FieldInfo& field);

// Sets a whole-number field from an option button or a check box; false when the code
// lies outside the field's range.
bool SetFieldCode(SignalSettings& settings, const FieldInfo& field, std::int64_t code);

} // namespace kelvo
