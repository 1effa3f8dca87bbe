#include "gui/app/desktop.h"
#include "gui/panels/main_panel.h"
#include "gui/runtime/qt_event_loop.h"
#include "offscreen_app.h"
#include "oscillator/oscillator.h"
#include "oscillator/unavailable_device.h"

#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace kelvo::bench {
namespace {

class NoMessages final : public Messages {
public:
    void show(std::string_view) override {}
};

// One click on a front-panel control that does not render, until the panel has been
// repainted with the new values.
void PanelAction(benchmark::State& state)
{
    OffscreenApplication();
    std::string folder = (std::filesystem::temp_directory_path() / "kelvo-panel-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    {
        gui::QtEventLoop loop;
        NoMessages messages;
        UnavailableDevice streamDevice("no sound in the benchmark");
        UnavailableDevice legacyDevice("no sound in the benchmark");
        Oscillator oscillator(folder, streamDevice, legacyDevice, loop, messages);
        gui::Desktop desktop(oscillator);
        desktop.start();
        const char* const actions[] = {"lblFup", "lblFdn", "lblVup", "lblVdn", "lblDFup", "lblDVdn",
                                       "lblSRup", "lblLminusRMode", "lblTRI", "lblMemLoad(3)", "lblMem",
                                       "lblLadjSet"};
        std::size_t next = 0;
        for (auto _ : state) {
            auto* control = desktop.main().findChild<QWidget*>(actions[next]);
            QTest::mouseClick(control, Qt::LeftButton);
            QCoreApplication::processEvents();
            next = (next + 1) % std::size(actions);
        }
    }
    std::filesystem::remove_all(folder);
}

BENCHMARK(PanelAction)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
} // namespace kelvo::bench
