#pragma once
// Appends records to the daily data file of their local date, or rewrites one in place.
#include <memory>
#include <string>
#include <vector>

#include "data/SpectrumData.h"
#include "platform/File.h"

class CGeneralPrm;

class CSpectrumDataWriter {
public:
    static constexpr int kRecordSize = 2560;

    CSpectrumDataWriter();  // loads the GENERAL section: folder and prefix are fixed for its life
    // Uses a copy of settings already loaded (a worker thread never reads the settings file).
    explicit CSpectrumDataWriter(const CGeneralPrm& general);
    virtual ~CSpectrumDataWriter();

    // Writes the record image at the stream's position as one write. 1 on success, else 0 (also for
    // a record with more than 280 pixels, or fewer calibration values than pixels, which is never
    // written).
    virtual int WriteRecord(platform::File& stream, const CSpectrumData& record);
    // Batch append of every record in list order, stopping at the first failure; 1 when all were written.
    virtual int WriteAll(const std::vector<CSpectrumData>& list);
    // Appends to the daily file of the record's local date, holding the folder's write lock; 0 when
    // the date, the open or the write fails (nothing of the record is then left in the file).
    virtual int AppendRecord(const CSpectrumData& record);

    void BeginBatch();
    void EndBatch();

    // The 2560-byte image of a record; false when it cannot be stored (N above 280, too few
    // calibration values). Texts longer than their field are cut at a character boundary.
    static bool Encode(const CSpectrumData& record, unsigned char* image);

    const CGeneralPrm& General() const { return *general_; }

private:
    static bool AppendImage(platform::File& file, const unsigned char* image);

    std::unique_ptr<CGeneralPrm> general_;
    platform::File stream_;
    std::string openPath_;
    bool batch_ = false;
};
