#pragma once

#include "settings/signal_settings.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace kelvo {

inline constexpr std::string_view kMainSettingsFile = "Kelvo.ini";
inline constexpr std::string_view kUserStepFile = "Klvuser.ini";
inline constexpr std::string_view kMultitoneFile = "Klvmultitone.ini";
inline constexpr std::string_view kPlaylistFile = "playlist.lst";
inline constexpr std::string_view kArbDataFile = "arbdata.dat";

// The ten slotted fields, each an array of eleven slots, in file order.
template <typename Settings, typename Visit>
void VisitSlottedFields(Settings& s, Visit&& visit)
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
template <typename Settings, typename Visit>
void VisitSlotBlock(Settings& s, Visit&& visit)
{
    for (int slot = 0; slot < kSlotCount; ++slot)
        VisitSlottedFields(s, [&](auto& slots) { visit(slots[slot]); });
}

// Every value of the main settings file, in file order.
template <typename Settings, typename Visit>
void VisitMainSettings(Settings& s, Visit&& visit)
{
    VisitSlotBlock(s, visit);
    visit(s.FreqStep);
    visit(s.LevelStep);
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

// Reads the five settings files from `folder`. A missing file, a short file or a value
// that is not a number leaves the fields concerned as they were; list counts are
// limited to 0..100.
void LoadSettings(SignalSettings& settings, const std::filesystem::path& folder);

// Writes the five settings files into `folder`, each replaced whole. Returns one line per
// file that could not be written, empty when all were.
std::string SaveSettings(const SignalSettings& settings, const std::filesystem::path& folder);

} // namespace kelvo
