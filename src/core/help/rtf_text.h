#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvo {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The character of a Windows-1252 byte; the five unassigned bytes give U+FFFD.
char32_t Windows1252(unsigned char byte);

// Appends a code point as UTF-8; a surrogate or a value past U+10FFFF appends U+FFFD.
void AppendUtf8(std::string& text, char32_t codePoint);

// The code point whose UTF-8 sequence starts at `at` (before the end), and that sequence's
// length; a byte that starts none stands for itself.
char32_t DecodeUtf8(std::string_view text, std::size_t at, std::size_t& length);

} // namespace kelvo
