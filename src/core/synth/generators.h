#pragma once

#include "synth/render_context.h"

namespace kelvo {

// The generators, each one step of a render. They work on a buffer already sized and
// zeroed and on the channel factors already set in the context's state.
void RenderSine(RenderContext& c);
void RenderArbTable(RenderContext& c);

} // namespace kelvo
