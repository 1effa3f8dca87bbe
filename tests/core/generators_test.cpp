#include "support/signal_checks.h"

#include <utility>

namespace kelvo::test {
namespace {

// Frame n is 16219.67 x (g2 cos(2 pi t 1.5 / 48) + cos(2 pi t / 48)), t = n + 1, g2 = 10^(-ToneAmp2 / 20).
TEST(TwoTone, HandComputedSamples)
{
    const std::string tones = "Waveform=9 SampleRate=48000 ToneFreq1=1000 ToneFreq2=1500 LevelL=0 LevelR=0 ";
    const std::string equal = tones + "ToneAmp2=0";
    const HandElement cases[] = {
        {equal, 2 * 47, 0},
        {equal, 2 * 95, 32439},                // t = 48: cos(3 pi) + cos(2 pi); t = 96: both at their peak
        {equal, 2 * 11 + 1, -11469},           // t = 12: cos(3 pi / 4) + cos(pi / 2)
        {equal, 480000, 30652},                // closing right at t = 240002: cos(22.5 deg) + cos(15 deg)
        {tones + "ToneAmp2=6", 2 * 95, 24349}, // 16219.67 x (0.501187 + 1)
        {tones + "ToneAmp2=3 ChanMode=4 LevelR=-2", 2 * 95 + 1, -22005}, // -0.794328 x 16219.67 x (0.707946 + 1)
        {tones + "ToneAmp2=200", 2 * 95, 16220},                         // the first tone alone
        // Only the second tone takes the right's 12 samples: 0.562341 x 16219.67 x (0.501187 cos(135 deg) + 1).
        {tones + "ToneAmp2=6 ChanMode=5 LevelR=-5", 2 * 95 + 1, 5889},
    };
    ExpectHandElements(cases);
}

// K tones of peak 32767 / (2K) x A, rounded after every tone: frame 1 of 400 and 1000 Hz is 932
// + 2302.79 = 3235 (3234 rounded once). At +20 dB in L-R every sum saturates; a left sum of
// -32768 sets both elements to -32767.
TEST(Multitone, EachToneTakesItsShareOfTheLevel)
{
    const char* two = "Waveform=10 MultiCount=2 MultiFreq[1]=400 MultiFreq[2]=1000 LevelL=0 LevelR=0";
    const char* loud = "Waveform=10 MultiCount=1 MultiFreq[1]=1000 SampleRate=48000 LevelL=20 LevelR=20 ChanMode=4";
    // t = 12: sin(pi / 2); t = 36: sin(3 pi / 2).
    const HandElement cases[] = {
        {two, 2 * 1, 3235},    {two, 2 * 1 + 1, 3235},     {two, 2 * 88189, -12525}, {two, 176400, 0},
        {loud, 2 * 11, 32767}, {loud, 2 * 11 + 1, -32768}, {loud, 2 * 35, -32767},   {loud, 2 * 35 + 1, -32767},
    };
    ExpectHandElements(cases);

    // 100 tones of 163.835 each: an RMS of 163.835 x sqrt(50); a count above 100 is 100; none is silent.
    Renderer hundred;
    for (std::size_t j = 1; j <= 100; ++j)
        hundred.settings.MultiFreq[j] = 50.0 * static_cast<double>(j);
    ASSERT_EQ(RenderWith(hundred, "Waveform=10 LevelL=0 LevelR=0 ChanMode=4 MultiCount=100"), "");
    const double level = 20 * std::log10(163.835 * std::sqrt(50.0) / 32767); // 99 tones would be 0.044 dB less
    for (int channel = 0; channel < 2; ++channel)
        EXPECT_NEAR(RmsDb(ChannelOf(hundred, channel, 0, 88200)), level, 0.01);
    const SampleBuffer all = hundred.samples();
    ASSERT_EQ(RenderWith(hundred, "MultiCount=3000"), "");
    EXPECT_EQ(hundred.samples(), all);
    for (const char* none : {"MultiCount=0", "MultiCount=-4"}) {
        ASSERT_EQ(RenderWith(hundred, none), "");
        EXPECT_TRUE(Silent(hundred)) << none;
    }
}

// At 48000 Hz, carrier 1000 Hz (FM 2000 Hz), modulation 200 Hz: at t = 48 the carrier c is 1 and
// the modulation m 0.309017; FM at t = 60 is cos(5 pi) = -1. AM: (A x 16383.5 + d x A^2 x 11692.33
// x m) x c; DSB: d^2 x A^2 x 26841.91 x m x c; FM: A x 16219.67 x c.
TEST(ModulatedRender, HandComputedSamples)
{
    const std::string am = "SampleRate=48000 Waveform=13 ";
    const std::string fm = "SampleRate=48000 Waveform=14 ";
    const std::string dsb = "SampleRate=48000 Waveform=15 ";
    const HandElement cases[] = {
        {am + "LevelL=0", 2 * 47, 19997},
        {am + "LevelL=-6", 2 * 47, 9119},              // A = 0.501187
        {am + "LevelL=0 AmModDepth=0", 2 * 47, 16384}, // 16383.5 to even
        {am + "LevelL=-6 AmModDepth=40", 2 * 47, 8574},
        {am + "LevelR=0", 480000, 27104}, // closing, t = 240002: 15 and 3 deg
        {fm + "LevelL=0 FmDeviation=3.5", 2 * 59, -16220},
        {fm, 2 * 59 + 1, -1622},
        {dsb + "LevelL=0", 2 * 47, 8295},
        {dsb + "LevelL=0 DsbModDepth=50", 2 * 47, 2074}, // a quarter: d^2
        {dsb + "LevelL=-6", 2 * 47, 2084},               // about a quarter: A^2
    };
    ExpectHandElements(cases);
}

// Quadrature shifts the whole right signal by 12 samples (FreqR 1000 Hz); in mode L the closing
// pair leaves the silent right channel silent.
TEST(ModulatedRender, QuadratureShiftsTheWholeRightSignalAndModeLStaysSilent)
{
    for (const char* waveform : {"Waveform=13 AmModDepth=60", "Waveform=14 FmDeviation=3.5", "Waveform=15"}) {
        Renderer r;
        ASSERT_EQ(RenderWith(r, std::string("SampleRate=48000 LevelL=-2 LevelR=-2 ChanMode=5 ") + waveform), "");
        for (FrameIndex n = 0; n + 12 < 240000; ++n)
            ASSERT_EQ(r.right(n), r.left(n + 12)) << waveform << " " << n;
        ASSERT_EQ(RenderWith(r, "ChanMode=1"), "");
        const auto right = ChannelOf(r, 1, 0, 240000);
        EXPECT_EQ(std::count(right.begin(), right.end(), 0), 240000) << waveform;
        EXPECT_EQ(r.samples().back(), 0) << waveform;
    }
}

// 20 ms on (960 frames), 480 ms off, 20 dB down, 1000 Hz at 48000 Hz; right -6 dB 12 samples
// ahead. Frame n is A x 32439.33 x cos(2 pi (n + 1 + offset) / 48); decayed, A = (e^((960 - n) /
// 960) - 1) / 1.718.
TEST(Burst, HandComputedSamples)
{
    const std::string burst = "Waveform=6 SampleRate=48000 ChanMode=6 PhaseR=90 LevelL=0 LevelR=-6";
    const std::string decay = burst + " BurstExpDecay=1";
    const HandElement cases[] = {
        {burst, 2 * 959, 32439},    // the last on frame, t = 960
        {burst, 2 * 960, 3216},     // the first off frame: 3243.93 x cos(2 pi / 48)
        {burst, 2 * 35 + 1, 16258}, // right at t = 36 + 12
        {burst, 48000, -4208},      // closing right at t = 24002 + 12: 16258.18 x cos(105 deg)
        {burst + " WaveBuildLength=10", 480000, -4208},
        {burst + " BurstLevelDiff=7.5", 2 * 960, 13563}, // 32439.33 x 10^(-7.5 / 20) x cos(2 pi / 48)
        {burst + " BurstLevelDiff=200", 2 * 960, 0},
        {decay, 0, 32167},
        {decay, 2 * 479, 12282},
        {decay, 2 * 959, 20},   // 1.000164, 0.378603, 0.000607
        {decay, 2 * 960, 3216}, // the off part is not decayed
        {decay, 48000, -3},     // the closing pair keeps the last decayed amplitude
    };
    ExpectHandElements(cases);
}

// On A, off B and rest R frames are floor(44100 x ms / 1000). On intervals are silent: A frames
// first, A + 1 after every switch back; a pulse is B high frames, the last of a group 1 + R.
// Only the left level counts.
TEST(Pulse, RunLengthsFollowTheIntervals)
{
    using Runs = std::vector<std::pair<Sample, FrameIndex>>;
    constexpr Sample H = 32439, h6 = 16258; // 0 dB, -6 dB
    const std::pair<const char*, Runs> cases[] = {
        // A = 441, R = 2205; 100 ms of frames.
        {"PulseCount=1 PulseOnTime=10 LevelL=0", {{0, 441}, {H, 2206}, {0, 442}, {H, 1321}}},
        // A = B = 4410, R = 2205; 1700 ms of frames.
        // clang-format off
        {"PulseCount=5 LevelL=-6 LevelR=0 ChanMode=2",
         {{0, 4410}, {h6, 4410}, {0, 4411}, {h6, 4410}, {0, 4411}, {h6, 4410}, {0, 4411}, {h6, 4410}, {0, 4411},
          {h6, 2206}, {0, 4411}, {h6, 4410}, {0, 4411}, {h6, 4410}, {0, 4411}, {h6, 4410}, {0, 4411}, {h6, 2196}}},
        // clang-format on
        // No count starts a rest interval in every frame (steady high); negative intervals write nothing.
        {"PulseCount=0 LevelL=0", {{H, 88200}}},
        {"PulseCount=3 PulseOnTime=-5 PulseOffTime=-5 PulseRestTime=-5", {{0, 88200}}},
    };
    for (const auto& [settings, expected] : cases) {
        Renderer r;
        ASSERT_EQ(RenderWith(r, std::string("Waveform=7 ") + settings), "");
        Runs runs;
        for (FrameIndex n = 0; n < r.upper() / 2; ++n) {
            if (runs.empty() || runs.back().first != r.left(n))
                runs.emplace_back(r.left(n), 0);
            ++runs.back().second;
            ASSERT_EQ(r.right(n), r.left(n)) << settings << " frame " << n;
        }
        EXPECT_EQ(runs, expected) << settings;
        EXPECT_EQ(r.samples().back(), 0) << settings;
    }
}

// A new process draws 0.81472, 0.13548, 0.90579, ... At 0 dB white is -16220 + 32439.33 r; mid and
// low noise start a twentieth (two-hundredth) of the way to the first target, low tapered by 1.999.
TEST(Noise, FirstFramesOfANewProcess)
{
    const std::string noise = "Waveform=5 LevelL=0 LevelR=0 NoiseType=";
    const HandElement cases[] = {
        {noise + "0", 0, 10209},  {noise + "0", 1, -11825}, {noise + "0", 2, 13163},
        {noise + "1", 0, -14899}, {noise + "1", 1, -16000}, {noise + "2", 0, -8048},
    };
    ExpectHandElements(cases);
}

// Every kind is centred on zero, each channel at its own level with its own draws.
TEST(Noise, LevelAndCentreOfEachKind)
{
    for (const int type : {0, 1, 2}) {
        SCOPED_TRACE(type);
        Renderer r;
        ASSERT_EQ(RenderWith(r, "Waveform=5 LevelL=0 LevelR=-6 NoiseType=" + std::to_string(type)), "");
        // The right channel spans 16258.18, centred by 8129.
        for (const auto& [channel, span] : {std::pair{0, 32439.0}, std::pair{1, 16258.0}}) {
            const auto x = ChannelOf(r, channel, 0, 88200);
            EXPECT_NEAR(std::accumulate(x.begin(), x.end(), 0.0) / 88200, 0, 0.05 * span);
            const auto [low, high] = std::minmax_element(x.begin(), x.end());
            EXPECT_GE(*low, -std::round(span / 2));
            EXPECT_LE(*high, std::round(span / 2));
            EXPECT_GT(*high - *low, 0.9 * span);
        }
        EXPECT_NEAR(RmsDb(ChannelOf(r, 0, 0, 88200)) - RmsDb(ChannelOf(r, 1, 0, 88200)), 6, type == 0 ? 0.1 : 1);
        EXPECT_NE(r.left(500), r.right(500));
        EXPECT_EQ(r.samples().back() != 0, type == 0) << "only white noise has a closing pair";
    }
    Renderer leftOnly; // the right channel is silent, its closing element too
    ASSERT_EQ(RenderWith(leftOnly, "Waveform=5 ChanMode=1"), "");
    const auto right = ChannelOf(leftOnly, 1, 0, 88200);
    EXPECT_EQ(std::count(right.begin(), right.end(), 0) + (leftOnly.samples().back() == 0), 88201);
}

// Mid and low noise: straight lines between targets every nearest(rate x 20 or 200 / 44100)
// frames; a rate leaving no frame between targets renders silence.
TEST(SmoothNoise, EachChannelBendsOnlyAtItsTargets)
{
    for (const auto& [settings, spacing] : {std::pair{"NoiseType=1", 20}, std::pair{"NoiseType=1 SampleRate=22050", 10},
                                            std::pair{"NoiseType=2", 200}, std::pair{"NoiseType=1 SampleRate=48000", 22}}) {
        Renderer r;
        ASSERT_EQ(RenderWith(r, std::string("Waveform=5 ChanMode=4 LevelL=-3 LevelR=-9 ") + settings), "");
        const std::int64_t frames = r.upper() / 2;
        for (int channel = 0; channel < 2; ++channel) {
            const auto x = ChannelOf(r, channel, 0, frames);
            std::int64_t bends = 0;
            for (std::int64_t j = 1001; j + 1001 < frames; ++j) {
                if (std::abs(x[j + 1] - 2 * x[j] + x[j - 1]) > 2) {
                    ++bends;
                    ASSERT_EQ((j + 1) % spacing, 0) << settings << " channel " << channel << " frame " << j;
                }
            }
            EXPECT_GT(bends, 0.9 * static_cast<double>(frames - 2002) / spacing);
            EXPECT_NE(x.back(), 0) << "the curve reaches the last frame";
        }
    }
    for (const char* tooLow : {"NoiseType=1 SampleRate=1000", "NoiseType=2 SampleRate=100"}) {
        Renderer r;
        ASSERT_EQ(RenderWith(r, std::string("Waveform=5 LevelL=0 ") + tooLow), "");
        EXPECT_TRUE(Silent(r)) << tooLow;
    }
}

// Defaults at 48000 Hz: 200 to 2000 Hz, 0 to -20 dB or 0 to 180 degrees, 10 steps of 0.5 s, at -20
// dB and 1000 Hz. Frequency sweeps are 3276.7 x sin(t x omega), the others A x 32439.33 x cos.
constexpr const char* kSweep = "Waveform=11 SampleRate=48000 ";
constexpr const char* kUserSteps = "SweepKind=3 UserStepCount=2 SweepSteps=2 UserStepFreq[1]=1000 "
                                   "UserStepPeriod[1]=0.5 UserStepFreq[2]=2000 UserStepPeriod[2]=0.5";

double FrequencyOf(const Renderer& r, FrameIndex begin, FrameIndex end, int channel = 0)
{
    return CrossingFrequency(ChannelOf(r, channel, begin, end), r.settings.SampleRate[0]);
}

TEST(SweepRender, HandComputedSamples)
{
    const std::string s = kSweep;
    const HandElement cases[] = {
        {s + "ChanMode=5", 1, 86}, // continuous: both channels at the left offset
        // Stepped: frame 25263 still at 200 Hz (sin(96 deg)), 25264 at 400 Hz (sin(195 deg)); with
        // 3 steps L is 28800 exactly: frame 28800 at 200 Hz (sin(1.5 deg)), 28801 at 1100 Hz.
        {s + "SweepKind=2", 2 * 25263, 3259},
        {s + "SweepKind=2 ChanMode=4", 2 * 25264 + 1, 848},
        {s + "SweepKind=2 SweepSteps=3", 2 * 28800, 86},
        {s + "SweepKind=2 SweepSteps=3", 2 * 28801, 931},
        // Octave warbles, frame 1 after one step from a x 200 Hz: (a, q) = (1.3, 0.165), (1.5, 0.25).
        {s + "SweepKind=4", 2 * 1, 111},
        {s + "SweepKind=5", 2 * 1 + 1, 129},
        // Level: frame 28800 of 3 steps at -10 dB (10258.2 x cos(7.5 deg)); closing L-R at -20 dB.
        // Phase at -4 dB right: the closing right at t = 240002 + 24, 20467.93 x cos(195 deg).
        {s + "SweepParam=1 SweepSteps=3", 2 * 28800, 10170},
        {s + "SweepParam=1 ChanMode=4", 480000, -3133},
        {s + "SweepParam=2 LevelR=-4", 480000, -19770},
        // Step 5 of 10 from frame 101053: 1000 Hz; -80 / 9 dB (11658.09); the right 80 degrees
        // on. The phase sweep's left keeps its own offset: PhaseL 45 is 6 samples.
        {s + "SweepKind=2", 2 * 101065, -848},
        {s + "SweepParam=1 LevelL=-40", 2 * 101063, -11658},
        {s + "SweepParam=2", 2 * 101063 + 1, -563},
        {s + "SweepParam=2 ChanMode=6 PhaseL=45", 0, 1975},
        // A single step stays at the start: 200 Hz, 0 dB, 0 degrees.
        {s + "SweepKind=2 SweepSteps=1", 1, 86},
        {s + "SweepParam=1 SweepSteps=1", 2 * 23999, 32439},
        {s + "SweepParam=2 SweepSteps=1", 2 * 23999 + 1, 3244},
        // User steps play frame n at time index n: sin(pi / 2) at 12; the last two elements are silent.
        {s + kUserSteps, 2 * 12, 3277},
        {s + kUserSteps, 95998, 0},
        {s + "SweepParam=2 Freq=0", 2 * 100000 + 1, 3244}, // at 0 Hz no phase offset: cos(0)
    };
    ExpectHandElements(cases);
    Renderer r;
    ASSERT_EQ(RenderWith(r, s + "ChanMode=5"), "");
    ASSERT_EQ(r.upper(), 192000);
    EXPECT_EQ(ChannelOf(r, 0, 0, 96000), ChannelOf(r, 1, 0, 96000));
    EXPECT_EQ(r.samples().back(), 0);
}

// The frequency from the zero crossings of both channels over frames [begin, end). FM of 1 Hz,
// deviation 500: 2000 +- 500 Hz, lowest a quarter second in, highest at three quarters. The
// continuous sweep's omega rises by 1800 Hz / N per frame: linearly over the N / 2 frames.
TEST(SweepRender, FrequencyOverTime)
{
    const std::string fm = "Waveform=14 SampleRate=48000 FmModFreq=1 FmDeviation=500";
    const std::string sweep = kSweep + std::string("ChanMode=5"), steps = kSweep + std::string(kUserSteps);
    const struct {
        std::string settings;
        FrameIndex begin, end;
        double hz, tolerance;
    } spans[] = {
        {fm, 11040, 12960, 1500, 3},  {fm, 23040, 24960, 2000, 3},      {fm, 35040, 36960, 2500, 3},
        {fm, 59040, 60960, 1500, 3},  {sweep, 0, 4800, 245, 2},         {sweep, 91200, 96000, 1955, 2},
        {steps, 0, 24000, 1000, 0.5}, {steps, 24000, 47999, 2000, 0.5},
    };
    for (const auto& s : spans) {
        Renderer r;
        ASSERT_EQ(RenderWith(r, s.settings), "");
        for (int channel = 0; channel < 2; ++channel)
            EXPECT_NEAR(FrequencyOf(r, s.begin, s.end, channel), s.hz, s.tolerance) << s.settings << " at " << s.begin;
    }
    // A slow octave warble over a long block runs on smoothly past the first 2^20 frames.
    Renderer slow;
    ASSERT_EQ(RenderWith(slow, "Waveform=11 SweepKind=4 SampleRate=192000 WaveBuildLength=10 SweepWarbleRate=0.01"), "");
    const FrameIndex edge = FrameIndex{1} << 20;
    EXPECT_NEAR(FrequencyOf(slow, edge, edge + 3840) / FrequencyOf(slow, edge - 3840, edge), 1, 0.01);
}

// The blocks the measurement signals size for themselves, in elements past the first.
TEST(MeasurementBlocks, HoldExactlyTheirLength)
{
    const std::pair<const char*, std::int64_t> cases[] = {
        {"Waveform=11 SweepKind=1 SweepSeconds=3", 2 * 3 * 48000},
        {"Waveform=11 SweepKind=6 SweepSeconds=3", 2 * 3 * 48000},
        {"Waveform=11 SweepKind=6 SweepSeconds=0", 4 * 48000}, // the rendered length, as before
        {"Waveform=11 SweepKind=7 SweepSteps=4 SweepStepTime=0.1", 2 * 4 * 4800},
        {"Waveform=6 BurstWindow=1 BurstCycles=6.5 Freq=1000 BurstOffTime=100", 2 * 48 * 213 / 2}, // 2 x 106.5 ms
    };
    for (const auto& [settings, upper] : cases) {
        Renderer r;
        ASSERT_EQ(RenderWith(r, std::string("SampleRate=48000 ") + settings), "");
        EXPECT_EQ(r.upper(), upper) << settings;
    }
}

TEST(UserSteps, PlayEachStepForItsDuration)
{
    Renderer r;
    ASSERT_EQ(RenderWith(r, std::string(kSweep) + kUserSteps), "");
    ASSERT_EQ(r.upper(), 95999);
    // Steps counted past the list's 100 are skipped.
    const SampleBuffer two = r.samples();
    for (std::size_t k = 3; k <= 100; ++k) {
        r.settings.UserStepFreq[k] = 3000;
        r.settings.UserStepPeriod[k] = 0.01;
    }
    ASSERT_EQ(RenderWith(r, "SweepSteps=150"), "");
    EXPECT_EQ(r.samples(), two);

    // Past the counted steps each empty step takes one frame until entry 100's 1500 Hz stays.
    ASSERT_EQ(RenderWith(r, "SweepSteps=2 UserStepCount=3 UserStepFreq[3]=500 UserStepPeriod[3]=0.25 "
                            "UserStepFreq[100]=1500"),
              "");
    ASSERT_EQ(r.upper(), 119999);
    EXPECT_NEAR(FrequencyOf(r, 24000, 48000), 2000, 0.5);
    EXPECT_NEAR(FrequencyOf(r, 48001, 48097), 3000, 5);
    EXPECT_NEAR(FrequencyOf(r, 48097, 60000), 1500, 0.5);
}

// The warble tone starts at 1.3 x 800 Hz (3276.7 x sin(2 pi 1040 / 48000) = 444.7) and swings
// between 0.835 and 1.165 times the set frequency, whatever WarbleKind says.
TEST(WarbleTone, SwingsAboutTheSetFrequencyWhateverTheWidthSetting)
{
    Renderer r;
    ASSERT_EQ(RenderWith(r, "Waveform=12 SampleRate=48000 Freq=800 WarbleKind=0"), "");
    ASSERT_EQ(r.upper(), 480000);
    EXPECT_EQ(r.left(0), 445);
    EXPECT_EQ(r.samples().back(), 0);
    std::vector<double> frequencies;
    for (FrameIndex begin = 4800; begin + 480 <= 240000; begin += 480)
        frequencies.push_back(FrequencyOf(r, begin, begin + 480));
    const auto [low, high] = std::minmax_element(frequencies.begin(), frequencies.end());
    EXPECT_NEAR(*low, 0.835 * 800, 5);
    EXPECT_NEAR(*high, 1.165 * 800, 5);
    const SampleBuffer narrow = r.samples();
    ASSERT_EQ(RenderWith(r, "WarbleKind=1"), "");
    EXPECT_EQ(r.samples(), narrow);
}

} // namespace
} // namespace kelvo::test
