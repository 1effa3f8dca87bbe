#include "core/synth/sine_rotor.h"
#include "core/synth/whole_cycles.h"
#include "support/signal_checks.h"

#include <limits>
#include <tuple>

namespace kelvo::test {
namespace {

// 1000 Hz; at 48000 Hz frame n is sin(2 pi (n + 1 + offset) / 48), a quarter period being 12
// samples. 0.99 x 32767 = 32439.33; -20 dB gives 3243.93, -6 dB 16258.18.
TEST(SineRender, HandComputedSamples)
{
    const HandElement cases[] = {
        {"SampleRate=48000 LevelL=0 LevelR=0", 0, 4234}, // 32439.33 x sin(2 pi / 48)
        {"SampleRate=44100", 1, 461},                    // 3243.93 x sin(2 pi / 44.1) = 460.62
        {"SampleRate=48000 LevelR=-6 ChanMode=4", 2 * 11 + 1, -16258},
        {"SampleRate=48000 ChanMode=1", 2 * 11 + 1, 0},
        {"SampleRate=48000 ChanMode=2", 2 * 11, 0},
        {"SampleRate=48000 ChanMode=5 PhaseR=33", 2 * 23 + 1, -3244},            // right at t = 36
        {"SampleRate=48000 ChanMode=6 PhaseL=120 PhaseR=30 LevelR=-6", 0, 2574}, // t = 1 + 16: sin(127.5 deg)
        {"SampleRate=48000 ChanMode=6 PhaseL=120 PhaseR=30 LevelR=-6", 1, 9897}, // 16258.18 x sin(37.5 deg)
        // A channel's phase is a share of its own frequency's period: Freq for the left
        // (12 samples here), FreqR for the right (24 samples at 500 Hz).
        {"SampleRate=48000 ChanMode=6 PhaseL=90 FreqR=500", 0, 3216}, // t = 13: sin(97.5 deg)
        {"SampleRate=48000 ChanMode=6 PhaseR=90 FreqR=500", 1, -423}, // t = 25: sin(187.5 deg)
        {"SampleRate=48000", 2 * 47995, -1622},                       // t = 47996, a second on: sin(330 deg)
        {"SampleRate=48000 LevelL=6", 2 * 11, 32767},                 // 64724.97 saturates
        {"SampleRate=48000 LevelL=6", 2 * 35, -32768},                // t = 36: sin(3 pi / 2)
        {"", 176400, 0},                                              // the trailing element
    };
    ExpectHandElements(cases);
}

// N = nearest(rate x length x 4), N + 1 elements; code 16 has no generator and stays silent.
TEST(WaveEngine, BlockLengthsAndBadSettingsThatRenderOrAreRefusedButNeverCrash)
{
    for (const auto& [settings, elements, silent] :
         {std::tuple{"", 176401, false}, std::tuple{"SampleRate=48000", 192001, false}, std::tuple{"WaveBuildLength=0", 1, true},
          std::tuple{"Waveform=16", 176401, true}}) {
        Renderer r;
        ASSERT_EQ(RenderWith(r, settings), "");
        EXPECT_EQ(r.samples().size(), static_cast<std::size_t>(elements)) << settings;
        EXPECT_EQ(std::count(r.samples().begin(), r.samples().end(), 0) == elements, silent) << settings;
    }
    // Bad settings render or are refused, but never crash.
    Renderer r;
    EXPECT_EQ(RenderWith(r, "SampleRate=0"), "");
    EXPECT_EQ(r.samples().size(), 1u);
    for (const char* refused : {"SampleRate=-1", "SampleRate=2147483647", "SampleRate=44100 WaveBuildLength=-1"})
        EXPECT_NE(RenderWith(r, refused), "") << refused;
    r.settings.WaveBuildLength = std::nan("");
    EXPECT_NE(r.render(), "");
    // An infinite quarter-period offset leaves the frames silent.
    EXPECT_EQ(RenderWith(r, "WaveBuildLength=1 Freq=0 ChanMode=5"), "");
    EXPECT_EQ(r.left(100), 0);
    EXPECT_EQ(r.right(100), 0);
    // An infinite amplitude saturates; a channel mode outside the table keeps the gains.
    EXPECT_EQ(RenderWith(r, "Freq=1000 LevelL=1e308 ChanMode=4"), "");
    EXPECT_EQ(RenderWith(r, "ChanMode=9"), "");
    EXPECT_EQ(r.left(0), 32767);
    EXPECT_EQ(r.right(0), -461);
}

// The table k % 300 - 150 at 100 Hz and 48000 Hz: the position moves 400 x 100 / 48000 = 0.8333
// per frame and rounds; 0.99 x 32767 x v / 150. The editor's test checks channels and stepping.
TEST(WaveEngine, ArbitraryTablePositionsRoundAndStayOnTheTable)
{
    Renderer r;
    for (int i = 0; i < kArbTableSize; ++i)
        r.settings.ArbTable[i] = i % 300 - 150;
    ASSERT_EQ(RenderWith(r, "ArbBuild=1 ArbSampleRate=48000 ArbLevel=0"), "");
    // Frame 3 sits at position 2.5, which rounds to 2 (value -148).
    for (const auto& [frame, left] : {std::pair{0, 32439}, std::pair{1, 32223}, std::pair{3, 32007}})
        EXPECT_EQ(r.left(frame), left) << frame;
    EXPECT_NEAR(CrossingFrequency(ChannelOf(r, 0, 0, 96000), 48000), 100, 0.5);
    EXPECT_EQ(RenderWith(r, "ArbFreq=1e12"), ""); // the position runs off the table
}

// 1000 Hz at 44100 Hz: the square is high while cos(2 pi t / 44.1) > 0, t = n + 1 + offset,
// so it falls between t = 11 and 12. 0.99 x 32767 = 32439.33; -6 dB 16258.18, -20 dB 3243.93.
// The closing pair after the loop fills only elements no frame wrote.
TEST(Square, HandComputedElements)
{
    const HandElement cases[] = {
        {"Waveform=2 LevelL=0", 2 * 10, 32439},                          // t = 11: the first frames are high
        {"Waveform=2 LevelL=0", 2 * 11, -32439},                         // t = 12
        {"Waveform=2 ChanMode=6 PhaseR=45 LevelR=-6", 2 * 4 + 1, 16258}, // 5.5125 samples ahead
        {"Waveform=2 ChanMode=6 PhaseR=45 LevelR=-6", 2 * 5 + 1, -16258},
        {"Waveform=2", 176400, 3244},         // closing right at t = 88202: cos(16.3 deg)
        {"Waveform=2 ChanMode=1", 176399, 0}, // the last frame keeps its silent right
        {"Waveform=2 ChanMode=1", 176400, 0},
        // N = 7: the loop ends after frame 2, the closing pair (t = 5) fills elements 6 and 7.
        {"Waveform=2 ChanMode=4 LevelR=0 WaveBuildLength=3.968253968253968e-05", 6, 3244},
        {"Waveform=2 ChanMode=4 LevelR=0 WaveBuildLength=3.968253968253968e-05", 7, -32439},
    };
    ExpectHandElements(cases);
    Renderer r;
    ASSERT_EQ(RenderWith(r, "Waveform=2 LevelL=0"), "");
    const auto left = ChannelOf(r, 0, 0, 88200);
    EXPECT_NEAR(CrossingFrequency(left, 44100), 1000, 0.1);
    EXPECT_EQ(std::count_if(left.begin(), left.end(), [](double v) { return std::abs(v) == 32439; }), 88200);
}

// The ramps at 1000 Hz and 44100 Hz step by 3.8 (triangle) or 1.99 (sawtooth) x 32767 / 44.1
// per sample: 2823.47 and 1478.59. A half cycle counts 22 or 23 samples, so the triangle
// turns at 11 steps (31058) or saturates at 12 (33882), and the sawtooth peaks at 22 steps
// (32528.6) with silent turn frames, two per cycle. Both run at the left phase.
TEST(RampGenerators, StepPeakFrequencyAndOneRampForBothChannels)
{
    // The waveform, its slope, its lowest and its highest sample.
    const std::tuple<int, double, int, int> cases[] = {{3, 2823.47, -31058, 32767}, {4, 1478.59, -32529, 32529}};
    for (const auto& [waveform, slope, low, high] : cases) {
        SCOPED_TRACE(waveform);
        Renderer r;
        ASSERT_EQ(RenderWith(r, "LevelL=0 LevelR=0 ChanMode=5 Waveform=" + std::to_string(waveform)), "");
        const auto x = ChannelOf(r, 0, 0, 88200);
        EXPECT_EQ(x, ChannelOf(r, 1, 0, 88200));
        EXPECT_EQ(*std::min_element(x.begin(), x.end()), low);
        EXPECT_EQ(*std::max_element(x.begin(), x.end()), high);
        EXPECT_EQ(std::count(x.begin(), x.end(), 0) == 4000, waveform == 4);
        EXPECT_NEAR(CrossingFrequency(x, 44100), 1000, 0.5);
        EXPECT_EQ(r.samples().back(), 0);
        // Steps of one slope, none larger but the sawtooth's drops, the loop included.
        int slopeSteps = 0;
        for (std::size_t n = 0; n < x.size(); ++n) {
            const double next = x[(n + 1) % x.size()];
            slopeSteps += std::abs(std::abs(next - x[n]) - slope) < 1;
            if (waveform == 3 || (x[n] != 0 && next != 0)) {
                ASSERT_LE(std::abs(next - x[n]), 1.11 * slope) << n;
            }
        }
        EXPECT_GT(slopeSteps, 0.85 * 88200);

        // A second render, from the ramp state the first one left, gives the same block.
        const SampleBuffer first = r.samples();
        ASSERT_EQ(r.render(), "");
        EXPECT_EQ(r.samples(), first);
        // L-R at unequal levels: the right channel is the left one scaled and negated.
        ASSERT_EQ(RenderWith(r, "ChanMode=4 LevelL=-3 LevelR=-9"), "");
        for (FrameIndex n = 0; n < 88200; ++n)
            ASSERT_NEAR(r.right(n), -0.501187 * r.left(n), 1) << n;
    }
}

TEST(Dirac, OneFullScaleImpulseInEveryChannelMode)
{
    for (int mode = 1; mode <= 6; ++mode) {
        Renderer r;
        ASSERT_EQ(RenderWith(r, "Waveform=8 PhaseL=120 ChanMode=" + std::to_string(mode)), "");
        EXPECT_EQ(r.left(0), 32439) << mode;
        EXPECT_EQ(r.right(0), 32439) << mode;
        EXPECT_EQ(std::count(r.samples().begin(), r.samples().end(), 0), 176401 - 2) << mode;
    }
    // A one-frame block keeps its impulse: the closing zeros fall on written elements.
    Renderer r;
    ASSERT_EQ(RenderWith(r, "Waveform=8 WaveBuildLength=5.668934240362812e-06"), "");
    EXPECT_EQ(r.samples(), (SampleBuffer{32439, 32439}));
}

// The rotor behind fast sines: it follows the exact sine within its stated error, and a
// sample is rounded from it only where the exact product could not round otherwise.
TEST(SineRotor, FollowsTheExactSineWithinItsError)
{
    for (const double omega : {2 * 3.141592653589793 * 997.3 / 44100, 3.141592653589793, 1e-6}) {
        const double offset = 12.25;
        const FrameIndex start = 38'000'000;
        SineRotor rotor(offset, omega);
        rotor.restart(start);
        const double bound = SineRotorError(static_cast<double>(start + SineRotor::kRestartEvery), offset, omega);
        for (FrameIndex n = start; n < start + SineRotor::kRestartEvery; ++n) {
            EXPECT_LE(std::abs(rotor.value() - std::sin((static_cast<double>(n + 1) + offset) * omega)), bound) << n;
            rotor.step();
        }
    }
}

TEST(SineRotor, RoundsFromTheApproximationOnlyWhereItIsSafe)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double approx;
        double exact;
        Sample stored;
        bool exactTaken;
    } cases[] = {
        {10.4, 10.6, 10, false},         // clear of a half: the approximation decides
        {-10.6, -10.4, -11, false},      //
        {10.499, 10.501, 11, true},      // within the margin of a half: the exact value decides
        {32766.2, 32767.9, 32767, true}, // near the end of the range: the exact one saturates
        {nan, 5.0, 5, true},
        {3.0, nan, 3, false},
    };
    for (const auto& c : cases) {
        Sample element = 0;
        bool taken = false;
        StoreNear(element, c.approx, 0.01, [&] {
            taken = true;
            return c.exact;
        });
        EXPECT_EQ(element, c.stored) << c.approx;
        EXPECT_EQ(taken, c.exactTaken) << c.approx;
    }
}

// Loops of a whole number of cycles: the loop point is no larger a step than the signal's
// own steps, and the block stays within 90 % of its set length.
TEST(WholeCycles, TheLoopPointStepsNoMoreThanTheSignalItself)
{
    const struct {
        const char* settings;
        double loopStepLimit; // the loop point's step over the largest step inside the loop
    } cases[] = {
        {"Waveform=1 Freq=997.3 SampleRate=44100 WholeCycles=1", 1.05},
        {"Waveform=1 Freq=997.3 SampleRate=48000 WholeCycles=1", 1.05},
        {"Waveform=9 ToneFreq1=997.3 ToneFreq2=61.7 SampleRate=48000 WholeCycles=1", 1.05},
        {"Waveform=13 AmCarrierFreq=997.3 AmModFreq=41.3 SampleRate=48000 WholeCycles=1", 1.05},
        // Without the option the loop of 2 s cuts the 997.3 Hz sine 0.3 of a cycle early.
        {"Waveform=1 Freq=997.3 SampleRate=44100 WholeCycles=0", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        Renderer r;
        ASSERT_EQ(SetUnchecked(r.settings, c.settings), "");
        ASSERT_EQ(r.render(), "");
        const FrameIndex frames = (r.upper() + 1) / 2;
        const FrameIndex set = r.settings.Waveform[0] == 1 ? 2 * r.settings.SampleRate[0] : 5 * r.settings.SampleRate[0];
        EXPECT_LE(frames, set);
        EXPECT_GE(frames, 0.9 * static_cast<double>(set));
        double largest = 0;
        for (FrameIndex n = 0; n + 1 < frames; ++n)
            largest = std::max<double>(largest, std::abs(r.left(n + 1) - r.left(n)));
        const double loopStep = std::abs(r.left(0) - r.left(frames - 1));
        if (c.loopStepLimit > 0)
            EXPECT_LE(loopStep, c.loopStepLimit * largest);
        else
            EXPECT_GT(loopStep, 4 * largest);
    }
}

// Frequencies that fit the grid exactly loop at the set length; a tone of 1 cycle in
// 3 frames at most 3 frames shorter.
TEST(WholeCycles, LengthsComputedByHand)
{
    const struct {
        std::int64_t frames;
        double rate;
        std::vector<double> tones;
        std::int64_t loop;
    } cases[] = {
        {88200, 44100, {1000}, 88200},
        {88200, 44100, {44100.0 / 3}, 88200},
        {88201, 44100, {44100.0 / 3}, 88200},
        {100, 1000, {}, 100},
        {100, 1000, {-5}, 100},
        {100, 1000, {250, 100}, 100},
        {100, 1000, {30}, 100},
        {101, 1000, {30}, 100},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WholeCycleFrames(c.frames, c.rate, c.tones), c.loop) << c.frames << " at " << c.rate;
}

} // namespace
} // namespace kelvo::test
