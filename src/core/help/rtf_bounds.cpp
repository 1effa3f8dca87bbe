#include "core/help/rtf_bounds.h"

#include "core/help/rtf_text.h"

#include <algorithm>
#include <string>
#include <utility>

namespace kelvo {
namespace {

static_assert(RtfBounds{}.paragraphs < kRtfMaxParagraphs && RtfBounds{}.runs < kRtfMaxRuns &&
                  RtfBounds{}.textBytes < kRtfMaxTextBytes,
              "a document the reader cut short must still end with the note");

constexpr char32_t kLineSeparator = 0x2028;

bool BreaksLine(char32_t c)
{
    return c == ' ' || c == '\t' || c == kLineSeparator || c == 0x200B;
}

// Combining diacritics, joiners, variation selectors and skin tones: a break before one
// would tear it from the character it belongs to.
bool JoinsPrevious(char32_t c)
{
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) || c == 0x200C ||
           c == 0x200D || (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFE20 && c <= 0xFE2F) ||
           (c >= 0x1F3FB && c <= 0x1F3FF);
}

// Twice the font size: the tallest line a character of the style is reckoned to take.
std::int64_t LineTwips(const RtfStyle& style, const RtfBounds& bounds)
{
    return 20 * static_cast<std::int64_t>(style.halfPoints > 0 ? style.halfPoints : bounds.defaultHalfPoints);
}

// Keeps whole paragraphs, runs and characters while the bounds allow; true when
// something was left out.
bool CutToBounds(RtfDocument& document, const RtfBounds& bounds)
{
    std::vector<RtfParagraph>& paragraphs = document.paragraphs;
    std::size_t runs = 0;
    std::size_t bytes = 0;
    std::int64_t height = 0;
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        RtfParagraph& paragraph = paragraphs[p];
        height += paragraph.spaceBefore + paragraph.spaceAfter + (paragraph.runs.empty() ? LineTwips({}, bounds) : 0);
        if (p == bounds.paragraphs || height > bounds.heightTwips) {
            paragraphs.resize(p);
            return true;
        }
        for (std::size_t r = 0; r < paragraph.runs.size(); ++r) {
            std::string& text = paragraph.runs[r].text;
            const std::int64_t line = LineTwips(paragraph.runs[r].style, bounds);
            std::size_t kept = 0;
            for (std::size_t length = 0; runs < bounds.runs && kept < text.size(); kept += length) {
                DecodeUtf8(text, kept, length);
                if (bytes + kept + length > bounds.textBytes || height + line > bounds.heightTwips)
                    break;
                height += line;
            }
            if (kept < text.size()) {
                text.resize(kept);
                paragraph.runs.resize(kept == 0 ? r : r + 1);
                paragraphs.resize(paragraph.runs.empty() ? p : p + 1);
                return true;
            }
            ++runs;
            bytes += text.size();
        }
    }
    return false;
}

void BreakLongWords(RtfParagraph& paragraph, std::size_t longest)
{
    std::size_t stretch = 0; // characters since the last place to break; words go on across runs
    for (RtfRun& run : paragraph.runs) {
        std::string broken;
        broken.reserve(run.text.size());
        for (std::size_t at = 0, length = 0; at < run.text.size(); at += length) {
            const char32_t c = DecodeUtf8(run.text, at, length);
            if (BreaksLine(c)) {
                stretch = 0;
            } else if (stretch >= longest && (!JoinsPrevious(c) || stretch >= 2 * longest)) {
                broken += kRtfBreakOpportunity;
                stretch = 1;
            } else {
                ++stretch;
            }
            broken.append(run.text, at, length);
        }
        run.text = std::move(broken);
    }
}

// Drops the paragraph's tab stops when its tabs would take the tabs laid at stops past
// `budget`; the default stops cost far less.
void KeepTabStopsWithin(RtfParagraph& paragraph, std::size_t& budget)
{
    if (paragraph.tabStops.empty())
        return;
    std::size_t tabs = 0;
    for (const RtfRun& run : paragraph.runs)
        tabs += static_cast<std::size_t>(std::ranges::count(run.text, '\t'));
    if (tabs > budget)
        paragraph.tabStops.clear();
    else
        budget -= tabs;
}

// Appends the paragraph to `pieces` as paragraphs of about `longest` characters, which
// read as its lines: each piece ends at a line break once it holds `longest` characters,
// or at any place to break once it holds twice that. The pieces after the first start
// flush, with no space between them.
void SplitLongParagraph(RtfParagraph paragraph, std::size_t longest, std::vector<RtfParagraph>& pieces)
{
    std::size_t bytes = 0;
    for (const RtfRun& run : paragraph.runs)
        bytes += run.text.size();
    if (bytes <= longest) {
        pieces.push_back(std::move(paragraph));
        return;
    }
    const std::vector<RtfRun> runs = std::move(paragraph.runs);
    RtfParagraph piece = std::move(paragraph);
    piece.runs.clear();
    const int spaceAfter = std::exchange(piece.spaceAfter, 0);
    std::size_t count = 0;
    for (const RtfRun& run : runs) {
        std::size_t from = 0; // where the run's text still to place begins
        for (std::size_t at = 0, length = 0; at < run.text.size(); at += length) {
            const char32_t c = DecodeUtf8(run.text, at, length);
            if (++count <= longest || !(c == kLineSeparator || (count > 2 * longest && BreaksLine(c))))
                continue;
            // The end of the piece stands in for a line separator; a space or tab stays.
            const std::size_t end = c == kLineSeparator ? at : at + length;
            if (end > from)
                piece.runs.push_back({run.text.substr(from, end - from), run.style});
            from = at + length;
            pieces.push_back(piece);
            piece.runs.clear();
            piece.spaceBefore = 0;
            piece.firstIndent = 0;
            count = 0;
        }
        if (from < run.text.size())
            piece.runs.push_back({run.text.substr(from), run.style});
    }
    piece.spaceAfter = spaceAfter;
    pieces.push_back(std::move(piece));
}

} // namespace

void BoundRtfDocument(RtfDocument& document, const RtfBounds& bounds)
{
    const bool cut = CutToBounds(document, bounds);
    std::vector<RtfParagraph> paragraphs;
    paragraphs.reserve(document.paragraphs.size());
    std::size_t tabsAtStops = bounds.tabsAtStops;
    for (RtfParagraph& paragraph : document.paragraphs) {
        BreakLongWords(paragraph, bounds.unbrokenCharacters);
        KeepTabStopsWithin(paragraph, tabsAtStops);
        SplitLongParagraph(std::move(paragraph), bounds.paragraphCharacters, paragraphs);
    }
    if (cut) {
        RtfParagraph note;
        note.runs.push_back({std::string(kRtfCutNote), RtfStyle{}});
        paragraphs.push_back(std::move(note));
    }
    document.paragraphs = std::move(paragraphs);
}

} // namespace kelvo
