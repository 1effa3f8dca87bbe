#pragma once

#include "core/settings/field_registry.h"
#include "support/test_support.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>
#include <variant>

namespace kelvo::test {

// Applies blank-separated "Field=Value" or "Field[i]=Value" unchecked, to drive the generators
// past what the panel allows; as on the panel, a Freq set with no FreqR given follows into FreqR
// of its slot. Returns the first error, empty on success.
inline std::string SetUnchecked(SignalSettings& settings, std::string_view assignments)
{
    std::istringstream words{std::string(assignments)};
    for (std::string word; words >> word;) {
        const auto equals = word.find('=');
        const auto open = word.find('[');
        const std::string name = word.substr(0, std::min(equals, open));
        std::optional<std::int64_t> index;
        if (open < equals)
            index = std::stoll(word.substr(open + 1));
        const FieldInfo* info = FindField(name);
        const auto ref = info != nullptr ? info->at(settings, index) : std::nullopt;
        if (equals == std::string::npos || !ref)
            return "cannot set " + word;
        const double value = std::stod(word.substr(equals + 1));
        std::visit(
            [value](auto* target) {
                using T = std::remove_pointer_t<decltype(target)>;
                if constexpr (std::is_arithmetic_v<T>)
                    *target = static_cast<T>(std::is_integral_v<T> ? std::nearbyint(value) : value);
            },
            *ref);
        const auto slot = static_cast<std::size_t>(index.value_or(0));
        if (name == "Freq" && assignments.find("FreqR") == std::string_view::npos)
            settings.FreqR[slot] = settings.Freq[slot];
    }
    return {};
}

// Sets the assignments unchecked and renders; returns the error or refusal, empty on success.
inline std::string RenderWith(Renderer& r, std::string_view assignments)
{
    const std::string error = SetUnchecked(r.settings, assignments);
    return error.empty() ? r.render() : error;
}

// One element of the block rendered from `settings`, worked out by hand.
struct HandElement {
    std::string settings;
    std::size_t element;
    Sample value;
};
inline void ExpectHandElements(std::span<const HandElement> cases)
{
    for (const HandElement& c : cases) {
        Renderer r;
        ASSERT_EQ(RenderWith(r, c.settings), "") << c.settings;
        ASSERT_LT(c.element, r.samples().size()) << c.settings;
        EXPECT_EQ(r.samples()[c.element], c.value) << c.settings << ": element " << c.element;
    }
}

inline bool Silent(const Renderer& r)
{
    return std::ranges::count(r.samples(), 0) == r.upper() + 1;
}

// Frames [begin, end) of one channel (0 left, 1 right).
inline std::vector<double> ChannelOf(const Renderer& r, int channel, FrameIndex begin, FrameIndex end)
{
    std::vector<double> x;
    for (FrameIndex n = begin; n < end; ++n)
        x.push_back(channel == 0 ? r.left(n) : r.right(n));
    return x;
}

// Frequency in Hz from the zero crossings, the first and last placed between samples.
inline double CrossingFrequency(const std::vector<double>& x, double rate)
{
    double first = 0;
    double last = 0;
    int crossings = 0;
    for (std::size_t n = 1; n < x.size(); ++n) {
        if ((x[n - 1] < 0) == (x[n] < 0))
            continue;
        last = static_cast<double>(n - 1) + x[n - 1] / (x[n - 1] - x[n]);
        if (crossings++ == 0)
            first = last;
    }
    return crossings < 2 ? 0 : (crossings - 1) / 2.0 / (last - first) * rate;
}

// RMS level in dB relative to full scale (32767).
inline double RmsDb(const std::vector<double>& x)
{
    const double sum = std::inner_product(x.begin(), x.end(), x.begin(), 0.0);
    return 20 * std::log10(std::sqrt(sum / static_cast<double>(x.size())) / 32767);
}

} // namespace kelvo::test
