// The measurement settings dialog: enabling rules, its three messages, the values it stores
// (with -1 for lists without a selection), COM probing and the calibration names.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QSpinBox>
#include <QTimeEdit>
#include <cstdio>
#include <fstream>

#include "AppTestUtil.h"
#include "gui/dialogs/SetMeasurement.h"
#include "sim/SimulatedInstrument.h"

namespace {

using apptest::AppTest;

class SetMeasurementTest : public AppTest {
protected:
    void Write(const std::string& measurement) {
        std::ofstream ini("ZQ118.ini");
        ini << "[MEASUREMENT]\n" << measurement;
    }
    void Open() {
        dlg = std::make_unique<CSetMeasurement>();
        dlg->show();
    }
    template <typename T>
    T* Control(const char* name) {
        return dlg->findChild<T*>(QString::fromLatin1(name));
    }
    void Click(const char* name) { Control<QAbstractButton>(name)->click(); }
    bool Ok() {
        Control<QPushButton>("okButton")->click();
        return dlg->result() == QDialog::Accepted && !dlg->isVisible();
    }

    std::unique_ptr<CSetMeasurement> dlg;
};

TEST_F(SetMeasurementTest, EnablingFollowsTypeAndPort) {
    Write("MEASUREMENT_TYPE=0\nPORT_TYPE=0\n");
    Open();
    EXPECT_TRUE(Control<QAbstractButton>("manualRadio")->isChecked());
    EXPECT_TRUE(Control<QAbstractButton>("usbRadio")->isChecked());
    EXPECT_FALSE(Control<QTimeEdit>("intervalFromEdit")->isEnabled());
    EXPECT_FALSE(Control<QSpinBox>("intervalSpanEdit")->isEnabled());
    EXPECT_FALSE(Control<QComboBox>("portCombo")->isEnabled());
    EXPECT_EQ(Control<QSpinBox>("intervalSpanEdit")->maximum(), 86399);
    Click("intervalRadio");
    EXPECT_TRUE(Control<QTimeEdit>("intervalFromEdit")->isEnabled());
    EXPECT_TRUE(Control<QTimeEdit>("intervalToEdit")->isEnabled());
    EXPECT_TRUE(Control<QSpinBox>("intervalSpanEdit")->isEnabled());
    Click("rs232cRadio");
    EXPECT_TRUE(Control<QComboBox>("portCombo")->isEnabled());
    Click("transferRadio");
    EXPECT_FALSE(Control<QTimeEdit>("intervalToEdit")->isEnabled());
    // Every exposure the engine knows is offered, in EXPOSED_TIME order.
    auto* exposure = Control<QComboBox>("exposureCombo");
    ASSERT_EQ(exposure->count(), 11);
    EXPECT_EQ(exposure->itemText(0).toStdString(), "Auto");
    EXPECT_EQ(exposure->itemText(1).toStdString(), "10msec");
    EXPECT_EQ(exposure->itemText(9).toStdString(), "5000msec");
    EXPECT_EQ(exposure->itemText(10).toStdString(), "Overlap");
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(SetMeasurementTest, IntervalWindowMustNotBeEmptyOrReversed) {
    Write("MEASUREMENT_TYPE=1\nPORT_TYPE=0\nINTERVAL_MEASUREMENT_START_TIME=2000/1/1 9:00:00\n"
          "INTERVAL_MEASUREMENT_END_TIME=2000/1/1 9:00:00\nINTERVAL_MEASUREMENT_SPAN=0\n");
    Open();
    EXPECT_EQ(Control<QTimeEdit>("intervalFromEdit")->time(), QTime(9, 0, 0));
    EXPECT_FALSE(Ok());
    ASSERT_EQ(prompter.Messages().size(), 1u);
    // The message names the times, not the span.
    EXPECT_EQ(prompter.Messages()[0], "The \"To\" time must be later than the \"From\" time.");
    Control<QTimeEdit>("intervalToEdit")->setTime(QTime(8, 0, 0));
    EXPECT_FALSE(Ok());
    EXPECT_EQ(prompter.Messages().size(), 2u);
    EXPECT_EQ(prompter.Messages()[1], prompter.Messages()[0]);
    // The same times are fine for a manual run, and a span of 0 is accepted here.
    Control<QTimeEdit>("intervalToEdit")->setTime(QTime(9, 0, 0));
    Click("manualRadio");
    EXPECT_TRUE(Ok());
    EXPECT_EQ(Ini("MEASUREMENT", "MEASUREMENT_TYPE"), "0");
    EXPECT_EQ(Ini("MEASUREMENT", "INTERVAL_MEASUREMENT_SPAN"), "0");
    // The times are stored on today's date.
    const std::string today = platform::FormatLocal(platform::Now(), "%Y/%m/%d");
    EXPECT_EQ(Ini("MEASUREMENT", "INTERVAL_MEASUREMENT_START_TIME"), today + " 09:00:00");
}

TEST_F(SetMeasurementTest, SerialWithoutPortsWarnsAtOpeningAndRefusesOk) {
    Write("MEASUREMENT_TYPE=0\nPORT_TYPE=1\nRS232C_PORT=2\n");
    Open();
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0], "Cannot find available COM port.");
    EXPECT_EQ(Control<QComboBox>("portCombo")->count(), 0);
    EXPECT_FALSE(Ok());
    EXPECT_EQ(prompter.Messages().back(), "Not selected COM port.");
    // Switching to USB stores -1 for the port, and the unlisted exposure as -1 too.
    Click("usbRadio");
    EXPECT_TRUE(Ok());
    EXPECT_EQ(Ini("MEASUREMENT", "PORT_TYPE"), "0");
    EXPECT_EQ(Ini("MEASUREMENT", "RS232C_PORT"), "-1");
    EXPECT_EQ(Ini("MEASUREMENT", "EXPOSED_TIME"), "0");
    // No calibration files here: the stored choice (the default 0) is kept, not turned into -1.
    EXPECT_EQ(Ini("MEASUREMENT", "CALIBRATION_TYPE"), "0");
}

TEST_F(SetMeasurementTest, ProbedPortIsListedAndSelectedAndAStoredExposureIsSelected) {
    SimOptions options;
    CSimulatedInstrument sim(options);
    ASSERT_TRUE(sim.Start());
    ::setenv("HELIARC_COM3", sim.SlavePath().c_str(), 1);
    Write("MEASUREMENT_TYPE=2\nPORT_TYPE=1\nRS232C_PORT=3\nEXPOSED_TIME=4\nMEASUREMENT_SOUND=1\n");
    Open();
    EXPECT_TRUE(prompter.calls.empty());
    auto* com = Control<QComboBox>("portCombo");
    ASSERT_EQ(com->count(), 1);
    EXPECT_EQ(com->itemText(0).toStdString(), "COM3");
    EXPECT_EQ(com->currentIndex(), 0);
    EXPECT_EQ(Control<QComboBox>("exposureCombo")->currentIndex(), 4);
    EXPECT_TRUE(Control<QAbstractButton>("soundOffRadio")->isChecked());
    Control<QComboBox>("exposureCombo")->setCurrentIndex(10);
    EXPECT_TRUE(Ok());
    EXPECT_EQ(Ini("MEASUREMENT", "RS232C_PORT"), "3");
    EXPECT_EQ(Ini("MEASUREMENT", "EXPOSED_TIME"), "10");
    EXPECT_EQ(Ini("MEASUREMENT", "MEASUREMENT_TYPE"), "2");
    EXPECT_EQ(Ini("MEASUREMENT", "MEASUREMENT_SOUND"), "1");
    sim.Stop();
}

TEST_F(SetMeasurementTest, CancelStoresNothing) {
    Write("MEASUREMENT_TYPE=0\nPORT_TYPE=0\nINTERVAL_MEASUREMENT_SPAN=300\n");
    Open();
    Control<QSpinBox>("intervalSpanEdit")->setValue(10);
    Control<QPushButton>("cancelButton")->click();
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_EQ(Ini("MEASUREMENT", "INTERVAL_MEASUREMENT_SPAN"), "300");
}

TEST_F(SetMeasurementTest, CalibrationNamesComeFromNumberedFilesUntilAGap) {
    for (const char* name : {"CALIB_0_Outdoor.csv", "CALIB_1_Lab.2.csv", "calib_2_x.CSV", "CALIB_4_Late.csv"})
        std::ofstream(name) << "x";
    EXPECT_EQ(CSetMeasurement::CalibrationNames(), (std::vector<std::string>{"Outdoor", "Lab.2", "x"}));
    Write("PORT_TYPE=0\nCALIBRATION_TYPE=1\nEXPOSED_TIME=12\n");
    Open();
    // An exposure index past the list selects nothing and is stored as -1.
    EXPECT_EQ(Control<QComboBox>("exposureCombo")->currentIndex(), -1);
    EXPECT_TRUE(Ok());
    EXPECT_EQ(Ini("MEASUREMENT", "CALIBRATION_TYPE"), "1");
    EXPECT_EQ(Ini("MEASUREMENT", "EXPOSED_TIME"), "-1");
    // A stored 0 with no calibration files stays 0.
    for (const char* name : {"CALIB_0_Outdoor.csv", "CALIB_1_Lab.2.csv", "calib_2_x.CSV", "CALIB_4_Late.csv"})
        std::remove(name);
    Write("PORT_TYPE=0\nCALIBRATION_TYPE=0\n");
    Open();
    EXPECT_TRUE(Ok());
    EXPECT_EQ(Ini("MEASUREMENT", "CALIBRATION_TYPE"), "0");
}

}  // namespace
