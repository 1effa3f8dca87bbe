#pragma once

#include "core/oscillator/change_phase.h"
#include "core/oscillator/change_render.h"
#include "core/oscillator/signal_files.h"
#include "core/playback/legacy_player.h"
#include "core/playback/stream_engine.h"
#include "core/playback/wave_reader.h"
#include "core/player/file_output.h"
#include "core/runtime/event_loop.h"
#include "core/runtime/messages.h"
#include "core/settings/signal_settings.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace kelvo {

// Where the signal is: stopped, waiting out the start delay after a render, or playing.
enum class SignalPhase { Stopped, Starting, Playing };

// What is sounding: a rendered waveform, the user player's file, or the arbitrary table.
enum class SignalSource { Generator, UserFile, ArbTable };

// The signal's state as every window shows it: its indicators and the status line.
struct SignalState {
    SignalPhase phase = SignalPhase::Stopped;
    SignalSource source = SignalSource::Generator;
    std::string status;    // the main panel's status line: the playlist name of a user file
    std::int64_t gaps = 0; // times the output ran dry since it started playing
    bool on() const { return phase != SignalPhase::Stopped; }
    bool operator==(const SignalState&) const = default;
};

// Told on the UI thread whenever the signal's state changes.
class SignalObserver {
public:
    virtual ~SignalObserver() = default;
    virtual void signalStateChanged(const SignalState& state) = 0;
};

inline constexpr std::chrono::milliseconds kStartDelay{500};

// What the status line says when the output ran dry `gaps` times; empty for none.
std::string GapsText(std::int64_t gaps);
// The status line: the state's status, then the gaps on a line of their own.
std::string StatusLine(const SignalState& state);

// Turns the signal on and off: renders, waits the start delay, then plays test.wav through
// the stream engine or the legacy player, and keeps Playing and the indicators in step.
// Owned by the application object together with the parts it drives; UI thread only.
class SignalControl final : public FileOutput {
public:
    struct Parts {
        SignalSettings& settings;
        SignalFiles& files;
        WaveReader& reader;
        StreamEngine& stream;
        LegacyPlayer& legacy;
        EventLoop& loop;
        Messages& messages;
        std::filesystem::path folder;
    };

    explicit SignalControl(Parts parts);
    ~SignalControl() override;
    SignalControl(const SignalControl&) = delete;
    SignalControl& operator=(const SignalControl&) = delete;

    void setObserver(SignalObserver* observer);
    // The user wave player's playUserFile, called when Waveform is User and nothing was drawn.
    void setUserPlayer(std::function<void()> playwav);

    void start();
    // After a change of the settings while the signal is on. With SeamlessChanges, a signal
    // that plays renders the change while it plays on, then crossfades into it without a
    // gap; otherwise, and whenever that cannot be, the same as start().
    void change();
    void stop() override;
    // Returns once no change is rendering, for those who use the rendered block.
    void settle() { m_changeRender.wait(); }
    // Stops whatever plays, then plays `file` in a loop at once as the user's file, with
    // `status` on the status line. False, after the reader or the device has said why, when
    // it cannot play; everything is stopped then.
    bool playFile(const std::filesystem::path& file, std::string status) override;

    const SignalState& state() const { return m_state; }
    // True while the start delay runs, or a seamless change has not yet reached the output.
    bool starting() const { return m_timer != 0 || m_changing; }

private:
    enum class Path { None, Stream, Legacy };

    void changeRendered(ChangeRender::Result result);
    void startDelayTick();
    std::int64_t underruns() const;
    void checkGaps();
    bool startOutput(const std::filesystem::path& file);
    void outputStopped();
    void changed(SignalPhase phase);

    Parts m_parts;
    SignalObserver* m_observer = nullptr;
    std::function<void()> m_playwav;
    SignalState m_state;
    EventLoop::TimerId m_timer = 0;
    Path m_playing = Path::None;
    // Watches the device's underrun count while the output plays.
    EventLoop::TimerId m_gapTimer = 0;
    std::int64_t m_underrunsAtStart = 0;
    // The cycles of the block that plays, for joining the next one at the same phase.
    BlockClock m_clock;
    bool m_changing = false;
    ChangeRender m_changeRender{m_parts.files, m_parts.folder, m_parts.loop};
};

} // namespace kelvo
