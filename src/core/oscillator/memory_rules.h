#pragma once

#include <cstdint>

namespace kelvo {

class Oscillator;

// The memories as both panels work them: store into MemIndex, recall k, and the remote
// panel's up and down, which wrap around.
class MemoryRules {
public:
    explicit MemoryRules(Oscillator& oscillator)
        : m_oscillator(oscillator)
    {
    }

    void storeMemory();
    void recallMemory(std::int32_t memory);
    void nextMemory();
    void previousMemory();

private:
    Oscillator& m_oscillator;
};

} // namespace kelvo
