#include "core/exchange/CSVExporter.h"

#include <strings.h>

#include <atomic>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/exchange/CsvText.h"
#include "core/exchange/LightQualityRows.h"
#include "core/platform/AtomicReplace.h"
#include "core/platform/Path.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"

namespace {

constexpr int kTypeSpectral = 0;
constexpr int kTypeCalculation = 1;
constexpr int kTypeRatio = 2;
constexpr int kTypeDifference = 3;
constexpr int kTypeLightQuality = 4;

// A stepped column of more rows than this comes only from a damaged setting (a range of hundreds of
// kilometres, or a minimum so large that adding a step no longer changes it); it is refused rather
// than written for ever.
constexpr std::size_t kMaxWavelengthRows = 1000000;

// The export file, buffered. It is written under a temporary name beside the target and put in
// place only once every byte is written, so a full disk, a crash or a stop leaves an earlier file of
// that name as it was and never a partial export under the real name. Every failure sticks, so the
// caller checks once at the end.
class CsvFile {
public:
    CsvFile(const std::string& storedPath, const std::atomic<bool>* cancel) : cancel_(cancel) {
        const std::string target = platform::MapPath(storedPath);
        // Temporaries of exports to this folder that were killed before they could clean up.
        platform::RemoveStaleTemporaries(platform::FolderOf(target), platform::kCsvTag, [](const std::string& base) {
            return base.size() > 4 && strcasecmp(base.c_str() + base.size() - 4, ".csv") == 0;
        });
        ok_ = file_.Begin(target, platform::kCsvTag);
    }
    CsvFile(const CsvFile&) = delete;
    CsvFile& operator=(const CsvFile&) = delete;

    bool Opened() const { return file_.Active(); }
    bool Cancelled() const { return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed); }
    // The row being written.
    std::string& Row() { return buf_; }

    void EndRow() {
        buf_ += "\r\n";
        if (buf_.size() >= kFlushAt) Flush();
    }

    // Flushes and puts the file in place; true when every byte reached it.
    bool Close() {
        Flush();
        if (ok_ && Cancelled()) ok_ = false;
        if (ok_) ok_ = file_.Commit();
        file_.Abandon();
        return ok_;
    }
    const std::string& Error() const { return file_.Error(); }

private:
    void Flush() {
        if (ok_ && Cancelled()) ok_ = false;
        if (ok_ && !buf_.empty()) ok_ = file_.Write(buf_.data(), buf_.size());
        buf_.clear();
    }

    static constexpr std::size_t kFlushAt = 1 << 16;
    platform::AtomicReplace file_;
    const std::atomic<bool>* cancel_;
    bool ok_ = false;
    std::string buf_;
};

const std::string& Text(int id) { return platform::LoadString(id); }

struct Settings {
    int type = 0;
    bool umol = false;
    int step = 0;
    float minWavelength = 0;
    float maxWavelength = 0;
};

bool ReadSettings(const CExportPrm& prm, Settings& s) {
    s.type = prm.m_EXPORT_TYPE.Get();
    s.umol = prm.m_SPECTRUM_UNIT.Get() != 0;
    s.step = prm.m_WAVELENGTH_TYPE.Get();
    s.minWavelength = prm.m_MIN_WAVELENGTH.Get();
    s.maxWavelength = prm.m_MAX_WAVELENGTH.Get();
    if (s.type < kTypeSpectral || s.type > kTypeLightQuality) return false;
    // The interval matters only where a wavelength column is written.
    return s.type == kTypeCalculation || s.type == kTypeLightQuality || (s.step >= 0 && s.step <= 2);
}

// Rows 15 ...: the first record's own pixel wavelengths, or steps from the minimum up to and
// including the first step at or beyond the maximum.
bool WavelengthColumn(const Settings& s, const CSpectrumData& first, std::vector<float>& out) {
    out.clear();
    if (s.step == 0) {
        const int n = first.PixelCount();
        out.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) out.push_back(first.Wavelength(i));
        return true;
    }
    if (!std::isfinite(s.minWavelength) || !std::isfinite(s.maxWavelength)) return false;
    const int stride = s.step == 1 ? 1 : 5;
    for (std::size_t i = 0;; ++i) {
        if (i >= kMaxWavelengthRows) return false;
        const float lambda = s.minWavelength + static_cast<float>(static_cast<long long>(i) * stride);
        out.push_back(lambda);
        if (lambda >= s.maxWavelength) return true;
    }
}

bool WriteCsv(const std::string& fileName, const std::vector<const CSpectrumData*>& records, const CSpectrumData* standard,
              const Settings& s, const std::atomic<bool>* cancel, std::string& error) {
    const bool spectral = s.type != kTypeCalculation && s.type != kTypeLightQuality;
    std::vector<float> wavelengths;
    if (spectral && !WavelengthColumn(s, *records.front(), wavelengths)) {
        error = Text(ids::kExportSettingsInvalid);
        return false;
    }

    CsvFile file(fileName, cancel);
    auto finish = [&] {
        const bool ok = file.Close();
        error = file.Error();
        return ok;
    };
    if (!file.Opened()) return finish();
    std::string& out = file.Row();

    auto textRow = [&](int labelId, auto value) {
        csvtext::AppendField(out, Text(labelId));
        for (const CSpectrumData* r : records) {
            out += ',';
            csvtext::AppendField(out, value(*r));
        }
        file.EndRow();
    };
    // A row of the same text under every record.
    auto sameRow = [&](int labelId, const std::string& text) {
        csvtext::AppendField(out, Text(labelId));
        for (std::size_t j = 0; j < records.size(); ++j) {
            out += ',';
            csvtext::AppendField(out, text);
        }
        file.EndRow();
    };
    auto numberRow = [&](int labelId, auto value) {
        csvtext::AppendField(out, Text(labelId));
        for (const CSpectrumData* r : records) {
            out += ',';
            csvtext::AppendG6(out, value(*r));
        }
        file.EndRow();
    };

    // Rows 1 ..: what each record is, and above its spectrum what the numbers are. Only spectra and
    // calculation data have the location, temperature and sums rows.
    const bool calculationRows = s.type == kTypeSpectral || s.type == kTypeCalculation;
    textRow(ids::kCsvDate, [](const CSpectrumData& r) { return r.FormatTime("%Y/%m/%d"); });
    textRow(ids::kCsvTime, [](const CSpectrumData& r) { return r.FormatTime("%H:%M:%S"); });
    textRow(ids::kCsvExposedTime, [](const CSpectrumData& r) { return std::to_string(r.GetExposureTime()); });
    textRow(ids::kCsvMemo, [](const CSpectrumData& r) { return platform::ToDisplayText(r.GetMemo()); });
    textRow(ids::kCsvFov, [](const CSpectrumData& r) { return r.FovText(); });
    if (calculationRows) {
        numberRow(ids::kCsvLongitude, [](const CSpectrumData& r) { return r.GetLongitude(); });
        numberRow(ids::kCsvLatitude, [](const CSpectrumData& r) { return r.GetLatitude(); });
        numberRow(ids::kCsvAltitude, [](const CSpectrumData& r) { return r.GetAltitude(); });
        numberRow(ids::kCsvTemperature, [](const CSpectrumData& r) { return r.GetTemperature(); });
        numberRow(ids::kCsvPar, [](const CSpectrumData& r) { return r.GetPar(); });
        numberRow(ids::kCsvPhoton, [](const CSpectrumData& r) { return r.GetPhoton(); });
        numberRow(ids::kLabelLuxLx, [](const CSpectrumData& r) { return r.GetLux(); });
    }
    if (s.type == kTypeLightQuality) {
        CLightQualityRows::Write(records, [&](const std::string& row) {
            out += row;
            file.EndRow();
        });
    }
    if (!spectral) return finish();

    const int stepLabel = s.step == 0 ? ids::kWavelengthOriginal : s.step == 1 ? ids::kCsv1nmStep : ids::kCsv5nmStep;
    sameRow(ids::kCsvWavelengthInterval, Text(stepLabel));
    std::string columnText;
    if (s.type == kTypeRatio) {
        columnText = Text(ids::kRatioPercent);
    } else {
        columnText = Text(s.type == kTypeSpectral ? ids::kIrradiance : ids::kCsvDifference);
        columnText += Text(s.umol ? ids::kUnitUmolM2SUm : ids::kUnitWm2Um);
    }
    sameRow(ids::kWavelengthNm, columnText);

    const int unit = s.umol ? kUnitUmolM2sUm : kUnitWm2um;
    const std::size_t rows = wavelengths.size();
    const std::size_t cols = records.size();
    // The standard's value at each wavelength, for the ratio and the difference.
    std::vector<float> base(rows);
    if (s.type != kTypeSpectral) {
        std::vector<float> wl, irr;
        standard->PixelValues(unit, wl, irr);
        for (std::size_t k = 0; k < rows; ++k) base[k] = CSpectrumData::ValueAt(wl, irr, wavelengths[k]);
    }
    // Each record's column, from its pixel values; the rows run across the records.
    std::vector<float> values(rows * cols);
    std::vector<float> wl, irr;
    for (std::size_t j = 0; j < cols; ++j) {
        if (file.Cancelled()) return finish();
        records[j]->PixelValues(unit, wl, irr);
        for (std::size_t k = 0; k < rows; ++k) {
            float v = CSpectrumData::ValueAt(wl, irr, wavelengths[k]);
            if (s.type == kTypeRatio) {
                v = v / base[k] * 100.0f;
                if (!std::isfinite(v)) v = 0.0f;
            } else if (s.type == kTypeDifference) {
                v -= base[k];
            }
            values[k * cols + j] = v;
        }
    }
    for (std::size_t k = 0; k < rows; ++k) {
        csvtext::AppendG6(out, wavelengths[k]);
        for (std::size_t j = 0; j < cols; ++j) {
            out += ',';
            csvtext::AppendG6(out, values[k * cols + j]);
        }
        file.EndRow();
    }
    return finish();
}

}  // namespace

bool CCSVExporter::ExportDataSet(const std::string& fileName, const CSpectrumDataSet& set,
                                 const CSpectrumData* standard, const CExportPrm& settings) {
    error_.clear();
    Settings s;
    if (!ReadSettings(settings, s)) {
        error_ = Text(ids::kExportSettingsInvalid);
        return false;
    }
    // Ratio and difference against nothing would be a file of meaningless numbers.
    if ((s.type == kTypeRatio || s.type == kTypeDifference) && standard == nullptr) {
        error_ = Text(ids::kExportNeedsStandard);
        return false;
    }
    if (set.Count() == 0) {
        error_ = Text(ids::kExportNoRecords);
        return false;
    }
    // The set's records themselves, shared: a record the set holds keeps the sums computed here.
    std::vector<std::shared_ptr<const CSpectrumData>> held;
    std::vector<const CSpectrumData*> records;
    held.reserve(static_cast<std::size_t>(set.Count()));
    records.reserve(static_cast<std::size_t>(set.Count()));
    for (int i = 0; i < set.Count(); ++i) {
        held.push_back(set.Record(i, &error_));
        if (!held.back()) return false;
        records.push_back(held.back().get());
    }
    return WriteCsv(fileName, records, standard, s, cancel_, error_);
}

bool CCSVExporter::ExportRecord(const std::string& fileName, const CSpectrumData& record,
                                const CSpectrumData* standard, const CExportPrm& settings) {
    error_.clear();
    Settings s;
    if (!ReadSettings(settings, s)) {
        error_ = Text(ids::kExportSettingsInvalid);
        return false;
    }
    // The run's log is still wanted without a standard record: it then holds the measured spectrum.
    if ((s.type == kTypeRatio || s.type == kTypeDifference) && standard == nullptr) s.type = kTypeSpectral;
    const std::vector<const CSpectrumData*> records{&record};
    return WriteCsv(fileName, records, standard, s, cancel_, error_);
}
