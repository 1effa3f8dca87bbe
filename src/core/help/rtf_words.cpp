#include "core/help/rtf_words.h"

#include <algorithm>
#include <array>

namespace kelvo {
namespace {

struct Entry {
    std::string_view name;
    RtfWord word;
    char32_t character = 0;
};

// Sorted by name. Non-text destinations are skipped whole even without \*.
constexpr std::array kWords = std::to_array<Entry>({
    {"author", RtfWord::Skip},
    {"b", RtfWord::Bold},
    {"bin", RtfWord::Binary},
    {"blue", RtfWord::Blue},
    {"bullet", RtfWord::Character, 0x2022},
    {"cell", RtfWord::Tab},
    {"cf", RtfWord::Colour},
    {"colortbl", RtfWord::ColourTable},
    {"comment", RtfWord::Skip},
    {"datastore", RtfWord::Skip},
    {"deff", RtfWord::DefaultFont},
    {"emdash", RtfWord::Character, 0x2014},
    {"emspace", RtfWord::Character, 0x2003},
    {"endash", RtfWord::Character, 0x2013},
    {"enspace", RtfWord::Character, 0x2002},
    {"f", RtfWord::Font},
    {"fdecor", RtfWord::FamilyDecorative},
    {"fi", RtfWord::FirstIndent},
    {"filetbl", RtfWord::Skip},
    {"fldinst", RtfWord::Skip},
    {"fmodern", RtfWord::FamilyModern},
    {"fnil", RtfWord::FamilyNil},
    {"fonttbl", RtfWord::FontTable},
    {"footer", RtfWord::Skip},
    {"footerf", RtfWord::Skip},
    {"footerl", RtfWord::Skip},
    {"footerr", RtfWord::Skip},
    {"footnote", RtfWord::Skip},
    {"froman", RtfWord::FamilyRoman},
    {"fs", RtfWord::FontSize},
    {"fscript", RtfWord::FamilyScript},
    {"fswiss", RtfWord::FamilySwiss},
    {"ftech", RtfWord::FamilyTechnical},
    {"green", RtfWord::Green},
    {"header", RtfWord::Skip},
    {"headerf", RtfWord::Skip},
    {"headerl", RtfWord::Skip},
    {"headerr", RtfWord::Skip},
    {"i", RtfWord::Italic},
    {"info", RtfWord::Skip},
    {"ldblquote", RtfWord::Character, 0x201C},
    {"li", RtfWord::LeftIndent},
    {"line", RtfWord::Line},
    {"listoverridetable", RtfWord::Skip},
    {"listtable", RtfWord::Skip},
    {"lquote", RtfWord::Character, 0x2018},
    {"object", RtfWord::Skip},
    {"page", RtfWord::Par},
    {"par", RtfWord::Par},
    {"pard", RtfWord::Pard},
    {"pict", RtfWord::Skip},
    {"plain", RtfWord::Plain},
    {"qc", RtfWord::AlignCentre},
    {"qj", RtfWord::AlignJustified},
    {"ql", RtfWord::AlignLeft},
    {"qr", RtfWord::AlignRight},
    {"rdblquote", RtfWord::Character, 0x201D},
    {"red", RtfWord::Red},
    {"revtbl", RtfWord::Skip},
    {"row", RtfWord::Par},
    {"rquote", RtfWord::Character, 0x2019},
    {"rsidtbl", RtfWord::Skip},
    {"sa", RtfWord::SpaceAfter},
    {"sb", RtfWord::SpaceBefore},
    {"sect", RtfWord::Par},
    {"stylesheet", RtfWord::Skip},
    {"tab", RtfWord::Tab},
    {"themedata", RtfWord::Skip},
    {"tx", RtfWord::TabStop},
    {"u", RtfWord::Unicode},
    {"uc", RtfWord::UnicodeSkip},
    {"ul", RtfWord::Underline},
    {"ulnone", RtfWord::UnderlineNone},
    {"xe", RtfWord::Skip},
});

static_assert(std::ranges::is_sorted(kWords, {}, &Entry::name));

} // namespace

RtfWordInfo LookUpRtfWord(std::string_view name)
{
    const auto found = std::ranges::lower_bound(kWords, name, {}, &Entry::name);
    if (found == kWords.end() || found->name != name)
        return {};
    return {found->word, found->character};
}

} // namespace kelvo
