#include "core/oscillator/signal_chain.h"

namespace kelvo {

SignalChain::SignalChain(SignalSettings& settings, std::filesystem::path folder, AudioDevice& streamDevice,
                         AudioDevice& legacyDevice, EventLoop& loop, Messages& messages)
    : m_folder(std::move(folder))
    , m_stream(m_reader, streamDevice, loop, messages)
    , m_legacy(legacyDevice, messages)
    , m_control({settings, m_files, m_reader, m_stream, m_legacy, loop, messages, m_folder})
{
}

} // namespace kelvo
