#pragma once

#include "runtime/messages.h"
#include "runtime/random_source.h"
#include "settings/signal_settings.h"
#include "synth/wave_engine.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kelvo::test {

// Records every message shown, for assertions.
class RecordingMessages final : public Messages {
public:
    void show(std::string_view text) override { shown.emplace_back(text); }
    std::vector<std::string> shown;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// A settings record with its own engine and random source, as a new process has them.
struct Renderer {
    SignalSettings settings;
    RandomSource random;
    WaveEngine engine{random};

    // Renders the live settings; returns the refusal text, empty on success.
    std::string render() { return engine.Render(settings); }
    const SampleBuffer& samples() const { return engine.samples(); }
    Sample left(FrameIndex n) const { return samples()[static_cast<std::size_t>(2 * n)]; }
    Sample right(FrameIndex n) const { return samples()[static_cast<std::size_t>(2 * n + 1)]; }
    // The upper index N of the rendered block.
    std::int64_t upper() const { return static_cast<std::int64_t>(samples().size()) - 1; }
};

// The whole content of a file.
std::string ReadFile(const std::filesystem::path& path);
// Replaces the file at `path` with exactly `text`.
void WriteFile(const std::filesystem::path& path, const std::string& text);

} // namespace kelvo::test
