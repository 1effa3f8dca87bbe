#include "synth/generators.h"

namespace kelvo {

void RenderSquare(RenderContext&)
{
}

void RenderTriangle(RenderContext&)
{
}

void RenderSawtooth(RenderContext&)
{
}

void RenderDirac(RenderContext&)
{
}

} // namespace kelvo
