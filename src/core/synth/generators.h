#pragma once

#include "core/synth/render_context.h"

namespace kelvo {

// The generators, each one step of a render. They work on a buffer already sized and
// zeroed and on the channel factors already set in the context's state.
void RenderSine(RenderContext& c);
void RenderSquare(RenderContext& c);
void RenderTriangle(RenderContext& c);
void RenderSawtooth(RenderContext& c);
void RenderDirac(RenderContext& c);
void RenderNoise(RenderContext& c);
void RenderBurst(RenderContext& c);
void RenderPulse(RenderContext& c);
void RenderTwoTone(RenderContext& c);
void RenderMultitone(RenderContext& c);
void RenderSweep(RenderContext& c);
void RenderWarble(RenderContext& c);
void RenderAm(RenderContext& c);
void RenderFm(RenderContext& c);
void RenderDsb(RenderContext& c);
void RenderArbTable(RenderContext& c);

} // namespace kelvo
