#include "support/test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace kelvo::test {
namespace {

// A code from a damaged file that would leave the render silent is refused with a message
// and nothing is written; a known code that is silent by design (User) still renders.
TEST(SilentRender, UnknownCodesAreRefusedInsteadOfWritingSilence)
{
    const struct {
        const char* what;
        std::function<void(SignalSettings&)> set;
        const char* message; // empty: rendered
    } cases[] = {
        {"waveform 99", [](auto& s) { s.Waveform[0] = 99; },
         "Waveform code 99 is unknown (the program knows 1 to 16): there is no signal to render."},
        {"waveform 0", [](auto& s) { s.Waveform[0] = 0; }, "Waveform code 0 is unknown"},
        {"channel mode 99", [](auto& s) { s.ChanMode[0] = 99; }, "Channel mode 99 is unknown (the program knows 1 to 6)"},
        {"noise type 3", [](auto& s) { s.Waveform[0] = 5; s.NoiseType = 3; }, "Noise type 3 is unknown"},
        {"sweep parameter 3", [](auto& s) { s.Waveform[0] = 11; s.SweepParam = 3; }, "Sweep parameter 3 is unknown"},
        {"sweep kind 6", [](auto& s) { s.Waveform[0] = 11; s.SweepKind = 6; }, "Sweep kind 6 is unknown"},
        {"sample rate 0", [](auto& s) { s.SampleRate[0] = 0; }, "A sample rate of 0 Hz cannot be rendered."},
        {"arbitrary channel 7", [](auto& s) { s.ArbBuild = 1; s.ArbChanMode = 7; },
         "Channel choice of the arbitrary waveform 7 is unknown"},
        {"noise type 3 of a sine", [](auto& s) { s.NoiseType = 3; }, ""},
        {"user waveform", [](auto& s) { s.Waveform[0] = 16; }, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        Renderer r;
        RecordingMessages messages;
        c.set(r.settings);
        const bool written = r.engine.BuildWave(r.settings, folder.path(), messages);
        EXPECT_EQ(written, *c.message == '\0');
        EXPECT_EQ(std::filesystem::exists(folder / "test.wav"), written);
        if (!written) {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].rfind(c.message, 0), 0u) << messages.shown[0];
        }
    }

}

} // namespace
} // namespace kelvo::test
