#include "core/help/rtf_lexer.h"

#include <algorithm>
#include <climits>

namespace kelvo {
namespace {

constexpr std::size_t kMaxWordLength = 32;

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

RtfToken Token(RtfToken::Kind kind, unsigned char byte = 0)
{
    RtfToken token;
    token.kind = kind;
    token.byte = byte;
    return token;
}

RtfToken Symbol(char symbol)
{
    RtfToken token;
    token.kind = RtfToken::Kind::Symbol;
    token.symbol = symbol;
    return token;
}

} // namespace

RtfLexer::RtfLexer(std::string_view bytes, std::size_t start)
    : m_in(bytes)
    , m_pos(std::min(start, bytes.size()))
{
}

RtfToken RtfLexer::next()
{
    if (m_pos >= m_in.size())
        return {};
    const char c = m_in[m_pos++];
    switch (c) {
    case '{': return Token(RtfToken::Kind::GroupOpen);
    case '}': return Token(RtfToken::Kind::GroupClose);
    case '\\': return control();
    default: return Token(RtfToken::Kind::Text, static_cast<unsigned char>(c));
    }
}

void RtfLexer::skip(std::size_t count)
{
    m_pos += std::min(count, m_in.size() - m_pos);
}

// After a backslash.
RtfToken RtfLexer::control()
{
    if (m_pos >= m_in.size())
        return {};
    const char first = m_in[m_pos++];
    if (first == '\'') {
        // A cut escape gives a bare symbol; its one hex digit goes with it.
        const int high = m_pos < m_in.size() ? HexValue(m_in[m_pos]) : -1;
        const int low = high >= 0 && m_pos + 1 < m_in.size() ? HexValue(m_in[m_pos + 1]) : -1;
        m_pos += (high >= 0 ? 1 : 0) + (low >= 0 ? 1 : 0);
        if (low < 0)
            return Symbol(first);
        return Token(RtfToken::Kind::HexByte, static_cast<unsigned char>(high * 16 + low));
    }
    if (!IsLetter(first))
        return Symbol(first);
    const std::size_t start = m_pos - 1;
    while (m_pos < m_in.size() && IsLetter(m_in[m_pos]))
        ++m_pos;
    RtfToken token = Token(RtfToken::Kind::Word);
    token.word = m_in.substr(start, m_pos - start);
    if (token.word.size() > kMaxWordLength)
        token.word = {};
    token.parameter = parameter();
    if (m_pos < m_in.size() && m_in[m_pos] == ' ')
        ++m_pos;
    return token;
}

// The optional signed number after a control word, clamped into int.
std::optional<int> RtfLexer::parameter()
{
    std::size_t p = m_pos;
    const bool negative = p < m_in.size() && m_in[p] == '-';
    if (negative)
        ++p;
    if (p >= m_in.size() || !IsDigit(m_in[p]))
        return std::nullopt;
    long long value = 0;
    for (; p < m_in.size() && IsDigit(m_in[p]); ++p) {
        if (value <= INT_MAX)
            value = value * 10 + (m_in[p] - '0');
    }
    m_pos = p;
    const int magnitude = static_cast<int>(std::min<long long>(value, INT_MAX));
    return negative ? -magnitude : magnitude;
}

} // namespace kelvo
