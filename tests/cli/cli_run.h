#pragma once

#include "support/shell.h"
#include "support/test_support.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace kelvo::test {

using CliResult = ShellResult;

// Runs kelvo-cli with `arguments` (each passed as one word); the output holds what it
// printed on stdout and stderr.
inline CliResult RunCli(const std::vector<std::string>& arguments)
{
    std::string command = "'" KELVO_CLI_PATH "'";
    for (const auto& argument : arguments)
        command += " '" + argument + "'";
    return RunShell(command + " 2>&1");
}

// The fields of a rendered file that the checks compare, and its samples.
struct WaveFile {
    std::uint32_t sampleRate = 0;
    std::uint32_t dataSize = 0;
    std::vector<std::int16_t> samples;
};

// Reads a file in the canonical 44-byte layout the engine writes.
inline WaveFile ReadCanonicalWave(const std::filesystem::path& path)
{
    const std::string bytes = ReadFile(path);
    WaveFile wave;
    if (bytes.size() < 44)
        return wave;
    std::memcpy(&wave.sampleRate, bytes.data() + 24, 4);
    std::memcpy(&wave.dataSize, bytes.data() + 40, 4);
    wave.samples.resize((bytes.size() - 44) / 2);
    std::memcpy(wave.samples.data(), bytes.data() + 44, wave.samples.size() * 2);
    return wave;
}

} // namespace kelvo::test
