#pragma once

#include "core/remote/scpi_commands.h"
#include "core/remote/scpi_parser.h"
#include "core/remote/scpi_status.h"

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

class Oscillator;

// One remote client's conversation: its lines run in order, each query's answer joins the
// line's reply ("1000;-20"), errors wait in the client's own queue for SYSTem:ERRor?, and
// *OPC? holds the client's later commands until a signal switched on has started.
// UI thread only; the oscillator outlives it.
class ScpiSession {
public:
    // `exitRequested` runs for SYSTem:EXIT, after the reply lines before it are returned.
    ScpiSession(Oscillator& oscillator, std::function<void()> exitRequested);

    // Runs a line (without its line end); returns the reply lines it completed, each ending
    // in a line feed (empty when none).
    std::string receive(std::string_view line);
    // A line over the length limit was dropped: -223 into the queue.
    void refuseLongLine();
    // Goes on with the commands held by *OPC? or *WAI when the start has finished; returns
    // the reply lines completed.
    std::string resume();
    bool waiting() const { return !m_pending.empty(); }

    // The most lines' commands held behind an *OPC?; more are refused with -223.
    static constexpr std::size_t kMaxHeld = 1000;

private:
    struct Pending {
        ScpiCommand command;
        bool endsLine;
    };

    std::string run();

    Oscillator& m_oscillator;
    ScpiStatus m_status;
    ScpiCommands m_commands;
    std::function<void()> m_exitRequested;
    std::deque<Pending> m_pending;
    std::vector<std::string> m_replies; // of the line being run
    std::vector<std::string> m_path;    // the header path of the line's last command
    bool m_running = false;
};

} // namespace kelvo
