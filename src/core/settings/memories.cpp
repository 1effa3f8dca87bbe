#include "core/settings/memories.h"

#include "core/settings/settings_files.h"

namespace kelvo {

void CopySlot(SignalSettings& settings, int from, int to)
{
    if (from < 0 || from >= kSlotCount || to < 0 || to >= kSlotCount)
        return;
    VisitSlottedFields(settings, [&](auto& slots) { slots[to] = slots[from]; });
}

void DefaultMems(SignalSettings& settings)
{
    for (int memory = 1; memory <= kMemoryCount; ++memory)
        CopySlot(settings, 0, memory);
}

} // namespace kelvo
