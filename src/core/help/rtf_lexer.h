#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace kelvo {

// One piece of RTF: a brace, a control word with its parameter, a control symbol, a
// \'hh byte or a byte of text.
struct RtfToken {
    enum class Kind { End, GroupOpen, GroupClose, Word, Symbol, HexByte, Text };
    Kind kind = Kind::End;
    std::string_view word;        // Word: its name; empty when too long to be a word
    std::optional<int> parameter; // Word: its number, clamped into int
    char symbol = 0;              // Symbol: the character after the backslash
    unsigned char byte = 0;       // HexByte, Text
};

// Splits RTF into tokens, each in constant time per byte; never reads past the end.
class RtfLexer {
public:
    RtfLexer(std::string_view bytes, std::size_t start);

    RtfToken next();
    // Passes over the raw bytes that follow \binN.
    void skip(std::size_t count);

private:
    RtfToken control();
    std::optional<int> parameter();

    std::string_view m_in;
    std::size_t m_pos;
};

} // namespace kelvo
