#include "gui/app/desktop.h"

#include "core/playback/portaudio_device.h"
#include "gui/arb/arb_window.h"
#include "gui/dialogs/setup_dialogs.h"
#include "gui/help/help_window.h"
#include "gui/panels/main_panel.h"
#include "gui/panels/remote_panel.h"
#include "gui/player/user_setup.h"
#include "gui/ui/placement.h"

#include <QApplication>
#include <QWindow>

#include <algorithm>

namespace kelvo::gui {
namespace {

// The front panel's keys that a window opening beside it leaves within reach where the
// screen has room: starting and stopping, the setups, and the title row's.
const char* const kKeysInReach[] = {"lblSigOn",  "lblSigOff", "lblCfgSig", "lblCfgOsc",
                                    "lblRemote", "lblHelp",   "lblMin",    "lblExit"};

} // namespace

Desktop::Desktop(Oscillator& oscillator, FileDialogs* fileDialogs)
    : m_oscillator(oscillator)
    , m_systemDialogs(QString::fromStdString(oscillator.folder().string()))
    , m_fileDialogs(fileDialogs != nullptr ? *fileDialogs : m_systemDialogs)
    , m_listDevices(ListOutputDevices)
{
    MainPanel& panel = main();
    connect(&panel, &MainPanel::remoteRequested, this, [this] { show(WindowId::Remote); });
    connect(&panel, &MainPanel::helpRequested, this, [this] { show(WindowId::Help); });
    connect(&panel, &MainPanel::setupRequested, this, [this](WindowId id) { show(id); });
    connect(&panel, &MainPanel::oscillatorSetupRequested, this, [this] { show(WindowId::OscSetup); });
    connect(&panel, &MainPanel::exitRequested, this, &Desktop::closeAll);
    // A window the user activates usually comes to the top.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](const QWindow* focused) {
        for (const auto& [id, shown] : m_windows) {
            if (focused != nullptr && shown->windowHandle() == focused)
                raised(id);
        }
    });
}

Desktop::~Desktop()
{
    // The other windows go before the front panel, as they were made after it.
    for (auto id = m_created.rbegin(); id != m_created.rend(); ++id)
        m_windows.erase(*id);
}

void Desktop::start()
{
    m_oscillator.Start();
    MainPanel& panel = main();
    PlaceCentred(panel, nullptr);
    panel.show();
    raised(WindowId::Main);
    panel.setFocus(Qt::OtherFocusReason);
}

QWidget& Desktop::window(WindowId id)
{
    auto found = m_windows.find(id);
    if (found == m_windows.end()) {
        found = m_windows.emplace(id, create(id)).first;
        m_created.push_back(id);
    }
    return *found->second;
}

void Desktop::show(WindowId id)
{
    QWidget& shown = window(id);
    const bool opening = !shown.isVisible() && id != WindowId::Main;
    if (opening)
        PlaceBeside(shown, main(), inSightOf(shown));
    if (id == WindowId::Help) {
        help().open();
    } else {
        shown.show();
        shown.raise();
        shown.activateWindow();
    }
    if (opening)
        KeepOnScreen(shown, main());
    raised(id);
}

void Desktop::raised(WindowId id)
{
    m_stacking.erase(std::remove(m_stacking.begin(), m_stacking.end(), id), m_stacking.end());
    m_stacking.push_back(id);
}

InSight Desktop::inSightOf(const QWidget& opening)
{
    InSight inSight;
    MainPanel& panel = main();
    for (const char* name : kKeysInReach) {
        if (const auto* key = panel.findChild<QWidget*>(QString::fromLatin1(name)))
            inSight.keys.emplace_back(key->mapToGlobal(QPoint(0, 0)), key->size());
    }
    for (const WindowId id : m_stacking) {
        const QWidget* shown = m_windows.at(id).get();
        if (shown != &opening && shown->isVisible())
            inSight.windows.push_back(
                {shown->frameGeometry(), TitleStrip(*shown), shown->windowFlags().testFlag(Qt::WindowStaysOnTopHint)});
    }
    return inSight;
}

void Desktop::closeAll()
{
    for (auto id = m_created.rbegin(); id != m_created.rend(); ++id)
        m_windows.at(*id)->close();
}

MainPanel& Desktop::main()
{
    return static_cast<MainPanel&>(window(WindowId::Main));
}

RemotePanel& Desktop::remote()
{
    return static_cast<RemotePanel&>(window(WindowId::Remote));
}

HelpWindow& Desktop::help()
{
    return static_cast<HelpWindow&>(window(WindowId::Help));
}

std::unique_ptr<QWidget> Desktop::create(WindowId id)
{
    switch (id) {
    case WindowId::Main: return std::make_unique<MainPanel>(m_oscillator);
    case WindowId::Remote: return std::make_unique<RemotePanel>(m_oscillator);
    case WindowId::Help: return std::make_unique<HelpWindow>(m_oscillator.folder());
    case WindowId::ArbEditor: return std::make_unique<ArbWindow>(m_oscillator, m_fileDialogs);
    case WindowId::UserSetup: {
        auto player = std::make_unique<UserSetup>(m_oscillator, m_fileDialogs);
        connect(player.get(), &UserSetup::arbRequested, this, [this] { show(WindowId::ArbEditor); });
        return player;
    }
    case WindowId::OscSetup: {
        // The lister is called through the registry, so a replaced one counts from then on.
        auto setup =
            std::make_unique<OscSetup>(m_oscillator, m_fileDialogs, [this](std::string& error) { return m_listDevices(error); });
        connect(setup.get(), &OscSetup::resetDone, this, &Desktop::closeAll);
        return setup;
    }
    default: return MakeSetupDialog(id, m_oscillator, m_fileDialogs);
    }
}

} // namespace kelvo::gui
