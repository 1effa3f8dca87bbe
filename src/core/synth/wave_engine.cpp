#include "core/synth/wave_engine.h"

#include "core/settings/signal_codes.h"
#include "core/synth/block_size.h"
#include "core/synth/channel_factors.h"
#include "core/synth/generators.h"

#include <cmath>
#include <new>

namespace kelvo {
namespace {

using Generator = void (*)(RenderContext&);

Generator GeneratorFor(std::int32_t waveform)
{
    switch (WaveformCode{waveform}) {
    case WaveformCode::Sine: return RenderSine;
    case WaveformCode::Square: return RenderSquare;
    case WaveformCode::Triangle: return RenderTriangle;
    case WaveformCode::Sawtooth: return RenderSawtooth;
    case WaveformCode::Noise: return RenderNoise;
    case WaveformCode::Burst: return RenderBurst;
    case WaveformCode::Pulse: return RenderPulse;
    case WaveformCode::Dirac: return RenderDirac;
    case WaveformCode::TwoTone: return RenderTwoTone;
    case WaveformCode::Multitone: return RenderMultitone;
    case WaveformCode::Sweep: return RenderSweep;
    case WaveformCode::Warble: return RenderWarble;
    case WaveformCode::AmplitudeModulation: return RenderAm;
    case WaveformCode::FrequencyModulation: return RenderFm;
    case WaveformCode::DoubleSideband: return RenderDsb;
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
    try {
        m_buffer.assignZeros(static_cast<std::size_t>(plan.N + 1));
    } catch (const std::bad_alloc&) {
        return "There is not enough memory to render this signal (" +
               std::to_string((plan.N + 1) * static_cast<std::int64_t>(sizeof(Sample)) >> 20) + " MB).";
    }
    if (arb)
        s.SampleRate[0] = s.ArbSampleRate;

    RenderContext context{s, m_state, m_random, m_buffer};
    context.N = plan.N;
    context.frames = LoopFrames(plan.N);
    context.sampleRate = s.SampleRate[0];
    context.Period = 1 / s.Freq[0];

    if (arb) {
        SetArbChannelFactors(m_state, s);
        RenderArbTable(context);
        return {};
    }
    SetChannelFactors(m_state, s);
    if (const Generator generate = GeneratorFor(s.Waveform[0]))
        generate(context);
    return {};
}

} // namespace kelvo
