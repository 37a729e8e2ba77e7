#include "core/data/SpectrumDataReader.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "core/config/GeneralPrm.h"
#include "core/data/DayFileLayout.h"
#include "core/data/RecordLayout.h"
#include "core/platform/LocalTime.h"
#include "core/platform/Text.h"

using namespace record_layout;

namespace {

// The zero ending a field, or null. The fields are narrow and their texts short: a plain scan
// costs less than the call to memchr it replaces (13 fields a record).
const char* FindZero(const char* begin, int width) {
    for (int i = 0; i < width; ++i)
        if (begin[i] == 0) return begin + i;
    return nullptr;
}

// The text of a zero-terminated field; false when the field has no zero byte inside its width.
bool GetText(const unsigned char* image, int offset, int width, std::string_view& out) {
    const auto* begin = reinterpret_cast<const char*>(image + offset);
    const char* zero = FindZero(begin, width);
    if (!zero) return false;
    out = std::string_view(begin, static_cast<std::size_t>(zero - begin));
    return true;
}

// A zero-terminated decimal field read as its leading integer (the stored date and time fields).
bool GetField(const unsigned char* image, int offset, int width, int& value) {
    const auto* begin = reinterpret_cast<const char*>(image + offset);
    const char* zero = FindZero(begin, width);
    if (!zero) return false;
    // Plain digits, as this program writes them, are read here; anything else as any text is.
    int plain = 0;
    const char* p = begin;
    for (; p < zero && *p >= '0' && *p <= '9'; ++p) plain = plain * 10 + (*p - '0');  // at most 4 digits
    if (p == zero && p > begin) {
        value = plain;
        return true;
    }
    value = static_cast<int>(platform::LeadingInteger(std::string_view(begin, static_cast<std::size_t>(zero - begin))));
    return true;
}

}  // namespace

CSpectrumDataReader::CSpectrumDataReader() : general_(std::make_unique<CGeneralPrm>()) { general_->Load(); }

CSpectrumDataReader::CSpectrumDataReader(const CGeneralPrm& general)
    : general_(std::make_unique<CGeneralPrm>(general)) {}

CSpectrumDataReader::~CSpectrumDataReader() = default;

namespace {

struct Texts {
    std::string_view typeCode, id, st, serial, fv, ft, memo;  // views into the image
};

// The checks every record passes: a pixel count in range, every text with its zero byte, a real
// date (this program only writes real dates; anything else is a foreign record).
bool DecodeCommon(const unsigned char* image, int& n, Texts& t, platform::CalTime& time) {
    n = GetI32(image + kPixelCount);
    if (n < 0 || n > CSpectrumDataReader::kMaxPixels) return false;
    if (!GetText(image, kTypeCode, kTypeCodeWidth, t.typeCode) || !GetText(image, kIdText, kTextWidth, t.id) ||
        !GetText(image, kStText, kTextWidth, t.st) || !GetText(image, kSerial, kTextWidth, t.serial) ||
        !GetText(image, kFvText, kTextWidth, t.fv) || !GetText(image, kFtText, kTextWidth, t.ft) ||
        !GetText(image, kMemo, kMemoWidth, t.memo))
        return false;
    int year, month, day, hour, minute, second;
    if (!GetField(image, kYear, kYearWidth, year) || !GetField(image, kMonth, kFieldWidth, month) ||
        !GetField(image, kDay, kFieldWidth, day) || !GetField(image, kHour, kFieldWidth, hour) ||
        !GetField(image, kMinute, kFieldWidth, minute) || !GetField(image, kSecond, kFieldWidth, second))
        return false;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59)
        return false;
    return platform::JoinLocal(year, month, day, hour, minute, second, time);
}

}  // namespace

bool CSpectrumDataReader::Decode(const unsigned char* image, CSpectrumData& record) {
    int n;
    Texts t;
    platform::CalTime time;
    if (!DecodeCommon(image, n, t, time)) return false;

    // Pixel values as stored (little-endian floats), converted only on a big-endian host.
    const auto count = static_cast<std::size_t>(n);
    auto pixels = [&](int offset) {
        std::vector<float> values(count);
        if constexpr (std::endian::native != std::endian::little) {
            for (int i = 0; i < n; ++i) values[static_cast<std::size_t>(i)] = GetF32(image + offset + 4 * i);
        } else if (count) {
            std::memcpy(values.data(), image + offset, 4 * count);
        }
        return PixelArray(std::move(values));
    };

    record.SetTypeCode(t.typeCode);
    record.SetIdText(t.id);
    record.SetStText(t.st);
    record.SetSerialNumber(t.serial);
    record.SetFvText(t.fv);
    record.SetFtText(t.ft);
    record.SetExtraInteger(GetI32(image + kExtraInteger));
    record.SetExtraReal(GetF32(image + kExtraReal));
    record.SetTemperature(GetF32(image + kTemperature));
    float coefficients[6];
    for (int k = 0; k < 5; ++k) coefficients[k] = GetF32(image + kCoefficients + 4 * k);
    coefficients[5] = GetF32(image + kC5);
    record.SetCoefficients(t.typeCode.size() >= 2 && t.typeCode[1] == 'H' ? 6 : 5, coefficients);
    record.SetTime(time);
    record.SetMemo(t.memo);
    record.SetValid(GetI32(image + kValid));
    record.SetExposureTime(GetI32(image + kExposure));
    record.SetLongitude(GetF32(image + kLongitude));
    record.SetLatitude(GetF32(image + kLatitude));
    record.SetAltitude(GetF32(image + kAltitude));
    record.SetSignal(pixels(SignalOffset(n)));
    record.SetCalibration(pixels(CalibrationOffset(n)));
    record.SetFovCode(GetI32(image + kFovCode));
    return true;
}

bool CSpectrumDataReader::DecodeSummary(const unsigned char* image, Summary& summary) {
    int n;
    Texts t;
    if (!DecodeCommon(image, n, t, summary.time)) return false;
    summary.memo = t.memo;
    summary.valid = GetI32(image + kValid);
    summary.longitude = GetF32(image + kLongitude);
    summary.latitude = GetF32(image + kLatitude);
    summary.altitude = GetF32(image + kAltitude);
    return true;
}

uint64_t CSpectrumDataReader::Fingerprint(const unsigned char* image) {
    constexpr std::size_t kWords = kSize / 8;
    uint64_t words[kWords];
    std::memcpy(words, image, kSize);
    std::memset(reinterpret_cast<unsigned char*>(words) + kMemo, 0, kValid + 4 - kMemo);
    // Eight lanes, each step a bijection of its lane: any one changed word changes the result. The
    // lanes are locals so they stay in registers and the multiplies overlap.
    constexpr uint64_t kPrime = 0x9E3779B97F4A7C15ull;
    auto step = [](uint64_t lane, uint64_t word) { return std::rotl(lane ^ word, 31) * kPrime; };
    uint64_t l0 = 1, l1 = 2, l2 = 3, l3 = 4, l4 = 5, l5 = 6, l6 = 7, l7 = 8;
    for (std::size_t i = 0; i < kWords; i += 8) {
        l0 = step(l0, words[i]);
        l1 = step(l1, words[i + 1]);
        l2 = step(l2, words[i + 2]);
        l3 = step(l3, words[i + 3]);
        l4 = step(l4, words[i + 4]);
        l5 = step(l5, words[i + 5]);
        l6 = step(l6, words[i + 6]);
        l7 = step(l7, words[i + 7]);
    }
    uint64_t h = l0;
    for (uint64_t lane : {l1, l2, l3, l4, l5, l6, l7}) h = std::rotl(h, 17) * kPrime ^ lane;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    return h ^ (h >> 33);
}

bool CSpectrumDataReader::PassesQuickFilter(const unsigned char* image, const char* comment) {
    if (GetI32(image + kValid) == 0) return false;
    if (!comment || !*comment) return true;
    const auto* memo = reinterpret_cast<const char*>(image + kMemo);
    const void* zero = std::memchr(memo, 0, kMemoWidth);
    if (!zero) return false;
    return platform::ContainsText(std::string_view(memo, static_cast<const char*>(zero) - memo), comment);
}

CSpectrumDataReader::Result CSpectrumDataReader::ReadRecordEx(platform::File& stream, CSpectrumData& record) {
    alignas(float) unsigned char image[kSize];
    if (!stream.ReadExact(image, kSize)) return Result::End;
    return Decode(image, record) ? Result::Ok : Result::Rejected;
}

int CSpectrumDataReader::ReadRecord(platform::File& stream, CSpectrumData& record) {
    return ReadRecordEx(stream, record) == Result::Ok ? 1 : 0;
}

int CSpectrumDataReader::ReadDay(int year, int month, int day, std::vector<CSpectrumData>& list) {
    list.clear();
    std::string path;
    if (!general_->DailyFilePath(year, month, day, path)) return 0;
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Read)) return 1;
    // A partial record in the middle of the file shifts the records after it off the grid.
    const DayFileLayout layout = DayFileLayout::Of(file);
    file.SetReadBuffer(64 * kRecordSize);
    for (const DayFileLayout::Segment& segment : layout.Segments()) {
        if (!file.Seek(segment.offset)) break;
        for (int64_t k = 0; k < segment.count; ++k) {
            CSpectrumData record;  // fresh each time: nothing of one record leaks into the next
            Result r = ReadRecordEx(file, record);
            if (r == Result::End) break;
            if (r == Result::Ok) list.push_back(record);
        }
    }
    return 1;
}
