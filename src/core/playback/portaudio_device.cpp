#include "core/playback/portaudio_device.h"

#include "core/playback/realtime_priority.h"

#include <algorithm>
#include <alsa/asoundlib.h>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pa_linux_alsa.h>
#include <unistd.h>

namespace kelvo {
namespace {

// A stream whose callback has not run for this long has stopped without saying so.
constexpr std::chrono::milliseconds kSilentStreamLimit{2000};
constexpr std::chrono::milliseconds kWatchInterval{250};

// The sound the device holds ahead of the listener. Through a sound server, the client
// library's own thread carries the sound to the server at ordinary priority, so a machine
// kept busy by processes and disk writes can hold it up for a few hundred milliseconds.
// Measured here with 15 s loops under such a load: 20 ms broke every loop, 100 ms and
// 280 ms broke some, 500 ms and 1 s none. A start is not slower for it (the buffer is
// primed with sound) and a stop is immediate.
constexpr double kOutputLatencySeconds = 0.5;

void SilentAlsaHandler(const char*, int, const char*, int, const char*, ...)
{
}

// Starts PortAudio without the probing chatter of ALSA and JACK reaching the terminal:
// ALSA's error handler is quieted for good, and standard error is parked on /dev/null
// while the host APIs enumerate (JACK prints through its own handler). No JACK server is
// started on the way.
PaError InitializeQuietly()
{
    snd_lib_error_set_handler(SilentAlsaHandler);
    ::setenv("JACK_NO_START_SERVER", "1", 0);
    const int saved = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0)
        ::dup2(null, STDERR_FILENO);
    const PaError error = Pa_Initialize();
    if (saved >= 0 && null >= 0)
        ::dup2(saved, STDERR_FILENO);
    if (null >= 0)
        ::close(null);
    if (saved >= 0)
        ::close(saved);
    return error;
}

std::string ErrorText(PaError error)
{
    if (error == paUnanticipatedHostError) {
        if (const PaHostErrorInfo* info = Pa_GetLastHostErrorInfo(); info && info->errorText && *info->errorText)
            return std::string(Pa_GetErrorText(error)) + ": " + info->errorText;
    }
    return Pa_GetErrorText(error);
}

// The output devices in OutDevice order: the default output first, then the others.
std::vector<PaDeviceIndex> OutputDeviceIndices()
{
    std::vector<PaDeviceIndex> indices;
    const PaDeviceIndex preferred = Pa_GetDefaultOutputDevice();
    if (preferred != paNoDevice)
        indices.push_back(preferred);
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
        if (const PaDeviceInfo* info = Pa_GetDeviceInfo(i); i != preferred && info && info->maxOutputChannels > 0)
            indices.push_back(i);
    }
    return indices;
}

PaSampleFormat SampleFormat(SampleEncoding encoding)
{
    switch (encoding) {
    case SampleEncoding::Unsigned8: return paUInt8;
    case SampleEncoding::Signed16: return paInt16;
    case SampleEncoding::Signed24: return paInt24;
    case SampleEncoding::Signed32: return paInt32;
    case SampleEncoding::Float32: return paFloat32;
    }
    return paInt16;
}

} // namespace

std::vector<std::string> ListOutputDevices(std::string& error)
{
    std::vector<std::string> names;
    if (const PaError started = InitializeQuietly(); started != paNoError) {
        error = "The sound system cannot be started: " + ErrorText(started);
        return names;
    }
    for (const PaDeviceIndex i : OutputDeviceIndices())
        names.emplace_back(Pa_GetDeviceInfo(i)->name);
    Pa_Terminate();
    return names;
}

PortAudioBackend PortAudioDevice::create(EventLoop& loop)
{
    if (const PaError started = InitializeQuietly(); started != paNoError)
        return {nullptr, "The sound system cannot be started: " + ErrorText(started)};
    return {std::unique_ptr<PortAudioDevice>(new PortAudioDevice(loop)), {}};
}

PortAudioDevice::PortAudioDevice(EventLoop& loop)
    : m_loop(loop)
{
    ::sem_init(&m_wake, 0, 0);
    m_watcher = std::thread([this] { watch(); });
}

PortAudioDevice::~PortAudioDevice()
{
    close();
    m_quit.store(true);
    ::sem_post(&m_wake);
    m_watcher.join();
    ::sem_destroy(&m_wake);
    Pa_Terminate();
}

std::string PortAudioDevice::open(int index, const AudioFormat& format, BufferDone done, Failure failed)
{
    close();
    const std::vector<PaDeviceIndex> outputs = OutputDeviceIndices();
    if (outputs.empty())
        return std::string(kNoSoundOutput);
    PaDeviceIndex device = paNoDevice;
    if (index == -1)
        device = outputs.front();
    else if (index >= 0 && static_cast<std::size_t>(index) < outputs.size())
        device = outputs[static_cast<std::size_t>(index)];
    const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
    if (info == nullptr) {
        const std::string which = index == -1 ? "The default output device" : "Output device " + std::to_string(index);
        return which + " cannot be opened: " + Pa_GetErrorText(paInvalidDevice);
    }
    m_name = info->name;

    PaStreamParameters parameters{};
    parameters.device = device;
    parameters.channelCount = format.channels;
    parameters.sampleFormat = SampleFormat(format.encoding);
    parameters.suggestedLatency = std::max(kOutputLatencySeconds, info->defaultLowOutputLatency);
    // Callbacks of 10 ms: a host left to choose may call every 2 ms, which costs several
    // percent of a core for nothing.
    const unsigned long framesPerCallback = static_cast<unsigned long>(std::max(format.sampleRate / 100, 1));
    PaStream* stream = nullptr;
    PaError error = Pa_OpenStream(&stream, nullptr, &parameters, format.sampleRate, framesPerCallback,
                                  paPrimeOutputBuffersUsingStreamCallback, &PortAudioDevice::processStatic, this);
    if (error == paNoError)
        error = Pa_SetStreamFinishedCallback(stream, &PortAudioDevice::finishedStatic);
    // Where the system allows it, the stream's thread outranks ordinary work (no effect
    // without the right to real-time priority).
    if (error == paNoError && Pa_GetHostApiInfo(info->hostApi)->type == paALSA)
        PaAlsa_EnableRealtimeScheduling(stream, 1);
    if (error != paNoError) {
        if (stream != nullptr)
            Pa_CloseStream(stream);
        return "The output device \"" + m_name + "\" cannot be opened: " + ErrorText(error);
    }
    m_stream = stream;
    ++m_opened;
    // A little over the buffer, so that a callback merely late within it never counts;
    // the sound flows once the server has taken twice the buffer.
    m_feed.configure(format, static_cast<std::int64_t>((outputLatency() + 0.05) * 1e9),
                     static_cast<std::int64_t>(2 * outputLatency() * format.sampleRate));
    m_startPending = false;
    m_done = std::move(done);
    m_failed = std::move(failed);
    m_broken.store(false);
    m_failureReported = false;
    return {};
}

void PortAudioDevice::startStream()
{
    m_feed.restart();
    m_callbackThread.store(0);
    m_running.store(true);
    if (const PaError error = Pa_StartStream(m_stream); error != paNoError) {
        m_running.store(false);
        m_broken.store(true);
        wakeLoop();
    }
}

void PortAudioDevice::stopStream()
{
    m_startPending = false;
    // Cleared first, so that the finished callback of our own stop is not a failure.
    m_running.store(false);
    if (Pa_IsStreamStopped(m_stream) == 0)
        Pa_AbortStream(m_stream);
}

void PortAudioDevice::write(int index, std::span<const std::byte> bytes)
{
    if (m_stream == nullptr || index < 0 || index >= BufferFeed::kSlots)
        return;
    m_feed.queue(index, bytes);
    // The stream starts with sound queued, so the host's buffers are primed with it rather
    // than with silence. It starts once the writes already on their way have been made
    // too (a stream engine's first refills are posted together): priming takes as much
    // sound as the device holds, more than one buffer, and must not run dry doing it.
    if (m_running.load() || m_broken.load() || m_startPending)
        return;
    m_startPending = true;
    std::weak_ptr<bool> alive = m_alive;
    const std::uint64_t opened = m_opened;
    m_loop.post([this, alive, opened] {
        if (!alive.lock() || opened != m_opened || !m_startPending)
            return;
        m_startPending = false;
        if (m_stream != nullptr && !m_running.load() && !m_broken.load())
            startStream();
    });
}

void PortAudioDevice::reset()
{
    if (m_stream == nullptr)
        return;
    stopStream();
    // The callback has stopped: the queues are ours.
    m_feed.handBackAll();
    wakeLoop();
}

void PortAudioDevice::close()
{
    if (m_stream == nullptr)
        return;
    stopStream();
    Pa_CloseStream(m_stream);
    m_stream = nullptr;
    m_feed.clear();
    m_done = nullptr;
    m_failed = nullptr;
}

bool PortAudioDevice::feedRealtime() const
{
    return RunsRealtime(m_callbackThread.load());
}

double PortAudioDevice::outputLatency() const
{
    const PaStreamInfo* info = m_stream != nullptr ? Pa_GetStreamInfo(m_stream) : nullptr;
    return info != nullptr ? info->outputLatency : 0.0;
}

std::chrono::steady_clock::time_point PortAudioDevice::firstSoundTime() const
{
    return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(m_feed.firstSound()));
}

int PortAudioDevice::processStatic(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                                   PaStreamCallbackFlags flags, void* self)
{
    return static_cast<PortAudioDevice*>(self)->process(output, frames, flags);
}

void PortAudioDevice::finishedStatic(void* self)
{
    auto* device = static_cast<PortAudioDevice*>(self);
    if (device->m_running.load()) {
        device->m_broken.store(true);
        device->wakeLoop();
    }
}

// Real-time: the feed copies queued bytes and moves indices; nothing here locks,
// allocates or waits.
int PortAudioDevice::process(void* output, unsigned long frames, PaStreamCallbackFlags flags)
{
    m_heartbeat.fetch_add(1, std::memory_order_relaxed);
    if (m_callbackThread.load(std::memory_order_relaxed) == 0)
        m_callbackThread.store(::gettid(), std::memory_order_relaxed);
    if (m_feed.fill(static_cast<std::byte*>(output), frames, (flags & paOutputUnderflow) != 0, SteadyNanoseconds()))
        wakeLoop();
    return paContinue;
}

void PortAudioDevice::wakeLoop()
{
    ::sem_post(&m_wake);
}

// The helper thread: posts one delivery at a time to the UI thread, and notices a stream
// whose callback stopped running.
void PortAudioDevice::watch()
{
    std::uint64_t lastBeat = 0;
    auto lastChange = std::chrono::steady_clock::now();
    pid_t raised = 0;
    while (!m_quit.load()) {
        // Where the process may not take real-time priority itself (PortAudio tried), the
        // desktop may grant it. The request can wait on the bus, so it has a thread of its own.
        if (const pid_t thread = m_callbackThread.load(std::memory_order_relaxed); thread != 0 && thread != raised) {
            raised = thread;
            // Refused, the callback keeps its ordinary priority: nothing the user must hear about.
            std::thread([thread] { static_cast<void>(RequestRealtimePriority(thread)); }).detach();
        }
        timespec until{};
        ::clock_gettime(CLOCK_MONOTONIC, &until);
        until.tv_nsec += std::chrono::nanoseconds(kWatchInterval).count();
        until.tv_sec += until.tv_nsec / 1'000'000'000;
        until.tv_nsec %= 1'000'000'000;
        bool woken = ::sem_clockwait(&m_wake, CLOCK_MONOTONIC, &until) == 0;
        if (m_quit.load())
            break;
        const auto now = std::chrono::steady_clock::now();
        const std::uint64_t beat = m_heartbeat.load(std::memory_order_relaxed);
        if (beat != lastBeat || !m_running.load()) {
            lastBeat = beat;
            lastChange = now;
        } else if (now - lastChange > kSilentStreamLimit && !m_broken.exchange(true)) {
            woken = true;
        }
        if (woken && !m_deliveryPending.exchange(true)) {
            std::weak_ptr<bool> alive = m_alive;
            m_loop.post([this, alive] {
                if (alive.lock())
                    deliver();
            });
        }
    }
}

// On the UI thread: hands back finished buffers in order, then reports a failure.
void PortAudioDevice::deliver()
{
    m_deliveryPending.store(false);
    for (int index; m_stream != nullptr && m_feed.takeFinished(index);) {
        const BufferDone done = m_done;
        done(index);
    }
    if (m_stream != nullptr && m_broken.load() && !m_failureReported) {
        m_failureReported = true;
        const Failure failed = m_failed;
        failed("The output device \"" + m_name + "\" stopped working; the output has stopped.");
    }
}

} // namespace kelvo
