#include "core/help/rtf_tables.h"

#include "core/help/rtf_text.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>

namespace kelvo {
namespace {

constexpr std::size_t kMaxTableEntries = 1024;
constexpr std::size_t kMaxFontNameBytes = 256;

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

void RtfTables::word(RtfWord word, std::optional<int> parameter)
{
    const auto component = static_cast<std::uint8_t>(std::clamp(parameter.value_or(0), 0, 255));
    switch (word) {
    case RtfWord::Font:
        m_fontNumber = parameter.value_or(0);
        m_fontOpen = true;
        break;
    case RtfWord::FamilyRoman: m_fontFamily = RtfFontFamily::Roman; break;
    case RtfWord::FamilySwiss: m_fontFamily = RtfFontFamily::Swiss; break;
    case RtfWord::FamilyModern: m_fontFamily = RtfFontFamily::Modern; break;
    case RtfWord::FamilyScript: m_fontFamily = RtfFontFamily::Script; break;
    case RtfWord::FamilyDecorative: m_fontFamily = RtfFontFamily::Decorative; break;
    case RtfWord::FamilyTechnical: m_fontFamily = RtfFontFamily::Technical; break;
    case RtfWord::FamilyNil: m_fontFamily = RtfFontFamily::Unknown; break;
    case RtfWord::Red:
        m_colour.red = component;
        m_colourSet = true;
        break;
    case RtfWord::Green:
        m_colour.green = component;
        m_colourSet = true;
        break;
    case RtfWord::Blue:
        m_colour.blue = component;
        m_colourSet = true;
        break;
    default: break;
    }
}

void RtfTables::fontCharacter(char32_t c)
{
    if (m_fontName.size() < kMaxFontNameBytes)
        AppendUtf8(m_fontName, c);
    m_fontOpen = true;
}

void RtfTables::endFont()
{
    if (!std::exchange(m_fontOpen, false))
        return;
    RtfFont font{std::string(Trimmed(m_fontName)), m_fontFamily};
    m_fontName.clear();
    m_fontFamily = RtfFontFamily::Unknown;
    if (const auto known = m_fontIndex.find(m_fontNumber); known != m_fontIndex.end()) {
        m_fonts[static_cast<std::size_t>(known->second)] = std::move(font);
    } else if (m_fonts.size() < kMaxTableEntries) {
        m_fontIndex.emplace(m_fontNumber, static_cast<int>(m_fonts.size()));
        m_fonts.push_back(std::move(font));
    }
}

void RtfTables::endColour()
{
    if (m_colours.size() < kMaxTableEntries)
        m_colours.push_back(m_colourSet ? std::optional(m_colour) : std::nullopt);
    m_colour = {};
    m_colourSet = false;
}

int RtfTables::fontIndex(int number) const
{
    const auto found = m_fontIndex.find(number);
    return found == m_fontIndex.end() ? -1 : found->second;
}

std::optional<RtfColour> RtfTables::colour(int index) const
{
    if (index <= 0 || static_cast<std::size_t>(index) >= m_colours.size())
        return std::nullopt;
    return m_colours[static_cast<std::size_t>(index)];
}

} // namespace kelvo
