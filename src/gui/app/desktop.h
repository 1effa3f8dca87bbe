#pragma once

#include "core/oscillator/oscillator.h"
#include "gui/app/window_id.h"
#include "gui/dialogs/osc_setup.h"
#include "gui/ui/file_dialogs.h"

#include <QObject>

#include <map>
#include <memory>
#include <utility>
#include <vector>

class QWidget;

namespace kelvo::gui {

class HelpWindow;
class MainPanel;
class RemotePanel;
struct InSight;

// The registry of the program's windows around one oscillator: it creates each window once,
// when it is first needed, and keeps it; closing a window hides it. The front panel is the
// first window; leaving through its lblExit closes every window.
class Desktop final : public QObject {
    Q_OBJECT
public:
    // `fileDialogs` asks the user for files; the platform's dialogs when none is given.
    explicit Desktop(Oscillator& oscillator, FileDialogs* fileDialogs = nullptr);
    ~Desktop() override;

    // Runs the start-up sequence and shows the front panel where it fits on the screen.
    void start();

    // The window `id`, created the first time it is asked for.
    QWidget& window(WindowId id);
    // Shows the window `id`: a hidden one opens beside the front panel, clear of its keys
    // where the screen has room and of the title strips of the windows already open; a
    // shown one is raised.
    void show(WindowId id);
    // Closes every window, the front panel last.
    void closeAll();

    // Where the oscillator setup lists the output devices from; PortAudio's unless replaced.
    void setOutputDevices(OutputDeviceLister listDevices) { m_listDevices = std::move(listDevices); }

    MainPanel& main();
    RemotePanel& remote();
    HelpWindow& help();

private:
    std::unique_ptr<QWidget> create(WindowId id);
    // What `opening` should leave in sight: the front panel's keys and the open windows.
    InSight inSightOf(const QWidget& opening);
    // Notes that the window `id` came to the top.
    void raised(WindowId id);

    Oscillator& m_oscillator;
    SystemFileDialogs m_systemDialogs;
    FileDialogs& m_fileDialogs;
    OutputDeviceLister m_listDevices;
    std::map<WindowId, std::unique_ptr<QWidget>> m_windows;
    std::vector<WindowId> m_created; // in the order they were created
    // The order the windows were last shown or activated in, the bottom first: how they lie
    // on one another as far as the desktop can tell.
    std::vector<WindowId> m_stacking;
};

} // namespace kelvo::gui
