// The oscillator setup opened until its first paint, its device list filled from the
// system's output devices: run with PULSE_SERVER set to a private PulseAudio
// (scripts/test-audio run -- build-bench/bench/kelvo_bench --benchmark_filter=OscSetup).
#include "core/playback/portaudio_device.h"
#include "gui/dialogs/osc_setup.h"
#include "offscreen_app.h"
#include "silent_oscillator.h"

#include <QListWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace kelvo::bench {
namespace {

void OscSetupOpen(benchmark::State& state)
{
    OffscreenApplication();
    SilentOscillator silent("kelvo-osc-setup-bench");
    std::size_t devices = 0;
    for (auto _ : state) {
        auto window = std::make_unique<gui::OscSetup>(silent.oscillator, silent.dialogs, ListOutputDevices);
        bool painted = false;
        QObject::connect(window.get(), &gui::BorderlessWindow::firstPainted, [&painted] { painted = true; });
        window->show();
        while (!painted)
            QCoreApplication::processEvents();
        devices = static_cast<std::size_t>(window->findChild<QListWidget*>(QStringLiteral("List1"))->count());
    }
    state.counters["devices"] = static_cast<double>(devices);
}

BENCHMARK(OscSetupOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kelvo::bench
