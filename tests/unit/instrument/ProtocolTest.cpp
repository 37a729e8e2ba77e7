// Framing, parsing and the transactions of the command protocol over an in-memory link.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>

#include "core/instrument/InstrumentProtocol.h"
#include "core/platform/LocalTime.h"
#include "sim/SimModel.h"
#include "tests/unit/instrument/MemoryTransport.h"

namespace {

struct Fixture {
    explicit Fixture(int chunk = 1, CMemoryTransport::Responder responder = nullptr) {
        auto t = std::make_unique<CMemoryTransport>(chunk, std::move(responder));
        transport = t.get();
        link.Attach(std::move(t));
    }
    CInstrumentLink link;
    CInstrumentProtocol protocol{link};
    CMemoryTransport* transport = nullptr;
};

std::string Calt(int values, bool lastComma) {
    std::string s;
    for (int i = 0; i < values; ++i) {
        s += std::to_string(i) + ".5";
        if (i + 1 < values || lastComma) s += ",";
    }
    return s + "\rOK\r";
}

std::string Words(const std::vector<int>& values) {
    std::string s;
    for (int v : values) {
        auto u = static_cast<uint16_t>(v);
        s.push_back(static_cast<char>(u & 0xFF));
        s.push_back(static_cast<char>(u >> 8));
    }
    return s;
}

}  // namespace

TEST(ProtocolFraming, TextRepliesEndOnlyAtOkOrExactErr) {
    Fixture f;
    std::string reply;
    f.transport->Queue("OK\r");
    ASSERT_TRUE(f.protocol.Exchange("OP\r", reply, 100));
    EXPECT_EQ(reply, std::string(1, '\0'));
    EXPECT_EQ(f.transport->written.back(), "OP\r");

    f.transport->Queue("12\rOK\r");
    ASSERT_TRUE(f.protocol.Exchange("RI\r", reply, 100));
    EXPECT_EQ(reply, std::string("12\r\0", 4));

    f.transport->Queue("ERR\r");
    EXPECT_FALSE(f.protocol.Exchange("ID\r", reply, 100));

    // Anything before ERR makes it data: read on until nothing more comes.
    f.transport->Queue("xERR\r");
    EXPECT_FALSE(f.protocol.Exchange("ID\r", reply, 100));
    EXPECT_EQ(reply, "xERR\r");
    EXPECT_EQ(f.transport->Pending(), 0u);

    // A lone CR or "K\r" is too short to be "OK\r".
    f.transport->Queue("\rK\r");
    EXPECT_FALSE(f.protocol.Exchange("ID\r", reply, 100));
}

TEST(ProtocolFraming, SplitAtEveryByteBoundary) {
    const std::string text = "ZQ118 ,\x01\rOK\r";
    for (int chunk : {1, 64}) {
        for (std::size_t cut = 1; cut < text.size(); ++cut) {
            Fixture f(chunk);
            f.transport->SetSplits({cut, 64});
            f.transport->Queue(text);
            std::string reply;
            ASSERT_TRUE(f.protocol.Exchange("ID\r", reply, 100)) << chunk << " " << cut;
            EXPECT_EQ(reply, std::string("ZQ118 ,\x01\r\0", 10));
        }
    }
    std::string binary = Words(std::vector<int>(256, 0x0D0D)) + "OK\r";
    for (std::size_t cut : {1u, 2u, 3u, 63u, 511u, 512u, 514u}) {
        Fixture f(64);
        f.transport->SetSplits({cut, 64, 7});
        f.transport->Queue(binary);
        std::string reply;
        ASSERT_TRUE(f.protocol.Exchange("RB,0\r", reply, 100, true, 515)) << cut;
        EXPECT_GE(reply.size(), 515u);
        EXPECT_EQ(reply.substr(0, 515), binary);
    }
}

TEST(ProtocolFraming, DataLineEndingInOkEndsEarlyAndTheRestIsDiscarded) {
    std::map<std::string, std::string> replies = {{"DPM,1,0", "ABOK\rOK\r"}, {"DPM,1,2", "50\rOK\r"}};
    Fixture f(1, [&](const std::string& c) { return replies[c]; });
    std::string data;
    ASSERT_TRUE(f.protocol.Query("DPM,1,0\r", 100, data));
    EXPECT_EQ(data, "AB");
    EXPECT_EQ(f.transport->Pending(), 3u);  // the real "OK\r" is still waiting
    ASSERT_TRUE(f.protocol.Query("DPM,1,2\r", 100, data));
    EXPECT_EQ(data, "50\r");
}

TEST(ProtocolFraming, BytesAfterOk) {
    std::map<std::string, std::string> replies = {{"RI", "7\rOK\rjunk"}, {"ID", "ZQ\rOK\r"}};
    auto responder = [&](const std::string& c) { return replies[c]; };
    // One byte per read: the reply ends at "OK\r"; the stray bytes do not start the next reply.
    Fixture serial(1, responder);
    std::string data;
    ASSERT_TRUE(serial.protocol.Query("RI\r", 100, data));
    EXPECT_EQ(data, "7\r");
    ASSERT_TRUE(serial.protocol.Query("ID\r", 100, data));
    EXPECT_EQ(data, "ZQ\r");
    // A 64-byte chunk that carries them ends in no CR: the reply is read on until its time-out.
    Fixture usb(64, responder);
    EXPECT_FALSE(usb.protocol.Query("RI\r", 50, data));
    EXPECT_EQ(usb.protocol.GetErrorText(), "The error occurred while communicating by command \"RI\".");
    ASSERT_TRUE(usb.protocol.Query("ID\r", 100, data));
    EXPECT_EQ(data, "ZQ\r");
}

TEST(ProtocolFraming, FailuresEndTheExchange) {
    std::string reply;
    {
        Fixture f(1);
        f.transport->SetEndless(true);  // a reply that never ends
        EXPECT_FALSE(f.protocol.Exchange("CALT,0\r", reply, 30));
    }
    {
        Fixture f(64);
        f.transport->SetEndless(true);
        EXPECT_FALSE(f.protocol.Exchange("CALT,0\r", reply, 30));
    }
    {
        Fixture f(1);
        f.transport->SetFailWrites(true);
        f.transport->Queue("OK\r");
        EXPECT_FALSE(f.protocol.Exchange("OP\r", reply, 100));
        EXPECT_EQ(f.transport->reads, 0);
    }
    {
        Fixture f(1);
        f.transport->SetOpen(false);
        EXPECT_FALSE(f.protocol.Exchange("OP\r", reply, 100));
        EXPECT_TRUE(f.transport->written.empty());
    }
    {
        Fixture f(64);  // the port goes away in the middle of a binary reply
        f.transport->Queue(std::string(600, 'x'));
        f.transport->VanishAfterReads(3);
        EXPECT_FALSE(f.protocol.Exchange("RB,0\r", reply, 100, true, 515));
        EXPECT_FALSE(f.link.IsOpen());
        EXPECT_FALSE(f.protocol.Exchange("RB,0\r", reply, 100, true, 515));
    }
    {
        CInstrumentLink closed;  // never opened: chunk size 0
        CInstrumentProtocol p(closed);
        EXPECT_EQ(closed.GetChunkSize(), 0);
        EXPECT_FALSE(p.Exchange("ID\r", reply, 100));
    }
}

TEST(ProtocolFraming, BinaryKeepsOverDelivery) {
    Fixture f(64);
    f.transport->Queue(std::string(600, '\0'));
    std::string reply;
    ASSERT_TRUE(f.protocol.Exchange("RB,0\r", reply, 100, true, 515));
    EXPECT_EQ(reply.size(), 576u);  // nine whole chunks
    f.transport->Queue(std::string(100, 'z'));
    EXPECT_FALSE(f.protocol.Exchange("RB,0\r", reply, 100, true, 515));  // short reply: time-out
}

TEST(ProtocolParsing, Conventions) {
    using P = CInstrumentProtocol;
    EXPECT_EQ(P::TextValue("ZQ118\r"), "ZQ118");
    EXPECT_EQ(P::TextValue("\r"), "\r");
    EXPECT_EQ(P::TextValue(""), "");
    EXPECT_EQ(P::IntegerValue("  -42abc\r"), -42);
    EXPECT_EQ(P::IntegerValue("x1"), 0);
    EXPECT_EQ(P::IntegerValue("99999999999\r"), 2147483647);
    EXPECT_FLOAT_EQ(P::FloatValue(" 2.5e-3,\r"), 0.0025f);
    EXPECT_FLOAT_EQ(P::FloatValue("nonsense"), 0.0f);

    EXPECT_EQ(P::CommandName("ID\r"), "ID");
    EXPECT_EQ(P::CommandName("SER\r"), "SER");
    EXPECT_EQ(P::CommandName("C3\r"), "C3\r");
    EXPECT_EQ(P::CommandName("DPM,799,3\r"), "DPM,799,3\r");
    EXPECT_EQ(P::MeasureCommand(50, 799), "GM,50,799,0\r");
    EXPECT_EQ(P::AutoMeasureCommand(799), "AM,799\r");
    EXPECT_EQ(P::FormatCommandError(228, "CALT,2\r"), "Invalid the response format by command \"CALT,2\r\".");
}

TEST(ProtocolParsing, CalibrationTableNeeds256CommaTerminatedValues) {
    std::vector<float> table;
    auto data = [](const std::string& reply) { return reply.substr(0, reply.size() - 3); };
    EXPECT_TRUE(CInstrumentProtocol::ParseCalibrationTable(data(Calt(256, true)), table));
    ASSERT_EQ(table.size(), 256u);
    EXPECT_FLOAT_EQ(table[0], 0.5f);
    EXPECT_FLOAT_EQ(table[255], 255.5f);
    EXPECT_TRUE(CInstrumentProtocol::ParseCalibrationTable(data(Calt(257, true)), table));
    EXPECT_FALSE(CInstrumentProtocol::ParseCalibrationTable(data(Calt(256, false)), table));
    EXPECT_FALSE(CInstrumentProtocol::ParseCalibrationTable(data(Calt(255, true)), table));
    EXPECT_FALSE(CInstrumentProtocol::ParseCalibrationTable("", table));
    EXPECT_TRUE(CInstrumentProtocol::ParseCalibrationTable(std::string(256, ','), table));  // empty values are 0
    EXPECT_FLOAT_EQ(table[7], 0.0f);
}

class ProtocolTransaction : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        savedTz_ = tz != nullptr ? tz : "";
        hadTz_ = tz != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_) setenv("TZ", savedTz_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
        platform::SetClockForTesting(nullptr);
    }
    std::string Respond(const std::string& c) {
        auto it = overrides.find(c);
        if (it != overrides.end()) return it->second;
        return model.Handle(c).reply;
    }
    Fixture Make(int chunk = 1) {
        return Fixture(chunk, [this](const std::string& c) { return Respond(c); });
    }

    CSimModel model{7, 6};
    std::map<std::string, std::string> overrides;
    std::string savedTz_;
    bool hadTz_ = false;
};

TEST_F(ProtocolTransaction, InstrumentInfoFillsTheRecordAndTables) {
    for (int chunk : {1, 64}) {
        Fixture f = Make(chunk);
        CSpectrumData record;
        ASSERT_TRUE(f.protocol.ReadInstrumentInfo(record)) << f.protocol.GetErrorText();
        EXPECT_EQ(record.GetIdText(), model.IdText());
        EXPECT_EQ(record.GetSerialNumber(), model.SerialText());
        EXPECT_EQ(record.GetStText(), model.StText());
        EXPECT_EQ(record.GetFvText(), model.FvText());
        EXPECT_EQ(record.GetFtText(), model.FtText());
        ASSERT_EQ(record.GetCoefficients().size(), 5u);
        for (int n = 0; n < 5; ++n) {
            EXPECT_EQ(record.GetCoefficient(static_cast<std::size_t>(n)),
                      static_cast<float>(model.Coefficients()[static_cast<std::size_t>(n)]));
        }
        for (int t = 0; t < 4; ++t) {
            const auto& got = f.protocol.GetCalibrationTable(t);
            const auto& want = model.CalibrationTable(t);
            ASSERT_EQ(got.size(), 256u);
            for (int p = 0; p < 256; ++p) EXPECT_FLOAT_EQ(got[static_cast<std::size_t>(p)], want[static_cast<std::size_t>(p)]);
        }
        EXPECT_EQ(record.GetValid(), 1);
        EXPECT_EQ(f.transport->written.size(), 14u);
        EXPECT_EQ(f.transport->written.front(), "ID\r");
    }
}

TEST_F(ProtocolTransaction, InstrumentInfoFailuresNameTheCommand) {
    struct Case {
        std::string command, reply, message;
    } cases[] = {
        {"SER", "ERR\r", "The error occurred while communicating by command \"SER\"."},
        {"C2", "", "The error occurred while communicating by command \"C2\r\"."},
        {"CALT,1", Calt(255, true), "Invalid the response format by command \"CALT,1\r\"."},
        {"CALT,3", Calt(256, false), "Invalid the response format by command \"CALT,3\r\"."},
        {"CALT,0", "ERR\r", "The error occurred while communicating by command \"CALT,0\r\"."},
    };
    for (const Case& c : cases) {
        overrides = {{c.command, c.reply}};
        Fixture f = Make();
        CSpectrumData record;
        EXPECT_FALSE(f.protocol.ReadInstrumentInfo(record)) << c.command;
        EXPECT_EQ(f.protocol.GetErrorText(), c.message);
        EXPECT_EQ(record.GetValid(), 0);
        EXPECT_EQ(f.transport->written.back(), c.command + "\r");  // nothing after the failure
    }
    overrides = {{"CALT,2", Calt(257, true)}};
    Fixture f = Make();
    CSpectrumData record;
    EXPECT_TRUE(f.protocol.ReadInstrumentInfo(record));
}

TEST_F(ProtocolTransaction, StoredRecordMatchesTheInstrumentMemory) {
    Fixture f = Make(64);
    CSpectrumData record;
    ASSERT_TRUE(f.protocol.ReadInstrumentInfo(record));
    ASSERT_TRUE(f.protocol.ReadStoredRecord(record, 4, true)) << f.protocol.GetErrorText();
    const CSimModel::Record& slot = model.Slot(4);
    EXPECT_EQ(record.GetTime(), slot.time);
    EXPECT_EQ(record.GetMemo(), slot.memo);
    EXPECT_EQ(record.GetExposureTime(), slot.exposureMs);
    EXPECT_FLOAT_EQ(record.GetTemperature(), slot.temperature);
    EXPECT_FLOAT_EQ(record.GetLatitude(), slot.latitude);
    EXPECT_EQ(record.GetFovCode(), slot.fovCode);
    EXPECT_EQ(record.GetCalibration(), model.CalibrationTable(slot.tableNumber));
    ASSERT_EQ(record.PixelCount(), 256);
    for (int p = 0; p < 256; ++p) {
        int v = slot.words[static_cast<std::size_t>(p)];
        float want = v < 32767 ? static_cast<float>(v) * 1000.0f / static_cast<float>(slot.exposureMs) : 0.0f;
        EXPECT_EQ(record.GetSignal()[static_cast<std::size_t>(p)], want);
    }
}

TEST_F(ProtocolTransaction, HeaderItems) {
    model.Slot(2).memo = "A LONGER MEMO";
    Fixture f = Make();
    CSpectrumData record;
    record.SetTime(1234);
    ASSERT_TRUE(f.protocol.ReadRecordHeader(record, 2, false));
    EXPECT_EQ(record.GetMemo(), "A LONGER M");  // cut to 10 characters
    EXPECT_EQ(record.GetTime(), 1234);  // item 1 not asked
    for (const std::string& c : f.transport->written) EXPECT_NE(c, "DPM,2,1\r");
    EXPECT_EQ(f.transport->written.size(), 8u);

    overrides = {{"DPM,799,3", "ERR\r"}};
    Fixture g = Make();
    EXPECT_FALSE(g.protocol.ReadRecordHeader(record, 799, false));
    EXPECT_EQ(g.protocol.GetErrorText(), "The error occurred while communicating by command \"DPM,799,3\r\".");
}

TEST_F(ProtocolTransaction, CalibrationTableNumberOutsideTheTablesIsAFormatError) {
    for (const char* n : {"4\r", "-1\r", "99\r"}) {
        overrides = {{"DPM,1,8", std::string(n) + "OK\r"}};
        Fixture f = Make();
        CSpectrumData record;
        ASSERT_TRUE(f.protocol.ReadInstrumentInfo(record));
        EXPECT_FALSE(f.protocol.ReadStoredRecord(record, 1, true));
        EXPECT_EQ(f.protocol.GetErrorText(), "Invalid the response format by command \"DPM,1,8\r\".");
        EXPECT_TRUE(record.GetCalibration().empty());
        EXPECT_NE(f.transport->written.back(), "RB,1\r");
    }
}

TEST_F(ProtocolTransaction, ZeroExposureIsAFormatErrorOfTheRecordsRb) {
    for (const char* e : {"0\r", "\r", "-5\r"}) {
        overrides = {{"DPM,3,2", std::string(e) + "OK\r"}};
        Fixture f = Make();
        CSpectrumData record;
        std::vector<float> before(256, 9.0f);
        record.SetSignal(before);
        EXPECT_FALSE(f.protocol.ReadStoredRecord(record, 3, true));
        EXPECT_EQ(f.protocol.GetErrorText(), "Invalid the response format by command \"RB,3\r\".");
        EXPECT_EQ(record.GetSignal(), before);
    }
}

TEST_F(ProtocolTransaction, PixelWords) {
    std::vector<int> values(256, 100);
    values[0] = 32767;    // saturated
    values[1] = -32768;   // 0x8000: negative, not saturated
    values[2] = -1;       // 0xFFFF
    values[3] = 32766;
    overrides = {{"RB,0", Words(values) + "OK\r"}, {"DPM,0,2", "200\rOK\r"}};
    Fixture f = Make(64);
    CSpectrumData record;
    ASSERT_TRUE(f.protocol.ReadInstrumentInfo(record));
    ASSERT_TRUE(f.protocol.ReadStoredRecord(record, 0, true));
    const auto& s = record.GetSignal();
    EXPECT_EQ(s[0], 0.0f);
    EXPECT_EQ(s[1], -32768.0f * 1000.0f / 200.0f);
    EXPECT_EQ(s[2], -5.0f);
    EXPECT_EQ(s[3], 32766.0f * 1000.0f / 200.0f);
    EXPECT_EQ(s[4], 500.0f);

    overrides = {{"RB,0", Words(values)}};  // 512 bytes only
    Fixture g = Make(1);
    EXPECT_FALSE(g.protocol.ReadStoredRecord(record, 0, true));
    EXPECT_EQ(g.protocol.GetErrorText(), "The error occurred while communicating by command \"RB,0\r\".");
}

TEST_F(ProtocolTransaction, RecordCountIsReadEvenFromAFailedReply) {
    Fixture f = Make();
    int count = -1;
    ASSERT_TRUE(f.protocol.ReadRecordCount(count));
    EXPECT_EQ(count, 6);
    overrides = {{"RI", "ERR\r"}};
    Fixture g = Make();
    EXPECT_FALSE(g.protocol.ReadRecordCount(count));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(g.protocol.GetErrorText(), "The error occurred while communicating by command \"RI\".");
    overrides = {{"RI", "3"}};  // never ends: what came still counts
    Fixture h = Make();
    EXPECT_FALSE(h.protocol.ReadRecordCount(count));
    EXPECT_EQ(count, 3);
}
