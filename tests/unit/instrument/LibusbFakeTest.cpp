// The USB link from the command protocol down to the libusb calls, against an in-process fake of
// libusb that replays the device's transfers: discovery by endpoints, 64-byte chunks, text and
// binary counting, the exchange's time-out with the late read cancelled, short and failed writes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "core/instrument/InstrumentLink.h"
#include "core/instrument/InstrumentProtocol.h"
#include "core/instrument/LibusbBackend.h"
#include "tests/unit/instrument/FakeLibusb.h"

using fakeusb::InTransfer;
using fakeusb::S;

namespace {

class LibusbFake : public ::testing::Test {
protected:
    void SetUp() override {
        fakeusb::Reset();
        ::unsetenv("HELIARC_USB");
    }
    void TearDown() override { ::unsetenv("HELIARC_USB"); }

    // Opens the link on USB and returns what discovery printed.
    std::string Open() {
        link_.SetUsbBackend(std::make_shared<CLibusbBackend>());
        testing::internal::CaptureStdout();
        EXPECT_TRUE(link_.OpenPort(CInstrumentLink::kUsb, 1));
        return testing::internal::GetCapturedStdout();
    }
    static InTransfer Data(const std::string& bytes) { return {InTransfer::Data, bytes}; }

    CInstrumentLink link_;
    CInstrumentProtocol protocol_{link_};
};

}  // namespace

TEST_F(LibusbFake, TheInstrumentIsTheFirstDeviceWithBulkPipesAtIndexThreeAndFour) {
    fakeusb::Device mouse = fakeusb::Instrument(1, 2);
    mouse.endpoints[3].attributes = 3;  // interrupt, not bulk
    fakeusb::Device locked = fakeusb::Instrument(1, 3);
    locked.openFails = true;
    S().devices = {mouse, locked, fakeusb::Instrument(2, 7)};
    const std::string out = Open();
    // The device that does not open is named and skipped, once for each pipe.
    EXPECT_EQ(out, "Attempting to open usb:1:3\nFAILED to open usb:1:3\nAttempting to open usb:2:7\n"
                   "Attempting to open usb:1:3\nFAILED to open usb:1:3\nAttempting to open usb:2:7\n");
    EXPECT_TRUE(link_.IsOpen());
    EXPECT_EQ(S().claimed, 1);      // both pipes share one claimed interface
    EXPECT_EQ(S().openHandles, 1);
    link_.ClosePort();
    EXPECT_EQ(S().claimed, 0);
    EXPECT_EQ(S().openHandles, 0);

    // HELIARC_USB narrows the match to one vendor and product.
    fakeusb::Reset();
    fakeusb::Device other = fakeusb::Instrument(1, 4);
    other.pid = 0x9999;
    S().devices = {other, fakeusb::Instrument(1, 8)};
    ::setenv("HELIARC_USB", "1234:0118", 1);
    EXPECT_EQ(Open(), "Attempting to open usb:1:8\nAttempting to open usb:1:8\n");
}

TEST_F(LibusbFake, NoInstrumentOpensAndTheFirstCommandFails) {
    S().devices = {fakeusb::Device{}};  // no endpoints at all
    EXPECT_EQ(Open(), "");
    EXPECT_FALSE(link_.IsOpen());
    CSpectrumData record;
    EXPECT_FALSE(protocol_.ReadInstrumentInfo(record));
    EXPECT_EQ(protocol_.GetErrorText(), "The error occurred while communicating by command \"ID\".");
    EXPECT_TRUE(S().written.empty());
}

TEST_F(LibusbFake, TextRepliesArriveIn64ByteChunksAndLoseOnlyTrailingZeros) {
    S().devices = {fakeusb::Instrument()};
    Open();
    S().in = {Data(std::string("ZQ\0" "18 ", 6)), Data(std::string("\rOK\r\0\0\0", 7))};
    std::string data;
    ASSERT_TRUE(protocol_.Query("ID\r", 200, data));
    EXPECT_EQ(data, std::string("ZQ\0" "18 \r", 7));  // the zero inside the chunk is data
    EXPECT_EQ(S().written, "ID\r");
    EXPECT_EQ(S().writeTimeouts, std::vector<unsigned>{5000});
    EXPECT_EQ(S().submittedLengths, (std::vector<int>{64, 64}));
    EXPECT_FALSE(S().dirtyBuffer);
    EXPECT_FALSE(S().inFlight);
}

TEST_F(LibusbFake, BinaryRepliesKeepEveryTransferredByte) {
    S().devices = {fakeusb::Instrument()};
    Open();
    std::string words;
    for (int i = 0; i < 256; ++i) {
        words.push_back(static_cast<char>(i & 0xFF));
        words.push_back(0);  // zero bytes, also at the end of chunks
    }
    words += "OK\r";
    for (std::size_t at = 0; at < words.size(); at += 64) S().in.push_back(Data(words.substr(at, 64)));
    std::array<int16_t, 256> pixels{};
    ASSERT_TRUE(protocol_.ReadPixelWords(3, pixels));
    for (int i = 0; i < 256; ++i) EXPECT_EQ(pixels[static_cast<std::size_t>(i)], i & 0xFF) << i;
    EXPECT_EQ(S().written, "RB,3\r");
    EXPECT_EQ(S().submittedLengths.size(), 9u);  // 515 bytes: eight whole chunks and a short one
    EXPECT_TRUE(S().in.empty());
}

TEST_F(LibusbFake, AReadThatNeverCompletesIsCancelledBeforeTheExchangeReturns) {
    S().devices = {fakeusb::Instrument()};
    Open();
    // Signals during the waits end neither a read nor the exchange: only its time-out does.
    S().in = {{InTransfer::Interrupted, ""}, Data("12\r"), {InTransfer::Interrupted, ""}, {InTransfer::Never, ""}};
    std::string reply;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(protocol_.Exchange("RI\r", reply, 60));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(60));
    EXPECT_EQ(reply, "12\r");
    EXPECT_EQ(S().cancels, 1);
    EXPECT_FALSE(S().inFlight) << "the cancelled read could still write into a released buffer";
    // The link stays usable: the next exchange starts a fresh read.
    S().in = {Data("OK\r")};
    EXPECT_TRUE(protocol_.Exchange("OP\r", reply, 200));
    EXPECT_EQ(S().written, "RI\rOP\r");
}

TEST_F(LibusbFake, TransferErrorsAndAVanishedDeviceFailTheExchangeAtOnce) {
    S().devices = {fakeusb::Instrument()};
    Open();
    S().in = {{InTransfer::Error, ""}};
    std::string reply;
    EXPECT_FALSE(protocol_.Exchange("ID\r", reply, 3000));
    EXPECT_EQ(S().cancels, 0);
    S().submitFails = true;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(protocol_.Exchange("ID\r", reply, 3000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
}

TEST_F(LibusbFake, ShortWritesContinueAndAFailedWriteEndsTheCommand) {
    S().devices = {fakeusb::Instrument()};
    Open();
    S().outLimit = 2;  // the device takes two bytes per transfer
    S().in = {Data("OK\r")};
    std::string reply;
    ASSERT_TRUE(protocol_.Exchange("GM,50,799,0\r", reply, 200));
    EXPECT_EQ(S().written, "GM,50,799,0\r");
    EXPECT_EQ(S().writeTimeouts.size(), 6u);
    S().outFails = true;
    S().written.clear();
    EXPECT_FALSE(protocol_.Exchange("ID\r", reply, 200));
    EXPECT_TRUE(S().submittedLengths.size() == 1u) << "a read followed a failed write";
}
