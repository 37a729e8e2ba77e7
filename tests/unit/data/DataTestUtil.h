#pragma once
#include <string>

#include "core/config/GeneralPrm.h"
#include "core/data/SpectrumData.h"
#include "core/platform/LocalTime.h"

namespace datatest {

inline platform::CalTime Local(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    platform::CalTime t = 0;
    platform::JoinLocal(y, mo, d, h, mi, s, t);
    return t;
}

// A plausible instrument record: 256 pixels over ~300..1100 nm, flat calibration.
inline CSpectrumData MakeRecord(platform::CalTime t, const std::string& memo = "", float level = 100.0f) {
    CSpectrumData r;
    r.SetTime(t);
    r.SetTypeCode("100");
    r.SetIdText("ZQ118");
    r.SetSerialNumber("SN0001");
    r.SetMemo(memo);
    r.SetValid(1);
    r.SetFovCode(0);
    r.SetExposureTime(50);
    r.SetTemperature(20.0f);
    r.SetCoefficient(0, 300.0f);
    r.SetCoefficient(1, 3.1372549f);
    for (int k = 2; k < 5; ++k) r.SetCoefficient(static_cast<std::size_t>(k), 0.0f);
    std::vector<float> sig(256), cal(256);
    for (int i = 0; i < 256; ++i) {
        sig[static_cast<std::size_t>(i)] = level + static_cast<float>(i);
        cal[static_cast<std::size_t>(i)] = 0.5f;
    }
    r.SetSignal(sig);
    r.SetCalibration(cal);
    return r;
}

// Points the GENERAL section of ./ZQ118.ini at a folder and prefix.
inline void SetGeneral(const std::string& folder, const std::string& prefix) {
    CGeneralPrm g;
    g.Load();
    g.m_DATA_STORED_FOLDER = folder;
    g.m_FILE_NAME_ID = prefix;
    g.Save();
}

}  // namespace datatest
