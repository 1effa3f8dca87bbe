// kelvo itself driven by a PyVISA client, playing into a private PulseAudio null sink.
#include "support/remote_session.h"

namespace kelvo::test {
namespace {

// The same session as with kelvo-cli serve, against the desktop program: it plays the same
// samples, and SYSTem:EXIT leaves as the EXIT key does, saving what the client set.
TEST(RemoteEndToEnd, TheDesktopProgramAnswersPyVisaAndSavesAtExit)
{
    if (!PrivateAudio::available() || !PyVisaAvailable())
        GTEST_SKIP() << "pulseaudio, parec and PyVISA are needed (scripts/bootstrap installs them)";
    ExpectInThreeTries([] {
        TempFolder folder;
        const int port = FreePort();
        const std::string fault = RemoteSquareSession(folder,
                                                      "QT_QPA_PLATFORM=offscreen '" KELVO_GUI_PATH "' --folder " +
                                                          ShellQuoted(folder.path()) + " --remote " + std::to_string(port),
                                                      port);
        if (!fault.empty())
            return fault;
        const std::string saved = ReadFile(folder / "Kelvo.ini");
        return saved.find("\r\n1234.5\r\n") != std::string::npos ? std::string()
                                                                 : "Kelvo.ini holds no frequency 1234.5:\n" + saved;
    });
}

} // namespace
} // namespace kelvo::test
