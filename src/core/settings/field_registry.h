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

// The names of every field that SetField knows.
std::vector<std::string_view> FieldNames();

} // namespace kelvo
