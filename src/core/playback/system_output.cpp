#include "core/playback/system_output.h"

#include <cstdlib>
#include <string_view>

namespace kelvo {

SystemOutput::SystemOutput(EventLoop& loop)
    : m_loop(loop)
{
}

AudioDevice* SystemOutput::pulse()
{
    if (!m_pulseTried) {
        m_pulseTried = true;
        const char* backend = std::getenv("KELVO_AUDIO_BACKEND");
        if (backend == nullptr || std::string_view(backend) != "portaudio")
            m_pulse = std::move(PulseDevice::create(m_loop).device);
    }
    return m_pulse.get();
}

AudioDevice* SystemOutput::portAudio(std::string& error)
{
    if (!m_portAudio) {
        PortAudioBackend backend = PortAudioDevice::create(m_loop);
        if (!backend.device) {
            error = "No sound output is available: " + backend.error;
            return nullptr;
        }
        m_portAudio = std::move(backend.device);
    }
    return m_portAudio.get();
}

std::string SystemOutput::open(int index, const AudioFormat& format, BufferDone done, Failure failed)
{
    close();
    std::string error;
    AudioDevice* device = index == -1 || index == 0 ? pulse() : nullptr;
    if (device == nullptr)
        device = portAudio(error);
    if (device == nullptr)
        return error;
    m_active = device;
    return device->open(index, format, std::move(done), std::move(failed));
}

void SystemOutput::write(int index, std::span<const std::byte> bytes)
{
    if (m_active != nullptr)
        m_active->write(index, bytes);
}

void SystemOutput::reset()
{
    if (m_active != nullptr)
        m_active->reset();
}

void SystemOutput::close()
{
    if (m_active != nullptr)
        m_active->close();
}

std::int64_t SystemOutput::underruns() const
{
    return (m_pulse ? m_pulse->underruns() : 0) + (m_portAudio ? m_portAudio->underruns() : 0);
}

std::chrono::steady_clock::time_point SystemOutput::firstSoundTime() const
{
    return m_active != nullptr ? m_active->firstSoundTime() : std::chrono::steady_clock::time_point();
}

} // namespace kelvo
