#include "gui/app/desktop.h"
#include "gui/dialogs/setup_dialogs.h"
#include "gui/panels/main_panel.h"
#include "gui/runtime/qt_event_loop.h"
#include "gui/ui/borderless_window.h"
#include "offscreen_app.h"
#include "silent_oscillator.h"

#include <QLineEdit>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace kelvo::bench {
namespace {

// One click on a front-panel control that does not render, until the panel has been
// repainted with the new values.
void PanelAction(benchmark::State& state)
{
    OffscreenApplication();
    SilentOscillator silent("kelvo-panel-bench");
    gui::Desktop desktop(silent.oscillator);
    desktop.start();
    const char* const actions[] = {"lblFup",  "lblFdn",         "lblVup", "lblVdn",        "lblDFup", "lblDVdn",
                                   "lblSRup", "lblLminusRMode", "lblTRI", "lblMemLoad(3)", "lblMem",  "lblLadjSet"};
    std::size_t next = 0;
    for (auto _ : state) {
        auto* control = desktop.main().findChild<QWidget*>(actions[next]);
        QTest::mouseClick(control, Qt::LeftButton);
        QCoreApplication::processEvents();
        next = (next + 1) % std::size(actions);
    }
}

BENCHMARK(PanelAction)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A setup window opened for the first time, until its first paint: the two tone setup
// (three boxes) and the burst setup (boxes, check box and the drawing).
void SetupFirstOpen(benchmark::State& state)
{
    OffscreenApplication();
    SilentOscillator silent("kelvo-setup-bench");
    const auto id = static_cast<gui::WindowId>(state.range(0));
    for (auto _ : state) {
        const std::unique_ptr<QWidget> window = gui::MakeSetupDialog(id, silent.oscillator, silent.dialogs);
        bool painted = false;
        QObject::connect(static_cast<gui::BorderlessWindow*>(window.get()), &gui::BorderlessWindow::firstPainted,
                         [&painted] { painted = true; });
        window->show();
        while (!painted)
            QCoreApplication::processEvents();
    }
}

BENCHMARK(SetupFirstOpen)
    ->Arg(static_cast<int>(gui::WindowId::ToneSetup))
    ->Arg(static_cast<int>(gui::WindowId::BurstSetup))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One keystroke in a setup window's entry box, taken through the field's entry rule.
void SetupKeystroke(benchmark::State& state)
{
    OffscreenApplication();
    SilentOscillator silent("kelvo-key-bench");
    const std::unique_ptr<QWidget> window = gui::MakeSetupDialog(gui::WindowId::AmSetup, silent.oscillator, silent.dialogs);
    window->show();
    auto* box = window->findChild<QLineEdit*>(QStringLiteral("Text2"));
    box->setFocus();
    box->setText(QStringLiteral("1000"));
    bool typing = true;
    for (auto _ : state) {
        QTest::keyClick(box, typing ? Qt::Key_5 : Qt::Key_Backspace);
        typing = !typing;
    }
}

BENCHMARK(SetupKeystroke)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
} // namespace kelvo::bench
