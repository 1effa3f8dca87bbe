// Measures the playback figures on a private PulseAudio null sink (run it through
// scripts/measure-playback): the output latency the device chose, the delay from startSignal to the first sample handed to the
// device and to the first sample heard on the sink's monitor, the processor time while
// streaming, and the underruns of a minute's play with another core kept busy; then the
// user player's: PLAY of a 10 s 16-bit file to its first sample, and the processor time
// while a 192 kHz 32-bit float file plays.
#include "core/oscillator/signal_control.h"
#include "core/oscillator/signal_files.h"
#include "core/playback/legacy_player.h"
#include "core/playback/stream_engine.h"
#include "core/playback/system_output.h"
#include "core/playback/wave_reader.h"
#include "core/player/user_player.h"
#include "core/runtime/random_source.h"
#include "core/settings/signal_settings.h"
#include "core/synth/wave_engine.h"
#include "plain_event_loop.h"
#include "support/monitor_recorder.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double CpuSeconds(clockid_t clock)
{
    timespec t{};
    ::clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

class StderrMessages final : public kelvo::Messages {
public:
    void show(std::string_view text) override { std::cerr << "message: " << text << '\n'; }
};

// Gaps of more than two silent frames between the first and the last sound of a recording.
int GapsInSound(const std::vector<std::int16_t>& samples)
{
    std::size_t first = 0;
    std::size_t last = samples.size() / 2;
    while (first < last && samples[2 * first] == 0 && samples[2 * first + 1] == 0)
        ++first;
    while (last > first && samples[2 * last - 2] == 0 && samples[2 * last - 1] == 0)
        --last;
    int gaps = 0;
    std::size_t run = 0;
    for (std::size_t n = first; n < last; ++n) {
        run = samples[2 * n] == 0 && samples[2 * n + 1] == 0 ? run + 1 : 0;
        gaps += run == 3;
    }
    return gaps;
}

// A stereo sine file of `seconds` in PCM (tag 1) or float (tag 3) samples of `bits`.
void WriteSine(const std::filesystem::path& path, std::uint16_t tag, std::uint32_t rate, std::uint16_t bits, int seconds)
{
    const std::uint32_t frames = rate * static_cast<std::uint32_t>(seconds);
    const std::uint16_t align = static_cast<std::uint16_t>(2 * bits / 8);
    std::string bytes;
    const auto put = [&bytes](std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    };
    bytes += "RIFF";
    put(36 + frames * align, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(tag, 2);
    put(2, 2);
    put(rate, 4);
    put(rate * align, 4);
    put(align, 2);
    put(bits, 2);
    bytes += "data";
    put(frames * align, 4);
    for (std::uint32_t n = 0; n < frames; ++n) {
        const double value = 0.5 * std::sin(2 * M_PI * 1000 * n / rate);
        for (int channel = 0; channel < 2; ++channel) {
            if (tag == 3) {
                const float f = static_cast<float>(value);
                std::uint32_t word;
                std::memcpy(&word, &f, 4);
                put(word, 4);
            } else {
                put(static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(value * 32767))), bits / 8);
            }
        }
    }
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main()
{
    if (std::getenv("PULSE_SERVER") == nullptr) {
        std::cerr << "run me through scripts/measure-playback\n";
        return 2;
    }
    char pattern[] = "/tmp/kelvo-figures-XXXXXX";
    const std::filesystem::path folder = ::mkdtemp(pattern);

    kelvo::SignalSettings settings;
    settings.WaveBuildLength = 0.5; // a 1 s block
    kelvo::RandomSource random;
    kelvo::WaveEngine engine(random);
    kelvo::SignalFiles files(engine);
    StderrMessages messages;
    if (const std::string error = kelvo::WriteStopFile(settings, folder); !error.empty())
        std::cerr << error << '\n';

    kelvo::test::MonitorRecorder recorder(settings.SampleRate[0]);
    // The null sink renders far ahead until a client asks for a low latency.
    std::this_thread::sleep_for(3s);

    kelvo::cli::PlainEventLoop loop;
    kelvo::SystemOutput streamDevice(loop);
    kelvo::SystemOutput legacyDevice(loop);
    kelvo::WaveReader reader;
    kelvo::StreamEngine stream(reader, streamDevice, loop, messages);
    kelvo::LegacyPlayer legacy(legacyDevice, messages);
    kelvo::SignalControl control({settings, files, reader, stream, legacy, loop, messages, folder});
    settings.OutDevice = -1;

    const auto start = Clock::now();
    control.start();
    const auto rendered = Clock::now();
    loop.run(start + 1500ms);
    const double render = Milliseconds(rendered - start);
    const double handed = Milliseconds(streamDevice.firstSoundTime() - start);
    const double heard = Milliseconds(recorder.firstSoundFrom(0) - start);
    const double latency = 1000 * streamDevice.outputLatency();
    const bool realtime = streamDevice.feedRealtime();

    const double cpuBefore = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - recorder.cpuSeconds();
    const auto wallBefore = Clock::now();
    loop.run(wallBefore + 10s);
    const double cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - recorder.cpuSeconds() - cpuBefore;
    const double cpuShare = cpu / std::chrono::duration<double>(Clock::now() - wallBefore).count();

    std::atomic<bool> busy{true};
    std::thread spinner([&] {
        while (busy.load(std::memory_order_relaxed)) {}
    });
    const std::int64_t underrunsBefore = streamDevice.underruns();
    loop.run(Clock::now() + 60s);
    const std::int64_t underruns = streamDevice.underruns() - underrunsBefore;
    busy = false;
    spinner.join();
    control.stop();
    loop.run(Clock::now() + 1000ms);
    const int gaps = GapsInSound(recorder.samples());

    kelvo::UserPlayer player(settings, control, loop);
    WriteSine(folder / "ten.wav", 1, 44100, 16, 10);
    WriteSine(folder / "float.wav", 3, 192000, 32, 10);
    settings.PlaylistPath[0] = (folder / "ten.wav").string();
    settings.PlaylistPath[1] = (folder / "float.wav").string();
    settings.PlaylistSel = 0;
    const std::size_t quiet = recorder.framesBy(Clock::now());
    const auto play = Clock::now();
    player.playUserFile();
    loop.run(play + 1000ms);
    const double userHanded = Milliseconds(streamDevice.firstSoundTime() - play);
    const double userHeard = Milliseconds(recorder.firstSoundFrom(quiet) - play);
    settings.PlaylistSel = 1;
    player.playUserFile();
    loop.run(Clock::now() + 1000ms);
    const double floatCpuBefore = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - recorder.cpuSeconds();
    const auto floatWallBefore = Clock::now();
    loop.run(floatWallBefore + 10s);
    const double floatCpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - recorder.cpuSeconds() - floatCpuBefore;
    const double floatShare = floatCpu / std::chrono::duration<double>(Clock::now() - floatWallBefore).count();
    control.stop();
    loop.run(Clock::now() + 300ms);

    std::printf("device latency of the stream        %8.1f ms\n", latency);
    std::printf("sound callback at real-time priority %7s\n", realtime ? "yes" : "no");
    std::printf("render (startSignal returns)            %8.1f ms\n", render);
    std::printf("startSignal -> first sample to device   %8.1f ms  (render + 500 + %.1f)\n", handed, handed - render - 500);
    std::printf("startSignal -> first sample on monitor  %8.1f ms  (render + %.1f)\n", heard, heard - render);
    std::printf("processor time while streaming      %8.2f %% of one core over 10 s\n", 100 * cpuShare);
    std::printf("underruns in 60 s, other core busy  %8lld  (device)\n", static_cast<long long>(underruns));
    std::printf("gaps in the recorded sound          %8d\n", gaps);
    std::printf("user PLAY -> first sample to device %8.1f ms  (10 s, 16 bit, 44100 Hz)\n", userHanded);
    std::printf("user PLAY -> first sample on monitor%8.1f ms\n", userHeard);
    std::printf("processor time, 192 kHz float file  %8.2f %% of one core over 10 s\n", 100 * floatShare);
    std::filesystem::remove_all(folder);
    return 0;
}
