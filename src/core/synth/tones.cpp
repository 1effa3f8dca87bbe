#include "core/synth/generators.h"

#include "core/synth/channel_factors.h"
#include "core/synth/parallel_frames.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <type_traits>
#include <utility>

namespace kelvo {
namespace {

// One channel of the two-tone signal: the weaker second tone plus the first, then the gain.
double TwoToneValue(double tone2Scale, double cos2, double tone1Scale, double cos1, double gain)
{
    return (tone2Scale * cos2 + tone1Scale * cos1) * gain;
}

// Adds `term` to a running sum held as a 16-bit element would hold it: rounded and saturated,
// and left unchanged by a NaN.
int AddToElement(int element, double term)
{
    const double value = element + term;
    if (std::isnan(value))
        return element;
    return RoundHalfEven(std::clamp(value, -32768.0, 32767.0));
}

} // namespace

template <typename Context> void RenderTwoTone(Context& c)
{
    const SignalSettings& s = c.settings;
    const SynthState& st = c.state;
    const double omega = 2 * c.Pi * s.ToneFreq1 / c.sampleRate;
    const double toneOmega2 = 2 * c.Pi * s.ToneFreq2 / c.sampleRate;
    const double g2 = Amplitude(-s.ToneAmp2);
    // Left prefixes of the written products, exact to hoist.
    const double tone2L = g2 * st.AmpL * 0.495 * 32767;
    const double tone1L = st.AmpL * 0.495 * 32767;
    const double tone2R = g2 * st.AmpR * 0.495 * 32767;
    const double tone1R = st.AmpR * 0.495 * 32767;
    const bool sameArgument = st.OffsetL == st.OffsetR;
    // Both channels' values at time index t. The first tone of both runs at the left offset.
    const auto valuesAt = [&](double t) {
        const double cos1 = std::cos((t + st.OffsetL) * omega);
        const double cos2L = std::cos((t + st.OffsetL) * toneOmega2);
        const double cos2R = sameArgument ? cos2L : std::cos((t + st.OffsetR) * toneOmega2);
        return std::pair{TwoToneValue(tone2L, cos2L, tone1L, cos1, st.GainL),
                         TwoToneValue(tone2R, cos2R, tone1R, cos1, st.GainR)};
    };
    ForEachFrameRange(c.frames, [&](FrameIndex begin, FrameIndex end) {
        for (FrameIndex n = begin; n < end; ++n) {
            const auto [left, right] = valuesAt(static_cast<double>(n + 1));
            StoreSample(c.left(n), left);
            StoreSample(c.right(n), right);
        }
    });
    const auto [closingLeft, closingRight] = valuesAt(static_cast<double>(c.frames + 2));
    c.storeClosingPair(closingLeft, closingRight);
}

template <typename Context> void RenderMultitone(Context& c)
{
    const SignalSettings& s = c.settings;
    const SynthState& st = c.state;
    // The list holds at most kListMax frequencies; a count beyond it is taken as kListMax,
    // for the level sharing too, and a count of none renders silence.
    const int K = std::min<int>(s.MultiCount, kListMax);
    if (K <= 0)
        return;
    std::array<double, kListEntries> multiOmega{};
    for (std::size_t j = 1; j <= static_cast<std::size_t>(K); ++j)
        multiOmega[j] = 2 * c.Pi * s.MultiFreq[j] / c.sampleRate;
    const double ampL = st.AmpL * 32767 / (2 * K);
    const double ampR = st.AmpR * 32767 / (2 * K);
    // GainL * AmpL is the left prefix of each written term.
    const double weightL = st.GainL * ampL;
    const double weightR = st.GainR * ampR;
    const bool sameArgument = st.OffsetL == st.OffsetR;
    ForEachFrameRange(c.frames, [&](FrameIndex begin, FrameIndex end) {
        for (FrameIndex n = begin; n < end; ++n) {
            const double t = static_cast<double>(n + 1);
            if constexpr (std::is_same_v<typename Context::Element, FineSample>) {
                double sumL = 0;
                double sumR = 0;
                for (int j = 1; j <= K; ++j) {
                    const double w = multiOmega[static_cast<std::size_t>(j)];
                    sumL += weightL * std::sin((t + st.OffsetL) * w);
                    sumR += weightR * std::sin((t + st.OffsetR) * w);
                }
                StoreSample(c.left(n), sumL);
                StoreSample(c.right(n), sumR);
                continue;
            }
            // Every partial sum is rounded as the element holding it would round it.
            int sumL = 0;
            int sumR = 0;
            for (int j = 1; j <= K; ++j) {
                const double w = multiOmega[static_cast<std::size_t>(j)];
                const double sinL = std::sin((t + st.OffsetL) * w);
                const double sinR = sameArgument ? sinL : std::sin((t + st.OffsetR) * w);
                sumL = AddToElement(sumL, weightL * sinL);
                sumR = AddToElement(sumR, weightR * sinR);
            }
            if (sumL == -32768)
                sumL = sumR = -32767;
            c.left(n) = static_cast<Sample>(sumL);
            c.right(n) = static_cast<Sample>(sumR);
        }
    });
}

KELVO_GENERATOR(RenderTwoTone);
KELVO_GENERATOR(RenderMultitone);

} // namespace kelvo
