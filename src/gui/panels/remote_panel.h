#pragma once

#include "core/oscillator/oscillator.h"
#include "gui/panels/panel_parts.h"
#include "gui/ui/borderless_window.h"
#include "gui/ui/on_top.h"

#include <memory>

namespace kelvo::gui {

class Lamp;

// The small always-on-top remote panel, objectName "Remote": frequency and levels with
// their entry boxes, memory up and down, play and stop. It holds no state of its own.
class RemotePanel final : public BorderlessWindow, private PanelObserver {
    Q_OBJECT
public:
    explicit RemotePanel(Oscillator& oscillator, QWidget* parent = nullptr);
    ~RemotePanel() override;

protected:
    void refill() override;
    bool handleKey(QKeyEvent* event) override;

private:
    void panelChanged(const PanelView& view) override;

    Oscillator& m_oscillator;
    WindowOnTop m_onTop;
    std::unique_ptr<EntryField> m_freq;
    std::unique_ptr<EntryField> m_levelL;
    std::unique_ptr<EntryField> m_levelR;
    QLabel* m_memDisplay = nullptr;
    Lamp* m_on = nullptr;
    ObserverScope m_observing{m_oscillator, this};
};

} // namespace kelvo::gui
