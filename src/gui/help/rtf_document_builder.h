#pragma once

#include "core/help/rtf_reader.h"

class QTextDocument;

namespace kelvo::gui {

// Replaces the text document's content with a document read from RTF. Text without a
// font or size of its own keeps the text document's default font.
void FillTextDocument(const RtfDocument& source, QTextDocument& target);

} // namespace kelvo::gui
