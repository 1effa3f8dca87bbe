#pragma once

#include "gui/dialogs/setup_dialog.h"
#include "gui/panels/panel_parts.h"
#include "gui/ui/file_dialogs.h"

class QLabel;
class QListWidget;
class QTimer;

namespace kelvo::gui {

class ElidedLabel;
class Lamp;

// frmUserSetup, the user wave player: the 201-entry playlist in List1 with its file and
// list keys, PLAY and STOP, the information about the playing file and its elapsed-time
// clock. Created once; the playlist lives in the record and the player's state in the
// application object, so both survive closing the window.
class UserSetup final : public SetupDialog, private PanelObserver {
    Q_OBJECT
public:
    UserSetup(Oscillator& oscillator, FileDialogs& fileDialogs, QWidget* parent = nullptr);

Q_SIGNALS:
    // ARB GEN (the key cmdArb) was pressed: the arbitrary wave editor should open.
    void arbRequested();

protected:
    void refill() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void panelChanged(const PanelView& view) override;

    QWidget* buildList();
    QLayout* buildKeys();
    QWidget* buildInfo();
    void refreshList();
    void showSelection();
    void showPlayer();
    void rowChosen(int row);
    void play();
    void loadFile();
    void clearFile();
    void loadList();
    void saveList();
    void clearList();

    FileDialogs& m_fileDialogs;
    QListWidget* m_list = nullptr;
    QLabel* m_selection = nullptr;
    ElidedLabel* m_path = nullptr;
    ElidedLabel* m_playlist = nullptr;
    QLabel* m_type = nullptr;
    QLabel* m_channels = nullptr;
    QLabel* m_bits = nullptr;
    QLabel* m_rate = nullptr;
    QLabel* m_size = nullptr;
    QLabel* m_duration = nullptr;
    QLabel* m_elapsed = nullptr;
    Lamp* m_led = nullptr;
    QTimer* m_tick = nullptr;
    ObserverScope m_observing;
};

} // namespace kelvo::gui
