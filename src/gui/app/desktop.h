#pragma once

#include "oscillator/oscillator.h"

#include <QObject>

#include <memory>

namespace kelvo::gui {

class HelpWindow;
class MainPanel;
class RemotePanel;

// The program's windows around one oscillator: each is created once and kept; closing
// a window hides it. The front panel is the first window; leaving through its lblExit
// closes every window.
class Desktop final : public QObject {
    Q_OBJECT
public:
    explicit Desktop(Oscillator& oscillator);
    ~Desktop() override;

    // Runs the start-up sequence and shows the front panel.
    void start();

    MainPanel& main() { return *m_main; }
    RemotePanel& remote() { return *m_remote; }
    HelpWindow& help() { return *m_help; }

private:
    void showRemote();
    void closeAll();

    Oscillator& m_oscillator;
    std::unique_ptr<MainPanel> m_main;
    std::unique_ptr<RemotePanel> m_remote;
    std::unique_ptr<HelpWindow> m_help;
};

} // namespace kelvo::gui
