#include "core/settings/text_file.h"

#include "core/runtime/quoted.h"
#include "core/runtime/regular_file.h"
#include "core/settings/signal_settings.h"
#include "core/settings/text_rules.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelvo {
namespace {

constexpr std::size_t kLineCap = 64 * 1024;
// How much of a value that cannot be read a message quotes.
constexpr std::size_t kQuoteCap = 40;

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// A line may run to kLineCap bytes; a message quotes only the start of its value.
std::string QuotedClipped(std::string_view text)
{
    if (text.size() > kQuoteCap)
        return Quoted(std::string(text.substr(0, kQuoteCap)) + "...");
    return Quoted(text);
}

} // namespace

std::string QuotedTextRefusal(std::string_view text)
{
    if (text.find('"') != std::string_view::npos)
        return "holds a double quote";
    if (text.find_first_of("\r\n") != std::string_view::npos)
        return "holds a line break";
    if (text.size() > kTextFieldLimit)
        return "is longer than " + std::to_string(kTextFieldLimit) + " bytes";
    return {};
}

template <typename Int> std::optional<Int> FitInteger(double value)
{
    // Both bounds are powers of two and so exact in double, whatever the width of Int.
    constexpr double lowest = static_cast<double>(std::numeric_limits<Int>::min());
    constexpr double beyond = -lowest;
    const double rounded = std::nearbyint(value);
    if (!(rounded >= lowest && rounded < beyond))
        return std::nullopt;
    return static_cast<Int>(rounded);
}

template std::optional<std::int16_t> FitInteger<std::int16_t>(double);
template std::optional<std::int32_t> FitInteger<std::int32_t>(double);

TextFieldReader::TextFieldReader(const std::filesystem::path& path)
{
    auto file = ReadRegularFile(path, kTextFileLimit);
    if (file.tooLarge)
        file.problem = "is larger than any settings file Kelvo writes (" + std::to_string(file.size) + " bytes)";
    m_open = file.problem.empty();
    m_contents = std::move(file.bytes);
    if (!file.missing)
        m_problem = std::move(file.problem);
}

void TextFieldReader::damaged(std::string_view what)
{
    if (m_problem.empty())
        m_problem = "is damaged (line " + std::to_string(m_lineNumber) + ": " + std::string(what) + ")";
}

void TextFieldReader::damagedValue(std::string_view text, std::string_view what)
{
    damaged(QuotedClipped(text) + " " + std::string(what));
}

bool TextFieldReader::readLine()
{
    if (!m_open || m_next >= m_contents.size())
        return false;
    const auto end = std::min(m_contents.find_first_of("\r\n", m_next), m_contents.size());
    m_lineCut = end - m_next > kLineCap;
    m_line.assign(m_contents, m_next, std::min(end - m_next, kLineCap));
    const bool crlf = end + 1 < m_contents.size() && m_contents[end] == '\r' && m_contents[end + 1] == '\n';
    m_next = std::min(end + (crlf ? 2 : 1), m_contents.size());
    ++m_lineNumber;
    return true;
}

std::optional<TextFieldReader::Field> TextFieldReader::nextField()
{
    if (!m_open)
        return std::nullopt;
    if (m_pos == std::string::npos) {
        if (!readLine()) {
            if (m_problem.empty())
                m_problem = m_lineNumber == 0 ? "is damaged (it is empty)"
                                              : "is damaged (it ends after line " + std::to_string(m_lineNumber) + ")";
            return std::nullopt;
        }
        m_pos = 0;
    }
    std::string_view rest = std::string_view(m_line).substr(m_pos);
    const auto start = rest.find_first_not_of(" \t");
    rest = start == std::string_view::npos ? std::string_view{} : rest.substr(start);

    Field field;
    field.whole = !m_lineCut;
    std::size_t consumed = 0;
    if (!rest.empty() && rest.front() == '"') {
        const auto close = rest.find('"', 1);
        field.text = std::string(rest.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        consumed = close == std::string_view::npos ? rest.size() : close + 1;
        const auto after = rest.find_first_not_of(" \t", consumed);
        if (after != std::string_view::npos && rest[after] != ',') {
            // A double quote inside the text ended it early: the rest of the line is no field.
            field.whole = false;
            consumed = rest.size();
        } else {
            consumed = after == std::string_view::npos ? rest.size() : after;
        }
    } else {
        const auto comma = rest.find(',');
        consumed = comma == std::string_view::npos ? rest.size() : comma;
        field.text = std::string(Trim(rest.substr(0, consumed)));
    }
    if (consumed < rest.size()) // a comma follows: the next field is on this line
        m_pos = m_line.size() - rest.size() + consumed + 1;
    else
        m_pos = std::string::npos;
    return field;
}

std::optional<std::string> TextFieldReader::next()
{
    auto field = nextField();
    if (!field)
        return std::nullopt;
    return std::move(field->text);
}

std::optional<std::string> TextFieldReader::nextNumberText()
{
    auto field = nextField();
    if (!field)
        return std::nullopt;
    if (m_lineCut) {
        damaged("the line is longer than 64 KiB");
        return std::nullopt;
    }
    const std::string_view text = Trim(field->text);
    const NumberScan scan = ScanNumber(text);
    if (scan.length == 0 || scan.length != text.size()) {
        damagedValue(text, "is not a number");
        return std::nullopt;
    }
    if (!std::isfinite(scan.value)) {
        damagedValue(text, "is not a finite number");
        return std::nullopt;
    }
    return std::string(text);
}

template <typename Int> bool TextFieldReader::readInteger(Int& target)
{
    const auto text = nextNumberText();
    if (!text)
        return false;
    const auto fitted = FitInteger<Int>(ScanNumber(*text).value);
    if (!fitted) {
        damagedValue(*text, "is outside " + std::to_string(std::numeric_limits<Int>::min()) + " to " +
                                std::to_string(std::numeric_limits<Int>::max()));
        return false;
    }
    target = *fitted;
    return true;
}

bool TextFieldReader::read(std::int32_t& target)
{
    return readInteger(target);
}

bool TextFieldReader::read(std::int16_t& target)
{
    return readInteger(target);
}

bool TextFieldReader::read(float& target)
{
    const auto text = nextNumberText();
    if (!text)
        return false;
    const auto value = ParseSingle(*text);
    if (!value) {
        damagedValue(*text, "is beyond the single-precision range");
        return false;
    }
    target = *value;
    return true;
}

bool TextFieldReader::read(double& target)
{
    const auto text = nextNumberText();
    if (text)
        target = ScanNumber(*text).value;
    return text.has_value();
}

bool TextFieldReader::read(std::string& target)
{
    auto field = nextField();
    if (!field)
        return false;
    if (m_lineCut) {
        damaged("the line is longer than 64 KiB");
        return false;
    }
    const std::string refusal = field->whole ? QuotedTextRefusal(field->text) : "holds a double quote";
    if (!refusal.empty()) {
        damaged("the text " + refusal + ", which the file cannot hold");
        return false;
    }
    target = std::move(field->text);
    return true;
}

template <typename Int> bool TextFieldReader::readCount(Int& target)
{
    const auto text = nextNumberText();
    if (!text)
        return false;
    const double count = ScanNumber(*text).value;
    const double limited = std::fmin(std::fmax(count, 0.0), double{kListMax});
    if (limited != count)
        damagedValue(*text, "is a count outside 0 to " + std::to_string(kListMax));
    target = static_cast<Int>(std::nearbyint(limited));
    return true;
}

template bool TextFieldReader::readCount<std::int16_t>(std::int16_t&);
template bool TextFieldReader::readCount<std::int32_t>(std::int32_t&);

void TextFileBuilder::line(std::string_view content)
{
    m_text += content;
    m_text += "\r\n";
    ++m_lines;
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

void TextFileBuilder::add(std::string_view text)
{
    const std::string refusal = QuotedTextRefusal(text);
    if (!refusal.empty() && m_problem.empty())
        m_problem = "line " + std::to_string(m_lines + 1) + " is written empty: its text " + refusal;
    line(refusal.empty() ? "\"" + std::string(text) + "\"" : "\"\"");
}

} // namespace kelvo
