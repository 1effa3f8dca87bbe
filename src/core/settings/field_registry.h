#pragma once

#include "settings/signal_settings.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// Sets one field of the record from text such as "Freq=440", "Waveform[3]=2" or
// "MultiFreq[3]=1300". Field names are the record's own; a slotted field without an
// index means the live slot. Numbers must be whole and fit the field's type. Returns
// the error text, empty on success; on an error nothing changes.
std::string SetField(SignalSettings& settings, std::string_view assignment);

// Applies assignments in order. As on the front panel, a frequency set without its
// partner follows into FreqR of the same slot; FreqR assigned explicitly (before or after)
// stays as given. Returns the first error as "assignment: error"; fields set before the
// failing assignment keep their new values.
std::string SetFields(SignalSettings& settings, const std::vector<std::string>& assignments);

// The names of every field that SetField knows.
std::vector<std::string_view> FieldNames();

} // namespace kelvo
