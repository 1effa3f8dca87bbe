#include "core/oscillator/signal_files.h"

#include "core/runtime/atomic_file.h"
#include "core/runtime/program_folder.h"
#include "core/synth/unknown_codes.h"
#include "core/wavefile/fine_wav_writer.h"
#include "core/wavefile/wav_writer.h"

#include <array>
#include <cstdint>
#include <system_error>

namespace kelvo {
namespace {

SampleEncoding EncodingFor(std::int32_t bits)
{
    switch (bits) {
    case 24: return SampleEncoding::Signed24;
    case 32: return SampleEncoding::Float32;
    default: return SampleEncoding::Signed16;
    }
}

} // namespace

SignalFiles::SignalFiles(WaveEngine& engine)
    : m_engine(engine)
{
}

bool SignalFiles::renderToFile(SignalSettings& s, const std::filesystem::path& folder, Messages& messages)
{
    m_lastRenderFailed = true;
    std::string refusal = SilentRenderRefusal(s, m_engine.state());
    if (refusal.empty())
        refusal = m_engine.Render(s);
    if (!refusal.empty()) {
        messages.show(refusal);
        return false;
    }
    const std::string error = WriteRendered(ProgramFile(folder, kRenderedFile), s);
    if (!error.empty()) {
        messages.show("The signal could not be written: " + error);
        return false;
    }
    m_lastRenderFailed = false;
    return true;
}

std::string SignalFiles::WriteRendered(const std::filesystem::path& path, const SignalSettings& s) const
{
    if (!m_engine.fineRender())
        return WriteWaveFile(path, m_engine.samples(), s.SampleRate[0]);
    return WriteFineWaveFile(path, m_engine.fineSamples(), s.SampleRate[0],
                             {.encoding = EncodingFor(s.Bits[0]), .dither = s.Dither == 1});
}

std::string SignalFiles::copyRendered(const std::filesystem::path& folder, const std::filesystem::path& target) const
{
    if (m_lastRenderFailed)
        return "Nothing was saved: the last render failed, so there is no current signal to save.";
    const std::filesystem::path rendered = ProgramFile(folder, kRenderedFile);
    std::error_code error;
    if (!std::filesystem::exists(rendered, error))
        return "No signal has been rendered yet, so there is nothing to save: switch a signal on first.";
    return CopyFileAtomically(rendered, target);
}

std::string WriteStopFile(const SignalSettings& settings, const std::filesystem::path& folder)
{
    constexpr std::array<std::int16_t, 201> kSilence{};
    return WriteWaveFile(ProgramFile(folder, kStopFile), kSilence, settings.SampleRate[0]);
}

} // namespace kelvo
