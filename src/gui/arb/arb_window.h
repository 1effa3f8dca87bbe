#pragma once

#include "core/arb/wave_shapes.h"
#include "core/oscillator/oscillator.h"
#include "gui/dialogs/setup_dialog.h"
#include "gui/panels/panel_parts.h"
#include "gui/ui/file_dialogs.h"

#include <QString>

#include <array>

class QButtonGroup;
class QLabel;
class QListWidget;

namespace kelvo::gui {

class ArbViewport;
class FourierPanel;
class KeyButton;
class Lamp;

// frmArb, the arbitrary wave construction set: one period drawn in the viewport with the
// pen, the line tool and the eraser, or from the presets and the Fourier synthesis, read
// back into ArbTable, played, and saved as a bitmap or a wave file. Every opening sets the
// render parameters to their start values and draws the stored table over the picture.
class ArbWindow final : public SetupDialog, private PanelObserver {
    Q_OBJECT
public:
    ArbWindow(Oscillator& oscillator, FileDialogs& fileDialogs, QWidget* parent = nullptr);
    ~ArbWindow() override;

    ArbViewport& viewport() const { return *m_view; }

    // The keys' actions.
    void chooseMode(int mode);
    void clearViewport();
    void showSmoothed();
    void play();
    void stop();
    void loadBitmap();
    void saveBitmap();
    void saveWaveFile();

protected:
    void refill() override;

private:
    void panelChanged(const PanelView& view) override;
    QWidget* makeTools();
    QWidget* makeOutput();
    // Reads the viewport into ArbTable and lists all 401 values.
    void digitise();
    // The presets' and the synthesis' step: a fresh viewport, the curve, then Digitise.
    void drawCurve(const CurveRows& rows);
    // Redraws ArbTable as a connected curve over the picture and lists its values 1..400.
    void drawTable();
    void listValues(int from);
    void showStatus(const QString& text);

    FileDialogs& m_fileDialogs;
    ArbViewport* m_view = nullptr;
    FourierPanel* m_fourier = nullptr;
    QListWidget* m_list = nullptr;
    QLabel* m_status = nullptr;
    Lamp* m_led = nullptr;
    std::array<KeyButton*, 3> m_modeKeys{};
    QButtonGroup* m_eraser = nullptr;
    QButtonGroup* m_constraint = nullptr;
    ObserverScope m_observing;
};

} // namespace kelvo::gui
