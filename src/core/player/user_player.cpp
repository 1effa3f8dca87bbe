#include "core/player/user_player.h"

#include "core/player/playlist.h"

namespace kelvo {

UserPlayer::UserPlayer(SignalSettings& settings, FileOutput& output, EventLoop& loop)
    : m_settings(settings)
    , m_output(output)
    , m_loop(loop)
{
}

void UserPlayer::playUserFile()
{
    const auto entry = static_cast<std::size_t>(SelectedEntry(m_settings));
    // Copies: the record may change while the file starts.
    const std::string path = m_settings.PlaylistPath[entry];
    const std::string name = m_settings.PlaylistName[entry];
    if (path.empty()) {
        m_output.stop();
        return;
    }
    ShowWaveInfo(m_info, ProbeWave(path));
    if (m_output.playFile(path, name))
        m_clock.start(m_loop.now());
}

void UserPlayer::outputEnded()
{
    m_clock.stop();
}

void UserPlayer::tick()
{
    m_clock.tick(m_loop.now(), m_info.duration);
}

} // namespace kelvo
