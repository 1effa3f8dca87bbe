// kelvo: the desktop program.
#include "core/help/help_topics.h"
#include "core/playback/system_output.h"
#include "core/remote/remote_control.h"
#include "core/runtime/program_folder.h"
#include "gui/app/desktop.h"
#include "gui/panels/main_panel.h"
#include "gui/runtime/box_messages.h"
#include "gui/runtime/guarded_application.h"
#include "gui/runtime/qt_event_loop.h"
#include "kelvo_config.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

using namespace kelvo;

// Milliseconds since the kernel started this process (to one clock tick), so that the
// loading of the libraries counts too; -1 when it cannot be told.
double ProcessAgeMs()
{
    std::ifstream stat("/proc/self/stat");
    std::string text;
    std::getline(stat, text);
    // The command name in parentheses may hold blanks; the fields after it do not.
    const auto nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos || nameEnd + 2 > text.size())
        return -1;
    std::istringstream fields(text.substr(nameEnd + 2));
    std::string field;
    for (int number = 3; number <= 22 && fields >> field; ++number) {}
    timespec now{};
    if (!fields || clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return -1;
    const double startTicks = std::stod(field);
    const double nowSeconds = static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
    return (nowSeconds - startTicks / static_cast<double>(sysconf(_SC_CLK_TCK))) * 1000;
}

// Qt aborts with a long story when it finds no display; say it in one line instead.
bool DisplayAvailable()
{
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
}

// The port of --remote: the default unless a port follows it; nothing when the arguments
// are not that.
std::optional<std::uint16_t> RemotePort(bool remote, const QStringList& positional)
{
    if (positional.isEmpty())
        return static_cast<std::uint16_t>(kDefaultRemotePort);
    bool number = false;
    const int port = positional.front().toInt(&number);
    if (!remote || positional.size() > 1 || !number || port < 1 || port > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(port);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("kelvo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KELVO_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Two-channel audio test oscillator"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption folderOption(QStringLiteral("folder"), QStringLiteral("Keep the settings and signal files in DIR."),
                                          QStringLiteral("DIR"));
    const QCommandLineOption timingOption(QStringLiteral("startup-time"),
                                          QStringLiteral("Print the time from start to the front panel's first paint."));
    const QCommandLineOption remoteOption(
        QStringLiteral("remote"),
        QStringLiteral("Answer SCPI remote control on TCP port PORT (5025 unless given), whatever the setup says."));
    const QCommandLineOption listenOption(QStringLiteral("listen"),
                                          QStringLiteral("With --remote: listen on ADDRESS rather than the loopback addresses."),
                                          QStringLiteral("ADDRESS"));
    parser.addOption(folderOption);
    parser.addOption(timingOption);
    parser.addOption(remoteOption);
    parser.addOption(listenOption);
    parser.addPositionalArgument(QStringLiteral("PORT"), QStringLiteral("The port of --remote."), QStringLiteral("[PORT]"));

    if (!DisplayAvailable()) {
        // --help, --version and a wrong option are answered without a display: process()
        // prints and leaves for them.
        const QCoreApplication answer(argc, argv);
        parser.process(answer);
        std::fprintf(stderr, "kelvo: no display was found (DISPLAY is not set). Start it on a desktop or "
                             "under xvfb-run, or use kelvo-cli.\n");
        return 1;
    }
    gui::GuardedApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(KELVO_DESKTOP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("kelvo")));
    parser.process(app);

    std::optional<std::filesystem::path> given;
    if (parser.isSet(folderOption)) {
        if (parser.value(folderOption).isEmpty()) {
            std::fprintf(stderr, "kelvo: --folder needs a folder, not an empty text\n");
            return 2;
        }
        given = std::filesystem::path(parser.value(folderOption).toStdString());
    }
    const auto remotePort = RemotePort(parser.isSet(remoteOption), parser.positionalArguments());
    if (!remotePort || (parser.isSet(listenOption) && !parser.isSet(remoteOption))) {
        std::fprintf(stderr, "kelvo: a port from 1 to 65535 may follow --remote, and --listen needs --remote\n");
        return 2;
    }
    const std::filesystem::path folder = ResolveProgramFolder(given, ExecutableFolder());
    // The viewer reads the topics from the program folder, where a user may edit them.
    const std::string helpErrors = CopyMissingHelpTopics(ShippedDataFolder(ExecutableFolder(), KELVO_SOURCE_HELPDIR), folder);
    std::fputs(helpErrors.c_str(), stderr);

    gui::QtEventLoop loop;
    gui::BoxMessages messages;
    SystemOutput streamDevice(loop);
    SystemOutput legacyDevice(loop);
    Oscillator oscillator(folder, streamDevice, legacyDevice, loop, messages);
    gui::Desktop desktop(oscillator);
    if (parser.isSet(timingOption)) {
        QObject::connect(&desktop.main(), &gui::BorderlessWindow::firstPainted, &app, [] {
            std::printf("first paint %.0f ms after the start\n", ProcessAgeMs());
            std::fflush(stdout);
        });
    }
    desktop.start();
    // SYSTem:EXIT is the EXIT key.
    RemoteControl remote(oscillator, loop, [&desktop] { desktop.main().exitProgram(); });
    if (parser.isSet(remoteOption)) {
        const std::string address = parser.value(listenOption).toStdString();
        if (const std::string error = remote.listen(*remotePort, address); !error.empty())
            messages.show("Remote control is off: " + error);
        else if (!address.empty())
            std::fprintf(stderr, "kelvo: %s\n", OpenListenWarning(address).c_str());
    } else {
        remote.followOption();
    }
    const int status = QApplication::exec();
    oscillator.stopSignal();
    return status;
}
