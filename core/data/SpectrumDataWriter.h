#pragma once
// Appends records to the daily data file of their local date, or rewrites one in place.
#include <memory>
#include <string>
#include <vector>

#include "core/data/SpectrumData.h"
#include "core/platform/File.h"
#include "core/platform/LocalTime.h"

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
    // Appends to the daily file of the record's local date, holding the folder's write lock, and
    // returns once the record is on the device (a new day file's name too); 0 when the date, the
    // open, the write or the sync fails (a failed write leaves nothing of the record in the file).
    // A partial last record left by a cut-short append is cut off first; a partial record with
    // whole records after it is left alone. In batch mode the sync comes when the day file changes
    // and at the end of WriteAll.
    virtual int AppendRecord(const CSpectrumData& record);
    // Byte offset in its day file of the record the last successful AppendRecord wrote; -1 before.
    int64_t LastAppendOffset() const { return lastOffset_; }

    void BeginBatch();
    void EndBatch();

    // The 2560-byte image of a record; false when it cannot be stored (N above 280, too few
    // calibration values). Texts longer than their field are cut at a character boundary.
    static bool Encode(const CSpectrumData& record, unsigned char* image);

    // The wall-clock seconds a day file stores for t (year to second, local time) as one number
    // that orders like them; -1 when t has no local date. Records are matched by it: a converted
    // time cannot tell the two passes of a repeated daylight-saving hour apart in a day file.
    static int64_t StoredClock(platform::CalTime t);

    const CGeneralPrm& General() const { return *general_; }

private:
    static bool AppendImage(platform::File& file, const unsigned char* image, int64_t& at);
    static bool MakeDurable(platform::File& file, const std::string& path, bool fresh);
    bool FinishStream();  // syncs and closes the batch's open day file

    std::unique_ptr<CGeneralPrm> general_;
    platform::File stream_;
    std::string openPath_;
    bool streamFresh_ = false;  // the batch's open day file was empty: its name needs a sync too
    bool batch_ = false;
    int64_t lastOffset_ = -1;
};
