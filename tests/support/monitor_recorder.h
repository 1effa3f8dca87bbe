#pragma once

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kelvo::test {

// Records the private null sink's monitor through parec at 16 bits, noting when each piece of
// it arrived, so that a moment in the recording can be set against the moment of a key press.
// The sound server must be in PULSE_SERVER before it is made.
class MonitorRecorder {
public:
    using Clock = std::chrono::steady_clock;

    // The pieces arrive `latencyMs` apart at most.
    explicit MonitorRecorder(int rate, int latencyMs = 10)
    {
        const std::string latencyArgument = "--latency-msec=" + std::to_string(latencyMs);
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(fds[1], STDOUT_FILENO);
            ::close(fds[0]);
            ::close(fds[1]);
            const std::string rateArgument = "--rate=" + std::to_string(rate);
            ::execlp("parec", "parec", "-d", "kelvo.monitor", "--format=s16le", rateArgument.c_str(), "--channels=2",
                     latencyArgument.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        m_fd = fds[0];
        m_reader = std::thread([this] { read(); });
    }

    ~MonitorRecorder() { stop(); }
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    void stop()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGINT);
        m_reader.join();
        ::close(m_fd);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    // The samples so far, left and right interleaved.
    std::vector<std::int16_t> samples() const
    {
        const std::lock_guard lock(m_mutex);
        return m_samples;
    }
    // How many frames had arrived by `moment`.
    std::size_t framesBy(Clock::time_point moment) const
    {
        const std::lock_guard lock(m_mutex);
        std::size_t frames = 0;
        for (const auto& [arrived, total] : m_arrivals)
            if (arrived <= moment)
                frames = total;
        return frames;
    }
    // When the first sound from frame `frame` on arrived; the epoch when none has.
    Clock::time_point firstSoundFrom(std::size_t frame) const
    {
        std::size_t sound = frame;
        {
            const std::lock_guard lock(m_mutex);
            while (2 * sound + 1 < m_samples.size() && m_samples[2 * sound] == 0 && m_samples[2 * sound + 1] == 0)
                ++sound;
            if (2 * sound + 1 >= m_samples.size())
                return {};
        }
        return arrivalOf(sound);
    }
    // The processor time the recording itself has taken, to leave out of a player's.
    double cpuSeconds() const { return m_cpuSeconds.load(); }
    // When frame `frame` arrived; the epoch when it has not.
    Clock::time_point arrivalOf(std::size_t frame) const
    {
        const std::lock_guard lock(m_mutex);
        for (const auto& [arrived, total] : m_arrivals)
            if (total > frame)
                return arrived;
        return {};
    }

private:
    void read()
    {
        std::string pending;
        std::vector<char> chunk(4096);
        for (;;) {
            const ssize_t got = ::read(m_fd, chunk.data(), chunk.size());
            if (got <= 0)
                break;
            pending.append(chunk.data(), static_cast<std::size_t>(got));
            const std::size_t whole = pending.size() - pending.size() % 4;
            const std::lock_guard lock(m_mutex);
            const std::size_t before = m_samples.size();
            m_samples.resize(before + whole / 2);
            std::memcpy(m_samples.data() + before, pending.data(), whole);
            pending.erase(0, whole);
            m_arrivals.emplace_back(Clock::now(), m_samples.size() / 2);
            timespec used{};
            ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
            m_cpuSeconds.store(static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) * 1e-9);
        }
    }

    pid_t m_pid = -1;
    int m_fd = -1;
    std::thread m_reader;
    std::atomic<double> m_cpuSeconds{0};
    mutable std::mutex m_mutex;
    std::vector<std::int16_t> m_samples;
    std::vector<std::pair<Clock::time_point, std::size_t>> m_arrivals;
};

} // namespace kelvo::test
