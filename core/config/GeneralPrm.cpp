#include "core/config/GeneralPrm.h"

#include <cstdio>

namespace {
constexpr const char* kIniPath = "./ZQ118.ini";
}

CGeneralPrm::CGeneralPrm() : CParameter(kIniPath, "GENERAL") {
    Add("DATA_STORED_FOLDER", m_DATA_STORED_FOLDER, "C:\\");
    Add("FILE_NAME_ID", m_FILE_NAME_ID, "SPC");
}

bool CGeneralPrm::IsUsableFileNameId(std::string_view id) {
    return id.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos && id.find("..") == std::string_view::npos;
}

bool CGeneralPrm::DailyFilePath(int year, int month, int day, std::string& out) const {
    if (!FileNameIdUsable()) return false;
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31) return false;
    platform::CalTime midnight = 0;
    if (!platform::JoinLocal(year, month, day, 0, 0, 0, midnight)) return false;
    // The calendar would turn 31 April into 1 May; a caller walking the days of a month must not
    // get the next month's file twice.
    platform::LocalFields f;
    if (!platform::SplitLocal(midnight, f) || f.year != year || f.month != month || f.day != day) return false;
    char date[32];
    std::snprintf(date, sizeof date, "%04d%02d%02d.hlx", f.year, f.month, f.day);
    // A folder stored with its closing separator (the default "C:\\") gets no second one.
    std::string folder = m_DATA_STORED_FOLDER.Get();
    if (folder.empty() || (folder.back() != '\\' && folder.back() != '/')) folder += '\\';
    out = folder + m_FILE_NAME_ID.Get() + "_" + date;
    return true;
}

bool CGeneralPrm::DailyFilePath(platform::CalTime t, std::string& out) const {
    platform::LocalFields f;
    if (!platform::SplitLocal(t, f)) return false;
    return DailyFilePath(f.year, f.month, f.day, out);
}

CGeneralPrm& GlobalGeneralPrm() {
    static CGeneralPrm prm;
    return prm;
}
