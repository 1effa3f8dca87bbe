#include "core/help/rtf_bounds.h"
#include "core/help/rtf_reader.h"
#include "kelvo_config.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace kelvo::test {
namespace {

std::string Repeated(const std::string& text, int times)
{
    std::string repeated;
    while (times-- > 0)
        repeated += text;
    return repeated;
}

// A document of one paragraph for each list of run texts.
RtfDocument Document(const std::vector<std::vector<std::string>>& paragraphs)
{
    RtfDocument document;
    for (const auto& runs : paragraphs) {
        document.paragraphs.emplace_back();
        for (const std::string& text : runs)
            document.paragraphs.back().runs.push_back({text, {}});
    }
    return document;
}

std::vector<std::string> Texts(const RtfDocument& document)
{
    std::vector<std::string> texts;
    for (const RtfParagraph& paragraph : document.paragraphs) {
        texts.emplace_back();
        for (const RtfRun& run : paragraph.runs)
            texts.back() += run.text;
    }
    return texts;
}

// The most characters between two places to break.
std::size_t LongestStretch(const std::string& text)
{
    std::size_t longest = 0;
    std::size_t stretch = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == ' ' || text.compare(at, kRtfBreakOpportunity.size(), kRtfBreakOpportunity) == 0)
            stretch = 0;
        else if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
            longest = std::max(longest, ++stretch);
    }
    return longest;
}

TEST(RtfBounds, LongWordsGetPlacesToBreakWithEveryCharacterWhole)
{
    const std::pair<std::vector<std::string>, std::size_t> cases[] = {
        {{std::string(1000, 'x')}, 256},
        {{std::string(200, 'x'), std::string(200, 'y')}, 256}, // one word over two runs
        {{Repeated("é", 700)}, 256},
        {{Repeated("😀", 600) + " " + Repeated("€", 300)}, 256},
        {{"x" + Repeated("e\u0301", 400)}, 257}, // a mark stays with its letter
        {{Repeated("\u0301", 1000)}, 512},       // but not for ever
    };
    for (const auto& [runs, longest] : cases) {
        RtfDocument document = Document({runs});
        BoundRtfDocument(document);
        std::string shown = Texts(document).at(0);
        EXPECT_LE(LongestStretch(shown), longest) << runs[0];
        for (auto at = shown.find(kRtfBreakOpportunity); at != std::string::npos; at = shown.find(kRtfBreakOpportunity, at)) {
            EXPECT_NE(static_cast<unsigned char>(shown[at + 3]) & 0xC0, 0x80) << "a character split at " << at;
            if (longest < 512) {
                EXPECT_NE(shown.compare(at + 3, 2, "\u0301"), 0) << "a mark torn from its letter at " << at;
            }
            shown.erase(at, kRtfBreakOpportunity.size());
        }
        EXPECT_EQ(shown, Texts(Document({runs})).at(0));
    }
}

TEST(RtfBounds, ADocumentPastABoundEndsWithTheNote)
{
    const RtfBounds bounds{.paragraphs = 3, .runs = 4, .textBytes = 8, .heightTwips = 7 * 480};
    const std::string note(kRtfCutNote);
    const std::pair<RtfDocument, std::vector<std::string>> cases[] = {
        {Document({{"a"}, {"b"}, {"c"}, {"d"}}), {"a", "b", "c", note}},
        {Document({{"a", "b", "c", "d", "e"}}), {"abcd", note}},
        {Document({{"héllo ö"}}), {"héllo ", note}},             // 8 bytes would split the ö
        {Document({{"ab"}, {"cdefgh"}}), {"ab", "cdefg", note}}, // seven characters' lines
        {Document({{"ab"}, {"cd"}}), {"ab", "cd"}},
    };
    for (auto [document, texts] : cases) {
        BoundRtfDocument(document, bounds);
        EXPECT_EQ(Texts(document), texts);
    }
}

TEST(RtfBounds, ALongParagraphReadsAsItsLines)
{
    RtfDocument document = Document({{"ab\u2028cd", "ef\u2028gh ij klmno pq"}});
    RtfParagraph& paragraph = document.paragraphs[0];
    paragraph.spaceBefore = 120;
    paragraph.spaceAfter = 60;
    paragraph.firstIndent = -360;
    BoundRtfDocument(document, {.paragraphCharacters = 4});
    EXPECT_EQ(Texts(document), (std::vector<std::string>{"ab\u2028cdef", "gh ij klmno ", "pq"}));
    std::vector<std::tuple<int, int, int>> spacing;
    for (const RtfParagraph& piece : document.paragraphs)
        spacing.emplace_back(piece.spaceBefore, piece.firstIndent, piece.spaceAfter);
    EXPECT_EQ(spacing, (decltype(spacing){{120, -360, 0}, {0, 0, 0}, {0, 0, 60}}));
}

TEST(RtfBounds, TabsPastTheBudgetGoToTheDefaultStops)
{
    RtfDocument document = Document({{"a\tb"}, {"\t\t"}, {"c\td"}});
    for (RtfParagraph& paragraph : document.paragraphs)
        paragraph.tabStops = {720};
    BoundRtfDocument(document, {.tabsAtStops = 2});
    std::vector<std::size_t> stops;
    for (const RtfParagraph& paragraph : document.paragraphs)
        stops.push_back(paragraph.tabStops.size());
    EXPECT_EQ(stops, (std::vector<std::size_t>{1, 0, 1}));
}

TEST(RtfBounds, TheShippedTopicsAreUnchanged)
{
    for (const auto& entry : std::filesystem::directory_iterator(KELVO_SOURCE_HELPDIR)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const auto read = ReadRtf(std::string(std::istreambuf_iterator<char>(in), {}));
        ASSERT_TRUE(read) << entry.path();
        RtfDocument bounded = *read;
        BoundRtfDocument(bounded);
        EXPECT_TRUE(bounded == *read) << entry.path();
    }
}

} // namespace
} // namespace kelvo::test
