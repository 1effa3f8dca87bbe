#include "gui/app/desktop.h"
#include "gui/arb/arb_viewport.h"
#include "offscreen_app.h"
#include "silent_oscillator.h"

#include <QMouseEvent>
#include <QTest>

#include <benchmark/benchmark.h>

namespace kelvo::bench {
namespace {

// The editor opened over an oscillator without sound; the offscreen application must exist
// first.
struct ArbEditor {
    explicit ArbEditor(const char* name)
        : silent(name)
    {
        desktop.show(gui::WindowId::ArbEditor);
        QCoreApplication::processEvents();
    }

    QWidget& window() { return desktop.window(gui::WindowId::ArbEditor); }

    SilentOscillator silent;
    gui::Desktop desktop{silent.oscillator};
};

// A preset or a named set, from the click to the repainted viewport and the filled raw
// data list (the drawing, Digitise and 401 list rows).
void ArbPresetClick(benchmark::State& state)
{
    OffscreenApplication();
    ArbEditor editor("kelvo-arb-preset-bench");
    const char* const keys[] = {"cmdPreloadSine", "cmdPreLoadFourierSeq(1)", "cmdPreloadGauss", "cmdPreLoadFourierSeq(10)",
                                "cmdPreloadSq",   "cmdPreloadFourier"};
    std::size_t next = 0;
    for (auto _ : state) {
        QTest::mouseClick(editor.window().findChild<QWidget*>(keys[next]), Qt::LeftButton);
        QCoreApplication::processEvents();
        next = (next + 1) % std::size(keys);
    }
}

BENCHMARK(ArbPresetClick)->Unit(benchmark::kMillisecond)->UseRealTime();

// One mouse move of a freehand drag across the viewport, with the repaint it causes.
void ArbFreehandMove(benchmark::State& state)
{
    OffscreenApplication();
    ArbEditor editor("kelvo-arb-drag-bench");
    QTest::mouseClick(editor.window().findChild<QWidget*>("cmdFreehand"), Qt::LeftButton);
    auto* view = editor.window().findChild<gui::ArbViewport*>("picView");
    auto send = [view](QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, at, view->mapToGlobal(at), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(view, &event);
    };
    send(QEvent::MouseButtonPress, {0.5, 150.5}, Qt::LeftButton, Qt::LeftButton);
    int x = 0;
    for (auto _ : state) {
        // 400 moves across the width, back and forth through a wave.
        const double y = 150.5 + 100 * ((x / 20) % 2 == 0 ? 1 : -1) * (x % 20) / 20.0;
        send(QEvent::MouseMove, {x + 0.5, y}, Qt::NoButton, Qt::LeftButton);
        QCoreApplication::processEvents();
        x = (x + 1) % 400;
    }
    send(QEvent::MouseButtonRelease, {x + 0.5, 150.5}, Qt::LeftButton, Qt::NoButton);
}

BENCHMARK(ArbFreehandMove)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
} // namespace kelvo::bench
