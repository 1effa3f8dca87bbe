#pragma once

#include "playback/legacy_player.h"
#include "playback/stream_engine.h"
#include "playback/wave_reader.h"
#include "runtime/event_loop.h"
#include "runtime/messages.h"
#include "settings/signal_settings.h"
#include "synth/wave_engine.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace kelvo {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kIndicatorOn{240, 0, 0};
inline constexpr Rgb kUserIndicatorOn{255, 0, 0};
inline constexpr Rgb kIndicatorOff{64, 64, 64};

// What the windows show of the signal's state: the on indicators and the status line.
struct SignalIndicators {
    Rgb main = kIndicatorOff;     // Main's lblPlay1 and lblPlay2
    Rgb remote = kIndicatorOff;   // Remote's lblOn
    Rgb arb = kIndicatorOff;      // frmArb's lblPlayLED
    Rgb user = kIndicatorOff;     // frmUserSetup's lblPlayLED
    std::string status;           // Main's lblStat
    bool operator==(const SignalIndicators&) const = default;
};

// Told on the UI thread whenever the indicators, the status text or Playing change.
class SignalObserver {
public:
    virtual ~SignalObserver() = default;
    virtual void signalStateChanged(const SignalIndicators& indicators, bool playing) = 0;
};

inline constexpr std::chrono::milliseconds kStartDelay{500};

// Turns the signal on and off: renders, waits the start delay, then plays test.wav through
// the stream engine or the legacy player, and keeps Playing and the indicators in step.
// Owned by the application object together with the parts it drives; UI thread only.
class SignalControl {
public:
    struct Parts {
        SignalSettings& settings;
        WaveEngine& engine;
        WaveReader& reader;
        StreamEngine& stream;
        LegacyPlayer& legacy;
        EventLoop& loop;
        Messages& messages;
        std::filesystem::path folder;
    };

    explicit SignalControl(Parts parts);
    ~SignalControl();
    SignalControl(const SignalControl&) = delete;
    SignalControl& operator=(const SignalControl&) = delete;

    void setObserver(SignalObserver* observer);
    // The user wave player's Playwav, called when Waveform is User and nothing was drawn.
    void setUserPlayer(std::function<void()> playwav);

    void PlaySig();
    void StopSig();

    const SignalIndicators& indicators() const { return m_indicators; }
    // True while the start delay runs.
    bool starting() const { return m_timer != 0; }

private:
    enum class Path { None, Stream, Legacy };

    void startDelayTick();
    void outputStopped();
    void changed();

    Parts m_parts;
    SignalObserver* m_observer = nullptr;
    std::function<void()> m_playwav;
    SignalIndicators m_indicators;
    EventLoop::TimerId m_timer = 0;
    Path m_playing = Path::None;
};

} // namespace kelvo
