#include "core/synth/generators.h"

#include "core/synth/parallel_frames.h"
#include "core/synth/sweep_sine.h"

#include <vector>

namespace kelvo {
namespace {

// sin(W / 1000) of every frame of a warble, W climbing by 0.146 x rate and falling back to
// exactly -3140 once it reaches 3140. After a fall W retraces its values from the start, so
// one period of the sines is computed up front and reused; without a fall within the table
// the frames past it compute their own.
class WarbleTable {
public:
    WarbleTable(double rate, FrameIndex frames)
        : m_step(0.146 * rate)
    {
        constexpr FrameIndex kMaxEntries = FrameIndex{1} << 20;
        const FrameIndex limit = std::min(frames, kMaxEntries);
        double W = -3140;
        for (FrameIndex n = 0; n < limit && m_period == 0; ++n) {
            W = advance(W);
            m_values.push_back(W);
            if (W == -3140)
                m_period = n + 1;
        }
        ForEachFrameRange(static_cast<FrameIndex>(m_values.size()), [this](FrameIndex begin, FrameIndex end) {
            for (auto j = static_cast<std::size_t>(begin); j < static_cast<std::size_t>(end); ++j)
                m_values[j] = std::sin(m_values[j] / 1000);
        });
    }

    // The position W of a frame from that of the frame before.
    double advance(double W) const
    {
        W = W + m_step;
        if (W >= 3140)
            W = -3140;
        return W;
    }

    // sin(W / 1000) of frame n, whose position is W and whose table slot is `slot`.
    double value(FrameIndex slot, double W) const
    {
        return slot < static_cast<FrameIndex>(m_values.size()) ? m_values[static_cast<std::size_t>(slot)] : std::sin(W / 1000);
    }

    // The table slot of the frame after one in `slot`.
    FrameIndex next(FrameIndex slot) const { return slot + 1 == m_period ? 0 : slot + 1; }

private:
    double m_step;
    FrameIndex m_period = 0; // frames of one period, 0 while no fall was seen
    std::vector<double> m_values;
};

} // namespace

template <typename Context>
void RenderWarbleRecurrence(Context& c, double omega, double q, double rate, double timeShift, bool sweeping, double increment)
{
    struct Position {
        double W;
        FrameIndex slot;
        double omega;
    };
    const WarbleTable table(rate, c.frames);
    const SineScales scale = SweepScales(c.state);
    auto frame = [&](Position& p, FrameIndex n, auto write) {
        p.W = table.advance(p.W);
        const double wobble = table.value(p.slot, p.W);
        p.slot = table.next(p.slot);
        if constexpr (decltype(write)::value)
            StoreSinePair(c, scale, n, static_cast<double>(n) + timeShift, p.omega);
        p.omega = p.omega + p.omega / static_cast<double>(n + 1) * q * wobble;
        if (sweeping)
            p.omega = p.omega + increment;
    };
    RunSequence(c.frames, Position{-3140, 0, omega}, 0.4, frame);
}

// The warble tone always takes the 1/3-octave constants; WarbleKind only labels the setup.
template <typename Context> void RenderWarble(Context& c)
{
    const double omega = 1.3 * 2 * c.Pi * c.settings.Freq[0] / c.sampleRate;
    RenderWarbleRecurrence(c, omega, 0.165, c.settings.WarbleRate, 1, false, 0);
}

template void RenderWarbleRecurrence(RenderContext&, double, double, double, double, bool, double);
template void RenderWarbleRecurrence(FineRenderContext&, double, double, double, double, bool, double);
KELVO_GENERATOR(RenderWarble);

} // namespace kelvo
