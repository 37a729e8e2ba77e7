#pragma once
// Reads the daily data files: plain sequences of 2560-byte little-endian records.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "core/data/SpectrumData.h"
#include "core/platform/File.h"
#include "core/platform/LocalTime.h"

class CGeneralPrm;

class CSpectrumDataReader {
public:
    static constexpr int kRecordSize = 2560;
    static constexpr int kMaxPixels = 280;

    enum class Result { Ok, End, Rejected };

    CSpectrumDataReader();  // loads the GENERAL section
    // Uses a copy of settings already loaded (a worker thread never reads the settings file).
    explicit CSpectrumDataReader(const CGeneralPrm& general);
    virtual ~CSpectrumDataReader();

    // 1 when a whole record was read into record; 0 at the end of the file, on a truncated last
    // record, or when the record is not one this program could have written (record unchanged).
    virtual int ReadRecord(platform::File& stream, CSpectrumData& record);
    // All readable records of a day; a missing file is an empty day. Records that are rejected are
    // skipped (the file stays aligned on record boundaries, so the ones after them are still good).
    // Always 1, unless the date itself is impossible (0, list empty).
    virtual int ReadDay(int year, int month, int day, std::vector<CSpectrumData>& list);

    // ReadRecord, telling a rejected record apart from the end of the file. A rejected record's
    // bytes are consumed, so the next call reads the record after it.
    Result ReadRecordEx(platform::File& stream, CSpectrumData& record);

    // Decodes one record image; false (record unchanged) when it is not a valid record: N outside
    // 0..280, a text field without its zero byte, or date fields that are no date.
    static bool Decode(const unsigned char* image, CSpectrumData& record);

    // What a list shows of a record, without its pixels; false exactly when Decode is false. The
    // memo views the image.
    struct Summary {
        platform::CalTime time = 0;
        std::string_view memo;
        int32_t valid = 0;
        float longitude = 0, latitude = 0, altitude = 0;
    };
    static bool DecodeSummary(const unsigned char* image, Summary& summary);

    // A hash of the image apart from the memo and the deleted flag (the fields rewritten in place):
    // equal for a record left as it was, whatever happened to those two fields.
    static uint64_t Fingerprint(const unsigned char* image);

    // Cheap test on a raw image: the record is not deleted and, when comment (UTF-8) is given, its
    // memo contains it as shown (a CP932 memo decoded). A record that fails cannot pass a search;
    // one that passes still needs Decode.
    static bool PassesQuickFilter(const unsigned char* image, const char* comment);

    const CGeneralPrm& General() const { return *general_; }

private:
    std::unique_ptr<CGeneralPrm> general_;
};
