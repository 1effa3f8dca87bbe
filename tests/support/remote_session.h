#pragma once

#include "support/free_port.h"
#include "support/private_audio.h"
#include "support/test_support.h"

namespace kelvo::test {

// Whether PyVISA with its pure-Python backend is installed.
inline bool PyVisaAvailable()
{
    return RunShell("'" KELVO_TEST_PYTHON "' -c 'import pyvisa, pyvisa_py' 2>/dev/null").status == 0;
}

// Runs `program` (a shell command that serves SCPI on `port`) in the background while
// support/scpi_session.py plays a square wave for six seconds through it, recorded from the
// private sound server. The recording must loop exactly what `kelvo-cli render` writes for the
// same settings, then fall silent; the client's answers must be the instrument's. Returns
// what is wrong, empty when nothing is.
inline std::string RemoteSquareSession(const TempFolder& folder, const std::string& program, int port)
{
    PrivateAudio audio(folder / "audio", 44100);
    if (audio.server().empty() || !audio.record(folder / "recording.raw"))
        return "the private PulseAudio did not start:\n" + audio.error();
    const ShellResult session = RunShell(
        "export PULSE_SERVER='" + audio.server() + "'; " + program + " >" + ShellQuoted(folder / "program.log") +
        " 2>&1 & pid=$!; '" KELVO_TEST_PYTHON "' '" KELVO_SCPI_CLIENT "' " + std::to_string(port) + " 6 exit 2>&1; status=$?; " +
        "for i in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done; kill $pid 2>/dev/null; " +
        "wait $pid; exit $status");
    audio.stop();
    const std::string log = "\nthe program said:\n" + ReadFile(folder / "program.log");
    if (session.status != 0)
        return "the session failed:\n" + session.output + log;
    const std::string expected = "Kelvo,kelvo,0,";
    if (!session.output.starts_with(expected) || session.output.find("\n1\n-222,\"Data out of range") == std::string::npos ||
        session.output.find("\n0;1234.5\n") == std::string::npos)
        return "the answers were not the instrument's:\n" + session.output + log;

    const ShellResult rendered = RunShell("mkdir -p " + ShellQuoted(folder / "render") +
                                          " && '" KELVO_CLI_PATH "' render --folder " + ShellQuoted(folder / "render") +
                                          " --set WaveBuildLength=1 --set Waveform=2 --set Freq=1234.5 --set LevelL=-12 "
                                          "--set LevelR=-12 -o " +
                                          ShellQuoted(folder / "square.wav") + " 2>&1");
    if (rendered.status != 0)
        return "kelvo-cli render failed:\n" + rendered.output;
    const std::string file = ReadFile(folder / "square.wav");
    const std::vector<std::int16_t> wave = Int16Samples(file.substr(std::min<std::size_t>(44, file.size())));
    // The recording may begin inside the block; from the block's first loop point it must hold
    // the whole block at least once more.
    return LoopFault(MatchLoop(wave, Int16Samples(ReadFile(folder / "recording.raw")), 0, wave.size() / 2), wave.size() / 2,
                     44100 / 10);
}

} // namespace kelvo::test
