#include "arb/digitise.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace kelvo::test {
namespace {

constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

// A block of pixels of one colour, both ends included.
struct Block {
    int x0, x1, y0, y1;
    std::uint32_t colour = kWhite;
};

struct Picture {
    int width = kViewWidth;
    int height = kViewHeight;
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), kBlack);

    void paint(const Block& b)
    {
        for (int y = b.y0; y <= b.y1; ++y)
            for (int x = b.x0; x <= b.x1; ++x)
                pixels[static_cast<std::size_t>(y * width + x)] = b.colour;
    }
    PixelGrid grid() const { return {pixels, width, height, static_cast<std::size_t>(width)}; }
};

TEST(Digitise, ReadsTheTopmostWhitePixelOfEachColumnAndRepeatsEmptyColumns)
{
    const struct {
        const char* name;
        std::vector<Block> blocks;
        std::vector<std::pair<int, std::int32_t>> expected; // index, value
    } cases[] = {
        {"empty viewport", {}, {{0, 0}, {200, 0}, {399, 0}, {400, 0}}},
        {"horizontal stroke at row 100", {{50, 349, 100, 100}},
         {{0, 0}, {49, 0}, {50, -50}, {349, -50}, {350, -50}, {400, -50}}},
        {"vertical line at column 200", {{200, 200, 20, 280}}, {{199, 0}, {200, -130}, {201, -130}, {400, -130}}},
        {"several white pixels: the topmost counts", {{10, 10, 290, 299}, {10, 10, 5, 5}, {11, 11, 299, 299}},
         {{9, 0}, {10, -145}, {11, 149}, {12, 149}}},
        {"near-white and translucent white", {{0, 399, 30, 30, 0xFFFEFFFFu}, {5, 5, 40, 40, 0x00FFFFFFu}, {6, 6, 0, 0, 0xFFFFFFFEu}},
         {{4, 0}, {5, -110}, {6, -110}, {7, -110}}},
        {"an erased band repeats the column to its left",
         {{0, 399, 60, 60}, {100, 110, 60, 60, kBlack}}, {{99, -90}, {100, -90}, {110, -90}, {111, -90}}},
        {"the last column, bottom row", {{399, 399, 299, 299}}, {{398, 0}, {399, 149}, {400, 149}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Picture picture;
        for (const Block& b : c.blocks)
            picture.paint(b);
        const ArbValues table = Digitise(picture.grid());
        for (const auto& [index, value] : c.expected)
            EXPECT_EQ(table[static_cast<std::size_t>(index)], value) << "index " << index;
    }
}

TEST(Digitise, AllWhiteGivesTheTopRowAndASmallPictureRepeatsItsLastColumn)
{
    Picture white{40, 30};
    white.paint({0, 39, 0, 29});
    white.paint({39, 39, 0, 9, kBlack});
    const ArbValues table = Digitise(white.grid());
    EXPECT_EQ(table[0], -150);
    EXPECT_EQ(table[39], -140);
    EXPECT_EQ(table[40], -140);
    EXPECT_EQ(table[400], -140);

    // A grid whose span is shorter than its size says reads what lies in the span only.
    const std::vector<std::uint32_t> row(10, kWhite);
    const ArbValues clipped = Digitise({row, kViewWidth, kViewHeight, kViewWidth});
    EXPECT_EQ(clipped[9], -150);
    EXPECT_EQ(clipped[10], -150);
}

} // namespace
} // namespace kelvo::test
