#include "core/oscillator/signal_control.h"

#include "core/player/playlist.h"
#include "core/runtime/program_folder.h"
#include "core/settings/signal_codes.h"

namespace kelvo {
namespace {

// How often the underrun count is looked at: soon enough for a user watching the panel.
constexpr std::chrono::milliseconds kGapCheckInterval{500};
// The crossfade of a seamless change: long enough not to click, short enough to sound at once.
constexpr std::int32_t kFadeDivisor = 200;

} // namespace

std::string GapsText(std::int64_t gaps)
{
    if (gaps <= 0)
        return {};
    const std::string times = gaps == 1 ? "once" : std::to_string(gaps) + " times";
    return "Output ran dry " + times + ": the signal had gaps";
}

std::string StatusLine(const SignalState& state)
{
    const std::string gaps = GapsText(state.gaps);
    if (gaps.empty() || state.status.empty())
        return state.status + gaps;
    return state.status + "\n" + gaps;
}

SignalControl::SignalControl(Parts parts)
    : m_parts(std::move(parts))
{
    // A render must not rewrite the file the player holds open.
    m_parts.files.engine().setBeforeRender([this] {
        // A change rendered while the old signal plays writes a new file beside it.
        if (ChangeRender::onRenderThread())
            return;
        m_parts.stream.stop();
        m_parts.reader.close();
    });
    m_parts.stream.setOnFailure([this] { outputStopped(); });
    m_parts.legacy.setOnFailure([this] { outputStopped(); });
}

SignalControl::~SignalControl()
{
    m_changeRender.drop();
    m_changeRender.wait();
    if (m_timer != 0)
        m_parts.loop.stopTimer(m_timer);
    if (m_gapTimer != 0)
        m_parts.loop.stopTimer(m_gapTimer);
    m_parts.files.engine().setBeforeRender(nullptr);
    m_parts.stream.setOnFailure(nullptr);
    m_parts.legacy.setOnFailure(nullptr);
}

void SignalControl::setObserver(SignalObserver* observer)
{
    m_observer = observer;
}

void SignalControl::setUserPlayer(std::function<void()> playwav)
{
    m_playwav = std::move(playwav);
}

void SignalControl::start()
{
    // A start renders afresh: a change still rendering is of no use, and must not be
    // rendering with the same engine.
    m_changeRender.drop();
    m_changeRender.wait();
    m_changing = false;
    SignalSettings& s = m_parts.settings;
    if (s.LegacyDriver != 0 || m_playing == Path::Legacy)
        stop();
    s.Playing = 1;
    if (Is(s.Waveform[0], WaveformCode::User)) {
        m_state.status = s.PlaylistName[static_cast<std::size_t>(SelectedEntry(s))];
        if (s.ArbBuild == 0) {
            // The user player plays at once; there is no render and no start delay.
            m_state.source = SignalSource::UserFile;
            changed(SignalPhase::Playing);
            if (m_playwav)
                m_playwav();
            return;
        }
        m_state.source = SignalSource::ArbTable;
        changed(SignalPhase::Starting);
    } else {
        // A render requested by the waveform editor is again its table.
        m_state.source = s.ArbBuild == 1 ? SignalSource::ArbTable : SignalSource::Generator;
        m_state.status.clear();
        changed(SignalPhase::Starting);
        if (!m_parts.files.renderToFile(s, m_parts.folder, m_parts.messages)) {
            // Nothing fresh to play: the signal stays stopped rather than playing a stale file.
            stop();
            return;
        }
        m_clock = ClockOf(s, m_parts.files.engine().state());
    }
    // A restart within the delay waits the full delay again from now.
    if (m_timer != 0)
        m_parts.loop.stopTimer(m_timer);
    m_timer = m_parts.loop.startTimer(kStartDelay, false, [this] { startDelayTick(); });
}

void SignalControl::change()
{
    const SignalSettings& s = m_parts.settings;
    const bool seamless = s.SeamlessChanges == 1 && s.LegacyDriver == 0 && s.ArbBuild == 0 &&
                          !Is(s.Waveform[0], WaveformCode::User) && m_playing == Path::Stream &&
                          m_state.phase == SignalPhase::Playing && m_state.source == SignalSource::Generator;
    if (!seamless) {
        start();
        return;
    }
    m_changing = true;
    m_changeRender.request(s, [this](ChangeRender::Result result) { changeRendered(std::move(result)); });
}

void SignalControl::changeRendered(ChangeRender::Result result)
{
    m_changing = false;
    for (const std::string& text : result.messages)
        m_parts.messages.show(text);
    if (!result.rendered) {
        // As a start: nothing fresh to play, so nothing plays rather than a stale signal.
        stop();
        return;
    }
    const BlockClock old = m_clock;
    const BlockClock next = ClockOf(result.settings, m_parts.files.engine().state());
    const std::int64_t fade = std::max(1, result.settings.SampleRate[0] / kFadeDivisor);
    m_clock = next;
    const bool spliced = m_parts.stream.splice(
        ProgramFile(m_parts.folder, kRenderedFile), fade,
        [&old, &next, fade](std::int64_t oldFrame, std::int64_t) { return JoinFrame(old, next, oldFrame, fade); });
    if (spliced) {
        changed(SignalPhase::Playing);
        return;
    }
    // Another sample format, or a device that cannot replace what it holds: a restart.
    m_parts.stream.stop();
    m_parts.reader.close();
    changed(SignalPhase::Starting);
    m_timer = m_parts.loop.startTimer(kStartDelay, false, [this] { startDelayTick(); });
}

void SignalControl::stop()
{
    m_changeRender.drop();
    m_changing = false;
    SignalSettings& s = m_parts.settings;
    s.Playing = 0;
    // Cancels a start still waiting for its delay.
    if (m_timer != 0)
        m_parts.loop.stopTimer(m_timer);
    m_timer = 0;
    if (m_gapTimer != 0)
        m_parts.loop.stopTimer(m_gapTimer);
    m_gapTimer = 0;
    m_state = SignalState{};
    // Stop whichever path plays, whatever LegacyDriver holds by now.
    if (m_playing == Path::Legacy)
        m_parts.legacy.play(ProgramFile(m_parts.folder, kStopFile), false);
    else
        m_parts.stream.stop();
    m_parts.reader.close();
    m_playing = Path::None;
    changed(SignalPhase::Stopped);
}

bool SignalControl::playFile(const std::filesystem::path& file, std::string status)
{
    stop();
    m_parts.settings.Playing = 1;
    m_state.source = SignalSource::UserFile;
    m_state.status = std::move(status);
    return startOutput(file);
}

void SignalControl::startDelayTick()
{
    m_timer = 0;
    startOutput(ProgramFile(m_parts.folder, kRenderedFile));
}

bool SignalControl::startOutput(const std::filesystem::path& file)
{
    bool started = false;
    if (m_parts.settings.LegacyDriver != 0) {
        started = m_parts.legacy.play(file, true);
        m_playing = Path::Legacy;
    } else {
        m_parts.reader.open(file, m_parts.messages);
        started = m_parts.reader.isOpen() && m_parts.stream.start(m_parts.settings.OutDevice);
        m_playing = Path::Stream;
    }
    // The message has been shown; nothing plays, so the panel says so.
    if (!started) {
        outputStopped();
        return false;
    }
    m_underrunsAtStart = underruns();
    m_state.gaps = 0;
    if (m_gapTimer == 0)
        m_gapTimer = m_parts.loop.startTimer(kGapCheckInterval, true, [this] { checkGaps(); });
    changed(SignalPhase::Playing);
    return true;
}

std::int64_t SignalControl::underruns() const
{
    return m_playing == Path::Legacy ? m_parts.legacy.underruns() : m_parts.stream.underruns();
}

void SignalControl::checkGaps()
{
    const std::int64_t gaps = underruns() - m_underrunsAtStart;
    if (gaps > m_state.gaps) {
        m_state.gaps = gaps;
        changed(m_state.phase);
    }
}

void SignalControl::outputStopped()
{
    m_playing = Path::None;
    stop();
}

void SignalControl::changed(SignalPhase phase)
{
    m_state.phase = phase;
    if (m_observer)
        m_observer->signalStateChanged(m_state);
}

} // namespace kelvo
