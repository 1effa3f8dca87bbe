#pragma once

#include <string>

namespace kelvo {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The character of a Windows-1252 byte; the five unassigned bytes give U+FFFD.
char32_t Windows1252(unsigned char byte);

// Appends a code point as UTF-8; a surrogate or a value past U+10FFFF appends U+FFFD.
void AppendUtf8(std::string& text, char32_t codePoint);

} // namespace kelvo
