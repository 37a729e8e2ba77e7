// The engine's runs against an in-memory instrument: exposure arithmetic, messages, refusals.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "core/config/MeasurementPrm.h"
#include "core/data/SpectrumDataReader.h"
#include "core/instrument/Measurement.h"
#include "core/platform/LocalTime.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/measure/RecordingListener.h"
#include "tests/unit/measure/ScriptedInstrument.h"


namespace {

using Words = std::array<int16_t, 256>;

class MeasureTest : public ::testing::Test {
protected:
    void SetUp() override {
        state = std::make_shared<ScriptState>();
        engine.SetTransportFactory([this] {
            ++opened;
            return std::make_unique<CScriptedInstrument>(state);
        });
    }

    CMeasurementPrm Manual(int exposureIndex) {
        CMeasurementPrm prm;
        prm.m_MEASUREMENT_TYPE = CMeasurement::kManual;
        prm.m_EXPOSED_TIME = exposureIndex;
        prm.m_MEASUREMENT_SOUND = 1;
        return prm;
    }

    // One manual run; the stored record is read back from its daily file.
    bool RunManual(const CMeasurementPrm& prm, CSpectrumData& stored) {
        listener.Clear();
        if (!engine.Start(prm, listener)) return false;
        EXPECT_TRUE(listener.WaitForAny({Ev::kStored, Ev::kError}));
        engine.Stop();
        auto done = listener.Only(Ev::kStored);
        if (done.size() != 1) return false;
        platform::LocalFields f;
        EXPECT_TRUE(platform::SplitLocal(done[0].time, f));
        std::vector<CSpectrumData> day;
        CSpectrumDataReader().ReadDay(f.year, f.month, f.day, day);
        if (day.empty()) return false;
        stored = day.back();
        return true;
    }

    std::vector<RunEvent> Exposures() { return listener.Only(Ev::kExposure); }

    static int DailyFiles() {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator("."))
            n += e.path().extension() == ".hlx" ? 1 : 0;
        return n;
    }

    testsupport::TempWorkDir dir;
    testsupport::TzGuard tz{"JST-9"};
    std::shared_ptr<ScriptState> state;
    CRecordingListener listener;
    CMeasurement engine;
    std::atomic<int> opened{0};
};

TEST_F(MeasureTest, FixedExposureSubtractsTheDarkAndScalesToCountsPerSecond) {
    state->words = [](int, bool open, int) {
        Words w{};
        for (int p = 0; p < 256; ++p) w[static_cast<std::size_t>(p)] = static_cast<int16_t>(open ? 1000 + p : 100);
        w[7] = open ? 50 : 80;  // dark above light stays negative
        w[8] = open ? 32767 : 100;  // no saturation test
        return w;
    };
    for (int index = 1; index <= 9; ++index) {
        SCOPED_TRACE(index);
        const int e = CMeasurement::FixedExposureMs(index);
        CSpectrumData r;
        ASSERT_TRUE(RunManual(Manual(index), r)) << engine.GetErrorText();
        EXPECT_EQ(r.GetExposureTime(), e);
        ASSERT_EQ(r.PixelCount(), 256);
        EXPECT_FLOAT_EQ(r.GetSignal()[0], 900.0f * 1000.0f / static_cast<float>(e));
        EXPECT_FLOAT_EQ(r.GetSignal()[200], 1100.0f * 1000.0f / static_cast<float>(e));
        EXPECT_FLOAT_EQ(r.GetSignal()[7], -30.0f * 1000.0f / static_cast<float>(e));
        EXPECT_FLOAT_EQ(r.GetSignal()[8], 32667.0f * 1000.0f / static_cast<float>(e));
        auto ex = Exposures();
        ASSERT_EQ(ex.size(), 2u);
        EXPECT_EQ(ex[0].ms, e);
        EXPECT_FALSE(ex[0].dark);
        EXPECT_EQ(ex[1].ms, e);
        EXPECT_TRUE(ex[1].dark);
    }
    // Open before the light exposure, close before the dark one.
    auto c = state->Commands();
    std::vector<std::string> tail(c.end() - 6, c.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"OP\r", "GM,5000,799,0\r", "RB,799\r", "CL\r", "GM,5000,799,0\r",
                                              "RB,799\r"}));
}

TEST_F(MeasureTest, OverlapTakesTheLongestUnsaturatedExposureAndBlendsNearTheTop) {
    // light[k] / dark[k] per pixel for the exposures 5000, 500, 50, 10 ms.
    state->words = [](int e, bool open, int repeat) {
        const int k = e == 5000 ? 0 : e == 500 ? 1 : e == 50 ? 2 : 3;
        Words w{};
        const int16_t sat = 32767;
        // Pixel 0: clear at 5000 ms.
        w[0] = open ? std::array<int16_t, 4>{20000, 2000, 200, 40}[k] : 100;
        // Pixel 1: near the top at 5000 ms, blended with 500 ms.
        w[1] = open ? std::array<int16_t, 4>{30000, 3000, 300, 60}[k] : std::array<int16_t, 4>{500, 100, 100, 100}[k];
        // Pixel 2: saturated everywhere.
        w[2] = open ? sat : 100;
        // Pixel 3: only the 10 ms exposure is clear; its ten repeats are averaged, never blended.
        w[3] = open ? (k < 3 ? sat : static_cast<int16_t>(30000 + repeat % 2)) : 200;
        // Pixel 4: saturated at 5000 ms, near the top at 500 ms: blended with 50 ms.
        w[4] = open ? std::array<int16_t, 4>{sat, 29000, 2900, 600}[k] : 300;
        return w;
    };
    CSpectrumData r;
    ASSERT_TRUE(RunManual(Manual(10), r)) << engine.GetErrorText();
    EXPECT_EQ(r.GetExposureTime(), 0);
    const auto& s = r.GetSignal();
    EXPECT_FLOAT_EQ(s[0], (20000.0f - 100.0f) / 5.0f);
    {
        const double w = 2000.0 / 4767.0;
        EXPECT_NEAR(s[1], (1 - w) * (29500.0 / 5.0) + w * (2900.0 * 2.0), 1e-2);
    }
    EXPECT_EQ(s[2], 0.0f);
    EXPECT_NEAR(s[3], (30000.5 - 200.0) * 100.0, 1e-1);
    {
        const double w = 1000.0 / 4767.0;
        EXPECT_NEAR(s[4], (1 - w) * (28700.0 * 2.0) + w * (2600.0 * 20.0), 1e-1);
    }
    EXPECT_EQ(s[5], 0.0f);

    // 13 light and 13 dark exposures, longest first, each announced before its command.
    auto ex = Exposures();
    ASSERT_EQ(ex.size(), 26u);
    const int order[13] = {5000, 500, 50, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10};
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(ex[static_cast<std::size_t>(i)].ms, order[i % 13]) << i;
        EXPECT_EQ(ex[static_cast<std::size_t>(i)].dark, i >= 13) << i;
    }
    int gm = 0;
    for (const auto& c : state->Commands()) gm += c.rfind("GM,", 0) == 0 ? 1 : 0;
    EXPECT_EQ(gm, 26);
}

TEST_F(MeasureTest, AutomaticExposureAlsoForIndicesOutsideTheTable) {
    state->autoExposureMs = 200;
    for (int p = 0; p < 256; ++p) state->autoWords[static_cast<std::size_t>(p)] = static_cast<int16_t>(p * 10 - 100);
    state->autoWords[9] = 32767;
    for (int index : {0, 11, -1, 1000}) {
        SCOPED_TRACE(index);
        const std::size_t before = state->Commands().size();
        CSpectrumData r;
        ASSERT_TRUE(RunManual(Manual(index), r)) << engine.GetErrorText();
        EXPECT_EQ(r.GetExposureTime(), 200);
        EXPECT_FLOAT_EQ(r.GetSignal()[0], -100.0f * 1000.0f / 200.0f);
        EXPECT_FLOAT_EQ(r.GetSignal()[100], 900.0f * 5.0f);
        EXPECT_EQ(r.GetSignal()[9], 0.0f);  // saturated
        auto c = state->Commands();
        std::vector<std::string> run(c.begin() + static_cast<long>(before), c.end());
        EXPECT_NE(std::find(run.begin(), run.end(), "AM,799\r"), run.end());
        for (const auto& cmd : run) EXPECT_NE(cmd.rfind("GM,", 0), 0u) << cmd;
        EXPECT_TRUE(Exposures().empty());
    }
}

TEST_F(MeasureTest, RecordCarriesInstrumentInformationTimeAndTheRunsComment) {
    const int64_t fixed = 1781946000LL * 1000 + 400;  // 2026-06-20 18:00:00.400 JST
    platform::SetClockForTesting([fixed] { return fixed; });
    CMeasurementPrm prm = Manual(0);
    prm.m_Memo = "roof";
    CSpectrumData r;
    const bool ok = RunManual(prm, r);
    platform::SetClockForTesting({});
    ASSERT_TRUE(ok) << engine.GetErrorText();
    EXPECT_EQ(r.GetTime(), 1781946000);
    EXPECT_EQ(r.GetIdText(), "TID");
    EXPECT_EQ(r.GetSerialNumber(), "TSER");
    EXPECT_EQ(r.GetCoefficient(0), 300.0f);
    EXPECT_EQ(r.GetMemo(), "roof");
    EXPECT_EQ(r.GetValid(), 1);
    EXPECT_FLOAT_EQ(r.GetTemperature(), 21.5f);
    EXPECT_EQ(r.GetFovCode(), 1);
    ASSERT_EQ(r.GetCalibration().size(), 256u);
    EXPECT_EQ(r.GetCalibration()[0], 2.0f);  // table 1 of the scripted instrument

    // Without a comment the instrument's memo item stays.
    ASSERT_TRUE(RunManual(Manual(0), r));
    EXPECT_EQ(r.GetMemo(), "LIVE");
    // The instrument information is read once per engine.
    int ser = 0;
    for (const auto& c : state->Commands()) ser += c == "SER\r" ? 1 : 0;
    EXPECT_EQ(ser, 1);
}

TEST_F(MeasureTest, StartRefusesWhatCannotRun) {
    CMeasurementPrm prm;
    prm.m_MEASUREMENT_TYPE = CMeasurement::kInterval;
    for (int span : {0, -5}) {
        prm.m_INTERVAL_MEASUREMENT_SPAN = span;
        EXPECT_FALSE(engine.Start(prm, listener));
        EXPECT_EQ(engine.GetErrorText(), "Invalid interval measurement span setting.");
        EXPECT_FALSE(engine.IsMeasuring());
    }
    EXPECT_EQ(opened.load(), 0);  // refused before the port was touched

    prm.m_MEASUREMENT_TYPE = 4;  // no such run
    EXPECT_FALSE(engine.Start(prm, listener));
    EXPECT_EQ(engine.GetErrorText(), "Internal system failure.");
    EXPECT_FALSE(engine.IsMeasuring());

    engine.SetTransportFactory([] { return std::unique_ptr<CTransport>(); });
    EXPECT_FALSE(engine.Start(Manual(0), listener));
    EXPECT_EQ(engine.GetErrorText(), "Cannot open the port. Confirm the connection.");
    EXPECT_FALSE(engine.IsMeasuring());
    EXPECT_TRUE(listener.All().empty());
    engine.Stop();  // harmless without a run
}

TEST_F(MeasureTest, ARefusedCommandEndsTheRunAndTheNextStartWorks) {
    state->refuse = "DPM,799,3";
    CSpectrumData r;
    EXPECT_FALSE(RunManual(Manual(4), r));
    EXPECT_EQ(listener.Count(Ev::kError), 1);
    EXPECT_EQ(engine.GetErrorText(), "The error occurred while communicating by command \"DPM,799,3\r\".");
    EXPECT_EQ(DailyFiles(), 0);

    state->refuse.clear();
    EXPECT_TRUE(RunManual(Manual(4), r)) << engine.GetErrorText();
    // The error text keeps the last failure until the next one.
    EXPECT_EQ(engine.GetErrorText(), "The error occurred while communicating by command \"DPM,799,3\r\".");
}

TEST_F(MeasureTest, StopEndsAnIntervalRunAtItsWaitAndTheRunStaysUntilStopped) {
    const int64_t fixed = 1781926354LL * 1000;  // 2026-06-20 12:32:34 JST
    platform::SetClockForTesting([fixed] { return fixed; });
    CMeasurementPrm prm;
    prm.m_MEASUREMENT_TYPE = CMeasurement::kInterval;
    ASSERT_TRUE(prm.m_INTERVAL_MEASUREMENT_START_TIME.SetString("2000/1/1 13:00:00"));
    ASSERT_TRUE(prm.m_INTERVAL_MEASUREMENT_END_TIME.SetString("2000/1/1 17:00:00"));
    prm.m_INTERVAL_MEASUREMENT_SPAN = 300;
    ASSERT_TRUE(engine.Start(prm, listener));
    ASSERT_TRUE(listener.WaitFor(Ev::kWaiting));
    platform::SetClockForTesting({});
    EXPECT_EQ(listener.Only(Ev::kWaiting)[0].time, 1781928000);  // 13:00:00 from the injected clock
    EXPECT_TRUE(engine.IsMeasuring());

    const auto t0 = std::chrono::steady_clock::now();
    engine.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
    EXPECT_FALSE(engine.IsMeasuring());
    EXPECT_EQ(listener.Kinds(), (std::vector<Ev>{Ev::kWaiting, Ev::kFinished}));

    // A finished manual run keeps its worker until Stop.
    CMeasurementPrm manual = Manual(0);
    ASSERT_TRUE(engine.Start(manual, listener));
    ASSERT_TRUE(listener.WaitFor(Ev::kStored));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(engine.IsMeasuring());
    engine.Stop();
    EXPECT_FALSE(engine.IsMeasuring());
}

TEST_F(MeasureTest, FinishSoundFollowsTheSoundSetting) {
    std::atomic<int> played{0};
    engine.SetSoundCallback([&played] { ++played; });
    CSpectrumData r;
    CMeasurementPrm prm = Manual(0);
    prm.m_MEASUREMENT_SOUND = 0;
    ASSERT_TRUE(RunManual(prm, r));
    EXPECT_EQ(played.load(), 1);
    prm.m_MEASUREMENT_SOUND = 1;
    ASSERT_TRUE(RunManual(prm, r));
    EXPECT_EQ(played.load(), 1);
    // A failed measurement plays nothing.
    prm.m_MEASUREMENT_SOUND = 0;
    state->refuse = "AM,799";
    EXPECT_FALSE(RunManual(prm, r));
    EXPECT_EQ(played.load(), 1);
}

TEST_F(MeasureTest, DestroyingARunningEngineStopsIt) {
    CMeasurementPrm prm;
    prm.m_MEASUREMENT_TYPE = CMeasurement::kInterval;
    prm.m_INTERVAL_MEASUREMENT_SPAN = 3600;
    ASSERT_TRUE(prm.m_INTERVAL_MEASUREMENT_START_TIME.SetString("2000/1/1 0:00:00"));
    ASSERT_TRUE(prm.m_INTERVAL_MEASUREMENT_END_TIME.SetString("2000/1/1 23:59:59"));
    {
        CMeasurement local;
        local.SetTransportFactory([this] { return std::make_unique<CScriptedInstrument>(state); });
        ASSERT_TRUE(local.Start(prm, listener));
        ASSERT_TRUE(listener.WaitFor(Ev::kWaiting));
    }
    const std::size_t n = listener.All().size();
    EXPECT_EQ(listener.Count(Ev::kFinished), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(listener.All().size(), n);  // nothing arrives after the engine is gone
}

}  // namespace
