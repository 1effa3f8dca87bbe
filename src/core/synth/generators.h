#pragma once

#include "core/synth/render_context.h"

namespace kelvo {

// The generators, each one step of a render. They work on a buffer already sized and
// zeroed and on the channel factors already set in the context's state. Each is built for
// RenderContext and FineRenderContext (KELVO_GENERATOR).
template <typename Context> void RenderSine(Context& c);
template <typename Context> void RenderSquare(Context& c);
template <typename Context> void RenderTriangle(Context& c);
template <typename Context> void RenderSawtooth(Context& c);
template <typename Context> void RenderDirac(Context& c);
template <typename Context> void RenderNoise(Context& c);
template <typename Context> void RenderBurst(Context& c);
template <typename Context> void RenderPulse(Context& c);
template <typename Context> void RenderTwoTone(Context& c);
template <typename Context> void RenderMultitone(Context& c);
template <typename Context> void RenderSweep(Context& c);
template <typename Context> void RenderWarble(Context& c);
template <typename Context> void RenderAm(Context& c);
template <typename Context> void RenderFm(Context& c);
template <typename Context> void RenderDsb(Context& c);
template <typename Context> void RenderArbTable(Context& c);

// Builds generator `name` for both kinds of render.
#define KELVO_GENERATOR(name)                                                                                                    \
    template void name(RenderContext&);                                                                                          \
    template void name(FineRenderContext&)

} // namespace kelvo
