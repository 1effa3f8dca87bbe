#pragma once

#include "core/remote/scpi_parser.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace kelvo {

// One client's status as IEEE 488.2 keeps it: the error queue, the standard event status
// register with its enable mask, and the service request enable mask. An error sets the
// event bit of its class (-1xx command, -2xx execution, -3xx device, -4xx query).
class ScpiStatus {
public:
    // The error queue's length; a later error replaces the last with -350.
    static constexpr std::size_t kMaxErrors = 20;

    // Event bits.
    static constexpr int kOperationComplete = 1;
    static constexpr int kQueryError = 4;
    static constexpr int kDeviceError = 8;
    static constexpr int kExecutionError = 16;
    static constexpr int kCommandError = 32;

    void push(ScpiError error);
    // The oldest error as SYSTem:ERRor? answers it, "0,\"No error\"" when none is left.
    std::string nextError();
    // *CLS: the queue and the events, and an *OPC still waiting.
    void clear();

    // *OPC: the operation complete bit is set once `complete()` is called.
    void awaitOperations() { m_awaiting = true; }
    bool awaiting() const { return m_awaiting; }
    void complete();

    // *ESR?: the events, which are cleared by reading them.
    int takeEvents();
    // *STB?: error queue not empty (4), an enabled event (32), and the summary of both
    // under the service request mask (64).
    int statusByte() const;

    int eventEnable = 0;
    int serviceEnable = 0;

private:
    std::deque<ScpiError> m_errors;
    int m_events = 0;
    bool m_awaiting = false;
};

} // namespace kelvo
