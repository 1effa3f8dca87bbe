#include "gui/app/desktop.h"

#include "core/playback/portaudio_device.h"
#include "gui/arb/arb_window.h"
#include "gui/dialogs/setup_dialogs.h"
#include "gui/help/help_window.h"
#include "gui/panels/main_panel.h"
#include "gui/panels/remote_panel.h"
#include "gui/player/user_setup.h"
#include "gui/ui/placement.h"

#include <algorithm>

namespace kelvo::gui {

Desktop::Desktop(Oscillator& oscillator, FileDialogs* fileDialogs)
    : m_oscillator(oscillator)
    , m_systemDialogs(QString::fromStdString(oscillator.folder().string()))
    , m_fileDialogs(fileDialogs != nullptr ? *fileDialogs : m_systemDialogs)
    , m_listDevices(ListOutputDevices)
{
    MainPanel& panel = main();
    connect(&panel, &MainPanel::remoteRequested, this, [this] { show(WindowId::Remote); });
    connect(&panel, &MainPanel::helpRequested, this, [this] { help().open(); });
    connect(&panel, &MainPanel::setupRequested, this, [this](WindowId id) { show(id); });
    connect(&panel, &MainPanel::oscillatorSetupRequested, this, [this] { show(WindowId::OscSetup); });
    connect(&panel, &MainPanel::exitRequested, this, &Desktop::closeAll);
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
    if (!shown.isVisible() && id != WindowId::Main)
        PlaceBeside(shown, main());
    shown.show();
    shown.raise();
    shown.activateWindow();
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
