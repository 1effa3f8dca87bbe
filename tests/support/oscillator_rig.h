#pragma once

#include "core/oscillator/oscillator.h"
#include "core/playback/audio_device.h"
#include "core/runtime/event_loop.h"
#include "support/test_support.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <deque>
#include <map>

namespace kelvo::test {

// An event loop driven by the test: posted tasks run when the test says so, and timers
// follow a fake clock that only the test advances.
class ManualEventLoop final : public EventLoop {
public:
    void post(Task task) override { m_posted.push_back(std::move(task)); }
    void stopTimer(TimerId id) override { m_timers.erase(id); }
    std::chrono::milliseconds now() const override { return m_now; }

    TimerId startTimer(std::chrono::milliseconds interval, bool repeating, Task task) override
    {
        m_timers.emplace(m_nextTimer, Timer{m_now + interval, interval, repeating, std::move(task)});
        return m_nextTimer++;
    }

    // Runs posted tasks, including those they post, until none is left; returns how many ran.
    int runPosted()
    {
        int ran = 0;
        for (; !m_posted.empty(); ++ran) {
            Task task = std::move(m_posted.front());
            m_posted.pop_front();
            task();
        }
        return ran;
    }

    // Moves the clock forward, firing due timers in time order, each followed by the
    // posted tasks it caused.
    void advance(std::chrono::milliseconds step)
    {
        const auto end = m_now + step;
        runPosted();
        for (;;) {
            const auto next = std::min_element(m_timers.begin(), m_timers.end(),
                                               [](const auto& a, const auto& b) { return a.second.due < b.second.due; });
            if (next == m_timers.end() || next->second.due > end)
                break;
            m_now = next->second.due;
            Task task = next->second.task;
            if (next->second.repeating)
                next->second.due += next->second.interval;
            else
                m_timers.erase(next);
            task();
            runPosted();
        }
        m_now = end;
    }

private:
    struct Timer {
        std::chrono::milliseconds due;
        std::chrono::milliseconds interval;
        bool repeating;
        Task task;
    };

    std::deque<Task> m_posted;
    std::map<TimerId, Timer> m_timers;
    TimerId m_nextTimer = 1;
    std::chrono::milliseconds m_now{0};
};

// An output device that plays when the test says so: it records every queued buffer,
// appends the whole frames of each buffer it plays to `played`, and hands buffers back
// through the event loop like a real device.
class FakeAudioDevice final : public AudioDevice {
public:
    explicit FakeAudioDevice(EventLoop& loop)
        : m_loop(loop)
    {
    }

    std::string open(int index, const AudioFormat& format, BufferDone done, Failure failed) override
    {
        if (!openError.empty())
            return openError;
        close();
        ++opens;
        lastIndex = index;
        lastFormat = format;
        m_done = std::move(done);
        m_failed = std::move(failed);
        m_open = true;
        return {};
    }

    void write(int index, std::span<const std::byte> bytes) override
    {
        if (!m_open)
            return;
        writtenSizes.push_back(bytes.size());
        m_queued.push_back({index, bytes});
    }

    void reset() override
    {
        for (; !m_queued.empty(); m_queued.pop_front())
            m_loop.post([done = m_done, index = m_queued.front().first] { done(index); });
    }

    void close() override
    {
        m_open = false;
        m_queued.clear();
    }

    bool isOpen() const override { return m_open; }
    std::int64_t underruns() const override { return m_underruns; }

    // Plays the oldest `count` queued buffers in order (fewer when fewer are queued) and
    // posts their hand-backs; counts an underrun when the queue runs dry. Returns how many played.
    int play(int count)
    {
        for (int playedCount = 0; playedCount < count; ++playedCount) {
            if (m_queued.empty()) {
                ++m_underruns;
                return playedCount;
            }
            const auto [index, bytes] = m_queued.front();
            m_queued.pop_front();
            const std::size_t whole = bytes.size() - bytes.size() % static_cast<std::size_t>(lastFormat.blockAlign);
            played.insert(played.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(whole));
            m_loop.post([done = m_done, index = index] { done(index); });
        }
        return count;
    }

    // Reports that the device stopped by itself.
    void breakDown(const std::string& text)
    {
        m_loop.post([failed = m_failed, text] {
            if (failed)
                failed(text);
        });
    }

    // The buffers queued and not yet played, by index.
    const std::deque<std::pair<int, std::span<const std::byte>>>& queued() const { return m_queued; }

    std::string openError; // when set, open() fails with this text
    int opens = 0;
    int lastIndex = 0; // the device index of the last open
    AudioFormat lastFormat;
    std::vector<std::size_t> writtenSizes; // the length of every queued buffer, in order
    std::vector<std::byte> played;

private:
    EventLoop& m_loop;
    bool m_open = false;
    BufferDone m_done;
    Failure m_failed;
    std::deque<std::pair<int, std::span<const std::byte>>> m_queued;
    std::int64_t m_underruns = 0;
};

// An oscillator on fake devices and a manually advanced loop, in a folder of its own, that
// remembers the last view the oscillator published.
struct OscillatorRig : PanelObserver {
    explicit OscillatorRig(const std::filesystem::path& folder)
        : oscillator(folder, streamDevice, legacyDevice, loop, messages)
    {
        oscillator.addObserver(this);
    }
    ~OscillatorRig() override { oscillator.removeObserver(this); }

    SignalSettings& settings() { return oscillator.settings(); }
    void panelChanged(const PanelView& view) override { panel.last = view; }

    RecordingMessages messages;
    ManualEventLoop loop;
    FakeAudioDevice streamDevice{loop};
    FakeAudioDevice legacyDevice{loop};
    Oscillator oscillator;
    struct {
        PanelView last;
    } panel;
};

// An oscillator rig, started, in a folder of its own that is made first and removed last.
struct OwnFolder {
    TempFolder folder;
};
struct StartedRig : OwnFolder, OscillatorRig {
    StartedRig()
        : OscillatorRig(folder.path())
    {
        oscillator.Start();
    }
};

} // namespace kelvo::test
