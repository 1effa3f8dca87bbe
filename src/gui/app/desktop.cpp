#include "gui/app/desktop.h"

#include "gui/help/help_window.h"
#include "gui/panels/main_panel.h"
#include "gui/panels/remote_panel.h"

namespace kelvo::gui {

Desktop::Desktop(Oscillator& oscillator)
    : m_oscillator(oscillator)
    , m_main(std::make_unique<MainPanel>(oscillator))
    , m_remote(std::make_unique<RemotePanel>(oscillator))
    , m_help(std::make_unique<HelpWindow>(oscillator.folder()))
{
    connect(m_main.get(), &MainPanel::remoteRequested, this, &Desktop::showRemote);
    connect(m_main.get(), &MainPanel::helpRequested, m_help.get(), &HelpWindow::open);
    connect(m_main.get(), &MainPanel::exitRequested, this, &Desktop::closeAll);
}

Desktop::~Desktop() = default;

void Desktop::start()
{
    m_oscillator.Start();
    m_main->show();
    m_main->setFocus(Qt::OtherFocusReason);
}

void Desktop::showRemote()
{
    if (!m_remote->isVisible()) {
        // Beside the front panel, the first time and whenever it was closed.
        const QRect panel = m_main->frameGeometry();
        m_remote->adjustSize();
        m_remote->move(panel.right() + 12, panel.top());
    }
    m_remote->show();
    m_remote->raise();
}

void Desktop::closeAll()
{
    m_remote->close();
    m_help->close();
    m_main->close();
}

} // namespace kelvo::gui
