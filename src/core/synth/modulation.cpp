#include "synth/generators.h"

namespace kelvo {

void RenderAm(RenderContext&)
{
}

void RenderFm(RenderContext&)
{
}

void RenderDsb(RenderContext&)
{
}

} // namespace kelvo
