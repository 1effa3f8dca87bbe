#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

namespace kelvo::gui {

// A window already open, as one that opens beside it sees it, in screen coordinates.
struct OpenWindow {
    QRect frame;
    QRect strip;        // the title strip it is dragged by
    bool onTop = false; // it stays above all the others
};

// What a window that opens beside the front panel should leave in sight.
struct InSight {
    std::vector<QRect> keys;         // the anchor's keys that must stay within reach
    std::vector<OpenWindow> windows; // the windows already open, the anchor among them, the bottom first
};

// The top-left corner nearest to `topLeft` that keeps a window of `size` inside `area`; a
// window larger than the area keeps its top-left corner in it.
QPoint KeptInside(QPoint topLeft, QSize size, const QRect& area);

// The top-left corner at which `opening` (placed anywhere) opens beside `anchor` within
// `area`, above the open windows but those that stay on top. Of the places it may take, it
// picks the one whose strip lies on the fewest strips of the open windows, then that leaves
// the fewest of those strips too little in sight to drag by, then that covers the fewest
// `keys`, then the fewest strips at all, then the least of the anchor, then the least of the
// other windows, then the nearest to the anchor's top right: so it opens clear of the anchor
// where the area has room, and cascades with the windows already open.
QPoint FindPlace(const OpenWindow& opening, const QRect& anchor, const QRect& area, const InSight& inSight);

} // namespace kelvo::gui
