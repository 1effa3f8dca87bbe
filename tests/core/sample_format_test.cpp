// The sample formats of the rendered file: what it holds, at what level and how cleanly.
#include "core/oscillator/signal_files.h"
#include "support/signal_checks.h"
#include "support/spectrum.h"

namespace kelvo::test {
namespace {

// A 997 Hz sine at -1 dB, 48 kHz, written in each format: sox names the format and
// libsndfile reads it without a complaint, the peak
// is the set level (x 0.99) within one 16-bit step, and THD+N over 20 Hz - 20 kHz of one
// second (1 Hz bins, the tone in bins 994 - 1000) stays under each format's figure.
TEST(SampleFormats, EachDepthWritesItsFormatAtTheSameLevelAndItsPurity)
{
    const struct {
        int bits;
        const char* soxEncoding;
        double thdPlusNoise; // dB, at most
    } formats[] = {
        {16, "16-bit Signed Integer PCM", -96},
        {24, "24-bit Signed Integer PCM", -130},
        {32, "32-bit Floating Point PCM", -140},
    };
    for (const auto& f : formats) {
        SCOPED_TRACE(f.bits);
        TempFolder folder;
        Renderer r;
        ASSERT_EQ(SetUnchecked(r.settings, "Waveform=1 Freq=997 FreqR=997 LevelL=-1 LevelR=-1 SampleRate=48000 Bits=" +
                                               std::to_string(f.bits)),
                  "");
        SignalFiles files(r.engine);
        RecordingMessages messages;
        ASSERT_TRUE(files.renderToFile(r.settings, folder.path(), messages));
        const std::filesystem::path wav = folder / "test.wav";
        EXPECT_NE(RunShell("soxi " + ShellQuoted(wav)).output.find(f.soxEncoding), std::string::npos);
        EXPECT_EQ(RunShell("soxi " + ShellQuoted(wav) + " 2>&1 >/dev/null").output, "") << "no warning";
        const std::string libsndfile = RunShell("sndfile-info " + ShellQuoted(wav) + " 2>&1").output;
        EXPECT_NE(libsndfile.find("Frames      : 96000"), std::string::npos) << libsndfile;
        EXPECT_EQ(libsndfile.find("****"), std::string::npos) << libsndfile;

        const std::vector<double> x = DecodedChannel(wav, 0);
        ASSERT_GE(x.size(), 48000u);
        double peak = 0;
        for (const double v : x)
            peak = std::max(peak, std::abs(v));
        EXPECT_NEAR(peak, 0.99 * std::pow(10, -1 / 20.0) * 32767 / 32768, 1 / 32768.0);

        const std::vector<double> power = PowerSpectrum(x, 48000);
        const double tone = BandPower(power, 994, 1000);
        const double rest = BandPower(power, 20, 993) + BandPower(power, 1001, 20000);
        EXPECT_LT(10 * std::log10(rest / tone), f.thdPlusNoise);
    }
}

// A 997 Hz sine at -90 dB in 16 bits: without dither its rounding error is a set of
// harmonics (and the tone reads 0.7 dB high); with dither it is noise, no harmonic stands
// 10 dB above the median floor, and the tone keeps its level within 0.2 dB.
TEST(SampleFormats, DitherTurnsTheRoundingErrorOfAQuietSineIntoNoise)
{
    for (const int dither : {0, 1}) {
        SCOPED_TRACE(dither);
        TempFolder folder;
        Renderer r;
        ASSERT_EQ(SetUnchecked(r.settings, "Waveform=1 Freq=997 FreqR=997 LevelL=-90 LevelR=-90 SampleRate=48000 Dither=" +
                                               std::to_string(dither)),
                  "");
        SignalFiles files(r.engine);
        RecordingMessages messages;
        ASSERT_TRUE(files.renderToFile(r.settings, folder.path(), messages));
        const std::vector<double> x = DecodedChannel(folder / "test.wav", 0);
        ASSERT_GE(x.size(), 48000u);
        const std::vector<double> power = PowerSpectrum(x, 48000);

        std::vector<double> floor(power.begin() + 20, power.begin() + 20001);
        std::nth_element(floor.begin(), floor.begin() + static_cast<std::ptrdiff_t>(floor.size() / 2), floor.end());
        const double median = floor[floor.size() / 2];
        double worstHarmonic = 0;
        for (std::size_t h = 2; h <= 7; ++h)
            for (std::size_t k = h * 997 - 3; k <= h * 997 + 3; ++k)
                worstHarmonic = std::max(worstHarmonic, power[k]);
        const double aboveFloor = 10 * std::log10(worstHarmonic / median);
        if (dither == 0) {
            EXPECT_GT(aboveFloor, 20) << "the harmonics the dither removes";
            continue;
        }
        EXPECT_LT(aboveFloor, 10);

        const double amplitude = ToneAmplitude(BandPower(power, 994, 1000), 48000);
        EXPECT_NEAR(20 * std::log10(amplitude / (0.99 * 32767 / 32768)), -90, 0.2);
    }
}

} // namespace
} // namespace kelvo::test
