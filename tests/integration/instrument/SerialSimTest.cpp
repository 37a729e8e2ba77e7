// The real termios transport against the simulated instrument on a pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

#include <csignal>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "core/config/MeasurementPrm.h"
#include "core/instrument/ComPort.h"
#include "core/instrument/InstrumentProtocol.h"
#include "core/instrument/SerialTransport.h"
#include "core/platform/LocalTime.h"
#include "sim/SimulatedInstrument.h"

namespace {

constexpr int64_t kNoon = 1782043200;  // 2026-06-21 12:00:00 UTC

int64_t ElapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count();
}

class SerialSim : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        hadTz_ = tz != nullptr;
        if (hadTz_) savedTz_ = tz;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        link.ClosePort();
        if (sim) sim->Stop();
        platform::SetClockForTesting(nullptr);
        if (hadTz_) setenv("TZ", savedTz_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    void StartSim(SimOptions options = SimOptions()) {
        sim = std::make_unique<CSimulatedInstrument>(options);
        ASSERT_TRUE(sim->Start());
        link.SetPortOverride(sim->SlavePath());
        ASSERT_TRUE(link.OpenPort(CInstrumentLink::kSerial, 1));
        ASSERT_EQ(link.GetChunkSize(), 1);
    }

    std::unique_ptr<CSimulatedInstrument> sim;
    CInstrumentLink link;
    CInstrumentProtocol protocol{link};
    CSpectrumData record;
    std::string savedTz_;
    bool hadTz_ = false;
};

}  // namespace

TEST_F(SerialSim, InstrumentInfoAndAStoredRecord) {
    SimOptions o;
    o.seed = 21;
    StartSim(o);
    ASSERT_TRUE(protocol.ReadInstrumentInfo(record)) << protocol.GetErrorText();
    CSimModel model(21);  // the same seed gives the same instrument
    EXPECT_EQ(record.GetIdText(), model.IdText());
    EXPECT_EQ(record.GetSerialNumber(), model.SerialText());
    for (int t = 0; t < 4; ++t) EXPECT_EQ(protocol.GetCalibrationTable(t), model.CalibrationTable(t));

    int count = 0;
    ASSERT_TRUE(protocol.ReadRecordCount(count));
    ASSERT_EQ(count, model.StoredCount());
    ASSERT_TRUE(protocol.ReadStoredRecord(record, count - 1, true)) << protocol.GetErrorText();
    const CSimModel::Record& slot = model.Slot(count - 1);
    EXPECT_EQ(record.GetTime(), slot.time);
    EXPECT_EQ(record.GetExposureTime(), slot.exposureMs);
    EXPECT_EQ(record.GetFovCode(), slot.fovCode);
    EXPECT_EQ(record.GetCalibration(), model.CalibrationTable(slot.tableNumber));
    for (int p = 0; p < 256; ++p) {
        int v = slot.words[static_cast<std::size_t>(p)];
        EXPECT_EQ(record.GetSignal()[static_cast<std::size_t>(p)],
                  v < 32767 ? static_cast<float>(v) * 1000.0f / static_cast<float>(slot.exposureMs) : 0.0f);
    }
}

TEST_F(SerialSim, LiveMeasurementsAutoAndFixed) {
    platform::SetClockForTesting([] { return kNoon * 1000; });
    StartSim();
    ASSERT_TRUE(protocol.ReadInstrumentInfo(record));
    ASSERT_TRUE(protocol.Command(CInstrumentProtocol::AutoMeasureCommand(799), CInstrumentProtocol::kAutoTimeoutMs));
    ASSERT_TRUE(protocol.ReadStoredRecord(record, 799, false)) << protocol.GetErrorText();
    float e500 = record.Irradiance(record.NearestIndex(500.0f), 0);
    EXPECT_GT(e500, 1500.0f);
    EXPECT_LT(e500, 2000.0f);

    std::array<int16_t, 256> light{}, dark{};
    ASSERT_TRUE(protocol.Command("OP\r", CInstrumentProtocol::kTimeoutMs));
    ASSERT_TRUE(protocol.Command(CInstrumentProtocol::MeasureCommand(20, 799), 20 + 3000));
    ASSERT_TRUE(protocol.ReadPixelWords(799, light));
    ASSERT_TRUE(protocol.Command("CL\r", CInstrumentProtocol::kTimeoutMs));
    ASSERT_TRUE(protocol.Command(CInstrumentProtocol::MeasureCommand(20, 799), 20 + 3000));
    ASSERT_TRUE(protocol.ReadPixelWords(799, dark));
    int p = record.NearestIndex(600.0f);
    EXPECT_GT(light[static_cast<std::size_t>(p)] - dark[static_cast<std::size_t>(p)], 5000);
}

TEST_F(SerialSim, ErrFaultNamesTheCommand) {
    SimOptions o;
    o.faults = {{SimFault::kErr, "CALT,2", 0}};
    StartSim(o);
    EXPECT_FALSE(protocol.ReadInstrumentInfo(record));
    EXPECT_EQ(protocol.GetErrorText(), "The error occurred while communicating by command \"CALT,2\r\".");
    sim->SetFaults({{SimFault::kErr, "FV", 0}});
    EXPECT_FALSE(protocol.ReadInstrumentInfo(record));
    EXPECT_EQ(protocol.GetErrorText(), "The error occurred while communicating by command \"FV\".");
}

TEST_F(SerialSim, DelayedAndDroppedRepliesEndWithinTheirTimeOut) {
    SimOptions o;
    o.faults = {{SimFault::kDelay, "SER", 300}, {SimFault::kDrop, "RI", 0}, {SimFault::kDelay, "FV", 800}};
    StartSim(o);
    std::string reply;
    EXPECT_TRUE(protocol.Exchange("SER\r", reply, 1000));  // late but in time

    auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(protocol.Exchange("RI\r", reply, 400));
    EXPECT_GE(ElapsedMs(t0), 390);
    EXPECT_LT(ElapsedMs(t0), 2000);

    t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(protocol.Exchange("FV\r", reply, 300));  // too late
    EXPECT_LT(ElapsedMs(t0), 2000);
    // The late reply arrives while the next command is under way; it must not be taken for its reply.
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_TRUE(protocol.Exchange("ID\r", reply, 1000));
    EXPECT_EQ(reply, std::string("ZQ118\r\0", 7));
}

TEST_F(SerialSim, SplitRepliesAndPacedBytes) {
    SimOptions o;
    o.splitReplies = true;
    StartSim(o);
    ASSERT_TRUE(protocol.ReadInstrumentInfo(record)) << protocol.GetErrorText();
    ASSERT_TRUE(protocol.ReadStoredRecord(record, 0, true)) << protocol.GetErrorText();
    CSimModel model(1);
    EXPECT_EQ(protocol.GetCalibrationTable(3), model.CalibrationTable(3));
    link.ClosePort();
    sim->Stop();

    SimOptions paced;
    paced.paced = true;
    StartSim(paced);
    auto t0 = std::chrono::steady_clock::now();
    ASSERT_TRUE(protocol.ReadStoredRecord(record, 0, true)) << protocol.GetErrorText();
    // 515 bytes of pixels alone take 134 ms at 38400 baud.
    EXPECT_GE(ElapsedMs(t0), 134);
    EXPECT_EQ(record.GetTime(), model.Slot(0).time);
}

TEST_F(SerialSim, SilentAfterNCommands) {
    SimOptions o;
    o.silentAfter = 3;
    StartSim(o);
    std::string reply;
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(protocol.Exchange("ID\r", reply, 500));
    EXPECT_FALSE(protocol.Command("ST\r", 200));
    EXPECT_EQ(protocol.GetErrorText(), "The error occurred while communicating by command \"ST\".");
    EXPECT_EQ(sim->CommandCount(), 4);
}

TEST_F(SerialSim, PortThatDisappearsMidExchange) {
    SimOptions o;
    o.faults = {{SimFault::kDelay, "CALT", 5000}};
    StartSim(o);
    std::thread unplug([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        sim->Stop();
    });
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(protocol.ReadInstrumentInfo(record));
    unplug.join();
    EXPECT_LT(ElapsedMs(t0), 2500);  // well before the 3000 ms of the command
    EXPECT_EQ(protocol.GetErrorText(), "The error occurred while communicating by command \"CALT,0\r\".");
    std::string reply;
    EXPECT_FALSE(protocol.Exchange("ID\r", reply, 3000));  // and stays gone
}

TEST_F(SerialSim, MemoEndingInOkDoesNotShiftTheNextItems) {
    StartSim();
    sim->Edit([](CSimModel& m) { m.Slot(1).memo = "LOOK"; });
    ASSERT_TRUE(protocol.ReadRecordHeader(record, 1, true)) << protocol.GetErrorText();
    EXPECT_EQ(record.GetMemo(), "LO");
    CSimModel model(1);
    EXPECT_EQ(record.GetTime(), model.Slot(1).time);
    EXPECT_EQ(record.GetExposureTime(), model.Slot(1).exposureMs);
}

TEST_F(SerialSim, ZeroExposureAndBadTableInTheInstrumentsMemory) {
    StartSim();
    sim->Edit([](CSimModel& m) {
        m.Slot(2).exposureMs = 0;
        m.Slot(3).tableNumber = 7;
    });
    ASSERT_TRUE(protocol.ReadInstrumentInfo(record));
    EXPECT_FALSE(protocol.ReadStoredRecord(record, 2, true));
    EXPECT_EQ(protocol.GetErrorText(), "Invalid the response format by command \"RB,2\r\".");
    EXPECT_FALSE(protocol.ReadStoredRecord(record, 3, true));
    EXPECT_EQ(protocol.GetErrorText(), "Invalid the response format by command \"DPM,3,8\r\".");
    EXPECT_TRUE(protocol.ReadStoredRecord(record, 4, true));  // the link is still in step
}

TEST_F(SerialSim, PortIsExclusiveAndSetUpRaw) {
    StartSim();
    const std::string path = sim->SlavePath();
    CSerialTransport second;
    EXPECT_FALSE(second.Open(path));
    CComPort com;
    EXPECT_FALSE(com.Open(path));
    int fd = static_cast<CSerialTransport*>(link.GetTransport())->Descriptor();
    termios t{};
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    EXPECT_EQ(cfgetospeed(&t), B38400);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
    link.ClosePort();
    EXPECT_TRUE(second.Open(path));
}

TEST_F(SerialSim, ComPortOverridesAndProbing) {
    StartSim();
    link.ClosePort();
    CComPort port;
    ComSettings wanted;
    wanted.baudRate = 9600;
    wanted.byteSize = 7;
    wanted.parity = ComSettings::kEven;
    wanted.stopBits = ComSettings::kTwoStop;
    wanted.outX = 1;
    ComOverrideMask mask{};
    mask[1] = mask[19] = mask[20] = mask[21] = 1;  // not 9: XON/XOFF stays as the line had it
    ComTimeouts timeouts{10, 0, 20, 0, 100};
    ASSERT_TRUE(port.Open(sim->SlavePath(), &timeouts, &wanted, &mask));
    EXPECT_EQ(port.GetTimeouts().readTotalConstant, 20u);
    EXPECT_EQ(port.GetSettings().baudRate, 9600u);
    EXPECT_EQ(port.GetSettings().outX, 0);
    termios t{};
    ASSERT_EQ(tcgetattr(port.Descriptor(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), B9600);
    // A pseudo-terminal always keeps 8 bits without parity; speed and stop bits show the override.
    EXPECT_NE(t.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(t.c_iflag & IXON, 0u);
    EXPECT_FALSE(CComPort().Open(sim->SlavePath()));  // held
    port.Close();
    EXPECT_TRUE(port.Close());  // closing twice is harmless

    // COM<n> through HELIARC_COM<n>: a port held by another program is not listed.
    CSimulatedInstrument other;
    ASSERT_TRUE(other.Start());
    setenv("HELIARC_COM2", sim->SlavePath().c_str(), 1);
    setenv("HELIARC_COM7", other.SlavePath().c_str(), 1);
    for (int n : {1, 3, 4, 5, 6, 8, 9, 10}) setenv(("HELIARC_COM" + std::to_string(n)).c_str(), "/nonexistent/tty", 1);
    CSerialTransport holder;
    ASSERT_TRUE(holder.Open("COM7"));
    EXPECT_EQ(CComPort::ProbePorts(), std::vector<int>{2});
    holder.Close();
    EXPECT_EQ(CComPort::ProbePorts(), (std::vector<int>{2, 7}));
    for (int n = 1; n <= 10; ++n) unsetenv(("HELIARC_COM" + std::to_string(n)).c_str());
    EXPECT_EQ(CSerialTransport::ResolvePortName("COM12"), "/dev/ttyS11");
}

TEST(Zq118SimProgram, PrintsItsPortAnswersAndStopsOnSigterm) {
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        execl(HELIARC_BINARY_DIR "/sim/zq118-sim", "zq118-sim", "--seed", "4", "--fast", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    FILE* f = fdopen(out[0], "r");
    char line[256] = {0};
    ASSERT_NE(fgets(line, sizeof line, f), nullptr);
    std::string path(line);
    while (!path.empty() && path.back() == '\n') path.pop_back();

    CInstrumentLink link;
    link.SetPortOverride(path);
    ASSERT_TRUE(link.OpenPort(CInstrumentLink::kSerial, 1));
    CInstrumentProtocol protocol(link);
    CSpectrumData record;
    EXPECT_TRUE(protocol.ReadInstrumentInfo(record)) << protocol.GetErrorText();
    EXPECT_EQ(record.GetSerialNumber(), CSimModel(4).SerialText());
    link.ClosePort();

    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    fclose(f);
}

TEST(SerialPortOpen, PortsThatCannotBeOpened) {
    CInstrumentLink link;
    setenv("HELIARC_COM5", "/nonexistent/tty", 1);
    EXPECT_FALSE(link.OpenPort(CInstrumentLink::kSerial, 5));
    unsetenv("HELIARC_COM5");
    EXPECT_FALSE(link.IsOpen());
    link.SetPortOverride(HELIARC_SOURCE_DIR "/CMakeLists.txt");  // not a terminal
    EXPECT_FALSE(link.OpenPort(CInstrumentLink::kUsb, 1));
    CInstrumentProtocol protocol(link);
    std::string reply;
    EXPECT_FALSE(protocol.Exchange("ID\r", reply, 100));

    CMeasurementPrm settings;
    settings.m_PORT_TYPE = 1;
    settings.m_RS232C_PORT = 1;
    CSimulatedInstrument sim;
    ASSERT_TRUE(sim.Start());
    setenv("HELIARC_COM1", sim.SlavePath().c_str(), 1);
    link.SetPortOverride("");
    EXPECT_TRUE(link.OpenPort(settings));
    unsetenv("HELIARC_COM1");
    EXPECT_TRUE(protocol.Exchange("ID\r", reply, 1000));
    link.ClosePort();
    EXPECT_FALSE(link.IsOpen());
}
