// The command protocol on arbitrary instrument replies, cut into arbitrary pieces: the framing
// ends every exchange, and what the parsers accept is a record the program can store.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/data/SpectrumDataWriter.h"
#include "core/instrument/InstrumentProtocol.h"
#include "core/instrument/UsbTransport.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/unit/instrument/MemoryTransport.h"

namespace {

// Input: one byte of link shape (USB pipes, or a serial-like link with its chunk size and how reads
// are cut), then the replies in command order, each as a little-endian 16-bit length and its bytes.
struct Replies {
    const uint8_t* p;
    std::size_t left;
    std::string Next() {
        if (left < 2) return {};
        std::size_t n = static_cast<std::size_t>(p[0]) | static_cast<std::size_t>(p[1]) << 8;
        p += 2;
        left -= 2;
        if (n > left) n = left;
        std::string reply(reinterpret_cast<const char*>(p), n);
        p += n;
        left -= n;
        return reply;
    }
};

// The instrument's USB pipes: every command's reply is delivered in chunks of up to 64 bytes whose
// unused tail stays zero, as the transport's buffer is.
class CReplayUsb : public CUsbBackend {
public:
    explicit CReplayUsb(Replies& replies) : replies_(replies) {}
    bool ListDevices(std::vector<std::string>& paths) override {
        paths = {"usb:1:2"};
        return true;
    }
    bool ProbeOpen(const std::string&) override { return true; }
    int OpenPipe(const std::string& path) override { return path.back() == '3' ? 3 : 4; }
    void ClosePipe(int) override {}
    int Write(int, const uint8_t*, int length, int) override {
        pending_ += replies_.Next();
        return length;
    }
    bool StartRead(int, uint8_t* buffer, int length) override {
        buffer_ = buffer;
        length_ = length;
        return true;
    }
    WaitResult WaitRead(int, int, int& transferred) override {
        if (pending_.empty()) return WaitResult::TimedOut;
        const std::size_t n = std::min<std::size_t>(pending_.size(), static_cast<std::size_t>(length_));
        std::copy_n(pending_.begin(), n, buffer_);
        pending_.erase(0, n);
        transferred = static_cast<int>(n);
        return WaitResult::Completed;
    }
    void CancelRead(int) override { buffer_ = nullptr; }

private:
    Replies& replies_;
    std::string pending_;
    uint8_t* buffer_ = nullptr;
    int length_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const uint8_t shape = data[0];
    Replies replies{data + 1, size - 1};
    // Static parsers on the first reply alone.
    {
        Replies first = replies;
        const std::string text = first.Next();
        (void)CInstrumentProtocol::TextValue(text);
        (void)CInstrumentProtocol::IntegerValue(text);
        (void)CInstrumentProtocol::FloatValue(text);
        std::vector<float> table;
        if (CInstrumentProtocol::ParseCalibrationTable(text, table)) FUZZ_CHECK(table.size() == 256);
    }

    CInstrumentLink link;
    if (shape & 0x80) {
        auto usb = std::make_unique<CUsbTransport>(std::make_shared<CReplayUsb>(replies));
        // Discovery writes two lines to standard output for every open; nobody reads them here.
        static const bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
        (void)quiet;
        usb->Open();
        link.Attach(std::move(usb));
    } else {
        const int chunk = (shape & 1) ? 64 : 1;
        auto transport = std::make_unique<CMemoryTransport>(chunk, [&](const std::string&) { return replies.Next(); });
        if (shape & 2) transport->SetSplits({static_cast<std::size_t>(1 + ((shape >> 2) & 7)), 64, 3});
        link.Attach(std::move(transport));
    }
    CInstrumentProtocol protocol(link);

    CSpectrumData record;
    if (!protocol.ReadInstrumentInfo(record)) {
        FUZZ_CHECK(!protocol.GetErrorText().empty());
        return 0;
    }
    for (int t = 0; t < CInstrumentProtocol::kTables; ++t) FUZZ_CHECK(protocol.GetCalibrationTable(t).size() == 256);
    for (const std::string* s : {&record.GetIdText(), &record.GetSerialNumber(), &record.GetStText(),
                                 &record.GetFvText(), &record.GetFtText()}) {
        FUZZ_CHECK(s->size() <= CInstrumentProtocol::kTextField);
    }
    int count = 0;
    (void)protocol.ReadRecordCount(count);
    for (int r = 1; r <= 2 && r <= count; ++r) {
        CSpectrumData stored = record;
        if (!protocol.ReadStoredRecord(stored, r, true)) {
            FUZZ_CHECK(!protocol.GetErrorText().empty());
            return 0;
        }
        FUZZ_CHECK(stored.PixelCount() == 256);
        FUZZ_CHECK(stored.GetExposureTime() > 0);
        FUZZ_CHECK(stored.GetMemo().size() <= CInstrumentProtocol::kMemoItem);
        unsigned char image[CSpectrumDataWriter::kRecordSize];
        FUZZ_CHECK(CSpectrumDataWriter::Encode(stored, image));
        (void)stored.GetPar();
        (void)stored.GetLux();
    }
    return 0;
}
