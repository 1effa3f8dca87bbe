#pragma once

#include <string_view>

namespace kelvo {

// The RTF control words the reader acts on; every other word is Unknown and ignored.
enum class RtfWord {
    Unknown,
    // Destinations
    FontTable,
    ColourTable,
    Skip,
    // Character formatting
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    FontSize,
    Font,
    Colour,
    Plain,
    // Paragraphs
    Pard,
    Par,
    Line,
    Tab,
    LeftIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    TabStop,
    AlignLeft,
    AlignCentre,
    AlignRight,
    AlignJustified,
    // Characters
    Character,
    Unicode,
    UnicodeSkip,
    Binary,
    // Font and colour tables
    DefaultFont,
    FamilyRoman,
    FamilySwiss,
    FamilyModern,
    FamilyScript,
    FamilyDecorative,
    FamilyTechnical,
    FamilyNil,
    Red,
    Green,
    Blue,
};

struct RtfWordInfo {
    RtfWord word = RtfWord::Unknown;
    char32_t character = 0; // for RtfWord::Character
};

RtfWordInfo LookUpRtfWord(std::string_view name);

} // namespace kelvo
