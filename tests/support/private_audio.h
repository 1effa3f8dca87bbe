#pragma once

#include "support/test_support.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>

namespace kelvo::test {

// The sound servers that scripts/test-audio starts.
enum class AudioServer { PulseAudio, PipeWire };

// The name scripts/test-audio knows the server by.
inline std::string AudioServerName(AudioServer server)
{
    return server == AudioServer::PipeWire ? "pipewire" : "pulseaudio";
}

// A private sound server with a null sink (scripts/test-audio), stopped by its PIDs when the
// object goes. Either way the player reaches it through the PulseAudio protocol.
class PrivateAudio {
public:
    // `format` is the sink's and the recording's: s16le, or float32le for 24-bit and float.
    PrivateAudio(std::filesystem::path folder, int rate, AudioServer server = AudioServer::PulseAudio,
                 const std::string& format = "s16le")
        : m_folder(std::move(folder))
    {
        const ShellResult started = RunShell(kScript + "start " + ShellQuoted(m_folder) + " " + std::to_string(rate) + " " +
                                             AudioServerName(server) + " " + format + " 2>&1");
        if (started.status == 0)
            m_server = started.output.substr(0, started.output.find('\n'));
        else
            m_error = started.output;
    }
    ~PrivateAudio() { stop(); }
    PrivateAudio(const PrivateAudio&) = delete;
    PrivateAudio& operator=(const PrivateAudio&) = delete;

    // The PULSE_SERVER value, empty when the daemon did not start.
    const std::string& server() const { return m_server; }
    const std::string& error() const { return m_error; }

    // Records the sink's monitor into `file` (raw stereo in the sink's format) until stop().
    bool record(const std::filesystem::path& file)
    {
        return RunShell(kScript + "record " + ShellQuoted(m_folder) + " " + ShellQuoted(file)).status == 0;
    }
    void stop() { RunShell(kScript + "stop " + ShellQuoted(m_folder)); }

    // Whether the server's programs, pactl and parec are installed.
    static bool available(AudioServer server = AudioServer::PulseAudio)
    {
        const std::string programs = server == AudioServer::PipeWire
                                         ? "pipewire wireplumber pipewire-pulse dbus-daemon pactl parec"
                                         : "pulseaudio pactl parec";
        // One name at a time: `command -v a b` succeeds when only some are found.
        return RunShell("for p in " + programs + "; do command -v $p >/dev/null || exit 1; done").status == 0;
    }

private:
    inline static const std::string kScript = "'" KELVO_TEST_AUDIO "' ";
    std::filesystem::path m_folder;
    std::string m_server;
    std::string m_error;
};

// A shell script that starts the desktop program ($1) with its folder ($2) on the X display,
// gives the panel the focus with a click on its drag strip, prints the time, presses Enter,
// lets the signal play for `seconds`, presses Escape and ends the program.
inline std::string DesktopSession(int seconds)
{
    return R"(
"$1" --folder "$2" >"$2/kelvo.log" 2>&1 &
pid=$!
for i in $(seq 600); do
  window=$(xdotool search --onlyvisible --name '^KELVO' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no window within 60 s; the program said:"; cat "$2/kelvo.log"; kill $pid; exit 1; }
sleep 0.5; xdotool mousemove --window "$window" 300 12 click 1
sleep 0.3; date +%s.%N; xdotool key Return
sleep )" + std::to_string(seconds) +
           R"(; xdotool key Escape
sleep 0.8; kill $pid; wait $pid 2>/dev/null
exit 0
)";
}

// 16-bit little-endian samples from raw bytes.
inline std::vector<std::int16_t> Int16Samples(const std::string& bytes)
{
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// 32-bit float little-endian samples from raw bytes.
inline std::vector<float> FloatSamples(const std::string& bytes)
{
    std::vector<float> samples(bytes.size() / 4);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 4);
    return samples;
}

// How a recording holds a rendered block played in a loop.
struct LoopedRecording {
    std::optional<std::size_t> start; // frame where the block's first frames (the probe) appear
    std::size_t matched = 0;          // frames from there that equal the block looped
    std::size_t silentAfter = 0;      // frames of digital silence right after the match
    std::size_t frames = 0;           // frames recorded
};

// Samples may differ from the block by `tolerance` (a sound server's rounding of other depths).
// The block's start is looked for by its first `probe` frames: a signal of two values such as
// a square wave needs the whole block, as shorter runs of it recur elsewhere.
template <typename T>
LoopedRecording MatchLoop(const std::vector<T>& block, const std::vector<T>& recorded, double tolerance = 0,
                          std::size_t probe = 2000)
{
    const auto near = [tolerance](T a, T b) { return std::abs(static_cast<double>(a) - static_cast<double>(b)) <= tolerance; };
    LoopedRecording result;
    result.frames = recorded.size() / 2;
    if (block.size() < 2 * probe)
        return result;
    std::size_t start = 0;
    while (start + probe <= result.frames &&
           !std::equal(block.begin(), block.begin() + 2 * probe, recorded.begin() + static_cast<std::ptrdiff_t>(2 * start), near))
        ++start;
    if (start + probe > result.frames)
        return result;
    result.start = start;
    // Sample by sample, so that a frame counts only when both of its channels match; the
    // block loops by whole frames.
    const std::size_t period = block.size() - block.size() % 2;
    std::size_t at = 2 * start;
    while (at < recorded.size() && near(recorded[at], block[(at - 2 * start) % period]))
        ++at;
    result.matched = at / 2 - start;
    for (at = 2 * (start + result.matched); at < recorded.size() && recorded[at] == 0;)
        ++at;
    result.silentAfter = at / 2 - (start + result.matched);
    return result;
}

// What is wrong with a recording that should hold the block looped for `minMatched` frames
// or more, then only silence (`minSilent` frames or more); empty when nothing is.
inline std::string LoopFault(const LoopedRecording& loop, std::size_t minMatched, std::size_t minSilent)
{
    if (loop.start && loop.matched >= minMatched && loop.silentAfter >= minSilent &&
        *loop.start + loop.matched + loop.silentAfter == loop.frames)
        return {};
    return "the recording of " + std::to_string(loop.frames) + " frames holds " + std::to_string(loop.matched) +
           " looped frames of the block from frame " + (loop.start ? std::to_string(*loop.start) : "nowhere") + ", then " +
           std::to_string(loop.silentAfter) + " silent ones";
}

// A busy machine may starve the sound server for a moment, which shows as a gap; a fault
// of the player shows every time. So a failed `attempt` (its text) is given two more tries.
inline void ExpectInThreeTries(const std::function<std::string()>& attempt)
{
    std::string failures;
    for (int n = 1; n <= 3; ++n) {
        const std::string failure = attempt();
        if (failure.empty())
            return;
        failures += "attempt " + std::to_string(n) + ": " + failure + "\n";
        if (failure.starts_with("the private PulseAudio"))
            break;
    }
    ADD_FAILURE() << failures;
}

} // namespace kelvo::test
