// Digitise over arbitrary pictures. The input's first four bytes give the picture's width
// and height (0..1023 each), the rest its pixels, four bytes each, row after row (a short
// input leaves the span shorter than the picture). Every value must be a viewport row - 150
// of a white pixel in its column, or repeat the column before.
#include "core/arb/digitise.h"
#include "fuzz_support.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvo;
    if (size < 4)
        return 0;
    const int width = (data[0] | data[1] << 8) & 0x3FF;
    const int height = (data[2] | data[3] << 8) & 0x3FF;
    std::vector<std::uint32_t> pixels((size - 4) / 4);
    if (!pixels.empty())
        std::memcpy(pixels.data(), data + 4, pixels.size() * 4);
    const PixelGrid grid{pixels, width, height, static_cast<std::size_t>(width)};

    const ArbValues table = Digitise(grid);
    for (int x = 0; x < kArbTableSize; ++x) {
        const std::int32_t value = table[static_cast<std::size_t>(x)];
        fuzz::Check(value >= -kCentreRow && value < kViewHeight - kCentreRow, "a value left -150..149");
        const std::int32_t before = x > 0 ? table[static_cast<std::size_t>(x) - 1] : 0;
        if (x < kViewWidth && grid.white(x, value + kCentreRow)) {
            for (int y = 0; y < value + kCentreRow; ++y)
                fuzz::Check(!grid.white(x, y), "a white pixel above the value was passed over");
        } else {
            fuzz::Check(value == before, "a column without its white pixel did not repeat the one before");
        }
    }
    return 0;
}
