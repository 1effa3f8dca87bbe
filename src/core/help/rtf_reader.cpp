#include "core/help/rtf_reader.h"

#include "core/help/rtf_lexer.h"
#include "core/help/rtf_tables.h"
#include "core/help/rtf_text.h"
#include "core/help/rtf_words.h"

#include <algorithm>
#include <utility>

namespace kelvo {
namespace {

// Limits that keep damaged input harmless; real documents stay far below them.
constexpr std::size_t kMaxDepth = 128;
constexpr int kMaxLength = 31680; // twips: 22 inches, wider than any page
constexpr int kMaxHalfPoints = 1000;
constexpr int kMaxUnicodeSkip = 16;
constexpr std::size_t kMaxTabStops = 32;

enum class Destination { Text, FontTable, ColourTable, Skip };

struct CharacterState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 0;
    int fontNumber = -1; // -1: the document's default font (\deff)
    int colourIndex = 0;
};

struct ParagraphState {
    RtfAlignment alignment = RtfAlignment::Left;
    int leftIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    std::vector<int> tabStops;
};

// What a group saves and its closing brace restores.
struct GroupState {
    CharacterState characters;
    ParagraphState paragraph;
    Destination destination = Destination::Text;
    int unicodeSkip = 1;
};

bool On(std::optional<int> parameter)
{
    return !parameter || *parameter != 0;
}

int Length(std::optional<int> parameter)
{
    return std::clamp(parameter.value_or(0), -kMaxLength, kMaxLength);
}

class Parser {
public:
    explicit Parser(RtfLexer lexer)
        : m_lexer(lexer)
    {
        m_states.reserve(kMaxDepth + 2);
        m_states.emplace_back();
    }

    RtfDocument run();

private:
    GroupState& state() { return m_states.back(); }
    void openGroup();
    bool closeGroup();
    void word(std::string_view name, std::optional<int> parameter);
    void textWord(const RtfWordInfo& info, std::optional<int> parameter);
    void symbol(char c);
    void textByte(unsigned char byte);
    void character(char32_t c);
    bool ignored();
    void put(char32_t c);
    void flushSurrogate();
    void append(char32_t c);
    void finishParagraph();
    bool full() const
    {
        return m_document.paragraphs.size() >= kRtfMaxParagraphs || m_runs > kRtfMaxRuns || m_textBytes >= kRtfMaxTextBytes;
    }
    RtfStyle style() const;

    RtfLexer m_lexer;
    std::vector<GroupState> m_states;
    std::size_t m_overflow = 0; // groups opened past the depth cap, all ignored
    int m_fallbackLeft = 0;     // characters after \uN that stand in for it
    char32_t m_highSurrogate = 0;
    bool m_star = false;
    int m_defaultFont = -1;
    RtfTables m_tables;
    RtfDocument m_document;
    RtfParagraph m_paragraph;
    std::size_t m_runs = 0;      // in the document and the paragraph being read
    std::size_t m_textBytes = 0; // likewise
};

RtfDocument Parser::run()
{
    for (RtfToken token = m_lexer.next(); token.kind != RtfToken::Kind::End && !full(); token = m_lexer.next()) {
        if (token.kind == RtfToken::Kind::GroupClose && !closeGroup())
            break;
        switch (token.kind) {
        case RtfToken::Kind::GroupOpen: openGroup(); break;
        case RtfToken::Kind::Word: word(token.word, token.parameter); break;
        case RtfToken::Kind::Symbol: symbol(token.symbol); break;
        case RtfToken::Kind::HexByte: character(Windows1252(token.byte)); break;
        case RtfToken::Kind::Text: textByte(token.byte); break;
        default: break;
        }
    }
    flushSurrogate();
    if (!m_paragraph.runs.empty() && m_document.paragraphs.size() < kRtfMaxParagraphs)
        finishParagraph();
    m_document.fonts = m_tables.takeFonts();
    return std::move(m_document);
}

void Parser::openGroup()
{
    m_star = false;
    m_fallbackLeft = 0;
    if (m_overflow > 0 || m_states.size() > kMaxDepth) {
        ++m_overflow;
        return;
    }
    const GroupState copy = state();
    m_states.push_back(copy);
}

// False when the outermost group closed: the document ends there.
bool Parser::closeGroup()
{
    m_star = false;
    m_fallbackLeft = 0;
    if (m_overflow > 0) {
        --m_overflow;
        return true;
    }
    if (state().destination == Destination::FontTable)
        m_tables.endFont();
    if (m_states.size() <= 2)
        return false;
    m_states.pop_back();
    return true;
}

// True when the token just read is not acted on: inside groups past the depth cap, in a
// skipped destination, or as one of the fallback characters that follow \uN.
bool Parser::ignored()
{
    if (m_overflow > 0 || state().destination == Destination::Skip)
        return true;
    if (m_fallbackLeft > 0) {
        --m_fallbackLeft;
        return true;
    }
    return false;
}

void Parser::word(std::string_view name, std::optional<int> parameter)
{
    const bool star = std::exchange(m_star, false);
    const RtfWordInfo info = LookUpRtfWord(name);
    if (info.word == RtfWord::Binary) {
        // Raw bytes follow; they may hold braces and backslashes.
        m_lexer.skip(static_cast<std::size_t>(std::max(parameter.value_or(0), 0)));
        return;
    }
    if (ignored())
        return;
    if (star) {
        state().destination = Destination::Skip;
        return;
    }
    switch (info.word) {
    case RtfWord::FontTable: state().destination = Destination::FontTable; return;
    case RtfWord::ColourTable: state().destination = Destination::ColourTable; return;
    case RtfWord::Skip: state().destination = Destination::Skip; return;
    case RtfWord::UnicodeSkip: state().unicodeSkip = std::clamp(parameter.value_or(1), 0, kMaxUnicodeSkip); return;
    case RtfWord::Unicode:
        if (parameter) {
            const int value = *parameter < 0 ? *parameter + 65536 : *parameter;
            put(value >= 0 && value <= 0xFFFF ? static_cast<char32_t>(value) : kReplacementCharacter);
            m_fallbackLeft = state().unicodeSkip;
        }
        return;
    default: break;
    }
    if (state().destination == Destination::Text)
        textWord(info, parameter);
    else
        m_tables.word(info.word, parameter);
}

void Parser::textWord(const RtfWordInfo& info, std::optional<int> parameter)
{
    CharacterState& characters = state().characters;
    ParagraphState& paragraph = state().paragraph;
    switch (info.word) {
    case RtfWord::Bold: characters.bold = On(parameter); break;
    case RtfWord::Italic: characters.italic = On(parameter); break;
    case RtfWord::Underline: characters.underline = On(parameter); break;
    case RtfWord::UnderlineNone: characters.underline = false; break;
    case RtfWord::FontSize: characters.halfPoints = std::clamp(parameter.value_or(24), 0, kMaxHalfPoints); break;
    case RtfWord::Font: characters.fontNumber = std::max(parameter.value_or(0), -1); break;
    case RtfWord::Colour: characters.colourIndex = std::max(parameter.value_or(0), 0); break;
    case RtfWord::Plain: characters = CharacterState{}; break;
    case RtfWord::DefaultFont: m_defaultFont = std::max(parameter.value_or(0), -1); break;
    case RtfWord::Pard: paragraph = ParagraphState{}; break;
    case RtfWord::Par: finishParagraph(); break;
    case RtfWord::Line: put(0x2028); break;
    case RtfWord::Tab: put('\t'); break;
    case RtfWord::Character: put(info.character); break;
    case RtfWord::LeftIndent: paragraph.leftIndent = Length(parameter); break;
    case RtfWord::FirstIndent: paragraph.firstIndent = Length(parameter); break;
    case RtfWord::SpaceBefore: paragraph.spaceBefore = std::max(Length(parameter), 0); break;
    case RtfWord::SpaceAfter: paragraph.spaceAfter = std::max(Length(parameter), 0); break;
    case RtfWord::TabStop:
        if (paragraph.tabStops.size() < kMaxTabStops) {
            const int position = std::max(Length(parameter), 0);
            paragraph.tabStops.insert(std::ranges::upper_bound(paragraph.tabStops, position), position);
        }
        break;
    case RtfWord::AlignLeft: paragraph.alignment = RtfAlignment::Left; break;
    case RtfWord::AlignCentre: paragraph.alignment = RtfAlignment::Centre; break;
    case RtfWord::AlignRight: paragraph.alignment = RtfAlignment::Right; break;
    case RtfWord::AlignJustified: paragraph.alignment = RtfAlignment::Justified; break;
    default: break;
    }
}

void Parser::symbol(char c)
{
    switch (c) {
    case '*': m_star = true; return;
    case '\r':
    case '\n': word("par", std::nullopt); return;
    case '\\':
    case '{':
    case '}': character(static_cast<unsigned char>(c)); return;
    case '~': character(0x00A0); return;
    case '_': character(0x2011); return;
    default:
        // \- (optional hyphen), \|, a cut \' and the rest show nothing.
        m_star = false;
        ignored();
        return;
    }
}

void Parser::textByte(unsigned char byte)
{
    if (byte == '\r' || byte == '\n')
        return;
    const Destination destination = state().destination;
    if (byte != ';' || (destination != Destination::FontTable && destination != Destination::ColourTable)) {
        character(Windows1252(byte));
        return;
    }
    m_star = false;
    if (ignored())
        return;
    if (destination == Destination::FontTable)
        m_tables.endFont();
    else
        m_tables.endColour();
}

void Parser::character(char32_t c)
{
    m_star = false;
    if (!ignored())
        put(c);
}

// A character for the current destination; joins a \uN surrogate pair into one.
void Parser::put(char32_t c)
{
    if (m_highSurrogate != 0 && c >= 0xDC00 && c <= 0xDFFF) {
        append(0x10000 + ((std::exchange(m_highSurrogate, 0) - 0xD800) << 10) + (c - 0xDC00));
        return;
    }
    flushSurrogate();
    if (c >= 0xD800 && c <= 0xDBFF)
        m_highSurrogate = c;
    else
        append(c);
}

// A high surrogate that no low one followed.
void Parser::flushSurrogate()
{
    if (std::exchange(m_highSurrogate, 0) != 0)
        append(kReplacementCharacter);
}

void Parser::append(char32_t c)
{
    if (c < 0x20 && c != '\t')
        return;
    if (state().destination == Destination::FontTable) {
        m_tables.fontCharacter(c);
        return;
    }
    if (state().destination != Destination::Text)
        return;
    const RtfStyle current = style();
    if (m_paragraph.runs.empty() || !(m_paragraph.runs.back().style == current)) {
        if (++m_runs > kRtfMaxRuns)
            return;
        m_paragraph.runs.push_back({{}, current});
    }
    std::string& text = m_paragraph.runs.back().text;
    const std::size_t before = text.size();
    AppendUtf8(text, c);
    m_textBytes += text.size() - before;
}

void Parser::finishParagraph()
{
    flushSurrogate();
    const ParagraphState& properties = state().paragraph;
    m_paragraph.alignment = properties.alignment;
    m_paragraph.leftIndent = properties.leftIndent;
    m_paragraph.firstIndent = properties.firstIndent;
    m_paragraph.spaceBefore = properties.spaceBefore;
    m_paragraph.spaceAfter = properties.spaceAfter;
    m_paragraph.tabStops = properties.tabStops;
    m_document.paragraphs.push_back(std::move(m_paragraph));
    m_paragraph = RtfParagraph{};
}

RtfStyle Parser::style() const
{
    const CharacterState& characters = m_states.back().characters;
    const int number = characters.fontNumber >= 0 ? characters.fontNumber : m_defaultFont;
    return {.bold = characters.bold,
            .italic = characters.italic,
            .underline = characters.underline,
            .halfPoints = characters.halfPoints,
            .font = number >= 0 ? m_tables.fontIndex(number) : -1,
            .colour = m_tables.colour(characters.colourIndex)};
}

} // namespace

std::optional<RtfDocument> ReadRtf(std::string_view bytes)
{
    const auto start = bytes.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || bytes.substr(start, 5) != "{\\rtf")
        return std::nullopt;
    return Parser(RtfLexer(bytes, start)).run();
}

} // namespace kelvo
