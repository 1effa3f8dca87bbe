#pragma once

#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>

class QPainter;

namespace kelvo::gui {

inline const QColor kTitleText{0, 0, 0};
inline const QColor kTitleShadow{238, 238, 238};

// Draws a window title with its shadow one step below and to the right: first the
// shadow, then the text at `baseline`. Dark faces swap the colours.
void DrawTitle(QPainter& painter, const QString& title, QPoint baseline, const QColor& text = kTitleText,
               const QColor& shadow = kTitleShadow);

// Draws the thin frame just inside a window's edges.
void DrawFrame(QPainter& painter, const QRect& rect, const QColor& colour);

} // namespace kelvo::gui
