#include "exchange/VeldDataImporter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "config/GeneralPrm.h"
#include "data/SpectrumData.h"
#include "data/SpectrumDataReader.h"
#include "data/SpectrumDataWriter.h"
#include "platform/AtomicReplace.h"
#include "platform/File.h"
#include "platform/LocalTime.h"
#include "platform/Path.h"
#include "platform/Text.h"

namespace {

constexpr int kPixels = 256;
constexpr std::size_t kTableBytes = kPixels * 4;
constexpr std::size_t kRecordBytesV3 = 12 + 8 + 4 + 4 + 8 + 8 + 4 + 4 + 4 + kTableBytes + 4;  // 1084
constexpr std::size_t kRecordBytesOld = 8 + 4 + 4 + kTableBytes;                             // 1040
constexpr std::size_t kRecordSize = CSpectrumDataWriter::kRecordSize;
// Header values longer than this are cut: no field of a record holds more than 63 bytes, and the
// version compares only its first six.
constexpr std::size_t kKeepValueBytes = 4096;

enum class Version { V3, V2, V1 };  // >= "03.00", "02.00" .. "03.00", < "02.00"

// Little-endian fields.
uint32_t U32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
uint64_t U64(const unsigned char* p) { return static_cast<uint64_t>(U32(p)) | static_cast<uint64_t>(U32(p + 4)) << 32; }
int32_t I32(const unsigned char* p) { return static_cast<int32_t>(U32(p)); }
int64_t I64(const unsigned char* p) { return static_cast<int64_t>(U64(p)); }
float F32(const unsigned char* p) {
    const uint32_t u = U32(p);
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}
double F64(const unsigned char* p) {
    const uint64_t u = U64(p);
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
}

void Floats(const unsigned char* p, std::size_t n, std::vector<float>& out) {
    out.resize(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = F32(p + 4 * i);
}

// Reads up to and including the next LF; false at the end of the file before one. Only the first
// kKeepValueBytes bytes are kept, however long the line is.
bool ReadLine(platform::File& in, std::string& line) {
    line.clear();
    for (;;) {
        char c;
        if (!in.ReadExact(&c, 1)) return false;
        if (c == '\n') return true;
        if (line.size() < kKeepValueBytes) line += c;
    }
}

// "label,value": the value is everything after the first comma (a CR before the LF included).
bool ReadHeaderValue(platform::File& in, std::string& value) {
    std::string line;
    if (!ReadLine(in, line)) return false;
    const std::size_t comma = line.find(',');
    if (comma == std::string::npos) return false;
    value = line.substr(comma + 1);
    return true;
}

// The version compares as six bytes, terminator included: "03.00" and "03.00\r" differ, and so
// do "03.0" and "03.00".
int CompareVersion(const std::string& value, const char* reference) {
    unsigned char a[6] = {0, 0, 0, 0, 0, 0};
    unsigned char b[6] = {0, 0, 0, 0, 0, 0};
    for (std::size_t i = 0; i < 6 && i < value.size() && value[i] != '\0'; ++i) a[i] = static_cast<unsigned char>(value[i]);
    for (std::size_t i = 0; i < 6 && reference[i] != '\0'; ++i) b[i] = static_cast<unsigned char>(reference[i]);
    return std::memcmp(a, b, 6);
}

float Decimal(const std::string& text) { return static_cast<float>(platform::LeadingDouble(text)); }

int32_t DecimalInteger(const std::string& text) {
    return static_cast<int32_t>(std::clamp<long long>(platform::LeadingInteger(text), INT32_MIN, INT32_MAX));
}

struct Header {
    Version version = Version::V1;
    CSpectrumData base;                   // header values, the same for every record
    std::vector<std::vector<float>> tables;  // calibration tables 0..3 (or 0)
};

bool ReadHeader(platform::File& in, Header& h) {
    std::string v;
    if (!ReadHeaderValue(in, v)) return false;
    h.version = CompareVersion(v, "03.00") >= 0 ? Version::V3 : CompareVersion(v, "02.00") >= 0 ? Version::V2 : Version::V1;
    const bool v3 = h.version == Version::V3;
    CSpectrumData& r = h.base;
    r.Reset();
    std::string items[13];
    const int count = v3 ? 10 : 13;
    for (int i = 0; i < count; ++i)
        if (!ReadHeaderValue(in, items[i])) return false;
    int k = 0;
    if (!v3) r.SetMemo(platform::FitBytes(items[k++], 63));
    r.SetIdText(platform::FitBytes(items[k++], 31));
    r.SetSerialNumber(platform::FitBytes(items[k++], 31));
    r.SetStText(platform::FitBytes(items[k++], 31));
    r.SetFvText(platform::FitBytes(items[k++], 31));
    r.SetFtText(platform::FitBytes(items[k++], 31));
    if (!v3) {
        r.SetExtraReal(Decimal(items[k++]));
        r.SetExtraInteger(DecimalInteger(items[k++]));
    }
    for (std::size_t c = 0; c < 5; ++c) r.SetCoefficient(c, Decimal(items[k++]));
    r.SetValid(1);

    std::string skipped;
    if (!ReadLine(in, skipped)) return false;

    const int tables = v3 ? 4 : h.version == Version::V2 ? 1 : 0;
    std::vector<unsigned char> bytes(kTableBytes);
    for (int t = 0; t < tables; ++t) {
        if (!in.ReadExact(bytes.data(), bytes.size())) return false;
        h.tables.emplace_back();
        Floats(bytes.data(), kPixels, h.tables.back());
    }
    if (tables == 0) h.tables.emplace_back(kPixels, 1.0f);
    return true;
}

// One record of the file into a copy of the header record; false for a table number outside the
// tables of the file.
bool DecodeRecord(const unsigned char* p, const Header& h, CSpectrumData& r, std::vector<float>& signal) {
    r = h.base;
    std::size_t table = 0;
    if (h.version == Version::V3) {
        std::size_t len = 0;
        while (len < 10 && p[len] != 0) ++len;
        r.SetMemo(platform::FitBytes(std::string(reinterpret_cast<const char*>(p), len), 10));
        p += 12;
        r.SetTime(I64(p));
        r.SetExposureTime(I32(p + 8));
        r.SetTemperature(F32(p + 12));
        r.SetLongitude(static_cast<float>(F64(p + 16)));
        r.SetLatitude(static_cast<float>(F64(p + 24)));
        r.SetAltitude(F32(p + 32));
        r.SetFovCode(I32(p + 36));
        const int32_t number = I32(p + 40);
        if (number < 0 || number > 3) return false;
        table = static_cast<std::size_t>(number);
        p += 44;
    } else {
        r.SetTime(I64(p));
        r.SetExposureTime(I32(p + 8));
        r.SetTemperature(F32(p + 12));
        p += 16;
    }
    Floats(p, kPixels, signal);
    r.SetSignal(signal);
    r.SetCalibration(h.tables[table]);
    return true;
}

// The daily file of one date, rewritten into a temporary file beside it. The stored records are
// held in memory for the merge; images the reader cannot decode and a partial last record are
// carried over byte for byte after the records, so the rewrite itself never drops anything.
class DayRewrite {
public:
    DayRewrite() = default;
    DayRewrite(const DayRewrite&) = delete;
    DayRewrite& operator=(const DayRewrite&) = delete;
    ~DayRewrite() { Abort(); }

    bool Begin(const std::string& storedPath) {
        Abort();
        held_.clear();
        kept_.clear();
        pos_ = 0;
        // Held from the read of the stored records to the rename: a record appended in between
        // would be in neither the merge nor the file that replaces the day.
        lock_ = std::make_unique<platform::FolderLock>(platform::StoredFolderOf(storedPath));
        target_ = platform::ResolveExisting(storedPath);
        // Anything but a regular file under the day's name (a link, a FIFO) is refused by the
        // replacement and never read.
        struct stat st {};
        if (::lstat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !ReadStored()) {
            lock_.reset();
            return false;
        }
        if (!file_.Begin(target_, platform::kImportTag)) {
            lock_.reset();
            return false;
        }
        return true;
    }

    bool Active() const { return file_.Active(); }
    const std::string& Error() const { return file_.Error(); }

    // Held records from the position on whose time is before t.
    bool WriteHeldBefore(int64_t t) {
        while (pos_ < held_.size() && held_[pos_].GetTime() < t)
            if (!Write(held_[pos_++])) return false;
        return true;
    }
    bool PositionHasTime(int64_t t) const { return pos_ < held_.size() && held_[pos_].GetTime() == t; }
    bool WriteHeldAtPosition() { return Write(held_[pos_++]); }
    void SkipHeldAtPosition() { ++pos_; }

    bool Write(const CSpectrumData& record) {
        const std::size_t at = out_.size();
        out_.resize(at + kRecordSize);
        if (!CSpectrumDataWriter::Encode(record, out_.data() + at)) return false;
        return out_.size() < kFlushBytes || Flush();
    }

    // The rest of the held records, then the day file is replaced by the complete temporary file.
    bool Commit() {
        while (pos_ < held_.size())
            if (!Write(held_[pos_++])) return false;
        out_.insert(out_.end(), kept_.begin(), kept_.end());
        const bool ok = Flush() && file_.Commit();
        lock_.reset();
        return ok;
    }

    void Abort() {
        file_.Abandon();
        out_.clear();
        lock_.reset();
    }

private:
    static constexpr std::size_t kFlushBytes = 64 * kRecordSize;

    bool ReadStored() {
        int fd;
        do {
            fd = ::open(target_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) return false;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {  // swapped for a FIFO since the stat
            ::close(fd);
            return false;
        }
        std::vector<unsigned char> bytes;
        unsigned char chunk[1 << 16];
        bool ok = true;
        for (;;) {
            ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) ok = false;
            if (n <= 0) break;
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        ::close(fd);
        if (!ok) return false;
        std::size_t at = 0;
        for (; at + kRecordSize <= bytes.size(); at += kRecordSize) {
            CSpectrumData record;
            if (CSpectrumDataReader::Decode(bytes.data() + at, record)) held_.push_back(record);
            else kept_.insert(kept_.end(), bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + kRecordSize));
        }
        kept_.insert(kept_.end(), bytes.begin() + static_cast<long>(at), bytes.end());
        return true;
    }

    bool Flush() {
        if (!file_.Write(out_.data(), out_.size())) return false;
        out_.clear();
        return true;
    }

    std::unique_ptr<platform::FolderLock> lock_;  // the data folder's write lock, while merging
    std::string target_;  // mapped path of the day's file
    platform::AtomicReplace file_;  // the day's new file, while it is written
    std::vector<CSpectrumData> held_;
    std::size_t pos_ = 0;
    std::vector<unsigned char> kept_;  // undecodable images and a partial tail, carried over
    std::vector<unsigned char> out_;
};

}  // namespace

bool CVeldDataImporter::Import(bool overwrite) {
    failure_ = Failure::None;
    folderError_.clear();
    if (Run(overwrite)) return true;
    if (failure_ == Failure::None) failure_ = Failure::File;
    return false;
}

// Failures of the file given return false as they stand; those of the day files set DataFolder.
bool CVeldDataImporter::Run(bool overwrite) {
    platform::File in;
    if (!in.Open(path_, platform::File::Mode::Read)) return false;
    in.SetReadBuffer(1 << 16);
    Header header;
    if (!ReadHeader(in, header)) return false;

    CGeneralPrm general;
    general.Load();

    const std::size_t recordBytes = header.version == Version::V3 ? kRecordBytesV3 : kRecordBytesOld;
    std::vector<unsigned char> bytes(recordBytes);
    std::vector<float> signal;
    CSpectrumData record;
    DayRewrite day;
    const auto FolderFailed = [this, &day] {
        failure_ = Failure::DataFolder;
        folderError_ = day.Error();
        return false;
    };
    std::string dayPath;  // stored path of the day being merged
    const int64_t size = in.Size();
    while (in.Tell() < size) {
        if (!in.ReadExact(bytes.data(), bytes.size())) return false;
        if (!DecodeRecord(bytes.data(), header, record, signal)) return false;
        std::string path;
        if (!general.DailyFilePath(record.GetTime(), path)) return false;
        if (!day.Active() || path != dayPath) {
            if (day.Active() && !day.Commit()) return FolderFailed();
            if (!day.Begin(path)) return FolderFailed();
            dayPath = path;
        }
        const int64_t t = record.GetTime();
        if (!day.WriteHeldBefore(t)) return FolderFailed();
        if (day.PositionHasTime(t)) {
            if (overwrite) {
                day.SkipHeldAtPosition();
                if (!day.Write(record)) return FolderFailed();
            } else if (!day.WriteHeldAtPosition()) {
                return FolderFailed();
            }
        } else if (!day.Write(record)) {
            return FolderFailed();
        }
        if (progress_) progress_(in.Tell(), size);
    }
    return !day.Active() || day.Commit() || FolderFailed();
}
