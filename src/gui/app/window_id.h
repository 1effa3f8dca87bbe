#pragma once

namespace kelvo::gui {

// The windows of the program, each created once by the registry.
enum class WindowId {
    Main,
    Remote,
    Help,
    NoiseSetup,
    BurstSetup,
    PulseSetup,
    ToneSetup,
    WarbleSetup,
    AmSetup,
    FmSetup,
    DsbSetup,
    SweepSetup,
    MultiSetup,
    ArbEditor,
    OscSetup,
    UserSetup,
};

} // namespace kelvo::gui
