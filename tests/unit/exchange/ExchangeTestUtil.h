#pragma once
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/config/GeneralPrm.h"
#include "core/data/SpectrumData.h"
#include "core/platform/LocalTime.h"
#include "tests/unit/data/DataTestUtil.h"

namespace exchangetest {

using datatest::Local;
using datatest::SetGeneral;

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
    return datatest::MakeRecord(t, memo, level);
}

// Files of the maker's format (*.srd, *.rad), built from its description: "label,value" header
// lines, one skipped line, calibration tables of 256 floats, then the records.
template <class T>
inline void Put(std::string& out, T v) {
    char b[sizeof(T)];
    std::memcpy(b, &v, sizeof v);  // the test machine is little-endian, like the files
    out.append(b, sizeof b);
}

inline std::string Line(const std::string& label, const std::string& value) { return label + "," + value + "\n"; }

inline std::string Table(float base) {
    std::string t;
    for (int i = 0; i < 256; ++i) Put(t, base + static_cast<float>(i) / 1024.0f);
    return t;
}

// Header of a version >= "03.00" file, the skipped line and four tables (table k holds k + 1 + i/1024).
inline std::string HeaderV3(const std::string& version = "03.00") {
    std::string h = Line("Version", version) + Line("ID", "ZQ118-A") + Line("Serial", "SN42") + Line("ST", "ST-1") +
                    Line("FV", "FV-2") + Line("FT", "FT-3") + Line("c0", "300.5") + Line("c1", "3.25") +
                    Line("c2", "-0.001") + Line("c3", "1e-7") + Line("c4", "0") + "Pixel data follow\r\n";
    for (int k = 0; k < 4; ++k) h += Table(static_cast<float>(k + 1));
    return h;
}

// An older header (memo, ExtraReal and ExtraInteger in the header) with tables tables.
inline std::string HeaderOld(const std::string& version, int tables) {
    std::string h = Line("Version", version) + Line("Memo", "old memo") + Line("ID", "ZQ100") + Line("Serial", "S7") +
                    Line("ST", "st") + Line("FV", "fv") + Line("FT", "ft") + Line("Real", "2.5") + Line("Int", "-17") +
                    Line("c0", "350") + Line("c1", "3") + Line("c2", "0") + Line("c3", "0") + Line("c4", "0") + "skip\n";
    for (int k = 0; k < tables; ++k) h += Table(static_cast<float>(k + 1));
    return h;
}

inline std::vector<float> Signal(float level) {
    std::vector<float> s(256);
    for (std::size_t i = 0; i < 256; ++i) s[i] = level + static_cast<float>(i);
    return s;
}

inline std::string RecordV3(int64_t time, const std::string& memo, int32_t table = 0, float level = 100.0f) {
    std::string r;
    char m[12] = {};
    std::memcpy(m, memo.data(), std::min<std::size_t>(memo.size(), 12));
    r.append(m, 12);
    Put(r, time);
    Put<int32_t>(r, 40);       // exposure
    Put<float>(r, 25.5f);      // temperature
    Put<double>(r, 139.123456789);
    Put<double>(r, -35.5);
    Put<float>(r, 123.0f);     // altitude
    Put<int32_t>(r, 1);        // FOV 90
    Put<int32_t>(r, table);
    for (float v : Signal(level)) Put(r, v);
    Put<int32_t>(r, 0x7fffffff);  // not read
    return r;
}

inline std::string RecordOld(int64_t time, float level = 50.0f) {
    std::string r;
    Put(r, time);
    Put<int32_t>(r, 80);
    Put<float>(r, 10.0f);
    for (float v : Signal(level)) Put(r, v);
    return r;
}

}  // namespace exchangetest
