#pragma once

#include "settings/field_registry.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <optional>
#include <type_traits>
#include <variant>
#include <sstream>
#include <string_view>
#include <vector>

// Rendering from settings text, and what a user measures on the block: frequency, level, phase.
namespace kelvo::test {

// Sets "Field=Value" or "Field[i]=Value" as a settings file would: any number, no range
// check, so the generators can be driven past what the panel allows. A frequency set
// without its partner follows into FreqR of the same slot, as on the panel.
inline std::string AssignUnchecked(SignalSettings& settings, std::string_view assignment, bool& freqRGiven)
{
    const auto equals = assignment.find('=');
    std::string name(assignment.substr(0, equals));
    std::optional<std::int64_t> index;
    if (const auto open = name.find('['); open != std::string::npos) {
        index = std::stoll(name.substr(open + 1));
        name.resize(open);
    }
    const FieldInfo* info = FindField(name);
    const auto ref = info != nullptr ? info->at(settings, index) : std::nullopt;
    if (equals == std::string_view::npos || !ref)
        return "cannot set " + std::string(assignment);
    const double value = std::stod(std::string(assignment.substr(equals + 1)));
    std::visit(
        [value](auto* target) {
            using T = std::remove_pointer_t<decltype(target)>;
            if constexpr (std::is_integral_v<T>)
                *target = static_cast<T>(std::nearbyint(value));
            else if constexpr (std::is_floating_point_v<T>)
                *target = static_cast<T>(value);
        },
        *ref);
    freqRGiven = freqRGiven || name == "FreqR";
    if (name == "Freq" && !freqRGiven)
        settings.FreqR[static_cast<std::size_t>(index.value_or(0))] = settings.Freq[static_cast<std::size_t>(index.value_or(0))];
    return {};
}

// Applies blank-separated assignments unchecked; returns the first error, empty on success.
inline std::string SetUnchecked(SignalSettings& settings, std::string_view assignments)
{
    std::istringstream words{std::string(assignments)};
    bool freqRGiven = assignments.find("FreqR") != std::string_view::npos;
    for (std::string word; words >> word;) {
        if (const std::string error = AssignUnchecked(settings, word, freqRGiven); !error.empty())
            return error;
    }
    return {};
}

// Applies the assignments to the renderer's settings and renders them; returns the error
// or refusal text, empty on success.
inline std::string RenderWith(Renderer& r, std::string_view assignments)
{
    const std::string error = SetUnchecked(r.settings, assignments);
    return error.empty() ? r.render() : error;
}

// One element of the block rendered from `settings`, worked out by hand.
struct HandElement {
    std::string_view settings;
    std::size_t element;
    Sample value;
};
inline void ExpectHandElements(std::initializer_list<HandElement> cases)
{
    for (const HandElement& c : cases) {
        Renderer r;
        ASSERT_EQ(RenderWith(r, c.settings), "") << c.settings;
        ASSERT_LT(c.element, r.samples().size()) << c.settings;
        EXPECT_EQ(r.samples()[c.element], c.value) << c.settings << ": element " << c.element;
    }
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
    double sum = 0;
    for (const double v : x)
        sum += v * v;
    return 20 * std::log10(std::sqrt(sum / static_cast<double>(x.size())) / 32767);
}

} // namespace kelvo::test
