// Serial ports and transfers under conditions seen in the field: the exclusive flag a closed or
// killed run leaves on a terminal, a late reply on the line, a garbled record count, a record the
// instrument describes wrongly, and a Stop in the middle of a transfer.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <thread>

#include "core/config/MeasurementPrm.h"
#include "core/data/SpectrumDataSet.h"
#include "core/instrument/ComPort.h"
#include "core/instrument/InstrumentProtocol.h"
#include "core/instrument/Measurement.h"
#include "core/instrument/SerialTransport.h"
#include "core/platform/LocalTime.h"
#include "sim/SimulatedInstrument.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/measure/RecordingListener.h"

using namespace platform;

namespace {

// A pseudo-terminal whose slave any user may open, as a serial device would be for its group.
struct Pty {
    int master = -1;
    std::string slave;
    Pty() {
        int s = -1;
        char name[256] = {0};
        if (::openpty(&master, &s, name, nullptr, nullptr) != 0) return;
        slave = name;
        ::chmod(name, 0666);
        ::close(s);
    }
    ~Pty() {
        if (master >= 0) ::close(master);
    }
};

// Runs f in a child process as a user who is not root (when the test runs as root), where the
// terminal's exclusive flag takes effect; f's result is the child's exit status.
int InChild(const std::function<int()>& f, bool dropRoot) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (dropRoot && ::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(100);
        ::_exit(f());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

int AsOrdinaryUser(const std::function<int()>& f) { return InChild(f, true); }

int OpensExclusively(const std::string& path) {
    const int fd = CSerialTransport::OpenExclusive(path);
    if (fd < 0) return 1;
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
    return 0;
}

TEST(PortSafety, ClosingTheSettingsDialogsPortLeavesItOpenForTheNextRun) {
    Pty pty;
    ASSERT_FALSE(pty.slave.empty());
    {
        CComPort port;  // what the measurement settings dialog does to list the ports
        ASSERT_TRUE(port.Open(pty.slave));
        port.Close();
    }
    EXPECT_EQ(AsOrdinaryUser([&] { return OpensExclusively(pty.slave); }), 0);
    CSerialTransport serial;
    ASSERT_TRUE(serial.Open(pty.slave));
    serial.Close();
    EXPECT_EQ(AsOrdinaryUser([&] { return OpensExclusively(pty.slave); }), 0);
}

TEST(PortSafety, ABusyPortSaysWhatHoldsIt) {
    Pty pty;
    ASSERT_FALSE(pty.slave.empty());
    // A run killed while it had the port: its flag outlives it on a terminal that stays.
    {
        int fd = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ioctl(fd, TIOCEXCL), 0);
        ::close(fd);
    }
    if (::getuid() == 0) {
        const int status = AsOrdinaryUser([&] {
            if (CSerialTransport::OpenExclusive(pty.slave) >= 0) return 2;
            return CSerialTransport::LastOpenFailure().find("marked for exclusive use") != std::string::npos ? 0 : 3;
        });
        EXPECT_EQ(status, 0);
        // Root gets through; the flag is then its own and goes with its Close.
        CSerialTransport serial;
        ASSERT_TRUE(serial.Open(pty.slave));
        serial.Close();
        EXPECT_EQ(AsOrdinaryUser([&] { return OpensExclusively(pty.slave); }), 0);
    }

    // A program of the same user that has the port open is named, with its process id.
    const int held = CSerialTransport::OpenExclusive(pty.slave);
    ASSERT_GE(held, 0);
    const std::string self = std::to_string(::getpid());
    const int status = InChild(
        [&] {
            if (CSerialTransport::OpenExclusive(pty.slave) >= 0) return 2;
            const std::string why = CSerialTransport::LastOpenFailure();
            return why.find("in use by") != std::string::npos && why.find("process " + self) != std::string::npos ? 0 : 3;
        },
        false);
    EXPECT_EQ(status, 0);
    ::ioctl(held, TIOCNXCL);
    ::close(held);
    // A port that simply is not there keeps the plain message.
    EXPECT_LT(CSerialTransport::OpenExclusive("/nonexistent/tty"), 0);
    EXPECT_EQ(CSerialTransport::LastOpenFailure(), "");
}

TEST(PortSafety, ALateReplyOfAnEarlierRunIsDrainedBeforeTheFirstCommand) {
    Pty pty;
    ASSERT_FALSE(pty.slave.empty());
    CInstrumentLink link;
    link.SetPortOverride(pty.slave);
    ASSERT_TRUE(link.OpenPort(CInstrumentLink::kSerial, 1));
    std::atomic<bool> stop{false};
    std::thread instrument([&] {
        // The tail of a reply to a command the earlier run gave up on, still trickling in.
        for (char c : std::string("LATE\rOK\r")) {
            if (::write(pty.master, &c, 1) != 1) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::string in;
        while (!stop && in.find("ID\r") == std::string::npos) {
            char c;
            if (::read(pty.master, &c, 1) == 1) in += c;
        }
        const std::string reply = "ZQ118\rOK\r";
        if (::write(pty.master, reply.data(), reply.size()) < 0) return;
    });
    CInstrumentProtocol protocol(link);
    std::string data;
    const bool ok = protocol.Query("ID\r", 3000, data);
    stop = true;
    instrument.join();
    EXPECT_TRUE(ok);
    EXPECT_EQ(data, "ZQ118\r");
    EXPECT_GT(link.DrainedBytes(), 0u);
}

// The simulated instrument over its pseudo-terminal, with the reply to "RI" replaced.
class CountingTransport : public CSerialTransport {
public:
    explicit CountingTransport(std::string count) : count_(std::move(count)) {}
    bool Write(const uint8_t* data, std::size_t length) override {
        if (std::string(reinterpret_cast<const char*>(data), length) == "RI\r") {
            const std::string reply = count_ + "\rOK\r";
            local_.insert(local_.end(), reply.begin(), reply.end());
            return true;
        }
        return CSerialTransport::Write(data, length);
    }
    int Read(uint8_t* buffer, int timeoutMs, bool binary) override {
        if (local_.empty()) return CSerialTransport::Read(buffer, timeoutMs, binary);
        buffer[0] = static_cast<uint8_t>(local_.front());
        local_.pop_front();
        return 1;
    }
    void DiscardInput() override {
        local_.clear();
        CSerialTransport::DiscardInput();
    }

private:
    std::string count_;
    std::deque<char> local_;
};

class TransferSafety : public ::testing::Test {
protected:
    void SetUp() override { platform::SetClockForTesting([] { return (CSimModel::kFirstStoredTime + 30 * 86400) * 1000LL; }); }
    void TearDown() override {
        engine.Stop();
        if (sim) sim->Stop();
        platform::SetClockForTesting({});
    }
    void StartSim(int stored) {
        SimOptions options;
        options.realExposures = false;
        options.storedRecords = stored;
        sim = std::make_unique<CSimulatedInstrument>(options);
        ASSERT_TRUE(sim->Start());
    }
    static CMeasurementPrm Transfer() {
        CMeasurementPrm prm;
        prm.m_MEASUREMENT_TYPE = CMeasurement::kTransfer;
        prm.m_MEASUREMENT_SOUND = 1;
        return prm;
    }
    static int Stored() {
        CSpectrumDataSet set;
        set.Search(nullptr, nullptr, nullptr);
        return set.Count();
    }

    testsupport::TempWorkDir dir;
    testsupport::TzGuard tz{"UTC"};
    std::unique_ptr<CSimulatedInstrument> sim;
    CRecordingListener listener;
    CMeasurement engine;
};

TEST_F(TransferSafety, ARecordWithAnImpossibleExposureIsReportedAndTheOthersAreCopied) {
    StartSim(5);
    sim->Edit([](CSimModel& m) { m.Slot(1).exposureMs = 0; });
    engine.SetPortOverride(sim->SlavePath());
    ASSERT_TRUE(engine.Start(Transfer(), listener)) << engine.GetErrorText();
    ASSERT_TRUE(listener.WaitFor(Ev::kFinished, 1, 30000));
    engine.Stop();
    EXPECT_EQ(Stored(), 4);
    EXPECT_EQ(listener.Count(Ev::kProgress), 5);
    ASSERT_EQ(listener.Count(Ev::kError), 1);
    EXPECT_EQ(engine.GetErrorText(),
              "Record 2 of the instrument was not copied: Invalid the response format by command \"RB,1\r\".");
    ASSERT_EQ(listener.Count(Ev::kSkipped), 1);
    EXPECT_EQ(listener.Only(Ev::kSkipped)[0].number, 2);
}

TEST_F(TransferSafety, AnAbsurdRecordCountIsBoundedByTheInstrumentsMemory) {
    StartSim(3);
    engine.SetTransportFactory([this]() -> std::unique_ptr<CTransport> {
        auto t = std::make_unique<CountingTransport>("2000000000");
        if (!t->Open(sim->SlavePath())) return nullptr;
        return t;
    });
    ASSERT_TRUE(engine.Start(Transfer(), listener)) << engine.GetErrorText();
    ASSERT_TRUE(listener.WaitFor(Ev::kFinished, 1, 60000));
    engine.Stop();
    const auto progress = listener.Only(Ev::kProgress);
    ASSERT_FALSE(progress.empty());
    for (const auto& m : progress) EXPECT_EQ(m.count, CInstrumentProtocol::kLiveSlot);
    EXPECT_EQ(Stored(), 3);
}

TEST_F(TransferSafety, StopEndsATransferBetweenRecords) {
    StartSim(600);
    engine.SetPortOverride(sim->SlavePath());
    ASSERT_TRUE(engine.Start(Transfer(), listener)) << engine.GetErrorText();
    ASSERT_TRUE(listener.WaitFor(Ev::kProgress, 3, 30000));
    engine.Stop();
    const int progressed = listener.Count(Ev::kProgress);
    EXPECT_LT(progressed, 100);
    EXPECT_LE(Stored(), progressed);
    EXPECT_EQ(listener.Count(Ev::kError), 0) << engine.GetErrorText();
}

}  // namespace
