#pragma once

#include "core/runtime/atomic_file.h"
#include "core/runtime/messages.h"
#include "core/runtime/random_source.h"
#include "core/settings/signal_settings.h"
#include "core/synth/wave_engine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
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
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelvo-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary folder");
        m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
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
inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

// Replaces the file at `path` with exactly `text`; a failure fails the test.
inline void WriteFile(const std::filesystem::path& path, const std::string& text)
{
    if (const std::string error = WriteFileAtomically(path, text); !error.empty())
        ADD_FAILURE() << error;
}

struct ShellResult {
    int status = -1;    // exit status of the command
    std::string output; // what it printed on standard output
};

// Runs a command through the shell and waits for it.
inline ShellResult RunShell(const std::string& command)
{
    ShellResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        result.output.append(chunk, got);
    const int raw = ::pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

// A path as one single-quoted shell word.
inline std::string ShellQuoted(const std::filesystem::path& path)
{
    return "'" + path.string() + "'";
}

} // namespace kelvo::test
