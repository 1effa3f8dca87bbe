#pragma once

class QWidget;

namespace kelvo::gui {

// Moves `window` beside `anchor` on the screen that shows the anchor: to its right when
// there is room, else to its left, else below or above it, and always wholly inside the
// screen's available area (a window larger than the screen keeps its top-left corner on it).
void PlaceBeside(QWidget& window, const QWidget& anchor);

// Moves `window` to the centre of the screen that shows `anchor`, or of the primary screen.
void PlaceCentred(QWidget& window, const QWidget* anchor);

} // namespace kelvo::gui
