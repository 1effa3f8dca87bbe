#include "play_command.h"

#include "core/oscillator/signal_chain.h"
#include "core/playback/portaudio_device.h"
#include "core/playback/system_output.h"
#include "plain_event_loop.h"
#include "render_command.h"

#include <iostream>

namespace kelvo::cli {
namespace {

// Ends the run when the output stops by itself.
class StopWatcher final : public SignalObserver {
public:
    explicit StopWatcher(PlainEventLoop& loop)
        : m_loop(loop)
    {
    }
    void signalStateChanged(const SignalState& state) override
    {
        if (!state.on()) {
            stopped = true;
            m_loop.quit();
        }
    }
    bool stopped = false;

private:
    PlainEventLoop& m_loop;
};

// Long enough for the legacy player's stop file to play out.
constexpr std::chrono::milliseconds kStopFileTime{200};

} // namespace

bool PlayCommand(const PlayOptions& options, Messages& messages, const std::atomic<bool>& interrupted)
{
    RenderSession session;
    if (!PrepareSettings(options.render, session, messages))
        return false;
    if (options.device)
        session.settings.OutDevice = *options.device;

    PlainEventLoop loop;
    SystemOutput streamDevice(loop);
    SystemOutput legacyDevice(loop);
    SignalChain chain(session.settings, session.folder, streamDevice, legacyDevice, loop, messages);
    SignalControl& control = chain.control();
    StopWatcher watcher(loop);

    control.start();
    if (session.settings.Playing == 0 || !CopyRenderedFile(options.render, chain.files(), session.folder, messages))
        return false;
    control.setObserver(&watcher);
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = options.seconds ? start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                        std::chrono::duration<double>(*options.seconds))
                                          : std::chrono::steady_clock::time_point::max();
    loop.run(deadline, &interrupted);
    const bool failed = watcher.stopped;
    // Counted before the stop: the stop file runs dry by design when it ends.
    const std::int64_t gaps = streamDevice.underruns() + legacyDevice.underruns();
    control.setObserver(nullptr);
    control.stop();
    if (chain.legacy().playingOnce())
        loop.run(std::chrono::steady_clock::now() + kStopFileTime);
    if (gaps > 0 && !options.quiet)
        messages.show(GapsText(gaps));
    return !failed && gaps == 0;
}

bool DevicesCommand(Messages& messages)
{
    std::string error;
    const std::vector<std::string> names = ListOutputDevices(error);
    if (!error.empty()) {
        messages.show(error);
        return false;
    }
    if (names.empty()) {
        messages.show(std::string(kNoSoundOutput) + " (on a machine without a sound card, scripts/test-audio provides one).");
        return false;
    }
    for (std::size_t i = 0; i < names.size(); ++i)
        std::cout << i << ": " << names[i] << '\n';
    return true;
}

} // namespace kelvo::cli
