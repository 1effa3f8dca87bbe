// The editor's output: playing the table, and its bitmaps and wave files.
#include "gui/arb/arb_window.h"

#include "core/oscillator/signal_files.h"
#include "core/runtime/atomic_file.h"
#include "core/runtime/program_folder.h"
#include "core/runtime/quoted.h"
#include "gui/arb/arb_viewport.h"
#include "gui/dialogs/list_box.h"

#include "gui/arb/picture_file.h"

#include <QLabel>

namespace kelvo::gui {
namespace {

const QString kBitmapFilter = QStringLiteral("Bitmap Files|*.bmp;");
const QString kWaveFilter = QStringLiteral("Wave Files|*.wav;");

} // namespace

void ArbWindow::play()
{
    digitise();
    SignalSettings& s = oscillator().settings();
    s.ArbBuild = 1;
    // A render that failed has said why; nothing stale may play in its place.
    if (oscillator().renderSignal())
        oscillator().startSignal();
    else
        oscillator().stopSignal();
    s.ArbBuild = 0;
}

void ArbWindow::stop()
{
    oscillator().stopSignal();
}

void ArbWindow::loadBitmap()
{
    const auto name = m_fileDialogs.openFile(this, kBitmapFilter);
    if (!name)
        return;
    const auto picture = LoadPicture(LocalPath(*name));
    if (!picture.problem.empty()) {
        oscillator().messages().show(Quoted(name->toStdString()) + " " + picture.problem);
        return;
    }
    m_view->setPicture(picture.image);
    showStatus(*name);
}

void ArbWindow::saveBitmap()
{
    const auto name = m_fileDialogs.saveFile(this, kBitmapFilter);
    if (!name)
        return;
    const std::string error = SavePicture(m_view->picture(), LocalPath(*name));
    if (!error.empty()) {
        oscillator().messages().show("The bitmap could not be saved: " + error);
        return;
    }
    showStatus(*name);
}

void ArbWindow::saveWaveFile()
{
    const auto name = m_fileDialogs.saveFile(this, kWaveFilter);
    if (!name)
        return;
    // The render replaces the file that plays: the output stops as after STOP.
    if (oscillator().settings().Playing != 0 || oscillator().view().signal.on())
        oscillator().stopSignal();
    digitise();
    SignalSettings& s = oscillator().settings();
    s.ArbBuild = 1;
    const bool built = oscillator().renderSignal();
    s.ArbBuild = 0;
    if (!built)
        return;
    const std::string error = CopyFileAtomically(ProgramFile(oscillator().folder(), kRenderedFile), LocalPath(*name));
    if (!error.empty()) {
        oscillator().messages().show("The wave file could not be saved: " + error);
        return;
    }
    showStatus(*name);
}

} // namespace kelvo::gui
