#include "settings/text_file.h"

#include "settings/signal_settings.h"
#include "settings/text_rules.h"

#include <cmath>
#include <limits>
#include <system_error>

namespace kelvo {
namespace {

constexpr std::size_t kLineCap = 64 * 1024;

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

template <typename Int>
std::optional<Int> FitInteger(double value)
{
    if (!(value >= static_cast<double>(std::numeric_limits<Int>::min()) - 0.5 &&
          value <= static_cast<double>(std::numeric_limits<Int>::max()) + 0.5))
        return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<Int>::min() || rounded > std::numeric_limits<Int>::max())
        return std::nullopt;
    return static_cast<Int>(rounded);
}

template std::optional<std::int16_t> FitInteger<std::int16_t>(double);
template std::optional<std::int32_t> FitInteger<std::int32_t>(double);
template std::optional<std::int64_t> FitInteger<std::int64_t>(double);

TextFieldReader::TextFieldReader(const std::filesystem::path& path)
{
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error))
        m_in.open(path, std::ios::binary);
}

bool TextFieldReader::readLine()
{
    if (!m_in.is_open())
        return false;
    m_line.clear();
    bool any = false;
    for (int c = m_in.get(); c != std::char_traits<char>::eof(); c = m_in.get()) {
        any = true;
        if (c == '\n')
            return true;
        if (c == '\r') {
            if (m_in.peek() == '\n')
                m_in.get();
            return true;
        }
        if (m_line.size() < kLineCap)
            m_line += static_cast<char>(c);
    }
    return any;
}

std::optional<std::string> TextFieldReader::next()
{
    if (m_pos == std::string::npos) {
        if (!readLine())
            return std::nullopt;
        m_pos = 0;
    }
    std::string_view rest = std::string_view(m_line).substr(m_pos);
    const auto start = rest.find_first_not_of(' ');
    rest = start == std::string_view::npos ? std::string_view{} : rest.substr(start);

    std::string field;
    std::size_t consumed = 0;
    if (!rest.empty() && rest.front() == '"') {
        const auto close = rest.find('"', 1);
        field = std::string(rest.substr(1, close == std::string_view::npos ? std::string_view::npos
                                                                              : close - 1));
        consumed = close == std::string_view::npos ? rest.size() : close + 1;
        const auto comma = rest.find(',', consumed);
        consumed = comma == std::string_view::npos ? rest.size() : comma;
    } else {
        const auto comma = rest.find(',');
        consumed = comma == std::string_view::npos ? rest.size() : comma;
        field = std::string(Trim(rest.substr(0, consumed)));
    }
    if (consumed < rest.size()) // a comma follows: the next field is on this line
        m_pos = m_line.size() - rest.size() + consumed + 1;
    else
        m_pos = std::string::npos;
    return field;
}

std::optional<double> TextFieldReader::nextNumber()
{
    const auto field = next();
    if (!field)
        return std::nullopt;
    const std::string_view text = Trim(*field);
    const NumberScan scan = ScanNumber(text);
    if (scan.length == 0 || scan.length != text.size())
        return std::nullopt;
    return scan.value;
}

bool TextFieldReader::read(std::int32_t& target)
{
    const auto number = nextNumber();
    const auto fitted = number ? FitInteger<std::int32_t>(*number) : std::nullopt;
    if (fitted)
        target = *fitted;
    return fitted.has_value();
}

bool TextFieldReader::read(std::int16_t& target)
{
    const auto number = nextNumber();
    const auto fitted = number ? FitInteger<std::int16_t>(*number) : std::nullopt;
    if (fitted)
        target = *fitted;
    return fitted.has_value();
}

bool TextFieldReader::read(float& target)
{
    const auto number = nextNumber();
    if (!number || std::abs(*number) > std::numeric_limits<float>::max())
        return false;
    target = static_cast<float>(*number);
    return true;
}

bool TextFieldReader::read(double& target)
{
    const auto number = nextNumber();
    if (number)
        target = *number;
    return number.has_value();
}

bool TextFieldReader::read(std::string& target)
{
    auto field = next();
    if (field)
        target = std::move(*field);
    return field.has_value();
}

template <typename Int>
bool TextFieldReader::readCount(Int& target)
{
    const auto number = nextNumber();
    if (!number || std::isnan(*number))
        return false;
    const double limited = std::fmin(std::fmax(*number, 0.0), double{kListMax});
    target = static_cast<Int>(std::nearbyint(limited));
    return true;
}

template bool TextFieldReader::readCount<std::int16_t>(std::int16_t&);
template bool TextFieldReader::readCount<std::int32_t>(std::int32_t&);

void TextFileBuilder::line(std::string_view content)
{
    m_text += content;
    m_text += "\r\n";
}

void TextFileBuilder::add(std::int32_t value)
{
    line(FormatNumber(value));
}

void TextFileBuilder::add(std::int16_t value)
{
    line(FormatNumber(value));
}

void TextFileBuilder::add(float value)
{
    line(FormatFileNumber(value));
}

void TextFileBuilder::add(double value)
{
    line(FormatFileNumber(value));
}

void TextFileBuilder::add(std::string_view quotedText)
{
    m_text += '"';
    line(std::string(quotedText) + '"');
}

} // namespace kelvo
