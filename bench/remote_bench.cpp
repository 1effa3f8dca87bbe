// The SCPI remote control through a real socket, with the desktop program's event loop.
#include "core/remote/remote_control.h"
#include "gui/runtime/qt_event_loop.h"
#include "offscreen_app.h"
#include "silent_oscillator.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvo::bench {
namespace {

// A device that notes when the first samples reach it; it plays nothing.
class FirstSampleDevice final : public AudioDevice {
public:
    std::string open(int, const AudioFormat&, BufferDone, Failure) override
    {
        m_open = true;
        return {};
    }
    void write(int, std::span<const std::byte>) override
    {
        if (firstWrite == std::chrono::steady_clock::time_point{})
            firstWrite = std::chrono::steady_clock::now();
    }
    void reset() override {}
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    std::int64_t underruns() const override { return 0; }

    std::chrono::steady_clock::time_point firstWrite;

private:
    bool m_open = false;
};

// An oscillator on the device above, served on a free loopback port, and one client.
struct Served {
    explicit Served(const char* name)
        : folder((std::filesystem::temp_directory_path() / name).string())
    {
        std::filesystem::create_directories(folder);
        oscillator.Start();
        control.listen(0, {});
        client = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(control.port());
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        // The answer arrives from the server's thread: it must wake the loop too.
        answered = std::make_unique<QSocketNotifier>(client, QSocketNotifier::Read);
    }
    ~Served()
    {
        answered.reset();
        ::close(client);
        std::filesystem::remove_all(folder);
    }

    void send(std::string_view line) const { ::send(client, line.data(), line.size(), MSG_NOSIGNAL); }
    // Runs the loop until the client has a whole answer.
    std::string answer() const
    {
        std::string text;
        while (text.empty() || text.back() != '\n') {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            char buffer[256];
            const ssize_t got = ::recv(client, buffer, sizeof buffer, MSG_DONTWAIT);
            if (got > 0)
                text.append(buffer, static_cast<std::size_t>(got));
        }
        return text;
    }

    std::string folder;
    gui::QtEventLoop loop;
    NoMessages messages;
    FirstSampleDevice device;
    UnavailableDevice legacy{"no legacy player in the benchmark"};
    Oscillator oscillator{folder, device, legacy, loop, messages};
    RemoteControl control{oscillator, loop, {}};
    int client = -1;
    std::unique_ptr<QSocketNotifier> answered;
};

// FREQ? answered, one query after another on one connection.
void RemoteFrequencyQuery(benchmark::State& state)
{
    OffscreenApplication();
    Served served("kelvo-remote-bench");
    for (auto _ : state) {
        served.send("FREQ?\n");
        benchmark::DoNotOptimize(served.answer());
    }
    state.SetItemsProcessed(state.iterations());
}

// From the moment `start` switches a 1 s sine on to its first samples at the device: the
// render and the start delay, through OUTP ON or through the panel's Enter (ON).
void TimeToFirstSample(benchmark::State& state, bool remote)
{
    OffscreenApplication();
    Served served("kelvo-remote-start-bench");
    served.send("KELV:FIEL WaveBuildLength,1;*OPC?\n");
    served.answer();
    for (auto _ : state) {
        served.device.firstWrite = {};
        const auto start = std::chrono::steady_clock::now();
        if (remote)
            served.send("OUTP ON\n");
        else
            served.oscillator.panel().switchOn();
        while (served.device.firstWrite == std::chrono::steady_clock::time_point{})
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(std::chrono::duration<double>(served.device.firstWrite - start).count());
        served.oscillator.stopSignal();
    }
}

BENCHMARK(RemoteFrequencyQuery)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(TimeToFirstSample, outp_on, true)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK_CAPTURE(TimeToFirstSample, panel_enter, false)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace
} // namespace kelvo::bench
