// Measurement runs against the simulated instrument on a pseudo-terminal: what lands in the daily
// files is recomputed from the pixel words the simulator actually sent.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <mutex>
#include <thread>

#include "core/config/MeasurementPrm.h"
#include "core/config/Parameter.h"
#include "core/data/SpectrumDataReader.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/instrument/Measurement.h"
#include "core/platform/File.h"
#include "core/platform/LocalTime.h"
#include "sim/SimulatedInstrument.h"
#include "tests/integration/measure/TapTransport.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/measure/RecordingListener.h"

using namespace platform;

namespace {

constexpr int64_t kNoonMs = 1781924400LL * 1000;  // 2026-06-20 12:00:00 JST
constexpr int64_t kMidnight = 1781924400LL - 12 * 3600;
const char* const kCannotSave = "Cannot save the data. Confirm the output folder.";

std::string CommError(const std::string& command) {
    return "The error occurred while communicating by command \"" + command + "\".";
}

class SimRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Noon on a fixed day, still ticking: the simulated sky is bright and waits are real.
        const int64_t realStart = RealMs();
        const int64_t offset = kNoonMs + 300 - realStart;
        platform::SetClockForTesting([offset] { return RealMs() + offset; });
        tap = std::make_shared<CTapLog>();
        engine.SetTransportFactory([this]() -> std::unique_ptr<CTransport> {
            if (!sim) return nullptr;
            auto t = std::make_unique<CTapTransport>(sim->SlavePath(), tap);
            if (!t->IsOpen()) return nullptr;
            return t;
        });
    }
    void TearDown() override {
        engine.Stop();
        if (sim) sim->Stop();
        platform::SetClockForTesting({});
        CParameter::ClearRunOverrides();
    }
    static int64_t RealMs() {
        using namespace std::chrono;
        return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    }

    void StartSim(SimOptions options = SimOptions()) {
        options.realExposures = false;
        sim = std::make_unique<CSimulatedInstrument>(options);
        ASSERT_TRUE(sim->Start());
    }

    static CMeasurementPrm Settings(int type, int exposure = 0) {
        CMeasurementPrm prm;
        prm.m_MEASUREMENT_TYPE = type;
        prm.m_EXPOSED_TIME = exposure;
        prm.m_MEASUREMENT_SOUND = 1;
        EXPECT_TRUE(prm.m_INTERVAL_MEASUREMENT_START_TIME.SetString("2000/1/1 0:00:00"));
        EXPECT_TRUE(prm.m_INTERVAL_MEASUREMENT_END_TIME.SetString("2000/1/1 23:59:59"));
        prm.m_INTERVAL_MEASUREMENT_SPAN = 2;
        return prm;
    }

    // Runs until one of the messages that end a run arrives, then stops.
    void Run(const CMeasurementPrm& prm, int timeoutMs = 30000) {
        listener.Clear();
        tap->Clear();
        ASSERT_TRUE(engine.Start(prm, listener)) << engine.GetErrorText();
        EXPECT_TRUE(listener.WaitForAny({Ev::kStored, Ev::kError, Ev::kFinished,
                                     Ev::kFinished},
                                    timeoutMs));
        if (prm.m_MEASUREMENT_TYPE.Get() == CMeasurement::kTransfer) {
            EXPECT_TRUE(listener.WaitFor(Ev::kFinished, 1, timeoutMs));
        }
        engine.Stop();
    }

    static std::vector<CSpectrumData> Day() {
        std::vector<CSpectrumData> day;
        CSpectrumDataReader().ReadDay(2026, 6, 20, day);
        return day;
    }
    static long long DayFileSize() { return testsupport::FileSize("SPC_20260620.hlx"); }

    // Replies of the commands sent, in order.
    std::vector<std::string> Replies(const std::string& command) const {
        std::vector<std::string> out;
        for (const auto& e : tap->Entries())
            if (e.command == command) out.push_back(e.reply);
        return out;
    }

    void ExpectAutomaticRecord(const CSpectrumData& r) {
        auto rb = Replies("RB,799\r");
        auto exposure = Replies("DPM,799,2\r");
        ASSERT_EQ(rb.size(), 1u);
        ASSERT_EQ(exposure.size(), 1u);
        const int e = std::atoi(exposure[0].c_str());
        ASSERT_GT(e, 0);
        EXPECT_EQ(r.GetExposureTime(), e);
        auto w = PixelWords(rb[0]);
        ASSERT_EQ(w.size(), 256u);
        ASSERT_EQ(r.PixelCount(), 256);
        int lit = 0;
        for (int p = 0; p < 256; ++p) {
            const int v = w[static_cast<std::size_t>(p)];
            const double expected = v == 32767 ? 0.0 : v * 1000.0 / e;
            EXPECT_NEAR(r.GetSignal()[static_cast<std::size_t>(p)], expected, 1e-5 * std::fabs(expected) + 1e-6) << p;
            lit += v > 1000 ? 1 : 0;
        }
        EXPECT_GT(lit, 50);  // a daylight spectrum, not darkness
    }

    testsupport::TempWorkDir dir;
    testsupport::TzGuard tz{"JST-9"};
    std::unique_ptr<CSimulatedInstrument> sim;
    std::shared_ptr<CTapLog> tap;
    CRecordingListener listener;
    CMeasurement engine;
};

TEST_F(SimRunTest, ManualAutomaticExposureStoresTheInstrumentsWordsPerSecond) {
    StartSim();
    CMeasurementPrm prm = Settings(CMeasurement::kManual, 0);
    prm.m_Memo = "roof";
    Run(prm);
    ASSERT_EQ(listener.Count(Ev::kStored), 1) << engine.GetErrorText();
    auto day = Day();
    ASSERT_EQ(day.size(), 1u);
    EXPECT_EQ(DayFileSize(), 2560);
    const CSpectrumData& r = day[0];
    const RunEvent stored = listener.Only(Ev::kStored)[0];
    EXPECT_EQ(r.GetTime(), stored.time);
    EXPECT_TRUE(stored.runEnds);
    EXPECT_EQ(stored.place.offset, 0);
    platform::CalTime midnight = 0;
    ASSERT_TRUE(platform::LocalMidnight(r.GetTime(), midnight));
    EXPECT_EQ(stored.place.fileDate, midnight);
    EXPECT_EQ(listener.Kinds().back(), Ev::kStored);  // nothing follows the manual run's record
    EXPECT_GE(r.GetTime(), kNoonMs / 1000);
    EXPECT_LE(r.GetTime(), kNoonMs / 1000 + 10);
    ExpectAutomaticRecord(r);

    CSimModel model(SimOptions().seed, 0);
    EXPECT_EQ(r.GetIdText(), model.IdText());
    EXPECT_EQ(r.GetSerialNumber(), model.SerialText());
    EXPECT_EQ(r.GetFtText(), model.FtText());
    EXPECT_NEAR(r.GetCoefficient(1), model.Coefficients()[1], 1e-6);
    EXPECT_EQ(r.GetCalibration(), model.CalibrationTable(0));
    EXPECT_EQ(r.GetMemo(), "roof");
    EXPECT_EQ(r.GetValid(), 1);
}

TEST_F(SimRunTest, MonitorHandsOverEachSpectrumStoresNothingAndAManualRunFollows) {
    StartSim();
    tap->Clear();
    ASSERT_TRUE(engine.Start(Settings(CMeasurement::kMonitor), listener)) << engine.GetErrorText();
    ASSERT_TRUE(listener.WaitFor(Ev::kMonitorMeasured, 3)) << engine.GetErrorText();
    engine.Stop();
    EXPECT_EQ(listener.Count(Ev::kMonitorFinished), 1);
    EXPECT_EQ(listener.Count(Ev::kError), 0);
    EXPECT_EQ(listener.Kinds().back(), Ev::kMonitorFinished);
    // One spectrum per pixel read-out.
    const std::vector<CSpectrumData> seen = listener.Spectra();
    EXPECT_EQ(Replies("RB,799\r").size(), seen.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].PixelCount(), 256);
        EXPECT_GT(*std::max_element(seen[i].GetSignal().begin(), seen[i].GetSignal().end()), 1000.0f);
    }
    // No day file, no run-time log.
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        const std::string name = e.path().filename().string();
        EXPECT_NE(name.rfind("SPC_", 0), 0u) << name;
        EXPECT_NE(name.rfind("RunTime_", 0), 0u) << name;
    }
    Run(Settings(CMeasurement::kManual));
    ASSERT_EQ(listener.Count(Ev::kStored), 1) << engine.GetErrorText();
    ASSERT_EQ(Day().size(), 1u);
    ExpectAutomaticRecord(Day()[0]);
}

TEST_F(SimRunTest, ManualFixedExposuresSubtractTheDarkWords) {
    StartSim();
    for (int index = 1; index <= 9; ++index) {
        SCOPED_TRACE(index);
        const int e = CMeasurement::FixedExposureMs(index);
        Run(Settings(CMeasurement::kManual, index));
        ASSERT_EQ(listener.Count(Ev::kStored), 1) << engine.GetErrorText();
        auto rb = Replies("RB,799\r");
        ASSERT_EQ(rb.size(), 2u);
        auto light = PixelWords(rb[0]), dark = PixelWords(rb[1]);
        const CSpectrumData r = Day().back();
        EXPECT_EQ(r.GetExposureTime(), e);
        for (int p = 0; p < 256; ++p) {
            const auto i = static_cast<std::size_t>(p);
            const double expected = (light[i] - dark[i]) * 1000.0 / e;
            ASSERT_NEAR(r.GetSignal()[i], expected, 1e-5 * std::fabs(expected) + 1e-6) << p;
        }
        auto ex = listener.Only(Ev::kExposure);
        ASSERT_EQ(ex.size(), 2u);
        EXPECT_EQ(ex[0].ms, e);
        EXPECT_FALSE(ex[0].dark);
        EXPECT_TRUE(ex[1].dark);
    }
    EXPECT_EQ(Day().size(), 9u);
}

TEST_F(SimRunTest, OverlapBlendsTheFourExposuresOfTheSimulator) {
    StartSim();
    Run(Settings(CMeasurement::kManual, 10));
    ASSERT_EQ(listener.Count(Ev::kStored), 1) << engine.GetErrorText();
    auto rb = Replies("RB,799\r");
    ASSERT_EQ(rb.size(), 26u);
    const int E[4] = {5000, 500, 50, 10};
    const int N[4] = {1, 1, 1, 10};
    double mean[2][4][256] = {};
    std::size_t next = 0;
    for (int phase = 0; phase < 2; ++phase)
        for (int k = 0; k < 4; ++k) {
            for (int n = 0; n < N[k]; ++n) {
                auto w = PixelWords(rb[next++]);
                for (int p = 0; p < 256; ++p) mean[phase][k][p] += w[static_cast<std::size_t>(p)];
            }
            for (int p = 0; p < 256; ++p) mean[phase][k][p] /= N[k];
        }
    const CSpectrumData r = Day().back();
    EXPECT_EQ(r.GetExposureTime(), 0);
    int saturatedAtLongest = 0, blended = 0;
    for (int p = 0; p < 256; ++p) {
        int k = 0;
        while (k < 4 && mean[0][k][p] >= 32767) ++k;
        saturatedAtLongest += mean[0][0][p] >= 32767 ? 1 : 0;
        double expected = 0.0;
        if (k < 4) {
            const double L = mean[0][k][p];
            expected = (L - mean[1][k][p]) * 1000.0 / E[k];
            if (k < 3 && L > 28000) {
                const double w = (L - 28000) / 4767;
                expected = (1 - w) * expected + w * (mean[0][k + 1][p] - mean[1][k + 1][p]) * 1000.0 / E[k + 1];
                ++blended;
            }
        }
        ASSERT_NEAR(r.GetSignal()[static_cast<std::size_t>(p)], expected, 1e-5 * std::fabs(expected) + 1e-3) << p;
    }
    // At noon the longest exposure saturates the middle of the spectrum: the choice is exercised.
    EXPECT_GT(saturatedAtLongest, 0);
    EXPECT_EQ(listener.Count(Ev::kExposure), 26);
    (void)blended;
}

TEST_F(SimRunTest, IntervalRecordsLandOnTheGridCountedFromMidnight) {
    StartSim();
    listener.Clear();
    ASSERT_TRUE(engine.Start(Settings(CMeasurement::kInterval), listener));
    ASSERT_TRUE(listener.WaitFor(Ev::kStored, 3, 20000)) << engine.GetErrorText();
    engine.Stop();
    EXPECT_EQ(listener.Count(Ev::kError), 0);
    EXPECT_EQ(listener.Count(Ev::kFinished), 1);
    EXPECT_EQ(listener.All().back().kind, Ev::kFinished);

    auto stored = listener.Only(Ev::kStored);
    auto waiting = listener.Only(Ev::kWaiting);
    ASSERT_GE(waiting.size(), stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        EXPECT_EQ((stored[i].time - kMidnight) % 2, 0) << i;
        EXPECT_EQ(stored[i].time, waiting[i].time) << i;  // measured when it said it would
        // Each record where the one before ended, in the same day file, and none ends the run.
        EXPECT_EQ(stored[i].place.offset, static_cast<int64_t>(i) * 2560) << i;
        EXPECT_EQ(stored[i].place.fileDate, kMidnight) << i;
        EXPECT_FALSE(stored[i].runEnds);
        if (i > 0) {
            EXPECT_EQ(stored[i].time - stored[i - 1].time, 2);
        }
        const std::string log = "RunTime_" + FormatLocal(stored[i].time, "%Y%m%d_%H%M%S") + ".csv";
        EXPECT_GT(testsupport::FileSize(log), 0) << log;
    }
    // Each measurement's presence check leaves after its grid point and the 10 ms slack.
    std::vector<int64_t> ids;
    for (const auto& e : tap->Entries())
        if (e.command == "ID\r") ids.push_back(e.sentMs);
    ASSERT_GE(ids.size(), 4u);  // one for the instrument information, one per measurement
    for (std::size_t i = 0; i < stored.size(); ++i) EXPECT_GE(ids[i + 1], stored[i].time * 1000 + 10);

    auto day = Day();
    ASSERT_EQ(day.size(), stored.size());
    for (std::size_t i = 0; i < day.size(); ++i) EXPECT_EQ(day[i].GetTime(), stored[i].time);
}

TEST_F(SimRunTest, TransferSkipsStoredRecordsAndRewritesADeletedOne) {
    SimOptions options;
    options.storedRecords = 5;
    StartSim(options);
    Run(Settings(CMeasurement::kTransfer));
    EXPECT_EQ(listener.Count(Ev::kError), 0) << engine.GetErrorText();
    auto progress = listener.Only(Ev::kProgress);
    ASSERT_EQ(progress.size(), 5u);
    for (int d = 0; d < 5; ++d) {
        EXPECT_EQ(progress[static_cast<std::size_t>(d)].number, d + 1);
        EXPECT_EQ(progress[static_cast<std::size_t>(d)].count, 5);
    }
    auto day = Day();
    ASSERT_EQ(day.size(), 5u);
    for (int d = 0; d < 5; ++d) {
        EXPECT_EQ(day[static_cast<std::size_t>(d)].GetTime(), CSimModel::kFirstStoredTime + d * CSimModel::kStoredSpacing);
        char memo[16];
        std::snprintf(memo, sizeof memo, "FIELD%03d", d + 1);
        EXPECT_EQ(day[static_cast<std::size_t>(d)].GetMemo(), memo);
    }
    {   // Counts per second from the stored words and the stored exposure.
        const int e = std::atoi(Replies("DPM,3,2\r").at(0).c_str());
        auto w = PixelWords(Replies("RB,3\r").at(0));
        for (int p = 0; p < 256; ++p) {
            const int v = w[static_cast<std::size_t>(p)];
            const double expected = v == 32767 ? 0.0 : v * 1000.0 / e;
            ASSERT_NEAR(day[3].GetSignal()[static_cast<std::size_t>(p)], expected, 1e-5 * std::fabs(expected) + 1e-6);
        }
    }

    // Everything is stored already.
    Run(Settings(CMeasurement::kTransfer));
    EXPECT_EQ(listener.Count(Ev::kProgress), 5);
    EXPECT_EQ(listener.Count(Ev::kStored), 0) << "nothing copied";
    EXPECT_EQ(DayFileSize(), 5 * 2560);

    // The stored copy of record 2 is marked deleted: it is written again, and only it.
    {
        platform::File f;
        ASSERT_TRUE(f.Open("SPC_20260620.hlx", platform::File::Mode::ReadWrite));
        ASSERT_TRUE(f.Seek(2 * 2560 + 280));
        const unsigned char zero[4] = {0, 0, 0, 0};
        ASSERT_TRUE(f.WriteAll(zero, 4));
    }
    Run(Settings(CMeasurement::kTransfer));
    day = Day();
    ASSERT_EQ(day.size(), 6u);
    EXPECT_EQ(day[5].GetTime(), CSimModel::kFirstStoredTime + 2 * CSimModel::kStoredSpacing);
    EXPECT_EQ(day[5].GetValid(), 1);
    EXPECT_EQ(day[2].GetValid(), 0);
}

// ---- faults of the instrument ----

struct RefusedCommand {
    const char* fault;    // the simulator's fault command
    int type;
    const char* named;    // how the message names it
    int storedBefore;     // records written before the failure
};

class SimRefusal : public SimRunTest, public ::testing::WithParamInterface<RefusedCommand> {};

TEST_P(SimRefusal, ARefusedCommandEndsTheRunWithItsNameAndTheNextStartWorks) {
    const RefusedCommand c = GetParam();
    SimOptions options;
    options.storedRecords = 2;
    options.faults.push_back({SimFault::kErr, c.fault, 0});
    StartSim(options);
    Run(Settings(c.type, 0));
    EXPECT_EQ(listener.Count(Ev::kError), 1);
    EXPECT_EQ(engine.GetErrorText(), CommError(c.named));
    EXPECT_EQ(listener.Count(Ev::kStored), c.storedBefore) << "each record written is reported";
    EXPECT_EQ(Day().size(), static_cast<std::size_t>(c.storedBefore));

    sim->SetFaults({});
    Run(Settings(c.type, 0));
    EXPECT_EQ(listener.Count(Ev::kError), 0) << engine.GetErrorText();
    EXPECT_EQ(Day().size(), c.type == CMeasurement::kTransfer ? 2u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Commands, SimRefusal,
                         ::testing::Values(RefusedCommand{"ID", CMeasurement::kManual, "ID", 0},
                                           RefusedCommand{"CALT,2", CMeasurement::kManual, "CALT,2\r", 0},
                                           RefusedCommand{"AM", CMeasurement::kManual, "AM,799\r", 0},
                                           RefusedCommand{"RB", CMeasurement::kManual, "RB,799\r", 0},
                                           RefusedCommand{"DPM,1,4", CMeasurement::kTransfer, "DPM,1,4\r", 1}));

TEST_F(SimRunTest, RefusedRecordCountStillFinishesTheTransfer) {
    SimOptions options;
    options.faults.push_back({SimFault::kErr, "RI", 0});
    StartSim(options);
    Run(Settings(CMeasurement::kTransfer));
    EXPECT_EQ(engine.GetErrorText(), CommError("RI"));
    EXPECT_EQ(listener.Kinds(), (std::vector<Ev>{Ev::kError, Ev::kFinished}));
}

TEST_F(SimRunTest, ADroppedReplyTimesOutAndADelayedOneIsWaitedFor) {
    SimOptions options;
    options.faults.push_back({SimFault::kDrop, "DPM,799,3", 0});
    options.faults.push_back({SimFault::kDelay, "RB", 400});
    StartSim(options);
    Run(Settings(CMeasurement::kManual, 0));
    EXPECT_EQ(engine.GetErrorText(), CommError("DPM,799,3\r"));
    EXPECT_LE(DayFileSize(), 0);

    sim->SetFaults({{SimFault::kDelay, "RB", 400}});
    Run(Settings(CMeasurement::kManual, 0));
    ASSERT_EQ(listener.Count(Ev::kStored), 1) << engine.GetErrorText();
}

TEST_F(SimRunTest, SplitAndPacedRepliesGiveTheSameRecord) {
    SimOptions options;
    options.splitReplies = true;
    StartSim(options);
    Run(Settings(CMeasurement::kManual, 0));
    ASSERT_EQ(listener.Count(Ev::kStored), 1) << engine.GetErrorText();
    ExpectAutomaticRecord(Day().back());
    sim->Stop();

    options.splitReplies = false;
    options.paced = true;
    StartSim(options);
    CMeasurement paced;  // reads the instrument information again, at 38400 baud
    paced.SetTransportFactory([this] { return std::make_unique<CTapTransport>(sim->SlavePath(), tap); });
    listener.Clear();
    tap->Clear();
    ASSERT_TRUE(paced.Start(Settings(CMeasurement::kManual, 0), listener));
    ASSERT_TRUE(listener.WaitForAny({Ev::kStored, Ev::kError}, 30000));
    paced.Stop();
    ASSERT_EQ(listener.Count(Ev::kStored), 1) << paced.GetErrorText();
    ExpectAutomaticRecord(Day().back());
}

TEST_F(SimRunTest, SilenceMidTransferKeepsWhatWasStoredAndTheNextTransferCompletes) {
    SimOptions options;
    options.storedRecords = 5;
    // Instrument information (14 commands), RI, two whole records (10 each), then record 2's
    // first three header items.
    options.silentAfter = 14 + 1 + 20 + 3;
    StartSim(options);
    Run(Settings(CMeasurement::kTransfer));
    EXPECT_EQ(engine.GetErrorText(), CommError("DPM,2,3\r"));
    EXPECT_EQ(listener.Kinds().back(), Ev::kFinished);
    EXPECT_EQ(listener.Count(Ev::kError), 1);
    EXPECT_EQ(DayFileSize(), 2 * 2560);

    sim->SetSilentAfter(-1);
    Run(Settings(CMeasurement::kTransfer));
    EXPECT_EQ(listener.Count(Ev::kError), 0) << engine.GetErrorText();
    auto day = Day();
    ASSERT_EQ(day.size(), 5u);
    for (int d = 0; d < 5; ++d)
        EXPECT_EQ(day[static_cast<std::size_t>(d)].GetTime(), CSimModel::kFirstStoredTime + d * CSimModel::kStoredSpacing);
}

// A record whose time has no local date costs that record only, on every transfer, and says why.
TEST_F(SimRunTest, ARecordTimeOutsideTheCalendarIsSkippedAndNamedAndTheRestIsCopied) {
    SimOptions options;
    options.storedRecords = 4;
    StartSim(options);
    constexpr int64_t kYear3237 = 40000000000LL;
    sim->Edit([](CSimModel& m) { m.Slot(1).time = kYear3237; });
    for (int round = 0; round < 2; ++round) {
        Run(Settings(CMeasurement::kTransfer));
        auto skipped = listener.Only(Ev::kSkipped);
        ASSERT_EQ(skipped.size(), 1u);
        EXPECT_EQ(skipped[0].number, 2);
        EXPECT_EQ(skipped[0].time, kYear3237);
        EXPECT_EQ(skipped[0].text, "Record 2 of the instrument was not copied: its time (40000000000 seconds since "
                                   "1970-01-01 UTC) lies outside the years 1970 to 3000 of the local calendar.");
        EXPECT_EQ(engine.GetErrorText(), skipped[0].text);
        EXPECT_EQ(listener.Only(Ev::kError).back().text, skipped[0].text);
        EXPECT_EQ(listener.Kinds().back(), Ev::kFinished);
        auto day = Day();
        ASSERT_EQ(day.size(), 3u);
        EXPECT_EQ(day[1].GetTime(), CSimModel::kFirstStoredTime + 2 * CSimModel::kStoredSpacing);
    }
}

// 01:30 comes twice on the night daylight saving ends; the day file stores both as 01:30:00.
TEST_F(SimRunTest, TransfersFindBothRecordsOfTheRepeatedHourAgain) {
    testsupport::TzGuard newYork("America/New_York");
    constexpr int64_t kEdt = 1793511000, kEst = 1793514600;  // 2026-11-01 01:30 EDT and EST
    SimOptions options;
    options.storedRecords = 2;
    StartSim(options);
    sim->Edit([](CSimModel& m) {
        m.Slot(0).time = kEdt;
        m.Slot(1).time = kEst;
    });
    // One of the two was stored before: the other still has to come.
    CSpectrumData first;
    first.SetTime(kEdt);
    first.SetValid(1);
    first.SetCalibration(std::vector<float>(256, 1.0f));
    first.SetSignal(std::vector<float>(256, 1.0f));
    ASSERT_EQ(CSpectrumDataWriter().AppendRecord(first), 1);
    for (int round = 0; round < 3; ++round) {
        Run(Settings(CMeasurement::kTransfer));
        EXPECT_EQ(listener.Count(Ev::kError), 0) << engine.GetErrorText();
        std::vector<CSpectrumData> day;
        CSpectrumDataReader().ReadDay(2026, 11, 1, day);
        EXPECT_EQ(day.size(), 2u) << round;
    }
}

TEST_F(SimRunTest, InstrumentSwitchedOffMidRun) {
    StartSim();
    listener.Clear();
    ASSERT_TRUE(engine.Start(Settings(CMeasurement::kInterval), listener));
    ASSERT_TRUE(listener.WaitFor(Ev::kStored, 1, 20000)) << engine.GetErrorText();
    sim->Stop();
    ASSERT_TRUE(listener.WaitFor(Ev::kError, 1, 20000));
    EXPECT_EQ(engine.GetErrorText(), CommError("ID"));
    EXPECT_TRUE(listener.WaitFor(Ev::kFinished, 1, 5000));
    engine.Stop();
    EXPECT_EQ(Day().size(), 1u);
    EXPECT_EQ(DayFileSize(), 2560);

    // Its port is gone now.
    EXPECT_FALSE(engine.Start(Settings(CMeasurement::kManual), listener));
    EXPECT_EQ(engine.GetErrorText(), "Cannot open the port. Confirm the connection.");
    EXPECT_FALSE(engine.IsMeasuring());

    StartSim();
    Run(Settings(CMeasurement::kManual));
    EXPECT_EQ(listener.Count(Ev::kStored), 1) << engine.GetErrorText();
    EXPECT_EQ(Day().size(), 2u);
}

TEST(SimRunUsb, NoInstrumentOnUsbFailsAtTheFirstCommand) {
    testsupport::TempWorkDir dir;
    CMeasurement engine;
    engine.SetPortOverride("usb");
    CRecordingListener listener;
    CMeasurementPrm prm;
    prm.m_MEASUREMENT_TYPE = CMeasurement::kManual;
    ASSERT_TRUE(engine.Start(prm, listener));  // a missing device is no error at open
    ASSERT_TRUE(listener.WaitFor(Ev::kError));
    engine.Stop();
    EXPECT_EQ(engine.GetErrorText(), CommError("ID"));
}

// ---- faults of the data folder ----

TEST_F(SimRunTest, MissingDataFolderFailsTheRunAndCreatingItLetsTheNextOneStore) {
    StartSim();
    CParameter::SetRunOverride("GENERAL", "DATA_STORED_FOLDER", "missing");
    Run(Settings(CMeasurement::kManual));
    EXPECT_EQ(engine.GetErrorText(), kCannotSave);
    EXPECT_EQ(listener.Kinds(), (std::vector<Ev>{Ev::kError}));

    // An interval run ends at once, without its finish message.
    listener.Clear();
    ASSERT_TRUE(engine.Start(Settings(CMeasurement::kInterval), listener));
    ASSERT_TRUE(listener.WaitFor(Ev::kError, 1, 20000));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    engine.Stop();
    EXPECT_EQ(engine.GetErrorText(), kCannotSave);
    EXPECT_EQ(listener.Count(Ev::kFinished), 0);
    EXPECT_EQ(listener.Count(Ev::kStored), 0);

    ASSERT_EQ(::mkdir("missing", 0755), 0);
    Run(Settings(CMeasurement::kManual));
    EXPECT_EQ(listener.Count(Ev::kStored), 1) << engine.GetErrorText();
    EXPECT_EQ(testsupport::FileSize("missing/SPC_20260620.hlx"), 2560);
}

TEST_F(SimRunTest, ReadOnlyDataFolderOrADirectoryInTheWay) {
    StartSim();
    // What stands where the day's file belongs cannot be appended to.
    ASSERT_EQ(::mkdir("SPC_20260620.hlx", 0755), 0);
    Run(Settings(CMeasurement::kManual));
    EXPECT_EQ(engine.GetErrorText(), kCannotSave);
    ASSERT_EQ(::rmdir("SPC_20260620.hlx"), 0);

    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    ASSERT_EQ(::mkdir("ro", 0555), 0);
    CParameter::SetRunOverride("GENERAL", "DATA_STORED_FOLDER", "ro");
    Run(Settings(CMeasurement::kManual));
    EXPECT_EQ(engine.GetErrorText(), kCannotSave);
    EXPECT_LT(testsupport::FileSize("ro/SPC_20260620.hlx"), 0);
}

TEST_F(SimRunTest, DiskFullLeavesNoPartialRecord) {
    StartSim();
    Run(Settings(CMeasurement::kManual));
    ASSERT_EQ(DayFileSize(), 2560) << engine.GetErrorText();

    // Room for only 1000 more bytes: the append is cut short.
    {
        testsupport::FileSizeLimit limit(2560 + 1000);
        Run(Settings(CMeasurement::kManual));
    }

    EXPECT_EQ(engine.GetErrorText(), kCannotSave);
    EXPECT_EQ(DayFileSize(), 2560);
    EXPECT_EQ(Day().size(), 1u);

    Run(Settings(CMeasurement::kManual));
    EXPECT_EQ(listener.Count(Ev::kStored), 1) << engine.GetErrorText();
    EXPECT_EQ(DayFileSize(), 2 * 2560);
}

}  // namespace
