#include "core/instrument/InstrumentProtocol.h"

#include <chrono>
#include <climits>
#include <cstdio>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"

namespace {

constexpr int kCommError = ids::kCommunicationError;
constexpr int kFormatError = ids::kInvalidResponseFormat;

std::string StripNul(const std::string& reply) {
    if (!reply.empty() && reply.back() == '\0') return reply.substr(0, reply.size() - 1);
    return reply;
}

}  // namespace

bool CInstrumentProtocol::Exchange(const std::string& command, std::string& reply, int timeoutMs, bool binary,
                                   int expected) {
    reply.clear();
    if (!link_.IsOpen() || link_.GetChunkSize() <= 0) return false;
    // Whatever waits in the input now belongs to no command of ours (a reply read only up to a
    // data line ending in "OK", bytes after "OK\r"); it would otherwise start this reply.
    link_.DiscardInput();
    if (!link_.WriteCommand(command)) return false;

    // One time-out for the whole exchange, so a reply that trickles on forever still ends. The
    // time left is rounded up: whole milliseconds of the clock would end it up to one early.
    using std::chrono::steady_clock;
    const steady_clock::time_point deadline = steady_clock::now() + std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0);
    auto readOn = [&]() {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - steady_clock::now()).count();
        if (left <= 0) return false;
        return link_.ReadChunk(static_cast<int>(left), binary, reply) > 0;
    };

    if (binary) {
        const std::size_t want = expected > 0 ? static_cast<std::size_t>(expected) : 0;
        while (reply.size() < want) {
            if (!readOn()) return false;
        }
        return true;
    }
    for (;;) {
        if (!readOn()) return false;
        if (reply.back() != '\r') continue;
        if (reply == "ERR\r") return false;
        if (reply.size() < 3) continue;
        if (reply.compare(reply.size() - 3, 3, "OK\r") == 0) {
            reply.resize(reply.size() - 3);
            reply.push_back('\0');
            return true;
        }
    }
}

bool CInstrumentProtocol::Query(const std::string& command, int timeoutMs, std::string& data) {
    std::string reply;
    if (!Exchange(command, reply, timeoutMs, false, 0)) {
        data = StripNul(reply);
        SetCommandError(kCommError, command);
        return false;
    }
    data = StripNul(reply);
    return true;
}

std::string CInstrumentProtocol::TextValue(const std::string& data) {
    if (data.size() >= 2) return data.substr(0, data.size() - 1);
    return data;
}

int CInstrumentProtocol::IntegerValue(const std::string& data) {
    long long v = platform::LeadingInteger(data);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

float CInstrumentProtocol::FloatValue(const std::string& data) {
    return static_cast<float>(platform::LeadingDouble(data));
}

bool CInstrumentProtocol::ParseCalibrationTable(const std::string& data, std::vector<float>& table) {
    table.resize(kPixels, 0.0f);
    std::size_t pos = 0;
    for (int k = 0; k < kPixels; ++k) {
        if (pos > data.size()) return false;
        std::size_t comma = data.find(',', pos);
        if (comma == std::string::npos) return false;
        table[static_cast<std::size_t>(k)] = FloatValue(data.substr(pos, comma - pos));
        pos = comma + 1;
    }
    return true;
}

std::string CInstrumentProtocol::CommandName(const std::string& command) {
    std::string bare = command;
    if (!bare.empty() && bare.back() == '\r') bare.pop_back();
    for (char c : bare) {
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return command;  // has arguments
    }
    return bare;
}

std::string CInstrumentProtocol::FormatCommandError(int messageId, const std::string& command) {
    std::string text = platform::LoadString(messageId);
    std::string name = CommandName(command);
    std::size_t at = text.find("%s");
    if (at == std::string::npos) return text;
    return text.replace(at, 2, name);
}

void CInstrumentProtocol::SetCommandError(int messageId, const std::string& command) {
    errorText_ = FormatCommandError(messageId, command);
    formatError_ = messageId == kFormatError;
}

std::string CInstrumentProtocol::CoefficientCommand(int n) { return "C" + std::to_string(n) + "\r"; }
std::string CInstrumentProtocol::CalibrationCommand(int t) { return "CALT," + std::to_string(t) + "\r"; }
std::string CInstrumentProtocol::HeaderCommand(int record, int item) {
    return "DPM," + std::to_string(record) + "," + std::to_string(item) + "\r";
}
std::string CInstrumentProtocol::PixelCommand(int record) { return "RB," + std::to_string(record) + "\r"; }
std::string CInstrumentProtocol::MeasureCommand(int exposureMs, int record) {
    return "GM," + std::to_string(exposureMs) + "," + std::to_string(record) + ",0\r";
}
std::string CInstrumentProtocol::AutoMeasureCommand(int record) { return "AM," + std::to_string(record) + "\r"; }

bool CInstrumentProtocol::ReadInstrumentInfo(CSpectrumData& record) {
    std::string data;
    struct TextItem {
        const char* command;
        void (CSpectrumData::*set)(std::string_view);
    };
    static const TextItem kTexts[] = {{"ID\r", &CSpectrumData::SetIdText},
                                      {"SER\r", &CSpectrumData::SetSerialNumber},
                                      {"ST\r", &CSpectrumData::SetStText},
                                      {"FV\r", &CSpectrumData::SetFvText},
                                      {"FT\r", &CSpectrumData::SetFtText}};
    for (const TextItem& item : kTexts) {
        if (!Query(item.command, kTimeoutMs, data)) return false;
        (record.*item.set)(platform::FitBytes(TextValue(data), kTextField));
    }
    for (int n = 0; n <= 4; ++n) {
        if (!Query(CoefficientCommand(n), kTimeoutMs, data)) return false;
        record.SetCoefficient(static_cast<std::size_t>(n), FloatValue(data));
    }
    for (int t = 0; t < kTables; ++t) {
        std::vector<float>& table = tables_[static_cast<std::size_t>(t)];
        table.resize(kPixels, 0.0f);
        const std::string command = CalibrationCommand(t);
        if (!Query(command, kTimeoutMs, data)) return false;
        if (!ParseCalibrationTable(data, table)) {
            SetCommandError(kFormatError, command);
            return false;
        }
    }
    record.SetValid(1);
    return true;
}

bool CInstrumentProtocol::ReadRecordHeader(CSpectrumData& record, int recordNumber, bool withTime) {
    std::string data;
    for (int item = 0; item <= 8; ++item) {
        if (item == 1 && !withTime) continue;
        const std::string command = HeaderCommand(recordNumber, item);
        if (!Query(command, kTimeoutMs, data)) return false;
        switch (item) {
        case 0: {
            // The CR that ends the data line is framing, not part of the memo (a kept CR would show
            // in lists and force quoting in every export of the record).
            std::string memo = data;
            if (!memo.empty() && memo.back() == '\r') memo.pop_back();
            record.SetMemo(memo.size() > kMemoItem ? platform::FitBytes(memo, kMemoItem) : memo);
            break;
        }
        case 1: record.SetTime(platform::LeadingInteger(data)); break;
        case 2: record.SetExposureTime(IntegerValue(data)); break;
        case 3: record.SetTemperature(FloatValue(data)); break;
        case 4: record.SetLongitude(FloatValue(data)); break;
        case 5: record.SetLatitude(FloatValue(data)); break;
        case 6: record.SetAltitude(FloatValue(data)); break;
        case 7: record.SetFovCode(IntegerValue(data)); break;
        case 8: {
            int n = IntegerValue(data);
            if (n < 0 || n >= kTables) {  // no such table
                SetCommandError(kFormatError, command);
                return false;
            }
            record.SetCalibration(tables_[static_cast<std::size_t>(n)]);
            break;
        }
        }
    }
    return true;
}

bool CInstrumentProtocol::ReadPixelWords(int recordNumber, std::array<int16_t, kPixels>& words) {
    const std::string command = PixelCommand(recordNumber);
    std::string reply;
    if (!Exchange(command, reply, kTimeoutMs, true, kRecordBytes)) {
        SetCommandError(kCommError, command);
        return false;
    }
    for (int p = 0; p < kPixels; ++p) {
        auto lo = static_cast<uint8_t>(reply[static_cast<std::size_t>(2 * p)]);
        auto hi = static_cast<uint8_t>(reply[static_cast<std::size_t>(2 * p + 1)]);
        words[static_cast<std::size_t>(p)] = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
    }
    return true;
}

bool CInstrumentProtocol::ReadStoredRecord(CSpectrumData& record, int recordNumber, bool withTime) {
    if (!ReadRecordHeader(record, recordNumber, withTime)) return false;
    std::array<int16_t, kPixels> words{};
    if (!ReadPixelWords(recordNumber, words)) return false;
    const int exposure = record.GetExposureTime();
    if (exposure <= 0) {
        // Counts per second need a real exposure; 0 would store infinite values.
        SetCommandError(kFormatError, PixelCommand(recordNumber));
        return false;
    }
    std::vector<float> signal(kPixels);
    for (int p = 0; p < kPixels; ++p) {
        int v = words[static_cast<std::size_t>(p)];
        signal[static_cast<std::size_t>(p)] =
            v < kSaturated ? static_cast<float>(v) * 1000.0f / static_cast<float>(exposure) : 0.0f;
    }
    record.SetSignal(signal);
    return true;
}

bool CInstrumentProtocol::ReadRecordCount(int& count) {
    std::string data;
    bool ok = Query("RI\r", kTimeoutMs, data);
    count = IntegerValue(data);
    return ok;
}
