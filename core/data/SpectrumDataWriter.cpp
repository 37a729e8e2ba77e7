#include "core/data/SpectrumDataWriter.h"

#include "core/config/GeneralPrm.h"
#include "core/data/DayFileLayout.h"
#include "core/data/RecordLayout.h"
#include "core/platform/LocalTime.h"
#include "core/platform/Path.h"
#include "core/platform/Text.h"

using namespace record_layout;

namespace {

// A text field holds at most width - 1 bytes and its zero byte.
void PutText(unsigned char* image, int offset, int width, const std::string& text) {
    std::string fitted = platform::FitBytes(text, static_cast<std::size_t>(width - 1));
    std::memcpy(image + offset, fitted.data(), fitted.size());
}

}  // namespace

CSpectrumDataWriter::CSpectrumDataWriter() : general_(std::make_unique<CGeneralPrm>()) { general_->Load(); }

CSpectrumDataWriter::CSpectrumDataWriter(const CGeneralPrm& general)
    : general_(std::make_unique<CGeneralPrm>(general)) {}

CSpectrumDataWriter::~CSpectrumDataWriter() { EndBatch(); }

bool CSpectrumDataWriter::Encode(const CSpectrumData& record, unsigned char* image) {
    const int n = record.PixelCount();
    if (n > kMaxPixels || static_cast<int>(record.GetCalibration().size()) < n) return false;
    std::memset(image, 0, kSize);

    PutText(image, kTypeCode, kTypeCodeWidth, record.GetTypeCode().empty() ? std::string("100") : record.GetTypeCode());
    PutText(image, kIdText, kTextWidth, record.GetIdText());
    PutText(image, kStText, kTextWidth, record.GetStText());
    PutText(image, kSerial, kTextWidth, record.GetSerialNumber());
    PutText(image, kFvText, kTextWidth, record.GetFvText());
    PutText(image, kFtText, kTextWidth, record.GetFtText());
    PutI32(image + kExtraInteger, record.GetExtraInteger());
    PutF32(image + kExtraReal, record.GetExtraReal());
    PutF32(image + kTemperature, record.GetTemperature());
    const auto& c = record.GetCoefficients();
    for (int k = 0; k < 5; ++k) PutF32(image + kCoefficients + 4 * k, k < static_cast<int>(c.size()) ? c[k] : 0.0f);

    platform::LocalFields f;
    if (platform::SplitLocal(record.GetTime(), f)) {
        PutText(image, kYear, kYearWidth, platform::FormatLocal(record.GetTime(), "%Y"));
        PutText(image, kMonth, kFieldWidth, platform::FormatLocal(record.GetTime(), "%m"));
        PutText(image, kDay, kFieldWidth, platform::FormatLocal(record.GetTime(), "%d"));
        PutText(image, kHour, kFieldWidth, platform::FormatLocal(record.GetTime(), "%H"));
        PutText(image, kMinute, kFieldWidth, platform::FormatLocal(record.GetTime(), "%M"));
        PutText(image, kSecond, kFieldWidth, platform::FormatLocal(record.GetTime(), "%S"));
    }

    PutText(image, kMemo, kMemoWidth, record.GetMemo());
    PutI32(image + kValid, record.GetValid());
    PutI32(image + kExposure, record.GetExposureTime());
    PutF32(image + kLongitude, record.GetLongitude());
    PutF32(image + kLatitude, record.GetLatitude());
    PutF32(image + kAltitude, record.GetAltitude());
    PutI32(image + kFovCode, record.GetFovCode());
    PutI32(image + kDarkFlag, record.HasDarkOffset());
    PutI32(image + kPixelCount, n);
    const bool hType = record.GetTypeCode().size() >= 2 && record.GetTypeCode()[1] == 'H';
    PutF32(image + kC5, hType && c.size() > 5 ? c[5] : 0.0f);

    const auto& cal = record.GetCalibration();
    const auto& sig = record.GetSignal();
    for (int i = 0; i < n; ++i) {
        PutF32(image + CalibrationOffset(n) + 4 * i, cal[static_cast<std::size_t>(i)]);
        PutF32(image + SignalOffset(n) + 4 * i, sig[static_cast<std::size_t>(i)]);
    }
    return true;
}

int64_t CSpectrumDataWriter::StoredClock(platform::CalTime t) {
    platform::LocalFields f;
    if (!platform::SplitLocal(t, f)) return -1;
    return ((((static_cast<int64_t>(f.year) * 100 + f.month) * 100 + f.day) * 100 + f.hour) * 100 + f.minute) * 100 +
           f.second;
}

int CSpectrumDataWriter::WriteRecord(platform::File& stream, const CSpectrumData& record) {
    unsigned char image[kSize];
    if (!Encode(record, image)) return 0;
    // Over a stored record (a comment edit, a deletion mark), keep the bytes it replaces: a write that
    // stops part-way (a full disk, a file-size limit) must not leave half a record behind.
    const int64_t at = stream.Tell();
    unsigned char old[kSize];
    const bool over = at >= 0 && at + kSize <= stream.Size() && stream.ReadExact(old, kSize);
    if (!stream.Seek(at)) return 0;
    if (stream.WriteAll(image, kSize)) return 1;
    if (over && stream.Seek(at)) (void)stream.WriteAll(old, kSize);  // the part that was written goes back
    return 0;
}

int CSpectrumDataWriter::AppendRecord(const CSpectrumData& record) {
    // Encode first: a record that cannot be stored must not even create its day's file.
    unsigned char image[kSize];
    std::string path;
    if (!Encode(record, image) || !general_->DailyFilePath(record.GetTime(), path)) return 0;
    // Another process may be rewriting this day (an import): wait for it, then append to the file
    // it left, never to the one it replaced.
    platform::FolderLock lock(platform::StoredFolderOf(path));
    if (!batch_) {
        platform::File file;
        if (!file.Open(path, platform::File::Mode::Append)) return 0;
        const bool fresh = file.Size() == 0;
        if (!AppendImage(file, image, lastOffset_)) {
            // A day file this failed write created stays no empty shell either.
            if (file.Size() == 0) platform::RemoveFile(path);
            return 0;
        }
        // Reported stored only once it would survive a power cut.
        return MakeDurable(file, path, fresh) ? 1 : 0;
    }
    if (path != openPath_ || !stream_.IsOpen() || !stream_.IsSameFile(path)) {
        if (!FinishStream()) return 0;
        openPath_ = path;
        if (!stream_.Open(path, platform::File::Mode::Append)) return 0;
        streamFresh_ = stream_.Size() == 0;
    }
    return AppendImage(stream_, image, lastOffset_) ? 1 : 0;
}

bool CSpectrumDataWriter::MakeDurable(platform::File& file, const std::string& path, bool fresh) {
    return file.DataSync() && (!fresh || platform::SyncFolder(platform::StoredFolderOf(path)));
}

bool CSpectrumDataWriter::FinishStream() {
    bool ok = true;
    if (stream_.IsOpen()) ok = MakeDurable(stream_, openPath_, streamFresh_);
    stream_.Close();
    openPath_.clear();
    streamFresh_ = false;
    return ok;
}

bool CSpectrumDataWriter::AppendImage(platform::File& file, const unsigned char* image, int64_t& at) {
    const int64_t size = file.Size();
    if (size < 0) return false;
    int64_t end = size;
    if (size % kSize != 0) {
        // A partial last record is what a writer killed in the middle of its write leaves behind;
        // it was never reported stored, and every record appended after it would sit off the grid.
        // A partial record with whole records after it is damage from elsewhere: nothing is cut
        // then, and the new record goes after the last one, in step with the records before it.
        end = DayFileLayout::Of(file, size).AppendOffset();
        if (end != size && !file.Truncate(end)) return false;
    }
    // The folder lock keeps every other writer out, so the appended record starts at end.
    if (file.WriteAll(image, kSize)) {
        at = end;
        return true;
    }
    // A write cut short (disk full) must not leave part of a record either. The lock is still
    // held, so nobody else has appended since.
    if (file.Size() > end) file.Truncate(end);
    return false;
}

void CSpectrumDataWriter::BeginBatch() {
    FinishStream();
    batch_ = true;
}

void CSpectrumDataWriter::EndBatch() {
    FinishStream();
    batch_ = false;
}

int CSpectrumDataWriter::WriteAll(const std::vector<CSpectrumData>& list) {
    BeginBatch();
    int ok = 1;
    for (const auto& record : list) {
        if (!AppendRecord(record)) {
            ok = 0;
            break;
        }
    }
    if (!FinishStream()) ok = 0;
    EndBatch();
    return ok;
}
