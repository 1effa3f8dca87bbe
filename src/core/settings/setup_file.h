#pragma once

#include "core/settings/signal_settings.h"

#include <filesystem>
#include <string>

namespace kelvo {

// The number of values in a setup file: the 112 shared with the main settings file, then
// OutDevice and WaveBuildLength.
inline constexpr int kSetupValueCount = 114;

// Reads a setup file (all memory configurations, the steps, the device and the rendered
// length) into the record. Every value is read first; the record takes them only when all
// 114 are there and are numbers that fit their fields, and otherwise nothing changes.
// Returns why the file was not taken, naming the file and the line; empty on success.
[[nodiscard]] std::string LoadSetupFile(SignalSettings& settings, const std::filesystem::path& path);

// Writes the setup file at `path`, replaced whole; returns the error naming the file,
// empty on success.
[[nodiscard]] std::string SaveSetupFile(const SignalSettings& settings, const std::filesystem::path& path);

// Deletes the main settings file, the user step file and the multitone file from
// `folder`, so the next start begins from the start values. A file that is missing or
// cannot be deleted is passed over; nothing else in the folder is touched.
void DeleteSettingsFiles(const std::filesystem::path& folder);

} // namespace kelvo
