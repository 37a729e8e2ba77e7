#pragma once
// One spectrum record: instrument texts, conditions, memo, wavelength polynomial, per-pixel
// calibration and signal. Irradiance and the derived values are computed on demand, in single
// precision step by step as the instrument's data have always been computed.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/PixelArray.h"
#include "core/data/Range.h"

// Irradiance units; every computation starts from W/m^2/um.
enum IrradianceUnit : int {
    kUnitWm2um = 0,       // W/m^2/um
    kUnitUmolM2sUm = 1,   // umol/m^2/s/um
    kUnitMWcm2nm = 2,     // mW/cm^2/nm
    kUnitWm2nm = 3,       // W/m^2/nm
    kUnitPhotonCm2sNm = 4 // photon/cm^2/s/nm
};

class CSpectrumData {
public:
    static constexpr double kC = 2.998e8;     // m/s
    static constexpr double kH = 6.626e-34;   // J s
    static constexpr double kNA = 6.022e23;   // 1/mol
    static constexpr double kCHNA = kC * kH * kNA;  // 0.11962551...
    static constexpr int kLuminousRows = 471;         // 360..830 nm

    CSpectrumData();
    CSpectrumData(const CSpectrumData&) = default;
    CSpectrumData& operator=(const CSpectrumData&) = default;
    CSpectrumData(CSpectrumData&&) noexcept = default;
    CSpectrumData& operator=(CSpectrumData&&) noexcept = default;
    virtual ~CSpectrumData();

    void CopyFrom(const CSpectrumData& other) { *this = other; }
    void Reset();

    // Plain fields.
    int32_t GetExplicitWavelengths() const { return explicitWavelengths_; }
    void SetExplicitWavelengths(int32_t v) { explicitWavelengths_ = v; }
    bool HasExplicitWavelengths() const { return explicitWavelengths_ != 0; }
    int64_t GetTime() const { return time_; }
    void SetTime(int64_t t) { time_ = t; }
    const std::string& GetTypeCode() const { return typeCode_; }
    void SetTypeCode(std::string_view s) { typeCode_.assign(s); }
    const std::string& GetIdText() const { return idText_; }
    void SetIdText(std::string_view s) { idText_.assign(s); }
    const std::string& GetStText() const { return stText_; }
    void SetStText(std::string_view s) { stText_.assign(s); }
    const std::string& GetSerialNumber() const { return serialNumber_; }
    void SetSerialNumber(std::string_view s) { serialNumber_.assign(s); }
    const std::string& GetFvText() const { return fvText_; }
    void SetFvText(std::string_view s) { fvText_.assign(s); }
    const std::string& GetFtText() const { return ftText_; }
    void SetFtText(std::string_view s) { ftText_.assign(s); }
    float GetExtraReal() const { return extraReal_; }
    void SetExtraReal(float v) { extraReal_ = v; }
    int32_t GetExtraInteger() const { return extraInteger_; }
    void SetExtraInteger(int32_t v) { extraInteger_ = v; }
    float GetTemperature() const { return temperature_; }
    void SetTemperature(float v) { temperature_ = v; }
    int32_t GetExposureTime() const { return exposureTime_; }
    void SetExposureTime(int32_t v) { exposureTime_ = v; }
    const std::string& GetMemo() const { return memo_; }
    void SetMemo(std::string_view s) { memo_.assign(s); }
    int32_t GetValid() const { return valid_; }
    void SetValid(int32_t v) { valid_ = v; }
    int32_t GetFovCode() const { return fovCode_; }
    void SetFovCode(int32_t v) { fovCode_ = v; }
    float GetLongitude() const { return longitude_; }
    void SetLongitude(float v) { longitude_ = v; }
    float GetLatitude() const { return latitude_; }
    void SetLatitude(float v) { latitude_ = v; }
    float GetAltitude() const { return altitude_; }
    void SetAltitude(float v) { altitude_ = v; }
    float GetDarkOffset() const { return darkOffset_; }
    void SetDarkOffset(float v) { darkOffset_ = v; }
    int HasDarkOffset() const;  // 1 when DarkOffset is not 0 (or not a number)

    // Lists.
    const PixelArray& GetCoefficients() const { return coefficients_; }
    float GetCoefficient(std::size_t i) const { return i < coefficients_.size() ? coefficients_[i] : 0.0f; }
    // Grows with zeros as needed; an index of kMaxCoefficients or more is ignored.
    void SetCoefficient(std::size_t index, float value);
    // Replaces every coefficient at once (at most kMaxCoefficients are kept).
    void SetCoefficients(std::size_t n, const float* values);
    void SetCoefficients(PixelArray values);  // an array shared with other records (a search's)
    static constexpr std::size_t kMaxCoefficients = 64;
    const std::vector<float>& GetWavelengths() const { return wavelengths_; }
    void SetWavelengths(std::size_t n, const float* values);
    const PixelArray& GetCalibration() const { return calibration_; }
    void SetCalibration(std::size_t n, const float* values);
    void SetCalibration(PixelArray values) { calibration_ = std::move(values); }
    const PixelArray& GetSignal() const { return signal_; }
    void SetSignal(std::size_t n, const float* values);
    void SetSignal(PixelArray values) { signal_ = std::move(values); }

    // Cached derived values and their flags (carried unchanged by copies and by the data files).
    int32_t GetSumsValid() const { return sumsValid_; }
    int32_t GetUvValid() const { return uvValid_; }
    // 0 marks the cached values as not computed (a new measurement filled the record).
    void SetSumsValid(int32_t v) { sumsValid_ = v; }
    void SetUvValid(int32_t v) { uvValid_ = v; }

    int PixelCount() const { return static_cast<int>(signal_.size()); }

    // Time formatted in local time ("%Y/%m/%d", "%H:%M:%S"); empty when out of range.
    std::string FormatTime(const char* format) const;
    // "180", "90", "45" or "ETC".
    std::string FovText() const;

    // True when the type code has at least 3 characters and its second is 'H': six coefficients,
    // pixels counted from 1.
    bool IsHType() const;

    float Wavelength(int i) const;
    int NearestIndex(float x) const;
    double TemperatureFactor(int i) const;
    float Irradiance(int i, int unit) const;
    float IrradianceAt(float x, int unit) const;
    // Wavelength(i) and Irradiance(i, unit) of every pixel (PixelCount() of each), the same floats,
    // with the temperature interpolation done once for the record.
    void PixelValues(int unit, std::vector<float>& wavelengths, std::vector<float>& irradiances) const;
    // IrradianceAt over the tables PixelValues filled: the same nearest pixel and line, so the
    // same float, without working out the pixels again for every wavelength.
    static float ValueAt(const std::vector<float>& wavelengths, const std::vector<float>& values, float x);
    // The line ValueAt draws at x: (1 - share) * values[first] + share * values[second]; first is -1
    // where it draws none (fewer than two pixels).
    static void LineAt(const std::vector<float>& wavelengths, float x, int& first, int& second, double& share);
    float Integrate(int from, int to) const;  // W/m^2, 1 nm trapezoid

    float GetPar() const;
    float GetPhoton() const;
    float GetLux() const;
    float GetUvA() const;
    float GetUvB() const;

    void SpectrumSeries(double min, double max, int unit, GraphSeries& out) const;
    void DifferenceSeries(double min, double max, int unit, const CSpectrumData& other, GraphSeries& out) const;
    void RatioSeries(double min, double max, int unit, const CSpectrumData& other, GraphSeries& out) const;
    void RatioPercentSeries(double min, double max, int unit, const CSpectrumData& other, GraphSeries& out) const;

    // The built-in standard record (120-point AM1.5 global table).
    void LoadJisStandard();

    // Tables, exposed for tests and the export.
    static double LuminousWavelength(int row);  // 360 + row
    static double LuminousEfficiency(int row);

private:
    // The caches below are filled on first use by the const getters, without a lock: the
    // measurement worker computes only its own record (for the run-time log; the user-interface
    // thread reads that record only while no run is active and otherwise reads the stored files),
    // and the windows compute their own copies. A record read by two threads at once must have its
    // values computed (GetPar, GetUvA) before it is shared.
    void ComputeSums() const;
    void ComputeUv() const;

    int32_t explicitWavelengths_ = 0;
    int64_t time_ = 0;
    std::string typeCode_;
    std::string idText_;
    std::string stText_;
    std::string serialNumber_;
    std::string fvText_;
    std::string ftText_;
    float extraReal_ = 0;
    int32_t extraInteger_ = 0;
    float temperature_ = 0;
    int32_t exposureTime_ = 0;
    std::string memo_;
    int32_t valid_ = 0;
    int32_t fovCode_ = 3;
    PixelArray coefficients_;  // shared like the pixels: most records of a search have the same
    std::vector<float> wavelengths_;
    PixelArray calibration_;
    PixelArray signal_;
    mutable int32_t sumsValid_ = 0;
    mutable int32_t uvValid_ = 0;
    mutable float par_ = 0;
    mutable float photon_ = 0;
    mutable float lux_ = 0;
    float longitude_ = 0;
    float latitude_ = 0;
    float altitude_ = 0;
    mutable float uvA_ = 0;
    mutable float uvB_ = 0;
    float darkOffset_ = 0;
};
