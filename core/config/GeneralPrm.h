#pragma once
// Section GENERAL: where the daily data files live and how they are named.
#include <string>
#include <string_view>

#include "core/config/Parameter.h"
#include "core/config/PrmString.h"
#include "core/platform/LocalTime.h"

class CGeneralPrm : public CParameter {
public:
    CGeneralPrm();
    CGeneralPrm(const CGeneralPrm&) = default;
    CGeneralPrm& operator=(const CGeneralPrm&) = default;

    CPrmString m_DATA_STORED_FOLDER;  // "C:\"
    CPrmString m_FILE_NAME_ID;        // "SPC"

    // A file name ID starts a file name in the data folder: one with a path separator or ".." would
    // put the daily files somewhere else.
    static bool IsUsableFileNameId(std::string_view id);
    bool FileNameIdUsable() const { return IsUsableFileNameId(m_FILE_NAME_ID.Get()); }

    // Stored (Windows-form) path of the daily file of a local date: folder + "\" + prefix + "_" +
    // "%Y%m%d.hlx", the "\" left out when the folder already ends in one ("C:\" gives
    // "C:\SPC_20090512.hlx"). False, out untouched, for a date the calendar cannot hold (year < 1900, month
    // outside 1..12, a day that the month does not have, outside 1970..3000) and for an unusable
    // file name ID.
    bool DailyFilePath(int year, int month, int day, std::string& out) const;
    // The same for the local date of a calendar time.
    bool DailyFilePath(platform::CalTime t, std::string& out) const;
};

// The one GENERAL section of the run; users Load it before use.
CGeneralPrm& GlobalGeneralPrm();
