#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "config/GeneralPrm.h"
#include "data/SpectrumData.h"
#include "platform/LocalTime.h"

namespace exchangetest {

inline platform::CalTime Local(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    platform::CalTime t = 0;
    platform::JoinLocal(y, mo, d, h, mi, s, t);
    return t;
}

// A record at 20 degC with calibration 1, so its irradiance in W/m^2/um is its signal, and pixel i at
// c0 + i nm: values at any wavelength can be worked out by hand.
inline CSpectrumData LinearRecord(platform::CalTime t, float c0, std::vector<float> signal) {
    CSpectrumData r;
    r.SetTime(t);
    r.SetValid(1);
    r.SetTemperature(20.0f);
    r.SetCoefficient(0, c0);
    r.SetCoefficient(1, 1.0f);
    for (std::size_t k = 2; k < 5; ++k) r.SetCoefficient(k, 0.0f);
    r.SetCalibration(std::vector<float>(signal.size(), 1.0f));
    r.SetSignal(signal);
    return r;
}

// A plausible instrument record: 256 pixels over about 300..1100 nm.
inline CSpectrumData InstrumentRecord(platform::CalTime t, const std::string& memo, float level) {
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
    for (std::size_t k = 2; k < 5; ++k) r.SetCoefficient(k, 0.0f);
    std::vector<float> sig(256), cal(256);
    for (std::size_t i = 0; i < 256; ++i) {
        sig[i] = level + static_cast<float>(i);
        cal[i] = 0.5f;
    }
    r.SetSignal(sig);
    r.SetCalibration(cal);
    return r;
}

inline void SetGeneral(const std::string& folder, const std::string& prefix) {
    CGeneralPrm g;
    g.Load();
    g.m_DATA_STORED_FOLDER = folder;
    g.m_FILE_NAME_ID = prefix;
    g.Save();
}

}  // namespace exchangetest
