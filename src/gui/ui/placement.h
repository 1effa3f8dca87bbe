#pragma once

#include "gui/ui/place_search.h"

#include <QRect>

class QWidget;

namespace kelvo::gui {

// The strip along the top of `window` that drags it: a borderless window's drag strip, or
// the frame's band above the client area of a window with a system frame.
QRect TitleStrip(const QWidget& window);

// Moves `window` beside `anchor` on the anchor's screen, wholly inside its available area,
// where FindPlace puts it: clear of the anchor's keys where the screen has room, and
// cascaded with the windows already open.
void PlaceBeside(QWidget& window, const QWidget& anchor, const InSight& inSight);

// Moves a shown `window` back wholly inside the available area of the anchor's screen where
// its system frame, known only once it is shown, took it over an edge.
void KeepOnScreen(QWidget& window, const QWidget& anchor);

// Moves `window` to the centre of the screen that shows `anchor`, or of the primary screen.
void PlaceCentred(QWidget& window, const QWidget* anchor);

} // namespace kelvo::gui
