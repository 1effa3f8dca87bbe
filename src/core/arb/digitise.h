#pragma once

#include "core/settings/signal_settings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kelvo {

// The waveform editor's viewport: 400 columns of 300 rows, row 150 the centre line.
inline constexpr int kViewWidth = 400;
inline constexpr int kViewHeight = 300;
inline constexpr int kCentreRow = 150;

// One period of the arbitrary waveform: value = viewport row - 150, indices 0..400.
using ArbValues = std::array<std::int32_t, kArbTableSize>;

// A picture given as rows of 32-bit pixels 0xAARRGGBB (the layout of QImage's RGB32 and
// ARGB32 formats), `stride` pixels from the start of one row to the next. Pixels outside
// `width` x `height` or beyond the span count as background.
struct PixelGrid {
    std::span<const std::uint32_t> pixels;
    int width = 0;
    int height = 0;
    std::size_t stride = 0;

    // Whether the pixel at (x, y) is pure white (255, 255, 255); only those are waveform.
    bool white(int x, int y) const;
};

// Reads the picture back into table values: each column x of the viewport gives the row of
// its topmost pure white pixel minus 150; a column without one repeats the previous column
// (column 0 then stays 0), and column 400, outside the viewport, repeats column 399.
ArbValues Digitise(const PixelGrid& picture);

} // namespace kelvo
