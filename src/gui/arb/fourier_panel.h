#pragma once

#include "core/arb/wave_shapes.h"
#include "core/oscillator/oscillator.h"
#include "gui/ui/file_dialogs.h"

#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class QLineEdit;

namespace kelvo::gui {

// The waveform editor's formula side: the shape presets, the 24 harmonic amplitude boxes
// "Fr x 1" ... "Fr x 24" with C, LOAD FOURIER, the twelve named sets and the Fourier
// sequence files. Every shape goes to `draw`, which puts it in the viewport and reads it
// back; a named set's name goes to `status`.
class FourierPanel : public QWidget {
    Q_OBJECT
public:
    FourierPanel(Oscillator& oscillator, FileDialogs& fileDialogs, std::function<void(const CurveRows&)> draw,
                 std::function<void(const QString&)> status, QWidget* parent = nullptr);

    // Shows the amplitudes of the record in the boxes.
    void refill();

    // The keys' actions.
    void preset(PresetShape shape);
    void loadFourier();
    void clearAmplitudes();
    void namedSet(int index);
    void loadFile();
    void saveFile();

private:
    void takeBoxes();

    Oscillator& m_oscillator;
    FileDialogs& m_fileDialogs;
    std::function<void(const CurveRows&)> m_draw;
    std::function<void(const QString&)> m_status;
    std::array<QLineEdit*, kFourierCount> m_boxes{};
};

} // namespace kelvo::gui
