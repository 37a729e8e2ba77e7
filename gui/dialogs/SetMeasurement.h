#pragma once
// "Measurement config": edits the MEASUREMENT section — run type and daily window, exposure, port,
// finish sound and calibration — read when it opens, written on OK.
#include <QDialog>
#include <string>
#include <vector>

class QButtonGroup;
class QComboBox;
class QSpinBox;
class QTimeEdit;

class CSetMeasurement : public QDialog {
public:
    static constexpr int kMaxSpan = 86399;

    // Loads the section, probes COM1..COM10 and fills the controls; says so when RS-232C is chosen
    // and no COM port opens (the dialog still opens).
    explicit CSetMeasurement(QWidget* parent = nullptr);

    // Calibration names from CALIB_<n>_<name>.csv in the working folder, n = 0, 1, ... until a gap.
    static std::vector<std::string> CalibrationNames();

private:
    void ApplyEnabling();
    void OnOk();

    QButtonGroup* type_;
    QTimeEdit* from_;
    QTimeEdit* to_;
    QSpinBox* span_;
    QComboBox* exposure_;
    QButtonGroup* port_;
    QComboBox* com_;
    QButtonGroup* sound_;
    QComboBox* calibration_;
};
