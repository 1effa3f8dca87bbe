// The user player's two readers of outside data. The input is loaded as a playlist (LOAD
// LIST): every text taken must be one the playlist file can hold, a save and a second load
// must give back the same list, and the display name of any title must fit in 30
// characters. The same input is read as a wave file for the player's information: the
// texts must come from their fixed sets and the times must be clock texts.
#include "core/player/playlist.h"
#include "core/player/wave_info.h"
#include "core/settings/settings_files.h"
#include "core/settings/text_file.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <set>

namespace {

using namespace kelvo;

bool IsClockText(const std::string& text)
{
    if (text.size() < 8)
        return false;
    const std::size_t hours = text.size() - 6;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool colon = i == hours || i == hours + 3;
        if (colon ? text[i] != ':' : (text[i] < '0' || text[i] > '9'))
            return false;
    }
    return text[hours + 1] <= '5' && text[hours + 4] <= '5';
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void CheckPlaylist(const std::filesystem::path& file, const std::filesystem::path& copy)
{
    SignalSettings loaded;
    LoadPlaylistList(loaded, file);
    for (int i = 0; i < kPlaylistEntries; ++i) {
        fuzz::Check(QuotedTextRefusal(loaded.PlaylistPath[i]).empty() && QuotedTextRefusal(loaded.PlaylistName[i]).empty(),
                    "the list took a text its file cannot hold");
        fuzz::Check(PlaylistDisplayName(loaded.PlaylistName[i]).size() <= 30 * 4, "a display name is longer than 30 characters");
    }
    fuzz::Check(SavePlaylistList(loaded, copy).empty(), "a loaded list could not be saved");
    SignalSettings again;
    const ListFileLoad second = LoadPlaylistList(again, copy);
    fuzz::Check(second.read && second.problem.empty(), "a saved list does not read back cleanly");
    fuzz::Check(again.PlaylistPath == loaded.PlaylistPath && again.PlaylistName == loaded.PlaylistName,
                "a saved list reads back different");
}

void CheckWaveInfo(const std::filesystem::path& file)
{
    static const std::set<std::string> types = {"", "PCM WAV", "DOLBY D"};
    static const std::set<std::string> channels = {"", "MONO", "STEREO"};
    static const std::set<std::string> bits = {"", "8 bit", "16 bit", "24 bit", "32 bit", "32 bit float"};
    WaveInfo info;
    ShowWaveInfo(info, ProbeWave(file));
    fuzz::Check(types.count(info.type) && channels.count(info.channels) && bits.count(info.bits), "an unknown text");
    fuzz::Check(info.rate.empty() || AllDigits(info.rate), "the rate is not a number");
    fuzz::Check(info.size.empty() || (info.size.ends_with(" bytes") && AllDigits(info.size.substr(0, info.size.size() - 6))),
                "the size is not a number of bytes");
    fuzz::Check(IsClockText(info.duration), "the duration is not a clock text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = fuzz::ScratchFolder("player");
    const auto file = folder / "input";
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    CheckPlaylist(file, folder / "copy.lst");
    CheckWaveInfo(file);
    return 0;
}
