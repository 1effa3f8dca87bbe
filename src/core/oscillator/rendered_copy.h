#pragma once

#include <filesystem>
#include <string>

namespace kelvo {

class WaveEngine;

// Saves the last rendered signal (the program folder's test.wav) as `target`, replacing
// it whole through a temporary file; saving onto test.wav itself changes nothing. Returns
// what went wrong for the user (no signal rendered yet, the engine's last render failed so
// test.wav is stale, or why the copy failed, naming the file), empty on success.
std::string CopyRenderedSignal(const WaveEngine& engine, const std::filesystem::path& folder,
                               const std::filesystem::path& target);

} // namespace kelvo
