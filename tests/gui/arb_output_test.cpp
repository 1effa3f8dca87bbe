#include "arb_rig.h"

#include <QImage>

namespace kelvo::test {
namespace {

// One period drawn by hand: 50 rows above the centre line over columns 0..199, 50 rows
// below it over 200..399. At 0 dB a row is 0.99 x 32767 / 150: 50 rows give 10813.11.
void DrawStep(ArbRig& r)
{
    r.click("cmdClear");
    r.click("cmdFreehand");
    r.stroke(100, 0, 199);
    r.stroke(200, 200, 399);
}

constexpr std::int16_t kStep = 10813;

TEST(ArbEditorOutput, PlayRendersTheDrawnPeriodAtTheEditorsRateLevelAndChannels)
{
    const struct {
        const char* option;
        int left; // the sign of each channel, 0 for silent
        int right;
    } cases[] = {{"optCH(0)", 1, 0}, {"optCH(1)", 0, 1}, {"optCH(2)", 1, 1}, {"optCH(3)", 1, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option);
        ArbRig r;
        DrawStep(r);
        r.type("txtFreq", "120"); // 400 x 120 / 48000: one table step per frame
        r.type("txtSR", "48000");
        r.type("txtLevel", "0");
        r.click(c.option);
        r.click("Command1");
        EXPECT_EQ(r.settings().ArbBuild, 0);
        EXPECT_EQ(Caption(r.rig.main(), "lblSR"), "48000");
        EXPECT_EQ(r.rig.oscillator.view().signal.source, SignalSource::ArbTable);

        const auto [rate, samples] = ReadSamples(r.folder / "test.wav");
        EXPECT_EQ(rate, 48000);
        ASSERT_GE(samples.size(), 2u * 48000);
        int wrong = 0;
        for (std::size_t n = 0; 2 * n + 1 < samples.size(); ++n) {
            // The table position runs 0, 1, ..., 400, then 1, 2, ...: 400 steps a period.
            const std::size_t k = n == 0 ? 0 : (n - 1) % 400 + 1;
            const int sample = k < 200 ? kStep : -kStep; // above the line: positive
            wrong += samples[2 * n] != c.left * sample || samples[2 * n + 1] != c.right * sample;
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(ArbEditorOutput, SaveWavfileStopsTheSignalAndCopiesTheRender)
{
    ArbRig r;
    DrawStep(r);
    r.type("txtSR", "22050");
    r.rig.oscillator.PlaySig();
    ASSERT_EQ(r.settings().Playing, 1);
    r.dialogs.answers = {r.folder / "saved.wav", std::nullopt, r.folder / "no-folder" / "lost.wav"};
    r.click("cmdSaveWAV");
    EXPECT_EQ(r.settings().Playing, 0);
    EXPECT_EQ(r.rig.oscillator.view().signal, SignalState{});
    EXPECT_FALSE(r.rig.streamDevice.isOpen());
    EXPECT_EQ(ReadFile(r.folder / "saved.wav"), ReadFile(r.folder / "test.wav"));
    EXPECT_EQ(ReadSamples(r.folder / "saved.wav").first, 22050);
    EXPECT_EQ(Caption(r.arb(), "lblStat"), r.path("saved.wav"));
    EXPECT_EQ(r.dialogs.filters.front(), "Wave Files|*.wav;");
    r.click("cmdSaveWAV"); // cancelled
    EXPECT_TRUE(r.rig.messages.shown.empty());
    r.click("cmdSaveWAV");
    ASSERT_EQ(r.rig.messages.shown.size(), 1u);
    EXPECT_NE(r.rig.messages.shown[0].find("lost.wav"), std::string::npos);
    EXPECT_EQ(Caption(r.arb(), "lblStat"), r.path("saved.wav")) << "only a success names its file";
}

TEST(ArbEditorOutput, BitmapsHoldExactlyWhatIsShownAndFourierFilesLoad)
{
    ArbRig r;
    QImage white(20, 10, QImage::Format_RGB32);
    white.fill(Qt::white);
    ASSERT_TRUE(white.save(r.path("small.bmp")));
    WriteFile(r.folder / "bad.bmp", "not a picture");
    WriteFile(r.folder / "short.for", "0.1\r\n");

    r.click("cmdPreloadSine");
    for (const char* name : {"sine.bmp", "sine.bmp", "small.bmp", "bad.bmp", "no/lost.bmp", "short.for"})
        r.dialogs.answers.push_back(r.folder / name);
    r.click("cmdSaveBMP");
    const std::string bytes = ReadFile(r.folder / "sine.bmp");
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(bytes.size(), 54u + 400u * 3 * 300) << "24 bits, 400 x 300";
    EXPECT_EQ(Caption(r.arb(), "lblStat"), r.path("sine.bmp"));
    r.click("cmdClear");
    r.click("cmdLoadBMP");
    r.click("cmdSmooth");
    EXPECT_EQ(r.settings().ArbTable[100], 70);
    EXPECT_EQ(r.settings().ArbTable[300], -70);

    // A small picture is drawn at the top left over black; PLAY reads what is shown.
    r.click("cmdLoadBMP");
    r.click("Command1");
    EXPECT_EQ(r.settings().ArbTable[0], -150);
    EXPECT_EQ(r.view().picture().pixelColor(100, 100), QColor(0, 0, 0));

    const QImage before = r.view().picture();
    r.click("cmdLoadBMP");
    r.click("cmdSaveBMP");
    ASSERT_EQ(r.rig.messages.shown.size(), 2u);
    EXPECT_NE(r.rig.messages.shown[0].find("bad.bmp"), std::string::npos);
    EXPECT_NE(r.rig.messages.shown[1].find("lost.bmp"), std::string::npos);
    EXPECT_EQ(r.view().picture(), before);
    EXPECT_EQ(Caption(r.arb(), "lblStat"), r.path("small.bmp")) << "only a success names its file";

    r.click("cmdLoadFourier");
    EXPECT_EQ(Child<QLineEdit>(r.arb(), "txtFourier(1)").text(), "0.1");
    EXPECT_EQ(r.dialogs.filters.back(), "Fourier Sequence File|*.for;");
}

} // namespace
} // namespace kelvo::test
