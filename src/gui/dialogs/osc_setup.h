#pragma once

#include "core/settings/level_units.h"
#include "gui/dialogs/setup_dialog.h"
#include "gui/ui/file_dialogs.h"

#include <functional>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace kelvo::gui {

// The names of the output devices in OutDevice order; an empty list and the reason in
// `error` when they cannot be had.
using OutputDeviceLister = std::function<std::vector<std::string>(std::string& error)>;

// frmOscSetup: the memory table, setup files, Reset to Defaults, Save Wavefile, the output
// device, the legacy driver, remote control, the default rendered length, the signal quality options and
// the output calibration with the level options. Every opening builds the table
// and the device list afresh.
class OscSetup final : public SetupDialog {
    Q_OBJECT
public:
    OscSetup(Oscillator& oscillator, FileDialogs& fileDialogs, OutputDeviceLister listDevices, QWidget* parent = nullptr);

Q_SIGNALS:
    // Reset to Defaults deleted the settings files and stopped the output: every window
    // closes without saving.
    void resetDone();

protected:
    void refill() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeFileKeys();
    QWidget* makeDeviceList();
    QWidget* makeLengthOptions();
    QWidget* makeQualityOptions();
    QWidget* makeLevelOptions();
    // RemotePort: a check box and the port it serves on when ticked.
    QWidget* makeRemoteOptions();
    void takeRemotePort();
    void refillRemoteOptions();
    void takeMeterReading(Channel channel, const std::string& text);
    void refillLevelOptions();
    // Offers the units a calibration allows; the unit box's tip says why the others are not.
    void showUnits();
    void fillDevices();
    void chooseDevice();
    void loadSetup();
    void saveSetup();
    void resetToDefaults();
    void saveWavefile();

    FileDialogs& m_fileDialogs;
    OutputDeviceLister m_listDevices;
    QPlainTextEdit* m_table = nullptr;
    QListWidget* m_devices = nullptr;
    QLabel* m_deviceNote = nullptr;
    QLineEdit* m_device = nullptr;
    QButtonGroup* m_lengths = nullptr;
    QLineEdit* m_meterL = nullptr;
    QLineEdit* m_meterR = nullptr;
    QComboBox* m_unit = nullptr;
    QCheckBox* m_remote = nullptr;
    QLineEdit* m_remotePort = nullptr;
    // The level the calibration tone plays at, which the meter readings are of.
    double m_toneLevel = -20;
};

} // namespace kelvo::gui
