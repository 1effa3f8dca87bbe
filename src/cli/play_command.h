#pragma once

#include "cli_options.h"
#include "core/runtime/messages.h"

#include <atomic>

namespace kelvo::cli {

// Renders like `render`, then plays test.wav in a loop through the stream engine (or the
// legacy player when LegacyDriver is set) for the given seconds, or until `interrupted`.
// Returns false after showing why when nothing could be played or the output failed.
bool PlayCommand(const PlayOptions& options, Messages& messages, const std::atomic<bool>& interrupted);

// Prints the output devices, one per line with its OutDevice index.
bool DevicesCommand(Messages& messages);

} // namespace kelvo::cli
