#pragma once

#include <QApplication>

#include <cstdio>

namespace kelvo::bench {

// One QApplication on Qt's offscreen platform for every window benchmark of the run.
inline QApplication& OffscreenApplication()
{
    static int argc = 1;
    static char name[] = "kelvo_bench";
    static char* argv[] = {name, nullptr};
    // Never destroyed: by the time static destructors run, Qt's own globals are gone and
    // destroying the application then crashes the benchmark program at exit.
    static QApplication* const app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The offscreen platform warns at every raise(); keep the figures readable.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (!message.startsWith(QStringLiteral("This plugin does not support")))
                std::fprintf(stderr, "%s%s\n", type == QtWarningMsg ? "Warning: " : "", qPrintable(message));
        });
        return new QApplication(argc, argv);
    }();
    return *app;
}

} // namespace kelvo::bench
