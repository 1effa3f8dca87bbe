#include "core/wavefile/wave_file.h"
#include "gui/arb/arb_viewport.h"
#include "gui/arb/arb_window.h"
#include "gui/arb/picture_file.h"
#include "gui_rig.h"

#include <QAccessible>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>

#include <functional>

namespace kelvo::test {
namespace {

// The editor opened in the program's windows over a fresh folder.
struct ArbRig {
    ArbRig()
        : rig(folder.path(), &dialogs)
    {
        rig.desktop.show(gui::WindowId::ArbEditor);
    }

    gui::ArbWindow& arb() { return static_cast<gui::ArbWindow&>(rig.desktop.window(gui::WindowId::ArbEditor)); }
    gui::ArbViewport& view() { return arb().viewport(); }
    SignalSettings& settings() { return rig.settings(); }
    ArbRig& click(const QString& name)
    {
        Click(arb(), name);
        return *this;
    }
    ArbRig& type(const QString& box, const QString& text)
    {
        Child<QLineEdit>(arb(), box).setText(text);
        return *this;
    }
    QString path(const char* name) const { return QString::fromStdString((folder / name).string()); }

    // A drag with the left button through `points` in viewport pixels, as the mouse sends it.
    ArbRig& drag(const std::vector<QPoint>& points)
    {
        QWidget& target = view();
        auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(at) + QPointF(0.5, 0.5), target.mapToGlobal(QPointF(at)), button, held,
                              Qt::NoModifier);
            QApplication::sendEvent(&target, &event);
        };
        send(QEvent::MouseButtonPress, points.front(), Qt::LeftButton, Qt::LeftButton);
        for (const QPoint& at : points)
            send(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, points.back(), Qt::LeftButton, Qt::NoButton);
        return *this;
    }

    // A freehand stroke pixel by pixel along a row.
    ArbRig& stroke(int row, int from, int to)
    {
        std::vector<QPoint> points;
        for (int x = from; x <= to; ++x)
            points.emplace_back(x, row);
        return drag(points);
    }

    TempFolder folder;
    QueuedDialogs dialogs;
    GuiRig rig;
};

// The sample rate and the 16-bit samples (left, right, left, ...) of a wave file.
inline std::pair<std::int32_t, std::vector<std::int16_t>> ReadSamples(const std::filesystem::path& path)
{
    const OpenedWave wave = OpenWave(path);
    std::vector<std::int16_t> data(static_cast<std::size_t>(wave.dataSize) / 2);
    if (wave.isOpen())
        ReadAt(wave.fd(), wave.layout.dataOffset, std::as_writable_bytes(std::span(data)));
    return {wave.format.sampleRate, data};
}

using Points = std::vector<std::pair<int, std::int32_t>>;

int WhiteInRow(const QImage& picture, int row)
{
    int count = 0;
    for (int x = 0; x < picture.width(); ++x)
        count += picture.pixelColor(x, row) == QColor(255, 255, 255);
    return count;
}

void Expect(ArbRig& r, const Points& expected)
{
    for (const auto& [index, value] : expected)
        EXPECT_EQ(r.settings().ArbTable[static_cast<std::size_t>(index)], value) << "index " << index;
}

// Drawn with the mouse, then SHOW SMOOTHED: the table values by hand (value = row - 150).
TEST(ArbEditor, WhatTheMouseDrawsIsWhatTheTableHolds)
{
    const struct {
        const char* name;
        std::function<void(ArbRig&)> draw;
        Points expected;
    } cases[] = {
        {"freehand stroke at row 100",
         [](ArbRig& r) { r.click("cmdFreehand").stroke(100, 50, 349); },
         {{0, 0}, {49, 0}, {50, -50}, {349, -50}, {400, -50}}},
        {"vertical line at column 200, V keeps the column",
         [](ArbRig& r) {
             r.click("cmdDraw").click("Option1(0)").drag({{200, 20}, {260, 150}, {230, 280}});
         },
         {{199, 0}, {200, -130}, {400, -130}}},
        {"H keeps the row the button went down on",
         [](ArbRig& r) {
             r.click("cmdDraw").click("Option1(1)").drag({{100, 60}, {150, 250}, {300, 200}});
         },
         {{99, 0}, {100, -90}, {300, -90}, {301, -90}}},
        {"the rubber band leaves only the last line",
         [](ArbRig& r) {
             r.click("cmdDraw").drag({{0, 280}, {399, 20}, {399, 250}});
         },
         {{0, 130}, {399, 100}}},
        {"a thick stroke above the line, smoothed twice: the topmost pixel, still negative",
         [](ArbRig& r) { r.click("cmdFreehand").stroke(40, 0, 199).stroke(45, 0, 199).click("cmdSmooth"); },
         {{100, -110}, {300, -110}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ArbRig r;
        c.draw(r.click("cmdClear"));
        r.click("cmdSmooth");
        Expect(r, c.expected);
        EXPECT_EQ(Child<QListWidget>(r.arb(), "List1").count(), 400);
    }
    // The eraser's band is 11 pixels wide at LG. CLEAR VIEWPORT empties the table.
    ArbRig r;
    r.click("cmdFreehand").stroke(60, 100, 300).click("cmdErase").drag({{150, 40}, {150, 80}});
    EXPECT_EQ(WhiteInRow(r.view().picture(), 60), 201 - 11) << "LG";
    r.click("cmdClear");
    EXPECT_EQ(r.settings().ArbTable, ArbValues{});
    // Reopening sets the start values again, draws the stored table over the picture and
    // leaves no drawing mode on: a stray drag draws nothing.
    r.type("txtFreq", "250").click("cmdFreehand").arb().close();
    r.settings().ArbTable.fill(-20);
    r.rig.desktop.show(gui::WindowId::ArbEditor);
    EXPECT_EQ(r.settings().ArbFreq, 100);
    EXPECT_EQ(WhiteInRow(r.view().picture(), 130), 400);
    r.stroke(60, 100, 300);
    EXPECT_EQ(WhiteInRow(r.view().picture(), 60), 0);
}

// The preset keys draw through their boxes; a named set fills the boxes and names itself.
// The boxes are named by their labels.
TEST(ArbEditor, PresetsAndSetsDrawAndReadBack)
{
    ArbRig r;
    r.type("txtPercent", "100").type("txtCycles", "2").click("cmdPreloadSq");
    Expect(r, {{50, 140}, {150, -140}, {250, 140}, {350, -140}});
    EXPECT_EQ(Child<QListWidget>(r.arb(), "List1").count(), 401);
    EXPECT_EQ(Caption(r.arb(), "lblStat"), "");
    r.type("txtFourier(3)", "0.5");
    EXPECT_EQ(r.settings().FourierAmp[3], 0.5);
    r.type("txtCycles", "1").type("txtPercent", "50").click("cmdPreLoadFourierSeq(1)");
    EXPECT_EQ(Caption(r.arb(), "lblStat"), "1 - Square Wave");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&Child(r.arb(), "lblStat"))->text(QAccessible::Name),
              "Status: 1 - Square Wave");
    EXPECT_EQ(Child<QLineEdit>(r.arb(), "txtFourier(1)").text(), "1.2732");
    EXPECT_NEAR(r.settings().ArbTable[100], 70, 6); // the plateaus lie near 70 rows from the line
    EXPECT_NEAR(r.settings().ArbTable[300], -70, 6);
    EXPECT_EQ(r.settings().ArbTable[0], 0);
    EXPECT_EQ(Child<QLineEdit>(r.arb(), "txtFourier(24)").accessibleName(), "Fr x 24");
    EXPECT_EQ(Child<QLineEdit>(r.arb(), "txtFreq").accessibleName(), "Frequency (Hz, full width)");
    EXPECT_EQ(r.arb().accessibleName(), "ARBITRARY WAVE CONSTRUCTION SET");
}

// One period drawn by hand: 50 rows above the centre line over columns 0..199, 50 rows
// below it over 200..399. At 0 dB a row is 0.99 x 32767 / 150: 50 rows give 10813.11.
void DrawStep(ArbRig& r)
{
    r.click("cmdClear").click("cmdFreehand").stroke(100, 0, 199).stroke(200, 200, 399);
}

constexpr std::int16_t kStep = 10813;

TEST(ArbEditorOutput, PlayRendersTheDrawnPeriodAtTheEditorsRateLevelAndChannels)
{
    // The channel option and the sign of each channel, 0 for silent.
    const std::tuple<const char*, int, int> cases[] = {
        {"optCH(0)", 1, 0}, {"optCH(1)", 0, 1}, {"optCH(2)", 1, 1}, {"optCH(3)", 1, -1}};
    for (const auto& [option, left, right] : cases) {
        SCOPED_TRACE(option);
        ArbRig r;
        DrawStep(r);
        // 400 x 120 / 48000: one table step per frame.
        r.type("txtFreq", "120").type("txtSR", "48000").type("txtLevel", "0").click(option).click("Command1");
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
            wrong += samples[2 * n] != left * sample || samples[2 * n + 1] != right * sample;
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(ArbEditorOutput, SaveWavfileStopsTheSignalAndCopiesTheRender)
{
    ArbRig r;
    DrawStep(r);
    r.type("txtSR", "22050");
    r.rig.oscillator.startSignal();
    ASSERT_EQ(r.settings().Playing, 1);
    r.dialogs.answers = {r.folder / "saved.wav", std::nullopt, r.folder / "no-folder" / "lost.wav"};
    r.click("cmdSaveWAV");
    EXPECT_EQ(r.rig.oscillator.view().signal, SignalState{});
    EXPECT_FALSE(r.rig.streamDevice.isOpen());
    EXPECT_EQ(ReadFile(r.folder / "saved.wav"), ReadFile(r.folder / "test.wav"));
    EXPECT_EQ(ReadSamples(r.folder / "saved.wav").first, 22050);
    EXPECT_EQ(Caption(r.arb(), "lblStat"), r.path("saved.wav"));
    EXPECT_EQ(r.dialogs.filters.front(), "Wave Files|*.wav;");
    r.click("cmdSaveWAV"); // cancelled
    r.click("cmdSaveWAV");
    ASSERT_EQ(r.rig.messages.shown.size(), 1u);
    EXPECT_NE(r.rig.messages.shown[0].find("lost.wav"), std::string::npos);
    EXPECT_EQ(Caption(r.arb(), "lblStat"), r.path("saved.wav")) << "only a success names its file";
}

TEST(ArbEditorOutput, BitmapsHoldExactlyWhatIsShownAndFourierFilesLoad)
{
    ArbRig r;
    WriteFile(r.folder / "bad.bmp", "not a picture");
    WriteFile(r.folder / "short.for", "0.1\r\n");
    ASSERT_EQ(::mkfifo((r.folder / "pipe.bmp").c_str(), 0644), 0);
    r.click("cmdPreloadSine");
    for (const char* name : {"sine.bmp", "sine.bmp", "bad.bmp", "pipe.bmp", "no/lost.bmp", "short.for"})
        r.dialogs.answers.push_back(r.folder / name);
    r.click("cmdSaveBMP");
    const std::string bytes = ReadFile(r.folder / "sine.bmp");
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(bytes.size(), 54u + 400u * 3 * 300) << "24 bits, 400 x 300";
    EXPECT_EQ(Caption(r.arb(), "lblStat"), r.path("sine.bmp"));
    r.click("cmdClear").click("cmdLoadBMP").click("cmdSmooth");
    EXPECT_EQ(r.settings().ArbTable[100], 70);
    EXPECT_EQ(r.settings().ArbTable[300], -70);
    const QImage before = r.view().picture();
    r.click("cmdLoadBMP").click("cmdLoadBMP").click("cmdSaveBMP"); // a FIFO is refused, not waited on
    ASSERT_EQ(r.rig.messages.shown.size(), 3u);
    EXPECT_NE(r.rig.messages.shown[0].find("bad.bmp"), std::string::npos);
    EXPECT_NE(r.rig.messages.shown[1].find("pipe.bmp\" is not a regular file"), std::string::npos);
    EXPECT_NE(r.rig.messages.shown[2].find("lost.bmp"), std::string::npos);
    EXPECT_EQ(r.view().picture(), before);
    EXPECT_EQ(Caption(r.arb(), "lblStat"), r.path("sine.bmp")) << "only a success names its file";

    r.click("cmdLoadFourier");
    EXPECT_EQ(Child<QLineEdit>(r.arb(), "txtFourier(1)").text(), "0.1");
    EXPECT_EQ(r.dialogs.filters.back(), "Fourier Sequence File|*.for;");
}

// A picture too large to hold is refused from its header, before any pixel is decoded; only
// bitmaps are read, as other decoders can take seconds and a gigabyte over damaged bytes.
TEST(PictureFile, RefusesHugeAndNonBitmapPictures)
{
    TempFolder folder;
    const auto le32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    WriteFile(folder / "huge.bmp", "BM" + le32(54) + le32(0) + le32(54) + le32(40) + le32(10000) + le32(10000) +
                                       std::string("\x01\x00\x18\x00", 4) + std::string(24, '\0'));
    ASSERT_TRUE(QImage(4, 4, QImage::Format_RGB32).save(QString::fromStdString((folder / "small.png").string()), "PNG"));
    const std::pair<const char*, const char*> cases[] = {
        {"huge.bmp", "cannot be loaded as a picture: "},
        {"small.png", "cannot be loaded as a picture: "},
    };
    for (const auto& [name, problem] : cases) {
        const gui::LoadedPicture picture = gui::LoadPicture(folder / name);
        EXPECT_TRUE(picture.image.isNull()) << name;
        EXPECT_NE(picture.problem.find(problem), std::string::npos) << name << ": " << picture.problem;
    }
}

} // namespace
} // namespace kelvo::test
