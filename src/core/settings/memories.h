#pragma once

#include "core/settings/signal_settings.h"

namespace kelvo {

// Copies the ten slotted fields of slot `from` into slot `to` (0 is the live signal).
void CopySlot(SignalSettings& settings, int from, int to);

// Fills memories 1..10 from the live signal.
void DefaultMems(SignalSettings& settings);

} // namespace kelvo
