#include "core/arb/digitise.h"

namespace kelvo {

bool PixelGrid::white(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return false;
    const std::size_t at = static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x);
    return at < pixels.size() && (pixels[at] & 0x00FFFFFFu) == 0x00FFFFFFu;
}

ArbValues Digitise(const PixelGrid& picture)
{
    ArbValues table{};
    for (int x = 0; x < kArbTableSize; ++x) {
        table[static_cast<std::size_t>(x)] = x > 0 ? table[static_cast<std::size_t>(x) - 1] : 0;
        for (int y = 0; y < kViewHeight && x < kViewWidth; ++y) {
            if (picture.white(x, y)) {
                table[static_cast<std::size_t>(x)] = y - kCentreRow;
                break;
            }
        }
    }
    return table;
}

} // namespace kelvo
