#include "core/settings/list_text.h"

#include "core/settings/text_rules.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace kelvo {
namespace {

// A token's value rounded to single precision as the files read one (blanks around it
// allowed); nothing for an empty or unreadable token, or one beyond single precision.
std::optional<double> SingleValue(std::string_view token)
{
    const auto first = token.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::nullopt;
    const auto value = ParseSingle(token.substr(first, token.find_last_not_of(" \t") - first + 1));
    if (!value)
        return std::nullopt;
    return static_cast<double>(*value);
}

std::size_t ListLimit(std::int64_t count)
{
    return static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, kListEntries - 1));
}

} // namespace

std::vector<std::string> ListTokens(std::string_view text, std::size_t limit)
{
    std::vector<std::string> tokens;
    std::string current;
    for (std::size_t i = 0; i < text.size() && tokens.size() < limit; ++i) {
        const char c = text[i];
        if (c == ',' || c == '\r' || c == '\n') {
            // CR LF ends one token, not two.
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            tokens.push_back(std::move(current));
            current.clear();
        } else if (c != '"' && c != '\'') {
            current += c;
        }
    }
    return tokens;
}

void StoreStepTable(SignalSettings& s, std::string_view text)
{
    std::fill(s.UserStepFreq.begin() + 1, s.UserStepFreq.end(), 0.0);
    std::fill(s.UserStepPeriod.begin() + 1, s.UserStepPeriod.end(), 0.0);
    const std::vector<std::string> tokens = ListTokens(text, kMaxStepTokens);
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        const std::size_t entry = t / 2 + 1;
        const auto value = SingleValue(tokens[t]);
        if (!value)
            continue;
        if (t % 2 == 0)
            s.UserStepFreq[entry] = *value;
        else
            s.UserStepPeriod[entry] = *value <= 0 ? 1 : *value;
    }
    s.UserStepCount = s.SweepSteps;
}

void StoreMultitoneText(SignalSettings& s, std::string_view text)
{
    std::fill(s.MultiFreq.begin() + 1, s.MultiFreq.end(), 0.0);
    const std::vector<std::string> tokens = ListTokens(text);
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        if (const auto value = SingleValue(tokens[t]))
            s.MultiFreq[t + 1] = *value;
    }
}

std::optional<std::int16_t> ListCountFromText(std::string_view text)
{
    std::string packed(text);
    std::erase_if(packed, [](char c) { return c == ' ' || c == '\t' || c == '\n'; });
    const NumberScan scan = ScanNumber(packed);
    if (scan.length == 0)
        return std::nullopt;
    return static_cast<std::int16_t>(std::nearbyint(std::fmin(std::fmax(scan.value, 0.0), double{kListMax})));
}

std::string StepTableText(const SignalSettings& s, std::int64_t count)
{
    std::string text;
    for (std::size_t i = 1; i <= ListLimit(count); ++i)
        text += FormatNumber(s.UserStepFreq[i]) + " , " + FormatNumber(s.UserStepPeriod[i]) + "\r\n";
    return text;
}

std::string MultitoneText(const SignalSettings& s)
{
    std::string text;
    for (std::size_t i = 1; i <= ListLimit(s.MultiCount); ++i)
        text += FormatNumber(s.MultiFreq[i]) + "\r\n";
    return text;
}

} // namespace kelvo
