#include "core/data/SpectrumData.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/data/SpectrumTables.h"
#include "core/platform/LocalTime.h"

namespace {

using namespace spectrum_tables;

// Distances are compared as whole nanometres. A float outside the int64 range (or not a number)
// cannot be converted, so it counts as infinitely far.
int64_t TruncatedDistance(float v) {
    if (v >= -9.2e18f && v <= 9.2e18f) return static_cast<int64_t>(v);
    return v < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}

// The wavelength polynomial of a record whose wavelengths are not explicit. Missing coefficients
// count as 0. The terms are added in this order, each power by repeated multiplication, in single
// precision, as the instrument's wavelengths have always been computed.
struct Polynomial {
    float c[6];
    bool sixTerms;  // 'H' type: pixels counted from 1 and a fifth-power term

    explicit Polynomial(const CSpectrumData& r) : sixTerms(r.IsHType()) {
        for (std::size_t k = 0; k < 6; ++k) c[k] = r.GetCoefficient(k);
    }

    float At(int i) const {
        const float n = static_cast<float>(sixTerms ? static_cast<int64_t>(i) + 1 : static_cast<int64_t>(i));
        float w = ((c[1] * n + c[0]) + c[2] * n * n) + c[3] * n * n * n + c[4] * n * n * n * n;
        if (sixTerms) w += c[5] * n * n * n * n * n;
        return w;
    }
};

// The halving search for the pixel nearest to x, the one search of every lookup. `wl(i)` yields the
// wavelength of pixel i: the record's own Wavelength() or a table of the same values, so both give
// the same pixel. Once the step is 1 the search only walks on in the direction it took (also for
// wavelengths that are not ascending or not numbers), so it ends after at most n more rounds; the
// round limit merely keeps that promise explicit.
template <class WavelengthOf>
int HalvingSearch(int n, float x, const WavelengthOf& wl) {
    if (n <= 0) return 0;
    int a = n / 2;
    int step = a;
    for (int round = 0; round <= n + 64; ++round) {
        if (step >= 2) step /= 2;
        a = std::clamp(a, 0, n - 1);
        const float d = wl(a);
        if (d >= x) {
            if (a < 1) return 0;
            const float e = wl(a - 1);
            if (x >= e) return TruncatedDistance(x - e) < TruncatedDistance(d - x) ? a - 1 : a;
            a -= step;
        } else {
            if (a + 1 >= n) return n - 1;
            const float e = wl(a + 1);
            if (e >= x) return TruncatedDistance(x - d) < TruncatedDistance(e - x) ? a : a + 1;
            a += step;
        }
    }
    return std::clamp(a, 0, n - 1);
}

// Straight line through the nearest pixel and its partner, evaluated at x.
template <class WavelengthOf, class IrradianceOf>
float InterpolateAt(int n, float x, const WavelengthOf& wl, const IrradianceOf& irr) {
    if (n < 2) return 0.0f;
    const int b = HalvingSearch(n, x, wl);
    int p;
    if (b == 0) {
        p = 1;
    } else if (b == n - 1) {
        p = b - 1;
    } else {
        p = wl(b) >= x ? b - 1 : b + 1;
    }
    const float xb = wl(b);
    const float xp = wl(p);
    const float yb = irr(b);
    // Two pixels at the same wavelength define no line; the nearest pixel's value is the answer.
    if (xb == xp) return yb;
    return static_cast<float>(CDRangeMap(xb, xp, yb, irr(p)).Map(x));
}

// The temperature factor interpolates first in temperature (the same for every pixel of a record)
// and then in wavelength between the two rows around the pixel's wavelength.
struct TemperatureColumn {
    double t;  // clamped temperature
    int k;     // first column above it, 1..7
};

TemperatureColumn ColumnAt(float temperature) {
    const double t = std::clamp(static_cast<double>(temperature), -20.0, 50.0);
    int k = 1;
    while (k < 7 && !(kTemperatureBreaks[k] > t)) ++k;
    return {t, k};
}

double RowAtTemperature(const TemperatureColumn& c, int r) {
    return CDRangeMap(kTemperatureBreaks[c.k - 1], kTemperatureBreaks[c.k], kTemperatureFactors[r][c.k - 1],
                      kTemperatureFactors[r][c.k])
        .Map(c.t);
}

// The wavelength clamped to the factor table, and the first row above it (1..7): the factor is
// drawn on the line between rows r - 1 and r.
struct FactorPoint {
    double w;
    int r;
};

FactorPoint FactorPointAt(float wavelength) {
    const double w = std::clamp(static_cast<double>(wavelength), 400.0, 1050.0);
    int r = 1;
    while (r < 7 && !(kWavelengthBreaks[r] > w)) ++r;
    return {w, r};
}

// `row(r)` yields the temperature-interpolated factor of wavelength row r.
template <class RowFactor>
double FactorAt(const RowFactor& row, float wavelength) {
    const auto [w, r] = FactorPointAt(wavelength);
    return CDRangeMap(kWavelengthBreaks[r - 1], kWavelengthBreaks[r], row(r - 1), row(r)).Map(w);
}

// W/m^2/um of pixel k, which must exist in both lists.
float PixelIrradiance(const CSpectrumData& record, std::size_t k, double temperatureFactor) {
    return (record.GetSignal()[k] - record.GetDarkOffset()) * record.GetCalibration()[k] *
           static_cast<float>(temperatureFactor);
}

// Straight lines over the pixel values of PixelValues, for the sums that look up hundreds of
// wavelengths in one record.
class PixelTable {
public:
    explicit PixelTable(const CSpectrumData& record) { record.PixelValues(kUnitWm2um, wl_, irr_); }

    float At(float x) const { return CSpectrumData::ValueAt(wl_, irr_, x); }

    // Trapezoid sum with 1 nm steps, W/m^2.
    float Integrate(int from, int to) const {
        if (from > to) return 0.0f;
        float sum = 0.0f;
        for (int64_t l = from; l <= to; ++l) {
            float e = At(static_cast<float>(l));
            if (l == from || l == to) e /= 2.0f;
            sum += e;
        }
        return sum / 1000.0f;
    }

private:
    std::vector<float> wl_, irr_;
};

struct LuminousTable {
    double v[CSpectrumData::kLuminousRows];
    LuminousTable() {
        for (int row = 0; row < CSpectrumData::kLuminousRows; ++row) {
            const int j = row / 5;
            if (row % 5 == 0) {
                v[row] = kLuminous5nm[j];
            } else {
                const double x0 = 360.0 + 5.0 * j;
                v[row] = CDRangeMap(x0, x0 + 5.0, kLuminous5nm[j], kLuminous5nm[j + 1]).Map(360.0 + row);
            }
        }
    }
};

const LuminousTable& Luminous() {
    static const LuminousTable table;
    return table;
}

template <class T>
void AssignList(std::vector<T>& list, std::size_t n, const T* values) {
    if (values == nullptr) {
        list.clear();
        return;
    }
    list.assign(values, values + n);
}

}  // namespace

// The members' initialisers are the reset state.
CSpectrumData::CSpectrumData() = default;

CSpectrumData::~CSpectrumData() = default;

void CSpectrumData::Reset() {
    explicitWavelengths_ = 0;
    time_ = 0;
    typeCode_.clear();
    idText_.clear();
    stText_.clear();
    serialNumber_.clear();
    fvText_.clear();
    ftText_.clear();
    extraReal_ = 0;
    extraInteger_ = 0;
    temperature_ = 0;
    exposureTime_ = 0;
    memo_.clear();
    valid_ = 0;
    fovCode_ = 3;
    coefficients_.clear();
    wavelengths_.clear();
    calibration_.clear();
    signal_.clear();
    sumsValid_ = 0;
    uvValid_ = 0;
    par_ = photon_ = lux_ = 0;
    longitude_ = latitude_ = altitude_ = 0;
    uvA_ = uvB_ = 0;
    darkOffset_ = 0;
}

int CSpectrumData::HasDarkOffset() const {
    // A NaN compares unequal to 0 as well.
    return darkOffset_ != 0.0f ? 1 : 0;
}

void CSpectrumData::SetCoefficient(std::size_t index, float value) {
    if (index >= kMaxCoefficients) return;
    std::vector<float> list = coefficients_.ToVector();  // a new array: copies of the record keep theirs
    if (list.size() < index + 1) list.resize(index + 1, 0.0f);
    list[index] = value;
    coefficients_ = PixelArray(std::move(list));
}

void CSpectrumData::SetWavelengths(std::size_t n, const float* values) { AssignList(wavelengths_, n, values); }
void CSpectrumData::SetCalibration(std::size_t n, const float* values) {
    calibration_ = values ? PixelArray(values, n) : PixelArray();
}
void CSpectrumData::SetSignal(std::size_t n, const float* values) { signal_ = values ? PixelArray(values, n) : PixelArray(); }

void CSpectrumData::SetCoefficients(std::size_t n, const float* values) {
    if (values == nullptr) n = 0;
    coefficients_ = PixelArray(values, std::min(n, kMaxCoefficients));
}

void CSpectrumData::SetCoefficients(PixelArray values) {
    if (values.size() > kMaxCoefficients) values = PixelArray(values.data(), kMaxCoefficients);
    coefficients_ = std::move(values);
}

std::string CSpectrumData::FormatTime(const char* format) const {
    if (format == nullptr) return std::string();
    return platform::FormatLocal(time_, format);
}

std::string CSpectrumData::FovText() const {
    switch (fovCode_) {
    case 0:
        return "180";
    case 1:
        return "90";
    case 2:
        return "45";
    default:
        return "ETC";
    }
}

bool CSpectrumData::IsHType() const { return typeCode_.size() >= 3 && typeCode_[1] == 'H'; }

float CSpectrumData::Wavelength(int i) const {
    if (explicitWavelengths_ != 0) {
        if (i < 0 || static_cast<std::size_t>(i) >= wavelengths_.size()) return 0.0f;
        return wavelengths_[static_cast<std::size_t>(i)];
    }
    return Polynomial(*this).At(i);
}

int CSpectrumData::NearestIndex(float x) const {
    return HalvingSearch(PixelCount(), x, [this](int i) { return Wavelength(i); });
}

double CSpectrumData::TemperatureFactor(int i) const {
    const TemperatureColumn column = ColumnAt(temperature_);
    return FactorAt([&column](int r) { return RowAtTemperature(column, r); }, Wavelength(i));
}

namespace {

// W/m^2/um irradiance e of a pixel at wavelength w in the given unit.
float InUnit(float e, float w, int unit) {
    switch (unit) {
    case kUnitUmolM2sUm:
        return static_cast<float>(static_cast<double>(w * e / 1000.0f) / CSpectrumData::kCHNA);
    case kUnitMWcm2nm:
        return e / 10000.0f;
    case kUnitWm2nm:
        return e / 1000.0f;
    case kUnitPhotonCm2sNm:
        return static_cast<float>(static_cast<double>(w) * (static_cast<double>(e) * 1e-16) / (CSpectrumData::kC * CSpectrumData::kH));
    default:
        // W/m^2/um, also for a unit number outside the enumeration.
        return e;
    }
}

}  // namespace

float CSpectrumData::Irradiance(int i, int unit) const {
    if (i < 0 || static_cast<std::size_t>(i) >= signal_.size() || static_cast<std::size_t>(i) >= calibration_.size())
        return 0.0f;
    const float e = PixelIrradiance(*this, static_cast<std::size_t>(i), TemperatureFactor(i));
    return InUnit(e, Wavelength(i), unit);
}

void CSpectrumData::PixelValues(int unit, std::vector<float>& wavelengths, std::vector<float>& irradiances) const {
    const std::size_t n = signal_.size();
    wavelengths.resize(n);
    irradiances.assign(n, 0.0f);
    // TemperatureFactor's rows, interpolated in temperature once for the record.
    const TemperatureColumn column = ColumnAt(temperature_);
    double rows[kWavelengthRows];
    for (int r = 0; r < kWavelengthRows; ++r) rows[r] = RowAtTemperature(column, r);
    const auto row = [&rows](int r) { return rows[r]; };
    for (std::size_t k = 0; k < n; ++k) {
        const float w = Wavelength(static_cast<int>(k));
        wavelengths[k] = w;
        if (k < calibration_.size()) irradiances[k] = InUnit(PixelIrradiance(*this, k, FactorAt(row, w)), w, unit);
    }
}

float CSpectrumData::ValueAt(const std::vector<float>& wavelengths, const std::vector<float>& values, float x) {
    const int n = static_cast<int>(std::min(wavelengths.size(), values.size()));
    return InterpolateAt(
        n, x, [&](int i) { return wavelengths[static_cast<std::size_t>(i)]; },
        [&](int i) { return values[static_cast<std::size_t>(i)]; });
}

void CSpectrumData::LineAt(const std::vector<float>& wavelengths, float x, int& first, int& second, double& share) {
    const int n = static_cast<int>(wavelengths.size());
    first = second = -1;
    share = 0.0;
    if (n < 2) return;
    const auto wl = [&](int i) { return wavelengths[static_cast<std::size_t>(i)]; };
    // The same choice as InterpolateAt.
    const int b = HalvingSearch(n, x, wl);
    const int p = b == 0 ? 1 : b == n - 1 ? b - 1 : wl(b) >= x ? b - 1 : b + 1;
    first = b;
    second = p;
    if (wl(b) != wl(p)) share = (static_cast<double>(x) - wl(b)) / (static_cast<double>(wl(p)) - wl(b));
}

float CSpectrumData::IrradianceAt(float x, int unit) const {
    return InterpolateAt(
        PixelCount(), x, [this](int i) { return Wavelength(i); }, [this, unit](int i) { return Irradiance(i, unit); });
}

float CSpectrumData::Integrate(int from, int to) const {
    if (from > to) return 0.0f;
    return PixelTable(*this).Integrate(from, to);
}

double CSpectrumData::LuminousWavelength(int row) { return 360.0 + row; }

double CSpectrumData::LuminousEfficiency(int row) {
    if (row < 0 || row >= kLuminousRows) return 0.0;
    return Luminous().v[row];
}

void CSpectrumData::ComputeSums() const {
    const PixelTable table(*this);
    // Every whole nanometre from 360 to 830 nm, looked up once: the PAR band 400..700 nm asks for
    // the same wavelengths as the luminous rows.
    float at[kLuminousRows];
    for (int k = 0; k < kLuminousRows; ++k) at[k] = table.At(static_cast<float>(LuminousWavelength(k)));
    // Summed in floats, each sum in its own order.
    const LuminousTable& lum = Luminous();
    float par = 0, photon = 0, lux = 0;
    for (int k = 0; k < kLuminousRows; ++k) {
        float e = at[k];
        if (k == 0 || k == kLuminousRows - 1) e /= 2.0f;
        lux += static_cast<float>(static_cast<double>(e) * lum.v[k]);
        const int l = 360 + k;
        if (l < 400 || l > 700) continue;
        e = at[k];
        if (l == 400 || l == 700) e /= 2.0f;
        par += e;
        photon += static_cast<float>(l) * e / 1000.0f;
    }
    photon = photon / static_cast<float>(kCHNA);
    par_ = par / 1000.0f;
    photon_ = photon / 1000.0f;
    lux_ = 683.0f * lux / 1000.0f;
    sumsValid_ = 1;
}

void CSpectrumData::ComputeUv() const {
    const PixelTable table(*this);
    uvB_ = table.Integrate(280, 315);
    uvA_ = table.Integrate(315, 400);
    uvValid_ = 1;
}

float CSpectrumData::GetPar() const {
    if (sumsValid_ == 0) ComputeSums();
    return par_;
}

float CSpectrumData::GetPhoton() const {
    if (sumsValid_ == 0) ComputeSums();
    return photon_;
}

float CSpectrumData::GetLux() const {
    if (sumsValid_ == 0) ComputeSums();
    return lux_;
}

float CSpectrumData::GetUvA() const {
    if (uvValid_ == 0) ComputeUv();
    return uvA_;
}

float CSpectrumData::GetUvB() const {
    if (uvValid_ == 0) ComputeUv();
    return uvB_;
}

void CSpectrumData::SpectrumSeries(double min, double max, int unit, GraphSeries& out) const {
    out.Clear();
    const int n = PixelCount();
    for (int i = 0; i < n; ++i) {
        const double x = Wavelength(i);
        if (min <= x && x <= max) out.Append(x, Irradiance(i, unit));
    }
}

void CSpectrumData::DifferenceSeries(double min, double max, int unit, const CSpectrumData& other,
                                     GraphSeries& out) const {
    out.Clear();
    const int n = PixelCount();
    for (int i = 0; i < n; ++i) {
        const float w = Wavelength(i);
        const double x = w;
        if (min <= x && x <= max) out.Append(x, Irradiance(i, unit) - other.IrradianceAt(w, unit));
    }
}

void CSpectrumData::RatioSeries(double min, double max, int unit, const CSpectrumData& other, GraphSeries& out) const {
    out.Clear();
    const int n = PixelCount();
    for (int i = 0; i < n; ++i) {
        const float w = Wavelength(i);
        const double x = w;
        if (!(min <= x && x <= max)) continue;
        const float y = Irradiance(i, unit) / other.IrradianceAt(w, unit);
        out.Append(x, std::isfinite(y) ? y : 0.0f);
    }
}

void CSpectrumData::RatioPercentSeries(double min, double max, int unit, const CSpectrumData& other,
                                       GraphSeries& out) const {
    RatioSeries(min, max, unit, other, out);
    for (auto& point : out.Points()) point.second *= 100.0;
}

void CSpectrumData::LoadJisStandard() {
    Reset();
    explicitWavelengths_ = 1;
    memo_ = "JIS Standard Data";
    wavelengths_.resize(kJisPoints);
    std::vector<float> signal(kJisPoints);
    for (int i = 0; i < kJisPoints; ++i) {
        wavelengths_[static_cast<std::size_t>(i)] = static_cast<float>(kJisStandard[i][0]);
        signal[static_cast<std::size_t>(i)] = static_cast<float>(kJisStandard[i][1]);
    }
    signal_ = PixelArray(std::move(signal));
    calibration_ = PixelArray(std::vector<float>(kJisPoints, 1.0f));
}
