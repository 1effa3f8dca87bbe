#include "core/synth/wave_engine.h"

#include "core/settings/signal_codes.h"
#include "core/synth/block_size.h"
#include "core/synth/channel_factors.h"
#include "core/synth/generators.h"

#include <cmath>
#include <new>

namespace kelvo {
namespace {

template <typename Context> auto GeneratorFor(std::int32_t waveform) -> void (*)(Context&)
{
    switch (WaveformCode{waveform}) {
    case WaveformCode::Sine: return RenderSine<Context>;
    case WaveformCode::Square: return RenderSquare<Context>;
    case WaveformCode::Triangle: return RenderTriangle<Context>;
    case WaveformCode::Sawtooth: return RenderSawtooth<Context>;
    case WaveformCode::Noise: return RenderNoise<Context>;
    case WaveformCode::Burst: return RenderBurst<Context>;
    case WaveformCode::Pulse: return RenderPulse<Context>;
    case WaveformCode::Dirac: return RenderDirac<Context>;
    case WaveformCode::TwoTone: return RenderTwoTone<Context>;
    case WaveformCode::Multitone: return RenderMultitone<Context>;
    case WaveformCode::Sweep: return RenderSweep<Context>;
    case WaveformCode::Warble: return RenderWarble<Context>;
    case WaveformCode::AmplitudeModulation: return RenderAm<Context>;
    case WaveformCode::FrequencyModulation: return RenderFm<Context>;
    case WaveformCode::DoubleSideband: return RenderDsb<Context>;
    default: return nullptr; // no generator: the block stays silent
    }
}

} // namespace

WaveEngine::WaveEngine(RandomSource& random)
    : m_random(random)
{
}

void WaveEngine::setBeforeRender(std::function<void()> stopOutput)
{
    m_stopOutput = std::move(stopOutput);
}

std::string WaveEngine::Render(SignalSettings& s)
{
    const bool arb = s.ArbBuild == 1;
    const BlockPlan plan = arb ? PlanArbBlock(s) : PlanBlock(s);
    if (plan.refused())
        return plan.refusal;
    if (m_stopOutput)
        m_stopOutput();
    m_fineRender = RendersFine(s);
    // Only one of the two blocks is held: the other is freed before the new one is taken.
    m_buffer.assignZeros(0);
    m_fine.assignZeros(0);
    const std::size_t elements = static_cast<std::size_t>(plan.N + 1);
    try {
        if (m_fineRender)
            m_fine.assignZeros(elements);
        else
            m_buffer.assignZeros(elements);
    } catch (const std::bad_alloc&) {
        const std::size_t bytes = elements * (m_fineRender ? sizeof(FineSample) : sizeof(Sample));
        return "There is not enough memory to render this signal (" + std::to_string(bytes >> 20) + " MB).";
    }
    if (arb)
        s.SampleRate[0] = s.ArbSampleRate;
    const FrameIndex frames = LoopFrames(plan.N);
    if (m_fineRender) {
        RenderInto(s, plan, m_fine);
        if (s.LevelReference == 1 && FollowsRmsReference(s))
            MatchSineRms(m_fine, frames, m_state);
        m_levels = MeasureBlock(m_fine, frames, s.Bits[0] == 32);
    } else {
        RenderInto(s, plan, m_buffer);
        m_levels = MeasureBlock(m_buffer, frames, false);
    }
    return {};
}

template <typename T> void WaveEngine::RenderInto(const SignalSettings& s, const BlockPlan& plan, BasicSampleBuffer<T>& buffer)
{
    BasicRenderContext<T> context{s, m_state, m_random, buffer};
    context.N = plan.N;
    context.frames = LoopFrames(plan.N);
    context.sampleRate = s.SampleRate[0];
    context.Period = 1 / s.Freq[0];

    if (s.ArbBuild == 1) {
        SetArbChannelFactors(m_state, s);
        RenderArbTable(context);
        return;
    }
    SetChannelFactors(m_state, s);
    if (const auto generate = GeneratorFor<BasicRenderContext<T>>(s.Waveform[0]))
        generate(context);
}

bool RendersFine(const SignalSettings& s)
{
    return s.Bits[0] == 24 || s.Bits[0] == 32 || s.Dither == 1 || s.LevelReference == 1;
}

} // namespace kelvo
