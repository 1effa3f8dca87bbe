#include "core/help/help_topics.h"
#include "core/help/rtf_bounds.h"
#include "core/help/rtf_reader.h"
#include "core/runtime/program_folder.h"
#include "kelvo_config.h"
#include "support/test_support.h"

#include <tuple>

namespace kelvo::test {
namespace {

TEST(HelpTopics, MissingTopicsAreCopiedAUsersCopyIsKeptAndReadingSaysWhyNot)
{
    TempFolder shipped, program;
    for (const HelpTopic& topic : kHelpTopics)
        WriteFile(shipped / topic.fileName, "{\\rtf1 shipped " + std::string(topic.fileName) + "}");
    WriteFile(program / "help.rtf", "{\\rtf1 edited by the user}");

    EXPECT_EQ(CopyMissingHelpTopics(shipped.path(), program.path()), "");
    EXPECT_EQ(ReadFile(program / "Welcome.rtf"), "{\\rtf1 shipped Welcome.rtf}");
    EXPECT_EQ(ReadFile(program / "help.rtf"), "{\\rtf1 edited by the user}");

    // A topic the program lacks in both places is reported by name, and nothing else is.
    std::filesystem::remove(program / "Welcome.rtf");
    std::filesystem::remove(shipped / "Welcome.rtf");
    const std::string errors = CopyMissingHelpTopics(shipped.path(), program.path());
    EXPECT_NE(errors.find("Welcome.rtf could not be copied"), std::string::npos) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program.path()), {}), 2);

    // Reading says why a topic cannot be shown.
    TempFolder folder;
    WriteFile(folder / "plain.rtf", "just text");
    WriteFile(folder / "good.rtf", "{\\rtf1 fine}");
    std::filesystem::create_directory(folder / "folder.rtf");
    const std::pair<std::string, std::string> cases[] = {{"missing.rtf", "does not exist"},
                                                         {"plain.rtf", "is not an RTF file"},
                                                         {"folder.rtf", "is not a file"},
                                                         {"good.rtf", ""}};
    for (const auto& [name, error] : cases) {
        const HelpTopicFile topic = ReadHelpTopic(folder / name);
        EXPECT_EQ(topic.document.has_value(), error.empty()) << name;
        EXPECT_NE(topic.error.find(error), std::string::npos) << topic.error;
        EXPECT_EQ(topic.error.find(name) != std::string::npos, !error.empty()) << topic.error;
    }
}

// Help comes from an installed share/kelvo once it holds the topics; the program folder is the
// given one, else a writable executable folder (the install test covers the data home).
TEST(Folders, ShippedHelpAndTheProgramFolder)
{
    TempFolder temp;
    const auto data = temp.path() / "share" / "kelvo";
    std::filesystem::create_directories(data);
    EXPECT_EQ(ShippedDataFolder(temp / "bin", KELVO_SOURCE_HELPDIR), KELVO_SOURCE_HELPDIR);
    WriteFile(data / "Welcome.rtf", "{\\rtf1 installed}");
    EXPECT_EQ(ShippedDataFolder(temp / "bin", KELVO_SOURCE_HELPDIR), data);
    EXPECT_EQ(ShippedDataFolder({}, KELVO_SOURCE_HELPDIR), KELVO_SOURCE_HELPDIR);

    EXPECT_EQ(ResolveProgramFolder(temp / "given" / "deeper", temp.path()), temp / "given" / "deeper");
    EXPECT_TRUE(std::filesystem::is_directory(temp / "given" / "deeper"));
    EXPECT_EQ(ResolveProgramFolder(std::nullopt, temp.path()), temp.path());
}

// The text of each paragraph, runs joined.
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

std::vector<std::string> ParagraphsOf(const std::string& rtf)
{
    const auto document = ReadRtf(rtf);
    return document ? Texts(*document) : std::vector<std::string>{"<not RTF>"};
}

TEST(RtfText, ReadsTheTextOfEachParagraph)
{
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {R"({\rtf1 one\par two\line three\tab four\par})", {"one", "two\u2028three\tfour"}},
        {"{\\rtf1\\b bold\\b0  plain\\par\r\n\\i x\\i0\nyz\\\nnext}", {"bold plain", "xyz", "next"}},
        {R"({\rtf1 caf\'e9 \'80\'95\'93\'81 \'4})", {"café €•“\uFFFD "}},
        {R"({\rtf1\uc1 a\u8722?b\u-10179?\u-8704?c\u233\'e9d})", {"a−b😀céd"}},
        {R"({\rtf1\uc2\u937 xy!{\uc0\u176}\u55357 zzz\u55357})", {"Ω!°\uFFFDz\uFFFD"}},
        {R"({\rtf1 \{a\}\\b\~c\-d\_e})", {"{a}\\b\u00A0cd\u2011e"}},
        {R"({\rtf1\ldblquote x\rdblquote\emdash\bullet})", {"“x”—•"}},
        {R"({\rtf1{\fonttbl{\f0 Arial;}}{\*\generator x;}{\info{\title t}}{\*\unknown{a}b}{\pict\bin3 {}x}c\par})", {"c"}},
        {R"({\rtf1\foo12 a \bar-3 b\par}after)", {"a b"}}, // unknown words, trailing text
        {R"({\rtf1 one\par\par two)", {"one", "", "two"}},
        {" \r\n{\\rtf1 x}", {"x"}},
        {R"({\rtf1})", {}},
        {"hello", {"<not RTF>"}},
        {"{\\rt", {"<not RTF>"}},
    };
    for (const auto& [rtf, paragraphs] : cases)
        EXPECT_EQ(ParagraphsOf(rtf), paragraphs) << rtf;
}

TEST(RtfStyles, FormattingFollowsGroupsAndTables)
{
    const auto document = ReadRtf(R"({\rtf1\deff1{\fonttbl{\f0\froman Serif A;}{\f1\fswiss Sans B;}})"
                                  R"({\colortbl;\red255\green0\blue0;;}plain {\b\i\ul\fs32\f0\cf1 all}\b0 )"
                                  R"(x\b y\b0\ul z\ulnone\cf2 w\plain\fs18 v})");
    ASSERT_TRUE(document);
    ASSERT_EQ(document->fonts.size(), 2u);
    EXPECT_EQ(document->fonts[0].name, "Serif A");
    EXPECT_EQ(document->fonts[1].family, RtfFontFamily::Swiss);

    std::vector<std::pair<std::string, RtfStyle>> runs;
    for (const RtfRun& run : document->paragraphs.at(0).runs)
        runs.emplace_back(run.text, run.style);
    const RtfColour red{255, 0, 0};
    const std::vector<std::pair<std::string, RtfStyle>> expected = {
        {"plain ", {.font = 1, .colour = {}}},
        {"all", {.bold = true, .italic = true, .underline = true, .halfPoints = 32, .font = 0, .colour = red}},
        {"x", {.font = 1, .colour = {}}},
        {"y", {.bold = true, .font = 1, .colour = {}}},
        {"z", {.underline = true, .font = 1, .colour = {}}},
        {"w", {.font = 1, .colour = {}}}, // colour 2 is an automatic entry
        {"v", {.halfPoints = 18, .font = 1, .colour = {}}},
    };
    EXPECT_EQ(runs, expected);
}

TEST(RtfStyles, ParagraphPropertiesAreThoseAtTheParagraphMark)
{
    const auto document = ReadRtf(R"({\rtf1\qc\sb120 title\par\pard\li720\fi-360\tx720\tx360\sa60 item\par)"
                                  R"(\pard\qr x\ql\par{\qj\li99999999 y\par}z})");
    ASSERT_TRUE(document);
    // Alignment, left and first indents, space before and after of each paragraph.
    std::vector<std::tuple<RtfAlignment, int, int, int, int>> shown;
    for (const RtfParagraph& p : document->paragraphs)
        shown.emplace_back(p.alignment, p.leftIndent, p.firstIndent, p.spaceBefore, p.spaceAfter);
    const auto left = RtfAlignment::Left;
    EXPECT_EQ(shown, (decltype(shown){{RtfAlignment::Centre, 0, 0, 120, 0},
                                      {left, 720, -360, 0, 60},
                                      {left, 0, 0, 0, 0},
                                      {RtfAlignment::Justified, 31680, 0, 0, 0},
                                      {left, 0, 0, 0, 0}})); // 22 inches at most
    EXPECT_EQ(document->paragraphs[1].tabStops, (std::vector<int>{360, 720}));
}

// Damaged input reads without a crash, a hang or unbounded growth.
TEST(RtfDamaged, EveryLimitHolds)
{
    const std::string deep = "{\\rtf1 a" + std::string(100000, '{') + "\\b deep" + std::string(100000, '}') + " b}";
    EXPECT_EQ(ParagraphsOf(deep), (std::vector<std::string>{"a b"}));

    std::string fonts = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 3000; ++i)
        fonts += "{\\f" + std::to_string(i) + " F;}";
    const auto manyFonts = ReadRtf(fonts + "}\\f2999 x}");
    ASSERT_TRUE(manyFonts);
    EXPECT_EQ(manyFonts->fonts.size(), 1024u);
    EXPECT_EQ(manyFonts->paragraphs.at(0).runs.at(0).style.font, -1);

    const std::string hugeNumbers = "{\\rtf1\\fs99999999999999999999 a\\uc99999999\\u1 bcdefghijklmnopqrstuvwxyz}";
    EXPECT_EQ(ReadRtf(hugeNumbers).value().paragraphs.at(0).runs.at(0).style.halfPoints, 1000);
    EXPECT_EQ(ParagraphsOf(hugeNumbers), (std::vector<std::string>{"arstuvwxyz"}));

    // Past a cap on paragraphs, runs or text, the rest is dropped.
    std::string paragraphs = "{\\rtf1 ", runs = "{\\rtf1 ";
    for (std::size_t i = 0; i <= kRtfMaxParagraphs; ++i)
        paragraphs += "x\\par ";
    for (std::size_t i = 0; i <= kRtfMaxRuns / 2; ++i)
        runs += "{\\b a}b";
    EXPECT_EQ(ReadRtf(paragraphs).value().paragraphs.size(), kRtfMaxParagraphs);
    EXPECT_EQ(ReadRtf(runs).value().paragraphs.at(0).runs.size(), kRtfMaxRuns);
    EXPECT_EQ(ParagraphsOf("{\\rtf1 " + std::string(kRtfMaxTextBytes + 1, 'x')).at(0).size(), kRtfMaxTextBytes);

    for (const char* cut :
         {"{\\rtf1 x\\", "{\\rtf1 x\\'", "{\\rtf1 x\\'4", "{\\rtf1 x\\u", "{\\rtf1 x\\bin999 {", "{\\rtf1 x{\\fonttbl{\\f0 A"})
        EXPECT_EQ(ParagraphsOf(cut).at(0), "x") << cut;
}

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
        const auto read = ReadRtf(ReadFile(entry.path()));
        ASSERT_TRUE(read) << entry.path();
        RtfDocument bounded = *read;
        BoundRtfDocument(bounded);
        EXPECT_TRUE(bounded == *read) << entry.path();
    }
}

} // namespace
} // namespace kelvo::test
