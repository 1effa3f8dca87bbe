#pragma once

#include <string>
#include <sys/types.h>

namespace kelvo {

// Gives thread `thread` of this process real-time priority where the process may take it,
// or else asks RealtimeKit over the system bus, as desktops grant it to sound programs that
// may not take it themselves. Returns
// why not, or empty when granted; a thread that already runs at real-time priority is left
// as it is. It may wait on the bus for up to two seconds: never call it from the real-time
// callback or from a thread the sound depends on.
[[nodiscard]] std::string RequestRealtimePriority(pid_t thread);

// Whether thread `thread` of this process (0: none) runs at real-time priority.
bool RunsRealtime(pid_t thread);

} // namespace kelvo
