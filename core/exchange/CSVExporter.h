#pragma once
// Writes spectrum records to comma-separated text: one column per record, rows ending in CR LF.
// What is written comes from the EXPORT section (type, unit, wavelength steps and range).
//
// Rows: DATE, TIME, Exposed Time[msec], MEMO, FOV; for types 0 and 1 LON, LAT, ALT, TEMP, PAR, Ptn,
// Lux; for types 0, 2 and 3 WL Interval, Wavelength[nm] and one row per wavelength; for type 4 (light
// quality) one row per light-quality metric and the bands covered in part. Labels come from
// the string table of the current language. A text field holding a comma, a double quote, CR or LF
// is quoted (quotes doubled); every other field is written as it is.
#include <atomic>
#include <string>

#include "core/config/ExportPrm.h"
#include "core/data/SpectrumData.h"
#include "core/data/SpectrumDataSet.h"

class CCSVExporter {
public:
    CCSVExporter() = default;
    virtual ~CCSVExporter() = default;

    // Export of a record set (the data browser's selection), in the order of the set. fileName is a
    // stored path (mapped like every other). standard may be null; ratio (type 2) and difference
    // (type 3) then fail without creating or touching the file. False when the set is empty, the
    // file cannot be created or any write fails: an earlier file of that name is left as it was.
    bool ExportDataSet(const std::string& fileName, const CSpectrumDataSet& set, const CSpectrumData* standard,
                       const CExportPrm& settings);

    // Export of one record: the measurement engine's "RunTime_" file after each interval record.
    // Without a standard record, types 2 and 3 are written as type 0 (spectral and calculation
    // data), so the run still leaves its log. False when the file cannot be created or written.
    bool ExportRecord(const std::string& fileName, const CSpectrumData& record, const CSpectrumData* standard,
                      const CExportPrm& settings);

    // While set, an export stops at its next step and fails, leaving the target as it was.
    void SetCancel(const std::atomic<bool>* cancel) { cancel_ = cancel; }
    // Why the last export failed (what and where, for the user); empty after a success or a stop.
    const std::string& Error() const { return error_; }

private:
    const std::atomic<bool>* cancel_ = nullptr;
    std::string error_;
};
