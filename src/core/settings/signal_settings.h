#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

// Slot 0 of every slotted field is the live signal; slots 1..10 are the memories.
inline constexpr int kSlotCount = 11;
inline constexpr int kMemoryCount = 10;
// List fields (multitone frequencies, user steps) hold entries 0..100; entry 0 is unused.
inline constexpr int kListEntries = 101;
inline constexpr int kListMax = 100;
inline constexpr int kPlaylistEntries = 201;
inline constexpr int kArbTableSize = 401;
inline constexpr int kFourierCount = 24;
// The port bench instruments answer SCPI on, offered when remote control is switched on.
inline constexpr int kDefaultRemotePort = 5025;

template <typename T> using Slots = std::array<T, kSlotCount>;

template <typename T> constexpr Slots<T> AllSlots(T value)
{
    Slots<T> slots{};
    slots.fill(value);
    return slots;
}

// The one record of everything that describes the signal and its output. The default
// member initialisers are the start values; every slot starts equal to the live one,
// which is what the start-up copy into the memories gives.
struct SignalSettings {
    // Slotted fields.
    Slots<std::int32_t> Waveform = AllSlots<std::int32_t>(1);
    Slots<std::int32_t> ChanMode = AllSlots<std::int32_t>(3);
    Slots<std::int32_t> SampleRate = AllSlots<std::int32_t>(44100);
    Slots<std::int32_t> Bits = AllSlots<std::int32_t>(16);
    Slots<double> LevelL = AllSlots(-20.0);
    Slots<double> LevelR = AllSlots(-20.0);
    Slots<double> Freq = AllSlots(1000.0);
    Slots<double> FreqR = AllSlots(1000.0);
    Slots<double> PhaseL = AllSlots(0.0);
    Slots<double> PhaseR = AllSlots(0.0);

    // Panel and output state.
    std::int32_t MemIndex = 1;
    double FreqStep = 100;
    double LevelStep = 20;
    std::int32_t AdjustL = 1;
    std::int32_t AdjustR = 1;
    std::int32_t Playing = 0;
    std::int16_t OutDevice = 0;
    std::int32_t LegacyDriver = 0;
    double WaveBuildLength = 1;

    // Noise.
    std::int32_t NoiseType = 0;
    // Burst.
    double BurstOnTime = 20;
    double BurstOffTime = 480;
    double BurstLevelDiff = 20;
    std::int32_t BurstExpDecay = 0;
    // The windowed burst: a Hann-shaped on part of BurstCycles cycles, kept in the options file.
    std::int32_t BurstWindow = 0;
    double BurstCycles = 6.5;
    // Pulse.
    double PulseOnTime = 100;
    double PulseOffTime = 100;
    double PulseRestTime = 50;
    std::int32_t PulseCount = 5;
    // Two tone.
    double ToneFreq1 = 1000;
    double ToneFreq2 = 440;
    double ToneAmp2 = 6;
    // Multitone.
    std::int16_t MultiCount = 3;
    std::array<double, kListEntries> MultiFreq{0, 400, 1000, 1300};
    // Sweep.
    double SweepStartFreq = 200;
    double SweepEndFreq = 2000;
    double SweepStartLevel = 0;
    double SweepEndLevel = -20;
    double SweepStartPhase = 0;
    double SweepEndPhase = 180;
    double SweepWarbleRate = 8;
    std::int32_t SweepKind = 1;
    std::int32_t SweepSteps = 10;
    float SweepStepTime = 0.5f;
    std::int32_t SweepParam = 0;
    // A continuous sweep's length (0: the rendered length) and the fades at the ends of the
    // logarithmic sweeps; kept in the options file.
    double SweepSeconds = 0;
    double SweepFadeMs = 5;
    std::int32_t UserStepCount = 0;
    std::array<double, kListEntries> UserStepFreq{};
    std::array<double, kListEntries> UserStepPeriod{};
    // Warble.
    double WarbleRate = 8;
    std::int32_t WarbleKind = 0;
    // Amplitude modulation.
    double AmCarrierFreq = 1000;
    double AmModFreq = 200;
    double AmModDepth = 100;
    // Frequency modulation.
    double FmCarrierFreq = 2000;
    double FmModFreq = 200;
    double FmDeviation = 100;
    // Double sideband.
    double DsbCarrierFreq = 1000;
    double DsbModFreq = 200;
    double DsbModDepth = 100;

    // Arbitrary waveform render request, set by the waveform editor.
    std::int32_t ArbBuild = 0;
    std::int32_t ArbSampleRate = 44100;
    double ArbLevel = -20;
    double ArbFreq = 100;
    std::int32_t ArbChanMode = 2;
    // The waveform editor's presets: periods across the viewport and percent of 140 rows.
    std::int32_t ArbCycles = 1;
    double ArbPercent = 50;
    // The editor's eraser pen width in pixels: 1, 6 or 11.
    std::int32_t EraserWidth = 11;
    std::array<std::int32_t, kArbTableSize> ArbTable{};
    // Harmonic amplitudes 1..24; entry 0 is unused.
    std::array<double, kFourierCount + 1> FourierAmp{0, 1};

    // Playlist of the user wave player.
    std::array<std::string, kPlaylistEntries> PlaylistPath{};
    std::array<std::string, kPlaylistEntries> PlaylistName{};
    std::int32_t PlaylistSel = 0;

    // Options of how the program renders, shows and plays, kept in the options file: 0 off, 1 on.
    std::int32_t Dither = 0;
    std::int32_t WholeCycles = 0;
    std::int32_t BandLimited = 0;
    // Levels: 0 the level sets the peak, 1 the RMS of a sine at that level; the unit levels
    // are shown and typed in (LevelUnit); each output's Vrms for a 0 dB sine (0: not
    // calibrated); the loudest level either channel may be set to.
    std::int32_t LevelReference = 0;
    std::int32_t LevelUnit = 0;
    double CalVoltsL = 0;
    double CalVoltsR = 0;
    double LevelLimit = 0;
    // 1: a change while the signal plays switches to the new signal without stopping it.
    std::int32_t SeamlessChanges = 0;
    // The TCP port of the SCPI remote-control server; 0: no server.
    std::int32_t RemotePort = 0;
    // Lines of the options file that this version does not know, written back as they were.
    std::vector<std::string> UnknownOptions;
};

} // namespace kelvo
