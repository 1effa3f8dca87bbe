#include "core/player/playlist.h"

#include "core/settings/settings_files.h"

#include <vector>

namespace kelvo {
namespace {

constexpr std::size_t kCutCharacters = 4;
constexpr std::size_t kKeptCharacters = 30;

// Where each UTF-8 character of `text` starts; a stray continuation byte counts as one.
std::vector<std::size_t> CharacterStarts(std::string_view text)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80 || starts.empty() || i - starts.back() >= 4)
            starts.push_back(i);
    }
    return starts;
}

} // namespace

std::string PlaylistDisplayName(std::string_view title)
{
    const std::vector<std::size_t> starts = CharacterStarts(title);
    // A title no longer than the cut would leave an entry that holds a file looking empty.
    if (starts.size() <= kCutCharacters)
        return std::string(title);
    const std::size_t kept = starts.size() - kCutCharacters;
    const std::size_t first = kept > kKeptCharacters ? kept - kKeptCharacters : 0;
    const std::size_t end = starts[kept];
    const std::size_t begin = kept == 0 ? end : starts[first];
    return std::string(title.substr(begin, end - begin));
}

int SelectedEntry(const SignalSettings& settings)
{
    const std::int32_t sel = settings.PlaylistSel;
    return sel >= 0 && sel <= kLastPlaylistEntry ? sel : 0;
}

void NameEmptyEntries(SignalSettings& settings)
{
    for (auto& name : settings.PlaylistName) {
        if (name.empty())
            name = kEmptyEntryName;
    }
}

std::string PlaylistRow(const SignalSettings& settings, int index)
{
    return settings.PlaylistName[static_cast<std::size_t>(index)] + "   ";
}

std::string SelectionText(std::int32_t selection)
{
    return "Selection " + std::to_string(selection) + " / " + std::to_string(kLastPlaylistEntry);
}

std::string LoadPlaylistEntry(SignalSettings& settings, const std::filesystem::path& file)
{
    const std::string path = file.string();
    std::string name = PlaylistDisplayName(file.filename().string());
    if (std::string refusal = PlaylistEntryRefusal(path, name); !refusal.empty())
        return refusal;
    const auto entry = static_cast<std::size_t>(SelectedEntry(settings));
    settings.PlaylistPath[entry] = path;
    settings.PlaylistName[entry] = std::move(name);
    return {};
}

void ClearPlaylistEntry(SignalSettings& settings)
{
    const auto entry = static_cast<std::size_t>(SelectedEntry(settings));
    settings.PlaylistPath[entry].clear();
    settings.PlaylistName[entry] = kClearedEntryName;
}

void ClearPlaylist(SignalSettings& settings)
{
    for (auto& path : settings.PlaylistPath)
        path.clear();
    for (auto& name : settings.PlaylistName)
        name.clear();
}

} // namespace kelvo
