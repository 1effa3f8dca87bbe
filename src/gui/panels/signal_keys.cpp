#include "gui/panels/signal_keys.h"

#include "core/oscillator/oscillator.h"

#include <QKeyEvent>

#include <array>

namespace kelvo::gui {
namespace {

constexpr std::array kWaveformKeys{
    WaveformKey{WaveformCode::Sine, "lblSine", "SINE", std::nullopt},
    WaveformKey{WaveformCode::Square, "lblSQ", "SQUARE", std::nullopt},
    WaveformKey{WaveformCode::Triangle, "lblTRI", "TRI", std::nullopt},
    WaveformKey{WaveformCode::Sawtooth, "lblSAW", "SAW", std::nullopt},
    WaveformKey{WaveformCode::Noise, "lblNOISE", "NOISE", WindowId::NoiseSetup},
    WaveformKey{WaveformCode::Burst, "lblBURST", "BURST", WindowId::BurstSetup},
    WaveformKey{WaveformCode::Pulse, "lblPULSE", "PULSE", WindowId::PulseSetup},
    WaveformKey{WaveformCode::Dirac, "lblDIRAC", "DIRAC", std::nullopt},
    WaveformKey{WaveformCode::TwoTone, "lbl2T", "2 TONE", WindowId::ToneSetup},
    WaveformKey{WaveformCode::Multitone, "lblMULTI", "MULTI", WindowId::MultiSetup},
    WaveformKey{WaveformCode::Sweep, "lblSWEEP", "SWEEP", WindowId::SweepSetup},
    WaveformKey{WaveformCode::Warble, "lblWARBLE", "WARBLE", WindowId::WarbleSetup},
    WaveformKey{WaveformCode::AmplitudeModulation, "lblAM", "AM", WindowId::AmSetup},
    WaveformKey{WaveformCode::FrequencyModulation, "lblFM", "FM", WindowId::FmSetup},
    WaveformKey{WaveformCode::DoubleSideband, "lblDSB", "DSB", WindowId::DsbSetup},
    WaveformKey{WaveformCode::User, "lblUSER", "USER", WindowId::UserSetup},
};

constexpr std::array kModeKeys{
    ModeKey{ChannelMode::Left, "lblLmode", "L"},
    ModeKey{ChannelMode::Right, "lblRmode", "R"},
    ModeKey{ChannelMode::LeftPlusRight, "lblLplusRmode", "L+R"},
    ModeKey{ChannelMode::LeftMinusRight, "lblLminusRMode", "L-R"},
    ModeKey{ChannelMode::Quadrature, "lblQMode", "QUAD"},
    ModeKey{ChannelMode::UserDefined, "lblUMode", "USER"},
};

const QColor kOn{240, 0, 0};
const QColor kUserOn{255, 0, 0};
const QColor kOff{64, 64, 64};

} // namespace

std::span<const WaveformKey> WaveformKeys()
{
    return kWaveformKeys;
}

std::span<const ModeKey> ModeKeys()
{
    return kModeKeys;
}

std::optional<WindowId> SetupWindowFor(std::int32_t waveform)
{
    for (const WaveformKey& key : kWaveformKeys) {
        if (Is(waveform, key.code))
            return key.setupWindow;
    }
    return std::nullopt;
}

QColor LampColour(LampSite lamp, const SignalState& state)
{
    if (!state.on())
        return kOff;
    // The editor's lamp shows its own table playing, not any signal.
    if (lamp == LampSite::Arb)
        return state.source == SignalSource::ArbTable ? kUserOn : kOff;
    if (lamp != LampSite::User)
        return kOn;
    return state.source == SignalSource::Generator ? kOff : kUserOn;
}

bool HandlePanelKey(Oscillator& oscillator, const QKeyEvent& event)
{
    const int key = event.key();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F10) {
        oscillator.memories().recallMemory(key - Qt::Key_F1 + 1);
        return true;
    }
    MainPanelRules& panel = oscillator.panel();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: panel.switchOn(); return true;
    case Qt::Key_Escape: oscillator.stopSignal(); return true;
    case Qt::Key_Up: panel.levelUp(); return true;
    case Qt::Key_Down: panel.levelDown(); return true;
    case Qt::Key_Left: panel.frequencyDown(); return true;
    case Qt::Key_Right: panel.frequencyUp(); return true;
    default: return false;
    }
}

} // namespace kelvo::gui
