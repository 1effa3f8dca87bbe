#include "core/playback/realtime_priority.h"

#include <sched.h>
#include <sys/resource.h>
#include <systemd/sd-bus.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace kelvo {
namespace {

constexpr const char* kService = "org.freedesktop.RealtimeKit1";
constexpr const char* kPath = "/org/freedesktop/RealtimeKit1";
constexpr std::uint64_t kCallTimeoutMicroseconds = 2'000'000;
// RealtimeKit grants only to a process whose real-time threads cannot hog a core: its
// usual limit is 200 ms of processor time without sleeping.
constexpr rlim_t kRealtimeLimitMicroseconds = 200'000;

std::string BusError(const char* what, const sd_bus_error& error, int code)
{
    return std::string(what) + ": " + (error.message != nullptr ? error.message : std::strerror(-code));
}

bool LimitRealtimeTime()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_RTTIME, &limit) != 0)
        return false;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max <= kRealtimeLimitMicroseconds)
        return true;
    limit.rlim_cur = limit.rlim_max = kRealtimeLimitMicroseconds;
    return ::setrlimit(RLIMIT_RTTIME, &limit) == 0;
}

} // namespace

bool RunsRealtime(pid_t thread)
{
    const int policy = thread != 0 ? ::sched_getscheduler(thread) & ~SCHED_RESET_ON_FORK : -1;
    return policy == SCHED_FIFO || policy == SCHED_RR;
}

std::string RequestRealtimePriority(pid_t thread)
{
    if (RunsRealtime(thread))
        return {};
    // Where the process may take it itself (a real-time limit, or privilege), no bus is asked.
    sched_param own{};
    own.sched_priority = std::min(20, ::sched_get_priority_max(SCHED_FIFO));
    if (::sched_setscheduler(thread, SCHED_FIFO | SCHED_RESET_ON_FORK, &own) == 0)
        return {};
    sd_bus* bus = nullptr;
    if (const int opened = ::sd_bus_open_system(&bus); opened < 0)
        return std::string("no system bus: ") + std::strerror(-opened);
    ::sd_bus_set_method_call_timeout(bus, kCallTimeoutMicroseconds);
    sd_bus_error error{}; // SD_BUS_ERROR_NULL, without its C99 compound literal
    std::int32_t highest = 0;
    std::string refusal;
    if (const int got =
            ::sd_bus_get_property_trivial(bus, kService, kPath, kService, "MaxRealtimePriority", &error, 'i', &highest);
        got < 0) {
        refusal = BusError("RealtimeKit does not answer", error, got);
    } else if (highest < 1) {
        refusal = "RealtimeKit grants no real-time priority";
    } else if (!LimitRealtimeTime()) {
        refusal = "the real-time time limit cannot be set";
    } else if (const int made =
                   ::sd_bus_call_method(bus, kService, kPath, kService, "MakeThreadRealtime", &error, nullptr, "tu",
                                        static_cast<std::uint64_t>(thread), static_cast<std::uint32_t>(std::min(highest, 20)));
               made < 0) {
        refusal = BusError("RealtimeKit refused", error, made);
    }
    ::sd_bus_error_free(&error);
    ::sd_bus_unref(bus);
    return refusal;
}

} // namespace kelvo
