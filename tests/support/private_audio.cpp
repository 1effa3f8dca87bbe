#include "support/private_audio.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kelvo::test {
namespace {

std::string Script()
{
    return "'" KELVO_TEST_AUDIO "'";
}

} // namespace

PrivateAudio::PrivateAudio(std::filesystem::path folder, int rate)
    : m_folder(std::move(folder))
{
    const ShellResult started =
        RunShell(Script() + " start " + ShellQuoted(m_folder) + " " + std::to_string(rate) + " 2>&1");
    if (started.status == 0)
        m_server = started.output.substr(0, started.output.find('\n'));
    else
        m_error = started.output;
}

PrivateAudio::~PrivateAudio()
{
    stop();
}

bool PrivateAudio::record(const std::filesystem::path& file)
{
    return RunShell(Script() + " record " + ShellQuoted(m_folder) + " " + ShellQuoted(file)).status == 0;
}

void PrivateAudio::stop()
{
    RunShell(stopCommand());
}

std::string PrivateAudio::stopCommand() const
{
    return Script() + " stop " + ShellQuoted(m_folder);
}

bool PrivateAudio::available()
{
    return RunShell("command -v pulseaudio >/dev/null && command -v parec >/dev/null").status == 0;
}

std::vector<std::int16_t> Int16Samples(const std::string& bytes)
{
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

LoopedRecording MatchLoop(const std::vector<std::int16_t>& block, const std::vector<std::int16_t>& recorded, int tolerance)
{
    const auto near = [tolerance](std::int16_t a, std::int16_t b) { return std::abs(a - b) <= tolerance; };
    constexpr std::size_t kProbe = 2000;
    LoopedRecording result;
    result.frames = recorded.size() / 2;
    const std::size_t blockFrames = block.size() / 2;
    if (blockFrames < kProbe)
        return result;
    std::size_t start = 0;
    while (start + kProbe <= result.frames &&
           !std::equal(block.begin(), block.begin() + 2 * kProbe,
                       recorded.begin() + static_cast<std::ptrdiff_t>(2 * start), near))
        ++start;
    if (start + kProbe > result.frames)
        return result;
    result.start = start;
    std::size_t& matched = result.matched;
    while (start + matched < result.frames &&
           near(recorded[2 * (start + matched)], block[2 * (matched % blockFrames)]) &&
           near(recorded[2 * (start + matched) + 1], block[2 * (matched % blockFrames) + 1]))
        ++matched;
    std::size_t silent = start + matched;
    while (silent < result.frames && recorded[2 * silent] == 0 && recorded[2 * silent + 1] == 0)
        ++silent;
    result.silentAfter = silent - (start + matched);
    return result;
}

} // namespace kelvo::test
