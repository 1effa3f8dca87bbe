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
        int left;  // the sign of the left channel, 0 for silent
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
        EXPECT_EQ(r.settings().ArbTable[0], -50);
        EXPECT_EQ(r.settings().ArbTable[400], 50);

        const WaveFrames frames = ReadFrames(r.folder / "test.wav");
        EXPECT_EQ(frames.rate, 48000);
        ASSERT_GE(frames.left.size(), 48000u);
        int wrong = 0;
        for (std::size_t n = 0; n < frames.left.size(); ++n) {
            // The table position runs 0, 1, ..., 400, then 1, 2, ...: 400 steps a period.
            const std::size_t k = n == 0 ? 0 : (n - 1) % 400 + 1;
            const int sample = k < 200 ? kStep : -kStep; // above the line: positive
            wrong += frames.left[n] != c.left * sample || frames.right[n] != c.right * sample;
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
    r.dialogs.answers = {r.path("saved.wav"), std::nullopt, r.path("no-folder/lost.wav")};
    r.click("cmdSaveWAV");
    EXPECT_EQ(r.settings().Playing, 0);
    EXPECT_EQ(r.rig.oscillator.view().signal, SignalState{});
    EXPECT_FALSE(r.rig.streamDevice.isOpen());
    EXPECT_EQ(ReadFile(r.folder / "saved.wav"), ReadFile(r.folder / "test.wav"));
    EXPECT_EQ(ReadFrames(r.folder / "saved.wav").rate, 22050);
    EXPECT_EQ(Caption(r.arb(), "lblStat"), r.path("saved.wav"));
    EXPECT_EQ(r.dialogs.filters.front(), "Wave Files|*.wav;");

    r.click("cmdSaveWAV"); // cancelled
    EXPECT_TRUE(r.rig.messages.shown.empty());
    r.click("cmdSaveWAV");
    ASSERT_EQ(r.rig.messages.shown.size(), 1u);
    EXPECT_NE(r.rig.messages.shown[0].find("lost.wav"), std::string::npos);
    EXPECT_EQ(Caption(r.arb(), "lblStat"), r.path("saved.wav")) << "only a success names its file";
}

TEST(ArbEditorOutput, BitmapsHoldExactlyWhatIsShown)
{
    ArbRig r;
    QImage white(400, 300, QImage::Format_RGB32);
    white.fill(Qt::white);
    ASSERT_TRUE(white.save(r.path("white.png")));
    QImage small(20, 10, QImage::Format_RGB32);
    small.fill(Qt::white);
    ASSERT_TRUE(small.save(r.path("small.bmp")));
    WriteFile(r.folder / "bad.bmp", "not a picture");

    r.click("cmdPreloadSine");
    r.dialogs.answers = {r.path("sine.bmp"), r.path("sine.bmp"), r.path("white.png"), r.path("small.bmp"),
                         r.path("bad.bmp"), r.path("no-folder/lost.bmp")};
    r.click("cmdSaveBMP");
    const std::string bytes = ReadFile(r.folder / "sine.bmp");
    ASSERT_GT(bytes.size(), 30u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(bytes[28], 24) << "24 bits per pixel";
    EXPECT_EQ(bytes.size(), 54u + 400u * 3 * 300) << "400 x 300, rows of 1200 bytes";
    EXPECT_EQ(Caption(r.arb(), "lblStat"), r.path("sine.bmp"));

    r.click("cmdClear");
    r.click("cmdLoadBMP");
    EXPECT_EQ(r.view().picture(), QImage(r.path("sine.bmp")).convertToFormat(QImage::Format_RGB32));
    r.click("cmdSmooth");
    EXPECT_EQ(r.settings().ArbTable[100], 70);
    EXPECT_EQ(r.settings().ArbTable[300], -70);

    const struct {
        const char* name;
        std::int32_t column0;
        std::int32_t column399;
    } loads[] = {{"all white", -150, -150}, {"small: the rest repeats its last column", -150, -150}};
    for (const auto& load : loads) {
        SCOPED_TRACE(load.name);
        r.click("cmdLoadBMP");
        r.click("Command1");
        EXPECT_EQ(r.settings().ArbTable[0], load.column0);
        EXPECT_EQ(r.settings().ArbTable[399], load.column399);
    }
    EXPECT_EQ(r.view().picture().pixelColor(100, 100), QColor(0, 0, 0)) << "black where the small picture ends";

    const QImage before = r.view().picture();
    r.click("cmdLoadBMP");
    r.click("cmdSaveBMP");
    ASSERT_EQ(r.rig.messages.shown.size(), 2u);
    EXPECT_NE(r.rig.messages.shown[0].find("bad.bmp"), std::string::npos);
    EXPECT_NE(r.rig.messages.shown[1].find("lost.bmp"), std::string::npos);
    EXPECT_EQ(r.view().picture(), before);
    EXPECT_EQ(Caption(r.arb(), "lblStat"), r.path("small.bmp"));
}

TEST(ArbEditorOutput, FourierFilesAndTheArbitraryDataFile)
{
    ArbRig r;
    r.click("cmdPreLoadFourierSeq(7)");
    r.dialogs.answers = {r.path("set7.for"), r.path("set7.for")};
    r.click("cmdSaveFourier");
    EXPECT_EQ(ReadFile(r.folder / "set7.for").substr(0, 18), "1\r\n0\r\n0.1\r\n0\r\n0.03");
    r.click("cmdClrFourier");
    EXPECT_EQ(Child<QLineEdit>(r.arb(), "txtFourier(3)").text(), "0");
    r.click("cmdLoadFourier");
    EXPECT_EQ(Child<QLineEdit>(r.arb(), "txtFourier(3)").text(), "0.1");
    EXPECT_EQ(r.settings().FourierAmp[5], 0.03);
    EXPECT_EQ(r.dialogs.filters.front(), "Fourier Sequence File|*.for;");

    r.click("cmdFreehand");
    r.stroke(100, 0, 399);
    r.click("cmdClear");
    r.rig.oscillator.SaveSettings();
    std::string zeros;
    for (int i = 0; i < kArbTableSize; ++i)
        zeros += "0\r\n";
    EXPECT_EQ(ReadFile(r.folder / "arbdata.dat").substr(0, zeros.size() + 3), zeros + "1\r\n");
}

} // namespace
} // namespace kelvo::test
