#include "arb_rig.h"

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
        {"freehand stroke at row 100", [](ArbRig& r) { r.click("cmdFreehand"); r.stroke(100, 50, 349); },
         {{0, 0}, {49, 0}, {50, -50}, {349, -50}, {400, -50}}},
        {"vertical line at column 200, V keeps the column",
         [](ArbRig& r) { r.click("cmdDraw"); r.click("Option1(0)"); r.drag({{200, 20}, {260, 150}, {230, 280}}); },
         {{199, 0}, {200, -130}, {400, -130}}},
        {"H keeps the row the button went down on",
         [](ArbRig& r) { r.click("cmdDraw"); r.click("Option1(1)"); r.drag({{100, 60}, {150, 250}, {300, 200}}); },
         {{99, 0}, {100, -90}, {300, -90}, {301, -90}}},
        {"the rubber band leaves only the last line", [](ArbRig& r) { r.click("cmdDraw"); r.drag({{0, 280}, {399, 20}, {399, 250}}); },
         {{0, 130}, {399, 100}}},
        {"no mode draws nothing", [](ArbRig& r) { r.stroke(100, 0, 399); }, {{200, 0}, {400, 0}}},
        {"a thick stroke above the line, smoothed twice: the topmost pixel, still negative",
         [](ArbRig& r) { r.click("cmdFreehand"); r.stroke(40, 0, 199); r.stroke(45, 0, 199); r.click("cmdSmooth"); },
         {{100, -110}, {300, -110}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ArbRig r;
        r.click("cmdClear");
        c.draw(r);
        r.click("cmdSmooth");
        Expect(r, c.expected);
        EXPECT_EQ(r.listed(), 400);
    }

    // The eraser's band is 11 pixels wide at LG, one at SM. CLEAR VIEWPORT empties the table.
    ArbRig r;
    r.click("cmdFreehand");
    r.stroke(60, 100, 300);
    r.click("cmdErase");
    r.drag({{150, 40}, {150, 80}});
    EXPECT_EQ(WhiteInRow(r.view().picture(), 60), 201 - 11) << "LG";
    r.click("OptEraser(0)");
    r.drag({{250, 40}, {250, 80}});
    EXPECT_EQ(WhiteInRow(r.view().picture(), 60), 201 - 12) << "SM";
    r.click("cmdClear");
    EXPECT_EQ(r.settings().ArbTable, ArbValues{});

    // Reopening sets the start values again and draws the stored table over the picture.
    r.type("txtFreq", "250");
    r.arb().close();
    r.settings().ArbTable.fill(-20);
    r.rig.desktop.show(gui::WindowId::ArbEditor);
    EXPECT_EQ(r.settings().ArbFreq, 100);
    EXPECT_EQ(WhiteInRow(r.view().picture(), 130), 400);
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
        {"square, two cycles", "100", [](ArbRig& r) { r.type("txtCycles", "2"); r.click("cmdPreloadSq"); },
         {{50, 140}, {150, -140}, {250, 140}, {350, -140}}, ""},
        {"H1 = 2", "100", [](ArbRig& r) { r.click("cmdClrFourier"); r.type("txtFourier(1)", "2"); r.click("cmdPreloadFourier"); },
         {{250, -150}, {300, -150}}, ""},
        // The plateaus of the square wave lie near 70 rows below and above the line.
        {"set 1", "50", [](ArbRig& r) { r.click("cmdPreLoadFourierSeq(1)"); }, {{0, 0}}, "1 - Square Wave"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ArbRig r;
        r.type("txtPercent", c.percent);
        c.press(r);
        Expect(r, c.expected);
        EXPECT_EQ(r.listed(), 401);
        EXPECT_EQ(Caption(r.arb(), "lblStat"), c.status);
        if (*c.status) {
            EXPECT_EQ(Child<QLineEdit>(r.arb(), "txtFourier(1)").text(), "1.2732");
            EXPECT_NEAR(r.settings().ArbTable[100], 70, 6);
            EXPECT_NEAR(r.settings().ArbTable[300], -70, 6);
        }
    }
}

// The other boxes' bindings show in the drawings and the render.
TEST(ArbEditor, BoxesTakeOnlyTheirRangesAndAreNamedByTheirLabels)
{
    ArbRig r;
    r.type("txtFourier(3)", "0.5abc");
    EXPECT_EQ(r.settings().FourierAmp[3], 0.5);
    r.type("txtSR", "200000");
    EXPECT_EQ(r.settings().ArbSampleRate, 44100);
    EXPECT_EQ(Child<QLineEdit>(r.arb(), "txtFourier(24)").accessibleName(), "Fr x 24");
    EXPECT_EQ(Child<QLineEdit>(r.arb(), "txtFreq").accessibleName(), "Frequency (Hz, full width)");
    EXPECT_EQ(r.arb().accessibleName(), "ARBITRARY WAVE CONSTRUCTION SET");
}

TEST(ArbEditor, ThePlayLampFollowsTheTableNotTheOtherSignals)
{
    ArbRig r;
    auto lit = [&r] { return Child<gui::Lamp>(r.arb(), "lblPlayLED").color() == QColor(255, 0, 0); };
    r.click("Command1");
    EXPECT_TRUE(lit());
    r.click("Command2");
    EXPECT_FALSE(lit());
    r.click("Command1");
    r.rig.oscillator.StopSig(); // the main panel's OFF
    EXPECT_FALSE(lit());
    r.rig.oscillator.PlaySig();
    EXPECT_FALSE(lit()) << "the main panel's own signal";
}

} // namespace
} // namespace kelvo::test
