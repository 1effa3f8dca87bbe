#include "synth/generators.h"

namespace kelvo {

void RenderNoise(RenderContext&)
{
}

} // namespace kelvo
