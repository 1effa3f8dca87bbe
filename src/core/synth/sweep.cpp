#include "synth/generators.h"

namespace kelvo {

void RenderSweep(RenderContext&)
{
}

void RenderWarble(RenderContext&)
{
}

} // namespace kelvo
