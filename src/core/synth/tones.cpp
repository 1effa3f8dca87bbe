#include "synth/generators.h"

namespace kelvo {

void RenderTwoTone(RenderContext&)
{
}

void RenderMultitone(RenderContext&)
{
}

} // namespace kelvo
