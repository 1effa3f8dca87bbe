#pragma once

#include <string>
#include <sys/types.h>

namespace kelvo {

// Asks RealtimeKit, over the system bus, for real-time priority for thread `thread` of this
// process, as desktops grant it to sound programs that may not take it themselves. Returns
// why not, or empty when granted; a thread that already runs at real-time priority is left
// as it is. It may wait on the bus for up to two seconds: never call it from the real-time
// callback or from a thread the sound depends on.
[[nodiscard]] std::string RequestRealtimePriority(pid_t thread);

} // namespace kelvo
