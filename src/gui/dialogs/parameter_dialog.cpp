#include "gui/dialogs/parameter_dialog.h"

#include "gui/dialogs/period_drawing.h"

#include <QGridLayout>
#include <QLabel>

#include <map>

namespace kelvo::gui {
namespace {

using Spec = ParameterDialogSpec;

const std::map<WindowId, Spec>& Specs()
{
    static const std::map<WindowId, Spec> specs{
        {WindowId::NoiseSetup,
         {"frmNoiseSetup", "NOISE SETUP:",
          {"Option4", "NoiseType", {"White Noise (flat)", "Med freq Noise (SR/4)", "Low Frequency Noise (SR/10)"}},
          {}, {}, Spec::Drawing::None, nullptr}},
        {WindowId::BurstSetup,
         {"frmBurstSetup", "BURST SETUP:", {},
          {{{"Text2", "BurstLevelDiff", "(On-Off) Level", "0-200 dB"},
           {"Text3", "BurstOnTime", "T-on", "1-20000"},
           {"Text8", "BurstOffTime", "T-off", "1-20000 ms"}}},
          {"chkExpDecay", "BurstExpDecay", "Exponential Decay"}, Spec::Drawing::Burst, nullptr}},
        {WindowId::PulseSetup,
         {"frmPulseSetup", "PULSE WAVE SETUP:", {},
          {{{"Text2", "PulseOnTime", "On Time (1-10000 ms)"},
           {"Text3", "PulseOffTime", "Off Time (1-10000 ms)"},
           {"Text8", "PulseRestTime", "Rest Time (1-10000 ms)"},
           {"Text1", "PulseCount", "Number of pulses (1-10000)"}}},
          {}, Spec::Drawing::Pulse, nullptr}},
        {WindowId::ToneSetup,
         {"frmToneSetup", "TWO TONE SETUP:", {},
          {{{"Text2", "ToneFreq1", "Frequency 1 (1-96000 Hz)"},
           {"Text3", "ToneFreq2", "Frequency 2 (1-96000 Hz)"},
           {"Text8", "ToneAmp2", "Amplitude 2 (200 to 0 dB)"}}},
          {}, Spec::Drawing::None, "Amplitude 2  is relative (-) offset from Main Channel  Level"}},
        {WindowId::WarbleSetup,
         {"frmWarbleSetup", "WARBLE SETUP:", {"Option1", "WarbleKind", {"1/3 octave warble", "1/2 octave warble"}},
          {{{"Text1", "WarbleRate", "Warble Rate (1-20)", "cps"}}}, {}, Spec::Drawing::None, nullptr}},
        {WindowId::AmSetup,
         {"frmAMSetup", "AM SETUP:", {},
          {{{"Text2", "AmCarrierFreq", "Carrier Frequency"},
           {"Text3", "AmModFreq", "Modulation Frequency"},
           {"Text8", "AmModDepth", "Modulation %"}}},
          {}, Spec::Drawing::None, "AM = Amplitude Modulation"}},
        {WindowId::FmSetup,
         {"frmFMSetup", "FM SETUP:", {},
          {{{"Text2", "FmCarrierFreq", "Carrier Frequency"},
           {"Text3", "FmModFreq", "Modulation Frequency"},
           {"Text8", "FmDeviation", "Deviation (Hz)"}}},
          {}, Spec::Drawing::None, "FM = Frequency Modulation"}},
        {WindowId::DsbSetup,
         {"frmDSBSetup", "DSB SETUP:", {},
          {{{"Text2", "DsbCarrierFreq", "Carrier Frequency"},
           {"Text3", "DsbModFreq", "Modulation Frequency"},
           {"Text8", "DsbModDepth", "Modulation %"}}},
          {}, Spec::Drawing::None, "DSB = Double Sideband (surpressed carrier)"}},
    };
    return specs;
}

} // namespace

ParameterDialog::ParameterDialog(Oscillator& oscillator, const ParameterDialogSpec& spec, QWidget* parent)
    : SetupDialog(oscillator, QString::fromLatin1(spec.objectName), QString::fromLatin1(spec.title), parent)
{
    int row = 0;
    if (spec.options.base != nullptr) {
        QStringList captions;
        for (const char* caption : spec.options.captions)
            if (caption != nullptr)
                captions << QString::fromLatin1(caption);
        addOptions(row++, spec.options.base, spec.options.field, captions);
    }
    for (const Spec::Entry& entry : spec.entries)
        if (entry.objectName != nullptr)
            addEntry(row++, entry.objectName, entry.field, QString::fromLatin1(entry.label), QString::fromLatin1(entry.hint));
    if (spec.check.objectName != nullptr)
        addCheck(row++, spec.check.objectName, spec.check.field, QString::fromLatin1(spec.check.caption));
    if (spec.drawing != Spec::Drawing::None) {
        auto* drawing = new PeriodDrawing(spec.drawing == Spec::Drawing::Burst ? PeriodDrawing::Kind::Burst
                                                                              : PeriodDrawing::Kind::Pulse,
                                          face());
        grid()->addWidget(drawing, row++, 0, 1, 3);
    }
    if (spec.note != nullptr)
        addNote(row++, QString::fromLatin1(spec.note));
    refill();
}

const ParameterDialogSpec* ParameterDialogFor(WindowId id)
{
    const auto& specs = Specs();
    const auto found = specs.find(id);
    return found == specs.end() ? nullptr : &found->second;
}

} // namespace kelvo::gui
