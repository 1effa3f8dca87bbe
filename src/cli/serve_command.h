#pragma once

#include "cli_options.h"
#include "core/runtime/messages.h"

#include <atomic>

namespace kelvo::cli {

// Starts the oscillator as the desktop program does (without its windows), applies the
// assignments and answers SCPI remote control on the port, playing through the same
// signal chain as `play`, until a client sends SYSTem:EXIT or `interrupted` turns true.
// The settings files are read, never written. Returns false after showing why when it
// could not serve.
bool ServeCommand(const ServeOptions& options, Messages& messages, const std::atomic<bool>& interrupted);

} // namespace kelvo::cli
