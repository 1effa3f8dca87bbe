// Changes while the signal plays, with seamless changes on, recorded from a private
// PulseAudio: each is heard within 100 ms of its key, without a silent moment and without
// a step larger than the two signals' own, and the new signal then loops exactly.
#include "core/settings/signal_codes.h"
#include "support/monitor_recorder.h"
#include "support/playing_oscillator.h"
#include "support/private_audio.h"
#include "support/test_support.h"

#include <cstdlib>
#include <thread>

namespace kelvo::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kRate = 48000;
constexpr std::size_t kMs = kRate / 1000;

// The largest step between neighbouring samples of one channel of a block played in a loop.
int OwnStep(const std::vector<std::int16_t>& block)
{
    int step = 0;
    for (std::size_t i = 0; i < block.size(); ++i)
        step = std::max(step, std::abs(block[(i + 2) % block.size()] - block[i]));
    return step;
}

// How many frames of `recorded` from frame `from` on, up to `length`, play `block` looped,
// starting anywhere in it.
std::size_t LoopedFrames(const std::vector<std::int16_t>& block, const std::vector<std::int16_t>& recorded, std::size_t from,
                         std::size_t length)
{
    const std::size_t frames = block.size() / 2;
    std::size_t best = 0;
    for (std::size_t offset = 0; offset < frames; ++offset) {
        std::size_t n = 0;
        while (2 * (from + n) + 1 < recorded.size() && n < length &&
               recorded[2 * (from + n)] == block[2 * ((offset + n) % frames)] &&
               recorded[2 * (from + n) + 1] == block[2 * ((offset + n) % frames) + 1])
            ++n;
        best = std::max(best, n);
    }
    return best;
}

std::vector<std::int16_t> RenderedBlock(const std::filesystem::path& folder)
{
    return Int16Samples(ReadFile(folder / "test.wav").substr(44));
}

struct Change {
    const char* name;
    std::function<void(Oscillator&)> press;
};

struct Heard {
    Clock::time_point pressed;
    std::vector<std::int16_t> before;
    std::vector<std::int16_t> after;
};

// On PulseAudio: PipeWire runs its whole graph at the 10 ms the recorder asks for here, and
// its recording then has gaps now and then whether anything changed or not. The load test
// records PipeWire at its own pace, for gaps.
TEST(SeamlessChangeEndToEnd, EachChangeIsHeardAtOnceWithoutAGapOrAStep)
{
    if (!PrivateAudio::available())
        GTEST_SKIP() << "pulseaudio and parec are needed (scripts/bootstrap installs them)";
    TempFolder folder;
    PrivateAudio audio(folder / "audio", kRate);
    ASSERT_FALSE(audio.server().empty()) << audio.error();
    ::setenv("PULSE_SERVER", audio.server().c_str(), 1);
    MonitorRecorder recorder(kRate);
    // The null sink renders far ahead until a client asks for a low latency.
    std::this_thread::sleep_for(3s);

    PlayingOscillator playing(folder / "kelvo", kRate);
    Oscillator& osc = playing.osc;
    SignalSettings& s = osc.settings();
    s.Freq[0] = s.FreqR[0] = 1500;
    s.LevelL[0] = s.LevelR[0] = -10;
    s.MemIndex = 2;
    osc.memories().storeMemory();
    s.Freq[0] = s.FreqR[0] = 1000;
    s.LevelL[0] = s.LevelR[0] = -20;
    osc.panel().switchOn();
    playing.run(2500ms);

    const Change changes[] = {
        {"frequency key", [](Oscillator& o) { o.panel().frequencyUp(); }},
        {"level key", [](Oscillator& o) { o.panel().levelUp(); }},
        {"waveform", [](Oscillator& o) { o.panel().selectWaveform(static_cast<std::int32_t>(WaveformCode::Square)); }},
        {"typed level", [](Oscillator& o) { o.panel().takeLeftLevel("-30"); }},
        {"waveform back", [](Oscillator& o) { o.panel().selectWaveform(static_cast<std::int32_t>(WaveformCode::Sine)); }},
        {"memory recall", [](Oscillator& o) { o.memories().recallMemory(2); }},
    };
    std::vector<Heard> heard;
    for (const Change& change : changes) {
        Heard h{Clock::now(), RenderedBlock(osc.folder()), {}};
        change.press(osc);
        playing.run(1200ms);
        h.after = RenderedBlock(osc.folder());
        heard.push_back(std::move(h));
    }
    osc.stopSignal();
    playing.run(300ms);
    const std::vector<std::int16_t> recorded = recorder.samples();
    recorder.stop();
    EXPECT_EQ(playing.messages.shown, std::vector<std::string>{});
    EXPECT_EQ(playing.device.underruns(), 0);

    for (std::size_t i = 0; i < heard.size(); ++i) {
        SCOPED_TRACE(changes[i].name);
        const Heard& h = heard[i];
        ASSERT_NE(h.before, h.after) << "the change rendered the same block";
        // The old block loops up to the switch.
        const std::size_t pressed = recorder.framesBy(h.pressed);
        ASSERT_GT(pressed, 900 * kMs);
        ASSERT_LT(2 * (pressed + 1150 * kMs), recorded.size());
        const std::size_t from = pressed - 900 * kMs;
        const std::vector<std::int16_t> window(recorded.begin() + static_cast<std::ptrdiff_t>(2 * from),
                                               recorded.begin() + static_cast<std::ptrdiff_t>(2 * (pressed + 500 * kMs)));
        const LoopedRecording old = MatchLoop(h.before, window);
        ASSERT_TRUE(old.start.has_value());
        const std::size_t switched = from + *old.start + old.matched;
        const Clock::time_point arrived = recorder.arrivalOf(switched);
        ASSERT_NE(arrived, Clock::time_point{});
        const auto latency = std::chrono::duration<double, std::milli>(arrived - h.pressed).count();
        EXPECT_LT(latency, 100) << "ms from the key to the new signal";

        // No silence and no step beyond the signals' own around the switch.
        const int limit = std::max(OwnStep(h.before), OwnStep(h.after)) * 105 / 100;
        std::size_t silent = 0;
        std::size_t longestSilence = 0;
        int largestStep = 0;
        for (std::size_t f = switched - 100 * kMs; f < switched + 100 * kMs; ++f) {
            silent = recorded[2 * f] == 0 && recorded[2 * f + 1] == 0 ? silent + 1 : 0;
            longestSilence = std::max(longestSilence, silent);
            for (std::size_t c = 0; c < 2; ++c)
                largestStep = std::max(largestStep, std::abs(recorded[2 * f + 2 + c] - recorded[2 * f + c]));
        }
        EXPECT_LE(longestSilence, kMs) << "frames of silence";
        EXPECT_LE(largestStep, limit);

        // After the crossfade, the new block loops exactly, from wherever in it the join fell,
        // until the next change.
        const std::size_t faded = switched + 10 * kMs;
        EXPECT_EQ(LoopedFrames(h.after, recorded, faded, 1000 * kMs), 1000 * kMs);
    }
}

} // namespace
} // namespace kelvo::test
