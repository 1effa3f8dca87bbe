#include "arb_rig.h"

#include "gui/ui/lamp.h"

#include <QLabel>

#include <functional>
#include <utility>

namespace kelvo::test {
namespace {

using Points = std::vector<std::pair<int, std::int32_t>>;

int WhiteInRow(const QImage& picture, int row)
{
    int count = 0;
    for (int x = 0; x < picture.width(); ++x)
        count += picture.pixelColor(x, row) == QColor(255, 255, 255);
    return count;
}

TEST(ArbEditor, WhatTheMouseDrawsIsWhatTheTableHolds)
{
    const struct {
        const char* name;
        std::function<void(ArbRig&)> draw;
        Points expected; // table index, value after SHOW SMOOTHED
    } cases[] = {
        {"freehand stroke at row 100",
         [](ArbRig& r) { r.click("cmdFreehand"); r.stroke(100, 50, 349); },
         {{0, 0}, {49, 0}, {50, -50}, {349, -50}, {350, -50}, {400, -50}}},
        {"vertical line at column 200, V keeps the column",
         [](ArbRig& r) { r.click("cmdDraw"); r.click("Option1(0)"); r.drag({{200, 20}, {260, 150}, {230, 280}}); },
         {{199, 0}, {200, -130}, {201, -130}, {400, -130}}},
        {"H keeps the row the button went down on",
         [](ArbRig& r) { r.click("cmdDraw"); r.click("Option1(1)"); r.drag({{100, 60}, {150, 250}, {300, 200}}); },
         {{99, 0}, {100, -90}, {300, -90}, {301, -90}}},
        {"the rubber band leaves only the last line",
         [](ArbRig& r) { r.click("cmdDraw"); r.drag({{0, 280}, {399, 20}, {399, 250}}); },
         {{0, 130}, {399, 100}}},
        {"no mode draws nothing", [](ArbRig& r) { r.stroke(100, 0, 399); }, {{0, 0}, {200, 0}, {400, 0}}},
        {"LG eraser: the erased columns repeat the one to their left",
         [](ArbRig& r) {
             r.click("cmdFreehand");
             r.stroke(60, 100, 147);
             r.stroke(70, 148, 300);
             r.click("cmdErase");
             r.drag({{150, 40}, {150, 80}});
         },
         {{144, -90}, {145, -90}, {150, -90}, {155, -90}, {156, -80}, {301, -80}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ArbRig r;
        r.click("cmdClear");
        c.draw(r);
        r.click("cmdSmooth");
        for (const auto& [index, value] : c.expected)
            EXPECT_EQ(r.settings().ArbTable[static_cast<std::size_t>(index)], value) << "index " << index;
        EXPECT_EQ(r.listed(), 400);
    }

    ArbRig r;
    r.click("cmdClear");
    r.click("cmdFreehand");
    r.stroke(60, 100, 300);
    r.click("cmdErase");
    r.drag({{150, 40}, {150, 80}});
    EXPECT_EQ(WhiteInRow(r.view().picture(), 60), 201 - 11) << "an 11-pixel band";
    r.click("OptEraser(0)");
    EXPECT_EQ(r.settings().EraserWidth, 1);
    r.drag({{250, 40}, {250, 80}});
    EXPECT_EQ(WhiteInRow(r.view().picture(), 60), 201 - 12);
}

TEST(ArbEditor, SmoothingKeepsTheSignAndRedrawsOneCurve)
{
    ArbRig r;
    r.click("cmdClear");
    r.click("cmdFreehand");
    r.stroke(40, 0, 199);
    r.stroke(45, 0, 199); // a thick stroke: the topmost pixel counts
    r.click("cmdSmooth");
    EXPECT_EQ(r.settings().ArbTable[100], -110);
    EXPECT_EQ(WhiteInRow(r.view().picture(), 45), 0);
    EXPECT_EQ(WhiteInRow(r.view().picture(), 40), 400);
    r.click("cmdSmooth");
    EXPECT_EQ(r.settings().ArbTable[100], -110) << "drawn above the centre line, still negative";

    // Reopening draws the stored table over the picture and sets the start values again.
    r.type("txtFreq", "250");
    r.arb().close();
    r.click("cmdClear");
    r.settings().ArbTable.fill(-20);
    r.rig.desktop.show(gui::WindowId::ArbEditor);
    EXPECT_EQ(r.settings().ArbFreq, 100);
    EXPECT_EQ(Child<QLineEdit>(r.arb(), "txtFreq").text(), "100");
    EXPECT_EQ(WhiteInRow(r.view().picture(), 130), 401 - 1);
    EXPECT_EQ(r.listed(), 400);
}

TEST(ArbEditor, PresetsAndSetsDrawAndReadBack)
{
    const struct {
        const char* name;
        const char* percent;
        std::function<void(ArbRig&)> press;
        Points expected;
        const char* status;
    } cases[] = {
        {"sine", "50", [](ArbRig& r) { r.click("cmdPreloadSine"); }, {{100, 70}, {200, 0}, {300, -70}}, ""},
        {"square, two cycles", "100", [](ArbRig& r) { r.type("txtCycles", "2"); r.click("cmdPreloadSq"); },
         {{50, 140}, {150, -140}, {250, 140}, {350, -140}}, ""},
        {"haversine", "50", [](ArbRig& r) { r.click("cmdPreloadHaversine"); }, {{1, -1}, {200, -70}}, ""},
        {"gauss", "50", [](ArbRig& r) { r.click("cmdPreloadGauss"); }, {{1, 0}, {200, -72}}, ""},
        {"all amplitudes zero", "100", [](ArbRig& r) { r.click("cmdClrFourier"); r.click("cmdPreloadFourier"); },
         {{0, 0}, {100, 0}, {400, 0}}, ""},
        {"H1 = 2 leaves the viewport at the top", "100",
         [](ArbRig& r) { r.click("cmdClrFourier"); r.type("txtFourier(1)", "2"); r.click("cmdPreloadFourier"); },
         {{250, -150}, {300, -150}, {330, -150}}, ""},
        {"set 7", "50", [](ArbRig& r) { r.click("cmdPreLoadFourierSeq(7)"); }, {{0, 0}}, "7 - Odd Order Distortion"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ArbRig r;
        r.type("txtPercent", c.percent);
        c.press(r);
        for (const auto& [index, value] : c.expected)
            EXPECT_EQ(r.settings().ArbTable[static_cast<std::size_t>(index)], value) << "index " << index;
        EXPECT_EQ(r.listed(), 401);
        EXPECT_EQ(Caption(r.arb(), "lblStat"), c.status);
    }

    ArbRig r;
    r.click("cmdPreLoadFourierSeq(1)");
    EXPECT_EQ(Child<QLineEdit>(r.arb(), "txtFourier(1)").text(), "1.2732");
    EXPECT_EQ(Child<QLineEdit>(r.arb(), "txtFourier(2)").text(), "0");
    // The plateau of the square wave lies near 70 rows below and above the line.
    EXPECT_NEAR(r.settings().ArbTable[100], 70, 6);
    EXPECT_NEAR(r.settings().ArbTable[300], -70, 6);
    r.type("txtFourier(3)", "0.5abc");
    EXPECT_EQ(r.settings().FourierAmp[3], 0.5);
    r.type("txtFourier(3)", "abc");
    EXPECT_EQ(r.settings().FourierAmp[3], 0);
}

TEST(ArbEditor, ParameterBoxesTakeOnlyTheirRanges)
{
    const struct {
        const char* box;
        const char* text;
        std::function<double(const SignalSettings&)> field;
        double expected;
    } cases[] = {
        {"txtSR", "200000", [](const SignalSettings& s) { return s.ArbSampleRate; }, 44100},
        {"txtSR", "48000", [](const SignalSettings& s) { return s.ArbSampleRate; }, 48000},
        {"txtCycles", "2.5", [](const SignalSettings& s) { return s.ArbCycles; }, 2},
        {"txtCycles", "11", [](const SignalSettings& s) { return s.ArbCycles; }, 1},
        {"txtPercent", "0.5", [](const SignalSettings& s) { return s.ArbPercent; }, 50},
        {"txtLevel", "-6.5", [](const SignalSettings& s) { return s.ArbLevel; }, -6.5},
        {"txtFreq", "96001", [](const SignalSettings& s) { return s.ArbFreq; }, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " " + c.text);
        ArbRig r;
        r.type(c.box, c.text);
        EXPECT_EQ(c.field(r.settings()), c.expected);
        EXPECT_EQ(Child<QLineEdit>(r.arb(), c.box).text(), c.text) << "the text stays as typed";
    }
    ArbRig r;
    r.click("optCH(3)");
    EXPECT_EQ(r.settings().ArbChanMode, 3);
    for (int n = 1; n <= kFourierCount; ++n)
        EXPECT_EQ(Child<QLineEdit>(r.arb(), QStringLiteral("txtFourier(%1)").arg(n)).accessibleName(),
                  QStringLiteral("Fr x %1").arg(n));
    EXPECT_EQ(Child<QLineEdit>(r.arb(), "txtFreq").accessibleName(), "Frequency (Hz, full width)");
    EXPECT_EQ(r.arb().accessibleName(), "ARBITRARY WAVE CONSTRUCTION SET");
}

TEST(ArbEditor, ThePlayLampFollowsTheTableNotTheOtherSignals)
{
    ArbRig r;
    auto lamp = [&r] { return Child<gui::Lamp>(r.arb(), "lblPlayLED").color(); };
    EXPECT_EQ(lamp(), QColor(64, 64, 64));
    r.click("Command1");
    EXPECT_EQ(lamp(), QColor(255, 0, 0));
    r.click("Command2");
    EXPECT_EQ(lamp(), QColor(64, 64, 64));
    r.click("Command1");
    r.rig.oscillator.StopSig(); // the main panel's OFF
    EXPECT_EQ(lamp(), QColor(64, 64, 64));
    r.rig.oscillator.PlaySig();
    EXPECT_EQ(lamp(), QColor(64, 64, 64)) << "the main panel's own signal";
}

} // namespace
} // namespace kelvo::test
