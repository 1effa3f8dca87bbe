#include "core/remote/scpi_session.h"

#include "core/oscillator/oscillator.h"

namespace kelvo {

ScpiSession::ScpiSession(Oscillator& oscillator, std::function<void()> exitRequested)
    : m_oscillator(oscillator)
    , m_commands(oscillator, m_status)
    , m_exitRequested(std::move(exitRequested))
{
}

std::string ScpiSession::receive(std::string_view line)
{
    std::vector<ScpiCommand> commands = ParseScpiLine(line);
    if (commands.empty())
        return {};
    if (m_pending.size() + commands.size() > kMaxHeld) {
        m_status.push({scpi::kTooMuchData, "too many commands wait for *OPC?"});
        return {};
    }
    for (std::size_t i = 0; i < commands.size(); ++i)
        m_pending.push_back({std::move(commands[i]), i + 1 == commands.size()});
    return run();
}

void ScpiSession::refuseLongLine()
{
    m_status.push({scpi::kTooMuchData, "a line is longer than 64 KiB"});
}

std::string ScpiSession::resume()
{
    return run();
}

std::string ScpiSession::run()
{
    // An Update inside a command tells the observers, which may ask to resume.
    if (m_running)
        return {};
    m_running = true;
    std::string output;
    bool exit = false;
    while (!m_pending.empty()) {
        const Pending& next = m_pending.front();
        if ((next.command.header == "*OPC" && next.command.query) || next.command.header == "*WAI") {
            // The changes before it count: one may restart a playing signal.
            m_commands.flush();
            if (m_oscillator.starting())
                break;
        }
        const ScpiOutcome outcome = m_commands.execute(next.command, m_path);
        if (outcome.error.code != 0)
            m_status.push(outcome.error);
        if (outcome.reply)
            m_replies.push_back(*outcome.reply);
        exit = exit || outcome.exit;
        const bool endsLine = next.endsLine;
        m_pending.pop_front();
        if (!endsLine)
            continue;
        m_commands.flush();
        m_path.clear();
        if (!m_replies.empty()) {
            for (std::size_t i = 0; i < m_replies.size(); ++i)
                output += (i == 0 ? "" : ";") + m_replies[i];
            output += '\n';
            m_replies.clear();
        }
    }
    m_running = false;
    if (exit && m_exitRequested)
        m_exitRequested();
    return output;
}

} // namespace kelvo
