// The simulated instrument's data: plausible, reproducible, and readable by the real protocol.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "core/instrument/InstrumentProtocol.h"
#include "core/platform/LocalTime.h"
#include "sim/SimModel.h"
#include "tests/unit/instrument/MemoryTransport.h"

namespace {

constexpr int64_t kNoon = 1782043200;      // 2026-06-21 12:00:00 UTC
constexpr int64_t kMidnight = 1782000000;  // 2026-06-21 00:00:00 UTC

class SimModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        hadTz_ = tz != nullptr;
        if (hadTz_) savedTz_ = tz;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_) setenv("TZ", savedTz_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
        platform::SetClockForTesting(nullptr);
    }
    static void FixClock(int64_t t) {
        platform::SetClockForTesting([t] { return t * 1000; });
    }
    // A live automatic measurement read back through the protocol.
    static CSpectrumData MeasureAuto(CSimModel& model) {
        CInstrumentLink link;
        link.Attach(std::make_unique<CMemoryTransport>(64, [&](const std::string& c) { return model.Handle(c).reply; }));
        CInstrumentProtocol protocol(link);
        CSpectrumData record;
        EXPECT_TRUE(protocol.ReadInstrumentInfo(record));
        EXPECT_TRUE(protocol.Command("AM,799\r", CInstrumentProtocol::kAutoTimeoutMs));
        EXPECT_TRUE(protocol.ReadStoredRecord(record, 799, false)) << protocol.GetErrorText();
        return record;
    }

    std::string savedTz_;
    bool hadTz_ = false;
};

}  // namespace

TEST_F(SimModelTest, WavelengthsAscendFrom300To1100) {
    CSimModel model(3);
    EXPECT_NEAR(model.Wavelength(0), 300.0, 3.0);
    EXPECT_NEAR(model.Wavelength(255), 1100.0, 10.0);
    for (int p = 1; p < 256; ++p) EXPECT_GT(model.Wavelength(p), model.Wavelength(p - 1) + 2.0);
}

TEST_F(SimModelTest, SameSeedSameInstrument) {
    CSimModel a(11), b(11), c(12);
    EXPECT_EQ(a.SerialText(), b.SerialText());
    for (int t = 0; t < 4; ++t) EXPECT_EQ(a.CalibrationTable(t), b.CalibrationTable(t));
    for (int d = 0; d < a.StoredCount(); ++d) EXPECT_EQ(a.Slot(d).words, b.Slot(d).words) << d;
    EXPECT_NE(a.Slot(0).words, c.Slot(0).words);
    FixClock(kNoon);
    EXPECT_EQ(a.Handle("AM,799").reply, "OK\r");
    EXPECT_EQ(b.Handle("AM,799").reply, "OK\r");
    EXPECT_EQ(a.Slot(799).words, b.Slot(799).words);
    EXPECT_EQ(a.Slot(799).time, kNoon);
}

TEST_F(SimModelTest, NoonSunIsSunLikeAndNightIsDark) {
    CSimModel model(5);
    FixClock(kNoon);
    CSpectrumData noon = MeasureAuto(model);
    EXPECT_GE(noon.GetExposureTime(), 10);
    EXPECT_LE(noon.GetExposureTime(), 50);
    int p500 = noon.NearestIndex(500.0f);
    EXPECT_GT(noon.Irradiance(p500, 0), 1500.0f);
    EXPECT_LT(noon.Irradiance(p500, 0), 2000.0f);
    EXPECT_LT(noon.Irradiance(noon.NearestIndex(305.0f), 0), 50.0f);    // ozone edge
    EXPECT_LT(noon.Irradiance(noon.NearestIndex(760.0f), 0),            // oxygen line
              noon.Irradiance(noon.NearestIndex(740.0f), 0));
    EXPECT_GT(noon.GetPar(), 300.0f);
    EXPECT_LT(noon.GetPar(), 600.0f);

    FixClock(kNoon - 4 * 3600);  // 08:00: lower sun, longer exposure
    CSpectrumData morning = MeasureAuto(model);
    EXPECT_GT(morning.GetExposureTime(), noon.GetExposureTime());
    EXPECT_LT(morning.Irradiance(p500, 0), noon.Irradiance(p500, 0));

    FixClock(kMidnight);
    CSpectrumData night = MeasureAuto(model);
    EXPECT_EQ(night.GetExposureTime(), 5000);
    EXPECT_LT(std::abs(night.Irradiance(p500, 0)), 5.0f);
}

TEST_F(SimModelTest, LongExposureSaturatesAndDarkPhaseHoldsOnlyDark) {
    CSimModel model(5);
    FixClock(kNoon);
    EXPECT_EQ(model.Handle("OP").reply, "OK\r");
    CSimModel::Answer a = model.Handle("GM,5000,799,0");
    EXPECT_EQ(a.reply, "OK\r");
    EXPECT_EQ(a.busyMs, 5000);
    int saturated = 0;
    for (int16_t w : model.Slot(799).words) saturated += w == 32767;
    EXPECT_GT(saturated, 100);

    EXPECT_EQ(model.Handle("CL").reply, "OK\r");
    model.Handle("GM,10,799,0");
    for (int16_t w : model.Slot(799).words) {
        EXPECT_GT(w, 250);
        EXPECT_LT(w, 400);
    }
}

TEST_F(SimModelTest, RefusesWhatIsNotACommand) {
    CSimModel model(1, 3);
    for (const char* c : {"", "XX", "C5", "CALT,4", "CALT,", "CALT,a", "DPM,3,0", "DPM,0,9", "DPM,0", "RB,800",
                          "GM,0,799,0", "GM,10,799,1", "GM,10,799", "AM,-1", "AM,800", "RI,1"}) {
        EXPECT_EQ(model.Handle(c).reply, "ERR\r") << c;
    }
    EXPECT_EQ(model.Handle("RI").reply, "3\rOK\r");
    EXPECT_EQ(model.Handle("DPM,2,0").reply, "FIELD003\rOK\r");
    EXPECT_EQ(model.Handle("RB,2").reply.size(), 515u);
}

TEST_F(SimModelTest, LiveSlotAnswersBeforeTheFirstMeasurement) {
    CSimModel model(2, 0);
    EXPECT_EQ(model.Handle("RI").reply, "0\rOK\r");
    EXPECT_EQ(model.Handle("DPM,799,2").reply, "100\rOK\r");
    EXPECT_EQ(model.Handle("RB,799").reply.size(), 515u);
    EXPECT_EQ(model.Handle("DPM,0,2").reply, "ERR\r");
}
