#pragma once

#include "core/oscillator/oscillator.h"
#include "core/oscillator/unavailable_device.h"
#include "gui/runtime/qt_event_loop.h"
#include "gui/ui/file_dialogs.h"

#include <filesystem>
#include <string>

namespace kelvo::bench {

// A message sink that shows nothing.
class NoMessages final : public Messages {
public:
    void show(std::string_view) override {}
};

// An oscillator without sound in a folder of its own, removed afterwards.
struct SilentOscillator {
    explicit SilentOscillator(const char* name)
        : folder((std::filesystem::temp_directory_path() / name).string())
    {
        std::filesystem::create_directories(folder);
    }
    ~SilentOscillator() { std::filesystem::remove_all(folder); }

    std::string folder;
    gui::QtEventLoop loop;
    NoMessages messages;
    UnavailableDevice streamDevice{"no sound in the benchmark"};
    UnavailableDevice legacyDevice{"no sound in the benchmark"};
    Oscillator oscillator{folder, streamDevice, legacyDevice, loop, messages};
    gui::SystemFileDialogs dialogs{QString::fromStdString(folder)};
};

} // namespace kelvo::bench
