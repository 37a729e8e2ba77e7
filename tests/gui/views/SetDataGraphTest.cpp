// The graph settings dialogs: enabling rules, validation order and what they exchange.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "tests/gui/views/ViewsTestUtil.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestSupport.h"
#include "gui/common/ColorSwatch.h"
#include "gui/spectrum/SetDataGraph.h"
#include "gui/spectrum/SetMultiDataGraph.h"
#include "gui/trend/SetNumericalGraph.h"
#include "core/platform/Text.h"
#include <QLabel>

using namespace viewstest;

namespace {

template <class T>
T* Find(QDialog& d, const char* name) {
    T* w = d.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

class SetDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        prm_.Load();
    }
    testsupport::TempWorkDir dir_;
    ScriptedPrompter prompter_;
    CDataGraphPrm prm_;
};

}  // namespace

TEST_F(SetDialogTest, SingleRecordWithoutStandardDisablesItsBoxesAndNeedsACurve) {
    prm_.m_SHOW_RATIO_DATA = 1;  // stored, but not exchanged without standard data
    CSetDataGraph d(false);
    d.LoadFromSection(prm_);
    for (const char* name : {"SHOW_BASE_DATA", "SHOW_DIFFERENCE_DATA", "SHOW_RATIO_DATA"}) {
        EXPECT_FALSE(Find<QCheckBox>(d, name)->isEnabled()) << name;
        EXPECT_FALSE(Find<QCheckBox>(d, name)->isChecked()) << name;
    }
    EXPECT_TRUE(Find<QCheckBox>(d, "SHOW_UV")->isHidden());
    EXPECT_FALSE(Find<CColorSwatch>(d, "MEASURED_DATA_COLOR")->isHidden());
    Find<QCheckBox>(d, "SHOW_MEASURED_DATA")->setChecked(false);
    EXPECT_TRUE(Find<CColorSwatch>(d, "MEASURED_DATA_COLOR")->isHidden());
    d.accept();
    ASSERT_EQ(prompter_.Messages().size(), 1u);
    EXPECT_EQ(prompter_.Messages()[0], "Not selected a data to plot.");
    EXPECT_EQ(prompter_.calls.back().icon, Prompter::Icon::Warning);
    EXPECT_EQ(d.result(), QDialog::Rejected);

    Find<QCheckBox>(d, "SHOW_MEASURED_DATA")->setChecked(true);
    Find<QLineEdit>(d, "RANGE_MIN_X")->setText("500");
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    CDataGraphPrm out = prm_;
    d.StoreToSection(out);
    EXPECT_EQ(out.m_RANGE_MIN_X.Get(), 500.0f);
    EXPECT_EQ(out.m_SHOW_RATIO_DATA.Get(), 1);  // untouched without standard data
}

TEST_F(SetDialogTest, SingleRecordChecksInTheStatedOrder) {
    CSetDataGraph d(true);
    prm_.m_RANGE_AUTO_RATIO = 0;  // a fixed ratio axis, as a user may have stored
    d.LoadFromSection(prm_);
    auto* ratio = Find<QCheckBox>(d, "SHOW_RATIO_DATA");
    auto* autoRatio = Find<QCheckBox>(d, "RANGE_AUTO_RATIO");
    EXPECT_FALSE(autoRatio->isEnabled());
    ratio->setChecked(true);
    EXPECT_TRUE(autoRatio->isEnabled());
    EXPECT_TRUE(Find<QLineEdit>(d, "RANGE_MIN_RATIO")->isEnabled());
    EXPECT_FALSE(Find<CColorSwatch>(d, "RATIO_DATA_COLOR")->isHidden());
    autoRatio->setChecked(true);
    EXPECT_FALSE(Find<QLineEdit>(d, "RANGE_MIN_RATIO")->isEnabled());
    Find<QLineEdit>(d, "RANGE_MIN_RATIO")->setText("100");
    Find<QLineEdit>(d, "RANGE_MAX_RATIO")->setText("0");
    d.accept();
    ASSERT_EQ(prompter_.Messages().size(), 1u);
    EXPECT_EQ(prompter_.Messages().back(), "Invalid ratio data range setting.");
    EXPECT_EQ(prompter_.calls.back().icon, Prompter::Icon::Warning);

    // A framework range message comes before every rule.
    Find<QLineEdit>(d, "RANGE_MIN_X")->setText("300");
    Find<QLineEdit>(d, "RANGE_MAX_X")->setText("200");
    d.accept();
    EXPECT_EQ(prompter_.Messages().back(), "Please enter a number between 350 and 1050.");
    Find<QLineEdit>(d, "RANGE_MIN_X")->setText("x");
    d.accept();
    EXPECT_EQ(prompter_.Messages().back(), "Please enter a number.");
    Find<QLineEdit>(d, "RANGE_MIN_X")->setText("900");
    Find<QLineEdit>(d, "RANGE_MAX_X")->setText("900");
    d.accept();
    EXPECT_EQ(prompter_.Messages().back(), "Invalid x-axis range setting.");
    Find<QLineEdit>(d, "RANGE_MAX_X")->setText("1000");
    Find<QCheckBox>(d, "RANGE_AUTO_Y")->setChecked(false);
    Find<QLineEdit>(d, "RANGE_MIN_Y")->setText("5");
    Find<QLineEdit>(d, "RANGE_MAX_Y")->setText("5");
    d.accept();
    EXPECT_EQ(prompter_.Messages().back(), "Invalid y-axis range setting");
    Find<QLineEdit>(d, "RANGE_MAX_Y")->setText("6");
    Find<QLineEdit>(d, "RANGE_MAX_RATIO")->setText("200");
    Find<QCheckBox>(d, "SHOW_INTEGRATION")->setChecked(true);
    Find<QLineEdit>(d, "RANGE_MIN_INTEGRATION")->setText("700");
    Find<QLineEdit>(d, "RANGE_MAX_INTEGRATION")->setText("600");
    d.accept();
    EXPECT_EQ(prompter_.Messages().back(), "Invalid integration area setting.");
    EXPECT_EQ(d.result(), QDialog::Rejected);
    Find<QLineEdit>(d, "RANGE_MAX_INTEGRATION")->setText("800");
    prompter_.colors.push_back(0x123456u);
    Find<CColorSwatch>(d, "RATIO_DATA_COLOR")->Choose();
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    CDataGraphPrm out;
    out.Load();
    d.StoreToSection(out);
    EXPECT_EQ(out.m_SHOW_RATIO_DATA.Get(), 1);
    EXPECT_EQ(out.m_RANGE_AUTO_RATIO.Get(), 1);
    EXPECT_EQ(out.m_RATIO_DATA_COLOR.Get(), 0x123456);
    EXPECT_EQ(out.m_RANGE_MIN_INTEGRATION.Get(), 700.0f);
    EXPECT_EQ(out.m_RANGE_MAX_X.Get(), 1000.0f);
}

TEST_F(SetDialogTest, SeveralRecordsExchangeOnlyTheirSlots) {
    for (int i = 0; i < 10; ++i) {
        prm_.m_SHOW_DATA[static_cast<std::size_t>(i)] = 1;
        prm_.m_DATA_COLOR[static_cast<std::size_t>(i)] = 100 + i;
    }
    prm_.m_SHOW_KIND = 2;
    CSetMultiDataGraph d(false);
    d.LoadFromSection(prm_, 3);
    for (int i = 1; i <= 10; ++i) {
        auto* box = Find<QCheckBox>(d, QString("SHOW_DATA%1").arg(i).toUtf8().constData());
        EXPECT_EQ(box->isEnabled(), i <= 3) << i;
    }
    EXPECT_TRUE(Find<QRadioButton>(d, "SHOW_KIND_0")->isChecked());  // forced without standard
    EXPECT_FALSE(Find<QRadioButton>(d, "SHOW_KIND_1")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>(d, "SHOW_BASE_DATA")->isEnabled());
    Find<QCheckBox>(d, "SHOW_DATA2")->setChecked(false);
    d.accept();
    ASSERT_EQ(d.result(), QDialog::Accepted);
    CDataGraphPrm out = prm_;
    out.m_DATA_COLOR[3] = 7;
    d.StoreToSection(out);
    EXPECT_EQ(out.m_SHOW_DATA[1].Get(), 0);
    EXPECT_EQ(out.m_SHOW_DATA[3].Get(), 1);  // data4 .. data10 keep their keys
    EXPECT_EQ(out.m_DATA_COLOR[3].Get(), 7);
    EXPECT_EQ(out.m_SHOW_KIND.Get(), 0);     // always stored

    for (int i = 1; i <= 3; ++i) Find<QCheckBox>(d, QString("SHOW_DATA%1").arg(i).toUtf8().constData())->setChecked(false);
    d.setResult(QDialog::Rejected);
    d.accept();
    EXPECT_EQ(prompter_.Messages().back(), "Not selected a data to plot.");
}

TEST_F(SetDialogTest, SeveralRecordsAsRatiosIgnoreTheIrradianceAxis) {
    CSetMultiDataGraph d(true);
    d.LoadFromSection(prm_, 2);
    Find<QRadioButton>(d, "SHOW_KIND_1")->setChecked(true);
    for (const char* name : {"RANGE_AUTO_Y", "UNIT_Y_0", "UNIT_Y_1"})
        EXPECT_FALSE(Find<QWidget>(d, name)->isEnabled()) << name;
    EXPECT_FALSE(Find<QLineEdit>(d, "RANGE_MIN_Y")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>(d, "RANGE_AUTO_RATIO")->isEnabled());
    Find<QCheckBox>(d, "RANGE_AUTO_Y")->setChecked(false);
    Find<QLineEdit>(d, "RANGE_MIN_Y")->setText("50");
    Find<QLineEdit>(d, "RANGE_MAX_Y")->setText("10");
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(prompter_.Messages().empty());

    d.setResult(QDialog::Rejected);
    Find<QLineEdit>(d, "RANGE_MIN_RATIO")->setText("100");
    Find<QLineEdit>(d, "RANGE_MAX_RATIO")->setText("100");
    d.accept();
    EXPECT_EQ(prompter_.Messages().back(), "Invalid ratio data range setting.");
    Find<QRadioButton>(d, "SHOW_KIND_0")->setChecked(true);
    EXPECT_TRUE(Find<QLineEdit>(d, "RANGE_MIN_Y")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>(d, "RANGE_AUTO_RATIO")->isEnabled());
    d.accept();
    EXPECT_EQ(prompter_.Messages().back(), "Invalid y-axis range setting");
}

TEST_F(SetDialogTest, CalculationDialogOffersTheLightQualityKindsWithTheirOwnRanges) {
    CNumericalGraphPrm nprm;
    nprm.Load();
    nprm.m_SHOW_KIND = CNumericalGraphPrm::kKindDli;
    nprm.m_RANGE_AUTO_Y = 0;
    CSetNumericalGraph d;
    d.LoadFromSection(nprm);
    EXPECT_TRUE(d.KindButton(CNumericalGraphPrm::kKindDli)->isChecked());
    EXPECT_FALSE(d.KindButton(CNumericalGraphPrm::kKindDli)->isHidden());
    EXPECT_EQ(Find<QLabel>(d, "UNIT")->text(), "mol/m^2/d");
    d.KindButton(CNumericalGraphPrm::kKindRfr)->setChecked(true);
    EXPECT_EQ(Find<QLabel>(d, "UNIT")->text(), "");
    d.KindButton(CNumericalGraphPrm::kKindCct)->setChecked(true);
    EXPECT_EQ(Find<QLabel>(d, "UNIT")->text(), "K");
    Find<QLineEdit>(d, "RANGE_MIN")->setText("2500");
    Find<QLineEdit>(d, "RANGE_MAX")->setText("7000");
    d.accept();
    ASSERT_EQ(d.result(), QDialog::Accepted);
    CNumericalGraphPrm out;
    out.Load();
    d.StoreToSection(out);
    EXPECT_EQ(out.m_SHOW_KIND.Get(), CNumericalGraphPrm::kKindCct);
    EXPECT_EQ(out.m_RANGE_MIN_CCT.Get(), 2500.0f);
    EXPECT_EQ(out.m_RANGE_MAX_CCT.Get(), 7000.0f);
    EXPECT_EQ(out.m_RANGE_MAX_PAR.Get(), nprm.m_RANGE_MAX_PAR.Get());
}

TEST_F(SetDialogTest, CalculationDialogKeepsEveryKindsPairWhileOpen) {
    CNumericalGraphPrm nprm;
    nprm.Load();
    nprm.m_SHOW_KIND = 0;
    CSetNumericalGraph d;
    d.LoadFromSection(nprm);
    auto* autoY = Find<QCheckBox>(d, "RANGE_AUTO_Y");
    autoY->setChecked(false);
    EXPECT_FALSE(Find<QLineEdit>(d, "MIN_INTEGRATION_AREA")->isEnabled());
    Find<QLineEdit>(d, "RANGE_MIN")->setText("0");
    Find<QLineEdit>(d, "RANGE_MAX")->setText("50");
    d.KindButton(2)->setChecked(true);  // Lux
    EXPECT_EQ(Find<QLabel>(d, "UNIT")->text(), "lx");
    EXPECT_EQ(Find<QLineEdit>(d, "RANGE_MAX")->text().toStdString(), platform::FormatG(nprm.m_RANGE_MAX_LUX.Get()));
    Find<QLineEdit>(d, "RANGE_MIN")->setText("5");
    Find<QLineEdit>(d, "RANGE_MAX")->setText("1");
    d.KindButton(0)->setChecked(true);
    EXPECT_EQ(Find<QLineEdit>(d, "RANGE_MIN")->text(), "0");
    EXPECT_EQ(Find<QLineEdit>(d, "RANGE_MAX")->text(), "50");
    EXPECT_EQ(Find<QLabel>(d, "UNIT")->text(), "W/m^2");
    // Cancel: the section is as it was.
    d.reject();
    CNumericalGraphPrm unchanged;
    unchanged.Load();
    EXPECT_EQ(unchanged.m_RANGE_MAX_PAR.Get(), nprm.m_RANGE_MAX_PAR.Get());

    // A typed non-number keeps the kind it belongs to.
    Find<QLineEdit>(d, "RANGE_MAX")->setText("abc");
    d.KindButton(1)->setChecked(true);
    EXPECT_TRUE(d.KindButton(0)->isChecked());
    EXPECT_EQ(prompter_.Messages().back(), "Please enter a number.");
    Find<QLineEdit>(d, "RANGE_MAX")->setText("50");

    d.KindButton(8)->setChecked(true);  // integration: the area edits count now
    EXPECT_TRUE(Find<QLineEdit>(d, "MIN_INTEGRATION_AREA")->isEnabled());
    Find<QLineEdit>(d, "RANGE_MIN")->setText("1");
    Find<QLineEdit>(d, "RANGE_MAX")->setText("2");
    Find<QLineEdit>(d, "MIN_INTEGRATION_AREA")->setText("700");
    Find<QLineEdit>(d, "MAX_INTEGRATION_AREA")->setText("400");
    d.accept();
    EXPECT_EQ(prompter_.Messages().back(), "Invalid integration area setting.");
    Find<QLineEdit>(d, "MAX_INTEGRATION_AREA")->setText("800");
    d.accept();
    ASSERT_EQ(d.result(), QDialog::Accepted);
    CNumericalGraphPrm out;
    out.Load();
    d.StoreToSection(out);
    EXPECT_EQ(out.m_SHOW_KIND.Get(), 8);
    EXPECT_EQ(out.m_RANGE_MAX_PAR.Get(), 50.0f);
    EXPECT_EQ(out.m_RANGE_MIN_LUX.Get(), 5.0f);  // every pair is stored, checked or not
    EXPECT_EQ(out.m_RANGE_MAX_INTEGRATION.Get(), 2.0f);
    EXPECT_EQ(out.m_MIN_INTEGRATION_AREA.Get(), 700.0f);
    EXPECT_EQ(out.m_RANGE_AUTO_Y.Get(), 0);
}
