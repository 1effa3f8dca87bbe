#pragma once

#include <chrono>
#include <string>

namespace kelvo {

// The user player's elapsed-time clock. Each tick shows the time since the start; once the
// text passes the file's duration text (a plain comparison of the two "hh:mm:ss" texts) it
// shows "00:00:00" and counts from that tick again, so it restarts with every pass of the
// looping file.
class ElapsedClock {
public:
    void start(std::chrono::milliseconds now);
    // Stops counting and shows "00:00:00".
    void stop();
    void tick(std::chrono::milliseconds now, const std::string& duration);

    bool running() const { return m_running; }
    const std::string& text() const { return m_text; }

private:
    bool m_running = false;
    std::chrono::milliseconds m_start{0};
    std::string m_text = "00:00:00";
};

} // namespace kelvo
