#pragma once

#include <QApplication>

namespace kelvo::gui {

// The application object. An allocation that fails in an event handler (a huge input met
// somewhere no limit caught it) abandons that one action with a message instead of ending
// the program, so nothing the user has open is lost.
class GuardedApplication final : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace kelvo::gui
