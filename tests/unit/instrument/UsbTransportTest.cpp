// The USB pipes' rules against a fake USB layer: discovery, path limits, chunk counting,
// time-out with cancellation.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "core/instrument/InstrumentLink.h"
#include "core/instrument/InstrumentProtocol.h"
#include "core/instrument/LibusbBackend.h"
#include "core/instrument/UsbTransport.h"

namespace {

class CFakeUsb : public CUsbBackend {
public:
    std::vector<std::string> devices;
    std::map<std::string, bool> opens;  // device path -> ProbeOpen result
    std::vector<std::string> openedPipes;
    std::vector<std::string> writes;
    // Each read delivers the next chunk (bytes, reported count); none left: the read stays pending.
    std::vector<std::pair<std::string, int>> chunks;
    bool listFails = false;
    bool readPending = false;
    bool cancelled = false;
    int cancels = 0;
    uint8_t* pendingBuffer = nullptr;

    bool ListDevices(std::vector<std::string>& paths) override {
        paths = devices;
        return !listFails;
    }
    bool ProbeOpen(const std::string& path) override { return opens[path]; }
    int OpenPipe(const std::string& pipePath) override {
        openedPipes.push_back(pipePath);
        return pipePath.size() >= 6 && pipePath.compare(pipePath.size() - 6, 6, "PIPE03") == 0 ? 3 : 4;
    }
    void ClosePipe(int) override {}
    int Write(int pipe, const uint8_t* data, int length, int) override {
        if (pipe != 3) return -1;
        writes.emplace_back(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
        return length;
    }
    bool StartRead(int pipe, uint8_t* buffer, int length) override {
        EXPECT_EQ(pipe, 4);
        EXPECT_EQ(length, 64);
        for (int i = 0; i < length; ++i) EXPECT_EQ(buffer[i], 0) << "chunk buffer not zero-filled";
        EXPECT_FALSE(readPending) << "a second read while one is pending";
        readPending = true;
        pendingBuffer = buffer;
        return true;
    }
    WaitResult WaitRead(int, int, int& transferred) override {
        if (chunks.empty()) return WaitResult::TimedOut;
        auto [bytes, count] = chunks.front();
        chunks.erase(chunks.begin());
        std::copy(bytes.begin(), bytes.end(), pendingBuffer);
        transferred = count;
        readPending = false;
        pendingBuffer = nullptr;
        return WaitResult::Completed;
    }
    void CancelRead(int) override {
        ++cancels;
        readPending = false;
        pendingBuffer = nullptr;  // a late completion could no longer reach the caller's buffer
    }
};

std::unique_ptr<CUsbTransport> Opened(const std::shared_ptr<CFakeUsb>& usb) {
    auto t = std::make_unique<CUsbTransport>(usb);
    t->Open();
    return t;
}

}  // namespace

TEST(UsbTransport, DiscoveryTakesTheFirstDeviceThatOpensAndSaysSo) {
    auto usb = std::make_shared<CFakeUsb>();
    usb->devices = {"usb:1:4", "usb:1:9"};
    usb->opens = {{"usb:1:4", false}, {"usb:1:9", true}};
    testing::internal::CaptureStdout();
    auto t = Opened(usb);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out,
              "Attempting to open usb:1:4\nFAILED to open usb:1:4\nAttempting to open usb:1:9\n"
              "Attempting to open usb:1:4\nFAILED to open usb:1:4\nAttempting to open usb:1:9\n");
    EXPECT_EQ(usb->openedPipes, (std::vector<std::string>{"usb:1:9\\PIPE03", "usb:1:9\\PIPE04"}));
    EXPECT_TRUE(t->IsOpen());
}

TEST(UsbTransport, MissingDeviceOpensButEveryExchangeFailsAtOnce) {
    auto usb = std::make_shared<CFakeUsb>();
    usb->listFails = true;
    CInstrumentLink link;
    link.SetUsbBackend(usb);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(link.OpenPort(CInstrumentLink::kUsb, 3));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(link.GetChunkSize(), 64);
    EXPECT_FALSE(link.IsOpen());
    CInstrumentProtocol protocol(link);
    CSpectrumData record;
    EXPECT_FALSE(protocol.ReadInstrumentInfo(record));
    EXPECT_EQ(protocol.GetErrorText(), "The error occurred while communicating by command \"ID\".");
    EXPECT_TRUE(usb->writes.empty());
}

TEST(UsbTransport, PathLimits) {
    for (std::size_t length : {248u, 249u, 255u, 300u}) {
        auto usb = std::make_shared<CFakeUsb>();
        std::string path = "usb:" + std::string(length - 4, '7');
        usb->devices = {path};
        usb->opens = {{path, true}};
        testing::internal::CaptureStdout();
        auto t = Opened(usb);
        std::string out = testing::internal::GetCapturedStdout();
        std::string kept = path.substr(0, 255);
        EXPECT_EQ(out, "Attempting to open " + kept + "\nAttempting to open " + kept + "\n");
        // "\PIPE03" adds 7 characters; 255 must hold the whole pipe path.
        if (length <= 248) {
            EXPECT_EQ(usb->openedPipes.size(), 2u) << length;
            EXPECT_TRUE(t->IsOpen());
        } else {
            EXPECT_TRUE(usb->openedPipes.empty()) << length;
            EXPECT_FALSE(t->IsOpen());
        }
    }
}

TEST(UsbTransport, TextChunksLoseTrailingZerosOnly) {
    auto usb = std::make_shared<CFakeUsb>();
    usb->devices = {"usb:2:3"};
    usb->opens = {{"usb:2:3", true}};
    CInstrumentLink link;
    link.SetUsbBackend(usb);
    testing::internal::CaptureStdout();
    link.OpenPort(CInstrumentLink::kUsb, 1);
    testing::internal::GetCapturedStdout();
    CInstrumentProtocol protocol(link);

    usb->chunks = {{std::string("A\0B", 3), 64}, {std::string("\rOK\r\0\0", 6), 64}};
    std::string reply;
    ASSERT_TRUE(protocol.Exchange("ID\r", reply, 100));
    EXPECT_EQ(reply, std::string("A\0B\r\0", 5));
    EXPECT_EQ(usb->writes.back(), "ID\r");

    // Binary: the reported count is kept, zeros included, and the last chunk may run past 515.
    usb->chunks.clear();
    for (int i = 0; i < 8; ++i) usb->chunks.push_back({std::string(64, '\0'), 64});
    usb->chunks.push_back({std::string(64, '\0'), 40});
    ASSERT_TRUE(protocol.Exchange("RB,0\r", reply, 100, true, 515));
    EXPECT_EQ(reply.size(), 552u);
    EXPECT_EQ(usb->cancels, 0);
}

TEST(UsbTransport, TimedOutReadIsCancelledBeforeTheExchangeEnds) {
    auto usb = std::make_shared<CFakeUsb>();
    usb->devices = {"usb:2:3"};
    usb->opens = {{"usb:2:3", true}};
    testing::internal::CaptureStdout();
    auto t = Opened(usb);
    testing::internal::GetCapturedStdout();
    CInstrumentLink link;
    link.Attach(std::move(t));
    CInstrumentProtocol protocol(link);
    usb->chunks = {{"12\r", 3}};  // then nothing: the read stays pending
    std::string reply;
    EXPECT_FALSE(protocol.Exchange("RI\r", reply, 50));
    EXPECT_EQ(usb->cancels, 1);
    EXPECT_FALSE(usb->readPending);
    EXPECT_EQ(reply, "12\r");
    // The next exchange starts a fresh read.
    usb->chunks = {{"OK\r", 3}};
    EXPECT_TRUE(protocol.Exchange("OP\r", reply, 50));
}

TEST(LibusbBackend, DeviceTextsAndFilter) {
    int bus = 0, address = 0;
    EXPECT_TRUE(CLibusbBackend::ParseDevicePath("usb:3:17", bus, address));
    EXPECT_EQ(bus, 3);
    EXPECT_EQ(address, 17);
    for (const char* bad : {"usb:3", "usb:3:", "usb::1", "usb:1:2:3", "usb:1:256", "USB:1:2", "usb:1:2\\PIPE03", ""}) {
        EXPECT_FALSE(CLibusbBackend::ParseDevicePath(bad, bus, address)) << bad;
    }
    uint16_t vid = 0, pid = 0;
    EXPECT_TRUE(CLibusbBackend::ParseVidPid("1d6b:00Ff", vid, pid));
    EXPECT_EQ(vid, 0x1d6b);
    EXPECT_EQ(pid, 0x00ff);
    for (const char* bad : {"1d6b", "1d6b:", ":0002", "1d6b:0002x", "10000:1", "g:1"}) {
        EXPECT_FALSE(CLibusbBackend::ParseVidPid(bad, vid, pid)) << bad;
    }
    // Pipe texts that name no pipe of the instrument, or no device, open nothing.
    CLibusbBackend backend;
    EXPECT_EQ(backend.OpenPipe("usb:1:2\\PIPE05"), -1);
    EXPECT_EQ(backend.OpenPipe("usb:1:2"), -1);
    EXPECT_EQ(backend.OpenPipe("usb:255:255\\PIPE03"), -1);
    EXPECT_FALSE(backend.ProbeOpen("usb:255:255"));
    uint8_t buffer[64] = {0};
    EXPECT_FALSE(backend.StartRead(1, buffer, 64));
    EXPECT_EQ(backend.Write(1, buffer, 1, 10), -1);
}
