// The waveform editor played into the private PulseAudio null sink: named set 1 (a square
// wave from twelve odd harmonics) at 441 Hz, its spectrum taken from the recording.
#include "core/playback/portaudio_device.h"
#include "gui/gui_rig.h"
#include "support/private_audio.h"
#include "support/spectrum.h"

#include <QLineEdit>

#include <cmath>

namespace kelvo::test {
namespace {

constexpr int kRate = 44100;
constexpr std::size_t kFundamentalBin = 441; // 441 Hz over one second: 441 whole periods

// Plays set 1 for two seconds from the editor; returns the left channel of the recording.
std::vector<double> RecordSetOne(const TempFolder& folder, RecordingMessages& messages)
{
    PrivateAudio audio(folder / "audio", kRate);
    const auto recording = folder / "recording.raw";
    if (audio.server().empty() || !audio.record(recording)) {
        ADD_FAILURE() << "the private PulseAudio did not record:\n" << audio.error();
        return {};
    }
    ::setenv("PULSE_SERVER", audio.server().c_str(), 1);
    {
        gui::QtEventLoop loop;
        PortAudioBackend stream = PortAudioDevice::create(loop);
        PortAudioBackend legacy = PortAudioDevice::create(loop);
        if (!stream.device || !legacy.device) {
            ADD_FAILURE() << stream.error;
            return {};
        }
        Oscillator oscillator(folder.path(), *stream.device, *legacy.device, loop, messages);
        gui::Desktop desktop(oscillator);
        desktop.start();
        desktop.show(gui::WindowId::ArbEditor);
        QWidget& arb = desktop.window(gui::WindowId::ArbEditor);
        Child<QLineEdit>(arb, "txtFreq").setText("441");
        Click(arb, "cmdPreLoadFourierSeq(1)");
        Click(arb, "Command1");
        QTest::qWait(2500);
        Click(arb, "Command2");
        QTest::qWait(300);
    }
    ::unsetenv("PULSE_SERVER");
    audio.stop();
    const std::vector<std::int16_t> samples = Int16Samples(ReadFile(recording));
    std::vector<double> left;
    for (std::size_t i = 0; i < samples.size(); i += 2)
        left.push_back(samples[i]);
    return left;
}

TEST(ArbEditorSound, SetOneSoundsWithItsFundamentalAndOddHarmonics)
{
    if (!PrivateAudio::available())
        GTEST_SKIP() << "pulseaudio and parec are needed";
    TempFolder folder;
    RecordingMessages messages;
    std::vector<double> left = RecordSetOne(folder, messages);
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front();
    const auto first = std::find_if(left.begin(), left.end(), [](double v) { return v != 0; });
    ASSERT_NE(first, left.end()) << "nothing was recorded";
    // One second inside the first pass through the two-second render: no loop point in it.
    const std::size_t start = static_cast<std::size_t>(first - left.begin()) + kRate / 10;
    ASSERT_GE(left.size(), start + kRate) << "the recording is too short";
    std::vector<double> spectrum = LinePowers({left.begin() + static_cast<std::ptrdiff_t>(start),
                                               left.begin() + static_cast<std::ptrdiff_t>(start + kRate)}); // bin k at k Hz
    for (double& bin : spectrum)
        bin = std::sqrt(bin);
    // Odd harmonics as the set's amplitudes say (0.4244 / 1.2732 = 1/3, ...); the even ones
    // and everything between the harmonics far below.
    const double fundamental = spectrum[kFundamentalBin];
    EXPECT_EQ(std::max_element(spectrum.begin(), spectrum.end()) - spectrum.begin(), 441);
    const std::pair<int, double> harmonics[] = {
        {2, 0}, {3, 0.4244 / 1.2732}, {4, 0}, {5, 0.2546 / 1.2732}, {7, 0.1819 / 1.2732}, {9, 0.1415 / 1.2732}};
    for (const auto& [n, ratio] : harmonics)
        EXPECT_NEAR(spectrum[kFundamentalBin * static_cast<std::size_t>(n)] / fundamental, ratio, 0.02) << "H" << n;
    double between = 0;
    for (std::size_t k = 1; k < kFundamentalBin * 10; ++k)
        between = k % kFundamentalBin != 0 ? std::max(between, spectrum[k]) : between;
    EXPECT_LT(between / fundamental, 0.01) << "the period is not exact";
}

} // namespace
} // namespace kelvo::test
