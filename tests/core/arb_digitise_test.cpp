#include "arb/digitise.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvo::test {
namespace {

// Only pure white counts, whatever the alpha byte; a picture smaller than the viewport, or
// a span shorter than the picture, reads as background beyond its pixels. (The drawings
// themselves are checked through the window's mouse.)
TEST(Digitise, ReadsPureWhiteOnlyAndNothingBeyondThePixels)
{
    std::vector<std::uint32_t> pixels(40 * 30, 0xFF000000u);
    auto at = [&](int x, int y) -> std::uint32_t& { return pixels[static_cast<std::size_t>(y * 40 + x)]; };
    at(3, 5) = 0xFFFEFFFFu; // near white
    at(3, 9) = 0x00FFFFFFu; // white, transparent
    at(4, 2) = 0xFFFFFFFEu;
    at(39, 0) = 0xFFFFFFFFu;
    const ArbValues table = Digitise({pixels, 40, 30, 40});
    const std::pair<int, std::int32_t> expected[] = {{2, 0}, {3, -141}, {4, -141}, {38, -141}, {39, -150}, {400, -150}};
    for (const auto& [index, value] : expected)
        EXPECT_EQ(table[static_cast<std::size_t>(index)], value) << index;

    EXPECT_EQ(Digitise({{}, kViewWidth, kViewHeight, kViewWidth}), ArbValues{}) << "an empty viewport";
    const std::vector<std::uint32_t> row(10, 0xFFFFFFFFu);
    const ArbValues clipped = Digitise({row, kViewWidth, kViewHeight, kViewWidth});
    EXPECT_EQ(clipped[9], -150);
    EXPECT_EQ(clipped[400], -150);
}

} // namespace
} // namespace kelvo::test
