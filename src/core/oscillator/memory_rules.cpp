#include "core/oscillator/memory_rules.h"

#include "core/oscillator/oscillator.h"
#include "core/settings/memories.h"

namespace kelvo {

void MemoryRules::storeMemory()
{
    SignalSettings& s = m_oscillator.settings();
    CopySlot(s, 0, s.MemIndex);
    m_oscillator.Update();
}

void MemoryRules::recallMemory(std::int32_t memory)
{
    SignalSettings& s = m_oscillator.settings();
    s.MemIndex = memory;
    m_oscillator.recallSelectedMemory();
}

void MemoryRules::nextMemory()
{
    SignalSettings& s = m_oscillator.settings();
    s.MemIndex = s.MemIndex + 1 > kMemoryCount ? 1 : s.MemIndex + 1;
    m_oscillator.recallSelectedMemory();
}

void MemoryRules::previousMemory()
{
    SignalSettings& s = m_oscillator.settings();
    s.MemIndex = s.MemIndex - 1 < 1 ? kMemoryCount : s.MemIndex - 1;
    m_oscillator.recallSelectedMemory();
}

} // namespace kelvo
