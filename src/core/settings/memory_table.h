#pragma once

#include "core/settings/signal_settings.h"

#include <string>

namespace kelvo {

// The ten memories as a table for a fixed-pitch font: the header line, an empty line, then
// one line per memory, every line ended by CR LF. Channel names take 12 characters and
// waveform names 20; a code without a name (only a damaged file holds one) shows as its
// number, padded the same way.
std::string MemoryTableText(const SignalSettings& settings);

} // namespace kelvo
