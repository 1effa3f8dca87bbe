#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// A document read from rich text (RTF), as plain data for a text view to show.
// Lengths are in twips (1/1440 inch), sizes in half-points as RTF gives them.

struct RtfColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const RtfColour&) const = default;
};

// The font family keyword of a font table entry, so a missing font finds a kin.
enum class RtfFontFamily { Unknown, Roman, Swiss, Modern, Script, Decorative, Technical };

struct RtfFont {
    std::string name;
    RtfFontFamily family = RtfFontFamily::Unknown;
    bool operator==(const RtfFont&) const = default;
};

struct RtfStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 0;              // 0: the view's default size
    int font = -1;                   // index into RtfDocument::fonts; -1: the view's default font
    std::optional<RtfColour> colour; // nothing: the view's text colour
    bool operator==(const RtfStyle&) const = default;
};

// Text in UTF-8 with one style; a line break inside a paragraph is U+2028, a tab '\t'.
struct RtfRun {
    std::string text;
    RtfStyle style;
    bool operator==(const RtfRun&) const = default;
};

enum class RtfAlignment { Left, Centre, Right, Justified };

struct RtfParagraph {
    RtfAlignment alignment = RtfAlignment::Left;
    int leftIndent = 0;
    int firstIndent = 0; // of the first line against the others; negative hangs it out
    int spaceBefore = 0;
    int spaceAfter = 0;
    std::vector<int> tabStops; // from the left margin, ascending
    std::vector<RtfRun> runs;
    bool operator==(const RtfParagraph&) const = default;
};

struct RtfDocument {
    std::vector<RtfFont> fonts;
    std::vector<RtfParagraph> paragraphs;
    bool operator==(const RtfDocument&) const = default;
};

// A read stops once the document holds this many paragraphs, runs or bytes of text; the
// rest is dropped. Real documents hold a few hundred paragraphs and some tens of
// kilobytes of text.
inline constexpr std::size_t kRtfMaxParagraphs = 65'536;
inline constexpr std::size_t kRtfMaxRuns = 131'072;
inline constexpr std::size_t kRtfMaxTextBytes = 1u << 20;

// Reads the subset of RTF that the help topics use: groups, \par \line \tab, \b \i \ul,
// \fs, \f with \fonttbl, \cf with \colortbl, \pard \plain, \li \fi \sb \sa \tx \ql \qc \qr \qj,
// \'hh (Windows-1252), \uN with \ucN, and the common named characters. Destinations
// marked \* and known non-text destinations are skipped, as is every unknown control
// word. Damaged input never crashes or hangs: nesting is capped, every number clamped,
// the work is linear in the input and stops at the caps above. Nothing when the bytes do
// not begin with "{\rtf".
std::optional<RtfDocument> ReadRtf(std::string_view bytes);

} // namespace kelvo
