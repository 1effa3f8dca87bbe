#pragma once

#include "core/settings/signal_settings.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace kelvo {

// The name of an entry emptied by CLR FILE.
inline constexpr std::string_view kClearedEntryName = "--";
// The name every entry without one gets when the list is shown.
inline constexpr std::string_view kEmptyEntryName = "   --                     ";
inline constexpr int kLastPlaylistEntry = kPlaylistEntries - 1;

// The name an entry shows for a file titled `title` (its name without the folder): the
// last four characters cut (the extension with its dot), then at most the last 30 of what
// is left. A title shorter than four characters is kept whole. Counts UTF-8 characters.
std::string PlaylistDisplayName(std::string_view title);

// The selected entry as an index; a stored selection outside 0..200 is used as 0.
int SelectedEntry(const SignalSettings& settings);

// Gives every entry without a name the placeholder, as the list does whenever it is shown.
void NameEmptyEntries(SignalSettings& settings);
// Row `index` of the list: the entry's name followed by three spaces.
std::string PlaylistRow(const SignalSettings& settings, int index);
// "Selection 7 / 200".
std::string SelectionText(std::int32_t selection);

// LOAD FILE: the selected entry takes `file` and its display name. Returns why it cannot
// (a double quote or a line break the playlist file cannot hold), and then nothing changed.
[[nodiscard]] std::string LoadPlaylistEntry(SignalSettings& settings, const std::filesystem::path& file);
// CLR FILE: the selected entry loses its file and shows "--".
void ClearPlaylistEntry(SignalSettings& settings);
// CLR LIST: every entry loses its file and its name; the selection stays.
void ClearPlaylist(SignalSettings& settings);

} // namespace kelvo
