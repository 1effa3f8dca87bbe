#pragma once

#include "core/help/rtf_reader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kelvo {

// How much of a document a text view lays out. Every paragraph, run and character costs
// time and memory, so a document past these is cut short; real help topics stay far
// below every one of them.
struct RtfBounds {
    std::size_t paragraphs = 10'000;
    std::size_t runs = 20'000;
    std::size_t textBytes = 256 * 1024; // of UTF-8 text
    // The text layout never finishes a document taller than 2^23 pixels. The height is
    // reckoned as if each character had a line of its own, twice its font size tall, as
    // in the narrowest view, and kept to half that limit at 96 dots per inch.
    std::int64_t heightTwips = 60'000'000;
    int defaultHalfPoints = 24; // the size of text that names none
    // A word with nowhere to break takes time that grows with the square of its length,
    // and so do a paragraph's tabs when it sets tab stops; tabs at the default stops
    // cost far less.
    std::size_t unbrokenCharacters = 256;
    std::size_t tabsAtStops = 1024; // in the whole document
    // A paragraph is laid out whole, in time that grows faster than its length, while
    // the paragraphs past the view wait their turn.
    std::size_t paragraphCharacters = 4096;
};

// The paragraph that ends a document cut to its bounds.
inline constexpr std::string_view kRtfCutNote = "[The rest of this topic is not shown: it is too long.]";

// U+200B ZERO WIDTH SPACE: a place to break a line that shows nothing.
inline constexpr std::string_view kRtfBreakOpportunity = "\u200B";

// Cuts the document to the bounds, ending it with kRtfCutNote when anything was left out.
// Then puts a break opportunity into every stretch of more than `unbrokenCharacters`
// characters with no space, tab or line break; lays the tabs of each paragraph that
// would take the document past `tabsAtStops` tabs at its own stops at the default ones;
// and splits a paragraph of more than `paragraphCharacters` characters into paragraphs
// that read as its lines. Only whole characters are counted and kept, and a break never
// comes before a combining mark or joiner that belongs to the character before it,
// unless the stretch has grown to twice the bound.
void BoundRtfDocument(RtfDocument& document, const RtfBounds& bounds = {});

} // namespace kelvo
