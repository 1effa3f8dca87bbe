#include "core/synth/channel_factors.h"

#include "core/settings/signal_codes.h"

#include <cmath>

namespace kelvo {

void SetChannelFactors(SynthState& st, const SignalSettings& s)
{
    const double rate = s.SampleRate[0];
    auto set = [&st](double gainL, double gainR, double offsetL, double offsetR) {
        st.GainL = gainL;
        st.GainR = gainR;
        st.OffsetL = offsetL;
        st.OffsetR = offsetR;
    };
    switch (ChannelMode{s.ChanMode[0]}) {
    case ChannelMode::Left: set(1, 0, 0, 0); break;
    case ChannelMode::Right: set(0, 1, 0, 0); break;
    case ChannelMode::LeftPlusRight: set(1, 1, 0, 0); break;
    case ChannelMode::LeftMinusRight: set(1, -1, 0, 0); break;
    case ChannelMode::Quadrature: set(1, 1, 0, 90.0 / 360 * rate / s.FreqR[0]); break;
    case ChannelMode::UserDefined: set(1, 1, s.PhaseL[0] / 360 * rate / s.Freq[0], s.PhaseR[0] / 360 * rate / s.FreqR[0]); break;
    }
    st.AmpL = Amplitude(s.LevelL[0]);
    st.AmpR = Amplitude(s.LevelR[0]);
}

void SetArbChannelFactors(SynthState& st, const SignalSettings& s)
{
    switch (s.ArbChanMode) {
    case 0:
        st.GainL = -1;
        st.GainR = 0;
        break;
    case 1:
        st.GainL = 0;
        st.GainR = -1;
        break;
    case 2:
        st.GainL = -1;
        st.GainR = -1;
        break;
    case 3:
        st.GainL = -1;
        st.GainR = 1;
        break;
    default: break;
    }
    st.AmpL = st.AmpR = Amplitude(s.ArbLevel);
}

} // namespace kelvo
