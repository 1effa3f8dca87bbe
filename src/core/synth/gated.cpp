#include "synth/generators.h"

namespace kelvo {

void RenderBurst(RenderContext&)
{
}

void RenderPulse(RenderContext&)
{
}

} // namespace kelvo
