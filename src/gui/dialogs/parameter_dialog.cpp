#include "gui/dialogs/parameter_dialog.h"

#include "gui/dialogs/period_drawing.h"

#include <QGridLayout>
#include <QLabel>

#include <map>

namespace kelvo::gui {
namespace {

using Table = ParameterDialogTable;

const std::map<WindowId, Table>& Tables()
{
    static const std::map<WindowId, Table> tables{
        {WindowId::NoiseSetup,
         {"frmNoiseSetup",
          "NOISE SETUP:",
          {"Option4",
           "NoiseType",
           {"White Noise (flat)", "Med freq Noise (SR/4)", "Low Frequency Noise (SR/10)", "Pink Noise (-3 dB/octave)"}},
          {},
          {},
          Table::Drawing::None,
          nullptr}},
        {WindowId::BurstSetup,
         {"frmBurstSetup",
          "BURST SETUP:",
          {},
          {{{"Text2", "BurstLevelDiff", "(On-Off) Level", "{min}-{max} dB"},
            {"Text3", "BurstOnTime", "T-on", "{min}-{max}"},
            {"Text8", "BurstOffTime", "T-off", "{min}-{max} ms"},
            {"txtBurstCycles", "BurstCycles", "Hann cycles", "{min}-{max}, halves"}}},
          {{{"chkExpDecay", "BurstExpDecay", "Exponential Decay"}, {"chkHannWindow", "BurstWindow", "Hann window"}}},
          Table::Drawing::Burst,
          nullptr}},
        {WindowId::PulseSetup,
         {"frmPulseSetup",
          "PULSE WAVE SETUP:",
          {},
          {{{"Text2", "PulseOnTime", "On Time ({min}-{max} ms)"},
            {"Text3", "PulseOffTime", "Off Time ({min}-{max} ms)"},
            {"Text8", "PulseRestTime", "Rest Time ({min}-{max} ms)"},
            {"Text1", "PulseCount", "Number of pulses ({min}-{max})"}}},
          {},
          Table::Drawing::Pulse,
          nullptr}},
        {WindowId::ToneSetup,
         {"frmToneSetup",
          "TWO TONE SETUP:",
          {},
          {{{"Text2", "ToneFreq1", "Frequency 1 ({min}-{max} Hz)"},
            {"Text3", "ToneFreq2", "Frequency 2 ({min}-{max} Hz)"},
            {"Text8", "ToneAmp2", "Amplitude 2 ({max} to {min} dB)"}}},
          {},
          Table::Drawing::None,
          "Amplitude 2  is relative (-) offset from Main Channel  Level"}},
        {WindowId::WarbleSetup,
         {"frmWarbleSetup",
          "WARBLE SETUP:",
          {"Option1", "WarbleKind", {"1/3 octave warble", "1/2 octave warble"}},
          {{{"Text1", "WarbleRate", "Warble Rate ({min}-{max})", "cps"}}},
          {},
          Table::Drawing::None,
          nullptr}},
        {WindowId::AmSetup,
         {"frmAMSetup",
          "AM SETUP:",
          {},
          {{{"Text2", "AmCarrierFreq", "Carrier Frequency"},
            {"Text3", "AmModFreq", "Modulation Frequency"},
            {"Text8", "AmModDepth", "Modulation %"}}},
          {},
          Table::Drawing::None,
          "AM = Amplitude Modulation"}},
        {WindowId::FmSetup,
         {"frmFMSetup",
          "FM SETUP:",
          {},
          {{{"Text2", "FmCarrierFreq", "Carrier Frequency"},
            {"Text3", "FmModFreq", "Modulation Frequency"},
            {"Text8", "FmDeviation", "Deviation (Hz)"}}},
          {},
          Table::Drawing::None,
          "FM = Frequency Modulation"}},
        {WindowId::DsbSetup,
         {"frmDSBSetup",
          "DSB SETUP:",
          {},
          {{{"Text2", "DsbCarrierFreq", "Carrier Frequency"},
            {"Text3", "DsbModFreq", "Modulation Frequency"},
            {"Text8", "DsbModDepth", "Modulation %"}}},
          {},
          Table::Drawing::None,
          "DSB = Double Sideband (surpressed carrier)"}},
    };
    return tables;
}

} // namespace

ParameterDialog::ParameterDialog(Oscillator& oscillator, const ParameterDialogTable& table, QWidget* parent)
    : SetupDialog(oscillator, QString::fromLatin1(table.objectName), QString::fromLatin1(table.title), parent)
{
    int row = 0;
    if (table.options.base != nullptr) {
        QStringList captions;
        for (const char* caption : table.options.captions)
            if (caption != nullptr)
                captions << QString::fromLatin1(caption);
        addOptions(row++, table.options.base, table.options.field, captions);
    }
    for (const Table::Entry& entry : table.entries)
        if (entry.objectName != nullptr)
            addEntry(row++, entry.objectName, entry.field, QString::fromLatin1(entry.label), QString::fromLatin1(entry.hint));
    for (const Table::Check& check : table.checks)
        if (check.objectName != nullptr)
            addCheck(row++, check.objectName, check.field, QString::fromLatin1(check.caption));
    if (table.drawing != Table::Drawing::None) {
        auto* drawing = new PeriodDrawing(
            table.drawing == Table::Drawing::Burst ? PeriodDrawing::Kind::Burst : PeriodDrawing::Kind::Pulse, face());
        grid()->addWidget(drawing, row++, 0, 1, 3);
    }
    if (table.note != nullptr)
        addNote(row++, QString::fromLatin1(table.note));
    refill();
}

const ParameterDialogTable* ParameterDialogFor(WindowId id)
{
    const auto& tables = Tables();
    const auto found = tables.find(id);
    return found == tables.end() ? nullptr : &found->second;
}

} // namespace kelvo::gui
