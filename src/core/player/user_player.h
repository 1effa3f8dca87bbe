#pragma once

#include "core/player/elapsed_clock.h"
#include "core/player/file_output.h"
#include "core/player/wave_info.h"
#include "core/runtime/event_loop.h"
#include "core/settings/signal_settings.h"

#include <string>

namespace kelvo {

// The playing side of the user wave player: plays the selected playlist entry in a loop,
// keeps the information about it and the elapsed-time clock. The output itself goes
// through the one output, so one stop ends it whichever window started it.
// UI thread only; the record, the output and the loop outlive it.
class UserPlayer {
public:
    UserPlayer(SignalSettings& settings, FileOutput& output, EventLoop& loop);

    // Shows the selected entry's information and plays it from its start, after stopping
    // whatever played. An empty entry only stops; a file that cannot be played shows the
    // reader's message and leaves everything stopped.
    void playUserFile();
    // The output stopped or turned to another source: the clock stops at "00:00:00".
    void outputEnded();
    // The clock's 60 ms tick.
    void tick();

    const WaveInfo& info() const { return m_info; }
    const std::string& elapsed() const { return m_clock.text(); }

private:
    SignalSettings& m_settings;
    FileOutput& m_output;
    EventLoop& m_loop;
    WaveInfo m_info;
    ElapsedClock m_clock;
};

} // namespace kelvo
