#include "core/player/elapsed_clock.h"

#include "core/player/wave_info.h"

namespace kelvo {

void ElapsedClock::start(std::chrono::milliseconds now)
{
    m_start = now;
    m_running = true;
    m_text = ClockText({});
}

void ElapsedClock::stop()
{
    m_running = false;
    m_text = ClockText({});
}

void ElapsedClock::tick(std::chrono::milliseconds now, const std::string& duration)
{
    if (m_running)
        m_text = ClockText(now - m_start);
    if (m_text > duration) {
        m_text = ClockText({});
        m_start = now;
    }
}

} // namespace kelvo
