#pragma once

#include <QString>

class QLabel;

namespace kelvo::gui {

// What a screen reader reads for a display of a changing value: "Type: PCM WAV", or the
// caption alone while the display is empty.
QString ValueName(const QString& caption, const QString& value);

// Makes `display` read as ValueName(caption, its text); a screen reader hears the new
// value whenever the text changes. An elided label reads its whole text.
void NameByCaption(QLabel& display, const QString& caption);

} // namespace kelvo::gui
