#include "core/playback/pulse_device.h"

#include "core/playback/realtime_priority.h"

#include <algorithm>
#include <pulse/pulseaudio.h>
#include <string_view>
#include <thread>
#include <unistd.h>

namespace kelvo {
namespace {

// The sound the server holds ahead of the listener: what its own players ask for. On a
// machine kept busy by processes and disk writes, the client library's and the server's
// ordinary-priority threads can be held up for several hundred milliseconds; the ALSA
// route, whose buffer was 0.65 s, lost sound there now and then where native players
// with this buffer did not. A start is not slower for it: the buffer fills from memory.
constexpr pa_usec_t kServerBuffer = 2 * PA_USEC_PER_SEC;
// A sound too short to fill the server's buffer is started after this wait for more.
constexpr pa_usec_t kShortSoundWait = 50 * PA_USEC_PER_MSEC;
// How far ahead a cut takes effect: time for the new sound to reach the server. PulseAudio
// renders its output again from any point not yet heard; PipeWire's server cannot take back
// what its graph has taken from the stream, so there a cut starts from where it has read.
constexpr pa_usec_t kCutAhead = 50 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kCutAheadOfRead = 30 * PA_USEC_PER_MSEC;
// A server that accepts the connection but never answers is given up after this.
constexpr pa_usec_t kAnswerLimit = 5 * PA_USEC_PER_SEC;

pa_sample_format_t PulseFormat(SampleEncoding encoding)
{
    switch (encoding) {
    case SampleEncoding::Unsigned8: return PA_SAMPLE_U8;
    case SampleEncoding::Signed16: return PA_SAMPLE_S16LE;
    case SampleEncoding::Signed24: return PA_SAMPLE_S24LE;
    case SampleEncoding::Signed32: return PA_SAMPLE_S32LE;
    case SampleEncoding::Float32: return PA_SAMPLE_FLOAT32LE;
    }
    return PA_SAMPLE_INVALID;
}

void Forget(pa_operation* operation)
{
    if (operation != nullptr)
        pa_operation_unref(operation);
}

// Waits, with the client library's lock held, until `ready` or `failed` holds or the
// server has not answered for kAnswerLimit; true when ready.
template <typename Ready, typename Failed>
bool WaitForServer(pa_threaded_mainloop* mainloop, pa_context* context, Ready ready, Failed failed)
{
    struct Limit {
        pa_threaded_mainloop* mainloop;
        bool passed = false;
    } limit{mainloop};
    pa_time_event* timer = pa_context_rttime_new(
        context, pa_rtclock_now() + kAnswerLimit,
        [](pa_mainloop_api*, pa_time_event*, const timeval*, void* data) {
            auto* limit = static_cast<Limit*>(data);
            limit->passed = true;
            pa_threaded_mainloop_signal(limit->mainloop, 0);
        },
        &limit);
    while (!ready() && !failed() && !limit.passed)
        pa_threaded_mainloop_wait(mainloop);
    if (timer != nullptr)
        pa_threaded_mainloop_get_api(mainloop)->time_free(timer);
    return ready();
}

} // namespace

PulseBackend PulseDevice::create(EventLoop& loop)
{
    std::unique_ptr<PulseDevice> device(new PulseDevice(loop));
    if (device->m_mainloop == nullptr || pa_threaded_mainloop_start(device->m_mainloop) < 0)
        return {nullptr, "the sound server's client library cannot start"};
    pa_threaded_mainloop_lock(device->m_mainloop);
    std::string error = device->connect();
    pa_threaded_mainloop_unlock(device->m_mainloop);
    if (!error.empty())
        return {nullptr, error};
    return {std::move(device), {}};
}

PulseDevice::PulseDevice(EventLoop& loop)
    : m_loop(loop)
    , m_mainloop(pa_threaded_mainloop_new())
{
}

PulseDevice::~PulseDevice()
{
    close();
    if (m_mainloop == nullptr)
        return;
    pa_threaded_mainloop_stop(m_mainloop);
    if (m_context != nullptr) {
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    pa_threaded_mainloop_free(m_mainloop);
}

// With the lock held: a fresh connection in place of any old one.
std::string PulseDevice::connect()
{
    if (m_context != nullptr) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_mainloop), "Kelvo");
    if (m_context == nullptr)
        return "the sound server's client library cannot start";
    pa_context_set_state_callback(m_context, &PulseDevice::contextState, this);
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return std::string("no sound server answered: ") + pa_strerror(pa_context_errno(m_context));
    const bool ready = WaitForServer(
        m_mainloop, m_context, [this] { return pa_context_get_state(m_context) == PA_CONTEXT_READY; },
        [this] { return !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)); });
    if (ready) {
        pa_operation* asked = pa_context_get_server_info(
            m_context,
            [](pa_context*, const pa_server_info* info, void* self) {
                auto* device = static_cast<PulseDevice*>(self);
                device->m_serverRewinds = info == nullptr || info->server_name == nullptr ||
                                          std::string_view(info->server_name).find("PipeWire") == std::string_view::npos;
                pa_threaded_mainloop_signal(device->m_mainloop, 0);
            },
            this);
        if (asked != nullptr)
            WaitForServer(
                m_mainloop, m_context, [asked] { return pa_operation_get_state(asked) != PA_OPERATION_RUNNING; },
                [this] { return !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)); });
        Forget(asked);
        return {};
    }
    const int error = pa_context_errno(m_context);
    return std::string("no sound server answered: ") + (error != 0 ? pa_strerror(error) : "it did not answer in time");
}

std::string PulseDevice::open(int index, const AudioFormat& format, BufferDone done, Failure failed)
{
    close();
    if (index != -1 && index != 0)
        return "Output device " + std::to_string(index) + " cannot be opened: Invalid device";
    const std::string refusal = "The default output device cannot be opened: ";
    const pa_sample_spec sampleFormat{PulseFormat(format.encoding), static_cast<std::uint32_t>(format.sampleRate),
                                      static_cast<std::uint8_t>(format.channels)};
    if (pa_sample_spec_valid(&sampleFormat) == 0)
        return refusal + "the sound server does not play " + std::to_string(format.channels) + " channels at " +
               std::to_string(format.sampleRate) + " Hz";

    pa_threaded_mainloop_lock(m_mainloop);
    // The server may have restarted since the last stream.
    if (pa_context_get_state(m_context) != PA_CONTEXT_READY) {
        if (std::string error = connect(); !error.empty()) {
            pa_threaded_mainloop_unlock(m_mainloop);
            return refusal + error;
        }
    }
    pa_stream* stream = pa_stream_new(m_context, "Signal", &sampleFormat, nullptr);
    if (stream == nullptr) {
        const std::string error = pa_strerror(pa_context_errno(m_context));
        pa_threaded_mainloop_unlock(m_mainloop);
        return refusal + error;
    }
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(kServerBuffer, &sampleFormat));
    // The server starts (and starts again after running dry) once its buffer is about
    // full: a sink that renders far ahead would otherwise take a small start at once and
    // run dry behind it.
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = static_cast<std::uint32_t>(-1);
    attributes.fragsize = static_cast<std::uint32_t>(-1);
    pa_stream_set_state_callback(stream, &PulseDevice::streamState, this);
    pa_stream_set_write_callback(stream, &PulseDevice::streamWritable, this);
    pa_stream_set_underflow_callback(stream, &PulseDevice::streamUnderflow, this);
    m_blockAlign = static_cast<std::size_t>(format.blockAlign);
    m_written = 0;
    m_seekTo = -1;
    m_cutCredit = 0;
    m_failure.clear();
    m_failureReported = false;
    m_closing = false;
    m_firstSound.store(0);
    m_stream = stream;
    const bool ready = pa_stream_connect_playback(stream, nullptr, &attributes, PA_STREAM_NOFLAGS, nullptr, nullptr) == 0 &&
                       WaitForServer(
                           m_mainloop, m_context, [stream] { return pa_stream_get_state(stream) == PA_STREAM_READY; },
                           [stream] { return !PA_STREAM_IS_GOOD(pa_stream_get_state(stream)); });
    if (!ready) {
        const std::string error = pa_strerror(pa_context_errno(m_context));
        pa_threaded_mainloop_unlock(m_mainloop);
        close();
        return refusal + error;
    }
    const pa_buffer_attr* granted = pa_stream_get_buffer_attr(stream);
    m_prebufBytes = granted->prebuf;
    m_latency = static_cast<double>(pa_bytes_to_usec(granted->tlength, &sampleFormat)) / PA_USEC_PER_SEC;
    pa_threaded_mainloop_unlock(m_mainloop);
    m_done = std::move(done);
    m_failed = std::move(failed);
    return {};
}

void PulseDevice::write(int index, std::span<const std::byte> bytes)
{
    if (m_stream == nullptr)
        return;
    pa_threaded_mainloop_lock(m_mainloop);
    m_pending.push_back({index, bytes});
    pump();
    if (pa_stream_is_corked(m_stream) == 1)
        Forget(pa_stream_cork(m_stream, 0, nullptr, nullptr));
    pa_threaded_mainloop_unlock(m_mainloop);
}

void PulseDevice::reset()
{
    if (m_stream == nullptr)
        return;
    pa_threaded_mainloop_lock(m_mainloop);
    Forget(pa_stream_cork(m_stream, 1, nullptr, nullptr));
    Forget(pa_stream_flush(m_stream, nullptr, nullptr));
    while (!m_pending.empty()) {
        handBack(m_pending.front().index);
        m_pending.pop_front();
    }
    m_pendingOffset = 0;
    pa_threaded_mainloop_unlock(m_mainloop);
}

std::int64_t PulseDevice::cut()
{
    if (m_stream == nullptr)
        return -1;
    pa_threaded_mainloop_lock(m_mainloop);
    // Where the listener is now, from the server's own account of its queue and its sink.
    pa_operation* update = pa_stream_update_timing_info(
        m_stream,
        [](pa_stream*, int, void* self) { pa_threaded_mainloop_signal(static_cast<PulseDevice*>(self)->m_mainloop, 0); }, this);
    const bool answered = update != nullptr &&
                          WaitForServer(
                              m_mainloop, m_context, [update] { return pa_operation_get_state(update) != PA_OPERATION_RUNNING; },
                              [this] { return m_stream == nullptr || !PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream)); });
    Forget(update);
    const pa_timing_info* timing = answered ? pa_stream_get_timing_info(m_stream) : nullptr;
    if (timing == nullptr || timing->read_index_corrupt != 0 || timing->write_index_corrupt != 0) {
        pa_threaded_mainloop_unlock(m_mainloop);
        return -1;
    }
    const pa_sample_spec* format = pa_stream_get_sample_spec(m_stream);
    // The account is as old as the server's answer: what played since counts as heard.
    const pa_usec_t since = timing->playing != 0 ? pa_timeval_age(&timing->timestamp) : 0;
    const auto heard = timing->read_index - static_cast<std::int64_t>(pa_usec_to_bytes(timing->sink_usec, format)) +
                       static_cast<std::int64_t>(pa_usec_to_bytes(since, format));
    std::int64_t from =
        m_serverRewinds
            ? std::max<std::int64_t>(heard, 0) + static_cast<std::int64_t>(pa_usec_to_bytes(kCutAhead, format))
            : std::max(heard, timing->read_index) + static_cast<std::int64_t>(pa_usec_to_bytes(kCutAheadOfRead, format));
    from = std::min(from - from % static_cast<std::int64_t>(m_blockAlign), m_written);
    while (!m_pending.empty()) {
        handBack(m_pending.front().index);
        m_pending.pop_front();
    }
    m_pendingOffset = 0;
    if (from < m_written) {
        m_cutCredit += m_written - from;
        m_seekTo = from;
        m_written = from;
    }
    pa_threaded_mainloop_unlock(m_mainloop);
    return from;
}

void PulseDevice::close()
{
    if (m_stream == nullptr)
        return;
    pa_threaded_mainloop_lock(m_mainloop);
    m_closing = true;
    stopShortSoundTimer();
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_set_write_callback(m_stream, nullptr, nullptr);
    pa_stream_set_underflow_callback(m_stream, nullptr, nullptr);
    pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
    m_pending.clear();
    m_pendingOffset = 0;
    m_finished.clear();
    m_latency = 0;
    pa_threaded_mainloop_unlock(m_mainloop);
    m_done = nullptr;
    m_failed = nullptr;
}

double PulseDevice::outputLatency() const
{
    return m_latency;
}

std::chrono::steady_clock::time_point PulseDevice::firstSoundTime() const
{
    return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(m_firstSound.load()));
}

bool PulseDevice::feedRealtime() const
{
    return RunsRealtime(m_feedThread.load());
}

// With the lock held: copies as much queued sound as the server has room for, whole
// frames only (a trailing partial frame would swap the channels).
void PulseDevice::pump()
{
    if (m_stream == nullptr || pa_stream_get_state(m_stream) != PA_STREAM_READY)
        return;
    std::size_t room = pa_stream_writable_size(m_stream);
    if (room == static_cast<std::size_t>(-1))
        return;
    room += static_cast<std::size_t>(m_cutCredit);
    room -= room % m_blockAlign;
    while (!m_pending.empty()) {
        const Pending& next = m_pending.front();
        const std::size_t whole = next.bytes.size() - next.bytes.size() % m_blockAlign;
        const std::size_t count = std::min(whole - m_pendingOffset, room);
        const bool seek = m_seekTo >= 0;
        if (count > 0 && pa_stream_write(m_stream, next.bytes.data() + m_pendingOffset, count, nullptr, seek ? m_seekTo : 0,
                                         seek ? PA_SEEK_ABSOLUTE : PA_SEEK_RELATIVE) == 0) {
            m_seekTo = -1;
            m_cutCredit -= std::min(m_cutCredit, static_cast<std::int64_t>(count));
            if (m_firstSound.load() == 0)
                m_firstSound.store(SteadyNanoseconds());
            m_pendingOffset += count;
            m_written += static_cast<std::int64_t>(count);
            room -= count;
        }
        if (m_pendingOffset < whole)
            break;
        // The server has its own copy: the buffer may be refilled.
        handBack(next.index);
        m_pending.pop_front();
        m_pendingOffset = 0;
    }
    // A sound shorter than the server's start threshold plays once no more of it comes.
    if (m_pending.empty() && m_written < m_prebufBytes && m_shortSoundTimer == nullptr)
        m_shortSoundTimer =
            pa_context_rttime_new(m_context, pa_rtclock_now() + kShortSoundWait, &PulseDevice::startShortSound, this);
}

void PulseDevice::stopShortSoundTimer()
{
    if (m_shortSoundTimer != nullptr)
        pa_threaded_mainloop_get_api(m_mainloop)->time_free(m_shortSoundTimer);
    m_shortSoundTimer = nullptr;
}

void PulseDevice::handBack(int index)
{
    m_finished.push_back(index);
    postDelivery();
}

void PulseDevice::postDelivery()
{
    if (m_deliveryPending)
        return;
    m_deliveryPending = true;
    std::weak_ptr<bool> alive = m_alive;
    m_loop.post([this, alive] {
        if (alive.lock())
            deliver();
    });
}

// On the UI thread: hands back finished buffers in order, then reports a failure.
void PulseDevice::deliver()
{
    pa_threaded_mainloop_lock(m_mainloop);
    m_deliveryPending = false;
    std::vector<int> finished;
    finished.swap(m_finished);
    const std::string failure = m_failureReported ? std::string() : m_failure;
    m_failureReported = m_failureReported || !failure.empty();
    pa_threaded_mainloop_unlock(m_mainloop);
    for (const int index : finished) {
        if (m_stream == nullptr)
            return;
        const BufferDone done = m_done;
        done(index);
    }
    if (m_stream != nullptr && !failure.empty()) {
        const Failure failed = m_failed;
        failed(failure);
    }
}

// With the lock held.
void PulseDevice::streamStopped(const std::string& why)
{
    if (m_closing || !m_failure.empty())
        return;
    m_failure = why;
    postDelivery();
}

void PulseDevice::startShortSound(pa_mainloop_api*, pa_time_event*, const timeval*, void* self)
{
    auto* device = static_cast<PulseDevice*>(self);
    device->stopShortSoundTimer();
    if (device->m_stream != nullptr && device->m_pending.empty() && device->m_written < device->m_prebufBytes)
        Forget(pa_stream_trigger(device->m_stream, nullptr, nullptr));
}

void PulseDevice::contextState(pa_context*, void* self)
{
    pa_threaded_mainloop_signal(static_cast<PulseDevice*>(self)->m_mainloop, 0);
}

void PulseDevice::streamState(pa_stream* stream, void* self)
{
    auto* device = static_cast<PulseDevice*>(self);
    pa_threaded_mainloop_signal(device->m_mainloop, 0);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) {
        const char* sink = pa_stream_get_device_name(stream);
        device->streamStopped("The output device \"" + std::string(sink != nullptr ? sink : "default") +
                              "\" stopped working; the output has stopped.");
    }
}

void PulseDevice::streamWritable(pa_stream*, std::size_t, void* self)
{
    auto* device = static_cast<PulseDevice*>(self);
    if (device->m_feedThread.load() == 0) {
        const pid_t thread = ::gettid();
        device->m_feedThread.store(thread);
        // Refused, the thread keeps its ordinary priority: nothing the user must hear about.
        std::thread([thread] { static_cast<void>(RequestRealtimePriority(thread)); }).detach();
    }
    device->pump();
}

void PulseDevice::streamUnderflow(pa_stream*, void* self)
{
    auto* device = static_cast<PulseDevice*>(self);
    if (device->m_written > 0)
        device->m_underruns.fetch_add(1);
}

} // namespace kelvo
