#include "core/remote/scpi_status.h"

#include "core/remote/scpi_values.h"

namespace kelvo {
namespace {

int EventOf(int code)
{
    if (code <= -100 && code > -200)
        return ScpiStatus::kCommandError;
    if (code <= -200 && code > -300)
        return ScpiStatus::kExecutionError;
    if (code <= -300 && code > -400)
        return ScpiStatus::kDeviceError;
    if (code <= -400 && code > -500)
        return ScpiStatus::kQueryError;
    return 0;
}

constexpr int kErrorAvailable = 4;
constexpr int kEventSummary = 32;
constexpr int kServiceSummary = 64;

} // namespace

void ScpiStatus::push(ScpiError error)
{
    m_events |= EventOf(error.code);
    if (m_errors.size() >= kMaxErrors) {
        m_errors.back() = {scpi::kQueueOverflow, {}};
        m_events |= kDeviceError;
        return;
    }
    m_errors.push_back(std::move(error));
}

std::string ScpiStatus::nextError()
{
    ScpiError error;
    if (!m_errors.empty()) {
        error = std::move(m_errors.front());
        m_errors.pop_front();
    }
    std::string text(ScpiErrorText(error.code));
    if (!error.detail.empty())
        text += ";" + error.detail;
    return std::to_string(error.code) + "," + ScpiString(text);
}

void ScpiStatus::clear()
{
    m_errors.clear();
    m_events = 0;
    m_awaiting = false;
}

void ScpiStatus::complete()
{
    if (!m_awaiting)
        return;
    m_awaiting = false;
    m_events |= kOperationComplete;
}

int ScpiStatus::takeEvents()
{
    const int events = m_events;
    m_events = 0;
    return events;
}

int ScpiStatus::statusByte() const
{
    int status = m_errors.empty() ? 0 : kErrorAvailable;
    if ((m_events & eventEnable) != 0)
        status |= kEventSummary;
    if ((status & serviceEnable) != 0)
        status |= kServiceSummary;
    return status;
}

} // namespace kelvo
