#pragma once

#include "core/settings/signal_settings.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

inline constexpr std::string_view kMainSettingsFile = "Kelvo.ini";
inline constexpr std::string_view kUserStepFile = "Klvuser.ini";
inline constexpr std::string_view kMultitoneFile = "Klvmultitone.ini";
inline constexpr std::string_view kPlaylistFile = "playlist.lst";
inline constexpr std::string_view kArbDataFile = "arbdata.dat";
// The options beyond the signal (Dither, WholeCycles): Name=Value lines.
inline constexpr std::string_view kOptionsFile = "Klvoptions.ini";

// The ten slotted fields, each an array of eleven slots, in file order.
template <typename Settings, typename Visit> void VisitSlottedFields(Settings& s, Visit&& visit)
{
    visit(s.Waveform);
    visit(s.ChanMode);
    visit(s.SampleRate);
    visit(s.Bits);
    visit(s.LevelL);
    visit(s.LevelR);
    visit(s.Freq);
    visit(s.FreqR);
    visit(s.PhaseL);
    visit(s.PhaseR);
}

// The 110 values of the eleven slots, slot by slot: the head of the main settings file
// and of every setup file.
template <typename Settings, typename Visit> void VisitSlotBlock(Settings& s, Visit&& visit)
{
    for (int slot = 0; slot < kSlotCount; ++slot)
        VisitSlottedFields(s, [&](auto& slots) { visit(slots[slot]); });
}

// The first 112 values, which the main settings file and every setup file share: the
// eleven slots and the two step sizes.
template <typename Settings, typename Visit> void VisitSharedHead(Settings& s, Visit&& visit)
{
    VisitSlotBlock(s, visit);
    visit(s.FreqStep);
    visit(s.LevelStep);
}

// Every value of the main settings file, in file order.
template <typename Settings, typename Visit> void VisitMainSettings(Settings& s, Visit&& visit)
{
    VisitSharedHead(s, visit);
    visit(s.WaveBuildLength);
    visit(s.SweepStartFreq);
    visit(s.SweepEndFreq);
    visit(s.SweepStartLevel);
    visit(s.SweepEndLevel);
    visit(s.SweepStartPhase);
    visit(s.SweepEndPhase);
    visit(s.SweepSteps);
    visit(s.SweepStepTime);
    visit(s.SweepKind);
    visit(s.SweepParam);
    visit(s.SweepWarbleRate);
    visit(s.PulseOnTime);
    visit(s.PulseOffTime);
    visit(s.PulseRestTime);
    visit(s.PulseCount);
    visit(s.WarbleRate);
    visit(s.WarbleKind);
    visit(s.AmCarrierFreq);
    visit(s.AmModFreq);
    visit(s.AmModDepth);
    visit(s.FmCarrierFreq);
    visit(s.FmModFreq);
    visit(s.FmDeviation);
    visit(s.DsbCarrierFreq);
    visit(s.DsbModFreq);
    visit(s.DsbModDepth);
    visit(s.NoiseType);
    visit(s.ToneFreq1);
    visit(s.ToneFreq2);
    visit(s.ToneAmp2);
    visit(s.BurstOnTime);
    visit(s.BurstOffTime);
    visit(s.BurstLevelDiff);
    visit(s.OutDevice);
    visit(s.BurstExpDecay);
    visit(s.LegacyDriver);
}

// A settings file that exists but could not be read whole, and why.
struct SettingsFileProblem {
    std::string_view file; // its name in the program folder
    std::string reason;    // "cannot be read: Permission denied", "is damaged (line 7: ...)"
};

// Reads the six settings files from `folder`. A missing file, a short file or a value
// that cannot be read leaves the fields concerned as they were; list counts are limited
// to 0..100. Returns the files that exist but could not be read whole.
std::vector<SettingsFileProblem> LoadSettings(SignalSettings& settings, const std::filesystem::path& folder);

// The one message that tells the user about `problems` at start; empty when there are none.
std::string SettingsProblemsMessage(const std::vector<SettingsFileProblem>& problems, const std::filesystem::path& folder);

// Writes the six settings files into `folder`, each replaced whole. A file named in
// `damaged` is first kept as <name>.bak (renamed, so even one that could not be read is
// kept) and taken off the list once replaced, so only its first save keeps a copy.
// Returns one line per file that could not be written whole, empty when all were.
[[nodiscard]] std::string SaveSettings(const SignalSettings& settings, const std::filesystem::path& folder,
                                       std::vector<SettingsFileProblem>* damaged = nullptr);

// What a load of a user list file did. A list file is loaded whole or not at all.
struct ListFileLoad {
    // The file was read whole and its values are in the record; false when it could not
    // be opened or read, or is damaged, and then nothing changed.
    bool read = false;
    // Why it could not be read, or what in it is damaged (with the line), naming the
    // file; empty when it was read.
    std::string problem;
};

// The user step table in the layout of Klvuser.ini, read from or written to any file (a
// user step list, .usl). A file with fewer entries than its count is damaged; a count
// above 100 reads 100 entries. A save replaces the file whole; it returns the error naming
// the file, empty on success.
ListFileLoad LoadUserStepList(SignalSettings& settings, const std::filesystem::path& path);
[[nodiscard]] std::string SaveUserStepList(const SignalSettings& settings, const std::filesystem::path& path);

// The multitone list in the layout of Klvmultitone.ini (a multitone list, .mtf), the same way.
ListFileLoad LoadMultitoneList(SignalSettings& settings, const std::filesystem::path& path);
[[nodiscard]] std::string SaveMultitoneList(const SignalSettings& settings, const std::filesystem::path& path);

// The 24 harmonic amplitudes in the layout of the tail of arbdata.dat (a Fourier sequence
// file, .for), the same way; a shorter file gives the harmonics it lists, the others 0.
ListFileLoad LoadFourierList(SignalSettings& settings, const std::filesystem::path& path);
[[nodiscard]] std::string SaveFourierList(const SignalSettings& settings, const std::filesystem::path& path);
// The playlist in the layout of the program folder's playlist.lst without its selection
// line (a playlist, .lst: 402 lines), the same way; a shorter file of whole entries gives
// those, the others empty. A trailing selection line is not read.
ListFileLoad LoadPlaylistList(SignalSettings& settings, const std::filesystem::path& path);
[[nodiscard]] std::string SavePlaylistList(const SignalSettings& settings, const std::filesystem::path& path);

// Why a wave file cannot enter the playlist under `path` and `name`: the playlist file
// cannot hold a double quote or a line break. Empty when it can.
[[nodiscard]] std::string PlaylistEntryRefusal(std::string_view path, std::string_view name);

} // namespace kelvo
