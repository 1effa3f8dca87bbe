#pragma once

#include "core/help/rtf_reader.h"
#include "core/help/rtf_words.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kelvo {

// The font and colour tables of an RTF document, read entry by entry; each holds at
// most 1024 entries.
class RtfTables {
public:
    // A control word inside either table: \f and the family words, \red \green \blue.
    void word(RtfWord word, std::optional<int> parameter);
    // A character of the font name being read.
    void fontCharacter(char32_t c);
    // The end of a font entry (';' or the close of its group); nothing when none is open.
    void endFont();
    // The end of a colour entry (';'); an entry without components is the automatic colour.
    void endColour();

    // The index into the fonts of RTF font `number`; -1 when there is no such font.
    int fontIndex(int number) const;
    // Colour `index` of the table; nothing for 0, an automatic entry or one past the end.
    std::optional<RtfColour> colour(int index) const;
    std::vector<RtfFont> takeFonts() { return std::move(m_fonts); }

private:
    std::vector<RtfFont> m_fonts;
    std::map<int, int> m_fontIndex;
    std::vector<std::optional<RtfColour>> m_colours;
    int m_fontNumber = 0;
    RtfFontFamily m_fontFamily = RtfFontFamily::Unknown;
    std::string m_fontName;
    bool m_fontOpen = false;
    RtfColour m_colour;
    bool m_colourSet = false;
};

} // namespace kelvo
