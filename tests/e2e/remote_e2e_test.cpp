#include "support/remote_session.h"

namespace kelvo::test {
namespace {

// A PyVISA client drives kelvo-cli serve: the square wave it asks for plays exactly as
// kelvo-cli render writes it, an out-of-range frequency is refused, OUTP OFF silences.
TEST(RemoteEndToEnd, ServeAnswersPyVisaAndPlaysWhatRenderWrites)
{
    if (!PrivateAudio::available() || !PyVisaAvailable())
        GTEST_SKIP() << "pulseaudio, parec and PyVISA are needed (scripts/bootstrap installs them)";
    ExpectInThreeTries([] {
        TempFolder folder;
        const int port = FreePort();
        return RemoteSquareSession(
            folder, "'" KELVO_CLI_PATH "' serve --folder " + ShellQuoted(folder.path()) + " --port " + std::to_string(port),
            port);
    });
}

} // namespace
} // namespace kelvo::test
