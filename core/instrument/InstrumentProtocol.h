#pragma once
// The instrument's command protocol on top of a CInstrumentLink: one command, one reply, framed
// as text ("...\rOK\r", "ERR\r") or as a fixed number of binary bytes. Holds the four calibration
// tables read from the instrument and the text of the last failure.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/data/SpectrumData.h"
#include "core/instrument/InstrumentLink.h"

class CInstrumentProtocol {
public:
    static constexpr int kTimeoutMs = 3000;        // every command but GM and AM
    static constexpr int kAutoTimeoutMs = 30000;   // AM: the instrument picks the exposure
    static constexpr int kMeasureMarginMs = 3000;  // GM: exposure + this
    static constexpr int kPixels = 256;
    static constexpr int kTables = 4;
    static constexpr int kRecordBytes = 515;       // RB: 512 data bytes + 3 trailing bytes
    static constexpr int kLiveSlot = 799;
    static constexpr int kSaturated = 32767;
    static constexpr std::size_t kTextField = 31;  // record text fields
    static constexpr std::size_t kMemoItem = 10;   // header item 0 is cut to this

    explicit CInstrumentProtocol(CInstrumentLink& link) : link_(link) {}

    // Sends command and reads its reply into reply (emptied first). Text mode: on success reply
    // holds the data including the CR that ends the data line, followed by one NUL. Binary mode:
    // at least expected bytes, all that were read. The whole exchange is bounded by timeoutMs.
    // Sets no error text.
    bool Exchange(const std::string& command, std::string& reply, int timeoutMs, bool binary = false,
                  int expected = 0);

    // Text exchange whose failure sets message 227 naming command; data is the reply data without
    // the NUL.
    bool Query(const std::string& command, int timeoutMs, std::string& data);
    bool Command(const std::string& command, int timeoutMs) {
        std::string data;
        return Query(command, timeoutMs, data);
    }

    bool ReadInstrumentInfo(CSpectrumData& record);
    bool ReadRecordHeader(CSpectrumData& record, int recordNumber, bool withTime);
    bool ReadStoredRecord(CSpectrumData& record, int recordNumber, bool withTime);
    // "RB,<r>\r": the 256 signed pixel words of record r.
    bool ReadPixelWords(int recordNumber, std::array<int16_t, kPixels>& words);
    // "RI\r". count is the integer value of whatever the reply held, also on failure.
    bool ReadRecordCount(int& count);

    const std::string& GetErrorText() const { return errorText_; }
    void SetErrorText(const std::string& text) {
        errorText_ = text;
        formatError_ = false;
    }
    // True when the last failure was a reply that arrived whole but made no sense (message 228),
    // not a link that failed.
    bool LastFailureWasFormat() const { return formatError_; }
    // Message 227 ("communicating") or 228 ("response format") naming command.
    void SetCommandError(int messageId, const std::string& command);

    const std::vector<float>& GetCalibrationTable(int t) const { return tables_[static_cast<std::size_t>(t)]; }
    void SetCalibrationTable(int t, const std::vector<float>& values) { tables_[static_cast<std::size_t>(t)] = values; }

    // Parsing conventions for text reply data.
    static std::string TextValue(const std::string& data);
    static int IntegerValue(const std::string& data);
    static float FloatValue(const std::string& data);
    // 256 comma-terminated numbers; false when a comma is missing.
    static bool ParseCalibrationTable(const std::string& data, std::vector<float>& table);
    // How a failure names a command: bare name for commands without arguments, else as sent.
    static std::string CommandName(const std::string& command);
    // Message id with its "%s" replaced by the command's name.
    static std::string FormatCommandError(int messageId, const std::string& command);

    // Commands as sent.
    static std::string CoefficientCommand(int n);                    // "C%d\r"
    static std::string CalibrationCommand(int t);                    // "CALT,%d\r"
    static std::string HeaderCommand(int record, int item);          // "DPM,%d,%d\r"
    static std::string PixelCommand(int record);                     // "RB,%d\r"
    static std::string MeasureCommand(int exposureMs, int record);   // "GM,%d,%d,0\r"
    static std::string AutoMeasureCommand(int record);               // "AM,%d\r"

private:
    CInstrumentLink& link_;
    std::array<std::vector<float>, kTables> tables_;
    std::string errorText_;
    bool formatError_ = false;
};
